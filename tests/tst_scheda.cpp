// The data sheet: loading, the fields under real key presses, the date check
// on leaving its field, and the save question asked by every way out of a
// sheet with unsaved changes.
#include "schedaprova.h"

#include <QMessageBox>
#include <QPushButton>

using namespace scheda;
Q_DECLARE_METATYPE(scheda::Sostituto)

// Answers of the save question beyond Yes, No and Cancel: Yes, and then the
// check refuses the sheet, or another program holds the archive.
enum { SI_CON_ERRORE = 100, SI_BLOCCATO };

class TestScheda : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        azzeraMessaggi();
        archivio = std::make_unique<ArchivioProva>();
        archivio->creaAnno();
        popola(*archivio);
        configura(archivio->cartella());
    }
    void cleanup() { MessageBox::setAutoAnswer(true); archivio.reset(); } // after a real box that never showed

    void caricamento_data()
    {
        QTest::addColumn<Sostituto>("s");
        QTest::addColumn<QString>("testi");
        QTest::newRow("every field") << ROSSI << "ROSSI|MARIO|M|15/08/1975|ROMA|RM|MILANO|MI|VIA ROMA 1|001";
        QTest::newRow("company, eight zeros") << ALFA << "ALFA SRL|||00/00/0000|||TORINO|TO|CORSO FRANCIA 2|002";
        QTest::newRow("empty date") << VERDI << "VERDI|GIUSEPPE|M|//|ROMA|RM|ROMA|RM|VIA VERDI 9|002";
        QTest::newRow("Null name and address") << BIANCHI << "BIANCHI||F|00/00/0000|NAPOLI|NA||||007";
        QTest::newRow("Null date, code as stored") << NERI << "NERI|PAOLO|M|//|TORINO|TO|TORINO|TO|VIA PO 1|7";
    }
    void caricamento()
    {
        QFETCH(Sostituto, s);
        QFETCH(QString, testi);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        for (int n = 1; n <= 10; ++n) // loading puts every field back to its normal colours
            campo(prova, n)->setBackColor(GIALLO);
        QVERIFY(apri(prova, s));
        QCOMPARE(testiScheda(prova), testi);
        QCOMPARE(evidenziati(prova), QList<int>());
        QCOMPARE(prova.controllo<QLabel>("LabCOGNODEN")->text(), " " + testi.section('|', 0, 1).replace('|', ' '));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
    }

    // Keys typed into a field of a test substitute's sheet, then Tab. The
    // caret is put away from where the field's got-focus puts it (the end of
    // the text; the start of the date) before the field is entered.
    void digitazione_data()
    {
        QTest::addColumn<QString>("data"); // stored date of birth
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("tasti");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("variazioni");
        QTest::addColumn<bool>("errata"); // "Data di nascita errata" on leaving the field
        const QString d = "19750815";
        QTest::newRow("first name, accented") << d << 2 << " d'amicò è" << "ANNA D'AMICÒ È" << 1 << false;
        QTest::newRow("key past the maximum length") << d << 6 << "x" << "RM" << 1 << false;
        QTest::newRow("enter") << d << 1 << "\r" << "PROVA" << 1 << false;
        QTest::newRow("backspace") << d << 9 << "\b" << "VIA ROMA " << 1 << false;
        QTest::newRow("sex f") << d << 3 << "f" << "F" << 1 << false;
        QTest::newRow("sex x empties") << d << 3 << "x" << "" << 1 << false;
        QTest::newRow("sex m then f replaces") << d << 3 << "mf" << "F" << 1 << false;
        QTest::newRow("sex blank") << d << 3 << " " << " " << 1 << false;
        QTest::newRow("date typed over") << d << 4 << "21122003" << "21/12/2003" << 1 << false;
        QTest::newRow("date: refused digit, letter, enter") << d << 4 << "4b\r" << "15/08/1975" << 1 << false;
        QTest::newRow("31/02") << d << 4 << "\b31021980" << "31/02/1980" << 1 << true;
        QTest::newRow("29/02/1900") << d << 4 << "\b29021900" << "29/02/1900" << 1 << true;
        QTest::newRow("29/02 of a leap year") << d << 4 << "\b29021980" << "29/02/1980" << 1 << false;
        QTest::newRow("year 0000 stored") << "00000815" << 4 << "" << "15/08/0000" << 0 << true;
        QTest::newRow("empty date stored") << "" << 4 << "" << "//" << 0 << true;
        QTest::newRow("eight zeros stored") << "00000000" << 4 << "" << "00/00/0000" << 0 << false;
        QTest::newRow("linked company is not typed") << d << 10 << "123\b" << "001" << 0 << false;
    }
    void digitazione()
    {
        QFETCH(QString, data);
        QFETCH(int, n);
        QFETCH(QString, tasti);
        QFETCH(QString, testo);
        QFETCH(int, variazioni);
        QFETCH(bool, errata);
        const Sostituto s{"099", "PROVAA80A01H501Z"};
        archivio->aggiungiSostituto(s.codazi, s.cfs,
                                    {"PROVA", "ANNA", "M", data, "ROMA", "RM", "ROMA", "RM", "VIA ROMA 2", "001"});
        FinestraProva prova;
        QVERIFY(apri(prova, s));
        TextBox* c = campo(prova, n);
        c->setCursorPosition(n == 4 ? 7 : 0);
        entra(prova, n);
        digita(c, tasti);
        QCOMPARE(c->text(), testo);
        QCOMPARE(prova.modulo.VARIAZIONI, variazioni);
        QTest::keyClick(c, Qt::Key_Tab);
        QCOMPARE(testiMostrati(), errata ? QStringList{"Data di nascita errata"} : QStringList());
        QCOMPARE(MessageBox::shown().value(0).stile, errata ? int(vbInformation) : 0);
        QCOMPARE(evidenziati(prova), errata ? QList<int>{4} : QList<int>());
        QCOMPARE(prova.finestra.focusWidget() == c, errata);
    }

    void variazioniSoloDallOperatore()
    {
        // What the program puts into the fields is no change: a move, and
        // tabbing through every field in order (the date left valid, the
        // disabled linked company skipped).
        FinestraProva prova;
        QVERIFY(apri(prova, ALFA));
        prova.click("cmdparcsuc");
        QVERIFY(mostra(prova, ROSSI));
        entra(prova, 1);
        QStringList visti;
        for (int i = 0; i < 10; ++i) {
            QTest::keyClick(prova.finestra.focusWidget(), Qt::Key_Tab);
            visti << prova.finestra.focusWidget()->objectName();
        }
        QCOMPARE(visti, QStringList({"Text1(2)", "Text1(3)", "Text1(4)", "Text1(5)", "Text1(6)", "CMDAPRILIST(0)",
                                     "Text1(7)", "Text1(8)", "CMDAPRILIST(1)", "Text1(9)"}));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);

        // Delete changes the text without a typed character: a change all the same.
        TextBox* via = campo(prova, 9);
        QTest::keyClick(via, Qt::Key_Home);
        QTest::keyClick(via, Qt::Key_Delete);
        QCOMPARE(via->text(), "IA ROMA 1");
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
    }

    void aspetto()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QStringList didascalie{"Cognome o Denominazione", "Nome", "Sesso ( M/F )", "Data di nascita",
                                     "Comune (o Stato estero) di nascita", "Prov.(sigla)", "Comune", "Prov.(sigla)",
                                     "Via e numero civico", "Codice azienda collegata"};
        const int misure[10][4] = {{30, 1800, 1410, 3525}, {20, 5520, 1410, 2325}, {1, 8220, 1410, 345},
                                   {10, 1800, 2070, 1305}, {40, 3810, 2070, 4065}, {2, 8220, 2070, 405},
                                   {40, 1800, 2730, 4425}, {2, 6930, 2730, 435},   {35, 1800, 3390, 3915},
                                   {3, 8220, 2730, 735}}; // maximum length; left, top, width in twips
        for (int n = 1; n <= 10; ++n) {
            const int* m = misure[n - 1];
            QCOMPARE(campo(prova, n)->maxLength(), m[0]);
            QCOMPARE(campo(prova, n)->geometry(), QRect(TWIPS(m[1]), TWIPS(m[2]), TWIPS(m[3]), TWIPS(315)));
            QVERIFY(QFontInfo(campo(prova, n)->font()).fixedPitch());
            auto* didascalia = prova.controllo<QLabel>(QString("testate3(%1)").arg(n));
            QCOMPARE(didascalia->text(), didascalie[n - 1]);
            QCOMPARE(didascalia->palette().color(QPalette::WindowText), QColor(128, 0, 0));
        }
    }

    // ---- the save question ----

    void domandaDiSalvataggio_data()
    {
        QTest::addColumn<QString>("via"); // the button clicked; empty: the window closed
        QTest::addColumn<int>("risposta");
        const std::pair<int, const char*> risposte[] = {{vbYes, "Yes"}, {vbNo, "No"}, {vbCancel, "Cancel"},
                                                        {SI_CON_ERRORE, "Yes, check fails"},
                                                        {SI_BLOCCATO, "Yes, archive locked"}};
        for (const char* via : {"cmdparcprec", "cmdparcsuc", "cmdselprec", "cmduscita(0)", ""})
            for (const auto& [r, nome] : risposte)
                QTest::addRow("%s, %s", *via ? via : "window closed", nome) << QString(via) << r;
    }
    void domandaDiSalvataggio()
    {
        QFETCH(QString, via);
        QFETCH(int, risposta);
        FinestraProva prova;
        QVERIFY(apri(prova, ROSSI));
        riscrivi(prova, 1, "rossini");
        if (risposta == SI_CON_ERRORE)
            riscrivi(prova, 7, "");
        const QString digitati = testiScheda(prova);
        const QString prima = archivio->istantanea();

        // Cancel is clicked on the real box; the other answers are given to the recorded one.
        BoxReale visto;
        if (risposta == vbCancel)
            rispondiBoxReale(vbCancel, &visto);
        else
            MessageBox::setNextAnswer(risposta == vbNo ? int(vbNo) : int(vbYes));
        auto blocco = risposta == SI_BLOCCATO ? archivio->blocca() : nullptr;
        const bool chiusa = via.isEmpty() && prova.finestra.close();
        if (!via.isEmpty())
            prova.click(via);
        blocco.reset();

        QStringList attesi{DOMANDA};
        if (risposta == SI_CON_ERRORE)
            attesi << "Inserire comune di residenza o domicilio fiscale";
        if (risposta == SI_BLOCCATO)
            attesi << OCCUPATO;
        QCOMPARE(testiMostrati(), attesi);
        QCOMPARE(MessageBox::shown().first().stile, int(vbYesNoCancel + vbQuestion));
        QCOMPARE(MessageBox::shown().first().titolo, prova.finestra.Caption());
        if (risposta == vbCancel || risposta == SI_CON_ERRORE || risposta == SI_BLOCCATO) {
            // Stays on the sheet with every typed value; nothing written.
            QVERIFY(!chiusa && !prova.finestra.scaricata() && prova.finestra.isVisible() && mostra(prova, ROSSI));
            QCOMPARE(testiScheda(prova), digitati);
            QCOMPARE(prova.modulo.VARIAZIONI, 1);
            QCOMPARE(prova.modulo.RISPOSTA, risposta == vbCancel ? int(vbCancel) : int(vbYes));
            QCOMPARE(archivio->istantanea(), prima);
            QCOMPARE(evidenziati(prova), risposta == SI_CON_ERRORE ? QList<int>{7} : QList<int>());
            if (risposta == vbCancel) {
                QCOMPARE(visto.testo, "Sono state effettuate delle variazioni\nSalvare ?");
                QCOMPARE(visto.icona, int(QMessageBox::Question));
                QCOMPARE(visto.bottoni.size(), 3); // Yes, No, Cancel
                QCOMPARE(visto.predefinito, "Yes");
            }
            return;
        }
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        if (risposta == vbNo)
            QCOMPARE(archivio->istantanea(), prima);
        else
            QCOMPARE(riga(*archivio, ROSSI).value("ASOST_1").toString(), "ROSSINI");
        if (via == "cmdparcprec" || via == "cmdparcsuc") {
            QVERIFY(mostra(prova, via == "cmdparcprec" ? ALFA : VERDI));
        } else if (via == "cmdselprec") {
            QVERIFY(prova.controllo<QGroupBox>("FrmSelezione")->isVisible());
            QCOMPARE(prova.righeLista().filter(ROSSI.cfs).value(0).mid(21).trimmed(),
                     risposta == vbYes ? "ROSSINI MARIO" : "ROSSI MARIO");
            // From the selection, closing the window never asks, whatever the flag says.
            prova.modulo.VARIAZIONI = 1;
            azzeraMessaggi();
            QVERIFY(prova.finestra.close());
            QCOMPARE(testiMostrati(), QStringList());
        } else {
            QVERIFY(prova.finestra.scaricata() && !prova.finestra.isVisible() && !prova.modulo.DBANNO);
            QCOMPARE(chiusa, via.isEmpty());
        }
    }
};

QTEST_MAIN(TestScheda)
#include "tst_scheda.moc"
