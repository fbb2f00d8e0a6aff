// Deletion from the window: the line picked, the two confirmations, the
// list rebuilt without the substitute, a refusal of the store reported with
// the substitute still picked, a substitute gone meanwhile. Which rows go is
// the core's (tst_registro_cancella); the real box, its icon and buttons,
// tst_aspetto's.
#include "schedaprova.h"

#include "registry/testi.h"

using scheda::box;

namespace {

const QString ROSSI = "RSSMRA80A01H501U";
const QString NONCANCELLATO = "\r\rIl sostituto selezionato non è stato cancellato: nessun dato è stato eliminato.";

} // namespace

class TestCancella : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> prova;

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
    }
    void cleanup() { prova.reset(); archivio.reset(); }

    // The questions answered Yes up to the first No; what happens meanwhile; the box after two Yes.
    void cancellazione_data()
    {
        QTest::addColumn<int>("si");
        QTest::addColumn<QString>("intanto");
        QTest::addColumn<QString>("esito");
        QTest::newRow("No") << 0 << "" << "";
        QTest::newRow("Yes, No") << 1 << "" << "";
        QTest::newRow("deleted") << 2 << "" << box(vbInformation, "Cancellazione effettuata");
        QTest::newRow("refused by the store") << 2 << "impedita" << box(vbCritical, "..." + NONCANCELLATO);
        // Removed by another workstation after the list was read: nothing deleted, the list as it is now.
        QTest::newRow("gone meanwhile") << 2 << "sparita" << box(vbCritical, registro::testi::SOSTITUTONONPRESENTE);
    }
    void cancellazione()
    {
        QFETCH(int, si);
        QFETCH(QString, intanto);
        QFETCH(QString, esito);
        const QString riga = prova->righeLista().at(1);
        const bool via = si == 2 && intanto != "impedita"; // the line goes
        QStringList attesi{box(vbYesNo + vbCritical, riga.trimmed() + "\r\rVuoi cancellare il sostituto selezionato ?"
                                   "\r\rRispondendo affermativamente si cancelleranno tutti\ri quadri: lavoro "
                                   "dipendente, lavoro autonomo, quadro ST ,\re anagrafiche percettori lavoro "
                                   "dipendente\r"),
                           box(vbYesNo + vbCritical,
                               "Il sostituto selezionato sara' definitivamente cancellato\r\rProseguo ???")};
        attesi = attesi.mid(0, si + 1);
        if (!esito.isEmpty())
            attesi << esito;
        prova->clickLista(1);
        prova->modulo.VARIAZIONI = 1;
        if (intanto == "impedita")
            archivio->impedisci("DELETE", "QUADROLAUT");
        if (intanto == "sparita")
            archivio->esegui("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '101'");
        MessageBox::setNextAnswer(si > 0 ? vbYes : vbNo);
        MessageBox::setNextAnswer(si > 1 ? vbYes : vbNo);
        prova->click("Cmdcancella");

        QCOMPARE(scheda::boxMostrati(*prova, NONCANCELLATO), attesi);
        // The list rebuilt without the substitute picked; the one with the same codice fiscale in another
        // company stays.
        QCOMPARE(prova->rigaDi("101", ROSSI) > 0, !via);
        QCOMPARE(prova->rigaDi("102", ROSSI) > 0, true);
        QCOMPARE(prova->finestra.testoSelezionato(), via ? QString() : riga);
        QCOMPARE(prova->modulo.VARIAZIONI, via ? 1 : 0); // a refusal clears it
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestCancella)
#include "tst_cancella.moc"
