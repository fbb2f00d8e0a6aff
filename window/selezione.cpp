// Selection list: filling, ordering, single and double click.
#include "window/selezione.h"

#include "registry/carica.h"
#include "registry/mostrati.h"
#include "window/anagsost.h"
#include "window/aspetto.h"
#include "window/textbox.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

void ANAGSOST::COLLEGASELEZIONE()
{
    // A pick by mouse or by the arrow keys counts as a single click; the list
    // being emptied for a rebuild does not.
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] {
        if (!List1->selectedItems().isEmpty())
            protetto([this] { List1_Click(); });
    });
    // A click on the line already picked changes no selection, and is a
    // single click all the same (it closes the insertion frame).
    connect(List1, &QListWidget::itemClicked, this, [this] { protetto([this] { List1_Click(); }); });
    connect(List1, &QListWidget::itemDoubleClicked, this, [this] { protetto([this] { List1_DblClick(); }); });
    for (int i = 0; i < 3; ++i) {
        connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool selezionato) {
            if (selezionato)
                protetto([this, i] { Option1_Click(i); });
        });
    }
}

QString ANAGSOST::testoSelezionato() const
{
    const QList<QListWidgetItem*> selezionati = List1->selectedItems();
    return selezionati.isEmpty() ? QString() : selezionati.first()->text();
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
    STATO.ELENCO = registro::leggiElencoFiltrato(*M.DBANNO, ORDINESCELTO());
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
    const bool sostituto = List1->currentRow() != 0;
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
