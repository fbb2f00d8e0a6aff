#pragma once
// Internal to store/: the SQLite engine behind the store's interface.
#include "store/motore.h"

namespace store::interno {

class MotoreSqlite final : public Motore {
public:
    QString driver() const override;
    void apri(QSqlDatabase& db, const Luogo& luogo, const OpzioniArchivio& opzioni) const override;
    QStringList tabelle(QSqlDatabase& db) const override;
    InfoTabella descriviTabella(QSqlDatabase& db, const QString& tabella) const override;
    ErroreArchivio classifica(const QSqlError& errore, const QString& contesto) const override;
    bool nessunaTransazione(const QSqlError& errore) const override;
    QStringList inizioTransazione(QSqlDatabase& db, const QStringList& tabelle) const override;

    // As classifica(), naming the file for the operator.
    ErroreArchivio classificaApertura(const QSqlError& errore, const QString& percorso) const;
};

// Writes a new SQLite file at `percorso` (which must not exist) and runs the
// statements in one transaction. On failure the file may be left behind:
// callers write to a temporary name and rename.
void creaFileSqlite(const QString& percorso, const QStringList& istruzioni);

} // namespace store::interno
