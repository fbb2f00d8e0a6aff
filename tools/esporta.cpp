// esporta [--ordine codazi|cfs|nome] [--trova <testo>] <archivio> <file>
// esporta --server <conninfo> [--prefisso <prefisso>] [--ordine ...] [--trova ...] <file>
// Writes the registry of substitutes of the year's database (in the archive
// folder, or on the server) to a workbook or a CSV file, by the file's
// extension: the rows the window's list shows in that order and with that
// text searched, each with every field, as the window's "Esporta..." writes
// them. Exit status 0 when written, 2 with the reason on standard error when
// not.
#include "registry/esporta.h"
#include "lib/rigacomando.h"
#include "startup/mod770bas.h"
#include "store/errore.h"
#include "store/luogo.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace {

// Messages are written one line per line of the operator's box.
QString righe(QString testo)
{
    return testo.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    strumenti::RigaComando comando(
        QStringLiteral("Scrive le anagrafiche sostituti dell'archivio dell'anno %1 in una cartella di lavoro di Excel "
                       "(file .xlsx) o in un file CSV (file .csv), come \"Esporta...\" del programma: le righe "
                       "dell'elenco nell'ordine e con la ricerca scelti.")
            .arg(ANNO));
    comando.opzioniServer();
    const QCommandLineOption ordine(
        QStringLiteral("ordine"),
        QStringLiteral("L'ordine delle righe: codazi (codice azienda, se non indicato), cfs (codice fiscale) o nome "
                       "(denominazione/nominativo)."),
        QStringLiteral("ordine"), QStringLiteral("codazi"));
    const QCommandLineOption trova(
        QStringLiteral("trova"),
        QStringLiteral("Solo le anagrafiche che contengono <testo> nel codice azienda, nel codice fiscale o nel nome, "
                       "come la ricerca del programma (senza distinguere maiuscole e accenti)."),
        QStringLiteral("testo"));
    comando.parser().addOption(ordine);
    comando.parser().addOption(trova);
    comando.parser().addPositionalArgument(QStringLiteral("archivio"),
                                           QStringLiteral("La cartella degli archivi (senza --server)."),
                                           QStringLiteral("[archivio]"));
    comando.parser().addPositionalArgument(QStringLiteral("file"),
                                           QStringLiteral("Il file da scrivere, .xlsx o .csv; se esiste, viene "
                                                          "sostituito solo quando il nuovo è scritto per intero."));
    if (const int esito = comando.leggi(app, 2, 1); esito >= 0)
        return esito;

    const QHash<QString, registro::Ordine> ordini = {{QStringLiteral("codazi"), registro::Ordine::CodiceAzienda},
                                                     {QStringLiteral("cfs"), registro::Ordine::CodiceFiscale},
                                                     {QStringLiteral("nome"), registro::Ordine::Nominativo}};
    const QString sceltaOrdine = comando.parser().value(ordine);
    if (!ordini.contains(sceltaOrdine))
        return comando.rifiuta(QStringLiteral("ordine sconosciuto '%1': codazi, cfs o nome").arg(sceltaOrdine));
    const QString file = comando.posizionali().last();
    const std::optional<registro::Formato> formato = registro::formatoDelFile(file);
    if (!formato)
        return comando.rifiuta(QStringLiteral("il file deve finire con .xlsx o .csv"));

    const QString nomeAnno = QStringLiteral("S770") + ANNO + QStringLiteral(".MDB");
    const store::Luogo luogo =
        comando.suServer() ? store::Luogo::server(comando.server(), store::nomeSuServer(nomeAnno, comando.prefisso()))
                           : store::Luogo::file(QDir(comando.posizionali().first()).filePath(nomeAnno));
    QTextStream out(stdout), err(stderr);
    try {
        // Never made here: an archive that is not there is told.
        if (store::presenza(luogo) == store::Presenza::Assente) {
            err << "L'archivio " << QDir::toNativeSeparators(luogo.descrizione()) << " non esiste.\n";
            return 2;
        }
        const std::unique_ptr<store::Database> db = store::Database::OpenDatabase(luogo);
        const std::vector<registro::ChiaveSostituto> chiavi =
            registro::chiaviMostrate(*db, ordini.value(sceltaOrdine), comando.parser().value(trova));
        const registro::EsitoEsportazione esito = registro::esporta(*db, chiavi, file, *formato);
        if (esito.tipo == registro::EsitoEsportazione::Tipo::Rifiutato)
            throw *esito.errore;
        if (esito.tipo == registro::EsitoEsportazione::Tipo::NonScritto) {
            err << righe(esito.messaggio) << "\n";
            return 2;
        }
        out << righe(esito.messaggio) << "\n";
    } catch (const store::ErroreArchivio& e) {
        err << righe(e.messaggio()) << "\n";
        if (!e.dettaglio().isEmpty())
            err << "(" << e.dettaglio() << ")\n";
        return 2;
    }
    return 0;
}
