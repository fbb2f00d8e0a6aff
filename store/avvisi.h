#pragma once
// Changes other workstations make to the registry while this one has it
// open, so that a window can bring itself up to date. On a server each write
// of the program announces itself to the other sessions with its own commit
// (LISTEN/NOTIFY, nothing in the stored schema); a file only tells that
// another connection committed something (SQLite's data_version).
#include <QString>

namespace store {

enum class Evento {
    Inserito,       // a new substitute's first save
    Memorizzato,    // a substitute's data saved
    Cancellato,     // a substitute and its section rows deleted
    CodiceCambiato, // a substitute given a new codice fiscale (nuovoCfs)
    Imprecisato     // something changed, what and where not known (a file)
};

struct Avviso {
    Evento evento = Evento::Imprecisato;
    QString codazi; // the substitute's key, as the operation was given it
    QString cfs;
    QString nuovoCfs; // CodiceCambiato: the code it has now

    friend bool operator==(const Avviso& a, const Avviso& b)
    {
        return a.evento == b.evento && a.codazi == b.codazi && a.cfs == b.cfs && a.nuovoCfs == b.nuovoCfs;
    }
};

// The channel the program's sessions on one database listen to.
inline const QString CANALEAVVISI = QStringLiteral("anagsost_registro");

// The notification's text for an announcement, and back (nothing for a text
// that is none of the program's).
QByteArray testoAvviso(const Avviso& avviso);
bool leggiAvviso(const QByteArray& testo, Avviso& avviso);

} // namespace store
