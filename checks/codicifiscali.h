#pragma once
// Formal checks of a codice fiscale (check character) and of a partita IVA
// (check digit). Results: 0 formally correct, 1 not correct.
#include <QString>

int CONTROLLOCF(const QString& codice);
int CONTROLLOPIVA(const QString& codice);
QString NUMEROTESTO(double x);

// The platform's "reads as a number as a whole" test: surrounding blanks, a
// sign and the locale's decimal and group separators are accepted; digits only
// read as a number, any letter does not.
bool ISNUMERIC(const QString& testo);
