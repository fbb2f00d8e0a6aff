// Keystroke routines of the typed fields, driven key by key the way a field
// uses them: the routine first, then the field takes the key it returns.
#include "checks/tasti.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

namespace {

struct Parametri {
    int segno, virgola, interi, decimali, larghezza;
};
const Parametri AZIENDA{0, 0, 3, 0, 3}, DECIMALI{0, 1, 3, 2, 6}, SEGNO{1, 0, 3, 0, 4};
const Parametri DATA{0, 0, 0, 0, 10}; // no digits of a number: the date field, DIGITADATA

// One key into a field. A numeric field then takes the key DIGITANUMERO hands
// on as a single-line field does (it enters at the caret while the maximum
// length allows; setting the text cuts it there); the date field takes the
// text DIGITADATA returns and never the key.
void tasto(CAMPOTESTO& c, int k, const Parametri& p)
{
    if (p.interi == 0) {
        c.testo = DIGITADATA(c, k);
        return;
    }
    k = DIGITANUMERO(c, k, p.segno, p.virgola, p.interi, p.decimali);
    c.testo.truncate(c.maxLength);
    c.caret = std::clamp(c.caret, 0, int(c.testo.size()));
    if (k >= 32 && c.testo.size() < c.maxLength)
        c.testo.insert(c.caret++, QChar(k));
}

const QString TASTIMISTI = QStringLiteral("0123456789abczAMX,.-+ /\b\r");

} // namespace

Q_DECLARE_METATYPE(Parametri)

class TestTasti : public QObject {
    Q_OBJECT
private slots:
    void filtraCaratteri();
    void campo_data();
    void campo();
    void tastiCasuali();
    void dataValida();
};

void TestTasti::filtraCaratteri()
{
    const QString mf = QStringLiteral("MmFf ");
    // key, allowed characters, upper case, result
    const QList<std::tuple<int, QString, bool, int>> casi = {
        {'m', mf, true, 'M'}, {'f', mf, true, 'F'},   {' ', mf, true, ' '},       {'x', mf, true, 0},
        {'X', mf, true, 0},   {8, QString(), true, 8}, {13, mf, true, 0},          {'m', mf, false, 'm'},
        {-77, mf, true, 0},   {0xE0, "\u00E0", true, 0xE0}, {0x1004D, mf, true, 0}}; // 0x1004D: low 16 bits read 'M'
    for (const auto& [tasto, consentiti, maiuscolo, risultato] : casi) {
        int k = tasto;
        QCOMPARE(FILTRACARATTERI(k, consentiti, maiuscolo), risultato);
        QCOMPARE(k, risultato);
    }
    // Whatever is typed, the sex field gets M, F, a blank, backspace or nothing.
    QRandomGenerator caso(3);
    for (int n = 0; n < 5000; ++n) {
        int k = n % 5 == 0 ? caso.bounded(1, 0x250) : TASTIMISTI.at(caso.bounded(TASTIMISTI.size())).unicode();
        FILTRACARATTERI(k, mf, true);
        QVERIFY2(QList<int>({0, 8, 'M', 'F', ' '}).contains(k), qPrintable(QString::number(k)));
    }
}

void TestTasti::campo_data()
{
    QTest::addColumn<Parametri>("p");
    QTest::addColumn<QString>("prima");       // text with the caret as "|"
    QTest::addColumn<QString>("tasti");
    QTest::addColumn<QStringList>("traccia"); // the field after each of the last keys, "!" for a beep
    using L = QStringList;
    const auto riga = QTest::newRow;

    riga("calcolatrice") << AZIENDA << "|" << "7429\b5" << L{"  7|", " 74|", "742|", "742|", "  0|", "  5|"};
    riga("zero caricato") << AZIENDA << "|000" << "4" << L{"  4|"};
    riga("normalizzato") << AZIENDA << "007|" << "5\b5" << L{"007|", "  0|", "  5|"};
    riga("rifiutati") << AZIENDA << "7|" << ",.+-a \r" << L(7, "7|");
    // Any key, even one then refused, empties a field showing a zero value.
    riga("lettera svuota lo zero") << AZIENDA << "000|" << "a" << L{"|"};
    riga("virgola svuota lo zero") << AZIENDA << "  0|" << "," << L{"|"};
    // A field narrower than the number: no digit is pushed out on the left.
    riga("campo stretto") << Parametri{0, 0, 3, 0, 2} << "|" << "123" << L{" 1|", "12|", "12|"};
    riga("decimali") << DECIMALI << "|" << "12.,507" << L{"   12,|", "   12,|", "  12,5|", " 12,50|", " 12,50|"};
    riga("senza intera") << DECIMALI << "|" << ",5" << L{"    ,5|"};
    riga("zero decimale") << DECIMALI << "  0,00|" << "7" << L{"     7|"};
    riga("segno") << SEGNO << "|" << "--5" << L{"   -|", "   -|", "  -5|"};
    riga("segno pieno") << SEGNO << "|" << "-1234" << L{"-123|", "-123|"};

    const QString vuota = QStringLiteral("|00/00/0000");
    riga("data intera") << DATA << vuota << "150819753" << L{"15/08/197|5", "15/08/197|3"};
    riga("data vuota") << DATA << "|" << "1" << L{"1|0/00/0000"};
    riga("data memorizzata vuota") << DATA << "|//" << "1" << L{"1|0/00/0000"};
    riga("backspace") << DATA << "15/08/19|75" << "\b" << L{vuota};
    riga("non cifre") << DATA << "15/|08/1975" << "a/\r" << L(3, "15/|08/1975!");
    riga("giorno") << DATA << vuota << "4321" << L{vuota + "!", "3|0/00/0000", "3|0/00/0000!", "31/|00/0000"};
    riga("3 con giorno 22") << DATA << "|22/00/0000" << "3" << L{"|22/00/0000!"};
    riga("3 con giorno 21") << DATA << "|21/00/0000" << "3" << L{"3|1/00/0000"};
    riga("0 dopo 0") << DATA << "0|0/00/0000" << "01" << L{"0|0/00/0000!", "01/|00/0000"};
    riga("mese") << DATA << "00/|00/0000" << "2132" << L{"00/|00/0000!", "00/1|0/0000", "00/1|0/0000!", "00/12/|0000"};
    riga("mese 0") << DATA << "00/0|0/0000" << "09" << L{"00/0|0/0000!", "00/09/|0000"};
    riga("anno") << DATA << "00/00/|0000" << "302" << L{"00/00/|0000!", "00/00/|0000!", "00/00/2|000"};
    riga("prima barra, muto") << DATA << "15|/08/1975" << "1" << L{"15|/08/1975"};
    riga("seconda barra, muto") << DATA << "15/08|/1975" << "1" << L{"15/08|/1975"};
    riga("undicesimo carattere") << DATA << "15/08/1975|" << "1" << L{"15/08/19751|"};
}

void TestTasti::campo()
{
    QFETCH(Parametri, p);
    QFETCH(QString, prima);
    QFETCH(QString, tasti);
    QFETCH(QStringList, traccia);

    CAMPOTESTO c{prima, p.larghezza, int(prima.indexOf(QLatin1Char('|')))};
    c.testo.remove(c.caret, 1);
    QStringList visti;
    for (const QChar t : tasti) {
        tasto(c, t.unicode(), p);
        visti << QString(c.testo).insert(c.caret, QLatin1Char('|')) + (c.beep ? "!" : "");
    }
    QCOMPARE(visti.mid(visti.size() - traccia.size()), traccia);
}

void TestTasti::tastiCasuali()
{
    // Random keys at random carets: every field keeps its shape, with at most
    // three whole digits besides leading zeros (the company code: three at all).
    const QList<QPair<Parametri, QString>> forme = {{AZIENDA, "^ *[0-9]{0,3}$"},
                                                    {DECIMALI, "^ *0*[0-9]{0,3}(,[0-9]{0,2})?$"},
                                                    {SEGNO, "^ *-?0*[0-9]{0,3}$"},
                                                    {DATA, "^[0-3][0-9]/[01][0-9]/[0-2][0-9]{3}$"}};
    QRandomGenerator caso(742);
    for (const auto& [p, forma] : forme) {
        CAMPOTESTO c{p.interi ? QString() : QStringLiteral("00/00/0000"), p.larghezza};
        int undicesimi = 0;
        for (int n = 0; n < 20000; ++n) {
            const QString prima = c.testo;
            const int da = c.caret = caso.bounded(c.testo.size() + 1);
            const int k = TASTIMISTI.at(caso.bounded(TASTIMISTI.size())).unicode();
            const bool cifra = k >= '0' && k <= '9';
            tasto(c, k, p);
            const QByteArray cosa = QString("'%1' @%2 + %3 -> '%4'").arg(prima).arg(da).arg(k).arg(c.testo).toUtf8();
            // The date's one documented exception: a digit typed after the year.
            if (p.interi == 0 && da == 10 && cifra && c.testo.size() == 11) {
                ++undicesimi;
                c.testo.truncate(c.caret = 10);
            }
            QVERIFY2(QRegularExpression(forma).match(c.testo).hasMatch(), cosa);
            if (p.interi == 0) {
                QVERIFY2(c.testo.left(2).toInt() <= 31 && c.caret <= 10 && (!c.beep || c.testo == prima), cosa);
                QVERIFY2(cifra || (c.beep == (k != 8) && (k == 8 || c.testo == prima)), cosa);
                QVERIFY2(!cifra || (da != 2 && da != 5) || (c.testo == prima && !c.beep), cosa);
            } else if (p.larghezza == 3 && caso.bounded(10) == 0) {
                c.testo = (QStringLiteral("000") + c.testo.trimmed()).right(3); // leaving the field
            }
        }
        QVERIFY(p.interi > 0 || undicesimi > 0);
    }
}

void TestTasti::dataValida()
{
    for (const char* si : {"15/08/1975", "31/12/2004", "01/01/1900", "29/02/1980", "29/02/2000"})
        QVERIFY2(DATAVALIDA(QLatin1String(si)), si);
    for (const char* no : {"31/04/2004", "29/02/1981", "29/02/1900", "15/08/0000", "00/00/0000", "00/08/1975",
                           "15/00/1975", "15/13/1975", "32/01/1975", "//", "", "15/08/19751", "15/08/75",
                           "1/8/1975", "15-08-1975", " 15/08/1975", "15/08/197a", "08/15/1975", "١٥/٠٨/١٩٧٥"})
        QVERIFY2(!DATAVALIDA(QString::fromUtf8(no)), no);
}

QTEST_APPLESS_MAIN(TestTasti)
#include "tst_tasti.moc"
