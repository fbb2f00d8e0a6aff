#include "registry/tabella.h"

namespace registro {

Cella Cella::diTesto(QString testo)
{
    Cella c;
    c.m_testo = std::move(testo);
    return c;
}

Cella Cella::diGiorno(const QDate& giorno)
{
    Cella c;
    c.m_giorno = giorno;
    return c;
}

QString Cella::testo() const
{
    return m_giorno.isValid() ? m_giorno.toString(QStringLiteral("dd/MM/yyyy")) : m_testo;
}

} // namespace registro
