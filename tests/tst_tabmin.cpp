// The lookup list: opening, closing, moving between buttons, line formats of
// provinces and front pages, the choice by Enter and by double click and
// where it goes, the unsaved-changes flag it leaves.
#include "support/archivioprova.h"
#include "support/finestraprova.h"
#include "tools/lib/archiviodemo.h"

#include "window/aspetto.h"
#include "window/textbox.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QtTest>

namespace {

// A front-page line built column by column: code 1-3, codice fiscale 5-20,
// name 22-81.
QString rigaAzienda(const QString& codazi, const QString& cfd, const QString& nome)
{
    QString riga(81, QLatin1Char(' '));
    riga.replace(0, codazi.size(), codazi);
    riga.replace(4, cfd.size(), cfd);
    riga.replace(21, qMin<qsizetype>(nome.size(), 60), nome.left(60));
    return riga;
}

QRect twips(int left, int top, int width, int height)
{
    return QRect(TWIPS(left), TWIPS(top), TWIPS(width), TWIPS(height));
}

QWidget* fuoco()
{
    return QApplication::focusWidget();
}

const QString NOMELUNGO =
    QStringLiteral("SOCIETA' COOPERATIVA DI PRODUZIONE E LAVORO DEI TRASPORTATORI RIUNITI DEL NORD EST");

} // namespace

class TestTabmin : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

    static QGroupBox* frame(FinestraProva& prova) { return prova.controllo<QGroupBox>(QStringLiteral("Framecodif")); }
    static QListWidget* lista(FinestraProva& prova)
    {
        return prova.controllo<QListWidget>(QStringLiteral("ListTabmin"));
    }
    static QString titolo(FinestraProva& prova) { return prova.controllo<QLabel>(QStringLiteral("LabTabmin"))->text(); }
    static QStringList righe(FinestraProva& prova)
    {
        QStringList r;
        for (int i = 0; i < lista(prova)->count(); ++i)
            r.append(lista(prova)->item(i)->text());
        return r;
    }
    static int rigaCon(FinestraProva& prova, const QString& inizio)
    {
        const QStringList r = righe(prova);
        for (int i = 0; i < r.size(); ++i) {
            if (r[i].startsWith(inizio))
                return i;
        }
        return -1;
    }
    static void clickRiga(FinestraProva& prova, int riga, bool doppio)
    {
        QListWidget* l = lista(prova);
        l->scrollToItem(l->item(riga));
        const QPoint punto = l->visualItemRect(l->item(riga)).center();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, punto);
        if (doppio)
            QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, punto);
    }
    static void apriScheda(FinestraProva& prova)
    {
        prova.doppioClickLista(prova.rigaDi(QStringLiteral("101"), QStringLiteral("BNCLCU80A01H501Q")));
        QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("Frmmoduli(0)"))->isVisible());
    }
    // Province lines as the table holds them, in code order.
    QStringList righeProvince()
    {
        QStringList r;
        const auto province =
            archivio->righe(QStringLiteral("SELECT codprov, descprov FROM TABMIN_PROV ORDER BY codprov"));
        for (const QVariantMap& p : province)
            r.append(p.value("codprov").toString() + QLatin1Char(' ') + p.value("descprov").toString().trimmed());
        return r;
    }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
        // The letters typed to pick a line count as one search however slowly
        // a busy machine delivers them.
        QApplication::setKeyboardInputInterval(10000);
    }

    void init()
    {
        azzeraMessaggi();
        archivio = std::make_unique<ArchivioProva>();
        archivio->creaAnno();
        archivio->aggiungiFrontespizio(QStringLiteral("001"), QStringLiteral("01234567897"), {}, {},
                                       QStringLiteral("ALFA SRL"));
        archivio->aggiungiFrontespizio(QStringLiteral("002"), QStringLiteral("RSSMRA80A01H501U"),
                                       QStringLiteral("ROSSI"), QStringLiteral("MARIO"),
                                       QStringLiteral("NON MOSTRATO"), QStringLiteral("1"));
        // fr_14 of blanks only: the company name is shown.
        archivio->aggiungiFrontespizio(QStringLiteral("004"), QStringLiteral("12345678903"),
                                       QStringLiteral("IGNORATO"), {}, NOMELUNGO, QStringLiteral("   "));
        // A leading blank (17 characters) does not fit the server's 16-character key.
        archivio->aggiungiFrontespizio(QStringLiteral("005"),
                                       archivio->suServer() ? QStringLiteral("VRDGPP70A01F205V")
                                                            : QStringLiteral(" VRDGPP70A01F205V"),
                                       QStringLiteral("  VERDI "), {}, {}, QStringLiteral("X"));
        archivio->aggiungiSostituto(QStringLiteral("101"), QStringLiteral("BNCLCU80A01H501Q"),
                                    {QStringLiteral("BIANCHI"), QStringLiteral("LUCA"), QStringLiteral("M"),
                                     QStringLiteral("19800101"), QStringLiteral("ROMA"), QStringLiteral("RM"),
                                     QStringLiteral("ROMA"), QStringLiteral("RM"), QStringLiteral("VIA ROMA 1"),
                                     QStringLiteral("001")});
        configura(archivio->cartella());
    }
    void cleanup() { archivio.reset(); }

    void aperturaProvince()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apriScheda(prova);
        QVERIFY(!frame(prova)->isVisible());
        prova.click(QStringLiteral("CMDAPRILIST(0)"));

        QVERIFY(frame(prova)->isVisible());
        QCOMPARE(frame(prova)->parentWidget(), prova.finestra.centralWidget());
        QCOMPARE(frame(prova)->geometry(), twips(4890, 3350, 4155, 2580));
        QCOMPARE(frame(prova)->title(), QString());
        // Laid over the data sheet: the frame is what a click there reaches.
        QWidget* sopra = prova.finestra.centralWidget()->childAt(frame(prova)->geometry().center());
        QVERIFY(sopra && (sopra == frame(prova) || frame(prova)->isAncestorOf(sopra)));

        QLabel* intestazione = prova.controllo<QLabel>(QStringLiteral("LabTabmin"));
        QCOMPARE(intestazione->text(), QStringLiteral(" Tabella province"));
        QCOMPARE(intestazione->x(), TWIPS(50));
        QCOMPARE(intestazione->y(), TWIPS(240));
        QCOMPARE(intestazione->width(), TWIPS(4055));
        QCOMPARE(lista(prova)->geometry(), twips(50, 540, 4055, 1980));

        const QStringList attese = righeProvince();
        QVERIFY(attese.size() > 100);
        QCOMPARE(righe(prova), attese);
        QVERIFY(righe(prova).contains(QStringLiteral("AQ L'AQUILA")));
        QCOMPARE(fuoco(), static_cast<QWidget*>(lista(prova)));
        QVERIFY(lista(prova)->selectedItems().isEmpty());
        QCOMPARE(prova.modulo.TABPROV->Index(), QStringLiteral("CHIAVE"));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
    }

    void sceltaProvincia_data()
    {
        QTest::addColumn<int>("bottone");
        QTest::addColumn<bool>("doppioClick");
        QTest::addColumn<QString>("bersaglio");
        QTest::addColumn<QString>("altro");
        QTest::newRow("nascita, Invio") << 0 << false << "Text1(6)" << "Text1(8)";
        QTest::newRow("nascita, doppio click") << 0 << true << "Text1(6)" << "Text1(8)";
        QTest::newRow("residenza, Invio") << 1 << false << "Text1(8)" << "Text1(6)";
        QTest::newRow("residenza, doppio click") << 1 << true << "Text1(8)" << "Text1(6)";
    }
    void sceltaProvincia()
    {
        QFETCH(int, bottone);
        QFETCH(bool, doppioClick);
        QFETCH(QString, bersaglio);
        QFETCH(QString, altro);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apriScheda(prova);
        const QString prima = archivio->istantanea();
        const QString nomeBottone = QStringLiteral("CMDAPRILIST(%1)").arg(bottone);
        prova.click(nomeBottone);
        if (doppioClick) {
            clickRiga(prova, rigaCon(prova, QStringLiteral("MI ")), true);
        } else {
            // Typing the first letters picks the line, Enter chooses it.
            QTest::keyClicks(lista(prova), QStringLiteral("MI"));
            QCOMPARE(lista(prova)->selectedItems().first()->text(), QStringLiteral("MI MILANO"));
            QTest::keyClick(lista(prova), Qt::Key_Return);
        }
        QCOMPARE(prova.campo(bersaglio)->text(), QStringLiteral("MI"));
        QCOMPARE(prova.campo(altro)->text(), QStringLiteral("RM"));
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        QVERIFY(!frame(prova)->isVisible());
        // The focus goes back to the button the list was opened from.
        QCOMPARE(fuoco(), static_cast<QWidget*>(prova.bottone(nomeBottone)));
        QCOMPARE(prova.modulo.TABPROV->Index(), QStringLiteral("CHIAVE"));
        QCOMPARE(archivio->istantanea(), prima);

        // A change like a typed one: leaving the sheet asks about it.
        MessageBox::setNextAnswer(vbNo);
        prova.click(QStringLiteral("cmdselprec"));
        QCOMPARE(testiMostrati(), QStringList{QStringLiteral("Sono state effettuate delle variazioni\rSalvare ?")});
        QCOMPARE(archivio->istantanea(), prima);
    }

    void sceltaSalvata()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apriScheda(prova);
        prova.click(QStringLiteral("CMDAPRILIST(1)"));
        QTest::keyClicks(lista(prova), QStringLiteral("TO"));
        QTest::keyClick(lista(prova), Qt::Key_Enter);
        prova.click(QStringLiteral("cmdmemorizza"));
        QVERIFY(testiMostrati().isEmpty());
        QCOMPARE(archivio->righe(QStringLiteral("SELECT ASOST_6, ASOST_8 FROM ANAGSOSTITUTI")).first(),
                 (QVariantMap{{"ASOST_6", "RM"}, {"ASOST_8", "TO"}}));
    }

    void secondaPressioneChiude()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apriScheda(prova);
        prova.click(QStringLiteral("CMDAPRILIST(0)"));
        QVERIFY(frame(prova)->isVisible());
        prova.click(QStringLiteral("CMDAPRILIST(0)"));
        QVERIFY(!frame(prova)->isVisible());
        QCOMPARE(prova.campo(QStringLiteral("Text1(6)"))->text(), QStringLiteral("RM"));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        prova.click(QStringLiteral("CMDAPRILIST(0)"));
        QVERIFY(frame(prova)->isVisible());
        QCOMPARE(righe(prova), righeProvince());
    }

    void spostamentoTraBottoni()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apriScheda(prova);
        prova.click(QStringLiteral("CMDAPRILIST(1)"));
        QCOMPARE(frame(prova)->geometry(), twips(3620, 3960, 4155, 2580));
        clickRiga(prova, rigaCon(prova, QStringLiteral("TO ")), false);
        QVERIFY(!lista(prova)->selectedItems().isEmpty());

        // The other button refills the list and moves the frame; it stays open.
        prova.click(QStringLiteral("CMDAPRILIST(0)"));
        QVERIFY(frame(prova)->isVisible());
        QCOMPARE(frame(prova)->geometry(), twips(4890, 3350, 4155, 2580));
        QCOMPARE(righe(prova), righeProvince());
        QVERIFY(lista(prova)->selectedItems().isEmpty());
        QCOMPARE(prova.finestra.TABELLAAPERTA, 0);
        QCOMPARE(titolo(prova), QStringLiteral(" Tabella province"));

        // And the choice now fills the field of the last button pressed.
        QTest::keyClicks(lista(prova), QStringLiteral("TO"));
        QTest::keyClick(lista(prova), Qt::Key_Return);
        QCOMPARE(prova.campo(QStringLiteral("Text1(6)"))->text(), QStringLiteral("TO"));
        QCOMPARE(prova.campo(QStringLiteral("Text1(8)"))->text(), QStringLiteral("RM"));

        // The hidden button of the sheet's linked company: front pages, own place.
        prova.finestra.CMDAPRILIST_Click(2);
        QVERIFY(frame(prova)->isVisible());
        QCOMPARE(frame(prova)->geometry(), twips(420, 4000, 8955, 2580));
        QCOMPARE(lista(prova)->geometry(), twips(50, 540, 8855, 1980));
        QCOMPARE(titolo(prova), QStringLiteral(" Azienda - Codice fiscale - Cognome/nome o Denominazione"));
        QCOMPARE(righe(prova).size(), 4);
        clickRiga(prova, 2, false);
        QTest::keyClick(lista(prova), Qt::Key_Return);
        QCOMPARE(prova.campo(QStringLiteral("Text1(10)"))->text(), QStringLiteral("004"));
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        QVERIFY(!frame(prova)->isVisible());
    }

    void escapeChiudeSenzaScegliere()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apriScheda(prova);
        prova.click(QStringLiteral("CMDAPRILIST(0)"));
        QTest::keyClicks(lista(prova), QStringLiteral("MI"));
        QTest::keyClick(lista(prova), Qt::Key_Escape);
        QVERIFY(!frame(prova)->isVisible());
        QCOMPARE(prova.campo(QStringLiteral("Text1(6)"))->text(), QStringLiteral("RM"));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QCOMPARE(fuoco(), static_cast<QWidget*>(prova.bottone(QStringLiteral("CMDAPRILIST(0)"))));
        // Still the window's: the program goes on (no exit, no message).
        QVERIFY(!prova.finestra.scaricata());
        QVERIFY(testiMostrati().isEmpty());
    }

    void aziendeNellInserimento()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.doppioClickLista(0);
        TextBox* collegata = prova.campo(QStringLiteral("TextAZICOL"));
        collegata->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(collegata, QStringLiteral("12"));
        prova.click(QStringLiteral("CMDAPRILIST(3)"));

        QVERIFY(frame(prova)->isVisible());
        QCOMPARE(frame(prova)->geometry(), twips(1070, 4300, 8600, 1840));
        QCOMPARE(lista(prova)->geometry(), twips(50, 540, 8500, 1240));
        QCOMPARE(titolo(prova), QStringLiteral(" Azienda - Codice fiscale - Cognome/nome o Denominazione"));
        const QStringList attese = {
            rigaAzienda("001", "01234567897", "ALFA SRL"),
            rigaAzienda("002", "RSSMRA80A01H501U", "ROSSI MARIO"),
            rigaAzienda("004", "12345678903", NOMELUNGO),
            rigaAzienda("005", "VRDGPP70A01F205V", "VERDI "),
        };
        QCOMPARE(righe(prova), attese);
        // Every name starts in column 22, the long one is cut at 60.
        for (const QString& riga : righe(prova)) {
            QCOMPARE(riga.size(), 81);
            QVERIFY(riga.at(20) == QLatin1Char(' ') && riga.at(21) != QLatin1Char(' '));
        }
        QCOMPARE(righe(prova)[2].mid(21), NOMELUNGO.left(60));
        QCOMPARE(righe(prova)[0].mid(4, 17), QStringLiteral("01234567897      "));

        // The choice replaces what was typed and leaves no unsaved changes.
        prova.modulo.VARIAZIONI = 1;
        clickRiga(prova, 1, true);
        QCOMPARE(collegata->text(), QStringLiteral("002"));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QVERIFY(!frame(prova)->isVisible());
        QCOMPARE(fuoco(), static_cast<QWidget*>(prova.bottone(QStringLiteral("CMDAPRILIST(3)"))));

        // It is what the confirmation hands over to the sheet.
        prova.campo(QStringLiteral("TEXTAZI"))->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(fuoco(), QStringLiteral("7"));
        QTest::keyClick(fuoco(), Qt::Key_Tab);
        // On the server the declarant 005 holds this very code (its leading
        // blank does not fit there): another one.
        QTest::keyClicks(fuoco(), archivio->suServer() ? strumenti::codiceFiscale(QStringLiteral("VERDI"),
                                                                                  QStringLiteral("GIUSEPPE"),
                                                                                  QDate(1971, 1, 1), 'M',
                                                                                  QStringLiteral("F205"))
                                                       : QStringLiteral("VRDGPP70A01F205V"));
        QTest::keyClick(fuoco(), Qt::Key_Tab);
        QTest::keyClicks(fuoco(), QStringLiteral("VERDI"));
        prova.click(QStringLiteral("CmdInserimento(0)"));
        QVERIFY(testiMostrati().isEmpty());
        QCOMPARE(prova.campo(QStringLiteral("Text1(10)"))->text(), QStringLiteral("002"));
    }

    void nessunaScelta_data()
    {
        QTest::addColumn<bool>("rigaSenzaCodice");
        QTest::newRow("nessuna riga selezionata") << false;
        QTest::newRow("nessun codice alla riga o sopra") << true;
    }
    void nessunaScelta()
    {
        QFETCH(bool, rigaSenzaCodice);
        SOLO_FILE("a code of blanks reads back empty from the server's fixed-width column, and the line does "
                  "not pad the code to its three columns");
        // A front page without a code sorts before every other.
        archivio->aggiungiFrontespizio(QStringLiteral("   "), QStringLiteral("03456789019"), {}, {},
                                       QStringLiteral("SENZA CODICE SRL"));
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.doppioClickLista(0);
        TextBox* collegata = prova.campo(QStringLiteral("TextAZICOL"));
        collegata->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(collegata, QStringLiteral("12"));
        prova.click(QStringLiteral("CMDAPRILIST(3)"));
        QCOMPARE(righe(prova).first(), rigaAzienda("   ", "03456789019", "SENZA CODICE SRL"));
        if (rigaSenzaCodice)
            clickRiga(prova, 0, false);
        QTest::keyClick(lista(prova), Qt::Key_Return);
        // Nothing chosen: the field keeps its text and the list stays open.
        QCOMPARE(collegata->text(), QStringLiteral("012"));
        QVERIFY(frame(prova)->isVisible());
        QCOMPARE(fuoco(), static_cast<QWidget*>(lista(prova)));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        if (rigaSenzaCodice) {
            clickRiga(prova, 0, true);
            QCOMPARE(collegata->text(), QStringLiteral("012"));
            QVERIFY(frame(prova)->isVisible());
        }
        // A line with a code still chooses.
        clickRiga(prova, 2, true);
        QCOMPARE(collegata->text(), QStringLiteral("002"));
    }

    void rigaSenzaCodiceRisaleAllaPrecedente()
    {
        // A code of non-breaking blanks sorts after the digits and shows as
        // no code: the choice takes the code of the line above it.
        archivio->aggiungiFrontespizio(QString(3, QChar(0x00A0)), QStringLiteral("03456789019"), {}, {},
                                       QStringLiteral("SPAZI SRL"));
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apriScheda(prova);
        prova.finestra.CMDAPRILIST_Click(2);
        QCOMPARE(righe(prova).size(), 5);
        QVERIFY(righe(prova).last().left(3).trimmed().isEmpty());
        clickRiga(prova, 4, false);
        QTest::keyClick(lista(prova), Qt::Key_Return);
        QCOMPARE(prova.campo(QStringLiteral("Text1(10)"))->text(), QStringLiteral("005"));
        QVERIFY(!frame(prova)->isVisible());
    }

    void nascostaDaBottoniEScheda()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apriScheda(prova);
        // The focus reaching a command button of the bar.
        prova.click(QStringLiteral("CMDAPRILIST(0)"));
        prova.bottone(QStringLiteral("cmdselprec"))->setFocus(Qt::TabFocusReason);
        QVERIFY(!frame(prova)->isVisible());
        // A click on the data sheet's frame; the focus leaves the list for its button.
        prova.click(QStringLiteral("CMDAPRILIST(1)"));
        QCOMPARE(fuoco(), static_cast<QWidget*>(lista(prova)));
        QTest::mouseClick(prova.controllo<QGroupBox>(QStringLiteral("Frmmoduli(0)")), Qt::LeftButton, {},
                          QPoint(5, 5));
        QVERIFY(!frame(prova)->isVisible());
        QCOMPARE(fuoco(), static_cast<QWidget*>(prova.bottone(QStringLiteral("CMDAPRILIST(1)"))));
        // Entering a field of the sheet.
        prova.click(QStringLiteral("CMDAPRILIST(1)"));
        QTest::mouseClick(prova.campo(QStringLiteral("Text1(9)")), Qt::LeftButton);
        QVERIFY(!frame(prova)->isVisible());
        QCOMPARE(prova.modulo.VARIAZIONI, 0);

        // In the insertion frame: a field of the frame, and its buttons.
        prova.click(QStringLiteral("cmdselprec"));
        prova.doppioClickLista(0);
        prova.click(QStringLiteral("CMDAPRILIST(3)"));
        QVERIFY(frame(prova)->isVisible());
        QTest::mouseClick(prova.campo(QStringLiteral("TEXTCF")), Qt::LeftButton);
        QVERIFY(!frame(prova)->isVisible());
        prova.click(QStringLiteral("CMDAPRILIST(3)"));
        prova.bottone(QStringLiteral("CmdInserimento(1)"))->setFocus(Qt::TabFocusReason);
        QVERIFY(!frame(prova)->isVisible());
    }

    void tabellaVuota()
    {
        archivio->esegui(QStringLiteral("DELETE FROM TABMIN_PROV"));
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apriScheda(prova);
        prova.click(QStringLiteral("CMDAPRILIST(0)"));
        QVERIFY(frame(prova)->isVisible());
        QCOMPARE(lista(prova)->count(), 0);
        QTest::keyClick(lista(prova), Qt::Key_Return);
        QCOMPARE(prova.campo(QStringLiteral("Text1(6)"))->text(), QStringLiteral("RM"));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QTest::keyClick(lista(prova), Qt::Key_Escape);
        QVERIFY(!frame(prova)->isVisible());
    }
};

QTEST_MAIN(TestTabmin)
#include "tst_tabmin.moc"
