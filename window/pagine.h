#pragma once
// A table printed on pages: the table's title with the date, two lines
// saying what is printed, the columns' headings repeated on every page, the
// rows never split across pages, their long texts wrapped within their
// column, never cut; "Pagina n di N" at the foot of every page.
#include "registry/tabella.h"

#include <vector>

class QPrinter;

struct TestataPagine {
    QString data;
    QString archivio;  // as the status bar names it
    QString contenuto; // what the table holds
};

// `quote`, one per column: 0 for a column as wide as its widest text; the
// others share what those leave, each in its proportion. False when the
// printer (or the PDF file) cannot be written.
bool stampaTabella(QPrinter& stampante, const TestataPagine& testata, const registro::Tabella& tabella,
                   const std::vector<double>& quote);
