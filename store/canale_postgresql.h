#pragma once
// Internal to store/: how the program's statements reach a PostgreSQL server.
// Qt's driver opens the connection; the statements go through libpq on that
// connection, their values bound (never written into the text), each in one
// round trip with no statement prepared beforehand, and several at once when
// they do not depend on each other's answers (libpq's pipeline mode).
//
// What counts as one round trip ("scambio"): the program sends one message,
// or several one after the other in one pipeline, and waits for the server's
// answer before it sends anything else. Counted: every statement or pipeline
// sent (BEGIN, LOCK, SAVEPOINT, COMMIT and the catalogue read among them), and
// opening a connection as SCAMBI_APERTURA (see there). Reading the rows of an
// answer is no round trip: the server sends them all with it.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>
#include <vector>

// libpq's own types (libpq-fe.h is for store/'s sources alone).
struct pg_conn;
struct pg_result;
typedef struct pg_conn PGconn;
typedef struct pg_result PGresult;

namespace store::interno {

// Opening a connection as the store does (driver_postgresql.h): the
// connection itself, one though the handshake takes a few (SSL negotiation
// and the password exchange).
constexpr int SCAMBI_APERTURA = 1;
// Opening one through Qt's own driver, as the short-lived connections about
// the server as a whole do: the connection, then the six statements the
// driver runs on its own (the server's version, its escaping of backslashes,
// the client encoding, the date style, the bytea output, the time zone).
constexpr int SCAMBI_APERTURA_QT = 7;

// Round trips of every connection of the process, short-lived ones included.
quint64 scambiProcesso();
void contaScambi(quint64 n);

// One statement with its values, as libpq sends it.
struct Richiesta {
    QByteArray sql; // "$1", "$2"... for the values
    std::vector<QByteArray> valori;
    std::vector<bool> nulli;
};
// The statement with its "?" turned into "$1", "$2"... (not inside quotes),
// and the values in libpq's text form; `segnaposto` gets how many "?" there are.
Richiesta richiesta(const QString& sql, const QVariantList& valori = {});

// A server's answer to one statement; null when it never came.
using Risposta = std::shared_ptr<PGresult>;

// The connection's state as the store sees it beyond Qt's driver.
class CanalePg {
public:
    explicit CanalePg(QSqlDatabase& db) : m_db(db) {}

    // Sends the statements in one round trip (one each where libpq has no
    // pipeline mode) and returns an answer for each, in order. After a
    // failed one the rest are not run (their answers say so).
    std::vector<Risposta> invia(const std::vector<Richiesta>& richieste);
    // The same for one statement, preceded by what waits to be sent (the
    // start of a transaction) and, inside a transaction whose statements may
    // fail one at a time, wrapped in a savepoint, undone alone when it fails.
    // The answers of what went before it are checked first: the first
    // failure is the statement's.
    std::vector<Risposta> inviaIstruzioni(std::vector<Richiesta> richieste);
    // The statement sent ahead of the last ones (the transaction's start, a
    // savepoint) whose failure their first answer reports; "" when none
    // failed. What a refusal concerns is told from it (a table's lock, say).
    const QString& inizioFallito() const { return m_inizioFallito; }
    // A read of the connection's own (the catalogue's) that goes in front of
    // the next statements sent, in their round trip; its answer is handed to
    // `leggi`, whose failure, if any, is then theirs. inviaAnticipata() sends
    // it alone when it is needed before any statement; it stays waiting
    // while it fails.
    void anticipa(const QString& sql, std::function<QSqlError(const PGresult*)> leggi);
    QSqlError inviaAnticipata();

    // A failure as Qt's driver would report it; invalid when the answer is a success.
    QSqlError errore(const PGresult* risposta) const;
    QSqlError erroreConnessione() const;

    // A statement on this connection whose text and values go through libpq.
    QSqlQuery istruzione();

    // Transactions: the start waits for the first statement, and goes with it.
    void inizia(const QStringList& istruzioni, bool puntoPerIstruzione);
    // Ends the transaction; an invalid error when it went well. COMMIT of a
    // transaction the server had already undone is a failure.
    QSqlError conferma();
    QSqlError annulla();

    // A statement sent with the transaction's COMMIT, in its round trip
    // (the announcement of what it did); dropped when it is rolled back.
    void conCommit(Richiesta richiesta) { m_conCommit.push_back(std::move(richiesta)); }
    // The payloads of the notifications on `canale` from other sessions
    // that have reached the connection (its own ignored), read without
    // sending anything; none while a statement's answer is being read.
    std::vector<QByteArray> notifiche(const QString& canale);
    // The connection's socket; -1 when there is none.
    int presa() const;
    // True while statements are being sent and their answers read.
    bool inVolo() const { return m_inVolo > 0; }
    // Called after every group of statements has been answered.
    void dopoRisposte(std::function<void()> funzione) { m_dopoRisposte = std::move(funzione); }

    quint64 scambi() const { return m_scambi; }
    void conta(quint64 n)
    {
        m_scambi += n;
        contaScambi(n);
    }

private:
    PGconn* connessione() const;
    // Hands the answer to the read sent ahead; it stays waiting if it failed.
    QSqlError consegnaAnticipata(const PGresult* risposta);

    QSqlDatabase& m_db;
    QString m_anticipata; // see anticipa()
    std::function<QSqlError(const PGresult*)> m_leggiAnticipata;
    QStringList m_inSospeso;           // the transaction's start, not sent yet
    bool m_puntoPerIstruzione = false; // each statement in a savepoint of its own
    QString m_inizioFallito;           // see inizioFallito()
    quint64 m_scambi = 0;
    std::vector<Richiesta> m_conCommit; // see conCommit()
    int m_inVolo = 0;
    std::function<void()> m_dopoRisposte;
};

} // namespace store::interno
