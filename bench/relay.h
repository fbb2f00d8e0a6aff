#pragma once
// A TCP relay between the program and a local server that delays what goes
// through it, each way, by a set latency, as a slow link would (the kernel's
// traffic shaping being out of reach): each chunk read is written on after
// the latency, in the order it came. It also counts the round trips it sees:
// a burst of data from a client after the server last answered it.
#include <QtGlobal>
#include <atomic>
#include <memory>
#include <thread>

class Relay {
public:
    // Listens on 127.0.0.1 (a port of its own) and forwards to 127.0.0.1:portaServer.
    explicit Relay(quint16 portaServer);
    ~Relay();
    Relay(const Relay&) = delete;
    Relay& operator=(const Relay&) = delete;

    quint16 porta() const { return m_porta; }
    // One way; applies to what is read from now on.
    void setLatenzaMs(int ms) { m_latenzaUs = qint64(ms) * 1000; }
    // Bursts sent by clients since the start (a connection's opening and
    // its closing message included).
    quint64 raffiche() const { return m_raffiche.load(); }

private:
    void ciclo();

    int m_ascolto = -1;
    quint16 m_porta = 0;
    quint16 m_portaServer = 0;
    std::atomic<qint64> m_latenzaUs{0};
    std::atomic<quint64> m_raffiche{0};
    std::atomic<bool> m_fine{false};
    std::thread m_filo;
};
