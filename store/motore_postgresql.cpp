// The PostgreSQL engine: the year's database is a database on a server,
// reached through Qt's QPSQL driver (libpq). Everything here is specific to
// PostgreSQL: the connection string, the catalogue, SQLSTATE codes, the
// transaction that takes the write lock, Nulls in ORDER BY, databases made
// from templates.
#include "store/motore_postgresql.h"

#include "store/database.h"
#include "store/schema.h"

#include <QAtomicInteger>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlField>
#include <QSqlQuery>

namespace store::interno {

namespace {

// Type of a fixed-width text column (character(n)) in the server's catalogue.
constexpr int OID_BPCHAR = 1042;

// Database every server has, used for what concerns the server as a whole.
const QString MANUTENZIONE = QStringLiteral("postgres");
const QString MANUTENZIONE_RISERVA = QStringLiteral("template1");

QString nuovoNomeConnessione()
{
    static QAtomicInteger<quint64> contatore;
    return QStringLiteral("anagsost-server-%1").arg(++contatore);
}

bool spazio(QChar c)
{
    return c.isSpace();
}

// The connection options QPSQL passes on to libpq: the user's pairs, plus a
// bounded wait for an unreachable host and the program's name.
QString opzioniConnessione(QList<ParametroServer> parametri)
{
    auto presente = [&](const char* chiave) {
        return std::any_of(parametri.begin(), parametri.end(),
                           [&](const ParametroServer& p) { return p.chiave == QLatin1String(chiave); });
    };
    if (!presente("connect_timeout"))
        parametri.append({QStringLiteral("connect_timeout"), QStringLiteral("10")});
    if (!presente("application_name"))
        parametri.append({QStringLiteral("application_name"), QStringLiteral("anagsost")});
    return scriviServer(parametri);
}

// The server's text without its severity word, first line only.
QString messaggioPrincipale(const QString& testo)
{
    static const QRegularExpression gravita(QStringLiteral("^\\s*[A-Z]+:\\s+"));
    QString riga = testo.trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
    riga.remove(gravita);
    return riga;
}

QString testoErrore(const QSqlError& e)
{
    QString t = e.databaseText().trimmed();
    if (t.isEmpty())
        t = e.driverText().trimmed();
    t.replace(QLatin1Char('\n'), QStringLiteral(" / "));
    if (!e.nativeErrorCode().isEmpty() && !t.contains(e.nativeErrorCode()))
        t += QStringLiteral(" [%1]").arg(e.nativeErrorCode());
    return t;
}

// Names the server quotes in its message, in order.
QStringList virgolettati(const QString& testo)
{
    static const QRegularExpression nome(QStringLiteral("\"([^\"]+)\""));
    QStringList nomi;
    auto it = nome.globalMatch(testo);
    while (it.hasNext())
        nomi << it.next().captured(1);
    return nomi;
}

// Table of an index named "<table>_<index>" (or "<table>_pkey").
QString tabellaDiIndice(const QString& indice)
{
    const int trattino = int(indice.lastIndexOf(QLatin1Char('_')));
    return trattino > 0 ? indice.left(trattino) : indice;
}

// The schema's names as it spells them, by their lower-case form.
const QHash<QString, QString>& nomiSchema()
{
    static const QHash<QString, QString> nomi = [] {
        QHash<QString, QString> n;
        static const QRegularExpression identificatore(QStringLiteral("\\b[A-Za-z_][A-Za-z0-9_]*\\b"));
        auto it = identificatore.globalMatch(istruzioniSchemaServer().join(QLatin1Char('\n')));
        while (it.hasNext()) {
            const QString nome = it.next().captured(0);
            if (!n.contains(nome.toLower()))
                n.insert(nome.toLower(), nome);
        }
        return n;
    }();
    return nomi;
}

QString quotaNome(const QString& nome)
{
    return QLatin1Char('"') + QString(nome).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// A short-lived connection to one database of the server, or to its
// maintenance database.
class ConnessioneServer {
public:
    ConnessioneServer(const QString& server, const QString& database = QString()) : m_nome(nuovoNomeConnessione())
    {
        QList<ParametroServer> parametri;
        QString motivo;
        if (!leggiServer(server, parametri, &motivo))
            throw ErroreArchivio(TipoErrore::NonApribile, motivo, QStringLiteral("server ") + server);
        QSqlDatabase db = QSqlDatabase::addDatabase(m_motore.driver(), m_nome);
        if (!db.isValid()) {
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_nome);
            throw ErroreArchivio(TipoErrore::NonApribile, QStringLiteral("driver QPSQL non disponibile"),
                                 QStringLiteral("server ") + server);
        }
        db.setConnectOptions(opzioniConnessione(parametri));
        const QStringList candidati = database.isEmpty() ? QStringList{MANUTENZIONE, MANUTENZIONE_RISERVA}
                                                         : QStringList{database};
        for (const QString& candidato : candidati) {
            db.setDatabaseName(candidato);
            if (db.open())
                break;
            const QSqlError e = db.lastError();
            // A server without the usual maintenance database: the other one.
            if (candidato != candidati.last() && e.databaseText().contains(quotaNome(candidato)))
                continue;
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_nome);
            const ErroreArchivio base = m_motore.classificaApertura(e, Luogo::server(server, candidato));
            throw ErroreArchivio(base.tipo(), base.dettaglio(),
                                 database.isEmpty() ? QStringLiteral("server ") + server
                                                    : Luogo::server(server, database).descrizione());
        }
        QSqlQuery q(db);
        q.exec(QStringLiteral("SET client_min_messages = error"));
    }
    ~ConnessioneServer()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_nome, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_nome);
    }
    ConnessioneServer(const ConnessioneServer&) = delete;
    ConnessioneServer& operator=(const ConnessioneServer&) = delete;

    // Runs a statement; false and the error when it fails.
    bool prova(const QString& sql, const QVariantList& parametri, QSqlQuery& q, QSqlError& errore)
    {
        q = QSqlQuery(QSqlDatabase::database(m_nome, false));
        bool riuscita = parametri.isEmpty() ? q.exec(sql) : (q.prepare(sql) && lega(q, parametri));
        if (!riuscita)
            errore = q.lastError();
        return riuscita;
    }
    QSqlQuery esegui(const QString& sql, const QVariantList& parametri = {})
    {
        QSqlQuery q;
        QSqlError e;
        if (!prova(sql, parametri, q, e))
            throw m_motore.classifica(e, sql);
        return q;
    }
    const MotorePostgreSql& motore() const { return m_motore; }

private:
    static bool lega(QSqlQuery& q, const QVariantList& parametri)
    {
        for (int i = 0; i < parametri.size(); ++i)
            q.bindValue(i, parametri.at(i));
        return q.exec();
    }

    MotorePostgreSql m_motore;
    QString m_nome;
};

void eliminaDatabase(ConnessioneServer& server, const QString& nome)
{
    // Our own connections are closed; the server waits for any it runs
    // itself (autovacuum) to go.
    QSqlQuery q;
    QSqlError e;
    server.prova(QStringLiteral("ALTER DATABASE %1 IS_TEMPLATE false").arg(quotaNome(nome)), {}, q, e);
    server.prova(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(quotaNome(nome)), {}, q, e);
}

} // namespace

// ---- connection string ----

bool leggiServer(const QString& testo, QList<ParametroServer>& parametri, QString* motivo)
{
    auto rifiuta = [&](const QString& perche) {
        if (motivo)
            *motivo = perche;
        parametri.clear();
        return false;
    };
    parametri.clear();
    const QString s = testo.trimmed();
    if (s.isEmpty())
        return rifiuta(QStringLiteral("il server non è indicato"));
    static const QRegularExpression uri(QStringLiteral("^postgres(ql)?://"), QRegularExpression::CaseInsensitiveOption);
    if (uri.match(s).hasMatch())
        return rifiuta(QStringLiteral("usare la forma chiave=valore (per esempio host=server port=5432 user=utente)"));
    if (s.contains(QLatin1Char(';')))
        return rifiuta(QStringLiteral("il carattere \";\" non è ammesso"));
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && spazio(s.at(i)))
            ++i;
        if (i >= n)
            break;
        const qsizetype inizio = i;
        while (i < n && (s.at(i).isLetterOrNumber() || s.at(i) == QLatin1Char('_')))
            ++i;
        const QString chiave = s.mid(inizio, i - inizio);
        while (i < n && spazio(s.at(i)))
            ++i;
        if (chiave.isEmpty() || i >= n || s.at(i) != QLatin1Char('='))
            return rifiuta(QStringLiteral("testo non leggibile da \"%1\": attesi parametri chiave=valore")
                               .arg(s.mid(inizio, 20)));
        ++i;
        while (i < n && spazio(s.at(i)))
            ++i;
        QString valore;
        if (i < n && s.at(i) == QLatin1Char('\'')) {
            ++i;
            bool chiuso = false;
            while (i < n) {
                const QChar c = s.at(i++);
                if (c == QLatin1Char('\\') && i < n) {
                    valore += s.at(i++);
                } else if (c == QLatin1Char('\'')) {
                    chiuso = true;
                    break;
                } else {
                    valore += c;
                }
            }
            if (!chiuso)
                return rifiuta(QStringLiteral("manca l'apice che chiude il valore di %1").arg(chiave));
        } else {
            while (i < n && !spazio(s.at(i))) {
                const QChar c = s.at(i++);
                if (c == QLatin1Char('\\') && i < n)
                    valore += s.at(i++);
                else
                    valore += c;
            }
        }
        if (chiave.compare(QLatin1String("password"), Qt::CaseInsensitive) == 0)
            return rifiuta(QStringLiteral("la password non va scritta nella configurazione: va nel file delle "
                                          "password di PostgreSQL (.pgpass)"));
        if (chiave.compare(QLatin1String("dbname"), Qt::CaseInsensitive) == 0)
            return rifiuta(QStringLiteral("il nome del database non va indicato: lo stabilisce il programma"));
        parametri.append({chiave, valore});
    }
    if (parametri.isEmpty())
        return rifiuta(QStringLiteral("il server non è indicato"));
    return true;
}

QString scriviServer(const QList<ParametroServer>& parametri)
{
    QStringList parti;
    for (const ParametroServer& p : parametri) {
        QString valore = p.valore;
        valore.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        valore.replace(QLatin1Char('\''), QStringLiteral("\\'"));
        parti << p.chiave + QStringLiteral("='") + valore + QLatin1Char('\'');
    }
    return parti.join(QLatin1Char(' '));
}

// ---- the engine ----

QString MotorePostgreSql::driver() const
{
    return QStringLiteral("QPSQL");
}

void MotorePostgreSql::apri(QSqlDatabase& db, const Luogo& luogo, const OpzioniArchivio& opzioni) const
{
    QList<ParametroServer> parametri;
    QString motivo;
    if (!leggiServer(luogo.server(), parametri, &motivo))
        throw ErroreArchivio(TipoErrore::NonApribile, motivo, luogo.descrizione());
    db.setDatabaseName(luogo.nome());
    db.setConnectOptions(opzioniConnessione(parametri));
    if (!db.open())
        throw classificaApertura(db.lastError(), luogo);

    QSqlQuery q(db);
    // lock_timeout 0 would mean waiting for ever.
    const QStringList impostazioni = {
        QStringLiteral("SET client_min_messages = error"),
        QStringLiteral("SET lock_timeout = %1").arg(qMax(1, opzioni.attesaBloccoMs)),
    };
    for (const QString& sql : impostazioni) {
        if (!q.exec(sql))
            throw classificaApertura(q.lastError(), luogo);
    }
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM pg_catalog.pg_class c "
                               "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                               "WHERE c.relkind IN ('r', 'p') AND n.nspname = current_schema()")) ||
        !q.next())
        throw classificaApertura(q.lastError(), luogo);
    // A database without tables is not an archive of the program.
    if (q.value(0).toLongLong() == 0)
        throw ErroreArchivio(TipoErrore::Danneggiato, QStringLiteral("archivio senza tabelle"), luogo.descrizione());
    q.finish();
}

QStringList MotorePostgreSql::tabelle(QSqlDatabase& db) const
{
    QSqlQuery q(db);
    const QString sql = QStringLiteral("SELECT c.relname FROM pg_catalog.pg_class c "
                                       "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                                       "WHERE c.relkind IN ('r', 'p') AND n.nspname = current_schema() "
                                       "ORDER BY c.relname");
    if (!q.exec(sql))
        throw classifica(q.lastError(), sql);
    QStringList nomi;
    while (q.next())
        nomi << nomeCanonico(q.value(0).toString());
    return nomi;
}

QString MotorePostgreSql::nome(const QString& identificatore) const
{
    return Motore::nome(identificatore.toLower());
}

QString MotorePostgreSql::nomeCanonico(const QString& nome) const
{
    return nomiSchema().value(nome, nome);
}

InfoTabella MotorePostgreSql::descriviTabella(QSqlDatabase& db, const QString& tabella) const
{
    InfoTabella info;
    info.nome = tabella;
    // A catalogue query about this table, its name bound.
    auto interroga = [&](const QString& sql) {
        QSqlQuery q(db);
        if (!q.prepare(sql))
            throw classifica(q.lastError(), sql);
        q.addBindValue(tabella.toLower());
        if (!q.exec())
            throw classifica(q.lastError(), sql);
        return q;
    };
    {
        QSqlQuery q = interroga(QStringLiteral(
            "SELECT a.attname FROM pg_catalog.pg_attribute a "
            "JOIN pg_catalog.pg_class c ON c.oid = a.attrelid "
            "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
            "WHERE c.relname = ? AND n.nspname = current_schema() AND a.attnum > 0 AND NOT a.attisdropped "
            "ORDER BY a.attnum"));
        while (q.next()) {
            const QString colonna = nomeCanonico(q.value(0).toString());
            info.posizione.insert(colonna.toUpper(), int(info.colonne.size()));
            info.colonne << colonna;
        }
    }
    {
        // Key columns of every plain index (no expression, no condition).
        QSqlQuery q = interroga(QStringLiteral(
            "SELECT i.relname, x.indisunique, x.indisprimary, a.attname "
            "FROM pg_catalog.pg_index x "
            "JOIN pg_catalog.pg_class t ON t.oid = x.indrelid "
            "JOIN pg_catalog.pg_namespace n ON n.oid = t.relnamespace "
            "JOIN pg_catalog.pg_class i ON i.oid = x.indexrelid "
            "CROSS JOIN LATERAL unnest(x.indkey::int2[]) WITH ORDINALITY AS k(attnum, ordine) "
            "LEFT JOIN pg_catalog.pg_attribute a ON a.attrelid = t.oid AND a.attnum = k.attnum "
            "WHERE t.relname = ? AND n.nspname = current_schema() AND x.indpred IS NULL "
            "AND k.ordine <= x.indnkeyatts "
            "ORDER BY i.relname, k.ordine"));
        QString corrente;
        InfoIndice indice;
        bool soloColonne = true;
        bool primario = false;
        auto chiudi = [&] {
            if (corrente.isEmpty())
                return;
            if (soloColonne && !indice.colonne.isEmpty()) {
                if (primario)
                    info.chiavePrimaria = indice.colonne;
                info.indici << indice;
            }
        };
        while (q.next()) {
            const QString nome = q.value(0).toString();
            if (nome != corrente) {
                chiudi();
                corrente = nome;
                // The server keeps names in lower case; the program's index
                // names are upper case ("CHIAVE", "CHIAVECFS").
                indice = InfoIndice{nome.toUpper(), {}, q.value(1).toBool()};
                soloColonne = true;
                primario = q.value(2).toBool();
            }
            if (q.value(3).isNull())
                soloColonne = false; // an index on an expression: not usable for Seek
            else
                indice.colonne << nomeCanonico(q.value(3).toString());
        }
        chiudi();
    }
    return info;
}

ErroreArchivio MotorePostgreSql::classifica(const QSqlError& e, const QString& contesto) const
{
    Q_UNUSED(contesto);
    const QString codice = e.nativeErrorCode();
    const QString testo = testoErrore(e);
    const QString messaggio = e.databaseText();
    if (codice.isEmpty()) {
        // No SQLSTATE: the connection itself failed or was lost.
        if (e.type() == QSqlError::ConnectionError || !messaggio.isEmpty())
            return ErroreArchivio(TipoErrore::NonApribile, testo);
        return ErroreArchivio(TipoErrore::Altro, testo);
    }
    const QString classe = codice.left(2);
    const QStringList nomi = virgolettati(messaggioPrincipale(messaggio));

    if (codice == QLatin1String("40001") || codice == QLatin1String("40P01") || codice == QLatin1String("55P03") ||
        codice == QLatin1String("55006"))
        return ErroreArchivio(TipoErrore::Occupato, testo);
    if (codice == QLatin1String("53100"))
        return ErroreArchivio(TipoErrore::DiscoPieno, testo);
    if (codice == QLatin1String("25006"))
        return ErroreArchivio(TipoErrore::SolaLettura, testo);
    if (classe == QLatin1String("28") || codice == QLatin1String("42501"))
        return ErroreArchivio(TipoErrore::AccessoNegato, testo);
    if (classe == QLatin1String("08") || classe == QLatin1String("3D") || codice == QLatin1String("57P01") ||
        codice == QLatin1String("57P02") || codice == QLatin1String("57P03") || classe == QLatin1String("58"))
        return ErroreArchivio(TipoErrore::NonApribile, testo);
    if (codice == QLatin1String("XX001") || codice == QLatin1String("XX002"))
        return ErroreArchivio(TipoErrore::Danneggiato, testo);
    if (codice == QLatin1String("42P01"))
        return ErroreArchivio(TipoErrore::OggettoMancante, testo,
                              nomi.isEmpty() ? QString() : QStringLiteral("la tabella %1").arg(nomi.first().toUpper()));
    if (codice == QLatin1String("42703"))
        return ErroreArchivio(TipoErrore::OggettoMancante, testo,
                              nomi.isEmpty() ? QString() : QStringLiteral("il campo %1").arg(nomi.first().toUpper()));
    if (codice == QLatin1String("42704"))
        return ErroreArchivio(TipoErrore::OggettoMancante, testo,
                              nomi.isEmpty() ? QString() : QStringLiteral("l'indice %1").arg(nomi.first().toUpper()));
    if (codice == QLatin1String("23505")) {
        // "Key (codazi, cfs)=(...) already exists.": the columns, named as
        // SQLite names them, TABLE.COLUMN.
        static const QRegularExpression chiave(QStringLiteral("\\(([^()]*)\\)=\\("));
        const QRegularExpressionMatch m = chiave.match(messaggio);
        if (m.hasMatch() && !nomi.isEmpty()) {
            const QString tabella = tabellaDiIndice(nomi.first()).toUpper();
            QStringList colonne;
            for (const QString& c : m.captured(1).split(QLatin1Char(',')))
                colonne << tabella + QLatin1Char('.') + c.trimmed().toUpper();
            return ErroreArchivio(TipoErrore::Altro, testo,
                                  QStringLiteral("Esiste già un record con la stessa chiave (%1).")
                                      .arg(colonne.join(QStringLiteral(", "))));
        }
        return ErroreArchivio(TipoErrore::Altro, testo, QStringLiteral("Esiste già un record con la stessa chiave."));
    }
    if (codice == QLatin1String("23502")) {
        const QString campo = nomi.size() >= 2 ? nomi.at(1).toUpper() + QLatin1Char('.') + nomi.at(0).toUpper()
                                               : nomi.value(0).toUpper();
        return ErroreArchivio(TipoErrore::Altro, testo, QStringLiteral("Manca un dato obbligatorio (%1).").arg(campo));
    }
    if (classe == QLatin1String("23"))
        return ErroreArchivio(TipoErrore::Altro, testo, QStringLiteral("I dati non rispettano i vincoli dell'archivio."));
    if (codice == QLatin1String("22001"))
        return ErroreArchivio(TipoErrore::Altro, testo,
                              QStringLiteral("Un dato è più lungo di quanto il campo dell'archivio consenta."));
    return ErroreArchivio(TipoErrore::Altro, testo);
}

ErroreArchivio MotorePostgreSql::classificaApertura(const QSqlError& e, const Luogo& luogo) const
{
    if (!e.nativeErrorCode().isEmpty()) {
        const ErroreArchivio base = classifica(e, luogo.descrizione());
        return ErroreArchivio(base.tipo(), base.dettaglio(), luogo.descrizione());
    }
    // libpq's own text, possibly translated: the database named in it means
    // the database itself is missing or closed to the user; words about
    // passwords, authentication or roles mean the server refused the user;
    // anything else that the server could not be reached.
    const QString testo = testoErrore(e);
    static const QRegularExpression rifiuto(
        QStringLiteral("fe_sendauth|password|authenticat|autenticazione|pg_hba|role|ruolo"),
        QRegularExpression::CaseInsensitiveOption);
    TipoErrore tipo = TipoErrore::NonApribile;
    if (!e.databaseText().contains(quotaNome(luogo.nome())) && rifiuto.match(e.databaseText()).hasMatch())
        tipo = TipoErrore::AccessoNegato;
    return ErroreArchivio(tipo, testo, luogo.descrizione());
}

bool MotorePostgreSql::nessunaTransazione(const QSqlError& e) const
{
    // COMMIT and ROLLBACK outside a transaction only warn on this engine.
    return e.nativeErrorCode() == QLatin1String("25P01");
}

QStringList MotorePostgreSql::inizioTransazione(QSqlDatabase& db) const
{
    // SQLite's BEGIN IMMEDIATE: one writer at a time, readers go on. SHARE
    // ROW EXCLUSIVE on every table conflicts with any other writer and with
    // itself, not with readers; the wait is bounded by lock_timeout, after
    // which the start fails with Occupato and nothing has been done.
    QStringList nomi;
    for (const QString& t : tabelle(db))
        nomi << nome(t);
    if (nomi.isEmpty())
        return {QStringLiteral("BEGIN")};
    return {QStringLiteral("BEGIN"),
            QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE").arg(nomi.join(QStringLiteral(", ")))};
}

QString MotorePostgreSql::adattaTesto(const QString& sql) const
{
    return nulliComeSqlite(sql);
}

QList<int> MotorePostgreSql::colonneDaRifilare(const QSqlRecord& record) const
{
    QList<int> colonne;
    for (int i = 0; i < record.count(); ++i) {
        if (record.field(i).typeID() == OID_BPCHAR)
            colonne << i;
    }
    return colonne;
}

std::unique_ptr<Motore> creaMotorePostgreSql()
{
    return std::make_unique<MotorePostgreSql>();
}

// ---- Nulls in ORDER BY ----

QString nulliComeSqlite(const QString& sql)
{
    // One item of an ORDER BY list being read.
    struct Voce {
        int profondita = 0;  // parentheses around the ORDER BY
        bool vuota = true;
        bool nulls = false;  // says itself where its Nulls go
        QString ultima;      // its last keyword, or "" after anything else
    };
    QList<Voce> aperte;                     // innermost last
    QList<QPair<qsizetype, bool>> aggiunte; // position, descending
    int profondita = 0;
    qsizetype fineContenuto = 0; // just after the last token that was not a blank or a comment
    const qsizetype n = sql.size();

    auto chiudiVoce = [&](const Voce& v) {
        if (!v.vuota && !v.nulls)
            aggiunte.append({fineContenuto, v.ultima == QLatin1String("DESC")});
    };
    auto nuovaVoce = [&] {
        Voce v;
        v.profondita = profondita;
        return v;
    };
    auto dentro = [&]() { return !aperte.isEmpty() && aperte.last().profondita == profondita; };
    auto parola = [&](qsizetype i) {
        qsizetype j = i;
        while (j < n && (sql.at(j).isLetterOrNumber() || sql.at(j) == QLatin1Char('_')))
            ++j;
        return j;
    };
    auto contenuto = [&](const QString& ultima) {
        if (dentro()) {
            aperte.last().vuota = false;
            aperte.last().ultima = ultima;
        }
    };

    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            while (i < n && sql.at(i) != QLatin1Char('\n'))
                ++i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
            const qsizetype fine = sql.indexOf(QStringLiteral("*/"), i + 2);
            i = fine < 0 ? n : fine + 2;
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A text or a quoted name, doubled quotes inside.
            ++i;
            while (i < n) {
                if (sql.at(i) == c) {
                    if (i + 1 < n && sql.at(i + 1) == c) {
                        i += 2;
                        continue;
                    }
                    break;
                }
                ++i;
            }
            i = qMin(i + 1, n);
            contenuto(QString());
            fineContenuto = i;
            continue;
        }
        if (c == QLatin1Char('(')) {
            contenuto(QString());
            ++profondita;
            ++i;
            fineContenuto = i;
            continue;
        }
        if (c == QLatin1Char(')')) {
            if (dentro()) {
                chiudiVoce(aperte.last());
                aperte.removeLast();
            }
            --profondita;
            contenuto(QString());
            ++i;
            fineContenuto = i;
            continue;
        }
        if (c == QLatin1Char(',') && dentro()) {
            chiudiVoce(aperte.last());
            aperte.last() = nuovaVoce();
            ++i;
            continue;
        }
        if (c == QLatin1Char(';')) {
            while (!aperte.isEmpty()) {
                chiudiVoce(aperte.last());
                aperte.removeLast();
            }
            ++i;
            continue;
        }
        if (c.isLetter() || c == QLatin1Char('_')) {
            const qsizetype fine = parola(i);
            const QString w = sql.mid(i, fine - i).toUpper();
            if (w == QLatin1String("ORDER")) {
                qsizetype j = fine;
                while (j < n && sql.at(j).isSpace())
                    ++j;
                const qsizetype fineBy = parola(j);
                if (sql.mid(j, fineBy - j).toUpper() == QLatin1String("BY")) {
                    contenuto(QString());
                    aperte.append(nuovaVoce());
                    i = fineBy;
                    fineContenuto = i;
                    continue;
                }
            }
            static const QStringList termine = {
                QStringLiteral("LIMIT"),     QStringLiteral("OFFSET"), QStringLiteral("FETCH"),
                QStringLiteral("FOR"),       QStringLiteral("UNION"),  QStringLiteral("INTERSECT"),
                QStringLiteral("EXCEPT"),    QStringLiteral("WINDOW"), QStringLiteral("RETURNING"),
            };
            if (dentro() && termine.contains(w)) {
                chiudiVoce(aperte.last());
                aperte.removeLast();
            } else if (dentro()) {
                if (w == QLatin1String("NULLS"))
                    aperte.last().nulls = true;
            }
            contenuto(w);
            i = fine;
            fineContenuto = i;
            continue;
        }
        // Digits, operators, dots: part of an expression.
        contenuto(QString());
        ++i;
        fineContenuto = i;
    }
    while (!aperte.isEmpty()) {
        chiudiVoce(aperte.last());
        aperte.removeLast();
    }

    QString risultato = sql;
    std::sort(aggiunte.begin(), aggiunte.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    for (const auto& [posizione, discendente] : aggiunte)
        risultato.insert(posizione, discendente ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST"));
    return risultato;
}

// ---- the server as a whole ----

Presenza presenzaSuServer(const Luogo& luogo)
{
    ConnessioneServer server(luogo.server());
    QSqlQuery q = server.esegui(QStringLiteral("SELECT datallowconn AND has_database_privilege(datname, 'CONNECT') "
                                               "FROM pg_catalog.pg_database WHERE datname = ?"),
                                {luogo.nome()});
    if (!q.next())
        return Presenza::Assente;
    return q.value(0).toBool() ? Presenza::Presente : Presenza::Inaccessibile;
}

void creaDaModelloSuServer(const Luogo& modello, const Luogo& anno)
{
    ConnessioneServer server(anno.server());
    QSqlQuery q;
    QSqlError e;
    const QString sql = QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(quotaNome(anno.nome()), quotaNome(modello.nome()));
    if (server.prova(sql, {}, q, e))
        return;
    const QString codice = e.nativeErrorCode();
    const QString testo = testoErrore(e);
    if (codice == QLatin1String("42P04"))
        throw ErroreArchivio(TipoErrore::Altro, testo,
                             QStringLiteral("L'archivio %1 esiste già e non viene sostituito.").arg(anno.descrizione()));
    if (codice == QLatin1String("3D000"))
        throw ErroreArchivio(TipoErrore::OggettoMancante, testo,
                             QStringLiteral("l'archivio modello %1").arg(modello.descrizione()));
    const ErroreArchivio base = server.motore().classifica(e, sql);
    throw ErroreArchivio(base.tipo(), base.dettaglio(),
                         base.tipo() == TipoErrore::Altro ? base.oggetto() : anno.descrizione());
}

void creaDatabaseSuServer(const Luogo& luogo, const QStringList& istruzioni,
                          const std::function<void(Database&)>& riempi, bool modello)
{
    if (luogo.nome().isEmpty() || luogo.nome().toUtf8().size() > 63)
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("nome non valido"),
                             QStringLiteral("Nome di archivio non valido: \"%1\".").arg(luogo.nome()));
    ConnessioneServer server(luogo.server());
    auto esiste = [&](const QString& nome) {
        return server.esegui(QStringLiteral("SELECT 1 FROM pg_catalog.pg_database WHERE datname = ?"), {nome}).next();
    };
    auto giaEsistente = [&] {
        return ErroreArchivio(TipoErrore::Altro, QStringLiteral("database già esistente"),
                              QStringLiteral("L'archivio %1 esiste già e non viene sostituito.").arg(luogo.descrizione()));
    };
    if (esiste(luogo.nome()))
        throw giaEsistente();

    // Built under a name of its own, renamed when complete.
    const QString provvisorio =
        QStringLiteral("anagsost_nuovo_%1%2")
            .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
            .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    server.esegui(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'")
                      .arg(quotaNome(provvisorio)));
    try {
        {
            ConnessioneServer nuovo(luogo.server(), provvisorio);
            nuovo.esegui(QStringLiteral("BEGIN"));
            for (const QString& sql : istruzioni)
                nuovo.esegui(sql);
            nuovo.esegui(QStringLiteral("COMMIT"));
        }
        if (riempi) {
            auto db = Database::OpenDatabase(Luogo::server(luogo.server(), provvisorio));
            Transazione t(*db);
            riempi(*db);
            t.commit();
            db->Close();
        }
        if (modello)
            server.esegui(QStringLiteral("ALTER DATABASE %1 IS_TEMPLATE true").arg(quotaNome(provvisorio)));
        QSqlQuery q;
        QSqlError e;
        if (!server.prova(QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(quotaNome(provvisorio), quotaNome(luogo.nome())),
                          {}, q, e)) {
            if (e.nativeErrorCode() == QLatin1String("42P04"))
                throw giaEsistente(); // made meanwhile by someone else: theirs stays
            throw server.motore().classifica(e, QStringLiteral("ALTER DATABASE"));
        }
    } catch (...) {
        eliminaDatabase(server, provvisorio);
        throw;
    }
}

} // namespace store::interno
