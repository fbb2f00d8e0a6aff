#pragma once
// What the registry's operations work on: the year's database and the three
// table record sets the program keeps open, each on its primary index
// "CHIAVE" whenever no operation runs.
#include "store/database.h"

#include <QList>
#include <memory>

namespace registro {

struct Archivio {
    store::Database& db;
    store::TableRecordset& frontespizi; // FRONTESPIZIO
    store::TableRecordset& sostituti;   // ANAGSOSTITUTI
    store::TableRecordset& province;    // TABMIN_PROV
};

// The three table record sets, opened on "CHIAVE".
struct Tabelle {
    std::unique_ptr<store::TableRecordset> frontespizi;
    std::unique_ptr<store::TableRecordset> sostituti;
    std::unique_ptr<store::TableRecordset> province;
};
// Opens them and makes sure that every table, field and index the
// operations use is there, so that a year's database lacking one is refused
// at once, naming it, rather than half-way through a deletion. Raises
// store::ErroreArchivio (OggettoMancante).
Tabelle apriTabelle(store::Database& db);

// Rows one table lost or changed in a multi-table operation.
struct RigheTabella {
    QString tabella;
    int righe = 0;
    friend bool operator==(const RigheTabella& a, const RigheTabella& b)
    {
        return a.tabella == b.tabella && a.righe == b.righe;
    }
};

// The outcome of an operation the store refused: nothing was written.
template <class Esito>
Esito rifiutato(const store::ErroreArchivio& errore)
{
    Esito esito;
    esito.tipo = Esito::Tipo::Rifiutato;
    esito.errore = errore;
    return esito;
}

// The section tables of a substitute, in the order the deletion and the
// change of codice fiscale go through them.
inline const QStringList QUADRI = {QStringLiteral("QUADROLDIP1"), QStringLiteral("QUADROLDIP2"),
                                   QStringLiteral("QUADROLDIP3"), QStringLiteral("QUADROLDIP4"),
                                   QStringLiteral("QUADROLAUT"),  QStringLiteral("QUADROST")};
inline const QString SOSTITUTI = QStringLiteral("ANAGSOSTITUTI");
inline const QString PERCETTORI = QStringLiteral("PERCETTORI");

// One question "does the table hold a row where ...": the condition on its
// key columns with "?" for the values, bound in order ("CFS = ?").
struct Ricerca {
    QString tabella;
    QString condizione;
    QVariantList valori;
};
// The answer to each question, all asked in one read (one round trip to a
// server), keys compared as a Seek compares them.
QList<bool> presenti(store::Database& db, const QList<Ricerca>& ricerche);

// Puts a table record set back on its primary index "CHIAVE" however the
// operation that switched it ends, so that every other operation can rely on it.
class IndicePrincipale {
public:
    explicit IndicePrincipale(store::TableRecordset& tabella) : m_tabella(tabella) {}
    ~IndicePrincipale();
    IndicePrincipale(const IndicePrincipale&) = delete;
    IndicePrincipale& operator=(const IndicePrincipale&) = delete;

private:
    store::TableRecordset& m_tabella;
};

} // namespace registro
