#include "store/recordset_sql.h"

#include "store/canale_postgresql.h"
#include "store/server_postgresql.h"

namespace store {

quint64 scambiServer()
{
    return interno::scambiProcesso();
}

Recordset::~Recordset() = default;

QString Recordset::Fields(const QString& campo) const
{
    const QVariant v = Value(campo);
    return v.isNull() ? QString() : v.toString();
}

Database::~Database() = default;

Presenza presenza(const Luogo& archivio, Database& aperto)
{
    auto* sql = dynamic_cast<interno::DatabaseSql*>(&aperto);
    if (!archivio.suServer() || !sql || sql->luogo().server() != archivio.server())
        return presenza(archivio);
    const auto righe = aperto.OpenRecordset(interno::SQL_PRESENZA, {archivio.nome()});
    if (righe->RecordCount() == 0)
        return Presenza::Assente;
    return righe->ValueAt(0).toBool() ? Presenza::Presente : Presenza::Inaccessibile;
}

std::unique_ptr<Database> Database::OpenDatabase(const QString& percorso, const OpzioniArchivio& opzioni)
{
    return OpenDatabase(Luogo::file(percorso), opzioni);
}

std::unique_ptr<Database> Database::OpenDatabase(const Luogo& luogo, const OpzioniArchivio& opzioni)
{
    auto connessione = std::make_shared<interno::Connessione>(interno::creaMotore(luogo), luogo, opzioni);
    return std::make_unique<interno::DatabaseSql>(std::move(connessione));
}

namespace interno {

DatabaseSql::DatabaseSql(std::shared_ptr<Connessione> connessione)
    : m_connessione(std::move(connessione)), m_percorso(m_connessione->luogo().descrizione())
{
}

DatabaseSql::~DatabaseSql()
{
    Close();
}

void DatabaseSql::Close()
{
    m_connessione->chiudi();
}

QString DatabaseSql::percorso() const
{
    return m_percorso;
}

int DatabaseSql::Execute(const QString& sql, const QVariantList& parametri)
{
    return m_connessione->modifica(sql, parametri);
}

QList<int> DatabaseSql::Execute(const QList<Istruzione>& istruzioni)
{
    return m_connessione->modificaTutte(istruzioni);
}

std::unique_ptr<SqlRecordset> DatabaseSql::OpenRecordset(const QString& sql, const QVariantList& parametri,
                                                         const QList<Chiave>& ordine)
{
    m_connessione->verificaAperta();
    m_connessione->verificaFile();
    return std::make_unique<SqlRecordsetSql>(m_connessione, sql, parametri, m_connessione->motore().ordinaPer(ordine));
}

std::unique_ptr<TableRecordset> DatabaseSql::OpenTable(const QString& tabella)
{
    auto info = m_connessione->tabella(tabella);
    return std::make_unique<TabellaSql>(m_connessione, std::move(info));
}

void DatabaseSql::richiedi(const QString& tabella, const QStringList& campi)
{
    const auto info = m_connessione->tabella(tabella);
    for (const QString& campo : campi) {
        if (info->colonna(campo) < 0)
            throw ErroreArchivio(TipoErrore::OggettoMancante, QStringLiteral("no such column: %1").arg(campo),
                                 QStringLiteral("il campo %1").arg(campo));
    }
}

void DatabaseSql::BeginTrans()
{
    m_connessione->inizia();
}

void DatabaseSql::BeginTrans(const QStringList& tabelleScritte)
{
    m_connessione->inizia(tabelleScritte);
}

void DatabaseSql::CommitTrans()
{
    m_connessione->conferma();
}

void DatabaseSql::Rollback()
{
    m_connessione->annulla();
}

bool DatabaseSql::inTransazione() const
{
    return m_connessione->aperta() && m_connessione->inTransazione();
}

quint64 DatabaseSql::scambi() const
{
    return m_connessione->scambi();
}

void DatabaseSql::annuncia(const Avviso& avviso)
{
    m_connessione->annuncia(avviso);
}

void DatabaseSql::ascolta(std::function<void()> arrivati, int intervalloMs)
{
    m_connessione->ascolta(std::move(arrivati), intervalloMs);
}

QList<Avviso> DatabaseSql::avvisi()
{
    return m_connessione->avvisi();
}

} // namespace interno
} // namespace store
