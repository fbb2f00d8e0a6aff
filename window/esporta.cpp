// Export of the list as shown to a CSV file.
#include "window/anagsost.h"
#include "window/dialoghi.h"
#include "window/guardie.h"
#include "window/msgbox.h"

#include "registry/esporta.h"
#include "registry/testi.h"

#include <QDir>
#include <QPushButton>
#include <QStandardPaths>

void ANAGSOST::COLLEGAESPORTA()
{
    connect(CmdEsporta, &QPushButton::clicked, this, [this] { protetto([this] { CmdEsporta_Click(); }); });
}

void ANAGSOST::CmdEsporta_Click()
{
    const std::vector<registro::ChiaveSostituto> chiavi = CHIAVIMOSTRATE(QStringLiteral("esportare"));
    if (chiavi.empty())
        return;
    // The last file written is proposed again, else one in the documents folder.
    QString proposto = STATO.FILEESPORTATO;
    if (proposto.isEmpty()) {
        proposto = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                       .filePath(QStringLiteral("anagrafiche-sostituti.csv"));
    }
    const QString percorso =
        Dialoghi::fileDaSalvare(this, QStringLiteral("Esporta anagrafiche sostituti"), proposto,
                                QStringLiteral("File CSV (*.csv);;Tutti i file (*)"), QStringLiteral("csv"));
    if (percorso.isEmpty())
        return;

    registro::EsitoEsportazione esito;
    {
        const CursoreOccupato occupato;
        esito = registro::esporta(*M.DBANNO, chiavi, percorso);
    }
    using Tipo = registro::EsitoEsportazione::Tipo;
    switch (esito.tipo) {
    case Tipo::Scritto:
        STATO.FILEESPORTATO = percorso;
        MsgBox(esito.messaggio, vbInformation, Caption());
        break;
    case Tipo::NonScritto:
        MsgBox(esito.messaggio, vbCritical, Caption());
        break;
    case Tipo::Rifiutato:
        MsgBox(esito.errore->messaggio() + CR + CR + registro::testi::ESPORTAZIONENONESEGUITA, vbCritical, Caption());
        break;
    }
}
