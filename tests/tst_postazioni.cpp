// Two workstations on one return: two sessions of the program on the same
// archive (a file, or a database on the server in the _pg run).
#include "schedaprova.h"

#include <QTimer>

namespace {

const QString X_AZI = "101", X_CF = "RSSMRA80A01H501U", NUOVOCF = "VRDGPP70A01F205V";
// What B did to the substitute (saved or deleted it), the button of A's save, A's answer to the question.
using Caso = std::tuple<bool, QString, int>;

// Replaces fields' texts by typing, as the operator would: field, text, field, text...
void scrivi(FinestraProva& prova, const QStringList& coppie)
{
    QApplication::setActiveWindow(&prova.finestra); // the operator's click on the window first
    QVERIFY(QTest::qWaitForWindowActive(&prova.finestra));
    for (int i = 0; i + 1 < coppie.size(); i += 2) {
        TextBox* t = prova.campo(coppie[i]);
        t->setFocus(Qt::TabFocusReason);
        QTest::keyClick(t, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(t, coppie[i + 1]);
    }
}

} // namespace

class TestPostazioni : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> a, b; // the two workstations, started on the archive

    // The substitutes' stored streets, and how many section rows carry cfs.
    QString righeDi(const QString& cfs)
    {
        const qint64 quadri = archivio->conta("SELECT COUNT(*) FROM QUADROLAUT WHERE CFS = ?", {cfs});
        return archivio->righe("SELECT ASOST_9 FROM ANAGSOSTITUTI WHERE CFS = ?", {cfs}).value(0).value("ASOST_9")
                   .toString() + QString("|%1").arg(quadri);
    }
    // The workstation picks the substitute in its list (with a double click: opens its sheet).
    void scegli(FinestraProva& p, bool doppio = false)
    {
        QApplication::setActiveWindow(&p.finestra);
        QVERIFY(QTest::qWaitForWindowActive(&p.finestra));
        clickRiga(p.lista(), p.rigaDi(X_AZI, X_CF), doppio);
    }

private slots:
    void initTestCase() { preparaAmbienteProva(); RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        archivio = scheda::annoProva();
        archivio->aggiungiSostituto(X_AZI, X_CF,
                                    {"ROSSI", "MARIO", "M", "19800101", "ROMA", "RM", "ROMA", "RM", "VIA ROMA", "001"});
        archivio->aggiungiRigaQuadro("QUADROLAUT", X_AZI, "01234567897", X_CF);
        for (auto* p : {&a, &b})
            *p = std::make_unique<FinestraProva>();
        QVERIFY(a->avvia());
        QVERIFY(b->avvia());
    }
    void cleanup() { b.reset(); a.reset(); archivio.reset(); }

    // B saves or deletes the substitute whose sheet A has loaded; A's save,
    // by the button or by "Salvare ?" Yes on leaving, then asks instead of
    // overwriting: Yes writes A's sheet (a deleted substitute's row alone, its
    // section rows stay deleted), No keeps B's work, Cancel writes nothing
    // and keeps the typing.
    void salvataggiConcorrenti_data()
    {
        QTest::addColumn<Caso>("c");
        QTest::newRow("changed, Yes") << Caso{false, "cmdmemorizza", vbYes};
        QTest::newRow("changed, No") << Caso{false, "cmdmemorizza", vbNo};
        QTest::newRow("changed, Cancel on leaving") << Caso{false, "cmduscita(0)", vbCancel};
        QTest::newRow("deleted, Yes") << Caso{true, "cmdmemorizza", vbYes};
        QTest::newRow("deleted, No") << Caso{true, "cmdmemorizza", vbNo};
    }
    void salvataggiConcorrenti()
    {
        QFETCH(Caso, c);
        const auto [cancellata, bottone, risposta] = c;
        scegli(*a, true);
        scegli(*b, !cancellata);
        if (!cancellata)
            scrivi(*b, {"Text1(9)", "via b 2"});
        b->click(cancellata ? "Cmdcancella" : "cmdmemorizza");
        scrivi(*a, {"Text1(9)", "via a 1"});
        if (bottone != "cmdmemorizza")
            MessageBox::setNextAnswer(vbYes);
        MessageBox::setNextAnswer(risposta);
        a->click(bottone);
        // The question (Yes, No, Cancel; exclamation) asks what to do about the other workstation's work.
        const QString domanda = cancellata ? "L'anagrafica non è più presente" : "Un'altra postazione ha modificato";
        QCOMPARE(scheda::boxMostrati(*a).filter(QString::number(vbYesNoCancel + vbExclamation) + ":Attenzione !!! "
                                                + domanda).size(), 1);
        QCOMPARE(righeDi(X_CF), risposta == vbYes ? "VIA A 1|" + QString::number(!cancellata)
                                                  : cancellata ? "|0" : "VIA B 2|1");
        QCOMPARE(a->campo("Text1(9)")->text(), risposta == vbNo && !cancellata ? "VIA B 2" : "VIA A 1");
        QCOMPARE(a->modulo.VARIAZIONI, risposta == vbCancel ? 1 : 0);
        QVERIFY(!a->finestra.scaricata());
    }

    // A's new code given meanwhile by another workstation, after A's checks
    // passed: A's save of the new substitute, or A's change of codice fiscale
    // once confirmed, is refused with the stop box of the code already
    // present; A stays where it was (the sheet to save; the frame with the
    // code, the focus back in it) and nothing of A's is written.
    void codiceDatoNelFrattempo_data()
    {
        QTest::addColumn<bool>("inserimento");
        QTest::newRow("insertion") << true;
        QTest::newRow("change of codice fiscale") << false;
    }
    void codiceDatoNelFrattempo()
    {
        QFETCH(bool, inserimento);
        const auto altra = [this] {
            archivio->aggiungiSostituto("109", NUOVOCF, {"BIANCHI", "", "", "00000000", "", "", "ROMA", "RM", "VIA", "001"});
        };
        const QString dopo = archivio->istantaneaDopo(
            "INSERT INTO ANAGSOSTITUTI (CODAZI, CFS, ASOST_1, ASOST_2, ASOST_3, ASOST_4, ASOST_5, ASOST_6, ASOST_7, "
            "ASOST_8, ASOST_9, ASOST_10) VALUES ('109', ?, 'BIANCHI', '', '', '00000000', '', '', 'ROMA', 'RM', 'VIA', "
            "'001')",
            {NUOVOCF});
        if (inserimento) {
            a->doppioClickLista(0);
            scrivi(*a, {"TEXTAZI", "102", "TEXTCF", NUOVOCF, "TextCOGNO", "VERDI SRL", "TextAZICOL", "001"});
            a->click("CmdInserimento(0)");
            QVERIFY(a->controllo<QWidget>("Frmmoduli(0)")->isVisible());
            scrivi(*a, {"Text1(7)", "ROMA", "Text1(8)", "RM", "Text1(9)", "VIA VERDI"});
            altra();
            azzeraMessaggi();
            a->click("cmdmemorizza");
        } else {
            scegli(*a);
            a->click("CmdCambia");
            scrivi(*a, {"Text2", NUOVOCF});
            azzeraMessaggi();
            // The other workstation while A reads "Proseguo ???", after A's checks; then A answers Yes.
            MessageBox::setAutoAnswer(false);
            std::function<void()> mentreChiede = [&] {
                if (!QApplication::activeModalWidget())
                    return QTimer::singleShot(10, mentreChiede);
                altra();
                rispondiBoxReale(vbYes);
            };
            QTimer::singleShot(0, mentreChiede);
            a->bottone("CmdConfermaCF")->setFocus(Qt::MouseFocusReason); // as the operator's click gives it
            a->click("CmdConfermaCF");
        }
        QCOMPARE(scheda::boxMostrati(*a).last(),
                 scheda::box(vbCritical, "Attenzione !!! Il codice fiscale inserito per il sostituto e' gia presente "));
        QCOMPARE(archivio->istantanea(), dopo);
        if (inserimento) {
            QVERIFY(a->controllo<QWidget>("Frmmoduli(0)")->isVisible());
            QCOMPARE(a->modulo.NUOVOSOSTITUTO, 1);
            QCOMPARE(a->modulo.ERRORECAMPI, 1);
        } else {
            QVERIFY(a->controllo<QWidget>("FrameCambiaCf")->isVisible());
            QCOMPARE(a->finestra.focusWidget(), a->campo("Text2"));
        }
    }

    void cambioCfMentreLAltraElenca()
    {
        // A lists the old code while B gives the substitute a new one: A's stale line opens nothing. (A deletion
        // by it finds no substitute, as one gone meanwhile: tst_cancella.)
        const int vecchia = a->rigaDi(X_AZI, X_CF);
        scegli(*b);
        b->click("CmdCambia");
        scrivi(*b, {"Text2", NUOVOCF});
        b->click("CmdConfermaCF");
        a->doppioClickLista(vecchia);
        QVERIFY(a->controllo<QWidget>("FrmSelezione")->isVisible());
        QVERIFY(!a->controllo<QWidget>("Frmmoduli(0)")->isVisible());
    }
};

QTEST_MAIN(TestPostazioni)
#include "tst_postazioni.moc"
