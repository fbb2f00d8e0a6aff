// The SQLite engine: the year's database is one file, opened through Qt's
// QSQLITE driver. Everything here is specific to SQLite.
#include "store/motore_sqlite.h"

#include "store/attesa.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QUrl>

namespace store::interno {

namespace {

// SQLite's primary result codes (the driver reports extended codes; the low
// byte is the primary one).
enum CodiceSqlite {
    SQLITE_ERROR = 1,
    SQLITE_PERM = 3,
    SQLITE_BUSY = 5,
    SQLITE_LOCKED = 6,
    SQLITE_READONLY = 8,
    SQLITE_IOERR = 10,
    SQLITE_CORRUPT = 11,
    SQLITE_FULL = 13,
    SQLITE_CANTOPEN = 14,
    SQLITE_PROTOCOL = 15,
    SQLITE_CONSTRAINT = 19,
    SQLITE_AUTH = 23,
    SQLITE_NOTADB = 26,
};

// SQLITE_READONLY_DBMOVED: the file was moved, replaced or removed under
// the open connection, which then refuses to write.
constexpr int SQLITE_READONLY_DBMOVED = SQLITE_READONLY | (4 << 8);

int codicePrimario(const QSqlError& e)
{
    bool ok = false;
    const int codice = e.nativeErrorCode().toInt(&ok);
    return ok ? (codice & 0xff) : -1;
}

QString testoErrore(const QSqlError& e)
{
    QString t = e.databaseText().trimmed();
    if (t.isEmpty())
        t = e.driverText().trimmed();
    if (!e.nativeErrorCode().isEmpty())
        t += QStringLiteral(" [%1]").arg(e.nativeErrorCode());
    return t;
}

// Runs a catalogue query with one bound value; raises on failure.
QSqlQuery catalogo(const Motore& motore, QSqlDatabase& db, const QString& sql, const QVariant& valore = {})
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        throw motore.classifica(q.lastError(), sql);
    if (valore.isValid())
        q.addBindValue(valore);
    if (!q.exec())
        throw motore.classifica(q.lastError(), sql);
    return q;
}

QString nomeConnessioneTemporanea()
{
    static QAtomicInteger<quint64> contatore;
    return QStringLiteral("anagsost-creazione-%1").arg(++contatore);
}

} // namespace

QString MotoreSqlite::driver() const
{
    return QStringLiteral("QSQLITE");
}

void MotoreSqlite::apri(QSqlDatabase& db, const Luogo& luogo, const OpzioniArchivio& opzioni) const
{
    const QString percorso = luogo.percorso();
    const QFileInfo file(percorso);
    // The driver would create a missing file: an archive is never created here.
    if (!file.exists())
        throw ErroreArchivio(TipoErrore::NonApribile, QStringLiteral("file inesistente"), percorso);
    if (!file.isFile())
        throw ErroreArchivio(TipoErrore::NonApribile, QStringLiteral("non è un file"), percorso);
    if (!file.isReadable())
        throw ErroreArchivio(TipoErrore::NonApribile, QStringLiteral("file non leggibile"), percorso);
    // Writing needs the file and, for the rollback journal, its folder.
    if (!file.isWritable())
        throw ErroreArchivio(TipoErrore::SolaLettura, QStringLiteral("file in sola lettura"), percorso);
#ifndef Q_OS_WIN
    // (On Windows a folder's read-only attribute does not stop writing in it.)
    if (!QFileInfo(file.absolutePath()).isWritable())
        throw ErroreArchivio(TipoErrore::SolaLettura, QStringLiteral("cartella in sola lettura"), percorso);
#endif

    // mode=rw: open an existing file only, even if it vanished since the check.
    QUrl uri = QUrl::fromLocalFile(file.absoluteFilePath());
    uri.setQuery(QStringLiteral("mode=rw"));
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    db.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1;QSQLITE_OPEN_URI").arg(qMax(0, opzioni.attesaBloccoMs)));
    if (!db.open())
        throw classificaApertura(db.lastError(), percorso);

    {
        // The first read of the catalogue tells a damaged file or a foreign
        // one, and waits for a lock held by another program.
        bool vuoto = false;
        try {
            vuoto = tabelle(db).isEmpty();
        } catch (const ErroreArchivio& e) {
            throw ErroreArchivio(e.tipo(), e.dettaglio(), percorso);
        }
        // An empty file (a failed copy, say) reads as a database without
        // tables: it is not an archive of the program.
        if (vuoto)
            throw ErroreArchivio(TipoErrore::Danneggiato, QStringLiteral("archivio senza tabelle"), percorso);
    }
    {
        // Rollback journal and full sync: the file may sit on a network
        // share, where a write-ahead log is not safe.
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("PRAGMA synchronous = FULL")))
            throw classificaApertura(q.lastError(), percorso);
        if (q.exec(QStringLiteral("PRAGMA journal_mode")) && q.next() &&
            q.value(0).toString().compare(QStringLiteral("wal"), Qt::CaseInsensitive) == 0) {
            // Only possible when no other program has the file open; left as
            // it is otherwise.
            q.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
        }
        // From now on the engine waits for another program's lock a slice at
        // a time: the connection tries again until the archive's wait is over,
        // and the program's wait handler runs between slices (see attesa.h).
        const int fetta = qMin(opzioni.attesaBloccoMs, INTERVALLO_ATTESA_MS);
        if (!q.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(qMax(0, fetta))))
            throw classificaApertura(q.lastError(), percorso);
        q.finish();
    }
}

QStringList MotoreSqlite::tabelle(QSqlDatabase& db) const
{
    QSqlQuery q = catalogo(*this, db,
                           QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                          "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name"));
    QStringList nomi;
    while (q.next())
        nomi << q.value(0).toString();
    if (q.lastError().isValid())
        throw classifica(q.lastError(), QStringLiteral("sqlite_master"));
    return nomi;
}

InfoTabella MotoreSqlite::descriviTabella(QSqlDatabase& db, const QString& tabella) const
{
    InfoTabella info;
    info.nome = tabella;
    QList<QPair<int, QString>> pk;
    {
        QSqlQuery q = catalogo(*this, db, QStringLiteral("SELECT name, pk FROM pragma_table_info(?) ORDER BY cid"),
                               tabella);
        while (q.next()) {
            const QString colonna = q.value(0).toString();
            info.posizione.insert(colonna.toUpper(), int(info.colonne.size()));
            info.colonne << colonna;
            if (q.value(1).toInt() > 0)
                pk.append({q.value(1).toInt(), colonna});
        }
        if (q.lastError().isValid())
            throw classifica(q.lastError(), tabella);
    }
    std::sort(pk.begin(), pk.end());
    for (const auto& c : pk)
        info.chiavePrimaria << c.second;

    QList<InfoIndice> indici;
    {
        QSqlQuery q = catalogo(*this, db,
                               QStringLiteral("SELECT name, \"unique\" FROM pragma_index_list(?) ORDER BY name"),
                               tabella);
        while (q.next()) {
            InfoIndice i;
            i.nome = q.value(0).toString();
            i.univoco = q.value(1).toInt() != 0;
            indici << i;
        }
        if (q.lastError().isValid())
            throw classifica(q.lastError(), tabella);
    }
    for (InfoIndice& i : indici) {
        QSqlQuery q = catalogo(*this, db, QStringLiteral("SELECT name FROM pragma_index_info(?) ORDER BY seqno"),
                               i.nome);
        bool soloColonne = true;
        while (q.next()) {
            if (q.value(0).isNull())
                soloColonne = false; // an index on an expression: not usable for Seek
            else
                i.colonne << q.value(0).toString();
        }
        if (q.lastError().isValid())
            throw classifica(q.lastError(), i.nome);
        if (soloColonne && !i.colonne.isEmpty())
            info.indici << i;
    }
    return info;
}

ErroreArchivio MotoreSqlite::classifica(const QSqlError& e, const QString& contesto) const
{
    const QString testo = testoErrore(e);
    const QString db = e.databaseText();
    if (e.nativeErrorCode() == QString::number(SQLITE_READONLY_DBMOVED))
        return ErroreArchivio(TipoErrore::ArchivioSpostato, testo);
    switch (codicePrimario(e)) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_PROTOCOL:
        return ErroreArchivio(TipoErrore::Occupato, testo);
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return ErroreArchivio(TipoErrore::SolaLettura, testo);
    case SQLITE_FULL:
        return ErroreArchivio(TipoErrore::DiscoPieno, testo);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return ErroreArchivio(TipoErrore::Danneggiato, testo);
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
        return ErroreArchivio(TipoErrore::NonApribile, testo);
    case SQLITE_CONSTRAINT: {
        static const QRegularExpression univoco(QStringLiteral("^UNIQUE constraint failed: (.*)$"));
        static const QRegularExpression nonNullo(QStringLiteral("^NOT NULL constraint failed: (.*)$"));
        QRegularExpressionMatch m = univoco.match(db);
        if (m.hasMatch())
            return ErroreArchivio(TipoErrore::Altro, testo,
                                  QStringLiteral("Esiste già un record con la stessa chiave (%1).").arg(m.captured(1)));
        m = nonNullo.match(db);
        if (m.hasMatch())
            return ErroreArchivio(TipoErrore::Altro, testo,
                                  QStringLiteral("Manca un dato obbligatorio (%1).").arg(m.captured(1)));
        return ErroreArchivio(TipoErrore::Altro, testo, QStringLiteral("I dati non rispettano i vincoli dell'archivio."));
    }
    case SQLITE_ERROR: {
        static const QRegularExpression mancante(QStringLiteral("^no such (table|column|index): (.*)$"));
        const QRegularExpressionMatch m = mancante.match(db);
        if (m.hasMatch()) {
            const QString tipo = m.captured(1);
            const QString nome = m.captured(2).trimmed();
            const QString oggetto = tipo == QLatin1String("table")    ? QStringLiteral("la tabella %1").arg(nome)
                                    : tipo == QLatin1String("column") ? QStringLiteral("il campo %1").arg(nome)
                                                                      : QStringLiteral("l'indice %1").arg(nome);
            return ErroreArchivio(TipoErrore::OggettoMancante, testo, oggetto);
        }
        break;
    }
    default:
        break;
    }
    Q_UNUSED(contesto);
    return ErroreArchivio(TipoErrore::Altro, testo);
}

ErroreArchivio MotoreSqlite::classificaApertura(const QSqlError& e, const QString& percorso) const
{
    const ErroreArchivio base = classifica(e, percorso);
    return ErroreArchivio(base.tipo(), base.dettaglio(), percorso);
}

bool MotoreSqlite::nessunaTransazione(const QSqlError& e) const
{
    return codicePrimario(e) == SQLITE_ERROR &&
           e.databaseText().contains(QLatin1String("no transaction is active"), Qt::CaseInsensitive);
}

QStringList MotoreSqlite::inizioTransazione(QSqlDatabase& db, const QStringList& tabelle) const
{
    Q_UNUSED(db);
    Q_UNUSED(tabelle);
    // Takes the write lock at once: a conflict with another program shows
    // here, after the busy wait, and not half-way through the changes.
    return {QStringLiteral("BEGIN IMMEDIATE")};
}

void creaFileSqlite(const QString& percorso, const QStringList& istruzioni)
{
    if (QFileInfo::exists(percorso))
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("file già esistente"),
                             QStringLiteral("Il file %1 esiste già.").arg(percorso));
    MotoreSqlite motore;
    const QString nome = nomeConnessioneTemporanea();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(motore.driver(), nome);
        db.setDatabaseName(percorso);
        auto fallisci = [&](const QSqlError& e, const QString& sql) {
            const ErroreArchivio errore = motore.classifica(e, sql);
            return ErroreArchivio(errore.tipo(), errore.dettaglio() + QStringLiteral(" — ") + sql,
                                  errore.oggetto().isEmpty() ? percorso : errore.oggetto());
        };
        try {
            if (!db.open())
                throw motore.classificaApertura(db.lastError(), percorso);
            QSqlQuery q(db);
            // Texts stored as UTF-16, close to the form Qt reads them in: a
            // selection list of the whole registry reads its texts without
            // decoding them. Big-endian, so that the byte-wise comparison of
            // keys and ORDER BY follows the characters' order.
            for (const QString& sql : {QStringLiteral("PRAGMA encoding = 'UTF-16be'"),
                                       QStringLiteral("PRAGMA journal_mode = DELETE"), QStringLiteral("BEGIN")}) {
                if (!q.exec(sql))
                    throw fallisci(q.lastError(), sql);
            }
            for (const QString& sql : istruzioni) {
                if (!q.exec(sql))
                    throw fallisci(q.lastError(), sql);
            }
            if (!q.exec(QStringLiteral("COMMIT")))
                throw fallisci(q.lastError(), QStringLiteral("COMMIT"));
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(nome);
            throw;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(nome);
}

std::unique_ptr<Motore> creaMotoreSqlite()
{
    return std::make_unique<MotoreSqlite>();
}

} // namespace store::interno
