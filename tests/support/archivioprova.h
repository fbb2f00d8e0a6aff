#pragma once
// A throw-away archive for the tests, on the engine the test runs on.
//
//   ArchivioProva a;                 // temp folder; the template SQ47XXXX.MDB
//                                    // (schema + provinces), nothing else
//   a.creaAnno();                    // copies it to S7702004.MDB, as start-up does
//   a.aggiungiFrontespizio("001", "01234567897", {}, {}, "ALFA SRL");
//   a.aggiungiSostituto("101", "RSSMRA80A01H501U", {"ROSSI", "MARIO", "M", "19800101",
//                       "ROMA", "RM", "ROMA", "RM", "VIA ROMA 1", "001"});
//   a.aggiungiRigaQuadro("QUADROLDIP1", "101", "01234567897", "RSSMRA80A01H501U",
//                        {{"IMPORTO1", 100}});
//   const QString prima = a.istantanea();
//   ... run the code under test on a.luogoAnno() ...
//   QCOMPARE(a.istantanea(), prima);   // nothing changed
//
// Engine: with ANAGSOST_PG set (the "_pg" variants of the tests, see
// tests/CMakeLists.txt) the template and the year's database are databases on
// that PostgreSQL server, named with a prefix of this instance's own
// (prefisso() + "sq47xxxx", prefisso() + "s7702004"), made from the same
// schema and provinces, and dropped with every other database of the prefix
// when the instance goes (connections still open are ended first). The
// folder exists on both engines: it is the archive folder of the
// configuration, and configura() (finestraprova.h) also writes the server and
// the prefix for an instance on a server. Otherwise everything is SQLite
// files in the folder.
//
// Every helper opens its own short-lived connection (a unique connection
// name, a lock wait of a few seconds), so it can be used while the program
// under test has the same archive open. Values are written exactly as given
// (no key normalisation): a null QVariant (QVariant()) writes Null, any
// QString (QString() included) a text. Rows read by righe() have the field
// names in capitals and fixed-width values without their padding, on both
// engines. Failures
// raise std::runtime_error (or the store's ErroreArchivio while the template
// or the year's database is made), which Qt Test reports as a failure.
// By default the helpers work on the year's database; setArchivio() points
// them at another archive (the template, say).
#include "store/errore.h"
#include "store/luogo.h"
#include "store/province.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QVariantMap>
#include <functional>
#include <memory>

// The section tables of the return that hold a substitute's rows (CODAZI,
// CFD, CFS), as the rest of the suite writes them: written out here, not
// taken from the program, so that a table the program misses is caught.
// clang-format off
inline const QStringList SEZIONI = {
    "QUADROLDIP1", "QUADROLDIP2", "QUADROLDIP3", "QUADROLDIP4", "QUADROLAUT", "QUADROST"};
// clang-format on

// ---- the engine of the test run ----

// The server's connection string from ANAGSOST_PG; "" on SQLite.
QString serverProva();
bool suServerProva();
// "" when the tests can run: always on SQLite; on a server when it answers.
// Otherwise why not.
QString motivoSaltoMotore();

// In main(): the whole test program skips when it is meant for a server
// that is not configured or does not answer (fails instead when
// ANAGSOST_PG_RICHIESTO is set, as scripts/test.sh does).
#define SALTA_SENZA_MOTORE()                                                                                           \
    do {                                                                                                               \
        if (const QString motivo_ = motivoSaltoMotore(); !motivo_.isEmpty()) {                                         \
            qWarning("SKIP: %s", qPrintable(motivo_));                                                                 \
            return qEnvironmentVariableIsSet("ANAGSOST_PG_RICHIESTO") ? 1 : 0;                                         \
        }                                                                                                              \
    } while (false)

// A case about files (copies, damage, permissions) skips on a server.
#define SOLO_FILE(perche)                                                                                              \
    do {                                                                                                               \
        if (suServerProva())                                                                                           \
            QSKIP(perche);                                                                                             \
    } while (false)
// A case about a server (its connection, its refusals) skips on files.
#define SOLO_SERVER(perche)                                                                                            \
    do {                                                                                                               \
        if (!suServerProva())                                                                                          \
            QSKIP(perche);                                                                                             \
    } while (false)

// The failure f raises; without one, a failure of no kind.
inline store::ErroreArchivio errore(const std::function<void()>& f)
{
    try {
        f();
    } catch (const store::ErroreArchivio& e) {
        return e;
    }
    return store::ErroreArchivio(store::TipoErrore(-1), "nessun errore");
}
#define ATTESO_ERRORE(istruzione, tipoAtteso) QCOMPARE(int(errore([&] { istruzione; }).tipo()), int(tipoAtteso))

class ConnessioneProva; // one short-lived connection (archivioprova.cpp)

class ArchivioProva {
public:
    ArchivioProva();
    ~ArchivioProva();

    // The archive folder: absolute, no trailing separator.
    QString cartella() const { return QDir(m_cartella.path()).absolutePath(); }
    // cartella()/SQ47XXXX.MDB and cartella()/S7702004.MDB (files on SQLite only)
    QString percorsoTemplate() const { return cartella() + QLatin1Char('/') + store::nomeFileTemplate(); }
    QString percorsoAnno() const { return cartella() + QStringLiteral("/S7702004.MDB"); }

    // Copies the template to the year's database (a plain file copy, or
    // CREATE DATABASE ... TEMPLATE on the server) and returns its path (the
    // database's name on a server). Raises when the year's database already
    // exists.
    QString creaAnno();

    // Archive the helpers below work on; the year's database unless set.
    void setArchivio(const QString& percorso) { m_luogo = store::Luogo::file(percorso); } // a file on either engine
    void setArchivio(const store::Luogo& luogo) { m_luogo = luogo; }

    // ---- engine ----
    bool suServer() const { return !m_server.isEmpty(); }
    QString server() const { return m_server; }     // "" on SQLite
    QString prefisso() const { return m_prefisso; } // "" on SQLite
    // The template's and the year's database names on the server.
    QString nomeTemplate() const { return store::nomeSuServer(store::nomeFileTemplate(), m_prefisso); }
    QString nomeAnno() const { return store::nomeSuServer(QStringLiteral("S7702004.MDB"), m_prefisso); }
    // A file, or the database on the server.
    store::Luogo luogoTemplate() const { return luogoDi(nomeTemplate(), percorsoTemplate()); }
    store::Luogo luogoAnno() const { return luogoDi(nomeAnno(), percorsoAnno()); }
    // The instance whose folder this is, if any is alive.
    static ArchivioProva* diCartella(const QString& cartella);

    // ---- rows ----
    void aggiungiFrontespizio(const QString& codazi, const QString& cfd, const QVariant& fr1 = {},
                              const QVariant& fr2 = {}, const QVariant& fr3 = {}, const QVariant& fr14 = {});
    // asost: the values of ASOST_1 .. ASOST_10 in order; missing ones are Null.
    void aggiungiSostituto(const QString& codazi, const QString& cfs, const QVariantList& asost = {});
    // A row of a section table (QUADROLDIP1..4, QUADROLAUT, QUADROST) with its
    // keys and any other columns; returns its ID.
    qint64 aggiungiRigaQuadro(const QString& tabella, const QString& codazi, const QString& cfd, const QString& cfs,
                              const QVariantMap& altri = {});
    // ---- any statement, values bound to "?" ----
    // Returns the rows changed.
    int esegui(const QString& sql, const QVariantList& parametri = {});
    // Every row of a selection, column name -> value (Null as a null QVariant).
    QList<QVariantMap> righe(const QString& sql, const QVariantList& parametri = {});
    // First column of the first row as a number, e.g. "SELECT COUNT(*) FROM ...".
    qint64 conta(const QString& sql, const QVariantList& parametri = {});

    // Deterministic text of the whole archive: every row of every table, all
    // columns, ordered by every column (binary comparison). Texts are quoted,
    // Null is NULL.
    QString istantanea();
    // The same text as it would read after the statement, which is run in a
    // transaction and undone: the archive is left as it is.
    QString istantaneaDopo(const QString& sql, const QVariantList& parametri = {});
    // The same after several statements, each with its values.
    QString istantaneaDopo(const QList<std::pair<QString, QVariantList>>& istruzioni);

    // From now on every `evento` ("INSERT", "UPDATE" or "DELETE") on the table
    // fails with `messaggio`, as if another program refused it (a trigger).
    void impedisci(const QString& evento, const QString& tabella,
                   const QString& messaggio = QStringLiteral("guasto simulato"));
    // From now on every `evento` on the table is followed, in the same
    // transaction, by the statement `istruzione` (no values), as if another
    // program reacted to it (a trigger).
    void alSeguito(const QString& evento, const QString& tabella, const QString& istruzione);

    // On a server: ends from the server every other session on the archive
    // (the program's), as a restart of the server or an administrator would,
    // and waits until they are gone. Returns how many it ended.
    int interrompiSessioni();

    // Holds a lock on the archive until destroyed, as another program of the
    // suite would: esclusivo = no one may even read (SQLite's BEGIN
    // EXCLUSIVE; on a server LOCK TABLE ... IN ACCESS EXCLUSIVE MODE on every
    // table inside an open transaction), otherwise others may read, not write
    // (BEGIN IMMEDIATE; SHARE ROW EXCLUSIVE on a server).
    class Blocco {
    public:
        Blocco(const store::Luogo& luogo, bool esclusivo);
        // A transaction that ran this statement and goes on: it holds what
        // the change locks (rows, and on a file the write lock).
        Blocco(const store::Luogo& luogo, const QString& istruzione);
        ~Blocco();

    private:
        std::unique_ptr<ConnessioneProva> m_connessione;
    };
    std::unique_ptr<Blocco> blocca(bool esclusivo = true);
    // Another program's change under way: `istruzione` run in a transaction
    // left open until destroyed.
    std::unique_ptr<Blocco> inCorso(const QString& istruzione);

private:
    store::Luogo luogoDi(const QString& nome, const QString& percorso) const
    {
        return suServer() ? store::Luogo::server(m_server, nome) : store::Luogo::file(percorso);
    }
    QTemporaryDir m_cartella;
    QString m_server;
    QString m_prefisso;
    store::Luogo m_luogo;
};

// A password file of the test's own holding these lines, with these
// permissions, in force (PGPASSFILE) for as long as it lives.
class FilePasswordProva {
public:
    FilePasswordProva(const QStringList& righe, QFile::Permissions permessi);
    ~FilePasswordProva();
    QString percorso() const { return m_cartella.filePath(QStringLiteral("pgpass")); }
    // The run's own line: the test's role and its password.
    static QString rigaProva();

private:
    QTemporaryDir m_cartella;
    QByteArray m_prima;
};

// A clerk's role on the test's server, made for the test: it may log in,
// is a member of no role, has no right on the archive's tables. Its password
// is in a password file beside the test role's, in force while it lives;
// the role is dropped then (its rights on the archive revoked first).
// motivoSalto() says why it could not be made (the test's role may not
// create roles): the test skips then.
class RuoloProva {
public:
    explicit RuoloProva(ArchivioProva& archivio);
    ~RuoloProva();
    QString nome() const { return m_nome; }
    // The server's connection string with the role as its user.
    QString server() const;
    QString motivoSalto() const { return m_motivoSalto; }

private:
    ArchivioProva& m_archivio;
    QString m_nome;
    QString m_motivoSalto;
    std::unique_ptr<FilePasswordProva> m_file;
};
