#include "store/driver_postgresql.h"

#include "store/libpq.h"

#include <QSqlError>
#include <QSqlResult>
#include <vector>

Q_DECLARE_OPAQUE_POINTER(PGconn*)
Q_DECLARE_METATYPE(PGconn*)

namespace store::interno {

namespace {

// What Qt SQL may make on this connection: the store's statements go
// through the channel, never through a result of the driver's own.
class RisultatoNullo final : public QSqlResult {
public:
    explicit RisultatoNullo(const QSqlDriver* driver) : QSqlResult(driver) {}

protected:
    bool reset(const QString& sql) override
    {
        setQuery(sql);
        setLastError(QSqlError(QStringLiteral("QPSQL"), QStringLiteral("istruzione fuori dal canale"),
                               QSqlError::StatementError));
        return false;
    }
    QVariant data(int) override { return {}; }
    bool isNull(int) override { return true; }
    bool fetch(int) override { return false; }
    bool fetchFirst() override { return false; }
    bool fetchLast() override { return false; }
    int size() override { return -1; }
    int numRowsAffected() override { return -1; }
};

} // namespace

DriverPg::~DriverPg()
{
    close();
}

bool DriverPg::hasFeature(DriverFeature funzione) const
{
    switch (funzione) {
    case QuerySize:
    case PreparedQueries:
    case PositionalPlaceholders:
    case Unicode:
        return true;
    default:
        return false;
    }
}

bool DriverPg::open(const QString& database, const QString&, const QString&, const QString&, int,
                    const QString& opzioni)
{
    close();
    const Libpq& pq = libpq();
    auto rifiuta = [this](const QString& perche) {
        setLastError(QSqlError(QStringLiteral("QPSQL: Unable to connect"), perche, QSqlError::ConnectionError));
        setOpenError(true);
        return false;
    };
    if (!pq.errore.isEmpty())
        return rifiuta(pq.errore);
    QString nome = database;
    nome.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    m_connessione =
        pq.connetti((opzioni + QStringLiteral(" dbname='") + nome + QLatin1Char('\'')).toUtf8().constData());
    if (!m_connessione || pq.stato(m_connessione) != CONNECTION_OK) {
        const QString perche =
            m_connessione ? QString::fromUtf8(pq.messaggio(m_connessione)) : QStringLiteral("memoria esaurita");
        close();
        return rifiuta(perche);
    }
    setOpen(true);
    setOpenError(false);
    return true;
}

void DriverPg::close()
{
    if (m_connessione)
        libpq().chiudi(m_connessione);
    m_connessione = nullptr;
    setOpen(false);
}

QSqlResult* DriverPg::createResult() const
{
    return new RisultatoNullo(this);
}

QVariant DriverPg::handle() const
{
    return QVariant::fromValue(m_connessione);
}

} // namespace store::interno
