// Validation and saving of the data sheet, moves to the previous/next substitute.
#include "window/anagsost.h"
#include "window/aspetto.h"
#include "window/guardie.h"
#include "window/msgbox.h"
#include "window/textbox.h"

#include "registry/carica.h"
#include "registry/controlli.h"
#include "registry/memorizza.h"

#include <QPushButton>

void ANAGSOST::COLLEGAMEMORIZZA()
{
    connect(cmdmemorizza, &QPushButton::clicked, this, [this] { protetto([this] { cmdmemorizza_Click(); }); });
    connect(cmdparcprec, &QPushButton::clicked, this, [this] { protetto([this] { cmdparcprec_Click(); }); });
    connect(cmdparcsuc, &QPushButton::clicked, this, [this] { protetto([this] { cmdparcsuc_Click(); }); });
}

void ANAGSOST::RIFIUTACAMPO(int Index, const QString& messaggio, int stile)
{
    TextBox* campo = Text1[Index];
    campo->setForeColor(NERO);
    campo->setBackColor(GIALLO);
    M.ERRORECAMPI = 1;
    MsgBox(messaggio, stile, Caption());
    if (campo->isEnabled() && campo->isVisible())
        campo->setFocus();
}

int ANAGSOST::CONTROLLOCAMPI()
{
    M.ERRORECAMPI = 0;
    for (int n = 1; n <= 10; ++n) {
        Text1[n]->setForeColor(NERO);
        Text1[n]->setBackColor(BIANCO);
    }
    registro::Sostituto sostituto = LEGGISCHEDA();
    const registro::Rifiuto rifiuto = registro::controllaScheda(ARCHIVIO(), sostituto);
    // What the checks cleared (a company's birth data, a linked company
    // without a front page) is cleared on the sheet too.
    SCRIVISCHEDA(sostituto);
    if (!rifiuto.accettato())
        RIFIUTACAMPO(rifiuto.campo, rifiuto.messaggio, rifiuto.stile);
    return M.ERRORECAMPI;
}

bool ANAGSOST::RICARICASCHEDA()
{
    const std::optional<registro::Caricato> caricato =
        registro::carica(*M.TABANAGSOST, STATO.CODAZISOST, STATO.CFSSOST);
    if (!caricato)
        return false;
    STATO.CARICATO = caricato;
    IMPOSTATESTATA();
    CARICADATI();
    return true;
}

int ANAGSOST::CHIEDICONFLITTO(bool trovata) const
{
    const QString scelte = CR + CR
        + QStringLiteral("Sì = registra i dati di questa scheda al posto di quelli dell'altra postazione") + CR
        + (trovata ? QStringLiteral("No = mostra i dati registrati dall'altra postazione (le variazioni di questa "
                                    "scheda vanno perse)")
                   : QStringLiteral("No = non registrare (le variazioni di questa scheda vanno perse)"))
        + CR + QStringLiteral("Annulla = torna alla scheda senza registrare");
    QString motivo;
    if (!trovata)
        motivo = QStringLiteral("Attenzione !!! L'anagrafica non è più presente in archivio: un'altra postazione "
                                "l'ha cancellata o le ha cambiato il codice fiscale.");
    else if (M.NUOVOSOSTITUTO == 1)
        motivo = QStringLiteral("Attenzione !!! Un'altra postazione ha già registrato un sostituto con lo stesso "
                                "codice azienda e codice fiscale.");
    else
        motivo = QStringLiteral("Attenzione !!! Un'altra postazione ha modificato l'anagrafica dopo che questa "
                                "scheda è stata caricata.");
    return MsgBox(motivo + scelte, vbYesNoCancel + vbExclamation, Caption());
}

int ANAGSOST::MEMORIZZADATI()
{
    if (CONTROLLOCAMPI() == 1)
        return M.ERRORECAMPI;

    // What the sheet expects to find in the archive: the row as it was
    // loaded, or no row for a substitute that has none yet. Another
    // workstation's save (or deletion) in between is never overwritten
    // without the operator's say.
    const registro::Sostituto sostituto = LEGGISCHEDA();
    std::optional<registro::Istantanea> atteso;
    if (M.NUOVOSOSTITUTO != 1 && STATO.CARICATO)
        atteso = STATO.CARICATO->istantanea;
    using Tipo = registro::EsitoMemorizza::Tipo;
    for (;;) {
        registro::EsitoMemorizza esito;
        {
            const CursoreOccupato occupato;
            esito = registro::memorizza(ARCHIVIO(), sostituto, atteso);
        }
        if (esito.tipo == Tipo::Memorizzato)
            break;
        if (esito.tipo == Tipo::InUso) {
            // Another workstation registered one of the new substitute's
            // codes meanwhile: nothing was stored, the sheet stays.
            M.ERRORECAMPI = 1;
            MsgBox(esito.messaggio, vbCritical, Caption());
            return M.ERRORECAMPI;
        }
        if (esito.tipo == Tipo::Rifiutato) {
            // Nothing was stored; the typed values stay on the sheet, which
            // whoever asked for the save does not leave.
            M.ERRORECAMPI = 1;
            ERROREARCHIVIO(*esito.errore);
            return M.ERRORECAMPI;
        }
        // The lock was given back before the operator is asked.
        const bool trovata = esito.tipo != Tipo::Cancellato;
        const int risposta = CHIEDICONFLITTO(trovata);
        if (risposta == vbYes) {
            atteso = esito.presente;
            continue;
        }
        // No: the other workstation's data stand and this sheet's changes go;
        // a row it holds is shown as after a save. Cancel: not saved, whoever
        // asked for the save stays on the sheet.
        if (risposta == vbNo && trovata)
            break;
        M.ERRORECAMPI = risposta == vbNo ? 0 : 1;
        if (risposta == vbNo)
            M.VARIAZIONI = 0;
        return M.ERRORECAMPI;
    }

    M.VARIAZIONI = 0;
    if (M.NUOVOSOSTITUTO == 1) {
        M.NUOVOSOSTITUTO = 0;
        cmdparcprec->setEnabled(true);
        cmdparcsuc->setEnabled(true);
    }
    RICARICASCHEDA();
    return M.ERRORECAMPI;
}

void ANAGSOST::cmdmemorizza_Click()
{
    MEMORIZZADATI();
}

void ANAGSOST::SPOSTASCHEDA(bool avanti)
{
    // A refused save or a Cancel keeps the sheet with the typed values.
    if (!LASCIASCHEDA())
        return;
    STATO.CODAZIPREC = STATO.CODAZISOST;
    STATO.CFSPREC = STATO.CFSSOST;
    const registro::Spostamento spostamento =
        registro::sposta(*M.TABANAGSOST, avanti, STATO.CODAZIPREC, STATO.CFSPREC);
    if (spostamento.estremo)
        MsgBox(avanti ? QStringLiteral("Ultima Anagrafica") : QStringLiteral("Prima Anagrafica"), vbInformation,
               Caption());
    // The substitute shown is gone (another workstation deleted it): there
    // is nothing to show, and the sheet stays as it was.
    if (!spostamento.caricato)
        throw store::ErroreArchivio(store::TipoErrore::NessunRecord, QStringLiteral("anagrafica non più presente"));
    MOSTRACARICATO(*spostamento.caricato);
}

void ANAGSOST::cmdparcprec_Click()
{
    SPOSTASCHEDA(false);
}

void ANAGSOST::cmdparcsuc_Click()
{
    SPOSTASCHEDA(true);
}
