// Formal checks of codice fiscale and partita IVA, the numeric-text test and
// the check sequence run when a typed code is confirmed.
#include "checks/codicifiscali.h"
#include "checks/controllocodice.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QtTest>

namespace {

// Reference check character, written from the published rule (odd-position
// values listed per character, even-position values = 0-9 for digits, 0-25
// for letters), independently of the program's conversion table.
QChar carattereDiControllo(const QString& primi15)
{
    static const int dispariCifre[10] = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21};
    static const int dispariLettere[26] = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 2, 4, 18,
                                           20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};
    int somma = 0;
    for (int i = 0; i < 15; ++i) {
        const char c = primi15.at(i).toLatin1();
        const bool cifra = c >= '0' && c <= '9';
        const int indice = cifra ? c - '0' : c - 'A';
        if (i % 2 == 0) // positions 1, 3, 5... counted from 1
            somma += cifra ? dispariCifre[indice] : dispariLettere[indice];
        else
            somma += indice;
    }
    return QChar('A' + somma % 26);
}

QString completaCF(const QString& primi15)
{
    return primi15 + carattereDiControllo(primi15);
}

// Reference check digit of a partita IVA from its first ten digits.
QChar cifraDiControllo(const QString& primi10)
{
    int somma = 0;
    for (int i = 0; i < 10; ++i) {
        const int d = primi10.at(i).digitValue();
        if (i % 2 == 0) {
            somma += d;
        } else {
            const int doppio = 2 * d;
            somma += doppio > 9 ? doppio - 9 : doppio;
        }
    }
    return QChar('0' + (10 - somma % 10) % 10);
}

struct Domanda {
    QString testo;
    int stile;
    QString titolo;
};

// A message function that records what it was asked and answers from a list.
struct Registratore {
    QList<Domanda> domande;
    QList<int> risposte;
    MSGBOXFN fn()
    {
        return [this](const QString& testo, int stile, const QString& titolo) {
            domande.append({testo, stile, titolo});
            return risposte.isEmpty() ? int(vbOK) : risposte.takeFirst();
        };
    }
};

const QString TITOLO = QStringLiteral("Anagrafiche di ditte da operazioni straordinarie e successioni");
const QString MSG_LUNGHEZZA_PIVA = QStringLiteral("Lunghezza partita IVA errata");
const QString MSG_PIVA_ERRATA = QStringLiteral("Partita IVA formalmente errata\r\rVuoi proseguire ugualmente ?");
const QString MSG_LUNGHEZZA_CF = QStringLiteral("Lunghezza codice fiscale errata");
const QString MSG_CF_ERRATO = QStringLiteral("Codice fiscale formalmente errato\r\rVuoi proseguire ugualmente");

} // namespace

class TestCodiciFiscali : public QObject {
    Q_OBJECT
private slots:
    void codiceFiscale_data();
    void codiceFiscale();
    void codiceFiscaleCarattereDiControllo();
    void codiceFiscaleOmocodia();
    void codiceFiscaleCasuale();
    void partitaIva_data();
    void partitaIva();
    void partitaIvaCasuale();
    void numeroTesto_data();
    void numeroTesto();
    void numerico_data();
    void numerico();
    void numericoLocaleItaliano();
    void sequenza_data();
    void sequenza();
    void sequenzaRisposte();
};

void TestCodiciFiscali::codiceFiscale_data()
{
    QTest::addColumn<QString>("codice");
    QTest::addColumn<int>("esito");

    // Odd positions add 1 each (eight A/0 at odd positions), even add 0:
    // sum 8, letter I.
    QTest::newRow("tutte A e zeri") << "AAAAAA00A00A000I" << 0;
    // Worked by hand: R8 S18 S12 M12 R8 A0 8:19 5:5 T14 1:1 0:1 A0 5:13 6:6
    // 2:5, sum 122, remainder 18, letter S.
    QTest::newRow("persona fisica") << "RSSMRA85T10A562S" << 0;
    QTest::newRow("persona fisica, controllo errato") << "RSSMRA85T10A562T" << 1;
    QTest::newRow("i minuscola finale") << "AAAAAA00A00A000i" << 1;
    QTest::newRow("tutto minuscolo") << "rssmra85t10a562s" << 1;
    QTest::newRow("una minuscola") << "RSSmRA85T10A562S" << 1;
    QTest::newRow("15 caratteri") << "RSSMRA85T10A562" << 1;
    QTest::newRow("17 caratteri") << "RSSMRA85T10A562SS" << 1;
    QTest::newRow("16 con blank in coda (15 reali)") << "RSSMRA85T10A562 " << 1;
    QTest::newRow("blank iniziale") << " RSSMRA85T10A562" << 1;
    QTest::newRow("blank in mezzo") << "RSSMRA 5T10A562S" << 1;
    QTest::newRow("trattino") << "RSS-RA85T10A562S" << 1;
    QTest::newRow("punto") << "RSSMRA85T10A.62S" << 1;
    QTest::newRow("barra") << "RSSMRA85T10A56/S" << 1;
    QTest::newRow("lettera accentata") << QString::fromUtf8("RSSMRÀ85T10A562S") << 1;
    QTest::newRow("lettera tedesca") << QString::fromUtf8("RSSMRÄ85T10A562S") << 1;
    QTest::newRow("controllo accentato") << QString::fromUtf8("RSSMRA85T10A562È") << 1;
    QTest::newRow("lettera a tutta larghezza") << QString::fromUtf8("ＲSSMRA85T10A562S") << 1;
    QTest::newRow("cifra araba orientale") << QString::fromUtf8("RSSMRA٨5T10A562S") << 1;
    QTest::newRow("carattere NUL") << QString(QChar(0)) + QStringLiteral("SSMRA85T10A562S") << 1;
    // Sixteen UTF-16 units that hold a character outside the basic plane.
    QTest::newRow("coppia surrogata") << QString::fromUtf8("RSSMRA85T10A5\U0001F600S") << 1;
    QTest::newRow("vuoto") << QString() << 1;
    QTest::newRow("partita IVA") << "12345678903" << 1;
}

void TestCodiciFiscali::codiceFiscale()
{
    QFETCH(QString, codice);
    QFETCH(int, esito);
    QCOMPARE(CONTROLLOCF(codice), esito);
}

void TestCodiciFiscali::codiceFiscaleCarattereDiControllo()
{
    // Exactly one of the possible 16th characters is right.
    const QString primi15 = QStringLiteral("VRDGPP80A41F205");
    const QChar giusto = carattereDiControllo(primi15);
    int accettati = 0;
    for (char c = 'A'; c <= 'Z'; ++c) {
        const int esito = CONTROLLOCF(primi15 + QLatin1Char(c));
        QCOMPARE(esito, QChar(c) == giusto ? 0 : 1);
        accettati += esito == 0;
    }
    for (char c = '0'; c <= '9'; ++c)
        QCOMPARE(CONTROLLOCF(primi15 + QLatin1Char(c)), 1);
    QCOMPARE(CONTROLLOCF(primi15 + giusto.toLower()), 1);
    QCOMPARE(accettati, 1);
}

void TestCodiciFiscali::codiceFiscaleOmocodia()
{
    // Digits replaced from the right by the letters L M N P Q R S T U V.
    const QString sostituzioni = QStringLiteral("LMNPQRSTUV");
    const int posizioniCifre[] = {14, 13, 12, 10, 9, 7, 6};
    QString primi15 = QStringLiteral("RSSMRA85T10A562");
    for (int posizione : posizioniCifre) {
        primi15[posizione] = sostituzioni.at(primi15.at(posizione).digitValue());
        const QString codice = completaCF(primi15);
        QCOMPARE(CONTROLLOCF(codice), 0);
        // The original check character no longer fits the changed code
        // unless the two happen to coincide.
        const QString vecchio = primi15 + QLatin1Char('S');
        QCOMPARE(CONTROLLOCF(vecchio), codice == vecchio ? 0 : 1);
    }
    QCOMPARE(primi15, QStringLiteral("RSSMRAURTMLARSN"));
}

void TestCodiciFiscali::codiceFiscaleCasuale()
{
    // Random codes over the 36 accepted characters against the reference.
    const QString alfabeto = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QRandomGenerator caso(20040770);
    for (int n = 0; n < 2000; ++n) {
        QString primi15;
        for (int i = 0; i < 15; ++i)
            primi15 += alfabeto.at(caso.bounded(alfabeto.size()));
        const QChar giusto = carattereDiControllo(primi15);
        QCOMPARE(CONTROLLOCF(primi15 + giusto), 0);
        const QChar altro = QChar('A' + (giusto.unicode() - 'A' + 1 + caso.bounded(25)) % 26);
        QCOMPARE(CONTROLLOCF(primi15 + altro), 1);
    }
}

void TestCodiciFiscali::partitaIva_data()
{
    QTest::addColumn<QString>("codice");
    QTest::addColumn<int>("esito");

    // 1+3+5+7+9 = 25, doubled even digits 4+8+3+7+0 = 22, sum 47, check 3.
    QTest::newRow("esempio") << "12345678903" << 0;
    QTest::newRow("esempio, controllo errato") << "12345678900" << 1;
    QTest::newRow("undici zeri") << "00000000000" << 0;
    // Worked by hand: odd 0+6+3+2+5 = 16, doubled even 14->5, 8, 10->1, 0,
    // 12->3 = 17, sum 33, check 7.
    QTest::newRow("a mano") << "07643520567" << 0;
    QTest::newRow("a mano, controllo errato") << "07643520568" << 1;
    QTest::newRow("due cifre scambiate") << "07463520567" << 1;
    // A sign or separator is not a digit: not a partita IVA, even where
    // counting it as 0 would make the sum come out right.
    QTest::newRow("segno meno iniziale") << "-1234567890" << 1;
    QTest::newRow("segno meno e zeri") << "-0000000000" << 1;
    QTest::newRow("segno piu' e zeri") << "+0000000000" << 1;
    QTest::newRow("separatore e zeri") << "00000.00000" << 1;
    QTest::newRow("blank e zeri") << " 0000000000" << 1;
    QTest::newRow("10 cifre") << "1234567890" << 1;
    QTest::newRow("vuoto") << QString() << 1;
    QTest::newRow("cifre orientali") << QString::fromUtf8("١٢٣٤٥٦٧٨٩٠٣") << 1;
    // Only positions 1 to 11 are read.
    QTest::newRow("dodicesimo carattere ignorato") << "12345678903X" << 0;
}

void TestCodiciFiscali::partitaIva()
{
    QFETCH(QString, codice);
    QFETCH(int, esito);
    QCOMPARE(CONTROLLOPIVA(codice), esito);
}

void TestCodiciFiscali::partitaIvaCasuale()
{
    QRandomGenerator caso(770);
    for (int n = 0; n < 2000; ++n) {
        QString primi10;
        for (int i = 0; i < 10; ++i)
            primi10 += QChar('0' + caso.bounded(10));
        const QChar giusta = cifraDiControllo(primi10);
        for (char c = '0'; c <= '9'; ++c)
            QCOMPARE(CONTROLLOPIVA(primi10 + QLatin1Char(c)), QChar(c) == giusta ? 0 : 1);
    }
}

void TestCodiciFiscali::numeroTesto_data()
{
    QTest::addColumn<double>("numero");
    QTest::addColumn<QString>("testo");
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("cifra") << 7.0 << "7";
    QTest::newRow("due cifre") << 18.0 << "18";
    QTest::newRow("somma massima") << 90.0 << "90";
    QTest::newRow("quasi intero sotto") << 46.95 << "47";
    QTest::newRow("decimale") << 3.5 << "3";
    QTest::newRow("negativo") << -12.0 << "-12";
    QTest::newRow("negativo quasi intero") << -2.95 << "-3";
    QTest::newRow("negativo piccolo") << -0.5 << "0";
    QTest::newRow("grande") << 12345678901.0 << "12345678901";
}

void TestCodiciFiscali::numeroTesto()
{
    QFETCH(double, numero);
    QFETCH(QString, testo);
    QCOMPARE(NUMEROTESTO(numero), testo);
}

void TestCodiciFiscali::numerico_data()
{
    QTest::addColumn<QString>("testo");
    QTest::addColumn<bool>("numerico");
    QTest::newRow("cifre") << "12345678903" << true;
    QTest::newRow("16 cifre") << "1234567890123456" << true;
    QTest::newRow("blank intorno") << "  00743  " << true;
    QTest::newRow("meno") << "-1234567890" << true;
    QTest::newRow("piu'") << "+5" << true;
    QTest::newRow("punto decimale C") << "12.5" << true;
    QTest::newRow("vuoto") << "" << false;
    QTest::newRow("blank") << "   " << false;
    QTest::newRow("lettera") << "1234567890A" << false;
    QTest::newRow("codice fiscale") << "RSSMRA85T10A562S" << false;
    QTest::newRow("esponente") << "1e5" << false;
    QTest::newRow("infinito") << "inf" << false;
    QTest::newRow("nan") << "nan" << false;
    QTest::newRow("due segni") << "--1" << false;
    QTest::newRow("segno in mezzo") << "12-34" << false;
    QTest::newRow("segno in fondo") << "1234-" << false;
    QTest::newRow("blank in mezzo") << "12 34" << false;
    QTest::newRow("solo segno") << "-" << false;
    QTest::newRow("accentata") << QString::fromUtf8("12È") << false;
}

void TestCodiciFiscali::numerico()
{
    QFETCH(QString, testo);
    QFETCH(bool, numerico);
    QCOMPARE(ISNUMERIC(testo), numerico);
}

void TestCodiciFiscali::numericoLocaleItaliano()
{
    const QLocale prima;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const bool virgola = ISNUMERIC(QStringLiteral("12,5"));
    const bool migliaia = ISNUMERIC(QStringLiteral("1.234.567"));
    const bool puntoC = ISNUMERIC(QStringLiteral("12.5"));
    const bool lettera = ISNUMERIC(QStringLiteral("12,5a"));
    QLocale::setDefault(prima);
    QVERIFY(virgola);
    QVERIFY(migliaia);
    QVERIFY(puntoC);
    QVERIFY(!lettera);
}

void TestCodiciFiscali::sequenza_data()
{
    QTest::addColumn<QString>("codice");
    QTest::addColumn<QList<int>>("risposte");
    QTest::addColumn<QStringList>("messaggi");
    QTest::addColumn<QList<int>>("stili");
    QTest::addColumn<bool>("prosegui");
    QTest::addColumn<bool>("evidenzia");

    const QList<int> nessuna;
    QTest::newRow("vuoto") << "" << nessuna << QStringList() << QList<int>() << true << false;
    QTest::newRow("blank") << "    " << nessuna << QStringList() << QList<int>() << true << false;
    QTest::newRow("partita IVA giusta") << "12345678903" << nessuna << QStringList() << QList<int>() << true
                                        << false;
    QTest::newRow("partita IVA giusta con blank in coda")
        << "12345678903     " << nessuna << QStringList() << QList<int>() << true << false;
    // The code is checked as it will be stored, trimmed: a blank typed in
    // front does not shift the digits.
    QTest::newRow("partita IVA giusta con blank in testa")
        << "  07643520567" << nessuna << QStringList() << QList<int>() << true << false;
    QTest::newRow("partita IVA errata, Si") << "12345678900" << QList<int>{vbYes} << QStringList{MSG_PIVA_ERRATA}
                                            << QList<int>{36} << true << false;
    QTest::newRow("partita IVA errata, No") << "12345678900" << QList<int>{vbNo} << QStringList{MSG_PIVA_ERRATA}
                                            << QList<int>{36} << false << true;
    QTest::newRow("partita IVA errata, box chiuso") << "12345678900" << QList<int>{vbCancel}
                                                    << QStringList{MSG_PIVA_ERRATA} << QList<int>{36} << false
                                                    << true;
    QTest::newRow("segno e dieci cifre, Si") << "-1234567890" << QList<int>{vbYes} << QStringList{MSG_PIVA_ERRATA}
                                             << QList<int>{36} << true << false;
    QTest::newRow("segno e dieci zeri, No") << "-0000000000" << QList<int>{vbNo} << QStringList{MSG_PIVA_ERRATA}
                                            << QList<int>{36} << false << true;
    QTest::newRow("10 cifre") << "1234567890" << nessuna << QStringList{MSG_LUNGHEZZA_PIVA} << QList<int>{64}
                              << false << true;
    QTest::newRow("16 cifre") << "1234567890123456" << nessuna << QStringList{MSG_LUNGHEZZA_PIVA}
                              << QList<int>{64} << false << true;
    QTest::newRow("codice fiscale giusto") << "RSSMRA85T10A562S" << nessuna << QStringList() << QList<int>()
                                           << true << false;
    QTest::newRow("codice fiscale errato, Si") << "RSSMRA85T10A562A" << QList<int>{vbYes}
                                               << QStringList{MSG_CF_ERRATO} << QList<int>{68} << true << false;
    QTest::newRow("codice fiscale errato, No") << "RSSMRA85T10A562A" << QList<int>{vbNo}
                                               << QStringList{MSG_CF_ERRATO} << QList<int>{68} << false << true;
    QTest::newRow("codice fiscale minuscolo") << "rssmra85t10a562s" << QList<int>{vbNo}
                                              << QStringList{MSG_CF_ERRATO} << QList<int>{68} << false << true;
    QTest::newRow("15 caratteri") << "RSSMRA85T10A562" << nessuna << QStringList{MSG_LUNGHEZZA_CF}
                                  << QList<int>{64} << false << true;
    QTest::newRow("17 caratteri") << "RSSMRA85T10A562SX" << nessuna << QStringList{MSG_LUNGHEZZA_CF}
                                  << QList<int>{64} << false << true;
    QTest::newRow("11 caratteri con lettera") << "1234567890A" << nessuna << QStringList{MSG_LUNGHEZZA_CF}
                                              << QList<int>{64} << false << true;
}

void TestCodiciFiscali::sequenza()
{
    QFETCH(QString, codice);
    QFETCH(QList<int>, risposte);
    QFETCH(QStringList, messaggi);
    QFETCH(QList<int>, stili);
    QFETCH(bool, prosegui);
    QFETCH(bool, evidenzia);

    Registratore r;
    r.risposte = risposte;
    const ESITOCONTROLLOCODICE esito = CONTROLLOCODICE(codice, TITOLO, r.fn());
    QCOMPARE(r.domande.size(), messaggi.size());
    for (int i = 0; i < messaggi.size(); ++i) {
        QCOMPARE(r.domande.at(i).testo, messaggi.at(i));
        QCOMPARE(r.domande.at(i).stile, stili.at(i));
        QCOMPARE(r.domande.at(i).titolo, TITOLO);
    }
    QCOMPARE(esito.prosegui, prosegui);
    QCOMPARE(esito.evidenzia, evidenzia);
}

void TestCodiciFiscali::sequenzaRisposte()
{
    // The two questions differ: the partita IVA one has the question icon
    // and a question mark, the codice fiscale one the information icon and
    // none; both are Yes/No boxes.
    Registratore r;
    r.risposte = {vbYes, vbYes};
    CONTROLLOCODICE(QStringLiteral("12345678900"), TITOLO, r.fn());
    CONTROLLOCODICE(QStringLiteral("RSSMRA85T10A562A"), TITOLO, r.fn());
    QCOMPARE(r.domande.size(), 2);
    QCOMPARE(r.domande.at(0).stile & 0x07, int(vbYesNo));
    QCOMPARE(r.domande.at(0).stile & 0x70, int(vbQuestion));
    QVERIFY(r.domande.at(0).testo.endsWith(QLatin1String(" ?")));
    QCOMPARE(r.domande.at(1).stile & 0x07, int(vbYesNo));
    QCOMPARE(r.domande.at(1).stile & 0x70, int(vbInformation));
    QVERIFY(r.domande.at(1).testo.endsWith(QLatin1String("ugualmente")));
    QCOMPARE(r.domande.at(0).testo.count(QLatin1Char('\r')), 2);
}

QTEST_APPLESS_MAIN(TestCodiciFiscali)
#include "tst_codicifiscali.moc"
