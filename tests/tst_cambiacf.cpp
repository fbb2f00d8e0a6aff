// Change of a substitute's codice fiscale: the frame, the entry field, the
// checks in their order, the rows re-keyed, all or nothing on failure.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "window/aspetto.h"
#include "window/textbox.h"

#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

namespace {

const QString ROSSI = QStringLiteral("RSSMRA80A01H501U");
const QString VERDI = QStringLiteral("VRDGPP70A01F205X");
const QString BIANCHI = QStringLiteral("BNCLCU80A01H501Q");
const QString PIVA = QStringLiteral("12345678903");
// Pasted between quotes, this code would turn the condition into
// "CFS = '' OR CFS > '    '" and reach every other substitute's rows.
const QString APOSTROFO = QStringLiteral("' OR CFS > '");
const QString DICHIARANTE = QStringLiteral("01234567897");
const QString ALTRODICHIARANTE = QStringLiteral("98765432103");
// Formally correct codes that nobody holds yet.
const QString NUOVOCF = QStringLiteral("AAAAAA00A00A000I");
const QString NUOVOCF2 = QStringLiteral("BBBBBB00B00B000I");
const QString NUOVAPIVA = QStringLiteral("02345678904");

const QStringList QUADRI{QStringLiteral("QUADROLDIP1"), QStringLiteral("QUADROLDIP2"), QStringLiteral("QUADROLDIP3"),
                         QStringLiteral("QUADROLDIP4"), QStringLiteral("QUADROLAUT"),  QStringLiteral("QUADROST")};

const QString PROSEGUO = QStringLiteral("Il codice fiscale del sostituto selezionato sara' cambiato\r\rProseguo ???");

QString completamento(const QString& riga, const QString& nuovo)
{
    return QStringLiteral("Per il sostituto ") + riga.trimmed() +
           QStringLiteral("\r\rCambio codice fiscale eseguito !\r\rNuovo codice fiscale ") + nuovo;
}

using Tabelle = QMap<QString, QList<QVariantMap>>;

// What a real box saw when it showed, and the state of the window behind it.
struct AlMessaggio {
    QString testo;
    int icona = -1;
    bool cursoreOccupato = true;
    bool avvisoVisibile = true;
};

// The next box that really shows is read and closed with OK.
void leggiBoxReale(AlMessaggio* visto, QWidget* avviso)
{
    MessageBox::setAutoAnswer(false);
    QTimer::singleShot(0, [visto, avviso] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, [visto, avviso] { leggiBoxReale(visto, avviso); });
            return;
        }
        visto->testo = box->text();
        visto->icona = box->icon();
        // The box itself puts an arrow over a busy pointer; only that one may be left.
        const QCursor* cursore = QApplication::overrideCursor();
        visto->cursoreOccupato = cursore && cursore->shape() == Qt::WaitCursor;
        visto->avvisoVisibile = avviso->isVisible();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        MessageBox::setAutoAnswer(true);
    });
}

// Watches the waiting notice: painted while visible, with the busy pointer,
// before anything was written.
class OsservaAvviso : public QObject {
public:
    OsservaAvviso(ArchivioProva& archivio, const QString& codiceVecchio) : m_archivio(archivio), m_vecchio(codiceVecchio) {}
    bool dipinto = false;
    bool cursoreOccupato = false;
    qint64 righeVecchieAlDipinto = -1;

    bool eventFilter(QObject* oggetto, QEvent* evento) override
    {
        if (evento->type() == QEvent::Paint && static_cast<QWidget*>(oggetto)->isVisible() && !dipinto) {
            dipinto = true;
            const QCursor* cursore = QApplication::overrideCursor();
            cursoreOccupato = cursore && cursore->shape() == Qt::WaitCursor;
            righeVecchieAlDipinto = m_archivio.conta(
                QStringLiteral("SELECT COUNT(*) FROM QUADROLDIP1 WHERE CODAZI = '101' AND CFS = ?"), {m_vecchio});
        }
        return false;
    }

private:
    ArchivioProva& m_archivio;
    QString m_vecchio;
};

} // namespace

class TestCambiaCf : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

    Tabelle attuali()
    {
        Tabelle r;
        for (const QString& t : QUADRI)
            r[t] = archivio->righe(QStringLiteral("SELECT * FROM %1 ORDER BY ID").arg(t));
        r[QStringLiteral("PERCETTORI")] = archivio->righe(QStringLiteral("SELECT * FROM PERCETTORI ORDER BY ID"));
        r[QStringLiteral("FRONTESPIZIO")] =
            archivio->righe(QStringLiteral("SELECT * FROM FRONTESPIZIO ORDER BY CODAZI"));
        r[QStringLiteral("ANAGSOSTITUTI")] =
            archivio->righe(QStringLiteral("SELECT * FROM ANAGSOSTITUTI ORDER BY CODAZI, ASOST_1, ASOST_2"));
        return r;
    }
    // The tables as a change of (codazi, vecchio) linked to declarant cfd
    // must leave them: only CFS of those rows differs.
    Tabelle attese(const QString& codazi, const QString& vecchio, const QString& cfd, const QString& nuovo)
    {
        Tabelle r = attuali();
        auto uguale = [](const QVariant& v, const QString& s) {
            return v.toString().trimmed() == s.trimmed();
        };
        for (const QString& t : QUADRI) {
            for (QVariantMap& riga : r[t]) {
                if (uguale(riga[QStringLiteral("CODAZI")], codazi) && uguale(riga[QStringLiteral("CFD")], cfd)
                    && uguale(riga[QStringLiteral("CFS")], vecchio))
                    riga[QStringLiteral("CFS")] = nuovo;
            }
        }
        for (QVariantMap& riga : r[QStringLiteral("ANAGSOSTITUTI")]) {
            if (uguale(riga[QStringLiteral("CODAZI")], codazi) && uguale(riga[QStringLiteral("CFS")], vecchio))
                riga[QStringLiteral("CFS")] = nuovo;
        }
        return r;
    }

    void apri(FinestraProva& prova, const QString& codazi, const QString& cfs)
    {
        const int riga = prova.rigaDi(codazi, cfs);
        QVERIFY(riga > 0);
        prova.clickLista(riga);
        prova.click(QStringLiteral("CmdCambia"));
        QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("FrameCambiaCf"))->isVisible());
    }
    void digitaEConferma(FinestraProva& prova, const QString& codice)
    {
        TextBox* campo = prova.campo(QStringLiteral("Text2"));
        campo->setFocus();
        QTest::keyClicks(campo, codice);
        prova.click(QStringLiteral("CmdConfermaCF"));
    }
    void verificaSelezioneAbilitata(FinestraProva& prova, bool abilitata)
    {
        QCOMPARE(prova.lista()->isEnabled(), abilitata);
        QCOMPARE(prova.bottone(QStringLiteral("Cmdcancella"))->isEnabled(), abilitata);
        QCOMPARE(prova.bottone(QStringLiteral("CmdCambia"))->isEnabled(), abilitata);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(prova.controllo<QRadioButton>(QStringLiteral("Option1(%1)").arg(i))->isEnabled(), abilitata);
    }
    // Nothing left open or switched by an operation.
    void verificaRiposo(FinestraProva& prova)
    {
        QVERIFY(!prova.modulo.TABSQL);
        QCOMPARE(prova.modulo.TABANAGSOST->Index(), QStringLiteral("CHIAVE"));
        QCOMPARE(prova.modulo.TABFRONTESPIZIO->Index(), QStringLiteral("CHIAVE"));
        QVERIFY(!prova.modulo.DBANNO->inTransazione());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(!prova.controllo<QLabel>(QStringLiteral("Label2(15)"))->isVisible());
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
        archivio->aggiungiFrontespizio(QStringLiteral("001"), DICHIARANTE, {}, {}, QStringLiteral("ALFA SRL"));
        archivio->aggiungiFrontespizio(QStringLiteral("002"), ALTRODICHIARANTE, {}, {}, QStringLiteral("DELTA SPA"));
        auto sostituto = [this](const QString& codazi, const QString& cfs, const QString& cognome,
                                const QString& nome, const QString& collegata) {
            archivio->aggiungiSostituto(codazi, cfs,
                                        {cognome, nome, QStringLiteral("M"), QStringLiteral("19800101"),
                                         QStringLiteral("ROMA"), QStringLiteral("RM"), QStringLiteral("MILANO"),
                                         QStringLiteral("MI"), QStringLiteral("VIA ROMA 1"), collegata});
        };
        // The linked company code stored as "1": the front page is "001".
        sostituto(QStringLiteral("101"), ROSSI, QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("1"));
        sostituto(QStringLiteral("101"), VERDI, QStringLiteral("VERDI"), QStringLiteral("GIUSEPPE"),
                  QStringLiteral("001"));
        sostituto(QStringLiteral("102"), ROSSI, QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("001"));
        sostituto(QStringLiteral("103"), PIVA, QStringLiteral("BETA SPA"), QString(), QStringLiteral("002"));
        sostituto(QStringLiteral("104"), APOSTROFO, QStringLiteral("GAMMA SRL"), QString(), QStringLiteral("001"));
        sostituto(QStringLiteral("104"), VERDI, QStringLiteral("VERDI"), QStringLiteral("ANNA"), QStringLiteral("001"));
        // Linked to a company with no front page.
        sostituto(QStringLiteral("105"), BIANCHI, QStringLiteral("BIANCHI"), QStringLiteral("LUCA"),
                  QStringLiteral("9"));
        // A substitute whose code is also a declarant's.
        sostituto(QStringLiteral("106"), ALTRODICHIARANTE, QStringLiteral("DELTA SPA"), QString(),
                  QStringLiteral("002"));

        // ROSSI of 101: rows in some sections only, one of them under another declarant.
        archivio->aggiungiRigaQuadro(QStringLiteral("QUADROLDIP1"), QStringLiteral("101"), DICHIARANTE, ROSSI,
                                     {{QStringLiteral("RIGO"), 1}, {QStringLiteral("IMPORTO1"), 1500.5}});
        archivio->aggiungiRigaQuadro(QStringLiteral("QUADROLDIP1"), QStringLiteral("101"), DICHIARANTE, ROSSI,
                                     {{QStringLiteral("RIGO"), 2}, {QStringLiteral("CFPERC"), QStringLiteral("X")}});
        archivio->aggiungiRigaQuadro(QStringLiteral("QUADROLDIP2"), QStringLiteral("101"), DICHIARANTE, ROSSI,
                                     {{QStringLiteral("RIGO"), 3}});
        archivio->aggiungiRigaQuadro(QStringLiteral("QUADROLDIP2"), QStringLiteral("101"), ALTRODICHIARANTE, ROSSI,
                                     {{QStringLiteral("RIGO"), 4}});
        archivio->aggiungiRigaQuadro(QStringLiteral("QUADROLAUT"), QStringLiteral("101"), DICHIARANTE, ROSSI,
                                     {{QStringLiteral("COMPENSO"), 300}, {QStringLiteral("RITENUTA"), 60}});
        archivio->aggiungiRigaQuadro(QStringLiteral("QUADROST"), QStringLiteral("101"), DICHIARANTE, ROSSI,
                                     {{QStringLiteral("PERIODO"), QStringLiteral("2004")}});
        for (const QString& t : QUADRI) {
            archivio->aggiungiRigaQuadro(t, QStringLiteral("101"), DICHIARANTE, VERDI, {{QStringLiteral("RIGO"), 7}});
            archivio->aggiungiRigaQuadro(t, QStringLiteral("102"), DICHIARANTE, ROSSI, {{QStringLiteral("RIGO"), 8}});
            archivio->aggiungiRigaQuadro(t, QStringLiteral("104"), DICHIARANTE, APOSTROFO,
                                         {{QStringLiteral("RIGO"), 10}});
            archivio->aggiungiRigaQuadro(t, QStringLiteral("104"), DICHIARANTE, VERDI, {{QStringLiteral("RIGO"), 11}});
            archivio->aggiungiRigaQuadro(t, QStringLiteral("105"), QStringLiteral("05678901234"), BIANCHI,
                                         {{QStringLiteral("RIGO"), 12}});
        }
        archivio->aggiungiPercettore(QStringLiteral("101"), QStringLiteral("NREGNN75B02F205K"));
        configura(archivio->cartella());
    }
    void cleanup()
    {
        MessageBox::setAutoAnswer(true);
        archivio.reset();
    }

    void aperturaSenzaSelezione()
    {
        const QString prima = archivio->istantanea();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        prova.click(QStringLiteral("CmdCambia"));
        QCOMPARE(testiMostrati(),
                 QStringList{QStringLiteral("Nessuna anagrafica sostituto selezionata per il cambio codice fiscale")});
        QCOMPARE(MessageBox::shown().first().stile, int(vbInformation));
        QCOMPARE(MessageBox::shown().first().titolo, prova.finestra.windowTitle());
        QVERIFY(!prova.controllo<QGroupBox>(QStringLiteral("FrameCambiaCf"))->isVisible());
        verificaSelezioneAbilitata(prova, true);

        // The insertion entry: its click disables the button, and the handler
        // itself does nothing for it either.
        azzeraMessaggi();
        prova.clickLista(0);
        QVERIFY(!prova.bottone(QStringLiteral("CmdCambia"))->isEnabled());
        prova.finestra.CmdCambia_Click();
        QVERIFY(MessageBox::shown().isEmpty());
        QVERIFY(!prova.controllo<QGroupBox>(QStringLiteral("FrameCambiaCf"))->isVisible());
        QCOMPARE(archivio->istantanea(), prima);
    }

    void aperturaMostraIlSostituto_data()
    {
        QTest::addColumn<QString>("codazi");
        QTest::addColumn<QString>("cfs");
        QTest::addColumn<QString>("nome");
        QTest::newRow("codice fiscale") << "101" << ROSSI << "ROSSI MARIO";
        QTest::newRow("partita IVA") << "103" << PIVA << "BETA SPA";
    }
    void aperturaMostraIlSostituto()
    {
        QFETCH(QString, codazi);
        QFETCH(QString, cfs);
        QFETCH(QString, nome);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        TextBox* campo = prova.campo(QStringLiteral("Text2"));
        QCOMPARE(campo->text(), QStringLiteral("HHHHHHHHHHHHHHHH"));
        apri(prova, codazi, cfs);
        const QString cf16 = cfs.leftJustified(16, QLatin1Char(' '));
        QCOMPARE(prova.finestra.RIGASEL, prova.lista()->item(prova.rigaDi(codazi, cfs))->text());
        QCOMPARE(prova.finestra.CODAZISOST, codazi);
        QCOMPARE(prova.finestra.CFSSOST, cf16);
        QCOMPARE(prova.controllo<QLabel>(QStringLiteral("Label2(11)"))->text(), cf16);
        QCOMPARE(prova.controllo<QLabel>(QStringLiteral("Label2(16)"))->text(),
                 QStringLiteral(" Azienda:") + codazi + QStringLiteral(" c.f. ") + cf16);
        QCOMPARE(prova.controllo<QLabel>(QStringLiteral("Label2(7)"))->text(), QStringLiteral(" Rag.soc.:") + nome);
        verificaSelezioneAbilitata(prova, false);
        QCOMPARE(campo->text(), QString());
        QCOMPARE(QApplication::focusWidget(), campo);
        QVERIFY(MessageBox::shown().isEmpty());

        prova.click(QStringLiteral("CmdAnnullaCF"));
        QVERIFY(!prova.controllo<QGroupBox>(QStringLiteral("FrameCambiaCf"))->isVisible());
        verificaSelezioneAbilitata(prova, true);
    }

    void campoDelNuovoCodice()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apri(prova, QStringLiteral("101"), ROSSI);
        TextBox* campo = prova.campo(QStringLiteral("Text2"));
        QTest::keyClicks(campo, QStringLiteral("rssmra80a01h501u"));
        QCOMPARE(campo->text(), QStringLiteral("RSSMRA80A01H501U"));
        QTest::keyClicks(campo, QStringLiteral("x"));
        QCOMPARE(campo->text().size(), 16);
        // A highlight goes as soon as the text changes.
        campo->setBackColor(GIALLO);
        QTest::keyClick(campo, Qt::Key_Backspace);
        QCOMPARE(campo->BackColor(), BIANCO);
        QCOMPARE(campo->ForeColor(), NERO);
        // The caret goes after the text when the field gets the focus.
        campo->setSelStart(0);
        prova.bottone(QStringLiteral("CmdAnnullaCF"))->setFocus();
        campo->setFocus();
        QCOMPARE(campo->SelStart(), campo->text().size());
    }

    void cambioCompleto()
    {
        const Tabelle previste = attese(QStringLiteral("101"), ROSSI, DICHIARANTE, NUOVOCF);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        auto* avviso = prova.controllo<QLabel>(QStringLiteral("Label2(15)"));
        OsservaAvviso osserva(*archivio, ROSSI);
        avviso->installEventFilter(&osserva);
        const QString riga = prova.lista()->item(prova.rigaDi(QStringLiteral("101"), ROSSI))->text();
        apri(prova, QStringLiteral("101"), ROSSI);
        digitaEConferma(prova, NUOVOCF.toLower());

        QCOMPARE(testiMostrati(), (QStringList{PROSEGUO, completamento(riga, NUOVOCF)}));
        QCOMPARE(MessageBox::shown()[0].stile, int(vbYesNo + vbCritical));
        QCOMPARE(MessageBox::shown()[1].stile, int(vbInformation));
        QCOMPARE(MessageBox::shown()[1].titolo, prova.finestra.windowTitle());
        QCOMPARE(attuali(), previste);
        // The row under the other declarant keeps the old code.
        QCOMPARE(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM QUADROLDIP2 WHERE CODAZI = '101' AND CFS = ?"),
                                 {ROSSI}),
                 1);
        QCOMPARE(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM ANAGSOSTITUTI WHERE CODAZI = '101' AND CFS = ?"),
                                 {NUOVOCF}),
                 1);

        // The notice was painted, over the busy pointer, before anything was written.
        QVERIFY(osserva.dipinto);
        QVERIFY(osserva.cursoreOccupato);
        QCOMPARE(osserva.righeVecchieAlDipinto, 2);

        QVERIFY(!prova.controllo<QGroupBox>(QStringLiteral("FrameCambiaCf"))->isVisible());
        verificaSelezioneAbilitata(prova, true);
        verificaRiposo(prova);
        QCOMPARE(prova.rigaDi(QStringLiteral("101"), ROSSI), -1);
        QVERIFY(prova.rigaDi(QStringLiteral("101"), NUOVOCF) > 0);
        QVERIFY(prova.lista()->selectedItems().isEmpty());
    }

    void controlliInOrdine_data()
    {
        QTest::addColumn<QString>("codazi");
        QTest::addColumn<QString>("cfs");
        QTest::addColumn<QString>("digitato");
        QTest::addColumn<QStringList>("testi");
        QTest::addColumn<QList<int>>("stili");
        QTest::addColumn<bool>("evidenziato");
        QTest::addColumn<bool>("fuoco");

        const QString frontespizio = QStringLiteral(
            "Attenzione !!! Il codice fiscale inserito per il sostituto e' gia presente nel frontespizio");
        const QString anagrafica =
            QStringLiteral("Attenzione !!! Il codice fiscale inserito per il sostituto e' gia presente ");
        QTest::newRow("blanks only") << "101" << ROSSI << "   " << QStringList{} << QList<int>{} << false << true;
        QTest::newRow("a declarant's code") << "101" << ROSSI << DICHIARANTE << QStringList{frontespizio}
                                            << QList<int>{16} << false << true;
        QTest::newRow("front page before registry")
            << "101" << ROSSI << ALTRODICHIARANTE << QStringList{frontespizio} << QList<int>{16} << false << true;
        QTest::newRow("another substitute's code, any company")
            << "103" << PIVA << VERDI.toLower() << QStringList{anagrafica} << QList<int>{16} << false << true;
        QTest::newRow("its own code") << "101" << ROSSI << ROSSI << QStringList{anagrafica} << QList<int>{16} << false
                                      << true;
        QTest::newRow("no front page for the linked company")
            << "105" << BIANCHI << NUOVOCF
            << QStringList{QStringLiteral("Attenzione !!! Non esiste il frontespizio del dichiarante ")}
            << QList<int>{16} << false << false;
        QTest::newRow("16 digits") << "101" << ROSSI << "1234567890123456"
                                   << QStringList{QStringLiteral("Lunghezza partita IVA errata")} << QList<int>{64}
                                   << true << true;
        QTest::newRow("15 characters") << "101" << ROSSI << "AAAAAA00A00A000"
                                       << QStringList{QStringLiteral("Lunghezza codice fiscale errata")}
                                       << QList<int>{64} << true << true;
        QTest::newRow("partita IVA formally wrong, No")
            << "101" << ROSSI << "12345678900"
            << QStringList{QStringLiteral("Partita IVA formalmente errata\r\rVuoi proseguire ugualmente ?")}
            << QList<int>{36} << true << true;
        QTest::newRow("codice fiscale formally wrong, No")
            << "101" << ROSSI << "AAAAAA00A00A000X"
            << QStringList{QStringLiteral("Codice fiscale formalmente errato\r\rVuoi proseguire ugualmente")}
            << QList<int>{68} << true << true;
    }
    void controlliInOrdine()
    {
        QFETCH(QString, codazi);
        QFETCH(QString, cfs);
        QFETCH(QString, digitato);
        QFETCH(QStringList, testi);
        QFETCH(QList<int>, stili);
        QFETCH(bool, evidenziato);
        QFETCH(bool, fuoco);
        const QString prima = archivio->istantanea();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apri(prova, codazi, cfs);
        prova.modulo.VARIAZIONI = 1;
        // A question of the code check is answered No; nothing else asks.
        MessageBox::setNextAnswer(vbNo);
        digitaEConferma(prova, digitato);

        QCOMPARE(testiMostrati(), testi);
        for (int i = 0; i < stili.size(); ++i) {
            QCOMPARE(MessageBox::shown()[i].stile, stili[i]);
            QCOMPARE(MessageBox::shown()[i].titolo, prova.finestra.windowTitle());
        }
        TextBox* campo = prova.campo(QStringLiteral("Text2"));
        QCOMPARE(campo->BackColor(), evidenziato ? GIALLO : BIANCO);
        QCOMPARE(campo->ForeColor(), NERO);
        if (fuoco)
            QCOMPARE(QApplication::focusWidget(), campo);
        QCOMPARE(campo->text(), digitato.toUpper());
        QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("FrameCambiaCf"))->isVisible());
        verificaSelezioneAbilitata(prova, false);
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        verificaRiposo(prova);
        QCOMPARE(archivio->istantanea(), prima);
    }

    void undiciCifreEUnNoFinale()
    {
        // A correct partita IVA passes every check; No at the last question
        // writes nothing and closes the frame.
        const QString prima = archivio->istantanea();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apri(prova, QStringLiteral("101"), ROSSI);
        prova.modulo.VARIAZIONI = 1;
        MessageBox::setNextAnswer(vbNo);
        digitaEConferma(prova, NUOVAPIVA);
        QCOMPARE(testiMostrati(), QStringList{PROSEGUO});
        QCOMPARE(prova.modulo.RISPOSTA, int(vbNo));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QCOMPARE(prova.finestra.CFNUOVO, NUOVAPIVA + QStringLiteral("     "));
        QCOMPARE(prova.finestra.CFDSOST, DICHIARANTE);
        QVERIFY(!prova.controllo<QGroupBox>(QStringLiteral("FrameCambiaCf"))->isVisible());
        verificaSelezioneAbilitata(prova, true);
        verificaRiposo(prova);
        QCOMPARE(archivio->istantanea(), prima);
    }

    void formalmenteErratoAccettato_data()
    {
        QTest::addColumn<QString>("digitato");
        QTest::addColumn<QString>("scritto");
        QTest::newRow("codice fiscale") << "aaaaaa00a00a000x" << "AAAAAA00A00A000X";
        QTest::newRow("partita IVA") << "12345678900" << "12345678900     ";
    }
    void formalmenteErratoAccettato()
    {
        QFETCH(QString, digitato);
        QFETCH(QString, scritto);
        // The server's fixed-width column gives it back without the padding.
        const QString letto = archivio->suServer() ? scritto.trimmed() : scritto;
        const Tabelle previste = attese(QStringLiteral("101"), ROSSI, DICHIARANTE, letto);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        const QString riga = prova.lista()->item(prova.rigaDi(QStringLiteral("101"), ROSSI))->text();
        apri(prova, QStringLiteral("101"), ROSSI);
        digitaEConferma(prova, digitato);
        QCOMPARE(testiMostrati().size(), 3);
        QCOMPARE(MessageBox::shown()[0].risposta, int(vbYes));
        QCOMPARE(testiMostrati()[1], PROSEGUO);
        QCOMPARE(testiMostrati()[2], completamento(riga, scritto));
        // Written as the new code stands: upper case, padded to 16.
        QCOMPARE(attuali(), previste);
        const auto registro =
            archivio->righe(QStringLiteral("SELECT CFS FROM ANAGSOSTITUTI WHERE CODAZI = '101' AND ASOST_1 = 'ROSSI'"));
        QCOMPARE(registro.size(), 1);
        QCOMPARE(registro.first().value(QStringLiteral("CFS")).toString(), letto);
        verificaRiposo(prova);
    }

    void frontespizioDelDichiaranteMancante()
    {
        const QString prima = archivio->istantanea();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apri(prova, QStringLiteral("105"), BIANCHI);
        digitaEConferma(prova, NUOVOCF);
        QCOMPARE(testiMostrati(), QStringList{QStringLiteral("Attenzione !!! Non esiste il frontespizio del dichiarante ")});
        QCOMPARE(prova.finestra.CFDSOST, QString());
        QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("FrameCambiaCf"))->isVisible());
        verificaRiposo(prova);
        QCOMPARE(archivio->istantanea(), prima);

        // The linked code "9" is looked up as "009": once that front page
        // exists, the rows under its declarant are re-keyed.
        archivio->aggiungiFrontespizio(QStringLiteral("009"), QStringLiteral("05678901234"));
        const Tabelle previste = attese(QStringLiteral("105"), BIANCHI, QStringLiteral("05678901234"), NUOVOCF);
        azzeraMessaggi();
        prova.click(QStringLiteral("CmdConfermaCF"));
        QCOMPARE(testiMostrati().size(), 2);
        QCOMPARE(prova.finestra.CFDSOST, QStringLiteral("05678901234"));
        QCOMPARE(attuali(), previste);
        QCOMPARE(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM QUADROST WHERE CODAZI = '105' AND CFS = ?"),
                                 {NUOVOCF}),
                 1);
        verificaRiposo(prova);
    }

    void sostitutoNonPiuPresente()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apri(prova, QStringLiteral("101"), ROSSI);
        prova.modulo.VARIAZIONI = 1;
        // Removed by another program while the frame is open.
        archivio->esegui(QStringLiteral("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '101' AND CFS = ?"), {ROSSI});
        const QString prima = archivio->istantanea();
        digitaEConferma(prova, NUOVOCF);
        QCOMPARE(testiMostrati(), QStringList{QStringLiteral("Attenzione !!! Anagrafica sostituto non più presente "
                                                             "in archivio.\rIl codice fiscale non è stato cambiato.")});
        QCOMPARE(MessageBox::shown().first().stile, int(vbCritical));
        QCOMPARE(archivio->istantanea(), prima);
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        // The frame closes and the list no longer offers the substitute.
        QVERIFY(!prova.controllo<QGroupBox>(QStringLiteral("FrameCambiaCf"))->isVisible());
        verificaSelezioneAbilitata(prova, true);
        QCOMPARE(prova.rigaDi(QStringLiteral("101"), ROSSI), -1);
        verificaRiposo(prova);
    }

    void apostrofoNelCodiceFiscale()
    {
        const Tabelle previste = attese(QStringLiteral("104"), APOSTROFO, DICHIARANTE, NUOVOCF2);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apri(prova, QStringLiteral("104"), APOSTROFO);
        digitaEConferma(prova, NUOVOCF2);
        QCOMPARE(testiMostrati().size(), 2);
        QCOMPARE(attuali(), previste);
        // The neighbour of the same company keeps its code in every section.
        QCOMPARE(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM QUADROLAUT WHERE CODAZI = '104' AND CFS = ?"),
                                 {VERDI}),
                 1);
        verificaRiposo(prova);
    }

    void guastoAMetaNonLasciaNulla()
    {
        // The fifth table (QUADROLAUT) refuses the update after four have been re-keyed.
        archivio->impedisci(QStringLiteral("UPDATE"), QStringLiteral("QUADROLAUT"));
        const QString prima = archivio->istantanea();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apri(prova, QStringLiteral("101"), ROSSI);
        prova.modulo.VARIAZIONI = 1;
        MessageBox::setNextAnswer(vbYes);
        AlMessaggio visto;
        leggiBoxReale(&visto, prova.controllo<QLabel>(QStringLiteral("Label2(15)")));
        digitaEConferma(prova, NUOVOCF);

        QCOMPARE(archivio->istantanea(), prima);
        QVERIFY(visto.testo.startsWith(QStringLiteral("Attenzione !!!")));
        QVERIFY(visto.testo.endsWith(
            QStringLiteral("Il codice fiscale non è stato cambiato: nessun dato è stato modificato.")));
        QCOMPARE(visto.icona, int(QMessageBox::Critical));
        QVERIFY(!visto.cursoreOccupato);
        QVERIFY(!visto.avvisoVisibile);
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        verificaRiposo(prova);
        // The frame stays open with the typed code, ready for another try.
        QVERIFY(prova.controllo<QGroupBox>(QStringLiteral("FrameCambiaCf"))->isVisible());
        QCOMPARE(prova.campo(QStringLiteral("Text2"))->text(), NUOVOCF);
        QVERIFY(prova.rigaDi(QStringLiteral("101"), ROSSI) > 0);

        archivio->consenti(QStringLiteral("QUADROLAUT"));
        const Tabelle previste = attese(QStringLiteral("101"), ROSSI, DICHIARANTE, NUOVOCF);
        azzeraMessaggi();
        prova.click(QStringLiteral("CmdConfermaCF"));
        QCOMPARE(testiMostrati().size(), 2);
        QCOMPARE(attuali(), previste);
    }

    void archivioBloccato()
    {
        const QString prima = archivio->istantanea();
        FinestraProva prova;
        QVERIFY(prova.avvia());
        apri(prova, QStringLiteral("101"), ROSSI);
        {
            // Another program writing: the checks read, the change waits and gives up.
            auto blocco = archivio->blocca(false);
            MessageBox::setNextAnswer(vbYes);
            AlMessaggio visto;
            leggiBoxReale(&visto, prova.controllo<QLabel>(QStringLiteral("Label2(15)")));
            digitaEConferma(prova, NUOVOCF);
            QVERIFY(visto.testo.contains(QStringLiteral("in uso da un altro programma")));
            QVERIFY(visto.testo.endsWith(QStringLiteral("nessun dato è stato modificato.")));
            QVERIFY(!visto.avvisoVisibile);
            QVERIFY(!visto.cursoreOccupato);
        }
        verificaRiposo(prova);
        QCOMPARE(archivio->istantanea(), prima);
        {
            // Another program holding the file: even the checks cannot read.
            auto blocco = archivio->blocca(true);
            azzeraMessaggi();
            prova.click(QStringLiteral("CmdConfermaCF"));
            QCOMPARE(testiMostrati().size(), 1);
            QVERIFY(testiMostrati().first().contains(QStringLiteral("in uso da un altro programma")));
            QCOMPARE(MessageBox::shown().first().stile, int(vbCritical));
            verificaRiposo(prova);
        }
        QCOMPARE(archivio->istantanea(), prima);

        const Tabelle previste = attese(QStringLiteral("101"), ROSSI, DICHIARANTE, NUOVOCF);
        azzeraMessaggi();
        prova.click(QStringLiteral("CmdConfermaCF"));
        QCOMPARE(testiMostrati().size(), 2);
        QCOMPARE(attuali(), previste);
    }

    void sezioniRaggiuntePerIndice()
    {
        SOLO_FILE("the plans are read in SQLite's form");
        // The re-keying reads each section through its (CODAZI, CFS) index,
        // whatever the size of the return.
        for (const QString& t : QUADRI) {
            const auto piano = archivio->righe(
                QStringLiteral("EXPLAIN QUERY PLAN SELECT * FROM %1 WHERE CODAZI = ? and CFD = ? and CFS = ?").arg(t),
                {QStringLiteral("101"), DICHIARANTE, ROSSI});
            const QString dettaglio = piano.first().value(QStringLiteral("detail")).toString();
            QVERIFY2(dettaglio.startsWith(QStringLiteral("SEARCH "))
                         && dettaglio.contains(QStringLiteral("INDEX %1_AZISOST (CODAZI=? AND CFS=?)").arg(t)),
                     qPrintable(dettaglio));
        }
    }
};

QTEST_MAIN(TestCambiaCf)
#include "tst_cambiacf.moc"
