#include "registry/stampa.h"

#include <optional>

namespace registro {

namespace {

// "TOWN (PR)", or either alone.
QString luogo(const QString& comune, const QString& provincia)
{
    const QString c = comune.trimmed();
    const QString p = provincia.trimmed();
    if (p.isEmpty())
        return c;
    const QString sigla = QLatin1Char('(') + p + QLatin1Char(')');
    return c.isEmpty() ? sigla : c + QLatin1Char(' ') + sigla;
}

// The non-empty parts joined by the separator.
QString unisci(const QStringList& parti, const QString& separatore)
{
    QStringList piene;
    for (const QString& parte : parti) {
        if (!parte.isEmpty())
            piene.append(parte);
    }
    return piene.join(separatore);
}

} // namespace

QStringList intestazioneStampa()
{
    return {QStringLiteral("Azienda"), QStringLiteral("Codice fiscale"),
            QStringLiteral("Cognome e nome o denominazione"), QStringLiteral("Data e luogo di nascita"),
            QStringLiteral("Residenza o domicilio fiscale")};
}

RigaStampa rigaStampa(const Sostituto& s)
{
    RigaStampa r;
    r.codazi = s.codazi.trimmed();
    r.cfs = s.cfs.trimmed();
    r.nominativo = datiDaIntegrare(s.cognome, s.nome)
                       ? DATIDAINTEGRARE
                       : unisci({s.cognome.trimmed(), s.nome.trimmed()}, QStringLiteral(" "));
    r.nascita = unisci({testoData(s.nascita), luogo(s.comuneNascita, s.provinciaNascita)}, QStringLiteral(" "));
    r.domicilio = unisci({s.indirizzo.trimmed(), luogo(s.comune, s.provincia)}, QStringLiteral(" - "));
    // A line break stored in a text breaks the printed line too, whatever its form.
    for (QString* testo : {&r.codazi, &r.cfs, &r.nominativo, &r.nascita, &r.domicilio})
        testo->replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return r;
}

std::vector<RigaStampa> righeStampa(store::Database& db, const std::vector<ChiaveSostituto>& chiavi)
{
    std::vector<std::optional<RigaStampa>> posti(chiavi.size());
    leggiMostrati(db, chiavi, [&posti](std::size_t posizione, const Sostituto& s) { posti[posizione] = rigaStampa(s); });
    std::vector<RigaStampa> righe;
    righe.reserve(chiavi.size());
    for (auto& riga : posti) {
        if (riga)
            righe.push_back(std::move(*riga));
    }
    return righe;
}

Tabella tabellaStampa(const std::vector<RigaStampa>& righe)
{
    Tabella tabella{QStringLiteral("Anagrafiche sostituti"), intestazioneStampa(), {}};
    tabella.righe.reserve(righe.size());
    for (const RigaStampa& riga : righe) {
        RigaTabella celle;
        for (const QString& colonna : riga.colonne())
            celle.push_back(Cella::diTesto(colonna));
        tabella.righe.push_back(std::move(celle));
    }
    return tabella;
}

std::vector<std::size_t> impagina(const std::vector<double>& altezze, double altezzaPagina)
{
    std::vector<std::size_t> inizi;
    double occupato = 0;
    for (std::size_t i = 0; i < altezze.size(); ++i) {
        if (inizi.empty() || occupato + altezze[i] > altezzaPagina) {
            inizi.push_back(i);
            occupato = 0;
        }
        occupato += altezze[i];
    }
    return inizi;
}

} // namespace registro
