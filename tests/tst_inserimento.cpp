// Registration of a new substitute: the fields of the insertion frame, every
// check of the confirmation failing in turn, the hand-over to the data sheet
// and the first save that adds the row.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "window/aspetto.h"
#include "window/textbox.h"

#include <QGroupBox>
#include <QLabel>
#include <QtTest>

namespace {

const QStringList CAMPI = {"TEXTAZI", "TEXTCF", "TextCOGNO", "TextNOME", "TextAZICOL"};
// Company code, codice fiscale, surname, first name, linked company: passes every check.
const QStringList VALIDO = {"7", "VRDGPP70A01F205V", "verdi", "giuseppe", "1"};
const QString PIVAERRATA = QStringLiteral("Partita IVA formalmente errata\r\rVuoi proseguire ugualmente ?");
const QString GIAAZI = QStringLiteral("Attenzione !!! Il codice azienda inserito per il sostituto e' gia presente ");
const QString GIACF = QStringLiteral("Attenzione !!! Il codice fiscale inserito per il sostituto e' gia presente ");
const QString COLLEGATA = QStringLiteral("Attenzione !!! Il codice azienda collegata inserito ");

QString nomeFuoco()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

} // namespace

class TestInserimento : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

    // Opens the insertion frame from the first line of the list and types the
    // fields one after the other, moving on with Tab as the operator does. A
    // null linked-company code means the operator never enters that field.
    static void digita(FinestraProva& prova, const QStringList& valori)
    {
        prova.doppioClickLista(0);
        for (int i = 0; i < (valori[4].isNull() ? 4 : 5); ++i) {
            QCOMPARE(nomeFuoco(), CAMPI[i]);
            QTest::keyClicks(QApplication::focusWidget(), valori[i]);
            if (i < 3 || !valori[4].isNull())
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    }
    static void conferma(FinestraProva& prova) { prova.click(QStringLiteral("CmdInserimento(0)")); }

    static QStringList testi(FinestraProva& prova)
    {
        QStringList t;
        for (const QString& campo : CAMPI)
            t << prova.campo(campo)->text();
        return t;
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
        archivio->aggiungiFrontespizio("001", "01234567897", {}, {}, "ALFA SRL");
        archivio->aggiungiFrontespizio("002", "RSSMRA80A01H501U", "ROSSI", "MARIO", {}, "1");
        archivio->aggiungiFrontespizio("003", "02345678904", {}, {}, "GAMMA SPA");
        archivio->aggiungiSostituto("101", "BNCLCU80A01H501Q",
                                    {"BIANCHI", "LUCA", "M", "19800101", "ROMA", "RM", "ROMA", "RM", "VIA PO", "001"});
        // A declarant that is also registered as a substitute.
        archivio->aggiungiSostituto("003", "09876543217",
                                    {"DELTA SRL", "", "", "00000000", "", "", "MILANO", "MI", "VIA DANTE 3", "001"});
        configura(archivio->cartella());
    }
    void cleanup() { archivio.reset(); }

    void campiEAnnulla()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QStringList righe = prova.righeLista();
        // Calculator-style code fields with the key form on leaving, upper case in the others.
        digita(prova, {"a7x.", "vrdgpp70a01f205v", "d'angelo", "anna maria", "1234"});
        QCOMPARE(testi(prova), (QStringList{"007", "VRDGPP70A01F205V", "D'ANGELO", "ANNA MARIA", "123"}));
        // An emptied code field shows "000" on leaving; focus coming back puts
        // the caret after the last character, nothing selected.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(prova.campo(QStringLiteral("TextAZICOL"))->text(), QStringLiteral("000"));
        QCOMPARE(prova.campo(QStringLiteral("TextNOME"))->cursorPosition(), 10);
        QVERIFY(!prova.campo(QStringLiteral("TextNOME"))->hasSelectedText());
        // "Annulla" hides the frame and nothing else.
        prova.click(QStringLiteral("CmdInserimento(1)"));
        QVERIFY(!prova.controllo<QGroupBox>(QStringLiteral("FrmInserimento"))->isVisible());
        QCOMPARE(prova.righeLista(), righe);
        QCOMPARE(MessageBox::shown().size() + prova.modulo.NUOVOSOSTITUTO + prova.modulo.VARIAZIONI, 0);
    }

    void controlloFallito_data()
    {
        QTest::addColumn<QStringList>("valori");
        QTest::addColumn<QStringList>("messaggi");
        QTest::addColumn<int>("stile");
        QTest::addColumn<QString>("fuoco");
        // Company code, codice fiscale, surname and linked company typed; no first name.
        const auto riga = [](const char* nome, QStringList v, const QStringList& messaggi, int stile, const char* f) {
            QTest::newRow(nome) << QStringList{v[0], v[1], v[2], "", v[3]} << messaggi << stile << QString(f);
        };
        const QString cf = VALIDO[1];
        const int info = 64, stop = 16;
        // Each row would also fail the checks after the one expected: the first failing check wins.
        riga("codice fiscale corto", {"", "VRDGPP70A01", "", QString()}, {"Lunghezza codice fiscale errata"}, info,
             "TEXTCF");
        riga("partita IVA errata, No", {"", "12345678900", "", QString()}, {PIVAERRATA}, 36, "TEXTCF");
        // Two boxes: the first answered Yes, the duplicate checks still run.
        riga("partita IVA errata, Si", {"1", "12345678900", "VERDI SRL", "2"},
             {PIVAERRATA, GIAAZI + "nel frontespizio"}, stop, "TEXTAZI");
        // The field shows three zeros, yet the code is missing.
        riga("codice azienda vuoto", {"", "", "", QString()}, {"Inserire Codice Azienda"}, info, "TEXTAZI");
        // The caption of the field's label as it reads at that moment.
        riga("codice fiscale vuoto", {"7", "", "", QString()}, {"Inserire C.F. / P.IVA"}, info, "TEXTCF");
        riga("cognome di soli spazi", {"1", cf, "   ", QString()}, {"Inserire Cognome o Denom."}, info, "TextCOGNO");
        // Never entered, so not turned into "000".
        riga("collegata mai toccata", {"1", cf, "VERDI", QString()}, {"Inserire Cod. Azienda collegata"}, info,
             "TextAZICOL");
        riga("coppia di un frontespizio", {"1", "01234567897", "ALFA SRL", "9"},
             {"Attenzione !!! Il codice azienda e il codice fiscale sono gia 'presenti come frontespizio."}, stop,
             "CmdInserimento(0)");
        riga("codice azienda di un frontespizio", {"1", "RSSMRA80A01H501U", "VERDI", "9"},
             {GIAAZI + "nel frontespizio"}, stop, "TEXTAZI");
        // Eleven digits looked up in their 16-character key form.
        riga("partita IVA di un frontespizio", {"101", "01234567897", "ALFA SRL", "9"}, {GIACF + "nel frontespizio"},
             stop, "TEXTCF");
        riga("sostituto gia registrato", {"101", "BNCLCU80A01H501Q", "BIANCHI", "9"},
             {"Attenzione !!! Anagrafica sostituto gia' presente."}, stop, "CmdInserimento(0)");
        riga("codice azienda di un sostituto", {"101", "09876543217", "VERDI", "9"}, {GIAAZI}, stop, "TEXTAZI");
        riga("partita IVA di un sostituto", {"7", "09876543217", "DELTA SRL", "9"}, {GIACF}, stop, "TEXTCF");
        riga("collegata senza frontespizio", {"7", cf, "VERDI", "9"}, {COLLEGATA + "non è presente nel frontespizio"},
             stop, "TextAZICOL");
        riga("collegata registrata come sostituto", {"7", cf, "VERDI", "3"},
             {COLLEGATA + " è gia presente nelle anagrafiche sostituti"}, stop, "TextAZICOL");
    }

    void controlloFallito()
    {
        QFETCH(QStringList, valori);
        QFETCH(QStringList, messaggi);
        QFETCH(int, stile);
        QFETCH(QString, fuoco);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QString prima = archivio->istantanea();
        prova.controllo<QLabel>(QStringLiteral("Label2(1)"))->setText(QStringLiteral("C.F. / P.IVA"));
        digita(prova, valori);
        QStringList digitati = testi(prova);
        MessageBox::setNextAnswer(messaggi.size() > 1 ? vbYes : vbNo); // to a code failing its check
        conferma(prova);

        QCOMPARE(testiMostrati(), messaggi);
        QCOMPARE(MessageBox::shown().last().stile, stile);
        QCOMPARE(MessageBox::shown().last().titolo, prova.finestra.Caption());
        QCOMPARE(nomeFuoco(), fuoco);
        // Texts as typed (the linked code emptied after its own failures); the
        // field at fault highlighted after an information or a question.
        if (messaggi.last().startsWith(COLLEGATA))
            digitati[4].clear();
        QCOMPARE(testi(prova), digitati);
        for (const QString& campo : CAMPI)
            QCOMPARE(prova.campo(campo)->BackColor(), stile != 16 && campo == fuoco ? GIALLO : BIANCO);
        QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("FrmInserimento"))->isVisible()); // not in the sheet
        QCOMPARE(prova.modulo.NUOVOSOSTITUTO, 0);
        QCOMPARE(archivio->istantanea(), prima);
        QCOMPARE(prova.modulo.TABFRONTESPIZIO->Index() + prova.modulo.TABANAGSOST->Index(), "CHIAVECHIAVE");
        if (stile != 16) { // typing into the highlighted field gives it its normal colours back
            QTest::keyClick(prova.campo(fuoco), Qt::Key_1);
            QCOMPARE(prova.campo(fuoco)->BackColor(), BIANCO);
        }

        // A second, correct confirmation runs every lookup on the right index
        // and hands the new substitute over to the data sheet, writing nothing.
        azzeraMessaggi();
        digita(prova, VALIDO);
        conferma(prova);
        QVERIFY(testiMostrati().isEmpty());
        QVERIFY(prova.controllo<QGroupBox>("Frmmoduli(0)")->isVisible());
        const auto testo = [&prova](const char* etichetta) { return prova.controllo<QLabel>(etichetta)->text(); };
        QCOMPARE(testo("LabCOGNODEN") + '|' + testo("LabCF") + '|' + testo("LabAZI"),
                 "VERDI GIUSEPPE|" + VALIDO[1] + "|007");
        QStringList foglio; // the names and the linked company, the rest as the opening cleared it
        for (int n = 1; n <= 10; ++n)
            foglio << prova.campo(QStringLiteral("Text1(%1)").arg(n))->text();
        QCOMPARE(foglio, (QStringList{"VERDI", "GIUSEPPE", "", "00/00/0000", "", "", "", "", "", "001"}));
        QCOMPARE(prova.finestra.CODAZISOST + prova.finestra.CFSSOST, "007" + VALIDO[1]);
        QCOMPARE(nomeFuoco(), QStringLiteral("Text1(1)"));
        // Pending until the first save: an unsaved change, no moves.
        QCOMPARE(prova.modulo.NUOVOSOSTITUTO + prova.modulo.VARIAZIONI, 2);
        QVERIFY(!prova.bottone("cmdparcprec")->isEnabled() && !prova.bottone("cmdparcsuc")->isEnabled());
        QCOMPARE(prova.modulo.TABFRONTESPIZIO->Index() + prova.modulo.TABANAGSOST->Index(), "CHIAVECHIAVE");
        QCOMPARE(archivio->istantanea(), prima);
    }

    void percorsoCompleto()
    {
        // A company whose partita IVA fails its check, accepted with Yes: from
        // the insertion entry to the saved row read back from the file.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        digita(prova, {"12", "03456789010", "verdi srl", "", "2"});
        MessageBox::setNextAnswer(vbYes);
        conferma(prova);
        QCOMPARE(testiMostrati(), QStringList{PIVAERRATA});
        // No first name: the header shows the company name alone, Text1(2) stays empty.
        QCOMPARE(prova.controllo<QLabel>("LabCOGNODEN")->text() + '|' + prova.campo("Text1(2)")->text(), "VERDI SRL|");
        const QStringList scheda = {"Text1(7)", "torino", "Text1(8)", "to", "Text1(9)", "corso francia 1"};
        for (int i = 0; i < scheda.size(); i += 2) {
            prova.campo(scheda[i])->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(QApplication::focusWidget(), scheda[i + 1]);
        }
        prova.click(QStringLiteral("cmdmemorizza"));
        QCOMPARE(testiMostrati(), QStringList{PIVAERRATA}); // and nothing from the save
        const auto righe = archivio->righe(QStringLiteral("SELECT * FROM ANAGSOSTITUTI WHERE CODAZI = '012'"));
        QCOMPARE(righe.size(), 1);
        QStringList letta;
        for (const QString& colonna : QStringLiteral("CODAZI CFS ASOST_1 ASOST_2 ASOST_3 ASOST_4 ASOST_5 ASOST_6 "
                                                     "ASOST_7 ASOST_8 ASOST_9 ASOST_10").split(' '))
            letta << righe.first().value(colonna).toString();
        // The partita IVA stored with its eleven characters, as typed.
        QCOMPARE(letta, (QStringList{"012", "03456789010", "VERDI SRL", "", "", "00000000", "", "", "TORINO", "TO",
                                     "CORSO FRANCIA 1", "002"}));
        // No longer pending: the moves work again, from the new row.
        QCOMPARE(prova.modulo.NUOVOSOSTITUTO + prova.modulo.VARIAZIONI, 0);
        QVERIFY(prova.bottone("cmdparcprec")->isEnabled() && prova.bottone("cmdparcsuc")->isEnabled());
        prova.click(QStringLiteral("cmdparcsuc"));
        QCOMPARE(prova.finestra.CODAZISOST, QStringLiteral("101"));
    }

    void lasciareLaSchedaSenzaSalvare()
    {
        // The new substitute exists only on the sheet: leaving it, even
        // untouched, asks, and a No leaves nothing behind.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QString prima = archivio->istantanea();
        digita(prova, VALIDO);
        conferma(prova);
        MessageBox::setNextAnswer(vbNo);
        prova.click(QStringLiteral("cmdselprec"));
        QCOMPARE(testiMostrati(), QStringList{QStringLiteral("Sono state effettuate delle variazioni\rSalvare ?")});
        QCOMPARE(prova.rigaDi(QStringLiteral("007"), VALIDO[1]), -1);
        QCOMPARE(prova.modulo.NUOVOSOSTITUTO, 0);
        // The next substitute opened can be left with the move buttons again.
        prova.doppioClickLista(1);
        QVERIFY(prova.bottone("cmdparcprec")->isEnabled() && prova.bottone("cmdparcsuc")->isEnabled());
        QCOMPARE(archivio->istantanea(), prima);
    }
};

QTEST_MAIN(TestInserimento)
#include "tst_inserimento.moc"
