// The data store against real archives: SQLite files in a temporary folder,
// or (the _pg variant) databases on a PostgreSQL server.
#include "store/chiavi.h"
#include "store/database.h"
#include "store/motore_postgresql.h"
#include "store/schema.h"
#include "store/stringa_connessione.h"
#include "support/archivioprova.h"
#include "support/programma.h"

#include <QSqlError>
#include <QTest>

using namespace store;

namespace {

// In key order: company code 007 stored with its zeros, an 11-digit partita
// IVA stored with 11 characters, one codice fiscale under two companies; 103
// has every ASOST_ Null.
// clang-format off
const QStringList SOSTITUTI = {
    "007/12345678901", "050/01234567897", "101/BNCLCU75C43L219Y", "101/VRDGPP70B02F205X", "102/BNCLCU75C43L219Y",
    "103/ZZZZZZ99Z99Z999Z"};
// clang-format on

QString chiave(Recordset& r)
{
    return r.Fields("CODAZI") + '/' + r.Fields("CFS");
}
QStringList avanti(Recordset& r, const char* campo = nullptr)
{
    QStringList righe;
    for (; !r.Eof(); r.MoveNext())
        righe << (campo ? r.Fields(campo) : chiave(r));
    return righe;
}
} // namespace

class TestArchivio : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;
    std::unique_ptr<Database> db;

private slots:
    void initTestCase()
    {
        qputenv("QT_FATAL_WARNINGS", "1"); // from Qt SQL: a connection still in use, say
    }

    void init()
    {
        a = std::make_unique<ArchivioProva>();
        a->creaAnno();
        for (const QString& s : SOSTITUTI)
            a->aggiungiSostituto(s.left(3), s.mid(4), s.startsWith("103") ? QVariantList() : QVariantList{"NOME"});
        db = Database::OpenDatabase(a->luogoAnno(), OpzioniArchivio{200}); // a short wait for locks
    }
    void cleanup()
    {
        db.reset();
        a.reset();
    }

    // The server's connection string, read by libpq with the program's refusals.
    void stringa()
    {
        // Accepted: the options QPSQL hands on, in libpq's order of keywords, libpq's own quoting and escapes
        // read as libpq reads them. Refused: the start of what the operator reads, and no pair left from before.
        const QString resto = " connect_timeout='10' application_name='anagsost'";
        // clang-format off
        const QList<std::pair<QString, QString>> accettate = {
            {" host=db.studio.local  port=5432 user=mario ", "user='mario' host='db.studio.local' port='5432'" + resto},
            {"host = 'studio rossi' user='d\\'amico'", "user='d\\'amico' host='studio rossi'" + resto},
            {"host=a,b connect_timeout=3", "connect_timeout='3' host='a,b' application_name='anagsost'"}};
        // clang-format on
        for (const auto& [testo, opzioni] : accettate) {
            QList<interno::ParametroServer> parametri{{"vecchio", "valore"}};
            QVERIFY2(interno::leggiServer(testo, parametri), qPrintable(testo));
            QCOMPARE(interno::opzioniConnessione(parametri), opzioni);
            QCOMPARE(controllaServer(testo), QString());
        }
        // clang-format off
        const QList<std::pair<QString, QString>> rifiutate = {
            {"   ", "il server non è indicato"},
            {"host=x password=segreta", "la password non va scritta nella configurazione"},
            {"host=x dbname=altro", "il nome del database non va indicato"},
            {"postgresql://mario@x/altro", "usare la forma chiave=valore"},
            {"host=x;user=y", "il carattere \";\" non è ammesso"}, {"host=x utente=mario", "testo non leggibile"},
            {"host='x", "testo non leggibile"}};
        // clang-format on
        for (const auto& [testo, motivo] : rifiutate) {
            QList<interno::ParametroServer> parametri{{"vecchio", "valore"}};
            QString letto;
            QVERIFY2(!interno::leggiServer(testo, parametri, &letto), qPrintable(testo));
            QVERIFY2(letto.startsWith(motivo), qPrintable(letto));
            QCOMPARE(controllaServer(testo), letto);
            QCOMPARE(parametri.size(), 0);
        }
    }

    void seekChiaviEValoriNulli()
    {
        a->aggiungiSostituto("200", "98765432109     ");
        auto t = db->OpenTable("ANAGSOSTITUTI");
        for (const QString codice : {"7", "007", " 7 "}) {
            t->Seek("=", CHIAVEAZI(codice), CHIAVECF("12345678901"));
            QCOMPARE(t->NoMatch() ? QString() : chiave(*t), SOSTITUTI[0]);
        }
        // Trailing blanks do not count either way; fixed-width values read
        // back without the padding the server adds.
        t->Seek("=", "200", "98765432109");
        QCOMPARE(t->Fields("CFS"), QString(a->suServer() ? "98765432109" : "98765432109     "));
        // Null reads as "", an empty text is no Null; names in any case.
        t->Seek("=", "103", CHIAVECF("ZZZZZZ99Z99Z999Z"));
        QCOMPARE(t->Fields("ASOST_2"), QString());
        QVERIFY(t->Value("asost_2").isNull());
        QVERIFY(t->IsNull("Asost_10"));
        ATTESO_ERRORE(t->Fields("ASOST_11"), TipoErrore::OggettoMancante);
        ATTESO_ERRORE(db->OpenTable("QUADROLDIP1"), TipoErrore::OggettoMancante); // no "CHIAVE" index
    }

    void moviInOrdineDiIndice()
    {
        auto t = db->OpenTable("ANAGSOSTITUTI");
        QCOMPARE(avanti(*t), SOSTITUTI);
        ATTESO_ERRORE(t->MoveNext(), TipoErrore::NessunRecord);
        QStringList indietro;
        for (t->MovePrevious(); !t->Bof(); t->MovePrevious())
            indietro.prepend(chiave(*t));
        QCOMPARE(indietro, SOSTITUTI);
        // By codice fiscale, ties by company; after a Seek the moves follow it.
        t->setIndex("CHIAVECFS");
        t->MoveFirst();
        QCOMPARE(avanti(*t),
                 (QStringList{SOSTITUTI[1], SOSTITUTI[0], SOSTITUTI[2], SOSTITUTI[4], SOSTITUTI[3], SOSTITUTI[5]}));
        t->Seek("=", CHIAVECF("VRDGPP70B02F205X"));
        QCOMPARE(avanti(*t), (QStringList{SOSTITUTI[3], SOSTITUTI[5]}));
        db->Execute("DELETE FROM ANAGSOSTITUTI");
        // An empty table has no row from the start, whichever end is asked first.
        QVERIFY(db->OpenTable("ANAGSOSTITUTI")->Bof());
        QVERIFY(db->OpenTable("ANAGSOSTITUTI")->Eof());
    }

    // What the operations rely on, each fact on its own.
    void contratto()
    {
        auto t = db->OpenTable("ANAGSOSTITUTI");
        // A repeated key: the first row in index order (ties by company).
        t->setIndex("CHIAVECFS");
        t->Seek("=", CHIAVECF("BNCLCU75C43L219Y"));
        QCOMPARE(chiave(*t), SOSTITUTI[2]);
        t->setIndex("CHIAVECODAZI");
        t->Seek("=", "101");
        QCOMPARE(chiave(*t), SOSTITUTI[2]);
        // After NoMatch no current row, whether the cursor stood on a row or past the last.
        t->setIndex("CHIAVE");
        for (const bool finito : {false, true}) {
            t->MoveFirst();
            if (finito)
                avanti(*t);
            t->Seek("=", "999", CHIAVECF("X"));
            QCOMPARE(QList<bool>({t->NoMatch(), t->Bof(), t->Eof()}), QList<bool>({true, true, true}));
            ATTESO_ERRORE(t->Fields("CFS"), TipoErrore::NessunRecord);
            ATTESO_ERRORE(t->MoveNext(), TipoErrore::NessunRecord);
            ATTESO_ERRORE(t->Edit(), TipoErrore::NessunRecord);
        }
        // A row removed by another program after it was read: writing or deleting it is a conflict.
        t->Seek("=", "101", CHIAVECF("VRDGPP70B02F205X"));
        t->Edit();
        t->SetField("ASOST_1", "ALTRO");
        a->esegui("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '101' AND CFS = 'VRDGPP70B02F205X'");
        ATTESO_ERRORE(t->Update(), TipoErrore::Conflitto);
        t->Seek("=", "102", CHIAVECF("BNCLCU75C43L219Y"));
        a->esegui("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '102'");
        ATTESO_ERRORE(t->Delete(), TipoErrore::Conflitto);
        // An SQL record set being edited skips a row removed meanwhile and goes on;
        // its own current row removed is a conflict.
        for (int rigo = 1; rigo <= 4; ++rigo)
            a->aggiungiRigaQuadro("QUADROLDIP1", "101", "01234567897", "BNCLCU75C43L219Y", {{"RIGO", rigo}});
        auto s = db->OpenRecordset("SELECT * FROM QUADROLDIP1 WHERE CODAZI = ? ORDER BY RIGO", {"101"});
        s->Edit();
        s->SetField("CFS", "NUOVO");
        s->Update();
        a->esegui("DELETE FROM QUADROLDIP1 WHERE RIGO = 2");
        s->MoveNext();
        QCOMPARE(s->Fields("RIGO"), QString("3"));
        s->Edit();
        s->SetField("CFS", "NUOVO");
        a->esegui("DELETE FROM QUADROLDIP1 WHERE RIGO = 3");
        ATTESO_ERRORE(s->Update(), TipoErrore::Conflitto);
        s->MoveNext();
        QCOMPARE(s->Fields("RIGO"), QString("4"));
    }

    void modificaAggiuntaCancellazione()
    {
        auto t = db->OpenTable("ANAGSOSTITUTI");
        t->Seek("=", "101", CHIAVECF("VRDGPP70B02F205X"));
        // Null written as Null, an empty field as a text; the row found by its key as it was.
        const QString atteso = a->istantaneaDopo("UPDATE ANAGSOSTITUTI SET ASOST_1 = NULL, ASOST_3 = '', "
                                                 "CFS = 'VRDGPP70B02F205Q' WHERE CODAZI = '101' AND CFS = ?",
                                                 {"VRDGPP70B02F205X"});
        t->Edit();
        t->SetField("asost_1", QVariant());
        t->SetField("ASOST_3", QString());
        t->SetField("CFS", "VRDGPP70B02F205Q");
        t->Update();
        QCOMPARE(a->istantanea(), atteso);
        // After Delete there is no current row, and a move goes on from where
        // it stood; AddNew leaves the current row as it was.
        t->Seek("=", "101", CHIAVECF("BNCLCU75C43L219Y"));
        t->Delete();
        ATTESO_ERRORE(t->Edit(), TipoErrore::NessunRecord);
        t->AddNew();
        t->SetField("CODAZI", "104");
        t->SetField("CFS", "12312312312");
        t->Update();
        t->MoveNext();
        QCOMPARE(t->Fields("CFS"), QString("VRDGPP70B02F205Q"));
        QCOMPARE(a->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI WHERE CFS = 'BNCLCU75C43L219Y' OR CODAZI = '104'"), 2);
        // A key already there, trailing blanks aside, is refused.
        t->AddNew();
        t->SetField("CODAZI", "104");
        t->SetField("CFS", "12312312312     ");
        const ErroreArchivio e = errore([&] { t->Update(); });
        QVERIFY2(e.tipo() == TipoErrore::Altro && e.messaggio().contains("stessa chiave"), e.what());
        t->CancelUpdate();
        // A pending edit reads what was set; cancelled, the row as it is.
        t->Seek("=", "104", CHIAVECF("12312312312"));
        t->Edit();
        t->SetField("ASOST_1", "IN CORSO");
        QCOMPARE(t->Fields("ASOST_1"), QString("IN CORSO"));
        t->CancelUpdate();
        QVERIFY(t->IsNull("ASOST_1"));
        // Stored, the row reads as the engine keeps it: a fixed-width key
        // without the padding on the server, as written on the file.
        t->Edit();
        t->SetField("CODAZI", "9  ");
        t->Update();
        QCOMPARE(t->Fields("CODAZI"), QString(a->suServer() ? "9" : "9  "));
    }

    void recordsetSqlEApostrofi()
    {
        ATTESO_ERRORE(db->OpenRecordset("DELETE FROM FRONTESPIZIO"), TipoErrore::Altro); // only selections
        // Pasted into a statement, this code would widen the condition to
        // every row. Editing the rows it reads: enough of them for the change
        // to run across the whole read, neighbours a wider condition would hit.
        const QString cattivo = "X' OR 'A'='A";
        a->aggiungiSostituto("300", cattivo, {"APOSTROFO"});
        // A "?" between quotes is text, not a value's place.
        QCOMPARE(db->OpenRecordset("SELECT ASOST_1 FROM ANAGSOSTITUTI WHERE ASOST_1 <> 'CHI?' AND CODAZI = ?", {"300"})
                     ->Fields("ASOST_1"),
                 QString("APOSTROFO"));
        for (int i = 0; i < 40; ++i)
            for (const QString& cfs : {cattivo, QString("VICINO")})
                a->aggiungiRigaQuadro("QUADROLDIP2", "300", "01234567897", cfs, {{"RIGO", i}, {"IMPORTO1", i}});
        const QString atteso =
            a->istantaneaDopo("UPDATE QUADROLDIP2 SET CFS = 'NUOVO''CF' WHERE CODAZI = '300' AND CFS = ?", {cattivo});
        auto s =
            db->OpenRecordset("SELECT * FROM quadroldip2 WHERE CODAZI = ? and CFS = ?", {"300", CHIAVECF(cattivo)});
        for (; !s->Eof(); s->MoveNext()) {
            s->Edit();
            s->SetField("CFS", "NUOVO'CF");
            s->Update();
        }
        s->Close();
        QCOMPARE(a->istantanea(), atteso);
    }

    // The order of the program's keys, written by each engine: the same
    // rows in the same order on both, Nulls first ascending and last
    // descending, texts compared character by character.
    void ordineDelleChiavi()
    {
        db->Execute("DELETE FROM ANAGSOSTITUTI");
        // In the expected order by ASOST_1, then ASOST_2 descending: {codazi, ASOST_1, ASOST_2}.
        // clang-format off
        const QList<QVariantList> attesi = {
            {"301", QVariant(), "B"}, {"302", QVariant(), QVariant()}, {"303", "", "Z"}, {"304", " ", "A"},
            {"305", "ROSSI", "b"}, {"306", "ROSSI", "B"}, {"307", "ROSSI", QVariant()}, {"308", "ZAMBONI", ""},
            {"309", "rossi", "A"}, {"310", "ÈRCOLI", "A"}};
        // clang-format on
        QStringList attesa;
        for (auto it = attesi.crbegin(); it != attesi.crend(); ++it) {
            a->aggiungiSostituto((*it)[0].toString(), "CF" + (*it)[0].toString(), it->mid(1));
            attesa.prepend((*it)[0].toString());
        }
        QCOMPARE(
            avanti(*db->OpenRecordset("SELECT * FROM ANAGSOSTITUTI", {}, {{"ASOST_1"}, {"ASOST_2", true}}), "CODAZI"),
            attesa);
        // With a condition and its values, descending first.
        QCOMPARE(
            avanti(*db->OpenRecordset("SELECT * FROM ANAGSOSTITUTI WHERE CODAZI < ?", {"304"}, {{"ASOST_2", true}}),
                   "CODAZI"),
            QStringList({"303", "301", "302"}));
        // A key is a plain name, never a piece of SQL.
        for (const QString cattiva : {"a; DROP TABLE x", "a,b", "\"a\"", ""})
            ATTESO_ERRORE(db->OpenRecordset("SELECT * FROM ANAGSOSTITUTI", {}, {{cattiva}}), TipoErrore::Altro);
    }

    void transazioni()
    {
        a->esegui("INSERT INTO PERCETTORI (CODAZI, CFPERC, COGNOME) VALUES (?, ?, ?)", {"101", "PRC1", "UNO"});
        const QString prima = a->istantanea();
        db->BeginTrans();
        QCOMPARE(db->Execute("DELETE FROM PERCETTORI WHERE CODAZI = ?", {"101"}), 1);
        db->OpenTable("ANAGSOSTITUTI")->Delete();
        db->Rollback();
        QCOMPARE(a->istantanea(), prima);
        // A failing statement is undone alone (on the server too, where it
        // would spoil the whole transaction): the rest is committed.
        const QString atteso = a->istantaneaDopo("DELETE FROM PERCETTORI");
        {
            Transazione tr(*db);
            ATTESO_ERRORE(db->Execute("DELETE FROM NONTABELLA"), TipoErrore::OggettoMancante);
            db->Execute("DELETE FROM PERCETTORI WHERE CODAZI = ?", {"101"});
            tr.commit();
        }
        QCOMPARE(a->istantanea(), atteso);
        // Closing the database undoes an unfinished transaction; closing twice is harmless.
        auto t = db->OpenTable("ANAGSOSTITUTI");
        db->BeginTrans();
        db->Execute("DELETE FROM ANAGSOSTITUTI");
        db->Close();
        db->Close();
        QCOMPARE(a->istantanea(), atteso);
        // Record sets closed with their database: a clear error, no crash.
        ATTESO_ERRORE(t->Fields("CFS"), TipoErrore::Altro);
        db.reset();
        ATTESO_ERRORE(t->MoveNext(), TipoErrore::Altro);
    }

    void istruzioniInsieme()
    {
        a->esegui("INSERT INTO PERCETTORI (CODAZI, CFPERC, COGNOME) VALUES (?, ?, ?)", {"101", "PRC1", "UNO"});
        a->esegui("INSERT INTO PERCETTORI (CODAZI, CFPERC, COGNOME) VALUES (?, ?, ?)", {"102", "PRC2", "DUE"});
        const QString dopo = a->istantaneaDopo("DELETE FROM PERCETTORI WHERE CODAZI = '101'");
        const QList<Istruzione> cancella101{{"DELETE FROM PERCETTORI WHERE CODAZI = ?", {"101"}},
                                            {"DELETE FROM PERCETTORI WHERE CODAZI = ?", {"999"}}};
        // The rows each statement changed, in order.
        {
            Transazione tr(*db, {"PERCETTORI"});
            QCOMPARE(db->Execute(cancella101), QList<int>({1, 0}));
            tr.commit();
        }
        QCOMPARE(a->istantanea(), dopo);
        // The first failure is raised, for what it is; the transaction is rolled back whole.
        a->esegui("INSERT INTO PERCETTORI (CODAZI, CFPERC, COGNOME) VALUES (?, ?, ?)", {"101", "PRC1", "UNO"});
        const QString prima = a->istantanea();
        db->BeginTrans({"PERCETTORI"});
        ATTESO_ERRORE(db->Execute({cancella101.first(),
                                   {"DELETE FROM NONTABELLA WHERE CODAZI = ?", {"102"}},
                                   {"DELETE FROM PERCETTORI WHERE CODAZI = ?", {"102"}}}),
                      TipoErrore::OggettoMancante);
        db->Rollback();
        QCOMPARE(a->istantanea(), prima);
        // On a server the failure spoils the transaction: committing it
        // anyway is refused, and leaves nothing behind.
        if (!a->suServer())
            return;
        db->BeginTrans({"PERCETTORI"});
        ATTESO_ERRORE(db->Execute({cancella101.first(), {"DELETE FROM NONTABELLA", {}}}), TipoErrore::OggettoMancante);
        ATTESO_ERRORE(db->CommitTrans(), TipoErrore::Altro);
        QVERIFY(!db->inTransazione());
        QCOMPARE(a->istantanea(), prima);
    }

    // Round trips are counted per connection (one for a statement on a
    // server, none on a file): what one connection does is not another's.
    void scambiPerConnessione()
    {
        SOLO_SERVER("a file is no connection to count");
        auto altro = Database::OpenDatabase(a->luogoAnno(), OpzioniArchivio{200});
        const quint64 altrui = altro->scambi();
        const quint64 mie = db->scambi();
        db->Execute("DELETE FROM PERCETTORI WHERE CODAZI = ?", {"999"});
        QCOMPARE(db->scambi(), mie + 1);
        QCOMPARE(altro->scambi(), altrui);
    }

    void archivioBloccatoOSoloInLettura()
    {
        auto t = db->OpenTable("ANAGSOSTITUTI");
        const QString prima = a->istantanea();
        {
            auto blocco = a->blocca(true);
            ATTESO_ERRORE(t->Seek("=", "101", CHIAVECF("VRDGPP70B02F205X")), TipoErrore::Occupato);
        }
        // A connection that may not write: on the server a read-only transaction, told as the server's doing
        // (not the permissions of a file), naming the archive.
        db->Execute(a->suServer() ? "SET default_transaction_read_only = on" : "PRAGMA query_only = 1");
        const ErroreArchivio e = errore([&] { db->Execute("DELETE FROM ANAGSOSTITUTI"); });
        QCOMPARE(int(e.tipo()), int(a->suServer() ? TipoErrore::ServerSolaLettura : TipoErrore::SolaLettura));
        QVERIFY2(e.messaggio().contains("\rNessun dato è stato registrato.\r"), qPrintable(e.messaggio()));
        if (a->suServer())
            QVERIFY2(e.messaggio().contains("\rArchivio: " + a->luogoAnno().descrizione() + "\r"),
                     qPrintable(e.messaggio()));
        QCOMPARE(a->istantanea(), prima);
    }

    void archiviNuovi()
    {
        // A new archive never replaces one; a filler that fails leaves nothing.
        ATTESO_ERRORE(creaDaModello(a->luogoTemplate(), a->luogoAnno()), TipoErrore::Altro);
        const Luogo fallito = a->suServer() ? Luogo::server(a->server(), a->prefisso() + "fallito")
                                            : Luogo::file(a->cartella() + "/FALLITO.MDB");
        ATTESO_ERRORE(creaArchivio(fallito, [](Database& x) { x.Execute("INSERT INTO NONTABELLA VALUES (1)"); }),
                      TipoErrore::OggettoMancante);
        QCOMPARE(presenza(fallito), Presenza::Assente);
        // An archive without tables (a database made by hand, say) is no archive of the program.
        db.reset();
        for (const QVariantMap& t :
             a->righe(a->suServer() ? "SELECT tablename AS t FROM pg_tables WHERE schemaname = "
                                      "current_schema()"
                                    : "SELECT name AS t FROM sqlite_master WHERE type = 'table'"))
            a->esegui("DROP TABLE " + t["T"].toString());
        // Told at the first use on a server, where the catalogue comes with the first statement.
        ATTESO_ERRORE(Database::OpenDatabase(a->luogoAnno())->OpenTable("ANAGSOSTITUTI"), TipoErrore::Danneggiato);
        ATTESO_ERRORE(Database::OpenDatabase(a->luogoAnno())->OpenRecordset("SELECT * FROM frontespizio"),
                      TipoErrore::Danneggiato);
    }
};

PROVA(TestArchivio);
#include "archivio.moc"
