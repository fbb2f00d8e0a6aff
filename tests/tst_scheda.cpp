// The data sheet: loading and clearing, the fields under real key presses,
// the date check on leaving its field, and the save question asked by every
// way out of a sheet with unsaved changes.
#include "schedaprova.h"

#include <QMessageBox>
#include <QPushButton>

using namespace scheda;

namespace {

enum Chiamante { Precedente, Successiva, Altra, Uscita, Chiusura };
enum Risposta { Si, No, Annulla, SiConErrore, SiBloccato };

} // namespace

Q_DECLARE_METATYPE(Chiamante)
Q_DECLARE_METATYPE(Risposta)

class TestScheda : public QObject {
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
        popola(*archivio);
        configura(archivio->cartella());
    }
    void cleanup()
    {
        MessageBox::setAutoAnswer(true);
        archivio.reset();
    }

    // ---- loading and clearing ----

    void caricamento_data()
    {
        QTest::addColumn<QString>("codazi");
        QTest::addColumn<QString>("cfs");
        QTest::addColumn<QStringList>("testi");
        QTest::addColumn<QString>("nome");
        QTest::newRow("every field") << ROSSI.codice() << ROSSI.cf()
                                     << QStringList{"ROSSI", "MARIO", "M", "15/08/1975", "ROMA", "RM", "MILANO",
                                                    "MI", "VIA ROMA 1", "001"}
                                     << " ROSSI MARIO";
        QTest::newRow("company, eight zeros") << ALFA.codice() << ALFA.cf()
                                              << QStringList{"ALFA SRL", "", "", "00/00/0000", "", "", "TORINO",
                                                             "TO", "CORSO FRANCIA 2", "002"}
                                              << " ALFA SRL ";
        QTest::newRow("empty date") << VERDI.codice() << VERDI.cf()
                                    << QStringList{"VERDI", "GIUSEPPE", "M", "//", "ROMA", "RM", "ROMA", "RM",
                                                   "VIA VERDI 9", "002"}
                                    << " VERDI GIUSEPPE";
        QTest::newRow("Null name and address") << BIANCHI.codice() << BIANCHI.cf()
                                               << QStringList{"BIANCHI", "", "F", "00/00/0000", "NAPOLI", "NA", "",
                                                              "", "", "007"}
                                               << " BIANCHI ";
        QTest::newRow("Null date, code as stored") << NERI.codice() << NERI.cf()
                                                   << QStringList{"NERI", "PAOLO", "M", "//", "TORINO", "TO",
                                                                  "TORINO", "TO", "VIA PO 1", "7"}
                                                   << " NERI PAOLO";
    }
    void caricamento()
    {
        QFETCH(QString, codazi);
        QFETCH(QString, cfs);
        QFETCH(QStringList, testi);
        QFETCH(QString, nome);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.doppioClickLista(prova.rigaDi(codazi, cfs));
        QVERIFY(inScheda(prova));
        QCOMPARE(testiScheda(prova), testi);
        QCOMPARE(evidenziati(prova), QList<int>());
        QCOMPARE(testata(prova), (QStringList{nome, QLatin1Char(' ') + cfs, QLatin1Char(' ') + codazi}));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QCOMPARE(testiMostrati(), QStringList());
    }

    void caricamentoTogliEvidenziazione()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        // A refused save highlights the town of residence.
        riscrivi(prova, 7, QString());
        prova.click(QStringLiteral("cmdmemorizza"));
        QCOMPARE(evidenziati(prova), QList<int>{7});
        // Loading another substitute (after dropping the change) shows every field normal.
        MessageBox::setNextAnswer(vbNo);
        prova.click(QStringLiteral("cmdparcsuc"));
        QVERIFY(mostra(prova, VERDI));
        QCOMPARE(evidenziati(prova), QList<int>());
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        prova.click(QStringLiteral("cmdparcprec"));
        QVERIFY(mostra(prova, ROSSI));
        QCOMPARE(campo(prova, 7)->text(), QStringLiteral("MILANO"));

        // Back to the list and in again: the sheet is cleared and loaded afresh.
        riscrivi(prova, 9, QString());
        prova.click(QStringLiteral("cmdmemorizza"));
        QCOMPARE(evidenziati(prova), QList<int>{9});
        MessageBox::setNextAnswer(vbNo);
        prova.click(QStringLiteral("cmdselprec"));
        QVERIFY(inSelezione(prova));
        QVERIFY(apri(prova, ROSSI));
        QCOMPARE(evidenziati(prova), QList<int>());
        QCOMPARE(campo(prova, 9)->text(), QStringLiteral("VIA ROMA 1"));
    }

    void cambioDiTestoTogliEvidenziazione()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        riscrivi(prova, 5, QString());
        prova.click(QStringLiteral("cmdmemorizza"));
        QCOMPARE(evidenziati(prova), QList<int>{5});
        QTest::keyClicks(campo(prova, 5), QStringLiteral("a"));
        QCOMPARE(evidenziati(prova), QList<int>());
        QCOMPARE(campo(prova, 5)->text(), QStringLiteral("A"));
    }

    // ---- typing ----

    void maiuscole_data()
    {
        QTest::addColumn<int>("indice");
        QTest::addColumn<QString>("tasti");
        QTest::addColumn<QString>("testo");
        QTest::newRow("surname, accented") << 1 << QStringLiteral("d'amicò è") << QStringLiteral("D'AMICÒ È");
        QTest::newRow("first name") << 2 << QStringLiteral("niccolò") << QStringLiteral("NICCOLÒ");
        QTest::newRow("town of birth") << 5 << QStringLiteral("forlì-cesena 2") << QStringLiteral("FORLÌ-CESENA 2");
        QTest::newRow("province of birth") << 6 << QStringLiteral("rmx") << QStringLiteral("RM");
        QTest::newRow("town of residence") << 7 << QStringLiteral("città") << QStringLiteral("CITTÀ");
        QTest::newRow("province of residence") << 8 << QStringLiteral("fc") << QStringLiteral("FC");
        QTest::newRow("street") << 9 << QStringLiteral("via po, 3/a") << QStringLiteral("VIA PO, 3/A");
    }
    void maiuscole()
    {
        QFETCH(int, indice);
        QFETCH(QString, tasti);
        QFETCH(QString, testo);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        riscrivi(prova, indice, tasti);
        QCOMPARE(campo(prova, indice)->text(), testo);
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
    }

    void sesso_data()
    {
        QTest::addColumn<QString>("tasti");
        QTest::addColumn<QString>("testo");
        QTest::newRow("f") << QStringLiteral("f") << QStringLiteral("F");
        QTest::newRow("m") << QStringLiteral("m") << QStringLiteral("M");
        QTest::newRow("F") << QStringLiteral("F") << QStringLiteral("F");
        QTest::newRow("x empties") << QStringLiteral("x") << QString();
        QTest::newRow("f then x") << QStringLiteral("fx") << QString();
        QTest::newRow("x then f") << QStringLiteral("xf") << QStringLiteral("F");
        QTest::newRow("m then f replaces") << QStringLiteral("mf") << QStringLiteral("F");
        QTest::newRow("backspace empties") << QStringLiteral("m\b") << QString();
        QTest::newRow("enter empties") << QStringLiteral("f\r") << QString();
        QTest::newRow("blank") << QStringLiteral("m ") << QStringLiteral(" ");
        QTest::newRow("digit") << QStringLiteral("1") << QString();
    }
    void sesso()
    {
        QFETCH(QString, tasti);
        QFETCH(QString, testo);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        TextBox* c = campo(prova, 3);
        entra(prova, 3);
        QCOMPARE(c->text(), QStringLiteral("M"));
        for (const QChar tasto : tasti) {
            QTest::keyClicks(c, QString(tasto));
            QVERIFY2(c->text().size() <= 1, qPrintable(c->text()));
        }
        QCOMPARE(c->text(), testo);
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
    }

    void mascheraData()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        TextBox* c = campo(prova, 4);
        entra(prova, 5);
        c->setCursorPosition(7);
        entra(prova, 4);
        QCOMPARE(c->SelStart(), 0);
        const struct {
            char tasto;
            const char* testo;
            int caret;
        } passi[] = {
            {'2', "25/08/1975", 1}, {'1', "21/08/1975", 3}, {'1', "21/18/1975", 4}, {'2', "21/12/1975", 6},
            {'2', "21/12/2975", 7}, {'0', "21/12/2075", 8}, {'0', "21/12/2005", 9}, {'4', "21/12/2004", 9},
            {'3', "21/12/2003", 9},
        };
        for (const auto& passo : passi) {
            QTest::keyClick(c, passo.tasto);
            QCOMPARE(c->text(), QString::fromLatin1(passo.testo));
            QCOMPARE(c->SelStart(), passo.caret);
        }
        // A refused digit (4 as first day digit) and a letter change nothing.
        c->setCursorPosition(0);
        QTest::keyClicks(c, QStringLiteral("4a"));
        QCOMPARE(c->text(), QStringLiteral("21/12/2003"));
        // Backspace clears the whole date.
        QTest::keyClick(c, Qt::Key_Backspace);
        QCOMPARE(c->text(), QStringLiteral("00/00/0000"));
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
    }

    void codiceAziendaCollegataNonSiDigita()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        TextBox* c = campo(prova, 10);
        QVERIFY(!c->isEnabled());
        QTest::keyClicks(c, QStringLiteral("123"));
        QTest::keyClick(c, Qt::Key_Backspace);
        QCOMPARE(c->text(), QStringLiteral("001"));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        // The keyboard skips it: province of residence, its lookup button, street.
        entra(prova, 8);
        QTest::keyClick(campo(prova, 8), Qt::Key_Tab);
        QCOMPARE(prova.finestra.focusWidget(), prova.bottone(QStringLiteral("CMDAPRILIST(1)")));
        QTest::keyClick(prova.bottone(QStringLiteral("CMDAPRILIST(1)")), Qt::Key_Tab);
        QCOMPARE(prova.finestra.focusWidget(), campo(prova, 9));
        QVERIFY(!c->hasFocus());
    }

    void ordineDiTabulazione()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        entra(prova, 1);
        const QStringList attesi{"Text1(2)", "Text1(3)", "Text1(4)", "Text1(5)", "Text1(6)",
                                 "CMDAPRILIST(0)", "Text1(7)", "Text1(8)", "CMDAPRILIST(1)", "Text1(9)"};
        QStringList visti;
        for (int i = 0; i < attesi.size(); ++i) {
            QTest::keyClick(prova.finestra.focusWidget(), Qt::Key_Tab);
            visti << prova.finestra.focusWidget()->objectName();
        }
        QCOMPARE(visti, attesi);
        // Leaving the date field untouched (a valid date) said nothing.
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
    }

    void campiDellaScheda()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const struct {
            const char* didascalia;
            int lunghezza, left, top, width;
        } campi[] = {
            {nullptr, 0, 0, 0, 0},
            {"Cognome o Denominazione", 30, 1800, 1410, 3525},
            {"Nome", 20, 5520, 1410, 2325},
            {"Sesso ( M/F )", 1, 8220, 1410, 345},
            {"Data di nascita", 10, 1800, 2070, 1305},
            {"Comune (o Stato estero) di nascita", 40, 3810, 2070, 4065},
            {"Prov.(sigla)", 2, 8220, 2070, 405},
            {"Comune", 40, 1800, 2730, 4425},
            {"Prov.(sigla)", 2, 6930, 2730, 435},
            {"Via e numero civico", 35, 1800, 3390, 3915},
            {"Codice azienda collegata", 3, 8220, 2730, 735},
        };
        for (int n = 1; n <= 10; ++n) {
            TextBox* c = campo(prova, n);
            QCOMPARE(c->maxLength(), campi[n].lunghezza);
            QCOMPARE(c->geometry(), QRect(TWIPS(campi[n].left), TWIPS(campi[n].top), TWIPS(campi[n].width),
                                          TWIPS(315)));
            QVERIFY(QFontInfo(c->font()).fixedPitch());
            auto* didascalia = prova.controllo<QLabel>(QStringLiteral("testate3(%1)").arg(n));
            QCOMPARE(didascalia->text(), QString::fromLatin1(campi[n].didascalia));
            QCOMPARE(didascalia->palette().color(QPalette::WindowText), QColor(128, 0, 0));
        }
        for (int n : {0, 11}) {
            auto* titolo = prova.controllo<QLabel>(QStringLiteral("testate3(%1)").arg(n));
            QCOMPARE(titolo->palette().color(QPalette::WindowText), QColor(0, 0, 128));
            QVERIFY(titolo->font().bold());
        }
        QVERIFY(!campo(prova, 10)->isEnabled());
        QVERIFY(!prova.bottone(QStringLiteral("CMDAPRILIST(2)"))->isVisibleTo(&prova.finestra));
    }

    void caretAllaFineAlFocus_data()
    {
        QTest::addColumn<int>("indice");
        for (int n : {1, 2, 3, 5, 6, 7, 8, 9})
            QTest::addRow("field %d", n) << n;
    }
    void caretAllaFineAlFocus()
    {
        QFETCH(int, indice);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        TextBox* c = campo(prova, indice);
        entra(prova, indice == 1 ? 2 : 1);
        c->setCursorPosition(0);
        entra(prova, indice);
        QCOMPARE(c->SelStart(), int(c->text().size()));
        // Typing goes at the end (the sex field takes no Z, the provinces are full).
        const QString prima = c->text();
        QTest::keyClicks(c, QStringLiteral("z"));
        if (indice == 3)
            QCOMPARE(c->text(), QString());
        else if (indice == 6 || indice == 8)
            QCOMPARE(c->text(), prima);
        else
            QCOMPARE(c->text(), prima + QLatin1Char('Z'));
    }

    void ogniTastoSegnaVariazioni_data()
    {
        QTest::addColumn<int>("indice");
        QTest::addColumn<int>("tasto");
        QTest::addColumn<QString>("testo");
        QTest::newRow("enter in the surname") << 1 << int(Qt::Key_Return) << QStringLiteral("ROSSI");
        QTest::newRow("escape in the first name") << 2 << int(Qt::Key_Escape) << QStringLiteral("MARIO");
        QTest::newRow("refused key in the sex field") << 3 << int(Qt::Key_Q) << QString();
        QTest::newRow("enter in the date") << 4 << int(Qt::Key_Return) << QStringLiteral("15/08/1975");
        QTest::newRow("refused digit in the date") << 4 << int(Qt::Key_4) << QStringLiteral("15/08/1975");
        QTest::newRow("refused letter in the date") << 4 << int(Qt::Key_B) << QStringLiteral("15/08/1975");
        QTest::newRow("enter in a province") << 6 << int(Qt::Key_Return) << QStringLiteral("RM");
        QTest::newRow("key past the maximum length") << 8 << int(Qt::Key_X) << QStringLiteral("MI");
        QTest::newRow("backspace in the street") << 9 << int(Qt::Key_Backspace) << QStringLiteral("VIA ROMA ");
    }
    void ogniTastoSegnaVariazioni()
    {
        QFETCH(int, indice);
        QFETCH(int, tasto);
        QFETCH(QString, testo);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        entra(prova, indice);
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QTest::keyClick(campo(prova, indice), Qt::Key(tasto));
        QCOMPARE(campo(prova, indice)->text(), testo);
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        // The change is reported on the way out.
        MessageBox::setNextAnswer(vbCancel);
        prova.click(QStringLiteral("cmdselprec"));
        QCOMPARE(testiMostrati(), QStringList{DOMANDA});
    }

    void modificheSenzaCarattere()
    {
        // Delete and cut change the text without typing a character: a change all the same.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        TextBox* via = campo(prova, 9);
        entra(prova, 9);
        QTest::keyClick(via, Qt::Key_Delete); // at the end: nothing to delete
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QTest::keyClick(via, Qt::Key_Home);
        QTest::keyClick(via, Qt::Key_Delete);
        QCOMPARE(via->text(), QStringLiteral("IA ROMA 1"));
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        MessageBox::setNextAnswer(vbNo);
        prova.click(QStringLiteral("cmdparcsuc"));
        QCOMPARE(testiMostrati(), QStringList{DOMANDA});
        QVERIFY(mostra(prova, VERDI));
        entra(prova, 1);
        QTest::keyClick(campo(prova, 1), Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClick(campo(prova, 1), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(campo(prova, 1)->text(), QString());
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
    }

    void valoriDelProgrammaNonSegnanoVariazioni()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ALFA));
        // A move loads another record into the fields.
        prova.click(QStringLiteral("cmdparcsuc"));
        QVERIFY(mostra(prova, ROSSI));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        // Moving the focus through the fields, the date included, is no change.
        entra(prova, 1);
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(prova.finestra.focusWidget(), Qt::Key_Tab);
        QCOMPARE(prova.finestra.focusWidget(), campo(prova, 9));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        prova.click(QStringLiteral("cmdselprec"));
        QVERIFY(inSelezione(prova));
        QCOMPARE(testiMostrati(), QStringList());
        // The insertion entry clears the sheet.
        prova.doppioClickLista(0);
        QCOMPARE(testiScheda(prova), (QStringList{"", "", "", "00/00/0000", "", "", "", "", "", "0"}));
        QCOMPARE(evidenziati(prova), QList<int>());
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
    }

    // ---- the date checked on leaving its field ----

    void dataAllUscitaDalCampo_data()
    {
        QTest::addColumn<QString>("asost4");
        QTest::addColumn<QString>("tasti"); // typed into the cleared mask from its first digit
        QTest::addColumn<QString>("mostrato");
        QTest::addColumn<bool>("errata");
        QTest::newRow("31/02/1980") << "19750815" << "31021980" << "31/02/1980" << true;
        QTest::newRow("31/04/1980") << "19750815" << "31041980" << "31/04/1980" << true;
        QTest::newRow("29/02 common year") << "19750815" << "29021981" << "29/02/1981" << true;
        QTest::newRow("29/02 leap year") << "19750815" << "29021980" << "29/02/1980" << false;
        QTest::newRow("29/02/2000") << "19750815" << "29022000" << "29/02/2000" << false;
        QTest::newRow("15/08/1975 untouched") << "19750815" << "" << "15/08/1975" << false;
        QTest::newRow("year 0000 as stored") << "00000815" << "" << "15/08/0000" << true;
        QTest::newRow("empty stored date") << "" << "" << "//" << true;
        QTest::newRow("eight zeros") << "00000000" << "" << "00/00/0000" << false;
        QTest::newRow("cleared by backspace") << "19750815" << "\b" << "00/00/0000" << false;
        QTest::newRow("month 13 stored") << "19751315" << "" << "15/13/1975" << true;
        QTest::newRow("day 00 stored") << "19750800" << "" << "00/08/1975" << true;
    }
    void dataAllUscitaDalCampo()
    {
        QFETCH(QString, asost4);
        QFETCH(QString, tasti);
        QFETCH(QString, mostrato);
        QFETCH(bool, errata);
        const Sostituto s{"099", "PROVAA80A01H501Z"};
        archivio->aggiungiSostituto(s.codice(), s.cf(),
                                    {QStringLiteral("PROVA"), QStringLiteral("ANNA"), QStringLiteral("F"), asost4,
                                     QStringLiteral("ROMA"), QStringLiteral("RM"), QStringLiteral("ROMA"),
                                     QStringLiteral("RM"), QStringLiteral("VIA ROMA 2"), QStringLiteral("001")});
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, s));
        TextBox* data = campo(prova, 4);
        entra(prova, 4);
        if (!tasti.isEmpty()) {
            QTest::keyClick(data, Qt::Key_Backspace);
            QTest::keyClick(data, Qt::Key_Home);
            QTest::keyClicks(data, tasti);
        }
        QCOMPARE(data->text(), mostrato);
        QTest::keyClick(data, Qt::Key_Tab);
        if (errata) {
            QCOMPARE(MessageBox::shown().size(), 1);
            QCOMPARE(MessageBox::shown().first().testo, DATAERRATA);
            QCOMPARE(MessageBox::shown().first().stile, int(vbInformation));
            QCOMPARE(MessageBox::shown().first().titolo, prova.finestra.Caption());
            QCOMPARE(evidenziati(prova), QList<int>{4});
            QCOMPARE(prova.finestra.focusWidget(), data);
            QCOMPARE(data->SelStart(), 0);
        } else {
            QCOMPARE(testiMostrati(), QStringList());
            QCOMPARE(evidenziati(prova), QList<int>());
            QCOMPARE(prova.finestra.focusWidget(), campo(prova, 5));
        }
        QCOMPARE(data->text(), mostrato);
        QCOMPARE(prova.modulo.VARIAZIONI, tasti.isEmpty() ? 0 : 1);
    }

    void dataErrataBoxReale()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, VERDI));
        entra(prova, 4);
        BoxReale visto;
        rispondiBoxReale(vbOK, &visto);
        QTest::keyClick(campo(prova, 4), Qt::Key_Tab);
        QCOMPARE(visto.testo, DATAERRATA);
        QCOMPARE(visto.icona, int(QMessageBox::Information));
        QCOMPARE(visto.bottoni, QStringList{QStringLiteral("OK")});
        QCOMPARE(visto.titolo, prova.finestra.Caption());
        QCOMPARE(prova.finestra.focusWidget(), campo(prova, 4));
        QCOMPARE(evidenziati(prova), QList<int>{4});
    }

    void elencoDiRicercaNascosto()
    {
        // Focus on a field or on the save and move buttons, or a click on the
        // sheet, closes the lookup list.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        auto* elenco = prova.controllo<QGroupBox>(QStringLiteral("Framecodif"));
        for (const char* dove : {"Text1(1)", "Text1(4)", "Text1(9)", "cmdmemorizza", "cmdparcprec", "cmdparcsuc"}) {
            entra(prova, 2);
            elenco->show();
            prova.controllo<QWidget>(QString::fromLatin1(dove))->setFocus(Qt::TabFocusReason);
            QVERIFY2(!elenco->isVisible(), dove);
        }
        elenco->show();
        QTest::mouseClick(prova.controllo<QGroupBox>(QStringLiteral("Frmmoduli(0)")), Qt::LeftButton, {},
                          QPoint(5, 5));
        QVERIFY(!elenco->isVisible());
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QCOMPARE(testiMostrati(), QStringList());
    }

    // ---- the save question ----

    void domandaDiSalvataggio_data()
    {
        QTest::addColumn<Chiamante>("chiamante");
        QTest::addColumn<Risposta>("risposta");
        const std::pair<Chiamante, const char*> chiamanti[] = {{Precedente, "previous"},
                                                               {Successiva, "next"},
                                                               {Altra, "other substitute"},
                                                               {Uscita, "exit"},
                                                               {Chiusura, "window closed"}};
        const std::pair<Risposta, const char*> risposte[] = {{Si, "Yes"},
                                                             {No, "No"},
                                                             {Annulla, "Cancel"},
                                                             {SiConErrore, "Yes, check fails"},
                                                             {SiBloccato, "Yes, archive locked"}};
        for (const auto& [c, nomeC] : chiamanti)
            for (const auto& [r, nomeR] : risposte)
                QTest::addRow("%s, %s", nomeC, nomeR) << c << r;
    }
    void domandaDiSalvataggio()
    {
        QFETCH(Chiamante, chiamante);
        QFETCH(Risposta, risposta);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        riscrivi(prova, 1, QStringLiteral("rossini"));
        if (risposta == SiConErrore)
            riscrivi(prova, 7, QString());
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        const QStringList digitati = testiScheda(prova);
        const QString prima = archivio->istantanea();
        const QVariantMap rigaPrima = riga(*archivio, ROSSI);
        const int righePrima = int(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM ANAGSOSTITUTI")));

        MessageBox::setNextAnswer(risposta == Annulla ? vbCancel : risposta == No ? vbNo : vbYes);
        bool chiusa = false;
        {
            std::unique_ptr<ArchivioProva::Blocco> blocco;
            if (risposta == SiBloccato)
                blocco = archivio->blocca();
            switch (chiamante) {
            case Precedente: prova.click(QStringLiteral("cmdparcprec")); break;
            case Successiva: prova.click(QStringLiteral("cmdparcsuc")); break;
            case Altra: prova.click(QStringLiteral("cmdselprec")); break;
            case Uscita: prova.click(QStringLiteral("cmduscita(0)")); break;
            case Chiusura: chiusa = prova.finestra.close(); break;
            }
        }

        QVERIFY(!MessageBox::shown().isEmpty());
        const auto domanda = MessageBox::shown().first();
        QCOMPARE(domanda.testo, DOMANDA);
        QCOMPARE(domanda.stile, STILEDOMANDA);
        QCOMPARE(domanda.titolo, prova.finestra.Caption());
        QCOMPARE(MessageBox::pendingAnswers(), 0);

        const bool resta = risposta == Annulla || risposta == SiConErrore || risposta == SiBloccato;
        if (resta) {
            QStringList attesi{DOMANDA};
            if (risposta == SiConErrore)
                attesi << QStringLiteral("Inserire comune di residenza o domicilio fiscale");
            if (risposta == SiBloccato)
                attesi << OCCUPATO;
            QCOMPARE(testiMostrati(), attesi);
            QVERIFY(!prova.finestra.scaricata());
            QVERIFY(prova.finestra.isVisible());
            QVERIFY(!chiusa);
            QVERIFY(mostra(prova, ROSSI));
            QCOMPARE(testiScheda(prova), digitati);
            QCOMPARE(prova.modulo.VARIAZIONI, 1);
            QCOMPARE(prova.modulo.RISPOSTA, risposta == Annulla ? int(vbCancel) : int(vbYes));
            QCOMPARE(archivio->istantanea(), prima);
            if (risposta == SiConErrore) {
                QCOMPARE(prova.modulo.ERRORECAMPI, 1);
                QCOMPARE(evidenziati(prova), QList<int>{7});
                QCOMPARE(prova.finestra.focusWidget(), campo(prova, 7));
            }
            if (risposta == SiBloccato)
                QCOMPARE(MessageBox::shown().last().stile, int(vbCritical));
            return;
        }

        QCOMPARE(testiMostrati(), QStringList{DOMANDA});
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QCOMPARE(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM ANAGSOSTITUTI")), righePrima);
        if (risposta == No) {
            QCOMPARE(archivio->istantanea(), prima);
        } else {
            QVariantMap attesa = rigaPrima;
            attesa[QStringLiteral("ASOST_1")] = QStringLiteral("ROSSINI");
            QCOMPARE(riga(*archivio, ROSSI), attesa);
        }
        switch (chiamante) {
        case Precedente:
            QVERIFY(mostra(prova, ALFA));
            QCOMPARE(campo(prova, 1)->text(), QStringLiteral("ALFA SRL"));
            break;
        case Successiva:
            QVERIFY(mostra(prova, VERDI));
            QCOMPARE(campo(prova, 1)->text(), QStringLiteral("VERDI"));
            break;
        case Altra: {
            QVERIFY(inSelezione(prova));
            const int r = prova.rigaDi(ROSSI.codice(), ROSSI.cf());
            QVERIFY(r > 0);
            QCOMPARE(prova.righeLista().at(r).mid(21).trimmed(),
                     risposta == Si ? QStringLiteral("ROSSINI MARIO") : QStringLiteral("ROSSI MARIO"));
            break;
        }
        case Uscita:
        case Chiusura:
            QVERIFY(prova.finestra.scaricata());
            QVERIFY(!prova.finestra.isVisible());
            QVERIFY(!prova.modulo.DBANNO);
            if (chiamante == Chiusura)
                QVERIFY(chiusa);
            break;
        }
    }

    void domandaConBoxReale()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        riscrivi(prova, 2, QStringLiteral("luigi"));
        const QString prima = archivio->istantanea();
        BoxReale visto;
        rispondiBoxReale(vbCancel, &visto);
        prova.click(QStringLiteral("cmdselprec"));
        QCOMPARE(visto.testo, QStringLiteral("Sono state effettuate delle variazioni\nSalvare ?"));
        QCOMPARE(visto.titolo, prova.finestra.Caption());
        QCOMPARE(visto.icona, int(QMessageBox::Question));
        QStringList bottoni = visto.bottoni;
        bottoni.sort();
        QCOMPARE(bottoni, (QStringList{"Cancel", "No", "Yes"}));
        QCOMPARE(visto.predefinito, QStringLiteral("Yes"));
        QCOMPARE(prova.modulo.RISPOSTA, int(vbCancel));
        QVERIFY(mostra(prova, ROSSI));
        QCOMPARE(campo(prova, 2)->text(), QStringLiteral("LUIGI"));
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        QCOMPARE(archivio->istantanea(), prima);

        // The real box answered No: the sheet is left and nothing is written.
        QApplication::setActiveWindow(&prova.finestra);
        rispondiBoxReale(vbNo, &visto);
        prova.click(QStringLiteral("cmdselprec"));
        QVERIFY(inSelezione(prova));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QCOMPARE(archivio->istantanea(), prima);
    }

    void uscitaDallaSelezioneNonChiede()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        riscrivi(prova, 1, QStringLiteral("x"));
        MessageBox::setNextAnswer(vbNo);
        prova.click(QStringLiteral("cmdselprec"));
        QVERIFY(inSelezione(prova));
        MessageBox::clearShown();
        // Whatever the flag says (the lookup list, say, set it on the way),
        // the exit of the selection frame does not ask.
        const QString prima = archivio->istantanea();
        prova.modulo.VARIAZIONI = 1;
        prova.click(QStringLiteral("cmduscita(1)"));
        QCOMPARE(testiMostrati(), QStringList());
        QVERIFY(prova.finestra.scaricata());
        QCOMPARE(archivio->istantanea(), prima);
    }

    void chiusuraInSelezioneNonChiede()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.modulo.VARIAZIONI = 1;
        QVERIFY(prova.finestra.close());
        QCOMPARE(testiMostrati(), QStringList());
        QVERIFY(prova.finestra.scaricata());
    }

    void senzaVariazioniSiEsceSubito()
    {
        // A refused save of a sheet nobody typed into (the linked company's
        // front page is gone): the field emptied by the check is no change,
        // and the sheet is left without the question.
        archivio->esegui(QStringLiteral("DELETE FROM FRONTESPIZIO WHERE CODAZI = '002'"));
        FinestraProva prova;
        QVERIFY(prova.avvia());
        for (const char* via : {"cmdselprec", "cmdparcsuc"}) {
            QVERIFY(apri(prova, ALFA));
            MessageBox::clearShown();
            prova.click(QStringLiteral("cmdmemorizza"));
            QCOMPARE(testiMostrati().size(), 1);
            QCOMPARE(prova.modulo.ERRORECAMPI, 1);
            QCOMPARE(campo(prova, 10)->text(), QString());
            QCOMPARE(prova.modulo.VARIAZIONI, 0);
            MessageBox::clearShown();
            prova.click(QString::fromLatin1(via));
            QCOMPARE(testiMostrati(), QStringList());
            if (qstrcmp(via, "cmdselprec") == 0) {
                QVERIFY(inSelezione(prova));
            } else {
                QVERIFY(mostra(prova, ROSSI));
                prova.click(QStringLiteral("cmdselprec"));
            }
        }
        // Closing the window the same way.
        QVERIFY(apri(prova, ALFA));
        prova.click(QStringLiteral("cmdmemorizza"));
        QCOMPARE(prova.modulo.ERRORECAMPI, 1);
        MessageBox::clearShown();
        QVERIFY(prova.finestra.close());
        QCOMPARE(testiMostrati(), QStringList());
        QVERIFY(prova.finestra.scaricata());
    }
};

QTEST_MAIN(TestScheda)
#include "tst_scheda.moc"
