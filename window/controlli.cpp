// Builds the control tree of the window: nesting, texts, fonts, colours,
// initial states, geometry (twips) and keyboard order.
#include "window/anagsost.h"
#include "window/aspetto.h"
#include "window/costruzione.h"
#include "window/modelloelenco.h"
#include "window/textbox.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>

#include <algorithm>

namespace {

using namespace costruzione;

TextBox* creaCampo(QWidget* padre, const QString& nome, int maxLength, int left, int top, int width, int height = 315)
{
    auto* campo = new TextBox(padre);
    campo->setObjectName(nome);
    campo->setMaxLength(maxLength);
    campo->setFont(FONTFISSO());
    campo->setForeColor(NERO);
    campo->setBackColor(BIANCO);
    posiziona(campo, left, top, width, height);
    return campo;
}

void coloraSfondo(QLabel* label, const QColor& colore)
{
    label->setAutoFillBackground(true);
    QPalette tavolozza = label->palette();
    tavolozza.setColor(QPalette::Window, colore);
    label->setPalette(tavolozza);
}

void coloraTesto(QLabel* label, long colore)
{
    QPalette tavolozza = label->palette();
    tavolozza.setColor(QPalette::WindowText, COLOREVB(colore));
    label->setPalette(tavolozza);
}

// Captions that stand left of their fields (the insertion frame): in the
// window's font the longest may need more room than the layout gives it, and
// a caption is never cut. The fields then start after the widest caption
// and end inside the frame; a button beside a field moves with it.
void allineaDidascalie(std::initializer_list<std::pair<QLabel*, QWidget*>> righe, QWidget* bottone, QWidget* accanto)
{
    const int distanza = TWIPS(60);
    int sinistra = 0;
    for (const auto& [label, campo] : righe) {
        sinistra = std::max(
            {sinistra, campo->x(), label->x() + label->fontMetrics().horizontalAdvance(label->text()) + distanza});
    }
    for (const auto& [label, campo] : righe) {
        const int limite = campo->parentWidget()->width() - TWIPS(120);
        label->resize(sinistra - distanza - label->x(), label->height());
        campo->setGeometry(sinistra, campo->y(), std::min(campo->width(), limite - sinistra), campo->height());
    }
    bottone->move(accanto->x() + accanto->width() + TWIPS(30), bottone->y());
}

// A caption names its control for screen readers: the label is its buddy
// and the control's accessible name is the caption's text.
void didascalia(QLabel* label, QWidget* controllo, const QString& descrizione = QString())
{
    label->setBuddy(controllo);
    controllo->setAccessibleName(label->text().trimmed());
    controllo->setAccessibleDescription(descrizione);
}

void catenaTab(std::initializer_list<QWidget*> controlli)
{
    QWidget* precedente = nullptr;
    for (QWidget* controllo : controlli) {
        if (precedente)
            QWidget::setTabOrder(precedente, controllo);
        precedente = controllo;
    }
}

} // namespace

void ANAGSOST::COSTRUISCICONTROLLI()
{
    setObjectName(QStringLiteral("ANAGSOST"));
    setWindowTitle(QStringLiteral("Anagrafiche di ditte da operazioni straordinarie e successioni"));
    // The window's own font: a small sans serif, as the layout's sizes expect.
    QFont base = font();
    base.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    base.setPointSizeF(8);
    setFont(base);

    auto* form = new QWidget(this);
    form->setObjectName(QStringLiteral("form"));
    setCentralWidget(form);

    const QFont fisso = FONTFISSO();
    const QColor azzurro(115, 210, 213);
    const QColor giallino(255, 255, 128);

    // ---- header ----
    Frmtestata = creaFrame(form, QStringLiteral("Frmtestata"));
    posiziona(Frmtestata, 120, 210, 11745, 615);
    Label2[3] = creaLabel(Frmtestata, nomeElemento("Label2", 3), QStringLiteral("Sostituto"), 120, 210, 945, 285);
    LabCOGNODEN = creaLabel(Frmtestata, QStringLiteral("LabCOGNODEN"), QStringLiteral("Ragione Sociale sostituto"),
                            1065, 210, 6705, 285);
    Label5 = creaLabel(Frmtestata, QStringLiteral("Label5"), QStringLiteral("C.F."), 7770, 210, 435, 285);
    LabCF = creaLabel(Frmtestata, QStringLiteral("LabCF"), QStringLiteral("CFS"), 8205, 210, 2295, 285);
    Label8 = creaLabel(Frmtestata, QStringLiteral("Label8"), QStringLiteral("Ditta "), 10500, 210, 525, 285);
    LabAZI = creaLabel(Frmtestata, QStringLiteral("LabAZI"), QStringLiteral("Cod.ditta"), 11025, 210, 585, 285);
    for (QLabel* label : {Label2[3], Label5, Label8})
        coloraSfondo(label, azzurro);
    for (QLabel* label : {LabCOGNODEN, LabCF, LabAZI})
        coloraSfondo(label, giallino);
    LabCOGNODEN->setFont(fisso);
    LabCF->setFont(fisso);

    // ---- selection frame ----
    FrmSelezione = creaFrame(form, QStringLiteral("FrmSelezione"));
    posiziona(FrmSelezione, 120, 900, 11745, 6015);
    Label1[0] = creaLabel(FrmSelezione, nomeElemento("Label1", 0),
                          QStringLiteral(" Selezione Anagrafiche sostituti  (anagrafiche di ditte da operazioni "
                                         "straordinarie e successioni)"),
                          180, 300, 11445, 345);
    QFont grassetto = Label1[0]->font();
    grassetto.setBold(true);
    Label1[0]->setFont(grassetto);
    Label1[4] = creaLabel(FrmSelezione, nomeElemento("Label1", 4),
                          QStringLiteral(" Azienda - Codice fiscale - Denominazione/Nominativo"), 180, 840, 6675, 285);
    Label1[4]->setFont(fisso);
    List1 = new QListView(FrmSelezione);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setModel(new ModelloElenco(STATO.ELENCO, STATO.MOSTRATE, List1));
    List1->setFont(fisso);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setUniformItemSizes(true);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    posiziona(List1, 180, 1140, 6675, 3840);

    Shape1 = new QFrame(FrmSelezione);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    posiziona(Shape1, 6960, 960, 4695, 2220);
    Label1[2] = creaLabel(FrmSelezione, nomeElemento("Label1", 2),
                          QStringLiteral("Doppio  click  del  mouse  su  una anagrafica sostituto esistente per "
                                         "gestirla"),
                          7020, 1020, 4575, 555);
    Label1[1] = creaLabel(FrmSelezione, nomeElemento("Label1", 1),
                          QStringLiteral("Doppio click su 'INSERIMENTO NUOVA ANAGRAFICA SOSTITUTO' per inserirne una "
                                         "nuova."),
                          7050, 1530, 4515, 555);
    Label1[5] = creaLabel(FrmSelezione, nomeElemento("Label1", 5),
                          QStringLiteral("Per modificare un codice fiscale di una anagrafica sostituto, singolo "
                                         "click sulla anagrafica interessata e premere il pulsante relativo"),
                          7050, 1980, 4395, 615);
    Label1[6] = creaLabel(FrmSelezione, nomeElemento("Label1", 6),
                          QStringLiteral("Per cancellare un  sostituto, singolo click sulla anagrafica interessata e "
                                         "premere il pulsante relativo"),
                          7050, 2640, 4425, 435);
    for (int i : {1, 2, 5, 6})
        Label1[i]->setWordWrap(true);

    cmduscita[1] =
        creaBottone(FrmSelezione, nomeElemento("cmduscita", 1), QStringLiteral("Uscita"), 6900, 4380, 1395, 615);
    Cmdcancella = creaBottone(FrmSelezione, QStringLiteral("Cmdcancella"), QStringLiteral("Cancella sostituto"), 8310,
                              4380, 1965, 615);
    CmdCambia =
        creaBottone(FrmSelezione, QStringLiteral("CmdCambia"), QStringLiteral("&Cambia C.F."), 10290, 4380, 1365, 615);

    Frame2 = creaFrame(FrmSelezione, QStringLiteral("Frame2"));
    posiziona(Frame2, 180, 5070, 5985, 825);
    Label3 = creaLabel(Frame2, QStringLiteral("Label3"), QStringLiteral("Tipo ordinamento per"), 120, 150, 2400, 255);
    const char* ordinamenti[] = {"codice azienda", "codice fiscale", "denominazione/nominativo"};
    const int sinistre[] = {120, 1800, 3390};
    const int larghezze[] = {1680, 1560, 2580};
    for (int i = 0; i < 3; ++i) {
        Option1[i] = new QRadioButton(QString::fromLatin1(ordinamenti[i]), Frame2);
        Option1[i]->setObjectName(nomeElemento("Option1", i));
        posiziona(Option1[i], sinistre[i], 450, larghezze[i], 285);
    }

    // ---- search, export and print, right of the ordering frame ----
    LabTrova = creaLabel(FrmSelezione, QStringLiteral("LabTrova"), QStringLiteral("Trova"), 6300, 5160, 600, 285);
    TextTrova = new QLineEdit(FrmSelezione);
    TextTrova->setObjectName(QStringLiteral("TextTrova"));
    TextTrova->setClearButtonEnabled(true);
    TextTrova->setPlaceholderText(QStringLiteral("codice, codice fiscale o nome"));
    posiziona(TextTrova, 6900, 5130, 2925, 315);
    LabConteggio = creaLabel(FrmSelezione, QStringLiteral("LabConteggio"), QString(), 9885, 5160, 1770, 285);
    LabConteggio->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CmdEsporta =
        creaBottone(FrmSelezione, QStringLiteral("CmdEsporta"), QStringLiteral("Esporta..."), 8310, 5520, 1965, 375);
    CmdStampa =
        creaBottone(FrmSelezione, QStringLiteral("CmdStampa"), QStringLiteral("Stampa..."), 10290, 5520, 1365, 375);

    // ---- insertion frame, over the hints ----
    FrmInserimento = creaFrame(FrmSelezione, QStringLiteral("FrmInserimento"));
    posiziona(FrmInserimento, 6900, 750, 4755, 3555);
    Label2[2] = creaLabel(FrmInserimento, nomeElemento("Label2", 2),
                          QStringLiteral("Inserimento nuova Anagrafica sostituto"), 120, 180, 4515, 285);
    Label2[2]->setFont(grassetto);
    Label2[2]->setAlignment(Qt::AlignCenter);
    Label2[0] =
        creaLabel(FrmInserimento, nomeElemento("Label2", 0), QStringLiteral("Codice Azienda"), 120, 630, 1560, 255);
    TEXTAZI = creaCampo(FrmInserimento, QStringLiteral("TEXTAZI"), 3, 1740, 600, 555);
    Label2[1] =
        creaLabel(FrmInserimento, nomeElemento("Label2", 1), QStringLiteral("Codice Fiscale"), 120, 1050, 1560, 255);
    TEXTCF = creaCampo(FrmInserimento, QStringLiteral("TEXTCF"), 16, 1740, 1020, 2295);
    Label2[4] =
        creaLabel(FrmInserimento, nomeElemento("Label2", 4), QStringLiteral("Cognome o Denom."), 120, 1470, 1560, 255);
    TextCOGNO = creaCampo(FrmInserimento, QStringLiteral("TextCOGNO"), 30, 1740, 1440, 2895);
    Label2[5] = creaLabel(FrmInserimento, nomeElemento("Label2", 5), QStringLiteral("Nome"), 120, 1890, 1560, 255);
    TextNOME = creaCampo(FrmInserimento, QStringLiteral("TextNOME"), 20, 1740, 1860, 2295);
    Label2[6] = creaLabel(FrmInserimento, nomeElemento("Label2", 6), QStringLiteral("Cod. Azienda collegata"), 120,
                          2310, 1620, 255);
    TextAZICOL = creaCampo(FrmInserimento, QStringLiteral("TextAZICOL"), 3, 1740, 2280, 555);
    CmdInserimento[0] = creaBottone(FrmInserimento, nomeElemento("CmdInserimento", 0),
                                    QStringLiteral("Conferma inserimento"), 240, 2850, 2175, 495);
    CmdInserimento[1] = creaBottone(FrmInserimento, nomeElemento("CmdInserimento", 1), QStringLiteral("&Annulla"), 2580,
                                    2850, 1935, 495);

    // ---- change-of-codice-fiscale frame, same place ----
    FrameCambiaCf = creaFrame(FrmSelezione, QStringLiteral("FrameCambiaCf"));
    posiziona(FrameCambiaCf, 6900, 750, 4755, 3555);
    Label2[16] = creaLabel(FrameCambiaCf, nomeElemento("Label2", 16),
                           QStringLiteral(" sostituto selezionato per cambio cf"), 120, 210, 4515, 255);
    Label2[7] = creaLabel(FrameCambiaCf, nomeElemento("Label2", 7),
                          QStringLiteral(" sostituto selezionato per cambio cf"), 120, 480, 4515, 255);
    Label2[16]->setFont(fisso);
    Label2[7]->setFont(fisso);
    Label2[14] = creaLabel(FrameCambiaCf, nomeElemento("Label2", 14), QStringLiteral("Cod.fiscale vecchio"), 120, 930,
                           1700, 255);
    Label2[11] =
        creaLabel(FrameCambiaCf, nomeElemento("Label2", 11), QStringLiteral("HHHHHHHHHHHHHHHH"), 1920, 900, 2295, 315);
    Label2[11]->setFont(fisso);
    Label2[11]->setFrameShape(QFrame::Panel);
    Label2[11]->setFrameShadow(QFrame::Sunken);
    Label2[12] =
        creaLabel(FrameCambiaCf, nomeElemento("Label2", 12), QStringLiteral("Cod.fiscale nuovo"), 120, 1350, 1700, 255);
    Text2 = creaCampo(FrameCambiaCf, QStringLiteral("Text2"), 16, 1920, 1320, 2295);
    Text2->setText(QStringLiteral("HHHHHHHHHHHHHHHH"));
    Label2[13] = creaLabel(FrameCambiaCf, nomeElemento("Label2", 13),
                           QStringLiteral("Il programma attribuisce il nuovo codice fiscale al sostituto e ai "
                                          "relativi quadri compilati"),
                           120, 1770, 4515, 495);
    Label2[13]->setWordWrap(true);
    Label2[15] = creaLabel(FrameCambiaCf, nomeElemento("Label2", 15),
                           QStringLiteral("Attendere prego....cambio codice fiscale in corso"), 120, 2310, 4515, 450);
    coloraTesto(Label2[15], ROSSOSCURO);
    Label2[15]->setFont(grassetto);
    // In bold the notice may need two lines: the room down to the buttons holds them.
    Label2[15]->setWordWrap(true);
    Label2[15]->hide();
    CmdConfermaCF =
        creaBottone(FrameCambiaCf, QStringLiteral("CmdConfermaCF"), QStringLiteral("&Conferma"), 480, 2790, 1695, 495);
    CmdAnnullaCF =
        creaBottone(FrameCambiaCf, QStringLiteral("CmdAnnullaCF"), QStringLiteral("&Annulla"), 2580, 2790, 1695, 495);

    // ---- data sheet ----
    Frmmoduli[0] = creaFrame(form, nomeElemento("Frmmoduli", 0));
    posiziona(Frmmoduli[0], 120, 900, 11745, 5800);
    QGroupBox* scheda = Frmmoduli[0];
    Label1[3] = creaLabel(scheda, nomeElemento("Label1", 3),
                          QStringLiteral(" Anagrafiche di ditte da operazioni straordinarie e successioni"), 120, 240,
                          11505, 345);
    Label1[3]->setFont(grassetto);
    Line1 = new QFrame(scheda);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    posiziona(Line1, 120, 645, 11505, 30);

    QFont arialGrassetto(QStringLiteral("Arial"));
    arialGrassetto.setPointSizeF(8.25);
    arialGrassetto.setBold(true);
    testate3[0] =
        creaLabel(scheda, nomeElemento("testate3", 0), QStringLiteral("DATI RELATIVI SOSTITUTO"), 1800, 810, 4500, 255);
    testate3[11] = creaLabel(scheda, nomeElemento("testate3", 11),
                             QStringLiteral("N.B. Se inserito campo 'Nome' vengono richiesti obbligatoriamente 'data "
                                            "di nascita','comune(o stato estero) di nascita,'provincia di nascita "
                                            ",'sesso'"),
                             1800, 3960, 9600, 495);
    testate3[11]->setWordWrap(true);
    for (int i : {0, 11}) {
        testate3[i]->setFont(arialGrassetto);
        coloraTesto(testate3[i], BLU);
    }

    struct Riga {
        const char* didascalia;
        int maxLength, left, top, width;
    };
    const Riga righe[11] = {
        {nullptr, 0, 0, 0, 0},
        {"Cognome o Denominazione", 30, 1800, 1410, 3525},
        {"Nome", 20, 5520, 1410, 2325},
        {"Sesso ( M/F )", 1, 8220, 1410, 345},
        {"Data di nascita", 10, 1800, 2070, 1305},
        {"Comune (o Stato estero) di nascita", 40, 3810, 2070, 4065},
        {"Prov.(sigla)", 2, 8220, 2070, 405},
        {"Comune", 40, 1800, 2730, 4425},
        {"Prov.(sigla)", 2, 6930, 2730, 435},
        {"Via e numero civico", 35, 1800, 3390, 3915},
        {"Codice azienda collegata", 3, 8220, 2730, 735},
    };
    for (int n = 1; n <= 10; ++n) {
        const Riga& r = righe[n];
        const int larghezzaDidascalia = n == 3 || n == 6 || n == 8 || n == 10 ? 2100 : r.width;
        testate3[n] = creaLabel(scheda, nomeElemento("testate3", n), QString::fromLatin1(r.didascalia), r.left,
                                r.top - 255, larghezzaDidascalia, 240);
        coloraTesto(testate3[n], ROSSOSCURO);
        Text1[n] = creaCampo(scheda, nomeElemento("Text1", n), r.maxLength, r.left, r.top, r.width);
    }
    Text1[10]->setEnabled(false);
    // The date of birth: no edit bypasses its mask; a date pasted whole replaces it.
    Text1[4]->setMaschera(TASTIDATAINCOLLATA);

    const QIcon lente = style()->standardIcon(QStyle::SP_FileDialogContentsView);
    const int bottoni[3][2] = {{8655, 2070}, {7395, 2730}, {8985, 2730}};
    for (int i = 0; i < 3; ++i) {
        CMDAPRILIST[i] =
            creaBottone(scheda, nomeElemento("CMDAPRILIST", i), QString(), bottoni[i][0], bottoni[i][1], 315, 315);
        CMDAPRILIST[i]->setIcon(lente);
    }
    CMDAPRILIST[2]->hide();
    CMDAPRILIST[3] = creaBottone(FrmInserimento, nomeElemento("CMDAPRILIST", 3), QString(), 2325, 2280, 315, 315);
    CMDAPRILIST[3]->setIcon(lente);
    allineaDidascalie({{Label2[0], TEXTAZI},
                       {Label2[1], TEXTCF},
                       {Label2[4], TextCOGNO},
                       {Label2[5], TextNOME},
                       {Label2[6], TextAZICOL}},
                      CMDAPRILIST[3], TextAZICOL);

    // ---- button bar ----
    Frmbottoni = creaFrame(form, QStringLiteral("Frmbottoni"));
    posiziona(Frmbottoni, 120, 6650, 11745, 915);
    cmdparcprec = creaBottone(Frmbottoni, QStringLiteral("cmdparcprec"), QStringLiteral("Anagrafica precedente"), 120,
                              210, 2300, 585);
    cmdparcsuc = creaBottone(Frmbottoni, QStringLiteral("cmdparcsuc"), QStringLiteral("Anagrafica successiva"), 2400,
                             210, 2300, 585);
    cmdselprec =
        creaBottone(Frmbottoni, QStringLiteral("cmdselprec"), QStringLiteral("Altra anagrafica"), 4710, 210, 2300, 585);
    cmduscita[0] =
        creaBottone(Frmbottoni, nomeElemento("cmduscita", 0), QStringLiteral("Uscita"), 7020, 210, 2300, 585);
    cmdmemorizza =
        creaBottone(Frmbottoni, QStringLiteral("cmdmemorizza"), QStringLiteral("Memorizza"), 9330, 210, 2300, 585);

    // ---- lookup frame, over everything ----
    Framecodif = creaFrame(form, QStringLiteral("Framecodif"));
    LabTabmin =
        creaLabel(Framecodif, QStringLiteral("LabTabmin"), QStringLiteral("descrizione tabella"), 50, 240, 4055, 285);
    LabTabmin->setFont(fisso);
    ListTabmin = new QListWidget(Framecodif);
    ListTabmin->setObjectName(QStringLiteral("ListTabmin"));
    ListTabmin->setFont(fisso);
    ListTabmin->setSelectionMode(QAbstractItemView::SingleSelection);
    ListTabmin->setUniformItemSizes(true);
    Framecodif->hide();
    Framecodif->raise();

    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    LabAttesa = new QLabel(QStringLiteral("Attendere prego....in attesa dell'archivio"), StatusBar1);
    LabAttesa->setObjectName(QStringLiteral("LabAttesa"));
    StatusBar1->addPermanentWidget(LabAttesa);
    LabAttesa->hide();

    // Names for screen readers: each control by its caption (a button by its
    // text, which needs nothing more).
    didascalia(Label1[4], List1);
    didascalia(Label2[0], TEXTAZI);
    didascalia(Label2[1], TEXTCF);
    didascalia(Label2[4], TextCOGNO);
    didascalia(Label2[5], TextNOME);
    didascalia(Label2[6], TextAZICOL);
    didascalia(Label2[12], Text2);
    didascalia(LabTrova, TextTrova, QStringLiteral("Codice azienda, codice fiscale o nome del sostituto"));
    LabConteggio->setAccessibleDescription(QStringLiteral("Anagrafiche mostrate e anagrafiche in archivio"));
    const char* descrizioni[11] = {};
    descrizioni[6] = "Provincia di nascita";
    descrizioni[7] = "Comune di residenza o domicilio fiscale";
    descrizioni[8] = "Provincia di residenza o domicilio fiscale";
    for (int n = 1; n <= 10; ++n)
        didascalia(testate3[n], Text1[n], QString::fromLatin1(descrizioni[n]));
    // The lookup list is named by its heading, which each opening sets.
    didascalia(LabTabmin, ListTabmin);
    CMDAPRILIST[0]->setAccessibleName(QStringLiteral("Tabella province, provincia di nascita"));
    CMDAPRILIST[1]->setAccessibleName(QStringLiteral("Tabella province, provincia di residenza"));
    for (int i : {2, 3})
        CMDAPRILIST[i]->setAccessibleName(QStringLiteral("Aziende, codice azienda collegata"));

    // Keyboard order.
    catenaTab({TextTrova, List1, cmduscita[1], Cmdcancella, CmdCambia, Option1[0], Option1[1], Option1[2], CmdEsporta,
               CmdStampa});
    catenaTab({TEXTAZI, TEXTCF, TextCOGNO, TextNOME, TextAZICOL, CMDAPRILIST[3], CmdInserimento[1], CmdInserimento[0]});
    catenaTab({Text2, CmdConfermaCF, CmdAnnullaCF});
    catenaTab({Text1[1], Text1[2], Text1[3], Text1[4], Text1[5], Text1[6], CMDAPRILIST[0], Text1[7], Text1[8],
               CMDAPRILIST[1], Text1[10], CMDAPRILIST[2], Text1[9]});
    catenaTab({cmdparcprec, cmdparcsuc, cmdselprec, cmduscita[0], cmdmemorizza});
}
