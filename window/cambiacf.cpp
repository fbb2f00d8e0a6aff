// Change of a substitute's codice fiscale throughout the return.
#include "window/anagsost.h"
#include "window/aspetto.h"
#include "window/guardie.h"
#include "window/msgbox.h"
#include "window/selezione.h"
#include "window/textbox.h"

#include "checks/maiuscolo.h"
#include "registry/cambiacf.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>

void ANAGSOST::COLLEGACAMBIOCF()
{
    connect(CmdCambia, &QPushButton::clicked, this, [this] { protetto([this] { CmdCambia_Click(); }); });
    connect(CmdConfermaCF, &QPushButton::clicked, this, [this] { protetto([this] { CmdConfermaCF_Click(); }); });
    connect(CmdAnnullaCF, &QPushButton::clicked, this, [this] { protetto([this] { CmdAnnullaCF_Click(); }); });
    connect(Text2, &TextBox::Change, this, [this] { Text2_Change(); });
    connect(Text2, &TextBox::GotFocus, this, [this] { Text2_GotFocus(); });
    connect(Text2, &TextBox::KeyPress, this, [this](int& KeyAscii) { Text2_KeyPress(KeyAscii); });
}

void ANAGSOST::CmdCambia_Click()
{
    const QString riga = testoSelezionato();
    if (riga == PRIMARIGA)
        return;
    if (riga.trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Nessuna anagrafica sostituto selezionata per il cambio codice fiscale"), vbInformation,
               Caption());
        return;
    }

    STATO.RIGASEL = riga;
    STATO.MESSAGGIO = QString();
    STATO.CODAZISOST = riga.mid(0, 3);
    STATO.CFSSOST = riga.mid(4, 16);
    Label2[11]->setText(STATO.CFSSOST);
    Label2[16]->setText(QStringLiteral(" Azienda:") + STATO.CODAZISOST + QStringLiteral(" c.f. ") + STATO.CFSSOST);
    Label2[7]->setText(QStringLiteral(" Rag.soc.:") + riga.mid(20).trimmed());

    // The picked substitute cannot change while the frame is open.
    FrameCambiaCf->show();
    Cmdcancella->setEnabled(false);
    CmdCambia->setEnabled(false);
    List1->setEnabled(false);
    for (QRadioButton* opzione : Option1)
        opzione->setEnabled(false);

    Text2->setText(QString());
    Text2->setFocus();
}

void ANAGSOST::RIFIUTACF(bool evidenzia, bool fuoco)
{
    if (evidenzia) {
        Text2->setForeColor(NERO);
        Text2->setBackColor(GIALLO);
    }
    if (fuoco)
        Text2->setFocus();
    M.VARIAZIONI = 0;
}

bool ANAGSOST::CONTROLLACAMBIOCF()
{
    const registro::ControlloCambio esito =
        registro::controllaCambio(ARCHIVIO(), STATO.CODAZISOST, STATO.CFSSOST, Text2->text(),
                                  [this](const QString& testo, int stile) { return MsgBox(testo, stile, Caption()); });
    using Tipo = registro::ControlloCambio::Tipo;
    switch (esito.tipo) {
    case Tipo::Accettato:
        STATO.CFDSOST = esito.cfd;
        return true;
    case Tipo::Vuoto:
        RIFIUTACF(false);
        break;
    case Tipo::InUso:
        MsgBox(esito.messaggio, vbCritical, Caption());
        RIFIUTACF(false);
        break;
    case Tipo::SenzaDichiarante:
        // The code itself is not at fault: the focus stays where it is.
        STATO.CFDSOST = QString();
        MsgBox(esito.messaggio, vbCritical, Caption());
        RIFIUTACF(false, false);
        break;
    case Tipo::Sparito:
        MsgBox(esito.messaggio, vbCritical, Caption());
        RIFIUTACF(false, false);
        CmdAnnullaCF_Click();
        LISTASOSTITUTI();
        break;
    case Tipo::CodiceRifiutato:
        RIFIUTACF(true, true);
        break;
    }
    return false;
}

void ANAGSOST::CmdConfermaCF_Click()
{
    STATO.CFNUOVO = (Text2->text().trimmed() + QString(16, QLatin1Char(' '))).left(16);
    if (!CONTROLLACAMBIOCF())
        return;

    M.RISPOSTA = MsgBox(QStringLiteral("Il codice fiscale del sostituto selezionato sara' cambiato") + CR + CR
                            + QStringLiteral("Proseguo ???"),
                        vbYesNo + vbCritical, Caption());
    if (M.RISPOSTA != vbYes) {
        M.VARIAZIONI = 0;
        CmdAnnullaCF_Click();
        return;
    }

    registro::EsitoCambio esito;
    {
        const OperazioneLunga attesa(this, Label2[15]);
        esito = CAMBIACF();
    }
    if (esito.tipo == registro::EsitoCambio::Tipo::InUso) {
        // Another workstation gave the code meanwhile: refused as the check
        // before the question would have refused it.
        MsgBox(esito.messaggio, vbCritical, Caption());
        RIFIUTACF(false);
        return;
    }
    if (esito.tipo != registro::EsitoCambio::Tipo::Eseguito) {
        // The registry row gone meanwhile, or the store refused: nothing was
        // changed. The frame stays open with the typed code, so that the
        // change can be confirmed again or abandoned.
        M.VARIAZIONI = 0;
        MsgBox(esito.errore->messaggio() + CR + CR
                   + QStringLiteral("Il codice fiscale non è stato cambiato: nessun dato è stato modificato."),
               vbCritical, Caption());
        Text2->setFocus();
        return;
    }

    // The frame closes whatever follows, so the selection stays usable.
    const auto chiudi = qScopeGuard([this] { CmdAnnullaCF_Click(); });
    MsgBox(QStringLiteral("Per il sostituto ") + STATO.RIGASEL.trimmed() + CR + CR
               + QStringLiteral("Cambio codice fiscale eseguito !") + CR + CR
               + QStringLiteral("Nuovo codice fiscale ") + STATO.CFNUOVO,
           vbInformation, Caption());
    LISTASOSTITUTI();
}

void ANAGSOST::CmdAnnullaCF_Click()
{
    FrameCambiaCf->hide();
    Cmdcancella->setEnabled(true);
    CmdCambia->setEnabled(true);
    List1->setEnabled(true);
    for (QRadioButton* opzione : Option1)
        opzione->setEnabled(true);
}

registro::EsitoCambio ANAGSOST::CAMBIACF()
{
    return registro::cambiaCodiceFiscale(ARCHIVIO(), STATO.CODAZISOST, STATO.CFSSOST, STATO.CFDSOST, STATO.CFNUOVO);
}

void ANAGSOST::Text2_Change()
{
    Text2->setForeColor(NERO);
    Text2->setBackColor(BIANCO);
}

void ANAGSOST::Text2_GotFocus()
{
    Text2->setSelStart(16);
}

void ANAGSOST::Text2_KeyPress(int& KeyAscii)
{
    KeyAscii = MAIUSCOLO(KeyAscii);
}
