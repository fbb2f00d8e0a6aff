#pragma once
// Internal to store/: libpq, loaded the first time a server is named. A
// program that keeps its archive in files never loads it (nor the libraries
// it needs); with a server it is the library Qt's PostgreSQL driver loads
// anyway. The functions the store calls itself: the connection string's
// parser, the statements it sends on the connection Qt's driver opened, and
// what that connection knows without asking the server (whether it broke
// off, the user it logged in as).
#include <QSqlDatabase>
#include <QString>
#include <libpq-fe.h>

namespace store::interno {

struct Libpq {
    decltype(&PQconninfoParse) leggi = nullptr;
    decltype(&PQconninfoFree) liberaOpzioni = nullptr;
    decltype(&PQfreemem) libera = nullptr;

    decltype(&PQconnectdb) connetti = nullptr;
    decltype(&PQfinish) chiudi = nullptr;
    decltype(&PQstatus) stato = nullptr;
    decltype(&PQuser) utente = nullptr;
    decltype(&PQerrorMessage) messaggio = nullptr;
    decltype(&PQsendQueryParams) inviaParametri = nullptr;
    decltype(&PQsendQuery) inviaTesto = nullptr;
    decltype(&PQgetResult) risultato = nullptr;
    decltype(&PQresultStatus) statoRisultato = nullptr;
    decltype(&PQresultErrorMessage) messaggioRisultato = nullptr;
    decltype(&PQresultErrorField) campoErrore = nullptr;
    decltype(&PQclear) cancella = nullptr;
    decltype(&PQntuples) righe = nullptr;
    decltype(&PQnfields) colonne = nullptr;
    decltype(&PQfname) nomeColonna = nullptr;
    decltype(&PQftype) tipoColonna = nullptr;
    decltype(&PQgetvalue) valore = nullptr;
    decltype(&PQgetlength) lunghezza = nullptr;
    decltype(&PQgetisnull) nullo = nullptr;
    decltype(&PQcmdTuples) righeToccate = nullptr;
    decltype(&PQcmdStatus) comando = nullptr;
    // Waiting for an answer without blocking in PQgetResult.
    decltype(&PQisBusy) occupata = nullptr;
    decltype(&PQconsumeInput) consuma = nullptr;
    decltype(&PQsocket) presa = nullptr;
    // Notifications of other sessions (LISTEN), read from what reached the socket.
    decltype(&PQnotifies) notifica = nullptr;
    decltype(&PQbackendPID) pidServer = nullptr;
    // Pipeline mode (libpq 14 and later): several statements in one round
    // trip. Null with an older library, which sends them one at a time.
    decltype(&PQenterPipelineMode) entraInSequenza = nullptr;
    decltype(&PQexitPipelineMode) esceDaSequenza = nullptr;
    decltype(&PQpipelineSync) chiudiSequenza = nullptr;

    QString errore; // why it could not be loaded; empty when it was
};

const Libpq& libpq();

// libpq's connection behind Qt's PostgreSQL connection `db`; nullptr when
// there is none (another driver, or closed).
PGconn* connessionePg(const QSqlDatabase& db);
// True when that connection has broken off: the server went away, restarted
// or ended the session. Asks libpq, not the server: no round trip.
bool connessioneInterrotta(const QSqlDatabase& db);
// The role the connection logged in as; "" when not known.
QString utenteConnessione(const QSqlDatabase& db);

} // namespace store::interno
