#include "startup/istanza.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// What a later copy writes: one line.
const QByteArray RICHIESTA = QByteArrayLiteral("primo piano\n");
// How long a later copy waits for the first to take the request.
constexpr int ATTESA_MS = 2000;

} // namespace

Istanza::Istanza(const QString& fileBlocco) : m_fileBlocco(fileBlocco)
{
}

Istanza::~Istanza() = default;

QString Istanza::nomeCanale(const QString& fileBlocco)
{
    const QString percorso = QFileInfo(fileBlocco).absoluteFilePath();
#ifndef Q_OS_WIN
    // Beside the lock file, whatever each copy's temporary folder; a socket's
    // path has a short limit (some 100 bytes), past which the name below.
    const QString accanto = percorso + QStringLiteral(".canale");
    if (QFile::encodeName(accanto).size() < 100)
        return accanto;
#endif
    return QStringLiteral("anagsost-") +
           QString::fromLatin1(QCryptographicHash::hash(percorso.toUtf8(), QCryptographicHash::Sha1).toHex().left(20));
}

bool Istanza::acquisisci()
{
    m_blocco = std::make_unique<QLockFile>(m_fileBlocco);
    m_blocco->setStaleLockTime(0);
    if (m_blocco->tryLock(0)) {
        ascolta();
        return true;
    }
    chiediPrimoPiano();
    m_blocco.reset();
    return false;
}

void Istanza::ascolta()
{
    // A socket left by a copy that crashed goes first: the lock says no copy runs.
    const QString nome = nomeCanale(m_fileBlocco);
    QLocalServer::removeServer(nome);
    m_canale = std::make_unique<QLocalServer>();
    m_canale->setSocketOptions(QLocalServer::UserAccessOption);
    // Without the socket the program still runs alone; a later copy then
    // ends as it always did, without bringing this one forward.
    if (!m_canale->listen(nome))
        return;
    connect(m_canale.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* altra = m_canale->nextPendingConnection()) {
            connect(altra, &QLocalSocket::disconnected, altra, &QObject::deleteLater);
            connect(altra, &QLocalSocket::readyRead, this, [this, altra] {
                if (!altra->canReadLine())
                    return;
                if (altra->readLine() == RICHIESTA)
                    emit primoPianoRichiesto();
                altra->disconnectFromServer();
            });
        }
    });
}

void Istanza::chiediPrimoPiano()
{
#ifdef Q_OS_WIN
    // The copy the operator just started owns the foreground: it hands it
    // to the first, which Windows would otherwise not let come forward.
    qint64 pid = 0;
    if (m_blocco->getLockInfo(&pid, nullptr, nullptr) && pid > 0)
        AllowSetForegroundWindow(DWORD(pid));
#endif
    QLocalSocket canale;
    canale.connectToServer(nomeCanale(m_fileBlocco));
    if (!canale.waitForConnected(ATTESA_MS))
        return;
    canale.write(RICHIESTA);
    canale.waitForBytesWritten(ATTESA_MS);
    canale.disconnectFromServer();
    if (canale.state() != QLocalSocket::UnconnectedState)
        canale.waitForDisconnected(ATTESA_MS);
}
