// The data sheet against the codice fiscale.
#include "checks/coerenzacf.h"

namespace checks {

namespace {

bool vuoto(const QString& testo)
{
    return testo.trimmed().isEmpty();
}

} // namespace

QString nomeDato(DatoAnagrafico dato)
{
    switch (dato) {
    case DatoAnagrafico::Cognome:
        return QStringLiteral("cognome");
    case DatoAnagrafico::Nome:
        return QStringLiteral("nome");
    case DatoAnagrafico::Sesso:
        return QStringLiteral("sesso");
    case DatoAnagrafico::DataNascita:
        return QStringLiteral("data di nascita");
    case DatoAnagrafico::ComuneNascita:
        return QStringLiteral("comune di nascita");
    case DatoAnagrafico::ProvinciaNascita:
        return QStringLiteral("provincia di nascita");
    }
    return QString();
}

std::optional<ConfrontoCodiceFiscale> confrontaCodiceFiscale(const SchedaNascita& scheda, QStringView codice)
{
    std::optional<DatiCodiceFiscale> dati = decodificaCodiceFiscale(codice);
    if (!dati)
        return std::nullopt;
    const QString maiuscolo = codice.trimmed().toString().toUpper();
    const std::optional<LuogoCatastale>& luogo = dati->luogo;

    ConfrontoCodiceFiscale esito;
    const auto confronta = [&esito](DatoAnagrafico dato, bool daConfrontare, bool concorda) {
        if (daConfrontare && !concorda)
            esito.discordanti << dato;
    };
    confronta(DatoAnagrafico::Cognome, !vuoto(scheda.cognome),
              lettereCognome(scheda.cognome) == QStringView(maiuscolo).left(3));
    confronta(DatoAnagrafico::Nome, !vuoto(scheda.nome),
              lettereNome(scheda.nome) == QStringView(maiuscolo).mid(3, 3));
    confronta(DatoAnagrafico::Sesso, !vuoto(scheda.sesso),
              scheda.sesso.trimmed().toUpper() == QString(siglaSesso(dati->sesso)));
    confronta(DatoAnagrafico::DataNascita, scheda.nascita.isValid(), scheda.nascita == dati->nascita);
    confronta(DatoAnagrafico::ComuneNascita, luogo.has_value() && !vuoto(scheda.comune),
              luogo && nomeDelLuogo(*luogo, scheda.comune));
    confronta(DatoAnagrafico::ProvinciaNascita, luogo.has_value() && !vuoto(scheda.provincia),
              luogo && provinciaDelLuogo(*luogo, scheda.provincia));
    esito.dalCodice = std::move(*dati);
    return esito;
}

QString rigaDalCodice(const DatiCodiceFiscale& dati)
{
    const QString luogo = dati.luogo ? QStringLiteral("%1 (%2)").arg(dati.luogo->nome, dati.luogo->provincia)
                                     : QStringLiteral("%1 (codice catastale non in elenco)").arg(dati.codiceCatastale);
    return QStringLiteral("Dal codice fiscale: %1 il %2 a %3")
        .arg(dati.sesso == Sesso::Femminile ? QStringLiteral("nata") : QStringLiteral("nato"),
             dati.nascita.toString(QStringLiteral("dd/MM/yyyy")), luogo);
}

QString rigaDiscordanze(const QList<DatoAnagrafico>& discordanti)
{
    if (discordanti.isEmpty())
        return QString();
    QStringList nomi;
    for (const DatoAnagrafico dato : discordanti)
        nomi << nomeDato(dato);
    return QStringLiteral("Non corrispondono al codice fiscale: ") + nomi.join(QStringLiteral(", "));
}

std::optional<DatiNascita> datiNascitaDalCodice(QStringView codice)
{
    const std::optional<DatiCodiceFiscale> dati = decodificaCodiceFiscale(codice);
    if (!dati)
        return std::nullopt;
    DatiNascita nascita;
    nascita.nascita = dati->nascita;
    nascita.sesso = dati->sesso;
    if (dati->luogo) {
        nascita.comune = dati->luogo->nome;
        nascita.provincia = dati->luogo->provincia;
    }
    return nascita;
}

} // namespace checks
