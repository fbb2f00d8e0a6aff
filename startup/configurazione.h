#pragma once
// The configuration: string values under the organisation "TARVESSA" and the
// application "VELMORIA".
//
// On Windows they are the registry values of the key
// HKEY_CURRENT_USER\Software\TARVESSA\VELMORIA, read through QSettings as the
// suite writes them.
//
// Elsewhere they are lines NAME=value of a text file (QSettings' place for it,
// ~/.config/TARVESSA/VELMORIA.conf), and a value is the text written after the
// first "=" and the blanks and tabs right after it, up to the end of its line,
// exactly: blanks at its end, commas, ";", "&" and quotes are part of it;
// blanks and tabs between the name and "=" are not. Names are matched
// without regard to case. Blank
// lines and lines starting with ";" or "#" are comments; a line "[General]"
// (as QSettings writes it) opens the program's values, any other "[...]" line
// a section that is not the program's. Values missing from that file are
// looked up in the files QSettings falls back to (the organisation's file,
// then the system's copies under /etc/xdg). Any other line, or a name given
// twice with different values, makes the whole configuration unusable: the
// program says so instead of taking the value as missing.
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

struct CONFIGURAZIONE {
    QMap<QString, QString> valori; // by upper-case name
    // Why the configuration cannot be used (file and line, in Italian);
    // empty when it can.
    QString difetto;
};

// Reads every value. A file that cannot be read counts as missing.
CONFIGURAZIONE LEGGICONFIGURAZIONE();

// The file the program's values are written to (on Windows the registry key).
QString FILECONFIGURAZIONE();

// Writes the values (a null QString removes one), each on its own line,
// keeping every other line of the file. false, with the reason in `errore`,
// when the file cannot be written or a value holds a line break or, in the
// file, starts with a blank or a tab (it would not read back as written).
bool SCRIVICONFIGURAZIONE(const QList<QPair<QString, QString>>& valori, QString* errore = nullptr);
