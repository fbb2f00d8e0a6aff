#pragma once
// Internal to store/: the connection to a PostgreSQL server as the store
// opens it. libpq connects with everything the session needs given in the
// connection's start (encoding, date style, time zone, the program's
// settings), so that opening costs the handshake alone: Qt's own driver
// sends six statements of its own after it, six more round trips over a
// slow link before the program has asked anything. The statements go
// through the channel (canale_postgresql.h); this driver holds the
// connection for Qt SQL and hands it over as "PGconn*".
#include <QSqlDriver>

struct pg_conn;
typedef struct pg_conn PGconn;

namespace store::interno {

class DriverPg final : public QSqlDriver {
public:
    DriverPg() = default;
    ~DriverPg() override;

    bool hasFeature(DriverFeature funzione) const override;
    // The database named, on the server `opzioni` describes (a libpq
    // connection string: see opzioniConnessione); user, password, host and
    // port come from it and from the password file, not from the arguments.
    bool open(const QString& database, const QString& utente, const QString& password, const QString& host, int porta,
              const QString& opzioni) override;
    void close() override;
    // Statements go through the channel: a result made here runs nothing.
    QSqlResult* createResult() const override;
    QVariant handle() const override;

private:
    PGconn* m_connessione = nullptr;
};

} // namespace store::interno
