// What the operator sees and hears: frames and lists laid over other controls
// hide what lies under them, captions shown whole, Qt's own texts in Italian,
// message boxes as wide as their text, a name for every control a screen
// reader reaches, and the clicks on the list that close what lies over it.
#include "schedaprova.h"

#include "window/italiano.h"

#include <QAccessible>
#include <QMenu>
#include <QMessageBox>

using namespace scheda;

namespace {

// Texts of buttons or menu entries without their mnemonic marker (and a menu
// entry without its shortcut).
QStringList senzaMarcatori(QStringList testi)
{
    for (QString& t : testi)
        t = t.section('\t', 0, 0).remove('&');
    return testi;
}

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
        RICHIEDI_MOTORE_PROVA();
        QApplication::setCursorFlashTime(0); // a caret that does not blink between two pictures
    }
    void init()
    {
        archivio = nuovoArchivio();
        prova = std::make_unique<FinestraProva>();
        QVERIFY(prova->avvia());
    }
    void cleanup()
    {
        prova.reset();
        archivio.reset();
    }

    void frameCoprono_data()
    {
        QTest::addColumn<QString>("modo");
        QTest::addColumn<QString>("sopra"); // what lies over the rest
        QTest::newRow("insertion") << "inserimento" << "FrmInserimento";
        QTest::newRow("change of codice fiscale") << "cambio" << "FrameCambiaCf";
        for (int i = 0; i < 3; ++i)
            QTest::addRow("lookup list %d over the data sheet", i) << QString::number(i) << "Framecodif";
        QTest::newRow("lookup list over the insertion frame") << "3" << "Framecodif";
    }
    void frameCoprono()
    {
        QFETCH(QString, modo);
        QFETCH(QString, sopra);
        if (modo == "cambio") {
            prova->clickLista(prova->rigaDi(ROSSI.codazi, ROSSI.cfs));
            prova->click("CmdCambia");
        } else if (modo == "inserimento" || modo == "3") {
            prova->doppioClickLista(0);
            QTest::keyClicks(prova->campo("TEXTAZI"), "12");
        } else {
            QVERIFY(apri(*prova, ROSSI));
        }
        if (modo.size() == 1)
            prova->finestra.CMDAPRILIST_Click(modo.toInt()); // button 2 is never shown
        QVERIFY(controllo(sopra)->isVisible());
        QVERIFY(copre(sopra));
    }

    void didascalieIntere()
    {
        // In every mode, every label and every button's text shown in the space the window gives it.
        QStringList tagliati;
        const auto interi = [&](const char* modo) {
            for (const QLabel* l : prova->finestra.findChildren<QLabel*>()) {
                if (!l->isVisible() || l->text().isEmpty())
                    continue;
                const int serve = l->wordWrap() ? l->heightForWidth(l->width())
                                                : l->fontMetrics().horizontalAdvance(l->text());
                if (serve > (l->wordWrap() ? l->height() : l->contentsRect().width()))
                    tagliati << modo + (": " + l->objectName());
            }
            for (const QPushButton* b : prova->finestra.findChildren<QPushButton*>()) {
                const int serve = b->fontMetrics().horizontalAdvance(b->text().remove('&'));
                if (b->isVisible() && serve > b->contentsRect().width() - 8)
                    tagliati << modo + (": " + b->objectName());
            }
        };
        interi("selection");
        prova->doppioClickLista(0);
        prova->click("CMDAPRILIST(3)");
        interi("insertion, lookup list");
        prova->clickLista(prova->rigaDi(ROSSI.codazi, ROSSI.cfs));
        prova->click("CmdCambia");
        interi("change of codice fiscale");
        prova->click("CmdAnnullaCF");
        QVERIFY(apri(*prova, ROSSI));
        prova->click("CMDAPRILIST(0)");
        interi("data sheet, lookup list");
        QCOMPARE(tagliati.join(", "), QString());
    }

    void testiQtInItaliano()
    {
        // The program's own boxes keep their buttons, which Qt writes in Italian: a message with OK alone...
        QVERIFY(apri(*prova, ALFA));
        BoxReale visto;
        rispondiBoxReale(vbOK, &visto);
        prova->click("cmdparcprec");
        QCOMPARE(visto.testo, "Prima Anagrafica");
        QCOMPARE(visto.bottoni, QStringList{"OK"});
        // ...the save question...
        riscrivi(*prova, 9, "VIA ROMA 2");
        rispondiBoxReale(vbCancel, &visto);
        prova->click("cmdselprec");
        QCOMPARE(visto.testo, QString(DOMANDA).replace('\r', '\n'));
        visto.bottoni.sort();
        QCOMPARE(visto.bottoni, (QStringList{"Annulla", "No", "Sì"}));
        QCOMPARE(visto.predefinito, "Sì");
        // ...and the fields' context menu.
        TextBox* campo = prova->campo("Text1(9)");
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(4, 4), campo->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(campo, &menu);
        QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QStringList voci;
        for (const QAction* a : popup->actions())
            if (!a->isSeparator())
                voci << a->text();
        popup->close();
        QCOMPARE(senzaMarcatori(voci),
                 (QStringList{"Annulla", "Rifai", "Taglia", "Copia", "Incolla", "Elimina", "Seleziona tutto"}));
    }

    void senzaTraduzioni()
    {
        // Without Qt's translation file the program runs on, with Qt's texts in English.
        QTemporaryDir vuota;
        QVERIFY(!ITALIANOQT(vuota.path()));
        const auto ripristina = qScopeGuard([] { ITALIANOQT(); });
        prova->clickLista(prova->rigaDi(ROSSI.codazi, ROSSI.cfs));
        BoxReale visto;
        rispondiBoxReale(vbNo, &visto);
        prova->click("Cmdcancella");
        visto.bottoni.sort();
        QCOMPARE(visto.bottoni, (QStringList{"No", "Yes"}));
        QCOMPARE(archivio->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI"), 5);
    }

    void boxLargoQuantoIlTesto()
    {
        // A one-word box is as wide as the same box without the window's long caption for title.
        QVERIFY(apri(*prova, ALFA));
        BoxReale visto;
        rispondiBoxReale(vbOK, &visto);
        prova->click("cmdparcprec");
        QCOMPARE(visto.titolo, prova->finestra.windowTitle());
        QMessageBox stesso(QMessageBox::Information, QString(), visto.testo, QMessageBox::Ok);
        stesso.show();
        QCOMPARE(visto.dimensione, stesso.size());
    }

    void nomiAccessibili()
    {
        // Captions as names (buttons without their mnemonic marker); the objectNames stay the design's.
        const QList<std::pair<QString, QString>> attesi = {
            {"Text1(1)", "Cognome o Denominazione"}, {"Text1(4)", "Data di nascita"},
            {"Text1(6)", "Prov.(sigla)"}, {"Text1(10)", "Codice azienda collegata"},
            {"TEXTAZI", "Codice Azienda"}, {"TEXTCF", "Codice Fiscale"}, {"TextAZICOL", "Cod. Azienda collegata"},
            {"Text2", "Cod.fiscale nuovo"}, {"List1", "Azienda - Codice fiscale - Denominazione/Nominativo"},
            {"CmdCambia", "Cambia C.F."}, {"CmdInserimento(1)", "Annulla"}, {"cmdmemorizza", "Memorizza"},
            {"Option1(2)", "denominazione/nominativo"}, {"CMDAPRILIST(0)", "Tabella province, provincia di nascita"},
            {"CMDAPRILIST(3)", "Aziende, codice azienda collegata"}, {"TextTrova", "Trova"},
            {"CmdEsporta", "Esporta..."}, {"CmdStampa", "Stampa..."}};
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
        QStringList sovrapposti;
        for (const QString& nome : nuovi) {
            QWidget* nuovo = controllo(nome);
            QCOMPARE(nuovo->parentWidget(), selezione);
            QVERIFY2(selezione->rect().contains(nuovo->geometry()), qPrintable(nome));
            for (QObject* figlio : selezione->children()) {
                auto* altro = qobject_cast<QWidget*>(figlio);
                if (altro && altro != nuovo && altro->geometry().intersects(nuovo->geometry()))
                    sovrapposti << nome + "/" + altro->objectName();
            }
        }
        QCOMPARE(sovrapposti.join(", "), QString());
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
