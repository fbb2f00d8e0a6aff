// The check of the archive in the real window: its button in the selection
// frame's free space, the findings and their count, a finding's data sheet
// opened by double click or Return and the way back to the findings, checked
// again; orphan rows and an archive with nothing to report. What the check
// finds is the core's (tst_registro_verifica).
#include "support/finestraprova.h"
#include "support/programma.h"

#include "lib/archiviodemo.h"
#include "support/csvprova.h"
#include "window/dialoghi.h"

#include <QLabel>
#include <QTreeWidget>

namespace {

const QString SENZASCHEDA =
    "64:Per l'azienda 005 e il codice fiscale X1 non c'è un'anagrafica sostituto da aprire: le righe dei quadri "
    "vanno ricondotte a un sostituto inserito o cancellate dal programma che le ha scritte.";
const QString NESSUNA =
    "64:Verifica completata: nessuna anomalia nelle anagrafiche sostituti e nelle righe dei quadri.";
const QString SALVARE = "35:Sono state effettuate delle variazioni\rSalvare ?";
const QString ORFANE = "005|X1||Righe dei quadri senza anagrafica sostituto: 1 in QUADROST";

} // namespace

class TestVerifica : public QObject {
    Q_OBJECT

    std::unique_ptr<BancoProva> p;
    QString verdi, neri; // VERDI lacks the sex, NERI the province of residence

    QTreeWidget* lista() { return p->controllo<QTreeWidget>("ListVerifica"); }
    // What is in view: the findings (their columns joined by '|', the one picked marked ">"), the data sheet of a
    // substitute, or the selection.
    QStringList inVista()
    {
        if (p->controllo<QWidget>("Frmmoduli(0)")->isVisible())
            return {"scheda " + p->finestra.STATO.CODAZISOST.trimmed() + ' ' + p->finestra.STATO.CFSSOST.trimmed()};
        if (!p->controllo<QWidget>("FrmVerifica")->isVisible())
            return {p->controllo<QWidget>("FrmSelezione")->isVisible() ? "selezione" : "niente"};
        QStringList r;
        for (int i = 0; i < lista()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* v = lista()->topLevelItem(i);
            r << (v == lista()->currentItem() ? ">" : "") +
                     QStringList{v->text(0), v->text(1), v->text(2), v->text(3)}.join('|');
        }
        return r;
    }
    void invio(int riga)
    {
        lista()->setCurrentItem(lista()->topLevelItem(riga));
        QTest::keyClick(lista(), Qt::Key_Return);
    }
    // The data sheet's field n retyped, then "Altra anagrafica", saving.
    void correggi(int n, const QString& testo)
    {
        p->scrivi(n, testo);
        MessageBox::setNextAnswer(vbYes);
        p->click("cmdselprec");
    }

private slots:
    void initTestCase()
    {
        verdi = strumenti::codiceFiscale("VERDI", "GIUSEPPE", QDate(1970, 1, 1), 'M', "F205");
        neri = strumenti::codiceFiscale("NERI", "PAOLO", QDate(1960, 3, 10), 'M', "L219");
        p = std::make_unique<BancoProva>();
        p->archivio.aggiungiSostituto(
            "002", verdi, {"VERDI", "GIUSEPPE", "", "19700101", "MILANO", "MI", "MILANO", "MI", "VIA", "001"});
        p->archivio.aggiungiSostituto("010", neri,
                                      {"NERI", "PAOLO", "M", "19600310", "TORINO", "TO", "TORINO", "", "VIA", "001"});
        p->archivio.aggiungiRigaQuadro("QUADROST", "005", "01234567897", "X1");
        QVERIFY(p->avvia());
    }
    void cleanupTestCase() { p.reset(); }

    void bottoneNelloSpazioLibero()
    {
        // Inside the selection frame, over none of its controls; locked with the list while a code is changed.
        QPushButton* bottone = p->bottone("CmdVerifica");
        QWidget* selezione = p->controllo<QWidget>("FrmSelezione");
        QStringList sopra;
        for (const QWidget* altro : selezione->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (altro != bottone && altro->geometry().intersects(bottone->geometry()))
                sopra << altro->objectName();
        QCOMPARE(sopra, QStringList());
        QVERIFY(bottone->parentWidget() == selezione && selezione->rect().contains(bottone->geometry()));
        QCOMPARE(bottone->text(), "Verifica...");
        p->clickLista(1);
        p->click("CmdCambia");
        QVERIFY(!bottone->isEnabled());
        p->click("CmdAnnullaCF");
        QVERIFY(bottone->isEnabled());
    }

    // The findings shown, written to a file and printed: each one once, in the list's order, with its kind.
    void esportaEStampa()
    {
        azzeraMessaggi();
        p->click("CmdVerifica");
        QTemporaryDir cartella;
        const QString csv = cartella.filePath("verifica.csv"), pdf = cartella.filePath("verifica.pdf");
        Dialoghi::setNextFile(csv, 1);
        p->click("CmdEsportaVerifica");
        Dialoghi::setNextPdf(pdf);
        p->click("CmdStampaVerifica");
        p->click("CmdChiudiVerifica");

        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(leggiCsv(file.readAll()),
                 (QList<QStringList>{
                     {"Codice azienda", "Codice fiscale", "Denominazione/Nominativo", "Segnalazione", "Da correggere"},
                     {"002", verdi, "VERDI GIUSEPPE", "dati mancanti", "Dati mancanti: sesso"},
                     {"005", "X1", "", "righe dei quadri senza anagrafica",
                      "Righe dei quadri senza anagrafica sostituto: 1 in QUADROST"},
                     {"010", neri, "NERI PAOLO", "dati mancanti", "Dati mancanti: provincia di residenza"}}));
        QCOMPARE(p->box(), QStringList{"64:Esportazione effettuata\r\r3 segnalazioni scritte nel file\r" +
                                       QDir::toNativeSeparators(csv)});
        const QString stampato = pdftotext(pdf);
        QVERIFY(stampato.contains("3 segnalazioni: dati mancanti 2, righe dei quadri senza anagrafica 1"));
        for (const QString& codice : {verdi, QString("X1"), neri})
            QCOMPARE(stampato.count(codice), 1);
    }

    void percorso_data()
    {
        QTest::addColumn<int>("passo");
        QTest::addColumn<QStringList>("vista");
        QTest::addColumn<QStringList>("mostrati"); // the boxes the step showed
        const QString v = "002|" + verdi + "|VERDI GIUSEPPE|Dati mancanti: sesso";
        const QString n = "010|" + neri + "|NERI PAOLO|Dati mancanti: provincia di residenza";
        // One road through the findings, each step from where the one before left the window.
        QTest::newRow("Verifica...: the findings, the first picked")
            << 0 << QStringList{">" + v, ORFANE, n} << QStringList();
        QTest::newRow("Return on rows without substitute: why no sheet")
            << 1 << QStringList{v, ">" + ORFANE, n} << QStringList{SENZASCHEDA};
        QTest::newRow("double click: its sheet") << 2 << QStringList{"scheda 002 " + verdi} << QStringList();
        QTest::newRow("put right, saved on leaving: back, checked again, the next one picked")
            << 3 << QStringList{">" + ORFANE, n} << QStringList{SALVARE};
        QTest::newRow("Return: its sheet") << 4 << QStringList{"scheda 010 " + neri} << QStringList();
        QTest::newRow("left unchanged: back, the same one picked")
            << 5 << QStringList{ORFANE, ">" + n} << QStringList();
        QTest::newRow("Torna all'elenco") << 6 << QStringList{"selezione"} << QStringList();
        QTest::newRow("the last one put right: nothing left, the selection")
            << 7 << QStringList{"selezione"} << QStringList{SALVARE, NESSUNA};
        QTest::newRow("Verifica... with nothing to report") << 8 << QStringList{"selezione"} << QStringList{NESSUNA};
    }
    void percorso()
    {
        QFETCH(int, passo);
        QFETCH(QStringList, vista);
        QFETCH(QStringList, mostrati);
        azzeraMessaggi();
        if (passo == 0 || passo == 8)
            p->click("CmdVerifica");
        if (passo == 0)
            QCOMPARE(p->controllo<QLabel>("LabRiepilogoVerifica")->text(),
                     "3 segnalazioni: dati mancanti 2, righe dei quadri senza anagrafica 1");
        if (passo == 1 || passo == 4)
            invio(1);
        if (passo == 2)
            clickVoce(lista(), 0, true);
        if (passo == 3)
            correggi(3, "M");
        if (passo == 5)
            p->click("cmdselprec");
        if (passo == 6)
            p->click("CmdChiudiVerifica");
        if (passo == 7) {
            p->archivio.esegui("DELETE FROM QUADROST");
            p->click("CmdVerifica");
            clickVoce(lista(), 0, true);
            correggi(8, "TO");
        }
        QCOMPARE(inVista(), vista);
        QCOMPARE(p->box(), mostrati);
    }
};

PROVA(TestVerifica);
#include "verifica.moc"
