#pragma once
// The export of the list as shown to a CSV file a spreadsheet in Italian
// opens as it is: one row per substitute with every field of the registry,
// a heading row, ";" between fields, UTF-8 with a byte-order mark, dates as
// GG/MM/AAAA, a field quoted when it holds ";", quotes or a line break.
#include "registry/mostrati.h"

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace registro {

// The heading row's texts, one per field.
QStringList intestazioneCsv();
// A substitute's fields in the heading's order: texts trimmed, Null as an
// empty field, the date as testoData() gives it.
QStringList campiCsv(const Sostituto& sostituto);
// One row of the file, ended by CR LF.
QByteArray rigaCsv(const QStringList& campi);

struct EsitoEsportazione {
    enum class Tipo { Scritto, NonScritto, Rifiutato };
    Tipo tipo = Tipo::Scritto;
    qsizetype scritti = 0; // substitutes written
    qsizetype mancanti = 0; // named by the list but no longer in the archive
    QString messaggio; // Scritto and NonScritto: what the operator reads
    std::optional<store::ErroreArchivio> errore; // Rifiutato: the archive could not be read
};

// Writes the substitutes named by `chiavi`, in that order, to the file. The
// file is written whole under another name and then takes the place of the
// one chosen: when anything fails, no file is left half-written and an
// existing file keeps what it held.
EsitoEsportazione esporta(store::Database& db, const std::vector<ChiaveSostituto>& chiavi, const QString& percorso);

} // namespace registro
