#pragma once
// Key forms used for every lookup of a company code or a codice fiscale.
#include <QString>

namespace store {

// Company code key: trimmed, "000" in front, last three characters (7 -> "007").
inline QString CHIAVEAZI(const QString& codice)
{
    return (QStringLiteral("000") + codice.trimmed()).right(3);
}

// Codice fiscale key: trimmed and padded with blanks to exactly 16 characters.
inline QString CHIAVECF(const QString& codice)
{
    return (codice.trimmed() + QString(16, QLatin1Char(' '))).left(16);
}

} // namespace store
