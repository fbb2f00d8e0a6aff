// What the operator sees and hears: frames and lists laid over other controls
// hide what lies under them, captions shown whole, Qt's own texts in Italian,
// message boxes as wide as their text, a name for every control a screen
// reader reaches, and the clicks on the list that close what lies over it.
#include "schedaprova.h"

#include "window/guardie.h"
#include "window/italiano.h"

#include <QAccessible>
#include <QMessageBox>
#include <QPaintEvent>
#include <QScopeGuard>

using namespace scheda;

namespace {

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
// closed. Qt paints a window from its backing store: the bounds of the
// window's own paint event span the area it puts on screen again, its
// children are painted only where they changed. While an operation keeps the event loop busy, the
// place a box took stays as the box left it unless the window is painted at once.
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

    std::unique_ptr<ArchivioProva> archivio;
    std::unique_ptr<FinestraProva> prova;

    QWidget* controllo(const QString& nome) { return prova->controllo<QWidget>(nome); }
    // The window as painted over the area of a control equals the control's own rendering: nothing of what
    // lies under it shows through.
    bool copre(const QString& nome)
    {
        QWidget* c = controllo(nome);
        const QRect area(c->mapTo(&prova->finestra, QPoint()), c->size());
        return prova->finestra.grab(area).toImage() == c->grab().toImage();
    }
    QString nomeAccessibile(QWidget* w)
    {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
        return i ? i->text(QAccessible::Name) : QString();
    }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        QApplication::setCursorFlashTime(0); // a caret that does not blink between two pictures
    }
    void init()
    {
        archivio = nuovoArchivio();
        prova = std::make_unique<FinestraProva>();
        QVERIFY(prova->avvia());
    }
    void cleanup() { prova.reset(); archivio.reset(); }

    void ogniModo()
    {
        // In every mode every label and button's text shows whole in the space the window gives it, and every
        // frame or list laid over other controls hides what lies under it.
        QStringList difetti;
        const auto guarda = [&](const QString& modo, const char* sopra = nullptr) {
            difetti << tagliate(prova->finestra, modo);
            if (sopra && !(controllo(sopra)->isVisible() && copre(sopra)))
                difetti << modo + ": " + sopra + " lets through what lies under it";
        };
        guarda("selection");
        prova->doppioClickLista(0);
        QTest::keyClicks(prova->campo("TEXTAZI"), "12");
        guarda("insertion", "FrmInserimento");
        prova->click("CMDAPRILIST(3)");
        guarda("insertion, lookup list", "Framecodif");
        prova->clickLista(prova->rigaDi(ROSSI.codazi, ROSSI.cfs));
        prova->click("CmdCambia");
        guarda("change of codice fiscale", "FrameCambiaCf");
        prova->click("CmdAnnullaCF");
        QVERIFY(apri(*prova, ROSSI));
        for (int i = 0; i < 3; ++i) {
            prova->finestra.CMDAPRILIST_Click(i); // button 2 is never shown
            guarda(QString("data sheet, lookup list %1").arg(i), "Framecodif");
        }
        // Every field disagreeing with the codice fiscale: the longest line about it, every field framed, the
        // lookup list over them.
        QTest::keyClick(prova->controllo<QListWidget>("ListTabmin"), Qt::Key_Escape);
        const QStringList diversi{"BIANCHI", "LUCA", "F", "16081975", "MILANO", "MI"};
        for (int n = 1; n <= 6; ++n)
            riscrivi(*prova, n, diversi[n - 1]);
        QVERIFY(controllo("LabDiscordanze")->property("text").toString().endsWith("provincia di nascita"));
        guarda("data sheet, every field disagreeing with the codice fiscale");
        prova->finestra.CMDAPRILIST_Click(0);
        guarda("lookup list over what the codice fiscale says", "Framecodif");
        QCOMPARE(difetti.join(", "), QString());
    }

    void attesaDipinta()
    {
        // While a change of codice fiscale runs, the window shows what it is doing: the box just answered is no
        // longer on it (the whole window put on screen again before the work starts) and the wait notice is whole.
        prova->clickLista(prova->rigaDi(ROSSI.codazi, ROSSI.cfs));
        prova->click("CmdCambia");
        QTest::keyClicks(prova->campo("Text2"), "AAAAAA00A00A000I");
        QWidget* avviso = controllo("Label2(15)");
        Ridipinture ridipinture(&prova->finestra);
        int volte = 0;
        bool avvisoVisibile = false, dipinta = false;
        QStringList tagliati;
        OperazioneLunga::osservatore() = [&] {
            ++volte;
            avvisoVisibile = avviso->isVisible();
            dipinta = ridipinture.tutta;
            tagliati = tagliate(prova->finestra, "during the change");
        };
        const auto azzera = qScopeGuard([] { OperazioneLunga::osservatore() = nullptr; });
        BoxReale visto;
        rispondiBoxReale(vbYes, &visto);
        prova->click("CmdConfermaCF");
        QCOMPARE(visto.testo, "Il codice fiscale del sostituto selezionato sara' cambiato\n\nProseguo ???");
        QCOMPARE(volte, 1);
        QVERIFY(avvisoVisibile);
        QVERIFY(dipinta);
        QCOMPARE(tagliati.join(", "), QString());
        QVERIFY(!avviso->isVisible()); // gone with the work
    }

    void testiQtInItaliano()
    {
        // The program's own boxes keep their buttons, which Qt writes in Italian (its context menu too: the date
        // field's test takes its entries by their Italian names): a message with OK alone, as wide as the same box
        // without the window's long caption for title...
        QVERIFY(apri(*prova, ALFA));
        BoxReale visto;
        rispondiBoxReale(vbOK, &visto);
        prova->click("cmdparcprec");
        QCOMPARE(visto.testo, "Prima Anagrafica");
        QCOMPARE(visto.icona, int(QMessageBox::Information));
        QCOMPARE(visto.bottoni, QStringList{"OK"});
        QCOMPARE(visto.titolo, prova->finestra.windowTitle());
        QMessageBox stesso(QMessageBox::Information, QString(), visto.testo, QMessageBox::Ok);
        stesso.show();
        QCOMPARE(visto.dimensione, stesso.size());
        // ...and the save question.
        riscrivi(*prova, 9, "VIA ROMA 2");
        rispondiBoxReale(vbCancel, &visto);
        prova->click("cmdselprec");
        QCOMPARE(visto.testo, QString(DOMANDA).replace('\r', '\n'));
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
        prova->clickLista(prova->rigaDi(ROSSI.codazi, ROSSI.cfs));
        BoxReale visto;
        rispondiBoxReale(vbNo, &visto);
        prova->click("Cmdcancella");
        QVERIFY(visto.testo.startsWith(prova->finestra.testoSelezionato().trimmed() + "\n\nVuoi cancellare"));
        QCOMPARE(visto.icona, int(QMessageBox::Critical));
        QCOMPARE(visto.titolo, prova->finestra.windowTitle());
        visto.bottoni.sort();
        QCOMPARE(visto.bottoni, (QStringList{"No", "Yes"}));
        QCOMPARE(visto.predefinito, "Yes");
        QCOMPARE(archivio->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI"), 5);
    }

    void nomiAccessibili()
    {
        // Captions as names (buttons without their mnemonic marker); the objectNames stay the original window's.
        const QList<std::pair<QString, QString>> attesi = {
            {"Text1(6)", "Prov.(sigla)"}, {"TextAZICOL", "Cod. Azienda collegata"}, {"CmdCambia", "Cambia C.F."},
            {"List1", "Azienda - Codice fiscale - Denominazione/Nominativo"},
            {"Option1(2)", "denominazione/nominativo"},
            {"CMDAPRILIST(0)", "Tabella province, provincia di nascita"}, {"TextTrova", "Trova"},
            {"CorniceCF(4)", "Data di nascita: non corrisponde al codice fiscale"}};
        for (const auto& [nome, testo] : attesi)
            QCOMPARE(nomeAccessibile(controllo(nome)), testo);
        // Every control the focus can reach, in every mode, has a name.
        for (QWidget* w : prova->finestra.findChildren<QWidget*>()) {
            if (w->focusPolicy() != Qt::NoFocus)
                QVERIFY2(!nomeAccessibile(w).trimmed().isEmpty(), qPrintable(w->objectName()));
        }
        // The lookup list is named by its heading.
        QVERIFY(apri(*prova, ROSSI));
        prova->click("CMDAPRILIST(1)");
        QCOMPARE(nomeAccessibile(controllo("ListTabmin")).trimmed(), "Tabella province");
    }

    void ricercaNelloSpazioLibero()
    {
        // The search, its count and the export and print buttons lie inside the selection frame, over none of
        // its other controls, the count wide enough for the largest archive.
        const QStringList nuovi{"LabTrova", "TextTrova", "LabConteggio", "CmdEsporta", "CmdStampa"};
        QWidget* selezione = controllo("FrmSelezione");
        QStringList fuori;
        for (const QString& nome : nuovi) {
            QWidget* nuovo = controllo(nome);
            if (nuovo->parentWidget() != selezione || !selezione->rect().contains(nuovo->geometry()))
                fuori << nome + " outside";
            for (const QWidget* altro : selezione->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (altro != nuovo && altro->geometry().intersects(nuovo->geometry()))
                    fuori << nome + " over " + altro->objectName();
        }
        QCOMPARE(fuori.join(", "), QString());
        auto* conteggio = prova->controllo<QLabel>("LabConteggio");
        QVERIFY(conteggio->fontMetrics().horizontalAdvance("100000 di 100000") <= conteggio->contentsRect().width());
    }

    void clickSullaLista()
    {
        QWidget* inserimento = controllo("FrmInserimento");
        QWidget* elenco = controllo("Framecodif");
        // A single click on the line already picked closes the insertion frame, as any single click does.
        prova->doppioClickLista(0);
        QVERIFY(inserimento->isVisible());
        prova->clickLista(0);
        QVERIFY(!inserimento->isVisible());
        // The list of companies opened from the insertion frame closes with it.
        prova->doppioClickLista(0);
        prova->click("CMDAPRILIST(3)");
        QVERIFY(elenco->isVisible());
        prova->clickLista(prova->rigaDi(ROSSI.codazi, ROSSI.cfs));
        QVERIFY(!inserimento->isVisible());
        QVERIFY(!elenco->isVisible());
        // A choice never writes into a field that is not on screen.
        prova->finestra.CMDAPRILIST_Click(3);
        QVERIFY(elenco->isVisible());
        QTest::keyClick(prova->controllo<QListWidget>("ListTabmin"), Qt::Key_Down);
        QTest::keyClick(prova->controllo<QListWidget>("ListTabmin"), Qt::Key_Return);
        QCOMPARE(prova->campo("TextAZICOL")->text(), QString());
        QVERIFY(!elenco->isVisible());
    }
};

QTEST_MAIN(TestAspetto)
#include "tst_aspetto.moc"
