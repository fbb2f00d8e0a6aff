// Start-up and shutdown against temporary archives: the configuration file as
// written by hand, the year's database made from the template (a file copy,
// or by the server), the front-page gate, the hand-back, one copy per user. A
// configuration or a year's database the program cannot work on (damaged,
// incomplete, read-only, unreachable) is refused with a clear message and a
// clean exit, and left exactly as it was: never replaced by the template.
#include "support/finestraprova.h"
#include "support/programma.h"

#include "startup/configurazione.h"
#include "startup/istanza.h"
#include "store/luogo.h"

#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <unistd.h>

namespace {

const QString DICHIARANTE = QStringLiteral("01234567897");
const QString TITOLO = QStringLiteral(" Gestione Modello 770/2004 (Semplificato) - ");
const QString TITOLOFINESTRA = TITOLO + "Anagrafiche di ditte da operazioni straordinarie e successioni";

// Names and contents of every file in a folder: what start-up leaves behind.
QMap<QString, QByteArray> fileDi(const QString& cartella)
{
    QMap<QString, QByteArray> contenuti;
    for (const QFileInfo& nome : QDir(cartella).entryInfoList(QDir::Files | QDir::Hidden))
        if (QFile file(nome.filePath()); file.open(QIODevice::ReadOnly))
            contenuti.insert(nome.fileName(), file.readAll());
    return contenuti;
}

// Starts the program expecting a refusal: one box (critical unless said) with `titolo` whose text contains
// `testo`, nothing left open or shown, the files of `cartella` exactly as before.
void rifiutato(const QString& testo, const QString& titolo, const QString& cartella = {}, int stile = vbCritical)
{
    const auto prima = fileDi(cartella);
    FinestraProva prova;
    QVERIFY(!prova.avvia());
    const auto box = MessageBox::shown().value(0);
    QVERIFY2(MessageBox::shown().size() == 1 && box.testo.contains(testo), qPrintable(testiMostrati().join('|')));
    QCOMPARE(std::pair(box.stile, box.titolo), std::pair(stile, titolo));
    // The program's own refusals say that it closes, and none borrows the words of a failed operation.
    const bool proprio = !box.testo.startsWith("Non trovata procedura") && !box.testo.contains("\rNon esiste ") &&
                         !box.testo.startsWith("Inserire prima il frontespizio");
    QVERIFY2(!proprio || box.testo.contains("\rIl programma viene chiuso"), qPrintable(box.testo));
    QVERIFY2(!box.testo.contains("L'operazione non è stata eseguita"), qPrintable(box.testo));
    QVERIFY(!prova.modulo.DBANNO && !prova.modulo.TABANAGSOST && !prova.finestra.isVisible());
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(fileDi(cartella), prima);
}

void scriviFile(const QByteArray& testo)
{
    QFile file(FILECONFIGURAZIONE());
    QDir().mkpath(QFileInfo(file).absolutePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(testo);
}

} // namespace

class TestAvvio : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }
    void init() { azzeraMessaggi(); }

    void configurazioneMancante()
    {
        configura(QString());
        rifiutato("Non trovata procedura velMoria\r\rContattare Tarvessa Servizi",
                  "Controllo procedura 770/2004 Semplificato");
    }

    void templateMancante()
    {
        ArchivioProva archivio;
        if (archivio.suServer()) {
            archivio.setArchivio(store::Luogo::server(archivio.server(), QString()));
            archivio.esegui(QString("ALTER DATABASE %1 IS_TEMPLATE false").arg(archivio.nomeTemplate()));
            archivio.esegui(QString("DROP DATABASE %1").arg(archivio.nomeTemplate()));
        } else {
            QVERIFY(QFile::remove(archivio.percorsoTemplate()));
        }
        configura(archivio.cartella());
        const QString manca =
            archivio.suServer() ? QString("l'archivio %1 sul server %2").arg(archivio.nomeTemplate(), archivio.server())
                                : "file " + archivio.percorsoTemplate();
        rifiutato("Attenzione !!!!\rNon esiste " + manca + "\rContattare la Tarvessa servizi", TITOLO,
                  archivio.cartella());
        QCOMPARE(store::presenza(archivio.luogoAnno()), store::Presenza::Assente);
    }

    void daTemplateAPronto()
    {
        // A missing year's database is made from the template: a file copy, or by the server from its template
        // database. The template has no front page: the gate's message ends the program, which hands control back.
        ArchivioProva archivio;
        QTemporaryDir programmi; // a stand-in for the suite's main program leaves a mark when started
        const QString segno = programmi.filePath("avviato.txt");
        QFile programma(programmi.filePath("7702004.EXE"));
        QVERIFY(programma.open(QIODevice::WriteOnly));
        programma.write("#!/bin/sh\necho avviato > \"$(dirname \"$0\")/avviato.txt\"\n");
        programma.close();
        QVERIFY(programma.setPermissions(programma.permissions() | QFileDevice::ExeOwner));
        configura(archivio.cartella(), programmi.path());
        archivio.setArchivio(archivio.luogoTemplate());
        const QString modello = archivio.istantanea();
        rifiutato("Inserire prima il frontespizio per accedere al programma\r\r" + TITOLOFINESTRA.trimmed(),
                  "Controlli 770/2004 semplificato", {}, vbInformation);
        QTRY_VERIFY(QFile::exists(segno));
        QVERIFY(QFile::remove(segno)); // for the second hand-back
        archivio.setArchivio(archivio.luogoAnno());
        QCOMPARE(archivio.istantanea(), modello);

        // With a front page the year's database is opened as it is. "Uscita" closes everything and hands control
        // back.
        archivio.aggiungiFrontespizio("001", DICHIARANTE, {}, {}, "ALFA SRL");
        const QString prima = archivio.istantanea();
        azzeraMessaggi();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.click("cmduscita(1)");
        QVERIFY(prova.finestra.scaricata() && !prova.modulo.DBANNO && !prova.modulo.TABANAGSOST);
        QVERIFY(MessageBox::shown().isEmpty());
        QTRY_VERIFY(QFile::exists(segno));
        QCOMPARE(archivio.istantanea(), prima);
    }

    // A password file that others may read is ignored by libpq: the message names the file and how to mend it.
    void filePasswordAperto()
    {
        SOLO_SERVER("the server's password file");
        ArchivioProva archivio;
        archivio.creaAnno();
        archivio.aggiungiFrontespizio("001", DICHIARANTE);
        configura(archivio.cartella());
        FilePasswordProva file({FilePasswordProva::rigaProva()},
                               QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        rifiutato("Attenzione !!! Il file delle password di PostgreSQL " + file.percorso() +
                      " è accessibile anche ad altri utenti",
                  TITOLO, archivio.cartella());
    }

    void archivioInutilizzabile_data()
    {
        QTest::addColumn<QString>("guasto");
        QTest::addColumn<QString>("testo");
        const QString danneggiato = "Attenzione !!! L'archivio è danneggiato";
        QTest::newRow("zero-length") << "vuoto" << danneggiato;
        QTest::newRow("garbage") << "testo" << danneggiato;
        QTest::newRow("read-only") << "sola lettura"
                                   << "Attenzione !!! L'archivio è in sola lettura";
        QTest::newRow("template copy failing") << "copia"
                                               << "Impossibile creare l'archivio ";
        // These also on a server:
        QTest::newRow("missing table") << "DROP TABLE QUADROST"
                                       << "Attenzione !!! Nell'archivio manca la tabella QUADROST.";
        QTest::newRow("missing index") << "DROP INDEX ANAGSOSTITUTI_CHIAVECFS"
                                       << "Attenzione !!! Nell'archivio manca l'indice CHIAVECFS della tabella "
                                          "ANAGSOSTITUTI.";
        QTest::newRow("locked by another program")
            << "bloccato"
            << "Attenzione !!! L'archivio è in uso da un altro programma della procedura.";
        QTest::newRow("server unreachable") << "host=127.0.0.1 port=1 user=anagsost"
                                            << "Impossibile collegarsi al server PostgreSQL host=127.0.0.1 port=1";
        QTest::newRow("password in the configuration") << "host=127.0.0.1 password=segreta"
                                                       << "Valore SERVERPOSTGRESQL della configurazione non valido:";
    }
    void archivioInutilizzabile()
    {
        QFETCH(QString, guasto);
        QFETCH(QString, testo);
        if (!guasto.startsWith("DROP") && !guasto.startsWith("host=") && guasto != "bloccato")
            SOLO_FILE("the SQLite file itself");
        ArchivioProva archivio;
        const QString anno = archivio.percorsoAnno();
        if (guasto != "copia") {
            archivio.creaAnno();
            archivio.aggiungiFrontespizio("001", DICHIARANTE);
        }
        QFile file(anno);
        // The template cannot be copied into a folder that cannot be written. Root is not bound by permissions:
        // for root, the immutable attribute where the file system allows it.
        const bool root = ::geteuid() == 0;
        const QString bersaglio = guasto == "copia" ? archivio.cartella() : anno;
        const auto ripristina = qScopeGuard([&] {
            if (root)
                QProcess::execute("chattr", {"-i", bersaglio});
            QFile::setPermissions(archivio.cartella(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        if (guasto == "vuoto") {
            QVERIFY(file.resize(0));
        } else if (guasto == "testo") {
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray("this is not a database at all, just some text\n").repeated(200));
        } else if (guasto == "sola lettura" || guasto == "copia") {
            const QFile::Permissions sola = QFile::ReadOwner | (guasto == "copia" ? QFile::ExeOwner : QFile::ReadOwner);
            if (root ? QProcess::execute("chattr", {"+i", bersaglio}) != 0 : !QFile::setPermissions(bersaglio, sola))
                QSKIP("root is not bound by file permissions and this file system refuses the immutable attribute");
        } else if (guasto.startsWith("DROP")) {
            archivio.esegui(guasto);
        }
        file.close();
        const auto blocco = guasto == "bloccato" ? archivio.blocca(true) : nullptr;
        configura(archivio.cartella());
        if (guasto.startsWith("host="))
            configuraServer(guasto);
        rifiutato(testo, testo.startsWith("Attenzione !!! ") ? TITOLOFINESTRA : TITOLO, archivio.cartella());
        QVERIFY(!testiMostrati().value(0).contains("segreta"));
    }
};

// The configuration file written by hand, read by the program at start-up.
class TestConfigurazione : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { preparaAmbienteProva(); }
    void init() { azzeraMessaggi(); }

    void valoriComeScritti()
    {
        // An archive folder whose name holds a comma, "&", ";" and blanks at both ends (a link to the test
        // archive), in a file with a byte-order mark, Windows line ends, comments and another program's section.
        SOLO_FILE("the configuration file, once");
        AnnoProva anno;
        QTemporaryDir base;
        const QString cartella = base.filePath(" Rossi, Bianchi & C. snc; sede 2 ");
        QVERIFY(QFile::link(anno.archivio.cartella(), cartella));
        const QString programmi = " /opt/suite 770, versione 2004 ";
        scriviFile("\xEF\xBB\xBF; configurazione scritta a mano\r\n"
                   "[General]\r\n"
                   "PercorsoArchivi=" +
                   cartella.toUtf8() +
                   "\r\n"
                   "# i programmi\r\n"
                   "PERCORSOPROGRAMMI=" +
                   programmi.toUtf8() +
                   "\r\n"
                   "\r\n"
                   "[AltroProgramma]\r\n"
                   "PERCORSOARCHIVI=/altrove\r\n"
                   "riga di un altro programma\r\n");
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QCOMPARE(prova.modulo.PERCORSOARCHIVI, cartella);
        QCOMPARE(prova.modulo.PERCORSOPROGRAMMI, programmi);
        QCOMPARE(prova.modulo.NOMEARCHIVIOANNO(), cartella + "/S7702004.MDB");
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // Values present but unusable are refused with a message, never taken as
    // missing (the template is in the folder: a value taken as missing would
    // make the year's file from it).
    void valoriInutilizzabili_data()
    {
        QTest::addColumn<QByteArray>("righe");  // after PERCORSOARCHIVI
        QTest::addColumn<QString>("messaggio"); // the start of the message shown
        const QString file = "Il file di configurazione " + FILECONFIGURAZIONE() + " non è valido alla riga ";
        // libpq's own form for several hosts: a server, not a missing value.
        QTest::newRow("server with a comma") << QByteArray("SERVERPOSTGRESQL=host=127.0.0.1,127.0.0.1 port=1 user=u\n")
                                             << "Impossibile collegarsi al server PostgreSQL host=127.0.0.1,127.0.0.1";
        QTest::newRow("prefix with a blank")
            << QByteArray("SERVERPOSTGRESQL=host=127.0.0.1 port=1\nPREFISSOPOSTGRESQL=studio \n")
            << "Valore PREFISSOPOSTGRESQL della configurazione non valido:";
        QTest::newRow("line without =") << QByteArray("SERVERPOSTGRESQL host=127.0.0.1 port=1\n")
                                        << file + "3: ogni riga deve essere NOME=valore.\rIl programma viene chiuso.";
        QTest::newRow("name twice, another text")
            << QByteArray("percorsoarchivi=/srv/archivi\n")
            << file + "3: il valore PERCORSOARCHIVI è già indicato alla riga 2 con un testo diverso.\r"
                      "Il programma viene chiuso.";
    }
    void valoriInutilizzabili()
    {
        QFETCH(QByteArray, righe);
        QFETCH(QString, messaggio);
        SOLO_FILE("the configuration file, once");
        ArchivioProva archivio;
        scriviFile("[General]\nPERCORSOARCHIVI=" + archivio.cartella().toUtf8() + "\n" + righe);
        rifiutato("Attenzione !!!!\r" + messaggio, TITOLO);
        QVERIFY(!QFile::exists(archivio.percorsoAnno()));
    }

    void scritturaConservaLeAltreRighe()
    {
        // The writer (the demo tool's and the tests') replaces a value in its line, removes one, adds a new one
        // at the end of the program's part, and leaves comments and other sections alone.
        SOLO_FILE("the configuration file, once");
        scriviFile("; scritto a mano\nPERCORSOARCHIVI=/vecchio\nSERVERPOSTGRESQL=host=vecchio\n[Altro]\nX=1\n");
        configura("/nuovo", "/opt/suite 770, 2004");
        QFile file(FILECONFIGURAZIONE());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 "; scritto a mano\nPERCORSOARCHIVI=/nuovo\nPERCORSOPROGRAMMI=/opt/suite 770, 2004\n[Altro]\nX=1\n");
    }
};

// One copy of the program per user: the program itself started while a
// window of it is open (minimised, another window in front) ends at once,
// opening no window of its own, and the open window comes to the front.
class TestIstanza : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { preparaAmbienteProva(); }

    void primaCopiaInPrimoPiano()
    {
        SOLO_FILE("the program started twice, once");
        AnnoProva anno;
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

        // The program (main.cpp) started as the operator would, with this test's temporary folder and
        // configuration: a copy that went on would open the same archive and wait for the operator.
        QProcess programma;
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert("TMPDIR", temporanea.path());
        ambiente.insert("XDG_CONFIG_HOME", QFileInfo(FILECONFIGURAZIONE()).dir().absoluteFilePath(".."));
        programma.setProcessEnvironment(ambiente);
        programma.start(ANAGSOST_PROGRAMMA, {});
        QSignalSpy finito(&programma, &QProcess::finished); // the event loop runs meanwhile: the first copy answers
        QVERIFY(finito.wait(60000));
        QCOMPARE(programma.exitStatus(), QProcess::NormalExit);
        QCOMPARE(programma.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(richieste.size(), 1, 30000);
        QVERIFY(!prova.finestra.isMinimized());
        QTRY_VERIFY_WITH_TIMEOUT(prova.finestra.isActiveWindow(), 30000);
        QVERIFY(MessageBox::shown().isEmpty());
    }
};

PROVA(TestAvvio);
PROVA(TestConfigurazione);
PROVA(TestIstanza);
#include "tst_avvio.moc"
