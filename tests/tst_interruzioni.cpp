// The program killed half-way: a helper process runs a deletion or a change
// of codice fiscale on a large return through the real window, and is killed (SIGKILL) at a hundred moments spread over
// the operation's duration, measured first. After every kill the store opens the file, SQLite finds it intact, and the
// return holds the whole change or none. Seed of the kill moments: ANAGSOST_SEME (default 770).
#include "support/archivioprova.h"
#include "support/finestraprova.h"
#include "support/programma.h"

#include "store/database.h"

#include <QtTest>

#include <algorithm>
#include <numeric>
#include <thread>

namespace {

const QString DICHIARANTE = "01234567897", ALTRODICHIARANTE = "98765432103";
const QString CANCELLATO = "RSSMRA80A01H501U", CAMBIATO = "BNCLCU80A01H501Q", NUOVO = "VRDGPP70A01F205V";
constexpr int UCCISIONI = 100; // per operation

} // namespace

class TestInterruzioni : public QObject {
    Q_OBJECT

    ArchivioProva m_archivio; // the large return; its helpers then read the copies
    // Each run works on a fresh copy here. A killed process leaves the file as the kernel holds it, whatever
    // the medium: in memory the runs need not wait for a busy disk.
    QTemporaryDir m_lavoro{(QFileInfo("/dev/shm").isWritable() ? "/dev/shm" : QDir::tempPath()) +
                           "/anagsost-interruzioni-XXXXXX"};
    QRandomGenerator m_caso{qEnvironmentVariable("ANAGSOST_SEME", "770").toUInt()};
    QString m_prima; // the return before any operation

    QString copia() const { return m_lavoro.filePath("S7702004.MDB"); }

    // `righe` section rows of a substitute, spread over the six tables.
    void aggiungiRighe(const QString& codazi, const QString& cfd, const QString& cfs, int righe)
    {
        for (int k = 0; k < SEZIONI.size(); ++k)
            m_archivio.esegui("INSERT INTO " + SEZIONI[k] +
                                  " (CODAZI, CFD, CFS, RIGO) WITH RECURSIVE n(i) AS "
                                  "(SELECT ? UNION ALL SELECT i + 6 FROM n WHERE i + 6 < ?) SELECT ?, ?, ?, i FROM n",
                              {k, righe, codazi, cfd, cfs});
    }

    // Runs the helper on a fresh copy and kills it `ritardoNs` after "VIA",
    // or (ritardoNs < 0) once it wrote `fine`. Returns the time from "VIA" to
    // the kill, negative when `fine` had not been written by then.
    qint64 corri(const QStringList& operazione, qint64 ritardoNs, const QByteArray& fine)
    {
        QFile::remove(copia() + "-journal");
        if ((QFile::exists(copia()) && !QFile::remove(copia())) || !QFile::copy(m_archivio.percorsoAnno(), copia()))
            qFatal("archive not copied");
        QProcess figlio;
        // Killed at any moment, its leak check at exit included: that check would report the kill, not a leak.
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        if (ambiente.contains("ASAN_OPTIONS"))
            ambiente.insert("ASAN_OPTIONS", ambiente.value("ASAN_OPTIONS") + ":detect_leaks=0");
        figlio.setProcessEnvironment(ambiente);
        figlio.start(ANAGSOST_FIGLIO, QStringList{"opera", operazione.at(0), m_lavoro.path()} + operazione.mid(1));
        QByteArray uscita;
        auto scritto = [&](const QByteArray& riga) {
            uscita += figlio.readAllStandardOutput();
            return ('\n' + uscita).contains('\n' + riga + '\n');
        };
        auto attendi = [&](const QByteArray& riga) {
            while (!scritto(riga))
                if (!figlio.waitForReadyRead(60000) && !scritto(riga))
                    qFatal("helper: %s%s", uscita.constData(), figlio.readAllStandardError().constData());
        };
        attendi("VIA");
        QElapsedTimer tempo;
        tempo.start();
        if (ritardoNs < 0)
            attendi(fine);
        else
            std::this_thread::sleep_for(std::chrono::nanoseconds(ritardoNs));
        figlio.kill();
        const qint64 ns = tempo.nsecsElapsed();
        figlio.waitForFinished(60000);
        return scritto(fine) ? ns : -ns;
    }

private slots:
    void initTestCase()
    {
        qputenv("TMPDIR", QFile::encodeName(m_lavoro.path())); // what a kill leaves behind goes with the copies
        qInfo("seed %s (ANAGSOST_SEME)", qPrintable(qEnvironmentVariable("ANAGSOST_SEME", "770")));
        m_archivio.creaAnno();
        m_archivio.aggiungiFrontespizio("001", DICHIARANTE);
        m_archivio.aggiungiFrontespizio("002", ALTRODICHIARANTE);
        const QVariantList persona{"ROSSI", "MARIO", "M", "19600314", "ROMA", "RM", "ROMA", "RM", "VIA APPIA 3", "001"};
        m_archivio.aggiungiSostituto("101", CANCELLATO, persona);
        m_archivio.aggiungiSostituto("102", CAMBIATO, persona);
        // Each operation lasts long enough here to be cut at a hundred points.
        aggiungiRighe("101", DICHIARANTE, CANCELLATO, 24000);
        aggiungiRighe("102", DICHIARANTE, CAMBIATO, 2400);
        aggiungiRighe("101", ALTRODICHIARANTE, CANCELLATO, 60);
        aggiungiRighe("102", ALTRODICHIARANTE, CAMBIATO, 60);
        m_archivio.esegui("INSERT INTO PERCETTORI (CODAZI, CFPERC) WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL "
                          "SELECT i + 1 FROM n WHERE i < 1999) SELECT 101 + i % 3, 'CFPERC' || i FROM n");
        QVERIFY(QFile::copy(m_archivio.percorsoTemplate(), m_lavoro.filePath("SQ47XXXX.MDB")));
        m_prima = m_archivio.istantanea();
        m_archivio.setArchivio(copia());
    }

    void uccisioni_data()
    {
        QTest::addColumn<QStringList>("operazione");
        QTest::newRow("deletion") << QStringList{"cancella", "101", CANCELLATO};
        QTest::newRow("change of codice fiscale") << QStringList{"cambiacf", "102", CAMBIATO, NUOVO};
    }
    void uccisioni()
    {
        QFETCH(QStringList, operazione);
        // The states the return may be left in: before and after the operation.
        corri(operazione, -1, "FATTO");
        const QStringList ammessi{m_prima, m_archivio.istantanea()};
        QVERIFY(ammessi.last() != m_prima);

        // Duration: the fastest of three whole runs, so that most kills fall
        // within the operation however busy the machine.
        QList<qint64> durate;
        for (int i = 0; i < 3; ++i)
            durate << corri(operazione, -1, "FATTO");
        QCOMPARE(m_archivio.istantanea(), ammessi.last());
        const qint64 durata = *std::min_element(durate.begin(), durate.end());

        // One kill in each of a hundred slices of 1.1 times that, at a random
        // point of its slice, in random order.
        QList<int> fette(UCCISIONI), visti(ammessi.size());
        std::iota(fette.begin(), fette.end(), 0);
        std::shuffle(fette.begin(), fette.end(), m_caso);
        int interrotte = 0;
        for (const int fetta : fette) {
            const qint64 ritardo = qint64(1.1 * durata * (fetta + m_caso.generateDouble()) / UCCISIONI);
            interrotte += corri(operazione, ritardo, "FATTO") < 0;
            const QString dove = QStringLiteral("kill %1 ms after the first click: ").arg(ritardo / 1e6);
            // The file as the next start finds it: the store opens it (undoing
            // an interrupted change) and SQLite finds it intact.
            try {
                store::Database::OpenDatabase(copia())->OpenTable("ANAGSOSTITUTI");
            } catch (const store::ErroreArchivio& e) {
                QFAIL(qPrintable(dove + e.messaggio()));
            }
            const QString esito = m_archivio.righe("PRAGMA integrity_check").value(0).first().toString();
            QVERIFY2(esito == "ok", qPrintable(dove + esito));
            const int quale = int(ammessi.indexOf(m_archivio.istantanea()));
            QVERIFY2(quale >= 0, qPrintable(dove + "the return is neither as before nor as after"));
            ++visti[quale];
        }
        qInfo("%d of %d kills before the end, %d left the return as before", interrotte, UCCISIONI, visti.at(0));
        // Most kills cut the operation, or the test proves little.
        QVERIFY2(interrotte >= UCCISIONI / 2, qPrintable(QString::number(interrotte)));
    }
};

PROVA(TestInterruzioni);
#include "tst_interruzioni.moc"
