// The PostgreSQL server as a whole: whether a database is there, creation of
// the year's database from the template and of new databases from the
// schema, removal, and the rules for the names the program gives them.
#include "store/server_postgresql.h"

#include "store/canale_postgresql.h"
#include "store/database.h"
#include "store/motore_postgresql.h"
#include "store/stringa_connessione.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlQuery>

namespace store {

QString controllaServer(const QString& server)
{
    QList<interno::ParametroServer> parametri;
    QString motivo;
    interno::leggiServer(server, parametri, &motivo);
    return motivo;
}

QString controllaPrefisso(const QString& prefisso)
{
    static const QRegularExpression forma(QStringLiteral("^[a-z_][a-z0-9_]{0,39}$"));
    if (prefisso.isEmpty() || forma.match(prefisso).hasMatch())
        return {};
    return QStringLiteral("sono ammessi solo lettere minuscole, cifre e \"_\" (al più 40, non prima una cifra)");
}

QString nomeSuServer(const QString& nomeFile, const QString& prefisso)
{
    return prefisso + QFileInfo(nomeFile).completeBaseName().toLower();
}

namespace interno {

const QString SQL_PRESENZA = QStringLiteral("SELECT datallowconn AND has_database_privilege(datname, 'CONNECT') "
                                            "FROM pg_catalog.pg_database WHERE datname = ?");

namespace {

// Database every server has, used for what concerns the server as a whole.
const QString MANUTENZIONE = QStringLiteral("postgres");
const QString MANUTENZIONE_RISERVA = QStringLiteral("template1");

QString nuovoNomeConnessione()
{
    static QAtomicInteger<quint64> contatore;
    return QStringLiteral("anagsost-server-%1").arg(++contatore);
}

// A short-lived connection to one database of the server, or to its
// maintenance database.
class ConnessioneServer {
public:
    explicit ConnessioneServer(const QString& server, const QString& database = QString())
        : m_nome(nuovoNomeConnessione())
    {
        QList<ParametroServer> parametri;
        QString motivo;
        if (!leggiServer(server, parametri, &motivo))
            throw ErroreArchivio(TipoErrore::NonApribile, motivo, QStringLiteral("server ") + server);
        QSqlDatabase db = QSqlDatabase::addDatabase(m_motore.driver(), m_nome);
        if (!db.isValid()) {
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_nome);
            throw ErroreArchivio(TipoErrore::NonApribile, QStringLiteral("driver QPSQL non disponibile"),
                                 QStringLiteral("server ") + server);
        }
        // Notices stay on the server; set with the connection's start.
        parametri.append({QStringLiteral("options"), QStringLiteral("-c client_min_messages=error")});
        db.setConnectOptions(opzioniConnessione(parametri));
        const QStringList candidati =
            database.isEmpty() ? QStringList{MANUTENZIONE, MANUTENZIONE_RISERVA} : QStringList{database};
        for (const QString& candidato : candidati) {
            db.setDatabaseName(candidato);
            contaScambi(SCAMBI_APERTURA_QT);
            if (db.open())
                break;
            const QSqlError e = db.lastError();
            // A server without the usual maintenance database: the other one.
            if (candidato != candidati.last() && e.databaseText().contains(nomeQuotato(candidato)))
                continue;
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_nome);
            const ErroreArchivio base = m_motore.classificaApertura(e, Luogo::server(server, candidato));
            throw ErroreArchivio(base.tipo(), base.dettaglio(),
                                 database.isEmpty() ? QStringLiteral("server ") + server
                                                    : Luogo::server(server, database).descrizione(),
                                 base.precisazioni());
        }
        m_db = db;
        m_canale = std::make_unique<CanalePg>(m_db);
    }
    ~ConnessioneServer()
    {
        m_canale.reset();
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nome);
    }
    ConnessioneServer(const ConnessioneServer&) = delete;
    ConnessioneServer& operator=(const ConnessioneServer&) = delete;

    // Runs a statement; false and the error when it fails.
    bool prova(const QString& sql, const QVariantList& parametri, QSqlQuery& q, QSqlError& errore)
    {
        // Without values run as it is (one round trip): a statement about
        // databases cannot be prepared, nor sent through libpq's extended
        // protocol in a transaction of its own; with values through libpq.
        q = parametri.isEmpty() ? QSqlQuery(m_db) : m_canale->istruzione();
        if (parametri.isEmpty())
            contaScambi(1);
        bool riuscita = parametri.isEmpty() ? q.exec(sql) : q.prepare(sql);
        if (riuscita && !parametri.isEmpty()) {
            for (int i = 0; i < parametri.size(); ++i)
                q.bindValue(i, parametri.at(i));
            riuscita = q.exec();
        }
        if (!riuscita)
            errore = q.lastError();
        return riuscita;
    }
    QSqlQuery esegui(const QString& sql, const QVariantList& parametri = {})
    {
        QSqlQuery q;
        QSqlError e;
        if (!prova(sql, parametri, q, e))
            throw m_motore.classifica(e, sql);
        return q;
    }
    const MotorePostgreSql& motore() const { return m_motore; }

private:
    MotorePostgreSql m_motore;
    QString m_nome;
    QSqlDatabase m_db;
    std::unique_ptr<CanalePg> m_canale;
};

Presenza presenzaSu(ConnessioneServer& server, const QString& nome)
{
    QSqlQuery q = server.esegui(SQL_PRESENZA, {nome});
    if (!q.next())
        return Presenza::Assente;
    return q.value(0).toBool() ? Presenza::Presente : Presenza::Inaccessibile;
}

void eliminaDatabase(ConnessioneServer& server, const QString& nome)
{
    // Our own connections are closed; the server waits for any it runs
    // itself (autovacuum) to go.
    QSqlQuery q;
    QSqlError e;
    server.prova(QStringLiteral("ALTER DATABASE %1 IS_TEMPLATE false").arg(nomeQuotato(nome)), {}, q, e);
    server.prova(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(nomeQuotato(nome)), {}, q, e);
}

ErroreArchivio giaEsistente(const Luogo& luogo, const QString& dettaglio)
{
    return ErroreArchivio(TipoErrore::Altro, dettaglio,
                          QStringLiteral("L'archivio %1 esiste già e non viene sostituito.").arg(luogo.descrizione()));
}

} // namespace

Presenza presenzaSuServer(const Luogo& luogo)
{
    ConnessioneServer server(luogo.server());
    return presenzaSu(server, luogo.nome());
}

QList<Presenza> presenzaSuServer(const QList<Luogo>& luoghi)
{
    ConnessioneServer server(luoghi.first().server());
    QList<Presenza> esiti;
    for (const Luogo& l : luoghi)
        esiti << presenzaSu(server, l.nome());
    return esiti;
}

QString proprietarioTabella(const Luogo& luogo, const QString& tabella)
{
    try {
        ConnessioneServer server(luogo.server(), luogo.nome());
        QSqlQuery q = server.esegui(QStringLiteral("SELECT pg_catalog.pg_get_userbyid(c.relowner) "
                                                   "FROM pg_catalog.pg_class c "
                                                   "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                                                   "WHERE c.relkind IN ('r', 'p') AND n.nspname = current_schema() "
                                                   "ORDER BY c.relname <> ?, c.relname LIMIT 1"),
                                    {tabella.toLower()});
        return q.next() ? q.value(0).toString() : QString();
    } catch (const ErroreArchivio&) {
        return {};
    }
}

void creaDaModelloSuServer(const Luogo& modello, const Luogo& anno)
{
    ConnessioneServer server(anno.server());
    QSqlQuery q;
    QSqlError e;
    const QString sql =
        QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(nomeQuotato(anno.nome()), nomeQuotato(modello.nome()));
    if (server.prova(sql, {}, q, e))
        return;
    const QString codice = e.nativeErrorCode();
    const QString testo = MotorePostgreSql::testo(e);
    if (codice == QLatin1String("42P04"))
        throw giaEsistente(anno, testo);
    if (codice == QLatin1String("3D000"))
        throw ErroreArchivio(TipoErrore::OggettoMancante, testo,
                             QStringLiteral("l'archivio modello %1").arg(modello.descrizione()));
    const ErroreArchivio base = server.motore().classifica(e, sql);
    throw ErroreArchivio(base.tipo(), base.dettaglio(),
                         base.tipo() == TipoErrore::Altro ? base.oggetto() : anno.descrizione());
}

void creaDatabaseSuServer(const Luogo& luogo, const QStringList& istruzioni,
                          const std::function<void(Database&)>& riempi, bool modello)
{
    if (luogo.nome().isEmpty() || luogo.nome().toUtf8().size() > 63)
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("nome non valido"),
                             QStringLiteral("Nome di archivio non valido: \"%1\".").arg(luogo.nome()));
    ConnessioneServer server(luogo.server());
    if (presenzaSu(server, luogo.nome()) != Presenza::Assente)
        throw giaEsistente(luogo, QStringLiteral("database già esistente"));

    // Built under a name of its own, renamed when complete.
    const QString provvisorio = QStringLiteral("anagsost_nuovo_%1%2")
                                    .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
                                    .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    server.esegui(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'")
                      .arg(nomeQuotato(provvisorio)));
    try {
        {
            ConnessioneServer nuovo(luogo.server(), provvisorio);
            nuovo.esegui(QStringLiteral("BEGIN"));
            for (const QString& sql : istruzioni)
                nuovo.esegui(sql);
            nuovo.esegui(QStringLiteral("COMMIT"));
        }
        if (riempi) {
            auto db = Database::OpenDatabase(Luogo::server(luogo.server(), provvisorio));
            Transazione t(*db);
            riempi(*db);
            t.commit();
            db->Close();
        }
        if (modello)
            server.esegui(QStringLiteral("ALTER DATABASE %1 IS_TEMPLATE true").arg(nomeQuotato(provvisorio)));
        QSqlQuery q;
        QSqlError e;
        if (!server.prova(QStringLiteral("ALTER DATABASE %1 RENAME TO %2")
                              .arg(nomeQuotato(provvisorio), nomeQuotato(luogo.nome())),
                          {}, q, e)) {
            if (e.nativeErrorCode() == QLatin1String("42P04"))
                throw giaEsistente(luogo, QStringLiteral("database già esistente")); // made meanwhile: theirs stays
            throw server.motore().classifica(e, QStringLiteral("ALTER DATABASE"));
        }
    } catch (...) {
        eliminaDatabase(server, provvisorio);
        throw;
    }
}

} // namespace interno
} // namespace store
