// A year's database the program cannot work on, met at start-up: empty,
// with a damaged page, lacking a table, an index or a field, or one that
// cannot be written. Each time the operator reads a clear message, the window
// unloads through the normal shutdown, and the file is left exactly as it was
// (never replaced by the template).
//
// A read-only file is refused at start-up rather than opened for reading:
// the program's every action writes, and an operator who could type a whole
// data sheet would only learn at the save that nothing can be stored.
// File permissions do not bind root: as root the file (or folder) is made
// immutable (chattr +i) where the file system allows it, and the start-up is
// also run in a child process under an unprivileged user, as a clerk's
// account runs the program.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/fs.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

const QString DICHIARANTE = QStringLiteral("01234567897");

QByteArray contenuto(const QString& percorso)
{
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("(illeggibile)");
    return file.readAll();
}

// Names and contents of every file in a folder: what start-up leaves behind.
QMap<QString, QByteArray> cartella(const QString& percorso)
{
    QMap<QString, QByteArray> file;
    for (const QString& nome : QDir(percorso).entryList(QDir::Files | QDir::Hidden))
        file.insert(nome, contenuto(QDir(percorso).filePath(nome)));
    return file;
}

#ifdef Q_OS_LINUX
// Sets or clears the immutable attribute (chattr +i) of a file or folder;
// false when the file system or the process's rights do not allow it.
bool immutabile(const QString& percorso, bool attivo)
{
    const int fd = ::open(QFile::encodeName(percorso).constData(), O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int attributi = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &attributi) == 0;
    if (ok) {
        attributi = attivo ? (attributi | FS_IMMUTABLE_FL) : (attributi & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &attributi) == 0;
    }
    ::close(fd);
    return ok;
}

// Clears the attribute however the test ends, so the folder can be removed.
struct Immutabile {
    QString percorso;
    bool attivo = false;
    explicit Immutabile(const QString& p) : percorso(p), attivo(immutabile(p, true)) {}
    ~Immutabile()
    {
        if (attivo)
            immutabile(percorso, false);
    }
    Immutabile(const Immutabile&) = delete;
    Immutabile& operator=(const Immutabile&) = delete;
};
#endif

} // namespace

class TestDanni : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

    // Starts the program and checks the refusal: one critical message naming
    // the year's database and containing `testo`, the window unloaded,
    // nothing left open, the folder's files exactly as before.
    void avvioRifiutato(const QString& testo)
    {
        const auto prima = cartella(archivio->cartella());
        {
            FinestraProva prova;
            QVERIFY(!prova.avvia());
            QCOMPARE(MessageBox::shown().size(), 1);
            const auto box = MessageBox::shown().first();
            QCOMPARE(box.stile, int(vbCritical));
            QCOMPARE(box.titolo, prova.finestra.Caption());
            QVERIFY2(box.testo.startsWith(QStringLiteral("Attenzione !!! ")), qPrintable(box.testo));
            QVERIFY2(box.testo.contains(testo), qPrintable(box.testo));
            QVERIFY(prova.finestra.scaricata());
            QVERIFY(!prova.finestra.isVisible());
            QVERIFY(!prova.modulo.DBANNO);
            QVERIFY(!prova.modulo.TABANAGSOST && !prova.modulo.TABFRONTESPIZIO && !prova.modulo.TABPROV);
            QVERIFY(!QApplication::overrideCursor());
        }
        QCOMPARE(cartella(archivio->cartella()), prima);
    }

private slots:
    void initTestCase() { preparaAmbienteProva(); }

    void init()
    {
        azzeraMessaggi();
        archivio = std::make_unique<ArchivioProva>();
        archivio->creaAnno();
        archivio->aggiungiFrontespizio(QStringLiteral("001"), DICHIARANTE, {}, {}, QStringLiteral("ALFA SRL"));
        archivio->aggiungiSostituto(QStringLiteral("101"), QStringLiteral("RSSMRA80A01H501U"),
                                    {QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("M"),
                                     QStringLiteral("19800101"), QStringLiteral("ROMA"), QStringLiteral("RM"),
                                     QStringLiteral("ROMA"), QStringLiteral("RM"), QStringLiteral("VIA ROMA 1"),
                                     QStringLiteral("001")});
        configura(archivio->cartella());
    }
    void cleanup() { archivio.reset(); }

    void archivioVuoto()
    {
        // A copy that never happened, or a file emptied by a failing disk:
        // no tables at all.
        QFile file(archivio->percorsoAnno());
        QVERIFY(file.resize(0));
        avvioRifiutato(QStringLiteral("danneggiato"));
        QCOMPARE(QFileInfo(archivio->percorsoAnno()).size(), 0);
    }

    void paginaDanneggiata()
    {
        // The header is sound, the front pages' table is not: found when the
        // start-up reads it.
        const auto pagina = archivio->righe(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = "
                                                           "'FRONTESPIZIO'"));
        const qint64 dimensione = archivio->conta(QStringLiteral("PRAGMA page_size"));
        QFile file(archivio->percorsoAnno());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek((pagina.first().first().toLongLong() - 1) * dimensione));
        file.write(QByteArray(int(dimensione), '\xA5'));
        file.close();
        avvioRifiutato(QStringLiteral("danneggiato"));
    }

    void oggettoMancante_data()
    {
        QTest::addColumn<QString>("istruzione");
        QTest::addColumn<QString>("nominato");
        QTest::newRow("section table") << QStringLiteral("DROP TABLE QUADROST") << QStringLiteral("QUADROST");
        QTest::newRow("recipients' table") << QStringLiteral("DROP TABLE PERCETTORI") << QStringLiteral("PERCETTORI");
        QTest::newRow("registry index by codice fiscale")
            << QStringLiteral("DROP INDEX ANAGSOSTITUTI_CHIAVECFS") << QStringLiteral("CHIAVECFS");
        QTest::newRow("front-page index by company")
            << QStringLiteral("DROP INDEX FRONTESPIZIO_CHIAVECODAZI") << QStringLiteral("CHIAVECODAZI");
        QTest::newRow("registry field") << QStringLiteral("ALTER TABLE ANAGSOSTITUTI DROP COLUMN ASOST_7")
                                        << QStringLiteral("ASOST_7");
        QTest::newRow("section field") << QStringLiteral("ALTER TABLE QUADROLAUT DROP COLUMN CFD")
                                       << QStringLiteral("CFD");
    }
    void oggettoMancante()
    {
        // What a deletion, a change of code or a save would stop at, found
        // before the operator has done any work.
        QFETCH(QString, istruzione);
        QFETCH(QString, nominato);
        archivio->esegui(istruzione);
        avvioRifiutato(QStringLiteral("Nell'archivio manca"));
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(testiMostrati().first().contains(nominato), qPrintable(testiMostrati().first()));
    }

    void solaLettura_data()
    {
        QTest::addColumn<bool>("cartellaIntera");
        QTest::addColumn<bool>("altroUtente");
        QTest::newRow("read-only file") << false << false;
        QTest::newRow("read-only folder") << true << false;
        QTest::newRow("read-only file, clerk's account") << false << true;
        QTest::newRow("read-only folder, clerk's account") << true << true;
    }
    void solaLettura()
    {
#ifndef Q_OS_LINUX
        QSKIP("file attributes and user switching are tried on Linux only");
#else
        QFETCH(bool, cartellaIntera);
        QFETCH(bool, altroUtente);
        const QString bersaglio = cartellaIntera ? archivio->cartella() : archivio->percorsoAnno();
        if (altroUtente) {
            solaLetturaAltroUtente(cartellaIntera);
            return;
        }
        if (::geteuid() != 0) {
            const QFile::Permissions permessi = QFile::permissions(bersaglio);
            QVERIFY(QFile::setPermissions(bersaglio, permessi & ~(QFile::WriteOwner | QFile::WriteUser
                                                                   | QFile::WriteGroup | QFile::WriteOther)));
            avvioRifiutato(QStringLiteral("sola lettura"));
            if (QTest::currentTestFailed())
                return;
            QVERIFY(testiMostrati().first().contains(archivio->percorsoAnno()));
            QVERIFY(QFile::setPermissions(bersaglio, permessi));
        } else {
            Immutabile sigillo(bersaglio);
            if (!sigillo.attivo)
                QSKIP("root is not bound by file permissions and this file system (or this container) does not "
                      "allow the immutable attribute; the rows under an unprivileged user cover the case");
            avvioRifiutato(QStringLiteral("sola lettura"));
            if (QTest::currentTestFailed())
                return;
            QVERIFY(testiMostrati().first().contains(archivio->percorsoAnno()));
        }
        // Writable again, the same archive opens: the refusal was for the rights.
        azzeraMessaggi();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(MessageBox::shown().isEmpty());
#endif
    }

private:
#ifdef Q_OS_LINUX
    // The start-up run by an unprivileged user in a child process, on a copy
    // of the archive that this user may read but not write (the file, or the
    // folder that must hold the engine's journal). The same copy, made
    // writable for that user, is opened as a control.
    void solaLetturaAltroUtente(bool cartellaIntera)
    {
        if (::geteuid() != 0)
            QSKIP("only root can run the start-up under another user; the rows above cover this account");
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            QSKIP("setpriv (util-linux) is not installed: no way to run the start-up as an unprivileged user");
        const passwd* utente = ::getpwnam("nobody");
        if (!utente)
            QSKIP("no unprivileged user \"nobody\" on this machine");
        const uid_t uid = utente->pw_uid;
        const gid_t gid = utente->pw_gid;

        // base (0755) holds the helper, the archive folder and the
        // configuration folder of the unprivileged user.
        QTemporaryDir base;
        QVERIFY(QFile::setPermissions(base.path(), QFile::permissions(base.path()) | QFile::ReadOther
                                                       | QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup));
        const QString programma = base.filePath(QStringLiteral("anagsost_figlio"));
        QVERIFY(QFile::copy(QStringLiteral(ANAGSOST_FIGLIO), programma));
        const QString archivi = base.filePath(QStringLiteral("archivio"));
        const QString configurazione = base.filePath(QStringLiteral("configurazione"));
        QVERIFY(QDir().mkdir(archivi) && QDir().mkdir(configurazione));
        QVERIFY(::chown(QFile::encodeName(configurazione).constData(), uid, gid) == 0);
        for (const QString& f : {QStringLiteral("SQ47XXXX.MDB"), QStringLiteral("S7702004.MDB")})
            QVERIFY(QFile::copy(QDir(archivio->cartella()).filePath(f), QDir(archivi).filePath(f)));
        const QString anno = QDir(archivi).filePath(QStringLiteral("S7702004.MDB"));
        // Read-only file: the folder is the user's, the file is not. Read-only
        // folder: the file is the user's, the folder is not.
        const QString proprio = cartellaIntera ? anno : archivi;
        QVERIFY(::chown(QFile::encodeName(proprio).constData(), uid, gid) == 0);
        for (const QString& p : {archivi, anno})
            QVERIFY(QFile::setPermissions(p, QFile::permissions(p) | QFile::ReadOther | QFile::ReadGroup
                                                 | (QFileInfo(p).isDir() ? QFile::ExeOther | QFile::ExeGroup
                                                                         : QFile::Permissions())));

        auto avvia = [&](QStringList& righe) {
            QProcess figlio;
            QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
            ambiente.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            ambiente.insert(QStringLiteral("HOME"), configurazione);
            ambiente.insert(QStringLiteral("XDG_RUNTIME_DIR"), configurazione);
            ambiente.insert(QStringLiteral("XDG_CONFIG_HOME"), configurazione);
            figlio.setProcessEnvironment(ambiente);
            figlio.start(setpriv, {QStringLiteral("--reuid=%1").arg(uid), QStringLiteral("--regid=%1").arg(gid),
                                   QStringLiteral("--clear-groups"), QStringLiteral("--"), programma,
                                   QStringLiteral("avvia"), archivi, configurazione});
            const bool finito = figlio.waitForFinished(60000);
            righe = QString::fromUtf8(figlio.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            return std::make_pair(finito && figlio.exitStatus() == QProcess::NormalExit ? figlio.exitCode() : -1,
                                  QString::fromUtf8(figlio.readAllStandardError()));
        };

        const auto prima = cartella(archivi);
        QStringList righe;
        const auto [codice, errori] = avvia(righe);
        if (codice != 0 && righe.isEmpty())
            QSKIP(qPrintable(QStringLiteral("cannot run the start-up as an unprivileged user here: ") + errori));
        QCOMPARE(codice, 0);
        QCOMPARE(righe.size(), 2);
        QVERIFY2(righe.at(0).startsWith(QStringLiteral("BOX Attenzione !!! ")), qPrintable(righe.at(0)));
        QVERIFY2(righe.at(0).contains(QStringLiteral("sola lettura")), qPrintable(righe.at(0)));
        QVERIFY2(righe.at(0).contains(anno), qPrintable(righe.at(0)));
        QCOMPARE(righe.at(1), QStringLiteral("SCARICATA"));
        QCOMPARE(cartella(archivi), prima);

        // The control: the user may write the file and the folder now.
        QVERIFY(::chown(QFile::encodeName(cartellaIntera ? archivi : anno).constData(), uid, gid) == 0);
        const auto controllo = avvia(righe);
        QCOMPARE(controllo.first, 0);
        QCOMPARE(righe, QStringList{QStringLiteral("CARICATA")});
    }
#endif
};

QTEST_MAIN(TestDanni)
#include "tst_danni.moc"
