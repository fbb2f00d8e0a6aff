// The selection list: line format, the three orders, single and double click,
// the header of the substitute opened.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "window/aspetto.h"
#include "window/selezione.h"
#include "window/textbox.h"

#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QtTest>

namespace {

// The expected line, column by column: code (1-3), codice fiscale (5-20),
// name (22-66), blanks between and after.
QString attesa(const QString& codazi, const QString& cf, const QString& nome)
{
    return (codazi + ' ' + cf.leftJustified(16) + ' ' + nome.left(45)).leftJustified(66);
}

} // namespace

class TestSelezione : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }

    void init()
    {
        azzeraMessaggi();
        archivio = std::make_unique<ArchivioProva>();
        archivio->creaAnno();
        archivio->aggiungiFrontespizio("001", "01234567897", {}, {}, "ALFA SRL");
        // Out of every order on purpose (two ROSSI in reverse order of first name);
        // 015 has empty names, 030 Null ones.
        const QList<QVariantList> sostituti = {
            {"120", "VRDGPP70A01F205X", "ROSSI", "PAOLO"},
            {"007", "12345678903", "ROSSI", "MARIO"},
            {"015", "BNCLCU80A01H501Z", "", ""},
            {"030", "02345678906", QVariant(), QVariant()},
            {"044", "ALTGNN60B02L219K", "ABCDEFGHIJKLMNOPQRSTUVWXYZABCD", "EFGHIJKLMNOPQRSTUVWX"},
            {"050", "03456789014", "  BETA SPA ", ""}};
        for (const QVariantList& s : sostituti)
            archivio->aggiungiSostituto(s[0].toString(), s[1].toString(), s.mid(2));
        configura(archivio->cartella());
    }
    void cleanup() { archivio.reset(); }

    void righeEOrdinamenti()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QString marcatore = QStringLiteral("Anagrafica con dati da integrare");
        QCOMPARE(prova.righeLista(),
                 (QStringList{"------------ INSERIMENTO NUOVA ANAGRAFICA SOSTITUTO ------------",
                              attesa("007", "12345678903", "ROSSI MARIO"), attesa("015", "BNCLCU80A01H501Z", marcatore),
                              attesa("030", "02345678906", marcatore),
                              attesa("044", "ALTGNN60B02L219K", "ABCDEFGHIJKLMNOPQRSTUVWXYZABCD EFGHIJKLMNOPQR"),
                              attesa("050", "03456789014", "BETA SPA "),
                              attesa("120", "VRDGPP70A01F205X", "ROSSI PAOLO")}));

        // By codice fiscale, by surname and first name (Null first, then as stored), by code.
        const QList<QPair<const char*, QStringList>> ordini = {
            {"Option1(1)", {"030", "050", "007", "044", "015", "120"}},
            {"Option1(2)", {"030", "015", "050", "044", "007", "120"}},
            {"Option1(0)", {"007", "015", "030", "044", "050", "120"}}};
        for (const auto& [bottone, codici] : ordini) {
            QTest::mouseClick(prova.controllo<QRadioButton>(bottone), Qt::LeftButton);
            QStringList visti;
            for (const QString& riga : prova.righeLista().mid(1))
                visti << riga.left(3);
            QCOMPARE(visti, codici);
        }
    }

    void altroProgrammaCambiaLArchivio()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QStringList prima = prova.righeLista();
        // The file locked: the rebuild is refused with a message and the list
        // keeps its lines, insertion entry included.
        {
            const auto blocco = archivio->blocca(true);
            QTest::mouseClick(prova.controllo<QRadioButton>(QStringLiteral("Option1(1)")), Qt::LeftButton);
        }
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().stile, int(vbCritical));
        QVERIFY(MessageBox::shown().first().testo.startsWith(QStringLiteral("Attenzione !!!")));
        QCOMPARE(prova.righeLista(), prima);
        QVERIFY(!prova.modulo.TABSQL);
        // A substitute deleted meanwhile: its double click does nothing, silently.
        archivio->esegui(QStringLiteral("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '120'"));
        prova.doppioClickLista(prova.rigaDi("120", "VRDGPP70A01F205X"));
        QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("FrmSelezione"))->isVisible());
        QVERIFY(!prova.controllo<QGroupBox>(QStringLiteral("Frmmoduli(0)"))->isVisible());
        QCOMPARE(MessageBox::shown().size(), 1);
        // All deleted, the file free: the rebuild leaves the insertion entry alone.
        archivio->esegui(QStringLiteral("DELETE FROM ANAGSOSTITUTI"));
        QTest::mouseClick(prova.controllo<QRadioButton>(QStringLiteral("Option1(2)")), Qt::LeftButton);
        QCOMPARE(prova.righeLista(), QStringList{PRIMARIGA});
    }

    void clickEDoppioClickSullaPrimaRiga()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        // How many of the two buttons acting on a picked substitute are enabled.
        const auto bottoni = [&] {
            return prova.bottone("Cmdcancella")->isEnabled() + prova.bottone("CmdCambia")->isEnabled();
        };
        QCOMPARE(bottoni(), 2);
        prova.clickLista(0);
        QCOMPARE(bottoni(), 0);
        prova.clickLista(3);
        QCOMPARE(bottoni(), 2);
        QCOMPARE(prova.finestra.testoSelezionato(), prova.lista()->item(3)->text());
        // The arrow keys move the pick, which counts as a click.
        QTest::keyClick(prova.lista(), Qt::Key_Home);
        QCOMPARE(bottoni(), 0);
        QTest::keyClick(prova.lista(), Qt::Key_Down);
        QCOMPARE(bottoni(), 2);
        // A rebuild drops the pick.
        QTest::mouseClick(prova.controllo<QRadioButton>(QStringLiteral("Option1(2)")), Qt::LeftButton);
        QCOMPARE(prova.finestra.testoSelezionato(), QString());

        // The first line opens the insertion frame, every field empty and
        // white (also when opened again), the focus on the company code.
        auto* inserimento = prova.controllo<QGroupBox>(QStringLiteral("FrmInserimento"));
        prova.doppioClickLista(0);
        QTest::keyClicks(prova.campo(QStringLiteral("TEXTCF")), QStringLiteral("ABC"));
        prova.campo(QStringLiteral("TextCOGNO"))->setBackColor(GIALLO);
        prova.doppioClickLista(0);
        QVERIFY(inserimento->isVisible());
        for (const char* nome : {"TEXTAZI", "TEXTCF", "TextCOGNO", "TextNOME", "TextAZICOL"}) {
            QCOMPARE(prova.campo(nome)->text(), QString());
            QCOMPARE(prova.campo(nome)->BackColor(), BIANCO);
        }
        QCOMPARE(QApplication::focusWidget(), prova.campo(QStringLiteral("TEXTAZI")));
        prova.clickLista(2); // a click on a substitute hides it
        QVERIFY(!inserimento->isVisible());
    }

    void doppioClickApreLaTestata()
    {
        // An empty first name leaves one trailing blank after the name.
        for (const auto& [codazi, cfs, denominazione] : {std::tuple{"007", "12345678903", " ROSSI MARIO"},
                                                         std::tuple{"050", "03456789014", "   BETA SPA  "}}) {
            FinestraProva prova;
            QVERIFY(prova.avvia());
            prova.doppioClickLista(prova.rigaDi(codazi, cfs));
            QVERIFY(!prova.controllo<QGroupBox>(QStringLiteral("FrmSelezione"))->isVisible());
            for (const char* frame : {"Frmmoduli(0)", "Frmbottoni", "Frmtestata"})
                QVERIFY2(prova.controllo<QGroupBox>(frame)->isVisible(), frame);
            const auto testo = [&prova](const char* etichetta) { return prova.controllo<QLabel>(etichetta)->text(); };
            QCOMPARE(testo("LabAZI") + testo("LabCF") + testo("LabCOGNODEN"),
                     QString(" ") + codazi + " " + cfs + denominazione);
            QCOMPARE(prova.finestra.CODAZISOST + prova.finestra.CFSSOST, QString(codazi) + cfs);
            QCOMPARE(prova.modulo.VARIAZIONI, 0);
        }
    }
};

QTEST_MAIN(TestSelezione)
#include "tst_selezione.moc"
