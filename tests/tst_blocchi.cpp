// The year's database locked by another process, as another program of the
// suite would hold it: a helper process holds BEGIN EXCLUSIVE (nobody may
// even read) or BEGIN IMMEDIATE (others may read, not write) while the
// operator saves the data sheet, saves a new substitute, deletes or changes a
// codice fiscale. After the window's bounded wait the operator reads a clear
// message, nothing stored has changed, what was typed is still on screen, and
// the same action goes through once the other program lets go.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "window/textbox.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QProcess>
#include <QtTest>

#include <stdexcept>

namespace {

const QString ROSSI = QStringLiteral("RSSMRA80A01H501U");
const QString NUOVOCF = QStringLiteral("VRDGPP70A01F205V");
const QString DICHIARANTE = QStringLiteral("01234567897");
const QStringList QUADRI{QStringLiteral("QUADROLDIP1"), QStringLiteral("QUADROLDIP2"), QStringLiteral("QUADROLDIP3"),
                         QStringLiteral("QUADROLDIP4"), QStringLiteral("QUADROLAUT"),  QStringLiteral("QUADROST")};
// The window's wait for a lock (FinestraProva's).
constexpr int ATTESA = 300;
const QString OCCUPATO = QStringLiteral("Attenzione !!! L'archivio è in uso da un altro programma della procedura.\r"
                                        "L'operazione non è stata eseguita.\rRiprovare fra qualche istante.");

// Another program of the suite, in a process of its own, holding the file.
class AltroProgramma {
public:
    // holdMs > 0: lets go on its own after that long.
    AltroProgramma(const QString& percorso, bool esclusivo, int holdMs = 0)
    {
        QStringList argomenti{QStringLiteral("blocca"), percorso,
                              esclusivo ? QStringLiteral("esclusivo") : QStringLiteral("immediato")};
        if (holdMs > 0)
            argomenti << QString::number(holdMs);
        m_processo.start(QStringLiteral(ANAGSOST_FIGLIO), argomenti);
        while (!m_uscita.contains("BLOCCATO\n")) {
            if (!m_processo.waitForReadyRead(30000))
                throw std::runtime_error("the other program did not take the lock: "
                                         + m_uscita.toStdString() + m_processo.readAllStandardError().toStdString());
            m_uscita += m_processo.readAllStandardOutput();
        }
    }
    ~AltroProgramma()
    {
        if (m_processo.state() != QProcess::NotRunning) {
            m_processo.kill();
            m_processo.waitForFinished();
        }
    }
    AltroProgramma(const AltroProgramma&) = delete;
    AltroProgramma& operator=(const AltroProgramma&) = delete;

    // Ends its transaction and the process; true when it did so cleanly.
    bool rilascia()
    {
        m_processo.write("\n");
        m_processo.closeWriteChannel();
        return attendiFine();
    }
    bool attendiFine()
    {
        if (!m_processo.waitForFinished(30000))
            return false;
        m_uscita += m_processo.readAllStandardOutput();
        return m_processo.exitStatus() == QProcess::NormalExit && m_processo.exitCode() == 0
            && m_uscita.endsWith("RILASCIATO\n");
    }

private:
    QProcess m_processo;
    QByteArray m_uscita;
};

QWidget* fuoco()
{
    return QApplication::focusWidget();
}

// Replaces the text of a field by typing, as the operator does: a click in
// it, the old text rubbed out, the new one typed.
void riscrivi(TextBox* campo, const QString& testo)
{
    QTest::mouseClick(campo, Qt::LeftButton);
    QCOMPARE(fuoco(), campo);
    QTest::keyClick(campo, Qt::Key_End);
    for (qsizetype i = campo->text().size(); i > 0; --i)
        QTest::keyClick(campo, Qt::Key_Backspace);
    QTest::keyClicks(campo, testo);
    QCOMPARE(campo->text(), testo);
}

} // namespace

class TestBlocchi : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

    // Texts of the data sheet's fields 1 to 10.
    static QStringList scheda(FinestraProva& prova)
    {
        QStringList testi;
        for (int n = 1; n <= 10; ++n)
            testi << prova.campo(QStringLiteral("Text1(%1)").arg(n))->text();
        return testi;
    }

    static QVariantMap riga(ArchivioProva& a, const QString& codazi, const QString& cfs)
    {
        const auto righe =
            a.righe(QStringLiteral("SELECT * FROM ANAGSOSTITUTI WHERE CODAZI = ? AND CFS = ?"), {codazi, cfs});
        return righe.isEmpty() ? QVariantMap() : righe.first();
    }

    // The one message of a refused action: the lock message, critical.
    static void verificaMessaggioOccupato(const QString& coda = QString())
    {
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().stile, int(vbCritical));
        QCOMPARE(MessageBox::shown().first().testo, OCCUPATO + coda);
    }

    // Runs an action while the file is held; the action must give up after
    // the window's wait, not at once and not never.
    template <class F>
    static void duranteIlBlocco(F&& azione)
    {
        QElapsedTimer tempo;
        tempo.start();
        azione();
        QVERIFY2(tempo.elapsed() >= ATTESA - 20, qPrintable(QString::number(tempo.elapsed())));
    }

private slots:
    void initTestCase() { preparaAmbienteProva(); }

    void init()
    {
        azzeraMessaggi();
        archivio = std::make_unique<ArchivioProva>();
        archivio->creaAnno();
        archivio->aggiungiFrontespizio(QStringLiteral("001"), DICHIARANTE, {}, {}, QStringLiteral("ALFA SRL"));
        archivio->aggiungiSostituto(QStringLiteral("101"), ROSSI,
                                    {QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("M"),
                                     QStringLiteral("19800101"), QStringLiteral("ROMA"), QStringLiteral("RM"),
                                     QStringLiteral("ROMA"), QStringLiteral("RM"), QStringLiteral("VIA ROMA 1"),
                                     QStringLiteral("001")});
        archivio->aggiungiSostituto(QStringLiteral("102"), QStringLiteral("12345678903"),
                                    {QStringLiteral("GAMMA SRL"), QString(), QString(), QStringLiteral("00000000"),
                                     QString(), QString(), QStringLiteral("MILANO"), QStringLiteral("MI"),
                                     QStringLiteral("VIA DANTE 3"), QStringLiteral("001")});
        for (const QString& t : QUADRI) {
            archivio->aggiungiRigaQuadro(t, QStringLiteral("101"), DICHIARANTE, ROSSI);
            archivio->aggiungiRigaQuadro(t, QStringLiteral("102"), DICHIARANTE, QStringLiteral("12345678903"));
        }
        archivio->aggiungiPercettore(QStringLiteral("101"), QStringLiteral("BNCLCU80A01H501Q"));
        configura(archivio->cartella());
    }
    void cleanup() { archivio.reset(); }

    void salvataggioScheda_data()
    {
        QTest::addColumn<bool>("esclusivo");
        QTest::newRow("another program holding the file") << true;
        QTest::newRow("another program writing") << false;
    }
    void salvataggioScheda()
    {
        QFETCH(bool, esclusivo);
        FinestraProva prova(ATTESA);
        QVERIFY(prova.avvia());
        prova.doppioClickLista(prova.rigaDi(QStringLiteral("101"), ROSSI));
        QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("Frmmoduli(0)"))->isVisible());
        riscrivi(prova.campo(QStringLiteral("Text1(7)")), QStringLiteral("MILANO"));
        riscrivi(prova.campo(QStringLiteral("Text1(8)")), QStringLiteral("MI"));
        riscrivi(prova.campo(QStringLiteral("Text1(9)")), QStringLiteral("CORSO COMO 5"));
        const QStringList digitato = scheda(prova);
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        const QString prima = archivio->istantanea();

        {
            AltroProgramma altro(archivio->percorsoAnno(), esclusivo);
            duranteIlBlocco([&] { prova.click(QStringLiteral("cmdmemorizza")); });
            verificaMessaggioOccupato();
            // The sheet is as the operator left it, still to be saved.
            QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("Frmmoduli(0)"))->isVisible());
            QCOMPARE(scheda(prova), digitato);
            QCOMPARE(prova.modulo.VARIAZIONI, 1);
            QVERIFY(!QApplication::overrideCursor());
            QVERIFY(altro.rilascia());
        }
        QCOMPARE(archivio->istantanea(), prima);

        azzeraMessaggi();
        prova.click(QStringLiteral("cmdmemorizza"));
        QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(testiMostrati().join(QLatin1Char('\n'))));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        const QVariantMap salvata = riga(*archivio, QStringLiteral("101"), ROSSI);
        QCOMPARE(salvata.value(QStringLiteral("ASOST_7")).toString(), QStringLiteral("MILANO"));
        QCOMPARE(salvata.value(QStringLiteral("ASOST_8")).toString(), QStringLiteral("MI"));
        QCOMPARE(salvata.value(QStringLiteral("ASOST_9")).toString(), QStringLiteral("CORSO COMO 5"));
        QCOMPARE(salvata.value(QStringLiteral("ASOST_1")).toString(), QStringLiteral("ROSSI"));
        QCOMPARE(scheda(prova), digitato);
    }

    void salvataggioNuovoSostituto_data()
    {
        QTest::addColumn<bool>("esclusivo");
        QTest::newRow("another program holding the file") << true;
        QTest::newRow("another program writing") << false;
    }
    void salvataggioNuovoSostituto()
    {
        // The first save of a new substitute adds its row: refused while the
        // file is held, the new substitute still waiting on the sheet.
        QFETCH(bool, esclusivo);
        FinestraProva prova(ATTESA);
        QVERIFY(prova.avvia());
        prova.doppioClickLista(0);
        QCOMPARE(fuoco()->objectName(), QStringLiteral("TEXTAZI"));
        for (const QString& testo : {QStringLiteral("7"), NUOVOCF, QStringLiteral("verdi"), QString()}) {
            QTest::keyClicks(fuoco(), testo);
            QTest::keyClick(fuoco(), Qt::Key_Tab);
        }
        QTest::keyClicks(prova.campo(QStringLiteral("TextAZICOL")), QStringLiteral("1"));
        prova.click(QStringLiteral("CmdInserimento(0)"));
        QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(testiMostrati().join(QLatin1Char('\n'))));
        QCOMPARE(prova.modulo.NUOVOSOSTITUTO, 1);
        riscrivi(prova.campo(QStringLiteral("Text1(7)")), QStringLiteral("TORINO"));
        riscrivi(prova.campo(QStringLiteral("Text1(8)")), QStringLiteral("TO"));
        riscrivi(prova.campo(QStringLiteral("Text1(9)")), QStringLiteral("VIA PO 2"));
        const QStringList digitato = scheda(prova);
        const QString prima = archivio->istantanea();

        {
            AltroProgramma altro(archivio->percorsoAnno(), esclusivo);
            duranteIlBlocco([&] { prova.click(QStringLiteral("cmdmemorizza")); });
            verificaMessaggioOccupato();
            QCOMPARE(scheda(prova), digitato);
            QCOMPARE(prova.modulo.NUOVOSOSTITUTO, 1);
            QCOMPARE(prova.modulo.VARIAZIONI, 1);
            QVERIFY(!prova.bottone(QStringLiteral("cmdparcsuc"))->isEnabled());
            QVERIFY(altro.rilascia());
        }
        QCOMPARE(archivio->istantanea(), prima);

        azzeraMessaggi();
        prova.click(QStringLiteral("cmdmemorizza"));
        QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(testiMostrati().join(QLatin1Char('\n'))));
        QCOMPARE(prova.modulo.NUOVOSOSTITUTO, 0);
        const QVariantMap nuova = riga(*archivio, QStringLiteral("007"), NUOVOCF);
        QCOMPARE(nuova.value(QStringLiteral("ASOST_1")).toString(), QStringLiteral("VERDI"));
        QCOMPARE(nuova.value(QStringLiteral("ASOST_7")).toString(), QStringLiteral("TORINO"));
        QCOMPARE(nuova.value(QStringLiteral("ASOST_9")).toString(), QStringLiteral("VIA PO 2"));
        QCOMPARE(nuova.value(QStringLiteral("ASOST_10")).toString(), QStringLiteral("001"));
    }

    void cancellazione_data()
    {
        QTest::addColumn<bool>("esclusivo");
        QTest::newRow("another program holding the file") << true;
        QTest::newRow("another program writing") << false;
    }
    void cancellazione()
    {
        QFETCH(bool, esclusivo);
        FinestraProva prova(ATTESA);
        QVERIFY(prova.avvia());
        const int posizione = prova.rigaDi(QStringLiteral("101"), ROSSI);
        prova.clickLista(posizione);
        const QString prima = archivio->istantanea();
        {
            AltroProgramma altro(archivio->percorsoAnno(), esclusivo);
            duranteIlBlocco([&] { prova.click(QStringLiteral("Cmdcancella")); });
            // The two confirmations, then the refusal.
            QCOMPARE(MessageBox::shown().size(), 3);
            QCOMPARE(MessageBox::shown().last().stile, int(vbCritical));
            QCOMPARE(MessageBox::shown().last().testo,
                     OCCUPATO + QStringLiteral("\r\rIl sostituto selezionato non è stato cancellato: nessun dato è "
                                               "stato eliminato."));
            // Still listed and picked, ready for another try.
            QCOMPARE(prova.rigaDi(QStringLiteral("101"), ROSSI), posizione);
            QCOMPARE(prova.finestra.testoSelezionato(), prova.lista()->item(posizione)->text());
            QVERIFY(!QApplication::overrideCursor());
            QVERIFY(altro.rilascia());
        }
        QCOMPARE(archivio->istantanea(), prima);

        azzeraMessaggi();
        prova.click(QStringLiteral("Cmdcancella"));
        QCOMPARE(testiMostrati().last(), QStringLiteral("Cancellazione effettuata"));
        QCOMPARE(prova.rigaDi(QStringLiteral("101"), ROSSI), -1);
        QVERIFY(riga(*archivio, QStringLiteral("101"), ROSSI).isEmpty());
        for (const QString& t : QUADRI) {
            QCOMPARE(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE CODAZI = '101'").arg(t)), 0);
            QCOMPARE(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE CODAZI = '102'").arg(t)), 1);
        }
        QCOMPARE(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM PERCETTORI")), 0);
    }

    void cambioCodiceFiscale_data()
    {
        QTest::addColumn<bool>("esclusivo");
        QTest::addColumn<QString>("coda");
        // Holding the file stops even the checks, which read: the plain
        // message. Writing only stops the change itself, which says what it
        // left undone.
        QTest::newRow("another program holding the file") << true << QString();
        QTest::newRow("another program writing")
            << false << QStringLiteral("\r\rIl codice fiscale non è stato cambiato: nessun dato è stato modificato.");
    }
    void cambioCodiceFiscale()
    {
        QFETCH(bool, esclusivo);
        QFETCH(QString, coda);
        FinestraProva prova(ATTESA);
        QVERIFY(prova.avvia());
        prova.clickLista(prova.rigaDi(QStringLiteral("101"), ROSSI));
        prova.click(QStringLiteral("CmdCambia"));
        TextBox* codice = prova.campo(QStringLiteral("Text2"));
        QCOMPARE(fuoco(), codice);
        QTest::keyClicks(codice, NUOVOCF.toLower());
        QCOMPARE(codice->text(), NUOVOCF);
        const QString prima = archivio->istantanea();
        {
            AltroProgramma altro(archivio->percorsoAnno(), esclusivo);
            duranteIlBlocco([&] { prova.click(QStringLiteral("CmdConfermaCF")); });
            QVERIFY(!MessageBox::shown().isEmpty());
            QCOMPARE(MessageBox::shown().last().stile, int(vbCritical));
            QCOMPARE(MessageBox::shown().last().testo, OCCUPATO + coda);
            // The frame stays open with the code as typed.
            QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("FrameCambiaCf"))->isVisible());
            QCOMPARE(codice->text(), NUOVOCF);
            QVERIFY(!QApplication::overrideCursor());
            QVERIFY(altro.rilascia());
        }
        QCOMPARE(archivio->istantanea(), prima);

        azzeraMessaggi();
        prova.click(QStringLiteral("CmdConfermaCF"));
        QVERIFY(testiMostrati().last().contains(QStringLiteral("Cambio codice fiscale eseguito !")));
        QVERIFY(riga(*archivio, QStringLiteral("101"), ROSSI).isEmpty());
        QCOMPARE(riga(*archivio, QStringLiteral("101"), NUOVOCF).value(QStringLiteral("ASOST_1")).toString(),
                 QStringLiteral("ROSSI"));
        for (const QString& t : QUADRI)
            QCOMPARE(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE CODAZI = '101' AND CFS = ?").arg(t),
                                     {NUOVOCF}),
                     1);
    }

    void bloccoRilasciatoDuranteLAttesa()
    {
        // The other program lets go while the window waits: the save goes
        // through, with no message.
        FinestraProva prova(10000);
        QVERIFY(prova.avvia());
        prova.doppioClickLista(prova.rigaDi(QStringLiteral("101"), ROSSI));
        riscrivi(prova.campo(QStringLiteral("Text1(9)")), QStringLiteral("PIAZZA DUOMO 1"));
        AltroProgramma altro(archivio->percorsoAnno(), true, 500);
        prova.click(QStringLiteral("cmdmemorizza"));
        QVERIFY(altro.attendiFine());
        QVERIFY2(MessageBox::shown().isEmpty(), qPrintable(testiMostrati().join(QLatin1Char('\n'))));
        QCOMPARE(riga(*archivio, QStringLiteral("101"), ROSSI).value(QStringLiteral("ASOST_9")).toString(),
                 QStringLiteral("PIAZZA DUOMO 1"));
    }
};

QTEST_MAIN(TestBlocchi)
#include "tst_blocchi.moc"
