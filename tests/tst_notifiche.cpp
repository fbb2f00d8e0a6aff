// Other workstations' changes as the store hears of them: two connections
// to one archive, one writing and announcing, the other listening.
#include "store/database.h"
#include "support/archivioprova.h"

#include <QTest>

using namespace store;

namespace {

const QString RIGA = "UPDATE ANAGSOSTITUTI SET ASOST_1 = ? WHERE CODAZI = '101'";

} // namespace

Q_DECLARE_METATYPE(store::Avviso)

class TestNotifiche : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;
    std::unique_ptr<Database> ascolta, scrive;
    int chiamate = 0; // of the listener's function

    // A transaction of `scrive` on the registry announcing `avviso`.
    void scriviEAnnuncia(const Avviso& avviso, bool conferma = true)
    {
        scrive->BeginTrans({"ANAGSOSTITUTI"});
        scrive->Execute(RIGA, {avviso.cfs});
        scrive->annuncia(avviso);
        if (conferma)
            scrive->CommitTrans();
        else
            scrive->Rollback();
    }
    // What the listener hears once its function has been called.
    QList<Avviso> sentiti()
    {
        const int prima = chiamate;
        [&] { QTRY_VERIFY_WITH_TIMEOUT(chiamate > prima, 2000); }();
        return ascolta->avvisi();
    }

private slots:
    void initTestCase() { RICHIEDI_MOTORE_PROVA(); }
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

    // What one connection announces with its commit reaches the other, as
    // it was told on a server, as "something changed" on a file; never the
    // connection that wrote it; once.
    void annuncioConIlCommit_data()
    {
        QTest::addColumn<Avviso>("avviso");
        QTest::newRow("saved") << Avviso{Evento::Memorizzato, "101", "RSSMRA80A01H501U", {}};
        QTest::newRow("re-keyed, quotes and accents") << Avviso{Evento::CodiceCambiato, "7", "D'ÀNGELO\"", "NUOVO"};
    }
    void annuncioConIlCommit()
    {
        QFETCH(Avviso, avviso);
        const QList<Avviso> atteso{a->suServer() ? avviso : Avviso{}};
        const quint64 prima = scrive->scambi();
        scriviEAnnuncia(avviso);
        // BEGIN and LOCK go with the UPDATE; the announcement with COMMIT.
        QCOMPARE(scrive->scambi() - prima, quint64(a->suServer() ? 2 : 0));
        QCOMPARE(sentiti(), atteso);
        QCOMPARE(ascolta->avvisi(), QList<Avviso>());
        QCOMPARE(scrive->avvisi(), QList<Avviso>());
    }

    // A transaction rolled back announces nothing; the next one only itself.
    void annullataNonAnnuncia()
    {
        const Avviso annullato{Evento::Cancellato, "101", "ANNULLATO", {}};
        const Avviso confermato{Evento::Memorizzato, "101", "CONFERMATO", {}};
        const QList<Avviso> atteso{a->suServer() ? confermato : Avviso{}};
        scriviEAnnuncia(annullato, false);
        scriviEAnnuncia(confermato);
        QCOMPARE(sentiti(), atteso);
    }

    // Listening sends nothing to the server while nothing comes.
    void nienteScambiDaFermo()
    {
        SOLO_SERVER("a file counts no round trips");
        const quint64 prima = ascolta->scambi();
        QTest::qWait(1500);
        QCOMPARE(ascolta->avvisi(), QList<Avviso>());
        QCOMPARE(ascolta->scambi(), prima);
    }

    // A connection opened again after it broke off listens again.
    void ascoltoDopoRiapertura()
    {
        SOLO_SERVER("a file is not opened again");
        QCOMPARE(a->interrompiSessioni(), 2);
        ATTESO_ERRORE(ascolta->Execute(RIGA, {"X"}), TipoErrore::ConnessionePersa);
        ATTESO_ERRORE(scrive->Execute(RIGA, {"X"}), TipoErrore::ConnessionePersa);
        ascolta->Execute(RIGA, {"RIAPERTA"}); // opened again here
        const Avviso avviso{Evento::Inserito, "101", "DOPO", {}};
        scriviEAnnuncia(avviso);
        QCOMPARE(sentiti(), QList<Avviso>{avviso});
    }
};

QTEST_GUILESS_MAIN(TestNotifiche)
#include "tst_notifiche.moc"
