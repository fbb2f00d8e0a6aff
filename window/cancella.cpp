// Deletion of a substitute with all its rows.
#include "window/anagsost.h"
#include "window/guardie.h"
#include "window/msgbox.h"

#include "registry/cancella.h"
#include "registry/testi.h"

#include <QPushButton>

void ANAGSOST::COLLEGACANCELLAZIONE()
{
    connect(Cmdcancella, &QPushButton::clicked, this, [this] { protetto([this] { Cmdcancella_Click(); }); });
}

void ANAGSOST::Cmdcancella_Click()
{
    const QString riga = testoSelezionato();
    if (riga.trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Nessun sostituto selezionato per la cancellazione"), vbInformation, Caption());
        return;
    }

    STATO.MESSAGGIO = QString();
    STATO.CODAZISOST = riga.mid(0, 3);
    STATO.CFSSOST = riga.mid(4, 16);
    STATO.MESSAGGIO += riga.trimmed() + CR + CR;
    STATO.MESSAGGIO += QStringLiteral("Vuoi cancellare il sostituto selezionato ?") + CR + CR;
    STATO.MESSAGGIO += QStringLiteral("Rispondendo affermativamente si cancelleranno tutti") + CR;
    STATO.MESSAGGIO += QStringLiteral("i quadri: lavoro dipendente, lavoro autonomo, quadro ST ,") + CR;
    STATO.MESSAGGIO += QStringLiteral("e anagrafiche percettori lavoro dipendente") + CR;

    M.RISPOSTA = MsgBox(STATO.MESSAGGIO, vbYesNo + vbCritical, Caption());
    if (M.RISPOSTA != vbYes) {
        M.VARIAZIONI = 0;
        return;
    }
    M.RISPOSTA = MsgBox(QStringLiteral("Il sostituto selezionato sara' definitivamente cancellato") + CR + CR
                            + QStringLiteral("Proseguo ???"),
                        vbYesNo + vbCritical, Caption());
    if (M.RISPOSTA != vbYes) {
        M.VARIAZIONI = 0;
        return;
    }

    using Tipo = registro::EsitoCancellazione::Tipo;
    registro::EsitoCancellazione esito;
    {
        const OperazioneLunga attesa(this);
        esito = registro::cancella(ARCHIVIO(), STATO.CODAZISOST, STATO.CFSSOST);
        if (esito.tipo == Tipo::Cancellato) {
            const QString fatto = QStringLiteral("Cancellazione effettuata");
            try {
                LISTASOSTITUTI();
            } catch (const store::ErroreArchivio&) {
                // The deletion stands: say so before the failure of the list.
                MsgBox(fatto, vbInformation, Caption());
                throw;
            }
            MsgBox(fatto, vbInformation, Caption());
        }
    }
    if (esito.tipo == Tipo::NonTrovato) {
        // Removed (or re-keyed) by another workstation after the list was
        // read: say so, and show the list as it is now.
        MsgBox(registro::testi::SOSTITUTONONPRESENTE, vbCritical, Caption());
        LISTASOSTITUTI();
        return;
    }
    if (esito.tipo == Tipo::Rifiutato) {
        // Nothing was deleted: the list still shows the substitute, picked,
        // so the deletion can be asked again.
        M.VARIAZIONI = 0;
        MsgBox(esito.errore->messaggio() + CR + CR
                   + QStringLiteral("Il sostituto selezionato non è stato cancellato: nessun dato è stato eliminato."),
               vbCritical, Caption());
    }
}
