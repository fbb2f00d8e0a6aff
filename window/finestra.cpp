// Frames and modes of the window, the header, the way back to the selection
// and the exit, with the question about unsaved changes.
#include "window/anagsost.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "window/aspetto.h"

void ANAGSOST::COLLEGAFINESTRA()
{
    connect(cmdselprec, &QPushButton::clicked, this, [this] { protetto([this] { cmdselprec_Click(); }); });
    for (int i = 0; i < 2; ++i)
        connect(cmduscita[i], &QPushButton::clicked, this, [this, i] { protetto([this, i] { cmduscita_Click(i); }); });

    // Focus arriving on a command button, or a click on the data sheet, closes
    // the lookup list.
    for (QWidget* bottone : {static_cast<QWidget*>(cmdselprec), static_cast<QWidget*>(cmduscita[0]),
                             static_cast<QWidget*>(cmduscita[1]), static_cast<QWidget*>(cmdmemorizza),
                             static_cast<QWidget*>(cmdparcprec), static_cast<QWidget*>(cmdparcsuc),
                             static_cast<QWidget*>(CmdInserimento[0]), static_cast<QWidget*>(CmdInserimento[1])})
        bottone->installEventFilter(this);
    Frmmoduli[0]->installEventFilter(this);
    FrmInserimento->installEventFilter(this);
}

bool ANAGSOST::eventFilter(QObject* oggetto, QEvent* evento)
{
    const bool focusBottone =
        evento->type() == QEvent::FocusIn && oggetto != Frmmoduli[0] && oggetto != FrmInserimento;
    const bool clickScheda = evento->type() == QEvent::MouseButtonPress && oggetto == Frmmoduli[0];
    // The list of companies opened from the insertion frame goes with it,
    // however the frame is closed (a click on the selection list among others).
    const bool chiusoInserimento = oggetto == FrmInserimento && evento->type() == QEvent::Hide && STATO.TABELLAAPERTA == 3;
    if (focusBottone || clickScheda || chiusoInserimento)
        Framecodif->hide();
    return QMainWindow::eventFilter(oggetto, evento);
}

void ANAGSOST::IMPOSTAFRAME()
{
    auto imposta = [](QGroupBox* frame, bool visibile, int height, int left, int top, int width) {
        frame->setTitle(QString());
        frame->setVisible(visibile);
        frame->setGeometry(TWIPS(left), TWIPS(top), TWIPS(width), TWIPS(height));
    };
    imposta(Frmmoduli[0], false, 5800, 120, 900, 11745);
    imposta(Frmbottoni, false, 915, 120, 6650, 11745);
    imposta(FrmSelezione, true, 6015, 120, 900, 11745);
    imposta(Frmtestata, false, 615, 120, 210, 11745);
    imposta(FrmInserimento, false, 3555, 6900, 750, 4755);
    imposta(FrameCambiaCf, false, 3555, 6900, 750, 4755);
    Label2[15]->hide();
}

void ANAGSOST::IMPOSTATESTATA()
{
    const registro::Sostituto& s = STATO.CARICATO->sostituto;
    STATO.CODAZISOST = s.codazi;
    STATO.CFSSOST = s.cfs;
    LabCF->setText(QStringLiteral(" ") + STATO.CFSSOST);
    LabCOGNODEN->setText(QStringLiteral(" ") + s.cognome + QStringLiteral(" ") + s.nome);
    LabAZI->setText(QStringLiteral(" ") + STATO.CODAZISOST);
    LabCOGNODEN->repaint();
    LabCF->repaint();
    LabAZI->repaint();
}

void ANAGSOST::RITORNASELEZDIC()
{
    // A new substitute left unsaved is given up: the moves work again for
    // the next substitute opened.
    M.NUOVOSOSTITUTO = 0;
    cmdparcprec->setEnabled(true);
    cmdparcsuc->setEnabled(true);
    LISTASOSTITUTI();
    Frmmoduli[0]->hide();
    Frmbottoni->hide();
    Frmtestata->hide();
    FrmInserimento->hide();
    FrmSelezione->show();
    List1->setFocus();
}

bool ANAGSOST::LASCIASCHEDA()
{
    if (M.VARIAZIONI != 1)
        return true;
    switch (MESSAGGIOVARIAZ()) {
    case vbCancel:
        return false;
    case vbNo:
        M.ERRORECAMPI = 0;
        M.VARIAZIONI = 0;
        return true;
    case vbYes:
        // A save refused by the checks keeps the sheet, its values and the error.
        return M.ERRORECAMPI != 1;
    default:
        return false;
    }
}

void ANAGSOST::cmdselprec_Click()
{
    if (!LASCIASCHEDA())
        return;
    // A sheet opened from the findings of the check goes back to them.
    if (STATO.DAVERIFICA)
        RITORNAVERIFICA();
    else
        RITORNASELEZDIC();
}

void ANAGSOST::cmduscita_Click(int Index)
{
    if (Index == 1)
        M.VARIAZIONI = 0;
    if (!LASCIASCHEDA())
        return;
    Form_Unload();
}
