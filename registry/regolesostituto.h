#pragma once
// Internal to registry/: the rules the check of the archive applies to one
// substitute's row taken alone (what each covers: verifica.h).
#include "registry/sostituto.h"
#include "registry/verifica.h"

#include <QSet>
#include <QString>

#include <functional>

namespace registro::verifica {

// What the rules look codes up in: the provinces' codes and the front pages'
// company codes, trailing blanks left out.
struct Riferimenti {
    QSet<QString> province;
    QSet<QString> aziende;
};

// The program's keys compare without their trailing blanks, on the file as
// on the server.
QString senzaCoda(const QString& testo);

using Segnala = std::function<void(TipoSegnalazione tipo, const QString& messaggio)>;
// Hands each finding of the substitute to `segnala`, in the kinds' order.
void controllaSostituto(const Sostituto& sostituto, const Riferimenti& riferimenti, const Segnala& segnala);

} // namespace registro::verifica
