#pragma once
// Writing a table to a file, whole or not at all: the file is written under
// another name in its folder and takes the place of the one chosen only
// when complete. When anything fails, no file is left half-written and an
// existing file keeps what it held.
#include "registry/tabella.h"

#include <optional>

namespace registro {

enum class Formato { Xlsx, Csv };

// The format a file's name asks for by its extension (.xlsx, .csv, in any
// case); none for another or none.
std::optional<Formato> formatoDelFile(const QString& percorso);

// "" when written; otherwise why not, in the operator's words.
QString scriviTabella(const Tabella& tabella, const QString& percorso, Formato formato);

} // namespace registro
