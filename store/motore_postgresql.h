#pragma once
// Internal to store/: the PostgreSQL engine behind the store's interface.
// What concerns the server as a whole is in server_postgresql.h.
#include "store/canale_postgresql.h"
#include "store/luogo.h"
#include "store/motore.h"

#include <memory>

namespace store::interno {

class MotorePostgreSql final : public Motore {
public:
    QString driver() const override;
    QSqlDriver* creaDriver() const override;
    // Opens the connection (the handshake, no statement) and leaves the
    // read of the catalogue to go with the connection's first statement.
    void apri(QSqlDatabase& db, const Luogo& luogo, const OpzioniArchivio& opzioni) const override;
    // Both read the catalogue first, alone, when no statement has brought it
    // yet; Danneggiato for an archive without tables.
    QStringList tabelle(QSqlDatabase& db) const override;
    InfoTabella descriviTabella(QSqlDatabase& db, const QString& tabella) const override;
    QList<InfoTabella> descrizioni() const override { return m_catalogo; }
    bool senzaTabelle() const override { return m_catalogoLetto && m_catalogo.isEmpty(); }
    ErroreArchivio classifica(const QSqlError& errore, const QString& contesto) const override;
    bool nessunaTransazione(const QSqlError& errore) const override;
    QStringList inizioTransazione(QSqlDatabase& db, const QStringList& tabelle) const override;
    bool ripristinoPerIstruzione() const override { return true; }
    bool restituisceRighe() const override { return true; }
    CanalePg* canale() const override { return m_canale.get(); }
    bool letturaProgressiva() const override { return false; }
    QString voceOrdine(const QString& colonna, bool discendente) const override;
    QList<int> colonneDaRifilare(const QSqlRecord& record) const override;
    // The server folded the schema's unquoted names to lower case: that is
    // how they are quoted, and the schema's spelling is how they are shown.
    QString nome(const QString& identificatore) const override;
    QString nomeCanonico(const QString& nome) const override;

    // A failed connection to `luogo`, naming it for the operator.
    ErroreArchivio classificaApertura(const QSqlError& errore, const Luogo& luogo) const;
    // The server's or libpq's text of an error, on one line, with its SQLSTATE.
    static QString testo(const QSqlError& errore);

private:
    // The schema's tables, columns and indexes, from the answer to the
    // catalogue's read; the read's failure when it failed.
    QSqlError leggiCatalogo(const PGresult* risposta) const;
    void assicuraCatalogo() const;

    // Made when the connection opens: the store's statements go through it.
    mutable std::unique_ptr<CanalePg> m_canale;
    mutable QList<InfoTabella> m_catalogo;
    mutable bool m_catalogoLetto = false;
    mutable Luogo m_luogo; // the archive, as failures name it
};

} // namespace store::interno
