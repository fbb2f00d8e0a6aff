#include "support/archivioprova.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <stdexcept>

namespace {

[[noreturn]] void fallisci(const QString& testo)
{
    throw std::runtime_error(("ArchivioProva: " + testo).toStdString());
}

// The live instances by folder.
QHash<QString, ArchivioProva*> registro;

// A name in double quotes or, with '\'', an SQL text literal.
QString quota(QString testo, QChar segno = '"')
{
    return segno + testo.replace(segno, QString(2, segno)) + segno;
}

QString elenco(const QStringList& voci)
{
    return voci.join(QStringLiteral(", "));
}

QString testo(const QVariant& v)
{
    if (v.isNull())
        return QStringLiteral("NULL");
    return v.typeId() == QMetaType::QString ? quota(v.toString(), '\'') : v.toString();
}

} // namespace

// A Qt SQL connection of its own (a unique name, a lock wait of a few
// seconds) on a file or on a database of the server; the maintenance
// database "postgres" when the server's database name is empty.
class ConnessioneProva {
public:
    explicit ConnessioneProva(const store::Luogo& luogo) : m_server(luogo.suServer())
    {
        static QAtomicInteger<quint64> contatore;
        m_nome = QStringLiteral("archivioprova-%1").arg(++contatore);
        if (!m_server && !QFileInfo::exists(luogo.percorso()))
            fallisci(QStringLiteral("file inesistente ") + luogo.percorso());
        QSqlDatabase db =
            QSqlDatabase::addDatabase(m_server ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), m_nome);
        db.setDatabaseName(!m_server                ? luogo.percorso()
                           : luogo.nome().isEmpty() ? QStringLiteral("postgres")
                                                    : luogo.nome());
        db.setConnectOptions(m_server
                                 ? luogo.server() + QStringLiteral(" connect_timeout=10 options='-c lock_timeout=5000 "
                                                                   "-c client_min_messages=error'")
                                 : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open())
            fallisci(QStringLiteral("apertura di %1: %2").arg(luogo.descrizione(), db.lastError().text()));
    }
    ~ConnessioneProva()
    {
        QSqlDatabase::database(m_nome, false).close();
        QSqlDatabase::removeDatabase(m_nome);
    }
    ConnessioneProva(const ConnessioneProva&) = delete;
    ConnessioneProva& operator=(const ConnessioneProva&) = delete;

    bool suServer() const { return m_server; }

    QSqlQuery esegui(const QString& sql, const QVariantList& parametri = {})
    {
        QSqlQuery q(QSqlDatabase::database(m_nome, false));
        // On the server a forward-only result is lost when another statement
        // runs (lastInsertId is one).
        q.setForwardOnly(!m_server);
        // Without values as it is: the server cannot prepare every statement (DROP, SET).
        bool riuscita = parametri.isEmpty() ? q.exec(sql) : q.prepare(sql);
        for (int i = 0; riuscita && i < parametri.size(); ++i) {
            // As the store does: only a null variant is Null, a QString is a text.
            const QVariant& v = parametri.at(i);
            const bool testoNullo = !v.isNull() && v.typeId() == QMetaType::QString && v.toString().isNull();
            q.bindValue(i, testoNullo ? QVariant(QStringLiteral("")) : v);
        }
        if (riuscita && !parametri.isEmpty())
            riuscita = q.exec();
        if (!riuscita)
            fallisci(QStringLiteral("%1: %2").arg(sql, q.lastError().text()));
        return q;
    }

    // Names unquoted: the server folds them as it folded the schema's.
    qint64 inserisci(const QString& tabella, const QStringList& colonne, const QVariantList& valori)
    {
        const QStringList segni(colonne.size(), QStringLiteral("?"));
        const QString sql =
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(tabella, elenco(colonne), elenco(segni));
        return esegui(sql, valori).lastInsertId().toLongLong();
    }

    // The first column of every row, white space folded.
    QStringList colonna(const QString& sql, const QVariantList& parametri = {})
    {
        QStringList valori;
        for (QSqlQuery q = esegui(sql, parametri); q.next();)
            valori << q.value(0).toString().simplified();
        return valori;
    }

    // The tables of the archive, as the catalogue names them.
    QStringList tabelle()
    {
        return colonna(m_server ? QStringLiteral("SELECT tablename FROM pg_tables WHERE schemaname = current_schema() "
                                                 "ORDER BY 1")
                                : QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
    }

    // Drops the server's databases whose name starts with the prefix. A
    // template cannot be dropped. The server ends its own work on a database
    // (autovacuum), which FORCE may not; FORCE ends connections a program
    // under test left open.
    void eliminaDatabase(const QString& prefisso)
    {
        const QString sql = QStringLiteral("SELECT datname FROM pg_database WHERE starts_with(datname, ?)");
        for (const QString& nome : colonna(sql, {prefisso})) {
            esegui(QStringLiteral("ALTER DATABASE %1 IS_TEMPLATE false").arg(quota(nome)));
            try {
                esegui(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(quota(nome)));
            } catch (const std::runtime_error&) {
                esegui(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quota(nome)));
            }
        }
    }

    // The text of ArchivioProva::istantanea().
    QString istantanea()
    {
        QStringList righe;
        for (const QString& t : tabelle()) {
            const QSqlRecord r = esegui(QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(quota(t))).record();
            QStringList colonne, ordine;
            for (int i = 0; i < r.count(); ++i) {
                colonne << r.fieldName(i).toUpper();
                // Binary order on SQLite; the server's databases sort by bytes (C collation).
                ordine << (m_server ? QString::number(i + 1)
                                    : quota(r.fieldName(i)) + QStringLiteral(" COLLATE BINARY"));
            }
            righe << QStringLiteral("== %1 (%2)").arg(t.toUpper(), elenco(colonne));
            QSqlQuery q = esegui(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(quota(t), elenco(ordine)));
            while (q.next()) {
                QStringList valori;
                for (int i = 0; i < colonne.size(); ++i)
                    valori << testo(q.value(i));
                righe << valori.join(QStringLiteral(" | "));
            }
        }
        return righe.join(QLatin1Char('\n'));
    }

private:
    QString m_nome;
    bool m_server;
};

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
    static const QString motivo = [] {
        try {
            if (suServerProva())
                ConnessioneProva(store::Luogo::server(serverProva(), QString())).esegui(QStringLiteral("SELECT 1"));
        } catch (const std::exception& e) {
            return QStringLiteral("PostgreSQL server not reachable (%1): %2")
                .arg(serverProva(), QString::fromUtf8(e.what()));
        }
        return QString();
    }();
    return motivo;
}

// ---- ArchivioProva ----

// On a server, the template made once for the test program and copied for
// each archive (a copy takes a fraction of the time), dropped at the end.
static store::Luogo modelloSuServer()
{
    static const store::Luogo modello = [] {
        const QString nome = QStringLiteral("p%1_modello").arg(QCoreApplication::applicationPid());
        ConnessioneProva(store::Luogo::server(serverProva(), QString())).eliminaDatabase(nome);
        store::creaTemplate(store::Luogo::server(serverProva(), nome));
        qAddPostRoutine([] {
            ConnessioneProva(store::Luogo::server(serverProva(), QString())).eliminaDatabase(modelloSuServer().nome());
        });
        return store::Luogo::server(serverProva(), nome);
    }();
    return modello;
}

ArchivioProva::ArchivioProva()
{
    if (suServerProva()) {
        m_server = serverProva();
        static QAtomicInteger<quint64> contatore;
        m_prefisso = QStringLiteral("p%1_%2_").arg(QCoreApplication::applicationPid()).arg(++contatore);
        // Left by an earlier run whose process had the same number.
        ConnessioneProva(store::Luogo::server(m_server, QString())).eliminaDatabase(m_prefisso);
        store::creaDaModello(modelloSuServer(), luogoTemplate());
    } else {
        store::creaTemplate(luogoTemplate());
    }
    m_luogo = luogoAnno();
    registro.insert(cartella(), this);
}

ArchivioProva::~ArchivioProva()
{
    registro.remove(cartella());
    try {
        if (suServer())
            ConnessioneProva(store::Luogo::server(m_server, QString())).eliminaDatabase(m_prefisso);
    } catch (const std::exception& e) {
        qWarning("ArchivioProva: databases %s* not dropped: %s", qPrintable(m_prefisso), e.what());
    }
}

ArchivioProva* ArchivioProva::diCartella(const QString& cartella)
{
    return registro.value(QDir(cartella).absolutePath());
}

QString ArchivioProva::creaAnno()
{
    if (suServer()) {
        store::creaDaModello(luogoTemplate(), luogoAnno());
        return nomeAnno();
    }
    if (QFileInfo::exists(percorsoAnno()) || !QFile::copy(percorsoTemplate(), percorsoAnno()))
        fallisci(QStringLiteral("archivio dell'anno esistente o copia non riuscita"));
    return percorsoAnno();
}

void ArchivioProva::aggiungiFrontespizio(const QString& codazi, const QString& cfd, const QVariant& fr1,
                                         const QVariant& fr2, const QVariant& fr3, const QVariant& fr14)
{
    ConnessioneProva(m_luogo).inserisci(QStringLiteral("FRONTESPIZIO"),
                                        {"CODAZI", "CFD", "FR_1", "FR_2", "FR_3", "fr_14"},
                                        {codazi, cfd, fr1, fr2, fr3, fr14});
}

void ArchivioProva::aggiungiSostituto(const QString& codazi, const QString& cfs, const QVariantList& asost)
{
    QStringList colonne{QStringLiteral("CODAZI"), QStringLiteral("CFS")};
    QVariantList valori{codazi, cfs};
    for (int n = 1; n <= 10; ++n) {
        colonne << QStringLiteral("ASOST_%1").arg(n);
        valori << asost.value(n - 1);
    }
    ConnessioneProva(m_luogo).inserisci(QStringLiteral("ANAGSOSTITUTI"), colonne, valori);
}

qint64 ArchivioProva::aggiungiRigaQuadro(const QString& tabella, const QString& codazi, const QString& cfd,
                                         const QString& cfs, const QVariantMap& altri)
{
    return ConnessioneProva(m_luogo).inserisci(tabella, QStringList{"CODAZI", "CFD", "CFS"} + altri.keys(),
                                               QVariantList{codazi, cfd, cfs} + altri.values());
}

int ArchivioProva::esegui(const QString& sql, const QVariantList& parametri)
{
    ConnessioneProva c(m_luogo);
    QSqlQuery q = c.esegui(sql, parametri);
    return q.isSelect() ? 0 : q.numRowsAffected();
}

QList<QVariantMap> ArchivioProva::righe(const QString& sql, const QVariantList& parametri)
{
    ConnessioneProva c(m_luogo);
    QSqlQuery q = c.esegui(sql, parametri);
    const QSqlRecord intestazione = q.record();
    QStringList nomi;
    for (int i = 0; i < intestazione.count(); ++i)
        nomi << intestazione.fieldName(i).toUpper();
    static const QRegularExpression spazi(QStringLiteral(" +$"));
    QList<QVariantMap> risultato;
    while (q.next()) {
        QVariantMap riga;
        for (int i = 0; i < nomi.size(); ++i) {
            // A fixed-width text column of the server (bpchar) without its padding.
            const bool rifilare = c.suServer() && intestazione.field(i).typeID() == 1042 && !q.isNull(i);
            riga.insert(nomi.at(i), rifilare ? QVariant(q.value(i).toString().remove(spazi)) : q.value(i));
        }
        risultato << riga;
    }
    if (q.lastError().isValid())
        fallisci(QStringLiteral("%1: %2").arg(sql, q.lastError().text()));
    return risultato;
}

qint64 ArchivioProva::conta(const QString& sql, const QVariantList& parametri)
{
    const QList<QVariantMap> r = righe(sql, parametri);
    if (r.isEmpty() || r.first().isEmpty())
        fallisci(QStringLiteral("nessun risultato per ") + sql);
    return r.first().first().toLongLong();
}

QString ArchivioProva::istantanea()
{
    return ConnessioneProva(m_luogo).istantanea();
}

int ArchivioProva::interrompiSessioni()
{
    if (!suServer())
        fallisci(QStringLiteral("interrompiSessioni su un file"));
    ConnessioneProva c(m_luogo);
    const QString altre = QStringLiteral("FROM pg_stat_activity WHERE datname = current_database() "
                                         "AND pid <> pg_backend_pid()");
    const int interrotte = c.colonna(QStringLiteral("SELECT pg_terminate_backend(pid) ") + altre).size();
    for (int i = 0; i < 500 && c.colonna(QStringLiteral("SELECT pid ") + altre).size() > 0; ++i)
        QTest::qSleep(10);
    return interrotte;
}

// Undone by the rollback, or by closing the connection when anything fails.
QString ArchivioProva::istantaneaDopo(const QString& sql, const QVariantList& parametri)
{
    return istantaneaDopo({{sql, parametri}});
}

QString ArchivioProva::istantaneaDopo(const QList<std::pair<QString, QVariantList>>& istruzioni)
{
    ConnessioneProva c(m_luogo);
    c.esegui(QStringLiteral("BEGIN"));
    for (const auto& [sql, parametri] : istruzioni)
        c.esegui(sql, parametri);
    const QString testo = c.istantanea();
    c.esegui(QStringLiteral("ROLLBACK"));
    return testo;
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

void ArchivioProva::alSeguito(const QString& evento, const QString& tabella, const QString& istruzione)
{
    const QString nome = QStringLiteral("seguito_") + tabella.toLower();
    if (!m_luogo.suServer()) {
        esegui(QStringLiteral("CREATE TRIGGER %1 AFTER %2 ON %3 BEGIN %4; END").arg(nome, evento, tabella, istruzione));
        return;
    }
    esegui(QStringLiteral("CREATE OR REPLACE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS "
                          "$$ BEGIN %2; RETURN NULL; END $$")
               .arg(nome, istruzione));
    esegui(QStringLiteral("CREATE TRIGGER %1 AFTER %2 ON %3 FOR EACH ROW EXECUTE FUNCTION %1()")
               .arg(nome, evento, tabella));
}

ArchivioProva::Blocco::Blocco(const store::Luogo& luogo, bool esclusivo)
    : m_connessione(std::make_unique<ConnessioneProva>(luogo))
{
    if (!luogo.suServer()) {
        m_connessione->esegui(esclusivo ? QStringLiteral("BEGIN EXCLUSIVE") : QStringLiteral("BEGIN IMMEDIATE"));
        return;
    }
    m_connessione->esegui(QStringLiteral("BEGIN"));
    m_connessione->esegui(QStringLiteral("LOCK TABLE %1 IN %2 MODE")
                              .arg(elenco(m_connessione->tabelle()), esclusivo
                                                                         ? QStringLiteral("ACCESS EXCLUSIVE")
                                                                         : QStringLiteral("SHARE ROW EXCLUSIVE")));
}

// Closing the connection ends its transaction and with it the locks.
ArchivioProva::Blocco::~Blocco() = default;

std::unique_ptr<ArchivioProva::Blocco> ArchivioProva::blocca(bool esclusivo)
{
    return std::make_unique<Blocco>(m_luogo, esclusivo);
}

ArchivioProva::Blocco::Blocco(const store::Luogo& luogo, const QString& istruzione)
    : m_connessione(std::make_unique<ConnessioneProva>(luogo))
{
    m_connessione->esegui(QStringLiteral("BEGIN"));
    m_connessione->esegui(istruzione);
}

std::unique_ptr<ArchivioProva::Blocco> ArchivioProva::inCorso(const QString& istruzione)
{
    return std::make_unique<Blocco>(m_luogo, istruzione);
}

// ---- password file and clerk's role ----

FilePasswordProva::FilePasswordProva(const QStringList& righe, QFile::Permissions permessi)
    : m_prima(qgetenv("PGPASSFILE"))
{
    QFile f(percorso());
    if (!f.open(QIODevice::WriteOnly) || f.write((righe.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()) < 0)
        fallisci(QStringLiteral("file delle password non scritto: ") + percorso());
    f.close();
    QFile::setPermissions(percorso(), permessi);
    qputenv("PGPASSFILE", percorso().toUtf8());
}

FilePasswordProva::~FilePasswordProva()
{
    qputenv("PGPASSFILE", m_prima);
}

QString FilePasswordProva::rigaProva()
{
    QFile f(qEnvironmentVariable("PGPASSFILE"));
    if (!f.open(QIODevice::ReadOnly))
        fallisci(QStringLiteral("file delle password della prova non leggibile"));
    return QString::fromUtf8(f.readLine()).trimmed();
}

RuoloProva::RuoloProva(ArchivioProva& archivio) : m_archivio(archivio), m_nome(archivio.prefisso() + "impiegato")
{
    try {
        m_archivio.esegui(QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'segreta'").arg(m_nome));
    } catch (const std::exception& e) {
        m_motivoSalto = QStringLiteral("the test's role may not create roles (CREATEROLE, scripts/pg.sh): ") +
                        QString::fromUtf8(e.what());
        return;
    }
    const QString riga = FilePasswordProva::rigaProva();
    m_file =
        std::make_unique<FilePasswordProva>(QStringList{riga, riga.section(QLatin1Char(':'), 0, 2) + QLatin1Char(':') +
                                                                  m_nome + QStringLiteral(":segreta")},
                                            QFile::ReadOwner | QFile::WriteOwner);
}

RuoloProva::~RuoloProva()
{
    if (!m_motivoSalto.isEmpty())
        return;
    m_file.reset();
    try {
        m_archivio.esegui(QStringLiteral("REVOKE ALL ON ALL TABLES IN SCHEMA public FROM %1").arg(m_nome));
        m_archivio.esegui(QStringLiteral("DROP ROLE %1").arg(m_nome));
    } catch (const std::exception& e) {
        qWarning("RuoloProva: role %s not dropped: %s", qPrintable(m_nome), e.what());
    }
}

QString RuoloProva::server() const
{
    static const QRegularExpression utente(QStringLiteral("\\buser=\\S+"));
    QString server = m_archivio.server();
    if (!server.contains(utente))
        return server + QStringLiteral(" user=") + m_nome;
    return server.replace(utente, QStringLiteral("user=") + m_nome);
}
