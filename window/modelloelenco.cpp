#include "window/modelloelenco.h"

#include "window/selezione.h"

ModelloElenco::ModelloElenco(const registro::ElencoFiltrato& elenco, const std::vector<qsizetype>& mostrate,
                             QObject* parent)
    : QAbstractListModel(parent), m_elenco(elenco), m_mostrate(mostrate)
{
}

int ModelloElenco::rowCount(const QModelIndex& genitore) const
{
    return genitore.isValid() ? 0 : int(m_mostrate.size()) + 1;
}

QVariant ModelloElenco::data(const QModelIndex& indice, int ruolo) const
{
    if (ruolo != Qt::DisplayRole || !indice.isValid() || indice.row() > int(m_mostrate.size()))
        return {};
    if (indice.row() == 0)
        return PRIMARIGA;
    return m_elenco.voce(m_mostrate[std::size_t(indice.row() - 1)]);
}
