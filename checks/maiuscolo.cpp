#include "checks/maiuscolo.h"

#include <QLocale>
#include <QString>

int MAIUSCOLO(int keyAscii)
{
    if (keyAscii <= 0 || keyAscii > 0xFFFF)
        return keyAscii;
    const QChar carattere(static_cast<char16_t>(keyAscii));
    if (!carattere.isLetter())
        return keyAscii;
    const QString maiuscola = QLocale().toUpper(QString(carattere));
    // A letter whose capital is more than one character (ß) stays as typed:
    // one key enters one character.
    return maiuscola.size() == 1 ? maiuscola.at(0).unicode() : keyAscii;
}
