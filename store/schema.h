#pragma once
// Creation of an empty database with the tables of the year's database, as a
// file or on a PostgreSQL server. Used by the tools that write the template
// and by the tests; the program itself never creates tables.
#include "store/luogo.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace store {

class Database;

// The schema's SQL text (one statement per ";"), for SQLite files.
QString testoSchema();
// The schema's statements, comments removed, one per element.
QStringList istruzioniSchema();
// The statements for a database on a PostgreSQL server.
QStringList istruzioniSchemaServer();

// Writes a new database file with the schema, then lets `riempi` add rows
// through an open Database inside one transaction. The file is built under a
// temporary name in the same folder and appears under `percorso` only when
// complete; an existing file is never replaced. Raises ErroreArchivio.
void creaArchivio(const QString& percorso, const std::function<void(Database&)>& riempi);

// The same for a file or a database on a server: there the database is
// created with the C collation, filled under a temporary name and renamed
// when complete; it is dropped when anything fails, and an existing one is
// never replaced.
void creaArchivio(const Luogo& luogo, const std::function<void(Database&)>& riempi);

} // namespace store
