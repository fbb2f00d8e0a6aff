// Round trips to the server of each of the operator's actions in the real
// window, as the store counts them: what each action costs today, and the
// most it may cost, whatever the size of the return and of the substitute.
// On a file nothing crosses a network, and nothing is counted.
#include "schedaprova.h"

#include "store/database.h"

namespace {

const QString CFD = "01234567897", NUOVOCF = "AAAAAA00A00A000I";
// Two substitutes of company 101 and 102 with 10 and 200 section rows of
// their own, and recipients of their companies.
const QString POCHE = "RSSMRA80A01H501U", MOLTE = "VRDGPP70A01F205V";
const QStringList SEZIONI = {"QUADROLDIP1", "QUADROLDIP2", "QUADROLDIP3", "QUADROLDIP4", "QUADROLAUT", "QUADROST"};

enum Azione { APERTURA, RITORNO, SALVATAGGIO, CANCELLAZIONE, CAMBIO, LISTA };
// The action, on whom, the round trips it takes, the most it may take.
struct Caso {
    Azione azione;
    QString cfs;
    int sostituti; // in the archive, beyond the two
    int attesi;
    int massimo;
};

} // namespace

Q_DECLARE_METATYPE(Caso)

class TestGiri : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> prova;

    quint64 scambi() { return prova->modulo.DBANNO->scambi(); }
    QString codazi(const QString& cfs) { return cfs == POCHE ? "101" : "102"; }
    qint64 righeDi(const QString& cfs)
    {
        qint64 n = 0;
        for (const QString& s : SEZIONI)
            n += archivio->conta("SELECT COUNT(*) FROM " + s + " WHERE CFS = ?", {cfs});
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
        archivio = scheda::annoProva();
        for (const auto& [cfs, righe] : {std::pair{POCHE, 10}, std::pair{MOLTE, 200}}) {
            archivio->aggiungiSostituto(codazi(cfs), cfs, {"ROSSI", "MARIO", "M", "19800101", "ROMA", "RM", "ROMA",
                                                           "RM", "VIA ROMA 1", "001"});
            for (int s = 0; s < 6; ++s)
                archivio->esegui("WITH RECURSIVE g(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM g WHERE n < ?) "
                                 "INSERT INTO " + SEZIONI[s] + " (CODAZI, CFD, CFS, RIGO) SELECT ?, ?, ?, n FROM g "
                                 "WHERE n % 6 = ?",
                                 {righe - 1, codazi(cfs), CFD, cfs, s});
            archivio->aggiungiPercettore(codazi(cfs), "PRCPRC80A01H501X");
        }
    }
    void cleanup()
    {
        prova.reset();
        archivio.reset();
    }

    // Start-up to the list shown: the short-lived connection that looks
    // for the template and the year's database, the year's database opened
    // with its catalogue, the front page checked, the list read, LISTEN for
    // the other workstations' changes.
    void avvio()
    {
        if (!archivio->suServer()) {
            prova = std::make_unique<FinestraProva>();
            QVERIFY(prova->avvia());
            QCOMPARE(scambi(), quint64(0));
            return;
        }
        const quint64 prima = store::scambiServer();
        prova = std::make_unique<FinestraProva>();
        QVERIFY(prova->avvia());
        const quint64 giri = store::scambiServer() - prima;
        // The ceiling first; then the exact count, which catches a round
        // trip too many well below it.
        QVERIFY(giri <= 30);
        QCOMPARE(giri, quint64(20));
    }

    void azioni_data()
    {
        QTest::addColumn<Caso>("c");
        // A sheet is one read; a save checks the two provinces and the linked
        // company, then under the registry's lock finds the row (with BEGIN
        // and LOCK), writes it and reads it back in one, commits, and the
        // sheet is read again.
        QTest::newRow("opening a sheet") << Caso{APERTURA, POCHE, 0, 1, 3};
        // Back to the list ("Altra anagrafica"): the list read again.
        QTest::newRow("back to the list") << Caso{RITORNO, POCHE, 0, 1, 2};
        QTest::newRow("save") << Caso{SALVATAGGIO, POCHE, 0, 7, 8};
        // Deletion: the row sought (with BEGIN and LOCK), the seven tables'
        // statements together, the registry row, COMMIT, the list.
        QTest::newRow("deletion, 10 rows") << Caso{CANCELLAZIONE, POCHE, 0, 5, 12};
        QTest::newRow("deletion, 200 rows") << Caso{CANCELLAZIONE, MOLTE, 0, 5, 12};
        QTest::newRow("deletion, 200 rows, 2500 substitutes") << Caso{CANCELLAZIONE, MOLTE, 2500, 5, 12};
        // Change of codice fiscale: four checks, the six tables' statements
        // together (with BEGIN and LOCK), the registry row sought and
        // written, COMMIT, the list.
        QTest::newRow("change of codice fiscale, 10 rows") << Caso{CAMBIO, POCHE, 0, 9, 15};
        QTest::newRow("change of codice fiscale, 200 rows") << Caso{CAMBIO, MOLTE, 0, 9, 15};
        // The list: one read, however many lines.
        QTest::newRow("list, 2 substitutes") << Caso{LISTA, POCHE, 0, 1, 2};
        QTest::newRow("list, 2502 substitutes") << Caso{LISTA, POCHE, 2500, 1, 2 + 3};
    }
    void azioni()
    {
        QFETCH(Caso, c);
        if (!archivio->suServer())
            QSKIP("a file: no round trips");
        if (c.sostituti > 0)
            archivio->esegui("INSERT INTO ANAGSOSTITUTI (CODAZI, CFS, ASOST_1) "
                             "SELECT lpad((g % 899 + 1)::text, 3, '0'), 'X' || lpad(g::text, 15, '0'), 'DITTA ' || g "
                             "FROM generate_series(1, ?) g",
                             {c.sostituti});
        const qint64 righe = righeDi(c.cfs);
        const int lineeAttese = 1 + 2 + c.sostituti - (c.azione == CANCELLAZIONE ? 1 : 0);
        prova = std::make_unique<FinestraProva>();
        QVERIFY(prova->avvia());
        const int riga = prova->rigaDi(codazi(c.cfs), c.cfs);
        if (c.azione != CANCELLAZIONE && c.azione != CAMBIO && c.azione != LISTA)
            prova->doppioClickLista(riga);
        else
            prova->clickLista(riga);
        if (c.azione == SALVATAGGIO) {
            TextBox* via = scheda::campo(*prova, 9);
            via->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(via, " B");
        }
        if (c.azione == CAMBIO) {
            prova->click("CmdCambia");
            QTest::keyClicks(prova->campo("Text2"), NUOVOCF);
        }

        const quint64 prima = scambi();
        switch (c.azione) {
        case APERTURA: prova->doppioClickLista(riga); break;
        case RITORNO: prova->click("cmdselprec"); break;
        case SALVATAGGIO: prova->click("cmdmemorizza"); break;
        case CANCELLAZIONE: prova->click("Cmdcancella"); break;
        case CAMBIO: prova->click("CmdConfermaCF"); break;
        case LISTA: prova->finestra.LISTASOSTITUTI(); break;
        }
        const quint64 giri = scambi() - prima;

        // Done, and done whole.
        switch (c.azione) {
        case APERTURA: QCOMPARE(scheda::campo(*prova, 9)->text(), QString("VIA ROMA 1")); break;
        case SALVATAGGIO:
            QCOMPARE(archivio->righe("SELECT ASOST_9 FROM ANAGSOSTITUTI WHERE CFS = ?", {c.cfs}).value(0).value("ASOST_9"),
                     QVariant("VIA ROMA 1 B"));
            break;
        case CANCELLAZIONE: QCOMPARE(righeDi(c.cfs), 0); break;
        case CAMBIO: QCOMPARE(righeDi(NUOVOCF), righe); break;
        case RITORNO:
        case LISTA: break;
        }
        if (c.azione != APERTURA && c.azione != SALVATAGGIO)
            QCOMPARE(prova->lista()->count(), lineeAttese);
        QVERIFY(giri <= quint64(c.massimo));
        QCOMPARE(giri, quint64(c.attesi));
    }
};

QTEST_MAIN(TestGiri)
#include "tst_giri.moc"
