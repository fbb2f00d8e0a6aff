// Two workstations on one return: two sessions of the program on the same
// archive (a file, or a database on the server in the _pg run).
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "window/textbox.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QtTest>

namespace {

const QString X_AZI = QStringLiteral("101");
const QString X_CF = QStringLiteral("RSSMRA80A01H501U");
const QString NUOVOCF = QStringLiteral("VRDGPP70A01F205V");
const QString MODIFICATA = QStringLiteral("Attenzione !!! Un'altra postazione ha modificato l'anagrafica");
const QString SCOMPARSA = QStringLiteral("Attenzione !!! L'anagrafica non è più presente in archivio");
const QString GIAREGISTRATA = QStringLiteral("Attenzione !!! Un'altra postazione ha già registrato");

void attiva(FinestraProva& prova)
{
    QApplication::setActiveWindow(&prova.finestra);
    QVERIFY(QTest::qWaitForWindowActive(&prova.finestra));
}

// Replaces a field's text by typing, as the operator would.
void scrivi(FinestraProva& prova, const QString& campo, const QString& testo)
{
    attiva(prova);
    TextBox* t = prova.campo(campo);
    t->setFocus(Qt::TabFocusReason);
    QTest::keyClick(t, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(t, testo);
}

void apri(FinestraProva& prova)
{
    attiva(prova);
    prova.doppioClickLista(prova.rigaDi(X_AZI, X_CF));
    QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("Frmmoduli(0)"))->isVisible());
}

// The box asking what to do about the other workstation's work, if any.
QString domanda()
{
    for (const auto& box : MessageBox::shown()) {
        if (box.stile == vbYesNoCancel + vbExclamation)
            return box.testo;
    }
    return {};
}

} // namespace

class TestPostazioni : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

    QString via()
    {
        return archivio->righe(QStringLiteral("SELECT ASOST_9 FROM ANAGSOSTITUTI WHERE CODAZI = ? AND CFS = ?"),
                               {X_AZI, X_CF})
            .value(0)
            .value(QStringLiteral("ASOST_9"))
            .toString();
    }
    qint64 righeDi(const QString& cfs)
    {
        return archivio->conta(QStringLiteral("SELECT COUNT(*) FROM QUADROLAUT WHERE CFS = ?"), {cfs})
            + archivio->conta(QStringLiteral("SELECT COUNT(*) FROM ANAGSOSTITUTI WHERE CFS = ?"), {cfs});
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
        archivio->aggiungiSostituto(X_AZI, X_CF,
                                    {"ROSSI", "MARIO", "M", "19800101", "ROMA", "RM", "ROMA", "RM", "VIA ROMA 1", "001"});
        archivio->aggiungiRigaQuadro(QStringLiteral("QUADROLAUT"), X_AZI, QStringLiteral("01234567897"), X_CF);
        configura(archivio->cartella());
    }
    void cleanup() { archivio.reset(); }

    void salvataggiConcorrenti_data()
    {
        QTest::addColumn<int>("risposta");
        QTest::addColumn<QString>("registrata");
        QTest::addColumn<QString>("sullaScheda");
        QTest::addColumn<int>("variazioni");
        QTest::newRow("Yes: this sheet's data win") << int(vbYes) << "VIA B 2" << "VIA B 2" << 0;
        QTest::newRow("No: the other's data are shown") << int(vbNo) << "VIA A 1" << "VIA A 1" << 0;
        QTest::newRow("Cancel: nothing written, typing kept") << int(vbCancel) << "VIA A 1" << "VIA B 2" << 1;
    }
    void salvataggiConcorrenti()
    {
        QFETCH(int, risposta);
        FinestraProva a, b;
        QVERIFY(a.avvia());
        QVERIFY(b.avvia());
        apri(a);
        apri(b);
        scrivi(a, QStringLiteral("Text1(9)"), QStringLiteral("via a 1"));
        a.click(QStringLiteral("cmdmemorizza"));
        QCOMPARE(via(), QStringLiteral("VIA A 1"));
        QVERIFY(domanda().isEmpty());

        // B loaded the row before A's save: its save is not silent.
        scrivi(b, QStringLiteral("Text1(9)"), QStringLiteral("via b 2"));
        MessageBox::setNextAnswer(risposta);
        b.click(QStringLiteral("cmdmemorizza"));
        QVERIFY2(domanda().startsWith(MODIFICATA), qPrintable(domanda()));
        QTEST(via(), "registrata");
        QTEST(b.campo(QStringLiteral("Text1(9)"))->text(), "sullaScheda");
        QTEST(b.modulo.VARIAZIONI, "variazioni");
    }

    void uscitaConConflitto()
    {
        // "Salvare ?" Yes meets the other's change: Cancel keeps the window
        // and the typing; leaving with No then drops only this sheet's change.
        FinestraProva a, b;
        QVERIFY(a.avvia());
        QVERIFY(b.avvia());
        apri(a);
        apri(b);
        scrivi(a, QStringLiteral("Text1(9)"), QStringLiteral("via a 1"));
        a.click(QStringLiteral("cmdmemorizza"));
        scrivi(b, QStringLiteral("Text1(9)"), QStringLiteral("via b 2"));
        MessageBox::setNextAnswer(vbYes);
        MessageBox::setNextAnswer(vbCancel);
        b.click(QStringLiteral("cmduscita(0)"));
        QVERIFY(!b.finestra.scaricata());
        QCOMPARE(b.campo(QStringLiteral("Text1(9)"))->text(), QStringLiteral("VIA B 2"));
        MessageBox::setNextAnswer(vbNo);
        b.click(QStringLiteral("cmduscita(0)"));
        QVERIFY(b.finestra.scaricata());
        QCOMPARE(via(), QStringLiteral("VIA A 1"));
    }

    void cancellazioneMentreLAltraMostra_data()
    {
        QTest::addColumn<int>("risposta");
        QTest::addColumn<qint64>("righe");
        QTest::newRow("Yes: registered again") << int(vbYes) << qint64(1);
        QTest::newRow("No: stays deleted") << int(vbNo) << qint64(0);
    }
    void cancellazioneMentreLAltraMostra()
    {
        QFETCH(int, risposta);
        FinestraProva a, b;
        QVERIFY(a.avvia());
        QVERIFY(b.avvia());
        apri(a);
        attiva(b);
        b.clickLista(b.rigaDi(X_AZI, X_CF));
        b.click(QStringLiteral("Cmdcancella"));
        QCOMPARE(righeDi(X_CF), 0);

        scrivi(a, QStringLiteral("Text1(9)"), QStringLiteral("via a 1"));
        azzeraMessaggi();
        MessageBox::setNextAnswer(risposta);
        a.click(QStringLiteral("cmdmemorizza"));
        QVERIFY2(domanda().startsWith(SCOMPARSA), qPrintable(domanda()));
        // Registered again it is the sheet's row alone: the deleted section rows stay deleted.
        QTEST(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM ANAGSOSTITUTI")), "righe");
        QCOMPARE(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM QUADROLAUT")), qint64(0));
        QCOMPARE(a.modulo.VARIAZIONI, 0);
        if (risposta == vbYes)
            QCOMPARE(via(), QStringLiteral("VIA A 1"));
    }

    void cambioCfMentreLAltraElenca()
    {
        // A lists the old code while B gives the substitute a new one: A's
        // stale line opens nothing and deletes nothing; a rebuild shows the new code.
        FinestraProva a, b;
        QVERIFY(a.avvia());
        QVERIFY(b.avvia());
        const int vecchia = a.rigaDi(X_AZI, X_CF);
        attiva(b);
        b.clickLista(b.rigaDi(X_AZI, X_CF));
        b.click(QStringLiteral("CmdCambia"));
        scrivi(b, QStringLiteral("Text2"), NUOVOCF);
        b.click(QStringLiteral("CmdConfermaCF"));
        QCOMPARE(righeDi(NUOVOCF), 2);

        attiva(a);
        a.doppioClickLista(vecchia);
        QVERIFY(a.controllo<QGroupBox>(QStringLiteral("FrmSelezione"))->isVisible());
        a.clickLista(vecchia);
        a.click(QStringLiteral("Cmdcancella"));
        QCOMPARE(righeDi(NUOVOCF), 2);
        QTest::mouseClick(a.controllo<QRadioButton>(QStringLiteral("Option1(1)")), Qt::LeftButton);
        QVERIFY(a.rigaDi(X_AZI, NUOVOCF) > 0);
        QCOMPARE(a.rigaDi(X_AZI, X_CF), -1);
    }

    void stessoNuovoSostitutoSuDuePostazioni()
    {
        // Both register the same new company; the second save is asked about.
        FinestraProva a, b;
        QVERIFY(a.avvia());
        QVERIFY(b.avvia());
        for (FinestraProva* p : {&a, &b}) {
            attiva(*p);
            p->doppioClickLista(0);
            scrivi(*p, QStringLiteral("TEXTAZI"), QStringLiteral("7"));
            scrivi(*p, QStringLiteral("TEXTCF"), QStringLiteral("12345678903"));
            scrivi(*p, QStringLiteral("TextCOGNO"), p == &a ? QStringLiteral("alfa srl") : QStringLiteral("beta srl"));
            scrivi(*p, QStringLiteral("TextAZICOL"), QStringLiteral("1"));
            p->click(QStringLiteral("CmdInserimento(0)"));
            QVERIFY(p->controllo<QGroupBox>(QStringLiteral("Frmmoduli(0)"))->isVisible());
            scrivi(*p, QStringLiteral("Text1(7)"), QStringLiteral("roma"));
            scrivi(*p, QStringLiteral("Text1(8)"), QStringLiteral("rm"));
            scrivi(*p, QStringLiteral("Text1(9)"), QStringLiteral("via po 1"));
        }
        a.click(QStringLiteral("cmdmemorizza"));
        MessageBox::setNextAnswer(vbNo);
        b.click(QStringLiteral("cmdmemorizza"));
        QVERIFY2(domanda().startsWith(GIAREGISTRATA), qPrintable(domanda()));
        const auto righe = archivio->righe(QStringLiteral("SELECT ASOST_1 FROM ANAGSOSTITUTI WHERE CODAZI = '007'"));
        QCOMPARE(righe.size(), 1);
        QCOMPARE(righe.first().value(QStringLiteral("ASOST_1")).toString(), QStringLiteral("ALFA SRL"));
        // B now shows the row A registered, and may move from it.
        QCOMPARE(b.campo(QStringLiteral("Text1(1)"))->text(), QStringLiteral("ALFA SRL"));
        QCOMPARE(b.modulo.NUOVOSOSTITUTO, 0);
        QVERIFY(b.bottone(QStringLiteral("cmdparcsuc"))->isEnabled());
    }
};

QTEST_MAIN(TestPostazioni)
#include "tst_postazioni.moc"
