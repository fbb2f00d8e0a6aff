#pragma once
// The rows behind the program's lists: the registered substitutes in each
// of the selection list's three orders, the provinces and the declarants'
// front pages of the lookup list.
#include "store/database.h"

#include <functional>
#include <vector>

namespace registro {

enum class Ordine { CodiceAzienda, CodiceFiscale, Nominativo };

// A substitute as a list line names it: its stored company code and codice fiscale.
struct ChiaveSostituto {
    QString codazi;
    QString cfs;
};

// One substitute of the list: the stored key and names (Null read as "").
struct RigaElenco {
    QString codazi;
    QString cfs;
    QString cognome; // ASOST_1
    QString nome;    // ASOST_2
};

// Shown for a substitute that still lacks its name, where its name would be.
inline const QString DATIDAINTEGRARE = QStringLiteral("Anagrafica con dati da integrare");

// Does a list mark this substitute as lacking its name? Surname and first
// name joined and trimmed are empty, whether the fields hold empty texts or
// were never written (Null).
bool datiDaIntegrare(QStringView cognome, QStringView nome);

// The selection list's line of a substitute: the company code as stored, a
// blank, the codice fiscale trimmed, padded and cut to 16, a blank, the name
// (surname, a blank, first name, each trimmed; or the marker) padded and cut
// to 45.
QString lineaElenco(const RigaElenco& riga);
// The substitute a line names: the company code as stored (everything before
// the last 63 characters) and the codice fiscale after it, trimmed.
ChiaveSostituto chiaveDiLinea(const QString& linea);

// Hands each substitute to `riga` in the order asked for: by company code
// or codice fiscale as the rows come from the engine (the registry is never
// held whole); by name (ASOST_1, then ASOST_2) as an Italian reader orders
// names, accents with their letters and case left out (see confrontaNomi),
// the same on every engine, after the rows have been read.
void leggiElenco(store::Database& db, Ordine ordine, const std::function<void(const RigaElenco&)>& riga);
std::vector<RigaElenco> elenco(store::Database& db, Ordine ordine);

struct RigaProvincia {
    QString codice;      // codprov
    QString descrizione; // descprov
};
// Every province in the order of its code.
std::vector<RigaProvincia> elencoProvince(store::TableRecordset& province);

struct RigaFrontespizio {
    QString codazi;
    QString cfd;
    QString cognome;       // FR_1
    QString nome;          // FR_2
    QString denominazione; // FR_3
    QString fr14;          // filled for a natural-person declarant
    // A natural person by surname and first name, any other by its company name.
    QString nominativo() const;
};
// Every front page in the order of its key (company code, codice fiscale).
std::vector<RigaFrontespizio> elencoFrontespizi(store::TableRecordset& frontespizi);

} // namespace registro
