#pragma once
// Shared by the data-sheet tests: five substitutes whose key order differs
// from their name order, and the sheet's fields read and typed with real keys.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "window/aspetto.h"
#include "window/textbox.h"

#include <QGroupBox>
#include <QLabel>
#include <QtTest>

namespace scheda {

inline const QString DOMANDA = "Sono state effettuate delle variazioni\rSalvare ?";
inline const QString OCCUPATO = "Attenzione !!! L'archivio è in uso da un altro programma della procedura.\r"
                                "L'operazione non è stata eseguita.\rRiprovare fra qualche istante.";

struct Sostituto { QString codazi, cfs; };
// Key order: ALFA, ROSSI, VERDI, BIANCHI, NERI; name order: ALFA, BIANCHI, NERI, ROSSI, VERDI.
inline const Sostituto ALFA{"001", "12345678903"}, ROSSI{"001", "RSSMRA75M15H501X"}, VERDI{"002", "VRDGPP70A01F205X"},
    BIANCHI{"005", "BNCLRA80A41F205Y"}, NERI{"010", "NREPLA60C10L219K"};

// Front pages 001, 002, 007; the five substitutes inserted out of key order.
inline void popola(ArchivioProva& a)
{
    a.aggiungiFrontespizio("001", "01234567897", {}, {}, "ALFA SRL");
    a.aggiungiFrontespizio("002", "02345678906", {}, {}, "BETA SRL");
    a.aggiungiFrontespizio("007", "03456789014", {}, {}, "GAMMA SPA");
    const QString e;   // an empty text
    const QVariant n;  // Null
    a.aggiungiSostituto(VERDI.codazi, VERDI.cfs,
                        {"VERDI", "GIUSEPPE", "M", e, "ROMA", "RM", "ROMA", "RM", "VIA VERDI 9", "002"});
    a.aggiungiSostituto(ROSSI.codazi, ROSSI.cfs,
                        {"ROSSI", "MARIO", "M", "19750815", "ROMA", "RM", "MILANO", "MI", "VIA ROMA 1", "001"});
    a.aggiungiSostituto(NERI.codazi, NERI.cfs,
                        {"NERI", "PAOLO", "M", n, "TORINO", "TO", "TORINO", "TO", "VIA PO 1", "7"});
    a.aggiungiSostituto(ALFA.codazi, ALFA.cfs,
                        {"ALFA SRL", e, e, "00000000", e, e, "TORINO", "TO", "CORSO FRANCIA 2", "002"});
    a.aggiungiSostituto(BIANCHI.codazi, BIANCHI.cfs, {"BIANCHI", n, "F", "00000000", "NAPOLI", "NA", n, n, n, "007"});
}

inline TextBox* campo(FinestraProva& p, int n) { return p.campo(QString("Text1(%1)").arg(n)); }

// The ten fields' texts, joined by '|'.
inline QString testiScheda(FinestraProva& p)
{
    QStringList testi;
    for (int n = 1; n <= 10; ++n)
        testi << campo(p, n)->text();
    return testi.join('|');
}

// Fields shown black on yellow; a colour pair neither normal nor highlighted shows as -n.
inline QList<int> evidenziati(FinestraProva& p)
{
    QList<int> gialli;
    for (int n = 1; n <= 10; ++n)
        if (campo(p, n)->ForeColor() != NERO || campo(p, n)->BackColor() != BIANCO)
            gialli << (campo(p, n)->ForeColor() == NERO && campo(p, n)->BackColor() == GIALLO ? n : -n);
    return gialli;
}

// The sheet of s is shown: frames, form variables and header.
inline bool mostra(FinestraProva& p, const Sostituto& s)
{
    return p.controllo<QGroupBox>("Frmmoduli(0)")->isVisible() && !p.controllo<QGroupBox>("FrmSelezione")->isVisible()
        && p.finestra.CODAZISOST.trimmed() == s.codazi && p.finestra.CFSSOST.trimmed() == s.cfs
        && p.controllo<QLabel>("LabCF")->text() == " " + s.cfs;
}

// Starts the window if need be and double-clicks the substitute's line of
// the list; true when its sheet shows.
inline bool apri(FinestraProva& p, const Sostituto& s)
{
    if (!p.modulo.DBANNO && !p.avvia())
        return false;
    if (const int riga = p.rigaDi(s.codazi, s.cfs); riga > 0)
        p.doppioClickLista(riga);
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

// One row of ANAGSOSTITUTI as stored, Null as a null QVariant.
inline QVariantMap riga(ArchivioProva& a, const Sostituto& s)
{
    return a.righe("SELECT * FROM ANAGSOSTITUTI WHERE CODAZI = ? AND CFS = ?", {s.codazi, s.cfs}).value(0);
}

} // namespace scheda
