#include "relay.h"

#include <arpa/inet.h>
#include <chrono>
#include <deque>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

qint64 oraUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int connetti(quint16 porta)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(porta);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(s);
        return -1;
    }
    const int uno = 1;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &uno, sizeof uno);
    return s;
}

bool scriviTutto(int s, const std::vector<char>& dati)
{
    std::size_t fatto = 0;
    while (fatto < dati.size()) {
        const ssize_t n = ::send(s, dati.data() + fatto, dati.size() - fatto, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        fatto += std::size_t(n);
    }
    return true;
}

struct Pezzo {
    qint64 quando; // when it is due at the other end
    std::vector<char> dati;
};

// One client's connection and its own to the server.
struct Coppia {
    int cliente = -1;
    int server = -1;
    std::deque<Pezzo> versoServer, versoCliente;
    bool ultimoDalCliente = false;
    bool chiusa = false;
};

} // namespace

Relay::Relay(quint16 portaServer) : m_portaServer(portaServer)
{
    m_ascolto = ::socket(AF_INET, SOCK_STREAM, 0);
    const int uno = 1;
    ::setsockopt(m_ascolto, SOL_SOCKET, SO_REUSEADDR, &uno, sizeof uno);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t l = sizeof a;
    if (::bind(m_ascolto, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(m_ascolto, 16) != 0 ||
        ::getsockname(m_ascolto, reinterpret_cast<sockaddr*>(&a), &l) != 0)
        throw std::runtime_error("relay: cannot listen");
    m_porta = ntohs(a.sin_port);
    m_filo = std::thread([this] { ciclo(); });
}

Relay::~Relay()
{
    m_fine = true;
    m_filo.join();
    ::close(m_ascolto);
}

void Relay::ciclo()
{
    std::vector<std::unique_ptr<Coppia>> coppie;
    std::vector<char> buffer(1 << 16);
    while (!m_fine) {
        // Whatever is due goes on, in order.
        const qint64 adesso = oraUs();
        qint64 prossimo = adesso + 20000;
        for (auto& c : coppie) {
            for (auto [coda, destinazione] : {std::pair{&c->versoServer, c->server}, {&c->versoCliente, c->cliente}}) {
                while (!coda->empty() && coda->front().quando <= adesso) {
                    if (!scriviTutto(destinazione, coda->front().dati))
                        c->chiusa = true;
                    coda->pop_front();
                }
                if (!coda->empty())
                    prossimo = std::min(prossimo, coda->front().quando);
            }
        }
        std::vector<pollfd> attesa{{m_ascolto, POLLIN, 0}};
        for (auto& c : coppie) {
            // A closed one is not read any more (poll skips a negative descriptor).
            attesa.push_back({c->chiusa ? -1 : c->cliente, POLLIN, 0});
            attesa.push_back({c->chiusa ? -1 : c->server, POLLIN, 0});
        }
        ::poll(attesa.data(), attesa.size(), int(std::max<qint64>(0, (prossimo - adesso + 999) / 1000)));
        if (attesa[0].revents & POLLIN) {
            const int cliente = ::accept(m_ascolto, nullptr, nullptr);
            const int server = cliente >= 0 ? connetti(m_portaServer) : -1;
            if (server < 0) {
                if (cliente >= 0)
                    ::close(cliente);
            } else {
                const int uno = 1;
                ::setsockopt(cliente, IPPROTO_TCP, TCP_NODELAY, &uno, sizeof uno);
                auto c = std::make_unique<Coppia>();
                c->cliente = cliente;
                c->server = server;
                coppie.push_back(std::move(c));
            }
        }
        const qint64 letto = oraUs();
        for (std::size_t i = 0; i < (attesa.size() - 1) / 2; ++i) {
            Coppia& c = *coppie[i];
            for (const bool dalCliente : {true, false}) {
                const pollfd& p = attesa[1 + 2 * i + (dalCliente ? 0 : 1)];
                if (!(p.revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                const ssize_t n = ::recv(p.fd, buffer.data(), buffer.size(), 0);
                if (n <= 0) {
                    c.chiusa = true;
                    continue;
                }
                if (dalCliente && !c.ultimoDalCliente)
                    ++m_raffiche;
                c.ultimoDalCliente = dalCliente;
                (dalCliente ? c.versoServer : c.versoCliente)
                    .push_back({letto + m_latenzaUs.load(), std::vector<char>(buffer.begin(), buffer.begin() + n)});
            }
        }
        // A closed connection goes once what it carried has been delivered.
        for (auto it = coppie.begin(); it != coppie.end();) {
            Coppia& c = **it;
            if (c.chiusa && c.versoServer.empty() && c.versoCliente.empty()) {
                ::close(c.cliente);
                ::close(c.server);
                it = coppie.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& c : coppie) {
        ::close(c->cliente);
        ::close(c->server);
    }
}
