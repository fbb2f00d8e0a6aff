#pragma once
// Internal to store/: PostgreSQL's password file, as libpq finds it. libpq
// ignores a password file its owner's group or other users may read, write
// or run (with a warning on the standard error the clerk never sees): the
// server then refuses the user for want of a password, though the file
// holds the right one.
#include "store/stringa_connessione.h"

#include <QList>
#include <QString>

namespace store::interno {

// The file libpq reads the password from for a connection with these
// parameters: "passfile" among them, else PGPASSFILE, else ~/.pgpass
// (%APPDATA%\postgresql\pgpass.conf on Windows).
QString filePassword(const QList<ParametroServer>& parametri);
// That file when libpq ignores it for its permissions; "" otherwise (never
// on Windows, where libpq does not look at them).
QString filePasswordIgnorato(const QList<ParametroServer>& parametri);

} // namespace store::interno
