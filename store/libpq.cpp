#include "store/libpq.h"

#include <QLibrary>
#include <QSqlDriver>
#include <QVariant>

namespace store::interno {

const Libpq& libpq()
{
    static const Libpq caricata = [] {
#ifdef Q_OS_WIN
        QLibrary libreria(QStringLiteral("libpq"));
#else
        QLibrary libreria(QStringLiteral("pq"), 5);
#endif
        Libpq l;
        if (!libreria.load()) {
            l.errore = libreria.errorString();
            return l;
        }
        l.leggi = reinterpret_cast<decltype(&PQconninfoParse)>(libreria.resolve("PQconninfoParse"));
        l.liberaOpzioni = reinterpret_cast<decltype(&PQconninfoFree)>(libreria.resolve("PQconninfoFree"));
        l.libera = reinterpret_cast<decltype(&PQfreemem)>(libreria.resolve("PQfreemem"));
        l.stato = reinterpret_cast<decltype(&PQstatus)>(libreria.resolve("PQstatus"));
        l.utente = reinterpret_cast<decltype(&PQuser)>(libreria.resolve("PQuser"));
        if (!l.leggi || !l.liberaOpzioni || !l.libera || !l.stato || !l.utente)
            l.errore = libreria.errorString();
        return l;
    }();
    return caricata;
}

namespace {

// libpq's handle of a QPSQL connection; nullptr when there is none.
PGconn* maniglia(const QSqlDatabase& db)
{
    if (!db.isValid() || !db.driver())
        return nullptr;
    const QVariant h = db.driver()->handle();
    // The driver declares the type under its struct's name.
    if (!h.isValid() || (qstrcmp(h.typeName(), "pg_conn*") != 0 && qstrcmp(h.typeName(), "PGconn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(h.constData());
}

} // namespace

bool connessioneInterrotta(const QSqlDatabase& db)
{
    PGconn* c = maniglia(db);
    const Libpq& pq = libpq();
    return c && pq.errore.isEmpty() && pq.stato(c) == CONNECTION_BAD;
}

QString utenteConnessione(const QSqlDatabase& db)
{
    PGconn* c = maniglia(db);
    const Libpq& pq = libpq();
    if (!c || !pq.errore.isEmpty())
        return {};
    const char* utente = pq.utente(c);
    return utente ? QString::fromUtf8(utente) : QString();
}

} // namespace store::interno
