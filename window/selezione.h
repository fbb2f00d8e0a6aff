#pragma once
// Lines of the selection list (each substitute's line is the core's:
// registro::lineaElenco).
#include <QString>

// The fixed first line, which opens the insertion of a new substitute.
inline const QString PRIMARIGA = QStringLiteral("------------ INSERIMENTO NUOVA ANAGRAFICA SOSTITUTO ------------");
