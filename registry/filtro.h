#pragma once
// Finding a substitute in the selection list as the operator types: a row
// is shown when its company code, its codice fiscale or its name contains
// the text, whatever the case and the accents.
#include "registry/elenchi.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace registro {

// A text as the search compares it: case folded, accents and other marks
// left out (È reads as e, ß as ss), a typographic apostrophe as ', control
// characters dropped. Blanks and apostrophes stay as they are.
QString testoRicerca(QStringView testo);

// The name the search reads in a row: surname and first name, each trimmed,
// one blank between; a company's name alone.
QString nominativoRicerca(const RigaElenco& riga);

// Does the row hold the text in its company code, its codice fiscale or its
// name? A text that folds to nothing is in every row.
bool contiene(const RigaElenco& riga, QStringView testo);

// The rows of the list kept, in the list's order, with the line each shows,
// for a search that has to keep up with typing over a hundred thousand
// rows: the three texts of every row are folded once, into one buffer, and
// a search is then a scan of that buffer. The lines are kept in one buffer
// too, each without its trailing blanks, and made whole when asked for: a
// list shows a few dozen at a time, and a string of its own for each of a
// hundred thousand rows would cost several times their text.
class ElencoFiltrato {
public:
    void riserva(qsizetype righe);
    void aggiungi(const RigaElenco& riga, const QString& voce);

    qsizetype righe() const { return qsizetype(m_lunghezze.size()); }
    // The line of row i, exactly as it was added.
    QString voce(qsizetype i) const;
    // The substitutes the lines at these positions name, in that order.
    std::vector<ChiaveSostituto> chiavi(const std::vector<qsizetype>& righe) const;

    // Positions of the rows holding the text (as contiene() says), in the
    // order they were added; every row for a text that folds to nothing.
    // A text holding the one searched last (typing on) is looked for only
    // among the rows found then.
    std::vector<qsizetype> trova(QStringView testo);

private:
    std::vector<qsizetype> scorri(const QByteArray& cercato) const;
    std::vector<qsizetype> scorriTra(const QByteArray& cercato, const std::vector<qsizetype>& righe) const;

    // The lines in UTF-8, trailing blanks left out; where each starts, and
    // its length as added (the blanks put back up to it).
    QByteArray m_voci;
    std::vector<qint32> m_iniziVoci;
    std::vector<qint32> m_lunghezze;
    // Per row: code, unit separator, codice fiscale, unit separator, name,
    // record separator; folded, in UTF-8. A folded text holds no control
    // character, so no match can span two texts.
    QByteArray m_testi;
    std::vector<qsizetype> m_inizi;   // where each row starts in m_testi
    QByteArray m_ultimo;              // the text searched last, folded; null before any
    std::vector<qsizetype> m_trovate; // the rows it found
};

} // namespace registro
