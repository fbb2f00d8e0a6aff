#include "store/connessione.h"

#include "store/riconnessione.h"

#include <QAtomicInteger>
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
    : m_motore(std::move(motore)), m_luogo(luogo), m_opzioni(opzioni)
{
    apriSessione();
    m_aperta = true;
}

void Connessione::apriSessione()
{
    m_nomeConnessione = nuovoNomeConnessione();
    m_db = QSqlDatabase::addDatabase(m_motore->driver(), m_nomeConnessione);
    if (!m_db.isValid()) {
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nomeConnessione);
        throw ErroreArchivio(TipoErrore::NonApribile,
                             QStringLiteral("driver %1 non disponibile").arg(m_motore->driver()),
                             m_luogo.descrizione());
    }
    try {
        m_motore->apri(m_db, m_luogo, m_opzioni);
    } catch (...) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nomeConnessione);
        throw;
    }
    if (!m_luogo.suServer())
        m_identita = identitaFile(m_luogo.percorso());
}

void Connessione::chiudiSessione()
{
    // The session goes before the statements prepared on it: they then go
    // without asking the server to free them, which a connection that broke
    // off could not do (the server frees them with the session).
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_nomeConnessione);
    m_istruzioni.clear();
}

Connessione::~Connessione()
{
    chiudi();
}

void Connessione::chiudi()
{
    if (!m_aperta)
        return;
    if (m_interrotta)
        chiudiSessione(); // see chiudiSessione()
    // Record sets first: their statements must be gone before the
    // connection is, or the engine keeps the file busy.
    const std::vector<Cursore*> cursori = m_cursori;
    m_cursori.clear();
    for (Cursore* c : cursori)
        c->rilascia();
    m_aperta = false;
    if (m_transazione && !m_interrotta) {
        // An unfinished transaction is undone; the engine would do the same.
        QSqlQuery q(m_db);
        q.exec(QStringLiteral("ROLLBACK"));
    }
    m_transazione = false;
    m_tabelle.clear();
    chiudiSessione();
}

void Connessione::registra(Cursore* cursore)
{
    m_cursori.push_back(cursore);
}

void Connessione::rimuovi(Cursore* cursore)
{
    m_cursori.erase(std::remove(m_cursori.begin(), m_cursori.end(), cursore), m_cursori.end());
}

void Connessione::verificaAperta()
{
    if (!m_aperta)
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("archivio chiuso"),
                             QStringLiteral("L'archivio è già stato chiuso."));
    if (!m_interrotta)
        return;
    if (m_transazione)
        throw connessionePersa(m_luogo);
    // The session that broke off goes with what lives on it (prepared
    // statements, the rows of SQL record sets); the description of the
    // tables stays, and so do the table record sets, which hold no statement.
    chiudiSessione();
    const std::vector<Cursore*> cursori = m_cursori;
    for (Cursore* c : cursori)
        c->sessioneChiusa();
    apriSessione();
    m_interrotta = false;
}

void Connessione::verificaFile() const
{
    if (!m_luogo.suServer() && m_identita.valida && identitaFile(m_luogo.percorso()) != m_identita)
        throw archivioSpostato(m_luogo);
}

std::shared_ptr<const InfoTabella> Connessione::tabella(const QString& nome)
{
    verificaAperta();
    const QString chiave = nome.toUpper();
    auto trovata = m_tabelle.constFind(chiave);
    if (trovata != m_tabelle.constEnd())
        return *trovata;
    PuntoRipristino punto(*this);
    std::shared_ptr<const InfoTabella> info;
    try {
        const QStringList tutte = m_motore->tabelle(m_db);
        auto it = std::find_if(tutte.begin(), tutte.end(),
                               [&](const QString& t) { return t.compare(nome, Qt::CaseInsensitive) == 0; });
        if (it == tutte.end())
            throw ErroreArchivio(TipoErrore::OggettoMancante, QStringLiteral("no such table: %1").arg(nome),
                                 QStringLiteral("la tabella %1").arg(nome));
        info = std::make_shared<const InfoTabella>(m_motore->descriviTabella(m_db, *it));
    } catch (const ErroreArchivio& e) {
        guasto(e);
    }
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
    if (!m_transazione)
        verificaFile();
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

void Connessione::errore(const QSqlError& e, const QString& contesto)
{
    guasto(m_motore->classifica(e, contesto));
}

void Connessione::guasto(const ErroreArchivio& classificato, bool inConferma)
{
    if (m_luogo.suServer())
        throw guastoSuServer(m_db, m_luogo, classificato, inConferma, m_interrotta);
    throw guastoSuFile(m_luogo, m_identita, classificato);
}

void Connessione::inizia()
{
    verificaAperta();
    if (m_transazione)
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("transazione già aperta"),
                             QStringLiteral("Una transazione è già in corso."));
    verificaFile();
    QStringList istruzioni;
    try {
        istruzioni = m_motore->inizioTransazione(m_db);
    } catch (const ErroreArchivio& e) {
        guasto(e);
    }
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

void Connessione::verificaTransazione()
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
        guasto(m_motore->classifica(e, QStringLiteral("COMMIT")), true);
    }
    m_transazione = false;
}

void Connessione::annulla()
{
    if (m_interrotta && m_transazione) {
        // The server undid it when the connection broke off.
        m_transazione = false;
        return;
    }
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
