#pragma once
// Internal to store/: one open connection to the year's database, shared by
// the database handle and by every record set opened on it. Closing the
// database closes the record sets still registered here, so that a record
// set that outlives its database is merely closed, never dangling.
#include "store/ascolto.h"
#include "store/identita_file.h"
#include "store/motore.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>
#include <functional>
#include <memory>
#include <vector>

namespace store::interno {

// A record set as the connection sees it: something to release on Close.
class Cursore {
public:
    virtual ~Cursore() = default;
    // Drops every statement of the record set and marks it closed.
    virtual void rilascia() = 0;
    // The connection to the server is being opened again: a record set
    // whose rows came from the session that broke off closes itself.
    virtual void sessioneChiusa() {}
};

// The value as it is bound: a null variant is Null; a QString, even one
// without data, is a text.
QVariant valoreDaScrivere(const QVariant& valore);

class Connessione {
public:
    // Opens the archive; raises ErroreArchivio.
    Connessione(std::unique_ptr<Motore> motore, const Luogo& luogo, const OpzioniArchivio& opzioni);
    ~Connessione();
    Connessione(const Connessione&) = delete;
    Connessione& operator=(const Connessione&) = delete;

    const Motore& motore() const { return *m_motore; }
    const Luogo& luogo() const { return m_luogo; }
    bool aperta() const { return m_aperta; }
    // Closes the record sets still open, then the connection. Idempotent.
    void chiudi();

    void registra(Cursore* cursore);
    void rimuovi(Cursore* cursore);

    // Raises ErroreArchivio (Altro) when the connection has been closed. A
    // connection to the server that broke off is opened again here, at the
    // first use after the failure that showed it (never inside a
    // transaction, which broke off with it: ConnessionePersa until it is
    // rolled back).
    void verificaAperta();
    // Before a write or a list: raises ArchivioSpostato when the path of the
    // archive file no longer names the file that was opened.
    void verificaFile() const;

    // Description of a table (name matched without regard to case), cached
    // for the life of the connection (on a server every table's, read when it
    // opened). Raises OggettoMancante for no such table.
    std::shared_ptr<const InfoTabella> tabella(const QString& nome);

    // A statement prepared on this connection; raises ErroreArchivio. Its
    // rows are read as they come when the engine allows it (see
    // Motore::letturaProgressiva), otherwise all at once when it runs.
    QSqlQuery prepara(const QString& sql, bool soloAvanti = true);
    // The same, prepared once and kept for the life of the connection. The
    // caller runs it and finishes it before anything else uses it.
    std::shared_ptr<QSqlQuery> preparata(const QString& sql);
    // Runs a one-row read with a kept statement: true and the row's values
    // when there is a row. The statement is finished at once, so that no
    // read lock is left behind.
    bool leggiRiga(const QString& sql, const QVariantList& parametri, QVector<QVariant>& riga);
    // Runs a statement that changes rows; returns how many it changed.
    int modifica(const QString& sql, const QVariantList& parametri);
    // Runs several such statements, on a server in one round trip; how
    // many rows each changed. The first failure is raised, and the rest do
    // not run.
    QList<int> modificaTutte(const QList<Istruzione>& istruzioni);
    // Binds the values in order and runs the prepared statement.
    void esegui(QSqlQuery& query, const QVariantList& parametri);
    // Advances a running query; false at its end. Raises on failure (a
    // lock met while reading is not the end of the rows).
    bool avanza(QSqlQuery& query);
    // The values of the query's current row, padding of fixed-width columns
    // removed (`rifilare`: from colonneDaRifilare of the query's record).
    static QVector<QVariant> riga(const QSqlQuery& query, const QList<int>& rifilare);
    // The same into `valori`, for a result of `colonne` columns: a streamed
    // read reuses one row's storage and never rebuilds the query's record.
    static void leggiRiga(const QSqlQuery& query, int colonne, const QList<int>& rifilare, QVector<QVariant>& valori);
    [[noreturn]] void errore(const QSqlError& errore, const QString& contesto);

    // Transactions. `scritte`: the tables the transaction writes, locked at
    // its start, any failure then undoing it all; none named: every table,
    // and a statement that fails is undone alone.
    bool inTransazione() const { return m_transazione; }
    void inizia(const QStringList& scritte = {});
    void conferma();
    void annulla();

    // Round trips to the server on this connection (see canale_postgresql.h),
    // those of the sessions opened again after one broke off included; 0 for
    // a file.
    quint64 scambi() const;

    // Other workstations' changes: see Database::annuncia, ascolta, avvisi.
    void annuncia(const Avviso& avviso);
    void ascolta(std::function<void()> arrivati, int intervalloMs);
    QList<Avviso> avvisi();

private:
    // Raises ErroreArchivio (Altro) when closed or when no transaction runs.
    void verificaTransazione();
    // Opens the session on the archive; closes it, with what lives on it.
    void apriSessione();
    void chiudiSessione();
    // Runs `tentativo`, a statement of `query`. On a file the engine waits
    // for another program's lock a slice at a time: the statement is tried
    // again while it answers busy, until the archive's wait is over, and the
    // thread's wait handler runs between slices (see attesa.h); a server
    // waits for its locks itself (the channel runs the handler meanwhile).
    // False: query.lastError() says why.
    bool conAttesa(QSqlQuery& query, const std::function<bool()>& tentativo);
    // The same for a read of the catalogue, which raises its failure.
    template <class F>
    auto catalogoConAttesa(F leggi) -> decltype(leggi());
    // LISTEN on the session just opened, and the notifier on it; a refusal
    // raised when asked.
    void ascoltaSessione(bool rifiutaGuasto);
    // Raises the failure as the operator is to read it (see riconnessione.h).
    [[noreturn]] void guasto(const ErroreArchivio& classificato, bool inConferma = false);
    // A statement on this connection, through libpq on a server.
    QSqlQuery nuovaIstruzione();

    std::unique_ptr<Motore> m_motore;
    Luogo m_luogo;
    OpzioniArchivio m_opzioni;
    QString m_nomeConnessione;
    QSqlDatabase m_db;
    bool m_aperta = false;
    bool m_transazione = false;
    bool m_interrotta = false; // the server connection broke off: opened again at the next use
    IdentitaFile m_identita;   // the archive file as opened
    std::vector<Cursore*> m_cursori;
    QHash<QString, std::shared_ptr<const InfoTabella>> m_tabelle;
    bool m_catalogoCompleto = false;    // m_tabelle holds every table
    quint64 m_scambiSessioniChiuse = 0; // round trips of the sessions before the one open
    QHash<QString, std::shared_ptr<QSqlQuery>> m_istruzioni;
    std::unique_ptr<Ascolto> m_ascolto; // once ascolta() was called
};

} // namespace store::interno
