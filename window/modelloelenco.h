#pragma once
// The lines List1 shows, as a model over the rows the list keeps for the
// search: the insertion entry first, then the line of each row shown, made
// when the view asks for it. No item is made per line, so that filling or
// emptying a list of a hundred thousand substitutes costs next to nothing.
#include "registry/filtro.h"

#include <QAbstractListModel>
#include <vector>

class ModelloElenco final : public QAbstractListModel {
public:
    // `elenco`: the rows as read; `mostrate`: the positions among them of
    // the rows shown, in the list's order. Both outlive the model.
    ModelloElenco(const registro::ElencoFiltrato& elenco, const std::vector<qsizetype>& mostrate, QObject* parent);

    int rowCount(const QModelIndex& genitore = QModelIndex()) const override;
    QVariant data(const QModelIndex& indice, int ruolo = Qt::DisplayRole) const override;

    // The rows or those shown change between the two: the view forgets its
    // lines, its pick included, and asks again for those it shows.
    void inizioCambio() { beginResetModel(); }
    void fineCambio() { endResetModel(); }

private:
    const registro::ElencoFiltrato& m_elenco;
    const std::vector<qsizetype>& m_mostrate;
};
