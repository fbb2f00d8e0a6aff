#include "window/dialoghi.h"

#include <QFileDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>

namespace {
struct Preimpostato {
    QString percorso;
    std::optional<int> tipo;
};
std::optional<Preimpostato>& prossimoFile()
{
    static std::optional<Preimpostato> file;
    return file;
}
std::optional<QString>& prossimoPdf()
{
    static std::optional<QString> percorso;
    return percorso;
}
bool& annullaSempre()
{
    static bool attivo = false;
    return attivo;
}
QString& proposto()
{
    static QString percorso;
    return percorso;
}

// The extension a name filter asks for: "xlsx" of "Cartella di lavoro (*.xlsx)".
QString estensione(const QString& tipo)
{
    static const QRegularExpression forma(QStringLiteral("\\*\\.(\\w+)"));
    return forma.match(tipo).captured(1);
}
} // namespace

Dialoghi::FileScelto Dialoghi::fileDaSalvare(QWidget* padre, const QString& titolo, const QString& percorso,
                                             const QStringList& tipi, int tipo)
{
    proposto() = percorso;
    if (prossimoFile()) {
        const Preimpostato scelto = *prossimoFile();
        prossimoFile().reset();
        return {scelto.percorso, scelto.tipo.value_or(tipo)};
    }
    if (annullaSempre())
        return {};
    QFileDialog dialogo(padre, titolo, percorso);
    dialogo.setNameFilters(tipi);
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setFileMode(QFileDialog::AnyFile);
    dialogo.selectNameFilter(tipi.value(tipo));
    dialogo.setDefaultSuffix(estensione(tipi.value(tipo)));
    QObject::connect(&dialogo, &QFileDialog::filterSelected, &dialogo,
                     [&dialogo](const QString& filtro) { dialogo.setDefaultSuffix(estensione(filtro)); });
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return {};
    return {dialogo.selectedFiles().first(), int(std::max<qsizetype>(0, tipi.indexOf(dialogo.selectedNameFilter())))};
}

void Dialoghi::setNextFile(const QString& percorso, std::optional<int> tipo)
{
    prossimoFile() = Preimpostato{percorso, tipo};
}

QString Dialoghi::stampa(QWidget* padre, QPrinter& stampante, const std::function<void(QPrinter&)>& pagine)
{
    proposto() = stampante.outputFileName();
    if (prossimoPdf()) {
        const QString pdf = *prossimoPdf();
        prossimoPdf().reset();
        stampante.setOutputFormat(QPrinter::PdfFormat);
        stampante.setOutputFileName(pdf);
        pagine(stampante);
        return pdf;
    }
    if (annullaSempre())
        return QString();
    QPrintPreviewDialog anteprima(&stampante, padre);
    anteprima.setWindowTitle(stampante.docName());
    QObject::connect(&anteprima, &QPrintPreviewDialog::paintRequested, &anteprima,
                     [&pagine](QPrinter* destinazione) { pagine(*destinazione); });
    // The preview is accepted once its pages are printed.
    const bool stampato = anteprima.exec() == QDialog::Accepted;
    return stampato && stampante.outputFormat() == QPrinter::PdfFormat ? stampante.outputFileName() : QString();
}

void Dialoghi::setNextPdf(const QString& percorso)
{
    prossimoPdf() = percorso;
}

void Dialoghi::clearNext()
{
    prossimoFile().reset();
    prossimoPdf().reset();
}

void Dialoghi::setAutoCancel(bool annulla)
{
    annullaSempre() = annulla;
}

QString Dialoghi::ultimoProposto()
{
    return proposto();
}
