// One copy of the program per user, with two processes: the program itself
// started while a window of it is open (minimised, another window in front)
// ends at once, opening no window of its own, and the open window comes to
// the front, restored.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "startup/istanza.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

class TestIstanza : public QObject {
    Q_OBJECT

    // The program (main.cpp) started as the operator would, with its lock
    // file in `cartella` (its temporary folder) and this test's
    // configuration: a copy that went on would open the same archive and
    // wait for the operator. True when it ended by itself with status 0.
    static bool secondaCopia(const QString& cartella)
    {
        QProcess programma;
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert("TMPDIR", cartella);
        const QString configurazione = QSettings("TARVESSA", "VELMORIA").fileName();
        ambiente.insert("XDG_CONFIG_HOME", QFileInfo(configurazione).dir().absoluteFilePath(".."));
        programma.setProcessEnvironment(ambiente);
        programma.start(ANAGSOST_PROGRAMMA, {});
        if (!programma.waitForStarted())
            return false;
        // The event loop runs meanwhile: the first copy answers the request.
        QSignalSpy finito(&programma, &QProcess::finished);
        if (!finito.wait(60000)) {
            programma.kill();
            programma.waitForFinished();
            return false;
        }
        return programma.exitStatus() == QProcess::NormalExit && programma.exitCode() == 0;
    }

private slots:
    void initTestCase() { preparaAmbienteProva(); }

    void primaCopiaInPrimoPiano()
    {
        ArchivioProva archivio;
        archivio.creaAnno();
        archivio.aggiungiFrontespizio("001", "01234567897");
        configura(archivio.cartella());
        QTemporaryDir temporanea;
        QString utente = qEnvironmentVariable("USER");
        if (utente.isEmpty())
            utente = qEnvironmentVariable("USERNAME");
        FinestraProva prova;
        // The lock file where the program puts it under that temporary folder.
        prova.modulo.fileBloccoIstanza = QDir(temporanea.path()).filePath("anagsost-" + utente + ".lock");
        QVERIFY(prova.avvia());
        QSignalSpy richieste(prova.modulo.ISTANZA(), &Istanza::primoPianoRichiesto);

        QWidget davanti;
        davanti.show();
        QApplication::setActiveWindow(&davanti);
        QVERIFY(QTest::qWaitForWindowActive(&davanti));
        prova.finestra.showMinimized();
        QTRY_VERIFY(prova.finestra.isMinimized());

        QVERIFY(secondaCopia(temporanea.path()));
        QTRY_COMPARE_WITH_TIMEOUT(richieste.size(), 1, 30000);
        QVERIFY(!prova.finestra.isMinimized());
        QTRY_VERIFY_WITH_TIMEOUT(prova.finestra.isActiveWindow(), 30000);
        QVERIFY(prova.finestra.isVisible());
        QVERIFY(MessageBox::shown().isEmpty());
    }
};

QTEST_MAIN(TestIstanza)
#include "tst_istanza.moc"
