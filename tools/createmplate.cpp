// createmplate <cartella>: writes the template database SQ47XXXX.MDB (every
// table of the year's database, empty, and the province table filled).
// createmplate --server <conninfo> [--prefisso <prefisso>]: writes it as the
// database sq47xxxx (with the prefix in front) on a PostgreSQL server, marked
// as a template the users of the program may copy.
#include "lib/argomenti.h"
#include "store/errore.h"
#include "store/luogo.h"
#include "store/province.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    const strumenti::Argomenti a = strumenti::leggiArgomenti(app.arguments().mid(1));
    const bool suServer = !a.server.isEmpty();
    if (!a.errore.isEmpty() || a.posizionali.size() != (suServer ? 0 : 1)) {
        if (!a.errore.isEmpty())
            err << "createmplate: " << a.errore << "\n";
        err << "Uso: createmplate <cartella>\n"
               "     createmplate --server <connessione> [--prefisso <prefisso>]\n"
               "Scrive nella cartella il database modello "
            << store::nomeFileTemplate()
            << ", oppure lo crea sul server PostgreSQL descritto da <connessione>\n"
               "(per esempio \"host=server port=5432 user=utente\"; la password va nel file .pgpass).\n";
        return 2;
    }
    try {
        if (suServer) {
            const store::Luogo luogo =
                store::Luogo::server(a.server, store::nomeSuServer(store::nomeFileTemplate(), a.prefisso));
            if (store::presenza(luogo) != store::Presenza::Assente) {
                err << "L'archivio " << luogo.descrizione() << " esiste già: non viene sostituito.\n";
                return 1;
            }
            store::creaTemplate(luogo);
            out << "Creato l'archivio " << luogo.descrizione() << " (" << store::provinceAnno().size()
                << " province).\n";
            return 0;
        }
        const QString cartella = QFileInfo(a.posizionali.first()).absoluteFilePath();
        const QString file = QDir(cartella).filePath(store::nomeFileTemplate());
        if (QFileInfo::exists(file)) {
            err << "Il file " << QDir::toNativeSeparators(file) << " esiste già: non viene sostituito.\n";
            return 1;
        }
        if (!QDir().mkpath(cartella)) {
            err << "Impossibile creare la cartella " << QDir::toNativeSeparators(cartella) << "\n";
            return 1;
        }
        store::creaTemplate(file);
        out << "Creato " << QDir::toNativeSeparators(file) << " (" << store::provinceAnno().size()
            << " province).\n";
    } catch (const store::ErroreArchivio& e) {
        err << QString(e.messaggio()).replace(QLatin1Char('\r'), QLatin1Char('\n')) << "\n";
        if (!e.dettaglio().isEmpty())
            err << "(" << e.dettaglio() << ")\n";
        return 1;
    }
    return 0;
}
