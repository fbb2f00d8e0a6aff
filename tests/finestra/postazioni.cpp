// Two workstations on one return: two windows of the program on the same
// archive (a file, or a database on the server in the _pg run). Whether a
// save finds another's work is the core's (tst_registro); the window asks
// what to do about it.
#include "support/finestraprova.h"
#include "support/programma.h"

namespace {

const Chiave X{"101", "RSSMRA80A01H501U"};

// The operator's click on the window first, then the field's text replaced by typing.
void scrivi(FinestraProva& p, const QString& campo, const QString& testo)
{
    QApplication::setActiveWindow(&p.finestra);
    QVERIFY(QTest::qWaitForWindowActive(&p.finestra));
    TextBox* t = p.campo(campo);
    t->setFocus(Qt::TabFocusReason);
    QTest::keyClick(t, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(t, testo);
}

// The workstation picks the substitute in its list (with a double click: opens its sheet).
void scegli(FinestraProva& p, bool doppio = false)
{
    QApplication::setActiveWindow(&p.finestra);
    QVERIFY(QTest::qWaitForWindowActive(&p.finestra));
    clickVoce(p.lista(), p.rigaDi(X), doppio);
}

} // namespace

class TestPostazioni : public QObject {
    Q_OBJECT

    std::unique_ptr<BancoProva> a; // the first workstation, and the archive
    std::unique_ptr<FinestraProva> b;

    // The stored street, and how many section rows carry the code.
    QString righeDi(const QString& cfs)
    {
        const qint64 quadri = a->archivio.conta("SELECT COUNT(*) FROM QUADROLAUT WHERE CFS = ?", {cfs});
        return a->archivio.righe("SELECT ASOST_9 FROM ANAGSOSTITUTI WHERE CFS = ?", {cfs})
                   .value(0)
                   .value("ASOST_9")
                   .toString() +
               QString("|%1").arg(quadri);
    }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }
    void init()
    {
        a = std::make_unique<BancoProva>();
        a->sostituto(X, {"9=VIA ROMA"});
        a->archivio.aggiungiRigaQuadro("QUADROLAUT", X.codazi, "01234567897", X.cfs);
        b = std::make_unique<FinestraProva>();
        QVERIFY(a->avvia());
        QVERIFY(b->avvia());
    }
    void cleanup()
    {
        b.reset();
        a.reset();
    }

    // B saves or deletes the substitute whose sheet A has loaded; A's save,
    // by the button or by "Salvare ?" Yes on leaving, then asks instead of
    // overwriting: Yes writes A's sheet (a deleted substitute's row alone, its
    // section rows stay deleted), No keeps B's work, Cancel writes nothing
    // and keeps the typing.
    void salvataggiConcorrenti_data()
    {
        QTest::addColumn<bool>("cancellata");
        QTest::addColumn<QString>("bottone");
        QTest::addColumn<int>("risposta");
        QTest::newRow("changed, Yes") << false << "cmdmemorizza" << int(vbYes);
        QTest::newRow("changed, No") << false << "cmdmemorizza" << int(vbNo);
        QTest::newRow("changed, Cancel on leaving") << false << "cmduscita(0)" << int(vbCancel);
        QTest::newRow("deleted, Yes") << true << "cmdmemorizza" << int(vbYes);
        QTest::newRow("deleted, No") << true << "cmdmemorizza" << int(vbNo);
    }
    void salvataggiConcorrenti()
    {
        QFETCH(bool, cancellata);
        QFETCH(QString, bottone);
        QFETCH(int, risposta);
        scegli(*a, true);
        scegli(*b, !cancellata);
        if (!cancellata)
            scrivi(*b, "Text1(9)", "via b 2");
        b->click(cancellata ? "Cmdcancella" : "cmdmemorizza");
        scrivi(*a, "Text1(9)", "via a 1");
        azzeraMessaggi();
        if (bottone != "cmdmemorizza")
            MessageBox::setNextAnswer(vbYes);
        MessageBox::setNextAnswer(risposta);
        a->click(bottone);
        // The question (Yes, No, Cancel; exclamation) asks what to do about the other workstation's work.
        const QString domanda = cancellata ? "L'anagrafica non è più presente" : "Un'altra postazione ha modificato";
        QCOMPARE(a->box().filter(QString::number(vbYesNoCancel + vbExclamation) + ":Attenzione !!! " + domanda).size(),
                 1);
        QCOMPARE(righeDi(X.cfs), risposta == vbYes ? "VIA A 1|" + QString::number(!cancellata)
                                 : cancellata      ? "|0"
                                                   : "VIA B 2|1");
        QCOMPARE(a->campo(9)->text(), risposta == vbNo && !cancellata ? "VIA B 2" : "VIA A 1");
        QCOMPARE(a->modulo.VARIAZIONI, risposta == vbCancel ? 1 : 0);
        QVERIFY(!a->finestra.scaricata());
    }

    void cambioCfMentreLAltraElenca()
    {
        // A lists the old code while B gives the substitute a new one: A's stale line opens nothing.
        const int vecchia = a->rigaDi(X);
        scegli(*b);
        b->click("CmdCambia");
        scrivi(*b, "Text2", "VRDGPP70A01F205V");
        b->click("CmdConfermaCF");
        a->doppioClickLista(vecchia);
        QVERIFY(a->visibile("FrmSelezione"));
        QVERIFY(!a->visibile("Frmmoduli(0)"));
    }
};

PROVA(TestPostazioni);
#include "postazioni.moc"
