#pragma once
// Internal to store/: what the record sets need from a database engine.
// Everything that differs between engines (how a connection is opened, where
// the catalogue lives, what an error code means, the dialect of a few
// statements) sits behind this interface; the record sets and the database
// handle speak only to it and to Qt SQL.
#include "store/database.h"
#include "store/errore.h"
#include "store/luogo.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

namespace store::interno {

class CanalePg;

struct InfoIndice {
    QString nome;        // as in the catalogue, e.g. "ANAGSOSTITUTI_CHIAVE"
    QStringList colonne; // key columns, in order
    bool univoco = false;
};

struct InfoTabella {
    QString nome;                  // as in the catalogue
    QStringList colonne;           // in table order
    QHash<QString, int> posizione; // upper-case column name -> position
    QStringList chiavePrimaria;    // declared primary key; may be empty
    QList<InfoIndice> indici;

    // Index named "<TABLE>_<nome>" (without regard to case); nullptr if none.
    const InfoIndice* indice(const QString& nomeLogico) const;
    // Columns that identify one row: the primary key when declared, otherwise
    // the columns of the unique "CHIAVE" index; empty when there are neither.
    QStringList identita() const;
    int colonna(const QString& nome) const { return posizione.value(nome.toUpper(), -1); }
};

class Motore {
public:
    virtual ~Motore() = default;

    // Qt SQL driver name.
    virtual QString driver() const = 0;
    // The store's own driver for a new connection, which Qt SQL then owns;
    // nullptr where Qt's driver named by driver() serves.
    virtual QSqlDriver* creaDriver() const { return nullptr; }
    // Opens `db` (a connection added for driver()) on an existing archive and
    // checks that it can be used. Raises ErroreArchivio.
    virtual void apri(QSqlDatabase& db, const Luogo& luogo, const OpzioniArchivio& opzioni) const = 0;

    // Names of the user tables.
    virtual QStringList tabelle(QSqlDatabase& db) const = 0;
    // Every table's description, read once per connection on engines where
    // asking costs a round trip (on a server with the connection's first
    // statement, see MotorePostgreSql); empty until then, and where each
    // table is described when first needed.
    virtual QList<InfoTabella> descrizioni() const { return {}; }
    // True when the description read says the archive holds no table at
    // all: none of the program's statements can then run on it.
    virtual bool senzaTabelle() const { return false; }
    // Columns, primary key and indexes of a table named as in the catalogue.
    virtual InfoTabella descriviTabella(QSqlDatabase& db, const QString& tabella) const = 0;

    // The failure reported by the engine, as the program's error.
    virtual ErroreArchivio classifica(const QSqlError& errore, const QString& contesto) const = 0;
    // True when the error says there was no transaction to end (the engine
    // may have undone it on its own after a failure).
    virtual bool nessunaTransazione(const QSqlError& errore) const = 0;

    // Statements that start a transaction taking the write lock at once on
    // the tables it writes (every table when none is named): others may go
    // on reading, nobody else may write them until it ends.
    virtual QStringList inizioTransazione(QSqlDatabase& db, const QStringList& tabelle) const = 0;
    // True when one failed statement spoils the whole transaction on this
    // engine: each statement inside a transaction is then undone on its own
    // when it fails (a savepoint), so that a failure leaves the transaction
    // as SQLite leaves it, with every earlier change still pending.
    virtual bool ripristinoPerIstruzione() const { return false; }
    // True when a result may be read row by row while other statements run
    // on the same connection; otherwise results are read whole at once.
    virtual bool letturaProgressiva() const { return true; }
    // " order by a,b DESC": the ORDER BY clause of the program's keys, in
    // the form of its own SQL texts. Raises Altro for a key that is not a
    // plain column name.
    QString ordinaPer(const QList<Chiave>& chiavi) const;
    // One item of it: the column, " DESC" when descending, and whatever the
    // engine must be told for Nulls to come first in ascending order and
    // last in descending order, where SQLite puts them.
    virtual QString voceOrdine(const QString& colonna, bool discendente) const;
    // Columns of a result whose values come padded to a fixed width: they
    // are read without the trailing blanks.
    virtual QList<int> colonneDaRifilare(const QSqlRecord& record) const
    {
        Q_UNUSED(record);
        return {};
    }
    // Identifier quoted for the dialect.
    virtual QString nome(const QString& identificatore) const;
    // A table, column or index name of the catalogue or of a result, spelt
    // as the program's schema spells it when the engine does not keep the
    // spelling.
    virtual QString nomeCanonico(const QString& nome) const { return nome; }
    // "(a, b) > (?, ?)": row comparison on several columns.
    virtual QString confrontoRiga(const QStringList& colonne, const QString& operatore) const;
    // Suffix that keeps the first row only.
    virtual QString primaRiga() const { return QStringLiteral(" LIMIT 1"); }
    // True when an UPDATE can hand back the row as stored (RETURNING) in
    // the same round trip.
    virtual bool restituisceRighe() const { return false; }
    // Where the statements go through libpq on a server; nullptr for Qt's
    // own statements (a file).
    virtual CanalePg* canale() const { return nullptr; }
};

// An identifier between double quotes, quotes inside doubled.
QString nomeQuotato(const QString& identificatore);

std::unique_ptr<Motore> creaMotoreSqlite();
std::unique_ptr<Motore> creaMotorePostgreSql();
// The engine of an archive: PostgreSQL for a database on a server, else SQLite.
std::unique_ptr<Motore> creaMotore(const Luogo& luogo);

// A text value without its trailing blanks; any other value as it is.
QVariant rifilato(const QVariant& valore);
// Drops the trailing blanks of the text values in these columns.
void rifila(QVector<QVariant>& riga, const QList<int>& colonne);

} // namespace store::interno
