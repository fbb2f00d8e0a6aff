// creademo <cartella>: writes a demo archive (template and year's database
// with fictional data) and points the configuration at it, unless the
// configuration already names another archive.
// creademo --server <conninfo> [--prefisso <prefisso>] <cartella>: the two
// databases on a PostgreSQL server; the folder is the configuration's
// archive folder, and SERVERPOSTGRESQL (with PREFISSOPOSTGRESQL) names the
// server.
#include "lib/archiviodemo.h"
#include "lib/rigacomando.h"
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
    strumenti::RigaComando comando(
        QStringLiteral("Scrive nella cartella (o sul server PostgreSQL indicato con --server) un archivio "
                       "dimostrativo e vi punta la configurazione."));
    comando.opzioniServer();
    comando.parser().addPositionalArgument(QStringLiteral("cartella"), QStringLiteral("La cartella degli archivi."));
    if (const int esito = comando.leggi(app, 1); esito >= 0)
        return esito;
    QTextStream out(stdout), err(stderr);
    const bool suServer = comando.suServer();
    const QString cartella = QFileInfo(comando.posizionali().first()).absoluteFilePath();
    const store::Luogo luogo =
        suServer
            ? store::Luogo::server(comando.server(), store::nomeSuServer(strumenti::nomeFileAnno(), comando.prefisso()))
            : store::Luogo::file(QDir(cartella).filePath(strumenti::nomeFileAnno()));
    const QString anno = suServer ? luogo.descrizione() : QDir::toNativeSeparators(luogo.percorso());
    try {
        if (store::presenza(luogo) != store::Presenza::Assente) {
            err << (suServer ? "L'archivio " : "Il file ") << anno
                << " esiste già: non viene sostituito. Nessun dato e nessuna configurazione sono stati scritti.\n";
            return 1;
        }
        strumenti::creaArchivioDemo(cartella, comando.server(), comando.prefisso());
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
    if (strumenti::scriviConfigurazioneDemo(cartella, &nota, comando.server(), comando.prefisso())) {
        out << "Configurazione aggiornata: PERCORSOARCHIVI = " << QDir::toNativeSeparators(cartella) << "\n";
        if (suServer)
            out << "                           SERVERPOSTGRESQL = " << comando.server() << "\n";
    } else {
        out << "Nota: " << nota << "\n";
    }
    return 0;
}
