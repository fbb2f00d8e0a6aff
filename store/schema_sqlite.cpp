// Creation of the archives: SQLite files, or databases on a server.
#include "store/database.h"
#include "store/server_postgresql.h"
#include "store/motore_sqlite.h"
#include "store/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

// The schema lives in a resource of the static library: it must be
// registered by hand, outside any namespace.
static void registraRisorseArchivio()
{
    Q_INIT_RESOURCE(store);
}

namespace store {

namespace {

QString risorsa(const QString& nome)
{
    registraRisorseArchivio();
    QFile file(nome);
    if (!file.open(QIODevice::ReadOnly))
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("schema non trovato"),
                             QStringLiteral("Schema dell'archivio non disponibile."));
    return QString::fromUtf8(file.readAll());
}

QStringList istruzioni(QString testo)
{
    static const QRegularExpression commento(QStringLiteral("--[^\n]*"));
    testo.remove(commento);
    QStringList elenco;
    for (const QString& parte : testo.split(QLatin1Char(';'))) {
        const QString s = parte.trimmed();
        if (!s.isEmpty())
            elenco << s;
    }
    return elenco;
}

} // namespace

QString testoSchema()
{
    return risorsa(QStringLiteral(":/store/schema.sql"));
}

QStringList istruzioniSchema()
{
    return istruzioni(testoSchema());
}

QStringList istruzioniSchemaServer()
{
    return istruzioni(risorsa(QStringLiteral(":/store/schema_postgresql.sql")));
}

void creaArchivio(const Luogo& luogo, const std::function<void(Database&)>& riempi)
{
    if (luogo.suServer())
        interno::creaDatabaseSuServer(luogo, istruzioniSchemaServer(), riempi, false);
    else
        creaArchivio(luogo.percorso(), riempi);
}

void creaArchivio(const QString& percorso, const std::function<void(Database&)>& riempi)
{
    const QFileInfo finale(percorso);
    if (finale.exists())
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("file già esistente"),
                             QStringLiteral("Il file %1 esiste già e non viene sostituito.")
                                 .arg(QDir::toNativeSeparators(percorso)));
    if (!finale.absoluteDir().exists())
        throw ErroreArchivio(TipoErrore::NonApribile, QStringLiteral("cartella inesistente"),
                             QDir::toNativeSeparators(finale.absolutePath()));
    QString provvisorio;
    do {
        provvisorio = finale.absoluteFilePath() +
                      QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    } while (QFileInfo::exists(provvisorio));

    try {
        interno::creaFileSqlite(provvisorio, istruzioniSchema());
        if (riempi) {
            auto db = Database::OpenDatabase(provvisorio);
            Transazione t(*db);
            riempi(*db);
            t.commit();
            db->Close();
        }
    } catch (...) {
        QFile::remove(provvisorio);
        QFile::remove(provvisorio + QStringLiteral("-journal"));
        throw;
    }
    // rename() never replaces an existing file: a file made meanwhile wins.
    if (!QFile::rename(provvisorio, finale.absoluteFilePath())) {
        QFile::remove(provvisorio);
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("rinomina non riuscita"),
                             QStringLiteral("Impossibile scrivere il file %1.")
                                 .arg(QDir::toNativeSeparators(percorso)));
    }
}

} // namespace store
