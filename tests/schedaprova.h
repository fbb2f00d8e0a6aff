#pragma once
// Shared by the data-sheet tests: a small archive of substitutes whose key
// order differs from their name order, and the sheet's fields read and typed
// with real keys.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "window/aspetto.h"
#include "window/textbox.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QtTest>

namespace scheda {

inline const QString DOMANDA = QStringLiteral("Sono state effettuate delle variazioni\rSalvare ?");
inline const QString DATAERRATA = QStringLiteral("Data di nascita errata");
inline const QString OCCUPATO = QStringLiteral("Attenzione !!! L'archivio è in uso da un altro programma della "
                                               "procedura.\rL'operazione non è stata eseguita.\rRiprovare fra "
                                               "qualche istante.");
constexpr int STILEDOMANDA = 35; // Yes/No/Cancel with the question icon

struct Sostituto {
    const char* codazi;
    const char* cfs;
    QString codice() const { return QString::fromLatin1(codazi); }
    QString cf() const { return QString::fromLatin1(cfs); }
};

// Key order (CODAZI, CFS): ALFA, ROSSI, VERDI, BIANCHI, NERI.
// Name order of the list:   ALFA, BIANCHI, NERI, ROSSI, VERDI.
inline const Sostituto ALFA{"001", "12345678903"};       // a company: no first name, no birth data
inline const Sostituto ROSSI{"001", "RSSMRA75M15H501X"}; // every field filled
inline const Sostituto VERDI{"002", "VRDGPP70A01F205X"}; // date stored as an empty text
inline const Sostituto BIANCHI{"005", "BNCLRA80A41F205Y"}; // Null first name and address, date of eight zeros
inline const Sostituto NERI{"010", "NREPLA60C10L219K"};  // Null date, linked company code stored as "7"

// Front pages 001, 002 and 007 and the five substitutes above.
inline void popola(ArchivioProva& a)
{
    a.aggiungiFrontespizio(QStringLiteral("001"), QStringLiteral("01234567897"), {}, {}, QStringLiteral("ALFA SRL"));
    a.aggiungiFrontespizio(QStringLiteral("002"), QStringLiteral("02345678906"), {}, {}, QStringLiteral("BETA SRL"));
    a.aggiungiFrontespizio(QStringLiteral("007"), QStringLiteral("03456789014"), {}, {}, QStringLiteral("GAMMA SPA"));
    // Inserted out of key order on purpose.
    a.aggiungiSostituto(VERDI.codice(), VERDI.cf(),
                        {QStringLiteral("VERDI"), QStringLiteral("GIUSEPPE"), QStringLiteral("M"), QString(),
                         QStringLiteral("ROMA"), QStringLiteral("RM"), QStringLiteral("ROMA"), QStringLiteral("RM"),
                         QStringLiteral("VIA VERDI 9"), QStringLiteral("002")});
    a.aggiungiSostituto(ROSSI.codice(), ROSSI.cf(),
                        {QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("M"),
                         QStringLiteral("19750815"), QStringLiteral("ROMA"), QStringLiteral("RM"),
                         QStringLiteral("MILANO"), QStringLiteral("MI"), QStringLiteral("VIA ROMA 1"),
                         QStringLiteral("001")});
    a.aggiungiSostituto(NERI.codice(), NERI.cf(),
                        {QStringLiteral("NERI"), QStringLiteral("PAOLO"), QStringLiteral("M"), QVariant(),
                         QStringLiteral("TORINO"), QStringLiteral("TO"), QStringLiteral("TORINO"),
                         QStringLiteral("TO"), QStringLiteral("VIA PO 1"), QStringLiteral("7")});
    a.aggiungiSostituto(ALFA.codice(), ALFA.cf(),
                        {QStringLiteral("ALFA SRL"), QString(), QString(), QStringLiteral("00000000"), QString(),
                         QString(), QStringLiteral("TORINO"), QStringLiteral("TO"),
                         QStringLiteral("CORSO FRANCIA 2"), QStringLiteral("002")});
    a.aggiungiSostituto(BIANCHI.codice(), BIANCHI.cf(),
                        {QStringLiteral("BIANCHI"), QVariant(), QStringLiteral("F"), QStringLiteral("00000000"),
                         QStringLiteral("NAPOLI"), QStringLiteral("NA"), QVariant(), QVariant(), QVariant(),
                         QStringLiteral("007")});
}

inline TextBox* campo(FinestraProva& p, int n)
{
    return p.campo(QStringLiteral("Text1(%1)").arg(n));
}

inline QStringList testiScheda(FinestraProva& p)
{
    QStringList testi;
    for (int n = 1; n <= 10; ++n)
        testi << campo(p, n)->text();
    return testi;
}

// Indexes of the fields shown black on yellow; any other colour pair than the
// normal and highlighted ones is reported as -n.
inline QList<int> evidenziati(FinestraProva& p)
{
    QList<int> gialli;
    for (int n = 1; n <= 10; ++n) {
        const TextBox* c = campo(p, n);
        if (c->ForeColor() != NERO || (c->BackColor() != BIANCO && c->BackColor() != GIALLO))
            gialli << -n;
        else if (c->BackColor() == GIALLO)
            gialli << n;
    }
    return gialli;
}

inline bool inScheda(FinestraProva& p)
{
    return p.controllo<QGroupBox>(QStringLiteral("Frmmoduli(0)"))->isVisible()
        && p.controllo<QGroupBox>(QStringLiteral("Frmbottoni"))->isVisible()
        && !p.controllo<QGroupBox>(QStringLiteral("FrmSelezione"))->isVisible();
}

inline bool inSelezione(FinestraProva& p)
{
    return p.controllo<QGroupBox>(QStringLiteral("FrmSelezione"))->isVisible()
        && !p.controllo<QGroupBox>(QStringLiteral("Frmmoduli(0)"))->isVisible();
}

// The header as the operator reads it: name, codice fiscale, company code.
inline QStringList testata(FinestraProva& p)
{
    return {p.controllo<QLabel>(QStringLiteral("LabCOGNODEN"))->text(),
            p.controllo<QLabel>(QStringLiteral("LabCF"))->text(),
            p.controllo<QLabel>(QStringLiteral("LabAZI"))->text()};
}

// Double-clicks the substitute's line of the list; true when its sheet shows.
inline bool apri(FinestraProva& p, const Sostituto& s)
{
    const int riga = p.rigaDi(s.codice(), s.cf());
    if (riga < 1)
        return false;
    p.doppioClickLista(riga);
    return inScheda(p) && p.finestra.CODAZISOST.trimmed() == s.codice() && p.finestra.CFSSOST.trimmed() == s.cf();
}

inline bool mostra(FinestraProva& p, const Sostituto& s)
{
    return inScheda(p) && p.finestra.CODAZISOST.trimmed() == s.codice() && p.finestra.CFSSOST.trimmed() == s.cf()
        && testata(p).at(1) == QLatin1Char(' ') + s.cf();
}

// Types a text key by key; letters beyond ASCII (accented ones) arrive as the
// keyboard sends them, with their own key code and text.
inline void digita(QWidget* w, const QString& testo)
{
    for (const QChar c : testo) {
        if (c.unicode() < 128)
            QTest::keyClick(w, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    }
}

// Puts the focus into a field as the keyboard does.
inline void entra(FinestraProva& p, int n)
{
    campo(p, n)->setFocus(Qt::TabFocusReason);
}

// Replaces a field's text with real keys: selects it all and deletes it (the
// date field clears itself on backspace), then types the new text.
inline void riscrivi(FinestraProva& p, int n, const QString& testo)
{
    TextBox* c = campo(p, n);
    entra(p, n);
    if (n == 4) {
        QTest::keyClick(c, Qt::Key_Backspace);
        QTest::keyClick(c, Qt::Key_Home);
    } else {
        QTest::keyClick(c, Qt::Key_End);
        QTest::keyClick(c, Qt::Key_Home, Qt::ShiftModifier);
        QTest::keyClick(c, Qt::Key_Backspace);
    }
    digita(c, testo);
}

// One row of ANAGSOSTITUTI as stored, Null as a null QVariant.
inline QVariantMap riga(ArchivioProva& a, const Sostituto& s)
{
    const QList<QVariantMap> r =
        a.righe(QStringLiteral("SELECT * FROM ANAGSOSTITUTI WHERE CODAZI = ? AND CFS = ?"), {s.codice(), s.cf()});
    return r.size() == 1 ? r.first() : QVariantMap();
}

inline QStringList testiMostratiConStile()
{
    QStringList testi;
    for (const auto& box : MessageBox::shown())
        testi << QStringLiteral("%1 [%2]").arg(box.testo).arg(box.stile);
    return testi;
}

} // namespace scheda
