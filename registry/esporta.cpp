#include "registry/esporta.h"

#include "registry/testi.h"

#include <QDir>

namespace registro {

namespace {

// The line separator of the messages.
const QString CR = QStringLiteral("\r");

QStringList intestazione()
{
    return {QStringLiteral("Codice azienda"),
            QStringLiteral("Codice fiscale"),
            QStringLiteral("Cognome o denominazione"),
            QStringLiteral("Nome"),
            QStringLiteral("Sesso"),
            QStringLiteral("Data di nascita"),
            QStringLiteral("Comune (o Stato estero) di nascita"),
            QStringLiteral("Provincia di nascita"),
            QStringLiteral("Comune di residenza o domicilio fiscale"),
            QStringLiteral("Provincia di residenza o domicilio fiscale"),
            QStringLiteral("Via e numero civico"),
            QStringLiteral("Codice azienda collegata")};
}

RigaTabella riga(const Sostituto& s)
{
    const auto testo = [](const QString& t) { return Cella::diTesto(t.trimmed()); };
    const Cella cognome = datiDaIntegrare(s.cognome, s.nome) ? Cella::diTesto(DATIDAINTEGRARE) : testo(s.cognome);
    const Cella nascita = s.nascita.valida() ? Cella::diGiorno(s.nascita.giorno()) : testo(testoData(s.nascita));
    return {testo(s.codazi),
            testo(s.cfs),
            cognome,
            testo(s.nome),
            testo(s.sesso),
            nascita,
            testo(s.comuneNascita),
            testo(s.provinciaNascita),
            testo(s.comune),
            testo(s.provincia),
            testo(s.indirizzo),
            testo(s.collegata)};
}

} // namespace

Tabella tabellaSostituti(store::Database& db, const std::vector<ChiaveSostituto>& chiavi)
{
    std::vector<std::optional<RigaTabella>> posti(chiavi.size());
    leggiMostrati(db, chiavi, [&posti](std::size_t posizione, const Sostituto& s) { posti[posizione] = riga(s); });
    Tabella tabella{QStringLiteral("Anagrafiche sostituti"), intestazione(), {}};
    tabella.righe.reserve(chiavi.size());
    for (auto& r : posti) {
        if (r)
            tabella.righe.push_back(std::move(*r));
    }
    return tabella;
}

EsitoEsportazione esporta(store::Database& db, const std::vector<ChiaveSostituto>& chiavi, const QString& percorso,
                          Formato formato)
{
    EsitoEsportazione esito;
    Tabella tabella;
    try {
        tabella = tabellaSostituti(db, chiavi);
    } catch (const store::ErroreArchivio& errore) {
        esito.tipo = EsitoEsportazione::Tipo::Rifiutato;
        esito.errore = errore;
        return esito;
    }
    const qsizetype mancanti = qsizetype(chiavi.size()) - qsizetype(tabella.righe.size());
    esito = esportaTabella(tabella, percorso, formato, testi::ANAGRAFICHENELFILE);
    esito.mancanti = mancanti;
    if (esito.tipo == EsitoEsportazione::Tipo::Scritto && mancanti > 0)
        esito.messaggio += CR + CR + QString::number(mancanti) + testi::NONPIUINARCHIVIO;
    return esito;
}

EsitoEsportazione esportaTabella(const Tabella& tabella, const QString& percorso, Formato formato, const QString& righe)
{
    EsitoEsportazione esito;
    esito.scritti = qsizetype(tabella.righe.size());
    const QString causa = scriviTabella(tabella, percorso, formato);
    const QString nome = QDir::toNativeSeparators(percorso);
    if (!causa.isEmpty()) {
        esito.tipo = EsitoEsportazione::Tipo::NonScritto;
        esito.messaggio =
            testi::FILENONSCRITTO + CR + nome + CR + CR + causa + CR + CR + testi::ESPORTAZIONENONESEGUITA;
        return esito;
    }
    esito.messaggio = testi::ESPORTAZIONEEFFETTUATA + CR + CR + QString::number(esito.scritti) + righe + CR + nome;
    return esito;
}

} // namespace registro
