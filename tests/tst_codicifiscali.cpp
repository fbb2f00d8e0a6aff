// Formal checks of codice fiscale and partita IVA, the numeric-text test and
// the check sequence run when a typed code is confirmed.
#include "checks/codicifiscali.h"
#include "checks/controllocodice.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QtTest>

namespace {

// Reference check character from the published rule (odd-position values of
// 0-9 then A-Z; at even positions digits are worth 0-9 and letters 0-25),
// written independently of the program's conversion table.
QChar carattereDiControllo(const QString& primi15)
{
    static const int dispari[36] = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 1, 0, 5, 7, 9, 13, 15, 17,
                                    19, 21, 2, 4, 18, 20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};
    int somma = 0;
    for (int i = 0; i < 15; ++i) {
        const char c = primi15.at(i).toLatin1();
        const int indice = c <= '9' ? c - '0' : c - 'A';
        somma += i % 2 == 1 ? indice : dispari[c <= '9' ? indice : indice + 10];
    }
    return QChar('A' + somma % 26);
}

} // namespace

class TestCodiciFiscali : public QObject {
    Q_OBJECT
private slots:
    void controlli()
    {
        // By hand: eight A/0 at odd positions add 1 each, sum 8, I; R8 S18 S12 M12 R8 A0 8:19 5:5 T14 1:1 0:1
        // A0 5:13 6:6 2:5 = 122, mod 26 = 18, S. Partite IVA: 25 + 22 = 47, check 3; 16 + 17 = 33, check 7;
        // eleven zeros: 10 becomes 0. A sign, separator or blank is not a digit, even where counting it as 0
        // would make the sum come out right; a twelfth character is not read.
        const QList<std::tuple<bool, const char*, int>> casi = {
            {false, "AAAAAA00A00A000I", 0}, {false, "RSSMRA85T10A562S", 0}, {false, "RSSMRA85T10A562T", 1},
            {false, "RSSmRA85T10A562S", 1}, {false, "RSSMRA85T10A562", 1},  {false, "RSSMRA85T10A562SS", 1},
            {false, "RSSMRA 5T10A562S", 1}, {false, "RSSMRA85T10A.62S", 1}, {false, "RSSMRÀ85T10A562S", 1},
            {false, "", 1},                 {true, "12345678903", 0},       {true, "12345678900", 1},
            {true, "00000000000", 0},       {true, "21345678903", 1},       {true, "07643520567", 0},
            {true, "-0000000000", 1},       {true, "00000.00000", 1},       {true, " 0000000000", 1},
            {true, "1234567890", 1},        {true, "12345678903X", 0},      {true, "١٢٣٤٥٦٧٨٩٠٣", 1},
            {false, "RSSMRA85T10A5\U0001F600S", 1}}; // sixteen UTF-16 units
        for (const auto& [piva, testo, esito] : casi)
            QCOMPARE(QString(testo) + ' ' + QString::number(piva ? CONTROLLOPIVA(testo) : CONTROLLOCF(testo)),
                     QString(testo) + ' ' + QString::number(esito));
    }

    void controlloControDerivato()
    {
        // Random codes over the 36 accepted characters (letters where omocodia puts them too), each with every
        // possible 16th character, lower case too: only the right one passes.
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
        for (const char* si : {"12345678903", "1234567890123456", "  00743  ", "-1234567890", "+5", "12.5"})
            QVERIFY2(ISNUMERIC(QLatin1String(si)), si);
        for (const char* no : {"", "   ", "1234567890A", "1e5", "inf", "nan", "--1", "12-34", "12 34", "-"})
            QVERIFY2(!ISNUMERIC(QLatin1String(no)), no);
        // The locale's separators are accepted; letters still are not.
        const QLocale prima;
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        const QList<bool> italiano = {ISNUMERIC("12,5"), ISNUMERIC("1.234.567"), ISNUMERIC("12.5"), ISNUMERIC("12,5a")};
        QLocale::setDefault(prima);
        QCOMPARE(italiano, QList<bool>({true, true, true, false}));
    }

    void sequenza()
    {
        // Code, answer to the box if one shows, the box shown as style:text (68 Yes/No with the information
        // icon, 64 OK); the partita IVA question is the insertion frame's. A code is checked trimmed. It goes
        // on with no box or with a Yes; otherwise the field is highlighted.
        const QString titolo = "Anagrafiche di ditte da operazioni straordinarie e successioni";
        const QString cf = "68:Codice fiscale formalmente errato\r\rVuoi proseguire ugualmente";
        const QString lungPiva = "64:Lunghezza partita IVA errata", lungCf = "64:Lunghezza codice fiscale errata";
        const QList<std::tuple<QString, int, QString>> casi = {
            {"    ", 0, ""},           {"  12345678903", 0, ""},        {"1234567890", 0, lungPiva},
            {"1234567890123456", 0, lungPiva}, {"RSSMRA85T10A562S", 0, ""}, {"RSSMRA85T10A562A", vbYes, cf},
            {"rssmra85t10a562s", vbNo, cf}, {"RSSMRA85T10A562", 0, lungCf}, {"1234567890A", 0, lungCf}};
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
};

QTEST_APPLESS_MAIN(TestCodiciFiscali)
#include "tst_codicifiscali.moc"
