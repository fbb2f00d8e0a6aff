#pragma once
// Keystroke routines of the typed fields. They work on a plain description of
// the field (text, maximum length, caret) so that they need no widget.
#include <QList>
#include <QString>

struct CAMPOTESTO {
    QString testo;
    int maxLength = 32767;
    int caret = 0;     // 0-based insertion point; beyond the end means the end
    bool beep = false; // set by DIGITADATA when it refuses a key audibly
};

// Key filter against a string of allowed characters; returns the resulting key
// code (0 = swallowed) and leaves it in keyAscii too.
int FILTRACARATTERI(int& keyAscii, const QString& consentiti, bool maiuscolo);

// Right-aligned, calculator-style entry of a number. Returns the key to hand on
// to the field (0 to swallow it); may rewrite the field's text and caret.
int DIGITANUMERO(CAMPOTESTO& campo, int keyAscii, int segno, int virgola, int interi, int decimali);

// Overtype entry into the date mask "00/00/0000". Returns the field's new text;
// the caret is left in campo.caret; the key itself is always swallowed.
QString DIGITADATA(CAMPOTESTO& campo, int keyAscii);

// A text pasted whole into the date mask: when it reads as a date GG/MM/AAAA,
// GG-MM-AAAA or GGMMAAAA (blanks around it aside) whose every digit the mask
// takes when typed from its start, the key codes that type it there: a
// backspace (which empties the mask) and the eight digits. Otherwise none: the
// paste is refused whole.
QList<int> TASTIDATAINCOLLATA(const QString& testo);

// A date of birth typed as GG/MM/AAAA that is a real calendar day with a
// four-digit year (not "0000").
bool DATAVALIDA(const QString& testo);
