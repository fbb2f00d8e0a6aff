#include "registry/avvisi.h"

#include "registry/carica.h"
#include "store/chiavi.h"

namespace registro {

AvvisoScheda avvisoScheda(const Archivio& a, const QString& codazi, const QString& cfs,
                          const std::optional<Istantanea>& atteso, const QList<store::Avviso>& avvisi)
{
    using Tipo = AvvisoScheda::Tipo;
    AvvisoScheda esito;
    bool daLeggere = false;
    std::optional<store::Evento> evento; // the last one on this key
    for (const store::Avviso& avviso : avvisi) {
        if (avviso.evento == store::Evento::Imprecisato) {
            daLeggere = true;
        } else if (store::CHIAVEAZI(avviso.codazi) == store::CHIAVEAZI(codazi) &&
                   avviso.cfs.trimmed() == cfs.trimmed()) {
            daLeggere = true;
            evento = avviso.evento;
            esito.nuovoCfs = avviso.nuovoCfs;
        }
    }
    if (!daLeggere)
        return {};
    // What the save would find, sought as it seeks it.
    const std::optional<Caricato> presente = carica(a.sostituti, codazi, cfs);
    if (!presente) {
        if (!atteso)
            return {};
        if (evento == store::Evento::CodiceCambiato)
            esito.tipo = Tipo::CodiceCambiato;
        else
            esito.tipo = evento == store::Evento::Cancellato ? Tipo::Cancellata : Tipo::Sparita;
        return esito;
    }
    if (!atteso)
        return {Tipo::Registrata, {}};
    return {presente->istantanea == *atteso ? Tipo::Nessuno : Tipo::Modificata, {}};
}

} // namespace registro
