#include "support/archivioprova.h"

#include "store/errore.h"
#include "store/province.h"
#include "store/schema.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <stdexcept>

namespace {

// Type of a fixed-width text column on the server.
constexpr int OID_BPCHAR = 1042;

QString nuovoNome()
{
    static QAtomicInteger<quint64> contatore;
    return QStringLiteral("archivioprova-%1").arg(++contatore);
}

[[noreturn]] void fallisci(const QString& testo)
{
    throw std::runtime_error(testo.toStdString());
}

QHash<QString, ArchivioProva*>& registro()
{
    static QHash<QString, ArchivioProva*> istanze;
    return istanze;
}

QString quota(const QString& nome)
{
    return QLatin1Char('"') + QString(nome).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// Opens a Qt SQL connection on a file or on a database of the server; the
// maintenance database "postgres" when the server's database name is empty.
QSqlDatabase apri(const QString& nome, const store::Luogo& luogo, int attesaMs = 5000)
{
    if (!luogo.suServer()) {
        if (!QFileInfo::exists(luogo.percorso()))
            fallisci(QStringLiteral("ArchivioProva: file inesistente ") + luogo.percorso());
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome);
        db.setDatabaseName(luogo.percorso());
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(attesaMs));
        if (!db.open())
            fallisci(QStringLiteral("ArchivioProva: apertura di %1: %2").arg(luogo.percorso(), db.lastError().text()));
        return db;
    }
    const QString database = luogo.nome().isEmpty() ? QStringLiteral("postgres") : luogo.nome();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nome);
    db.setDatabaseName(database);
    db.setConnectOptions(luogo.server() + QStringLiteral(" connect_timeout=10"));
    if (!db.open())
        fallisci(QStringLiteral("ArchivioProva: apertura di %1: %2")
                     .arg(store::Luogo::server(luogo.server(), database).descrizione(), db.lastError().text()));
    QSqlQuery q(db);
    q.exec(QStringLiteral("SET client_min_messages = error"));
    q.exec(QStringLiteral("SET lock_timeout = %1").arg(attesaMs));
    return db;
}

void chiudi(const QString& nome)
{
    {
        QSqlDatabase db = QSqlDatabase::database(nome, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(nome);
}

// One short-lived connection.
class Connessione {
public:
    explicit Connessione(const store::Luogo& luogo) : m_nome(nuovoNome()), m_server(luogo.suServer())
    {
        apri(m_nome, luogo);
    }
    ~Connessione() { chiudi(m_nome); }
    Connessione(const Connessione&) = delete;
    Connessione& operator=(const Connessione&) = delete;

    bool suServer() const { return m_server; }

    QSqlQuery esegui(const QString& sql, const QVariantList& parametri = {})
    {
        QSqlQuery q(QSqlDatabase::database(m_nome, false));
        // On the server a forward-only result is read row by row and lost
        // when another statement runs (lastInsertId is one).
        q.setForwardOnly(!m_server);
        if (parametri.isEmpty()) {
            // As it is: the server cannot prepare every statement (DROP, SET).
            if (!q.exec(sql))
                fallisci(QStringLiteral("ArchivioProva: %1: %2").arg(sql, q.lastError().text()));
            return q;
        }
        if (!q.prepare(sql))
            fallisci(QStringLiteral("ArchivioProva: %1: %2").arg(sql, q.lastError().text()));
        for (int i = 0; i < parametri.size(); ++i) {
            // As the store does: only a null variant is Null, a QString is a text.
            const QVariant& v = parametri.at(i);
            const bool testoVuoto = !v.isNull() && v.typeId() == QMetaType::QString && v.toString().isNull();
            q.bindValue(i, testoVuoto ? QVariant(QStringLiteral("")) : v);
        }
        if (!q.exec())
            fallisci(QStringLiteral("ArchivioProva: %1: %2").arg(sql, q.lastError().text()));
        return q;
    }

private:
    QString m_nome;
    bool m_server;
};

QString testo(const QVariant& v)
{
    if (v.isNull())
        return QStringLiteral("NULL");
    switch (v.typeId()) {
    case QMetaType::QString:
        return QLatin1Char('\'') + v.toString().replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
    case QMetaType::QByteArray:
        return QStringLiteral("X'") + QString::fromLatin1(v.toByteArray().toHex()) + QLatin1Char('\'');
    default:
        return v.toString();
    }
}

// The names of the schema as written there: the server gives them back in
// lower case.
const QHash<QString, QString>& nomiSchema()
{
    static const QHash<QString, QString> nomi = [] {
        QHash<QString, QString> n;
        static const QRegularExpression identificatore(QStringLiteral("\\b[A-Za-z_][A-Za-z0-9_]*\\b"));
        QString schema = store::testoSchema();
        schema.remove(QRegularExpression(QStringLiteral("--[^\n]*")));
        auto it = identificatore.globalMatch(schema);
        while (it.hasNext()) {
            const QString nome = it.next().captured(0);
            if (!n.contains(nome.toLower()))
                n.insert(nome.toLower(), nome);
        }
        return n;
    }();
    return nomi;
}

// A result column named as SQLite names it: as written in the select list,
// otherwise as declared in the schema.
QString nomeCampo(const QString& nome, const QString& sql, bool server)
{
    if (!server)
        return nome;
    static const QRegularExpression elenco(QStringLiteral("^\\s*SELECT\\s+(.*?)\\s+FROM\\b"),
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = elenco.match(sql);
    if (m.hasMatch()) {
        const QRegularExpression scritto(QStringLiteral("\\b(%1)\\b").arg(QRegularExpression::escape(nome)),
                                         QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch s = scritto.match(m.captured(1));
        if (s.hasMatch())
            return s.captured(1);
    }
    return nomiSchema().value(nome.toLower(), nome);
}

// The tables of the archive, as the catalogue names them.
QStringList tabelle(Connessione& c)
{
    QStringList nomi;
    QSqlQuery q = c.esegui(
        c.suServer() ? QStringLiteral("SELECT c.relname FROM pg_catalog.pg_class c "
                                      "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                                      "WHERE c.relkind = 'r' AND n.nspname = current_schema() ORDER BY 1")
                     : QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
    while (q.next())
        nomi << q.value(0).toString();
    return nomi;
}

// Databases of the server whose name starts with the prefix.
QStringList databaseConPrefisso(Connessione& c, const QString& prefisso)
{
    QString modello = prefisso;
    modello.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('_'), QStringLiteral("\\_"));
    QSqlQuery q = c.esegui(QStringLiteral("SELECT datname FROM pg_catalog.pg_database WHERE datname LIKE ? ESCAPE '\\'"),
                           {modello + QLatin1Char('%')});
    QStringList nomi;
    while (q.next())
        nomi << q.value(0).toString();
    return nomi;
}

void eliminaDatabase(Connessione& c, const QStringList& nomi)
{
    for (const QString& nome : nomi) {
        // A template cannot be dropped. The server itself ends its own work
        // on the database (autovacuum), which FORCE may not; connections
        // still open (a program under test that did not close) are ended by
        // FORCE.
        c.esegui(QStringLiteral("ALTER DATABASE %1 IS_TEMPLATE false").arg(quota(nome)));
        try {
            c.esegui(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(quota(nome)));
        } catch (const std::runtime_error&) {
            c.esegui(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quota(nome)));
        }
    }
}

} // namespace

// ---- engine of the run ----

QString serverProva()
{
    return qEnvironmentVariable("ANAGSOST_PG").trimmed();
}

bool suServerProva()
{
    return qEnvironmentVariableIsSet("ANAGSOST_PG");
}

QString motivoSaltoMotore()
{
    if (!suServerProva())
        return {};
    static const QString motivo = [] {
        if (serverProva().isEmpty())
            return QStringLiteral("ANAGSOST_PG is empty: no PostgreSQL server to run on");
        try {
            Connessione c(store::Luogo::server(serverProva(), QString()));
            c.esegui(QStringLiteral("SELECT 1"));
        } catch (const std::exception& e) {
            return QStringLiteral("PostgreSQL server not reachable (%1): %2")
                .arg(serverProva(), QString::fromUtf8(e.what()));
        }
        return QString();
    }();
    return motivo;
}

// ---- ArchivioProva ----

ArchivioProva::ArchivioProva()
{
    if (!m_cartella.isValid())
        fallisci(QStringLiteral("ArchivioProva: cartella temporanea non creata"));
    if (suServerProva()) {
        m_server = serverProva();
        if (m_server.isEmpty())
            fallisci(QStringLiteral("ArchivioProva: ANAGSOST_PG è vuoto"));
        static QAtomicInteger<quint64> contatore;
        m_prefisso = QStringLiteral("p%1_%2_").arg(QCoreApplication::applicationPid()).arg(++contatore);
        // Left by an earlier run whose process had the same number.
        Connessione c(store::Luogo::server(m_server, QString()));
        eliminaDatabase(c, databaseConPrefisso(c, m_prefisso));
    }
    try {
        store::creaTemplate(luogoTemplate());
    } catch (const store::ErroreArchivio& e) {
        fallisci(QStringLiteral("ArchivioProva: template non creato: ") + QString::fromUtf8(e.what()));
    }
    m_luogo = luogoAnno();
    registro().insert(cartella(), this);
}

ArchivioProva::~ArchivioProva()
{
    registro().remove(cartella());
    if (!suServer())
        return;
    try {
        Connessione c(store::Luogo::server(m_server, QString()));
        eliminaDatabase(c, databaseConPrefisso(c, m_prefisso));
    } catch (const std::exception& e) {
        qWarning("ArchivioProva: databases %s* not dropped: %s", qPrintable(m_prefisso), e.what());
    }
}

ArchivioProva* ArchivioProva::diCartella(const QString& cartella)
{
    return registro().value(QDir(cartella).absolutePath(), nullptr);
}

QString ArchivioProva::cartella() const
{
    return QDir(m_cartella.path()).absolutePath();
}

QString ArchivioProva::percorsoTemplate() const
{
    return cartella() + QLatin1Char('/') + store::nomeFileTemplate();
}

QString ArchivioProva::percorsoAnno() const
{
    return cartella() + QStringLiteral("/S7702004.MDB");
}

ArchivioProva::Motore ArchivioProva::motore() const
{
    return suServer() ? Motore::PostgreSql : Motore::Sqlite;
}

QString ArchivioProva::nomeTemplate() const
{
    return store::nomeSuServer(store::nomeFileTemplate(), m_prefisso);
}

QString ArchivioProva::nomeAnno() const
{
    return store::nomeSuServer(QStringLiteral("S7702004.MDB"), m_prefisso);
}

store::Luogo ArchivioProva::luogoTemplate() const
{
    return suServer() ? store::Luogo::server(m_server, nomeTemplate()) : store::Luogo::file(percorsoTemplate());
}

store::Luogo ArchivioProva::luogoAnno() const
{
    return suServer() ? store::Luogo::server(m_server, nomeAnno()) : store::Luogo::file(percorsoAnno());
}

QString ArchivioProva::creaAnno()
{
    if (!suServer()) {
        if (QFileInfo::exists(percorsoAnno()))
            fallisci(QStringLiteral("ArchivioProva: l'archivio dell'anno esiste già"));
        if (!QFile::copy(percorsoTemplate(), percorsoAnno()))
            fallisci(QStringLiteral("ArchivioProva: copia del template non riuscita"));
        return percorsoAnno();
    }
    try {
        store::creaDaModello(luogoTemplate(), luogoAnno());
    } catch (const store::ErroreArchivio& e) {
        fallisci(QStringLiteral("ArchivioProva: archivio dell'anno non creato: ") + QString::fromUtf8(e.what()));
    }
    return nomeAnno();
}

QString ArchivioProva::archivio() const
{
    return m_luogo.suServer() ? m_luogo.descrizione() : m_luogo.percorso();
}

void ArchivioProva::setArchivio(const QString& percorso)
{
    if (suServer() && percorso == percorsoAnno())
        m_luogo = luogoAnno();
    else if (suServer() && percorso == percorsoTemplate())
        m_luogo = luogoTemplate();
    else
        m_luogo = store::Luogo::file(percorso);
}

void ArchivioProva::setArchivio(const store::Luogo& luogo)
{
    m_luogo = luogo;
}

store::Luogo ArchivioProva::luogo() const
{
    return m_luogo;
}

void ArchivioProva::aggiungiFrontespizio(const QString& codazi, const QString& cfd, const QVariant& fr1,
                                         const QVariant& fr2, const QVariant& fr3, const QVariant& fr14)
{
    esegui(QStringLiteral("INSERT INTO FRONTESPIZIO (CODAZI, CFD, FR_1, FR_2, FR_3, fr_14) VALUES (?, ?, ?, ?, ?, ?)"),
           {codazi, cfd, fr1, fr2, fr3, fr14});
}

void ArchivioProva::aggiungiSostituto(const QString& codazi, const QString& cfs, const QVariantList& asost)
{
    if (asost.size() > 10)
        fallisci(QStringLiteral("ArchivioProva: più di dieci campi ASOST_"));
    QStringList colonne{QStringLiteral("CODAZI"), QStringLiteral("CFS")};
    QVariantList valori{codazi, cfs};
    for (int n = 1; n <= 10; ++n) {
        colonne << QStringLiteral("ASOST_%1").arg(n);
        valori << (n <= asost.size() ? asost.at(n - 1) : QVariant());
    }
    esegui(QStringLiteral("INSERT INTO ANAGSOSTITUTI (%1) VALUES (%2)")
               .arg(colonne.join(QStringLiteral(", ")), QStringList(QVector<QString>(12, QStringLiteral("?")))
                                                            .join(QStringLiteral(", "))),
           valori);
}

qint64 ArchivioProva::aggiungiRigaQuadro(const QString& tabella, const QString& codazi, const QString& cfd,
                                         const QString& cfs, const QVariantMap& altri)
{
    // Names unquoted: the server folds them as it folded the schema's.
    QStringList colonne{QStringLiteral("CODAZI"), QStringLiteral("CFD"), QStringLiteral("CFS")};
    QVariantList valori{codazi, cfd, cfs};
    for (auto it = altri.begin(); it != altri.end(); ++it) {
        colonne << (suServer() ? it.key() : quota(it.key()));
        valori << it.value();
    }
    Connessione c(m_luogo);
    QSqlQuery q = c.esegui(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(suServer() ? tabella : quota(tabella), colonne.join(QStringLiteral(", ")),
                                    QStringList(QVector<QString>(colonne.size(), QStringLiteral("?")))
                                        .join(QStringLiteral(", "))),
                           valori);
    return q.lastInsertId().toLongLong();
}

qint64 ArchivioProva::aggiungiPercettore(const QString& codazi, const QString& cfperc, const QVariant& cognome,
                                         const QVariant& nome)
{
    Connessione c(m_luogo);
    QSqlQuery q = c.esegui(QStringLiteral("INSERT INTO PERCETTORI (CODAZI, CFPERC, COGNOME, NOME) VALUES (?, ?, ?, ?)"),
                           {codazi, cfperc, cognome, nome});
    return q.lastInsertId().toLongLong();
}

int ArchivioProva::esegui(const QString& sql, const QVariantList& parametri)
{
    Connessione c(m_luogo);
    QSqlQuery q = c.esegui(sql, parametri);
    return q.isSelect() ? 0 : q.numRowsAffected();
}

QList<QVariantMap> ArchivioProva::righe(const QString& sql, const QVariantList& parametri)
{
    Connessione c(m_luogo);
    QSqlQuery q = c.esegui(sql, parametri);
    const QSqlRecord intestazione = q.record();
    QStringList nomi;
    QList<bool> rifilare;
    for (int i = 0; i < intestazione.count(); ++i) {
        nomi << nomeCampo(intestazione.fieldName(i), sql, c.suServer());
        rifilare << (c.suServer() && intestazione.field(i).typeID() == OID_BPCHAR);
    }
    QList<QVariantMap> risultato;
    while (q.next()) {
        QVariantMap riga;
        for (int i = 0; i < nomi.size(); ++i) {
            QVariant v = q.value(i);
            if (rifilare.at(i) && !v.isNull()) {
                QString t = v.toString();
                while (t.endsWith(QLatin1Char(' ')))
                    t.chop(1);
                v = t;
            }
            riga.insert(nomi.at(i), v);
        }
        risultato << riga;
    }
    if (q.lastError().isValid())
        fallisci(QStringLiteral("ArchivioProva: %1: %2").arg(sql, q.lastError().text()));
    return risultato;
}

qint64 ArchivioProva::conta(const QString& sql, const QVariantList& parametri)
{
    const QList<QVariantMap> r = righe(sql, parametri);
    if (r.isEmpty() || r.first().isEmpty())
        fallisci(QStringLiteral("ArchivioProva: nessun risultato per ") + sql);
    // A one-column result: the map's only value.
    return r.first().first().toLongLong();
}

namespace {

// The text of istantanea() read through an open connection.
QString istantaneaDi(Connessione& c)
{
    QStringList righeTesto;
    const QStringList elenco = tabelle(c);
    if (c.suServer()) {
        QSqlQuery q = c.esegui(QStringLiteral(
            "SELECT table_name, string_agg(column_name || ' ' || data_type || "
            "COALESCE('(' || character_maximum_length || ')', '') || "
            "CASE WHEN is_nullable = 'NO' THEN ' NOT NULL' ELSE '' END, ', ' ORDER BY ordinal_position) "
            "FROM information_schema.columns WHERE table_schema = current_schema() GROUP BY table_name ORDER BY 1"));
        while (q.next())
            righeTesto << QStringLiteral("table %1: %2").arg(q.value(0).toString(), q.value(1).toString());
        q = c.esegui(QStringLiteral("SELECT indexname, tablename, indexdef FROM pg_catalog.pg_indexes "
                                    "WHERE schemaname = current_schema() ORDER BY 1"));
        while (q.next())
            righeTesto << QStringLiteral("index %1 ON %2: %3")
                              .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString());
    } else {
        QSqlQuery q = c.esegui(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master "
                                              "ORDER BY type, name"));
        while (q.next()) {
            righeTesto << QStringLiteral("%1 %2 ON %3: %4")
                              .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                                   q.value(3).toString().simplified());
        }
    }
    for (const QString& t : elenco) {
        QSqlQuery q = c.esegui(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quota(t)));
        const QSqlRecord r = q.record();
        QStringList colonne, ordine;
        for (int i = 0; i < r.count(); ++i) {
            colonne << nomeCampo(r.fieldName(i), QString(), c.suServer());
            // Binary order on SQLite; the server's databases sort by bytes (C collation).
            ordine << (c.suServer() ? QString::number(i + 1) : quota(r.fieldName(i)) + QStringLiteral(" COLLATE BINARY"));
        }
        righeTesto << QStringLiteral("== %1 (%2)").arg(c.suServer() ? t.toUpper() : t, colonne.join(QStringLiteral(", ")));
        q = c.esegui(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(quota(t), ordine.join(QStringLiteral(", "))));
        while (q.next()) {
            QStringList valori;
            for (int i = 0; i < colonne.size(); ++i)
                valori << testo(q.value(i));
            righeTesto << valori.join(QStringLiteral(" | "));
        }
    }
    return righeTesto.join(QLatin1Char('\n'));
}

} // namespace

QString ArchivioProva::istantanea()
{
    Connessione c(m_luogo);
    return istantaneaDi(c);
}

QString ArchivioProva::istantaneaDopo(const QString& sql, const QVariantList& parametri)
{
    Connessione c(m_luogo);
    c.esegui(QStringLiteral("BEGIN"));
    try {
        c.esegui(sql, parametri);
        const QString testo = istantaneaDi(c);
        c.esegui(QStringLiteral("ROLLBACK"));
        return testo;
    } catch (...) {
        c.esegui(QStringLiteral("ROLLBACK"));
        throw;
    }
}

void ArchivioProva::impedisci(const QString& evento, const QString& tabella, const QString& messaggio)
{
    const QString testo = QString(messaggio).replace(QLatin1Char('\''), QStringLiteral("''"));
    const QString nome = QStringLiteral("guasto_") + tabella.toLower();
    if (!m_luogo.suServer()) {
        esegui(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 BEGIN SELECT RAISE(ABORT, '%4'); END")
                   .arg(nome, evento, tabella, testo));
        return;
    }
    esegui(QStringLiteral("CREATE OR REPLACE FUNCTION anagsost_guasto() RETURNS trigger LANGUAGE plpgsql AS "
                          "$$ BEGIN RAISE EXCEPTION '%', TG_ARGV[0]; END $$"));
    esegui(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW EXECUTE FUNCTION anagsost_guasto('%4')")
               .arg(nome, evento, tabella, testo));
}

void ArchivioProva::consenti(const QString& tabella)
{
    const QString nome = QStringLiteral("guasto_") + tabella.toLower();
    esegui(m_luogo.suServer() ? QStringLiteral("DROP TRIGGER %1 ON %2").arg(nome, tabella)
                              : QStringLiteral("DROP TRIGGER %1").arg(nome));
}

ArchivioProva::Blocco::Blocco(const QString& percorso, bool esclusivo) : Blocco(store::Luogo::file(percorso), esclusivo)
{
}

ArchivioProva::Blocco::Blocco(const store::Luogo& luogo, bool esclusivo) : m_nome(nuovoNome())
{
    QSqlDatabase db = apri(m_nome, luogo);
    QStringList istruzioni;
    if (luogo.suServer()) {
        QStringList nomi;
        {
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT quote_ident(c.relname) FROM pg_catalog.pg_class c "
                                  "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                                  "WHERE c.relkind = 'r' AND n.nspname = current_schema() ORDER BY 1"));
            while (q.next())
                nomi << q.value(0).toString();
        }
        istruzioni << QStringLiteral("BEGIN")
                   << QStringLiteral("LOCK TABLE %1 IN %2 MODE")
                          .arg(nomi.join(QStringLiteral(", ")),
                               esclusivo ? QStringLiteral("ACCESS EXCLUSIVE") : QStringLiteral("SHARE ROW EXCLUSIVE"));
    } else {
        istruzioni << (esclusivo ? QStringLiteral("BEGIN EXCLUSIVE") : QStringLiteral("BEGIN IMMEDIATE"));
    }
    QSqlQuery q(db);
    for (const QString& sql : istruzioni) {
        if (!q.exec(sql)) {
            const QString errore = q.lastError().text();
            q = QSqlQuery();
            db = QSqlDatabase();
            chiudi(m_nome);
            fallisci(QStringLiteral("ArchivioProva: blocco non ottenuto: ") + errore);
        }
    }
}

ArchivioProva::Blocco::~Blocco()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_nome, false);
        QSqlQuery q(db);
        q.exec(QStringLiteral("ROLLBACK"));
    }
    chiudi(m_nome);
}

std::unique_ptr<ArchivioProva::Blocco> ArchivioProva::blocca(bool esclusivo)
{
    return std::make_unique<Blocco>(m_luogo, esclusivo);
}
