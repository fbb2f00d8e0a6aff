#include "store/recordset_sql.h"

namespace store::interno {

TabellaSql::TabellaSql(std::shared_ptr<Connessione> connessione, std::shared_ptr<const InfoTabella> tabella)
    : RecordsetSqlBase(std::move(connessione), tabella->nome)
{
    m_tabella = std::move(tabella);
    m_selezione = selezioneTabella(m_connessione->motore(), *m_tabella);
    setIndex(QStringLiteral("CHIAVE"));
    avvia([] {});
}

void TabellaSql::primaLettura() const
{
    // A row being added needs no current row, and reading one would drop it.
    if (!m_daLeggere || !m_aperto || m_buffer.attivo())
        return;
    // Reading leaves the record set as it stood after a MoveFirst at its
    // opening: what was logically there all along.
    const_cast<TabellaSql*>(this)->MoveFirst();
}

bool TabellaSql::Eof() const
{
    primaLettura();
    return RecordsetSqlBase::Eof();
}

bool TabellaSql::Bof() const
{
    primaLettura();
    return RecordsetSqlBase::Bof();
}

QVariant TabellaSql::Value(const QString& campo) const
{
    primaLettura();
    return RecordsetSqlBase::Value(campo);
}

QVariant TabellaSql::ValueAt(int indice) const
{
    primaLettura();
    return RecordsetSqlBase::ValueAt(indice);
}

TabellaSql::~TabellaSql()
{
    Close();
}

void TabellaSql::rilascia()
{
    // The statements live in the connection; only the state goes here.
    RecordsetSqlBase::rilascia();
    m_posizione = false;
}

int TabellaSql::colonna(const QString& campo) const
{
    const int i = m_tabella->colonna(campo);
    if (i < 0)
        throw ErroreArchivio(TipoErrore::OggettoMancante, QStringLiteral("no such column: %1").arg(campo),
                             QStringLiteral("il campo %1 della tabella %2").arg(campo, m_tabella->nome));
    return i;
}

void TabellaSql::setIndex(const QString& nome)
{
    if (!m_aperto)
        verifica();
    const InfoIndice* indice = m_tabella->indice(nome);
    if (!indice)
        throw ErroreArchivio(TipoErrore::OggettoMancante, QStringLiteral("no such index: %1").arg(nome),
                             QStringLiteral("l'indice %1 della tabella %2").arg(nome, m_tabella->nome));
    m_indice = indice->nome.mid(m_tabella->nome.size() + 1);
    m_colonneIndice = indice->colonne;
    // Ties of a non-unique index are broken by the columns that identify a
    // row, so that the order is total and no move skips a row.
    m_ordine = m_colonneIndice;
    QStringList spareggio = m_tabella->identita();
    if (const InfoIndice* chiave = m_tabella->indice(QStringLiteral("CHIAVE")))
        spareggio = chiave->colonne + spareggio;
    for (const QString& c : spareggio) {
        const bool presente = std::any_of(m_ordine.begin(), m_ordine.end(), [&](const QString& o) {
            return o.compare(c, Qt::CaseInsensitive) == 0;
        });
        if (!presente)
            m_ordine << c;
    }
    // The current row stays current.
}

QString TabellaSql::ordine(bool discendente) const
{
    // Key columns are never Null: the engine's own place for Nulls will do,
    // and the server can then walk its index.
    const Motore& motore = m_connessione->motore();
    QStringList parti;
    for (const QString& c : m_ordine)
        parti << motore.nome(c) + (discendente ? QStringLiteral(" DESC") : QString());
    return QStringLiteral(" ORDER BY ") + parti.join(QStringLiteral(", "));
}

bool TabellaSql::posiziona(const QString& sql, const QVariantList& parametri)
{
    m_daLeggere = false;
    m_buffer.chiudi();
    QVector<QVariant> riga;
    if (m_connessione->leggiRiga(sql, parametri, riga)) {
        m_riga = riga;
        m_corrente = m_posizione = true;
        m_bof = m_eof = false;
        return true;
    }
    m_corrente = m_posizione = false;
    m_riga.clear();
    return false;
}

void TabellaSql::estremo(bool primo)
{
    verifica();
    if (!posiziona(m_selezione + ordine(!primo) + m_connessione->motore().primaRiga(), {})) {
        // Empty table.
        m_bof = m_eof = true;
    }
}

void TabellaSql::MoveFirst()
{
    estremo(true);
}

void TabellaSql::MoveLast()
{
    estremo(false);
}

void TabellaSql::relativo(bool avanti)
{
    verifica();
    primaLettura();
    if (!m_posizione) {
        // Before the first row a step forward lands on the first, after the
        // last a step back on the last; anywhere else there is nowhere to go.
        if (avanti && m_bof && !m_eof)
            return MoveFirst();
        if (!avanti && m_eof && !m_bof)
            return MoveLast();
        throw nessunRecord();
    }
    const Motore& motore = m_connessione->motore();
    QVariantList parametri;
    for (const QString& c : m_ordine)
        parametri << m_riga.at(m_tabella->colonna(c));
    const QString sql = m_selezione + QStringLiteral(" WHERE ") +
                        motore.confrontoRiga(m_ordine, avanti ? QStringLiteral(">") : QStringLiteral("<")) +
                        ordine(!avanti) + motore.primaRiga();
    if (!posiziona(sql, parametri)) {
        m_eof = avanti;
        m_bof = !avanti;
    }
}

void TabellaSql::MoveNext()
{
    relativo(true);
}

void TabellaSql::MovePrevious()
{
    relativo(false);
}

void TabellaSql::Seek(const QString& confronto, const QVariantList& chiavi)
{
    verifica();
    if (confronto.trimmed() != QLatin1String("="))
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("Seek \"%1\" non previsto").arg(confronto));
    if (chiavi.isEmpty() || chiavi.size() > m_colonneIndice.size())
        throw ErroreArchivio(TipoErrore::Altro,
                             QStringLiteral("Seek con %1 valori sull'indice %2 di %3 colonne")
                                 .arg(chiavi.size())
                                 .arg(m_indice)
                                 .arg(m_colonneIndice.size()));
    const Motore& motore = m_connessione->motore();
    QStringList condizioni;
    for (int i = 0; i < chiavi.size(); ++i)
        condizioni << motore.nome(m_colonneIndice.at(i)) + QStringLiteral(" = ?");
    const QString sql = m_selezione + QStringLiteral(" WHERE ") + condizioni.join(QStringLiteral(" AND ")) +
                        ordine(false) + motore.primaRiga();
    m_noMatch = !posiziona(sql, chiavi);
    if (m_noMatch)
        m_bof = m_eof = true; // no current row, as in an empty set
}

long TabellaSql::RecordCount()
{
    verifica();
    // How a walk over the whole table starts (a lookup list): it reads the
    // file the path names now, as a list from an SQL text does, never the
    // rows of a file moved or replaced under the program.
    m_connessione->verificaFile();
    QVector<QVariant> riga;
    m_connessione->leggiRiga(QStringLiteral("SELECT COUNT(*) FROM ") + m_connessione->motore().nome(m_tabella->nome),
                             {}, riga);
    return riga.isEmpty() ? 0 : long(riga.first().toLongLong());
}

void TabellaSql::Edit()
{
    verifica();
    primaLettura();
    if (!m_corrente)
        throw nessunRecord();
    identitaRichiesta(*m_tabella);
    m_buffer.modifica(m_riga);
}

void TabellaSql::AddNew()
{
    verifica();
    m_buffer.nuova(int(m_tabella->colonne.size()));
}

void TabellaSql::Delete()
{
    verifica();
    primaLettura();
    if (!m_corrente)
        throw nessunRecord();
    m_buffer.chiudi();
    cancella(*m_connessione, *m_tabella, m_riga);
    // No current row; a move goes on from where the deleted row stood.
    m_corrente = false;
}

} // namespace store::interno
