#pragma once
// A table as an Excel workbook (libxlsxwriter): one sheet named after the
// table, its heading row bold and frozen, columns as wide as their texts,
// every text a text cell (a code keeps its leading zeros), every day a date
// cell shown as GG/MM/AAAA.
#include "registry/tabella.h"

namespace registro {

// Writes the workbook to the file `percorso` (created or emptied), with the
// library's own temporary files in `cartellaTemporanei`. "" when written;
// otherwise why not, in the operator's words.
QString scriviXlsx(const Tabella& tabella, const QString& percorso, const QString& cartellaTemporanei);

} // namespace registro
