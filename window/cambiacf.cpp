// Change of a substitute's codice fiscale throughout the return.
#include "window/anagsost.h"
#include "window/aspetto.h"
#include "window/guardie.h"
#include "window/msgbox.h"
#include "window/selezione.h"
#include "window/textbox.h"

#include "checks/controllocodice.h"
#include "checks/maiuscolo.h"
#include "store/chiavi.h"
#include "store/database.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <optional>

namespace {

// The section tables whose rows carry the substitute's codice fiscale, in the
// order they are re-keyed. The condition matches their (CODAZI, CFS) index.
const char* const SELEZIONEQUADRI[6] = {
    "SELECT * FROM quadroldip1 WHERE CODAZI = ? and CFD = ? and CFS = ?",
    "SELECT * FROM quadroldip2 WHERE CODAZI = ? and CFD = ? and CFS = ?",
    "SELECT * FROM quadroldip3 WHERE CODAZI = ? and CFD = ? and CFS = ?",
    "SELECT * FROM quadroldip4 WHERE CODAZI = ? and CFD = ? and CFS = ?",
    "SELECT * FROM quadrolaut WHERE CODAZI = ? and CFD = ? and CFS = ?",
    "SELECT * FROM QUADROST WHERE CODAZI = ? and CFD = ? and CFS = ?",
};

// TABSQL lives only within one operation: closed and released however the
// operation ends, a failure included.
class ChiusuraTabSql {
public:
    explicit ChiusuraTabSql(std::unique_ptr<store::SqlRecordset>& tabella) : m_tabella(tabella) {}
    ~ChiusuraTabSql()
    {
        if (!m_tabella)
            return;
        try {
            m_tabella->Close();
        } catch (const store::ErroreArchivio&) {
        }
        m_tabella.reset();
    }
    ChiusuraTabSql(const ChiusuraTabSql&) = delete;
    ChiusuraTabSql& operator=(const ChiusuraTabSql&) = delete;

private:
    std::unique_ptr<store::SqlRecordset>& m_tabella;
};

} // namespace

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

    RIGASEL = riga;
    MESSAGGIO = QString();
    CODAZISOST = riga.mid(0, 3);
    CFSSOST = riga.mid(4, 16);
    Label2[11]->setText(CFSSOST);
    Label2[16]->setText(QStringLiteral(" Azienda:") + CODAZISOST + QStringLiteral(" c.f. ") + CFSSOST);
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
    if (Text2->text().trimmed().isEmpty()) {
        RIFIUTACF(false);
        return false;
    }

    {
        const IndicePrincipale ripristino(*M.TABFRONTESPIZIO);
        M.TABFRONTESPIZIO->setIndex(QStringLiteral("CHIAVECFD"));
        M.TABFRONTESPIZIO->Seek(QStringLiteral("="), CFNUOVO);
        if (!M.TABFRONTESPIZIO->NoMatch()) {
            MsgBox(QStringLiteral("Attenzione !!! Il codice fiscale inserito per il sostituto e' gia presente nel "
                                  "frontespizio"),
                   vbCritical, Caption());
            RIFIUTACF(false);
            return false;
        }
    }

    {
        const IndicePrincipale ripristino(*M.TABANAGSOST);
        M.TABANAGSOST->setIndex(QStringLiteral("CHIAVECFS"));
        M.TABANAGSOST->Seek(QStringLiteral("="), CFNUOVO);
        if (!M.TABANAGSOST->NoMatch()) {
            MsgBox(QStringLiteral("Attenzione !!! Il codice fiscale inserito per il sostituto e' gia presente "),
                   vbCritical, Caption());
            RIFIUTACF(false);
            return false;
        }
    }

    M.TABANAGSOST->Seek(QStringLiteral("="), CODAZISOST, store::CHIAVECF(CFSSOST));
    if (M.TABANAGSOST->NoMatch()) {
        // Removed meanwhile by another program of the suite: going on would
        // re-key the section rows with the declarant of another substitute.
        MsgBox(QStringLiteral("Attenzione !!! Anagrafica sostituto non più presente in archivio.") + CR
                   + QStringLiteral("Il codice fiscale non è stato cambiato."),
               vbCritical, Caption());
        RIFIUTACF(false, false);
        CmdAnnullaCF_Click();
        LISTASOSTITUTI();
        return false;
    }
    {
        const QString collegata = store::CHIAVEAZI(M.TABANAGSOST->Fields(QStringLiteral("asost_10")));
        const ChiusuraTabSql chiusura(M.TABSQL);
        M.TABSQL = M.DBANNO->OpenRecordset(QStringLiteral("SELECT * FROM frontespizio WHERE CODAZI = ?"),
                                           {collegata});
        if (M.TABSQL->RecordCount() == 0) {
            CFDSOST = QString();
            MsgBox(QStringLiteral("Attenzione !!! Non esiste il frontespizio del dichiarante "), vbCritical,
                   Caption());
            RIFIUTACF(false, false);
            return false;
        }
        CFDSOST = M.TABSQL->Fields(QStringLiteral("cfd"));
    }

    const ESITOCONTROLLOCODICE esito = CONTROLLOCODICE(CFNUOVO, Caption(), MsgBox);
    if (!esito.prosegui) {
        RIFIUTACF(esito.evidenzia, esito.evidenzia);
        return false;
    }
    return true;
}

void ANAGSOST::CmdConfermaCF_Click()
{
    CFNUOVO = (Text2->text().trimmed() + QString(16, QLatin1Char(' '))).left(16);
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

    std::optional<store::ErroreArchivio> fallimento;
    {
        const CursoreOccupato occupato;
        Label2[15]->show();
        Label2[15]->repaint();
        const auto nascondi = qScopeGuard([this] { Label2[15]->hide(); });
        try {
            CAMBIACF();
        } catch (const store::ErroreArchivio& errore) {
            fallimento = errore;
        }
    }
    if (fallimento) {
        // Nothing was changed: the frame stays open with the typed code, so
        // that the change can be confirmed again or abandoned.
        M.VARIAZIONI = 0;
        MsgBox(fallimento->messaggio() + CR + CR
                   + QStringLiteral("Il codice fiscale non è stato cambiato: nessun dato è stato modificato."),
               vbCritical, Caption());
        Text2->setFocus();
        return;
    }

    // The frame closes whatever follows, so the selection stays usable.
    const auto chiudi = qScopeGuard([this] { CmdAnnullaCF_Click(); });
    MsgBox(QStringLiteral("Per il sostituto ") + RIGASEL.trimmed() + CR + CR
               + QStringLiteral("Cambio codice fiscale eseguito !") + CR + CR
               + QStringLiteral("Nuovo codice fiscale ") + CFNUOVO,
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

void ANAGSOST::CAMBIACF()
{
    // All or nothing: a failure half-way must not leave a substitute whose
    // rows carry partly the old code and partly the new one.
    store::Transazione transazione(*M.DBANNO);

    // Values are bound, never pasted: a codice fiscale holding an apostrophe
    // re-keys its own rows and nobody else's.
    const QVariantList chiavi{CODAZISOST, CFDSOST, CFSSOST};
    for (const char* selezione : SELEZIONEQUADRI) {
        const ChiusuraTabSql chiusura(M.TABSQL);
        M.TABSQL = M.DBANNO->OpenRecordset(QString::fromLatin1(selezione), chiavi);
        while (!M.TABSQL->Eof()) {
            M.TABSQL->Edit();
            M.TABSQL->SetField(QStringLiteral("CFS"), CFNUOVO);
            M.TABSQL->Update();
            M.TABSQL->MoveNext();
        }
    }

    store::TableRecordset& tabella = *M.TABANAGSOST;
    tabella.Seek(QStringLiteral("="), store::CHIAVEAZI(CODAZISOST), store::CHIAVECF(CFSSOST));
    if (tabella.NoMatch()) {
        // Removed meanwhile: the section rows just re-keyed are put back, and
        // the operator is not told that the change was made.
        throw store::ErroreArchivio(store::TipoErrore::Conflitto,
                                    QStringLiteral("anagrafica sostituto non più presente"));
    }
    tabella.Edit();
    tabella.SetField(QStringLiteral("CFS"), CFNUOVO);
    try {
        tabella.Update();
    } catch (...) {
        tabella.CancelUpdate();
        throw;
    }
    transazione.commit();
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
