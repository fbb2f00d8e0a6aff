// Registration of a new substitute: the fields of the insertion frame and the
// confirmation, which checks the codes against the front pages and the
// registered substitutes and hands the new substitute over to the data sheet.
// Nothing is written here: the row is added by the first save of the sheet.
#include "window/anagsost.h"
#include "window/aspetto.h"
#include "window/guardie.h"
#include "window/msgbox.h"
#include "window/textbox.h"

#include "checks/maiuscolo.h"
#include "checks/tasti.h"
#include "store/chiavi.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <map>

namespace {

void evidenzia(TextBox* campo)
{
    campo->setForeColor(NERO);
    campo->setBackColor(GIALLO);
}

} // namespace

void ANAGSOST::COLLEGAINSERIMENTO()
{
    for (TextBox* campo : {TEXTAZI, TEXTCF, TextCOGNO, TextNOME, TextAZICOL}) {
        connect(campo, &TextBox::GotFocus, this, [this, campo] { CAMPOINSERIMENTO_GotFocus(campo); });
        connect(campo, &TextBox::Change, this, [this, campo] { CAMPOINSERIMENTO_Change(campo); });
        connect(campo, &TextBox::LostFocus, this, [this, campo] { CAMPOINSERIMENTO_LostFocus(campo); });
        connect(campo, &TextBox::KeyPress, this,
                [this, campo](int& KeyAscii) { CAMPOINSERIMENTO_KeyPress(campo, KeyAscii); });
    }
    for (int i = 0; i < 2; ++i) {
        connect(CmdInserimento[i], &QPushButton::clicked, this,
                [this, i] { protetto([this, i] { CmdInserimento_Click(i); }); });
    }
}

void ANAGSOST::CAMPOINSERIMENTO_GotFocus(TextBox* campo)
{
    campo->setSelStart(campo->maxLength());
    Framecodif->hide();
}

void ANAGSOST::CAMPOINSERIMENTO_Change(TextBox* campo)
{
    campo->setForeColor(NERO);
    campo->setBackColor(BIANCO);
}

void ANAGSOST::CAMPOINSERIMENTO_LostFocus(TextBox* campo)
{
    // The two company codes are shown in the key form every lookup uses.
    if (campo == TEXTAZI || campo == TextAZICOL)
        campo->setText(store::CHIAVEAZI(campo->text()));
}

void ANAGSOST::CAMPOINSERIMENTO_KeyPress(TextBox* campo, int& KeyAscii)
{
    if (campo == TEXTAZI || campo == TextAZICOL) {
        CAMPOTESTO stato = campo->stato();
        KeyAscii = DIGITANUMERO(stato, KeyAscii, 0, 0, 3, 0);
        campo->applica(stato);
    } else {
        KeyAscii = MAIUSCOLO(KeyAscii);
    }
}

void ANAGSOST::CmdInserimento_Click(int Index)
{
    if (Index == 1) {
        FrmInserimento->hide();
        return;
    }
    if (Index == 0 && CONFERMAINSERIMENTO())
        PASSAASCHEDANUOVO();
}

TextBox* ANAGSOST::CAMPOINSERIMENTO(registro::CampoNuovo campo) const
{
    switch (campo) {
    case registro::CampoNuovo::Azienda:
        return TEXTAZI;
    case registro::CampoNuovo::CodiceFiscale:
        return TEXTCF;
    case registro::CampoNuovo::Cognome:
        return TextCOGNO;
    case registro::CampoNuovo::Nome:
        return TextNOME;
    case registro::CampoNuovo::Collegata:
        return TextAZICOL;
    case registro::CampoNuovo::Nessuno:
        break;
    }
    return nullptr;
}

bool ANAGSOST::CONFERMAINSERIMENTO()
{
    const registro::NuovoSostituto nuovo{TEXTAZI->text(), TEXTCF->text(), TextCOGNO->text(), TextNOME->text(),
                                         TextAZICOL->text()};
    const registro::EsitoInserimento esito = registro::controllaInserimento(
        ARCHIVIO(), nuovo, [this](const QString& testo, int stile) { return MsgBox(testo, stile, Caption()); });
    TextBox* campo = CAMPOINSERIMENTO(esito.campo);
    using Tipo = registro::EsitoInserimento::Tipo;
    switch (esito.tipo) {
    case Tipo::Accettato:
        return true;
    case Tipo::CodiceRifiutato:
        break;
    case Tipo::Mancante: {
        // Named by the caption of its label as it reads now.
        const std::map<registro::CampoNuovo, QLabel*> etichette{{registro::CampoNuovo::Azienda, Label2[0]},
                                                                 {registro::CampoNuovo::CodiceFiscale, Label2[1]},
                                                                 {registro::CampoNuovo::Cognome, Label2[4]},
                                                                 {registro::CampoNuovo::Collegata, Label2[6]}};
        MsgBox(QStringLiteral("Inserire ") + etichette.at(esito.campo)->text(), vbOKOnly + vbInformation, Caption());
        break;
    }
    case Tipo::Rifiutato:
        MsgBox(esito.messaggio, vbOKOnly + vbCritical, Caption());
        if (esito.svuota)
            campo->setText(QString());
        if (campo)
            campo->setFocus();
        return false;
    }
    // A code refused by its form check or a missing field: highlighted, with the focus.
    evidenzia(campo);
    campo->setFocus();
    return false;
}

void ANAGSOST::PASSAASCHEDANUOVO()
{
    const QString cognome = TextCOGNO->text().trimmed();
    const QString nome = TextNOME->text().trimmed();
    if (nome.isEmpty()) {
        LabCOGNODEN->setText(cognome);
        Text1[1]->setText(cognome);
    } else {
        LabCOGNODEN->setText(cognome + QLatin1Char(' ') + nome);
        Text1[1]->setText(cognome);
        Text1[2]->setText(nome);
    }
    Text1[10]->setText(TextAZICOL->text().trimmed());
    LabCF->setText(TEXTCF->text());
    LabAZI->setText(TEXTAZI->text());
    STATO.CFSSOST = TEXTCF->text();
    STATO.CODAZISOST = TEXTAZI->text();
    M.NUOVOSOSTITUTO = 1;
    // Nothing of the new substitute is stored until the sheet is saved:
    // leaving the sheet before that asks first, like any unsaved change.
    M.VARIAZIONI = 1;
    COMPLETADALCODICE();
    // Until its first save the new substitute has no place in the key order.
    cmdparcprec->setEnabled(false);
    cmdparcsuc->setEnabled(false);
    FrmSelezione->hide();
    Frmmoduli[0]->show();
    Text1[1]->setFocus();
    Frmbottoni->show();
    Frmtestata->show();
}
