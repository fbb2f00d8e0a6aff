// What the store makes of texts, with no database: the server's connection
// string read by libpq with the program's refusals, and the ORDER BY each
// engine writes for the program's keys.
#include "store/luogo.h"
#include "store/motore_postgresql.h"
#include "store/motore_sqlite.h"
#include "store/stringa_connessione.h"

#include <QTest>

using namespace store;
using namespace store::interno;

class TestConnessione : public QObject {
    Q_OBJECT

private slots:
    void stringaAccettata_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("opzioni"); // as QPSQL hands them on, in libpq's order of keywords
        QTest::newRow("pairs") << " host=db.studio.local  port=5432 user=mario "
                               << "user='mario' host='db.studio.local' port='5432' connect_timeout='10' "
                                  "application_name='anagsost'";
        // libpq's own quoting and escapes, read as libpq reads them.
        QTest::newRow("quoted value") << "host = 'studio rossi' user='d\\'amico'"
                                      << "user='d\\'amico' host='studio rossi' connect_timeout='10' "
                                         "application_name='anagsost'";
        QTest::newRow("several hosts, own wait") << "host=a,b connect_timeout=3"
                                                 << "connect_timeout='3' host='a,b' application_name='anagsost'";
    }
    void stringaAccettata()
    {
        QFETCH(QString, testo);
        QFETCH(QString, opzioni);
        QList<ParametroServer> parametri;
        QString motivo;
        QVERIFY2(leggiServer(testo, parametri, &motivo), qPrintable(motivo));
        QCOMPARE(controllaServer(testo), QString());
        QCOMPARE(opzioniConnessione(parametri), opzioni);
    }

    void stringaRifiutata_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QString>("motivo"); // the start of what the operator reads
        QTest::newRow("empty") << "   "
                               << "il server non è indicato";
        QTest::newRow("password") << "host=x password=segreta"
                                  << "la password non va scritta nella configurazione";
        QTest::newRow("database name") << "host=x dbname=altro"
                                       << "il nome del database non va indicato";
        QTest::newRow("database name quoted") << "dbname = 'a b' host=x"
                                              << "il nome del database non va indicato";
        QTest::newRow("uri") << "postgresql://mario@x/altro"
                             << "usare la forma chiave=valore";
        QTest::newRow("semicolon") << "host=x;user=y"
                                   << "il carattere \";\" non è ammesso";
        QTest::newRow("unknown key") << "host=x utente=mario"
                                     << "testo non leggibile";
        QTest::newRow("no =") << "host"
                              << "testo non leggibile";
        QTest::newRow("open quote") << "host='x"
                                    << "testo non leggibile";
    }
    void stringaRifiutata()
    {
        QFETCH(QString, testo);
        QFETCH(QString, motivo);
        QList<ParametroServer> parametri{{"vecchio", "valore"}};
        QString letto;
        QVERIFY(!leggiServer(testo, parametri, &letto));
        QVERIFY2(letto.startsWith(motivo), qPrintable(letto));
        QCOMPARE(parametri.size(), 0);
        QCOMPARE(controllaServer(testo), letto);
    }

    // The ORDER BY of the program's keys: on SQLite exactly the program's
    // own SQL text, on the server with Nulls put where SQLite puts them.
    void ordinePerMotore()
    {
        const QList<Chiave> chiavi{{"ASOST_1"}, {"ASOST_2", true}};
        QCOMPARE(MotoreSqlite().ordinaPer(chiavi), QString(" order by ASOST_1,ASOST_2 DESC"));
        QCOMPARE(MotorePostgreSql().ordinaPer(chiavi),
                 QString(" order by ASOST_1 NULLS FIRST,ASOST_2 DESC NULLS LAST"));
        QCOMPARE(MotoreSqlite().ordinaPer({}), QString());
        // A key is a plain name, never a piece of SQL.
        for (const QString cattiva : {"a; DROP TABLE x", "a,b", "\"a\"", ""}) {
            bool rifiutata = false;
            try {
                MotorePostgreSql().ordinaPer({{cattiva}});
            } catch (const ErroreArchivio&) {
                rifiutata = true;
            }
            QVERIFY2(rifiutata, qPrintable(cattiva));
        }
    }
};

QTEST_GUILESS_MAIN(TestConnessione)
#include "tst_connessione.moc"
