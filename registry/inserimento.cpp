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

    if (const std::optional<EsitoInserimento> inUso = codiciInUso(a, n.codazi, n.cfs))
        return *inUso;

    // The linked company is a declarant with a front page, and not itself a substitute.
    const QString collegata = store::CHIAVEAZI(n.collegata);
    if (!trovato(a.frontespizi, QStringLiteral("CHIAVECODAZI"), {collegata}))
        return rifiuto(testi::COLLEGATASENZAFRONTESPIZIO, CampoNuovo::Collegata);
    if (trovato(a.sostituti, QStringLiteral("CHIAVECODAZI"), {collegata}))
        return rifiuto(testi::COLLEGATASOSTITUTO, CampoNuovo::Collegata);
    return {};
}

std::optional<EsitoInserimento> codiciInUso(const Archivio& a, const QString& codazi, const QString& cfs)
{
    const QString azienda = store::CHIAVEAZI(codazi);
    const QString codiceFiscale = store::CHIAVECF(cfs);
    // In the order of the checks: the substitute's codes must not belong to
    // a declarant, nor to a registered substitute.
    const QString frontespizi = QStringLiteral("FRONTESPIZIO"), sostituti = QStringLiteral("ANAGSOSTITUTI");
    const QList<bool> trovati =
        presenti(a.db, {{frontespizi, QStringLiteral("CODAZI = ? AND CFD = ?"), {azienda, codiceFiscale}},
                        {frontespizi, QStringLiteral("CODAZI = ?"), {azienda}},
                        {frontespizi, QStringLiteral("CFD = ?"), {codiceFiscale}},
                        {sostituti, QStringLiteral("CODAZI = ? AND CFS = ?"), {azienda, codiceFiscale}},
                        {sostituti, QStringLiteral("CODAZI = ?"), {azienda}},
                        {sostituti, QStringLiteral("CFS = ?"), {codiceFiscale}}});
    const std::pair<QString, CampoNuovo> rifiuti[] = {
        {testi::COPPIAFRONTESPIZIO, CampoNuovo::Nessuno},   {testi::AZIENDAFRONTESPIZIO, CampoNuovo::Azienda},
        {testi::CFFRONTESPIZIO, CampoNuovo::CodiceFiscale}, {testi::SOSTITUTOPRESENTE, CampoNuovo::Nessuno},
        {testi::AZIENDASOSTITUTO, CampoNuovo::Azienda},     {testi::CFSOSTITUTO, CampoNuovo::CodiceFiscale}};
    for (int i = 0; i < trovati.size(); ++i) {
        if (trovati.at(i))
            return rifiuto(rifiuti[i].first, rifiuti[i].second);
    }
    return std::nullopt;
}

} // namespace registro
