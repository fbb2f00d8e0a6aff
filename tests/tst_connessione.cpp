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
    void stringa()
    {
        // Accepted: the options QPSQL hands on, in libpq's order of keywords, libpq's own quoting and escapes
        // read as libpq reads them. Refused: the start of what the operator reads, and no pair left from before.
        const QString resto = " connect_timeout='10' application_name='anagsost'";
        const QList<std::pair<QString, QString>> accettate = {
            {" host=db.studio.local  port=5432 user=mario ", "user='mario' host='db.studio.local' port='5432'" + resto},
            {"host = 'studio rossi' user='d\\'amico'", "user='d\\'amico' host='studio rossi'" + resto},
            {"host=a,b connect_timeout=3", "connect_timeout='3' host='a,b' application_name='anagsost'"}};
        for (const auto& [testo, opzioni] : accettate) {
            QList<ParametroServer> parametri{{"vecchio", "valore"}};
            QVERIFY2(leggiServer(testo, parametri), qPrintable(testo));
            QCOMPARE(opzioniConnessione(parametri), opzioni);
            QCOMPARE(controllaServer(testo), QString());
        }
        const QList<std::pair<QString, QString>> rifiutate = {
            {"   ", "il server non è indicato"},
            {"host=x password=segreta", "la password non va scritta nella configurazione"},
            {"host=x dbname=altro", "il nome del database non va indicato"},
            {"postgresql://mario@x/altro", "usare la forma chiave=valore"},
            {"host=x;user=y", "il carattere \";\" non è ammesso"},
            {"host=x utente=mario", "testo non leggibile"}, {"host='x", "testo non leggibile"}};
        for (const auto& [testo, motivo] : rifiutate) {
            QList<ParametroServer> parametri{{"vecchio", "valore"}};
            QString letto;
            QVERIFY2(!leggiServer(testo, parametri, &letto), qPrintable(testo));
            QVERIFY2(letto.startsWith(motivo), qPrintable(letto));
            QCOMPARE(controllaServer(testo), letto);
            QCOMPARE(parametri.size(), 0);
        }
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
        for (const QString cattiva : {"a; DROP TABLE x", "a,b", "\"a\"", ""})
            QVERIFY_THROWS_EXCEPTION(ErroreArchivio, MotorePostgreSql().ordinaPer({{cattiva}}));
    }
};

QTEST_GUILESS_MAIN(TestConnessione)
#include "tst_connessione.moc"
