#include "registry/dalcodice.h"

#include <QRegularExpression>

namespace registro {

namespace {

bool vuoto(const QString& testo)
{
    return testo.trimmed().isEmpty();
}

// The place's name as the town field can hold it: whole, or without its
// remark in brackets ("NUOVE EBRIDI (ISOLE CONDOMINIO FRANCO-INGLESE)" is
// also "NUOVE EBRIDI"); empty when neither fits.
QString nomeNelCampo(const QString& nome, int lunghezza)
{
    if (nome.size() <= lunghezza)
        return nome;
    static const QRegularExpression nota(QStringLiteral("\\s*\\(.*\\)\\s*$"));
    const QString ridotto = QString(nome).remove(nota);
    return ridotto.size() <= lunghezza ? ridotto : QString();
}

} // namespace

checks::SchedaNascita schedaNascita(const Sostituto& sostituto)
{
    return {sostituto.cognome,
            sostituto.nome,
            sostituto.sesso,
            sostituto.nascita.valida() ? sostituto.nascita.giorno() : QDate(),
            sostituto.comuneNascita,
            sostituto.provinciaNascita};
}

std::optional<DalCodice> dalCodice(const Sostituto& sostituto)
{
    const std::optional<checks::ConfrontoCodiceFiscale> confronto =
        checks::confrontaCodiceFiscale(schedaNascita(sostituto), sostituto.cfs);
    if (!confronto)
        return std::nullopt;
    return DalCodice{checks::rigaDalCodice(confronto->dalCodice), checks::rigaDiscordanze(confronto->discordanti),
                     confronto->discordanti};
}

QList<checks::DatoAnagrafico> completaDalCodice(Sostituto& sostituto, int lunghezzaComune)
{
    QList<checks::DatoAnagrafico> riempiti;
    const std::optional<checks::DatiNascita> dati = checks::datiNascitaDalCodice(sostituto.cfs);
    if (!dati)
        return riempiti;
    const auto riempi = [&riempiti](checks::DatoAnagrafico dato, bool libero, QString& campo, const QString& valore) {
        if (libero && !valore.isEmpty()) {
            campo = valore;
            riempiti << dato;
        }
    };
    riempi(checks::DatoAnagrafico::Sesso, vuoto(sostituto.sesso), sostituto.sesso,
           QString(checks::siglaSesso(dati->sesso)));
    if (sostituto.nascita.nessuna()) {
        sostituto.nascita = DataNascita(dati->nascita);
        riempiti << checks::DatoAnagrafico::DataNascita;
    }
    riempi(checks::DatoAnagrafico::ComuneNascita, vuoto(sostituto.comuneNascita), sostituto.comuneNascita,
           nomeNelCampo(dati->comune, lunghezzaComune));
    riempi(checks::DatoAnagrafico::ProvinciaNascita, vuoto(sostituto.provinciaNascita), sostituto.provinciaNascita,
           dati->provincia);
    return riempiti;
}

} // namespace registro
