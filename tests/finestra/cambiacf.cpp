// Change of codice fiscale from the window: the frame and what it disables,
// the entry field, each outcome's boxes, focus and highlight, the list
// rebuilt. The checks and the rows re-keyed are the core's (tst_registro); a
// refusal of the store, the faults' table's (rifiuti.cpp).
#include "support/finestraprova.h"
#include "support/programma.h"

#include "registry/testi.h"
#include "window/aspetto.h"

#include <QLabel>

namespace {

const Chiave ROSSI{"101", "RSSMRA80A01H501U"}, BIANCHI{"105", "BNCLCU80A01H501Q"}, PIVA{"103", "12345678903"};
const QString NUOVOCF = "AAAAAA00A00A000I"; // formally correct, nobody's yet

QString box(int stile, const QString& testo)
{
    return QString::number(stile) + ':' + testo;
}

// The substitute picked (none: no codazi), the code typed, the boxes, the frame after: closed, open, open with
// the field highlighted, open with the focus elsewhere.
enum Dopo { CHIUSA, APERTA, EVIDENZIATA, ALTROVE };
struct Caso {
    Chiave k;
    QString digitato;
    QStringList boxes;
    Dopo dopo;
};

} // namespace

Q_DECLARE_METATYPE(Caso)

class TestCambiaCf : public QObject {
    Q_OBJECT

    std::unique_ptr<BancoProva> p;

    // The enabled states of the list, the two buttons and the three options.
    QString abilitati()
    {
        QString stato;
        for (const char* nome : {"List1", "Cmdcancella", "CmdCambia", "Option1(0)", "Option1(1)", "Option1(2)"})
            stato += p->controllo<QWidget>(nome)->isEnabled() ? "1" : "0";
        return stato;
    }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }
    void init()
    {
        p = std::make_unique<BancoProva>();
        p->archivio.aggiungiFrontespizio("002", "98765432103", {}, {}, "DELTA SPA");
        p->sostituto(ROSSI, {"10=1"});
        p->sostituto(PIVA, {"1=BETA SPA", "2=", "10=002"});
        p->sostituto(BIANCHI, {"1=BIANCHI", "2=LUCA", "10=9"});
        QVERIFY(p->avvia());
    }
    void cleanup() { p.reset(); }

    void apertura()
    {
        // The frame names the substitute picked; Annulla closes it and gives the selection back.
        p->clickLista(p->rigaDi(ROSSI));
        p->click("CmdCambia");
        QVERIFY(p->visibile("FrameCambiaCf"));
        QCOMPARE(p->controllo<QLabel>("Label2(11)")->text(), ROSSI.cfs);
        QCOMPARE(p->controllo<QLabel>("Label2(16)")->text(), " Azienda:101 c.f. " + ROSSI.cfs);
        QCOMPARE(p->controllo<QLabel>("Label2(7)")->text(), " Rag.soc.:ROSSI MARIO");
        QCOMPARE(abilitati(), "000000");
        p->click("CmdAnnullaCF");
        QVERIFY(!p->visibile("FrameCambiaCf"));
        QCOMPARE(abilitati(), "111111");
        QCOMPARE(p->box(), QStringList());
    }

    void conferma_data()
    {
        QTest::addColumn<Caso>("c");
        const QString fatto = box(vbInformation, "Per il sostituto 101 " + ROSSI.cfs +
                                                     " ROSSI MARIO\r\rCambio codice "
                                                     "fiscale eseguito !\r\rNuovo codice fiscale " +
                                                     NUOVOCF);
        const QString proseguo =
            box(vbYesNo + vbCritical, "Il codice fiscale del sostituto selezionato sara' cambiato\r\rProseguo ???");
        QTest::newRow("changed") << Caso{ROSSI, NUOVOCF.toLower(), {proseguo, fatto}, CHIUSA};
        QTest::newRow("No to Proseguo") << Caso{ROSSI, NUOVOCF, {proseguo}, CHIUSA};
        QTest::newRow("nothing picked") << Caso{
            {},
            "",
            {box(vbInformation, "Nessuna anagrafica sostituto selezionata per il cambio codice fiscale")},
            CHIUSA};
        QTest::newRow("blank") << Caso{ROSSI, "  ", {}, APERTA};
        QTest::newRow("in use") << Caso{
            ROSSI, "98765432103", {box(vbCritical, registro::testi::CFFRONTESPIZIO)}, APERTA};
        QTest::newRow("no front page for the linked company")
            << Caso{BIANCHI, NUOVOCF, {box(vbCritical, registro::testi::NESSUNDICHIARANTE)}, ALTROVE};
        QTest::newRow("removed meanwhile")
            << Caso{ROSSI, NUOVOCF, {box(vbCritical, registro::testi::SOSTITUTOSPARITO)}, CHIUSA};
        QTest::newRow("partita IVA wrong, No")
            << Caso{PIVA,
                    "12345678900",
                    {box(vbYesNo + vbQuestion, "Partita IVA formalmente errata\r\rVuoi proseguire ugualmente ?")},
                    EVIDENZIATA};
    }
    void conferma()
    {
        QFETCH(Caso, c);
        const QByteArray caso = QTest::currentDataTag();
        const bool cambia = caso == "changed";
        p->modulo.VARIAZIONI = 1;
        if (!c.k.codazi.isEmpty())
            p->clickLista(p->rigaDi(c.k));
        p->click("CmdCambia");
        if (caso == "removed meanwhile") // by another program
            p->archivio.esegui("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '101'");
        MessageBox::setNextAnswer(cambia ? vbYes : vbNo);
        if (p->visibile("FrameCambiaCf")) {
            QTest::keyClicks(p->campo("Text2"), c.digitato);
            p->click("CmdConfermaCF");
        }

        QCOMPARE(p->box(), c.boxes);
        QCOMPARE(p->visibile("FrameCambiaCf"), c.dopo != CHIUSA);
        QCOMPARE(abilitati(), c.dopo == CHIUSA ? "111111" : "000000");
        TextBox* campo = p->campo("Text2");
        QCOMPARE(campo->BackColor(), c.dopo == EVIDENZIATA ? GIALLO : BIANCO);
        QCOMPARE(QApplication::focusWidget() == campo, c.dopo != CHIUSA && c.dopo != ALTROVE);
        QCOMPARE(p->modulo.VARIAZIONI, cambia || c.k.codazi.isEmpty() ? 1 : 0);
        // The list rebuilt after a change, or after finding the substitute gone.
        QCOMPARE(p->rigaDi({"101", NUOVOCF}) > 0, cambia);
        QCOMPARE(p->rigaDi(ROSSI) > 0, !cambia && caso != "removed meanwhile");
        QVERIFY(!p->visibile("Label2(15)"));
        QVERIFY(!QApplication::overrideCursor());
        QTest::keyClicks(campo, "1"); // the highlight goes with a change
        QCOMPARE(campo->BackColor(), BIANCO);
    }
};

PROVA(TestCambiaCf);
#include "cambiacf.moc"
