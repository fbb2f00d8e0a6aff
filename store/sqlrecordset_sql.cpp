#include "store/recordset_sql.h"

#include <QRegularExpression>
#include <QSqlRecord>

namespace store::interno {

namespace {

// "SELECT * FROM <table>" followed by nothing, a WHERE or an ORDER BY: the
// rows are rows of that table, and can be written back by identity.
QString tabellaAggiornabile(const QString& sql)
{
    static const QRegularExpression forma(
        QStringLiteral("^\\s*SELECT\\s+\\*\\s+FROM\\s+([A-Za-z_][A-Za-z0-9_]*)\\s*((WHERE|ORDER)\\b.*)?;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression altro(QStringLiteral("\\b(JOIN|UNION|INTERSECT|EXCEPT|GROUP|FROM)\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = forma.match(sql);
    if (!m.hasMatch() || altro.match(m.captured(2)).hasMatch())
        return {};
    return m.captured(1);
}

} // namespace

SqlRecordsetSql::SqlRecordsetSql(std::shared_ptr<Connessione> connessione, const QString& sql,
                                 const QVariantList& parametri, const QString& ordine)
    : RecordsetSqlBase(std::move(connessione), QString()), m_sql(sql + ordine), m_parametri(parametri)
{
    esegui();
    const QSqlRecord record = m_query->record();
    for (int i = 0; i < record.count(); ++i) {
        m_nomi << m_connessione->motore().nomeCanonico(record.fieldName(i));
        // The first of two equal names wins, as a read by name would.
        if (!m_posizione.contains(record.fieldName(i).toUpper()))
            m_posizione.insert(record.fieldName(i).toUpper(), i);
    }
    const QString tabella = tabellaAggiornabile(sql);
    if (!tabella.isEmpty()) {
        try {
            auto info = m_connessione->tabella(tabella);
            // The result must be exactly the table's columns, in its order.
            bool uguali = info->colonne.size() == m_nomi.size() && !info->identita().isEmpty();
            for (int i = 0; uguali && i < m_nomi.size(); ++i)
                uguali = info->colonne.at(i).compare(m_nomi.at(i), Qt::CaseInsensitive) == 0;
            if (uguali)
                m_tabella = info;
        } catch (const ErroreArchivio&) {
            // Read-only result; an Edit will say so.
        }
    }
    avvia([this] { prossima(); });
    m_bof = m_eof = !m_corrente;
}

SqlRecordsetSql::~SqlRecordsetSql()
{
    Close();
}

void SqlRecordsetSql::rilascia()
{
    // Ends the read at once: a half-read result keeps the file locked.
    if (m_query) {
        m_query->finish();
        m_query.reset();
    }
    RecordsetSqlBase::rilascia();
    m_rigaInQuery = false;
    m_restanti.clear();
}

int SqlRecordsetSql::colonna(const QString& campo) const
{
    const int i = m_posizione.value(campo.toUpper(), -1);
    if (i < 0)
        throw ErroreArchivio(TipoErrore::OggettoMancante, QStringLiteral("no such column: %1").arg(campo),
                             QStringLiteral("il campo %1").arg(campo));
    return i;
}

void SqlRecordsetSql::esegui()
{
    // A record set only reads: a statement that writes is refused before it runs.
    static const QRegularExpression selezione(QStringLiteral("^\\s*SELECT\\b"),
                                              QRegularExpression::CaseInsensitiveOption);
    if (!selezione.match(m_sql).hasMatch())
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("il testo non è una selezione: %1").arg(m_sql));
    m_query.reset();
    m_query.emplace(m_connessione->prepara(m_sql));
    m_connessione->esegui(*m_query, m_parametri);
    if (!m_query->isSelect()) {
        m_query.reset();
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("il testo non è una selezione: %1").arg(m_sql));
    }
    m_rifilare = m_connessione->motore().colonneDaRifilare(m_query->record());
    m_perIdentita = false;
    m_restanti.clear();
    m_prossimaRestante = 0;
    m_lette = 0;
}

void SqlRecordsetSql::materializza()
{
    if (!m_rigaInQuery)
        return;
    Connessione::leggiRiga(*m_query, int(m_nomi.size()), m_rifilare, m_riga);
    m_rigaInQuery = false;
}

void SqlRecordsetSql::prossima()
{
    m_buffer.chiudi();
    m_corrente = false;
    m_rigaInQuery = false;
    if (m_perIdentita) {
        while (m_prossimaRestante < m_restanti.size()) {
            QVector<QVariant> riga;
            if (rileggi(*m_connessione, *m_tabella, m_restanti.at(m_prossimaRestante++), riga)) {
                m_riga = riga;
                m_corrente = true;
                ++m_lette;
                return;
            }
            // Gone meanwhile: skipped.
        }
    } else if (m_query) {
        if (m_connessione->avanza(*m_query)) {
            // Fields are read from the query on demand: a list of the whole
            // registry reads four columns of each row, not all of them.
            m_rigaInQuery = true;
            m_corrente = true;
            ++m_lette;
            return;
        }
        m_query.reset();
    }
    m_riga.clear();
}

void SqlRecordsetSql::leggiIdentita()
{
    // Identities of the rows still to come; the streaming read ends here so
    // that the writes that follow cannot disturb it.
    const QStringList identita = m_tabella->identita();
    QVector<int> posizioni;
    for (const QString& c : identita)
        posizioni << m_tabella->colonna(c);
    m_restanti.clear();
    m_prossimaRestante = 0;
    if (m_query) {
        while (m_connessione->avanza(*m_query)) {
            QVector<QVariant> riga(int(m_nomi.size()));
            for (int p : posizioni)
                riga[p] = m_query->value(p);
            m_restanti << riga;
        }
        m_query.reset();
    }
    m_perIdentita = true;
}

void SqlRecordsetSql::MoveFirst()
{
    verifica();
    if (!m_perIdentita && ((m_lette == 1 && m_corrente) || m_lette == 0))
        return; // still on the first row, or the result is empty
    esegui();
    prossima();
    m_bof = m_eof = !m_corrente;
}

void SqlRecordsetSql::MoveNext()
{
    verifica();
    if (m_eof)
        throw ErroreArchivio(TipoErrore::NessunRecord, QStringLiteral("MoveNext oltre la fine"));
    prossima();
    m_bof = false;
    m_eof = !m_corrente;
}

long SqlRecordsetSql::RecordCount()
{
    verifica();
    return m_lette;
}

QVariant SqlRecordsetSql::valore(int colonna) const
{
    if (m_rigaInQuery)
        return m_rifilare.contains(colonna) ? rifilato(m_query->value(colonna)) : m_query->value(colonna);
    return m_riga.at(colonna);
}

void SqlRecordsetSql::Edit()
{
    verifica();
    if (!m_tabella)
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("record set non aggiornabile: %1").arg(m_sql),
                             QStringLiteral("Questi dati non si possono modificare."));
    if (!m_corrente)
        throw nessunRecord();
    // The current row is taken from the query before the rest of the
    // result is read for the identities of the rows to come.
    materializza();
    if (!m_perIdentita)
        leggiIdentita();
    m_buffer.modifica(m_riga);
}

} // namespace store::interno
