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

// Builds the expected line column by column, independently of the program.
QString attesa(const QString& codazi, const QString& cf, const QString& nome)
{
    QString riga(66, QLatin1Char(' '));
    riga.replace(0, 3, codazi);
    riga.replace(4, cf.size(), cf);
    riga.replace(21, qMin<qsizetype>(nome.size(), 45), nome.left(45));
    return riga;
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
        archivio->aggiungiFrontespizio(QStringLiteral("001"), QStringLiteral("01234567897"), {}, {},
                                       QStringLiteral("ALFA SRL"));
        // Inserted out of every order on purpose.
        archivio->aggiungiSostituto(QStringLiteral("120"), QStringLiteral("VRDGPP70A01F205X"),
                                    {QStringLiteral("VERDI"), QStringLiteral("GIUSEPPE")});
        archivio->aggiungiSostituto(QStringLiteral("007"), QStringLiteral("12345678903"),
                                    {QStringLiteral("ROSSI"), QStringLiteral("MARIO")});
        archivio->aggiungiSostituto(QStringLiteral("015"), QStringLiteral("BNCLCU80A01H501Z"),
                                    {QString(), QString()});
        archivio->aggiungiSostituto(QStringLiteral("030"), QStringLiteral("02345678906"), {QVariant(), QVariant()});
        archivio->aggiungiSostituto(QStringLiteral("044"), QStringLiteral("ALTGNN60B02L219K"),
                                    {QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZABCD"),
                                     QStringLiteral("EFGHIJKLMNOPQRSTUVWX")});
        archivio->aggiungiSostituto(QStringLiteral("050"), QStringLiteral("03456789014"),
                                    {QStringLiteral("  BETA SPA "), QString()});
        configura(archivio->cartella());
    }
    void cleanup() { archivio.reset(); }

    void righePerCodiceAzienda()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QStringList righe = prova.righeLista();
        QCOMPARE(righe.size(), 7);
        QCOMPARE(righe[0], QStringLiteral("------------ INSERIMENTO NUOVA ANAGRAFICA SOSTITUTO ------------"));
        QCOMPARE(righe[1], attesa("007", "12345678903", "ROSSI MARIO"));
        QCOMPARE(righe[2], attesa("015", "BNCLCU80A01H501Z", "Anagrafica con dati da integrare"));
        QCOMPARE(righe[3], attesa("030", "02345678906", "Anagrafica con dati da integrare"));
        QCOMPARE(righe[4], attesa("044", "ALTGNN60B02L219K", "ABCDEFGHIJKLMNOPQRSTUVWXYZABCD EFGHIJKLMNOPQR"));
        QCOMPARE(righe[5], attesa("050", "03456789014", "BETA SPA "));
        QCOMPARE(righe[6], attesa("120", "VRDGPP70A01F205X", "VERDI GIUSEPPE"));
        for (int i = 1; i < righe.size(); ++i)
            QCOMPARE(righe[i].size(), 66);
        // Column by column for the partita IVA: code, blank, 11 digits and 5 blanks, blank, name.
        QCOMPARE(righe[1].mid(0, 3), QStringLiteral("007"));
        QCOMPARE(righe[1].mid(3, 1), QStringLiteral(" "));
        QCOMPARE(righe[1].mid(4, 16), QStringLiteral("12345678903     "));
        QCOMPARE(righe[1].mid(20, 1), QStringLiteral(" "));
        QCOMPARE(righe[1].mid(21).trimmed(), QStringLiteral("ROSSI MARIO"));
    }

    void ordinamenti()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        auto codici = [&prova] {
            QStringList c;
            for (const QString& riga : prova.righeLista().mid(1))
                c.append(riga.left(3));
            return c;
        };
        QTest::mouseClick(prova.controllo<QRadioButton>(QStringLiteral("Option1(1)")), Qt::LeftButton);
        QCOMPARE(codici(), (QStringList{"030", "050", "007", "044", "015", "120"}));
        QTest::mouseClick(prova.controllo<QRadioButton>(QStringLiteral("Option1(2)")), Qt::LeftButton);
        // Null names first, then by surname and first name as stored.
        QCOMPARE(codici(), (QStringList{"030", "015", "050", "044", "007", "120"}));
        QTest::mouseClick(prova.controllo<QRadioButton>(QStringLiteral("Option1(0)")), Qt::LeftButton);
        QCOMPARE(codici(), (QStringList{"007", "015", "030", "044", "050", "120"}));
        QVERIFY(prova.lista()->selectedItems().isEmpty());
    }

    void ricostruzioneFallitaLasciaLaLista()
    {
        // Another program holds the file: the rebuild is refused with a
        // message and the list keeps its lines, insertion entry included.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QStringList prima = prova.righeLista();
        {
            const auto blocco = archivio->blocca(true);
            QTest::mouseClick(prova.controllo<QRadioButton>(QStringLiteral("Option1(1)")), Qt::LeftButton);
        }
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().stile, int(vbCritical));
        QVERIFY(MessageBox::shown().first().testo.startsWith(QStringLiteral("Attenzione !!!")));
        QCOMPARE(prova.righeLista(), prima);
        QVERIFY(!prova.modulo.TABSQL);
        // Once the file is free the same rebuild works.
        QTest::mouseClick(prova.controllo<QRadioButton>(QStringLiteral("Option1(2)")), Qt::LeftButton);
        QCOMPARE(prova.righeLista().size(), prima.size());
        QVERIFY(prova.righeLista() != prima);
    }

    void listaVuota()
    {
        archivio->esegui(QStringLiteral("DELETE FROM ANAGSOSTITUTI"));
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QCOMPARE(prova.righeLista(), QStringList{PRIMARIGA});
    }

    void clickAbilitaEDisabilitaIBottoni()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QPushButton* cancella = prova.bottone(QStringLiteral("Cmdcancella"));
        QPushButton* cambia = prova.bottone(QStringLiteral("CmdCambia"));
        QVERIFY(cancella->isEnabled() && cambia->isEnabled());
        prova.clickLista(0);
        QVERIFY(!cancella->isEnabled() && !cambia->isEnabled());
        prova.clickLista(3);
        QVERIFY(cancella->isEnabled() && cambia->isEnabled());
        QCOMPARE(prova.finestra.testoSelezionato(), prova.lista()->item(3)->text());
        // The arrow keys move the pick, which counts as a click.
        QTest::keyClick(prova.lista(), Qt::Key_Home);
        QVERIFY(!cancella->isEnabled());
        QTest::keyClick(prova.lista(), Qt::Key_Down);
        QVERIFY(cancella->isEnabled());
        // A rebuild drops the pick and leaves the buttons as they were.
        prova.clickLista(0);
        QTest::mouseClick(prova.controllo<QRadioButton>(QStringLiteral("Option1(2)")), Qt::LeftButton);
        QVERIFY(!cancella->isEnabled() && !cambia->isEnabled());
        QCOMPARE(prova.finestra.testoSelezionato(), QString());
    }

    void clickNascondeInserimento()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.doppioClickLista(0);
        auto* inserimento = prova.controllo<QGroupBox>(QStringLiteral("FrmInserimento"));
        QVERIFY(inserimento->isVisible());
        prova.clickLista(2);
        QVERIFY(!inserimento->isVisible());
    }

    void doppioClickApreLaTestata()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.doppioClickLista(prova.rigaDi("007", "12345678903"));
        QVERIFY(!prova.controllo<QGroupBox>(QStringLiteral("FrmSelezione"))->isVisible());
        for (const char* frame : {"Frmmoduli(0)", "Frmbottoni", "Frmtestata"})
            QVERIFY2(prova.controllo<QGroupBox>(QString::fromLatin1(frame))->isVisible(), frame);
        QCOMPARE(prova.controllo<QLabel>(QStringLiteral("LabCF"))->text(), QStringLiteral(" 12345678903"));
        QCOMPARE(prova.controllo<QLabel>(QStringLiteral("LabCOGNODEN"))->text(), QStringLiteral(" ROSSI MARIO"));
        QCOMPARE(prova.controllo<QLabel>(QStringLiteral("LabAZI"))->text(), QStringLiteral(" 007"));
        QCOMPARE(prova.finestra.CODAZISOST, QStringLiteral("007"));
        QCOMPARE(prova.finestra.CFSSOST, QStringLiteral("12345678903"));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
    }

    void testataDiUnaSocieta()
    {
        // An empty first name leaves one trailing blank after the name.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.doppioClickLista(prova.rigaDi("050", "03456789014"));
        QCOMPARE(prova.controllo<QLabel>(QStringLiteral("LabCOGNODEN"))->text(), QStringLiteral("   BETA SPA  "));
    }

    void doppioClickSuUnaRigaScomparsa()
    {
        // Deleted meanwhile by another program: nothing happens, no message.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const int riga = prova.rigaDi("120", "VRDGPP70A01F205X");
        archivio->esegui(QStringLiteral("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '120'"));
        prova.doppioClickLista(riga);
        QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("FrmSelezione"))->isVisible());
        QVERIFY(!prova.controllo<QGroupBox>(QStringLiteral("Frmmoduli(0)"))->isVisible());
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(prova.lista()->count(), 7);
    }

    void doppioClickSullaPrimaRigaSvuotaLInserimento()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.doppioClickLista(0);
        QTest::keyClicks(prova.campo(QStringLiteral("TEXTCF")), QStringLiteral("ABC"));
        prova.campo(QStringLiteral("TextCOGNO"))->setText(QStringLiteral("XYZ"));
        prova.campo(QStringLiteral("TextCOGNO"))->setBackColor(GIALLO);
        prova.doppioClickLista(0);
        QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("FrmInserimento"))->isVisible());
        for (const char* nome : {"TEXTAZI", "TEXTCF", "TextCOGNO", "TextNOME", "TextAZICOL"}) {
            QCOMPARE(prova.campo(QString::fromLatin1(nome))->text(), QString());
            QCOMPARE(prova.campo(QString::fromLatin1(nome))->BackColor(), BIANCO);
        }
        QCOMPARE(QApplication::focusWidget(), prova.campo(QStringLiteral("TEXTAZI")));
    }
};

QTEST_MAIN(TestSelezione)
#include "tst_selezione.moc"
