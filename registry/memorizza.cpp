#include "registry/memorizza.h"

#include "registry/inserimento.h"
#include "store/chiavi.h"

namespace registro {

namespace {

EsitoMemorizza::Tipo conflitto(const std::optional<Istantanea>& presente, const std::optional<Istantanea>& atteso)
{
    if (!presente)
        return EsitoMemorizza::Tipo::Cancellato;
    return atteso ? EsitoMemorizza::Tipo::Modificato : EsitoMemorizza::Tipo::Registrato;
}

} // namespace

EsitoMemorizza memorizza(const Archivio& a, const Sostituto& s, const std::optional<Istantanea>& atteso)
{
    try {
        // Only the registry is written, and locked against other writers
        // while the row is compared and written.
        store::Transazione transazione(a.db, {SOSTITUTI});
        store::TableRecordset& tabella = a.sostituti;
        tabella.Seek(QStringLiteral("="), store::CHIAVEAZI(s.codazi), store::CHIAVECF(s.cfs));
        std::optional<Istantanea> presente;
        if (!tabella.NoMatch())
            presente = leggiIstantanea(tabella);
        if (presente != atteso) {
            EsitoMemorizza esito;
            esito.tipo = conflitto(presente, atteso);
            esito.presente = presente;
            return esito;
        }
        if (!atteso) {
            if (const std::optional<EsitoInserimento> inUso = codiciInUso(a, s.codazi, s.cfs)) {
                EsitoMemorizza esito;
                esito.tipo = EsitoMemorizza::Tipo::InUso;
                esito.messaggio = inUso->messaggio;
                return esito;
            }
        }
        if (presente) {
            tabella.Edit();
        } else {
            tabella.AddNew();
            // The key in the form every lookup builds, so that the new row is
            // always found again (a code typed with a leading blank would
            // otherwise be stored where no lookup reaches it).
            tabella.SetField(QStringLiteral("CFS"), s.cfs.trimmed());
            tabella.SetField(QStringLiteral("CODAZI"), store::CHIAVEAZI(s.codazi));
        }
        scriviCampi(tabella, s);
        try {
            tabella.Update();
        } catch (...) {
            tabella.CancelUpdate();
            throw;
        }
        a.db.annuncia({atteso ? store::Evento::Memorizzato : store::Evento::Inserito,
                       store::CHIAVEAZI(s.codazi),
                       s.cfs.trimmed(),
                       {}});
        transazione.commit();
    } catch (const store::ErroreArchivio& errore) {
        return rifiutato<EsitoMemorizza>(errore);
    }
    return {};
}

} // namespace registro
