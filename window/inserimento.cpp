// Registration of a new substitute: the fields of the insertion frame and the
// confirmation, which checks the codes against the front pages and the
// registered substitutes and hands the new substitute over to the data sheet.
// Nothing is written here: the row is added by the first save of the sheet.
#include "window/anagsost.h"
#include "window/aspetto.h"
#include "window/guardie.h"
#include "window/msgbox.h"
#include "window/textbox.h"

#include "checks/controllocodice.h"
#include "checks/maiuscolo.h"
#include "checks/tasti.h"
#include "store/chiavi.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

void evidenzia(TextBox* campo)
{
    campo->setForeColor(NERO);
    campo->setBackColor(GIALLO);
}

// The numeric value of a company code as typed; anything that does not read
// as a whole number counts as zero.
int valoreCodice(const QString& testo)
{
    bool ok = false;
    const int valore = testo.trimmed().toInt(&ok);
    return ok ? valore : 0;
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

bool ANAGSOST::CONFERMAINSERIMENTO()
{
    // Whatever way the checks end, both record sets are back on their
    // primary index, which every other operation relies on.
    const IndicePrincipale ripristinoFrontespizio(*M.TABFRONTESPIZIO);
    const IndicePrincipale ripristinoSostituti(*M.TABANAGSOST);

    // Codice fiscale or partita IVA in its formal check.
    if (!TEXTCF->text().trimmed().isEmpty()) {
        const ESITOCONTROLLOCODICE esito = CONTROLLOCODICE(TEXTCF->text(), Caption(), MsgBox);
        if (!esito.prosegui) {
            if (esito.evidenzia) {
                evidenzia(TEXTCF);
                TEXTCF->setFocus();
            }
            return false;
        }
    }

    // Mandatory fields, named by their label as it reads now.
    auto manca = [this](TextBox* campo, QLabel* etichetta) {
        MsgBox(QStringLiteral("Inserire ") + etichetta->text(), vbOKOnly + vbInformation, Caption());
        evidenzia(campo);
        campo->setFocus();
        return false;
    };
    if (valoreCodice(TEXTAZI->text()) == 0)
        return manca(TEXTAZI, Label2[0]);
    if (TEXTCF->text().trimmed().isEmpty())
        return manca(TEXTCF, Label2[1]);
    if (TextCOGNO->text().trimmed().isEmpty())
        return manca(TextCOGNO, Label2[4]);
    if (TextAZICOL->text().trimmed().isEmpty())
        return manca(TextAZICOL, Label2[6]);

    const QString azienda = store::CHIAVEAZI(TEXTAZI->text());
    const QString codiceFiscale = store::CHIAVECF(TEXTCF->text());
    const QString collegata = store::CHIAVEAZI(TextAZICOL->text());

    auto rifiuta = [this](const QString& messaggio, TextBox* fuoco = nullptr) {
        MsgBox(messaggio, vbOKOnly + vbCritical, Caption());
        if (fuoco)
            fuoco->setFocus();
        return false;
    };
    auto rifiutaCollegata = [this](const QString& messaggio) {
        MsgBox(messaggio, vbOKOnly + vbCritical, Caption());
        TextAZICOL->setText(QString());
        TextAZICOL->setFocus();
        return false;
    };

    // The substitute's codes must not belong to a declarant.
    store::TableRecordset& frontespizio = *M.TABFRONTESPIZIO;
    frontespizio.setIndex(QStringLiteral("CHIAVE"));
    frontespizio.Seek(QStringLiteral("="), azienda, codiceFiscale);
    if (!frontespizio.NoMatch())
        return rifiuta(QStringLiteral("Attenzione !!! Il codice azienda e il codice fiscale sono gia 'presenti come "
                                      "frontespizio."));
    frontespizio.setIndex(QStringLiteral("CHIAVECODAZI"));
    frontespizio.Seek(QStringLiteral("="), azienda);
    if (!frontespizio.NoMatch())
        return rifiuta(QStringLiteral("Attenzione !!! Il codice azienda inserito per il sostituto e' gia presente nel "
                                      "frontespizio"),
                       TEXTAZI);
    frontespizio.setIndex(QStringLiteral("CHIAVECFD"));
    frontespizio.Seek(QStringLiteral("="), codiceFiscale);
    if (!frontespizio.NoMatch())
        return rifiuta(QStringLiteral("Attenzione !!! Il codice fiscale inserito per il sostituto e' gia presente nel "
                                      "frontespizio"),
                       TEXTCF);

    // Nor to a registered substitute.
    store::TableRecordset& sostituti = *M.TABANAGSOST;
    sostituti.setIndex(QStringLiteral("CHIAVE"));
    sostituti.Seek(QStringLiteral("="), azienda, codiceFiscale);
    if (!sostituti.NoMatch())
        return rifiuta(QStringLiteral("Attenzione !!! Anagrafica sostituto gia' presente."));
    sostituti.setIndex(QStringLiteral("CHIAVECODAZI"));
    sostituti.Seek(QStringLiteral("="), azienda);
    if (!sostituti.NoMatch())
        return rifiuta(QStringLiteral("Attenzione !!! Il codice azienda inserito per il sostituto e' gia presente "),
                       TEXTAZI);
    sostituti.setIndex(QStringLiteral("CHIAVECFS"));
    sostituti.Seek(QStringLiteral("="), codiceFiscale);
    if (!sostituti.NoMatch())
        return rifiuta(QStringLiteral("Attenzione !!! Il codice fiscale inserito per il sostituto e' gia presente "),
                       TEXTCF);

    // The linked company is a declarant with a front page, and not itself a
    // substitute.
    frontespizio.setIndex(QStringLiteral("CHIAVECODAZI"));
    frontespizio.Seek(QStringLiteral("="), collegata);
    if (frontespizio.NoMatch())
        return rifiutaCollegata(QStringLiteral("Attenzione !!! Il codice azienda collegata inserito non è presente "
                                               "nel frontespizio"));
    sostituti.setIndex(QStringLiteral("CHIAVECODAZI"));
    sostituti.Seek(QStringLiteral("="), collegata);
    if (!sostituti.NoMatch())
        return rifiutaCollegata(QStringLiteral("Attenzione !!! Il codice azienda collegata inserito  è gia presente "
                                               "nelle anagrafiche sostituti"));
    return true;
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
    CFSSOST = TEXTCF->text();
    CODAZISOST = TEXTAZI->text();
    M.NUOVOSOSTITUTO = 1;
    // Nothing of the new substitute is stored until the sheet is saved:
    // leaving the sheet before that asks first, like any unsaved change.
    M.VARIAZIONI = 1;
    // Until its first save the new substitute has no place in the key order.
    cmdparcprec->setEnabled(false);
    cmdparcsuc->setEnabled(false);
    FrmSelezione->hide();
    Frmmoduli[0]->show();
    Text1[1]->setFocus();
    Frmbottoni->show();
    Frmtestata->show();
}
