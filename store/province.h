#pragma once
// The province table of the tax year (TABMIN_PROV) and the template database
// it belongs to.
#include "store/luogo.h"

#include <QList>
#include <QString>

namespace store {

class Database;

struct Provincia {
    QString sigla; // two-letter code, codprov
    QString nome;  // name in capitals, descprov
};

// The provinces in force for the tax year 2004 (103), in alphabetical order of
// their code, followed by "EE" for a foreign state.
QList<Provincia> provinceAnno();

// Adds provinceAnno() to TABMIN_PROV.
void inserisciProvince(Database& db);

// Name of the template database in the archive folder.
inline QString nomeFileTemplate() { return QStringLiteral("SQ47XXXX.MDB"); }

// Writes the template database at `percorso`: every table empty except
// TABMIN_PROV, which holds provinceAnno(). Never replaces an existing file;
// raises ErroreArchivio.
void creaTemplate(const QString& percorso);
// The same as a file or on a server, where the database is marked as a
// template, so that any user allowed to create databases may copy it.
void creaTemplate(const Luogo& luogo);

} // namespace store
