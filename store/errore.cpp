#include "store/errore.h"

namespace store {

ErroreArchivio::ErroreArchivio(TipoErrore tipo, QString dettaglio)
    : m_tipo(tipo), m_dettaglio(std::move(dettaglio)), m_what(m_dettaglio.toStdString())
{
}

QString ErroreArchivio::messaggio() const
{
    return m_dettaglio;
}

} // namespace store
