// What a codice fiscale says: the cadastral codes table, the decoding, the
// comparison with a data sheet and the codicefiscale tool. The birth data a
// new substitute's sheet is filled with are the core's (tst_registro_dalcodice).
#include "checks/codicifiscali.h"
#include "checks/coerenzacf.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

using namespace checks;

namespace {

const QString OMOCODIA = QStringLiteral("LMNPQRSTUV");
// The digit places, the one the tax office replaces first at the front.
const int OMOCODICI[7] = {14, 13, 12, 10, 9, 7, 6};

struct Persona {
    QString cognome, nome;
    QDate nascita;
    bool donna = false;
    QString luogo; // cadastral code
};
const Persona ROSSI{"ROSSI", "MARIO", QDate(1985, 12, 10), false, "H501"};

// The first 15 characters with the 16th that passes the formal check.
QString conControllo(const QString& primi15)
{
    for (char c = 'A'; c <= 'Z'; ++c)
        if (CONTROLLOCF(primi15 + QLatin1Char(c)) == 0)
            return primi15 + QLatin1Char(c);
    return QString();
}

// The person's code (the letters of the names as the program takes them, see lettere()), with the first
// `omocodie` digit places (in the tax office's order) written as letters.
QString codiceDi(const Persona& p, int omocodie = 0)
{
    QString c = lettereCognome(p.cognome) + lettereNome(p.nome) + p.nascita.toString("yy")
        + QStringLiteral("ABCDEHLMPRST").at(p.nascita.month() - 1)
        + QString("%1").arg(p.nascita.day() + (p.donna ? 40 : 0), 2, 10, QChar('0')) + p.luogo;
    for (int i = 0; i < omocodie; ++i)
        c[OMOCODICI[i]] = OMOCODIA.at(c.at(OMOCODICI[i]).digitValue());
    return conControllo(c);
}

// ROSSI's code, born in another place.
QString natoA(const QString& luogo)
{
    Persona p = ROSSI;
    p.luogo = luogo;
    return codiceDi(p);
}

// The table's rows as the resource holds them: code, province, name (with its other names after "=").
QList<QStringList> righeTabella()
{
    luogoCatastale(u"H501"); // registers the resource
    QFile file(QStringLiteral(":/checks/catasto.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QStringList> righe;
    for (const QString& riga : QString::fromUtf8(file.readAll()).split('\n')) {
        const QStringList campi = riga.split('\t');
        if (!riga.startsWith('#') && campi.size() == 4)
            righe.append({campi.at(0), campi.at(1), campi.at(3)});
    }
    return righe;
}

QString descrivi(const std::optional<DatiCodiceFiscale>& d)
{
    if (!d)
        return QStringLiteral("non decodificabile");
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(d->nascita.toString(Qt::ISODate), QString(siglaSesso(d->sesso)), d->codiceCatastale,
             d->luogo ? d->luogo->nome : QStringLiteral("-"), d->luogo ? d->luogo->provincia : QStringLiteral("-"));
}

SchedaNascita schedaDi(const Persona& p, const QString& comune, const QString& provincia)
{
    return {p.cognome, p.nome, p.donna ? QStringLiteral("F") : QStringLiteral("M"), p.nascita, comune, provincia};
}

// The facts that disagree, by name.
QString discordanti(const std::optional<ConfrontoCodiceFiscale>& c)
{
    QStringList nomi;
    for (const DatoAnagrafico d : c ? c->discordanti : QList<DatoAnagrafico>{})
        nomi << nomeDato(d);
    return c ? nomi.join(", ") : "nothing compared";
}

} // namespace

class TestDecodificaCf : public QObject {
    Q_OBJECT

private slots:
    void tabellaCatastale()
    {
        // Code: name shown, province of 2004 (Monza e Brianza came after it, Pesaro e Urbino was PS), abolished.
        const QList<std::tuple<QString, QString, QString, bool>> casi = {
            {"h501", "ROMA", "RM", false},          {"A012", "ABETONE", "PT", true}, // merged into Abetone Cutigliano
            {"F704", "MONZA", "MI", false},         {"L500", "URBINO", "PS", false},
            {"Z404", "STATI UNITI D'AMERICA", "EE", false}, {"Z502", "BAHAMA (ISOLE)", "EE", false}};
        for (const auto& [codice, nome, provincia, soppresso] : casi) {
            const std::optional<LuogoCatastale> luogo = luogoCatastale(codice);
            QVERIFY2(luogo, qPrintable(codice));
            QCOMPARE(luogo->codice, codice.toUpper());
            QCOMPARE(luogo->nome, nome);
            QCOMPARE(luogo->provincia, provincia);
            QCOMPARE(luogo->soppresso, soppresso);
        }
        // A name without its remark in brackets, another spelling, a province instituted later (every recorded
        // name and province: andataERitorno).
        QVERIFY(nomeDelLuogo(*luogoCatastale(u"Z502"), u"Bahama"));
        QVERIFY(nomeDelLuogo(*luogoCatastale(u"Z154"), u"FEDERAZIONE RUSSA"));
        QVERIFY(provinciaDelLuogo(*luogoCatastale(u"L500"), u"pu"));
        QVERIFY(!nomeDelLuogo(*luogoCatastale(u"A001"), u"ABANO"));
        QVERIFY(!provinciaDelLuogo(*luogoCatastale(u"H501"), u"RI"));
        for (const QString fuori : {"A000", "Z999", "", "H50", "H5011", "1501", "H5O1", "ÀH501"})
            QVERIFY2(!luogoCatastale(fuori), qPrintable(fuori));
    }

    void decodifica()
    {
        // Code: date, sex, cadastral code, place and province of 2004 ("-" for a place the table does not know).
        // Blanks and case, a wrong check letter; a woman's last day; the centuries (the birth is never
        // after the return's year); leap days; a foreign state, a province of 2004, a place the table does not know.
        const QList<std::pair<QString, QString>> decodificati = {
            {"  rssmra85t10h501s ", "1985-12-10 M H501 ROMA RM"}, {"RSSMRA85T10H501A", "1985-12-10 M H501 ROMA RM"},
            {"RSSMRA85A71H501W", "1985-01-31 F H501 ROMA RM"},
            {"RSSMRA04L01H501S", "2004-07-01 M H501 ROMA RM"},    {"RSSMRA05A01H501S", "1905-01-01 M H501 ROMA RM"},
            {"RSSMRA00B69H501S", "2000-02-29 F H501 ROMA RM"},    {"RSSMRA04B29H501S", "2004-02-29 M H501 ROMA RM"},
            {"SMTJHN70E05Z404X", "1970-05-05 M Z404 STATI UNITI D'AMERICA EE"},
            {"BNCLRA60M45F704X", "1960-08-05 F F704 MONZA MI"},   {"RSSMRA85T10Z999S", "1985-12-10 M Z999 - -"},
            // Omocodia: every digit place written as its letter (9 1 0 8 2 0 5), in either case, the digits all
            // different, so that a letter read back as the wrong digit shows.
            {"MRTMTT91D08F205X", "1991-04-08 M F205 MILANO MI"},   {"mrtmttvmdlufnlrx", "1991-04-08 M F205 MILANO MI"}};
        for (const auto& [codice, atteso] : decodificati)
            QCOMPARE(descrivi(decodificaCodiceFiscale(codice)), atteso);

        const QStringList nonDecodificati = {
            "RSSMRA97B29H501S", "RSSMRA05B69H501S", "RSSMRA85B31H501S", "RSSMRA85D71H501S", // 29/2 of 1997, 1905; 31/2; 31/4
            "RSSMRA85F10H501S", "RSSMRA85Z10H501S",                                         // no month
            "RSSMRA85A00H501S", "RSSMRA85A32H501S", "RSSMRA85A40H501S", "RSSMRA85A72H501S", // no day
            "12345678903", "RSSMRA85T10H501", "RSSMRA85T10H501SS",                          // other lengths
            "R5SMRA85T10H501S", "RSSMR485T10H501S", "RSSMRA8AT10H501S", "RSSMRA85110H501S", // signs out of place
            "RSSMRA85T101501S", "RSSMRA85T10H5011", "RSSMRA85T10 H501", "RSSMRÀ85T10H501S"};
        for (const QString& codice : nonDecodificati)
            QVERIFY2(!decodificaCodiceFiscale(codice), qPrintable(codice));
    }

    void andataERitorno()
    {
        // Every recorded name of every place, and places the table does not know, with a random birth between
        // 1905 and the end of 2004: the code, computed here with any number of omocodia letters, decodes back
        // to it, and a sheet holding the facts (the recorded name and province as a clerk might type them)
        // agrees with it.
        const QList<QStringList> righe = righeTabella();
        QSet<QString> codici;
        for (const QStringList& r : righe)
            codici.insert(r.at(0));
        QVERIFY(codici.size() > 10000);
        QCOMPARE(numeroCodiciCatastali(), codici.size());
        QRandomGenerator caso(770);
        for (QStringList riga : righe + QList<QStringList>(2000)) {
            Persona p = ROSSI;
            p.nascita = QDate(1905, 1, 1).addDays(caso.bounded(QDate(1905, 1, 1).daysTo(QDate(2004, 12, 31)) + 1));
            p.donna = caso.bounded(2);
            const bool nota = !riga.isEmpty();
            while (riga.isEmpty() || (!nota && codici.contains(riga.at(0))))
                riga = {QChar(u'A' + caso.bounded(26)) + QString("%1").arg(caso.bounded(1000), 3, 10, QChar('0')), "XX",
                        "ALTROVE"};
            p.luogo = riga.at(0);
            const QString codice = codiceDi(p, caso.bounded(8));
            const QString perso = codice + ' ' + p.nascita.toString(Qt::ISODate) + ' ' + riga.join(' ');
            const std::optional<DatiCodiceFiscale> d = decodificaCodiceFiscale(caso.bounded(2) ? codice : codice.toLower());
            QVERIFY2(d, qPrintable(perso));
            QCOMPARE(d->nascita, p.nascita);
            QCOMPARE(d->sesso, p.donna ? Sesso::Femminile : Sesso::Maschile);
            QCOMPARE(d->codiceCatastale, p.luogo);
            QCOMPARE(d->luogo.has_value(), nota);
            QString nome = riga.at(2).section('=', 0, 0);
            if (caso.bounded(2))
                nome = nome.toLower().replace('\'', ' ');
            const SchedaNascita scheda = schedaDi(p, nome, riga.at(1).toLower());
            QCOMPARE(perso + ": " + discordanti(confrontaCodiceFiscale(scheda, codice)), perso + ": ");
        }
    }

    void lettere()
    {
        // The three letters of a surname and of a first name (of four consonants or more, the second is left
        // out): vowels after the consonants, X for what is missing; accents, apostrophes and blanks do not count.
        const QList<std::tuple<QString, QString, QString>> casi = {
            {"ROSSI", "RSS", "RSS"},   {"GIANFRANCO", "GNF", "GFR"}, {"AIELLO", "LLA", "LLA"}, {"D'AMICO", "DMC", "DMC"},
            {"DE LUCA", "DLC", "DLC"}, {"NICOLÒ", "NCL", "NCL"},     {"ÉMILE", "MLE", "MLE"},  {"O", "OXX", "OXX"},
            {"", "XXX", "XXX"}};
        for (const auto& [testo, cognome, nome] : casi) {
            QCOMPARE(lettereCognome(testo), cognome);
            QCOMPARE(lettereNome(testo), nome);
        }
    }

    void confrontoConLaScheda()
    {
        // Code, sheet, the facts that disagree in the sheet's order. Empty fields (a sheet being filled in,
        // "00/00/0000") are not compared; in a place's name accents, apostrophes, blanks and case do not count,
        // nor does a province instituted later; a merged municipality's new name is not its own; a place the
        // table does not know is not compared; a company's partita IVA, a code that does not decode: nothing.
        const QString roma = natoA("H501"), forli = natoA("D704"), aci = natoA("A029");
        const QList<std::tuple<QString, SchedaNascita, QString>> casi = {
            {roma, schedaDi(ROSSI, "ROMA", "RM"), ""},
            {roma, {"VERDI", "MARIO", "M", QDate(1958, 12, 10), "MILANO", "RM"}, "cognome, data di nascita, comune di nascita"},
            {roma, {"X", "Y", "F", QDate(2000, 1, 1), "TORINO", "TO"},
             "cognome, nome, sesso, data di nascita, comune di nascita, provincia di nascita"},
            {roma, {" ", "", " ", QDate(), "", "  "}, ""},
            {forli, schedaDi(ROSSI, "Forlì", "fc"), ""}, {forli, schedaDi(ROSSI, "FORLI'", "FC"), ""},
            {forli, schedaDi(ROSSI, "FORLIMPOPOLI", "FC"), "comune di nascita"},
            {aci, schedaDi(ROSSI, "ACI SANT’ANTONIO", "CT"), ""}, {aci, schedaDi(ROSSI, "Aci Santantonio", "CT"), ""},
            {aci, schedaDi(ROSSI, "ACI SANT ANTONINO", "CT"), "comune di nascita"},
            {natoA("A012"), schedaDi(ROSSI, "ABETONE CUTIGLIANO", "PT"), "comune di nascita"},
            {natoA("F704"), schedaDi(ROSSI, "MONZA", "MB"), ""}, {natoA("Z999"), schedaDi(ROSSI, "ATLANTIDE", "EE"), ""},
            {natoA("Z404"), schedaDi(ROSSI, "STATI UNITI", "EE"), "comune di nascita"},
            {"12345678903", schedaDi(ROSSI, "ROMA", "RM"), "nothing compared"},
            {"RSSMRA85B31H501S", schedaDi(ROSSI, "ROMA", "RM"), "nothing compared"}};
        for (const auto& [codice, scheda, attese] : casi)
            QCOMPARE(codice + ' ' + scheda.comune + ": " + discordanti(confrontaCodiceFiscale(scheda, codice)),
                     codice + ' ' + scheda.comune + ": " + attese);
        // The lines the sheet shows: a man, a place not in the table, a woman born abroad; what disagrees.
        QCOMPARE(rigaDalCodice(decodificaCodiceFiscale(roma).value()), "Dal codice fiscale: nato il 10/12/1985 a ROMA (RM)");
        QCOMPARE(rigaDalCodice(decodificaCodiceFiscale(natoA("Z999")).value()),
                 "Dal codice fiscale: nato il 10/12/1985 a Z999 (codice catastale non in elenco)");
        const Persona anna{"BIANCHI", "ANNA", QDate(1970, 2, 1), true, "Z110"};
        QCOMPARE(rigaDalCodice(decodificaCodiceFiscale(codiceDi(anna)).value()),
                 "Dal codice fiscale: nata il 01/02/1970 a FRANCIA (EE)");
        QCOMPARE(rigaDiscordanze({DatoAnagrafico::Nome, DatoAnagrafico::ComuneNascita}),
                 "Non corrispondono al codice fiscale: nome, comune di nascita");
        QCOMPARE(rigaDiscordanze({}), QString());
    }

    void strumento()
    {
        // The tool on codes as arguments and, the same codes, on standard input (blank lines skipped).
        QString sbagliato = codiceDi({"BIANCHI", "ANNA", QDate(1960, 8, 5), true, "F704"});
        sbagliato[15] = sbagliato.at(15) == 'A' ? 'B' : 'A';
        const QStringList codici = {codiceDi(ROSSI).toLower(), "12345678903", "12345678900", "123456789031", sbagliato,
                                    natoA("Z999")};
        const QStringList attese = {codici[0] + "\t0\t1985-12-10\tM\tH501\tROMA\tRM", // read in capitals
                                    codici[1] + "\t0\t\t\t\t\t", codici[2] + "\t1\t\t\t\t\t", codici[3] + "\t1\t\t\t\t\t",
                                    codici[4] + "\t1\t1960-08-05\tF\tF704\tMONZA\tMI",
                                    codici[5] + "\t0\t1985-12-10\tM\tZ999\t\t"};
        const QString programma = QDir(qEnvironmentVariable("ANAGSOST_TOOLS_DIR")).filePath("codicefiscale");
        for (const bool daIngresso : {false, true}) {
            QProcess p;
            p.start(programma, daIngresso ? QStringList() : codici);
            if (daIngresso) {
                p.write(("\n  " + codici.join("\n\n") + "  \n").toUtf8());
                p.closeWriteChannel();
            }
            QVERIFY(p.waitForFinished(30000));
            QCOMPARE(QString::fromUtf8(p.readAllStandardError()), QString());
            QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), attese.join('\n') + '\n');
            QCOMPARE(p.exitCode(), 0);
        }
    }
};

QTEST_APPLESS_MAIN(TestDecodificaCf)
#include "tst_decodificacf.moc"
