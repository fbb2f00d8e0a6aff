// Round trips to the server of each of the operator's actions in the real
// window, as the store counts them: exactly what each action costs today,
// whatever the size of the return and of the substitute. Run on a server only.
#include "support/finestraprova.h"

#include "store/database.h"

namespace {

const QString CFD = "01234567897", NUOVOCF = "AAAAAA00A00A000I";
// Two substitutes of company 101 and 102 with 10 and 200 section rows of
// their own, and recipients of their companies.
const Chiave POCHE{"101", "RSSMRA80A01H501U"}, MOLTE{"102", "VRDGPP70A01F205V"};

enum Azione { APERTURA, RITORNO, SALVATAGGIO, CANCELLAZIONE, CAMBIO, LISTA };
// The action, on whom, the substitutes in the archive beyond the two, the round trips it takes.
struct Caso {
    Azione azione;
    Chiave k;
    int sostituti;
    int giri;
};

} // namespace

Q_DECLARE_METATYPE(Caso)

class TestGiri : public QObject {
    Q_OBJECT

    std::unique_ptr<BancoProva> p;

    quint64 scambi() { return p->modulo.DBANNO->scambi(); }
    qint64 righeDi(const QString& cfs)
    {
        qint64 n = 0;
        for (const QString& s : SEZIONI)
            n += p->archivio.conta("SELECT COUNT(*) FROM " + s + " WHERE CFS = ?", {cfs});
        return n;
    }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }
    void init()
    {
        p = std::make_unique<BancoProva>();
        for (const auto& [k, righe] : {std::pair{POCHE, 10}, std::pair{MOLTE, 200}}) {
            p->sostituto(k);
            for (int s = 0; s < 6; ++s)
                p->archivio.esegui("INSERT INTO " + SEZIONI[s] +
                                       " (CODAZI, CFD, CFS, RIGO) "
                                       "SELECT ?, ?, ?, n FROM generate_series(0, ?) n WHERE n % 6 = ?",
                                   {k.codazi, CFD, k.cfs, righe - 1, s});
            p->archivio.esegui("INSERT INTO PERCETTORI (CODAZI, CFPERC, COGNOME) VALUES (?, ?, ?)",
                               {k.codazi, "PRCPRC80A01H501X", QVariant()});
        }
    }
    void cleanup() { p.reset(); }

    // Start-up to the list shown: the short-lived connection that looks for
    // the template and the year's database, the year's database opened with
    // its catalogue, the front page checked, the list read.
    void avvio()
    {
        const quint64 prima = store::scambiServer();
        QVERIFY(p->avvia());
        QCOMPARE(store::scambiServer() - prima, quint64(19));
    }

    void azioni_data()
    {
        QTest::addColumn<Caso>("c");
        // A sheet is one read; a save checks the two provinces and the linked
        // company, then under the registry's lock finds the row (with BEGIN
        // and LOCK), writes it and reads it back in one, commits, and the
        // sheet is read again.
        QTest::newRow("opening a sheet") << Caso{APERTURA, POCHE, 0, 1};
        // Back to the list ("Altra anagrafica"): the list read again.
        QTest::newRow("back to the list") << Caso{RITORNO, POCHE, 0, 1};
        QTest::newRow("save") << Caso{SALVATAGGIO, POCHE, 0, 7};
        // Deletion: the row sought (with BEGIN and LOCK), the seven tables'
        // statements together, the registry row, COMMIT, the list.
        QTest::newRow("deletion, 10 rows") << Caso{CANCELLAZIONE, POCHE, 0, 5};
        QTest::newRow("deletion, 200 rows, 2500 substitutes") << Caso{CANCELLAZIONE, MOLTE, 2500, 5};
        // Change of codice fiscale: four checks, the six tables' statements
        // together (with BEGIN and LOCK), the registry row sought and
        // written, COMMIT, the list.
        QTest::newRow("change of codice fiscale, 10 rows") << Caso{CAMBIO, POCHE, 0, 9};
        QTest::newRow("change of codice fiscale, 200 rows") << Caso{CAMBIO, MOLTE, 0, 9};
        // The list: one read, however many lines.
        QTest::newRow("list, 2502 substitutes") << Caso{LISTA, POCHE, 2500, 1};
    }
    void azioni()
    {
        QFETCH(Caso, c);
        if (c.sostituti > 0)
            p->archivio.esegui("INSERT INTO ANAGSOSTITUTI (CODAZI, CFS, ASOST_1) "
                               "SELECT lpad((g % 899 + 1)::text, 3, '0'), 'X' || lpad(g::text, 15, '0'), 'DITTA ' || g "
                               "FROM generate_series(1, ?) g",
                               {c.sostituti});
        const qint64 righe = righeDi(c.k.cfs);
        const int linee = 1 + 2 + c.sostituti - (c.azione == CANCELLAZIONE ? 1 : 0);
        QVERIFY(p->avvia());
        const int riga = p->rigaDi(c.k);
        if (c.azione == APERTURA || c.azione == RITORNO || c.azione == SALVATAGGIO)
            p->doppioClickLista(riga);
        else
            p->clickLista(riga);
        if (c.azione == SALVATAGGIO) {
            p->campo(9)->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(p->campo(9), " B");
        }
        if (c.azione == CAMBIO) {
            p->click("CmdCambia");
            QTest::keyClicks(p->campo("Text2"), NUOVOCF);
        }

        const quint64 prima = scambi();
        switch (c.azione) {
        case APERTURA:
            p->doppioClickLista(riga);
            break;
        case RITORNO:
            p->click("cmdselprec");
            break;
        case SALVATAGGIO:
            p->click("cmdmemorizza");
            break;
        case CANCELLAZIONE:
            p->click("Cmdcancella");
            break;
        case CAMBIO:
            p->click("CmdConfermaCF");
            break;
        case LISTA:
            p->finestra.LISTASOSTITUTI();
            break;
        }
        const quint64 giri = scambi() - prima;

        // Done, and done whole.
        switch (c.azione) {
        case APERTURA:
            QVERIFY(p->mostra(c.k));
            break;
        case SALVATAGGIO:
            QCOMPARE(p->registrato(c.k).section('|', 8, 8), "VIA ROMA 1 B");
            break;
        case CANCELLAZIONE:
            QCOMPARE(righeDi(c.k.cfs), 0);
            break;
        case CAMBIO:
            QCOMPARE(righeDi(NUOVOCF), righe);
            break;
        case RITORNO:
        case LISTA:
            break;
        }
        if (c.azione != APERTURA && c.azione != SALVATAGGIO)
            QCOMPARE(p->righeLista().size(), linee);
        QCOMPARE(giri, quint64(c.giri));
    }
};

QTEST_MAIN(TestGiri)
#include "tst_giri.moc"
