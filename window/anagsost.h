#pragma once
// The Substitute registry window (ANAGSOST). Its procedures are spread over
// one source file per concern: frame and modes, selection list, data sheet,
// saving and moves, insertion, deletion, change of codice fiscale, lookup list.
#include "registry/archivio.h"
#include "registry/cambiacf.h"
#include "registry/esporta.h"
#include "registry/inserimento.h"
#include "registry/mostrati.h"
#include "registry/sostituto.h"
#include "registry/verifica.h"
#include "startup/mod770bas.h"
#include "store/errore.h"
#include "window/anagsost_controlli.h"
#include "window/anagsost_stato.h"

#include <QMainWindow>
#include <memory>

class AttesaFinestra;
class QCloseEvent;
class QTimer;
struct TestataPagine;

// Each procedure reads its controls, hands typed values to the registry's
// operations (registry/) and shows what they answer; the window itself never
// reads or writes the archive.
class ANAGSOST : public QMainWindow, public ANAGSOST_CONTROLLI {
    Q_OBJECT
public:
    explicit ANAGSOST(MOD770BAS& modulo, QWidget* parent = nullptr);
    ~ANAGSOST() override;

    // The application module: database, record sets and shared flags.
    MOD770BAS& M;
    // The window's form variables.
    ANAGSOST_STATO STATO;

    // The window's caption, title of every message box.
    QString Caption() const { return windowTitle(); }

    // ---- start-up and shutdown (anagsost.cpp) ----
    // false: the program must end (messages shown, shutdown done).
    bool Form_Load();
    void Form_Unload();
    bool scaricata() const { return m_scaricata; }
    // Another copy of the program was started: this window comes to the
    // front instead, restored if minimised.
    void PRIMOPIANO();
    void APRITAB();
    void CHIUDITAB();

    // ---- frame, modes, header, exit (finestra.cpp) ----
    void IMPOSTAFRAME();
    void IMPOSTATESTATA();
    void RITORNASELEZDIC();
    void cmdselprec_Click();
    void cmduscita_Click(int Index);
    // The pending-changes dialogue before the data sheet is left (exit, other
    // substitute, previous/next): true when the sheet may be left.
    bool LASCIASCHEDA();

    // ---- selection list (selezione.cpp) ----
    void LISTASOSTITUTI();
    // The order the buttons ask for.
    registro::Ordine ORDINESCELTO() const;
    void Option1_Click(int Index);
    void List1_Click();
    void List1_DblClick();
    // Text of the picked line of List1; "" when no line is picked.
    QString testoSelezionato() const;
    // Loads the substitute CODAZISOST, CFSSOST into the header and the data
    // sheet and shows them in place of the selection; false, and nothing
    // changed, when its row is not there.
    bool APRISCHEDA();

    // ---- search, export and print of the list (trova.cpp, esporta.cpp, stampa.cpp) ----
    // Fills List1 with the first line and the rows holding the search text;
    // the line picked stays picked when asked and still shown.
    void MOSTRAELENCO(bool mantieniScelta);
    void TextTrova_Change();
    // The substitutes of the lines shown, in their order; with none shown,
    // nothing, after saying there is nothing to export or print ("esportare", "stampare").
    std::vector<registro::ChiaveSostituto> CHIAVIMOSTRATE(const QString& operazione) const;
    void CmdEsporta_Click();
    void CmdStampa_Click();
    // The folder the export and the print to a file propose: the last one
    // written into, else the user's documents folder (the home folder when
    // there is none).
    QString CARTELLAPROPOSTA() const;
    // The save dialog of an export, proposing the file `nome` (its type by
    // its extension) in CARTELLAPROPOSTA(): the file and the format chosen;
    // nothing when cancelled.
    struct FileEsportazione {
        QString percorso;
        registro::Formato formato;
    };
    std::optional<FileEsportazione> SCEGLIFILEESPORTAZIONE(const QString& titolo, const QString& nome);
    // The box of an export's outcome; true when the file was written.
    bool MOSTRAESITOESPORTAZIONE(const registro::EsitoEsportazione& esito, const QString& percorso);
    // A table's print preview, proposing a PDF file named `nomePdf`.
    void STAMPATABELLA(const TestataPagine& testata, const registro::Tabella& tabella, const std::vector<double>& quote,
                       const QString& nomePdf);

    // ---- check of the whole archive (verifica.cpp) ----
    void CmdVerifica_Click();
    void ListVerifica_DblClick();
    void CmdChiudiVerifica_Click();
    // The findings shown, to a workbook or a CSV file, or printed.
    void CmdEsportaVerifica_Click();
    void CmdStampaVerifica_Click();
    // Back from a data sheet opened from the findings: the archive checked again.
    void RITORNAVERIFICA();

    // ---- data sheet (scheda.cpp) ----
    // Fill the sheet from the substitute loaded (STATO.CARICATO).
    void CARICADATI();
    void PULISCICAMPI();
    // Returns RISPOSTA.
    int MESSAGGIOVARIAZ();
    void Text1_Change(int Index);
    void Text1_GotFocus(int Index);
    void Text1_LostFocus(int Index);
    void Text1_KeyPress(int Index, int& KeyAscii);

    // ---- what the codice fiscale says (dalcodice.cpp) ----
    // Shows the code's line under the fields and marks the fields that
    // disagree with it; hidden for a partita IVA or a code that does not decode.
    void DALCODICE();

    // ---- validation, saving, moves (memorizza.cpp) ----
    // Both return ERRORECAMPI.
    int CONTROLLOCAMPI();
    int MEMORIZZADATI();
    void cmdmemorizza_Click();
    void cmdparcprec_Click();
    void cmdparcsuc_Click();

    // ---- insertion (inserimento.cpp) ----
    void CmdInserimento_Click(int Index);

    // ---- deletion (cancella.cpp) ----
    void Cmdcancella_Click();

    // ---- change of codice fiscale (cambiacf.cpp) ----
    void CmdCambia_Click();
    void CmdConfermaCF_Click();
    void CmdAnnullaCF_Click();
    // Re-keys the substitute CODAZISOST, CFSSOST to CFNUOVO; returns what was done.
    registro::EsitoCambio CAMBIACF();
    void Text2_Change();
    void Text2_GotFocus();
    void Text2_KeyPress(int& KeyAscii);

    // ---- lookup list (tabmin.cpp) ----
    void CMDAPRILIST_Click(int Index);
    void ListTabmin_DblClick();
    void ListTabmin_KeyDown(int KeyCode, int Shift);

    // ---- other workstations' changes (avvisi.cpp) ----
    // From now on the window hears of them: the list rebuilt by itself in the
    // selection with no frame open, a line on a data sheet whose substitute
    // was changed. Nothing while a box, a frame or an operation is under way:
    // it waits until they are over.
    void ASCOLTAAVVISI();
    void AVVISIARRIVATI();
    // The selection list read again, its order, search and picked line kept.
    void AGGIORNAELENCO();
    // The sheet's line about another workstation's change; "" hides it.
    void AVVISOSCHEDA(const QString& testo);
    // How many times the list was brought up to date by itself (for tests).
    int elenchiAggiornati() const { return m_elenchiAggiornati; }

    // Runs an operator action; a failure of the data store is shown as a
    // message box instead of ending the program.
    template <class F>
    void protetto(F&& azione)
    {
        try {
            azione();
        } catch (const store::ErroreArchivio& errore) {
            ERROREARCHIVIO(errore);
        }
    }
    void ERROREARCHIVIO(const store::ErroreArchivio& errore);

    // The database and the module's record sets, as the registry's operations take them.
    registro::Archivio ARCHIVIO() const;

protected:
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    // Builds the control tree (controlli.cpp).
    void COSTRUISCICONTROLLI();
    // Each concern connects the events of its own controls.
    void COLLEGAFINESTRA();
    void COLLEGASELEZIONE();
    void COLLEGASCHEDA();
    void COLLEGAMEMORIZZA();
    void COLLEGAINSERIMENTO();
    void COLLEGACANCELLAZIONE();
    void COLLEGACAMBIOCF();
    void COLLEGATABMIN();
    void COLLEGATROVA();
    void COLLEGAESPORTA();
    void COLLEGASTAMPA();

    // Empties the data sheet's fields (shared by PULISCICAMPI and CARICADATI).
    void SVUOTASCHEDA();
    // The sheet's texts as a substitute of the key CODAZISOST, CFSSOST; and
    // a substitute's texts written into the fields whose text differs.
    registro::Sostituto LEGGISCHEDA() const;
    void SCRIVISCHEDA(const registro::Sostituto& sostituto);
    // A field refused by a check: highlighted, ERRORECAMPI set, message, focus.
    void RIFIUTACAMPO(int Index, const QString& messaggio, int stile = vbInformation);
    // The twin moves of the previous/next buttons.
    void SPOSTASCHEDA(bool avanti);
    // Saving: the question when another workstation got there first, the
    // reload of the sheet from the archive.
    int CHIEDICONFLITTO(bool trovata) const;
    bool RICARICASCHEDA();
    // A substitute loaded becomes the one shown: header, then sheet.
    void MOSTRACARICATO(const registro::Caricato& caricato);

    // ---- what the codice fiscale says: private (dalcodice.cpp) ----
    void COSTRUISCIDALCODICE();
    void COLLEGADALCODICE();
    // A new substitute's empty birth fields filled from its code, as if typed.
    void COMPLETADALCODICE();

    // ---- check of the whole archive: private (verifica.cpp) ----
    void COSTRUISCIVERIFICA();
    void COLLEGAVERIFICA();
    // Runs the check; nothing, after saying so, when it finds nothing.
    std::optional<std::vector<registro::Segnalazione>> VERIFICAARCHIVIO();
    // Fills the findings' list and their count per kind; the finding picked
    // stays picked when asked and still there.
    void MOSTRASEGNALAZIONI(std::vector<registro::Segnalazione> trovate, bool mantieniScelta);
    // The findings' frame in place of the selection, the list with the focus.
    void MOSTRAVERIFICA();

    // ---- other workstations' changes: private (avvisi.cpp) ----
    void COSTRUISCIAVVISI();
    // True when nothing is under way that a rebuild must wait for.
    bool LIBEROPERAVVISI() const;
    void SEGNALASCHEDA(const QList<store::Avviso>& avvisi);

    // ---- insertion: private handlers (inserimento.cpp) ----
    // Events shared by the five fields of the insertion frame.
    void CAMPOINSERIMENTO_GotFocus(TextBox* campo);
    void CAMPOINSERIMENTO_Change(TextBox* campo);
    void CAMPOINSERIMENTO_LostFocus(TextBox* campo);
    void CAMPOINSERIMENTO_KeyPress(TextBox* campo, int& KeyAscii);
    // The checks of the confirmation, in their order: true when all pass
    // (each failure has shown its message and moved the focus).
    bool CONFERMAINSERIMENTO();
    TextBox* CAMPOINSERIMENTO(registro::CampoNuovo campo) const;
    // Hands the confirmed substitute over to the data sheet, unsaved.
    void PASSAASCHEDANUOVO();

    // ---- change of codice fiscale: private helpers (cambiacf.cpp) ----
    // A refused confirmation: the field highlighted when asked, focus back in
    // it when asked, the unsaved-changes flag cleared.
    void RIFIUTACF(bool evidenzia, bool fuoco = true);
    // Checks of the confirmation before the final question (front pages,
    // registry, linked declarant, form of the code); false when refused.
    bool CONTROLLACAMBIOCF();

    // ---- lookup list: private helpers (tabmin.cpp) ----
    // The field a choice from the list of each lookup button fills.
    TextBox* CAMPOTABMIN(int Index) const;
    // The lookup frame was hidden: a focus left in the list goes back to the
    // button that opened it.
    void TABMINNASCOSTA();

    bool m_scaricata = false;
    // The window painted and the operator's input refused while the archive
    // keeps an operation waiting.
    std::unique_ptr<AttesaFinestra> m_attesa;
    // Other workstations' changes read and not shown yet, and the timer
    // that tries again once what held them back is over.
    QList<store::Avviso> m_avvisiPendenti;
    QTimer* m_ritentaAvvisi = nullptr;
    int m_elenchiAggiornati = 0;
};
