#pragma once
// Creation of an empty database with the tables of the year's database.
// Used by the tools that write the template and by the tests; the program
// itself never creates tables.
#include <QString>

namespace store {

// The schema's SQL text (one statement per ";").
QString testoSchema();

// Writes a new database file holding every table and index, empty.
// Raises ErroreArchivio when the file already exists or cannot be written.
void creaArchivioVuoto(const QString& percorso);

} // namespace store
