#include "store/connessione.h"

#include "store/attesa.h"
#include "store/canale_postgresql.h"
#include "store/libpq.h"
#include "store/riconnessione.h"

#include <QAtomicInteger>
#include <QElapsedTimer>
#include <QSqlRecord>
#include <algorithm>
#include <optional>

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
    QSqlDriver* proprio = m_motore->creaDriver();
    m_db = proprio ? QSqlDatabase::addDatabase(proprio, m_nomeConnessione)
                   : QSqlDatabase::addDatabase(m_motore->driver(), m_nomeConnessione);
    if (!m_db.isValid()) {
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nomeConnessione);
        throw ErroreArchivio(TipoErrore::NonApribile,
                             QStringLiteral("driver %1 non disponibile").arg(m_motore->driver()),
                             m_luogo.descrizione());
    }
    // The engine's channel to the server is made anew with the session: the
    // round trips of the one before count still.
    if (const CanalePg* canale = m_motore->canale())
        m_scambiSessioniChiuse += canale->scambi();
    try {
        m_motore->apri(m_db, m_luogo, m_opzioni);
    } catch (...) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_nomeConnessione);
        throw;
    }
    // Every session describes the tables anew (on a server the catalogue
    // comes with its first statement): a connection opened again after one
    // broke off as any new connection.
    m_tabelle.clear();
    m_catalogoCompleto = false;
    if (!m_luogo.suServer())
        m_identita = identitaFile(m_luogo.percorso());
    if (m_ascolto)
        ascoltaSessione(false);
}

void Connessione::ascoltaSessione(bool rifiutaGuasto)
{
    CanalePg* canale = m_motore->canale();
    if (canale) {
        // Opened again after it broke off: a refusal here shows at the
        // statement that follows, which meets the same server.
        const std::vector<Risposta> r = canale->invia({richiesta(QStringLiteral("LISTEN ") + CANALEAVVISI)});
        const QSqlError e = canale->errore(r.front().get());
        if (e.isValid() && rifiutaGuasto)
            errore(e, QStringLiteral("LISTEN"));
    }
    m_ascolto->sessioneAperta(m_db, canale);
}

void Connessione::ascolta(std::function<void()> arrivati, int intervalloMs)
{
    if (!arrivati) {
        m_ascolto.reset();
        return;
    }
    verificaAperta();
    m_ascolto = std::make_unique<Ascolto>(std::move(arrivati), intervalloMs);
    try {
        ascoltaSessione(true);
    } catch (...) {
        m_ascolto.reset();
        throw;
    }
}

void Connessione::annuncia(const Avviso& avviso)
{
    if (CanalePg* canale = m_motore->canale(); canale && m_transazione)
        canale->conCommit(richiesta(QStringLiteral("SELECT pg_notify(?, ?)"),
                                    {CANALEAVVISI, QString::fromUtf8(testoAvviso(avviso))}));
}

QList<Avviso> Connessione::avvisi()
{
    if (!m_aperta || m_interrotta || !m_ascolto)
        return {};
    return m_ascolto->leggi(m_transazione);
}

void Connessione::chiudiSessione()
{
    // The session goes before the statements prepared on it: they then go
    // without asking the server to free them, which a connection that broke
    // off could not do (the server frees them with the session).
    if (m_ascolto)
        m_ascolto->sessioneChiusa();
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
        if (CanalePg* canale = m_motore->canale()) {
            canale->annulla();
        } else {
            QSqlQuery q(m_db);
            q.exec(QStringLiteral("ROLLBACK"));
        }
    }
    m_transazione = false;
    m_tabelle.clear();
    m_catalogoCompleto = false;
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
    auto mancante = [&] {
        return ErroreArchivio(TipoErrore::OggettoMancante, QStringLiteral("no such table: %1").arg(nome),
                              QStringLiteral("la tabella %1").arg(nome));
    };
    if (m_catalogoCompleto)
        throw mancante();
    QStringList tutte;
    try {
        tutte = catalogoConAttesa([&] { return m_motore->tabelle(m_db); });
    } catch (const ErroreArchivio& e) {
        guasto(e);
    }
    // Where the engine reads every table's description at once, all are kept.
    const QList<InfoTabella> catalogo = m_motore->descrizioni();
    if (!catalogo.isEmpty()) {
        for (const InfoTabella& t : catalogo)
            m_tabelle.insert(t.nome.toUpper(), std::make_shared<const InfoTabella>(t));
        m_catalogoCompleto = true;
        trovata = m_tabelle.constFind(chiave);
        if (trovata == m_tabelle.constEnd())
            throw mancante();
        return *trovata;
    }
    auto it = std::find_if(tutte.begin(), tutte.end(),
                           [&](const QString& t) { return t.compare(nome, Qt::CaseInsensitive) == 0; });
    if (it == tutte.end())
        throw mancante();
    std::shared_ptr<const InfoTabella> info;
    try {
        info = std::make_shared<const InfoTabella>(
            catalogoConAttesa([&] { return m_motore->descriviTabella(m_db, *it); }));
    } catch (const ErroreArchivio& e) {
        guasto(e);
    }
    m_tabelle.insert(chiave, info);
    return info;
}

QSqlQuery Connessione::nuovaIstruzione()
{
    CanalePg* canale = m_motore->canale();
    return canale ? canale->istruzione() : QSqlQuery(m_db);
}

QSqlQuery Connessione::prepara(const QString& sql, bool soloAvanti)
{
    verificaAperta();
    QSqlQuery q = nuovaIstruzione();
    q.setForwardOnly(soloAvanti && m_motore->letturaProgressiva());
    if (!q.prepare(sql))
        errore(q.lastError(), sql);
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
        QSqlQuery q = nuovaIstruzione();
        if (!conAttesa(q, [&] { return q.exec(sql); }))
            errore(q.lastError(), sql);
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

QList<int> Connessione::modificaTutte(const QList<Istruzione>& istruzioni)
{
    verificaAperta();
    QList<int> righe;
    CanalePg* canale = m_motore->canale();
    if (!canale) {
        for (const Istruzione& i : istruzioni)
            righe << modifica(i.sql, i.parametri);
        return righe;
    }
    std::vector<Richiesta> richieste;
    for (const Istruzione& i : istruzioni) {
        QVariantList valori;
        for (const QVariant& v : i.parametri)
            valori << valoreDaScrivere(v);
        richieste.push_back(richiesta(i.sql, valori));
    }
    const std::vector<Risposta> risposte = canale->inviaIstruzioni(std::move(richieste));
    for (int i = 0; i < istruzioni.size(); ++i) {
        const PGresult* r = risposte[std::size_t(i)].get();
        const QSqlError e = canale->errore(r);
        if (e.isValid())
            errore(e, istruzioni.at(i).sql);
        righe << QByteArray(libpq().righeToccate(const_cast<PGresult*>(r))).toInt();
    }
    return righe;
}

void Connessione::esegui(QSqlQuery& query, const QVariantList& parametri)
{
    verificaAperta();
    for (int i = 0; i < parametri.size(); ++i)
        query.bindValue(i, valoreDaScrivere(parametri.at(i)));
    if (!conAttesa(query, [&] { return query.exec(); })) {
        const QSqlError e = query.lastError();
        query.finish();
        errore(e, query.lastQuery());
    }
}

QVector<QVariant> Connessione::riga(const QSqlQuery& query, const QList<int>& rifilare)
{
    QVector<QVariant> valori;
    leggiRiga(query, query.record().count(), rifilare, valori);
    return valori;
}

void Connessione::leggiRiga(const QSqlQuery& query, int colonne, const QList<int>& rifilare, QVector<QVariant>& valori)
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

bool Connessione::conAttesa(QSqlQuery& query, const std::function<bool()>& tentativo)
{
    QElapsedTimer tempo;
    tempo.start();
    if (tentativo())
        return true;
    if (m_motore->canale())
        return false;
    InAttesa attesa;
    while (m_motore->classifica(query.lastError(), {}).tipo() == TipoErrore::Occupato &&
           tempo.elapsed() < m_opzioni.attesaBloccoMs) {
        attesa.ancora();
        if (tentativo())
            return true;
    }
    return false;
}

template <class F>
auto Connessione::catalogoConAttesa(F leggi) -> decltype(leggi())
{
    QElapsedTimer tempo;
    tempo.start();
    std::optional<InAttesa> attesa;
    for (;;) {
        try {
            return leggi();
        } catch (const ErroreArchivio& e) {
            if (m_motore->canale() || e.tipo() != TipoErrore::Occupato || tempo.elapsed() >= m_opzioni.attesaBloccoMs)
                throw;
        }
        if (!attesa)
            attesa.emplace();
        attesa->ancora();
    }
}

void Connessione::errore(const QSqlError& e, const QString& contesto)
{
    // On a server the failure may be that of the transaction's start, sent
    // with the statement: the lock of a table refused is not the statement's.
    const CanalePg* canale = m_motore->canale();
    const QString fallita = canale ? canale->inizioFallito() : QString();
    // No statement of the program runs on a database without tables: that
    // is what the operator is to read, not the first table it lacks.
    if (m_motore->senzaTabelle())
        guasto(
            ErroreArchivio(TipoErrore::Danneggiato, QStringLiteral("archivio senza tabelle"), m_luogo.descrizione()));
    guasto(m_motore->classifica(e, fallita.isEmpty() ? contesto : fallita));
}

void Connessione::guasto(const ErroreArchivio& classificato, bool inConferma)
{
    if (m_luogo.suServer())
        throw guastoSuServer(m_db, m_luogo, classificato, inConferma, m_interrotta);
    throw guastoSuFile(m_luogo, m_identita, classificato);
}

void Connessione::inizia(const QStringList& scritte)
{
    verificaAperta();
    if (m_transazione)
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("transazione già aperta"),
                             QStringLiteral("Una transazione è già in corso."));
    verificaFile();
    QStringList istruzioni;
    try {
        istruzioni = m_motore->inizioTransazione(m_db, scritte);
    } catch (const ErroreArchivio& e) {
        guasto(e);
    }
    if (CanalePg* canale = m_motore->canale()) {
        // Sent with the transaction's first statement, in its round trip: a
        // lock that cannot be had fails that statement, and the caller rolls
        // back. A statement may fail alone only when no table was named.
        canale->inizia(istruzioni, scritte.isEmpty() && m_motore->ripristinoPerIstruzione());
        m_transazione = true;
        return;
    }
    QSqlQuery q(m_db);
    for (int i = 0; i < istruzioni.size(); ++i) {
        if (!conAttesa(q, [&] { return q.exec(istruzioni.at(i)); })) {
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
    if (CanalePg* canale = m_motore->canale()) {
        // A COMMIT that fails, or finds the transaction spoilt by a failed
        // statement, ends it on the server all the same.
        const QSqlError e = canale->conferma();
        m_transazione = false;
        if (e.isValid())
            guasto(m_motore->classifica(e, QStringLiteral("COMMIT")), true);
        return;
    }
    QSqlQuery q(m_db);
    if (!conAttesa(q, [&] { return q.exec(QStringLiteral("COMMIT")); })) {
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
    if (m_aperta && m_interrotta) {
        // The server undid it when the connection broke off (or a COMMIT
        // whose answer never came ended it).
        m_transazione = false;
        return;
    }
    verificaTransazione();
    m_transazione = false;
    QSqlError e;
    if (CanalePg* canale = m_motore->canale()) {
        e = canale->annulla();
    } else {
        QSqlQuery q(m_db);
        if (!q.exec(QStringLiteral("ROLLBACK")))
            e = q.lastError();
    }
    if (e.isValid() && !m_motore->nessunaTransazione(e))
        errore(e, QStringLiteral("ROLLBACK"));
}

quint64 Connessione::scambi() const
{
    const CanalePg* canale = m_motore->canale();
    return m_scambiSessioniChiuse + (canale ? canale->scambi() : 0);
}

} // namespace store::interno
