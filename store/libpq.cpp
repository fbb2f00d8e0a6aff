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
        bool mancanti = false;
        const auto risolvi = [&](auto& funzione, const char* nome, bool richiesta = true) {
            funzione = reinterpret_cast<std::remove_reference_t<decltype(funzione)>>(libreria.resolve(nome));
            mancanti = mancanti || (richiesta && !funzione);
        };
        risolvi(l.leggi, "PQconninfoParse");
        risolvi(l.liberaOpzioni, "PQconninfoFree");
        risolvi(l.libera, "PQfreemem");
        risolvi(l.connetti, "PQconnectdb");
        risolvi(l.chiudi, "PQfinish");
        risolvi(l.stato, "PQstatus");
        risolvi(l.utente, "PQuser");
        risolvi(l.messaggio, "PQerrorMessage");
        risolvi(l.inviaParametri, "PQsendQueryParams");
        risolvi(l.inviaTesto, "PQsendQuery");
        risolvi(l.risultato, "PQgetResult");
        risolvi(l.statoRisultato, "PQresultStatus");
        risolvi(l.messaggioRisultato, "PQresultErrorMessage");
        risolvi(l.campoErrore, "PQresultErrorField");
        risolvi(l.cancella, "PQclear");
        risolvi(l.righe, "PQntuples");
        risolvi(l.colonne, "PQnfields");
        risolvi(l.nomeColonna, "PQfname");
        risolvi(l.tipoColonna, "PQftype");
        risolvi(l.valore, "PQgetvalue");
        risolvi(l.lunghezza, "PQgetlength");
        risolvi(l.nullo, "PQgetisnull");
        risolvi(l.righeToccate, "PQcmdTuples");
        risolvi(l.comando, "PQcmdStatus");
        risolvi(l.occupata, "PQisBusy");
        risolvi(l.consuma, "PQconsumeInput");
        risolvi(l.presa, "PQsocket");
        risolvi(l.notifica, "PQnotifies");
        risolvi(l.pidServer, "PQbackendPID");
        risolvi(l.entraInSequenza, "PQenterPipelineMode", false);
        risolvi(l.esceDaSequenza, "PQexitPipelineMode", false);
        risolvi(l.chiudiSequenza, "PQpipelineSync", false);
        if (!l.entraInSequenza || !l.esceDaSequenza || !l.chiudiSequenza)
            l.entraInSequenza = nullptr;
        if (mancanti)
            l.errore = libreria.errorString();
        return l;
    }();
    return caricata;
}

PGconn* connessionePg(const QSqlDatabase& db)
{
    const QVariant v = db.isValid() && db.driver() ? db.driver()->handle() : QVariant();
    // Qt's driver hands libpq's connection over as "PGconn*" (spelt after
    // the structure's own name by this version of Qt).
    if (!v.isValid() || (qstrcmp(v.typeName(), "PGconn*") != 0 && qstrcmp(v.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(v.constData());
}

bool connessioneInterrotta(const QSqlDatabase& db)
{
    PGconn* c = connessionePg(db);
    const Libpq& pq = libpq();
    return c && pq.errore.isEmpty() && pq.stato(c) == CONNECTION_BAD;
}

QString utenteConnessione(const QSqlDatabase& db)
{
    PGconn* c = connessionePg(db);
    const Libpq& pq = libpq();
    if (!c || !pq.errore.isEmpty())
        return {};
    const char* utente = pq.utente(c);
    return utente ? QString::fromUtf8(utente) : QString();
}

} // namespace store::interno
