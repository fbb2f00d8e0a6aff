#pragma once
// One copy of the program per user. The first copy holds a lock file for as
// long as it runs and listens on a local socket named after it (a named
// pipe on Windows); a copy started while it runs finds the lock taken, asks
// the first through the socket to bring its window to the front, and ends
// without opening a window of its own.
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

class Istanza : public QObject {
    Q_OBJECT
public:
    explicit Istanza(const QString& fileBlocco);
    ~Istanza() override;
    Istanza(const Istanza&) = delete;
    Istanza& operator=(const Istanza&) = delete;

    // True: this is the only copy (the lock is held until the object goes,
    // and later copies are listened for). False: another copy holds it, and
    // has been asked to come to the front. A lock left by a copy that
    // crashed is taken over.
    bool acquisisci();

    // The socket's name, from the lock file's path, so that copies using
    // another lock file never meet: beside the lock file (the name of a
    // pipe on Windows).
    static QString nomeCanale(const QString& fileBlocco);

signals:
    // A later copy asked for the window to be brought to the front.
    void primoPianoRichiesto();

private:
    void ascolta();
    void chiediPrimoPiano();

    QString m_fileBlocco;
    std::unique_ptr<QLockFile> m_blocco;
    std::unique_ptr<QLocalServer> m_canale;
};
