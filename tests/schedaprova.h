#pragma once
// Shared by the window tests: a year's archive to start from; for the data-sheet
// tests, five substitutes whose key order differs from their name order, and the
// sheet's fields read and typed with real keys.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "window/aspetto.h"
#include "window/textbox.h"

#include <QLabel>
#include <QMenu>

namespace scheda {

inline const QString DOMANDA = "Sono state effettuate delle variazioni\rSalvare ?";

// A year's database with front page 001 (ALFA SRL), configured for the window; boxes forgotten.
inline std::unique_ptr<ArchivioProva> annoProva()
{
    azzeraMessaggi();
    auto a = std::make_unique<ArchivioProva>();
    a->creaAnno();
    a->aggiungiFrontespizio("001", "01234567897", {}, {}, "ALFA SRL");
    configura(a->cartella());
    return a;
}

// A box as "style:text".
inline QString box(int stile, const QString& testo) { return QString::number(stile) + ':' + testo; }
// The boxes shown, as "style:text" ("style?text" under another title than the
// window's); the store's words before a text's `coda`, which vary, as "...".
inline QStringList boxMostrati(FinestraProva& p, const QString& coda = QString())
{
    QStringList r;
    for (const auto& b : MessageBox::shown()) {
        const bool prima = !coda.isEmpty() && b.testo.endsWith(coda) && b.testo.size() > coda.size();
        r << QString::number(b.stile) + (b.titolo == p.finestra.windowTitle() ? ":" : "?")
                + (prima ? "..." + coda : b.testo);
    }
    return r;
}

struct Sostituto { QString codazi, cfs; };
// Key order: ALFA, ROSSI, VERDI, BIANCHI, NERI; name order: ALFA, BIANCHI, NERI, ROSSI, VERDI.
inline const Sostituto ALFA{"001", "12345678903"}, ROSSI{"001", "RSSMRA75M15H501X"}, VERDI{"002", "VRDGPP70A01F205X"},
    BIANCHI{"005", "BNCLRA80A41F205Y"}, NERI{"010", "NREPLA60C10L219K"};

// A year's database with front pages 001 and 007 and the five substitutes
// inserted out of key order.
inline std::unique_ptr<ArchivioProva> nuovoArchivio()
{
    auto a = annoProva();
    a->aggiungiFrontespizio("007", "03456789014", {}, {}, "GAMMA SPA");
    const QVariant n; // Null
    const QList<std::pair<Sostituto, QVariantList>> righe{
        {VERDI, {"VERDI", "GIUSEPPE", "M", "", "ROMA", "RM", "ROMA", "RM", "VIA VERDI 9", "001"}},
        {ROSSI, {"ROSSI", "MARIO", "M", "19750815", "ROMA", "RM", "MILANO", "MI", "VIA ROMA 1", "001"}},
        {NERI, {"NERI", "PAOLO", "M", n, "TORINO", "TO", "TORINO", "TO", "VIA PO 1", "7"}},
        {ALFA, {"ALFA SRL", "", "", "00000000", "", "", "TORINO", "TO", "CORSO FRANCIA 2", "001"}},
        {BIANCHI, {"BIANCHI", n, "F", "00000000", "NAPOLI", "NA", n, n, n, "007"}}};
    for (const auto& [s, valori] : righe)
        a->aggiungiSostituto(s.codazi, s.cfs, valori);
    return a;
}

inline TextBox* campo(FinestraProva& p, int n) { return p.campo(QString("Text1(%1)").arg(n)); }

// The ten fields' texts joined by '|', a field highlighted (yellow) marked "*".
inline QString testiScheda(FinestraProva& p)
{
    QStringList testi;
    for (int n = 1; n <= 10; ++n)
        testi << (campo(p, n)->BackColor() == GIALLO ? "*" : "") + campo(p, n)->text();
    return testi.join('|');
}

// The sheet of s is shown.
inline bool mostra(FinestraProva& p, const Sostituto& s)
{
    return p.controllo<QWidget>("Frmmoduli(0)")->isVisible() && !p.controllo<QWidget>("FrmSelezione")->isVisible()
        && p.finestra.STATO.CODAZISOST.trimmed() == s.codazi && p.finestra.STATO.CFSSOST.trimmed() == s.cfs;
}

// Starts the window if need be and double-clicks the substitute's line of
// the list; true when its sheet shows.
inline bool apri(FinestraProva& p, const Sostituto& s)
{
    if (p.modulo.DBANNO || p.avvia())
        p.doppioClickLista(p.rigaDi(s.codazi, s.cfs));
    return mostra(p, s);
}

// Types a text key by key; letters beyond ASCII come with their own key code
// and text, as the keyboard sends them.
inline void digita(QWidget* w, const QString& testo)
{
    for (const QChar c : testo)
        QTest::sendKeyEvent(QTest::Click, w,
                            c.unicode() < 128 ? QTest::asciiToKey(char(c.unicode())) : Qt::Key(c.toUpper().unicode()),
                            QString(c), Qt::NoModifier);
}

// Puts the focus into a field as the keyboard does.
inline void entra(FinestraProva& p, int n) { campo(p, n)->setFocus(Qt::TabFocusReason); }

// Replaces a field's text with real keys: the date field clears itself on
// backspace, the others (the caret at the end on entering) are selected and deleted.
inline void riscrivi(FinestraProva& p, int n, const QString& testo)
{
    entra(p, n);
    if (n != 4)
        QTest::keyClick(campo(p, n), Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClick(campo(p, n), Qt::Key_Backspace);
    digita(campo(p, n), testo);
}

// The substitute's stored ASOST_1 .. ASOST_10 joined by '|'.
inline QString registrato(ArchivioProva& a, const Sostituto& s)
{
    const QVariantMap riga =
        a.righe("SELECT * FROM ANAGSOSTITUTI WHERE CODAZI = ? AND CFS = ?", {s.codazi, s.cfs}).value(0);
    QStringList valori;
    for (int n = 1; n <= 10; ++n)
        valori << riga.value(QString("ASOST_%1").arg(n)).toString();
    return valori.join('|');
}

// A field's context menu, opened as a right click opens it; its entries' texts
// without mnemonic marker and shortcut.
inline QMenu* menuDi(QWidget* campo)
{
    QContextMenuEvent evento(QContextMenuEvent::Mouse, QPoint(4, 4), campo->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(campo, &evento);
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}
inline QString testoVoce(const QAction* a) { return a->text().section('\t', 0, 0).remove('&'); }

} // namespace scheda
