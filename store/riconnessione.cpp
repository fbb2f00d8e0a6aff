#include "store/riconnessione.h"

#include "store/libpq.h"
#include "store/server_postgresql.h"

namespace store::interno {

ErroreArchivio connessionePersa(const Luogo& luogo)
{
    return ErroreArchivio(TipoErrore::ConnessionePersa, QStringLiteral("connessione interrotta"), luogo.descrizione());
}

ErroreArchivio guastoSuServer(const QSqlDatabase& db, const Luogo& luogo, const ErroreArchivio& classificato,
                              bool inConferma, bool& interrotta)
{
    TipoErrore tipo = classificato.tipo();
    Precisazioni precisazioni = classificato.precisazioni();
    if (tipo == TipoErrore::ConnessionePersa || connessioneInterrotta(db)) {
        interrotta = true;
        // A COMMIT sent may have been carried out before the connection went.
        tipo = inConferma ? TipoErrore::ConfermaIncerta : TipoErrore::ConnessionePersa;
    } else if (tipo == TipoErrore::PermessoNegato) {
        // Asked only now, and on a connection of its own: the session may be
        // inside a transaction the failure spoilt.
        precisazioni.utente = utenteConnessione(db);
        precisazioni.proprietario = proprietarioTabella(luogo, precisazioni.tabella);
    }
    // The engine's message about an object (a missing table, a duplicate
    // key) is what the operator reads; any other names the archive.
    const bool perOggetto = tipo == TipoErrore::OggettoMancante || tipo == TipoErrore::Altro ||
                            tipo == TipoErrore::Conflitto || tipo == TipoErrore::NessunRecord;
    const QString oggetto =
        perOggetto || !classificato.oggetto().isEmpty() ? classificato.oggetto() : luogo.descrizione();
    return ErroreArchivio(tipo, classificato.dettaglio(), oggetto, precisazioni);
}

} // namespace store::interno
