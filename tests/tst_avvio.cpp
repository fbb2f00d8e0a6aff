// Start-up and shutdown against temporary archives: configuration, one copy per user, the year's database made
// from the template (a file copy, or by the server), the front-page gate, the window with its list, the hand-back.
// A year's database the program cannot work on (damaged, incomplete, read-only, unreachable) is refused with a
// clear message and a clean exit, and left exactly as it was: never replaced by the template.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "store/luogo.h"

#include <QGroupBox>
#include <QProcess>
#include <QtTest>

#include <memory>
#include <unistd.h>

namespace {

const QString DICHIARANTE = QStringLiteral("01234567897");
const QString TITOLO = QStringLiteral(" Gestione Modello 770/2004 (Semplificato) - ");
const QString TITOLOFINESTRA =
    TITOLO + QStringLiteral("Anagrafiche di ditte da operazioni straordinarie e successioni");

QByteArray contenuto(const QString& percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Names and contents of every file in a folder: what start-up leaves behind.
QMap<QString, QByteArray> fileDi(const QString& cartella)
{
    QMap<QString, QByteArray> file;
    for (const QString& nome : QDir(cartella).entryList(QDir::Files | QDir::Hidden))
        file.insert(nome, contenuto(QDir(cartella).filePath(nome)));
    return file;
}

// A stand-in for the suite's main program: it leaves a mark when started.
struct ProgrammaPrincipale {
    QTemporaryDir cartella;
    const QString segno = cartella.filePath(QStringLiteral("avviato.txt"));
    ProgrammaPrincipale()
    {
        QFile programma(cartella.filePath(QStringLiteral("7702004.EXE")));
        programma.open(QIODevice::WriteOnly);
        programma.write("#!/bin/sh\necho avviato > \"$(dirname \"$0\")/avviato.txt\"\n");
        programma.setPermissions(programma.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    }
};

// Takes the write rights from a file or folder until destroyed. Root is not bound by permissions: for root, the
// immutable attribute (chattr +i) where the file system allows it.
struct SolaLettura {
    const QString percorso;
    const QFile::Permissions permessi = QFile::permissions(percorso);
    const bool attiva = ::geteuid() == 0
        ? QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), percorso}) == 0
        : QFile::setPermissions(percorso, permessi & ~(QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup
                                                       | QFile::WriteOther));
    ~SolaLettura()
    {
        if (::geteuid() == 0)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), percorso});
        else
            QFile::setPermissions(percorso, permessi);
    }
};

enum Dove { Entrambi, File, Server };

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
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY2(MessageBox::shown().first().testo.contains(testo), qPrintable(MessageBox::shown().first().testo));
        QCOMPARE(MessageBox::shown().first().stile, stile);
        QCOMPARE(MessageBox::shown().first().titolo, titolo);
        QVERIFY(!prova.modulo.DBANNO && !prova.modulo.TABANAGSOST && !prova.finestra.isVisible());
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(fileDi(cartella), prima);
    }

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }
    void init() { azzeraMessaggi(); }

    void configurazioneMancante()
    {
        configura(QString());
        rifiutato(QStringLiteral("Non trovata procedura velMoria\r\rContattare Tarvessa Servizi"),
                  QStringLiteral("Controllo procedura 770/2004 Semplificato"));
    }

    void templateMancante()
    {
        ArchivioProva archivio;
        if (archivio.suServer()) {
            archivio.setArchivio(store::Luogo::server(archivio.server(), QString()));
            archivio.esegui(QStringLiteral("ALTER DATABASE %1 IS_TEMPLATE false").arg(archivio.nomeTemplate()));
            archivio.esegui(QStringLiteral("DROP DATABASE %1").arg(archivio.nomeTemplate()));
        } else {
            QVERIFY(QFile::remove(archivio.percorsoTemplate()));
        }
        configura(archivio.cartella());
        const QString manca = archivio.suServer() ? QStringLiteral("l'archivio %1 sul server %2")
                                                        .arg(archivio.nomeTemplate(), archivio.server())
                                                  : QStringLiteral("file ") + archivio.percorsoTemplate();
        rifiutato("Attenzione !!!!\rNon esiste " + manca + "\rContattare la Tarvessa servizi", TITOLO,
                  archivio.cartella());
        QCOMPARE(store::presenza(archivio.luogoAnno()), store::Presenza::Assente);
    }

    void daTemplateAPronto()
    {
        // A missing year's database is made from the template: a file copy, or by the server from its template
        // database. The template has no front page: the gate's message ends the program, which hands control back.
        ArchivioProva archivio;
        ProgrammaPrincipale principale;
        configura(archivio.cartella(), principale.cartella.path());
        const QByteArray copia = contenuto(archivio.percorsoTemplate());
        archivio.setArchivio(archivio.luogoTemplate());
        const QString modello = archivio.istantanea();
        rifiutato("Inserire prima il frontespizio per accedere al programma\r\r" + TITOLOFINESTRA.trimmed(),
                  "Controlli 770/2004 semplificato", {}, vbInformation);
        QTRY_VERIFY(QFile::exists(principale.segno));
        QVERIFY(QFile::remove(principale.segno)); // for the second hand-back
        archivio.setArchivio(archivio.luogoAnno());
        QCOMPARE(archivio.istantanea(), modello);
        QCOMPARE(contenuto(archivio.percorsoAnno()), archivio.suServer() ? QByteArray() : copia);

        // With a front page the year's database is opened as it is: the selection frame, the list in code order
        // with the focus. A second copy of the program ends silently. "Uscita" closes everything and hands control
        // back.
        archivio.aggiungiFrontespizio(QStringLiteral("001"), DICHIARANTE, {}, {}, QStringLiteral("ALFA SRL"));
        archivio.aggiungiSostituto(QStringLiteral("101"), QStringLiteral("12345678903"), {QStringLiteral("ALFA")});
        const QString prima = archivio.istantanea();
        azzeraMessaggi();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("FrmSelezione"))->isVisible());
        QCOMPARE(prova.modulo.TABANAGSOST->Index(), QStringLiteral("CHIAVE"));
        QCOMPARE(QApplication::focusWidget(), prova.lista());
        MOD770BAS seconda(MsgBox);
        seconda.fileBloccoIstanza = prova.modulo.fileBloccoIstanza;
        QCOMPARE(seconda.INIZIALIZZA(), MOD770BAS::ESITO::Termina);
        prova.click(QStringLiteral("cmduscita(1)"));
        QVERIFY(prova.finestra.scaricata() && !prova.modulo.DBANNO && !prova.modulo.TABANAGSOST);
        QVERIFY(MessageBox::shown().isEmpty());
        QTRY_VERIFY(QFile::exists(principale.segno));
        QCOMPARE(archivio.istantanea(), prima);
    }

    void archivioInutilizzabile_data()
    {
        QTest::addColumn<int>("dove");
        QTest::addColumn<QString>("guasto");
        QTest::addColumn<QString>("testo");
        const QString danneggiato = QStringLiteral("Attenzione !!! L'archivio è danneggiato");
        QTest::newRow("zero-length") << int(File) << "vuoto" << danneggiato;
        QTest::newRow("truncated") << int(File) << "troncato" << danneggiato;
        QTest::newRow("garbage") << int(File) << "testo" << danneggiato;
        QTest::newRow("pages after the catalogue") << int(File) << "pagine" << danneggiato;
        QTest::newRow("read-only file") << int(File) << "file" << "Attenzione !!! L'archivio è in sola lettura";
        QTest::newRow("read-only folder") << int(File) << "cartella" << "Attenzione !!! L'archivio è in sola lettura";
        QTest::newRow("a folder in its place") << int(File) << "al posto" << "Impossibile leggere l'archivio ";
        QTest::newRow("template copy failing") << int(File) << "copia" << "Impossibile creare l'archivio ";
        const QString manca = QStringLiteral("Attenzione !!! Nell'archivio manca ");
        QTest::newRow("table") << int(Entrambi) << "DROP TABLE QUADROST" << manca + "la tabella QUADROST.";
        QTest::newRow("index") << int(Entrambi) << "DROP INDEX ANAGSOSTITUTI_CHIAVECFS"
                               << manca + "l'indice CHIAVECFS della tabella ANAGSOSTITUTI.";
        QTest::newRow("server unreachable") << int(Entrambi) << "host=127.0.0.1 port=1 user=anagsost"
                                            << "Impossibile collegarsi al server PostgreSQL host=127.0.0.1 port=1";
        QTest::newRow("password in the configuration") << int(Entrambi) << "host=127.0.0.1 password=segreta"
                                                       << "Valore SERVERPOSTGRESQL della configurazione non valido:";
        QTest::newRow("user refused") << int(Server) << "user=estraneo" << " non consente l'accesso.";
        QTest::newRow("no connections") << int(Server) << "ALLOW_CONNECTIONS" << "Impossibile leggere l'archivio ";
    }
    void archivioInutilizzabile()
    {
        QFETCH(int, dove);
        QFETCH(QString, guasto);
        QFETCH(QString, testo);
        if (dove != Entrambi && suServerProva() != (dove == Server))
            QSKIP(dove == File ? "the SQLite file itself" : "a server's database only (the _pg variant)");
        ArchivioProva archivio;
        const QString anno = archivio.percorsoAnno();
        if (guasto == "al posto" || guasto == "copia") {
            QVERIFY(QDir().mkdir(guasto == "copia" ? anno + QStringLiteral(".copia") : anno));
        } else {
            archivio.creaAnno();
            archivio.aggiungiFrontespizio(QStringLiteral("001"), DICHIARANTE);
        }
        QFile file(anno);
        std::unique_ptr<SolaLettura> solaLettura;
        if (guasto == "vuoto" || guasto == "troncato") {
            QVERIFY(file.resize(guasto == "vuoto" ? 0 : 1500));
        } else if (guasto == "testo") {
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray("this is not a database at all, just some text\n").repeated(200));
        } else if (guasto == "pagine") { // the header and the catalogue stay sound
            const qint64 pagina = archivio.conta(QStringLiteral("PRAGMA page_size"));
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(pagina));
            file.write(QByteArray(int(file.size() - pagina), '\xA5'));
        } else if (guasto == "file" || guasto == "cartella") {
            solaLettura.reset(new SolaLettura{guasto == "file" ? anno : archivio.cartella()});
            if (!solaLettura->attiva)
                QSKIP("root is not bound by file permissions and this file system refuses the immutable attribute");
        } else if (guasto.startsWith("DROP")) {
            archivio.esegui(guasto);
        } else if (guasto == "ALLOW_CONNECTIONS") {
            archivio.setArchivio(store::Luogo::server(archivio.server(), QString()));
            archivio.esegui(QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS false").arg(archivio.nomeAnno()));
        }
        file.close();
        configura(archivio.cartella());
        if (guasto.startsWith("host="))
            configuraServer(guasto);
        else if (guasto.startsWith("user="))
            configuraServer(QString(archivio.server()).replace(QRegularExpression("user=\\S+"), guasto));
        rifiutato(testo, testo.startsWith("Attenzione !!! ") ? TITOLOFINESTRA : TITOLO, archivio.cartella());
        QVERIFY(!testiMostrati().value(0).contains(QStringLiteral("segreta")));
    }
};

QTEST_MAIN(TestAvvio)
#include "tst_avvio.moc"
