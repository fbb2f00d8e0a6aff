// What the operator sees and hears: Qt's own texts in Italian (and in English
// without them), message boxes as wide as their text, a name for every
// control a screen reader reaches.
#include "support/finestraprova.h"
#include "support/programma.h"

#include "window/italiano.h"

#include <QAccessible>
#include <QMessageBox>
#include <QScopeGuard>

namespace {

const Chiave ROSSI{"101", "RSSMRA75M15H501X"};

} // namespace

class TestAspetto : public QObject {
    Q_OBJECT

    std::unique_ptr<BancoProva> p;

private slots:
    void init()
    {
        p = std::make_unique<BancoProva>();
        p->sostituto(ROSSI);
        QVERIFY(p->avvia());
    }
    void cleanup() { p.reset(); }

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
#include "aspetto.moc"
