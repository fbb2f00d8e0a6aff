#include "store/errore.h"

#include <QStringList>

namespace store {

namespace {

const char* nomeTipo(TipoErrore tipo)
{
    switch (tipo) {
    case TipoErrore::Occupato: return "Occupato";
    case TipoErrore::SolaLettura: return "SolaLettura";
    case TipoErrore::DiscoPieno: return "DiscoPieno";
    case TipoErrore::Danneggiato: return "Danneggiato";
    case TipoErrore::NonApribile: return "NonApribile";
    case TipoErrore::AccessoNegato: return "AccessoNegato";
    case TipoErrore::OggettoMancante: return "OggettoMancante";
    case TipoErrore::NessunRecord: return "NessunRecord";
    case TipoErrore::Conflitto: return "Conflitto";
    case TipoErrore::Altro: break;
    }
    return "Altro";
}

const QString NON_ESEGUITA = QStringLiteral("L'operazione non è stata eseguita.");
const QString NULLA_REGISTRATO = QStringLiteral("Nessun dato è stato registrato.");
const QString ASSISTENZA = QStringLiteral("Contattare la Tarvessa servizi");
const QString CHIUSURA = QStringLiteral("Il programma viene chiuso.");

} // namespace

ErroreArchivio::ErroreArchivio(TipoErrore tipo, QString dettaglio, QString oggetto)
    : m_tipo(tipo), m_dettaglio(std::move(dettaglio)), m_oggetto(std::move(oggetto))
{
    QString testo = QString::fromLatin1(nomeTipo(m_tipo));
    if (!m_oggetto.isEmpty())
        testo += QStringLiteral(": ") + m_oggetto;
    if (!m_dettaglio.isEmpty())
        testo += QStringLiteral(": ") + m_dettaglio;
    m_what = testo.toStdString();
}

QString ErroreArchivio::messaggio() const
{
    return testo(false);
}

QString ErroreArchivio::messaggioAvvio() const
{
    return testo(true);
}

QString ErroreArchivio::testo(bool avvio) const
{
    QStringList righe;
    // The archive concerned, when known.
    auto archivio = [&] {
        if (!m_oggetto.isEmpty())
            righe << QStringLiteral("Archivio: ") + m_oggetto;
    };
    // What became of the operator's work: at start-up there was none yet,
    // and the program closes.
    auto esito = [&](const QString& operazione) { righe << (avvio ? CHIUSURA : operazione); };
    switch (m_tipo) {
    case TipoErrore::Occupato:
        righe << QStringLiteral("Attenzione !!! L'archivio è in uso da un altro programma della procedura.");
        esito(NON_ESEGUITA);
        righe << (avvio ? QStringLiteral("Avviare di nuovo il programma quando l'archivio sarà libero.")
                        : QStringLiteral("Riprovare fra qualche istante."));
        break;
    case TipoErrore::SolaLettura:
        righe << QStringLiteral("Attenzione !!! L'archivio è in sola lettura: non è possibile registrarvi dati.");
        archivio();
        esito(NULLA_REGISTRATO);
        righe << QStringLiteral("Controllare i permessi del file e della sua cartella.");
        break;
    case TipoErrore::DiscoPieno:
        righe << QStringLiteral("Attenzione !!! Il disco dell'archivio è pieno.");
        esito(NULLA_REGISTRATO);
        righe << (avvio ? QStringLiteral("Liberare spazio sul disco prima di avviare di nuovo il programma.")
                        : QStringLiteral("Liberare spazio sul disco e ripetere l'operazione."));
        break;
    case TipoErrore::Danneggiato:
        righe << QStringLiteral("Attenzione !!! L'archivio è danneggiato o non è un archivio della procedura.");
        archivio();
        esito(NON_ESEGUITA);
        righe << ASSISTENZA;
        break;
    case TipoErrore::NonApribile:
        righe << QStringLiteral("Attenzione !!! Impossibile accedere all'archivio.");
        archivio();
        esito(NON_ESEGUITA);
        righe << ASSISTENZA;
        break;
    case TipoErrore::AccessoNegato:
        righe << QStringLiteral("Attenzione !!! Il server dell'archivio non consente l'accesso a questo utente.");
        archivio();
        esito(NON_ESEGUITA);
        righe << QStringLiteral("Controllare l'utente e la sua password nel file delle password di PostgreSQL.");
        break;
    case TipoErrore::OggettoMancante:
        righe << (m_oggetto.isEmpty()
                      ? QStringLiteral("Attenzione !!! Nell'archivio manca un dato richiesto dal programma.")
                      : QStringLiteral("Attenzione !!! Nell'archivio manca ") + m_oggetto + QLatin1Char('.'));
        esito(NON_ESEGUITA);
        righe << ASSISTENZA;
        break;
    case TipoErrore::NessunRecord:
        righe << QStringLiteral("Attenzione !!! Nessun record corrente: il dato cercato non è presente nell'archivio.");
        esito(NON_ESEGUITA);
        break;
    case TipoErrore::Conflitto:
        righe << QStringLiteral("Attenzione !!! I dati sono stati modificati o cancellati da un altro programma"
                                " della procedura.");
        esito(NULLA_REGISTRATO);
        if (!avvio)
            righe << QStringLiteral("Ricaricare i dati e ripetere l'operazione.");
        break;
    case TipoErrore::Altro:
        righe << QStringLiteral("Attenzione !!! Errore nell'archivio.");
        // The engine's own words only when there is nothing better to say:
        // they are what support will ask for.
        if (!m_oggetto.isEmpty())
            righe << m_oggetto;
        else if (!m_dettaglio.isEmpty())
            righe << QStringLiteral("(") + m_dettaglio + QStringLiteral(")");
        esito(NON_ESEGUITA);
        break;
    }
    return righe.join(QLatin1Char('\r'));
}

} // namespace store
