#pragma once
// What the printed list of substitutes says: one row per substitute of the
// list as shown, in five columns, and the pages those rows fill. The pages
// themselves are painted by the window (window/pagine.h).
#include "registry/mostrati.h"
#include "registry/tabella.h"

#include <QStringList>
#include <vector>

namespace registro {

// The printed columns: company code, codice fiscale, name, birth, domicile.
struct RigaStampa {
    QString codazi;
    QString cfs;
    QString nominativo; // surname and first name, or the company's name, whole
    QString nascita;    // date and place of birth, its province in brackets
    QString domicilio;  // street, town and province of residence or fiscal domicile
    QStringList colonne() const { return {codazi, cfs, nominativo, nascita, domicilio}; }
};

// The columns' headings, in the same order.
QStringList intestazioneStampa();
RigaStampa rigaStampa(const Sostituto& sostituto);

// The printed rows of the substitutes named by `chiavi`, in that order; a
// substitute removed meanwhile is left out. Raises store::ErroreArchivio.
std::vector<RigaStampa> righeStampa(store::Database& db, const std::vector<ChiaveSostituto>& chiavi);

// The printed table: titled "Anagrafiche sostituti", the columns' headings,
// the rows' texts.
Tabella tabellaStampa(const std::vector<RigaStampa>& righe);

// Rows laid on pages in their order, never split: the first row of each page.
// A row taller than a page has a page of its own.
std::vector<std::size_t> impagina(const std::vector<double>& altezze, double altezzaPagina);

} // namespace registro
