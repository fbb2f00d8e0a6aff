// The year's database locked by another process, as another program of the
// suite would hold it (BEGIN EXCLUSIVE: nobody may even read; BEGIN IMMEDIATE:
// others may read, not write) while the operator saves the data sheet,
// deletes or changes a codice fiscale. After the window's bounded wait the
// operator reads a message, nothing stored has changed, what was typed is
// still on screen, and the same action goes through once the lock is gone
// (here: let go while the window waits).
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "window/textbox.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QProcess>
#include <QtTest>

namespace {

const QString ROSSI = "RSSMRA80A01H501U", NUOVOCF = "VRDGPP70A01F205V", DICHIARANTE = "01234567897";
constexpr int ATTESA = 3000; // the window's wait for a lock

// Another program of the suite holding the file, for `perMs` or until it reads a line.
std::unique_ptr<QProcess> altroProgramma(const QString& percorso, bool esclusivo, const QString& perMs = {})
{
    auto processo = std::make_unique<QProcess>();
    processo->start(ANAGSOST_FIGLIO, {"blocca", percorso, esclusivo ? "esclusivo" : "immediato", perMs});
    QByteArray uscita;
    while (!uscita.contains("BLOCCATO\n") && processo->waitForReadyRead(30000))
        uscita += processo->readAllStandardOutput();
    return uscita.contains("BLOCCATO\n") ? std::move(processo) : nullptr;
}

bool rilasciato(QProcess& processo)
{
    return processo.waitForFinished(30000) && processo.exitCode() == 0
        && processo.readAllStandardOutput().endsWith("RILASCIATO\n");
}

} // namespace

class TestBlocchi : public QObject {
    Q_OBJECT
    std::unique_ptr<ArchivioProva> archivio;

private slots:
    void initTestCase() { preparaAmbienteProva(); }
    void init()
    {
        azzeraMessaggi();
        archivio = std::make_unique<ArchivioProva>();
        archivio->creaAnno();
        archivio->aggiungiFrontespizio("001", DICHIARANTE, {}, {}, "ALFA SRL");
        archivio->aggiungiSostituto("101", ROSSI, {"ROSSI", "MARIO", "M", "19800101", "ROMA", "RM", "ROMA", "RM",
                                                   "VIA ROMA 1", "001"});
        archivio->aggiungiRigaQuadro("QUADROLDIP1", "101", DICHIARANTE, ROSSI);
        configura(archivio->cartella());
    }

    void operazioneBloccata_data()
    {
        QTest::addColumn<QString>("bottone");
        QTest::addColumn<bool>("esclusivo");
        for (const bool esclusivo : {true, false})
            for (const char* bottone : {"cmdmemorizza", "Cmdcancella", "CmdConfermaCF"})
                QTest::addRow("%s, %s", bottone, esclusivo ? "exclusive" : "immediate") << bottone << esclusivo;
    }
    void operazioneBloccata()
    {
        QFETCH(QString, bottone);
        QFETCH(bool, esclusivo);
        FinestraProva prova(ATTESA);
        QVERIFY(prova.avvia());
        const int riga = prova.rigaDi("101", ROSSI);
        const bool scheda = bottone == "cmdmemorizza", cambio = bottone == "CmdConfermaCF";
        scheda ? prova.doppioClickLista(riga) : prova.clickLista(riga);
        if (cambio)
            prova.click("CmdCambia");
        TextBox* campo = scheda ? prova.campo("Text1(9)") : cambio ? prova.campo("Text2") : nullptr;
        const QString digitato = scheda ? "VIA ROMA 1 B" : NUOVOCF;
        if (campo) {
            QTest::mouseClick(campo, Qt::LeftButton);
            QTest::keyClick(campo, Qt::Key_End);
            QTest::keyClicks(campo, scheda ? " B" : NUOVOCF);
        }
        const QString prima = archivio->istantanea();
        {
            const auto altro = altroProgramma(archivio->percorsoAnno(), esclusivo);
            QVERIFY(altro);
            QElapsedTimer tempo;
            tempo.start();
            prova.click(bottone);
            QVERIFY2(tempo.elapsed() >= ATTESA - 20, qPrintable(QString::number(tempo.elapsed())));
            QVERIFY(!testiMostrati().isEmpty() && testiMostrati().last().contains("in uso da un altro programma"));
            // Still on screen, ready for another try.
            if (campo)
                QCOMPARE(campo->text(), digitato);
            QCOMPARE(prova.modulo.VARIAZIONI, int(scheda));
            QCOMPARE(prova.controllo<QGroupBox>(cambio ? "FrameCambiaCf" : "Frmmoduli(0)")->isVisible(), !!campo);
            altro->write("\n");
            QVERIFY(rilasciato(*altro));
        }
        QCOMPARE(archivio->istantanea(), prima);

        // Taken again, let go while the window waits: the action goes through.
        azzeraMessaggi();
        const auto altro = altroProgramma(archivio->percorsoAnno(), esclusivo, "300");
        QVERIFY(altro);
        prova.click(bottone);
        QVERIFY(rilasciato(*altro));
        auto conta = [&](const QString& cfs) {
            return archivio->conta("SELECT COUNT(*) FROM (SELECT CFS FROM ANAGSOSTITUTI UNION ALL "
                                   "SELECT CFS FROM QUADROLDIP1) WHERE CFS = ?", {cfs});
        };
        QCOMPARE(conta(ROSSI), scheda ? 2 : 0);
        QCOMPARE(conta(NUOVOCF), cambio ? 2 : 0);
        QCOMPARE(archivio->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI WHERE ASOST_9 = ?", {digitato}), int(scheda));
    }
};

QTEST_MAIN(TestBlocchi)
#include "tst_blocchi.moc"
