// The lookup list: opening, closing, moving between buttons, line formats of
// provinces and front pages, the choice by Enter and by double click and
// where it goes, the unsaved-changes flag it leaves.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "window/aspetto.h"
#include "window/textbox.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QtTest>

namespace {

const QString NOMELUNGO = "SOCIETA' COOPERATIVA DI PRODUZIONE E LAVORO DEI TRASPORTATORI RIUNITI DEL NORD EST";
const QString SENZACODICE = QString(3, QChar(0x00A0)); // non-breaking blanks: sorts after the digits
// The field each lookup button fills.
const QStringList BERSAGLI = {"Text1(6)", "Text1(8)", "Text1(10)", "TextAZICOL"};

} // namespace

class TestTabmin : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> prova; // on the data sheet of substitute 101

    QGroupBox* frame() { return prova->controllo<QGroupBox>("Framecodif"); }
    QListWidget* lista() { return prova->controllo<QListWidget>("ListTabmin"); }
    // Presses a lookup button (through its handler: button 2 is never shown).
    bool apri(int bottone)
    {
        prova->finestra.CMDAPRILIST_Click(bottone);
        return frame()->isVisible();
    }
    // Clicks (or double-clicks) the first line starting with `inizio`.
    void clickRiga(const QString& inizio, bool doppio = false)
    {
        QListWidgetItem* riga = lista()->findItems(inizio, Qt::MatchStartsWith).first();
        lista()->scrollToItem(riga);
        const QPoint punto = lista()->visualItemRect(riga).center();
        QTest::mouseClick(lista()->viewport(), Qt::LeftButton, {}, punto);
        if (doppio)
            QTest::mouseDClick(lista()->viewport(), Qt::LeftButton, {}, punto);
    }

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
        // fr_14 set: surname and first name; blank: the company name; a code of blanks sorts first.
        archivio->aggiungiFrontespizio("001", "01234567897", {}, {}, "ALFA SRL");
        archivio->aggiungiFrontespizio("002", "RSSMRA80A01H501U", "ROSSI", "MARIO", "NON MOSTRATO", "1");
        archivio->aggiungiFrontespizio("004", "12345678903", "IGNORATO", {}, NOMELUNGO, "   ");
        // A leading blank (17 characters) does not fit the server's 16-character key.
        archivio->aggiungiFrontespizio("005", archivio->suServer() ? "VRDGPP70A01F205V" : " VRDGPP70A01F205V",
                                       "  VERDI ", {}, {}, "X");
        archivio->aggiungiFrontespizio("   ", "03456789019", {}, {}, "SENZA CODICE SRL");
        archivio->aggiungiFrontespizio(SENZACODICE, "03456789027", {}, {}, "SPAZI SRL");
        archivio->aggiungiSostituto("101", "BNCLCU80A01H501Q",
                                    {"BIANCHI", "LUCA", "M", "19800101", "ROMA", "RM", "ROMA", "RM", "VIA PO", "001"});
        configura(archivio->cartella());
        prova = std::make_unique<FinestraProva>();
        QVERIFY(prova->avvia());
        prova->doppioClickLista(prova->rigaDi("101", "BNCLCU80A01H501Q"));
    }
    void cleanup() { prova.reset(); archivio.reset(); }

    void aperturaEChiusura()
    {
        QStringList province;
        for (const auto& p : archivio->righe("SELECT codprov || ' ' || TRIM(descprov) FROM TABMIN_PROV ORDER BY 1"))
            province << p.first().toString();
        QVERIFY(province.size() > 100 && province.contains("AQ L'AQUILA"));
        // Front pages column by column: code 1-3, codice fiscale 5-20, name 22-81.
        const auto riga = [](const QString& c, const QString& cf, const QString& n) {
            return (c + ' ' + cf.leftJustified(16) + ' ' + n.left(60)).leftJustified(81);
        };
        const QStringList aziende = {
            riga("   ", "03456789019", "SENZA CODICE SRL"), riga("001", "01234567897", "ALFA SRL"),
            riga("002", "RSSMRA80A01H501U", "ROSSI MARIO"), riga("004", "12345678903", NOMELUNGO),
            riga("005", "VRDGPP70A01F205V", "VERDI "), riga(SENZACODICE, "03456789027", "SPAZI SRL")};
        // Button, frame in twips, heading and lines. Each opening refills and
        // moves the frame, also while the list of another button shows.
        const QList<std::tuple<int, QRect, QString, QStringList>> aperture = {
            {1, {3620, 3960, 4155, 2580}, " Tabella province", province},
            {0, {4890, 3350, 4155, 2580}, " Tabella province", province},
            {2, {420, 4000, 8955, 2580}, " Azienda - Codice fiscale - Cognome/nome o Denominazione", aziende},
            {3, {1070, 4300, 8600, 1840}, " Azienda - Codice fiscale - Cognome/nome o Denominazione", aziende}};
        for (const auto& [bottone, g, titolo, attese] : aperture) {
            QVERIFY(apri(bottone));
            QCOMPARE(frame()->geometry(), QRect(TWIPS(g.x()), TWIPS(g.y()), TWIPS(g.width()), TWIPS(g.height())));
            QCOMPARE(lista()->geometry(),
                     QRect(TWIPS(50), TWIPS(540), TWIPS(g.width() - 100), TWIPS(g.height() - 600)));
            QStringList righe{prova->controllo<QLabel>("LabTabmin")->text()};
            for (int i = 0; i < lista()->count(); ++i)
                righe << lista()->item(i)->text();
            QCOMPARE(righe, QStringList{titolo} + attese);
            QCOMPARE(QApplication::focusWidget(), lista());
        }

        // A second press of the same button closes the list; so do Escape,
        // the focus reaching a command button, a click on the data sheet's
        // frame. None of them changes a field.
        QVERIFY(apri(0));
        prova->click("CMDAPRILIST(0)");
        QVERIFY(!frame()->isVisible() && apri(0));
        clickRiga("MI");
        QTest::keyClick(lista(), Qt::Key_Escape);
        QVERIFY(!frame()->isVisible() && apri(1));
        prova->bottone("cmdselprec")->setFocus(Qt::TabFocusReason);
        QVERIFY(!frame()->isVisible() && apri(1));
        QTest::mouseClick(prova->controllo<QGroupBox>("Frmmoduli(0)"), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!frame()->isVisible());
        QCOMPARE(QApplication::focusWidget(), prova->bottone("CMDAPRILIST(1)")); // back on the list's button
        QCOMPARE(prova->campo("Text1(6)")->text() + prova->campo("Text1(8)")->text(), "RMRM");
        QCOMPARE(prova->modulo.VARIAZIONI + MessageBox::shown().size(), 0);
    }

    void scelta_data()
    {
        QTest::addColumn<int>("bottone");
        QTest::addColumn<QString>("riga");   // start of the line picked, if any
        QTest::addColumn<bool>("doppio");    // chosen by double click, else by Enter
        QTest::addColumn<QString>("codice"); // what the button's field gets; empty: nothing chosen
        QTest::newRow("provincia di nascita, Invio") << 0 << "MI" << false << "MI";
        QTest::newRow("provincia di residenza, doppio click") << 1 << "MI" << true << "MI";
        QTest::newRow("azienda collegata, doppio click") << 3 << "002" << true << "002";
        // A line without a code takes the code of the nearest line above with one.
        QTest::newRow("azienda della scheda, riga senza codice") << 2 << SENZACODICE << false << "005";
        QTest::newRow("nessuna riga selezionata") << 2 << "" << false << "";
        QTest::newRow("nessun codice alla riga o sopra") << 3 << "   " << true << "";
    }
    void scelta()
    {
        QFETCH(int, bottone);
        QFETCH(QString, riga);
        QFETCH(bool, doppio);
        QFETCH(QString, codice);
        if (bottone == 3) { // in the insertion frame
            prova->click("cmdselprec");
            prova->doppioClickLista(0);
        }
        QStringList campi;
        for (const QString& campo : BERSAGLI)
            campi << prova->campo(campo)->text();
        prova->modulo.VARIAZIONI = 2;
        QVERIFY(apri(bottone));
        if (!riga.isEmpty())
            clickRiga(riga, doppio);
        if (!doppio)
            QTest::keyClick(lista(), Qt::Key_Return);
        campi[bottone] = codice.isEmpty() ? campi[bottone] : codice; // only the button's own field changes
        for (int i = 0; i < BERSAGLI.size(); ++i)
            QCOMPARE(prova->campo(BERSAGLI[i])->text(), campi[i]);
        // A choice is a change of the data sheet, not of the insertion frame.
        QCOMPARE(prova->modulo.VARIAZIONI, codice.isEmpty() ? 2 : bottone == 3 ? 0 : 1);
        // Chosen: the list closes, the focus back on its button; else it stays open.
        QCOMPARE(frame()->isVisible(), codice.isEmpty());
        if (!codice.isEmpty() && bottone != 2)
            QCOMPARE(QApplication::focusWidget(), prova->bottone(QStringLiteral("CMDAPRILIST(%1)").arg(bottone)));
    }
};

QTEST_MAIN(TestTabmin)
#include "tst_tabmin.moc"
