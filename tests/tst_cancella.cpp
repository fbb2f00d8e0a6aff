// Deletion from the window: the line picked, the two confirmations, the
// list rebuilt without the substitute, a refusal of the store reported with
// the substitute still picked. Which rows go is the core's (tst_registro_cancella).
#include "schedaprova.h"

#include <QMessageBox>

namespace {

const QString ROSSI = "RSSMRA80A01H501U";
const QString NESSUNO = "Nessun sostituto selezionato per la cancellazione";

} // namespace

class TestCancella : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> prova;
    QString riga; // the substitute's line

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        archivio = scheda::annoProva();
        archivio->aggiungiSostituto("101", ROSSI, {"ROSSI", "MARIO"});
        archivio->aggiungiSostituto("102", ROSSI, {"ROSSI", "MARIO"});
        archivio->aggiungiRigaQuadro("QUADROLAUT", "101", "01234567897", ROSSI);
        prova = std::make_unique<FinestraProva>();
        QVERIFY(prova->avvia());
        riga = prova->lista()->item(1)->text();
        prova->clickLista(1);
        prova->modulo.VARIAZIONI = 1;
    }
    void cleanup() { prova.reset(); archivio.reset(); }

    // The answers Yes to both questions, No to the first or to the second.
    void conferme_data()
    {
        QTest::addColumn<int>("si");
        QTest::newRow("Yes, Yes") << 2;
        QTest::newRow("No") << 0;
        QTest::newRow("Yes, No") << 1;
    }
    void conferme()
    {
        QFETCH(int, si);
        MessageBox::setNextAnswer(si > 0 ? vbYes : vbNo);
        MessageBox::setNextAnswer(si > 1 ? vbYes : vbNo);
        prova->click("Cmdcancella");
        const QStringList domande{
            riga.trimmed() + "\r\rVuoi cancellare il sostituto selezionato ?\r\rRispondendo affermativamente si "
                             "cancelleranno tutti\ri quadri: lavoro dipendente, lavoro autonomo, quadro ST ,\re "
                             "anagrafiche percettori lavoro dipendente\r",
            "Il sostituto selezionato sara' definitivamente cancellato\r\rProseguo ???"};
        const bool fatta = si == 2;
        QCOMPARE(testiMostrati(), domande.mid(0, si + 1) + (fatta ? QStringList{"Cancellazione effettuata"} : QStringList()));
        for (int i = 0; i <= std::min(si, 1); ++i)
            QCOMPARE(MessageBox::shown().at(i).stile, vbYesNo + vbCritical);
        QCOMPARE(MessageBox::shown().last().stile, fatta ? int(vbInformation) : vbYesNo + vbCritical);
        QCOMPARE(prova->rigaDi("101", ROSSI) > 0, !fatta); // the list rebuilt without it
        QCOMPARE(prova->rigaDi("102", ROSSI) > 0, true);
        QCOMPARE(prova->finestra.testoSelezionato(), fatta ? "" : riga);
        QCOMPARE(prova->modulo.VARIAZIONI, fatta ? 1 : 0); // a refusal clears it
        QVERIFY(!QApplication::overrideCursor());
        if (!fatta)
            return;
        azzeraMessaggi(); // a second press before a new pick
        prova->click("Cmdcancella");
        QCOMPARE(testiMostrati(), QStringList{NESSUNO});
        QCOMPARE(MessageBox::shown().first().stile, int(vbInformation));
    }

    void rifiutata()
    {
        // The store refuses half-way: its message, then what was not done; nothing else changes on screen.
        archivio->impedisci("DELETE", "QUADROLAUT");
        prova->click("Cmdcancella");
        QCOMPARE(MessageBox::shown().size(), 3);
        QVERIFY2(testiMostrati().last().startsWith("Attenzione !!! Errore nell'archivio."), qPrintable(testiMostrati().last()));
        QVERIFY(testiMostrati().last().endsWith(
            "\r\rIl sostituto selezionato non è stato cancellato: nessun dato è stato eliminato."));
        QCOMPARE(MessageBox::shown().last().stile, int(vbCritical));
        QCOMPARE(prova->finestra.testoSelezionato(), riga);
        QCOMPARE(prova->modulo.VARIAZIONI, 0);
        QVERIFY(!QApplication::overrideCursor());
    }

    void sparitoNelFrattempo()
    {
        // Another workstation removed the substitute after the list was read: after the two questions the
        // operator is told, the list shows the registry as it is now, and nothing is deleted.
        archivio->esegui("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = ? AND CFS = ?", {"101", ROSSI});
        const QString prima = archivio->istantanea();
        prova->click("Cmdcancella");
        QCOMPARE(testiMostrati().size(), 3);
        QCOMPARE(testiMostrati().last(), "Attenzione !!! Anagrafica sostituto non più presente in archivio.");
        QCOMPARE(MessageBox::shown().last().stile, int(vbCritical));
        QCOMPARE(prova->rigaDi("101", ROSSI) > 0, false);
        QCOMPARE(prova->rigaDi("102", ROSSI) > 0, true);
        QCOMPARE(archivio->istantanea(), prima);
        QVERIFY(!QApplication::overrideCursor());
    }

    void boxReale()
    {
        // The first question as the operator sees it: stop icon, Yes and No, Yes the default, the window's caption.
        BoxReale visto;
        rispondiBoxReale(vbNo, &visto);
        prova->click("Cmdcancella");
        QCOMPARE(visto.icona, int(QMessageBox::Critical));
        QCOMPARE(visto.bottoni, (QStringList{QStringLiteral("Sì"), QStringLiteral("No")}));
        QCOMPARE(visto.predefinito, QStringLiteral("Sì"));
        QCOMPARE(visto.titolo, prova->finestra.windowTitle());
        QCOMPARE(visto.testo, riga.trimmed() + "\n\nVuoi cancellare il sostituto selezionato ?\n\nRispondendo "
                 "affermativamente si cancelleranno tutti\ni quadri: lavoro dipendente, lavoro autonomo, quadro ST ,"
                 "\ne anagrafiche percettori lavoro dipendente\n");
        QCOMPARE(prova->modulo.VARIAZIONI, 0);
    }

    void nessunaSelezione()
    {
        prova->lista()->setCurrentRow(-1, QItemSelectionModel::Clear);
        prova->click("Cmdcancella");
        QCOMPARE(testiMostrati(), QStringList{NESSUNO});
    }
};

QTEST_MAIN(TestCancella)
#include "tst_cancella.moc"
