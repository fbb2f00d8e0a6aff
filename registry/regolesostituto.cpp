#include "registry/regolesostituto.h"

#include "checks/codicifiscali.h"
#include "checks/controllocodice.h"
#include "registry/dalcodice.h"
#include "store/chiavi.h"

#include <QStringList>

namespace registro::verifica {

namespace {

using Tipo = TipoSegnalazione;

bool vuoto(const QString& testo)
{
    return testo.trimmed().isEmpty();
}

// The form check of the insertion and of the change of codice fiscale,
// its first message taken as the finding's.
void codice(const Sostituto& s, const Segnala& segnala)
{
    const QString codice = senzaCoda(s.cfs);
    if (vuoto(codice)) {
        segnala(Tipo::CfErrato, QStringLiteral("Codice fiscale mancante"));
        return;
    }
    QString messaggio;
    CONTROLLOCODICE(codice, QString(), [&messaggio](const QString& testo, int, const QString&) {
        messaggio = testo.section(CR, 0, 0);
        return int(vbNo);
    });
    if (!messaggio.isEmpty())
        segnala(ISNUMERIC(codice) ? Tipo::PivaErrata : Tipo::CfErrato, messaggio);
}

void datiMancanti(const Sostituto& s, const Segnala& segnala)
{
    QStringList mancanti;
    bool errati = false;
    const auto manca = [&mancanti](bool vero, const char* dato) {
        if (vero)
            mancanti << QString::fromUtf8(dato);
    };
    manca(vuoto(s.cognome), "cognome o denominazione");
    if (s.personaFisica()) {
        manca(vuoto(s.sesso), "sesso");
        // A date the sheet cannot show is wrong, unless nothing is there.
        if (s.nascita.nonValida() && !vuoto(s.nascita.perArchivio())) {
            mancanti << QStringLiteral("data di nascita errata");
            errati = true;
        } else {
            manca(!s.nascita.valida(), "data di nascita");
        }
        manca(vuoto(s.comuneNascita), "comune di nascita");
        manca(vuoto(s.provinciaNascita), "provincia di nascita");
    }
    manca(vuoto(s.comune), "comune di residenza");
    manca(vuoto(s.provincia), "provincia di residenza");
    manca(vuoto(s.indirizzo), "indirizzo");
    if (!mancanti.isEmpty()) {
        segnala(Tipo::DatiMancanti,
                (errati ? QStringLiteral("Dati mancanti o errati: ") : QStringLiteral("Dati mancanti: ")) +
                    mancanti.join(QStringLiteral(", ")));
    }
}

// What the sheet's line below its note says, for the birth data.
void nascita(const Sostituto& s, const Segnala& segnala)
{
    // Surname and first name left empty are not compared.
    checks::SchedaNascita scheda = schedaNascita(s);
    scheda.cognome.clear();
    scheda.nome.clear();
    const auto confronto = checks::confrontaCodiceFiscale(scheda, s.cfs);
    if (confronto && !confronto->discordanti.isEmpty())
        segnala(Tipo::NascitaDiversa, checks::rigaDiscordanze(confronto->discordanti));
}

void province(const Sostituto& s, const Riferimenti& riferimenti, const Segnala& segnala)
{
    QStringList sconosciute;
    const auto cerca = [&](const QString& provincia, const QString& quale) {
        if (!vuoto(provincia) && !riferimenti.province.contains(senzaCoda(provincia)))
            sconosciute << quale + QLatin1Char(' ') + provincia.trimmed();
    };
    if (s.personaFisica())
        cerca(s.provinciaNascita, QStringLiteral("provincia di nascita"));
    cerca(s.provincia, QStringLiteral("provincia di residenza"));
    if (!sconosciute.isEmpty()) {
        segnala(Tipo::ProvinciaSconosciuta,
                QStringLiteral("Non presenti nella tabella delle province: ") + sconosciute.join(QStringLiteral(", ")));
    }
}

void collegata(const Sostituto& s, const Riferimenti& riferimenti, const Segnala& segnala)
{
    if (riferimenti.aziende.contains(store::CHIAVEAZI(s.collegata)))
        return;
    segnala(Tipo::AziendaSenzaFrontespizio,
            vuoto(s.collegata) ? QStringLiteral("Codice azienda collegata non indicato")
                               : QStringLiteral("Il codice azienda collegata %1 non è presente nel frontespizio")
                                     .arg(s.collegata.trimmed()));
}

} // namespace

QString senzaCoda(const QString& testo)
{
    qsizetype fine = testo.size();
    while (fine > 0 && testo.at(fine - 1) == QLatin1Char(' '))
        --fine;
    return fine == testo.size() ? testo : testo.left(fine);
}

void controllaSostituto(const Sostituto& s, const Riferimenti& riferimenti, const Segnala& segnala)
{
    codice(s, segnala);
    datiMancanti(s, segnala);
    nascita(s, segnala);
    province(s, riferimenti, segnala);
    collegata(s, riferimenti, segnala);
}

} // namespace registro::verifica
