// Print of the list as shown: a heading naming the archive, the date and
// what is listed, then company code, codice fiscale, name, birth and
// residence of each substitute (window/pagine.h lays them on pages).
#include "window/anagsost.h"
#include "window/dialoghi.h"
#include "window/guardie.h"
#include "window/msgbox.h"
#include "window/pagine.h"

#include "registry/stampa.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>

namespace {

// The code and the codice fiscale as wide as their widest text; name, birth
// and residence share what is left.
const std::vector<double> QUOTE = {0, 0, 0.36, 0.30, 0.34};

} // namespace

void ANAGSOST::COLLEGASTAMPA()
{
    connect(CmdStampa, &QPushButton::clicked, this, [this] { protetto([this] { CmdStampa_Click(); }); });
}

void ANAGSOST::CmdStampa_Click()
{
    const std::vector<registro::ChiaveSostituto> chiavi = CHIAVIMOSTRATE(QStringLiteral("stampare"));
    if (chiavi.empty())
        return;
    std::vector<registro::RigaStampa> righe;
    {
        const CursoreOccupato occupato;
        righe = registro::righeStampa(*M.DBANNO, chiavi);
    }
    const QString ricerca = TextTrova->text();
    const qsizetype totale = STATO.ELENCO.righe();
    const TestataPagine testata{QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")),
                                QStringLiteral("Archivio: ") + M.NOMEARCHIVIOANNO(),
                                ricerca.isEmpty()
                                    ? QStringLiteral("Tutte le anagrafiche: %1").arg(righe.size())
                                    : QStringLiteral("Anagrafiche che contengono \u00ab%1\u00bb: %2 di %3")
                                          .arg(ricerca)
                                          .arg(righe.size())
                                          .arg(totale)};
    STAMPATABELLA(testata, registro::tabellaStampa(righe), QUOTE, QStringLiteral("anagrafiche-sostituti.pdf"));
}

void ANAGSOST::STAMPATABELLA(const TestataPagine& testata, const registro::Tabella& tabella,
                             const std::vector<double>& quote, const QString& nomePdf)
{
    QPrinter stampante(QPrinter::HighResolution);
    stampante.setDocName(tabella.titolo);
    stampante.setCreator(QStringLiteral("anagsost"));
    stampante.setPageOrientation(QPageLayout::Landscape);
    stampante.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
    // The PDF file the print dialog offers, in the folder the export offers
    // too; a printer, when there is one, stays the one proposed. (Windows'
    // and macOS's dialogs offer no file: a name set here would be printed to
    // even when the operator cancels.)
    const QPrinter::OutputFormat formato = stampante.outputFormat();
    stampante.setOutputFileName(QDir(CARTELLAPROPOSTA()).filePath(nomePdf));
    stampante.setOutputFormat(formato);
#else
    Q_UNUSED(nomePdf)
#endif
    bool stampato = false;
    const QString pdf =
        Dialoghi::stampa(this, stampante, [this, &testata, &tabella, &quote, &stampato](QPrinter& destinazione) {
            stampato = stampaTabella(destinazione, testata, tabella, quote);
            if (!stampato)
                MsgBox(QStringLiteral("Impossibile stampare: la stampante o il file scelto non può essere scritto."),
                       vbCritical, Caption());
        });
    if (stampato && !pdf.isEmpty())
        STATO.CARTELLAFILE = QFileInfo(pdf).absolutePath();
}
