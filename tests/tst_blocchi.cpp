// The year's database locked by another process, as another program of the
// suite would hold it, while the operator saves the data sheet (its checks
// read the archive before the save writes it). After the window's bounded
// wait the operator reads a message, nothing stored has changed, what was
// typed is still on screen, and the same save goes through once the lock is
// gone (here: let go while the window waits). A deletion or a change of
// codice fiscale the store refuses is their own tests' (tst_cancella,
// tst_cambiacf): the wait is the store's, the same for every operation.
#include "schedaprova.h"

#include <QProcess>

namespace {

const QString ROSSI = "RSSMRA80A01H501U";
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
        archivio = scheda::annoProva();
        archivio->aggiungiSostituto("101", ROSSI, {"ROSSI", "MARIO", "M", "19800101", "ROMA", "RM", "ROMA", "RM",
                                                   "VIA ROMA 1", "001"});
    }

    void salvataggioBloccato()
    {
        FinestraProva prova(ATTESA);
        QVERIFY(prova.avvia());
        prova.doppioClickLista(prova.rigaDi("101", ROSSI));
        TextBox* campo = prova.campo("Text1(9)");
        QTest::mouseClick(campo, Qt::LeftButton);
        QTest::keyClick(campo, Qt::Key_End);
        QTest::keyClicks(campo, " B");
        const QString prima = archivio->istantanea();
        const QString salvato = archivio->istantaneaDopo("UPDATE ANAGSOSTITUTI SET ASOST_9 = 'VIA ROMA 1 B'");
        {
            const auto altro = altroProgramma(archivio->percorsoAnno(), ATTESA + 1000);
            QVERIFY(altro);
            QElapsedTimer tempo;
            tempo.start();
            prova.click("cmdmemorizza");
            QVERIFY2(tempo.elapsed() >= ATTESA - 20, qPrintable(QString::number(tempo.elapsed())));
            QCOMPARE(testiMostrati().size(), 1);
            QVERIFY(testiMostrati().first().contains("in uso da un altro programma"));
            QCOMPARE(campo->text(), "VIA ROMA 1 B"); // still on screen, ready for another try
            QVERIFY(altro->waitForFinished(30000));
        }
        QCOMPARE(archivio->istantanea(), prima);
        // Taken again, let go while the window waits: the save goes through.
        azzeraMessaggi();
        const auto altro = altroProgramma(archivio->percorsoAnno(), 300);
        QVERIFY(altro);
        prova.click("cmdmemorizza");
        QVERIFY(altro->waitForFinished(30000));
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(archivio->istantanea(), salvato);
    }
};

QTEST_MAIN(TestBlocchi)
#include "tst_blocchi.moc"
