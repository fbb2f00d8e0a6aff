// The PostgreSQL engine: the year's database is a database on a server,
// reached through Qt's QPSQL driver (libpq). Everything here is specific to
// PostgreSQL: the catalogue, SQLSTATE codes, the transaction that takes the
// write lock, where Nulls go in ORDER BY, the padding of fixed-width values.
#include "store/motore_postgresql.h"

#include "store/driver_postgresql.h"
#include "store/file_password.h"
#include "store/libpq.h"
#include "store/schema.h"
#include "store/stringa_connessione.h"

#include <QRegularExpression>
#include <QSqlField>
#include <QSqlQuery>

namespace store::interno {

namespace {

// The schema is the program's own: every table's columns and the key
// columns of its plain indexes (no expression, no condition) in one read,
// kept for the life of the connection.
const QString SQL_CATALOGO = QStringLiteral(
    "SELECT c.relname, 0 AS parte, a.attnum AS ordine, a.attname, NULL::name AS indice, "
    "false AS univoco, false AS primario "
    "FROM pg_catalog.pg_class c "
    "JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
    "JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid "
    "WHERE c.relkind IN ('r', 'p') AND n.nspname = current_schema() AND a.attnum > 0 AND NOT a.attisdropped "
    "UNION ALL "
    "SELECT t.relname, 1, k.ordine, a.attname, i.relname, x.indisunique, x.indisprimary "
    "FROM pg_catalog.pg_index x "
    "JOIN pg_catalog.pg_class t ON t.oid = x.indrelid "
    "JOIN pg_catalog.pg_namespace n ON n.oid = t.relnamespace "
    "JOIN pg_catalog.pg_class i ON i.oid = x.indexrelid "
    "CROSS JOIN LATERAL unnest(x.indkey::int2[]) WITH ORDINALITY AS k(attnum, ordine) "
    "LEFT JOIN pg_catalog.pg_attribute a ON a.attrelid = t.oid AND a.attnum = k.attnum "
    "WHERE t.relkind IN ('r', 'p') AND n.nspname = current_schema() AND x.indpred IS NULL "
    "AND k.ordine <= x.indnkeyatts "
    "ORDER BY 1, 2, 5, 3");

// Type of a fixed-width text column (character(n)) in the server's catalogue.
constexpr int OID_BPCHAR = 1042;

// The server's text without its severity word, first line only.
QString messaggioPrincipale(const QString& testo)
{
    static const QRegularExpression gravita(QStringLiteral("^\\s*[A-Z]+:\\s+"));
    QString riga = testo.trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
    riga.remove(gravita);
    return riga;
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

// The right a statement needs, named for the operator: SELECT, INSERT,
// UPDATE, DELETE; a table lock taken to write needs any right to write.
QString privilegioRichiesto(const QString& istruzione)
{
    const QString verbo = istruzione.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
    if (verbo == QLatin1String("LOCK"))
        return QStringLiteral("di scrittura (INSERT, UPDATE, DELETE)");
    for (const char* p : {"SELECT", "INSERT", "UPDATE", "DELETE"}) {
        if (verbo == QLatin1String(p))
            return verbo;
    }
    return {};
}

// The table the server names in "permission denied for table x".
QString tabellaNegata(const QString& messaggio)
{
    static const QRegularExpression negato(QStringLiteral("permission denied for (?:table|relation) \"?([^\"\\s]+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = negato.match(messaggio);
    return m.hasMatch() ? m.captured(1).toUpper() : QString();
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

} // namespace

QString MotorePostgreSql::testo(const QSqlError& e)
{
    QString t = e.databaseText().trimmed();
    if (t.isEmpty())
        t = e.driverText().trimmed();
    t.replace(QLatin1Char('\n'), QStringLiteral(" / "));
    if (!e.nativeErrorCode().isEmpty() && !t.contains(e.nativeErrorCode()))
        t += QStringLiteral(" [%1]").arg(e.nativeErrorCode());
    return t;
}

QString MotorePostgreSql::driver() const
{
    return QStringLiteral("QPSQL");
}

QSqlDriver* MotorePostgreSql::creaDriver() const
{
    return new DriverPg;
}

void MotorePostgreSql::apri(QSqlDatabase& db, const Luogo& luogo, const OpzioniArchivio& opzioni) const
{
    QList<ParametroServer> parametri;
    QString motivo;
    if (!leggiServer(luogo.server(), parametri, &motivo))
        throw ErroreArchivio(TipoErrore::NonApribile, motivo, luogo.descrizione());
    // The session's settings go with the connection's start (no round trip
    // of their own), after any the connection string gives: dates in ISO
    // form and times in UTC, as the channel reads them; lock_timeout 0
    // would mean waiting for ever. Texts are UTF-8 whatever the pairs say.
    const QString impostazioni =
        QStringLiteral("-c client_min_messages=error -c lock_timeout=%1 -c DateStyle=ISO -c TimeZone=UTC")
            .arg(qMax(1, opzioni.attesaBloccoMs));
    auto date = std::find_if(parametri.begin(), parametri.end(),
                             [](const ParametroServer& p) { return p.chiave == QLatin1String("options"); });
    if (date != parametri.end())
        date->valore += QLatin1Char(' ') + impostazioni;
    else
        parametri.append({QStringLiteral("options"), impostazioni});
    parametri.erase(
        std::remove_if(parametri.begin(), parametri.end(),
                       [](const ParametroServer& p) { return p.chiave == QLatin1String("client_encoding"); }),
        parametri.end());
    parametri.append({QStringLiteral("client_encoding"), QStringLiteral("UTF8")});
    db.setDatabaseName(luogo.nome());
    db.setConnectOptions(opzioniConnessione(parametri));
    m_canale = std::make_unique<CanalePg>(db);
    m_catalogo.clear();
    m_catalogoLetto = false;
    m_luogo = luogo;
    m_canale->conta(SCAMBI_APERTURA);
    if (!db.open())
        throw classificaApertura(db.lastError(), luogo);
    m_canale->anticipa(SQL_CATALOGO, [this](const PGresult* risposta) { return leggiCatalogo(risposta); });
}

void MotorePostgreSql::assicuraCatalogo() const
{
    if (!m_catalogoLetto) {
        const QSqlError e = m_canale->inviaAnticipata();
        if (e.isValid())
            throw classifica(e, SQL_CATALOGO);
    }
    // A database without tables is not an archive of the program.
    if (m_catalogo.isEmpty())
        throw ErroreArchivio(TipoErrore::Danneggiato, QStringLiteral("archivio senza tabelle"), m_luogo.descrizione());
}

QSqlError MotorePostgreSql::leggiCatalogo(const PGresult* risposta) const
{
    const QSqlError e = m_canale->errore(risposta);
    if (e.isValid())
        return e;
    const Libpq& pq = libpq();
    const auto testo = [&](int riga, int colonna) {
        return QString::fromUtf8(pq.valore(risposta, riga, colonna), pq.lunghezza(risposta, riga, colonna));
    };
    const auto vero = [&](int riga, int colonna) { return pq.valore(risposta, riga, colonna)[0] == 't'; };
    QList<InfoTabella> catalogo;
    QString indiceCorrente;
    InfoIndice indice;
    bool soloColonne = true;
    bool primario = false;
    auto chiudiIndice = [&] {
        if (!indiceCorrente.isEmpty() && soloColonne && !indice.colonne.isEmpty()) {
            if (primario)
                catalogo.last().chiavePrimaria = indice.colonne;
            catalogo.last().indici << indice;
        }
        indiceCorrente.clear();
    };
    for (int r = 0; r < pq.righe(risposta); ++r) {
        const QString tabella = nomeCanonico(testo(r, 0));
        if (catalogo.isEmpty() || catalogo.last().nome != tabella) {
            chiudiIndice();
            catalogo.append(InfoTabella());
            catalogo.last().nome = tabella;
        }
        InfoTabella& info = catalogo.last();
        if (testo(r, 1) == QLatin1String("0")) {
            const QString colonna = nomeCanonico(testo(r, 3));
            info.posizione.insert(colonna.toUpper(), int(info.colonne.size()));
            info.colonne << colonna;
            continue;
        }
        const QString nome = testo(r, 4);
        if (nome != indiceCorrente) {
            chiudiIndice();
            indiceCorrente = nome;
            // The server keeps names in lower case; the program's index
            // names are upper case ("CHIAVE", "CHIAVECFS").
            indice = InfoIndice{nome.toUpper(), {}, vero(r, 5)};
            soloColonne = true;
            primario = vero(r, 6);
        }
        if (pq.nullo(risposta, r, 3))
            soloColonne = false; // an index on an expression: not usable for Seek
        else
            indice.colonne << nomeCanonico(testo(r, 3));
    }
    chiudiIndice();
    m_catalogo = catalogo;
    m_catalogoLetto = true;
    return {};
}

QStringList MotorePostgreSql::tabelle(QSqlDatabase& db) const
{
    Q_UNUSED(db);
    assicuraCatalogo();
    QStringList nomi;
    for (const InfoTabella& t : m_catalogo)
        nomi << t.nome;
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
    Q_UNUSED(db);
    assicuraCatalogo();
    for (const InfoTabella& t : m_catalogo) {
        if (t.nome.compare(tabella, Qt::CaseInsensitive) == 0)
            return t;
    }
    throw ErroreArchivio(TipoErrore::OggettoMancante, QStringLiteral("no such table: %1").arg(tabella),
                         QStringLiteral("la tabella %1").arg(tabella));
}

ErroreArchivio MotorePostgreSql::classifica(const QSqlError& e, const QString& contesto) const
{
    const QString codice = e.nativeErrorCode();
    const QString testo = MotorePostgreSql::testo(e);
    const QString messaggio = e.databaseText();
    if (codice.isEmpty()) {
        // No SQLSTATE: libpq's own failure, the connection's (whether it
        // broke off, libpq knows: see riconnessione.h).
        if (e.type() == QSqlError::ConnectionError || !messaggio.isEmpty())
            return ErroreArchivio(TipoErrore::ServerIrraggiungibile, testo);
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
        return ErroreArchivio(TipoErrore::ServerSolaLettura, testo);
    if (classe == QLatin1String("28"))
        return ErroreArchivio(TipoErrore::AccessoNegato, testo);
    if (codice == QLatin1String("42501")) {
        Precisazioni negato;
        negato.privilegio = privilegioRichiesto(contesto);
        negato.tabella = tabellaNegata(messaggio);
        return ErroreArchivio(TipoErrore::PermessoNegato, testo, QString(), negato);
    }
    // The server ending the session (shut down, restarted, an administrator).
    if (codice == QLatin1String("57P01") || codice == QLatin1String("57P02"))
        return ErroreArchivio(TipoErrore::ConnessionePersa, testo);
    if (classe == QLatin1String("08") || codice == QLatin1String("57P03"))
        return ErroreArchivio(TipoErrore::ServerIrraggiungibile, testo);
    if (classe == QLatin1String("3D"))
        return ErroreArchivio(TipoErrore::ArchivioMancante, testo);
    if (classe == QLatin1String("58"))
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
        const QString campo =
            nomi.size() >= 2 ? nomi.at(1).toUpper() + QLatin1Char('.') + nomi.at(0).toUpper() : nomi.value(0).toUpper();
        return ErroreArchivio(TipoErrore::Altro, testo, QStringLiteral("Manca un dato obbligatorio (%1).").arg(campo));
    }
    if (classe == QLatin1String("23"))
        return ErroreArchivio(TipoErrore::Altro, testo,
                              QStringLiteral("I dati non rispettano i vincoli dell'archivio."));
    if (codice == QLatin1String("22001"))
        return ErroreArchivio(TipoErrore::Altro, testo,
                              QStringLiteral("Un dato è più lungo di quanto il campo dell'archivio consenta."));
    return ErroreArchivio(TipoErrore::Altro, testo);
}

ErroreArchivio MotorePostgreSql::classificaApertura(const QSqlError& e, const Luogo& luogo) const
{
    TipoErrore tipo = TipoErrore::ServerIrraggiungibile;
    if (!e.nativeErrorCode().isEmpty()) {
        tipo = classifica(e, luogo.descrizione()).tipo();
    } else {
        // libpq's own text, possibly translated: the database named in it
        // means the database itself is missing or closed to the user; words
        // about passwords, authentication or roles mean the server refused
        // the user; anything else that the server could not be reached.
        static const QRegularExpression rifiuto(
            QStringLiteral("fe_sendauth|password|authenticat|autenticazione|pg_hba|role|ruolo"),
            QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression inesistente(QStringLiteral("does not exist|non esiste"),
                                                    QRegularExpression::CaseInsensitiveOption);
        const QString parole = e.databaseText();
        if (parole.contains(nomeQuotato(luogo.nome())))
            tipo = inesistente.match(parole).hasMatch() ? TipoErrore::ArchivioMancante : TipoErrore::NonApribile;
        else if (rifiuto.match(parole).hasMatch())
            tipo = TipoErrore::AccessoNegato;
    }
    Precisazioni precisazioni;
    if (tipo == TipoErrore::AccessoNegato) {
        // A password file libpq ignored, not the user or the password, is
        // what to mend then.
        QList<ParametroServer> parametri;
        leggiServer(luogo.server(), parametri);
        precisazioni.file = filePasswordIgnorato(parametri);
        if (!precisazioni.file.isEmpty())
            tipo = TipoErrore::FilePasswordIgnorato;
    }
    return ErroreArchivio(tipo, MotorePostgreSql::testo(e), luogo.descrizione(), precisazioni);
}

bool MotorePostgreSql::nessunaTransazione(const QSqlError& e) const
{
    // COMMIT and ROLLBACK outside a transaction only warn on this engine.
    return e.nativeErrorCode() == QLatin1String("25P01");
}

QStringList MotorePostgreSql::inizioTransazione(QSqlDatabase& db, const QStringList& tabelle) const
{
    // SQLite's BEGIN IMMEDIATE, on what the transaction writes: SHARE ROW
    // EXCLUSIVE conflicts with any other writer and with itself, not with
    // readers; the wait is bounded by lock_timeout, after which the start
    // fails with Occupato and nothing has been done.
    QStringList nomi;
    for (const QString& t : tabelle.isEmpty() ? this->tabelle(db) : tabelle)
        nomi << nome(t);
    if (nomi.isEmpty())
        return {QStringLiteral("BEGIN")};
    return {QStringLiteral("BEGIN"),
            QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE").arg(nomi.join(QStringLiteral(", ")))};
}

QString MotorePostgreSql::voceOrdine(const QString& colonna, bool discendente) const
{
    // The server puts Nulls last in ascending order, first in descending.
    return Motore::voceOrdine(colonna, discendente) +
           (discendente ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST"));
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

} // namespace store::interno
