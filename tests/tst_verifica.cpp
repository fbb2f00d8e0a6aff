// The check of the archive in the real window: its button in the selection
// frame's free space, the findings and their count, a finding's data sheet
// opened by double click or Return and the way back to the findings, checked
// again; orphan rows and an archive with nothing to report. What the check
// finds is the core's (tst_registro_verifica).
#include "schedaprova.h"

#include "lib/archiviodemo.h"

#include <QHeaderView>
#include <QTreeWidget>

using namespace scheda;

namespace {

// In order: VERDI lacks the sex, rows under 005 have no substitute, NERI lacks
// the province of residence. Codes made on first use (the checks' tables are
// not there while globals are built).
struct Codici {
    QString rossi = strumenti::codiceFiscale("ROSSI", "MARIO", QDate(1975, 8, 15), 'M', "H501");
    QString verdi = strumenti::codiceFiscale("VERDI", "GIUSEPPE", QDate(1970, 1, 1), 'M', "F205");
    QString neri = strumenti::codiceFiscale("NERI", "PAOLO", QDate(1960, 3, 10), 'M', "L219");
};
const Codici& codici()
{
    static const Codici c;
    return c;
}
QString lineaVerdi()
{
    return "002|" + codici().verdi + "|VERDI GIUSEPPE|Dati mancanti: sesso";
}
const QString LINEAORFANE = "005|X1||Righe dei quadri senza anagrafica sostituto: 1 in QUADROST";
QString lineaNeri()
{
    return "010|" + codici().neri + "|NERI PAOLO|Dati mancanti: provincia di residenza";
}
const QString SENZASCHEDA =
    "64:Per l'azienda 005 e il codice fiscale X1 non c'è un'anagrafica sostituto da aprire: le righe dei quadri "
    "vanno ricondotte a un sostituto inserito o cancellate dal programma che le ha scritte.";
const QString NESSUNA =
    "64:Verifica completata: nessuna anomalia nelle anagrafiche sostituti e nelle righe dei quadri.";
const QString SALVARE = "35:" + DOMANDA;

std::unique_ptr<ArchivioProva> archivio()
{
    auto a = annoProva();
    a->aggiungiSostituto("001", codici().rossi,
                         {"ROSSI", "MARIO", "M", "19750815", "ROMA", "RM", "MILANO", "MI", "VIA ROMA 1", "001"});
    a->aggiungiSostituto("002", codici().verdi,
                         {"VERDI", "GIUSEPPE", "", "19700101", "MILANO", "MI", "MILANO", "MI", "VIA VERDI 9", "001"});
    a->aggiungiSostituto("010", codici().neri,
                         {"NERI", "PAOLO", "M", "19600310", "TORINO", "TO", "TORINO", "", "VIA PO 1", "001"});
    a->aggiungiRigaQuadro("QUADROST", "005", "01234567897", "X1");
    return a;
}

} // namespace

class TestVerifica : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;
    std::unique_ptr<FinestraProva> p;

    QTreeWidget* lista() { return p->controllo<QTreeWidget>("ListVerifica"); }
    // The frame in view: the findings, the data sheet of a substitute, or the selection.
    QString inVista()
    {
        if (p->controllo<QWidget>("FrmVerifica")->isVisible())
            return "FrmVerifica";
        if (p->controllo<QWidget>("Frmmoduli(0)")->isVisible())
            return "scheda " + p->finestra.STATO.CODAZISOST.trimmed() + ' ' + p->finestra.STATO.CFSSOST.trimmed();
        return p->controllo<QWidget>("FrmSelezione")->isVisible() ? "FrmSelezione" : "nessuno";
    }
    // The findings' lines, their columns joined by '|', the one picked marked ">".
    QStringList righe()
    {
        QStringList r;
        for (int i = 0; i < lista()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* v = lista()->topLevelItem(i);
            r << (v == lista()->currentItem() ? ">" : "") + v->text(0) + '|' + v->text(1) + '|' + v->text(2) + '|' +
                     v->text(3);
        }
        return r;
    }
    void doppioClick(int riga)
    {
        const QPoint punto = lista()->visualItemRect(lista()->topLevelItem(riga)).center();
        QTest::mouseClick(lista()->viewport(), Qt::LeftButton, {}, punto);
        QTest::mouseDClick(lista()->viewport(), Qt::LeftButton, {}, punto);
    }
    void invio(int riga)
    {
        lista()->setCurrentItem(lista()->topLevelItem(riga));
        QTest::keyClick(lista(), Qt::Key_Return);
    }
    // The data sheet's field n retyped, saved when leaving it.
    void correggi(int n, const QString& testo)
    {
        riscrivi(*p, n, testo);
        MessageBox::setNextAnswer(vbYes);
        p->click("cmdselprec");
    }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
        a = archivio();
        p = std::make_unique<FinestraProva>();
        QVERIFY(p->avvia());
    }
    void cleanupTestCase()
    {
        p.reset();
        a.reset();
    }

    void bottoneNelloSpazioLibero()
    {
        // Inside the selection frame, over none of its controls; locked with the list while a code is changed.
        QPushButton* bottone = p->bottone("CmdVerifica");
        QWidget* selezione = p->controllo<QWidget>("FrmSelezione");
        QCOMPARE(bottone->parentWidget(), selezione);
        QVERIFY(selezione->rect().contains(bottone->geometry()));
        QStringList sopra;
        for (const QWidget* altro : selezione->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (altro != bottone && altro->geometry().intersects(bottone->geometry()))
                sopra << altro->objectName();
        QCOMPARE(sopra, QStringList());
        QCOMPARE(bottone->text(), "Verifica...");
        p->clickLista(p->rigaDi("001", codici().rossi));
        p->click("CmdCambia");
        QVERIFY(!bottone->isEnabled());
        p->click("CmdAnnullaCF");
        QVERIFY(bottone->isEnabled());
    }

    void percorso_data()
    {
        QTest::addColumn<int>("passo");
        QTest::addColumn<QString>("vista");
        QTest::addColumn<QStringList>("attese");   // the findings' lines in view
        QTest::addColumn<QStringList>("mostrati"); // the boxes the step showed
        // One road through the findings, each step from where the one before left the window.
        QTest::newRow("Verifica...: the findings, the first picked")
            << 0 << QString("FrmVerifica") << QStringList{">" + lineaVerdi(), LINEAORFANE, lineaNeri()}
            << QStringList();
        QTest::newRow("Return on rows without substitute: no sheet, why")
            << 1 << QString("FrmVerifica") << QStringList{lineaVerdi(), ">" + LINEAORFANE, lineaNeri()}
            << QStringList{SENZASCHEDA};
        QTest::newRow("double click: its data sheet")
            << 2 << "scheda 002 " + codici().verdi << QStringList() << QStringList();
        QTest::newRow("put right and saved on leaving: back, checked again, the next one picked")
            << 3 << QString("FrmVerifica") << QStringList{">" + LINEAORFANE, lineaNeri()} << QStringList{SALVARE};
        QTest::newRow("Return: its data sheet") << 4 << "scheda 010 " + codici().neri << QStringList() << QStringList();
        QTest::newRow("left unchanged: back, the same finding picked")
            << 5 << QString("FrmVerifica") << QStringList{LINEAORFANE, ">" + lineaNeri()} << QStringList();
        QTest::newRow("Torna all'elenco") << 6 << QString("FrmSelezione") << QStringList() << QStringList();
        QTest::newRow("the last one put right on its sheet: nothing left, the selection")
            << 7 << QString("FrmSelezione") << QStringList() << QStringList{SALVARE, NESSUNA};
        QTest::newRow("Verifica... with nothing to report: the box, the selection stays")
            << 8 << QString("FrmSelezione") << QStringList() << QStringList{NESSUNA};
    }
    void percorso()
    {
        QFETCH(int, passo);
        QFETCH(QString, vista);
        QFETCH(QStringList, attese);
        QFETCH(QStringList, mostrati);
        azzeraMessaggi();
        switch (passo) {
        case 0:
            p->click("CmdVerifica");
            QCOMPARE(p->controllo<QLabel>("LabRiepilogoVerifica")->text(),
                     "3 segnalazioni: dati mancanti 2, righe dei quadri senza anagrafica 1");
            break;
        case 1:
            invio(1);
            break;
        case 2:
            doppioClick(0);
            break;
        case 3:
            correggi(3, "M");
            break;
        case 4:
            invio(1);
            break;
        case 5:
            p->click("cmdselprec");
            break;
        case 6:
            p->click("CmdChiudiVerifica");
            break;
        case 7:
            a->esegui("DELETE FROM QUADROST");
            p->click("CmdVerifica");
            doppioClick(0);
            correggi(8, "TO");
            break;
        case 8:
            p->click("CmdVerifica");
            break;
        }
        QCOMPARE(inVista(), vista);
        if (vista == "FrmVerifica")
            QCOMPARE(righe(), attese);
        QCOMPARE(boxMostrati(*p), mostrati);
    }
};

QTEST_MAIN(TestVerifica)
#include "tst_verifica.moc"
