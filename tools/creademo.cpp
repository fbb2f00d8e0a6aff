// creademo <cartella>: writes a demo archive (template and year's database
// with fictional data) and points the configuration at it, unless the
// configuration already names another archive.
// creademo --server <conninfo> [--prefisso <prefisso>] <cartella>: the two
// databases on a PostgreSQL server; the folder is the configuration's
// archive folder, and SERVERPOSTGRESQL (with PREFISSOPOSTGRESQL) names the
// server.
#include "lib/archiviodemo.h"
#include "lib/argomenti.h"
#include "store/errore.h"
#include "store/luogo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <exception>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    const strumenti::Argomenti a = strumenti::leggiArgomenti(app.arguments().mid(1));
    if (!a.errore.isEmpty() || a.posizionali.size() != 1) {
        if (!a.errore.isEmpty())
            err << "creademo: " << a.errore << "\n";
        err << "Uso: creademo <cartella>\n"
               "     creademo --server <connessione> [--prefisso <prefisso>] <cartella>\n"
               "Scrive nella cartella (o sul server PostgreSQL descritto da <connessione>) un archivio\n"
               "dimostrativo e vi punta la configurazione.\n";
        return 2;
    }
    const bool suServer = !a.server.isEmpty();
    const QString cartella = QFileInfo(a.posizionali.first()).absoluteFilePath();
    const store::Luogo luogo =
        suServer ? store::Luogo::server(a.server, store::nomeSuServer(strumenti::nomeFileAnno(), a.prefisso))
                 : store::Luogo::file(QDir(cartella).filePath(strumenti::nomeFileAnno()));
    const QString anno = suServer ? luogo.descrizione() : QDir::toNativeSeparators(luogo.percorso());
    try {
        if (store::presenza(luogo) != store::Presenza::Assente) {
            err << (suServer ? "L'archivio " : "Il file ") << anno
                << " esiste già: non viene sostituito. Nessun dato e nessuna configurazione sono stati scritti.\n";
            return 1;
        }
        strumenti::creaArchivioDemo(cartella, a.server, a.prefisso);
    } catch (const store::ErroreArchivio& e) {
        err << QString(e.messaggio()).replace(QLatin1Char('\r'), QLatin1Char('\n')) << "\n";
        if (!e.dettaglio().isEmpty())
            err << "(" << e.dettaglio() << ")\n";
        return 1;
    } catch (const std::exception& e) {
        err << "Archivio dimostrativo non creato: " << e.what() << "\n";
        return 1;
    }
    out << "Archivio dimostrativo creato: " << anno << "\n";
    QString nota;
    if (strumenti::scriviConfigurazioneDemo(cartella, &nota, a.server, a.prefisso)) {
        out << "Configurazione aggiornata: PERCORSOARCHIVI = " << QDir::toNativeSeparators(cartella) << "\n";
        if (suServer)
            out << "                           SERVERPOSTGRESQL = " << a.server << "\n";
    } else {
        out << "Nota: " << nota << "\n";
    }
    return 0;
}
