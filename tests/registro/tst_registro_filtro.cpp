// The search of the selection list: how a text is folded, which rows hold
// it, the fast search giving the same rows as the plain test; the pages the
// printed rows fill.
#include "registry/filtro.h"
#include "registry/stampa.h"

#include <QRandomGenerator>
#include <QTest>

using namespace registro;

namespace {

// Rows a search has to tell apart: codes inside other codes, accents stored
// and typed, apostrophes plain and typographic, a partita IVA stored with its
// blanks, empty and missing names, a name that spans surname and first name.
const QList<RigaElenco> RIGHE = {
    {"101", "RSSMRA75M15H501X", "ROSSI", "MARIO"},
    {"102", "DLLMRC66P30D612S", "DELL'ACQUA", "MARCO"},
    {"103", "DNGNCL80A01F205Z", "D\u2019ANGELO", "NICOL\u00d2"},
    {"104", "12345678903     ", "COSTRUZIONI CITT\u00c0 SRL", ""},
    {"007", "BNCLRA80A41F205Y", "BIANCHI", "LAURA"},
    {"110", "03456789014", "", ""},
    {"111", "NICOLO80A01H501U", "NICOLO'", "ROSSINI"},
    {"112", "ABCDEF", "  ROSSI ", "  MARIA  "},
};

QStringList codiciDi(const std::vector<qsizetype>& posizioni, const QList<RigaElenco>& righe)
{
    QStringList codici;
    for (const qsizetype p : posizioni)
        codici << righe.at(p).codazi;
    return codici;
}

ElencoFiltrato elencoDi(const QList<RigaElenco>& righe)
{
    ElencoFiltrato elenco;
    for (const RigaElenco& r : righe)
        elenco.aggiungi(r, r.codazi + QLatin1Char(' ') + r.cfs);
    return elenco;
}

} // namespace

class TestRegistroFiltro : public QObject {
    Q_OBJECT

private slots:
    void testoRicerca_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("piegato");
        QTest::newRow("capitals") << "ROSSI Mario" << "rossi mario";
        QTest::newRow("accented capitals") << "CITT\u00c0 \u00c8 PER\u00d2" << "citta e pero";
        QTest::newRow("accents of every kind") << "\u00e0\u00e9\u00ee\u00f5\u00fc\u00e7\u00f1" << "aeioucn";
        QTest::newRow("apostrophe kept") << "DELL'ACQUA" << "dell'acqua";
        QTest::newRow("typographic apostrophe") << "D\u2019ANGELO D\u2018ANGELO D`ANGELO" << "d'angelo d'angelo d'angelo";
        QTest::newRow("acute accent typed alone") << "NICOLO\u00b4" << "nicolo'";
        QTest::newRow("blanks kept") << "  DE  LUCA " << "  de  luca ";
        QTest::newRow("ligature") << "\ufb01ORE" << "fiore";
        QTest::newRow("control characters dropped") << "VIA\tROMA\n1\u0085" << "viaroma1";
        QTest::newRow("only control characters") << "\t\r\n" << "";
    }
    void testoRicerca()
    {
        QFETCH(QString, testo);
        QFETCH(QString, piegato);
        QCOMPARE(registro::testoRicerca(testo), piegato);
    }

    void contiene_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QStringList>("codici"); // rows of RIGHE holding it, in order
        // (How apostrophes are kept: testoRicerca; here the stored texts are folded as the typed one.)
        QTest::newRow("empty: every row") << "" << QStringList{"101", "102", "103", "104", "007", "110", "111", "112"};
        QTest::newRow("company code inside another") << "10" << QStringList{"101", "102", "103", "104", "110"};
        QTest::newRow("leading zeros of the code") << "007" << QStringList{"007"};
        QTest::newRow("codice fiscale in lower case") << "h501" << QStringList{"101", "111"};
        QTest::newRow("blanks of a stored partita IVA are not in it") << "903 " << QStringList{};
        QTest::newRow("partita IVA") << "678903" << QStringList{"104"};
        QTest::newRow("surname and first name") << "ssi mar" << QStringList{"101", "112"};
        QTest::newRow("first name alone") << "laura" << QStringList{"007"};
        QTest::newRow("stored blanks around the names are not") << "rossi maria " << QStringList{};
        QTest::newRow("two blanks as typed") << "rossi  mario" << QStringList{};
        QTest::newRow("accent stored, typed without") << "citta" << QStringList{"104"};
        QTest::newRow("accent typed, stored without") << "nicol\u00f2" << QStringList{"103", "111"};
        QTest::newRow("plain apostrophe for a typographic one") << "d'angelo" << QStringList{"103"};
        QTest::newRow("no text across two fields") << "101 rss" << QStringList{};
        QTest::newRow("marker of a row without name") << "integrare" << QStringList{};
    }
    void contiene()
    {
        QFETCH(QString, testo);
        QFETCH(QStringList, codici);
        QStringList trovate;
        for (const RigaElenco& r : RIGHE) {
            if (registro::contiene(r, testo))
                trovate << r.codazi;
        }
        QCOMPARE(trovate, codici);
        // The fast search finds the same rows, each once, in the order they were added.
        ElencoFiltrato elenco = elencoDi(RIGHE);
        QCOMPARE(codiciDi(elenco.trova(testo), RIGHE), codici);
    }

    void ricercaVeloceComeQuellaSemplice()
    {
        // Many rows of letters, digits, accents and apostrophes, and every
        // text of one to four characters taken from them: the fast search and
        // the plain test agree on every one. A row holding the text several
        // times is found once; the last row too.
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
        QCOMPARE(elenco.righe(), righe.size());
        QCOMPARE(elenco.voce(399), righe.at(399).codazi + ' ' + righe.at(399).cfs);
        // Each text typed on a character at a time, at either end, and taken
        // back: the searches that narrow the last one's rows find the same.
        int confronti = 0;
        for (int i = 0; i < 150; ++i) {
            QString testo;
            QStringList passi;
            for (int c = 0; c < 4; ++c) {
                testo = caso.bounded(2) ? testo + parola(1) : parola(1) + testo;
                passi << testo;
            }
            passi << testo.left(2) << testo.left(1);
            for (const QString& passo : passi) {
                std::vector<qsizetype> attese;
                for (qsizetype r = 0; r < righe.size(); ++r) {
                    if (registro::contiene(righe.at(r), passo))
                        attese.push_back(r);
                }
                QCOMPARE(elenco.trova(passo), attese);
                confronti += attese.empty() ? 0 : 1;
            }
        }
        QVERIFY(confronti > 300); // most texts are found somewhere
    }

    void pagine_data()
    {
        QTest::addColumn<QList<double>>("altezze");
        QTest::addColumn<QList<qsizetype>>("inizi");
        QTest::newRow("no rows, no pages") << QList<double>{} << QList<qsizetype>{};
        QTest::newRow("a page filled exactly") << QList<double>{4, 3, 3} << QList<qsizetype>{0};
        QTest::newRow("the row that does not fit goes on") << QList<double>{4, 3, 4, 6, 5} << QList<qsizetype>{0, 2, 4};
        QTest::newRow("a row taller than a page alone") << QList<double>{2, 15, 2, 2} << QList<qsizetype>{0, 1, 2};
    }
    void pagine()
    {
        QFETCH(QList<double>, altezze);
        QFETCH(QList<qsizetype>, inizi);
        QList<qsizetype> ottenuti;
        for (const std::size_t i : impagina(std::vector<double>(altezze.begin(), altezze.end()), 10))
            ottenuti << qsizetype(i);
        QCOMPARE(ottenuti, inizi);
    }
};

QTEST_GUILESS_MAIN(TestRegistroFiltro)
#include "tst_registro_filtro.moc"
