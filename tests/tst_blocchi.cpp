// The year's database locked by another process, as another program of the
// suite would hold it, while the operator saves the data sheet,
// deletes or changes a codice fiscale. After the window's bounded wait the
// operator reads a message, nothing stored has changed, what was typed is
// still on screen, and the same action goes through once the lock is gone
// (here: let go while the window waits).
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "window/textbox.h"

#include <QtTest>

namespace {

const QString ROSSI = "RSSMRA80A01H501U", NUOVOCF = "VRDGPP70A01F205V", DICHIARANTE = "01234567897";
constexpr int ATTESA = 3000; // the window's wait for a lock

// Another program of the suite holding the file for `perMs`, so that nobody may even read it.
std::unique_ptr<QProcess> altroProgramma(const QString& percorso, int perMs)
{
    auto processo = std::make_unique<QProcess>();
    processo->start(ANAGSOST_FIGLIO, {"blocca", percorso, QString::number(perMs)});
    QByteArray uscita;
    while (!uscita.contains("BLOCCATO\n") && processo->waitForReadyRead(30000))
        uscita += processo->readAllStandardOutput();
    return uscita.contains("BLOCCATO\n") ? std::move(processo) : nullptr;
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
        for (const char* bottone : {"cmdmemorizza", "Cmdcancella", "CmdConfermaCF"})
            QTest::newRow(bottone) << bottone;
    }
    void operazioneBloccata()
    {
        QFETCH(QString, bottone);
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
            const auto altro = altroProgramma(archivio->percorsoAnno(), ATTESA + 1000);
            QVERIFY(altro);
            QElapsedTimer tempo;
            tempo.start();
            prova.click(bottone);
            QVERIFY2(tempo.elapsed() >= ATTESA - 20, qPrintable(QString::number(tempo.elapsed())));
            QVERIFY(!testiMostrati().isEmpty() && testiMostrati().last().contains("in uso da un altro programma"));
            if (campo) // still on screen, ready for another try
                QCOMPARE(campo->text(), digitato);
            QVERIFY(altro->waitForFinished(30000) && altro->exitCode() == 0);
        }
        QCOMPARE(archivio->istantanea(), prima);

        // Taken again, let go while the window waits: the action goes through.
        azzeraMessaggi();
        const auto altro = altroProgramma(archivio->percorsoAnno(), 300);
        QVERIFY(altro);
        prova.click(bottone);
        QVERIFY(altro->waitForFinished(30000) && altro->exitCode() == 0);
        // Deleted with its section row, or both under the new code, or the address typed saved.
        QCOMPARE(archivio->conta("SELECT (SELECT COUNT(*) FROM ANAGSOSTITUTI) + (SELECT COUNT(*) FROM QUADROLDIP1)"),
                 bottone == "Cmdcancella" ? 0 : 2);
        const QVariantList atteso{cambio ? NUOVOCF : ROSSI, scheda ? digitato : "VIA ROMA 1"};
        QCOMPARE(archivio->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI JOIN QUADROLDIP1 USING (CODAZI, CFS) "
                                 "WHERE CFS = ? AND ASOST_9 = ?", atteso), bottone == "Cmdcancella" ? 0 : 1);
    }
};

QTEST_MAIN(TestBlocchi)
#include "tst_blocchi.moc"
