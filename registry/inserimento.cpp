#include "registry/inserimento.h"

#include "checks/controllocodice.h"
#include "registry/testi.h"
#include "store/chiavi.h"

namespace registro {

namespace {

// The numeric value of a company code as typed; anything that does not read
// as a whole number counts as zero.
int valoreCodice(const QString& testo)
{
    bool ok = false;
    const int valore = testo.trimmed().toInt(&ok);
    return ok ? valore : 0;
}

// Seek "=" on the named index: true when a row matches.
bool trovato(store::TableRecordset& tabella, const QString& indice, const QVariantList& chiavi)
{
    tabella.setIndex(indice);
    tabella.Seek(QStringLiteral("="), chiavi);
    return !tabella.NoMatch();
}

EsitoInserimento esito(EsitoInserimento::Tipo tipo, CampoNuovo campo, const QString& messaggio = {},
                       bool svuota = false)
{
    EsitoInserimento e;
    e.tipo = tipo;
    e.campo = campo;
    e.messaggio = messaggio;
    e.svuota = svuota;
    return e;
}

EsitoInserimento rifiuto(const QString& messaggio, CampoNuovo campo = CampoNuovo::Nessuno)
{
    return esito(EsitoInserimento::Tipo::Rifiutato, campo, messaggio, campo == CampoNuovo::Collegata);
}

} // namespace

EsitoInserimento controllaInserimento(const Archivio& a, const NuovoSostituto& n, const Domanda& domanda)
{
    const IndicePrincipale ripristinoFrontespizi(a.frontespizi);
    const IndicePrincipale ripristinoSostituti(a.sostituti);
    using Tipo = EsitoInserimento::Tipo;

    // Codice fiscale or partita IVA in its formal check.
    if (!n.cfs.trimmed().isEmpty()) {
        const auto chiedi = [&domanda](const QString& testo, int stile, const QString&) {
            return domanda(testo, stile);
        };
        if (!CONTROLLOCODICE(n.cfs, QString(), chiedi).prosegui)
            return esito(Tipo::CodiceRifiutato, CampoNuovo::CodiceFiscale);
    }

    if (valoreCodice(n.codazi) == 0)
        return esito(Tipo::Mancante, CampoNuovo::Azienda);
    if (n.cfs.trimmed().isEmpty())
        return esito(Tipo::Mancante, CampoNuovo::CodiceFiscale);
    if (n.cognome.trimmed().isEmpty())
        return esito(Tipo::Mancante, CampoNuovo::Cognome);
    if (n.collegata.trimmed().isEmpty())
        return esito(Tipo::Mancante, CampoNuovo::Collegata);

    const QString azienda = store::CHIAVEAZI(n.codazi);
    const QString codiceFiscale = store::CHIAVECF(n.cfs);
    const QString collegata = store::CHIAVEAZI(n.collegata);

    // The substitute's codes must not belong to a declarant...
    if (trovato(a.frontespizi, QStringLiteral("CHIAVE"), {azienda, codiceFiscale}))
        return rifiuto(testi::COPPIAFRONTESPIZIO);
    if (trovato(a.frontespizi, QStringLiteral("CHIAVECODAZI"), {azienda}))
        return rifiuto(testi::AZIENDAFRONTESPIZIO, CampoNuovo::Azienda);
    if (trovato(a.frontespizi, QStringLiteral("CHIAVECFD"), {codiceFiscale}))
        return rifiuto(testi::CFFRONTESPIZIO, CampoNuovo::CodiceFiscale);

    // ...nor to a registered substitute.
    if (trovato(a.sostituti, QStringLiteral("CHIAVE"), {azienda, codiceFiscale}))
        return rifiuto(testi::SOSTITUTOPRESENTE);
    if (trovato(a.sostituti, QStringLiteral("CHIAVECODAZI"), {azienda}))
        return rifiuto(testi::AZIENDASOSTITUTO, CampoNuovo::Azienda);
    if (trovato(a.sostituti, QStringLiteral("CHIAVECFS"), {codiceFiscale}))
        return rifiuto(testi::CFSOSTITUTO, CampoNuovo::CodiceFiscale);

    // The linked company is a declarant with a front page, and not itself a substitute.
    if (!trovato(a.frontespizi, QStringLiteral("CHIAVECODAZI"), {collegata}))
        return rifiuto(testi::COLLEGATASENZAFRONTESPIZIO, CampoNuovo::Collegata);
    if (trovato(a.sostituti, QStringLiteral("CHIAVECODAZI"), {collegata}))
        return rifiuto(testi::COLLEGATASOSTITUTO, CampoNuovo::Collegata);
    return {};
}

} // namespace registro
