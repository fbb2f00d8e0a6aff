// Start-up and shutdown against temporary archives: configuration, template,
// year's database, front-page precondition, second instance, hand-back.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include <QFile>
#include <QGroupBox>
#include <QMessageBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

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
    void initTestCase() { preparaAmbienteProva(); }
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
        QCOMPARE(contenuto(archivio.percorsoAnno()), prima);
        QTRY_VERIFY(QFile::exists(principale.segno()));
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
