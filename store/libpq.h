#pragma once
// Internal to store/: libpq, loaded the first time a server is named. A
// program that keeps its archive in files never loads it (nor the libraries
// it needs); with a server it is the library Qt's PostgreSQL driver loads
// anyway. Only what the program asks libpq itself is here: the connection
// string's parser, and what a live connection knows without asking the
// server (whether it broke off, the user it logged in as).
#include <QSqlDatabase>
#include <QString>
#include <libpq-fe.h>

namespace store::interno {

struct Libpq {
    decltype(&PQconninfoParse) leggi = nullptr;
    decltype(&PQconninfoFree) liberaOpzioni = nullptr;
    decltype(&PQfreemem) libera = nullptr;
    decltype(&PQstatus) stato = nullptr;
    decltype(&PQuser) utente = nullptr;
    QString errore; // why it could not be loaded
};

const Libpq& libpq();

// True when the server connection behind `db` (a QPSQL connection) has
// broken off: the server went away, restarted or ended the session. Asks
// libpq, not the server: no round trip.
bool connessioneInterrotta(const QSqlDatabase& db);
// The role the connection logged in as; "" when not known.
QString utenteConnessione(const QSqlDatabase& db);

} // namespace store::interno
