#include "store/ascolto.h"

#include "store/canale_postgresql.h"
#include "store/libpq.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QSocketNotifier>
#include <QSqlQuery>
#include <QTimer>
#include <array>

namespace store {

namespace {

struct NomeEvento {
    Evento evento;
    const char* nome;
};
constexpr std::array<NomeEvento, 4> EVENTI{{{Evento::Inserito, "inserito"},
                                            {Evento::Memorizzato, "memorizzato"},
                                            {Evento::Cancellato, "cancellato"},
                                            {Evento::CodiceCambiato, "codicecambiato"}}};

} // namespace

QByteArray testoAvviso(const Avviso& avviso)
{
    QJsonObject o;
    for (const NomeEvento& e : EVENTI) {
        if (e.evento == avviso.evento)
            o.insert(QStringLiteral("evento"), QLatin1String(e.nome));
    }
    o.insert(QStringLiteral("codazi"), avviso.codazi);
    o.insert(QStringLiteral("cfs"), avviso.cfs);
    if (avviso.evento == Evento::CodiceCambiato)
        o.insert(QStringLiteral("nuovocfs"), avviso.nuovoCfs);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

bool leggiAvviso(const QByteArray& testo, Avviso& avviso)
{
    const QJsonObject o = QJsonDocument::fromJson(testo).object();
    const QString nome = o.value(QStringLiteral("evento")).toString();
    for (const NomeEvento& e : EVENTI) {
        if (nome == QLatin1String(e.nome)) {
            avviso.evento = e.evento;
            avviso.codazi = o.value(QStringLiteral("codazi")).toString();
            avviso.cfs = o.value(QStringLiteral("cfs")).toString();
            avviso.nuovoCfs = o.value(QStringLiteral("nuovocfs")).toString();
            return true;
        }
    }
    return false;
}

namespace interno {

Ascolto::Ascolto(std::function<void()> arrivati, int intervalloMs)
    : m_arrivati(std::move(arrivati)), m_intervalloMs(intervalloMs)
{
}

Ascolto::~Ascolto()
{
    sessioneChiusa();
}

void Ascolto::sessioneAperta(QSqlDatabase& db, CanalePg* canale)
{
    sessioneChiusa();
    m_db = db;
    m_canale = canale;
    m_contesto = std::make_unique<QObject>();
    if (canale) {
        // Notifications that came with the program's own answers: libpq has
        // read them off the socket, which then has nothing more to say.
        canale->dopoRisposte([this] {
            raccogli();
            if (!m_ricevuti.isEmpty())
                QMetaObject::invokeMethod(
                    m_contesto.get(), [this] { suServer(); }, Qt::QueuedConnection);
        });
        if (canale->presa() >= 0) {
            m_presa = new QSocketNotifier(qintptr(canale->presa()), QSocketNotifier::Read, m_contesto.get());
            QObject::connect(m_presa, &QSocketNotifier::activated, m_contesto.get(), [this] {
                raccogli();
                suServer();
            });
        }
        return;
    }
    // A file says nothing by itself: it is asked at each interval.
    m_versione = versione();
    auto* timer = new QTimer(m_contesto.get());
    timer->callOnTimeout(m_contesto.get(), [this] { m_arrivati(); });
    timer->start(m_intervalloMs);
}

void Ascolto::sessioneChiusa()
{
    if (m_canale)
        m_canale->dopoRisposte({});
    m_canale = nullptr;
    m_presa = nullptr;
    m_contesto.reset();
    m_db = QSqlDatabase();
}

void Ascolto::raccogli()
{
    if (!m_canale)
        return;
    for (const QByteArray& testo : m_canale->notifiche(CANALEAVVISI)) {
        Avviso a;
        if (leggiAvviso(testo, a))
            m_ricevuti.append(a);
    }
    // A socket that stays readable though nothing can be read from it (the
    // server went away) would call again and again: the next statement finds
    // the connection broken and opens it again, with a notifier of its own.
    if (m_presa && connessioneInterrotta(m_db))
        m_presa->setEnabled(false);
}

void Ascolto::suServer()
{
    if (!m_ricevuti.isEmpty())
        m_arrivati();
}

std::optional<qint64> Ascolto::versione() const
{
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("PRAGMA data_version")) || !q.next())
        return std::nullopt;
    return q.value(0).toLongLong();
}

QList<Avviso> Ascolto::leggi(bool inTransazione)
{
    if (m_canale) {
        raccogli();
        return std::exchange(m_ricevuti, {});
    }
    // Inside a transaction the program itself is writing: it is asked again
    // after it.
    if (inTransazione || !m_db.isValid())
        return {};
    const std::optional<qint64> ora = versione();
    if (!ora || ora == m_versione)
        return {};
    const bool prima = m_versione.has_value();
    m_versione = ora;
    if (!prima)
        return {};
    return {Avviso{}};
}

} // namespace interno
} // namespace store
