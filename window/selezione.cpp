// Selection list: filling, ordering, single and double click.
#include "window/selezione.h"

#include "registry/carica.h"
#include "registry/mostrati.h"
#include "window/anagsost.h"
#include "window/aspetto.h"
#include "window/modelloelenco.h"
#include "window/textbox.h"

#include <QGroupBox>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

void ANAGSOST::COLLEGASELEZIONE()
{
    // A pick by mouse or by the arrow keys counts as a single click; the list
    // being emptied for a rebuild does not.
    connect(List1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (List1->selectionModel()->hasSelection())
            protetto([this] { List1_Click(); });
    });
    // A click on the line already picked changes no selection, and is a
    // single click all the same (it closes the insertion frame).
    connect(List1, &QListView::clicked, this, [this] { protetto([this] { List1_Click(); }); });
    connect(List1, &QListView::doubleClicked, this, [this] { protetto([this] { List1_DblClick(); }); });
    // Return or Enter on a picked line does what a double click does, so that
    // the search can be finished from the keyboard; with no line picked, nothing.
    for (const Qt::Key tasto : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* apri = new QShortcut(QKeySequence(tasto), List1, nullptr, nullptr, Qt::WidgetShortcut);
        connect(apri, &QShortcut::activated, this, [this] {
            if (!testoSelezionato().isEmpty())
                protetto([this] { List1_DblClick(); });
        });
    }
    for (int i = 0; i < 3; ++i) {
        connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool selezionato) {
            if (selezionato)
                protetto([this, i] { Option1_Click(i); });
        });
    }
}

QString ANAGSOST::testoSelezionato() const
{
    const QModelIndexList selezionate = List1->selectionModel()->selectedRows();
    return selezionate.isEmpty() ? QString() : selezionate.first().data().toString();
}

registro::Ordine ANAGSOST::ORDINESCELTO() const
{
    // The order of the first selected button (the three tests are independent).
    registro::Ordine ordine = registro::Ordine::CodiceAzienda;
    const registro::Ordine ordini[3] = {registro::Ordine::CodiceAzienda, registro::Ordine::CodiceFiscale,
                                        registro::Ordine::Nominativo};
    for (int i = 2; i >= 0; --i) {
        if (Option1[i]->isChecked())
            ordine = ordini[i];
    }
    return ordine;
}

void ANAGSOST::LISTASOSTITUTI()
{
    // The rows are read in full before the list changes: a read that fails
    // leaves the list as it was, insertion entry included. They are kept for
    // the search, whose text stays applied across rebuilds.
    const registro::Ordine ordine = ORDINESCELTO();
    auto* modello = static_cast<ModelloElenco*>(List1->model());
    const auto sostituisci = [&](registro::ElencoFiltrato nuovo) {
        modello->inizioCambio();
        STATO.ELENCO = std::move(nuovo);
        STATO.MOSTRATE.clear();
        modello->fineCambio();
    };
    registro::ElencoFiltrato elenco;
    bool letto = false;
    registro::leggiElenco(*M.DBANNO, ordine, [&](const registro::RigaElenco& r) {
        // Sorted by name, the rows come once all of them are read: the list
        // as it was can go then, before the new one is made beside the rows.
        if (ordine == registro::Ordine::Nominativo && !letto)
            sostituisci({});
        letto = true;
        elenco.aggiungi(r, registro::lineaElenco(r));
    });
    sostituisci(std::move(elenco));
    MOSTRAELENCO(false);
}

void ANAGSOST::Option1_Click(int)
{
    if (STATO.FORMCARICATO == 1)
        LISTASOSTITUTI();
}

void ANAGSOST::List1_Click()
{
    FrmInserimento->hide();
    const bool sostituto = List1->currentIndex().row() != 0;
    Cmdcancella->setEnabled(sostituto);
    CmdCambia->setEnabled(sostituto);
}

void ANAGSOST::List1_DblClick()
{
    if (FrmInserimento->isVisible())
        FrmInserimento->hide();
    const QString riga = testoSelezionato();
    if (riga.trimmed().isEmpty())
        return;

    if (riga == PRIMARIGA) {
        for (TextBox* campo : {TEXTCF, TEXTAZI, TextCOGNO, TextNOME, TextAZICOL}) {
            campo->setForeColor(NERO);
            campo->setBackColor(BIANCO);
        }
        for (TextBox* campo : {TEXTAZI, TEXTCF, TextCOGNO, TextNOME, TextAZICOL})
            campo->setText(QString());
        FrmInserimento->show();
        TEXTAZI->setFocus();
        PULISCICAMPI();
        return;
    }

    STATO.CODAZISOST = riga.mid(0, 3);
    STATO.CFSSOST = riga.mid(4, 16);
    APRISCHEDA();
}

bool ANAGSOST::APRISCHEDA()
{
    const std::optional<registro::Caricato> caricato =
        registro::carica(*M.TABANAGSOST, STATO.CODAZISOST, STATO.CFSSOST);
    if (!caricato)
        return false;
    MOSTRACARICATO(*caricato);
    FrmSelezione->hide();
    Frmmoduli[0]->show();
    Frmbottoni->show();
    Frmtestata->show();
    Text1[1]->setFocus();
    return true;
}
