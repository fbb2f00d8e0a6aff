#include "support/archivioprova.h"

#include "store/province.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <stdexcept>

namespace {

QString nuovoNome()
{
    static QAtomicInteger<quint64> contatore;
    return QStringLiteral("archivioprova-%1").arg(++contatore);
}

[[noreturn]] void fallisci(const QString& testo)
{
    throw std::runtime_error(testo.toStdString());
}

// One short-lived connection on an existing file.
class Connessione {
public:
    explicit Connessione(const QString& percorso) : m_nome(nuovoNome())
    {
        if (!QFileInfo::exists(percorso))
            fallisci(QStringLiteral("ArchivioProva: file inesistente ") + percorso);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nome);
        db.setDatabaseName(percorso);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open())
            fallisci(QStringLiteral("ArchivioProva: apertura di %1: %2").arg(percorso, db.lastError().text()));
    }
    ~Connessione()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_nome, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_nome);
    }
    Connessione(const Connessione&) = delete;
    Connessione& operator=(const Connessione&) = delete;

    QSqlQuery esegui(const QString& sql, const QVariantList& parametri = {})
    {
        QSqlQuery q(QSqlDatabase::database(m_nome, false));
        q.setForwardOnly(true);
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
};

QString quota(const QString& nome)
{
    return QLatin1Char('"') + QString(nome).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

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

} // namespace

ArchivioProva::ArchivioProva()
{
    if (!m_cartella.isValid())
        fallisci(QStringLiteral("ArchivioProva: cartella temporanea non creata"));
    store::creaTemplate(percorsoTemplate());
    m_archivio = percorsoAnno();
}

ArchivioProva::~ArchivioProva() = default;

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

QString ArchivioProva::creaAnno()
{
    if (QFileInfo::exists(percorsoAnno()))
        fallisci(QStringLiteral("ArchivioProva: l'archivio dell'anno esiste già"));
    if (!QFile::copy(percorsoTemplate(), percorsoAnno()))
        fallisci(QStringLiteral("ArchivioProva: copia del template non riuscita"));
    return percorsoAnno();
}

QString ArchivioProva::archivio() const
{
    return m_archivio;
}

void ArchivioProva::setArchivio(const QString& percorso)
{
    m_archivio = percorso;
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
    QStringList colonne{QStringLiteral("CODAZI"), QStringLiteral("CFD"), QStringLiteral("CFS")};
    QVariantList valori{codazi, cfd, cfs};
    for (auto it = altri.begin(); it != altri.end(); ++it) {
        colonne << quota(it.key());
        valori << it.value();
    }
    Connessione c(m_archivio);
    QSqlQuery q = c.esegui(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(quota(tabella), colonne.join(QStringLiteral(", ")),
                                    QStringList(QVector<QString>(colonne.size(), QStringLiteral("?")))
                                        .join(QStringLiteral(", "))),
                           valori);
    return q.lastInsertId().toLongLong();
}

qint64 ArchivioProva::aggiungiPercettore(const QString& codazi, const QString& cfperc, const QVariant& cognome,
                                         const QVariant& nome)
{
    Connessione c(m_archivio);
    QSqlQuery q = c.esegui(QStringLiteral("INSERT INTO PERCETTORI (CODAZI, CFPERC, COGNOME, NOME) VALUES (?, ?, ?, ?)"),
                           {codazi, cfperc, cognome, nome});
    return q.lastInsertId().toLongLong();
}

int ArchivioProva::esegui(const QString& sql, const QVariantList& parametri)
{
    Connessione c(m_archivio);
    QSqlQuery q = c.esegui(sql, parametri);
    return q.isSelect() ? 0 : q.numRowsAffected();
}

QList<QVariantMap> ArchivioProva::righe(const QString& sql, const QVariantList& parametri)
{
    Connessione c(m_archivio);
    QSqlQuery q = c.esegui(sql, parametri);
    QList<QVariantMap> risultato;
    while (q.next()) {
        const QSqlRecord r = q.record();
        QVariantMap riga;
        for (int i = 0; i < r.count(); ++i)
            riga.insert(r.fieldName(i), r.value(i));
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

QString ArchivioProva::istantanea()
{
    QStringList righeTesto;
    Connessione c(m_archivio);
    QStringList tabelle;
    {
        QSqlQuery q = c.esegui(QStringLiteral("SELECT type, name, tbl_name, sql FROM sqlite_master "
                                              "ORDER BY type, name"));
        while (q.next()) {
            righeTesto << QStringLiteral("%1 %2 ON %3: %4")
                              .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                                   q.value(3).toString().simplified());
            if (q.value(0).toString() == QLatin1String("table"))
                tabelle << q.value(1).toString();
        }
    }
    for (const QString& t : tabelle) {
        QStringList colonne;
        {
            QSqlQuery q = c.esegui(QStringLiteral("SELECT name FROM pragma_table_info(?) ORDER BY cid"), {t});
            while (q.next())
                colonne << q.value(0).toString();
        }
        QStringList ordine;
        for (const QString& col : colonne)
            ordine << quota(col) + QStringLiteral(" COLLATE BINARY");
        righeTesto << QStringLiteral("== %1 (%2)").arg(t, colonne.join(QStringLiteral(", ")));
        QSqlQuery q = c.esegui(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(quota(t), ordine.join(QStringLiteral(", "))));
        while (q.next()) {
            QStringList valori;
            for (int i = 0; i < colonne.size(); ++i)
                valori << testo(q.value(i));
            righeTesto << valori.join(QStringLiteral(" | "));
        }
    }
    return righeTesto.join(QLatin1Char('\n'));
}

ArchivioProva::Blocco::Blocco(const QString& percorso, bool esclusivo) : m_nome(nuovoNome())
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nome);
    db.setDatabaseName(percorso);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        fallisci(QStringLiteral("ArchivioProva: apertura di %1: %2").arg(percorso, db.lastError().text()));
    QSqlQuery q(db);
    if (!q.exec(esclusivo ? QStringLiteral("BEGIN EXCLUSIVE") : QStringLiteral("BEGIN IMMEDIATE")))
        fallisci(QStringLiteral("ArchivioProva: blocco non ottenuto: ") + q.lastError().text());
}

ArchivioProva::Blocco::~Blocco()
{
    {
        QSqlDatabase db = QSqlDatabase::database(m_nome, false);
        {
            QSqlQuery q(db);
            q.exec(QStringLiteral("ROLLBACK"));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(m_nome);
}

std::unique_ptr<ArchivioProva::Blocco> ArchivioProva::blocca(bool esclusivo)
{
    return std::make_unique<Blocco>(m_archivio, esclusivo);
}
