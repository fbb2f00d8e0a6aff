// createmplate <cartella>: writes the template database SQ47XXXX.MDB (every
// table of the year's database, empty, and the province table filled).
// createmplate --server <conninfo> [--prefisso <prefisso>]: writes it as the
// database sq47xxxx (with the prefix in front) on a PostgreSQL server, marked
// as a template the users of the program may copy.
#include "lib/rigacomando.h"
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
    strumenti::RigaComando comando(
        QStringLiteral("Scrive nella cartella il database modello %1, oppure lo crea sul server PostgreSQL indicato "
                       "con --server.")
            .arg(store::nomeFileTemplate()));
    comando.opzioniServer();
    comando.parser().addPositionalArgument(QStringLiteral("cartella"),
                                           QStringLiteral("La cartella degli archivi (senza --server)."),
                                           QStringLiteral("[cartella]"));
    if (const int esito = comando.leggi(app, 1, 0); esito >= 0)
        return esito;
    QTextStream out(stdout), err(stderr);
    try {
        if (comando.suServer()) {
            const store::Luogo luogo = store::Luogo::server(
                comando.server(), store::nomeSuServer(store::nomeFileTemplate(), comando.prefisso()));
            if (store::presenza(luogo) != store::Presenza::Assente) {
                err << "L'archivio " << luogo.descrizione() << " esiste già: non viene sostituito.\n";
                return 1;
            }
            store::creaTemplate(luogo);
            out << "Creato l'archivio " << luogo.descrizione() << " (" << store::provinceAnno().size()
                << " province).\n";
            return 0;
        }
        const QString cartella = QFileInfo(comando.posizionali().first()).absoluteFilePath();
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
        out << "Creato " << QDir::toNativeSeparators(file) << " (" << store::provinceAnno().size() << " province).\n";
    } catch (const store::ErroreArchivio& e) {
        err << QString(e.messaggio()).replace(QLatin1Char('\r'), QLatin1Char('\n')) << "\n";
        if (!e.dettaglio().isEmpty())
            err << "(" << e.dettaglio() << ")\n";
        return 1;
    }
    return 0;
}
