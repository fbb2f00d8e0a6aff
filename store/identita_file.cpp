#include "store/identita_file.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace store::interno {

IdentitaFile identitaFile(const QString& percorso)
{
    IdentitaFile identita;
#ifdef Q_OS_WIN
    // No access asked, every sharing allowed: the engine keeps the file open.
    const std::wstring nome = percorso.toStdWString();
    HANDLE file = CreateFileW(nome.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return identita;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(file, &info)) {
        identita.valida = true;
        identita.volume = info.dwVolumeSerialNumber;
        identita.indice = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    }
    CloseHandle(file);
#else
    struct stat stato;
    if (::stat(QFile::encodeName(percorso).constData(), &stato) == 0) {
        identita.valida = true;
        identita.volume = quint64(stato.st_dev);
        identita.indice = quint64(stato.st_ino);
    }
#endif
    return identita;
}

ErroreArchivio archivioSpostato(const Luogo& luogo)
{
    return ErroreArchivio(TipoErrore::ArchivioSpostato, QStringLiteral("il percorso non indica più il file aperto"),
                          luogo.percorso());
}

ErroreArchivio guastoSuFile(const Luogo& luogo, const IdentitaFile& aperto, const ErroreArchivio& classificato)
{
    const TipoErrore tipo = classificato.tipo();
    if (tipo != TipoErrore::NonApribile && tipo != TipoErrore::SolaLettura && tipo != TipoErrore::ArchivioSpostato)
        return classificato;
    if (tipo == TipoErrore::ArchivioSpostato || (aperto.valida && identitaFile(luogo.percorso()) != aperto))
        return ErroreArchivio(TipoErrore::ArchivioSpostato, classificato.dettaglio(), luogo.percorso());
    if (tipo == TipoErrore::NonApribile) {
        // The file was opened for writing: a write the file system refuses
        // now means that the file or its folder has become read-only.
        const QFileInfo file(luogo.percorso());
        if (!file.isWritable() || !QFileInfo(file.absolutePath()).isWritable())
            return ErroreArchivio(TipoErrore::SolaLettura, classificato.dettaglio(), luogo.percorso());
    }
    return classificato;
}

} // namespace store::interno
