// What the operator sees and hears: frames and lists laid over other controls
// hide what lies under them, captions shown whole, the window painted before
// a long operation, Qt's own texts in Italian (and in English without them),
// a name for every control a screen reader reaches.
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

// The labels and buttons of the window whose text does not fit the space the window gives it.
QStringList tagliate(const QWidget& finestra, const QString& modo)
{
    QStringList tagliati;
    for (const QWidget* w : finestra.findChildren<QWidget*>()) {
        const auto* l = qobject_cast<const QLabel*>(w);
        const auto* b = qobject_cast<const QPushButton*>(w);
        const QString testo = l ? l->text() : b ? b->text().remove('&') : QString();
        if (!w->isVisible() || testo.isEmpty())
            continue;
        const bool acapo = l && l->wordWrap();
        const int serve = acapo ? l->heightForWidth(l->width()) : w->fontMetrics().horizontalAdvance(testo);
        if (serve > (acapo ? l->height() : w->contentsRect().width() - (b ? 8 : 0)))
            tagliati << modo + ": " + w->objectName();
    }
    return tagliati;
}

// Whether the window has been painted whole since the last message box closed.
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

} // namespace

class TestAspetto : public QObject {
    Q_OBJECT

    std::unique_ptr<BancoProva> p;

    // The window as painted over a control's area is the control's own rendering: nothing under it shows.
    bool copre(const QString& nome)
    {
        QWidget* c = p->controllo<QWidget>(nome);
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
        p->sostituto(ROSSI);
        QVERIFY(p->avvia());
    }
    void cleanup() { p.reset(); }

    void ogniModo()
    {
        // In every mode every caption shows whole, and every frame or list laid over other controls hides what
        // lies under it; on the data sheet every field disagreeing with the codice fiscale, the longest line.
        QStringList difetti;
        const auto guarda = [&](const QString& modo, const char* sopra) {
            difetti << tagliate(p->finestra, modo);
            if (!copre(sopra))
                difetti << modo + ": " + sopra + " lets through what lies under it";
        };
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
        const QStringList diversi{"BIANCHI", "LUCA", "F", "16081975", "MILANO", "MI"};
        for (int n = 1; n <= 6; ++n)
            p->scrivi(n, diversi[n - 1]);
        for (int i = 0; i < 3; ++i) {
            p->finestra.CMDAPRILIST_Click(i); // button 2 is never shown
            guarda(QString("data sheet, lookup list %1").arg(i), "Framecodif");
        }
        QCOMPARE(difetti.join(", "), QString());
    }

    void attesaDipinta()
    {
        // While a change of codice fiscale runs, the box just answered is no longer on the window (painted whole
        // before the work starts) and the wait notice shows whole.
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
        rispondiBoxReale(vbYes);
        p->click("CmdConfermaCF");
        QCOMPARE(visto, QStringList{"notice 1, painted 1"});
        QVERIFY(!p->visibile("Label2(15)")); // gone with the work
    }

    void testiQt()
    {
        // The program's boxes keep Qt's buttons, in Italian, Yes the default; a box as wide as the same box
        // without the window's long caption for title. Without Qt's translation file, in English.
        QVERIFY(p->apri(ROSSI));
        p->scrivi(9, "VIA ROMA 2");
        BoxReale visto;
        rispondiBoxReale(vbCancel, &visto);
        p->click("cmdselprec");
        visto.bottoni.sort();
        QCOMPARE(visto.bottoni.join(' ') + ", " + visto.predefinito, "Annulla No Sì, Sì");
        QMessageBox stesso(QMessageBox::Question, QString(), visto.testo,
                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        stesso.show();
        QCOMPARE(visto.dimensione, stesso.size());
        QTemporaryDir vuota;
        QVERIFY(!ITALIANOQT(vuota.path()));
        const auto ripristina = qScopeGuard([] { ITALIANOQT(); });
        rispondiBoxReale(vbCancel, &visto);
        p->click("cmdselprec");
        visto.bottoni.sort();
        QCOMPARE(visto.bottoni.join(' ') + ", " + visto.predefinito, "Cancel No Yes, Yes");
    }

    void nomiAccessibili()
    {
        // Captions as names (buttons without their mnemonic marker); every control the focus can reach named.
        const auto nome = [](QWidget* w) {
            QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
            return i ? i->text(QAccessible::Name) : QString();
        };
        for (const auto& [controllo, testo] : {std::pair{"Text1(6)", "Prov.(sigla)"},
                                               {"CmdCambia", "Cambia C.F."},
                                               {"List1", "Azienda - Codice fiscale - Denominazione/Nominativo"},
                                               {"CorniceCF(4)", "Data di nascita: non corrisponde al codice fiscale"}})
            QCOMPARE(nome(p->controllo<QWidget>(controllo)), testo);
        for (QWidget* w : p->finestra.findChildren<QWidget*>())
            if (w->focusPolicy() != Qt::NoFocus)
                QVERIFY2(!nome(w).trimmed().isEmpty(), qPrintable(w->objectName()));
    }
};

PROVA(TestAspetto);
#include "tst_aspetto.moc"
