#pragma once
// The year's database (DBANNO): a file shared with the suite's other programs,
// or a database on a PostgreSQL server shared by several workstations.
#include "store/errore.h"
#include "store/luogo.h"
#include "store/recordset.h"

#include <QString>
#include <QVariantList>
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

    // Record set over the result of an SQL text ("?" placeholders bound to
    // parametri), in the order of the keys when there are any: the engine
    // writes the text's ORDER BY from them.
    virtual std::unique_ptr<SqlRecordset> OpenRecordset(const QString& sql, const QVariantList& parametri = {},
                                                        const QList<Chiave>& ordine = {}) = 0;

    // Table-type record set on a whole table, current index "CHIAVE".
    // Raises OggettoMancante when the table or its "CHIAVE" index is missing.
    virtual std::unique_ptr<TableRecordset> OpenTable(const QString& tabella) = 0;

    // Transactions for changes that span several statements or tables.
    virtual void BeginTrans() = 0;
    virtual void CommitTrans() = 0;
    virtual void Rollback() = 0;
    virtual bool inTransazione() const = 0;

protected:
    Database() = default;
};

// All or nothing: begins on construction, rolls back on destruction unless
// commit() was called.
class Transazione {
public:
    explicit Transazione(Database& db) : m_db(db) { m_db.BeginTrans(); }
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
