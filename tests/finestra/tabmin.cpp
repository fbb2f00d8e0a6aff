// The lookup list: its lines, opening and closing, the choice by Enter and
// by double click and the field it goes to, the unsaved-changes flag it
// leaves. Which rows and in which order is the core's (tst_registro).
#include "support/finestraprova.h"
#include "support/programma.h"

#include <QLabel>

namespace {

const QString NOMELUNGO = "SOCIETA' COOPERATIVA DI PRODUZIONE E LAVORO DEI TRASPORTATORI RIUNITI DEL NORD EST";
const QString SENZACODICE = QString(3, QChar(0x00A0)); // non-breaking blanks: sorts after the digits
// The field each lookup button fills.
const QStringList BERSAGLI = {"Text1(6)", "Text1(8)", "Text1(10)", "TextAZICOL"};
const Chiave BIANCHI{"101", "BNCLCU80A01H501Q"};

} // namespace

class TestTabmin : public QObject {
    Q_OBJECT

    std::unique_ptr<BancoProva> p; // on the data sheet of BIANCHI

    QAbstractItemView* lista() { return p->controllo<QAbstractItemView>("ListTabmin"); }
    // Presses a lookup button (through its handler: button 2 is never shown).
    bool apri(int bottone)
    {
        p->finestra.CMDAPRILIST_Click(bottone);
        return p->visibile("Framecodif");
    }
    QStringList campi()
    {
        QStringList t;
        for (const QString& c : BERSAGLI)
            t << p->campo(c)->text();
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
        // fr_14 set: surname and first name; blank: the company name; a code of blanks sorts first.
        p = std::make_unique<BancoProva>();
        p->archivio.aggiungiFrontespizio("002", "RSSMRA80A01H501U", "ROSSI", "MARIO", "NON MOSTRATO", "1");
        p->archivio.aggiungiFrontespizio("004", "12345678903", "IGNORATO", {}, NOMELUNGO, "   ");
        p->archivio.aggiungiFrontespizio("   ", "03456789019", {}, {}, "SENZA CODICE SRL");
        p->archivio.aggiungiFrontespizio(SENZACODICE, "03456789027", {}, {}, "SPAZI SRL");
        p->sostituto(BIANCHI, {"1=BIANCHI", "2=LUCA", "4=", "5=", "6=RM", "7=", "8=RM", "9=", "10="});
        QVERIFY(p->apri(BIANCHI));
    }
    void cleanup() { p.reset(); }

    void aperturaEChiusura()
    {
        QStringList province{" Tabella province"};
        for (const auto& r : p->archivio.righe("SELECT codprov || ' ' || TRIM(descprov) FROM TABMIN_PROV ORDER BY 1"))
            province << r.first().toString();
        // Front pages column by column: code 1-3, codice fiscale 5-20, name 22-81.
        const auto riga = [](const QString& c, const QString& cf, const QString& n) {
            return (c + ' ' + cf.leftJustified(16) + ' ' + n.left(60)).leftJustified(81);
        };
        const QStringList aziende = {" Azienda - Codice fiscale - Cognome/nome o Denominazione",
                                     riga("   ", "03456789019", "SENZA CODICE SRL"),
                                     riga("001", "01234567897", "ALFA SRL"),
                                     riga("002", "RSSMRA80A01H501U", "ROSSI MARIO"),
                                     riga("004", "12345678903", NOMELUNGO),
                                     riga(SENZACODICE, "03456789027", "SPAZI SRL")};
        // Button, heading and lines. Each opening refills the frame, also while the list of another button shows.
        for (const auto& [bottone, attese] :
             QList<std::pair<int, QStringList>>{{1, province}, {2, aziende}, {3, aziende}, {0, province}}) {
            QVERIFY(apri(bottone));
            QCOMPARE(QStringList{p->controllo<QLabel>("LabTabmin")->text()} + righeDi(lista()), attese);
            QCOMPARE(QApplication::focusWidget(), lista());
        }
        // A second press of the same button closes the list; so do Escape and a click on the data sheet's
        // frame. None of them changes a field.
        p->click("CMDAPRILIST(0)");
        QVERIFY(!p->visibile("Framecodif"));
        QVERIFY(apri(0));
        clickVoce(lista(), 50); // a line picked, not chosen
        QTest::keyClick(lista(), Qt::Key_Escape);
        QVERIFY(!p->visibile("Framecodif"));
        QVERIFY(apri(1));
        QTest::mouseClick(p->controllo<QWidget>("Frmmoduli(0)"), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!p->visibile("Framecodif"));
        QCOMPARE(p->fuoco(), "CMDAPRILIST(1)"); // back on the list's button
        QCOMPARE(campi(), (QStringList{"RM", "RM", "", ""}));
        QCOMPARE(p->modulo.VARIAZIONI, 0);
        QCOMPARE(p->box(), QStringList());
    }

    void scelta_data()
    {
        QTest::addColumn<int>("bottone");
        QTest::addColumn<QString>("riga");   // the start of the line picked; empty: none
        QTest::addColumn<bool>("doppio");    // chosen by double click, else by Enter
        QTest::addColumn<QString>("codice"); // what the button's field gets; empty: nothing chosen
        QTest::newRow("province of birth, Enter") << 0 << "MI" << false << "MI";
        QTest::newRow("province of residence, double click") << 1 << "MI" << true << "MI";
        QTest::newRow("linked company, double click") << 3 << "002" << true << "002";
        // A line without a code takes the code of the nearest line above with one.
        QTest::newRow("sheet's company, line without code") << 2 << SENZACODICE << false << "004";
        QTest::newRow("no line picked") << 2 << "" << false << "";
        QTest::newRow("no code at the line or above") << 3 << "   " << true << "";
    }
    void scelta()
    {
        QFETCH(int, bottone);
        QFETCH(QString, riga);
        QFETCH(bool, doppio);
        QFETCH(QString, codice);
        if (bottone == 3) { // in the insertion frame
            p->click("cmdselprec");
            p->doppioClickLista(0);
        }
        QStringList attesi = campi();
        p->modulo.VARIAZIONI = 2;
        QVERIFY(apri(bottone));
        if (!riga.isEmpty()) {
            const int n =
                int(righeDi(lista()).indexOf(QRegularExpression("^" + QRegularExpression::escape(riga) + ".*")));
            clickVoce(lista(), n, doppio);
        }
        if (!doppio)
            QTest::keyClick(lista(), Qt::Key_Return);
        if (!codice.isEmpty())
            attesi[bottone] = codice; // only the button's own field changes
        QCOMPARE(campi(), attesi);
        // A choice is a change of the data sheet, not of the insertion frame.
        QCOMPARE(p->modulo.VARIAZIONI, codice.isEmpty() ? 2 : bottone == 3 ? 0 : 1);
        QCOMPARE(p->visibile("Framecodif"), codice.isEmpty()); // chosen: the list closes; else it stays open
    }
};

PROVA(TestTabmin);
#include "tabmin.moc"
