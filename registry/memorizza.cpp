#include "registry/memorizza.h"

#include "registry/carica.h"
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
    EsitoMemorizza esito;
    try {
        store::Transazione transazione(a.db);
        store::TableRecordset& tabella = a.sostituti;
        tabella.Seek(QStringLiteral("="), store::CHIAVEAZI(s.codazi), store::CHIAVECF(s.cfs));
        if (!tabella.NoMatch())
            esito.presente = leggiIstantanea(tabella);
        if (esito.presente != atteso) {
            esito.tipo = conflitto(esito.presente, atteso);
            return esito;
        }
        if (esito.presente) {
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
        transazione.commit();
    } catch (const store::ErroreArchivio& errore) {
        esito = {};
        esito.tipo = EsitoMemorizza::Tipo::Rifiutato;
        esito.errore = errore;
        return esito;
    }
    esito.presente.reset();
    return esito;
}

} // namespace registro
