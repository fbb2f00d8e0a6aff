// The search of the selection list: how a text is folded, which rows hold
// it, the fast search giving the same rows as the plain test; the pages the
// printed rows fill.
#include "registry/filtro.h"
#include "registry/stampa.h"

#include "support/programma.h"
#include <QRandomGenerator>

using namespace registro;

namespace {

// Rows a search has to tell apart: codes inside other codes, accents stored
// and typed, apostrophes plain and typographic, a partita IVA stored with its
// blanks, empty and missing names, a name that spans surname and first name.
// clang-format off
const QList<RigaElenco> RIGHE = {
    {"101", "RSSMRA75M15H501X", "ROSSI", "MARIO"}, {"102", "DLLMRC66P30D612S", "DELL'ACQUA", "MARCO"},
    {"103", "DNGNCL80A01F205Z", "D\u2019ANGELO", "NICOL\u00d2"},
    {"104", "12345678903     ", "COSTRUZIONI CITT\u00c0 SRL", ""}, {"007", "BNCLRA80A41F205Y", "BIANCHI", "LAURA"},
    {"110", "03456789014", "", ""}, {"111", "NICOLO80A01H501U", "NICOLO'", "ROSSINI"},
    {"112", "ABCDEF", "  ROSSI ", "  MARIA  "}};
// clang-format on

ElencoFiltrato elencoDi(const QList<RigaElenco>& righe)
{
    ElencoFiltrato elenco;
    for (const RigaElenco& r : righe)
        elenco.aggiungi(r, r.codazi + QLatin1Char(' ') + r.cfs);
    return elenco;
}

// The rows the plain test finds.
std::vector<qsizetype> trovaSemplice(const QList<RigaElenco>& righe, const QString& testo)
{
    std::vector<qsizetype> trovate;
    for (qsizetype r = 0; r < righe.size(); ++r)
        if (registro::contiene(righe.at(r), testo))
            trovate.push_back(r);
    return trovate;
}

} // namespace

class TestFiltro : public QObject {
    Q_OBJECT

private slots:
    void testoRicerca()
    {
        // Text typed or stored, as the search compares it.
        const QList<std::pair<QString, QString>> casi = {
            {"  DELL'ACQUA  Mario", "  dell'acqua  mario"}, // capitals; apostrophe and blanks kept
            {"CITT\u00c0 \u00c8 \u00e0\u00e9\u00ee\u00f5\u00fc\u00e7\u00f1",
             "citta e aeioucn"},                                           // accents of every kind
            {"D\u2019A D\u2018A D`A NICOLO\u00b4", "d'a d'a d'a nicolo'"}, // typographic apostrophes, an accent alone
            {"\ufb01ORE", "fiore"},                                        // ligature
            {"VIA\tROMA\n1\u0085", "viaroma1"}};                           // control characters dropped
        for (const auto& [testo, piegato] : casi)
            QCOMPARE(registro::testoRicerca(testo), piegato);
    }

    // The rows of RIGHE holding a text, found by the plain test and by the fast search (each once, in the
    // order added): a code inside another, the zeros of a code, a codice fiscale in lower case, the blanks of
    // a stored partita IVA (not in it), surname and first name, the first name alone, blanks stored around
    // the names (not in it), two blanks typed, an accent stored or typed without, a typographic apostrophe, no
    // text across two fields.
    void contiene()
    {
        // clang-format off
        const QList<std::pair<QString, QString>> casi = {
            {"", "101 102 103 104 007 110 111 112"}, {"10", "101 102 103 104 110"}, {"007", "007"},
            {"h501", "101 111"}, {"903 ", ""}, {"ssi mar", "101 112"}, {"laura", "007"}, {"rossi maria ", ""},
            {"rossi  mario", ""}, {"citta", "104"}, {"nicol\u00f2", "103 111"}, {"d'angelo", "103"}, {"101 rss", ""}};
        // clang-format on
        for (const auto& [testo, codici] : casi) {
            QStringList semplice, veloce;
            for (const qsizetype r : trovaSemplice(RIGHE, testo))
                semplice << RIGHE.at(r).codazi;
            for (const qsizetype r : elencoDi(RIGHE).trova(testo))
                veloce << RIGHE.at(r).codazi;
            QCOMPARE(testo + ": " + semplice.join(' '), testo + ": " + codici);
            QCOMPARE(testo + ": " + veloce.join(' '), testo + ": " + codici);
        }
    }

    void ricercaVeloceComeQuellaSemplice()
    {
        // Many rows of letters, digits, accents and apostrophes; texts of one to four characters typed on at
        // either end, then taken back: at each step the fast search, narrowing the last one's rows where it
        // can, and the plain test agree. A row holding the text several times is found once; the last row too.
        QRandomGenerator caso(17);
        const QString lettere = QStringLiteral("ABR0179' \u00c8\u00e0O");
        const auto parola = [&](int lunghezza) {
            QString p;
            for (int i = 0; i < lunghezza; ++i)
                p += lettere.at(caso.bounded(lettere.size()));
            return p;
        };
        QList<RigaElenco> righe;
        for (int i = 0; i < 400; ++i)
            righe.append({parola(3), parola(caso.bounded(17)), parola(caso.bounded(9)), parola(caso.bounded(6))});
        ElencoFiltrato elenco = elencoDi(righe);
        int trovati = 0;
        for (int i = 0; i < 150; ++i) {
            QStringList passi{parola(1)};
            for (int c = 0; c < 3; ++c)
                passi << (caso.bounded(2) ? passi.last() + parola(1) : parola(1) + passi.last());
            passi << passi.last().left(2) << passi.last().left(1);
            for (const QString& passo : passi) {
                const std::vector<qsizetype> attese = trovaSemplice(righe, passo);
                QCOMPARE(elenco.trova(passo), attese);
                trovati += attese.empty() ? 0 : 1;
            }
        }
        QVERIFY(trovati > 300); // most texts are found somewhere, or the test proves little
    }

    void pagine()
    {
        // Heights of the printed rows on pages 10 high: where each page starts. No rows, no pages; a page
        // filled exactly; the row that does not fit goes on; a row taller than a page alone.
        // clang-format off
        const QList<std::pair<std::vector<double>, std::vector<std::size_t>>> casi = {
            {{}, {}}, {{4, 3, 3}, {0}}, {{4, 3, 4, 6, 5}, {0, 2, 4}}, {{2, 15, 2, 2}, {0, 1, 2}}};
        // clang-format on
        for (const auto& [altezze, inizi] : casi)
            QCOMPARE(impagina(altezze, 10), inizi);
    }
};

PROVA(TestFiltro);
#include "filtro.moc"
