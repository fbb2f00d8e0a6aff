// The selection list: its lines, which order each button gives, what a
// click and a double click on a line open. The orders themselves are the
// core's (tst_registro).
#include "support/finestraprova.h"
#include "support/programma.h"

#include "window/aspetto.h"

#include <QLabel>

namespace {

// By code 101, 102, 103; by codice fiscale 102, 103, 101; by name 103, 101, 102.
const Chiave BETA{"101", "CCCCCC80A01H501U"}, GAMMA{"102", "AAAAAA80A01H501U"}, ALFA{"103", "BBBBBB80A01H501U"};
} // namespace

class TestSelezione : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }

    void righe()
    {
        // Names trimmed, cut to their column; no name at all (empty or Null) marked; a code stored as it is.
        BancoProva p;
        const QString marca = "Anagrafica con dati da integrare";
        p.sostituto(BETA, {"1=  BETA SPA ", "2="});
        p.sostituto({"015", "12345678903"}, {"1=", "2="});
        p.sostituto({"030", "02345678906"}, {"1=NULL", "2=NULL"});
        p.sostituto({"7", "ALTGNN60B02L219K"}, {"1=ABCDEFGHIJKLMNOPQRSTUVWXYZABCD", "2=EFGHIJKLMNOPQRSTUVWX"});
        QVERIFY(p.avvia());
        QCOMPARE(p.righeLista(),
                 (QStringList{PRIMALINEA, lineaElenco("015", "12345678903", marca),
                              lineaElenco("030", "02345678906", marca), lineaElenco("101", BETA.cfs, "BETA SPA "),
                              lineaElenco("7", "ALTGNN60B02L219K", "ABCDEFGHIJKLMNOPQRSTUVWXYZABCD EFGHIJKLMNOPQR")}));
    }

    void ordini_data()
    {
        QTest::addColumn<int>("bottone");
        QTest::addColumn<QStringList>("codici");
        QTest::newRow("company code") << 0 << QStringList{"101", "102", "103"};
        QTest::newRow("codice fiscale") << 1 << QStringList{"102", "103", "101"};
        QTest::newRow("name") << 2 << QStringList{"103", "101", "102"};
    }
    void ordini()
    {
        QFETCH(int, bottone);
        QFETCH(QStringList, codici);
        BancoProva p;
        for (const auto& [k, nome] : {std::pair{BETA, "BETA"}, {GAMMA, "GAMMA"}, {ALFA, "ALFA"}})
            p.sostituto(k, {QString("1=") + nome});
        QVERIFY(p.avvia());
        QTest::mouseClick(p.controllo<QWidget>(QString("Option1(%1)").arg((bottone + 1) % 3)), Qt::LeftButton);
        QTest::mouseClick(p.controllo<QWidget>(QString("Option1(%1)").arg(bottone)), Qt::LeftButton);
        QStringList letti;
        for (const QString& riga : p.righeLista().mid(1))
            letti << riga.left(3);
        QCOMPARE(letti, codici);
    }

    void clickEDoppioClick()
    {
        BancoProva p;
        p.sostituto(BETA, {"1=BETA SPA", "2="});
        QVERIFY(p.avvia());
        const auto abilitati = [&p] {
            return QString::number(p.bottone("Cmdcancella")->isEnabled()) +
                   QString::number(p.bottone("CmdCambia")->isEnabled());
        };
        // The first line picked: nothing to delete or re-key; the arrow keys pick as a click does.
        p.clickLista(0);
        QCOMPARE(abilitati(), "00");
        QTest::keyClick(p.lista(), Qt::Key_Down);
        QCOMPARE(abilitati(), "11");
        // The first line opens the insertion frame, every field empty and white (also when opened again), the
        // focus on the company code; "Annulla" hides it, asking nothing and changing nothing.
        p.doppioClickLista(0);
        QTest::keyClicks(p.campo("TEXTCF"), "ABC");
        p.campo("TextCOGNO")->setBackColor(GIALLO);
        p.doppioClickLista(0);
        QVERIFY(p.visibile("FrmInserimento"));
        for (const char* nome : {"TEXTAZI", "TEXTCF", "TextCOGNO", "TextNOME", "TextAZICOL"})
            QCOMPARE(p.campo(nome)->text() + ' ' + QString::number(p.campo(nome)->BackColor()),
                     QString(" ") + QString::number(BIANCO));
        QCOMPARE(p.fuoco(), "TEXTAZI");
        p.click("CmdInserimento(1)");
        QVERIFY(!p.visibile("FrmInserimento"));
        QCOMPARE(p.box(), QStringList());
        QCOMPARE(p.modulo.VARIAZIONI, 0);
        // A substitute's line opens its sheet under the header: the name as stored, one blank for no first name.
        p.doppioClickLista(p.rigaDi(BETA));
        QVERIFY(p.mostra(BETA));
        for (const char* frame : {"Frmbottoni", "Frmtestata"})
            QVERIFY2(p.visibile(frame), frame);
        const auto testo = [&p](const char* etichetta) { return p.controllo<QLabel>(etichetta)->text(); };
        QCOMPARE(testo("LabAZI") + testo("LabCF") + testo("LabCOGNODEN"), " 101 " + BETA.cfs + " BETA SPA ");
        QCOMPARE(p.fuoco(), "Text1(1)");
    }
};

PROVA(TestSelezione);
#include "selezione.moc"
