#pragma once
// Internal to store/: how a connection hears of other workstations' changes
// (store/avvisi.h). On a server: LISTEN on the program's channel, a socket
// notifier on libpq's socket, so that nothing is sent while nothing comes,
// and the notifications that came with the program's own answers looked at
// after them. On a file: a timer, and the file's data_version read when
// asked.
#include "store/avvisi.h"

#include <QList>
#include <QSqlDatabase>
#include <functional>
#include <memory>
#include <optional>

class QObject;
class QSocketNotifier;

namespace store::interno {

class CanalePg;

class Ascolto {
public:
    Ascolto(std::function<void()> arrivati, int intervalloMs);
    ~Ascolto();
    Ascolto(const Ascolto&) = delete;
    Ascolto& operator=(const Ascolto&) = delete;

    // The session has been opened, the first time or again after it broke
    // off; `canale` null on a file. On a server the LISTEN has been sent.
    void sessioneAperta(QSqlDatabase& db, CanalePg* canale);
    // The session is going: nothing may use it any more.
    void sessioneChiusa();
    // See Database::avvisi().
    QList<Avviso> leggi(bool inTransazione);

private:
    // A server's notifications that reached the connection, kept.
    void raccogli();
    void suServer();
    std::optional<qint64> versione() const;

    std::function<void()> m_arrivati;
    int m_intervalloMs;
    QSqlDatabase m_db;
    CanalePg* m_canale = nullptr;
    // Owns the notifier or the timer; calls queued on it die with the session.
    std::unique_ptr<QObject> m_contesto;
    QSocketNotifier* m_presa = nullptr;
    QList<Avviso> m_ricevuti;
    std::optional<qint64> m_versione; // the file's, as last read
};

} // namespace store::interno
