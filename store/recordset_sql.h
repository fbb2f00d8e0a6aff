#pragma once
// Internal to store/: the record sets and the database handle over a Qt SQL
// connection. Nothing here depends on the engine: that is Motore's business.
#include "store/database.h"
#include "store/righe.h"

#include <optional>

namespace store::interno {

class DatabaseSql final : public Database {
public:
    explicit DatabaseSql(std::shared_ptr<Connessione> connessione);
    ~DatabaseSql() override;

    void Close() override;
    QString percorso() const override;
    int Execute(const QString& sql, const QVariantList& parametri) override;
    QList<int> Execute(const QList<Istruzione>& istruzioni) override;
    std::unique_ptr<SqlRecordset> OpenRecordset(const QString& sql, const QVariantList& parametri,
                                                const QList<Chiave>& ordine) override;
    std::unique_ptr<TableRecordset> OpenTable(const QString& tabella) override;
    void richiedi(const QString& tabella, const QStringList& campi) override;
    void BeginTrans() override;
    void BeginTrans(const QStringList& tabelleScritte) override;
    void CommitTrans() override;
    void Rollback() override;
    bool inTransazione() const override;
    quint64 scambi() const override;
    void annuncia(const Avviso& avviso) override;
    void ascolta(std::function<void()> arrivati, int intervalloMs) override;
    QList<Avviso> avvisi() override;
    const Luogo& luogo() const { return m_connessione->luogo(); }

private:
    std::shared_ptr<Connessione> m_connessione;
    QString m_percorso;
};

// What the two record sets share: the connection and its register of open
// record sets, the current row and its edit, closing, reading a field,
// writing the edit back and reading the row again as stored. Derived classes
// call Close() in their destructor (rilascia() is theirs too).
template <class Interfaccia>
class RecordsetSqlBase : public Interfaccia, protected Cursore {
public:
    void Close() override;
    bool Eof() const override { return !m_aperto || m_eof; }
    bool Bof() const override { return !m_aperto || m_bof; }
    QVariant Value(const QString& campo) const override;
    int Indice(const QString& campo) const override;
    QVariant ValueAt(int indice) const override;
    void SetField(const QString& campo, const QVariant& valore) override;
    void Update() override;
    void CancelUpdate() override { m_buffer.chiudi(); }

protected:
    // `nome`: the table's name, or empty for the rows of an SQL text.
    RecordsetSqlBase(std::shared_ptr<Connessione> connessione, const QString& nome);
    // Registered with the connection, then the first read; a failure of the
    // read leaves nothing registered.
    template <class Lettura>
    void avvia(Lettura primaLettura)
    {
        m_connessione->registra(this);
        try {
            primaLettura();
        } catch (...) {
            m_connessione->rimuovi(this);
            throw;
        }
    }
    void rilascia() override;
    void verifica() const;
    ErroreArchivio nessunRecord() const;
    virtual int colonna(const QString& campo) const = 0;
    // A field of the current row, no edit pending.
    virtual QVariant valore(int colonna) const { return m_riga.at(colonna); }

    std::shared_ptr<Connessione> m_connessione;
    QString m_nome;
    std::shared_ptr<const InfoTabella> m_tabella; // the table the rows are written back to
    bool m_aperto = true;
    QVector<QVariant> m_riga; // current row
    bool m_corrente = false;  // m_riga is a row that exists
    bool m_bof = false;
    bool m_eof = false;
    BufferModifica m_buffer;
};

// Table-type record set. It never loads the table: every move is one keyed
// query (first row after/before the current one in the order of the current
// index), so the table may be as large as it likes and always shows what is
// stored now, other programs' changes included. Its first row is read when
// something first needs it, not when it opens: a Seek needs none.
class TabellaSql final : public RecordsetSqlBase<TableRecordset> {
public:
    TabellaSql(std::shared_ptr<Connessione> connessione, std::shared_ptr<const InfoTabella> tabella);
    ~TabellaSql() override;

    bool Eof() const override;
    bool Bof() const override;
    QVariant Value(const QString& campo) const override;
    QVariant ValueAt(int indice) const override;

    void MoveFirst() override;
    void MoveNext() override;
    void MovePrevious() override;
    void MoveLast() override;
    long RecordCount() override;
    void Edit() override;

    void setIndex(const QString& nome) override;
    QString Index() const override { return m_indice; }
    void Seek(const QString& confronto, const QVariantList& chiavi) override;
    bool NoMatch() const override { return m_noMatch; }
    void AddNew() override;
    void Delete() override;

private:
    void rilascia() override;
    int colonna(const QString& campo) const override;
    // Positions on the first row of `sql`; otherwise leaves no current row.
    bool posiziona(const QString& sql, const QVariantList& parametri);
    void estremo(bool primo);
    void relativo(bool avanti);
    // Reads the first row if nothing has been read yet.
    void primaLettura() const;
    QString ordine(bool discendente) const;

    QString m_indice;
    QStringList m_colonneIndice;
    QStringList m_ordine;     // index columns, then the identifying ones
    QString m_selezione;      // SELECT of every column
    bool m_posizione = false; // m_riga anchors MoveNext/MovePrevious (after Delete, the deleted row)
    bool m_noMatch = false;
    bool m_daLeggere = true; // opened, and not positioned yet
};

// Record set over the rows of an SQL text, read as they come (forward only).
// When it is a plain "SELECT * FROM <table> ..." its rows can be edited: at the
// first Edit the identities of the rows still to come are read, and each of
// them is read again by identity when reached, so that writing into the very
// table being read never skips or repeats a row.
class SqlRecordsetSql final : public RecordsetSqlBase<SqlRecordset> {
public:
    // `ordine`: the ORDER BY the engine wrote for the caller's keys, run
    // after the text.
    SqlRecordsetSql(std::shared_ptr<Connessione> connessione, const QString& sql, const QVariantList& parametri,
                    const QString& ordine = QString());
    ~SqlRecordsetSql() override;

    void MoveFirst() override;
    void MoveNext() override;
    long RecordCount() override;
    void Edit() override;

private:
    void rilascia() override;
    // Its rows came from a session that broke off: it closes.
    void sessioneChiusa() override { Close(); }
    int colonna(const QString& campo) const override;
    QVariant valore(int colonna) const override;
    void esegui();
    void prossima();
    void leggiIdentita();
    // Copies the current row out of the query (it is read there on demand).
    void materializza();

    QString m_sql;
    QVariantList m_parametri;
    std::optional<QSqlQuery> m_query;
    QList<int> m_rifilare; // fixed-width columns of the result
    QStringList m_nomi;
    QHash<QString, int> m_posizione;

    bool m_rigaInQuery = false; // the current row is the query's, not yet in m_riga
    long m_lette = 0;

    bool m_perIdentita = false;
    QVector<QVector<QVariant>> m_restanti; // rows still to come, by identity
    int m_prossimaRestante = 0;
};

} // namespace store::interno
