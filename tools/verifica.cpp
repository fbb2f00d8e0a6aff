// verifica <cartella>: checks the year's database of an archive folder before
// the return is filed; verifica --server <conninfo> <database>: the same for
// the year's database on a PostgreSQL server. One finding a line, its fields
// separated by tabs: company code, codice fiscale (trimmed), the kind's code,
// the message; sorted by company code, codice fiscale and kind. Exit status 0
// when nothing is found, 1 when something is, 2 when the archive cannot be
// read (the reason on standard error) or the command line is wrong.
#include "registry/verifica.h"
#include "lib/archiviodemo.h"
#include "lib/rigacomando.h"
#include "registry/regolesostituto.h"
#include "store/database.h"
#include "store/errore.h"
#include "store/luogo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

constexpr int NESSUNA = 0, TROVATE = 1, ILLEGGIBILE = 2;

// A field of the line: a stored text holding a tab or a line break must not
// split it.
QString campo(QString testo)
{
    for (QChar& c : testo) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    return testo;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    strumenti::RigaComando comando(QStringLiteral(
        "Verifica l'archivio dell'anno prima dell'invio della dichiarazione: una riga per ogni segnalazione,\n"
        "con i campi separati da tabulazioni: codice azienda, codice fiscale, tipo, descrizione; in ordine di\n"
        "codice azienda, codice fiscale e tipo. Tipi: CF_ERRATO, PIVA_ERRATA, DATI_MANCANTI, NASCITA_DIVERSA,\n"
        "PROVINCIA_SCONOSCIUTA, AZIENDA_SENZA_FRONTESPIZIO, CODICE_DOPPIO, RIGHE_ORFANE.\n"
        "Esito: 0 nessuna segnalazione, 1 almeno una, 2 archivio illeggibile (il motivo sullo standard error)."));
    comando.opzioniServer(false);
    comando.parser().addPositionalArgument(
        QStringLiteral("archivio"),
        QStringLiteral("La cartella degli archivi, che contiene %1; con --server il nome del database "
                       "dell'anno sul server (per esempio %2).")
            .arg(strumenti::nomeFileAnno(), store::nomeSuServer(strumenti::nomeFileAnno())));
    if (const int esito = comando.leggi(app, 1); esito >= 0)
        return esito;

    QTextStream out(stdout), err(stderr);
    const QString archivio = comando.posizionali().first();
    const store::Luogo luogo =
        comando.suServer()
            ? store::Luogo::server(comando.server(), archivio)
            : store::Luogo::file(QDir(QFileInfo(archivio).absoluteFilePath()).filePath(strumenti::nomeFileAnno()));
    const QString nome = luogo.suServer() ? luogo.descrizione() : QDir::toNativeSeparators(luogo.percorso());
    std::vector<registro::Segnalazione> segnalazioni;
    try {
        // Opening a file that is not there would create it.
        if (store::presenza(luogo) == store::Presenza::Assente) {
            err << "L'archivio " << nome << " non esiste.\n";
            return ILLEGGIBILE;
        }
        const auto db = store::Database::OpenDatabase(luogo);
        segnalazioni = registro::verificaArchivio(*db);
    } catch (const store::ErroreArchivio& e) {
        err << "L'archivio " << nome << " non si può leggere:\n"
            << QString(e.messaggio()).replace(QLatin1Char('\r'), QLatin1Char('\n')) << "\n";
        if (!e.dettaglio().isEmpty())
            err << "(" << e.dettaglio() << ")\n";
        return ILLEGGIBILE;
    }
    for (const registro::Segnalazione& s : segnalazioni) {
        out << campo(registro::verifica::senzaCoda(s.codazi)) << '\t' << campo(s.cfs.trimmed()) << '\t'
            << registro::codiceSegnalazione(s.tipo) << '\t' << campo(s.messaggio) << '\n';
    }
    return segnalazioni.empty() ? NESSUNA : TROVATE;
}
