// Deletion from the window: the line picked, the two confirmations, the
// list rebuilt without the substitute, a refusal of the store reported with
// the substitute still picked, a substitute gone meanwhile. Which rows go is
// the core's (tst_registro_cancella).
#include "schedaprova.h"

#include <QMessageBox>

namespace {

const QString ROSSI = "RSSMRA80A01H501U";

} // namespace

class TestCancella : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> prova;
    QString riga; // the substitute's line

    // The styles of the boxes shown.
    QList<int> stili()
    {
        QList<int> s;
        for (const auto& box : MessageBox::shown())
            s << box.stile;
        return s;
    }

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
        const int domanda = vbYesNo + vbCritical;
        QCOMPARE(testiMostrati(), domande.mid(0, si + 1) + QStringList{"Cancellazione effettuata"}.mid(0, fatta));
        QCOMPARE(stili(), QList<int>({domanda, domanda, vbInformation}).mid(0, std::min(si, 1) + 1 + fatta));
        QCOMPARE(prova->rigaDi("101", ROSSI) > 0, !fatta); // the list rebuilt without it
        QCOMPARE(prova->rigaDi("102", ROSSI) > 0, true);
        QCOMPARE(prova->finestra.testoSelezionato(), fatta ? "" : riga);
        QCOMPARE(prova->modulo.VARIAZIONI, fatta ? 1 : 0); // a refusal clears it
        QVERIFY(!QApplication::overrideCursor());
        if (!fatta)
            return;
        azzeraMessaggi(); // a second press before a new pick
        prova->click("Cmdcancella");
        QCOMPARE(testiMostrati(), QStringList{"Nessun sostituto selezionato per la cancellazione"});
        QCOMPARE(stili(), QList<int>{vbInformation});
    }

    void rifiutata()
    {
        // The store refuses half-way: its message, then what was not done; nothing else changes on screen.
        archivio->impedisci("DELETE", "QUADROLAUT");
        prova->click("Cmdcancella");
        QCOMPARE(stili(), QList<int>({vbYesNo + vbCritical, vbYesNo + vbCritical, vbCritical}));
        const QString testo = testiMostrati().last();
        QVERIFY2(testo.startsWith("Attenzione !!! Errore nell'archivio."), qPrintable(testo));
        QVERIFY(testo.endsWith("\r\rIl sostituto selezionato non è stato cancellato: nessun dato è stato eliminato."));
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
        QCOMPARE(stili(), QList<int>({vbYesNo + vbCritical, vbYesNo + vbCritical, vbCritical}));
        QCOMPARE(testiMostrati().last(), "Attenzione !!! Anagrafica sostituto non più presente in archivio.");
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
        QVERIFY(visto.testo.startsWith(riga.trimmed() + "\n\nVuoi cancellare il sostituto selezionato ?\n"));
        QCOMPARE(prova->modulo.VARIAZIONI, 0);
    }
};

QTEST_MAIN(TestCancella)
#include "tst_cancella.moc"
