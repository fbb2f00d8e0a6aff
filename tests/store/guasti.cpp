// Faults that arrive while the archive is open, at the store: a connection
// to the server that breaks off (the server ends the session, as a restart
// does), an archive file moved, replaced or removed by another program, and
// the server's refusals, each told as what it is and naming the archive.
#include "store/chiavi.h"
#include "store/database.h"
#include "store/identita_file.h"
#include "store/motore_postgresql.h"
#include "support/archivioprova.h"
#include "support/programma.h"

#include <QFile>
#include <QRegularExpression>
#include <QSemaphore>
#include <QTest>
#include <QThread>

#include <thread>

using namespace store;

namespace {

// The lines of the operator's message.
QStringList righe(const ErroreArchivio& e)
{
    return e.messaggio().split('\r');
}

const QString X_CF = "RSSMRA80A01H501U";
const QString AGGIORNA = "UPDATE ANAGSOSTITUTI SET ASOST_9 = ? WHERE CODAZI = ?";

} // namespace

class TestGuasti : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;
    std::unique_ptr<Database> db;

private slots:
    void initTestCase()
    {
        qputenv("QT_FATAL_WARNINGS", "1"); // from Qt SQL: a connection removed while still in use, say
    }
    void init()
    {
        a = std::make_unique<ArchivioProva>();
        a->creaAnno();
        a->aggiungiSostituto("101", X_CF, {"ROSSI", "MARIO"});
        db = Database::OpenDatabase(a->luogoAnno(), OpzioniArchivio{200});
    }
    void cleanup()
    {
        db.reset();
        a.reset();
    }

    // The server ends the session between two actions: the next one is
    // refused saying so, nothing written, in one round trip; the one after
    // opens the connection again and works, the table record set kept since
    // start-up included (its statements prepared again); the rows of an SQL
    // record set of the old session are gone with it. The new connection
    // reads the catalogue again, once, with its first statement (a table
    // made meanwhile is known, and no table costs a round trip after), and
    // its round trips add to those of the one that broke off.
    void connessioneInterrotta()
    {
        SOLO_SERVER("a connection to a server");
        auto tabella = db->OpenTable("ANAGSOSTITUTI");
        tabella->Seek("=", "101", CHIAVECF(X_CF));
        auto elenco = db->OpenRecordset("SELECT * FROM ANAGSOSTITUTI");
        a->esegui("CREATE TABLE NUOVA (X integer)");
        ATTESO_ERRORE(db->richiedi("NUOVA", {"X"}), TipoErrore::OggettoMancante); // the catalogue as it was read
        const QString prima = a->istantanea();
        const QString dopo = a->istantaneaDopo("UPDATE ANAGSOSTITUTI SET ASOST_9 = 'VIA NUOVA' WHERE CODAZI = '101'");
        const QString archivio = "Archivio: " + a->luogoAnno().descrizione();
        const quint64 scambi = db->scambi() + 1 + interno::SCAMBI_APERTURA + 1;
        QCOMPARE(a->interrompiSessioni(), 1);

        const ErroreArchivio e = errore([&] { db->Execute(AGGIORNA, {"VIA NUOVA", "101"}); });
        QCOMPARE(int(e.tipo()), int(TipoErrore::ConnessionePersa));
        QCOMPARE(righe(e).mid(0, 3),
                 (QStringList{"Attenzione !!! La connessione al server dell'archivio si è interrotta.", archivio,
                              "Nessun dato è stato registrato."}));
        QCOMPARE(a->istantanea(), prima);

        QCOMPARE(db->Execute(AGGIORNA, {"VIA NUOVA", "101"}), 1);
        db->richiedi("NUOVA", {"X"});
        db->OpenTable("ANAGSOSTITUTI");
        QCOMPARE(db->scambi(), scambi);
        QCOMPARE(a->istantanea(), dopo);
        tabella->Seek("=", "101", CHIAVECF(X_CF));
        QCOMPARE(tabella->Fields("ASOST_9"), "VIA NUOVA");
        ATTESO_ERRORE(elenco->MoveNext(), TipoErrore::Altro);
        // Lost again, noticed by the table record set's own read.
        a->interrompiSessioni();
        ATTESO_ERRORE(tabella->MoveFirst(), TipoErrore::ConnessionePersa);
        tabella->MoveFirst();
        QCOMPARE(tabella->Fields("CODAZI"), "101");
    }

    // Lost inside a transaction: the transaction went with it, so every
    // statement up to the rollback is refused; nothing is opened again
    // half-way, where later statements would be committed without the
    // earlier ones.
    void transazioneInterrotta()
    {
        SOLO_SERVER("a connection to a server");
        const QString prima = a->istantanea();
        db->BeginTrans();
        db->Execute(AGGIORNA, {"VIA NUOVA", "101"});
        a->interrompiSessioni();
        ATTESO_ERRORE(db->Execute("DELETE FROM PERCETTORI"), TipoErrore::ConnessionePersa);
        ATTESO_ERRORE(db->Execute("DELETE FROM PERCETTORI"), TipoErrore::ConnessionePersa);
        ATTESO_ERRORE(db->CommitTrans(), TipoErrore::ConnessionePersa);
        db->Rollback();
        QVERIFY(!db->inTransazione());
        QCOMPARE(a->istantanea(), prima);
        QCOMPARE(db->Execute(AGGIORNA, {"VIA NUOVA", "101"}), 1);
    }

    // Lost while the COMMIT runs (a trigger of the test ends the session
    // there): the program cannot know whether it took place, and says so.
    void confermaInterrotta()
    {
        SOLO_SERVER("a connection to a server");
        a->esegui("INSERT INTO PERCETTORI (CODAZI, CFPERC, COGNOME) VALUES (?, ?, ?)",
                  {"101", "BNCLRA80A41F205Y", QVariant()});
        a->esegui("CREATE FUNCTION fine_sessione() RETURNS trigger LANGUAGE plpgsql AS "
                  "$$ BEGIN PERFORM pg_terminate_backend(pg_backend_pid()); RETURN NULL; END $$");
        a->esegui("CREATE CONSTRAINT TRIGGER fine AFTER UPDATE ON PERCETTORI DEFERRABLE INITIALLY DEFERRED "
                  "FOR EACH ROW EXECUTE FUNCTION fine_sessione()");
        db->BeginTrans();
        db->Execute("UPDATE PERCETTORI SET COGNOME = 'BIANCHI'");
        const ErroreArchivio e = errore([&] { db->CommitTrans(); });
        QCOMPARE(int(e.tipo()), int(TipoErrore::ConfermaIncerta));
        QCOMPARE(righe(e).value(2), "Non è certo che i dati siano stati registrati.");
        db->Rollback();
        QCOMPARE(db->Execute(AGGIORNA, {"VIA NUOVA", "101"}), 1);
    }

    // The archive file moved, replaced by another (a backup restored) or
    // Opening while another program holds the file for a moment (a commit of
    // another workstation) waits for it rather than refusing the archive.
    void aperturaAttendeIlBlocco()
    {
        SOLO_FILE("a server's tables are not locked at opening");
        QSemaphore preso;
        std::thread altro([&preso, luogo = a->luogoAnno()] {
            ArchivioProva::Blocco blocco(luogo, true);
            preso.release();
            QThread::msleep(300);
        });
        preso.acquire();
        std::unique_ptr<Database> secondo;
        const ErroreArchivio e =
            errore([&] { secondo = Database::OpenDatabase(a->luogoAnno(), OpzioniArchivio{5000}); });
        altro.join();
        QVERIFY2(secondo, qPrintable(e.messaggio()));
    }

    // removed while open: every write and every list is refused, saying
    // so, and neither file is touched; back in its place, it works again.
    void archivioSpostato_data()
    {
        QTest::addColumn<QString>("come");
        QTest::newRow("moved") << "spostato";
        QTest::newRow("replaced") << "sostituito";
        QTest::newRow("removed") << "cancellato";
    }
    void archivioSpostato()
    {
        QFETCH(QString, come);
        SOLO_FILE("the archive file itself");
        auto tabella = db->OpenTable("ANAGSOSTITUTI");
        tabella->Seek("=", "101", CHIAVECF(X_CF));
        const QString prima = a->istantanea();
        const QString altrove = a->cartella() + "/S7702004.BAK";
        QVERIFY(QFile::rename(a->percorsoAnno(), altrove));
        if (come == "sostituito")
            QVERIFY(QFile::copy(altrove, a->percorsoAnno()));
        const auto file = [&] {
            QFile f(altrove);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const QByteArray spostato = file();
        if (come == "cancellato")
            QVERIFY(QFile::remove(altrove));

        const ErroreArchivio e = errore([&] { db->Execute(AGGIORNA, {"VIA NUOVA", "101"}); });
        QCOMPARE(int(e.tipo()), int(TipoErrore::ArchivioSpostato));
        QCOMPARE(righe(e),
                 (QStringList{"Attenzione !!! L'archivio è stato spostato o sostituito da un altro programma: "
                              "chiudere e riaprire il programma.",
                              "Archivio: " + a->percorsoAnno(), "Nessun dato è stato registrato."}));
        // A write that finds no row is refused too: the engine alone would run it on the file no longer in the
        // folder and report it done.
        ATTESO_ERRORE(db->Execute(AGGIORNA, {"VIA NUOVA", "999"}), TipoErrore::ArchivioSpostato);
        ATTESO_ERRORE(db->BeginTrans(), TipoErrore::ArchivioSpostato);
        ATTESO_ERRORE(db->OpenRecordset("SELECT * FROM ANAGSOSTITUTI"), TipoErrore::ArchivioSpostato);
        ATTESO_ERRORE(tabella->Edit(); tabella->SetField("ASOST_9", "VIA NUOVA");
                      tabella->Update(), TipoErrore::ArchivioSpostato);
        tabella->CancelUpdate();
        QVERIFY(!db->inTransazione());
        if (come != "cancellato")
            QCOMPARE(file(), spostato);
        if (come == "sostituito")
            QCOMPARE(a->istantanea(), prima);
        if (come != "spostato")
            return;
        QVERIFY(QFile::rename(altrove, a->percorsoAnno()));
        QCOMPARE(db->Execute(AGGIORNA, {"VIA NUOVA", "101"}), 1);
    }

    // An engine that cannot tell a moved file by itself (SQLite on Windows
    // has no such check) reports a refused write: the open file's identity
    // against the path's decides whether the operator reads "moved or
    // replaced" or the read-only message.
    void scritturaRifiutataSuFileSostituito_data()
    {
        QTest::addColumn<int>("classificato");
        QTest::newRow("read-only") << int(TipoErrore::SolaLettura);
        QTest::newRow("cannot open") << int(TipoErrore::NonApribile);
    }
    void scritturaRifiutataSuFileSostituito()
    {
        QFETCH(int, classificato);
        SOLO_FILE("the archive file itself");
        const Luogo luogo = Luogo::file(a->percorsoAnno());
        const interno::IdentitaFile aperto = interno::identitaFile(luogo.percorso());
        const ErroreArchivio rifiuto(TipoErrore(classificato), "attempt to write a readonly database");

        // The same file, its folder writable: the engine's class stands.
        QCOMPARE(int(interno::guastoSuFile(luogo, aperto, rifiuto).tipo()), classificato);

        const QString altrove = a->cartella() + "/S7702004.BAK";
        QVERIFY(QFile::rename(a->percorsoAnno(), altrove));
        QVERIFY(QFile::copy(altrove, a->percorsoAnno()));
        const ErroreArchivio e = interno::guastoSuFile(luogo, aperto, rifiuto);
        QCOMPARE(int(e.tipo()), int(TipoErrore::ArchivioSpostato));
        QCOMPARE(righe(e).value(1), "Archivio: " + a->percorsoAnno());
    }

    // The server's errors by their SQLSTATE (libpq's failures have none):
    // what the clerk reads first.
    void classiSqlstate_data()
    {
        QTest::addColumn<QString>("sqlstate");
        QTest::addColumn<QString>("riga");
        const QString persa = "La connessione al server dell'archivio si è interrotta.",
                      muto = "Il server PostgreSQL dell'archivio non risponde.";
        const QString accesso = "Il server dell'archivio non consente l'accesso a questo utente.";
        // clang-format off
        const QList<std::tuple<const char*, QString, QString>> casi = {
            {"password", "28P01", accesso}, {"authorization", "28000", accesso},
            {"right refused", "42501",
             "Il server PostgreSQL non concede all'utente <utente> il diritto UPDATE sulla tabella ANAGSOSTITUTI."},
            {"read-only transaction", "25006",
             "Il server PostgreSQL accetta solo letture: non è possibile registrare dati nell'archivio."},
            {"administrator ended the session", "57P01", persa}, {"crash shutdown", "57P02", persa},
            {"cannot connect now", "57P03", muto}, {"connection failure", "08006", muto},
            {"libpq's own failure", "", muto},
            {"no such database", "3D000", "L'archivio non esiste sul server PostgreSQL."},
            // Which a test cannot provoke at will.
            {"disk full", "53100", "Il disco dell'archivio è pieno."},
            {"deadlock", "40P01", "L'archivio è in uso da un altro programma della procedura."}};
        // clang-format on
        for (const auto& [nome, sqlstate, riga] : casi)
            QTest::newRow(nome) << sqlstate << riga;
    }
    void classiSqlstate()
    {
        QFETCH(QString, sqlstate);
        QFETCH(QString, riga);
        const QSqlError e("", "ERROR:  permission denied for table anagsostituti", QSqlError::StatementError, sqlstate);
        const ErroreArchivio classificato =
            interno::MotorePostgreSql().classifica(e, "UPDATE ANAGSOSTITUTI SET ASOST_9 = ?");
        QCOMPARE(righe(classificato).value(0), "Attenzione !!! " + riga);
    }

    // The server that does not answer, the archive it does not hold.
    void serverIrraggiungibileEArchivioMancante()
    {
        SOLO_SERVER("a server's refusals");
        const Luogo nessuno = Luogo::server("host=127.0.0.1 port=1 user=anagsost", a->nomeAnno());
        const ErroreArchivio e = errore([&] { Database::OpenDatabase(nessuno); });
        QCOMPARE(int(e.tipo()), int(TipoErrore::ServerIrraggiungibile));
        QCOMPARE(righe(e).mid(0, 2), (QStringList{"Attenzione !!! Il server PostgreSQL dell'archivio non risponde.",
                                                  "Archivio: " + nessuno.descrizione()}));

        // Removed from the server while open: the connection goes with it,
        // and opening it again finds no archive.
        const QString archivio = "Archivio: " + a->luogoAnno().descrizione();
        a->setArchivio(Luogo::server(a->server(), QString()));
        a->esegui(QString("DROP DATABASE %1 WITH (FORCE)").arg(a->nomeAnno()));
        ATTESO_ERRORE(db->Execute(AGGIORNA, {"VIA NUOVA", "101"}), TipoErrore::ConnessionePersa);
        const ErroreArchivio mancante = errore([&] { db->Execute(AGGIORNA, {"VIA NUOVA", "101"}); });
        QCOMPARE(int(mancante.tipo()), int(TipoErrore::ArchivioMancante));
        QCOMPARE(righe(mancante).mid(0, 2),
                 (QStringList{"Attenzione !!! L'archivio non esiste sul server PostgreSQL.", archivio}));
    }

    // The password refused, and the right password in a file libpq ignores
    // because others may read it: the file is what the operator must mend.
    void passwordRifiutata()
    {
        SOLO_SERVER("a server's refusals");
        const QString riga = FilePasswordProva::rigaProva();
        const QString sbagliata = riga.section(':', 0, 3) + ":sbagliata";
        const QString archivio = "Archivio: " + a->luogoAnno().descrizione();
        db.reset();
        {
            FilePasswordProva f({sbagliata}, QFile::ReadOwner | QFile::WriteOwner);
            const ErroreArchivio e = errore([&] { Database::OpenDatabase(a->luogoAnno()); });
            QCOMPARE(int(e.tipo()), int(TipoErrore::AccessoNegato));
            QCOMPARE(righe(e).value(1), archivio);
        }
        // Any right of the group, or of the others, and libpq ignores the file.
        for (const QFile::Permissions altri :
             {QFile::Permissions(QFile::ReadGroup), QFile::Permissions(QFile::ExeOther)}) {
            FilePasswordProva f({riga}, QFile::ReadOwner | QFile::WriteOwner | altri);
            const ErroreArchivio e = errore([&] { Database::OpenDatabase(a->luogoAnno()); });
            QCOMPARE(int(e.tipo()), int(TipoErrore::FilePasswordIgnorato));
            QCOMPARE(righe(e).value(1), archivio);
            QCOMPARE(righe(e).value(3), "Renderlo accessibile al solo proprietario (chmod 600 " + f.percorso() + ").");
            // Mended, it works.
            QFile::setPermissions(f.percorso(), QFile::ReadOwner | QFile::WriteOwner);
            QVERIFY(Database::OpenDatabase(a->luogoAnno()));
        }
    }

    // A clerk's role that is not a member of the role owning the tables:
    // the right refused, the table, and the grant that mends it.
    void dirittoNegato()
    {
        SOLO_SERVER("a server's refusals");
        RuoloProva impiegato(*a);
        if (!impiegato.motivoSalto().isEmpty())
            QSKIP(qPrintable(impiegato.motivoSalto()));
        const QString proprietario = QRegularExpression("\\buser=(\\S+)").match(a->server()).captured(1);
        const Luogo luogo = Luogo::server(impiegato.server(), a->nomeAnno());
        const QString prima = a->istantanea();
        auto suo = Database::OpenDatabase(luogo);
        auto frontespizio = suo->OpenTable("FRONTESPIZIO");
        const ErroreArchivio e = errore([&] { frontespizio->MoveFirst(); });
        QCOMPARE(int(e.tipo()), int(TipoErrore::PermessoNegato));
        QCOMPARE(righe(e).value(0), "Attenzione !!! Il server PostgreSQL non concede all'utente " + impiegato.nome() +
                                        " il diritto SELECT sulla tabella FRONTESPIZIO.");
        QCOMPARE(righe(e).value(1), "Archivio: " + luogo.descrizione());
        QCOMPARE(righe(e).value(3), "L'amministratore del server deve rendere l'utente membro del ruolo "
                                    "proprietario delle tabelle: GRANT " +
                                        proprietario + " TO " + impiegato.nome());
        a->esegui(QString("GRANT SELECT ON ALL TABLES IN SCHEMA public TO %1").arg(impiegato.nome()));
        const ErroreArchivio scrittura = errore([&] { suo->Execute(AGGIORNA, {"VIA NUOVA", "101"}); });
        QCOMPARE(scrittura.precisazioni().privilegio + ' ' + scrittura.precisazioni().tabella, "UPDATE ANAGSOSTITUTI");
        // The lock a change takes at its start, refused: told as such, not as the first statement's right.
        suo->BeginTrans();
        const ErroreArchivio transazione = errore([&] { suo->Execute(AGGIORNA, {"VIA NUOVA", "101"}); });
        QCOMPARE(int(transazione.tipo()), int(TipoErrore::PermessoNegato));
        QCOMPARE(transazione.precisazioni().privilegio, "di scrittura (INSERT, UPDATE, DELETE)");
        suo->Rollback();
        frontespizio.reset();
        suo.reset();
        QCOMPARE(a->istantanea(), prima);
    }
};

PROVA(TestGuasti);
#include "guasti.moc"
