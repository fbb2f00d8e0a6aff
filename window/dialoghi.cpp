#include "window/dialoghi.h"

#include <QFileDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <optional>

namespace {
std::optional<QString>& prossimoFile()
{
    static std::optional<QString> percorso;
    return percorso;
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
} // namespace

QString Dialoghi::fileDaSalvare(QWidget* padre, const QString& titolo, const QString& proposto,
                                const QString& filtro, const QString& suffisso)
{
    if (prossimoFile()) {
        const QString percorso = *prossimoFile();
        prossimoFile().reset();
        return percorso;
    }
    if (annullaSempre())
        return QString();
    QFileDialog dialogo(padre, titolo, proposto, filtro);
    dialogo.setAcceptMode(QFileDialog::AcceptSave);
    dialogo.setFileMode(QFileDialog::AnyFile);
    dialogo.setDefaultSuffix(suffisso);
    if (dialogo.exec() != QDialog::Accepted || dialogo.selectedFiles().isEmpty())
        return QString();
    return dialogo.selectedFiles().first();
}

void Dialoghi::setNextFile(const QString& percorso)
{
    prossimoFile() = percorso;
}

void Dialoghi::stampa(QWidget* padre, QPrinter& stampante, const std::function<void(QPrinter&)>& pagine)
{
    if (prossimoPdf()) {
        stampante.setOutputFormat(QPrinter::PdfFormat);
        stampante.setOutputFileName(*prossimoPdf());
        prossimoPdf().reset();
        pagine(stampante);
        return;
    }
    if (annullaSempre())
        return;
    QPrintPreviewDialog anteprima(&stampante, padre);
    anteprima.setWindowTitle(stampante.docName());
    QObject::connect(&anteprima, &QPrintPreviewDialog::paintRequested, &anteprima,
                     [&pagine](QPrinter* destinazione) { pagine(*destinazione); });
    anteprima.exec();
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
