// The lookup list: opening, closing, moving between buttons, line formats of
// provinces and front pages, the choice by Enter and by double click and
// where it goes, the unsaved-changes flag it leaves.
#include "schedaprova.h"

static const QString NOMELUNGO = "SOCIETA' COOPERATIVA DI PRODUZIONE E LAVORO DEI TRASPORTATORI RIUNITI DEL NORD EST";
static const QString SENZACODICE = QString(3, QChar(0x00A0)); // non-breaking blanks: sorts after the digits
// The field each lookup button fills.
static const QStringList BERSAGLI = {"Text1(6)", "Text1(8)", "Text1(10)", "TextAZICOL"};
// Button, start of the line picked (none if empty), chosen by double click (else by Enter),
// what the button's field gets (empty: nothing chosen).
using Caso = std::tuple<int, QString, bool, QString>;

class TestTabmin : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> prova; // on the data sheet of substitute 101

    QWidget* frame() { return prova->controllo<QWidget>("Framecodif"); }
    QListWidget* lista() { return prova->controllo<QListWidget>("ListTabmin"); }
    // Presses a lookup button (through its handler: button 2 is never shown).
    bool apri(int bottone) { prova->finestra.CMDAPRILIST_Click(bottone); return frame()->isVisible(); }
    QStringList campi() { QStringList t; for (const QString& c : BERSAGLI) t << prova->campo(c)->text(); return t; }

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }

    void init()
    {
        // fr_14 set: surname and first name; blank: the company name; a code of blanks sorts first.
        archivio = scheda::annoProva();
        archivio->aggiungiFrontespizio("002", "RSSMRA80A01H501U", "ROSSI", "MARIO", "NON MOSTRATO", "1");
        archivio->aggiungiFrontespizio("004", "12345678903", "IGNORATO", {}, NOMELUNGO, "   ");
        archivio->aggiungiFrontespizio("005", "VRDGPP70A01F205V", "  VERDI ", {}, {}, "X");
        archivio->aggiungiFrontespizio("   ", "03456789019", {}, {}, "SENZA CODICE SRL");
        archivio->aggiungiFrontespizio(SENZACODICE, "03456789027", {}, {}, "SPAZI SRL");
        archivio->aggiungiSostituto("101", "BNCLCU80A01H501Q", {"BIANCHI", "LUCA", "M", "", "", "RM", "", "RM"});
        prova = std::make_unique<FinestraProva>();
        QVERIFY(prova->avvia());
        prova->doppioClickLista(prova->rigaDi("101", "BNCLCU80A01H501Q"));
    }
    void cleanup() { prova.reset(); archivio.reset(); }

    void aperturaEChiusura()
    {
        QStringList province{" Tabella province"};
        for (const auto& p : archivio->righe("SELECT codprov || ' ' || TRIM(descprov) FROM TABMIN_PROV ORDER BY 1"))
            province << p.first().toString();
        // Front pages column by column: code 1-3, codice fiscale 5-20, name 22-81.
        const auto riga = [](const QString& c, const QString& cf, const QString& n) {
            return (c + ' ' + cf.leftJustified(16) + ' ' + n.left(60)).leftJustified(81);
        };
        const QStringList aziende = {
            " Azienda - Codice fiscale - Cognome/nome o Denominazione",
            riga("   ", "03456789019", "SENZA CODICE SRL"), riga("001", "01234567897", "ALFA SRL"),
            riga("002", "RSSMRA80A01H501U", "ROSSI MARIO"), riga("004", "12345678903", NOMELUNGO),
            riga("005", "VRDGPP70A01F205V", "VERDI "), riga(SENZACODICE, "03456789027", "SPAZI SRL")};
        // Button, heading and lines. Each opening refills the frame, also while the list of another button shows.
        for (const auto& [bottone, attese] : QList<std::pair<int, QStringList>>{
                 {1, province}, {2, aziende}, {3, aziende}, {0, province}}) {
            QVERIFY(apri(bottone));
            QCOMPARE(QStringList{prova->controllo<QLabel>("LabTabmin")->text()} + righeDi(lista()), attese);
            QCOMPARE(QApplication::focusWidget(), lista());
        }

        // A second press of the same button closes the list; so do Escape and a click on the data sheet's
        // frame. None of them changes a field.
        prova->click("CMDAPRILIST(0)");
        QVERIFY(!frame()->isVisible());
        QVERIFY(apri(0));
        clickVoce(lista(), lista()->item(50)); // a line picked, not chosen
        QTest::keyClick(lista(), Qt::Key_Escape);
        QVERIFY(!frame()->isVisible());
        QVERIFY(apri(1));
        QTest::mouseClick(prova->controllo<QWidget>("Frmmoduli(0)"), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!frame()->isVisible());
        QCOMPARE(QApplication::focusWidget(), prova->bottone("CMDAPRILIST(1)")); // back on the list's button
        QCOMPARE(campi(), (QStringList{"RM", "RM", "", ""}));
        QCOMPARE(prova->modulo.VARIAZIONI, 0);
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    void scelta_data()
    {
        QTest::addColumn<Caso>("caso");
        QTest::newRow("provincia di nascita, Invio") << Caso{0, "MI", false, "MI"};
        QTest::newRow("provincia di residenza, doppio click") << Caso{1, "MI", true, "MI"};
        QTest::newRow("azienda collegata, doppio click") << Caso{3, "002", true, "002"};
        // A line without a code takes the code of the nearest line above with one.
        QTest::newRow("azienda della scheda, riga senza codice") << Caso{2, SENZACODICE, false, "005"};
        QTest::newRow("nessuna riga selezionata") << Caso{2, "", false, ""};
        QTest::newRow("nessun codice alla riga o sopra") << Caso{3, "   ", true, ""};
    }
    void scelta()
    {
        QFETCH(Caso, caso);
        const auto& [bottone, riga, doppio, codice] = caso;
        if (bottone == 3) { // in the insertion frame
            prova->click("cmdselprec");
            prova->doppioClickLista(0);
        }
        QStringList attesi = campi();
        prova->modulo.VARIAZIONI = 2;
        QVERIFY(apri(bottone));
        if (!riga.isEmpty())
            clickVoce(lista(), lista()->findItems(riga, Qt::MatchStartsWith).first(), doppio);
        if (!doppio)
            QTest::keyClick(lista(), Qt::Key_Return);
        attesi[bottone] = codice.isEmpty() ? attesi[bottone] : codice; // only the button's own field changes
        QCOMPARE(campi(), attesi);
        // A choice is a change of the data sheet, not of the insertion frame.
        QCOMPARE(prova->modulo.VARIAZIONI, codice.isEmpty() ? 2 : bottone == 3 ? 0 : 1);
        QCOMPARE(frame()->isVisible(), codice.isEmpty()); // chosen: the list closes; else it stays open
    }
};

QTEST_MAIN(TestTabmin)
#include "tst_tabmin.moc"
