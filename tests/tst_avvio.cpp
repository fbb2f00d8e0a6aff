// Start-up and shutdown against temporary archives: configuration, one copy per user, the year's database made
// from the template (a file copy, or by the server), the front-page gate, the window with its list, the hand-back.
// A year's database the program cannot work on (damaged, incomplete, read-only, unreachable) is refused with a
// clear message and a clean exit, and left exactly as it was: never replaced by the template.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "store/luogo.h"

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

} // namespace

class TestAvvio : public QObject {
    Q_OBJECT

    // Starts the program expecting a refusal: one box (critical unless said) with `titolo` whose text contains `testo`,
    // nothing left open or shown, the files of `cartella` exactly as before.
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
        for (const char* operazione : {"L'operazione non è stata eseguita", "Riprovare fra qualche istante"})
            QVERIFY2(!box.testo.contains(QString::fromUtf8(operazione)), qPrintable(box.testo));
        QVERIFY(!prova.modulo.DBANNO && !prova.modulo.TABANAGSOST && !prova.finestra.isVisible());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(fileDi(cartella), prima);
    }

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
        rifiutato(QStringLiteral("Non trovata procedura velMoria\r\rContattare Tarvessa Servizi"),
                  QStringLiteral("Controllo procedura 770/2004 Semplificato"));
    }

    // Missing template, with or without the year's database: on a server the year's one is opened first and the
    // template asked about on its connection.
    void templateMancante_data()
    {
        QTest::addColumn<bool>("anno");
        QTest::newRow("no year's database") << false;
        QTest::newRow("year's database present") << true;
    }
    void templateMancante()
    {
        QFETCH(bool, anno);
        ArchivioProva archivio;
        if (anno) {
            archivio.creaAnno();
            archivio.aggiungiFrontespizio(QStringLiteral("001"), DICHIARANTE);
        }
        if (archivio.suServer()) {
            archivio.setArchivio(store::Luogo::server(archivio.server(), QString()));
            archivio.esegui(QStringLiteral("ALTER DATABASE %1 IS_TEMPLATE false").arg(archivio.nomeTemplate()));
            archivio.esegui(QStringLiteral("DROP DATABASE %1").arg(archivio.nomeTemplate()));
        } else {
            QVERIFY(QFile::remove(archivio.percorsoTemplate()));
        }
        configura(archivio.cartella());
        const QString manca =
            archivio.suServer()
                ? QStringLiteral("l'archivio %1 sul server %2").arg(archivio.nomeTemplate(), archivio.server())
                : "file \"" + archivio.percorsoTemplate() + '"';
        rifiutato("Attenzione !!!!\rNon esiste " + manca + "\rContattare la Tarvessa servizi", TITOLO,
                  archivio.cartella());
        QCOMPARE(store::presenza(archivio.luogoAnno()), anno ? store::Presenza::Presente : store::Presenza::Assente);
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

        // With a front page the year's database is opened as it is, its table on its main index. A second copy
        // of the program ends without a message (it asks the open window to come forward). "Uscita" closes
        // everything and hands control back.
        archivio.aggiungiFrontespizio(QStringLiteral("001"), DICHIARANTE, {}, {}, QStringLiteral("ALFA SRL"));
        archivio.aggiungiSostituto(QStringLiteral("101"), QStringLiteral("12345678903"), {QStringLiteral("ALFA")});
        const QString prima = archivio.istantanea();
        azzeraMessaggi();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QCOMPARE(prova.modulo.TABANAGSOST->Index(), QStringLiteral("CHIAVE"));
        MOD770BAS seconda(MsgBox);
        seconda.fileBloccoIstanza = prova.modulo.fileBloccoIstanza;
        QCOMPARE(seconda.INIZIALIZZA(), MOD770BAS::ESITO::Termina);
        prova.click(QStringLiteral("cmduscita(1)"));
        QVERIFY(prova.finestra.scaricata() && !prova.modulo.DBANNO && !prova.modulo.TABANAGSOST);
        QVERIFY(MessageBox::shown().isEmpty());
        QTRY_VERIFY(QFile::exists(segno));
        QCOMPARE(archivio.istantanea(), prima);
    }

    // A password file that others may read is ignored by libpq: the server then refuses the user, and the
    // message names the file and how to mend it rather than the user and the password.
    void filePasswordAperto()
    {
        if (!suServerProva())
            QSKIP("the server's password file");
        ArchivioProva archivio;
        archivio.creaAnno();
        archivio.aggiungiFrontespizio(QStringLiteral("001"), DICHIARANTE);
        configura(archivio.cartella());
        FilePasswordProva file({FilePasswordProva::rigaProva()},
                               QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        rifiutato("Attenzione !!! Il file delle password di PostgreSQL " + file.percorso() +
                      " è accessibile anche ad altri utenti",
                  TITOLO, archivio.cartella());
        QVERIFY2(testiMostrati().value(0).endsWith("\rRenderlo accessibile al solo proprietario (chmod 600 " +
                                                   file.percorso() + ")."),
                 qPrintable(testiMostrati().value(0)));
    }

    void archivioInutilizzabile_data()
    {
        QTest::addColumn<QString>("guasto");
        QTest::addColumn<QString>("testo");
        const QString danneggiato = QStringLiteral("Attenzione !!! L'archivio è danneggiato");
        QTest::newRow("zero-length") << "vuoto" << danneggiato;
        QTest::newRow("truncated") << "troncato" << danneggiato;
        QTest::newRow("garbage") << "testo" << danneggiato;
        QTest::newRow("read-only") << "sola lettura"
                                   << "Attenzione !!! L'archivio è in sola lettura";
        QTest::newRow("template copy failing") << "copia"
                                               << "Impossibile creare l'archivio ";
        // These also on a server:
        QTest::newRow("missing table") << "DROP TABLE QUADROST"
                                       << "Attenzione !!! Nell'archivio manca la tabella QUADROST.";
        QTest::newRow("missing index")
            << "DROP INDEX ANAGSOSTITUTI_CHIAVECFS"
            << "Attenzione !!! Nell'archivio manca l'indice CHIAVECFS della tabella ANAGSOSTITUTI.";
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
            archivio.aggiungiFrontespizio(QStringLiteral("001"), DICHIARANTE);
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
        if (guasto == "vuoto" || guasto == "troncato") {
            QVERIFY(file.resize(guasto == "vuoto" ? 0 : 1500));
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
        QVERIFY(!testiMostrati().value(0).contains(QStringLiteral("segreta")));
    }
};

QTEST_MAIN(TestAvvio)
#include "tst_avvio.moc"
