// The data sheet: loading, the fields under real key presses, the date check
// on leaving its field, its look, and the save question asked by every way
// out of a sheet with unsaved changes.
#include "schedaprova.h"

using namespace scheda;
// Keys typed into field n of s's sheet, the field's text after Tab, "Data di nascita errata" shown on leaving.
using Caso = std::tuple<Sostituto, int, QString, QString, bool>;

// Yes to the save question, and then the checks refuse the sheet.
enum { SI_CONTROLLI = 100 };

class TestScheda : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }
    void init() { archivio = nuovoArchivio(); }

    // A sheet loaded, keys typed into field n, then Tab: each field's own key
    // rule (the rules themselves are the checks'), the date checked on
    // leaving. Every key is a change, except in the disabled field. How
    // stored values read on the sheet is the core's.
    void caricamentoEDigitazione_data()
    {
        QTest::addColumn<Caso>("caso");
        QTest::newRow("capitals, accents, apostrophe") << Caso{ROSSI, 2, " d'amicò è", "MARIO D'AMICÒ È", false};
        QTest::newRow("sex: a key replaces the last") << Caso{ROSSI, 3, "mf", "F", false};
        QTest::newRow("31/02") << Caso{ROSSI, 4, "\b31021980", "31/02/1980", true};
        QTest::newRow("linked company is not typed") << Caso{ROSSI, 10, "123\b", "001", false};
        QTest::newRow("empty date") << Caso{VERDI, 4, "", "//", true};
    }
    void caricamentoEDigitazione()
    {
        QFETCH(Caso, caso);
        const auto& [s, n, tasti, testo, errata] = caso;
        QStringList attesi = QString(s.cfs == ROSSI.cfs ? "ROSSI|MARIO|M|15/08/1975|ROMA|RM|MILANO|MI|VIA ROMA 1|001"
                                                        : "VERDI|GIUSEPPE|M|//|ROMA|RM|ROMA|RM|VIA VERDI 9|001")
                                 .split('|');
        FinestraProva prova;
        QVERIFY(apri(prova, s));
        TextBox* c = campo(prova, n);
        c->setCursorPosition(n == 4 ? 7 : 0); // away from where entering the field puts it
        entra(prova, n);
        digita(c, tasti);
        QTest::keyClick(c, Qt::Key_Tab);
        attesi[n - 1] = (errata ? "*" : "") + testo;
        QCOMPARE(testiScheda(prova), attesi.join('|'));
        QCOMPARE(prova.modulo.VARIAZIONI, !tasti.isEmpty() && n != 10 ? 1 : 0);
        QCOMPARE(boxMostrati(prova), errata ? QStringList{QString::number(vbInformation) + ":Data di nascita errata"} : QStringList());
        QCOMPARE(prova.finestra.focusWidget() == c, errata);
    }

    void domandaDiSalvataggio_data()
    {
        QTest::addColumn<QString>("via"); // the button clicked; empty: the window closed
        QTest::addColumn<int>("risposta");
        const std::pair<int, const char*> risposte[] = {{vbYes, "Yes"}, {vbNo, "No"}, {vbCancel, "Cancel"},
                                                        {SI_CONTROLLI, "Yes, the checks refuse"}};
        for (const char* via : {"cmdparcsuc", "cmdselprec", "cmduscita(0)", ""})
            for (const auto& [r, nome] : risposte)
                QTest::addRow("%s, %s", *via ? via : "window closed", nome) << QString(via) << r;
    }
    void domandaDiSalvataggio()
    {
        QFETCH(QString, via);
        QFETCH(int, risposta);
        FinestraProva prova;
        QVERIFY(apri(prova, ROSSI));
        // Delete types no character: a change all the same.
        entra(prova, 1);
        QTest::keyClick(campo(prova, 1), Qt::Key_Home);
        QTest::keyClick(campo(prova, 1), Qt::Key_Delete);
        if (risposta == SI_CONTROLLI)
            riscrivi(prova, 7, "");
        const QString prima = archivio->istantanea();
        const QString salvato =
            archivio->istantaneaDopo("UPDATE ANAGSOSTITUTI SET ASOST_1 = 'OSSI' WHERE CFS = ?", {ROSSI.cfs});
        MessageBox::setNextAnswer(risposta == SI_CONTROLLI ? int(vbYes) : risposta);
        const bool chiusa = via.isEmpty() && prova.finestra.close();
        if (!via.isEmpty())
            prova.click(via);

        QCOMPARE(boxMostrati(prova).first(), QString::number(vbYesNoCancel + vbQuestion) + ":" + DOMANDA);
        QCOMPARE(MessageBox::shown().size(), risposta == SI_CONTROLLI ? 2 : 1);
        QCOMPARE(archivio->istantanea(), risposta == vbYes ? salvato : prima);
        // A Cancel or a refused save stays on the sheet with every typed value
        // and the error, still to be saved.
        const bool resta = risposta == vbCancel || risposta == SI_CONTROLLI;
        QCOMPARE(prova.modulo.VARIAZIONI, resta ? 1 : 0);
        if (resta) {
            QVERIFY(!chiusa);
            QVERIFY(mostra(prova, ROSSI));
            QCOMPARE(testiScheda(prova), QString("OSSI|MARIO|M|15/08/1975|ROMA|RM|%1|MI|VIA ROMA 1|001")
                                             .arg(risposta == vbCancel ? "MILANO" : "*"));
        } else if (via.isEmpty() || via == "cmduscita(0)") {
            QCOMPARE(chiusa, via.isEmpty());
            QVERIFY(prova.finestra.scaricata());
            QVERIFY(!prova.modulo.DBANNO);
        } else
            QVERIFY(via == "cmdparcsuc" ? mostra(prova, VERDI) : prova.controllo<QWidget>("FrmSelezione")->isVisible());
    }
};

QTEST_MAIN(TestScheda)
#include "tst_scheda.moc"
