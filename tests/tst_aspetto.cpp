// What the operator sees and hears: frames and lists laid over other controls
// hide what lies under them, captions shown whole, Qt's own texts in Italian,
// message boxes as wide as their text, a name for every control a screen
// reader reaches, and the clicks on the list that close what lies over it.
#include "support/finestraprova.h"
#include "support/programma.h"

#include "window/guardie.h"
#include "window/italiano.h"

#include <QAccessible>
#include <QLabel>
#include <QMessageBox>
#include <QPaintEvent>
#include <QScopeGuard>

namespace {

const Chiave ROSSI{"101", "RSSMRA75M15H501X"};

// The labels and buttons of the window whose text does not fit the space the
// window gives it, named "mode: objectName".
QStringList tagliate(const QWidget& finestra, const QString& modo)
{
    QStringList tagliati;
    for (const QLabel* l : finestra.findChildren<QLabel*>()) {
        if (!l->isVisible() || l->text().isEmpty())
            continue;
        const int serve = l->wordWrap() ? l->heightForWidth(l->width()) : l->fontMetrics().horizontalAdvance(l->text());
        if (serve > (l->wordWrap() ? l->height() : l->contentsRect().width()))
            tagliati << modo + ": " + l->objectName();
    }
    for (const QPushButton* b : finestra.findChildren<QPushButton*>()) {
        const int serve = b->fontMetrics().horizontalAdvance(b->text().remove('&'));
        if (b->isVisible() && serve > b->contentsRect().width() - 8)
            tagliati << modo + ": " + b->objectName();
    }
    return tagliati;
}

// Whether the window has been painted whole since the last message box
// closed: the bounds of the window's own paint event span the area it puts
// on screen again. While an operation keeps the event loop busy, the place a
// box took stays as the box left it unless the window is painted at once.
class Ridipinture : public QObject {
public:
    QWidget* finestra;
    bool tutta = false;

    explicit Ridipinture(QWidget* f) : finestra(f) { qApp->installEventFilter(this); }
    ~Ridipinture() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* oggetto, QEvent* evento) override
    {
        if (evento->type() == QEvent::Hide && qobject_cast<QMessageBox*>(oggetto))
            tutta = false;
        else if (evento->type() == QEvent::Paint && oggetto == finestra)
            tutta = tutta || static_cast<QPaintEvent*>(evento)->region().boundingRect() == finestra->rect();
        return false;
    }
};

QString nomeAccessibile(QWidget* w)
{
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(QAccessible::Name) : QString();
}

} // namespace

class TestAspetto : public QObject {
    Q_OBJECT

    std::unique_ptr<BancoProva> p;

    QWidget* controllo(const QString& nome) { return p->controllo<QWidget>(nome); }
    // The window as painted over the area of a control equals the control's own rendering: nothing of what
    // lies under it shows through.
    bool copre(const QString& nome)
    {
        QWidget* c = controllo(nome);
        const QRect area(c->mapTo(&p->finestra, QPoint()), c->size());
        return c->isVisible() && p->finestra.grab(area).toImage() == c->grab().toImage();
    }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        QApplication::setCursorFlashTime(0); // a caret that does not blink between two pictures
    }
    void init()
    {
        p = std::make_unique<BancoProva>();
        p->sostituto(ROSSI, {"1=ROSSI", "2=MARIO"});
        QVERIFY(p->avvia());
    }
    void cleanup() { p.reset(); }

    void ogniModo()
    {
        // In every mode every label and button's text shows whole in the space the window gives it, and every
        // frame or list laid over other controls hides what lies under it.
        QStringList difetti;
        const auto guarda = [&](const QString& modo, const char* sopra = nullptr) {
            difetti << tagliate(p->finestra, modo);
            if (sopra && !copre(sopra))
                difetti << modo + ": " + sopra + " lets through what lies under it";
        };
        guarda("selection");
        p->doppioClickLista(0);
        QTest::keyClicks(p->campo("TEXTAZI"), "12");
        guarda("insertion", "FrmInserimento");
        p->click("CMDAPRILIST(3)");
        guarda("insertion, lookup list", "Framecodif");
        p->clickLista(p->rigaDi(ROSSI));
        p->click("CmdCambia");
        guarda("change of codice fiscale", "FrameCambiaCf");
        p->click("CmdAnnullaCF");
        QVERIFY(p->apri(ROSSI));
        for (int i = 0; i < 3; ++i) {
            p->finestra.CMDAPRILIST_Click(i); // button 2 is never shown
            guarda(QString("data sheet, lookup list %1").arg(i), "Framecodif");
        }
        // Every field disagreeing with the codice fiscale: the longest line about it, every field framed, the
        // lookup list over them.
        QTest::keyClick(controllo("ListTabmin"), Qt::Key_Escape);
        const QStringList diversi{"BIANCHI", "LUCA", "F", "16081975", "MILANO", "MI"};
        for (int n = 1; n <= 6; ++n)
            p->scrivi(n, diversi[n - 1]);
        QVERIFY(controllo("LabDiscordanze")->property("text").toString().endsWith("provincia di nascita"));
        guarda("data sheet, every field disagreeing with the codice fiscale");
        p->finestra.CMDAPRILIST_Click(0);
        guarda("lookup list over what the codice fiscale says", "Framecodif");
        // The search, its count and the export and print buttons inside the selection frame, over none of its
        // other controls, the count wide enough for the largest archive.
        QWidget* selezione = controllo("FrmSelezione");
        for (const QString nome : {"LabTrova", "TextTrova", "LabConteggio", "CmdEsporta", "CmdStampa"}) {
            QWidget* nuovo = controllo(nome);
            if (nuovo->parentWidget() != selezione || !selezione->rect().contains(nuovo->geometry()))
                difetti << nome + " outside";
            for (const QWidget* altro : selezione->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (altro != nuovo && altro->geometry().intersects(nuovo->geometry()))
                    difetti << nome + " over " + altro->objectName();
        }
        auto* conteggio = p->controllo<QLabel>("LabConteggio");
        if (conteggio->fontMetrics().horizontalAdvance("100000 di 100000") > conteggio->contentsRect().width())
            difetti << "LabConteggio too narrow";
        QCOMPARE(difetti.join(", "), QString());
    }

    void attesaDipinta()
    {
        // While a change of codice fiscale runs, the window shows what it is doing: the box just answered is no
        // longer on it (the whole window put on screen again before the work starts) and the wait notice is whole.
        p->clickLista(p->rigaDi(ROSSI));
        p->click("CmdCambia");
        QTest::keyClicks(p->campo("Text2"), "AAAAAA00A00A000I");
        Ridipinture ridipinture(&p->finestra);
        QStringList visto;
        OperazioneLunga::osservatore() = [&] {
            visto << QString("notice %1, painted %2").arg(p->visibile("Label2(15)")).arg(ridipinture.tutta)
                  << tagliate(p->finestra, "during the change");
        };
        const auto azzera = qScopeGuard([] { OperazioneLunga::osservatore() = nullptr; });
        BoxReale box;
        rispondiBoxReale(vbYes, &box);
        p->click("CmdConfermaCF");
        QCOMPARE(box.testo, "Il codice fiscale del sostituto selezionato sara' cambiato\n\nProseguo ???");
        QCOMPARE(visto, QStringList{"notice 1, painted 1"});
        QVERIFY(!p->visibile("Label2(15)")); // gone with the work
    }

    void testiQtInItaliano()
    {
        // The program's boxes keep their buttons, which Qt writes in Italian: a message with OK alone, as wide as
        // the same box without the window's long caption for title...
        QVERIFY(p->apri(ROSSI));
        BoxReale visto;
        rispondiBoxReale(vbOK, &visto);
        p->click("cmdparcprec");
        QCOMPARE(visto.testo, "Prima Anagrafica");
        QCOMPARE(visto.icona, int(QMessageBox::Information));
        QCOMPARE(visto.titolo, p->finestra.windowTitle());
        QMessageBox stesso(QMessageBox::Information, QString(), visto.testo, QMessageBox::Ok);
        stesso.show();
        QCOMPARE(visto.dimensione, stesso.size());
        // ...and the save question, Yes the default.
        p->scrivi(9, "VIA ROMA 2");
        rispondiBoxReale(vbCancel, &visto);
        p->click("cmdselprec");
        QCOMPARE(visto.icona, int(QMessageBox::Question));
        visto.bottoni.sort();
        QCOMPARE(visto.bottoni, (QStringList{"Annulla", "No", "Sì"}));
        QCOMPARE(visto.predefinito, "Sì");
    }

    void senzaTraduzioni()
    {
        // Without Qt's translation file the program runs on, with Qt's texts in English: the deletion's question,
        // a stop sign under the window's caption, Yes the default, answered No.
        QTemporaryDir vuota;
        QVERIFY(!ITALIANOQT(vuota.path()));
        const auto ripristina = qScopeGuard([] { ITALIANOQT(); });
        p->clickLista(p->rigaDi(ROSSI));
        BoxReale visto;
        rispondiBoxReale(vbNo, &visto);
        p->click("Cmdcancella");
        QCOMPARE(visto.icona, int(QMessageBox::Critical));
        visto.bottoni.sort();
        QCOMPARE(visto.bottoni, (QStringList{"No", "Yes"}));
        QCOMPARE(visto.predefinito, "Yes");
        QCOMPARE(p->rigaDi(ROSSI) > 0, true);
    }

    void nomiAccessibili()
    {
        // Captions as names (buttons without their mnemonic marker); the objectNames stay the original window's.
        const QList<std::pair<QString, QString>> attesi = {
            {"Text1(6)", "Prov.(sigla)"},
            {"TextAZICOL", "Cod. Azienda collegata"},
            {"CmdCambia", "Cambia C.F."},
            {"List1", "Azienda - Codice fiscale - Denominazione/Nominativo"},
            {"Option1(2)", "denominazione/nominativo"},
            {"CMDAPRILIST(0)", "Tabella province, provincia di nascita"},
            {"TextTrova", "Trova"},
            {"CorniceCF(4)", "Data di nascita: non corrisponde al codice fiscale"}};
        for (const auto& [nome, testo] : attesi)
            QCOMPARE(nomeAccessibile(controllo(nome)), testo);
        // Every control the focus can reach has a name.
        for (QWidget* w : p->finestra.findChildren<QWidget*>())
            if (w->focusPolicy() != Qt::NoFocus)
                QVERIFY2(!nomeAccessibile(w).trimmed().isEmpty(), qPrintable(w->objectName()));
        // The lookup list is named by its heading.
        QVERIFY(p->apri(ROSSI));
        p->click("CMDAPRILIST(1)");
        QCOMPARE(nomeAccessibile(controllo("ListTabmin")).trimmed(), "Tabella province");
    }

    void clickSullaLista()
    {
        // A single click on the line already picked closes the insertion frame, as any single click does.
        p->doppioClickLista(0);
        QVERIFY(p->visibile("FrmInserimento"));
        p->clickLista(0);
        QVERIFY(!p->visibile("FrmInserimento"));
        // The list of companies opened from the insertion frame closes with it.
        p->doppioClickLista(0);
        p->click("CMDAPRILIST(3)");
        QVERIFY(p->visibile("Framecodif"));
        p->clickLista(p->rigaDi(ROSSI));
        QVERIFY(!p->visibile("FrmInserimento"));
        QVERIFY(!p->visibile("Framecodif"));
        // A choice never writes into a field that is not on screen.
        p->finestra.CMDAPRILIST_Click(3);
        QTest::keyClick(controllo("ListTabmin"), Qt::Key_Down);
        QTest::keyClick(controllo("ListTabmin"), Qt::Key_Return);
        QCOMPARE(p->campo("TextAZICOL")->text(), QString());
        QVERIFY(!p->visibile("Framecodif"));
    }
};

PROVA(TestAspetto);
#include "tst_aspetto.moc"
