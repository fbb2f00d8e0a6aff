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
    bool isOpen() const override;
    QString percorso() const override;
    int Execute(const QString& sql, const QVariantList& parametri) override;
    std::unique_ptr<SqlRecordset> OpenRecordset(const QString& sql, const QVariantList& parametri) override;
    std::unique_ptr<TableRecordset> OpenTable(const QString& tabella) override;
    void BeginTrans() override;
    void CommitTrans() override;
    void Rollback() override;
    bool inTransazione() const override;
    bool esisteTabella(const QString& tabella) override;

private:
    std::shared_ptr<Connessione> m_connessione;
    QString m_percorso;
};

// Table-type record set. It never loads the table: every move is one keyed
// query (first row after/before the current one in the order of the current
// index), so the table may be as large as it likes and always shows what is
// stored now, other programs' changes included.
class TabellaSql final : public TableRecordset, private Cursore {
public:
    TabellaSql(std::shared_ptr<Connessione> connessione, std::shared_ptr<const InfoTabella> tabella);
    ~TabellaSql() override;

    void Close() override;
    bool isOpen() const override { return m_aperto; }
    bool Eof() const override { return !m_aperto || m_eof; }
    bool Bof() const override { return !m_aperto || m_bof; }
    void MoveFirst() override;
    void MoveNext() override;
    void MovePrevious() override;
    void MoveLast() override;
    long RecordCount() override;
    QVariant Value(const QString& campo) const override;
    QStringList nomiCampi() const override;
    void Edit() override;
    void SetField(const QString& campo, const QVariant& valore) override;
    void Update() override;
    void CancelUpdate() override;

    void setIndex(const QString& nome) override;
    QString Index() const override { return m_indice; }
    QStringList colonneIndice() const override { return m_colonneIndice; }
    void Seek(const QString& confronto, const QVariantList& chiavi) override;
    bool NoMatch() const override { return m_noMatch; }
    void AddNew() override;
    void Delete() override;
    QString nomeTabella() const override;

private:
    void rilascia() override;
    void verifica() const;
    int colonna(const QString& campo) const;
    // Positions on the first row of `sql`; otherwise leaves no current row.
    bool posiziona(const QString& sql, const QVariantList& parametri);
    void estremo(bool primo);
    void relativo(bool avanti);
    QString ordine(bool discendente) const;

    std::shared_ptr<Connessione> m_connessione;
    std::shared_ptr<const InfoTabella> m_tabella;
    bool m_aperto = true;
    QString m_indice;
    QStringList m_colonneIndice;
    QStringList m_ordine; // index columns, then the identifying ones
    QString m_selezione;  // SELECT of every column

    QVector<QVariant> m_riga;   // current row; after Delete, the deleted one
    bool m_corrente = false;    // m_riga is a row that exists
    bool m_posizione = false;   // m_riga anchors MoveNext/MovePrevious
    bool m_bof = false;
    bool m_eof = false;
    bool m_noMatch = false;
    BufferModifica m_buffer;
};

// Record set over the rows of an SQL text, read as they come (forward only).
// When it is a plain "SELECT * FROM <table> ..." its rows can be edited: at the
// first Edit the identities of the rows still to come are read, and each of
// them is read again by identity when reached, so that writing into the very
// table being read never skips or repeats a row.
class SqlRecordsetSql final : public SqlRecordset, private Cursore {
public:
    SqlRecordsetSql(std::shared_ptr<Connessione> connessione, const QString& sql, const QVariantList& parametri);
    ~SqlRecordsetSql() override;

    void Close() override;
    bool isOpen() const override { return m_aperto; }
    bool Eof() const override { return !m_aperto || m_eof; }
    bool Bof() const override { return !m_aperto || m_bof; }
    void MoveFirst() override;
    void MoveNext() override;
    long RecordCount() override;
    QVariant Value(const QString& campo) const override;
    QStringList nomiCampi() const override { return m_nomi; }
    void Edit() override;
    void SetField(const QString& campo, const QVariant& valore) override;
    void Update() override;
    void CancelUpdate() override;

private:
    void rilascia() override;
    void verifica() const;
    int colonna(const QString& campo) const;
    void esegui();
    void prossima();
    void leggiIdentita();
    // Copies the current row out of the query (it is read there on demand).
    void materializza();

    std::shared_ptr<Connessione> m_connessione;
    QString m_sql;
    QVariantList m_parametri;
    bool m_aperto = true;
    std::optional<QSqlQuery> m_query;
    QList<int> m_rifilare; // fixed-width columns of the result
    QStringList m_nomi;
    QHash<QString, int> m_posizione;
    std::shared_ptr<const InfoTabella> m_tabella; // set when the rows can be edited

    QVector<QVariant> m_riga;
    bool m_rigaInQuery = false; // the current row is the query's, not yet in m_riga
    bool m_corrente = false;
    bool m_bof = false;
    bool m_eof = false;
    long m_lette = 0;

    bool m_perIdentita = false;
    QVector<QVector<QVariant>> m_restanti; // rows still to come, by identity
    int m_prossimaRestante = 0;
    BufferModifica m_buffer;
};

} // namespace store::interno
