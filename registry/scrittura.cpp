#include "registry/scrittura.h"

#include "registry/csv.h"
#include "registry/testi.h"
#include "registry/xlsx.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

namespace registro {

namespace {

// Why the file could not be opened for writing.
QString causaApertura(const QString& percorso)
{
    const QFileInfo file(percorso);
    if (file.isDir())
        return testi::CARTELLAOMONIMA;
    if (file.exists() && !file.isWritable())
        return testi::FILEPROTETTO;
    return testi::CARTELLANONSCRIVIBILE;
}

bool scrivi(QSaveFile& file, const QByteArray& dati)
{
    return file.write(dati) == dati.size();
}

// The workbook is written by a library that wants a file name: it writes a
// temporary file in the same folder, which is then copied into the file
// being saved. "" when copied, otherwise why not.
QString copiaXlsx(const Tabella& tabella, QSaveFile& file)
{
    const QString cartella = QFileInfo(file.fileName()).absolutePath();
    QTemporaryFile foglio(file.fileName() + QStringLiteral(".XXXXXX"));
    if (!foglio.open())
        return testi::CARTELLANONSCRIVIBILE;
    foglio.close(); // the library opens it by its name
    const QString causa = scriviXlsx(tabella, foglio.fileName(), cartella);
    if (!causa.isEmpty())
        return causa;
    if (!foglio.open())
        return testi::SCRITTURAFALLITA;
    while (!foglio.atEnd()) {
        const QByteArray pezzo = foglio.read(1 << 12);
        if (pezzo.isEmpty() || !scrivi(file, pezzo))
            return testi::SCRITTURAFALLITA;
    }
    return QString();
}

} // namespace

std::optional<Formato> formatoDelFile(const QString& percorso)
{
    const QString estensione = QFileInfo(percorso).suffix();
    if (estensione.compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0)
        return Formato::Xlsx;
    if (estensione.compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return Formato::Csv;
    return std::nullopt;
}

QString scriviTabella(const Tabella& tabella, const QString& percorso, Formato formato)
{
    QSaveFile file(percorso);
    if (!file.open(QIODevice::WriteOnly))
        return causaApertura(percorso);
    QString causa;
    if (formato == Formato::Csv)
        causa = scrivi(file, csv(tabella)) ? QString() : testi::SCRITTURAFALLITA;
    else
        causa = copiaXlsx(tabella, file);
    // What is still buffered reaches the disk here, so that a full disk is
    // told apart from a file that cannot take the place of the old one.
    if (causa.isEmpty() && !file.flush())
        causa = testi::SCRITTURAFALLITA;
    if (causa.isEmpty() && !file.commit())
        causa = testi::SOSTITUZIONEFALLITA;
    if (!causa.isEmpty())
        file.cancelWriting(); // the file written so far goes: the one chosen, if any, is untouched
    return causa;
}

} // namespace registro
