// What a codice fiscale or a partita IVA says: the formal checks, the check
// sequence run when a typed code is confirmed, the cadastral codes table, the
// decoding, and the comparison with a data sheet.
#include "checks/codicifiscali.h"
#include "checks/coerenzacf.h"
#include "checks/controllocodice.h"
#include "support/programma.h"

#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

using namespace checks;

namespace {

// Reference check character from the published rule (odd-position values of
// 0-9 then A-Z; at even positions digits are worth 0-9 and letters 0-25),
// written independently of the program's conversion table.
QChar carattereDiControllo(const QString& primi15)
{
    // clang-format off
    static const int dispari[36] = {
        1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 2, 4, 18, 20, 11, 3, 6, 8, 12, 14, 16,
        10, 22, 25, 24, 23};
    // clang-format on
    int somma = 0;
    for (int i = 0; i < 15; ++i) {
        const char c = primi15.at(i).toLatin1();
        const int indice = c <= '9' ? c - '0' : c - 'A';
        somma += i % 2 == 1 ? indice : dispari[c <= '9' ? indice : indice + 10];
    }
    return QChar('A' + somma % 26);
}

struct Persona {
    QString cognome, nome;
    QDate nascita;
    bool donna = false;
    QString luogo; // cadastral code
};
const Persona ROSSI{"ROSSI", "MARIO", QDate(1985, 12, 10), false, "H501"};

// The person's code, with the first `omocodie` digit places (in the tax office's order) written as letters.
QString codiceDi(const Persona& p, int omocodie = 0)
{
    static const int omocodici[7] = {14, 13, 12, 10, 9, 7, 6};
    QString c = lettereCognome(p.cognome) + lettereNome(p.nome) + p.nascita.toString("yy") +
                QStringLiteral("ABCDEHLMPRST").at(p.nascita.month() - 1) +
                QString("%1").arg(p.nascita.day() + (p.donna ? 40 : 0), 2, 10, QChar('0')) + p.luogo;
    for (int i = 0; i < omocodie; ++i)
        c[omocodici[i]] = QStringLiteral("LMNPQRSTUV").at(c.at(omocodici[i]).digitValue());
    return c + carattereDiControllo(c);
}

// ROSSI's code, born in another place.
QString natoA(const QString& luogo)
{
    Persona p = ROSSI;
    p.luogo = luogo;
    return codiceDi(p);
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

class TestCodiciFiscali : public QObject {
    Q_OBJECT
private slots:
    void controlli()
    {
        // By hand: eight A/0 at odd positions add 1 each, sum 8, I. Partite IVA: 25 + 22 = 47, check 3; eleven
        // zeros: 10 becomes 0. A sign, separator or blank is not a digit, even where counting it as 0 would make
        // the sum come out right; a twelfth character is not read.
        // clang-format off
        const QList<std::tuple<bool, const char*, int>> casi = {
            {false, "AAAAAA00A00A000I", 0}, {false, "RSSMRA85T10A562S", 0}, {false, "RSSMRA85T10A562T", 1},
            {false, "RSSmRA85T10A562S", 1}, {false, "RSSMRA85T10A562", 1}, {false, "RSSMRA85T10A562SS", 1},
            {false, "RSSMRA 5T10A562S", 1}, {false, "RSSMRÀ85T10A562S", 1}, {false, "", 1}, {true, "12345678903", 0},
            {true, "12345678900", 1}, {true, "00000000000", 0}, {true, "21345678903", 1}, {true, "07643520567", 0},
            {true, "-0000000000", 1}, {true, "00000.00000", 1}, {true, "1234567890", 1}, {true, "12345678903X", 0},
            {true, "١٢٣٤٥٦٧٨٩٠٣", 1}, {false, "RSSMRA85T10A5\U0001F600S", 1}}; // sixteen UTF-16 units
        // clang-format on
        for (const auto& [piva, testo, esito] : casi)
            QCOMPARE(QString(testo) + ' ' + QString::number(piva ? CONTROLLOPIVA(testo) : CONTROLLOCF(testo)),
                     QString(testo) + ' ' + QString::number(esito));
        // Random codes over the 36 accepted characters, each with every possible 16th character, lower case too:
        // only the right one passes.
        const QString tutti = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        QRandomGenerator caso(20040770);
        for (int n = 0; n < 500; ++n) {
            QString primi15;
            for (int i = 0; i < 15; ++i)
                primi15 += tutti.at(caso.bounded(36));
            for (const QChar c : tutti + tutti.toLower())
                QCOMPARE(CONTROLLOCF(primi15 + c), c == carattereDiControllo(primi15) ? 0 : 1);
        }
    }

    void numeroTestoENumerico()
    {
        QStringList testi;
        for (double x : {0.0, 46.95, 3.5, -2.95, -0.5, 12345678901.0})
            testi << NUMEROTESTO(x);
        QCOMPARE(testi, QStringList({"0", "47", "3", "-3", "0", "12345678901"}));
        for (const char* si : {"12345678903", "  00743  ", "-1234567890", "+5", "12.5"})
            QVERIFY2(ISNUMERIC(QLatin1String(si)), si);
        for (const char* no : {"", "   ", "1234567890A", "1e5", "inf", "--1", "12 34"})
            QVERIFY2(!ISNUMERIC(QLatin1String(no)), no);
        // The locale's separators are accepted; letters still are not.
        const QLocale prima;
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        const QList<bool> italiano = {ISNUMERIC("12,5"), ISNUMERIC("1.234.567"), ISNUMERIC("12,5a")};
        QLocale::setDefault(prima);
        QCOMPARE(italiano, QList<bool>({true, true, false}));
    }

    void sequenza()
    {
        // Code, answer to the box if one shows, the box shown as style:text (68 Yes/No with the information
        // icon, 64 OK). A code is checked trimmed. It goes on with no box or with a Yes; otherwise the field is
        // highlighted.
        const QString titolo = "Anagrafiche di ditte da operazioni straordinarie e successioni";
        const QString cf = "68:Codice fiscale formalmente errato\r\rVuoi proseguire ugualmente";
        const QString lungPiva = "64:Lunghezza partita IVA errata", lungCf = "64:Lunghezza codice fiscale errata";
        // clang-format off
        const QList<std::tuple<QString, int, QString>> casi = {
            {"    ", 0, ""}, {"  12345678903", 0, ""}, {"1234567890", 0, lungPiva}, {"1234567890123456", 0, lungPiva},
            {" RSSMRA85T10A562S", 0, ""}, {"RSSMRA85T10A562A", vbYes, cf}, {"rssmra85t10a562s", vbNo, cf},
            {"RSSMRA85T10A562", 0, lungCf}, {"1234567890A", 0, lungCf}};
        // clang-format on
        for (const auto& [codice, risposta, atteso] : casi) {
            QString visti;
            const auto esito = CONTROLLOCODICE(codice, titolo, [&, r = risposta](const QString& t, int s, QString ti) {
                visti += QString::number(s) + ':' + t + (ti == titolo ? "" : " (" + ti + ')');
                return r ? r : int(vbOK);
            });
            QCOMPARE(codice + ' ' + visti, codice + ' ' + atteso);
            QCOMPARE(esito.prosegui, atteso.isEmpty() || risposta == vbYes);
            QCOMPARE(esito.evidenzia, !(atteso.isEmpty() || risposta == vbYes));
        }
    }

    void tabellaCatastale()
    {
        // Code: name shown, province of 2004 (Monza e Brianza came after it, Pesaro e Urbino was PS), abolished.
        // A012 was merged into Abetone Cutigliano.
        // clang-format off
        const QList<std::tuple<QString, QString, QString, bool>> casi = {
            {"h501", "ROMA", "RM", false}, {"A012", "ABETONE", "PT", true}, {"F704", "MONZA", "MI", false},
            {"L500", "URBINO", "PS", false}, {"Z404", "STATI UNITI D'AMERICA", "EE", false}};
        // clang-format on
        for (const auto& [codice, nome, provincia, soppresso] : casi) {
            const std::optional<LuogoCatastale> luogo = luogoCatastale(codice);
            QVERIFY2(luogo, qPrintable(codice));
            QCOMPARE(luogo->codice + ' ' + luogo->nome + ' ' + luogo->provincia + ' ' +
                         QString::number(luogo->soppresso),
                     codice.toUpper() + ' ' + nome + ' ' + provincia + ' ' + QString::number(soppresso));
        }
        // A name without its remark in brackets, another spelling (every recorded name and province:
        // andataERitorno; a province instituted later: confrontoConLaScheda); the start of a name is not the name.
        QVERIFY(nomeDelLuogo(*luogoCatastale(u"Z502"), u"Bahama"));
        QVERIFY(nomeDelLuogo(*luogoCatastale(u"Z154"), u"FEDERAZIONE RUSSA"));
        QVERIFY(!nomeDelLuogo(*luogoCatastale(u"A001"), u"ABANO")); // ABANO TERME
        for (const QString fuori : {"A000", "Z999", "", "H50", "H5011", "1501", "H5O1", "ÀH501"})
            QVERIFY2(!luogoCatastale(fuori), qPrintable(fuori));
    }

    void decodifica()
    {
        // What the round trip below does not reach: blanks and case, a wrong check letter, the century of a
        // two-digit year (the birth is never after the return's year), codes that do not decode.
        // clang-format off
        const QList<std::pair<QString, QString>> decodificati = {
            {"  rssmra85t10h501s ", "1985-12-10 M H501 ROMA RM"}, {"RSSMRA85T10H501A", "1985-12-10 M H501 ROMA RM"},
            {"RSSMRA04L01H501S", "2004-07-01 M H501 ROMA RM"}, {"RSSMRA05A01H501S", "1905-01-01 M H501 ROMA RM"}};
        // clang-format on
        for (const auto& [codice, atteso] : decodificati)
            QCOMPARE(descrivi(decodificaCodiceFiscale(codice)), atteso);
        // 29/2 of 1997 and 1905, 31/2, 31/4; no month; no day; other lengths; signs out of place.
        // clang-format off
        const QStringList nonDecodificati = {
            "RSSMRA97B29H501S", "RSSMRA05B69H501S", "RSSMRA85B31H501S", "RSSMRA85D71H501S", "RSSMRA85F10H501S",
            "RSSMRA85A00H501S", "RSSMRA85A32H501S", "RSSMRA85A40H501S", "RSSMRA85A72H501S", "12345678903",
            "RSSMRA85T10H501", "RSSMRA85T10H501SS", "R5SMRA85T10H501S", "RSSMR485T10H501S", "RSSMRA8AT10H501S",
            "RSSMRA85110H501S", "RSSMRA85T101501S", "RSSMRA85T10H5011", "RSSMRA85T10 H501", "RSSMRÀ85T10H501S"};
        // clang-format on
        for (const QString& codice : nonDecodificati)
            QVERIFY2(!decodificaCodiceFiscale(codice), qPrintable(codice));
    }

    void andataERitorno()
    {
        // Every recorded name of every place, and places the table does not know, with a random birth between
        // 1905 and the end of 2004: the code, computed here with any number of omocodia letters, decodes back
        // to it, and a sheet holding the facts (the recorded name and province as a clerk might type them)
        // agrees with it.
        luogoCatastale(u"H501"); // registers the table's resource
        QFile file(QStringLiteral(":/checks/catasto.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QList<QStringList> righe; // code, province, name (with its other names after "=")
        QSet<QString> codici;
        for (const QString& riga : QString::fromUtf8(file.readAll()).split('\n')) {
            const QStringList campi = riga.split('\t');
            if (!riga.startsWith('#') && campi.size() == 4) {
                righe.append({campi.at(0), campi.at(1), campi.at(3)});
                codici.insert(campi.at(0));
            }
        }
        QVERIFY(codici.size() > 10000);
        QCOMPARE(numeroCodiciCatastali(), codici.size());
        QRandomGenerator caso(770);
        for (QStringList riga : righe + QList<QStringList>(2000)) {
            Persona p = ROSSI;
            p.nascita = QDate(1905, 1, 1).addDays(caso.bounded(QDate(1905, 1, 1).daysTo(QDate(2004, 12, 31)) + 1));
            p.donna = caso.bounded(2);
            const bool nota = !riga.isEmpty();
            while (riga.isEmpty() || (!nota && codici.contains(riga.at(0))))
                // clang-format off
                riga = {
                    QChar(u'A' + caso.bounded(26)) + QString("%1").arg(caso.bounded(1000), 3, 10, QChar('0')), "XX",
                    "ALTROVE"};
            // clang-format on
            p.luogo = riga.at(0);
            const QString codice = codiceDi(p, caso.bounded(8));
            const QString perso = codice + ' ' + p.nascita.toString(Qt::ISODate) + ' ' + riga.join(' ');
            const std::optional<DatiCodiceFiscale> d =
                decodificaCodiceFiscale(caso.bounded(2) ? codice : codice.toLower());
            QVERIFY2(d, qPrintable(perso));
            QCOMPARE(std::tuple(d->nascita, d->sesso, d->codiceCatastale, d->luogo.has_value()),
                     std::tuple(p.nascita, p.donna ? Sesso::Femminile : Sesso::Maschile, p.luogo, nota));
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
        // clang-format off
        const QList<std::tuple<QString, QString, QString>> casi = {
            {"ROSSI", "RSS", "RSS"}, {"GIANFRANCO", "GNF", "GFR"}, {"AIELLO", "LLA", "LLA"},
            {"D'AMICO", "DMC", "DMC"}, {"DE LUCA", "DLC", "DLC"}, {"NICOLÒ", "NCL", "NCL"}, {"ÉMILE", "MLE", "MLE"},
            {"O", "OXX", "OXX"}, {"", "XXX", "XXX"}};
        // clang-format on
        for (const auto& [testo, cognome, nome] : casi)
            QCOMPARE(lettereCognome(testo) + ' ' + lettereNome(testo), cognome + ' ' + nome);
    }

    void confrontoConLaScheda()
    {
        // Code, sheet, the facts that disagree in the sheet's order, beyond the round trip's agreeing sheets
        // (which also hold provinces instituted later and places the table does not know). Empty fields are not
        // compared; in a place's name accents, apostrophes, blanks and case do not count; a merged
        // municipality's new name is not its own; a company's partita IVA, a code that does not decode: nothing.
        const QString roma = natoA("H501"), forli = natoA("D704"), aci = natoA("A029");
        // clang-format off
        const QList<std::tuple<QString, SchedaNascita, QString>> casi = {
            {roma, {"X", "Y", "F", QDate(2000, 1, 1), "TORINO", "TO"}, "cognome, nome, sesso, data di nascita, comune di nascita, provincia di nascita"},
            {roma, {" ", "", " ", QDate(), "", "  "}, ""}, {forli, schedaDi(ROSSI, "Forlì", "fc"), ""},
            {forli, schedaDi(ROSSI, "FORLI'", "FC"), ""},
            {forli, schedaDi(ROSSI, "FORLIMPOPOLI", "FC"), "comune di nascita"},
            {aci, schedaDi(ROSSI, "ACI SANT’ANTONIO", "CT"), ""}, {aci, schedaDi(ROSSI, "Aci Santantonio", "CT"), ""},
            {natoA("A012"), schedaDi(ROSSI, "ABETONE CUTIGLIANO", "PT"), "comune di nascita"},
            {"12345678903", schedaDi(ROSSI, "ROMA", "RM"), "nothing compared"},
            {"RSSMRA85B31H501S", schedaDi(ROSSI, "ROMA", "RM"), "nothing compared"}};
        // clang-format on
        for (const auto& [codice, scheda, attese] : casi)
            QCOMPARE(codice + ' ' + scheda.comune + ": " + discordanti(confrontaCodiceFiscale(scheda, codice)),
                     codice + ' ' + scheda.comune + ": " + attese);
        // The lines the sheet shows: a man, a place not in the table, a woman born abroad; what disagrees.
        QCOMPARE(rigaDalCodice(decodificaCodiceFiscale(roma).value()),
                 "Dal codice fiscale: nato il 10/12/1985 a ROMA (RM)");
        QCOMPARE(rigaDalCodice(decodificaCodiceFiscale(natoA("Z999")).value()),
                 "Dal codice fiscale: nato il 10/12/1985 a Z999 (codice catastale non in elenco)");
        const Persona anna{"BIANCHI", "ANNA", QDate(1970, 2, 1), true, "Z110"};
        QCOMPARE(rigaDalCodice(decodificaCodiceFiscale(codiceDi(anna)).value()),
                 "Dal codice fiscale: nata il 01/02/1970 a FRANCIA (EE)");
        QCOMPARE(rigaDiscordanze({DatoAnagrafico::Nome, DatoAnagrafico::ComuneNascita}),
                 "Non corrispondono al codice fiscale: nome, comune di nascita");
    }
};

PROVA(TestCodiciFiscali);
#include "codicifiscali.moc"
