#pragma once
// Lines of the selection list.
#include "registry/mostrati.h"

#include <QString>

// The fixed first line, which opens the insertion of a new substitute.
inline const QString PRIMARIGA =
    QStringLiteral("------------ INSERIMENTO NUOVA ANAGRAFICA SOSTITUTO ------------");

// Shown in the name column of a row that still lacks its name.
inline const QString DATIDAINTEGRARE = QStringLiteral("Anagrafica con dati da integrare");

// One line of the list: company code as stored (columns 1-3), a blank, the
// codice fiscale padded to 16 (5-20), a blank, the name padded and cut to 45.
QString RIGASOSTITUTO(const QString& codazi, const QString& cfs, const QString& asost1, const QString& asost2);

// The substitute a line names: the company code as stored (everything before
// the last 63 characters) and the codice fiscale after it, trimmed.
registro::ChiaveSostituto CHIAVEDIRIGA(const QString& riga);
