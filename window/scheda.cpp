// Data sheet: load, clear, field events, the save-or-discard question.
#include "window/anagsost.h"
#include "window/aspetto.h"
#include "window/msgbox.h"
#include "window/textbox.h"

#include "checks/maiuscolo.h"
#include "checks/tasti.h"
#include "registry/testi.h"

#include <QApplication>
#include <QGroupBox>

#include <algorithm>

void ANAGSOST::COLLEGASCHEDA()
{
    for (int n = 1; n <= 10; ++n) {
        TextBox* campo = Text1[n];
        connect(campo, &TextBox::Change, this, [this, n] { Text1_Change(n); });
        connect(campo, &TextBox::GotFocus, this, [this, n] { Text1_GotFocus(n); });
        connect(campo, &TextBox::LostFocus, this, [this, n] { protetto([this, n] { Text1_LostFocus(n); }); });
        connect(campo, &TextBox::KeyPress, this, [this, n](int& KeyAscii) { Text1_KeyPress(n, KeyAscii); });
        // Edits that come without a key press of their own (Delete, cut,
        // undo) are changes to save as well.
        connect(campo, &QLineEdit::textEdited, this, [this] { M.VARIAZIONI = 1; });
    }
}

// Empties every field and puts it back to its normal colours.
void ANAGSOST::SVUOTASCHEDA()
{
    AVVISOSCHEDA({});
    for (int n = 1; n <= 10; ++n) {
        Text1[n]->setForeColor(NERO);
        Text1[n]->setBackColor(BIANCO);
        if (n == 4)
            Text1[n]->setText(QStringLiteral("00/00/0000"));
        else if (n == 10)
            Text1[n]->setText(QStringLiteral("0"));
        else
            Text1[n]->setText(QString());
    }
}

void ANAGSOST::PULISCICAMPI()
{
    SVUOTASCHEDA();
    M.VARIAZIONI = 0;
}

void ANAGSOST::CARICADATI()
{
    SVUOTASCHEDA();
    const registro::TestiScheda testi = registro::testiScheda(STATO.CARICATO->sostituto);
    for (int n = 1; n <= 10; ++n)
        Text1[n]->setText(testi[n - 1]);
    M.VARIAZIONI = 0;
    // Another substitute may fill the sheet with the same texts: what its
    // code says follows the substitute, not only the texts.
    DALCODICE();
}

void ANAGSOST::MOSTRACARICATO(const registro::Caricato& caricato)
{
    STATO.CARICATO = caricato;
    IMPOSTATESTATA();
    PULISCICAMPI();
    CARICADATI();
}

registro::Sostituto ANAGSOST::LEGGISCHEDA() const
{
    registro::TestiScheda testi;
    for (int n = 1; n <= 10; ++n)
        testi[n - 1] = Text1[n]->text();
    return registro::daTestiScheda(STATO.CODAZISOST, STATO.CFSSOST, testi);
}

void ANAGSOST::SCRIVISCHEDA(const registro::Sostituto& sostituto)
{
    const registro::TestiScheda testi = registro::testiScheda(sostituto);
    for (int n = 1; n <= 10; ++n) {
        if (Text1[n]->text() != testi[n - 1])
            Text1[n]->setText(testi[n - 1]);
    }
}

int ANAGSOST::MESSAGGIOVARIAZ()
{
    M.RISPOSTA = MsgBox(QStringLiteral("Sono state effettuate delle variazioni") + CR + QStringLiteral("Salvare ?"),
                        vbYesNoCancel + vbQuestion, Caption());
    if (M.RISPOSTA == vbYes) {
        if (MEMORIZZADATI() != 1)
            M.VARIAZIONI = 0;
    } else if (M.RISPOSTA == vbNo) {
        M.VARIAZIONI = 0;
    }
    return M.RISPOSTA;
}

void ANAGSOST::Text1_Change(int Index)
{
    Text1[Index]->setForeColor(NERO);
    Text1[Index]->setBackColor(BIANCO);
}

void ANAGSOST::Text1_GotFocus(int Index)
{
    TextBox* campo = Text1[Index];
    // After the last character: the maximum length, or beyond it for a longer stored value.
    campo->setSelStart(Index == 4 ? 0 : std::max(campo->maxLength(), int(campo->text().size())));
    Framecodif->hide();
}

void ANAGSOST::Text1_LostFocus(int Index)
{
    TextBox* campo = Text1[Index];
    if (Index == 10) {
        campo->setText((QStringLiteral("000") + campo->text().trimmed()).right(3));
    } else if (Index == 4) {
        if (registro::DataNascita::daTesto(campo->text()).nonValida()) {
            MsgBox(registro::testi::DATAERRATA, vbInformation, Caption());
            campo->setForeColor(NERO);
            campo->setBackColor(GIALLO);
            campo->setFocus();
        }
    }
}

void ANAGSOST::Text1_KeyPress(int Index, int& KeyAscii)
{
    M.VARIAZIONI = 1;
    TextBox* campo = Text1[Index];
    switch (Index) {
    case 3:
        // Each key replaces the sex typed before; a refused key leaves it empty.
        campo->setText(QString());
        FILTRACARATTERI(KeyAscii, QStringLiteral("MmFf "), true);
        break;
    case 4: {
        CAMPOTESTO stato = campo->stato();
        stato.testo = DIGITADATA(stato, KeyAscii);
        campo->applica(stato);
        if (stato.beep)
            QApplication::beep();
        KeyAscii = 0;
        break;
    }
    case 10: {
        CAMPOTESTO stato = campo->stato();
        KeyAscii = DIGITANUMERO(stato, KeyAscii, 0, 0, 3, 0);
        campo->applica(stato);
        break;
    }
    default:
        KeyAscii = MAIUSCOLO(KeyAscii);
        break;
    }
}
