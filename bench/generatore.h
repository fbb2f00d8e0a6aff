#pragma once
// Archives of a chosen size for the benchmarks: fictional data, valid codes.
#include <QString>
#include <QStringList>

struct ArchivioBench {
    QString cartella;       // archive folder (template and year's database)
    QStringList codiciCf;   // codice fiscale of each substitute, in insertion order
    QStringList codiciAzi;  // company code of each substitute
};

// Writes the template and a year's database with `sostituti` substitutes
// (natural persons and companies alternating, names of varied length) linked
// to a few declarants, and `righeQuadri` section rows spread over the six
// section tables, plus recipients. The folder must not hold an archive yet.
ArchivioBench creaArchivioBench(const QString& cartella, int sostituti, qint64 righeQuadri);

// Adds one substitute with `righe` section rows of its own (and recipients of
// its company), for one run of a deletion or a change of codice fiscale;
// returns its codice fiscale. `n` makes the codes unique.
QString aggiungiBersaglio(const QString& percorsoAnno, const QString& codazi, int n, int righe);

// A formally correct codice fiscale that no generated substitute holds.
QString codiceNuovo(int n);
// The codice fiscale aggiungiBersaglio gives the substitute number n.
QString codiceBersaglio(int n);
