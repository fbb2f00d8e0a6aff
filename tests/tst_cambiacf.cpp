// Change of codice fiscale from the window: the frame and what it disables,
// the entry field, each outcome's boxes, focus and highlight, the list
// rebuilt. The checks and the rows re-keyed are the core's (tst_registro_cambiacf).
#include "schedaprova.h"

#include "registry/testi.h"

namespace {

const QString ROSSI = "RSSMRA80A01H501U", BIANCHI = "BNCLCU80A01H501Q", PIVA = "12345678903";
const QString NUOVOCF = "AAAAAA00A00A000I"; // formally correct, nobody's yet
const QString PROSEGUO = "Il codice fiscale del sostituto selezionato sara' cambiato\r\rProseguo ???";
const QString NONCAMBIATO = "\r\rIl codice fiscale non è stato cambiato: nessun dato è stato modificato.";
using scheda::box;

// The substitute picked (empty: none), the code typed, the boxes as "style:text", the frame after: closed,
// open, open with the field highlighted, open with the focus elsewhere.
enum Dopo { CHIUSA, APERTA, EVIDENZIATA, ALTROVE };
struct Caso { QString cfs, digitato; QStringList boxes; Dopo dopo; };

} // namespace

Q_DECLARE_METATYPE(Caso)

class TestCambiaCf : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> prova;

    QWidget* frame() { return prova->controllo<QWidget>("FrameCambiaCf"); }
    // The enabled states of the list, the two buttons and the three options.
    QString abilitati()
    {
        QString stato;
        for (const char* nome : {"List1", "Cmdcancella", "CmdCambia", "Option1(0)", "Option1(1)", "Option1(2)"})
            stato += prova->controllo<QWidget>(nome)->isEnabled() ? "1" : "0";
        return stato;
    }
    void apri(const QString& cfs)
    {
        prova->clickLista(prova->rigaDi(cfs == PIVA ? "103" : cfs == BIANCHI ? "105" : "101", cfs));
        prova->click("CmdCambia");
    }

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        archivio = scheda::annoProva(); // front page 001
        archivio->aggiungiFrontespizio("002", "98765432103", {}, {}, "DELTA SPA");
        archivio->aggiungiSostituto("101", ROSSI, {"ROSSI", "MARIO", "M", "19800101", "ROMA", "RM", "", "", "", "1"});
        archivio->aggiungiSostituto("103", PIVA, {"BETA SPA", "", "", "", "", "", "", "", "", "002"});
        archivio->aggiungiSostituto("105", BIANCHI, {"BIANCHI", "LUCA", "", "", "", "", "", "", "", "9"});
        prova = std::make_unique<FinestraProva>();
        QVERIFY(prova->avvia());
    }
    void cleanup() { prova.reset(); archivio.reset(); }

    void apertura()
    {
        // The frame names the substitute picked; Annulla closes it and gives the selection back. (The state of
        // the controls while it is open, its field's focus and capitals: conferma.)
        prova->clickLista(0); // the insertion entry (the button is disabled: its handler) does nothing
        prova->finestra.CmdCambia_Click();
        QVERIFY(!frame()->isVisible());
        apri(ROSSI);
        QCOMPARE(prova->controllo<QLabel>("Label2(11)")->text(), ROSSI);
        QCOMPARE(prova->controllo<QLabel>("Label2(16)")->text(), " Azienda:101 c.f. " + ROSSI);
        QCOMPARE(prova->controllo<QLabel>("Label2(7)")->text(), " Rag.soc.:ROSSI MARIO");
        prova->click("CmdAnnullaCF");
        QVERIFY(!frame()->isVisible());
        QCOMPARE(abilitati(), "111111");
        QVERIFY(testiMostrati().isEmpty());
    }

    void conferma_data()
    {
        QTest::addColumn<Caso>("c");
        const QString fatto = box(vbInformation, "Per il sostituto 101 " + ROSSI + " ROSSI MARIO\r\rCambio codice "
                                                  "fiscale eseguito !\r\rNuovo codice fiscale " + NUOVOCF);
        const QString proseguo = box(vbYesNo + vbCritical, PROSEGUO);
        QTest::newRow("changed") << Caso{ROSSI, NUOVOCF.toLower(), {proseguo, fatto}, CHIUSA};
        QTest::newRow("No to Proseguo") << Caso{ROSSI, NUOVOCF, {proseguo}, CHIUSA};
        QTest::newRow("nothing picked")
            << Caso{"", "", {box(vbInformation, "Nessuna anagrafica sostituto selezionata per il cambio codice fiscale")},
                    CHIUSA};
        QTest::newRow("blank") << Caso{ROSSI, "  ", {}, APERTA};
        QTest::newRow("in use") << Caso{ROSSI, "98765432103", {box(vbCritical, registro::testi::CFFRONTESPIZIO)}, APERTA};
        QTest::newRow("no front page for the linked company")
            << Caso{BIANCHI, NUOVOCF, {box(vbCritical, registro::testi::NESSUNDICHIARANTE)}, ALTROVE};
        QTest::newRow("removed meanwhile")
            << Caso{ROSSI, NUOVOCF, {box(vbCritical, registro::testi::SOSTITUTOSPARITO)}, CHIUSA};
        QTest::newRow("partita IVA wrong, No")
            << Caso{PIVA, "12345678900",
                    {box(vbYesNo + vbQuestion, "Partita IVA formalmente errata\r\rVuoi proseguire ugualmente ?")},
                    EVIDENZIATA};
        QTest::newRow("refused by the store")
            << Caso{ROSSI, NUOVOCF, {proseguo, box(vbCritical, "..." + NONCAMBIATO)}, APERTA};
    }
    void conferma()
    {
        QFETCH(Caso, c);
        const QByteArray caso = QTest::currentDataTag();
        prova->modulo.VARIAZIONI = 1;
        if (!c.cfs.isEmpty())
            apri(c.cfs);
        else
            prova->click("CmdCambia");
        if (caso == "removed meanwhile") // by another program
            archivio->esegui("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '101'");
        if (caso == "refused by the store")
            archivio->impedisci("UPDATE", "ANAGSOSTITUTI");
        const bool cambia = caso == "changed";
        MessageBox::setNextAnswer(cambia || caso == "refused by the store" ? vbYes : vbNo);
        if (frame()->isVisible()) {
            QTest::keyClicks(prova->campo("Text2"), c.digitato);
            prova->click("CmdConfermaCF");
        }

        QCOMPARE(scheda::boxMostrati(*prova, NONCAMBIATO), c.boxes);
        QCOMPARE(frame()->isVisible(), c.dopo != CHIUSA);
        QCOMPARE(abilitati(), c.dopo == CHIUSA ? "111111" : "000000");
        TextBox* campo = prova->campo("Text2");
        QCOMPARE(campo->BackColor(), c.dopo == EVIDENZIATA ? GIALLO : BIANCO);
        QCOMPARE(QApplication::focusWidget() == campo, c.dopo != CHIUSA && c.dopo != ALTROVE);
        QCOMPARE(prova->modulo.VARIAZIONI, cambia || c.cfs.isEmpty() ? 1 : 0);
        // The list rebuilt after a change, or after finding the substitute gone.
        QCOMPARE(prova->rigaDi("101", NUOVOCF) > 0, cambia);
        QCOMPARE(prova->rigaDi("101", ROSSI) > 0, !cambia && caso != "removed meanwhile");
        QVERIFY(!prova->controllo<QLabel>("Label2(15)")->isVisible());
        QVERIFY(!QApplication::overrideCursor());
        QTest::keyClicks(campo, "1"); // the highlight goes with a change
        QCOMPARE(campo->BackColor(), BIANCO);
    }
};

QTEST_MAIN(TestCambiaCf)
#include "tst_cambiacf.moc"
