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

const QString TITOLO = QStringLiteral("Anagrafiche di ditte da operazioni straordinarie e successioni");

} // namespace

class TestCodiciFiscali : public QObject {
    Q_OBJECT
private slots:
    void controllo_data();
    void controllo();
    void controlloControDerivato();
    void numeroTestoENumerico();
    void sequenza_data();
    void sequenza();
};

void TestCodiciFiscali::controllo_data()
{
    QTest::addColumn<QString>("codice");
    QTest::addColumn<int>("esito");
    QTest::addColumn<bool>("piva"); // CONTROLLOPIVA, else CONTROLLOCF
    // Eight A/0 at odd positions add 1 each, even positions 0: sum 8, letter I.
    QTest::newRow("tutte A e zeri") << "AAAAAA00A00A000I" << 0 << false;
    // By hand: R8 S18 S12 M12 R8 A0 8:19 5:5 T14 1:1 0:1 A0 5:13 6:6 2:5 = 122, 122 mod 26 = 18, S.
    QTest::newRow("persona fisica") << "RSSMRA85T10A562S" << 0 << false;
    QTest::newRow("controllo errato") << "RSSMRA85T10A562T" << 1 << false;
    QTest::newRow("i minuscola finale") << "AAAAAA00A00A000i" << 1 << false;
    QTest::newRow("una minuscola") << "RSSmRA85T10A562S" << 1 << false;
    QTest::newRow("15 caratteri") << "RSSMRA85T10A562" << 1 << false;
    QTest::newRow("17 caratteri") << "RSSMRA85T10A562SS" << 1 << false;
    QTest::newRow("blank in mezzo") << "RSSMRA 5T10A562S" << 1 << false;
    QTest::newRow("punto") << "RSSMRA85T10A.62S" << 1 << false;
    QTest::newRow("accentata") << QString::fromUtf8("RSSMRÀ85T10A562S") << 1 << false;
    QTest::newRow("carattere NUL") << QString(QChar(0)) + QStringLiteral("SSMRA85T10A562S") << 1 << false;
    // Sixteen UTF-16 units holding a character outside the basic plane.
    QTest::newRow("coppia surrogata") << QString::fromUtf8("RSSMRA85T10A5\U0001F600S") << 1 << false;
    QTest::newRow("vuoto") << QString() << 1 << false;
    // 1+3+5+7+9 = 25, doubled even digits 4+8+3+7+0 = 22, sum 47, check 3.
    QTest::newRow("piva esempio") << "12345678903" << 0 << true;
    QTest::newRow("piva controllo errato") << "12345678900" << 1 << true;
    QTest::newRow("piva undici zeri") << "00000000000" << 0 << true; // 10 becomes 0
    QTest::newRow("piva cifre scambiate") << "21345678903" << 1 << true;
    // By hand: odd 0+6+3+2+5 = 16, doubled even 14->5, 8, 10->1, 0, 12->3 = 17, sum 33, check 7.
    QTest::newRow("piva a mano") << "07643520567" << 0 << true;
    QTest::newRow("piva a mano, errata") << "07643520568" << 1 << true;
    // A sign, separator or blank is not a digit, even where counting it as 0
    // would make the sum come out right.
    QTest::newRow("piva segno meno e zeri") << "-0000000000" << 1 << true;
    QTest::newRow("piva separatore e zeri") << "00000.00000" << 1 << true;
    QTest::newRow("piva blank e zeri") << " 0000000000" << 1 << true;
    QTest::newRow("piva 10 cifre") << "1234567890" << 1 << true;
    QTest::newRow("piva cifre orientali") << QString::fromUtf8("١٢٣٤٥٦٧٨٩٠٣") << 1 << true;
    QTest::newRow("piva dodicesimo ignorato") << "12345678903X" << 0 << true;
}

void TestCodiciFiscali::controllo()
{
    QFETCH(QString, codice);
    QFETCH(int, esito);
    QFETCH(bool, piva);
    QCOMPARE(piva ? CONTROLLOPIVA(codice) : CONTROLLOCF(codice), esito);
}

void TestCodiciFiscali::controlloControDerivato()
{
    // Every possible 16th character of one code: only the right one passes.
    const QString base = QStringLiteral("VRDGPP80A41F205");
    const QString tutti = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    for (const QChar c : tutti)
        QCOMPARE(CONTROLLOCF(base + c), c == carattereDiControllo(base) ? 0 : 1);
    QCOMPARE(CONTROLLOCF(base + carattereDiControllo(base).toLower()), 1);

    // Omocodia: digits replaced from the right by L M N P Q R S T U V.
    QString omocodice = QStringLiteral("RSSMRA85T10A562");
    for (int posizione : {14, 13, 12, 10, 9, 7, 6}) {
        omocodice[posizione] = QStringLiteral("LMNPQRSTUV").at(omocodice.at(posizione).digitValue());
        QCOMPARE(CONTROLLOCF(omocodice + carattereDiControllo(omocodice)), 0);
    }
    QCOMPARE(omocodice, QStringLiteral("RSSMRAURTMLARSN"));

    // Random codes over the 36 accepted characters.
    QRandomGenerator caso(20040770);
    for (int n = 0; n < 2000; ++n) {
        QString primi15;
        for (int i = 0; i < 15; ++i)
            primi15 += tutti.at(caso.bounded(36));
        const QChar giusto = carattereDiControllo(primi15);
        QCOMPARE(CONTROLLOCF(primi15 + giusto), 0);
        QCOMPARE(CONTROLLOCF(primi15 + QChar('A' + (giusto.unicode() - 'A' + 1 + caso.bounded(25)) % 26)), 1);
    }
}

void TestCodiciFiscali::numeroTestoENumerico()
{
    const QList<QPair<double, QString>> numeri = {{0.0, "0"},   {46.95, "47"}, {3.5, "3"},
                                                  {-2.95, "-3"}, {-0.5, "0"},   {12345678901.0, "12345678901"}};
    for (const auto& [numero, testo] : numeri)
        QCOMPARE(NUMEROTESTO(numero), testo);

    for (const char* si : {"12345678903", "1234567890123456", "  00743  ", "-1234567890", "+5", "12.5"})
        QVERIFY2(ISNUMERIC(QLatin1String(si)), si);
    for (const char* no : {"", "   ", "1234567890A", "1e5", "inf", "nan", "--1", "12-34", "12 34", "-"})
        QVERIFY2(!ISNUMERIC(QLatin1String(no)), no);

    // The locale's separators are accepted; letters still are not.
    const QLocale prima;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QList<bool> italiano = {ISNUMERIC("12,5"), ISNUMERIC("1.234.567"), ISNUMERIC("12.5"),
                                  ISNUMERIC("12,5a")};
    QLocale::setDefault(prima);
    QCOMPARE(italiano, QList<bool>({true, true, true, false}));
}

void TestCodiciFiscali::sequenza_data()
{
    QTest::addColumn<QString>("codice");
    QTest::addColumn<int>("risposta"); // answer to the box, if one shows
    QTest::addColumn<QStringList>("box");  // text, style and title of the box shown
    QTest::addColumn<bool>("prosegui");

    // Styles: 36 Yes/No with the question icon, 68 Yes/No and 64 OK with the information icon.
    const auto box = [](const char* testo, const char* stile) { return QStringList{testo, stile, TITOLO}; };
    const QStringList piva = box("Partita IVA formalmente errata\r\rVuoi proseguire ugualmente ?", "36");
    const QStringList cf = box("Codice fiscale formalmente errato\r\rVuoi proseguire ugualmente", "68");
    const QStringList lungPiva = box("Lunghezza partita IVA errata", "64");
    const QStringList lungCf = box("Lunghezza codice fiscale errata", "64"), nessuno;
    QTest::newRow("blank") << "    " << 0 << nessuno << true;
    // Checked as it will be stored, trimmed: a leading blank shifts nothing.
    QTest::newRow("piva giusta, blank in testa") << "  12345678903" << 0 << nessuno << true;
    QTest::newRow("piva errata, Si") << "12345678900" << int(vbYes) << piva << true;
    QTest::newRow("piva errata, No") << "12345678900" << int(vbNo) << piva << false;
    QTest::newRow("piva errata, chiuso") << "12345678900" << int(vbCancel) << piva << false;
    QTest::newRow("segno e dieci zeri") << "-0000000000" << int(vbNo) << piva << false;
    QTest::newRow("10 cifre") << "1234567890" << 0 << lungPiva << false;
    QTest::newRow("16 cifre") << "1234567890123456" << 0 << lungPiva << false;
    QTest::newRow("cf giusto") << "RSSMRA85T10A562S" << 0 << nessuno << true;
    QTest::newRow("cf errato, Si") << "RSSMRA85T10A562A" << int(vbYes) << cf << true;
    QTest::newRow("cf minuscolo, No") << "rssmra85t10a562s" << int(vbNo) << cf << false;
    QTest::newRow("15 caratteri") << "RSSMRA85T10A562" << 0 << lungCf << false;
    QTest::newRow("11 con lettera") << "1234567890A" << 0 << lungCf << false;
}

void TestCodiciFiscali::sequenza()
{
    QFETCH(QString, codice);
    QFETCH(int, risposta);
    QFETCH(QStringList, box);
    QFETCH(bool, prosegui);

    QStringList visti;
    const auto esito = CONTROLLOCODICE(codice, TITOLO, [&](const QString& t, int s, const QString& ti) {
        visti << t << QString::number(s) << ti;
        return risposta ? risposta : int(vbOK);
    });
    QCOMPARE(visti, box);
    QCOMPARE(esito.prosegui, prosegui);
    QCOMPARE(esito.evidenzia, !prosegui);
}

QTEST_APPLESS_MAIN(TestCodiciFiscali)
#include "tst_codicifiscali.moc"
