// createmplate <cartella>: writes the template database SQ47XXXX.MDB (every
// table of the year's database, empty, and the province table filled).
#include "store/errore.h"
#include "store/province.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    const QStringList argomenti = app.arguments();
    if (argomenti.size() != 2) {
        err << "Uso: createmplate <cartella>\n"
               "Scrive nella cartella il database modello "
            << store::nomeFileTemplate() << ".\n";
        return 2;
    }
    const QString cartella = QFileInfo(argomenti.at(1)).absoluteFilePath();
    const QString file = QDir(cartella).filePath(store::nomeFileTemplate());
    if (QFileInfo::exists(file)) {
        err << "Il file " << QDir::toNativeSeparators(file) << " esiste già: non viene sostituito.\n";
        return 1;
    }
    try {
        if (!QDir().mkpath(cartella)) {
            err << "Impossibile creare la cartella " << QDir::toNativeSeparators(cartella) << "\n";
            return 1;
        }
        store::creaTemplate(file);
    } catch (const store::ErroreArchivio& e) {
        err << QString(e.messaggio()).replace(QLatin1Char('\r'), QLatin1Char('\n')) << "\n";
        return 1;
    }
    out << "Creato " << QDir::toNativeSeparators(file) << " (" << store::provinceAnno().size()
        << " province).\n";
    return 0;
}
