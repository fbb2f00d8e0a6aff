#include "generatore.h"

#include "tools/lib/archiviodemo.h"
#include "store/province.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <stdexcept>

namespace {

const char* const COGNOMI[] = {"ROSSI", "BIANCHI", "ESPOSITO", "ROMANO", "COLOMBO", "RICCI", "MARINO", "GRECO",
                               "BRUNO", "GALLO", "CONTI", "DE LUCA", "MANCINI", "COSTA", "GIORDANO", "RIZZO",
                               "LOMBARDI", "MORETTI", "BARBIERI", "FONTANA", "SANTORO", "MARIANI", "RINALDI"};
const char* const NOMI[] = {"MARIO", "LUCA", "GIULIA", "ANNA", "PAOLO", "FRANCESCA", "MARCO", "ELENA",
                            "GIUSEPPE", "CHIARA", "ANDREA", "SARA", "STEFANO", "LAURA"};
const char* const DITTE[] = {"COSTRUZIONI", "TRASPORTI", "IMMOBILIARE", "COMMERCIALE", "SERVIZI", "LOGISTICA",
                             "ALIMENTARI", "TESSILE", "METALMECCANICA", "EDITORIALE"};
const char* const SEZIONI[] = {"QUADROLDIP1", "QUADROLDIP2", "QUADROLDIP3", "QUADROLDIP4", "QUADROLAUT", "QUADROST"};

struct Connessione {
    QString nome = QUuid::createUuid().toString();
    explicit Connessione(const QString& percorso)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome);
        db.setDatabaseName(percorso);
        if (!db.open())
            throw std::runtime_error("cannot open " + percorso.toStdString());
        esegui(QStringLiteral("PRAGMA synchronous=OFF"));
        esegui(QStringLiteral("PRAGMA journal_mode=MEMORY"));
    }
    ~Connessione() { QSqlDatabase::removeDatabase(nome); }
    QSqlDatabase db() const { return QSqlDatabase::database(nome, false); }
    void esegui(const QString& sql)
    {
        QSqlQuery q(db());
        if (!q.exec(sql))
            throw std::runtime_error(q.lastError().text().toStdString());
    }
};

void eseguiPreparata(QSqlQuery& q)
{
    if (!q.exec())
        throw std::runtime_error(q.lastError().text().toStdString());
}

// A natural person's codice fiscale built from a running number.
QString codicePersona(int i)
{
    const QString cognome = QString::fromLatin1(COGNOMI[i % 23]) + QChar(u'A' + (i / 23) % 26);
    const QString nome = QString::fromLatin1(NOMI[(i / 7) % 14]) + QChar(u'A' + (i / 598) % 26);
    const QDate nascita = QDate(1930, 1, 1).addDays((i * 37) % 25000);
    const QString comune = QStringLiteral("H%1").arg((i / 15548) % 1000, 3, 10, QLatin1Char('0'));
    return strumenti::codiceFiscale(cognome, nome, nascita, i % 2 ? QChar('F') : QChar('M'), comune);
}

QString partitaIvaDi(int i)
{
    return strumenti::partitaIva(QStringLiteral("%1").arg(1000000 + i, 10, 10, QLatin1Char('0')));
}

void inserisciRigheQuadro(QSqlDatabase db, const QString& codazi, const QString& cfd, const QString& cfs, int righe,
                          int& progressivo)
{
    QSqlQuery q[6] = {QSqlQuery(db), QSqlQuery(db), QSqlQuery(db), QSqlQuery(db), QSqlQuery(db), QSqlQuery(db)};
    for (int s = 0; s < 6; ++s)
        q[s].prepare(QStringLiteral("INSERT INTO %1 (CODAZI, CFD, CFS, RIGO) VALUES (?, ?, ?, ?)")
                         .arg(QString::fromLatin1(SEZIONI[s])));
    for (int r = 0; r < righe; ++r) {
        QSqlQuery& query = q[progressivo % 6];
        query.bindValue(0, codazi);
        query.bindValue(1, cfd);
        query.bindValue(2, cfs);
        query.bindValue(3, ++progressivo);
        eseguiPreparata(query);
    }
}

} // namespace

ArchivioBench creaArchivioBench(const QString& cartella, int sostituti, qint64 righeQuadri)
{
    QDir().mkpath(cartella);
    ArchivioBench archivio;
    archivio.cartella = cartella;
    const QString modello = QDir(cartella).filePath(store::nomeFileTemplate());
    const QString anno = QDir(cartella).filePath(strumenti::nomeFileAnno());
    store::creaTemplate(modello);
    if (!QFile::copy(modello, anno))
        throw std::runtime_error("cannot copy the template");

    Connessione c(anno);
    QSqlDatabase db = c.db();
    db.transaction();

    // Declarants: company codes 900-909.
    QStringList dichiaranti;
    {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO FRONTESPIZIO (CODAZI, CFD, FR_1, FR_2, FR_3, fr_14) VALUES (?, ?, '', '', ?, '')"));
        for (int d = 0; d < 10; ++d) {
            const QString cfd = partitaIvaDi(900000 + d);
            dichiaranti.append(cfd);
            q.bindValue(0, QString::number(900 + d));
            q.bindValue(1, cfd);
            q.bindValue(2, QStringLiteral("DICHIARANTE %1 SPA").arg(d));
            eseguiPreparata(q);
        }
    }

    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO ANAGSOSTITUTI (CODAZI, CFS, ASOST_1, ASOST_2, ASOST_3, ASOST_4, ASOST_5, "
                             "ASOST_6, ASOST_7, ASOST_8, ASOST_9, ASOST_10) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"));
    for (int i = 0; i < sostituti; ++i) {
        const QString codazi = QStringLiteral("%1").arg(i % 899 + 1, 3, 10, QLatin1Char('0'));
        const bool persona = i % 2 == 0;
        const QString cfs = persona ? codicePersona(i) : partitaIvaDi(i);
        archivio.codiciAzi.append(codazi);
        archivio.codiciCf.append(cfs);
        QVariantList valori{codazi, cfs};
        if (persona)
            valori << QString::fromLatin1(COGNOMI[i % 23]) + QChar(u'A' + (i / 23) % 26)
                   << QString::fromLatin1(NOMI[(i / 7) % 14]) << (i % 2 ? "F" : "M") << "19700101" << "ROMA" << "RM";
        else
            valori << QStringLiteral("%1 %2 SRL").arg(QString::fromLatin1(DITTE[i % 10])).arg(i) << "" << "" << "00000000"
                   << "" << "";
        valori << "MILANO" << "MI" << QStringLiteral("VIA DEI MILLE %1").arg(i % 300) << QString::number(900 + i % 10);
        for (int v = 0; v < valori.size(); ++v)
            q.bindValue(v, valori[v]);
        eseguiPreparata(q);
    }

    // Section rows spread over the substitutes, and a few recipients per company.
    int progressivo = 0;
    const int perSostituto = sostituti > 0 ? int(qMax<qint64>(1, righeQuadri / sostituti)) : 0;
    for (int i = 0; i < sostituti && progressivo < righeQuadri; ++i) {
        const int righe = int(qMin<qint64>(perSostituto, righeQuadri - progressivo));
        inserisciRigheQuadro(db, archivio.codiciAzi[i], dichiaranti[i % 10], archivio.codiciCf[i], righe, progressivo);
    }
    QSqlQuery p(db);
    p.prepare(QStringLiteral("INSERT INTO PERCETTORI (CODAZI, CFPERC, COGNOME) VALUES (?, ?, 'PERCETTORE')"));
    for (int a = 1; a <= 899; ++a) {
        p.bindValue(0, QStringLiteral("%1").arg(a, 3, 10, QLatin1Char('0')));
        p.bindValue(1, codicePersona(500000 + a));
        eseguiPreparata(p);
    }
    db.commit();
    return archivio;
}

QString aggiungiBersaglio(const QString& percorsoAnno, const QString& codazi, int n, int righe)
{
    Connessione c(percorsoAnno);
    QSqlDatabase db = c.db();
    db.transaction();
    const QString cfs = codiceBersaglio(n);
    const QString cfd = partitaIvaDi(900000);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO ANAGSOSTITUTI (CODAZI, CFS, ASOST_1, ASOST_2, ASOST_3, ASOST_4, ASOST_5, "
                             "ASOST_6, ASOST_7, ASOST_8, ASOST_9, ASOST_10) VALUES (?, ?, 'BERSAGLIO', 'PROVA', 'M', "
                             "'19700101', 'ROMA', 'RM', 'ROMA', 'RM', 'VIA ROMA 1', '900')"));
    q.bindValue(0, codazi);
    q.bindValue(1, cfs);
    eseguiPreparata(q);
    int progressivo = 0;
    inserisciRigheQuadro(db, codazi, cfd, cfs, righe, progressivo);
    QSqlQuery p(db);
    p.prepare(QStringLiteral("INSERT INTO PERCETTORI (CODAZI, CFPERC, COGNOME) VALUES (?, ?, 'PERCETTORE')"));
    for (int r = 0; r < 5; ++r) {
        p.bindValue(0, codazi);
        p.bindValue(1, codicePersona(700000 + n * 5 + r));
        eseguiPreparata(p);
    }
    db.commit();
    return cfs;
}

QString codiceNuovo(int n)
{
    return codicePersona(600000 + n);
}

QString codiceBersaglio(int n)
{
    return codicePersona(800000 + n);
}
