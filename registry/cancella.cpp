#include "registry/cancella.h"

namespace registro {

EsitoCancellazione cancella(const Archivio& a, const QString& codazi, const QString& cfs)
{
    EsitoCancellazione esito;
    try {
        // All or nothing: a failure half-way must not leave section rows of a
        // substitute whose registry row is gone, nor the reverse. The write
        // lock is taken before the row is sought, so nobody changes it meanwhile.
        store::Transazione transazione(a.db);
        store::TableRecordset& tabella = a.sostituti;
        tabella.Seek(QStringLiteral("="), codazi, cfs);
        if (tabella.NoMatch()) {
            esito.tipo = EsitoCancellazione::Tipo::NonTrovato;
            return esito;
        }
        // Values are bound, never pasted: a codice fiscale holding an
        // apostrophe deletes its own rows and nobody else's. The condition
        // matches the (CODAZI, CFS) index of every section table.
        const QString condizione = QStringLiteral(" WHERE CODAZI = ? AND CFS = ?");
        for (const QString& quadro : QUADRI)
            esito.righe.append({quadro, a.db.Execute(QStringLiteral("DELETE FROM ") + quadro + condizione,
                                                     {codazi, cfs})});
        esito.righe.append({QStringLiteral("PERCETTORI"),
                            a.db.Execute(QStringLiteral("DELETE FROM PERCETTORI WHERE CODAZI = ?"), {codazi})});
        tabella.Delete();
        esito.righe.append({QStringLiteral("ANAGSOSTITUTI"), 1});
        transazione.commit();
    } catch (const store::ErroreArchivio& errore) {
        return rifiutato<EsitoCancellazione>(errore);
    }
    return esito;
}

} // namespace registro
