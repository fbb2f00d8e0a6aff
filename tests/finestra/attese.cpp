// Another program holds the archive for more than a second while the operator
// saves, deletes, changes a codice fiscale or opens a lookup list: the window
// goes on processing its events (a timer fires, the wait is shown: the change
// of codice fiscale's own notice, else the wait line, with the busy pointer),
// refuses the operator's clicks meanwhile, and once the lock is gone the
// operation ends as it would have without waiting.
#include "support/finestraprova.h"
#include "support/programma.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QListWidget>
#include <QTimer>

namespace {

constexpr int ATTESA = 20000; // the window's wait for a lock: longer than the test's lock
constexpr int BLOCCO = 1200;  // how long the other program holds it

const QString NUOVOCF = "GLLNNA90A41H501W";
const Chiave ROSSI{"001", "RSSMRA75M15H501X"}, VERDI{"002", "VRDGPP70A01F205X"};

} // namespace

class TestAttese : public QObject {
    Q_OBJECT

private slots:

    void attesa_data()
    {
        QTest::addColumn<QString>("operazione");
        QTest::addColumn<bool>("esclusivo"); // nobody may even read: the lists wait too
        QTest::addColumn<QString>("avviso"); // what says the window is waiting
        QTest::newRow("save") << "memorizza" << false << "LabAttesa";
        QTest::newRow("deletion") << "cancella" << false << "LabAttesa";
        QTest::newRow("change of codice fiscale") << "cambia" << false << "Label2(15)";
        QTest::newRow("lookup list of provinces") << "province" << true << "LabAttesa";
    }
    void attesa()
    {
        QFETCH(QString, operazione);
        QFETCH(bool, esclusivo);
        QFETCH(QString, avviso);
        BancoProva prova(ATTESA);
        for (const Chiave& k : {ROSSI, VERDI})
            prova.sostituto(k);
        ArchivioProva* archivio = &prova.archivio;
        QVERIFY(prova.avvia());
        // What each operation leaves, from the fixture: the archive, the lookup list's lines.
        QString dopo = archivio->istantanea();
        qint64 voci = 0;
        QPushButton* uscita = prova.bottone("cmduscita(1)");
        QString bottone = "CMDAPRILIST(0)"; // what starts the operation
        if (operazione == "memorizza") {
            QVERIFY(prova.apri(ROSSI));
            prova.scrivi(9, "VIA NUOVA 2");
            dopo =
                archivio->istantaneaDopo("UPDATE ANAGSOSTITUTI SET ASOST_9 = 'VIA NUOVA 2' WHERE CFS = ?", {ROSSI.cfs});
            uscita = prova.bottone("cmduscita(0)");
            bottone = "cmdmemorizza";
        } else if (operazione == "cancella") {
            prova.clickLista(prova.rigaDi(ROSSI));
            bottone = "Cmdcancella";
            dopo = archivio->istantaneaDopo("DELETE FROM ANAGSOSTITUTI WHERE CFS = ?", {ROSSI.cfs});
        } else if (operazione == "cambia") {
            prova.clickLista(prova.rigaDi(ROSSI));
            prova.click("CmdCambia");
            QTest::keyClicks(prova.campo("Text2"), NUOVOCF);
            bottone = "CmdConfermaCF";
            dopo = archivio->istantaneaDopo("UPDATE ANAGSOSTITUTI SET CFS = ? WHERE CFS = ?", {NUOVOCF, ROSSI.cfs});
        } else {
            QVERIFY(prova.apri(ROSSI));
            voci = archivio->conta("SELECT COUNT(*) FROM TABMIN_PROV");
            uscita = prova.bottone("cmduscita(0)");
        }
        azzeraMessaggi();

        auto blocco = archivio->blocca(esclusivo);
        QWidget* segnale = prova.controllo<QWidget>(avviso);
        // The wait line only where the operation has no notice of its own.
        QWidget* riga = avviso == "LabAttesa" ? nullptr : prova.controllo<QWidget>("LabAttesa");
        int scatti = 0, mostrato = 0;
        QTimer orologio;
        QObject::connect(&orologio, &QTimer::timeout, [&] {
            if (++scatti == 1)
                QTest::mouseClick(uscita, Qt::LeftButton); // refused: the window stays
            if (segnale->isVisible() && QApplication::overrideCursor() && !(riga && riga->isVisible()))
                ++mostrato;
        });
        QTimer rilascio; // gone with the case, whatever ends it
        rilascio.setSingleShot(true);
        QObject::connect(&rilascio, &QTimer::timeout, [&] { blocco.reset(); });
        rilascio.start(BLOCCO);
        orologio.start(100);
        QElapsedTimer tempo;
        tempo.start();
        prova.click(bottone);
        const qint64 atteso = tempo.elapsed();
        orologio.stop();

        QVERIFY2(atteso >= BLOCCO - 100, qPrintable(QString::number(atteso)));
        QVERIFY2(scatti >= 8, qPrintable(QString::number(scatti)));
        QCOMPARE(mostrato, scatti);
        QVERIFY(!segnale->isVisible());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!prova.finestra.scaricata());
        QVERIFY(!blocco);
        // The operation as without the wait.
        QCOMPARE(archivio->istantanea(), dopo);
        if (voci > 0) {
            QVERIFY(prova.controllo<QGroupBox>("Framecodif")->isVisible());
            QCOMPARE(prova.controllo<QListWidget>("ListTabmin")->count(), int(voci));
        }
        const QStringList mostrati = testiMostrati();
        if (operazione == "cancella")
            QCOMPARE(mostrati.value(mostrati.size() - 1), "Cancellazione effettuata");
        else if (operazione == "cambia")
            QVERIFY2(mostrati.value(mostrati.size() - 1).contains("Cambio codice fiscale eseguito !"),
                     qPrintable(mostrati.join('|')));
        else
            QCOMPARE(mostrati, QStringList());
    }
};

PROVA(TestAttese);
#include "attese.moc"
