#pragma once
// A table as a CSV file a spreadsheet in Italian opens as it is: UTF-8 with a
// byte-order mark, ";" between fields, CR LF after each row, a field quoted
// when it holds ";", quotes or a line break, days as GG/MM/AAAA.
#include "registry/tabella.h"

#include <QByteArray>

namespace registro {

// The whole file: the heading row, then one row per row of the table.
QByteArray csv(const Tabella& tabella);

} // namespace registro
