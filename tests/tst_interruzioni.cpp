// The program killed half-way: a helper process runs a deletion, a change of
// codice fiscale or saves of the data sheet on a large return through the
// real window, and the test kills it (SIGKILL) at moments spread over the
// operation's duration, measured first on the same machine. After every kill
// the program's store opens the file, SQLite finds it intact, and the return
// holds the whole change or none of it.
//
// Seed of the kill moments: ANAGSOST_SEME (default 770), printed at the start.
#include "support/archivioprova.h"
#include "support/finestraprova.h"

#include "figlio/valorischeda.h"
#include "store/database.h"
#include "tools/lib/archiviodemo.h"

#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

const QString DICHIARANTE = QStringLiteral("01234567897");
const QString ALTRODICHIARANTE = QStringLiteral("98765432103");

// A substitute an operation works on, and its new code for a change.
struct Bersaglio {
    QString azienda;
    QString cfs;
    QString nuovo;
};
const QStringList QUADRI{QStringLiteral("QUADROLDIP1"), QStringLiteral("QUADROLDIP2"), QStringLiteral("QUADROLDIP3"),
                         QStringLiteral("QUADROLDIP4"), QStringLiteral("QUADROLAUT"),  QStringLiteral("QUADROST")};

// Size of the return. The substitute deleted and saved (company 101) has
// RIGHECANCELLA section rows under its declarant, the one whose code changes
// (company 102) RIGHECAMBIO: each operation then lasts a good tenth of a
// second here, long enough to be cut at a hundred different points. Both
// have a few rows under another declarant, which the change of code leaves
// alone; other substitutes hold RIGHEALTRE rows. The file is kept small
// enough for an integrity check after every kill.
constexpr int RIGHECANCELLA = 24000;
constexpr int RIGHECAMBIO = 2400;
constexpr int RIGHEALTRODICHIARANTE = 60;
constexpr int RIGHEALTRE = 6000;
constexpr int PERCETTORI = 2000;
// Kills per operation.
constexpr int UCCISIONI = 100;

QString codice(const char* cognome, const char* nome, int anno)
{
    return strumenti::codiceFiscale(QString::fromLatin1(cognome), QString::fromLatin1(nome), QDate(anno, 3, 14),
                                    QChar('M'), QStringLiteral("H501"));
}

// A connection of the test's own, with a unique name, closed on destruction.
class Connessione {
public:
    explicit Connessione(const QString& percorso)
        : m_nome(QStringLiteral("interruzioni-%1").arg(QRandomGenerator::global()->generate64()))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_nome);
        db.setDatabaseName(percorso);
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
    }
    ~Connessione() { QSqlDatabase::removeDatabase(m_nome); }
    Connessione(const Connessione&) = delete;
    Connessione& operator=(const Connessione&) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(m_nome, false); }
    QSqlQuery esegui(const QString& sql, const QVariantList& parametri = {})
    {
        QSqlQuery q(db());
        q.setForwardOnly(true);
        if (!q.prepare(sql))
            throw std::runtime_error((sql + QStringLiteral(": ") + q.lastError().text()).toStdString());
        for (const QVariant& v : parametri)
            q.addBindValue(v);
        if (!q.exec())
            throw std::runtime_error((sql + QStringLiteral(": ") + q.lastError().text()).toStdString());
        return q;
    }
    QVariant valore(const QString& sql, const QVariantList& parametri = {})
    {
        QSqlQuery q = esegui(sql, parametri);
        return q.next() ? q.value(0) : QVariant();
    }

private:
    QString m_nome;
};

// What the test compares: for each table the rows of the substitute under
// test, by kind, and a fingerprint (count and sum of IDs) of everyone
// else's rows; the substitute's registry row, whole.
using Stato = QMap<QString, QString>;

Stato leggiStato(const QString& percorso, const Bersaglio& b)
{
    const QString& azienda = b.azienda;
    const QString& cfs = b.cfs;
    const QString& nuovo = b.nuovo;
    Stato s;
    Connessione c(percorso);
    for (const QString& t : QUADRI) {
        // One pass over the table.
        QSqlQuery q = c.esegui(QStringLiteral("SELECT TOTAL(CODAZI = ? AND CFD = ? AND CFS = ?), "
                                              "TOTAL(CODAZI = ? AND CFD = ? AND CFS = ?), "
                                              "TOTAL(CODAZI = ? AND CFD <> ? AND CFS = ?), "
                                              "TOTAL(NOT (CODAZI = ? AND CFS IN (?, ?))), "
                                              "TOTAL(CASE WHEN NOT (CODAZI = ? AND CFS IN (?, ?)) THEN ID END) "
                                              "FROM %1")
                                   .arg(t),
                               {azienda, DICHIARANTE, cfs, azienda, DICHIARANTE, nuovo, azienda, DICHIARANTE, cfs,
                                azienda, cfs, nuovo, azienda, cfs, nuovo});
        q.next();
        auto numero = [&q](int i) { return QString::number(q.value(i).toLongLong()); };
        s[t + QStringLiteral(" vecchio")] = numero(0);
        s[t + QStringLiteral(" nuovo")] = numero(1);
        s[t + QStringLiteral(" altro dichiarante")] = numero(2);
        s[t + QStringLiteral(" altri")] = numero(3) + QLatin1Char('/') + numero(4);
    }
    s[QStringLiteral("PERCETTORI azienda")] =
        c.valore(QStringLiteral("SELECT COUNT(*) FROM PERCETTORI WHERE CODAZI = ?"), {azienda}).toString();
    s[QStringLiteral("PERCETTORI altri")] =
        c.valore(QStringLiteral("SELECT COUNT(*) || '/' || TOTAL(ID) FROM PERCETTORI WHERE CODAZI <> ?"), {azienda})
            .toString();
    s[QStringLiteral("ANAGSOSTITUTI altri")] =
        c.valore(QStringLiteral("SELECT COUNT(*) || '/' || GROUP_CONCAT(k, ',') FROM (SELECT CODAZI || CFS || "
                                "ASOST_1 AS k FROM ANAGSOSTITUTI WHERE NOT (CODAZI = ? AND CFS IN (?, ?)) ORDER BY k)"),
                 {azienda, cfs, nuovo})
            .toString();
    for (const QString& chiave : {cfs, nuovo}) {
        QSqlQuery q = c.esegui(QStringLiteral("SELECT * FROM ANAGSOSTITUTI WHERE CODAZI = ? AND CFS = ?"),
                               {azienda, chiave});
        QStringList righe;
        while (q.next()) {
            QStringList campi;
            for (int i = 0; i < q.record().count(); ++i)
                campi << (q.value(i).isNull() ? QStringLiteral("NULL") : q.value(i).toString());
            righe << campi.join(QLatin1Char('|'));
        }
        s[QStringLiteral("ANAGSOSTITUTI ") + (chiave == cfs ? QStringLiteral("vecchio") : QStringLiteral("nuovo"))] =
            righe.join(QLatin1Char('\n'));
    }
    return s;
}

// The keys in which two states differ, for the failure message.
QString differenze(const Stato& a, const Stato& b)
{
    QStringList d;
    for (auto it = a.begin(); it != a.end(); ++it) {
        if (b.value(it.key()) != it.value())
            d << QStringLiteral("%1: %2 / %3").arg(it.key(), it.value().left(120), b.value(it.key()).left(120));
    }
    return d.join(QStringLiteral("; "));
}

// One run of the helper process on a fresh copy of the archive.
struct Corsa {
    QStringList uscita;   // its lines
    bool completata = false; // the operation had reported its end before the kill
    qint64 durataNs = 0;  // from "VIA" to the kill, or to the end reported
};

// Where the runs work: in memory when the machine offers it. A process
// killed leaves the file as the kernel holds it, whatever the medium, so the
// test proves the same there, without waiting for the disk's flushes, which
// on a busy machine would stretch the test for nothing.
QString cartellaLavoro()
{
    const QFileInfo memoria(QStringLiteral("/dev/shm"));
    const QString base = memoria.isDir() && memoria.isWritable() ? memoria.absoluteFilePath() : QDir::tempPath();
    return base + QStringLiteral("/anagsost-interruzioni-XXXXXX");
}

} // namespace

class TestInterruzioni : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> m_modello; // the large archive, built once
    QTemporaryDir m_lavoro{cartellaLavoro()}; // each run works on a copy here
    QTemporaryDir m_configurazione;
    Bersaglio m_cancella;                     // deleted, and its sheet saved
    Bersaglio m_cambia;                       // given a new codice fiscale
    QRandomGenerator m_caso;

    QString copia() const { return m_lavoro.filePath(QStringLiteral("S7702004.MDB")); }

    void nuovaCopia()
    {
        for (const QString& resto : {QStringLiteral(""), QStringLiteral("-journal")})
            QFile::remove(copia() + resto);
        QFile::remove(m_configurazione.filePath(QStringLiteral("figlio.lock")));
        if (!QFile::copy(m_modello->percorsoAnno(), copia()))
            throw std::runtime_error("copy of the archive failed");
    }

    // Starts the helper on a fresh copy; with ritardoNs >= 0 kills it that
    // long after it reported "VIA", else waits for the end of the operation
    // (memorizza: of the `salvataggi`-th save) and then kills it.
    Corsa corri(const QString& operazione, const Bersaglio& b, qint64 ritardoNs, int salvataggi = 1)
    {
        nuovaCopia();
        QProcess figlio;
        QStringList argomenti{QStringLiteral("opera"), operazione, m_lavoro.path(), m_configurazione.path(),
                              b.azienda, b.cfs};
        if (operazione == QLatin1String("cambiacf"))
            argomenti << b.nuovo;
        figlio.start(QStringLiteral(ANAGSOST_FIGLIO), argomenti);
        if (!figlio.waitForStarted())
            throw std::runtime_error("helper not started");
        Corsa corsa;
        auto leggiRighe = [&] {
            while (figlio.canReadLine())
                corsa.uscita << QString::fromUtf8(figlio.readLine()).trimmed();
        };
        auto letta = [&](auto&& condizione) {
            return std::any_of(corsa.uscita.begin(), corsa.uscita.end(), condizione);
        };
        auto attendiRiga = [&](auto&& condizione) {
            leggiRighe();
            while (!letta(condizione)) {
                if (!figlio.waitForReadyRead(60000)) {
                    leggiRighe();
                    if (letta(condizione))
                        return;
                    throw std::runtime_error(
                        (QStringLiteral("helper: ") + corsa.uscita.join(QLatin1Char('\n')) + QLatin1Char('\n')
                         + QString::fromUtf8(figlio.readAllStandardError()))
                            .toStdString());
                }
                leggiRighe();
            }
        };
        const QString fine =
            operazione == QLatin1String("memorizza") ? QStringLiteral("FATTO %1").arg(salvataggi) : QStringLiteral("FATTO");
        auto fatto = [&fine](const QString& r) { return r == fine; };

        attendiRiga([](const QString& r) { return r == QLatin1String("VIA"); });
        QElapsedTimer tempo;
        tempo.start();
        if (ritardoNs >= 0) {
            std::this_thread::sleep_for(std::chrono::nanoseconds(ritardoNs));
            figlio.kill();
            corsa.durataNs = tempo.nsecsElapsed();
            figlio.waitForFinished(60000);
            figlio.setReadChannel(QProcess::StandardOutput);
            corsa.uscita << QString::fromUtf8(figlio.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            corsa.completata = letta(fatto);
        } else {
            attendiRiga(fatto);
            corsa.durataNs = tempo.nsecsElapsed();
            corsa.completata = true;
            figlio.kill();
            figlio.waitForFinished(60000);
        }
        // A sanitizer's report ends the helper before the kill: its words,
        // not a state of the file, tell what went wrong.
        const QString errori = QString::fromUtf8(figlio.readAllStandardError());
        if (errori.contains(QLatin1String("runtime error:")) || errori.contains(QLatin1String("Sanitizer")))
            throw std::runtime_error(("helper: " + errori).toStdString());
        return corsa;
    }

    // The file as the next start of the program finds it: the store opens
    // it (an interrupted change is undone there, as the engine does on the
    // first read) and SQLite finds it intact.
    void verificaIntegro(const QString& contesto)
    {
        try {
            auto db = store::Database::OpenDatabase(copia());
            db->OpenTable(QStringLiteral("ANAGSOSTITUTI"));
            db->Close();
        } catch (const store::ErroreArchivio& e) {
            QFAIL(qPrintable(contesto + QStringLiteral(": the store cannot open the file: ") + e.messaggio()));
        }
        Connessione c(copia());
        const QString esito = c.valore(QStringLiteral("PRAGMA integrity_check")).toString();
        QVERIFY2(esito == QLatin1String("ok"), qPrintable(contesto + QStringLiteral(": ") + esito));
    }

    // The median duration of three runs that are not killed, in
    // nanoseconds; `dopo` receives the state they leave (all alike).
    qint64 misura(const QString& operazione, const Bersaglio& b, Stato& dopo, int salvataggi = 1)
    {
        QList<qint64> durate;
        for (int i = 0; i < 3; ++i) {
            durate << corri(operazione, b, -1, salvataggi).durataNs;
            const Stato s = leggiStato(copia(), b);
            if (i > 0 && s != dopo)
                throw std::runtime_error(qPrintable(QStringLiteral("runs differ: ") + differenze(dopo, s)));
            dopo = s;
        }
        std::sort(durate.begin(), durate.end());
        qInfo("%s: %.1f ms from the click to the end (median of 3)", qPrintable(operazione), durate.at(1) / 1e6);
        return durate.at(1);
    }

    // Kill moments spread evenly over [0, 1.1 * durata): one in each of
    // UCCISIONI equal slices, at a random point of its slice, in random order.
    QList<qint64> ritardi(qint64 durata)
    {
        const double fine = 1.1 * double(durata);
        QList<qint64> r;
        for (int i = 0; i < UCCISIONI; ++i)
            r << qint64(fine * (i + m_caso.generateDouble()) / UCCISIONI);
        std::shuffle(r.begin(), r.end(), m_caso);
        return r;
    }

    // Kills the operation UCCISIONI times; each time the file must be intact
    // and the return in one of the `ammessi` states. `visti` counts each
    // state, `interrotte` the kills that came before the operation's end.
    void uccidi(const QString& operazione, const Bersaglio& b, qint64 durata, const QList<Stato>& ammessi,
                QList<int>& visti, int& interrotte)
    {
        visti = QList<int>(ammessi.size(), 0);
        interrotte = 0;
        int n = 0;
        for (const qint64 ritardo : ritardi(durata)) {
            ++n;
            const Corsa corsa = corri(operazione, b, ritardo);
            if (!corsa.completata)
                ++interrotte;
            const QString contesto =
                QStringLiteral("%1, kill %2 after %3 ms").arg(operazione).arg(n).arg(double(ritardo) / 1e6);
            verificaIntegro(contesto);
            if (QTest::currentTestFailed())
                return;
            const Stato s = leggiStato(copia(), b);
            const int quale = int(ammessi.indexOf(s));
            if (quale < 0) {
                QFAIL(qPrintable(contesto + QStringLiteral(": a state that is neither before nor after: ")
                                 + differenze(ammessi.first(), s)));
            }
            ++visti[quale];
        }
    }

    void aggiungiRighe(Connessione& c, const QString& azienda, const QString& cfd, const QString& cfs, int righe)
    {
        c.esegui(QStringLiteral("BEGIN"));
        for (int n = 0; n < righe; ++n)
            c.esegui(QStringLiteral("INSERT INTO %1 (CODAZI, CFD, CFS, RIGO) VALUES (?, ?, ?, ?)")
                         .arg(QUADRI.at(n % QUADRI.size())),
                     {azienda, cfd, cfs, n});
        c.esegui(QStringLiteral("COMMIT"));
    }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        bool ok = false;
        const quint32 seme = qEnvironmentVariable("ANAGSOST_SEME").toUInt(&ok);
        m_caso.seed(ok ? seme : 770);
        qInfo("seed %u (set ANAGSOST_SEME to change it)", ok ? seme : 770u);

        m_cancella = {QStringLiteral("101"), codice("ROSSI", "MARIO", 1960), QString()};
        m_cambia = {QStringLiteral("102"), codice("BIANCHI", "ANNA", 1965), codice("VERDI", "LUCA", 1971)};
        m_modello = std::make_unique<ArchivioProva>();
        m_modello->creaAnno();
        m_modello->aggiungiFrontespizio(QStringLiteral("001"), DICHIARANTE, {}, {}, QStringLiteral("ALFA SRL"));
        m_modello->aggiungiFrontespizio(QStringLiteral("002"), ALTRODICHIARANTE, {}, {}, QStringLiteral("BETA SPA"));
        for (const Bersaglio* b : {&m_cancella, &m_cambia})
            m_modello->aggiungiSostituto(b->azienda, b->cfs,
                                         {QStringLiteral("ROSSI"), QStringLiteral("MARIO"), QStringLiteral("M"),
                                          QStringLiteral("19600314"), QStringLiteral("ROMA"), QStringLiteral("RM"),
                                          QStringLiteral("ROMA"), QStringLiteral("RM"), QStringLiteral("VIA APPIA 3"),
                                          QStringLiteral("001")});
        Connessione c(m_modello->percorsoAnno());
        c.esegui(QStringLiteral("PRAGMA synchronous = OFF"));
        for (int i = 0; i < 20; ++i) {
            const QString cf = strumenti::partitaIva(QStringLiteral("%1").arg(4000000000LL + i));
            const QString azi = QStringLiteral("%1").arg(200 + i);
            m_modello->aggiungiSostituto(azi, cf,
                                         {QStringLiteral("DITTA %1 SRL").arg(i), QString(), QString(),
                                          QStringLiteral("00000000"), QString(), QString(), QStringLiteral("MILANO"),
                                          QStringLiteral("MI"), QStringLiteral("VIA DANTE %1").arg(i),
                                          i % 2 ? QStringLiteral("001") : QStringLiteral("002")});
            aggiungiRighe(c, azi, i % 2 ? DICHIARANTE : ALTRODICHIARANTE, cf, RIGHEALTRE / 20);
        }
        aggiungiRighe(c, m_cancella.azienda, DICHIARANTE, m_cancella.cfs, RIGHECANCELLA);
        aggiungiRighe(c, m_cambia.azienda, DICHIARANTE, m_cambia.cfs, RIGHECAMBIO);
        for (const Bersaglio* b : {&m_cancella, &m_cambia})
            aggiungiRighe(c, b->azienda, ALTRODICHIARANTE, b->cfs, RIGHEALTRODICHIARANTE);
        c.esegui(QStringLiteral("BEGIN"));
        for (int n = 0; n < PERCETTORI; ++n)
            c.esegui(QStringLiteral("INSERT INTO PERCETTORI (CODAZI, CFPERC, COGNOME) VALUES (?, ?, ?)"),
                     {QStringLiteral("%1").arg(101 + n % 3), QStringLiteral("CFPERC%1").arg(n, 10),
                      QStringLiteral("PERCETTORE %1").arg(n)});
        c.esegui(QStringLiteral("COMMIT"));

        QVERIFY(QFile::copy(m_modello->percorsoTemplate(), m_lavoro.filePath(QStringLiteral("SQ47XXXX.MDB"))));
        qInfo("archive of %lld bytes", QFileInfo(m_modello->percorsoAnno()).size());
    }

    void cancellazione()
    {
        const Bersaglio& b = m_cancella;
        const Stato prima = leggiStato(m_modello->percorsoAnno(), b);
        Stato dopo;
        const qint64 durata = misura(QStringLiteral("cancella"), b, dopo);
        // The uninterrupted deletion took everything of the substitute and
        // nothing of anybody else.
        for (const QString& t : QUADRI) {
            QCOMPARE(prima[t + QStringLiteral(" vecchio")].toInt(), RIGHECANCELLA / 6);
            QCOMPARE(dopo[t + QStringLiteral(" vecchio")], QStringLiteral("0"));
            QCOMPARE(dopo[t + QStringLiteral(" altro dichiarante")], QStringLiteral("0"));
            QCOMPARE(dopo[t + QStringLiteral(" altri")], prima[t + QStringLiteral(" altri")]);
        }
        QVERIFY(prima[QStringLiteral("PERCETTORI azienda")].toInt() > 0);
        QCOMPARE(dopo[QStringLiteral("PERCETTORI azienda")], QStringLiteral("0"));
        QCOMPARE(dopo[QStringLiteral("PERCETTORI altri")], prima[QStringLiteral("PERCETTORI altri")]);
        QVERIFY(!prima[QStringLiteral("ANAGSOSTITUTI vecchio")].isEmpty());
        QCOMPARE(dopo[QStringLiteral("ANAGSOSTITUTI vecchio")], QString());
        QCOMPARE(dopo[QStringLiteral("ANAGSOSTITUTI altri")], prima[QStringLiteral("ANAGSOSTITUTI altri")]);

        QList<int> visti;
        int interrotte = 0;
        uccidi(QStringLiteral("cancella"), b, durata, {prima, dopo}, visti, interrotte);
        if (QTest::currentTestFailed())
            return;
        qInfo("cancella: %d of %d kills before the end; return left as before %d times, as after %d times",
              interrotte, UCCISIONI, visti.at(0), visti.at(1));
        // Most kills must have cut the operation, or the test proves little.
        QVERIFY2(interrotte >= UCCISIONI / 2, qPrintable(QString::number(interrotte)));
    }

    void cambioCodiceFiscale()
    {
        const Bersaglio& b = m_cambia;
        const Stato prima = leggiStato(m_modello->percorsoAnno(), b);
        Stato dopo;
        const qint64 durata = misura(QStringLiteral("cambiacf"), b, dopo);
        for (const QString& t : QUADRI) {
            QCOMPARE(prima[t + QStringLiteral(" vecchio")].toInt(), RIGHECAMBIO / 6);
            QCOMPARE(dopo[t + QStringLiteral(" vecchio")], QStringLiteral("0"));
            QCOMPARE(dopo[t + QStringLiteral(" nuovo")], prima[t + QStringLiteral(" vecchio")]);
            // Rows under another declarant keep the old code.
            QCOMPARE(dopo[t + QStringLiteral(" altro dichiarante")], prima[t + QStringLiteral(" altro dichiarante")]);
            QCOMPARE(dopo[t + QStringLiteral(" altri")], prima[t + QStringLiteral(" altri")]);
        }
        QCOMPARE(dopo[QStringLiteral("ANAGSOSTITUTI vecchio")], QString());
        QCOMPARE(dopo[QStringLiteral("ANAGSOSTITUTI nuovo")],
                 QString(prima[QStringLiteral("ANAGSOSTITUTI vecchio")]).replace(b.cfs, b.nuovo));

        QList<int> visti;
        int interrotte = 0;
        uccidi(QStringLiteral("cambiacf"), b, durata, {prima, dopo}, visti, interrotte);
        if (QTest::currentTestFailed())
            return;
        qInfo("cambiacf: %d of %d kills before the end; return left as before %d times, as after %d times",
              interrotte, UCCISIONI, visti.at(0), visti.at(1));
        QVERIFY2(interrotte >= UCCISIONI / 2, qPrintable(QString::number(interrotte)));
    }

    void salvataggioScheda()
    {
        // The helper saves the sheet over and over, alternating two complete
        // sets of values; the kills land anywhere in its first ten saves.
        const Bersaglio& b = m_cancella;
        const Stato prima = leggiStato(m_modello->percorsoAnno(), b);
        Stato dopo;
        const qint64 durata = misura(QStringLiteral("memorizza"), b, dopo, 10);
        QList<Stato> ammessi{prima};
        for (const QStringList& valori : VALORISCHEDA) {
            Stato s = prima;
            QStringList campi = s[QStringLiteral("ANAGSOSTITUTI vecchio")].split(QLatin1Char('|'));
            QCOMPARE(campi.size(), 12);
            const QStringList memorizzati = valoriMemorizzati(valori);
            for (int i = 0; i < 9; ++i)
                campi[2 + i] = memorizzati.at(i);
            s[QStringLiteral("ANAGSOSTITUTI vecchio")] = campi.join(QLatin1Char('|'));
            ammessi << s;
        }
        // The tenth save wrote the first set (the n-th save writes set n % 2).
        QCOMPARE(dopo, ammessi.at(1));

        QList<int> visti;
        int interrotte = 0;
        uccidi(QStringLiteral("memorizza"), b, durata, ammessi, visti, interrotte);
        if (QTest::currentTestFailed())
            return;
        qInfo("memorizza: row left as before %d times, with the first set %d times, with the second %d times",
              visti.at(0), visti.at(1), visti.at(2));
        // The kills fell among the saves, not all before or after them.
        QVERIFY(visti.at(1) > 0 && visti.at(2) > 0);
    }
};

QTEST_MAIN(TestInterruzioni)
#include "tst_interruzioni.moc"
