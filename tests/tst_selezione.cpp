// The selection list: line format, the three orders, a rebuild refused by a
// locked file, single and double click, the header of the substitute opened.
#include "schedaprova.h"

#include <QRegularExpression>

class TestSelezione : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> prova;

    void ordina(int n) { QTest::mouseClick(prova->controllo<QWidget>(QString("Option1(%1)").arg(n)), Qt::LeftButton); }
    bool visibile(const char* frame) { return prova->controllo<QWidget>(frame)->isVisible(); }

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }

    void init()
    {
        archivio = scheda::annoProva();
        // Out of every order on purpose (two ROSSI in reverse order of first name);
        // 015 has empty names, 030 Null ones.
        const QList<QVariantList> sostituti = {
            {"120", "VRDGPP70A01F205X", "ROSSI", "PAOLO"}, {"007", "12345678903", "ROSSI", "MARIO"},
            {"015", "BNCLCU80A01H501Z", "", ""}, {"030", "02345678906", QVariant(), QVariant()},
            {"044", "ALTGNN60B02L219K", "ABCDEFGHIJKLMNOPQRSTUVWXYZABCD", "EFGHIJKLMNOPQRSTUVWX"},
            {"050", "03456789014", "  BETA SPA ", ""}};
        for (const QVariantList& s : sostituti)
            archivio->aggiungiSostituto(s[0].toString(), s[1].toString(), s.mid(2));
        prova = std::make_unique<FinestraProva>();
        QVERIFY(prova->avvia());
    }
    void cleanup() { prova.reset(); archivio.reset(); }

    void righeEOrdinamenti()
    {
        const QString marcatore = QStringLiteral("Anagrafica con dati da integrare");
        // Column by column: code (1-3), codice fiscale (5-20), name (22-66), blanks between and after.
        const auto attesa = [](const QString& codazi, const QString& cf, const QString& nome) {
            return (codazi + ' ' + cf.leftJustified(16) + ' ' + nome.left(45)).leftJustified(66);
        };
        QCOMPARE(prova->righeLista(),
                 (QStringList{"------------ INSERIMENTO NUOVA ANAGRAFICA SOSTITUTO ------------",
                              attesa("007", "12345678903", "ROSSI MARIO"), attesa("015", "BNCLCU80A01H501Z", marcatore),
                              attesa("030", "02345678906", marcatore),
                              attesa("044", "ALTGNN60B02L219K", "ABCDEFGHIJKLMNOPQRSTUVWXYZABCD EFGHIJKLMNOPQR"),
                              attesa("050", "03456789014", "BETA SPA "),
                              attesa("120", "VRDGPP70A01F205X", "ROSSI PAOLO")}));
        // Each button rebuilds the list in its own order (the orders themselves are the core's): by codice
        // fiscale, by name, by code.
        const QStringList ordini[] = {{"007", "015", "030", "044", "050", "120"},
                                      {"030", "050", "007", "044", "015", "120"},
                                      {"030", "015", "044", "050", "007", "120"}};
        for (const int opzione : {1, 2, 0}) {
            ordina(opzione);
            QCOMPARE(prova->righeLista().mid(1).replaceInStrings(QRegularExpression(" .*"), ""), ordini[opzione]);
        }
    }

    void ricostruzioneConArchivioBloccato()
    {
        // The rebuild is refused with a message and the list keeps its lines.
        const QStringList prima = prova->righeLista();
        const auto blocco = archivio->blocca(true);
        ordina(1);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().stile, int(vbCritical));
        QCOMPARE(prova->righeLista(), prima);
    }

    void clickEPrimaRiga()
    {
        const auto abilitati = [this] {
            return QString::number(prova->bottone("Cmdcancella")->isEnabled())
                + QString::number(prova->bottone("CmdCambia")->isEnabled());
        };
        prova->clickLista(0);
        QCOMPARE(abilitati(), "00");
        QTest::keyClick(prova->lista(), Qt::Key_Down); // the arrow keys move the pick, which counts as a click
        QCOMPARE(abilitati(), "11");
        // The first line opens the insertion frame, every field empty and white (also when opened again), the
        // focus on the company code; "Annulla" hides it, asking nothing and changing nothing. (A click on the
        // list closes it too: tst_aspetto.)
        prova->doppioClickLista(0);
        QTest::keyClicks(prova->campo("TEXTCF"), "ABC");
        prova->campo("TextCOGNO")->setBackColor(GIALLO);
        prova->doppioClickLista(0);
        QVERIFY(visibile("FrmInserimento"));
        for (const char* nome : {"TEXTAZI", "TEXTCF", "TextCOGNO", "TextNOME", "TextAZICOL"}) {
            QCOMPARE(prova->campo(nome)->text(), "");
            QCOMPARE(prova->campo(nome)->BackColor(), BIANCO);
        }
        QCOMPARE(QApplication::focusWidget(), prova->campo("TEXTAZI"));
        prova->click("CmdInserimento(1)");
        QVERIFY(!visibile("FrmInserimento"));
        QCOMPARE(MessageBox::shown().size(), 0);
        QCOMPARE(prova->modulo.VARIAZIONI, 0);
        // A double click on a substitute opens its sheet under the header: the name as stored, and one blank for
        // the empty first name.
        prova->doppioClickLista(prova->rigaDi("050", "03456789014"));
        QVERIFY(!visibile("FrmSelezione"));
        for (const char* frame : {"Frmmoduli(0)", "Frmbottoni", "Frmtestata"})
            QVERIFY2(visibile(frame), frame);
        const auto testo = [this](const char* etichetta) { return prova->controllo<QLabel>(etichetta)->text(); };
        QCOMPARE(testo("LabAZI") + testo("LabCF") + testo("LabCOGNODEN"), " 050 03456789014   BETA SPA  ");
    }
};

QTEST_MAIN(TestSelezione)
#include "tst_selezione.moc"
