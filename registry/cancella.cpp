#include "registry/cancella.h"

namespace registro {

EsitoCancellazione cancella(const Archivio& a, const QString& codazi, const QString& cfs)
{
    EsitoCancellazione esito;
    try {
        // All or nothing: a failure half-way must not leave section rows of a
        // substitute whose registry row is gone, nor the reverse. The write
        // lock is taken before the row is sought, so nobody changes it meanwhile.
        store::Transazione transazione(a.db, QUADRI + QStringList{PERCETTORI, SOSTITUTI});
        store::TableRecordset& tabella = a.sostituti;
        tabella.Seek(QStringLiteral("="), codazi, cfs);
        if (tabella.NoMatch()) {
            esito.tipo = EsitoCancellazione::Tipo::NonTrovato;
            return esito;
        }
        // Values are bound, never pasted: a codice fiscale holding an
        // apostrophe deletes its own rows and nobody else's. The condition
        // matches the (CODAZI, CFS) index of every section table.
        // One statement per table, all sent together.
        const QString condizione = QStringLiteral(" WHERE CODAZI = ? AND CFS = ?");
        QList<store::Istruzione> istruzioni;
        for (const QString& quadro : QUADRI)
            istruzioni.append({QStringLiteral("DELETE FROM ") + quadro + condizione, {codazi, cfs}});
        istruzioni.append({QStringLiteral("DELETE FROM PERCETTORI WHERE CODAZI = ?"), {codazi}});
        const QList<int> righe = a.db.Execute(istruzioni);
        for (int i = 0; i < QUADRI.size(); ++i)
            esito.righe.append({QUADRI.at(i), righe.at(i)});
        esito.righe.append({PERCETTORI, righe.last()});
        tabella.Delete();
        esito.righe.append({SOSTITUTI, 1});
        a.db.annuncia({store::Evento::Cancellato, codazi.trimmed(), cfs.trimmed(), {}});
        transazione.commit();
    } catch (const store::ErroreArchivio& errore) {
        return rifiutato<EsitoCancellazione>(errore);
    }
    return esito;
}

} // namespace registro
