// What the codice fiscale says about a substitute as the data sheet holds it:
// the lines the sheet shows, and the birth data a new substitute's sheet is
// completed with, where it is empty and nowhere else.
#include "registroprova.h"

#include "registry/dalcodice.h"

using namespace registro;

namespace {

// ROSSI MARIO, born in Rome on 10 December 1985.
const QString ROMA = QStringLiteral("RSSMRA85T10H501O");

// A person's sheet with the code and Text1(3) to Text1(6) '|'-joined.
Sostituto sheet(const QString& cfs, const QString& nascita)
{
    const QStringList n = nascita.split('|');
    return daTestiScheda("101", cfs, {"ROSSI", "MARIO", n[0], n[1], n[2], n[3], "ROMA", "RM", "VIA ROMA 1", "001"});
}

QString nomi(const QList<checks::DatoAnagrafico>& dati)
{
    QStringList n;
    for (const checks::DatoAnagrafico d : dati)
        n << checks::nomeDato(d);
    return n.join(", ");
}

} // namespace

class TestDalCodice : public QObject {
    Q_OBJECT

private slots:
    // The sheet's texts compared with its substitute's code (the comparison
    // itself is the checks'): a date that is no day is not compared.
    void righe()
    {
        const QString roma = "Dal codice fiscale: nato il 10/12/1985 a ROMA (RM)";
        const std::optional<DalCodice> diverso = dalCodice(sheet(" rssmra85t10h501o ", "M|11/12/1985|roma|rm"));
        QVERIFY(diverso.has_value());
        QCOMPARE(diverso->riga, roma);
        QCOMPARE(nomi(diverso->discordanti), "data di nascita");
        QCOMPARE(diverso->discordanze, "Non corrispondono al codice fiscale: data di nascita");
        const std::optional<DalCodice> sbagliata = dalCodice(sheet(ROMA, "M|31/02/1985|ROMA|RM"));
        QVERIFY(sbagliata.has_value());
        QCOMPARE(sbagliata->discordanze, QString());
        QVERIFY(!dalCodice(sheet("12345678903", "|00/00/0000||")).has_value());
    }

    void completamento()
    {
        // A new substitute's sheet: its code, Text1(3) to Text1(6) before, the town field's limit, after, the
        // fields filled. Each empty birth field is filled from the code, any other left alone.
        const QString vuota = "|00/00/0000||",
                      tutti = "sesso, data di nascita, comune di nascita, provincia di nascita";
        const QList<std::tuple<QString, QString, int, QString, QString>> casi = {
            {ROMA, vuota, 40, "M|10/12/1985|ROMA|RM", tutti},
            {"BNCLRA60M45F704X", " |00/00/0000|  | ", 40, "F|05/08/1960|MONZA|MI", tutti}, // a woman; MI in 2004
            {ROMA, "F|00/00/0000||", 40, "F|10/12/1985|ROMA|RM",
             "data di nascita, comune di nascita, provincia di nascita"},
            {ROMA, "|31/02/1985||", 40, "M|31/02/1985|ROMA|RM", "sesso, comune di nascita, provincia di nascita"},
            {ROMA, "|00/00/0000|MILANO|", 40, "M|10/12/1985|MILANO|RM", "sesso, data di nascita, provincia di nascita"},
            {ROMA, "|00/00/0000||mi", 40, "M|10/12/1985|ROMA|mi", "sesso, data di nascita, comune di nascita"},
            // The New Hebrides, whose name fills the town field whole or without its remark, or is too long even
            // so; a place the table does not know; a partita IVA.
            {"RSSMRA85T10Z717A", vuota, 46, "M|10/12/1985|NUOVE EBRIDI (ISOLE CONDOMINIO FRANCO-INGLESE)|EE", tutti},
            {"RSSMRA85T10Z717A", vuota, 12, "M|10/12/1985|NUOVE EBRIDI|EE", tutti},
            {"RSSMRA85T10Z717A", vuota, 11, "M|10/12/1985||EE", "sesso, data di nascita, provincia di nascita"},
            {"RSSMRA85T10Z999A", vuota, 40, "M|10/12/1985||", "sesso, data di nascita"},
            {"12345678903", vuota, 40, vuota, ""}};
        for (const auto& [cfs, prima, lunghezza, dopo, riempiti] : casi) {
            Sostituto s = sheet(cfs, prima);
            const QString cosa = cfs + ' ' + prima + ": ";
            QCOMPARE(cosa + nomi(completaDalCodice(s, lunghezza)), cosa + riempiti);
            QCOMPARE(testiDi(s), testiDi(sheet(cfs, dopo))); // the birth data filled, the other fields as they were
        }
    }
};

PROVA(TestDalCodice);
#include "dalcodice.moc"
