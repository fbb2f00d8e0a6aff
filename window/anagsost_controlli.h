#pragma once
// Control tree of the Substitute registry window. Every control's objectName
// is its name here; an element of a control array is named with its index in
// parentheses ("Text1(4)", "cmduscita(0)").
#include <array>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTreeWidget;
class QWidget;
class TextBox;

struct ANAGSOST_CONTROLLI {
    // Lookup frame, laid over either mode.
    QGroupBox* Framecodif = nullptr;
    QLabel* LabTabmin = nullptr;
    QListWidget* ListTabmin = nullptr;

    // Header.
    QGroupBox* Frmtestata = nullptr;
    QLabel* LabCOGNODEN = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* LabCF = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* LabAZI = nullptr;

    // Selection frame.
    QGroupBox* FrmSelezione = nullptr;
    std::array<QLabel*, 7> Label1{};   // 0..6 (3 belongs to the data sheet)
    QListView* List1 = nullptr;
    QFrame* Shape1 = nullptr;
    std::array<QPushButton*, 2> cmduscita{}; // 0 button bar, 1 selection frame
    QPushButton* Cmdcancella = nullptr;
    QPushButton* CmdCambia = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* Label3 = nullptr;
    std::array<QRadioButton*, 3> Option1{};
    // Beyond the original window, in the selection frame's free space right
    // of the ordering frame: the search field with its caption and the
    // count of the lines shown, the export and the print of the list.
    QLabel* LabTrova = nullptr;
    QLineEdit* TextTrova = nullptr;
    QLabel* LabConteggio = nullptr;
    QPushButton* CmdEsporta = nullptr;
    QPushButton* CmdStampa = nullptr;
    // The check of the whole archive: its button beside the export and the
    // print, and the frame of its findings, in the selection frame's place.
    QPushButton* CmdVerifica = nullptr;
    QGroupBox* FrmVerifica = nullptr;
    QLabel* LabVerifica = nullptr;
    QTreeWidget* ListVerifica = nullptr;
    QLabel* LabRiepilogoVerifica = nullptr; // the count of each kind
    QLabel* LabIstruzioniVerifica = nullptr;
    QPushButton* CmdChiudiVerifica = nullptr;
    QPushButton* CmdEsportaVerifica = nullptr;
    QPushButton* CmdStampaVerifica = nullptr;

    // Beyond the original window: when the list was last brought up to date
    // after another workstation's change, below the hints.
    QLabel* LabAggiornato = nullptr;

    // Insertion frame (inside the selection frame).
    QGroupBox* FrmInserimento = nullptr;
    TextBox* TEXTAZI = nullptr;
    TextBox* TEXTCF = nullptr;
    TextBox* TextCOGNO = nullptr;
    TextBox* TextNOME = nullptr;
    TextBox* TextAZICOL = nullptr;
    std::array<QPushButton*, 2> CmdInserimento{}; // 0 confirm, 1 cancel

    // Change-of-codice-fiscale frame (inside the selection frame).
    QGroupBox* FrameCambiaCf = nullptr;
    TextBox* Text2 = nullptr;
    QPushButton* CmdConfermaCF = nullptr;
    QPushButton* CmdAnnullaCF = nullptr;

    // Labels of the header (3), insertion (0-2, 4-6) and change frames (7, 11-16).
    std::array<QLabel*, 17> Label2{};

    // Data sheet.
    std::array<QGroupBox*, 1> Frmmoduli{};
    std::array<QLabel*, 12> testate3{}; // 0 heading, 1..10 field captions, 11 note
    std::array<TextBox*, 11> Text1{};   // 1..10
    std::array<QPushButton*, 4> CMDAPRILIST{}; // 0-2 data sheet, 3 insertion frame
    QFrame* Line1 = nullptr;
    // What the codice fiscale says, below the note: its line, the line of the
    // fields that disagree, and the frame drawn around each of them (1..6).
    QLabel* LabDalCodice = nullptr;
    QLabel* LabDiscordanze = nullptr;
    std::array<QFrame*, 7> CorniceCF{};
    // What another workstation did meanwhile to the substitute shown.
    QLabel* LabAvvisoScheda = nullptr;

    // Button bar.
    QGroupBox* Frmbottoni = nullptr;
    QPushButton* cmdparcprec = nullptr;
    QPushButton* cmdparcsuc = nullptr;
    QPushButton* cmdselprec = nullptr;
    QPushButton* cmdmemorizza = nullptr;

    QStatusBar* StatusBar1 = nullptr;
    // Beyond the original window, at the right of the status bar: the line
    // that says the archive is keeping the window waiting (window/attesa.h).
    QLabel* LabAttesa = nullptr;
};
