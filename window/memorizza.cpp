// Validation and saving of the data sheet, moves to the previous/next substitute.
#include "window/anagsost.h"
#include "window/aspetto.h"
#include "window/guardie.h"
#include "window/msgbox.h"
#include "window/textbox.h"

#include "checks/tasti.h"
#include "store/chiavi.h"

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

void ANAGSOST::CONTROLLOCAMPI()
{
    M.ERRORECAMPI = 0;
    for (int n = 1; n <= 10; ++n) {
        Text1[n]->setForeColor(NERO);
        Text1[n]->setBackColor(BIANCO);
    }
    auto vuoto = [this](int n) { return Text1[n]->text().trimmed().isEmpty(); };

    if (vuoto(2)) {
        // Not a natural person: no birth data required nor kept.
        Text1[3]->setText(QString());
        Text1[4]->setText(QStringLiteral("00/00/0000"));
        Text1[5]->setText(QString());
        Text1[6]->setText(QString());
    } else {
        if (vuoto(3))
            return RIFIUTACAMPO(3, QStringLiteral("Inserire Sesso"));
        const QString data = Text1[4]->text().trimmed();
        if (data != QLatin1String("00/00/0000") && (!DATAVALIDA(data) || data.right(4) == QLatin1String("0000")))
            return RIFIUTACAMPO(4, QStringLiteral("Data di nascita errata"));
        if (data == QLatin1String("00/00/0000"))
            return RIFIUTACAMPO(4, QStringLiteral("Inserire data di nascita"));
        if (vuoto(5))
            return RIFIUTACAMPO(5, QStringLiteral("Inserire comune di nascita"));
        M.TABPROV->Seek(QStringLiteral("="), Text1[6]->text());
        if (M.TABPROV->NoMatch())
            return RIFIUTACAMPO(6, QStringLiteral("Inserire una provincia di nascita valida"));
    }

    if (vuoto(7))
        return RIFIUTACAMPO(7, QStringLiteral("Inserire comune di residenza o domicilio fiscale"));
    M.TABPROV->Seek(QStringLiteral("="), Text1[8]->text());
    if (M.TABPROV->NoMatch())
        return RIFIUTACAMPO(8, QStringLiteral("Inserire una provincia di residenza o domicilio fiscale valida"));

    {
        const IndicePrincipale ripristino(*M.TABFRONTESPIZIO);
        M.TABFRONTESPIZIO->setIndex(QStringLiteral("CHIAVECODAZI"));
        M.TABFRONTESPIZIO->Seek(QStringLiteral("="), store::CHIAVEAZI(Text1[10]->text()));
        if (M.TABFRONTESPIZIO->NoMatch()) {
            Text1[10]->setText(QString());
            return RIFIUTACAMPO(10,
                                QStringLiteral("Attenzione !!! Il codice azienda collegata inserito non è presente "
                                               "nel frontespizio"),
                                vbCritical);
        }
    }

    if (vuoto(9))
        return RIFIUTACAMPO(9, QStringLiteral("Inserire indirizzo di residenza o domicilio fiscale"));
}

QVariantList ANAGSOST::RIGACORRENTE() const
{
    QVariantList valori{M.TABANAGSOST->Value(QStringLiteral("CODAZI")), M.TABANAGSOST->Value(QStringLiteral("CFS"))};
    for (int n = 1; n <= 10; ++n)
        valori.append(M.TABANAGSOST->Value(QStringLiteral("ASOST_") + QString::number(n)));
    return valori;
}

bool ANAGSOST::RICARICASCHEDA()
{
    M.TABANAGSOST->Seek(QStringLiteral("="), store::CHIAVEAZI(CODAZISOST), store::CHIAVECF(CFSSOST));
    if (M.TABANAGSOST->NoMatch())
        return false;
    IMPOSTATESTATA();
    CARICADATI();
    CODAZISOST = M.TABANAGSOST->Fields(QStringLiteral("CODAZI"));
    CFSSOST = M.TABANAGSOST->Fields(QStringLiteral("CFS"));
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

void ANAGSOST::MEMORIZZADATI()
{
    CONTROLLOCAMPI();
    if (M.ERRORECAMPI == 1)
        return;

    // What the sheet expects to find in the archive: the row as it was
    // loaded, or no row for a substitute that has none yet. Another
    // workstation's save (or deletion) in between is never overwritten
    // without the operator's say.
    QVariantList atteso = M.NUOVOSOSTITUTO == 1 ? QVariantList() : RIGACARICATA;
    for (;;) {
        bool trovata = false;
        QVariantList presente;
        {
            const CursoreOccupato occupato;
            // Looked up and written under the write lock: nobody can change
            // the row between the comparison and the write.
            store::Transazione transazione(*M.DBANNO);
            store::TableRecordset& tabella = *M.TABANAGSOST;
            tabella.Seek(QStringLiteral("="), store::CHIAVEAZI(CODAZISOST), store::CHIAVECF(CFSSOST));
            trovata = !tabella.NoMatch();
            if (trovata)
                presente = RIGACORRENTE();
            if (presente == atteso) {
                SCRIVISCHEDA(trovata);
                transazione.commit();
                break;
            }
        }
        // The lock is given back before the operator is asked.
        const int risposta = CHIEDICONFLITTO(trovata);
        if (risposta == vbYes) {
            atteso = presente;
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
        return;
    }

    M.VARIAZIONI = 0;
    if (M.NUOVOSOSTITUTO == 1) {
        M.NUOVOSOSTITUTO = 0;
        cmdparcprec->setEnabled(true);
        cmdparcsuc->setEnabled(true);
    }
    RICARICASCHEDA();
}

void ANAGSOST::SCRIVISCHEDA(bool esistente)
{
    store::TableRecordset& tabella = *M.TABANAGSOST;
    if (!esistente) {
        tabella.AddNew();
        // The key is written in the form every lookup builds, so that the
        // new row is always found again (a code typed with a leading blank
        // would otherwise be stored where no lookup reaches it).
        tabella.SetField(QStringLiteral("CFS"), CFSSOST.trimmed());
        tabella.SetField(QStringLiteral("CODAZI"), store::CHIAVEAZI(CODAZISOST));
        tabella.SetField(QStringLiteral("ASOST_1"), Text1[1]->text());
        tabella.SetField(QStringLiteral("ASOST_2"), Text1[2]->text());
    } else {
        tabella.Edit();
    }
    for (int n = 1; n <= 10; ++n) {
        const QString testo = Text1[n]->text();
        QString valore;
        if (n == 10)
            valore = store::CHIAVEAZI(testo);
        else if (n == 4) // GG/MM/AAAA stored as AAAAMMGG
            valore = testo.mid(6, 4) + testo.mid(3, 2) + testo.mid(0, 2);
        else
            valore = testo;
        tabella.SetField(QStringLiteral("ASOST_") + QString::number(n), valore);
    }
    try {
        tabella.Update();
    } catch (...) {
        // Nothing was stored; the typed values stay on the sheet.
        tabella.CancelUpdate();
        throw;
    }
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
    CODAZIPREC = CODAZISOST;
    CFSPREC = CFSSOST;

    store::TableRecordset& tabella = *M.TABANAGSOST;
    auto allEstremo = [&tabella, avanti] { return avanti ? tabella.Eof() : tabella.Bof(); };
    if (!allEstremo()) {
        if (avanti)
            tabella.MoveNext();
        else
            tabella.MovePrevious();
    }
    if (!allEstremo()) {
        CODAZISOST = tabella.Fields(QStringLiteral("CODAZI"));
        CFSSOST = tabella.Fields(QStringLiteral("CFS"));
        tabella.Seek(QStringLiteral("="), store::CHIAVEAZI(CODAZISOST), store::CHIAVECF(CFSSOST));
    } else {
        MsgBox(avanti ? QStringLiteral("Ultima Anagrafica") : QStringLiteral("Prima Anagrafica"), vbInformation,
               Caption());
        tabella.Seek(QStringLiteral("="), store::CHIAVEAZI(CODAZIPREC), store::CHIAVECF(CFSPREC));
        if (!tabella.NoMatch()) {
            CODAZISOST = CODAZIPREC;
            CFSSOST = CFSPREC;
        }
    }
    IMPOSTATESTATA();
    PULISCICAMPI();
    CARICADATI();
}

void ANAGSOST::cmdparcprec_Click()
{
    SPOSTASCHEDA(false);
}

void ANAGSOST::cmdparcsuc_Click()
{
    SPOSTASCHEDA(true);
}
