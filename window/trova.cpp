// Finding a substitute as the operator types: the search field over the
// selection list, its count, Ctrl+F and Esc.
#include "window/anagsost.h"
#include "window/guardie.h"
#include "window/msgbox.h"
#include "window/selezione.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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
        if (List1->count() > 1)
            List1->setCurrentRow(1);
    });
    new StessoStato(List1, TextTrova);
    // Like the other buttons, they close the lookup list when they take the focus.
    for (QWidget* controllo : {static_cast<QWidget*>(TextTrova), static_cast<QWidget*>(CmdEsporta),
                               static_cast<QWidget*>(CmdStampa)})
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
    const int corrente = List1->currentRow();
    if (mantieniScelta && corrente >= 0 && List1->item(corrente)->isSelected())
        scelta = corrente == 0 ? -1 : STATO.MOSTRATE[std::size_t(corrente - 1)];

    STATO.MOSTRATE = STATO.ELENCO.trova(TextTrova->text());

    // One model update for the lines found (the whole list as it was read,
    // when every row is shown), the first line put before them; the picked
    // line comes back without counting as a click.
    const QSignalBlocker blocco(List1);
    List1->clear();
    if (qsizetype(STATO.MOSTRATE.size()) == STATO.ELENCO.righe()) {
        List1->addItems(STATO.ELENCO.voci());
    } else {
        QStringList righe;
        righe.reserve(qsizetype(STATO.MOSTRATE.size()));
        for (const qsizetype i : STATO.MOSTRATE)
            righe.append(STATO.ELENCO.voce(i));
        List1->addItems(righe);
    }
    List1->insertItem(0, PRIMARIGA);
    List1->setCurrentRow(-1, QItemSelectionModel::Clear);
    if (scelta) {
        const auto dove = std::lower_bound(STATO.MOSTRATE.begin(), STATO.MOSTRATE.end(), *scelta);
        if (*scelta == -1)
            List1->setCurrentRow(0);
        else if (dove != STATO.MOSTRATE.end() && *dove == *scelta)
            List1->setCurrentRow(int(dove - STATO.MOSTRATE.begin()) + 1);
        if (List1->currentItem())
            List1->scrollToItem(List1->currentItem());
    }
    LabConteggio->setText(QStringLiteral("%1 di %2").arg(STATO.MOSTRATE.size()).arg(STATO.ELENCO.righe()));
}

std::vector<registro::ChiaveSostituto> ANAGSOST::CHIAVIMOSTRATE(const QString& operazione) const
{
    if (STATO.MOSTRATE.empty())
        MsgBox(QStringLiteral("Nessuna anagrafica sostituto da ") + operazione, vbInformation, Caption());
    return STATO.ELENCO.chiavi(STATO.MOSTRATE);
}
