// Statements to a PostgreSQL server through libpq, on the connection Qt's
// driver opened; their answers read as Qt's driver would read them.
#include "store/canale_postgresql.h"

#include "store/attesa.h"
#include "store/libpq.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDriver>
#include <QSqlField>
#include <QSqlRecord>
#include <QSqlResult>
#include <atomic>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <poll.h>
#endif

namespace store::interno {

namespace {

std::atomic<quint64> totaleProcesso{0};

const QString PUNTO = QStringLiteral("anagsost_istruzione");

// Type identifiers of the server's catalogue, as Qt's driver reads them.
enum TipoPg : Oid {
    BOOL = 16,
    INT8 = 20,
    INT2 = 21,
    INT4 = 23,
    OID = 26,
    FLOAT4 = 700,
    FLOAT8 = 701,
    NUMERIC = 1700,
    DATE = 1082,
    TIME = 1083,
    TIMESTAMP = 1114,
    TIMESTAMPTZ = 1184,
    BYTEA = 17,
};

QMetaType tipoQt(Oid tipo)
{
    switch (tipo) {
    case BOOL:
        return QMetaType(QMetaType::Bool);
    case INT8:
        return QMetaType(QMetaType::LongLong);
    case INT2:
    case INT4:
    case OID:
        return QMetaType(QMetaType::Int);
    case FLOAT4:
    case FLOAT8:
    case NUMERIC:
        return QMetaType(QMetaType::Double);
    case DATE:
        return QMetaType(QMetaType::QDate);
    case TIME:
        return QMetaType(QMetaType::QTime);
    case TIMESTAMP:
    case TIMESTAMPTZ:
        return QMetaType(QMetaType::QDateTime);
    case BYTEA:
        return QMetaType(QMetaType::QByteArray);
    default:
        return QMetaType(QMetaType::QString);
    }
}

QVariant valoreQt(Oid tipo, const char* testo, int lunghezza)
{
    const QByteArray grezzo = QByteArray::fromRawData(testo, lunghezza);
    switch (tipo) {
    case BOOL:
        return testo[0] == 't';
    case INT8:
        return grezzo.toLongLong();
    case INT2:
    case INT4:
    case OID:
        return grezzo.toInt();
    case FLOAT4:
    case FLOAT8:
    case NUMERIC:
        return grezzo.toDouble();
    case DATE:
        return QDate::fromString(QString::fromLatin1(grezzo), Qt::ISODate);
    case TIME:
        return QTime::fromString(QString::fromLatin1(grezzo), Qt::ISODate);
    case TIMESTAMP:
    case TIMESTAMPTZ:
        return QDateTime::fromString(QString::fromLatin1(grezzo), Qt::ISODate);
    case BYTEA:
        return QByteArray(testo, lunghezza);
    default:
        return QString::fromUtf8(testo, lunghezza);
    }
}

QByteArray testoValore(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? "t" : "f";
    case QMetaType::Double:
        return QByteArray::number(v.toDouble(), 'g', 17);
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate).toLatin1();
    case QMetaType::QDateTime:
        return v.toDateTime().toString(Qt::ISODateWithMs).toLatin1();
    case QMetaType::QByteArray:
        return v.toByteArray();
    default:
        return v.toString().toUtf8();
    }
}

Risposta risposta(PGresult* r)
{
    const Libpq& pq = libpq();
    return Risposta(r, [cancella = pq.cancella](PGresult* x) {
        if (x)
            cancella(x);
    });
}

// True when the socket has something to read within `ms` milliseconds (or
// cannot be asked: reading then says what became of it).
bool pronta(int presa, int ms)
{
#ifdef Q_OS_WIN
    WSAPOLLFD p{SOCKET(presa), POLLRDNORM, 0};
    return WSAPoll(&p, 1, ms) != 0;
#else
    pollfd p{presa, POLLIN, 0};
    return ::poll(&p, 1, ms) != 0;
#endif
}

// Waits until the server's next answer can be read without blocking, the
// thread's wait handler called at every slice of the wait (see attesa.h).
// Without a handler libpq blocks in PQgetResult, as it always did.
void attendiRisposta(PGconn* conn, InAttesa& attesa)
{
    const Libpq& pq = libpq();
    if (!attesa.conGestore() || pq.presa(conn) < 0)
        return;
    while (pq.occupata(conn)) {
        if (!pronta(pq.presa(conn), INTERVALLO_ATTESA_MS))
            attesa.ancora();
        else if (pq.consuma(conn) != 1)
            return; // the connection broke: PQgetResult says so
    }
}

bool riuscita(const PGresult* r)
{
    if (!r)
        return false;
    const ExecStatusType stato = libpq().statoRisultato(r);
    return stato == PGRES_COMMAND_OK || stato == PGRES_TUPLES_OK || stato == PGRES_EMPTY_QUERY;
}

// The answer of a statement as Qt's rows: the whole answer came at once, so
// any row can be read in any order.
class RisultatoPg final : public QSqlResult {
public:
    RisultatoPg(const QSqlDriver* driver, CanalePg& canale) : QSqlResult(driver), m_canale(canale) {}

protected:
    bool savePrepare(const QString& sql) override
    {
        setQuery(sql);
        m_testo = sql;
        return true;
    }
    bool prepare(const QString& sql) override { return savePrepare(sql); }
    bool exec() override
    {
        QVariantList valori;
        for (const QVariant& v : boundValues())
            valori << v;
        return invia(richiesta(m_testo, valori));
    }
    bool reset(const QString& sql) override
    {
        m_testo = sql;
        return invia(richiesta(sql));
    }
    QVariant data(int i) override
    {
        const Libpq& pq = libpq();
        const Oid tipo = pq.tipoColonna(m_risposta.get(), i);
        if (pq.nullo(m_risposta.get(), at(), i))
            return QVariant(tipoQt(tipo), nullptr);
        return valoreQt(tipo, pq.valore(m_risposta.get(), at(), i), pq.lunghezza(m_risposta.get(), at(), i));
    }
    bool isNull(int i) override { return libpq().nullo(m_risposta.get(), at(), i); }
    bool fetch(int i) override
    {
        if (!isActive() || !isSelect() || i < 0 || i >= size())
            return false;
        setAt(i);
        return true;
    }
    bool fetchFirst() override { return fetch(0); }
    bool fetchLast() override { return fetch(size() - 1); }
    int size() override { return m_risposta && isSelect() ? libpq().righe(m_risposta.get()) : -1; }
    int numRowsAffected() override
    {
        return m_risposta ? QByteArray(libpq().righeToccate(m_risposta.get())).toInt() : -1;
    }
    QSqlRecord record() const override
    {
        QSqlRecord record;
        if (!m_risposta || !isSelect())
            return record;
        const Libpq& pq = libpq();
        for (int i = 0; i < pq.colonne(m_risposta.get()); ++i) {
            const Oid tipo = pq.tipoColonna(m_risposta.get(), i);
            QSqlField campo(QString::fromUtf8(pq.nomeColonna(m_risposta.get(), i)), tipoQt(tipo));
            campo.setSqlType(int(tipo));
            record.append(campo);
        }
        return record;
    }
    void detachFromResultSet() override { m_risposta.reset(); }

private:
    bool invia(const Richiesta& r)
    {
        m_risposta.reset();
        setActive(false);
        setSelect(false);
        setAt(QSql::BeforeFirstRow);
        const std::vector<Risposta> risposte = m_canale.inviaIstruzioni({r});
        for (const Risposta& x : risposte) {
            const QSqlError e = m_canale.errore(x.get());
            if (e.isValid()) {
                setLastError(e);
                return false;
            }
        }
        m_risposta = risposte.back();
        setSelect(libpq().statoRisultato(m_risposta.get()) == PGRES_TUPLES_OK);
        setActive(true);
        return true;
    }

    CanalePg& m_canale;
    QString m_testo;
    Risposta m_risposta;
};

} // namespace

quint64 scambiProcesso()
{
    return totaleProcesso.load(std::memory_order_relaxed);
}

void contaScambi(quint64 n)
{
    totaleProcesso.fetch_add(n, std::memory_order_relaxed);
}

Richiesta richiesta(const QString& sql, const QVariantList& valori)
{
    // "?" outside quoted texts and names is a value's place.
    QString testo;
    testo.reserve(sql.size() + 8);
    QChar virgolette;
    int n = 0;
    for (const QChar c : sql) {
        if (!virgolette.isNull()) {
            if (c == virgolette)
                virgolette = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            virgolette = c;
        } else if (c == QLatin1Char('?')) {
            testo += QLatin1Char('$') + QString::number(++n);
            continue;
        }
        testo += c;
    }
    Richiesta r;
    r.sql = testo.toUtf8();
    for (int i = 0; i < n; ++i) {
        const QVariant v = valori.value(i);
        const bool nullo = !v.isValid() || v.isNull();
        r.nulli.push_back(nullo);
        r.valori.push_back(nullo ? QByteArray() : testoValore(v));
    }
    return r;
}

PGconn* CanalePg::connessione() const
{
    return connessionePg(m_db);
}

std::vector<Risposta> CanalePg::invia(const std::vector<Richiesta>& richieste)
{
    // Other sessions' notifications that came with the answers are looked
    // at once they are all read.
    struct InVolo {
        CanalePg& c;
        explicit InVolo(CanalePg& canale) : c(canale) { ++c.m_inVolo; }
        ~InVolo()
        {
            if (--c.m_inVolo == 0 && c.m_dopoRisposte)
                c.m_dopoRisposte();
        }
    } inVolo(*this);
    m_inizioFallito.clear();
    const Libpq& pq = libpq();
    std::vector<Risposta> risposte(richieste.size());
    PGconn* conn = connessione();
    if (!conn || richieste.empty())
        return risposte;
    const auto manda = [&](const Richiesta& r) {
        std::vector<const char*> valori;
        for (std::size_t i = 0; i < r.valori.size(); ++i)
            valori.push_back(r.nulli[i] ? nullptr : r.valori[i].constData());
        return pq.inviaParametri(conn, r.sql.constData(), int(valori.size()), nullptr, valori.data(), nullptr, nullptr,
                                 0) == 1;
    };
    // The last answer of a statement, read up to the end of its answers.
    InAttesa attesa;
    const auto prossimo = [&] {
        attendiRisposta(conn, attesa);
        return pq.risultato(conn);
    };
    const auto leggi = [&] {
        Risposta ultima;
        while (PGresult* r = prossimo()) {
            ultima = risposta(r);
            const ExecStatusType stato = pq.statoRisultato(r);
            if (stato == PGRES_PIPELINE_SYNC)
                break;
        }
        return ultima;
    };
    if (!pq.entraInSequenza || richieste.size() == 1) {
        for (std::size_t i = 0; i < richieste.size(); ++i) {
            conta(1);
            if (!manda(richieste[i]))
                break;
            risposte[i] = leggi();
            if (!riuscita(risposte[i].get()))
                break;
        }
        return risposte;
    }
    conta(1);
    if (pq.entraInSequenza(conn) != 1)
        return risposte;
    std::size_t mandate = 0;
    while (mandate < richieste.size() && manda(richieste[mandate]))
        ++mandate;
    if (pq.chiudiSequenza(conn) == 1) {
        for (std::size_t i = 0; i < mandate; ++i)
            risposte[i] = leggi();
        // The synchronisation point's own answer.
        if (PGresult* r = prossimo())
            pq.cancella(r);
    }
    pq.esceDaSequenza(conn);
    return risposte;
}

void CanalePg::anticipa(const QString& sql, std::function<QSqlError(const PGresult*)> leggi)
{
    m_anticipata = sql;
    m_leggiAnticipata = std::move(leggi);
}

QSqlError CanalePg::consegnaAnticipata(const PGresult* risposta)
{
    const QSqlError e = m_leggiAnticipata(risposta);
    if (!e.isValid())
        m_leggiAnticipata = nullptr;
    return e;
}

QSqlError CanalePg::inviaAnticipata()
{
    if (!m_leggiAnticipata)
        return {};
    const std::vector<Risposta> risposte = invia({richiesta(m_anticipata)});
    return consegnaAnticipata(risposte.front().get());
}

std::vector<Risposta> CanalePg::inviaIstruzioni(std::vector<Richiesta> richieste)
{
    // In front: the read waiting to go, the transaction's start, the savepoint.
    const bool anticipata = bool(m_leggiAnticipata);
    const int prima = (anticipata ? 1 : 0) + int(m_inSospeso.size()) + (m_puntoPerIstruzione ? 1 : 0);
    std::vector<Richiesta> tutte;
    if (anticipata)
        tutte.push_back(richiesta(m_anticipata));
    for (const QString& s : std::as_const(m_inSospeso))
        tutte.push_back(richiesta(s));
    m_inSospeso.clear();
    if (m_puntoPerIstruzione)
        tutte.push_back(richiesta(QStringLiteral("SAVEPOINT ") + PUNTO));
    for (Richiesta& r : richieste)
        tutte.push_back(std::move(r));
    if (m_puntoPerIstruzione)
        tutte.push_back(richiesta(QStringLiteral("RELEASE SAVEPOINT ") + PUNTO));
    std::vector<Risposta> risposte = invia(tutte);
    if (anticipata)
        consegnaAnticipata(risposte.front().get());
    const bool fallita =
        std::any_of(risposte.begin(), risposte.end(), [](const Risposta& r) { return !riuscita(r.get()); });
    if (fallita && m_puntoPerIstruzione && risposte.size() > std::size_t(prima - 1) &&
        riuscita(risposte[std::size_t(prima - 1)].get())) {
        // The savepoint was taken: the failed statement alone is undone,
        // what the transaction did before it stays pending.
        invia({richiesta(QStringLiteral("ROLLBACK TO SAVEPOINT ") + PUNTO),
               richiesta(QStringLiteral("RELEASE SAVEPOINT ") + PUNTO)});
    }
    // The statements' answers, the first failure among everything sent first.
    std::vector<Risposta> proprie(risposte.begin() + prima, risposte.end() - (m_puntoPerIstruzione ? 1 : 0));
    for (int i = 0; i < prima; ++i) {
        if (!riuscita(risposte[std::size_t(i)].get())) {
            proprie.front() = risposte[std::size_t(i)];
            m_inizioFallito = QString::fromUtf8(tutte[std::size_t(i)].sql);
            break;
        }
    }
    return proprie;
}

QSqlError CanalePg::erroreConnessione() const
{
    PGconn* conn = connessione();
    const QString testo = conn ? QString::fromUtf8(libpq().messaggio(conn)) : QStringLiteral("connessione chiusa");
    return QSqlError(QStringLiteral("QPSQL: Unable to send query"), testo, QSqlError::StatementError);
}

QSqlError CanalePg::errore(const PGresult* r) const
{
    if (!r)
        return erroreConnessione();
    if (riuscita(r))
        return QSqlError();
    const Libpq& pq = libpq();
    const QString codice = QString::fromLatin1(pq.campoErrore(r, PG_DIAG_SQLSTATE));
    QString testo = QString::fromUtf8(pq.messaggioRisultato(r));
    if (pq.statoRisultato(r) == PGRES_PIPELINE_ABORTED && testo.isEmpty())
        testo = QStringLiteral("istruzione non eseguita: una precedente è fallita");
    if (!codice.isEmpty())
        testo += QStringLiteral("(%1)").arg(codice);
    return QSqlError(QStringLiteral("QPSQL: Unable to create query"), testo, QSqlError::StatementError, codice);
}

QSqlQuery CanalePg::istruzione()
{
    return QSqlQuery(new RisultatoPg(m_db.driver(), *this));
}

std::vector<QByteArray> CanalePg::notifiche(const QString& canale)
{
    std::vector<QByteArray> testi;
    const Libpq& pq = libpq();
    PGconn* conn = connessione();
    if (!conn || inVolo() || pq.consuma(conn) != 1)
        return testi;
    const int propria = pq.pidServer(conn);
    const QByteArray nome = canale.toUtf8();
    while (PGnotify* n = pq.notifica(conn)) {
        if (n->be_pid != propria && nome == n->relname)
            testi.emplace_back(n->extra);
        pq.libera(n);
    }
    return testi;
}

int CanalePg::presa() const
{
    PGconn* conn = connessione();
    return conn ? libpq().presa(conn) : -1;
}

void CanalePg::inizia(const QStringList& istruzioni, bool puntoPerIstruzione)
{
    m_conCommit.clear();
    m_inSospeso = istruzioni;
    m_puntoPerIstruzione = puntoPerIstruzione;
}

QSqlError CanalePg::conferma()
{
    m_puntoPerIstruzione = false;
    std::vector<Richiesta> richieste = std::move(m_conCommit);
    m_conCommit.clear();
    if (!m_inSospeso.isEmpty()) {
        // Nothing was sent in it: nothing to end, nor to announce.
        m_inSospeso.clear();
        return {};
    }
    richieste.push_back(richiesta(QStringLiteral("COMMIT")));
    const std::vector<Risposta> r = invia(richieste);
    for (const Risposta& x : r) {
        const QSqlError e = errore(x.get());
        if (!e.isValid())
            continue;
        // An announcement refused leaves the transaction spoilt, not ended.
        if (x != r.back() && !connessioneInterrotta(m_db))
            invia({richiesta(QStringLiteral("ROLLBACK"))});
        return e;
    }
    // A transaction one of whose statements failed is undone by COMMIT,
    // which then answers ROLLBACK.
    if (qstrcmp(libpq().comando(r.back().get()), "ROLLBACK") == 0)
        return QSqlError(QStringLiteral("QPSQL: COMMIT"),
                         QStringLiteral("current transaction is aborted, transaction rolled back(25P02)"),
                         QSqlError::TransactionError, QStringLiteral("25P02"));
    return {};
}

QSqlError CanalePg::annulla()
{
    m_conCommit.clear();
    m_puntoPerIstruzione = false;
    if (!m_inSospeso.isEmpty()) {
        m_inSospeso.clear();
        return {};
    }
    const std::vector<Risposta> r = invia({richiesta(QStringLiteral("ROLLBACK"))});
    return errore(r.front().get());
}

} // namespace store::interno
