// What the codice fiscale says about a substitute as the data sheet holds it:
// the lines the sheet shows, and the birth data a new substitute's sheet is
// completed with, where it is empty and nowhere else.
#include "registry/dalcodice.h"

#include <QTest>

using namespace registro;

namespace {

// ROSSI MARIO, born in Rome on 10 December 1985; a woman born in Monza (MI in
// 2004) on 5 August 1960; the same man born in the New Hebrides, whose name
// is longer than the town field, and in a place the table does not know.
const QString ROMA = QStringLiteral("RSSMRA85T10H501O");
const QString MONZA = QStringLiteral("BNCLRA60M45F704X");
const QString EBRIDI = QStringLiteral("RSSMRA85T10Z717A");
const QString IGNOTO = QStringLiteral("RSSMRA85T10Z999A");

// A sheet with the code and the texts of Text1(1) to Text1(6); the rest as a person's.
Sostituto sheet(const QString& cfs, const QStringList& sei)
{
    TestiScheda testi{sei[0], sei[1], sei[2], sei[3], sei[4], sei[5], "ROMA", "RM", "VIA ROMA 1", "001"};
    return daTestiScheda("101", cfs, testi);
}

// Text1(3) to Text1(6) of a sheet, joined by '|'.
QString nascita(const Sostituto& s)
{
    const TestiScheda t = testiScheda(s);
    return QStringList{t[2], t[3], t[4], t[5]}.join('|');
}

QString nomi(const QList<checks::DatoAnagrafico>& dati)
{
    QStringList n;
    for (const checks::DatoAnagrafico d : dati)
        n << checks::nomeDato(d);
    return n.join(", ");
}

} // namespace

class TestRegistroDalCodice : public QObject {
    Q_OBJECT

private slots:
    // The sheet's texts compared with its substitute's code (the comparison
    // itself is the checks'): a date that is no day is not compared.
    void righe_data()
    {
        QTest::addColumn<QString>("cfs");
        QTest::addColumn<QStringList>("sei"); // Text1(1) to Text1(6)
        QTest::addColumn<QString>("riga");    // null: nothing shown
        QTest::addColumn<QString>("discordanti");
        const QString roma = "Dal codice fiscale: nato il 10/12/1985 a ROMA (RM)";
        QTest::newRow("another day, in lower case elsewhere")
            << " rssmra85t10h501o " << QStringList{"ROSSI", "MARIO", "M", "11/12/1985", "roma", "rm"} << roma
            << "data di nascita";
        QTest::newRow("no date") << ROMA << QStringList{"ROSSI", "MARIO", "M", "00/00/0000", "ROMA", "RM"} << roma << "";
        QTest::newRow("a date typed wrong") << ROMA << QStringList{"ROSSI", "MARIO", "M", "31/02/1985", "ROMA", "RM"}
                                            << roma << "";
        QTest::newRow("partita IVA") << "12345678903" << QStringList{"ALFA SRL", "", "", "00/00/0000", "", ""}
                                     << QString() << "";
    }
    void righe()
    {
        QFETCH(QString, cfs);
        QFETCH(QStringList, sei);
        QFETCH(QString, riga);
        QFETCH(QString, discordanti);
        const std::optional<DalCodice> esito = dalCodice(sheet(cfs, sei));
        QCOMPARE(esito.has_value(), !riga.isNull());
        if (!esito)
            return;
        QCOMPARE(esito->riga, riga);
        QCOMPARE(nomi(esito->discordanti), discordanti);
        QCOMPARE(esito->discordanze,
                 discordanti.isEmpty() ? QString() : "Non corrispondono al codice fiscale: " + discordanti);
    }

    // A new substitute's sheet: each empty birth field filled from the code, any other left alone.
    void completamento_data()
    {
        QTest::addColumn<QString>("cfs");
        QTest::addColumn<QString>("prima"); // Text1(3) to Text1(6), '|'-joined
        QTest::addColumn<int>("lunghezza"); // the town field's limit
        QTest::addColumn<QString>("dopo");
        QTest::addColumn<QString>("riempiti");
        const QString vuota = "|00/00/0000||";
        QTest::newRow("empty") << ROMA << vuota << 40 << "M|10/12/1985|ROMA|RM"
                               << "sesso, data di nascita, comune di nascita, provincia di nascita";
        QTest::newRow("a woman, blanks") << MONZA << " |00/00/0000|  | " << 40 << "F|05/08/1960|MONZA|MI"
                                         << "sesso, data di nascita, comune di nascita, provincia di nascita";
        QTest::newRow("sex given") << ROMA << "F|00/00/0000||" << 40 << "F|10/12/1985|ROMA|RM"
                                   << "data di nascita, comune di nascita, provincia di nascita";
        QTest::newRow("date given") << ROMA << "|01/01/1990||" << 40 << "M|01/01/1990|ROMA|RM"
                                    << "sesso, comune di nascita, provincia di nascita";
        QTest::newRow("a date typed wrong") << ROMA << "|31/02/1985||" << 40 << "M|31/02/1985|ROMA|RM"
                                            << "sesso, comune di nascita, provincia di nascita";
        QTest::newRow("town given") << ROMA << "|00/00/0000|MILANO|" << 40 << "M|10/12/1985|MILANO|RM"
                                    << "sesso, data di nascita, provincia di nascita";
        QTest::newRow("province given") << ROMA << "|00/00/0000||mi" << 40 << "M|10/12/1985|ROMA|mi"
                                        << "sesso, data di nascita, comune di nascita";
        QTest::newRow("all given") << ROMA << "F|01/01/1990|MILANO|MI" << 40 << "F|01/01/1990|MILANO|MI" << "";
        QTest::newRow("name without its remark") << EBRIDI << vuota << 40 << "M|10/12/1985|NUOVE EBRIDI|EE"
                                                 << "sesso, data di nascita, comune di nascita, provincia di nascita";
        QTest::newRow("name too long even so") << EBRIDI << vuota << 11 << "M|10/12/1985||EE"
                                               << "sesso, data di nascita, provincia di nascita";
        QTest::newRow("place not in the table") << IGNOTO << vuota << 40 << "M|10/12/1985||"
                                                << "sesso, data di nascita";
        QTest::newRow("partita IVA") << "12345678903" << vuota << 40 << vuota << "";
        QTest::newRow("month letter that is no month") << "RSSMRA85Z10H501O" << vuota << 40 << vuota << "";
    }
    void completamento()
    {
        QFETCH(QString, cfs);
        QFETCH(QString, prima);
        QFETCH(int, lunghezza);
        QFETCH(QString, dopo);
        QFETCH(QString, riempiti);
        const QStringList p = prima.split('|');
        Sostituto s = sheet(cfs, {"ROSSI", "MARIO", p[0], p[1], p[2], p[3]});
        const TestiScheda resto = testiScheda(s);
        QCOMPARE(nomi(completaDalCodice(s, lunghezza)), riempiti);
        QCOMPARE(nascita(s), dopo);
        // The other fields as they were.
        const TestiScheda ora = testiScheda(s);
        for (int i : {0, 1, 6, 7, 8, 9})
            QCOMPARE(ora[i], resto[i]);
        QCOMPARE(s.cfs, cfs);
    }
};

QTEST_MAIN(TestRegistroDalCodice)
#include "tst_registro_dalcodice.moc"
