#pragma once
// The year's database (DBANNO): a file shared with the suite's other programs,
// or a database on a PostgreSQL server shared by several workstations.
#include "store/avvisi.h"
#include "store/errore.h"
#include "store/luogo.h"
#include "store/recordset.h"

#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>

namespace store {

struct OpzioniArchivio {
    // How long a statement waits for another program's lock before it fails
    // with Occupato.
    int attesaBloccoMs = 5000;
};

// One key of the order of an SQL record set: a column of the result, named
// as the program's SQL texts name it. On every engine Nulls come first in
// ascending order and last in descending order.
struct Chiave {
    QString colonna;
    bool discendente = false;
};

// One statement with the values bound to its "?" placeholders.
struct Istruzione {
    QString sql;
    QVariantList parametri;
};

// Round trips to PostgreSQL servers made by every connection of the process
// so far, short-lived ones included (see Database::scambi).
quint64 scambiServer();

class Database {
public:
    // Opens an existing database file, shared, for reading and writing.
    // Raises ErroreArchivio (NonApribile, Danneggiato, SolaLettura, ...).
    static std::unique_ptr<Database> OpenDatabase(const QString& percorso,
                                                  const OpzioniArchivio& opzioni = {});
    // Opens an existing archive, a file or a database on a server. Raises
    // ErroreArchivio; on a server also AccessoNegato when it refuses the user.
    static std::unique_ptr<Database> OpenDatabase(const Luogo& luogo, const OpzioniArchivio& opzioni = {});
    virtual ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Releases the file; closing twice does nothing.
    virtual void Close() = 0;
    // The file's path, or the description of the database on its server.
    virtual QString percorso() const = 0;

    // Runs one statement at once; returns the number of rows it changed.
    virtual int Execute(const QString& sql, const QVariantList& parametri = {}) = 0;
    // Runs statements that do not depend on each other's outcome, in order,
    // on a server all in one round trip; the rows each changed. The first
    // failure is raised and the statements after it do not run: inside a
    // transaction, roll it back.
    virtual QList<int> Execute(const QList<Istruzione>& istruzioni) = 0;

    // Record set over the result of an SQL text ("?" placeholders bound to
    // parametri), in the order of the keys when there are any: the engine
    // writes the text's ORDER BY from them.
    virtual std::unique_ptr<SqlRecordset> OpenRecordset(const QString& sql, const QVariantList& parametri = {},
                                                        const QList<Chiave>& ordine = {}) = 0;

    // Table-type record set on a whole table, current index "CHIAVE".
    // Raises OggettoMancante when the table or its "CHIAVE" index is missing.
    virtual std::unique_ptr<TableRecordset> OpenTable(const QString& tabella) = 0;

    // Makes sure the table has these fields (names matched without regard to
    // case); raises OggettoMancante naming the table or the first field that
    // is missing. Asks the catalogue the connection keeps.
    virtual void richiedi(const QString& tabella, const QStringList& campi) = 0;

    // Transactions for changes that span several statements or tables:
    // every table locked against other writers, and a statement that fails
    // is undone alone (the rest of the transaction stands).
    virtual void BeginTrans() = 0;
    // All or nothing on the tables named, the only ones it may write and
    // the only ones locked against other writers; once a statement fails
    // the transaction can only be rolled back.
    virtual void BeginTrans(const QStringList& tabelleScritte) = 0;
    virtual void CommitTrans() = 0;
    virtual void Rollback() = 0;
    virtual bool inTransazione() const = 0;

    // Round trips to the server on this database's connection since it was
    // opened, its opening included: one for each statement or group of
    // statements sent together. Always 0 for a file.
    virtual quint64 scambi() const = 0;

    // ---- other workstations' changes (store/avvisi.h) ----
    // Tells the other workstations what the transaction under way did: sent
    // with its COMMIT, in the same round trip, and dropped when it is rolled
    // back. Nothing on a file, whose version tells another connection.
    virtual void annuncia(const Avviso& avviso) = 0;
    // From now on `arrivati` is called, from this thread's event loop, when
    // other workstations' changes may be waiting for avvisi(): on a server
    // when their notifications reach the connection (nothing is sent to it
    // meanwhile), on a file every `intervalloMs`. On a server it sends LISTEN
    // (one round trip), again whenever the connection is opened again after
    // it broke off; raises ErroreArchivio when it fails. An empty function
    // stops listening.
    virtual void ascolta(std::function<void()> arrivati, int intervalloMs = 1000) = 0;
    // What other workstations changed since the last call, this connection's
    // own writes never among them; empty for nothing. On a server what has
    // reached the connection (no round trip); on a file one read of its
    // version, and one Imprecisato when another connection committed
    // meanwhile (never during a transaction). Never raises: what cannot be
    // read now is read at the next call.
    virtual QList<Avviso> avvisi() = 0;

protected:
    Database() = default;
};

// All or nothing: begins on construction, rolls back on destruction unless
// commit() was called.
class Transazione {
public:
    explicit Transazione(Database& db) : m_db(db) { m_db.BeginTrans(); }
    // Writes only these tables: see Database::BeginTrans.
    Transazione(Database& db, const QStringList& tabelleScritte) : m_db(db) { m_db.BeginTrans(tabelleScritte); }
    ~Transazione()
    {
        if (!m_chiusa) {
            try {
                m_db.Rollback();
            } catch (...) {
                // The engine undoes an unfinished transaction on its own when
                // the connection goes; nothing more can be done here.
            }
        }
    }
    void commit()
    {
        m_db.CommitTrans();
        m_chiusa = true;
    }
    Transazione(const Transazione&) = delete;
    Transazione& operator=(const Transazione&) = delete;

private:
    Database& m_db;
    bool m_chiusa = false;
};

} // namespace store
