// Registration of a new substitute: the fields of the insertion frame, every
// check of the confirmation failing in turn, the hand-over to the data sheet
// and the first save that adds the row.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "window/aspetto.h"
#include "window/textbox.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QtTest>

namespace {

const QStringList CAMPI = {"TEXTAZI", "TEXTCF", "TextCOGNO", "TextNOME", "TextAZICOL"};

// What the operator types into the five fields of the insertion frame. A null
// linked-company code means the operator never enters that field.
struct Inserimento {
    QString azienda;
    QString codiceFiscale;
    QString cognome;
    QString nome;
    QString collegata;
};

// A new substitute that passes every check.
const Inserimento VALIDO = {"7", "VRDGPP70A01F205V", "verdi", "giuseppe", "1"};

QWidget* fuoco()
{
    return QApplication::focusWidget();
}

QString nomeFuoco()
{
    return fuoco() ? fuoco()->objectName() : QString();
}

} // namespace

class TestInserimento : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

    // Opens the insertion frame from the first line of the list.
    static void apri(FinestraProva& prova)
    {
        prova.doppioClickLista(0);
        QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("FrmInserimento"))->isVisible());
        QCOMPARE(nomeFuoco(), QStringLiteral("TEXTAZI"));
    }

    // Types the fields one after the other, moving on with Tab, as the
    // operator does; the focus ends on the confirm button's click.
    static void digita(FinestraProva&, const Inserimento& valori)
    {
        const QString testi[] = {valori.azienda, valori.codiceFiscale, valori.cognome, valori.nome};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(nomeFuoco(), CAMPI[i]);
            QTest::keyClicks(fuoco(), testi[i]);
            if (i < 3)
                QTest::keyClick(fuoco(), Qt::Key_Tab);
        }
        if (valori.collegata.isNull())
            return;
        QTest::keyClick(fuoco(), Qt::Key_Tab);
        QCOMPARE(nomeFuoco(), QStringLiteral("TextAZICOL"));
        QTest::keyClicks(fuoco(), valori.collegata);
        QTest::keyClick(fuoco(), Qt::Key_Tab);
    }

    static void conferma(FinestraProva& prova) { prova.click(QStringLiteral("CmdInserimento(0)")); }

    static bool inScheda(FinestraProva& prova)
    {
        return prova.controllo<QGroupBox>(QStringLiteral("Frmmoduli(0)"))->isVisible()
            && !prova.controllo<QGroupBox>(QStringLiteral("FrmSelezione"))->isVisible();
    }

    static void indiciPrincipali(FinestraProva& prova)
    {
        QCOMPARE(prova.modulo.TABFRONTESPIZIO->Index(), QStringLiteral("CHIAVE"));
        QCOMPARE(prova.modulo.TABANAGSOST->Index(), QStringLiteral("CHIAVE"));
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
        archivio->aggiungiFrontespizio(QStringLiteral("001"), QStringLiteral("01234567897"), {}, {},
                                       QStringLiteral("ALFA SRL"));
        archivio->aggiungiFrontespizio(QStringLiteral("002"), QStringLiteral("RSSMRA80A01H501U"),
                                       QStringLiteral("ROSSI"), QStringLiteral("MARIO"), {}, QStringLiteral("1"));
        archivio->aggiungiFrontespizio(QStringLiteral("003"), QStringLiteral("02345678904"), {}, {},
                                       QStringLiteral("GAMMA SPA"));
        archivio->aggiungiSostituto(QStringLiteral("101"), QStringLiteral("BNCLCU80A01H501Q"),
                                    {QStringLiteral("BIANCHI"), QStringLiteral("LUCA"), QStringLiteral("M"),
                                     QStringLiteral("19800101"), QStringLiteral("ROMA"), QStringLiteral("RM"),
                                     QStringLiteral("ROMA"), QStringLiteral("RM"), QStringLiteral("VIA ROMA 1"),
                                     QStringLiteral("001")});
        // A declarant that is also registered as a substitute.
        archivio->aggiungiSostituto(QStringLiteral("003"), QStringLiteral("09876543217"),
                                    {QStringLiteral("DELTA SRL"), QString(), QString(), QStringLiteral("00000000"),
                                     QString(), QString(), QStringLiteral("MILANO"), QStringLiteral("MI"),
                                     QStringLiteral("VIA DANTE 3"), QStringLiteral("001")});
        configura(archivio->cartella());
    }
    void cleanup() { archivio.reset(); }

    void tastiDeiCampi()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apri(prova);
        TextBox* azienda = prova.campo(QStringLiteral("TEXTAZI"));
        // Calculator-style entry: only digits, right-aligned, key form on leaving.
        QTest::keyClicks(azienda, QStringLiteral("a7x."));
        QCOMPARE(azienda->text().trimmed(), QStringLiteral("7"));
        QTest::keyClick(azienda, Qt::Key_Tab);
        QCOMPARE(azienda->text(), QStringLiteral("007"));
        // Upper case in the three text fields.
        QTest::keyClicks(fuoco(), QStringLiteral("vrdgpp70a01f205v"));
        QCOMPARE(prova.campo(QStringLiteral("TEXTCF"))->text(), QStringLiteral("VRDGPP70A01F205V"));
        QTest::keyClick(fuoco(), Qt::Key_Tab);
        QTest::keyClicks(fuoco(), QStringLiteral("d'angelo"));
        QCOMPARE(prova.campo(QStringLiteral("TextCOGNO"))->text(), QStringLiteral("D'ANGELO"));
        QTest::keyClick(fuoco(), Qt::Key_Tab);
        QTest::keyClicks(fuoco(), QStringLiteral("anna maria"));
        QCOMPARE(prova.campo(QStringLiteral("TextNOME"))->text(), QStringLiteral("ANNA MARIA"));
        QTest::keyClick(fuoco(), Qt::Key_Tab);
        // At most three digits; Backspace brings the code back to zero,
        // shown as "000" on leaving.
        QCOMPARE(nomeFuoco(), QStringLiteral("TextAZICOL"));
        QTest::keyClicks(fuoco(), QStringLiteral("1234"));
        QCOMPARE(prova.campo(QStringLiteral("TextAZICOL"))->text(), QStringLiteral("123"));
        QTest::keyClick(fuoco(), Qt::Key_Backspace);
        QTest::keyClick(fuoco(), Qt::Key_Tab);
        QCOMPARE(prova.campo(QStringLiteral("TextAZICOL"))->text(), QStringLiteral("000"));
        // Focus coming back puts the caret after the last character, nothing selected.
        QCOMPARE(nomeFuoco(), QStringLiteral("CMDAPRILIST(3)"));
        QTest::keyClick(fuoco(), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(nomeFuoco(), QStringLiteral("TextAZICOL"));
        QCOMPARE(prova.campo(QStringLiteral("TextAZICOL"))->cursorPosition(), 3);
        QTest::keyClick(fuoco(), Qt::Key_Tab, Qt::ShiftModifier);
        TextBox* nome = prova.campo(QStringLiteral("TextNOME"));
        QCOMPARE(fuoco(), static_cast<QWidget*>(nome));
        QCOMPARE(nome->cursorPosition(), 10);
        QVERIFY(!nome->hasSelectedText());
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
    }

    void annullaNascondeSoloIlFrame()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apri(prova);
        digita(prova, VALIDO);
        const QStringList righe = prova.righeLista();
        prova.click(QStringLiteral("CmdInserimento(1)"));
        QVERIFY(!prova.controllo<QGroupBox>(QStringLiteral("FrmInserimento"))->isVisible());
        QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("FrmSelezione"))->isVisible());
        QCOMPARE(prova.righeLista(), righe);
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(prova.modulo.NUOVOSOSTITUTO, 0);
    }

    void controlloFallito_data()
    {
        QTest::addColumn<QString>("azienda");
        QTest::addColumn<QString>("codiceFiscale");
        QTest::addColumn<QString>("cognome");
        QTest::addColumn<QString>("collegata");
        QTest::addColumn<int>("risposta");
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<int>("stile");
        QTest::addColumn<QString>("fuocoAtteso");
        QTest::addColumn<QString>("evidenziato");
        QTest::addColumn<QStringList>("testiAttesi");

        const QString conferma = QStringLiteral("CmdInserimento(0)");
        const QString nessuno;
        auto riga = [](const char* nome) -> QTestData& { return QTest::newRow(nome); };

        riga("codice fiscale corto")
            << "7" << "VRDGPP70A01" << "VERDI" << "1" << 0 << "Lunghezza codice fiscale errata" << 64 << "TEXTCF"
            << "TEXTCF" << QStringList{"007", "VRDGPP70A01", "VERDI", "", "001"};
        riga("codice fiscale errato, No")
            << "7" << "VRDGPP70A01F205X" << "VERDI" << "1" << int(vbNo)
            << "Codice fiscale formalmente errato\r\rVuoi proseguire ugualmente" << 68 << "TEXTCF" << "TEXTCF"
            << QStringList{"007", "VRDGPP70A01F205X", "VERDI", "", "001"};
        riga("partita IVA corta")
            << "7" << "1234567" << "VERDI SRL" << "1" << 0 << "Lunghezza partita IVA errata" << 64 << "TEXTCF"
            << "TEXTCF" << QStringList{"007", "1234567", "VERDI SRL", "", "001"};
        riga("partita IVA errata, No")
            << "7" << "12345678900" << "VERDI SRL" << "1" << int(vbNo)
            << "Partita IVA formalmente errata\r\rVuoi proseguire ugualmente ?" << 36 << "TEXTCF" << "TEXTCF"
            << QStringList{"007", "12345678900", "VERDI SRL", "", "001"};
        // The field shows three zeros, yet the code is missing.
        riga("codice azienda vuoto")
            << "" << "VRDGPP70A01F205V" << "VERDI" << "1" << 0 << "Inserire Codice Azienda" << 64 << "TEXTAZI"
            << "TEXTAZI" << QStringList{"000", "VRDGPP70A01F205V", "VERDI", "", "001"};
        riga("codice azienda zero")
            << "0" << "VRDGPP70A01F205V" << "VERDI" << "1" << 0 << "Inserire Codice Azienda" << 64 << "TEXTAZI"
            << "TEXTAZI" << QStringList{"000", "VRDGPP70A01F205V", "VERDI", "", "001"};
        riga("codice fiscale vuoto")
            << "7" << "" << "VERDI" << "1" << 0 << "Inserire Codice Fiscale" << 64 << "TEXTCF" << "TEXTCF"
            << QStringList{"007", "", "VERDI", "", "001"};
        riga("cognome di soli spazi")
            << "7" << "VRDGPP70A01F205V" << "   " << "1" << 0 << "Inserire Cognome o Denom." << 64 << "TextCOGNO"
            << "TextCOGNO" << QStringList{"007", "VRDGPP70A01F205V", "   ", "", "001"};
        // Never entered, so not turned into "000".
        riga("azienda collegata mai toccata")
            << "7" << "VRDGPP70A01F205V" << "VERDI" << QString() << 0 << "Inserire Cod. Azienda collegata" << 64
            << "TextAZICOL" << "TextAZICOL" << QStringList{"007", "VRDGPP70A01F205V", "VERDI", "", ""};
        riga("coppia di un frontespizio")
            << "1" << "01234567897" << "ALFA SRL" << "2" << 0
            << "Attenzione !!! Il codice azienda e il codice fiscale sono gia 'presenti come frontespizio." << 16
            << conferma << nessuno << QStringList{"001", "01234567897", "ALFA SRL", "", "002"};
        riga("codice azienda di un frontespizio")
            << "1" << "VRDGPP70A01F205V" << "VERDI" << "2" << 0
            << "Attenzione !!! Il codice azienda inserito per il sostituto e' gia presente nel frontespizio" << 16
            << "TEXTAZI" << nessuno << QStringList{"001", "VRDGPP70A01F205V", "VERDI", "", "002"};
        riga("codice fiscale di un frontespizio")
            << "7" << "RSSMRA80A01H501U" << "ROSSI" << "1" << 0
            << "Attenzione !!! Il codice fiscale inserito per il sostituto e' gia presente nel frontespizio" << 16
            << "TEXTCF" << nessuno << QStringList{"007", "RSSMRA80A01H501U", "ROSSI", "", "001"};
        // Eleven digits looked up in their 16-character key form.
        riga("partita IVA di un frontespizio")
            << "7" << "01234567897" << "ALFA SRL" << "2" << 0
            << "Attenzione !!! Il codice fiscale inserito per il sostituto e' gia presente nel frontespizio" << 16
            << "TEXTCF" << nessuno << QStringList{"007", "01234567897", "ALFA SRL", "", "002"};
        riga("sostituto gia registrato")
            << "101" << "BNCLCU80A01H501Q" << "BIANCHI" << "1" << 0
            << "Attenzione !!! Anagrafica sostituto gia' presente." << 16 << conferma << nessuno
            << QStringList{"101", "BNCLCU80A01H501Q", "BIANCHI", "", "001"};
        riga("codice azienda di un sostituto")
            << "101" << "VRDGPP70A01F205V" << "VERDI" << "1" << 0
            << "Attenzione !!! Il codice azienda inserito per il sostituto e' gia presente " << 16 << "TEXTAZI"
            << nessuno << QStringList{"101", "VRDGPP70A01F205V", "VERDI", "", "001"};
        riga("partita IVA di un sostituto")
            << "7" << "09876543217" << "DELTA SRL" << "1" << 0
            << "Attenzione !!! Il codice fiscale inserito per il sostituto e' gia presente " << 16 << "TEXTCF"
            << nessuno << QStringList{"007", "09876543217", "DELTA SRL", "", "001"};
        riga("azienda collegata senza frontespizio")
            << "7" << "VRDGPP70A01F205V" << "VERDI" << "9" << 0
            << "Attenzione !!! Il codice azienda collegata inserito non è presente nel frontespizio" << 16
            << "TextAZICOL" << nessuno << QStringList{"007", "VRDGPP70A01F205V", "VERDI", "", ""};
        riga("azienda collegata vuota diventa 000")
            << "7" << "VRDGPP70A01F205V" << "VERDI" << "" << 0
            << "Attenzione !!! Il codice azienda collegata inserito non è presente nel frontespizio" << 16
            << "TextAZICOL" << nessuno << QStringList{"007", "VRDGPP70A01F205V", "VERDI", "", ""};
        riga("azienda collegata registrata come sostituto")
            << "7" << "VRDGPP70A01F205V" << "VERDI" << "3" << 0
            << "Attenzione !!! Il codice azienda collegata inserito  è gia presente nelle anagrafiche sostituti"
            << 16 << "TextAZICOL" << nessuno << QStringList{"007", "VRDGPP70A01F205V", "VERDI", "", ""};
    }

    void controlloFallito()
    {
        QFETCH(QString, azienda);
        QFETCH(QString, codiceFiscale);
        QFETCH(QString, cognome);
        QFETCH(QString, collegata);
        QFETCH(int, risposta);
        QFETCH(QString, messaggio);
        QFETCH(int, stile);
        QFETCH(QString, fuocoAtteso);
        QFETCH(QString, evidenziato);
        QFETCH(QStringList, testiAttesi);

        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QString prima = archivio->istantanea();
        apri(prova);
        digita(prova, {azienda, codiceFiscale, cognome, QString(""), collegata});
        if (risposta != 0)
            MessageBox::setNextAnswer(risposta);
        conferma(prova);

        QCOMPARE(testiMostrati(), QStringList{messaggio});
        QCOMPARE(MessageBox::shown().first().stile, stile);
        QCOMPARE(MessageBox::shown().first().titolo, prova.finestra.Caption());
        QCOMPARE(nomeFuoco(), fuocoAtteso);
        for (int i = 0; i < CAMPI.size(); ++i) {
            TextBox* campo = prova.campo(CAMPI[i]);
            QCOMPARE(campo->text(), testiAttesi[i]);
            QCOMPARE(campo->ForeColor(), NERO);
            QCOMPARE(campo->BackColor(), CAMPI[i] == evidenziato ? GIALLO : BIANCO);
        }
        // Still in the insertion frame, nothing pending, nothing written.
        QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("FrmInserimento"))->isVisible());
        QVERIFY(!inScheda(prova));
        QCOMPARE(prova.modulo.NUOVOSOSTITUTO, 0);
        QCOMPARE(archivio->istantanea(), prima);
        indiciPrincipali(prova);

        // Typing into the highlighted field gives it its normal colours back.
        if (!evidenziato.isEmpty()) {
            TextBox* campo = prova.campo(evidenziato);
            QTest::keyClick(campo, campo->text().isEmpty() ? Qt::Key_1 : Qt::Key_Backspace);
            QCOMPARE(campo->BackColor(), BIANCO);
        }

        // A second, correct confirmation runs every lookup on the right index.
        azzeraMessaggi();
        apri(prova);
        digita(prova, VALIDO);
        conferma(prova);
        QVERIFY(testiMostrati().isEmpty());
        QVERIFY(inScheda(prova));
        QCOMPARE(prova.finestra.CODAZISOST, QStringLiteral("007"));
        indiciPrincipali(prova);
        QCOMPARE(archivio->istantanea(), prima);
    }

    void didascaliaLettaAlMomento()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.controllo<QLabel>(QStringLiteral("Label2(1)"))->setText(QStringLiteral("C.F. / P.IVA"));
        apri(prova);
        digita(prova, {"7", "", "VERDI", "", "1"});
        conferma(prova);
        QCOMPARE(testiMostrati(), QStringList{QStringLiteral("Inserire C.F. / P.IVA")});
    }

    void partitaIvaErrataAccettataConSi()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QString prima = archivio->istantanea();
        apri(prova);
        digita(prova, {"7", "12345678900", "verdi srl", "", "1"});
        MessageBox::setNextAnswer(vbYes);
        conferma(prova);
        QCOMPARE(testiMostrati(),
                 QStringList{QStringLiteral("Partita IVA formalmente errata\r\rVuoi proseguire ugualmente ?")});
        QVERIFY(inScheda(prova));
        QCOMPARE(prova.finestra.CFSSOST, QStringLiteral("12345678900"));
        QCOMPARE(archivio->istantanea(), prima);
    }

    void partitaIvaErrataSiPoiDuplicato()
    {
        // After the Yes the duplicate checks still run.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apri(prova);
        digita(prova, {"1", "12345678900", "verdi srl", "", "2"});
        MessageBox::setNextAnswer(vbYes);
        conferma(prova);
        QCOMPARE(testiMostrati(),
                 (QStringList{QStringLiteral("Partita IVA formalmente errata\r\rVuoi proseguire ugualmente ?"),
                              QStringLiteral("Attenzione !!! Il codice azienda inserito per il sostituto e' gia "
                                             "presente nel frontespizio")}));
        QCOMPARE(nomeFuoco(), QStringLiteral("TEXTAZI"));
        QVERIFY(!inScheda(prova));
    }

    void passaggioAllaScheda_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("intestazione");
        QTest::newRow("persona fisica") << "giuseppe" << "VERDI GIUSEPPE";
        QTest::newRow("societa") << "" << "VERDI";
    }
    void passaggioAllaScheda()
    {
        QFETCH(QString, nome);
        QFETCH(QString, intestazione);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QString prima = archivio->istantanea();
        apri(prova);
        digita(prova, {"7", "VRDGPP70A01F205V", "verdi", nome, "1"});
        conferma(prova);

        QVERIFY(testiMostrati().isEmpty());
        for (const char* frame : {"Frmmoduli(0)", "Frmbottoni", "Frmtestata"})
            QVERIFY2(prova.controllo<QGroupBox>(QString::fromLatin1(frame))->isVisible(), frame);
        QVERIFY(!prova.controllo<QGroupBox>(QStringLiteral("FrmSelezione"))->isVisible());
        QCOMPARE(prova.controllo<QLabel>(QStringLiteral("LabCOGNODEN"))->text(), intestazione);
        QCOMPARE(prova.controllo<QLabel>(QStringLiteral("LabCF"))->text(), QStringLiteral("VRDGPP70A01F205V"));
        QCOMPARE(prova.controllo<QLabel>(QStringLiteral("LabAZI"))->text(), QStringLiteral("007"));
        QCOMPARE(prova.campo(QStringLiteral("Text1(1)"))->text(), QStringLiteral("VERDI"));
        QCOMPARE(prova.campo(QStringLiteral("Text1(2)"))->text(), nome.toUpper());
        QCOMPARE(prova.campo(QStringLiteral("Text1(10)"))->text(), QStringLiteral("001"));
        // The rest of the sheet as the opening of the frame cleared it.
        QCOMPARE(prova.campo(QStringLiteral("Text1(3)"))->text(), QString());
        QCOMPARE(prova.campo(QStringLiteral("Text1(4)"))->text(), QStringLiteral("00/00/0000"));
        QCOMPARE(prova.campo(QStringLiteral("Text1(9)"))->text(), QString());
        QCOMPARE(prova.finestra.CFSSOST, QStringLiteral("VRDGPP70A01F205V"));
        QCOMPARE(prova.finestra.CODAZISOST, QStringLiteral("007"));
        QCOMPARE(prova.modulo.NUOVOSOSTITUTO, 1);
        // Not stored yet: an unsaved change until the first save.
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        QVERIFY(!prova.bottone(QStringLiteral("cmdparcprec"))->isEnabled());
        QVERIFY(!prova.bottone(QStringLiteral("cmdparcsuc"))->isEnabled());
        QCOMPARE(nomeFuoco(), QStringLiteral("Text1(1)"));
        indiciPrincipali(prova);
        QCOMPARE(archivio->istantanea(), prima);
    }

    void percorsoCompletoFinoAllaRigaSalvata()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const qint64 prima = archivio->conta(QStringLiteral("SELECT COUNT(*) FROM ANAGSOSTITUTI"));
        apri(prova);
        digita(prova, VALIDO);
        conferma(prova);
        QVERIFY(inScheda(prova));

        // The sheet completed with the keyboard, field after field.
        auto avanti = [](const char* atteso) {
            QTest::keyClick(fuoco(), Qt::Key_Tab);
            QCOMPARE(nomeFuoco(), QString::fromLatin1(atteso));
        };
        avanti("Text1(2)");
        avanti("Text1(3)");
        QTest::keyClicks(fuoco(), QStringLiteral("m"));
        avanti("Text1(4)");
        QTest::keyClicks(fuoco(), QStringLiteral("15081970"));
        avanti("Text1(5)");
        QTest::keyClicks(fuoco(), QStringLiteral("roma"));
        avanti("Text1(6)");
        QTest::keyClicks(fuoco(), QStringLiteral("rm"));
        avanti("CMDAPRILIST(0)");
        avanti("Text1(7)");
        QTest::keyClicks(fuoco(), QStringLiteral("milano"));
        avanti("Text1(8)");
        QTest::keyClicks(fuoco(), QStringLiteral("mi"));
        avanti("CMDAPRILIST(1)");
        avanti("Text1(9)");
        QTest::keyClicks(fuoco(), QStringLiteral("via verdi 2"));
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        prova.click(QStringLiteral("cmdmemorizza"));
        QVERIFY2(testiMostrati().isEmpty(), qPrintable(testiMostrati().join(QLatin1Char('|'))));

        const auto righe = archivio->righe(QStringLiteral("SELECT * FROM ANAGSOSTITUTI WHERE CODAZI = '007'"));
        QCOMPARE(righe.size(), 1);
        const QVariantMap& riga = righe.first();
        QCOMPARE(riga.value("CODAZI").toString(), QStringLiteral("007"));
        QCOMPARE(riga.value("CFS").toString(), QStringLiteral("VRDGPP70A01F205V"));
        const QStringList attesi = {"VERDI", "GIUSEPPE", "M",      "19700815", "ROMA",
                                    "RM",    "MILANO",   "MI",     "VIA VERDI 2", "001"};
        for (int n = 1; n <= 10; ++n)
            QCOMPARE(riga.value(QStringLiteral("ASOST_%1").arg(n)).toString(), attesi[n - 1]);
        QCOMPARE(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM ANAGSOSTITUTI")), prima + 1);

        // No longer pending: the moves work again and start from the new row.
        QCOMPARE(prova.modulo.NUOVOSOSTITUTO, 0);
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QVERIFY(prova.bottone(QStringLiteral("cmdparcprec"))->isEnabled());
        QVERIFY(prova.bottone(QStringLiteral("cmdparcsuc"))->isEnabled());
        prova.click(QStringLiteral("cmdparcsuc"));
        QCOMPARE(prova.finestra.CODAZISOST, QStringLiteral("101"));

        // Back in the selection the new substitute has its line.
        prova.click(QStringLiteral("cmdselprec"));
        QVERIFY(prova.rigaDi(QStringLiteral("007"), QStringLiteral("VRDGPP70A01F205V")) > 0);
    }

    void societaConPartitaIvaSalvata()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apri(prova);
        digita(prova, {"12", "03456789019", "verdi srl", "", "3"});
        // 003 is a declarant that is also a substitute: refused, field emptied.
        conferma(prova);
        QCOMPARE(prova.campo(QStringLiteral("TextAZICOL"))->text(), QString());
        QCOMPARE(nomeFuoco(), QStringLiteral("TextAZICOL"));
        QTest::keyClicks(fuoco(), QStringLiteral("2"));
        azzeraMessaggi();
        conferma(prova);
        QVERIFY(inScheda(prova));
        QCOMPARE(prova.campo(QStringLiteral("Text1(10)"))->text(), QStringLiteral("002"));

        prova.campo(QStringLiteral("Text1(7)"))->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(fuoco(), QStringLiteral("torino"));
        QTest::keyClick(fuoco(), Qt::Key_Tab);
        QTest::keyClicks(fuoco(), QStringLiteral("to"));
        prova.campo(QStringLiteral("Text1(9)"))->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(fuoco(), QStringLiteral("corso francia 1"));
        prova.click(QStringLiteral("cmdmemorizza"));
        QVERIFY2(testiMostrati().isEmpty(), qPrintable(testiMostrati().join(QLatin1Char('|'))));

        const auto righe = archivio->righe(QStringLiteral("SELECT * FROM ANAGSOSTITUTI WHERE CODAZI = '012'"));
        QCOMPARE(righe.size(), 1);
        // Stored as typed: the partita IVA with its eleven characters.
        QCOMPARE(righe.first().value("CFS").toString(), QStringLiteral("03456789019"));
        QCOMPARE(righe.first().value("ASOST_1").toString(), QStringLiteral("VERDI SRL"));
        QCOMPARE(righe.first().value("ASOST_2").toString(), QString());
        QCOMPARE(righe.first().value("ASOST_4").toString(), QStringLiteral("00000000"));
        QCOMPARE(righe.first().value("ASOST_10").toString(), QStringLiteral("002"));
        QCOMPARE(prova.controllo<QLabel>(QStringLiteral("LabCF"))->text(), QStringLiteral(" 03456789019"));
    }

    void lasciareLaSchedaSenzaSalvare_data()
    {
        QTest::addColumn<bool>("modificata");
        QTest::addColumn<bool>("esci");
        QTest::newRow("altra anagrafica, scheda intatta, No") << false << false;
        QTest::newRow("altra anagrafica, scheda modificata, No") << true << false;
        QTest::newRow("uscita, scheda intatta, No") << false << true;
        QTest::newRow("uscita, scheda modificata, No") << true << true;
    }
    void lasciareLaSchedaSenzaSalvare()
    {
        // The new substitute exists only on the sheet: leaving it always asks,
        // and a No leaves nothing behind.
        QFETCH(bool, modificata);
        QFETCH(bool, esci);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QString prima = archivio->istantanea();
        apri(prova);
        digita(prova, VALIDO);
        conferma(prova);
        QVERIFY(inScheda(prova));
        if (modificata)
            QTest::keyClick(prova.campo(QStringLiteral("Text1(1)")), Qt::Key_X);
        MessageBox::setNextAnswer(vbNo);
        prova.click(esci ? QStringLiteral("cmduscita(0)") : QStringLiteral("cmdselprec"));
        QCOMPARE(testiMostrati(), QStringList{QStringLiteral("Sono state effettuate delle variazioni\rSalvare ?")});
        if (esci) {
            QVERIFY(prova.finestra.scaricata());
        } else {
            QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("FrmSelezione"))->isVisible());
            QCOMPARE(prova.rigaDi(QStringLiteral("007"), QStringLiteral("VRDGPP70A01F205V")), -1);
        }
        QCOMPARE(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM ANAGSOSTITUTI WHERE CODAZI = '007'")), 0);
        QCOMPARE(archivio->istantanea(), prima);
    }

    void nuovoAbbandonatoNonBloccaGliSpostamenti()
    {
        // A new substitute given up with "Altra anagrafica": the next
        // substitute opened can be left with the move buttons again.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apri(prova);
        digita(prova, VALIDO);
        conferma(prova);
        QVERIFY(inScheda(prova));
        QVERIFY(!prova.bottone(QStringLiteral("cmdparcprec"))->isEnabled());
        MessageBox::setNextAnswer(vbNo);
        prova.click(QStringLiteral("cmdselprec"));
        QCOMPARE(prova.modulo.NUOVOSOSTITUTO, 0);
        prova.doppioClickLista(1);
        QVERIFY(inScheda(prova));
        QVERIFY(prova.bottone(QStringLiteral("cmdparcprec"))->isEnabled());
        QVERIFY(prova.bottone(QStringLiteral("cmdparcsuc"))->isEnabled());
    }
};

QTEST_MAIN(TestInserimento)
#include "tst_inserimento.moc"
