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
    case TipoErrore::ArchivioSpostato: return "ArchivioSpostato";
    case TipoErrore::ConnessionePersa: return "ConnessionePersa";
    case TipoErrore::ConfermaIncerta: return "ConfermaIncerta";
    case TipoErrore::ServerIrraggiungibile: return "ServerIrraggiungibile";
    case TipoErrore::ArchivioMancante: return "ArchivioMancante";
    case TipoErrore::PermessoNegato: return "PermessoNegato";
    case TipoErrore::ServerSolaLettura: return "ServerSolaLettura";
    case TipoErrore::FilePasswordIgnorato: return "FilePasswordIgnorato";
    case TipoErrore::Altro: break;
    }
    return "Altro";
}

const QString NON_ESEGUITA = QStringLiteral("L'operazione non è stata eseguita.");
const QString NULLA_REGISTRATO = QStringLiteral("Nessun dato è stato registrato.");
const QString ASSISTENZA = QStringLiteral("Contattare la Tarvessa servizi");
const QString CHIUSURA = QStringLiteral("Il programma viene chiuso.");
const QString RIAPERTURA = QStringLiteral(": la connessione viene riaperta alla prossima operazione.");

// "il diritto SELECT sulla tabella FRONTESPIZIO", as much of it as is known.
QString dirittoNegato(const Precisazioni& p)
{
    QString testo =
        p.privilegio.isEmpty() ? QStringLiteral("un diritto necessario") : QStringLiteral("il diritto ") + p.privilegio;
    if (!p.tabella.isEmpty())
        testo += QStringLiteral(" sulla tabella ") + p.tabella;
    return testo;
}

} // namespace

ErroreArchivio::ErroreArchivio(TipoErrore tipo, QString dettaglio, QString oggetto)
    : ErroreArchivio(tipo, std::move(dettaglio), std::move(oggetto), Precisazioni())
{
}

ErroreArchivio::ErroreArchivio(TipoErrore tipo, QString dettaglio, QString oggetto, Precisazioni precisazioni)
    : m_tipo(tipo),
      m_dettaglio(std::move(dettaglio)),
      m_oggetto(std::move(oggetto)),
      m_precisazioni(std::move(precisazioni))
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
    case TipoErrore::ArchivioSpostato:
        righe << QStringLiteral("Attenzione !!! L'archivio è stato spostato o sostituito da un altro programma: "
                                "chiudere e riaprire il programma.");
        archivio();
        esito(NULLA_REGISTRATO);
        break;
    case TipoErrore::ConnessionePersa:
        righe << QStringLiteral("Attenzione !!! La connessione al server dell'archivio si è interrotta.");
        archivio();
        esito(NULLA_REGISTRATO);
        if (!avvio)
            righe << QStringLiteral("Ripetere l'operazione quando il server sarà di nuovo raggiungibile") + RIAPERTURA;
        break;
    case TipoErrore::ConfermaIncerta:
        righe << QStringLiteral("Attenzione !!! La connessione al server dell'archivio si è interrotta mentre "
                                "l'operazione veniva confermata.");
        archivio();
        righe << (avvio ? CHIUSURA : QStringLiteral("Non è certo che i dati siano stati registrati."));
        if (!avvio)
            righe << QStringLiteral("Controllare i dati prima di ripetere l'operazione") + RIAPERTURA;
        break;
    case TipoErrore::ServerIrraggiungibile:
        righe << QStringLiteral("Attenzione !!! Il server PostgreSQL dell'archivio non risponde.");
        archivio();
        esito(NON_ESEGUITA);
        righe << (avvio ? QStringLiteral("Controllare che il server sia avviato e raggiungibile.")
                        : QStringLiteral("Controllare che il server sia avviato e raggiungibile, poi ripetere "
                                         "l'operazione."));
        break;
    case TipoErrore::ArchivioMancante:
        righe << QStringLiteral("Attenzione !!! L'archivio non esiste sul server PostgreSQL.");
        archivio();
        esito(NON_ESEGUITA);
        righe << ASSISTENZA;
        break;
    case TipoErrore::PermessoNegato: {
        const Precisazioni& p = m_precisazioni;
        const QString utente = p.utente.isEmpty() ? QStringLiteral("<utente>") : p.utente;
        righe << QStringLiteral("Attenzione !!! Il server PostgreSQL non concede all'utente %1 %2.")
                     .arg(utente, dirittoNegato(p));
        archivio();
        esito(NULLA_REGISTRATO);
        righe << QStringLiteral("L'amministratore del server deve rendere l'utente membro del ruolo proprietario "
                                "delle tabelle: GRANT %1 TO %2")
                     .arg(p.proprietario.isEmpty() ? QStringLiteral("<proprietario>") : p.proprietario, utente);
        break;
    }
    case TipoErrore::ServerSolaLettura:
        righe << QStringLiteral("Attenzione !!! Il server PostgreSQL accetta solo letture: non è possibile "
                                "registrare dati nell'archivio.");
        archivio();
        esito(NULLA_REGISTRATO);
        righe << QStringLiteral("Il server o l'archivio sono impostati in sola lettura (per esempio un server di "
                                "riserva): rivolgersi all'amministratore del server.");
        break;
    case TipoErrore::FilePasswordIgnorato:
        righe << QStringLiteral("Attenzione !!! Il file delle password di PostgreSQL %1 è accessibile anche ad "
                                "altri utenti: per sicurezza PostgreSQL lo ignora, e senza la password il server "
                                "non consente l'accesso.")
                     .arg(m_precisazioni.file);
        archivio();
        esito(NON_ESEGUITA);
        righe << QStringLiteral("Renderlo accessibile al solo proprietario (chmod 600 %1).").arg(m_precisazioni.file);
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
