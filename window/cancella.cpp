// Deletion of a substitute with all its rows.
#include "window/anagsost.h"
#include "window/guardie.h"
#include "window/msgbox.h"

#include "store/database.h"

#include <QPushButton>
#include <optional>

namespace {

// The section tables of a substitute, in the order their rows are deleted.
const char* const CANCELLAQUADRI[6] = {
    "DELETE FROM QUADROLDIP1 WHERE ", "DELETE FROM QUADROLDIP2 WHERE ", "DELETE FROM QUADROLDIP3 WHERE ",
    "DELETE FROM QUADROLDIP4 WHERE ", "DELETE FROM QUADROLAUT WHERE ",  "DELETE FROM QUADROST WHERE ",
};

} // namespace

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

    MESSAGGIO = QString();
    CODAZISOST = riga.mid(0, 3);
    CFSSOST = riga.mid(4, 16);
    MESSAGGIO += riga.trimmed() + CR + CR;
    MESSAGGIO += QStringLiteral("Vuoi cancellare il sostituto selezionato ?") + CR + CR;
    MESSAGGIO += QStringLiteral("Rispondendo affermativamente si cancelleranno tutti") + CR;
    MESSAGGIO += QStringLiteral("i quadri: lavoro dipendente, lavoro autonomo, quadro ST ,") + CR;
    MESSAGGIO += QStringLiteral("e anagrafiche percettori lavoro dipendente") + CR;

    M.RISPOSTA = MsgBox(MESSAGGIO, vbYesNo + vbCritical, Caption());
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

    std::optional<store::ErroreArchivio> fallimento;
    {
        const CursoreOccupato occupato;
        bool cancellato = false;
        try {
            cancellato = CANCELLASOSTITUTO();
        } catch (const store::ErroreArchivio& errore) {
            fallimento = errore;
        }
        if (cancellato) {
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
    if (fallimento) {
        // Nothing was deleted: the list still shows the substitute, picked,
        // so the deletion can be asked again.
        M.VARIAZIONI = 0;
        MsgBox(fallimento->messaggio() + CR + CR
                   + QStringLiteral("Il sostituto selezionato non è stato cancellato: nessun dato è stato eliminato."),
               vbCritical, Caption());
    }
}

bool ANAGSOST::CANCELLASOSTITUTO()
{
    // All or nothing: a failure half-way must not leave section rows of a
    // substitute whose registry row is gone, nor the reverse. The write lock
    // is taken before the row is sought, so nobody changes it meanwhile.
    store::Transazione transazione(*M.DBANNO);

    store::TableRecordset& tabella = *M.TABANAGSOST;
    tabella.Seek(QStringLiteral("="), CODAZISOST, CFSSOST);
    if (tabella.NoMatch())
        return false;

    // Values are bound, never pasted: a codice fiscale holding an apostrophe
    // deletes its own rows and nobody else's. The condition matches the
    // (CODAZI, CFS) index of every section table.
    M.STRINGASQL = QString();
    M.STRINGASQL = QStringLiteral(" CODAZI = ?");
    M.STRINGASQL += QStringLiteral(" AND CFS = ?");
    for (const char* prefisso : CANCELLAQUADRI)
        M.DBANNO->Execute(QString::fromLatin1(prefisso) + M.STRINGASQL, {CODAZISOST, CFSSOST});

    M.STRINGASQL = QStringLiteral(" CODAZI = ?");
    M.DBANNO->Execute(QStringLiteral("DELETE FROM PERCETTORI WHERE ") + M.STRINGASQL, {CODAZISOST});

    tabella.Delete();
    transazione.commit();
    return true;
}
