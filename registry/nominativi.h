#pragma once
// The order of names in the selection list: as an Italian reader orders
// them, the same whatever the engine that stores them.
#include <QStringView>

namespace registro {

// Compares two names letter by letter, each letter by its base letter and
// without regard to case (È as E, a as A), blanks around the name left out;
// every other character (blanks inside, apostrophes, digits) as it is.
// Negative, 0 or positive, as QString::compare.
int confrontaNomi(QStringView a, QStringView b);

} // namespace registro
