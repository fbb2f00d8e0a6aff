// Finding a substitute as the operator types: the search field over the
// selection list, its count, Ctrl+F and Esc.
#include "window/anagsost.h"
#include "window/guardie.h"
#include "window/modelloelenco.h"
#include "window/msgbox.h"
#include "window/selezione.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>

void ANAGSOST::COLLEGATROVA()
{
    connect(TextTrova, &QLineEdit::textChanged, this, [this] { protetto([this] { TextTrova_Change(); }); });
    // Ctrl+F reaches the field wherever the focus is, in the selection mode:
    // a shortcut of a hidden or disabled field does not fire.
    auto* trova = new QShortcut(QKeySequence::Find, TextTrova);
    connect(trova, &QShortcut::activated, this, [this] {
        TextTrova->setFocus(Qt::ShortcutFocusReason);
        TextTrova->selectAll();
    });
    auto* svuota = new QShortcut(QKeySequence(Qt::Key_Escape), TextTrova, nullptr, nullptr, Qt::WidgetShortcut);
    connect(svuota, &QShortcut::activated, TextTrova, &QLineEdit::clear);
    // Down goes on to the lines found, the first of them picked (a single click, as the arrow keys in the list).
    auto* scendi = new QShortcut(QKeySequence(Qt::Key_Down), TextTrova, nullptr, nullptr, Qt::WidgetShortcut);
    connect(scendi, &QShortcut::activated, this, [this] {
        List1->setFocus(Qt::ShortcutFocusReason);
        if (List1->model()->rowCount() > 1)
            List1->setCurrentIndex(List1->model()->index(1, 0));
    });
    new StessoStato(List1, TextTrova);
    // Like the other buttons, they close the lookup list when they take the focus.
    for (QWidget* controllo :
         {static_cast<QWidget*>(TextTrova), static_cast<QWidget*>(CmdEsporta), static_cast<QWidget*>(CmdStampa)})
        controllo->installEventFilter(this);
}

void ANAGSOST::TextTrova_Change()
{
    MOSTRAELENCO(true);
}

void ANAGSOST::MOSTRAELENCO(bool mantieniScelta)
{
    // The row picked, as a position among the rows read (-1 the first line).
    std::optional<qsizetype> scelta;
    const QModelIndex corrente = List1->currentIndex();
    if (mantieniScelta && corrente.isValid() && List1->selectionModel()->isSelected(corrente))
        scelta = corrente.row() == 0 ? -1 : STATO.MOSTRATE[std::size_t(corrente.row() - 1)];

    // The view forgets its lines and its pick, and asks again for the few it shows.
    auto* modello = static_cast<ModelloElenco*>(List1->model());
    modello->inizioCambio();
    STATO.MOSTRATE = STATO.ELENCO.trova(TextTrova->text());
    modello->fineCambio();

    // The picked line comes back without counting as a click.
    if (scelta) {
        const auto dove = std::lower_bound(STATO.MOSTRATE.begin(), STATO.MOSTRATE.end(), *scelta);
        int riga = -1;
        if (*scelta == -1)
            riga = 0;
        else if (dove != STATO.MOSTRATE.end() && *dove == *scelta)
            riga = int(dove - STATO.MOSTRATE.begin()) + 1;
        if (riga >= 0) {
            const QModelIndex indice = modello->index(riga, 0);
            {
                const QSignalBlocker blocco(List1->selectionModel());
                List1->selectionModel()->setCurrentIndex(indice, QItemSelectionModel::ClearAndSelect);
            }
            List1->scrollTo(indice);
            List1->viewport()->update();
        }
    }
    LabConteggio->setText(QStringLiteral("%1 di %2").arg(STATO.MOSTRATE.size()).arg(STATO.ELENCO.righe()));
}

std::vector<registro::ChiaveSostituto> ANAGSOST::CHIAVIMOSTRATE(const QString& operazione) const
{
    if (STATO.MOSTRATE.empty())
        MsgBox(QStringLiteral("Nessuna anagrafica sostituto da ") + operazione, vbInformation, Caption());
    return STATO.ELENCO.chiavi(STATO.MOSTRATE);
}
