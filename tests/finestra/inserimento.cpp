// Registration of a new substitute: the fields of the insertion frame, each
// kind of refusal of the confirmation (a question, a missing field named by
// its label, a code in use, a linked company emptied), the hand-over to the
// data sheet and the first save that adds the row. Every check in its order
// is the core's (tst_registro).
#include "support/finestraprova.h"
#include "support/programma.h"

#include "window/aspetto.h"

#include <QLabel>

namespace {

const QStringList CAMPI = {"TEXTAZI", "TEXTCF", "TextCOGNO", "TextNOME", "TextAZICOL"};
// Company code, codice fiscale, surname, first name, linked company: passes every check.
const QStringList VALIDO = {"7", "VRDGPP70A01F205V", "verdi", "giuseppe", "1"};
const QString PIVAERRATA = "Partita IVA formalmente errata\r\rVuoi proseguire ugualmente ?";
const QString COLLEGATA = "Attenzione !!! Il codice azienda collegata inserito ";
// Typed values, texts of the boxes shown, style of the last one, the control that gets the focus.
using Caso = std::tuple<QStringList, QStringList, int, QString>;

} // namespace

class TestInserimento : public QObject {
    Q_OBJECT

    std::unique_ptr<BancoProva> p;
    QString prima; // the archive before the case

    // Opens the insertion frame from the first line of the list and types the
    // fields one after the other, moving on with Tab as the operator does. A
    // null linked-company code means the operator never enters that field.
    void compila(const QStringList& valori)
    {
        p->doppioClickLista(0);
        for (int i = 0; i < (valori[4].isNull() ? 4 : 5); ++i) {
            QCOMPARE(p->fuoco(), CAMPI[i]);
            QTest::keyClicks(QApplication::focusWidget(), valori[i]);
            if (i < 3 || !valori[4].isNull())
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    }
    // Texts of the fields or labels named.
    QStringList testi(const QStringList& nomi = CAMPI)
    {
        QStringList t;
        for (const QString& nome : nomi)
            t << p->controllo<QWidget>(nome)->property("text").toString();
        return t;
    }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }
    void init()
    {
        p = std::make_unique<BancoProva>();
        p->archivio.aggiungiFrontespizio("002", "RSSMRA80A01H501U", "ROSSI", "MARIO", {}, "1");
        p->sostituto({"101", "BNCLCU80A01H501Q"}, {"1=BIANCHI", "2=LUCA"});
        prima = p->archivio.istantanea();
        QVERIFY(p->avvia());
    }
    void cleanup() { p.reset(); }

    void controlloFallito_data()
    {
        QTest::addColumn<Caso>("caso");
        // Company code, codice fiscale, surname and linked company typed (null: never entered); no first name.
        const auto riga = [](const char* nome, int stile, const char* fuoco, QStringList v, const QStringList& testi) {
            QTest::newRow(nome) << Caso{{v[0], v[1], v[2], "", v[3]}, testi, stile, fuoco};
        };
        const QString mai;
        // The field at fault highlighted after the form check's question or a missing field; not after a duplicate.
        // (The answer Yes goes on to the other checks: percorsoCompleto.)
        riga("P.IVA errata, No", vbYesNo + vbQuestion, "TEXTCF", {"", "12345678900", "", mai}, {PIVAERRATA});
        // The field shows three zeros, yet the code is missing.
        riga("codice azienda vuoto", vbInformation, "TEXTAZI", {"", "", "", mai}, {"Inserire Codice Azienda"});
        // The caption of the field's label as it reads at that moment.
        riga("codice fiscale vuoto", vbInformation, "TEXTCF", {"7", "", "", mai}, {"Inserire C.F. / P.IVA"});
        // Never entered, so not turned into "000".
        riga("collegata mai toccata", vbInformation, "TextAZICOL", {"1", VALIDO[1], "VERDI", mai},
             {"Inserire Cod. Azienda collegata"});
        riga("sostituto gia registrato", vbCritical, "CmdInserimento(0)", {"101", "BNCLCU80A01H501Q", "BIANCHI", "9"},
             {"Attenzione !!! Anagrafica sostituto gia' presente."});
        riga("azienda di un dichiarante", vbCritical, "TEXTAZI", {"1", VALIDO[1], "VERDI", "2"},
             {"Attenzione !!! Il codice azienda inserito per il sostituto e' gia presente nel frontespizio"});
        riga("collegata ignota", vbCritical, "TextAZICOL", {"7", VALIDO[1], "VERDI", "9"},
             {COLLEGATA + "non è presente nel frontespizio"});
    }
    void controlloFallito()
    {
        QFETCH(Caso, caso);
        const auto& [valori, messaggi, stile, fuoco] = caso;
        p->controllo<QWidget>("Label2(1)")->setProperty("text", "C.F. / P.IVA");
        compila(valori);
        QStringList digitati = testi();
        MessageBox::setNextAnswer(vbNo); // to a code failing its check
        p->click("CmdInserimento(0)");

        QCOMPARE(testiMostrati(), messaggi);
        QCOMPARE(MessageBox::shown().last().stile, stile);
        QCOMPARE(p->fuoco(), fuoco);
        // Texts as typed (the linked code emptied after its own failures); the
        // field at fault highlighted after an information or a question.
        if (messaggi.last().startsWith(COLLEGATA))
            digitati[4].clear();
        QCOMPARE(testi(), digitati);
        for (const QString& campo : CAMPI)
            QCOMPARE(p->campo(campo)->BackColor(), stile != vbCritical && campo == fuoco ? GIALLO : BIANCO);
        QVERIFY(p->visibile("FrmInserimento"));
        QCOMPARE(p->modulo.NUOVOSOSTITUTO, 0);

        // A second, correct confirmation hands the new substitute over to the
        // data sheet. It exists only on the sheet: leaving it, even untouched,
        // asks, and a No leaves nothing behind; the next substitute opened moves again.
        azzeraMessaggi();
        compila(VALIDO);
        p->click("CmdInserimento(0)");
        QCOMPARE(testiMostrati(), QStringList());
        QVERIFY(p->mostra({"007", "VRDGPP70A01F205V"}));
        MessageBox::setNextAnswer(vbNo);
        p->click("cmdselprec");
        QCOMPARE(testiMostrati(), QStringList{"Sono state effettuate delle variazioni\rSalvare ?"});
        p->doppioClickLista(1);
        QCOMPARE(p->modulo.NUOVOSOSTITUTO, 0);
        QVERIFY(p->bottone("cmdparcsuc")->isEnabled());
        QCOMPARE(p->archivio.istantanea(), prima);
    }

    void percorsoCompleto()
    {
        // A company whose partita IVA fails its check, accepted with Yes: from the insertion entry to the saved
        // row. Calculator-style code fields with the key form on leaving, upper case in the others.
        compila({"a1x234.", "03456789010", "verdi d'angelo", "", "x2."});
        MessageBox::setNextAnswer(vbYes);
        p->click("CmdInserimento(0)");
        // No first name: the header shows the company name alone. The sheet
        // gets the names and the linked company, the rest as the opening cleared it.
        QCOMPARE(testi({"LabCOGNODEN", "LabCF", "LabAZI"}), (QStringList{"VERDI D'ANGELO", "03456789010", "123"}));
        QCOMPARE(p->scheda(), "VERDI D'ANGELO|||00/00/0000||||||002");
        QCOMPARE(p->fuoco(), "Text1(1)");
        // Pending until the first save: an unsaved change, no moves.
        QCOMPARE(p->modulo.NUOVOSOSTITUTO, 1);
        QCOMPARE(p->modulo.VARIAZIONI, 1);
        QVERIFY(!p->bottone("cmdparcprec")->isEnabled());
        QVERIFY(!p->bottone("cmdparcsuc")->isEnabled());

        for (const auto& [n, testo] : {std::pair{7, "torino"}, {8, "to"}, {9, "po 1"}})
            QTest::keyClicks(p->campo(n), testo);
        p->click("cmdmemorizza");
        QCOMPARE(p->registrato({"123", "03456789010"}), "VERDI D'ANGELO|||00000000|||TORINO|TO|PO 1|002");
        // No longer pending: the moves work again, from the new row, without a question.
        p->click("cmdparcprec");
        QVERIFY(p->mostra({"101", "BNCLCU80A01H501Q"}));
        QCOMPARE(testiMostrati(), QStringList{PIVAERRATA});
    }
};

PROVA(TestInserimento);
#include "inserimento.moc"
