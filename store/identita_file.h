#pragma once
// Internal to store/: which file a path names. An archive open in the
// program stays the same file for the engine even when another program
// moves, replaces or removes it under its path (a backup restored, the folder
// moved): the engine would go on reading the old file, now reached by no
// path. Comparing the file's identity when it was opened with what its path
// names now tells the two apart, at the cost of one status call.
#include "store/errore.h"
#include "store/luogo.h"

#include <QString>
#include <QtGlobal>

namespace store::interno {

struct IdentitaFile {
    bool valida = false; // false: no file at the path (or it cannot be asked)
    quint64 volume = 0;  // the device (the volume's serial number on Windows)
    quint64 indice = 0;  // the inode (the file index on Windows)

    friend bool operator==(const IdentitaFile& a, const IdentitaFile& b)
    {
        return a.valida == b.valida && a.volume == b.volume && a.indice == b.indice;
    }
    friend bool operator!=(const IdentitaFile& a, const IdentitaFile& b) { return !(a == b); }
};

// The identity of the file the path names now.
IdentitaFile identitaFile(const QString& percorso);

// The archive file is no longer the one at its path.
ErroreArchivio archivioSpostato(const Luogo& luogo);
// A failure met on the open file `aperto`, as the operator is to read it: a
// write refused because the file was moved or replaced under the program is
// told as such, never as a permission problem; a write refused because the
// file or its folder has become read-only names the file.
ErroreArchivio guastoSuFile(const Luogo& luogo, const IdentitaFile& aperto, const ErroreArchivio& classificato);

} // namespace store::interno
