#pragma once
// Creation of an empty database with the tables of the year's database.
// Used by the tools that write the template and by the tests; the program
// itself never creates tables.
#include <QString>
#include <QStringList>
#include <functional>

namespace store {

class Database;

// The schema's SQL text (one statement per ";").
QString testoSchema();
// The schema's statements, comments removed, one per element.
QStringList istruzioniSchema();

// Writes a new database file holding every table and index, empty.
// Raises ErroreArchivio when the file already exists or cannot be written.
void creaArchivioVuoto(const QString& percorso);

// Writes a new database file with the schema, then lets `riempi` add rows
// through an open Database inside one transaction. The file is built under a
// temporary name in the same folder and appears under `percorso` only when
// complete; an existing file is never replaced. Raises ErroreArchivio.
void creaArchivio(const QString& percorso, const std::function<void(Database&)>& riempi);

} // namespace store
