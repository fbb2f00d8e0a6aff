#pragma once
// Internal to store/: the PostgreSQL engine behind the store's interface, and
// what the server offers beyond one database (existence, creation from a
// template, removal).
#include "store/luogo.h"
#include "store/motore.h"

#include <QList>
#include <functional>

namespace store::interno {

// One key=value pair of a libpq connection string.
struct ParametroServer {
    QString chiave;
    QString valore;
};

// Reads a connection string; false (and why, in Italian) when it is not one
// the program accepts (see controllaServer).
bool leggiServer(const QString& testo, QList<ParametroServer>& parametri, QString* motivo = nullptr);
// The pairs again, every value quoted for libpq.
QString scriviServer(const QList<ParametroServer>& parametri);

class MotorePostgreSql final : public Motore {
public:
    QString driver() const override;
    void apri(QSqlDatabase& db, const Luogo& luogo, const OpzioniArchivio& opzioni) const override;
    QStringList tabelle(QSqlDatabase& db) const override;
    InfoTabella descriviTabella(QSqlDatabase& db, const QString& tabella) const override;
    ErroreArchivio classifica(const QSqlError& errore, const QString& contesto) const override;
    bool nessunaTransazione(const QSqlError& errore) const override;
    QStringList inizioTransazione(QSqlDatabase& db) const override;
    bool ripristinoPerIstruzione() const override { return true; }
    bool letturaProgressiva() const override { return false; }
    QString adattaTesto(const QString& sql) const override;
    QList<int> colonneDaRifilare(const QSqlRecord& record) const override;
    // The server folded the schema's unquoted names to lower case: that is
    // how they are quoted, and the schema's spelling is how they are shown.
    QString nome(const QString& identificatore) const override;
    QString nomeCanonico(const QString& nome) const override;

    // A failed connection to `luogo`, naming it for the operator.
    ErroreArchivio classificaApertura(const QSqlError& errore, const Luogo& luogo) const;
};

// ORDER BY items of an SQL text given the place of Nulls SQLite gives them:
// first in ascending order, last in descending order. Items that say where
// their Nulls go are left alone.
QString nulliComeSqlite(const QString& sql);

// Server operations, each on a short-lived connection to the server's
// maintenance database. Raise ErroreArchivio.
Presenza presenzaSuServer(const Luogo& luogo);
void creaDaModelloSuServer(const Luogo& modello, const Luogo& anno);
// A new database with the statements run in one transaction, then `riempi`
// through an open Database in another; it appears under its name only when
// complete, and is dropped on failure. `modello` marks it as a template any
// user allowed to create databases may copy.
void creaDatabaseSuServer(const Luogo& luogo, const QStringList& istruzioni,
                          const std::function<void(Database&)>& riempi, bool modello);

} // namespace store::interno
