#pragma once
// Command line of the tools: "--server <conninfo>", "--prefisso <prefisso>"
// (also written "--server=<conninfo>"), and the positional arguments.
#include <QString>
#include <QStringList>

namespace strumenti {

struct Argomenti {
    QString server;
    QString prefisso;
    QStringList posizionali;
    QString errore; // why the command line cannot be used; empty when it can
};

// `argomenti` without the program's name.
Argomenti leggiArgomenti(const QStringList& argomenti);

} // namespace strumenti
