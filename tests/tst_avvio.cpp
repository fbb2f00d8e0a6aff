// Start-up and shutdown against temporary archives: configuration, template,
// year's database, front-page precondition, second instance, hand-back. On
// files, and (the _pg variant) with the databases on a PostgreSQL server.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "store/luogo.h"

#include <QFile>
#include <QGroupBox>
#include <QMessageBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString TITOLOCONTROLLO = QStringLiteral(" Gestione Modello 770/2004 (Semplificato) - ");

const QString TITOLOFINESTRA =
    QStringLiteral(" Gestione Modello 770/2004 (Semplificato) - Anagrafiche di ditte da operazioni straordinarie e "
                   "successioni");

QByteArray contenuto(const QString& percorso)
{
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A stand-in for the suite's main program: it leaves a mark when started.
struct ProgrammaPrincipale {
    QTemporaryDir cartella;
    ProgrammaPrincipale()
    {
        QFile programma(cartella.filePath(QStringLiteral("7702004.EXE")));
        programma.open(QIODevice::WriteOnly);
        programma.write("#!/bin/sh\necho avviato > \"$(dirname \"$0\")/avviato.txt\"\n");
        programma.close();
        programma.setPermissions(programma.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    }
    QString percorso() const { return cartella.path(); }
    QString segno() const { return cartella.filePath(QStringLiteral("avviato.txt")); }
};

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

    void configurazioneMancanteOVuota_data()
    {
        QTest::addColumn<bool>("presente");
        QTest::newRow("value missing") << false;
        QTest::newRow("value empty") << true;
    }
    void configurazioneMancanteOVuota()
    {
        QFETCH(bool, presente);
        configura(presente ? QStringLiteral("") : QString());
        FinestraProva prova;
        QVERIFY(!prova.avvia());
        QCOMPARE(MessageBox::shown().size(), 1);
        const auto box = MessageBox::shown().first();
        QCOMPARE(box.testo, QStringLiteral("Non trovata procedura velMoria\r\rContattare Tarvessa Servizi"));
        QCOMPARE(box.stile, int(vbCritical));
        QCOMPARE(box.titolo, QStringLiteral("Controllo procedura 770/2004 Semplificato"));
        QVERIFY(!prova.modulo.DBANNO);
        QVERIFY(!prova.finestra.isVisible());
    }

    void templateMancanteNonCreaNeApre()
    {
        SOLO_FILE("the template file");
        ArchivioProva archivio;
        QVERIFY(QFile::remove(archivio.percorsoTemplate()));
        configura(archivio.cartella());
        FinestraProva prova;
        QVERIFY(!prova.avvia());
        QCOMPARE(MessageBox::shown().size(), 1);
        const auto box = MessageBox::shown().first();
        QCOMPARE(box.testo, QStringLiteral("Attenzione !!!!\rNon esiste file ") + archivio.percorsoTemplate()
                                + QStringLiteral("\rContattare la Tarvessa servizi"));
        QCOMPARE(box.stile, int(vbCritical));
        QCOMPARE(box.titolo, QStringLiteral(" Gestione Modello 770/2004 (Semplificato) - "));
        QVERIFY(!QFile::exists(archivio.percorsoAnno()));
        QVERIFY(!prova.modulo.DBANNO);
    }

    void annoCreatoDalTemplateSenzaFrontespizio()
    {
        // The template holds no front page: the year's database is created as
        // an exact copy, then the front-page message ends the program through
        // the shutdown, which hands control back to the main program.
        SOLO_FILE("a file copy");
        ArchivioProva archivio;
        ProgrammaPrincipale principale;
        configura(archivio.cartella(), principale.percorso());
        QVERIFY(!QFile::exists(archivio.percorsoAnno()));
        const QByteArray modello = contenuto(archivio.percorsoTemplate());

        FinestraProva prova;
        QVERIFY(!prova.avvia());
        QCOMPARE(contenuto(archivio.percorsoAnno()), modello);
        QCOMPARE(MessageBox::shown().size(), 1);
        const auto box = MessageBox::shown().first();
        QCOMPARE(box.testo, QStringLiteral("Inserire prima il frontespizio per accedere al programma\r\r")
                                + TITOLOFINESTRA.trimmed());
        QCOMPARE(box.stile, int(vbInformation));
        QCOMPARE(box.titolo, QStringLiteral("Controlli 770/2004 semplificato"));
        QVERIFY(prova.finestra.scaricata());
        QVERIFY(!prova.modulo.DBANNO);
        QTRY_VERIFY(QFile::exists(principale.segno()));
    }

    void frontespizioMancanteBoxReale()
    {
        // The real box: information icon, one OK button, the caption's text.
        ArchivioProva archivio;
        archivio.creaAnno();
        configura(archivio.cartella());
        BoxReale visto;
        rispondiBoxReale(vbOK, &visto);
        FinestraProva prova;
        QVERIFY(!prova.avvia());
        QCOMPARE(visto.icona, int(QMessageBox::Information));
        QCOMPARE(visto.bottoni, QStringList{QStringLiteral("OK")});
        QCOMPARE(visto.titolo, QStringLiteral("Controlli 770/2004 semplificato"));
        QCOMPARE(visto.testo, QStringLiteral("Inserire prima il frontespizio per accedere al programma\n\n")
                                  + TITOLOFINESTRA.trimmed());
    }

    void prontoConFrontespizio()
    {
        ArchivioProva archivio;
        archivio.creaAnno();
        archivio.aggiungiFrontespizio(QStringLiteral("001"), QStringLiteral("01234567897"), {}, {},
                                      QStringLiteral("ALFA SRL"));
        configura(archivio.cartella());
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(prova.finestra.windowTitle(), TITOLOFINESTRA);
        QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("FrmSelezione"))->isVisible());
        for (const char* nascosto : {"Frmmoduli(0)", "Frmbottoni", "Frmtestata", "FrmInserimento", "FrameCambiaCf",
                                     "Framecodif"})
            QVERIFY2(!prova.controllo<QWidget>(QString::fromLatin1(nascosto))->isVisible(), nascosto);
        QVERIFY(prova.controllo<QRadioButton>(QStringLiteral("Option1(0)"))->isChecked());
        QCOMPARE(prova.finestra.FORMCARICATO, 1);
        QVERIFY(prova.modulo.TABANAGSOST && prova.modulo.TABFRONTESPIZIO && prova.modulo.TABPROV);
        QCOMPARE(prova.modulo.TABANAGSOST->Index(), QStringLiteral("CHIAVE"));
        QCOMPARE(prova.lista()->count(), 1);
        QCOMPARE(QApplication::focusWidget(), prova.lista());
    }

    void secondaIstanzaTerminaInSilenzio()
    {
        ArchivioProva archivio;
        archivio.creaAnno();
        archivio.aggiungiFrontespizio(QStringLiteral("001"), QStringLiteral("01234567897"));
        configura(archivio.cartella());
        FinestraProva prima;
        QVERIFY(prima.avvia());

        MOD770BAS seconda(MsgBox);
        seconda.fileBloccoIstanza = prima.modulo.fileBloccoIstanza;
        QCOMPARE(seconda.INIZIALIZZA(), MOD770BAS::ESITO::Termina);
        QVERIFY(MessageBox::shown().isEmpty());
        QVERIFY(prima.modulo.DBANNO && prima.modulo.DBANNO->isOpen());
    }

    void annoIlleggibileNonVieneSovrascritto()
    {
        // A year's database that exists but cannot be read (here a folder
        // under its name) is never replaced by the template.
        SOLO_FILE("a folder in place of the file");
        ArchivioProva archivio;
        QVERIFY(QDir().mkdir(archivio.percorsoAnno()));
        configura(archivio.cartella());
        FinestraProva prova;
        QVERIFY(!prova.avvia());
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown().first().testo.contains(archivio.percorsoAnno()));
        QCOMPARE(MessageBox::shown().first().stile, int(vbCritical));
        QVERIFY(QFileInfo(archivio.percorsoAnno()).isDir());
    }

    void archivioDanneggiatoOIncompleto_data()
    {
        QTest::addColumn<QByteArray>("guasto");
        QTest::newRow("garbage") << QByteArray("this is not a database at all, just some text\n").repeated(200);
        QTest::newRow("truncated") << QByteArray("troncato");
        QTest::newRow("missing table") << QByteArray("drop");
    }
    void archivioDanneggiatoOIncompleto()
    {
        QFETCH(QByteArray, guasto);
        if (guasto != "drop")
            SOLO_FILE("a damaged file");
        ArchivioProva archivio;
        archivio.creaAnno();
        archivio.aggiungiFrontespizio(QStringLiteral("001"), QStringLiteral("01234567897"));
        if (guasto == "drop") {
            archivio.esegui(QStringLiteral("DROP TABLE ANAGSOSTITUTI"));
        } else if (guasto == "troncato") {
            QFile file(archivio.percorsoAnno());
            QVERIFY(file.resize(1500));
        } else {
            QFile file(archivio.percorsoAnno());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(guasto);
        }
        const QByteArray prima = contenuto(archivio.percorsoAnno());
        ProgrammaPrincipale principale;
        configura(archivio.cartella(), principale.percorso());

        FinestraProva prova;
        QVERIFY(!prova.avvia());
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().stile, int(vbCritical));
        QVERIFY(!MessageBox::shown().first().testo.isEmpty());
        QVERIFY(prova.finestra.scaricata());
        QVERIFY(!prova.modulo.DBANNO);
        if (!archivio.suServer())
            QCOMPARE(contenuto(archivio.percorsoAnno()), prima);
        QTRY_VERIFY(QFile::exists(principale.segno()));
    }

    // ---- the year's database on a PostgreSQL server ----

    void templateMancanteSulServer()
    {
        SOLO_SERVER();
        ArchivioProva archivio;
        archivio.setArchivio(store::Luogo::server(archivio.server(), QString()));
        archivio.esegui(QStringLiteral("ALTER DATABASE %1 IS_TEMPLATE false").arg(archivio.nomeTemplate()));
        archivio.esegui(QStringLiteral("DROP DATABASE %1").arg(archivio.nomeTemplate()));
        configura(archivio.cartella());
        FinestraProva prova;
        QVERIFY(!prova.avvia());
        QCOMPARE(MessageBox::shown().size(), 1);
        const auto box = MessageBox::shown().first();
        QCOMPARE(box.testo, QStringLiteral("Attenzione !!!!\rNon esiste l'archivio ") + archivio.prefisso()
                                + QStringLiteral("sq47xxxx sul server ") + archivio.server()
                                + QStringLiteral("\rContattare la Tarvessa servizi"));
        QCOMPARE(box.stile, int(vbCritical));
        QCOMPARE(box.titolo, TITOLOCONTROLLO);
        QCOMPARE(store::presenza(archivio.luogoAnno()), store::Presenza::Assente);
        QVERIFY(!prova.modulo.DBANNO);
        QVERIFY(!prova.finestra.isVisible());
    }

    void annoCreatoDalTemplateSulServer()
    {
        // The year's database is made from the template by the server and
        // holds what it holds; the template has no front page, so the
        // front-page message follows and the program hands control back.
        SOLO_SERVER();
        ArchivioProva archivio;
        ProgrammaPrincipale principale;
        configura(archivio.cartella(), principale.percorso());
        QCOMPARE(store::presenza(archivio.luogoAnno()), store::Presenza::Assente);
        archivio.setArchivio(archivio.luogoTemplate());
        const QString modello = archivio.istantanea();

        FinestraProva prova;
        QVERIFY(!prova.avvia());
        QCOMPARE(MessageBox::shown().size(), 1);
        const auto box = MessageBox::shown().first();
        QCOMPARE(box.testo, QStringLiteral("Inserire prima il frontespizio per accedere al programma\r\r")
                                + TITOLOFINESTRA.trimmed());
        QCOMPARE(box.stile, int(vbInformation));
        QVERIFY(prova.finestra.scaricata());
        QVERIFY(!prova.modulo.DBANNO);
        QTRY_VERIFY(QFile::exists(principale.segno()));

        QCOMPARE(store::presenza(archivio.luogoAnno()), store::Presenza::Presente);
        archivio.setArchivio(archivio.luogoAnno());
        QCOMPARE(archivio.istantanea(), modello);
        // No file was made in the archive folder.
        QVERIFY(!QFile::exists(archivio.percorsoAnno()));
    }

    void prontoSulServer()
    {
        // An existing year's database with a front page: opened as it is.
        SOLO_SERVER();
        ArchivioProva archivio;
        archivio.creaAnno();
        archivio.aggiungiFrontespizio(QStringLiteral("001"), QStringLiteral("01234567897"));
        archivio.aggiungiSostituto(QStringLiteral("101"), QStringLiteral("12345678903"), {QStringLiteral("ALFA")});
        const QString prima = archivio.istantanea();
        configura(archivio.cartella());
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(prova.modulo.PREFISSOPOSTGRESQL, archivio.prefisso());
        QVERIFY(prova.modulo.DBANNO && prova.modulo.DBANNO->isOpen());
        QVERIFY2(prova.modulo.NOMEARCHIVIOANNO().startsWith(archivio.nomeAnno() + QStringLiteral(" (server ")),
                 qPrintable(prova.modulo.NOMEARCHIVIOANNO()));
        QCOMPARE(prova.righeLista().size(), 2);
        QVERIFY(prova.righeLista().at(1).startsWith(QStringLiteral("101 12345678903      ALFA")));
        prova.click(QStringLiteral("cmduscita(1)"));
        QVERIFY(!prova.modulo.DBANNO);
        QCOMPARE(archivio.istantanea(), prima);
    }

    void annoInaccessibileSulServer()
    {
        // The year's database exists but its connections are closed: it is
        // reported and left alone, never made again from the template.
        SOLO_SERVER();
        ArchivioProva archivio;
        archivio.creaAnno();
        archivio.setArchivio(store::Luogo::server(archivio.server(), QString()));
        archivio.esegui(QStringLiteral("ALTER DATABASE %1 ALLOW_CONNECTIONS false").arg(archivio.nomeAnno()));
        configura(archivio.cartella());
        FinestraProva prova;
        QVERIFY(!prova.avvia());
        QCOMPARE(MessageBox::shown().size(), 1);
        const auto box = MessageBox::shown().first();
        QVERIFY2(box.testo.startsWith(QStringLiteral("Attenzione !!!!\rImpossibile leggere l'archivio ")
                                      + archivio.nomeAnno()),
                 qPrintable(box.testo));
        QVERIFY(box.testo.contains(QStringLiteral("non è accessibile")));
        QCOMPARE(box.stile, int(vbCritical));
        QVERIFY(!prova.modulo.DBANNO);
        QCOMPARE(store::presenza(archivio.luogoAnno()), store::Presenza::Inaccessibile);
    }

    void serverIrraggiungibile()
    {
        // Nobody listens on port 1: a clear message at once, nothing opened.
        QTemporaryDir cartella;
        configura(cartella.path());
        const QString spento = QStringLiteral("host=127.0.0.1 port=1 user=anagsost");
        configuraServer(spento);
        FinestraProva prova;
        QVERIFY(!prova.avvia());
        QCOMPARE(MessageBox::shown().size(), 1);
        const auto box = MessageBox::shown().first();
        QVERIFY2(box.testo.startsWith(QStringLiteral("Attenzione !!!!\rImpossibile collegarsi al server PostgreSQL ")
                                      + spento + QStringLiteral("\r")),
                 qPrintable(box.testo));
        QVERIFY(box.testo.contains(QStringLiteral("\rControllare che il server sia avviato e raggiungibile.\r")));
        QVERIFY(box.testo.endsWith(QStringLiteral("\rContattare la Tarvessa servizi")));
        QCOMPARE(box.stile, int(vbCritical));
        QCOMPARE(box.titolo, TITOLOCONTROLLO);
        QVERIFY(!prova.modulo.DBANNO);
        QVERIFY(!prova.finestra.isVisible());
    }

    void accessoNegatoDalServer()
    {
        // A user the password file says nothing about: refused by the server.
        SOLO_SERVER();
        ArchivioProva archivio;
        archivio.creaAnno();
        configura(archivio.cartella());
        QString estraneo = archivio.server();
        estraneo.replace(QRegularExpression(QStringLiteral("user=\\S+")), QStringLiteral("user=estraneo"));
        configuraServer(estraneo, archivio.prefisso());
        FinestraProva prova;
        QVERIFY(!prova.avvia());
        QCOMPARE(MessageBox::shown().size(), 1);
        const auto box = MessageBox::shown().first();
        QVERIFY2(box.testo.startsWith(QStringLiteral("Attenzione !!!!\rIl server PostgreSQL ") + estraneo
                                      + QStringLiteral(" non consente l'accesso.\r")),
                 qPrintable(box.testo));
        QVERIFY(box.testo.contains(QStringLiteral(".pgpass")));
        QCOMPARE(box.stile, int(vbCritical));
        QVERIFY(!prova.modulo.DBANNO);
    }

    void configurazioneServerNonValida_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("prefisso");
        QTest::addColumn<QString>("valore");
        QTest::newRow("password in the configuration")
            << "host=127.0.0.1 user=anagsost password=segreta" << "" << "SERVERPOSTGRESQL";
        QTest::newRow("database name") << "host=127.0.0.1 dbname=s7702004" << "" << "SERVERPOSTGRESQL";
        QTest::newRow("prefix with capitals") << "host=127.0.0.1 user=anagsost" << "Studio" << "PREFISSOPOSTGRESQL";
    }
    void configurazioneServerNonValida()
    {
        // Refused before anything is asked of any server.
        QFETCH(QString, server);
        QFETCH(QString, prefisso);
        QFETCH(QString, valore);
        QTemporaryDir cartella;
        configura(cartella.path());
        configuraServer(server, prefisso);
        FinestraProva prova;
        QVERIFY(!prova.avvia());
        QCOMPARE(MessageBox::shown().size(), 1);
        const auto box = MessageBox::shown().first();
        QVERIFY2(box.testo.startsWith(QStringLiteral("Attenzione !!!!\rValore ") + valore
                                      + QStringLiteral(" della configurazione non valido:\r")),
                 qPrintable(box.testo));
        QVERIFY(!box.testo.contains(QStringLiteral("segreta")));
        QCOMPARE(box.stile, int(vbCritical));
        QVERIFY(!prova.modulo.DBANNO);
    }

    void uscitaChiudeERiconsegna()
    {
        ArchivioProva archivio;
        archivio.creaAnno();
        archivio.aggiungiFrontespizio(QStringLiteral("001"), QStringLiteral("01234567897"));
        ProgrammaPrincipale principale;
        configura(archivio.cartella(), principale.percorso());
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.click(QStringLiteral("cmduscita(1)"));
        QVERIFY(prova.finestra.scaricata());
        QVERIFY(!prova.finestra.isVisible());
        QVERIFY(!prova.modulo.DBANNO);
        QVERIFY(!prova.modulo.TABANAGSOST);
        QVERIFY(MessageBox::shown().isEmpty());
        QTRY_VERIFY(QFile::exists(principale.segno()));
    }

    void uscitaSenzaCartellaProgrammi()
    {
        ArchivioProva archivio;
        archivio.creaAnno();
        archivio.aggiungiFrontespizio(QStringLiteral("001"), QStringLiteral("01234567897"));
        configura(archivio.cartella(), QString());
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QCOMPARE(prova.modulo.PERCORSOPROGRAMMI, QString());
        prova.click(QStringLiteral("cmduscita(1)"));
        QVERIFY(prova.finestra.scaricata());
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void chiusuraDallaFinestraInSelezione()
    {
        ArchivioProva archivio;
        archivio.creaAnno();
        archivio.aggiungiFrontespizio(QStringLiteral("001"), QStringLiteral("01234567897"));
        configura(archivio.cartella());
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(prova.finestra.close());
        QVERIFY(prova.finestra.scaricata());
        QVERIFY(!prova.modulo.DBANNO);
    }
};

QTEST_MAIN(TestAvvio)
#include "tst_avvio.moc"
