#include "store/connessione.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QSqlRecord>
#include <algorithm>

namespace store::interno {

namespace {

QString nuovoNomeConnessione()
{
    static QAtomicInteger<quint64> contatore;
    return QStringLiteral("anagsost-archivio-%1").arg(++contatore);
}

} // namespace

QVariant valoreDaScrivere(const QVariant& valore)
{
    // Qt SQL binds a QString without data as Null, though the variant holding
    // it is not null: the text of an empty field would then be stored as Null.
    // Only a null variant stands for Null; any text, empty or not, is a text.
    if (!valore.isNull() && valore.typeId() == QMetaType::QString && valore.toString().isNull())
        return QVariant(QStringLiteral(""));
    return valore;
}

// ---- Connessione ----

Connessione::Connessione(std::unique_ptr<Motore> motore, const Luogo& luogo, const OpzioniArchivio& opzioni)
    : m_motore(std::move(motore)), m_luogo(luogo), m_nomeConnessione(nuovoNomeConnessione())
{
    m_db = QSqlDatabase::addDatabase(m_motore->driver(), m_nomeConnessione);
    if (!m_db.isValid()) {
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nomeConnessione);
        throw ErroreArchivio(TipoErrore::NonApribile,
                             QStringLiteral("driver %1 non disponibile").arg(m_motore->driver()), luogo.descrizione());
    }
    try {
        m_motore->apri(m_db, luogo, opzioni);
    } catch (...) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nomeConnessione);
        throw;
    }
    m_aperta = true;
}

Connessione::~Connessione()
{
    chiudi();
}

void Connessione::chiudi()
{
    if (!m_aperta)
        return;
    // Record sets first: their statements must be gone before the
    // connection is, or the engine keeps the file busy.
    const std::vector<Cursore*> cursori = m_cursori;
    m_cursori.clear();
    for (Cursore* c : cursori)
        c->rilascia();
    m_aperta = false;
    if (m_transazione) {
        // An unfinished transaction is undone; the engine would do the same.
        QSqlQuery q(m_db);
        q.exec(QStringLiteral("ROLLBACK"));
        m_transazione = false;
    }
    m_tabelle.clear();
    m_istruzioni.clear();
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_nomeConnessione);
}

void Connessione::registra(Cursore* cursore)
{
    m_cursori.push_back(cursore);
}

void Connessione::rimuovi(Cursore* cursore)
{
    m_cursori.erase(std::remove(m_cursori.begin(), m_cursori.end(), cursore), m_cursori.end());
}

void Connessione::verificaAperta() const
{
    if (!m_aperta)
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("archivio chiuso"),
                             QStringLiteral("L'archivio è già stato chiuso."));
}

std::shared_ptr<const InfoTabella> Connessione::tabella(const QString& nome)
{
    verificaAperta();
    const QString chiave = nome.toUpper();
    auto trovata = m_tabelle.constFind(chiave);
    if (trovata != m_tabelle.constEnd())
        return *trovata;
    PuntoRipristino punto(*this);
    const QStringList tutte = m_motore->tabelle(m_db);
    auto it = std::find_if(tutte.begin(), tutte.end(),
                           [&](const QString& t) { return t.compare(nome, Qt::CaseInsensitive) == 0; });
    if (it == tutte.end())
        throw ErroreArchivio(TipoErrore::OggettoMancante, QStringLiteral("no such table: %1").arg(nome),
                             QStringLiteral("la tabella %1").arg(nome));
    auto info = std::make_shared<const InfoTabella>(m_motore->descriviTabella(m_db, *it));
    punto.conferma();
    m_tabelle.insert(chiave, info);
    return info;
}

QSqlQuery Connessione::prepara(const QString& sql, bool soloAvanti)
{
    verificaAperta();
    QSqlQuery q(m_db);
    q.setForwardOnly(soloAvanti && m_motore->letturaProgressiva());
    PuntoRipristino punto(*this);
    if (!q.prepare(sql))
        errore(q.lastError(), sql);
    punto.conferma();
    return q;
}

std::shared_ptr<QSqlQuery> Connessione::preparata(const QString& sql)
{
    verificaAperta();
    auto trovata = m_istruzioni.constFind(sql);
    if (trovata != m_istruzioni.constEnd())
        return *trovata;
    auto q = std::make_shared<QSqlQuery>(prepara(sql));
    m_istruzioni.insert(sql, q);
    return q;
}

bool Connessione::leggiRiga(const QString& sql, const QVariantList& parametri, QVector<QVariant>& riga)
{
    const std::shared_ptr<QSqlQuery> q = preparata(sql);
    esegui(*q, parametri);
    if (!avanza(*q))
        return false;
    riga = Connessione::riga(*q, m_motore->colonneDaRifilare(q->record()));
    q->finish();
    return true;
}

int Connessione::modifica(const QString& sql, const QVariantList& parametri)
{
    if (parametri.isEmpty()) {
        // Run as it is: a statement without values may be one the engine
        // cannot prepare (a setting, say).
        verificaAperta();
        QSqlQuery q(m_db);
        PuntoRipristino punto(*this);
        if (!q.exec(sql))
            errore(q.lastError(), sql);
        punto.conferma();
        const int righe = q.isSelect() ? 0 : q.numRowsAffected();
        q.finish();
        return righe;
    }
    QSqlQuery q = prepara(sql);
    esegui(q, parametri);
    const int righe = q.isSelect() ? 0 : q.numRowsAffected();
    q.finish();
    return righe;
}

void Connessione::esegui(QSqlQuery& query, const QVariantList& parametri)
{
    verificaAperta();
    for (int i = 0; i < parametri.size(); ++i)
        query.bindValue(i, valoreDaScrivere(parametri.at(i)));
    PuntoRipristino punto(*this);
    if (!query.exec()) {
        const QSqlError e = query.lastError();
        query.finish();
        errore(e, query.lastQuery());
    }
    punto.conferma();
}

QVector<QVariant> Connessione::riga(const QSqlQuery& query, const QList<int>& rifilare)
{
    QVector<QVariant> valori;
    leggiRiga(query, query.record().count(), rifilare, valori);
    return valori;
}

void Connessione::leggiRiga(const QSqlQuery& query, int colonne, const QList<int>& rifilare,
                            QVector<QVariant>& valori)
{
    valori.resize(colonne);
    for (int i = 0; i < colonne; ++i)
        valori[i] = query.value(i);
    rifila(valori, rifilare);
}

bool Connessione::avanza(QSqlQuery& query)
{
    if (query.next())
        return true;
    const QSqlError e = query.lastError();
    query.finish();
    if (e.isValid() && e.type() != QSqlError::NoError)
        errore(e, query.lastQuery());
    return false;
}

void Connessione::errore(const QSqlError& e, const QString& contesto) const
{
    const ErroreArchivio classificato = m_motore->classifica(e, contesto);
    if (classificato.tipo() == TipoErrore::NonApribile && !m_luogo.suServer()) {
        // The file was opened for writing: a write the file system refuses
        // now means that the file or its folder has become read-only.
        const QFileInfo file(m_luogo.percorso());
        if (!file.isWritable() || !QFileInfo(file.absolutePath()).isWritable())
            throw ErroreArchivio(TipoErrore::SolaLettura, classificato.dettaglio(), m_luogo.percorso());
    }
    throw classificato;
}

void Connessione::inizia()
{
    verificaAperta();
    if (m_transazione)
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("transazione già aperta"),
                             QStringLiteral("Una transazione è già in corso."));
    const QStringList istruzioni = m_motore->inizioTransazione(m_db);
    QSqlQuery q(m_db);
    for (int i = 0; i < istruzioni.size(); ++i) {
        if (!q.exec(istruzioni.at(i))) {
            const QSqlError e = q.lastError();
            if (i > 0) {
                // The transaction began but could not take its lock: it is
                // ended here, nothing having been written in it.
                QSqlQuery annulla(m_db);
                annulla.exec(QStringLiteral("ROLLBACK"));
            }
            errore(e, istruzioni.at(i));
        }
    }
    m_transazione = true;
}

void Connessione::verificaTransazione() const
{
    verificaAperta();
    if (!m_transazione)
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("nessuna transazione"),
                             QStringLiteral("Nessuna transazione in corso."));
}

void Connessione::conferma()
{
    verificaTransazione();
    QSqlQuery q(m_db);
    if (m_motore->ripristinoPerIstruzione()) {
        // On such an engine COMMIT of a spoilt transaction undoes it and
        // reports success: make sure first that it can still be committed.
        if (!q.exec(QStringLiteral("SELECT 1")))
            errore(q.lastError(), QStringLiteral("COMMIT"));
    }
    if (!q.exec(QStringLiteral("COMMIT"))) {
        const QSqlError e = q.lastError();
        // The engine may have ended the transaction on its own; otherwise it
        // stays open and the caller rolls it back.
        if (m_motore->nessunaTransazione(e))
            m_transazione = false;
        errore(e, QStringLiteral("COMMIT"));
    }
    m_transazione = false;
}

void Connessione::annulla()
{
    verificaTransazione();
    m_transazione = false;
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("ROLLBACK"))) {
        const QSqlError e = q.lastError();
        if (!m_motore->nessunaTransazione(e))
            errore(e, QStringLiteral("ROLLBACK"));
    }
}

} // namespace store::interno

namespace store::interno {

namespace {
const QString PUNTO = QStringLiteral("anagsost_istruzione");
}

PuntoRipristino::PuntoRipristino(Connessione& connessione) : m_connessione(connessione)
{
    if (!connessione.m_transazione || !connessione.m_motore->ripristinoPerIstruzione())
        return;
    QSqlQuery q(connessione.m_db);
    if (!q.exec(QStringLiteral("SAVEPOINT ") + PUNTO))
        connessione.errore(q.lastError(), QStringLiteral("SAVEPOINT"));
    m_attivo = true;
}

PuntoRipristino::~PuntoRipristino()
{
    if (!m_attivo)
        return;
    // The failed statement is undone, the savepoint dropped; what the
    // transaction did before it stays pending.
    QSqlQuery q(m_connessione.m_db);
    q.exec(QStringLiteral("ROLLBACK TO SAVEPOINT ") + PUNTO);
    q.exec(QStringLiteral("RELEASE SAVEPOINT ") + PUNTO);
}

void PuntoRipristino::conferma()
{
    if (!m_attivo)
        return;
    m_attivo = false;
    QSqlQuery q(m_connessione.m_db);
    if (!q.exec(QStringLiteral("RELEASE SAVEPOINT ") + PUNTO)) {
        const QSqlError e = q.lastError();
        q.exec(QStringLiteral("ROLLBACK TO SAVEPOINT ") + PUNTO);
        q.exec(QStringLiteral("RELEASE SAVEPOINT ") + PUNTO);
        m_connessione.errore(e, QStringLiteral("RELEASE SAVEPOINT"));
    }
}

} // namespace store::interno
