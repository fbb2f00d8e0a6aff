// Saving the data sheet from the window: the field refused highlighted with
// the focus in it, what the checks clear shown on the sheet, the sheet
// reloaded from the row saved, the moves in key order, a save the store
// refuses. The checks' order and the rows written are the core's
// (tst_registro_memorizza).
#include "schedaprova.h"

#include "registry/testi.h"

using namespace scheda;

namespace {

const QString OCCUPATO = "Attenzione !!! L'archivio è in uso da un altro programma della procedura.\r"
                         "L'operazione non è stata eseguita.\rRiprovare fra qualche istante.",
              PIENO = "Attenzione !!! Il disco dell'archivio è pieno.\rNessun dato è stato registrato.\r"
                      "Liberare spazio sul disco e ripetere l'operazione.";
// Fields retyped with real keys ("n=text"); the field refused (0: saved); the box's text; the sheet afterwards
// (a refused field marked "*").
using Caso = std::tuple<QStringList, int, QString, QString>;

} // namespace

class TestMemorizza : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }
    void init() { archivio = nuovoArchivio(); }

    void memorizzazione_data()
    {
        QTest::addColumn<Caso>("caso");
        // The disabled linked-company field is emptied and cannot take the focus.
        QTest::newRow("linked company") << Caso{{}, 10, registro::testi::COLLEGATASENZAFRONTESPIZIO,
                                                "NERI|PAOLO|M|15/08/1975|TORINO|TO|TORINO|TO|VIA PO 1|*"};
        // A company's birth data go from the sheet even when a later check refuses it.
        QTest::newRow("company") << Caso{{"2=", "7="}, 7, registro::testi::INSERIRECOMUNE,
                                         "ROSSI|||00/00/0000|||*|MI|VIA ROMA 1|001"};
        // Reloaded from the row: upper case as typed, the linked company in key form.
        QTest::newRow("saved") << Caso{{"1=de' santìs", "9=via indipendenza 10"}, 0, "",
                                       "DE' SANTÌS|MARIO|M|15/08/1975|ROMA|RM|MILANO|MI|VIA INDIPENDENZA 10|001"};
        QTest::newRow("saved, linked company stored as 7") << Caso{{"4=15081975"}, 0, "",
                                                                   "NERI|PAOLO|M|15/08/1975|TORINO|TO|TORINO|TO|VIA PO 1|007"};
    }
    void memorizzazione()
    {
        QFETCH(Caso, caso);
        const auto& [cambi, n, messaggio, attesa] = caso;
        FinestraProva prova;
        const bool neri = attesa.startsWith("NERI");
        QVERIFY(apri(prova, neri ? NERI : ROSSI));
        if (neri && n == 10)
            archivio->esegui("DELETE FROM FRONTESPIZIO WHERE CODAZI = '007'");
        if (neri) // NERI's date is Null: typed for the checks to pass
            riscrivi(prova, 4, "15081975");
        for (const QString& c : cambi)
            riscrivi(prova, c.section('=', 0, 0).toInt(), c.section('=', 1));
        prova.click("cmdmemorizza");

        QCOMPARE(testiScheda(prova), attesa);
        QCOMPARE(testiMostrati(), n ? QStringList{messaggio} : QStringList());
        if (n)
            QCOMPARE(MessageBox::shown().first().stile, n == 10 ? int(vbCritical) : int(vbInformation));
        QCOMPARE(prova.finestra.focusWidget()->objectName(),
                 n == 0 || n == 10 ? QString("cmdmemorizza") : QString("Text1(%1)").arg(n));
        QCOMPARE(prova.modulo.VARIAZIONI, n ? 1 : 0);
        QCOMPARE(prova.modulo.ERRORECAMPI, n ? 1 : 0);
        QCOMPARE(prova.controllo<QLabel>("LabCOGNODEN")->text(), " " + attesa.section('|', 0, 0) + " "
                 + (n ? (neri ? "PAOLO" : "MARIO") : attesa.section('|', 1, 1)));
    }

    void spostamenti()
    {
        // Key order, not the list's name order (VERDI is last by name); at the end a message and the same
        // substitute. Which substitute comes next is the core's.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QTest::mouseClick(prova.controllo<QWidget>("Option1(2)"), Qt::LeftButton); // the list in name order
        QVERIFY(apri(prova, VERDI));
        prova.click("cmdparcsuc");
        QVERIFY(mostra(prova, BIANCHI));
        prova.click("cmdparcsuc");
        prova.click("cmdparcsuc");
        QVERIFY(mostra(prova, NERI));
        QCOMPARE(testiMostrati(), QStringList{"Ultima Anagrafica"});
    }

    // The save refused by another program writing and, with SQLite's own
    // means, by a full disk, whichever way it was asked for: a critical
    // message, every typed value kept, the sheet still to be saved. Once the
    // fault is gone the same save goes through.
    void salvataggioRifiutato_data()
    {
        QTest::addColumn<bool>("disco"); // else another program writing; saved by Yes to the question, or the button
        QTest::newRow("another program writing, on leaving") << false;
        QTest::newRow("disk full, by the button") << true;
    }
    void salvataggioRifiutato()
    {
        QFETCH(bool, disco);
        const QString via = disco ? "cmdmemorizza" : "cmduscita(0)";
        if (disco)
            SOLO_FILE("SQLite's page limit");
        FinestraProva prova;
        QVERIFY(apri(prova, ROSSI));
        if (disco) { // the file may not grow, its substitutes' page filled: the longer row needs one more
            const qint64 pagine = archivio->conta("PRAGMA page_count");
            prova.modulo.DBANNO->Execute(QString("PRAGMA max_page_count = %1").arg(pagine));
            for (int passo = 1024; passo > 0; passo /= 2)
                try {
                    prova.modulo.DBANNO->Execute("INSERT INTO ANAGSOSTITUTI (CODAZI, CFS, ASOST_1) VALUES ('9', ?, ?)",
                               {QString::number(passo), QString(passo, 'X')});
                } catch (const store::ErroreArchivio&) {
                }
        }
        riscrivi(prova, 9, "strada provinciale per correggio 12"); // a longer row
        const QString digitati = testiScheda(prova);
        auto blocco = disco ? nullptr : archivio->blocca(false);
        prova.click(via);
        blocco.reset();
        if (disco)
            prova.modulo.DBANNO->Execute("PRAGMA max_page_count = 1000000");
        QCOMPARE(testiMostrati(), (disco ? QStringList() : QStringList{DOMANDA}) << (disco ? PIENO : OCCUPATO));
        QCOMPARE(MessageBox::shown().last().stile, int(vbCritical));
        QVERIFY(mostra(prova, ROSSI));
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        QCOMPARE(testiScheda(prova), digitati);
        azzeraMessaggi();
        prova.click("cmdmemorizza");
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(campo(prova, 9)->text(), "STRADA PROVINCIALE PER CORREGGIO 12");
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
    }
};

QTEST_MAIN(TestMemorizza)
#include "tst_memorizza.moc"
