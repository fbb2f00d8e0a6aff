// Export of the list as shown to a workbook or a CSV file; the folder the
// export and the print propose.
#include "window/anagsost.h"
#include "window/dialoghi.h"
#include "window/guardie.h"
#include "window/msgbox.h"

#include "registry/esporta.h"
#include "registry/testi.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QStandardPaths>

#include <algorithm>

namespace {

// The file types of the save dialog, the workbook first, and each one's format.
const QStringList TIPI = {QStringLiteral("Cartella di lavoro di Excel (*.xlsx)"), QStringLiteral("File CSV (*.csv)")};
const registro::Formato FORMATI[] = {registro::Formato::Xlsx, registro::Formato::Csv};

int tipoDi(registro::Formato formato)
{
    return formato == registro::Formato::Csv ? 1 : 0;
}

} // namespace

void ANAGSOST::COLLEGAESPORTA()
{
    connect(CmdEsporta, &QPushButton::clicked, this, [this] { protetto([this] { CmdEsporta_Click(); }); });
}

QString ANAGSOST::CARTELLAPROPOSTA() const
{
    if (!STATO.CARTELLAFILE.isEmpty())
        return STATO.CARTELLAFILE;
    const QString documenti = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documenti).isDir() ? documenti : QDir::homePath();
}

std::optional<ANAGSOST::FileEsportazione> ANAGSOST::SCEGLIFILEESPORTAZIONE(const QString& titolo, const QString& nome)
{
    const int proposto = tipoDi(registro::formatoDelFile(nome).value_or(registro::Formato::Xlsx));
    const Dialoghi::FileScelto scelto =
        Dialoghi::fileDaSalvare(this, titolo, QDir(CARTELLAPROPOSTA()).filePath(nome), TIPI, proposto);
    if (scelto.percorso.isEmpty())
        return std::nullopt;
    // The type chosen writes the file, unless the name ends with the other
    // type's extension, typed so.
    return FileEsportazione{scelto.percorso,
                            registro::formatoDelFile(scelto.percorso).value_or(FORMATI[std::clamp(scelto.tipo, 0, 1)])};
}

bool ANAGSOST::MOSTRAESITOESPORTAZIONE(const registro::EsitoEsportazione& esito, const QString& percorso)
{
    using Tipo = registro::EsitoEsportazione::Tipo;
    switch (esito.tipo) {
    case Tipo::Scritto:
        STATO.CARTELLAFILE = QFileInfo(percorso).absolutePath();
        MsgBox(esito.messaggio, vbInformation, Caption());
        return true;
    case Tipo::NonScritto:
        MsgBox(esito.messaggio, vbCritical, Caption());
        break;
    case Tipo::Rifiutato:
        MsgBox(esito.errore->messaggio() + CR + CR + registro::testi::ESPORTAZIONENONESEGUITA, vbCritical, Caption());
        break;
    }
    return false;
}

void ANAGSOST::CmdEsporta_Click()
{
    const std::vector<registro::ChiaveSostituto> chiavi = CHIAVIMOSTRATE(QStringLiteral("esportare"));
    if (chiavi.empty())
        return;
    // The last file's name and type are proposed again, else a workbook.
    const QString nome = STATO.FILEESPORTATO.isEmpty() ? QStringLiteral("anagrafiche-sostituti.xlsx")
                                                       : QFileInfo(STATO.FILEESPORTATO).fileName();
    const std::optional<FileEsportazione> file =
        SCEGLIFILEESPORTAZIONE(QStringLiteral("Esporta anagrafiche sostituti"), nome);
    if (!file)
        return;
    registro::EsitoEsportazione esito;
    {
        const CursoreOccupato occupato;
        esito = registro::esporta(*M.DBANNO, chiavi, file->percorso, file->formato);
    }
    if (MOSTRAESITOESPORTAZIONE(esito, file->percorso))
        STATO.FILEESPORTATO = file->percorso;
}
