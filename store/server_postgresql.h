#pragma once
// Internal to store/: what a PostgreSQL server offers beyond one database
// (whether a database is there, creation from a template, creation from the
// schema, removal), each on a short-lived connection to the server's
// maintenance database. Raise ErroreArchivio.
#include "store/luogo.h"

#include <QStringList>
#include <functional>

namespace store {
class Database;
}

namespace store::interno {

// Whether a database is there and the user may connect to it: its one row
// (true, or false when it is closed to the user), no row when it is missing.
extern const QString SQL_PRESENZA;

Presenza presenzaSuServer(const Luogo& luogo);
// Several databases of one server, on one connection.
QList<Presenza> presenzaSuServer(const QList<Luogo>& luoghi);
void creaDaModelloSuServer(const Luogo& modello, const Luogo& anno);
// The role the table of the database `luogo` belongs to (any of its tables
// when `tabella` is empty); "" when it cannot be told.
QString proprietarioTabella(const Luogo& luogo, const QString& tabella);
// A new database with the statements run in one transaction, then `riempi`
// through an open Database in another; it appears under its name only when
// complete, and is dropped on failure. `modello` marks it as a template any
// user allowed to create databases may copy.
void creaDatabaseSuServer(const Luogo& luogo, const QStringList& istruzioni,
                          const std::function<void(Database&)>& riempi, bool modello);

} // namespace store::interno
