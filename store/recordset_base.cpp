// What the table-type and the SQL record sets share (RecordsetSqlBase).
#include "store/recordset_sql.h"

namespace store::interno {

template <class Interfaccia>
RecordsetSqlBase<Interfaccia>::RecordsetSqlBase(std::shared_ptr<Connessione> connessione, const QString& nome)
    : m_connessione(std::move(connessione)), m_nome(nome)
{
}

template <class Interfaccia>
void RecordsetSqlBase<Interfaccia>::Close()
{
    if (!m_aperto)
        return;
    m_connessione->rimuovi(this);
    rilascia();
}

template <class Interfaccia>
void RecordsetSqlBase<Interfaccia>::rilascia()
{
    m_aperto = false;
    m_corrente = false;
    m_riga.clear();
    m_buffer.chiudi();
}

template <class Interfaccia>
void RecordsetSqlBase<Interfaccia>::verifica() const
{
    // The connection first: opening it again after it broke off closes the
    // record sets whose rows came from the old session.
    m_connessione->verificaAperta();
    if (!m_aperto) {
        if (m_nome.isEmpty())
            throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("record set chiuso"),
                                 QStringLiteral("L'elenco dei dati è già stato chiuso."));
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("record set chiuso: %1").arg(m_nome),
                             QStringLiteral("La tabella %1 è già stata chiusa.").arg(m_nome));
    }
}

template <class Interfaccia>
ErroreArchivio RecordsetSqlBase<Interfaccia>::nessunRecord() const
{
    return ErroreArchivio(TipoErrore::NessunRecord, m_nome.isEmpty()
                                                        ? QStringLiteral("nessun record corrente")
                                                        : QStringLiteral("nessun record corrente in %1").arg(m_nome));
}

template <class Interfaccia>
QVariant RecordsetSqlBase<Interfaccia>::Value(const QString& campo) const
{
    verifica();
    return RecordsetSqlBase::ValueAt(colonna(campo));
}

template <class Interfaccia>
int RecordsetSqlBase<Interfaccia>::Indice(const QString& campo) const
{
    verifica();
    return colonna(campo);
}

template <class Interfaccia>
QVariant RecordsetSqlBase<Interfaccia>::ValueAt(int i) const
{
    verifica();
    if (m_buffer.attivo())
        return m_buffer.valori.at(i);
    if (!m_corrente)
        throw nessunRecord();
    return valore(i);
}

template <class Interfaccia>
void RecordsetSqlBase<Interfaccia>::SetField(const QString& campo, const QVariant& valore)
{
    verifica();
    const int i = colonna(campo);
    if (!m_buffer.attivo())
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("SetField senza Edit o AddNew"));
    m_buffer.imposta(i, valore);
}

template <class Interfaccia>
void RecordsetSqlBase<Interfaccia>::Update()
{
    verifica();
    if (!m_buffer.attivo())
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("Update senza Edit o AddNew"));
    // On failure the edit stays pending: the caller may retry or cancel it.
    QVector<QVariant> riga;
    const bool riletta = scrivi(*m_connessione, *m_tabella, m_buffer, riga);
    if (m_buffer.modo == BufferModifica::Modo::Modifica) {
        // The stored row, as the engine keeps it (a changed key included).
        if (riletta || rileggi(*m_connessione, *m_tabella, m_buffer.valori, riga))
            m_riga = riga;
        else
            m_riga = m_buffer.valori;
    }
    // After AddNew the current row stays the one before it.
    m_buffer.chiudi();
}

template class RecordsetSqlBase<TableRecordset>;
template class RecordsetSqlBase<SqlRecordset>;

} // namespace store::interno
