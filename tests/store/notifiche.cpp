// Other workstations' changes as the store hears of them: two connections
// to one archive, one writing and announcing, the other listening.
#include "store/database.h"
#include "support/archivioprova.h"
#include "support/programma.h"

#include <QTest>

using namespace store;
Q_DECLARE_METATYPE(store::Avviso)

class TestNotifiche : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;
    std::unique_ptr<Database> ascolta, scrive;
    int chiamate = 0; // of the listener's function

    // A transaction of `scrive` on the registry announcing `avviso`.
    void scrivi(const Avviso& avviso, bool conferma = true)
    {
        scrive->BeginTrans({"ANAGSOSTITUTI"});
        scrive->Execute("UPDATE ANAGSOSTITUTI SET ASOST_1 = ?", {avviso.cfs});
        scrive->annuncia(avviso);
        conferma ? scrive->CommitTrans() : scrive->Rollback();
    }
    // What the listener reads once its function has been called.
    QList<Avviso> sentiti()
    {
        [&] { QTRY_VERIFY_WITH_TIMEOUT(chiamate > 0, 2000); }();
        return ascolta->avvisi();
    }

private slots:
    void init()
    {
        a = std::make_unique<ArchivioProva>();
        a->creaAnno();
        a->aggiungiSostituto("101", "RSSMRA80A01H501U", {"ROSSI"});
        ascolta = Database::OpenDatabase(a->luogoAnno(), OpzioniArchivio{300});
        scrive = Database::OpenDatabase(a->luogoAnno(), OpzioniArchivio{300});
        chiamate = 0;
        ascolta->ascolta([this] { ++chiamate; }, 100);
        scrive->ascolta([] {}, 100);
    }
    void cleanup()
    {
        scrive.reset();
        ascolta.reset();
        a.reset();
    }

    // What a commit announces reaches the other connection, as told on a
    // server, as "something changed" on a file; once, never to the writer,
    // with no round trip of its own; a rolled-back transaction announces
    // nothing.
    void annuncio_data()
    {
        QTest::addColumn<Avviso>("avviso");
        QTest::addColumn<bool>("annullataPrima");
        QTest::newRow("saved") << Avviso{Evento::Memorizzato, "101", "RSSMRA80A01H501U", {}} << false;
        QTest::newRow("re-keyed, quotes, accents") << Avviso{Evento::CodiceCambiato, "7", "D'ÀNGELO\"", "N"} << false;
        QTest::newRow("after a rollback") << Avviso{Evento::Cancellato, "101", "X", {}} << true;
    }
    void annuncio()
    {
        QFETCH(Avviso, avviso);
        QFETCH(bool, annullataPrima);
        const QList<Avviso> atteso{a->suServer() ? avviso : Avviso{}};
        if (annullataPrima)
            scrivi({Evento::Inserito, "999", "ANNULLATA", {}}, false);
        const quint64 prima = scrive->scambi();
        scrivi(avviso);
        // BEGIN and LOCK go with the UPDATE, the announcement with COMMIT.
        QCOMPARE(scrive->scambi() - prima, quint64(a->suServer() ? 2 : 0));
        QCOMPARE(sentiti(), atteso);
        QCOMPARE(ascolta->avvisi(), QList<Avviso>());
        QCOMPARE(scrive->avvisi(), QList<Avviso>());
    }

    // Nothing is sent to the server while nothing comes; a connection opened
    // again after it broke off listens again.
    void sulServer()
    {
        SOLO_SERVER("a file counts no round trips and is not opened again");
        const quint64 prima = ascolta->scambi();
        QTest::qWait(1500);
        QCOMPARE(ascolta->scambi(), prima);
        QCOMPARE(a->interrompiSessioni(), 2);
        for (Database* db : {ascolta.get(), scrive.get()})
            ATTESO_ERRORE(db->Execute("DELETE FROM PERCETTORI"), TipoErrore::ConnessionePersa);
        ascolta->Execute("DELETE FROM PERCETTORI"); // opened again here
        const Avviso avviso{Evento::Inserito, "101", "DOPO", {}};
        scrivi(avviso);
        QCOMPARE(sentiti(), QList<Avviso>{avviso});
    }
};

PROVA(TestNotifiche);
#include "notifiche.moc"
