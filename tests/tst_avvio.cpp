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
#include <QSignalSpy>
#include <QtTest>

#include <unistd.h>

namespace {

const QString TITOLO = " Gestione Modello 770/2004 (Semplificato) - ";
const QString FINESTRA = TITOLO + "Anagrafiche di ditte da operazioni straordinarie e successioni";

// Names and contents of every file in a folder: what start-up leaves behind.
QMap<QString, QByteArray> fileDi(const QString& cartella)
{
    QMap<QString, QByteArray> contenuti;
    for (const QFileInfo& nome : QDir(cartella).entryInfoList(QDir::Files | QDir::Hidden))
        if (QFile file(nome.filePath()); file.open(QIODevice::ReadOnly))
            contenuti.insert(nome.fileName(), file.readAll());
    return contenuti;
}

void scriviConfigurazione(const QByteArray& testo)
{
    QFile file(FILECONFIGURAZIONE());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(testo);
}

} // namespace

class TestAvvio : public QObject {
    Q_OBJECT

private slots:
    void init() { azzeraMessaggi(); }

    // One box, critical, whose text holds `testo` under the title (the program's own refusals say that it
    // closes); nothing left open or shown; the files of the archive folder, and on a server the year's
    // database, exactly as before, the year's database not made from the template.
    void rifiuto_data()
    {
        QTest::addColumn<QString>("guasto");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("titolo");
        const QString file = "Il file di configurazione \"" + FILECONFIGURAZIONE() + "\" non è valido alla riga 3: ";
        const auto riga = [](const char* nome, const QString& guasto, const QString& testo, const QString& titolo) {
            QTest::newRow(nome) << guasto << testo << titolo;
        };
        riga("no configuration", "nessuna", "Non trovata procedura velMoria\r\rContattare Tarvessa Servizi",
             "Controllo procedura 770/2004 Semplificato");
        riga("template missing", "modello", "Attenzione !!!!\rNon esiste ", TITOLO);
        // On a server the year's database is opened first, the template asked about on its connection.
        riga("template missing, year's database present", "modello anno", "Attenzione !!!!\rNon esiste ", TITOLO);
        riga("line without =", "[General]\nPERCORSOARCHIVI=%1\nSERVERPOSTGRESQL host=127.0.0.1\n",
             file + "ogni riga deve essere NOME=valore.\rIl programma viene chiuso.", TITOLO);
        riga("a name twice, another text", "[General]\nPERCORSOARCHIVI=%1\npercorsoarchivi=/srv/archivi\n",
             file + "il valore PERCORSOARCHIVI è già indicato alla riga 2 con un testo diverso.\r", TITOLO);
        // libpq's own form for several hosts: a server, not a missing value.
        riga("server with a comma", "PERCORSOARCHIVI=%1\nSERVERPOSTGRESQL=host=127.0.0.1,127.0.0.1 port=1 user=u\n",
             "Impossibile collegarsi al server PostgreSQL host=127.0.0.1,127.0.0.1", TITOLO);
        riga("prefix with a blank",
             "PERCORSOARCHIVI=%1\nSERVERPOSTGRESQL=host=127.0.0.1 port=1\nPREFISSOPOSTGRESQL=s \n",
             "Valore PREFISSOPOSTGRESQL della configurazione non valido:", TITOLO);
        riga("password in the configuration", "PERCORSOARCHIVI=%1\nSERVERPOSTGRESQL=host=127.0.0.1 password=segreta\n",
             "Valore SERVERPOSTGRESQL della configurazione non valido:", TITOLO);
        riga("zero-length", "vuoto", "Attenzione !!! L'archivio è danneggiato", FINESTRA);
        riga("garbage", "testo", "Attenzione !!! L'archivio è danneggiato", FINESTRA);
        riga("read-only", "sola lettura", "Attenzione !!! L'archivio è in sola lettura", FINESTRA);
        riga("template copy failing", "copia", "Impossibile creare l'archivio ", TITOLO);
        riga("missing table", "DROP TABLE QUADROST", "Attenzione !!! Nell'archivio manca la tabella QUADROST.",
             FINESTRA);
        riga("missing index", "DROP INDEX ANAGSOSTITUTI_CHIAVECFS",
             "Attenzione !!! Nell'archivio manca l'indice CHIAVECFS della tabella ANAGSOSTITUTI.", FINESTRA);
        riga("locked by another program", "bloccato",
             "Attenzione !!! L'archivio è in uso da un altro programma della procedura.", FINESTRA);
        // libpq ignores a password file others may read: what to mend is the file, not the user.
        riga("password file others may read", "pgpass", "è accessibile anche ad altri utenti", TITOLO);
    }
    void rifiuto()
    {
        QFETCH(QString, guasto);
        QFETCH(QString, testo);
        QFETCH(QString, titolo);
        const bool file =
            QStringList{"vuoto", "testo", "sola lettura", "copia"}.contains(guasto) || guasto.contains('=');
        if (file)
            SOLO_FILE("the SQLite file, or the configuration, itself");
        if (guasto == "pgpass")
            SOLO_SERVER("the server's password file");
        ArchivioProva archivio;
        if (guasto != "copia" && guasto != "modello" && !guasto.contains('\n')) {
            archivio.creaAnno();
            archivio.aggiungiFrontespizio("001", "01234567897");
        }
        configura(guasto == "nessuna" ? QString() : archivio.cartella());
        QFile anno(archivio.percorsoAnno());
        // The template cannot be copied into a folder that cannot be written. Root is not bound by permissions:
        // for root, the immutable attribute where the file system allows it.
        const QString bersaglio = guasto == "copia" ? archivio.cartella() : anno.fileName();
        const auto ripristina = qScopeGuard([&] {
            if (::geteuid() == 0)
                QProcess::execute("chattr", {"-i", bersaglio});
            QFile::setPermissions(archivio.cartella(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        std::unique_ptr<FilePasswordProva> password;
        std::unique_ptr<ArchivioProva::Blocco> blocco;
        if (guasto == "vuoto") {
            QVERIFY(anno.resize(0));
        } else if (guasto == "testo") {
            QVERIFY(anno.open(QIODevice::WriteOnly | QIODevice::Truncate));
            anno.write(QByteArray("this is not a database at all, just some text\n").repeated(200));
            anno.close();
        } else if (guasto == "sola lettura" || guasto == "copia") {
            const QFile::Permissions sola = QFile::ReadOwner | (guasto == "copia" ? QFile::ExeOwner : QFile::ReadOwner);
            if (::geteuid() == 0 ? QProcess::execute("chattr", {"+i", bersaglio}) != 0
                                 : !QFile::setPermissions(bersaglio, sola))
                QSKIP("root is not bound by file permissions and this file system refuses the immutable attribute");
        } else if (guasto.startsWith("DROP")) {
            archivio.esegui(guasto);
        } else if (guasto.startsWith("modello") && archivio.suServer()) {
            archivio.setArchivio(store::Luogo::server(archivio.server(), QString()));
            archivio.esegui(QString("DROP DATABASE %1").arg(archivio.nomeTemplate()));
        } else if (guasto.startsWith("modello")) {
            QVERIFY(QFile::remove(archivio.percorsoTemplate()));
        } else if (guasto == "bloccato") {
            blocco = archivio.blocca(true);
        } else if (guasto.contains('=')) {
            scriviConfigurazione(guasto.arg(archivio.cartella()).toUtf8());
        } else if (guasto == "pgpass") {
            password = std::make_unique<FilePasswordProva>(QStringList{FilePasswordProva::rigaProva()},
                                                           QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        }
        const auto prima = fileDi(archivio.cartella());
        // On a server the year's database as it reads now (not while locked, nor without the password).
        const bool leggibile = archivio.suServer() && guasto != "modello" && guasto != "pgpass" && !blocco;
        const QString annoPrima = leggibile ? archivio.istantanea() : QString();

        FinestraProva prova;
        QVERIFY(!prova.avvia());
        const QStringList testi = testiMostrati();
        QVERIFY2(testi.size() == 1 && testi.first().contains(testo), qPrintable(testi.join('|')));
        QCOMPARE(MessageBox::shown().first().stile, int(vbCritical));
        QCOMPARE(MessageBox::shown().first().titolo, titolo);
        const bool proprio = guasto != "nessuna" && !testi.first().contains("\rNon esiste ");
        QVERIFY2(!proprio || testi.first().contains("\rIl programma viene chiuso"), qPrintable(testi.first()));
        QVERIFY2(!testi.first().contains("L'operazione non è stata eseguita"), qPrintable(testi.first()));
        QVERIFY2(!testi.first().contains("segreta"), qPrintable(testi.first()));
        QVERIFY(!prova.modulo.DBANNO && !prova.finestra.isVisible() && !QApplication::overrideCursor());
        blocco.reset();
        QCOMPARE(fileDi(archivio.cartella()), prima);
        if (!annoPrima.isEmpty())
            QCOMPARE(archivio.istantanea(), annoPrima);
        if (guasto == "modello" || guasto.contains('\n'))
            QCOMPARE(store::presenza(archivio.luogoAnno()), store::Presenza::Assente);
    }

    void daTemplateAPronto()
    {
        // A missing year's database is made from the template: a file copy, or by the server from its template
        // database. The template has no front page: the gate's message ends the program, which hands control
        // back; with one, the window opens on the archive as it is, and "Uscita" closes everything and hands
        // control back.
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
        {
            FinestraProva prova;
            QVERIFY(!prova.avvia());
        }
        QCOMPARE(testiMostrati(),
                 QStringList{"Inserire prima il frontespizio per accedere al programma\r\r" + FINESTRA.trimmed()});
        QTRY_VERIFY(QFile::exists(segno));
        QVERIFY(QFile::remove(segno)); // for the second hand-back
        archivio.setArchivio(archivio.luogoAnno());
        QCOMPARE(archivio.istantanea(), modello);
        archivio.aggiungiFrontespizio("001", "01234567897", {}, {}, "ALFA SRL");
        const QString prima = archivio.istantanea();
        azzeraMessaggi();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.click("cmduscita(1)");
        QVERIFY(prova.finestra.scaricata() && !prova.modulo.DBANNO && !prova.modulo.TABANAGSOST);
        QCOMPARE(testiMostrati(), QStringList());
        QTRY_VERIFY(QFile::exists(segno));
        QCOMPARE(archivio.istantanea(), prima);
    }

    void configurazioneScritta()
    {
        // Read: an archive folder whose name holds a comma, "&", ";" and blanks inside and at its end (a link to the
        // test archive), in a file with a byte-order mark, Windows line ends, comments and another program's section;
        // blanks and tabs around "=" part of neither name nor value. Written (the demo tool's and the tests' writer):
        // a value replaced in its line, one removed, a new one at the end of the program's part, comments and other
        // sections left alone; a value that would not read back as written (a blank before it) not written.
        SOLO_FILE("the configuration file, once");
        AnnoProva anno;
        QTemporaryDir base;
        const QString cartella = base.filePath("Rossi, Bianchi & C. snc; sede 2 ");
        QVERIFY(QFile::link(anno.archivio.cartella(), cartella));
        const QString programmi = "/opt/suite 770, versione 2004 ";
        scriviConfigurazione("\xEF\xBB\xBF; configurazione scritta a mano\r\n[General]\r\nPercorsoArchivi=" +
                             cartella.toUtf8() + "\r\n# i programmi\r\nPERCORSOPROGRAMMI \t= \t" + programmi.toUtf8() +
                             "\r\n\r\n[AltroProgramma]\r\nPERCORSOARCHIVI=/altrove\r\nriga di un altro programma\r\n");
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QCOMPARE(prova.modulo.NOMEARCHIVIOANNO(), cartella + "/S7702004.MDB");
        QCOMPARE(prova.modulo.PERCORSOPROGRAMMI, programmi);
        QCOMPARE(testiMostrati(), QStringList());
        QString errore;
        QVERIFY(!SCRIVICONFIGURAZIONE({{"PERCORSOPROGRAMMI", " /altrove"}}, &errore));
        QCOMPARE(LEGGICONFIGURAZIONE().valori.value("PERCORSOPROGRAMMI"), programmi);
        scriviConfigurazione(
            "; scritto a mano\nPERCORSOARCHIVI=/vecchio\nSERVERPOSTGRESQL=host=vecchio\n[Altro]\nX=1\n");
        configura("/nuovo", "/opt/suite 770, 2004");
        QFile file(FILECONFIGURAZIONE());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(),
                 "; scritto a mano\nPERCORSOARCHIVI=/nuovo\nPERCORSOPROGRAMMI=/opt/suite 770, 2004\n[Altro]\nX=1\n");
    }

    // One copy of the program per user: the program itself started while a
    // window of it is open (minimised, another window in front) ends at once,
    // opening no window of its own, and the open window comes to the front.
    void primaCopiaInPrimoPiano()
    {
        SOLO_FILE("the program started twice, once");
        AnnoProva anno;
        QTemporaryDir temporanea;
        FinestraProva prova;
        // The lock file where the program puts it under that temporary folder.
        prova.modulo.fileBloccoIstanza =
            QDir(temporanea.path()).filePath("anagsost-" + qEnvironmentVariable("USER") + ".lock");
        QVERIFY(prova.avvia());
        QSignalSpy richieste(prova.modulo.ISTANZA(), &Istanza::primoPianoRichiesto);
        QWidget davanti;
        davanti.show();
        QApplication::setActiveWindow(&davanti);
        QVERIFY(QTest::qWaitForWindowActive(&davanti));
        prova.finestra.showMinimized();
        QTRY_VERIFY(prova.finestra.isMinimized());
        QProcess programma; // main.cpp, with this test's temporary folder and configuration
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
        QTRY_VERIFY_WITH_TIMEOUT(prova.finestra.isActiveWindow() && !prova.finestra.isMinimized(), 30000);
        QCOMPARE(testiMostrati(), QStringList());
    }
};

PROVA(TestAvvio);
#include "tst_avvio.moc"
