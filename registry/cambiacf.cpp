#include "registry/cambiacf.h"

#include "checks/controllocodice.h"
#include "registry/testi.h"
#include "store/chiavi.h"

namespace registro {

namespace {

// Re-keys the rows of one section table. Values are bound, never pasted: a
// codice fiscale holding an apostrophe re-keys its own rows and nobody else's.
QString richiave(const QString& quadro)
{
    return QStringLiteral("UPDATE ") + quadro + QStringLiteral(" SET CFS = ? WHERE CODAZI = ? and CFD = ? and CFS = ?");
}

ControlloCambio esito(ControlloCambio::Tipo tipo, const QString& messaggio = {})
{
    ControlloCambio e;
    e.tipo = tipo;
    e.messaggio = messaggio;
    return e;
}

// The text refusing a code that a declarant or a substitute already has
// (in this order); "" when it is nobody's. One read.
QString inUso(const Archivio& a, const QString& codice)
{
    const QList<bool> trovati = presenti(a.db, {{QStringLiteral("FRONTESPIZIO"), QStringLiteral("CFD = ?"), {codice}},
                                                {SOSTITUTI, QStringLiteral("CFS = ?"), {codice}}});
    if (trovati.at(0))
        return testi::CFFRONTESPIZIO;
    if (trovati.at(1))
        return testi::CFSOSTITUTO;
    return {};
}

} // namespace

ControlloCambio controllaCambio(const Archivio& a, const QString& codazi, const QString& cfs, const QString& nuovo,
                                const Domanda& domanda)
{
    using Tipo = ControlloCambio::Tipo;
    if (nuovo.trimmed().isEmpty())
        return esito(Tipo::Vuoto);
    const QString codice = store::CHIAVECF(nuovo);
    if (const QString testo = inUso(a, codice); !testo.isEmpty())
        return esito(Tipo::InUso, testo);

    // Removed meanwhile by another program of the suite: going on would
    // re-key the section rows with the declarant of another substitute.
    a.sostituti.Seek(QStringLiteral("="), codazi, store::CHIAVECF(cfs));
    if (a.sostituti.NoMatch())
        return esito(Tipo::Sparito, testi::SOSTITUTOSPARITO);
    const QString collegata = store::CHIAVEAZI(a.sostituti.Fields(QStringLiteral("asost_10")));
    const auto frontespizio =
        a.db.OpenRecordset(QStringLiteral("SELECT * FROM frontespizio WHERE CODAZI = ?"), {collegata});
    if (frontespizio->RecordCount() == 0)
        return esito(Tipo::SenzaDichiarante, testi::NESSUNDICHIARANTE);
    const QString cfd = frontespizio->Fields(QStringLiteral("cfd"));

    const auto chiedi = [&domanda](const QString& testo, int stile, const QString&) { return domanda(testo, stile); };
    if (!CONTROLLOCODICE(codice, QString(), chiedi).prosegui)
        return esito(Tipo::CodiceRifiutato);
    ControlloCambio accettato;
    accettato.cfd = cfd;
    return accettato;
}

EsitoCambio cambiaCodiceFiscale(const Archivio& a, const QString& codazi, const QString& cfs, const QString& cfd,
                                const QString& nuovo)
{
    const QString codice = store::CHIAVECF(nuovo);
    EsitoCambio esito;
    try {
        // All or nothing: a failure half-way must not leave a substitute whose
        // rows carry partly the old code and partly the new one.
        store::Transazione transazione(a.db, QUADRI + QStringList{SOSTITUTI});
        if (const QString testo = inUso(a, codice); !testo.isEmpty()) {
            esito.tipo = EsitoCambio::Tipo::InUso;
            esito.messaggio = testo;
            return esito;
        }
        // One statement per table, all sent together.
        QList<store::Istruzione> istruzioni;
        for (const QString& quadro : QUADRI)
            istruzioni.append({richiave(quadro), {codice, codazi, cfd, cfs}});
        const QList<int> righe = a.db.Execute(istruzioni);
        for (int i = 0; i < QUADRI.size(); ++i)
            esito.righe.append({QUADRI.at(i), righe.at(i)});

        store::TableRecordset& tabella = a.sostituti;
        tabella.Seek(QStringLiteral("="), store::CHIAVEAZI(codazi), store::CHIAVECF(cfs));
        if (tabella.NoMatch()) {
            // Removed meanwhile: the section rows just re-keyed are put back.
            esito = {};
            esito.tipo = EsitoCambio::Tipo::Sparito;
            esito.errore = store::ErroreArchivio(store::TipoErrore::Conflitto,
                                                 QStringLiteral("anagrafica sostituto non più presente"));
            return esito;
        }
        tabella.Edit();
        tabella.SetField(QStringLiteral("CFS"), codice);
        try {
            tabella.Update();
        } catch (...) {
            tabella.CancelUpdate();
            throw;
        }
        esito.righe.append({SOSTITUTI, 1});
        a.db.annuncia({store::Evento::CodiceCambiato, codazi.trimmed(), cfs.trimmed(), codice.trimmed()});
        transazione.commit();
    } catch (const store::ErroreArchivio& errore) {
        return rifiutato<EsitoCambio>(errore);
    }
    return esito;
}

} // namespace registro
