#pragma once
// A demo archive: template, year's database with fictional declarants,
// substitutes, section rows and recipients, and the configuration pointing at
// it. Used by the creademo tool, by the demo script and by the tests.
#include <QDate>
#include <QString>

namespace strumenti {

// Name of the year's database in the archive folder.
inline QString nomeFileAnno() { return QStringLiteral("S7702004.MDB"); }

// A formally correct codice fiscale of a natural person: the fifteen
// characters built from the data, then the check character that CONTROLLOCF
// accepts. sesso is 'M' or 'F'; comune is the four-character code of the
// town (or foreign state) of birth. Raises std::runtime_error when no check
// character is accepted.
QString codiceFiscale(const QString& cognome, const QString& nome, const QDate& nascita, QChar sesso,
                      const QString& comune);
// A formally correct partita IVA: the ten digits given, then the check digit
// that CONTROLLOPIVA accepts.
QString partitaIva(const QString& dieciCifre);

// Writes the template (when missing; an existing one is left as it is) and
// the year's database holding the demo's rows into `cartella`, creating the
// folder when needed. Raises store::ErroreArchivio, leaving nothing behind,
// when the year's database already exists.
void creaArchivioDemo(const QString& cartella);
// The same with the two databases on the PostgreSQL server `server` (a libpq
// connection string), named with `prefisso` as start-up names them
// (store::nomeSuServer); `cartella` is still created, as the archive folder
// of the configuration.
void creaArchivioDemo(const QString& cartella, const QString& server, const QString& prefisso);

// Points the configuration ("TARVESSA", "VELMORIA") at `cartella`:
// PERCORSOARCHIVI = the folder (absolute, native separators, no trailing
// one), PERCORSOPROGRAMMI = its subfolder "programmi", which is created;
// SERVERPOSTGRESQL and PREFISSOPOSTGRESQL = `server` and `prefisso` for a
// demo on a server, removed for one on files. A configuration that names
// another archive (PERCORSOARCHIVI another folder, or SERVERPOSTGRESQL with
// PREFISSOPOSTGRESQL other databases) is left alone: the result is false and
// `nota` says why.
bool scriviConfigurazioneDemo(const QString& cartella, QString* nota = nullptr, const QString& server = QString(),
                              const QString& prefisso = QString());

} // namespace strumenti
