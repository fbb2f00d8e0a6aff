// The data sheet: each field's key rule, the date checked on leaving its
// field, a field the checks refuse, what a save leaves on the sheet, the
// question asked by every way out of a sheet with unsaved changes, the moves
// in key order, values stored longer than their fields. The rules themselves
// are the checks' (tst_tasti) and the core's (tst_registro).
#include "support/finestraprova.h"
#include "support/programma.h"

#include "registry/testi.h"

#include <QLabel>

namespace {

// Key order: ALFA, ROSSI, VERDI, NERI; name order: ALFA, NERI, ROSSI, VERDI.
const Chiave ALFA{"001", "12345678903"}, ROSSI{"001", "RSSMRA75M15H501X"}, VERDI{"002", "VRDGPP70A01F205X"},
    NERI{"010", "NREPLA60C10L219K"};
const QString DOMANDA = "Sono state effettuate delle variazioni\rSalvare ?";

// The window on ALFA, ROSSI, VERDI and NERI, with front pages 001 and 007.
std::unique_ptr<BancoProva> banco()
{
    auto p = std::make_unique<BancoProva>();
    p->archivio.aggiungiFrontespizio("007", "03456789014", {}, {}, "GAMMA SPA");
    p->sostituto(VERDI, {"1=VERDI", "2=GIUSEPPE", "4=", "6=RM", "7=ROMA", "8=RM", "9=VIA VERDI 9"});
    p->sostituto(ROSSI);
    p->sostituto(NERI, {"1=NERI", "2=PAOLO", "4=NULL", "5=TORINO", "6=TO", "7=TORINO", "8=TO", "9=VIA PO 1", "10=7"});
    p->sostituto(ALFA, {"1=ALFA SRL", "2=", "3=", "4=00000000", "5=", "6=", "7=TORINO", "8=TO", "9=CORSO FRANCIA 2"});
    return p;
}
const QString SCHEDAROSSI = "ROSSI|MARIO|M|15/08/1975|ROMA|RM|MILANO|MI|VIA ROMA 1|001";

// Yes to the save question, and then the checks refuse the sheet.
enum { SI_CONTROLLI = 100 };

} // namespace

class TestScheda : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }

    // Keys typed into field n of ROSSI's sheet (VERDI's for an empty date),
    // then Tab: each field's own key rule, the date checked on leaving. Every
    // key is a change, except in the disabled field.
    void digitazione_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("tasti");
        QTest::addColumn<QString>("testo"); // the field's text after Tab, "*" when highlighted
        QTest::newRow("capitals, accents, apostrophe") << 2 << " d'amicò è"
                                                       << "MARIO D'AMICÒ È";
        QTest::newRow("sex: a key replaces the last") << 3 << "mf"
                                                      << "F";
        QTest::newRow("31/02") << 4 << "\b31021980"
                               << "*31/02/1980";
        QTest::newRow("linked company is not typed") << 10 << "123\b"
                                                     << "001";
        QTest::newRow("empty date") << 4 << ""
                                    << "*//";
    }
    void digitazione()
    {
        QFETCH(int, n);
        QFETCH(QString, tasti);
        QFETCH(QString, testo);
        const bool verdi = tasti.isEmpty();
        QStringList attesi =
            QString(verdi ? "VERDI|GIUSEPPE|M|//|ROMA|RM|ROMA|RM|VIA VERDI 9|001" : SCHEDAROSSI).split('|');
        attesi[n - 1] = testo;
        const auto p = banco();
        QVERIFY(p->apri(verdi ? VERDI : ROSSI));
        TextBox* c = p->campo(n);
        c->setCursorPosition(n == 4 ? 7 : 0); // away from where entering the field puts it
        c->setFocus(Qt::TabFocusReason);
        digita(c, tasti);
        QTest::keyClick(c, Qt::Key_Tab);
        const bool errata = testo.startsWith('*');
        QCOMPARE(p->scheda(), attesi.join('|'));
        QCOMPARE(p->modulo.VARIAZIONI, !tasti.isEmpty() && n != 10 ? 1 : 0);
        QCOMPARE(p->box(),
                 errata ? QStringList{QString::number(vbInformation) + ":Data di nascita errata"} : QStringList());
        QCOMPARE(p->fuoco() == c->objectName(), errata);
    }

    // A save from the button: the field refused highlighted, the focus in it
    // (a disabled field cannot take it), what the checks clear shown; a saved
    // sheet reloaded from the row, the header with it.
    void salvataggio_data()
    {
        QTest::addColumn<QStringList>("cambi"); // fields retyped, "n=text"
        QTest::addColumn<int>("n");             // the field refused; 0: saved
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<QString>("dopo"); // the sheet afterwards
        QTest::newRow("linked company without front page")
            << QStringList{"4=15081975"} << 10 << registro::testi::COLLEGATASENZAFRONTESPIZIO
            << "NERI|PAOLO|M|15/08/1975|TORINO|TO|TORINO|TO|VIA PO 1|*";
        QTest::newRow("company: birth data cleared") << QStringList{"2=", "7="} << 7 << registro::testi::INSERIRECOMUNE
                                                     << "ROSSI|||00/00/0000|||*|MI|VIA ROMA 1|001";
        QTest::newRow("saved") << QStringList{"1=de' santìs", "9=via indipendenza 10"} << 0 << ""
                               << "DE' SANTÌS|MARIO|M|15/08/1975|ROMA|RM|MILANO|MI|VIA INDIPENDENZA 10|001";
        QTest::newRow("saved, linked company stored as 7")
            << QStringList{"4=15081975"} << 0 << ""
            << "NERI|PAOLO|M|15/08/1975|TORINO|TO|TORINO|TO|VIA PO 1|007";
    }
    void salvataggio()
    {
        QFETCH(QStringList, cambi);
        QFETCH(int, n);
        QFETCH(QString, messaggio);
        QFETCH(QString, dopo);
        const auto p = banco();
        const bool neri = dopo.startsWith("NERI");
        QVERIFY(p->apri(neri ? NERI : ROSSI));
        if (n == 10)
            p->archivio.esegui("DELETE FROM FRONTESPIZIO WHERE CODAZI = '007'");
        for (const QString& c : cambi)
            p->scrivi(c.section('=', 0, 0).toInt(), c.section('=', 1));
        p->click("cmdmemorizza");

        QCOMPARE(p->scheda(), dopo);
        QCOMPARE(p->box(), n ? QStringList{QString::number(n == 10 ? vbCritical : vbInformation) + ':' + messaggio}
                             : QStringList());
        QCOMPARE(p->fuoco(), n == 0 || n == 10 ? QString("cmdmemorizza") : QString("Text1(%1)").arg(n));
        QCOMPARE(p->modulo.VARIAZIONI, n ? 1 : 0);
        QCOMPARE(p->modulo.ERRORECAMPI, n ? 1 : 0);
        const QString nome = n ? (neri ? "PAOLO" : "MARIO") : dopo.section('|', 1, 1);
        QCOMPARE(p->controllo<QLabel>("LabCOGNODEN")->text(), " " + dopo.section('|', 0, 0) + " " + nome);
    }

    // Every way out of a sheet with unsaved changes asks; a Cancel or a
    // refused save stays on the sheet with every typed value and the error.
    void domandaDiSalvataggio_data()
    {
        QTest::addColumn<QString>("via"); // the button clicked; empty: the window closed
        QTest::addColumn<int>("risposta");
        QTest::newRow("next, Yes") << "cmdparcsuc" << int(vbYes);
        QTest::newRow("next, Cancel") << "cmdparcsuc" << int(vbCancel);
        QTest::newRow("back to the list, No") << "cmdselprec" << int(vbNo);
        QTest::newRow("back to the list, Yes refused") << "cmdselprec" << int(SI_CONTROLLI);
        QTest::newRow("exit, Yes") << "cmduscita(0)" << int(vbYes);
        QTest::newRow("exit, Cancel") << "cmduscita(0)" << int(vbCancel);
        QTest::newRow("window closed, No") << "" << int(vbNo);
        QTest::newRow("window closed, Yes refused") << "" << int(SI_CONTROLLI);
    }
    void domandaDiSalvataggio()
    {
        QFETCH(QString, via);
        QFETCH(int, risposta);
        const auto p = banco();
        QVERIFY(p->apri(ROSSI));
        // Delete types no character: a change all the same.
        p->campo(1)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(p->campo(1), Qt::Key_Home);
        QTest::keyClick(p->campo(1), Qt::Key_Delete);
        if (risposta == SI_CONTROLLI)
            p->scrivi(7, "");
        const QString prima = p->archivio.istantanea();
        const QString salvato =
            p->archivio.istantaneaDopo("UPDATE ANAGSOSTITUTI SET ASOST_1 = 'OSSI' WHERE CFS = ?", {ROSSI.cfs});
        MessageBox::setNextAnswer(risposta == SI_CONTROLLI ? int(vbYes) : risposta);
        const bool chiusa = via.isEmpty() && p->finestra.close();
        if (!via.isEmpty())
            p->click(via);

        QCOMPARE(p->box().first(), QString::number(vbYesNoCancel + vbQuestion) + ":" + DOMANDA);
        QCOMPARE(p->box().size(), risposta == SI_CONTROLLI ? 2 : 1);
        QCOMPARE(p->archivio.istantanea(), risposta == vbYes ? salvato : prima);
        const bool resta = risposta == vbCancel || risposta == SI_CONTROLLI;
        QCOMPARE(p->modulo.VARIAZIONI, resta ? 1 : 0);
        if (resta) {
            QVERIFY(!chiusa);
            QVERIFY(p->mostra(ROSSI));
            QCOMPARE(p->scheda(), QString("OSSI|MARIO|M|15/08/1975|ROMA|RM|%1|MI|VIA ROMA 1|001")
                                      .arg(risposta == vbCancel ? "MILANO" : "*"));
        } else if (via.isEmpty() || via == "cmduscita(0)") {
            QCOMPARE(chiusa, via.isEmpty());
            QVERIFY(p->finestra.scaricata());
            QVERIFY(!p->modulo.DBANNO);
        } else {
            QVERIFY(via == "cmdparcsuc" ? p->mostra(VERDI) : p->visibile("FrmSelezione"));
        }
    }

    void spostamenti()
    {
        // Key order, not the list's name order (VERDI is last by name); at the end a message and the same
        // substitute. Which substitute comes next is the core's.
        const auto p = banco();
        QVERIFY(p->avvia());
        QTest::mouseClick(p->controllo<QWidget>("Option1(2)"), Qt::LeftButton); // the list in name order
        QVERIFY(p->apri(VERDI));
        p->click("cmdparcsuc");
        QVERIFY(p->mostra(NERI));
        p->click("cmdparcsuc");
        QVERIFY(p->mostra(NERI));
        QCOMPARE(p->box(), QStringList{QString::number(vbInformation) + ":Ultima Anagrafica"});
    }

    void valoriLunghi()
    {
        // Values stored longer than their fields (30, 20, 1, 40, 40, 35 characters) by another program are shown
        // and saved whole: the maximum length limits typing, not what is loaded.
        const Chiave lungo{"101", "BRNLCU80L59H501Q"};
        const QStringList valori = {"BRUNETTI DE' SANTIS DELLA ROVERE",
                                    "MARIA LUISA GIOVANNA ANTONIETTA",
                                    "FF",
                                    "19800719",
                                    "SAN GIOVANNI IN PERSICETO CON FRAZIONE DECIMA",
                                    "BO",
                                    "CASTELNUOVO DI GARFAGNANA E PIEVE FOSCIANA ALTA",
                                    "LU",
                                    "VIA DEL CAMPO SANTO DEI FRATI MINORI 120/B",
                                    "001"};
        BancoProva p;
        p.archivio.aggiungiSostituto(lungo.codazi, lungo.cfs, QVariantList(valori.cbegin(), valori.cend()));
        QVERIFY(p.apri(lungo));
        for (const int n : {1, 2, 3, 5, 7, 9})
            QCOMPARE(p.campo(n)->text(), valori[n - 1]);
        QStringList attesi = valori;
        // Entering puts the caret after the last character; a key there is refused, a backspace deletes it.
        TextBox* comune = p.campo(5);
        comune->setFocus(Qt::TabFocusReason);
        QCOMPARE(comune->cursorPosition(), valori[4].size());
        digita(comune, "X");
        QTest::keyClick(comune, Qt::Key_Backspace);
        attesi[4].chop(1);
        // Typing over a selection may bring the text back to the length it had, not beyond.
        p.campo(9)->setFocus(Qt::TabFocusReason);
        p.campo(9)->setSelection(0, 3);
        digita(p.campo(9), "p.za");
        attesi[8] = "P.Z" + valori[8].mid(3);
        // Another field changed: the long ones untouched are stored as they were.
        p.scrivi(8, "mi");
        attesi[7] = "MI";
        p.click("cmdmemorizza");
        QCOMPARE(p.registrato(lungo), attesi.join('|'));
    }
};

PROVA(TestScheda);
#include "scheda.moc"
