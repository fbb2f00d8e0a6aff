#pragma once
// A table the program writes out: a heading and rows of cells, each a text or
// a day. The same table goes to a CSV file or a workbook (registry/scrittura.h)
// and onto printed pages (window/pagine.h).
#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

namespace registro {

// One cell: a text, or a day that a spreadsheet keeps as a date.
class Cella {
public:
    Cella() = default; // an empty text
    static Cella diTesto(QString testo);
    static Cella diGiorno(const QDate& giorno);

    bool giornoValido() const { return m_giorno.isValid(); }
    QDate giorno() const { return m_giorno; }
    // The text, or the day as GG/MM/AAAA.
    QString testo() const;

private:
    QString m_testo;
    QDate m_giorno;
};

using RigaTabella = std::vector<Cella>;

struct Tabella {
    QString titolo;           // the workbook's sheet, the printed pages' title
    QStringList intestazione; // one heading per column
    std::vector<RigaTabella> righe;
};

} // namespace registro
