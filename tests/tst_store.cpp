// The data store against real archives: SQLite files in a temporary folder,
// or (the _pg variant) databases on a PostgreSQL server.
#include "store/chiavi.h"
#include "store/database.h"
#include "store/motore_postgresql.h"
#include "store/schema.h"
#include "support/archivioprova.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QFileInfo>
#include <QTest>
#include <algorithm>
#include <functional>
#include <optional>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace store;

namespace {

// The failure raised by f, if any.
std::optional<ErroreArchivio> errore(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ErroreArchivio& e) {
        return e;
    }
    return std::nullopt;
}

#define ATTESO_ERRORE(istruzione, tipoAtteso)                                                      \
    do {                                                                                           \
        const auto e_ = errore([&] { istruzione; });                                               \
        QVERIFY2(e_.has_value(), "nessun errore da: " #istruzione);                                \
        QVERIFY2(e_->tipo() == (tipoAtteso), e_->what());                                          \
    } while (false)

// Warnings of Qt SQL (a connection still in use, say) collected here.
QStringList avvisi;
QtMessageHandler gestorePrecedente = nullptr;
void raccogli(QtMsgType tipo, const QMessageLogContext& contesto, const QString& testo)
{
    if (tipo == QtWarningMsg || tipo == QtCriticalMsg)
        avvisi << testo;
    if (gestorePrecedente)
        gestorePrecedente(tipo, contesto, testo);
}

struct Sost {
    QString codazi, cfs;
};

// Substitutes of the common fixture: company code 007 (stored with its
// zeros), an 11-digit partita IVA stored with 11 characters, two substitutes
// sharing a codice fiscale under different companies.
const QList<Sost> SOSTITUTI = {
    {"101", "VRDGPP70B02F205X"}, {"007", "12345678901"},      {"101", "BNCLCU75C43L219Y"},
    {"102", "BNCLCU75C43L219Y"}, {"103", "ZZZZZZ99Z99Z999Z"}, {"050", "01234567897"},
};

QStringList chiavi(const QList<Sost>& s)
{
    QStringList r;
    for (const Sost& x : s)
        r << x.codazi + QLatin1Char('/') + x.cfs;
    return r;
}

// Walks a table record set forward from its current row.
QStringList avanti(TableRecordset& t)
{
    QStringList r;
    while (!t.Eof()) {
        r << t.Fields("CODAZI") + QLatin1Char('/') + t.Fields("CFS");
        t.MoveNext();
    }
    return r;
}

} // namespace

class TestArchivio : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ArchivioProva> a;
    std::unique_ptr<Database> db;
    OpzioniArchivio breve;

    void popola()
    {
        a->aggiungiFrontespizio("001", "01234567897", {}, {}, "ALFA SRL");
        a->aggiungiFrontespizio("002", "RSSMRA50A01H501Z", "ROSSI", "MARIO", {}, "X");
        for (const Sost& s : SOSTITUTI) {
            if (s.codazi == "103")
                a->aggiungiSostituto(s.codazi, s.cfs); // every ASOST_ Null
            else
                a->aggiungiSostituto(s.codazi, s.cfs,
                                     {"NOME " + s.cfs, "", "M", "19700101", "ROMA", "RM", "ROMA", "RM", "VIA A 1", "001"});
        }
    }

private slots:
    void initTestCase()
    {
        RICHIEDI_MOTORE_PROVA();
        breve.attesaBloccoMs = 200;
        gestorePrecedente = qInstallMessageHandler(raccogli);
    }
    void cleanupTestCase() { qInstallMessageHandler(gestorePrecedente); }

    void init()
    {
        avvisi.clear();
        a = std::make_unique<ArchivioProva>();
        a->creaAnno();
        popola();
        db = Database::OpenDatabase(a->luogoAnno(), breve);
    }
    void cleanup()
    {
        db.reset();
        a.reset();
        QVERIFY2(avvisi.isEmpty(), qPrintable(avvisi.join('\n')));
    }

    // ---- Seek and keys ----

    void seekConChiaviInFormaNormale()
    {
        auto t = db->OpenTable("ANAGSOSTITUTI");
        QCOMPARE(t->Index(), QString("CHIAVE"));
        // 11-digit partita IVA stored with 11 characters, sought padded to 16;
        // company code 7 and 007 through the key form.
        for (const QString& codice : {QString("7"), QString("007"), QString(" 7 ")}) {
            t->Seek("=", CHIAVEAZI(codice), CHIAVECF("12345678901"));
            QVERIFY(!t->NoMatch());
            QCOMPARE(t->Fields("CFS"), QString("12345678901"));
            QCOMPARE(t->Fields("CODAZI"), QString("007"));
        }
        t->Seek("=", CHIAVEAZI("8"), CHIAVECF("12345678901"));
        QVERIFY(t->NoMatch());
        ATTESO_ERRORE(t->Fields("CFS"), TipoErrore::NessunRecord);
        // A padded key stored with its blanks is found by the bare value too.
        // A file keeps the blanks as stored; a fixed-width column on the
        // server adds them anyway, and the store reads it back without them.
        a->aggiungiSostituto("200", "98765432109     ");
        t->Seek("=", "200", "98765432109");
        QVERIFY(!t->NoMatch());
        QCOMPARE(t->Fields("CFS"), QString(a->suServer() ? "98765432109" : "98765432109     "));
    }

    void valoriDiLarghezzaFissaSenzaRiempimento()
    {
        // Keys stored shorter than their column (a partita IVA, a one-digit
        // company code as another program may write it) read back as
        // stored, on every road the store reads them.
        a->aggiungiSostituto("9", "12345678903", {"NOVE"});
        a->aggiungiSostituto("201", "VRDGPP70B02F205Q", {"  NOME  "});
        auto t = db->OpenTable("ANAGSOSTITUTI");
        t->Seek("=", "9  ", CHIAVECF("12345678903"));
        QVERIFY(!t->NoMatch());
        QCOMPARE(t->Fields("CODAZI"), QString("9"));
        QCOMPARE(t->Fields("CFS"), QString("12345678903"));
        t->MoveNext();
        t->MovePrevious();
        QCOMPARE(t->Fields("CFS"), QString("12345678903"));
        t->Edit();
        t->SetField("ASOST_2", "X");
        t->Update();
        QCOMPARE(t->Fields("CFS"), QString("12345678903"));
        auto s = db->OpenRecordset("SELECT CODAZI, CFS AS CODICE, ASOST_1 FROM ANAGSOSTITUTI WHERE CFS = ?",
                                   {CHIAVECF("12345678903")});
        QCOMPARE(s->Fields("CODAZI"), QString("9"));
        QCOMPARE(s->Fields("CODICE"), QString("12345678903"));
        s->Close();
        auto p = db->OpenTable("TABMIN_PROV");
        p->Seek("=", "RM");
        QCOMPARE(p->Fields("codprov"), QString("RM"));
        // Texts of free length keep their trailing blanks on both engines.
        t->Seek("=", "201", CHIAVECF("VRDGPP70B02F205Q"));
        QCOMPARE(t->Fields("ASOST_1"), QString("  NOME  "));
    }

    void seekSuUnaChiaveESugliIndiciSecondari()
    {
        auto t = db->OpenTable("ANAGSOSTITUTI");
        // One value on the two-column index: the first row of that company.
        t->Seek("=", QVariantList{"101"});
        QVERIFY(!t->NoMatch());
        QCOMPARE(t->Fields("CFS"), QString("BNCLCU75C43L219Y"));

        t->setIndex("chiavecfs");
        QCOMPARE(t->Index(), QString("CHIAVECFS"));
        QCOMPARE(t->colonneIndice(), QStringList{"CFS"});
        QCOMPARE(t->nomeTabella(), QString("ANAGSOSTITUTI"));
        t->Seek("=", CHIAVECF("BNCLCU75C43L219Y"));
        QVERIFY(!t->NoMatch());
        // Equal codici fiscali come in company order.
        QCOMPARE(t->Fields("CODAZI"), QString("101"));
        t->MoveNext();
        QCOMPARE(t->Fields("CODAZI") + "/" + t->Fields("CFS"), QString("102/BNCLCU75C43L219Y"));
        t->Seek("=", CHIAVECF("NONCE"));
        QVERIFY(t->NoMatch());

        t->setIndex("CHIAVECODAZI");
        t->Seek("=", CHIAVEAZI("50"));
        QVERIFY(!t->NoMatch());
        QCOMPARE(t->Fields("CFS"), QString("01234567897"));
        t->setIndex("CHIAVE");

        ATTESO_ERRORE(t->setIndex("CHIAVEASOST"), TipoErrore::OggettoMancante);
        QCOMPARE(t->Index(), QString("CHIAVE"));
        ATTESO_ERRORE(t->Seek("=", QVariantList{"1", "2", "3"}), TipoErrore::Altro);

        auto f = db->OpenTable("frontespizio");
        f->setIndex("CHIAVECFD");
        f->Seek("=", CHIAVECF("01234567897"));
        QVERIFY(!f->NoMatch());
        QCOMPARE(f->Fields("FR_3"), QString("ALFA SRL"));
        auto p = db->OpenTable("TABMIN_PROV");
        p->Seek("=", "FC");
        QVERIFY(!p->NoMatch());
        QVERIFY(p->Fields("descprov").startsWith("FORL"));
    }

    // ---- moves ----

    void moviInOrdineDiIndice()
    {
        auto t = db->OpenTable("ANAGSOSTITUTI");
        QList<Sost> attesi = SOSTITUTI;
        std::sort(attesi.begin(), attesi.end(),
                  [](const Sost& x, const Sost& y) { return std::tie(x.codazi, x.cfs) < std::tie(y.codazi, y.cfs); });
        // Open: on the first row.
        QVERIFY(!t->Bof() && !t->Eof());
        QCOMPARE(avanti(*t), chiavi(attesi));
        QVERIFY(t->Eof() && !t->Bof());
        ATTESO_ERRORE(t->Value("CFS"), TipoErrore::NessunRecord);
        ATTESO_ERRORE(t->MoveNext(), TipoErrore::NessunRecord);

        // Backwards from the end.
        QStringList indietro;
        t->MovePrevious();
        while (!t->Bof()) {
            indietro << t->Fields("CODAZI") + "/" + t->Fields("CFS");
            t->MovePrevious();
        }
        std::reverse(indietro.begin(), indietro.end());
        QCOMPARE(indietro, chiavi(attesi));
        QVERIFY(t->Bof() && !t->Eof());
        t->MoveNext();
        QCOMPARE(t->Fields("CODAZI") + "/" + t->Fields("CFS"), chiavi(attesi).first());
        t->MoveLast();
        QCOMPARE(t->Fields("CODAZI") + "/" + t->Fields("CFS"), chiavi(attesi).last());

        // By codice fiscale, ties by company.
        t->setIndex("CHIAVECFS");
        std::sort(attesi.begin(), attesi.end(),
                  [](const Sost& x, const Sost& y) { return std::tie(x.cfs, x.codazi) < std::tie(y.cfs, y.codazi); });
        t->MoveFirst();
        QCOMPARE(avanti(*t), chiavi(attesi));
        // After a Seek on the secondary index the moves follow it.
        t->Seek("=", CHIAVECF("VRDGPP70B02F205X"));
        QCOMPARE(avanti(*t), chiavi(attesi.mid(attesi.size() - 2)));
        t->Seek("=", CHIAVECF("01234567897"));
        t->MovePrevious();
        QVERIFY(t->Bof());
        ATTESO_ERRORE(t->MovePrevious(), TipoErrore::NessunRecord);
        QCOMPARE(t->RecordCount(), long(SOSTITUTI.size()));
    }

    void tabellaSenzaRighe()
    {
        db->Execute("DELETE FROM ANAGSOSTITUTI");
        auto t = db->OpenTable("ANAGSOSTITUTI");
        QVERIFY(t->Bof() && t->Eof());
        QCOMPARE(t->RecordCount(), 0L);
        ATTESO_ERRORE(t->MoveNext(), TipoErrore::NessunRecord);
        t->MoveFirst();
        QVERIFY(t->Bof() && t->Eof());
        t->Seek("=", "101", CHIAVECF("X"));
        QVERIFY(t->NoMatch());
        auto s = db->OpenRecordset("SELECT * FROM ANAGSOSTITUTI");
        QVERIFY(s->Eof());
        QCOMPARE(s->RecordCount(), 0L);
    }

    // ---- field reads ----

    void valoriNulliENomiSenzaMaiuscole()
    {
        auto t = db->OpenTable("ANAGSOSTITUTI");
        t->Seek("=", "103", CHIAVECF("ZZZZZZ99Z99Z999Z"));
        QVERIFY(!t->NoMatch());
        QCOMPARE(t->Fields("ASOST_2"), QString(""));
        QVERIFY(t->Value("asost_2").isNull());
        QVERIFY(t->IsNull("Asost_10"));
        t->Seek("=", "101", CHIAVECF("VRDGPP70B02F205X"));
        // An empty text is not Null.
        QVERIFY(!t->Value("ASOST_2").isNull());
        QCOMPARE(t->Fields("asost_1"), QString("NOME VRDGPP70B02F205X"));
        QCOMPARE(t->Fields("cfs"), t->Fields("CFS"));
        QCOMPARE(t->nomiCampi().size(), 12);
        const auto e = errore([&] { t->Fields("ASOST_11"); });
        QVERIFY(e && e->tipo() == TipoErrore::OggettoMancante);
        QVERIFY(e->messaggio().contains("ASOST_11"));

        auto s = db->OpenRecordset("SELECT codazi, CFS AS Codice, ASOST_2 FROM ANAGSOSTITUTI WHERE CODAZI = ?", {"103"});
        QCOMPARE(s->Fields("CODICE"), QString("ZZZZZZ99Z99Z999Z"));
        QCOMPARE(s->Fields("Codazi"), QString("103"));
        QVERIFY(s->Value("asost_2").isNull());
        ATTESO_ERRORE(s->Value("ASOST_1"), TipoErrore::OggettoMancante);
    }

    // ---- writing through a table record set ----

    void modificaAggiuntaCancellazione()
    {
        auto t = db->OpenTable("ANAGSOSTITUTI");
        t->Seek("=", "101", CHIAVECF("VRDGPP70B02F205X"));
        t->Edit();
        t->SetField("asost_1", "VERDI");
        t->SetField("ASOST_9", QVariant()); // Null written as Null
        t->SetField("ASOST_5", QString());  // an empty field: a text, not Null
        QCOMPARE(t->Fields("ASOST_1"), QString("VERDI")); // the edited copy reads back
        t->Update();
        QCOMPARE(t->Fields("ASOST_1"), QString("VERDI"));
        auto r = a->righe("SELECT * FROM ANAGSOSTITUTI WHERE CODAZI = '101' AND CFS = 'VRDGPP70B02F205X'");
        QCOMPARE(r.size(), 1);
        QCOMPARE(r[0]["ASOST_1"].toString(), QString("VERDI"));
        QVERIFY(r[0]["ASOST_9"].isNull());
        QVERIFY(!r[0]["ASOST_5"].isNull());
        QCOMPARE(r[0]["ASOST_5"].toString(), QString(""));
        QCOMPARE(r[0]["ASOST_7"].toString(), QString("ROMA"));
        QCOMPARE(db->Execute("UPDATE ANAGSOSTITUTI SET ASOST_6 = ? WHERE CODAZI = ?", {QString(), "101"}), 2);
        QCOMPARE(a->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI WHERE ASOST_6 = ''"), 2);

        // A key column changes: the row is found by its original key.
        t->Edit();
        t->SetField("CFS", "VRDGPP70B02F205Q");
        t->Update();
        QCOMPARE(t->Fields("CFS"), QString("VRDGPP70B02F205Q"));
        QCOMPARE(a->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI WHERE CFS = 'VRDGPP70B02F205X'"), 0);
        r = a->righe("SELECT * FROM ANAGSOSTITUTI WHERE CFS = 'VRDGPP70B02F205Q'");
        QCOMPARE(r.size(), 1);
        QCOMPARE(r[0]["ASOST_1"].toString(), QString("VERDI"));
        QCOMPARE(a->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI"), SOSTITUTI.size());

        // AddNew: inserted, the current row stays the one before.
        t->AddNew();
        t->SetField("CODAZI", "104");
        t->SetField("CFS", "12312312312");
        t->SetField("ASOST_1", "");
        t->Update();
        QCOMPARE(t->Fields("CFS"), QString("VRDGPP70B02F205Q"));
        r = a->righe("SELECT * FROM ANAGSOSTITUTI WHERE CODAZI = '104'");
        QCOMPARE(r.size(), 1);
        QCOMPARE(r[0]["CFS"].toString(), QString("12312312312"));
        QVERIFY(!r[0]["ASOST_1"].isNull());
        QVERIFY(r[0]["ASOST_2"].isNull());

        // Delete: gone, no current row, a move goes on from where it stood.
        t->Seek("=", "101", CHIAVECF("BNCLCU75C43L219Y"));
        t->Delete();
        ATTESO_ERRORE(t->Fields("CFS"), TipoErrore::NessunRecord);
        ATTESO_ERRORE(t->Edit(), TipoErrore::NessunRecord);
        t->MoveNext();
        QCOMPARE(t->Fields("CFS"), QString("VRDGPP70B02F205Q"));
        QCOMPARE(a->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI WHERE CODAZI = '101'"), 1);
        QCOMPARE(a->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI WHERE CFS = 'BNCLCU75C43L219Y'"), 1);

        // Update without Edit, SetField of an unknown field.
        ATTESO_ERRORE(t->Update(), TipoErrore::Altro);
        t->Edit();
        ATTESO_ERRORE(t->SetField("NONCAMPO", 1), TipoErrore::OggettoMancante);
        t->CancelUpdate();
    }

    void chiaveUnicaSenzaBlanchiFinali()
    {
        auto t = db->OpenTable("ANAGSOSTITUTI");
        const QString prima = a->istantanea();
        t->AddNew();
        t->SetField("CODAZI", "007");
        t->SetField("CFS", "12345678901     ");
        const auto e = errore([&] { t->Update(); });
        QVERIFY(e && e->tipo() == TipoErrore::Altro);
        QVERIFY2(e->messaggio().contains("stessa chiave"), qPrintable(e->messaggio()));
        t->CancelUpdate();
        QCOMPARE(a->istantanea(), prima);
        // Nor can a key column be edited into a duplicate.
        t->Seek("=", "101", CHIAVECF("BNCLCU75C43L219Y"));
        t->Edit();
        t->SetField("CFS", "VRDGPP70B02F205X  ");
        ATTESO_ERRORE(t->Update(), TipoErrore::Altro);
        t->CancelUpdate();
        QCOMPARE(a->istantanea(), prima);
    }

    void rigaSparitaNelFrattempo()
    {
        auto t = db->OpenTable("ANAGSOSTITUTI");
        t->Seek("=", "102", CHIAVECF("BNCLCU75C43L219Y"));
        t->Edit();
        t->SetField("ASOST_1", "NUOVO");
        // Another program of the suite deletes the row meanwhile.
        QCOMPARE(a->esegui("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '102'"), 1);
        const QString prima = a->istantanea();
        ATTESO_ERRORE(t->Update(), TipoErrore::Conflitto);
        QCOMPARE(a->istantanea(), prima);
        t->CancelUpdate();
        ATTESO_ERRORE(t->Delete(), TipoErrore::Conflitto);
    }

    // ---- SQL record sets ----

    void recordsetSqlInOrdineSql()
    {
        auto s = db->OpenRecordset("SELECT * FROM ANAGSOSTITUTI  order by cfs DESC, codazi");
        QList<Sost> attesi = SOSTITUTI;
        std::sort(attesi.begin(), attesi.end(), [](const Sost& x, const Sost& y) {
            return x.cfs != y.cfs ? x.cfs > y.cfs : x.codazi < y.codazi;
        });
        QVERIFY(s->RecordCount() >= 1);
        QVERIFY(!s->Bof() && !s->Eof());
        QStringList letti;
        while (!s->Eof()) {
            letti << s->Fields("codazi") + "/" + s->Fields("cfs");
            s->MoveNext();
        }
        QCOMPARE(letti, chiavi(attesi));
        ATTESO_ERRORE(s->MoveNext(), TipoErrore::NessunRecord);
        // Back to the start: read again.
        s->MoveFirst();
        QCOMPARE(s->Fields("CFS"), attesi.first().cfs);
        QCOMPARE(s->nomiCampi().size(), 12);

        auto f = db->OpenRecordset("SELECT * FROM frontespizio WHERE CODAZI = ?", {"002"});
        QCOMPARE(f->RecordCount(), 1L);
        QCOMPARE(f->Fields("cfd"), QString("RSSMRA50A01H501Z"));
        f->MoveFirst();
        QCOMPARE(f->Fields("fr_14"), QString("X"));
        auto v = db->OpenRecordset("SELECT * FROM frontespizio WHERE CODAZI = ?", {"999"});
        QVERIFY(v->Eof() && v->Bof());
        QCOMPARE(v->RecordCount(), 0L);
        ATTESO_ERRORE(db->OpenRecordset("DELETE FROM FRONTESPIZIO"), TipoErrore::Altro);
        QCOMPARE(a->conta("SELECT COUNT(*) FROM FRONTESPIZIO"), 2);
    }

    void recordsetSqlRichiaveLeRigheCheLegge()
    {
        // Section rows of substitute 101/BNCL... under two declarants, many
        // rows so the change runs across the whole read; neighbours that a
        // wider condition would hit.
        const QString vecchio = "BNCLCU75C43L219Y", nuovo = "BNCLCU75C43L219K";
        for (int i = 0; i < 40; ++i) {
            a->aggiungiRigaQuadro("QUADROLDIP2", "101", "01234567897", vecchio, {{"RIGO", i}, {"IMPORTO1", 1000 + i}, {"CFPERC", "P" + QString::number(i)}});
            a->aggiungiRigaQuadro("QUADROLDIP2", "101", "RSSMRA50A01H501Z", vecchio, {{"RIGO", i}, {"IMPORTO1", 5}});
        }
        a->aggiungiRigaQuadro("QUADROLDIP2", "102", "01234567897", vecchio, {{"RIGO", 1}});
        a->aggiungiRigaQuadro("QUADROLDIP2", "101", "01234567897", "ALTRO", {{"RIGO", 1}});
        const auto prima = a->righe("SELECT * FROM QUADROLDIP2 ORDER BY ID");

        // The key as the selection list gives it: padded to 16.
        auto s = db->OpenRecordset("SELECT * FROM quadroldip2 WHERE CODAZI = ? and CFD = ? and CFS = ?",
                                   {"101", CHIAVECF("01234567897"), CHIAVECF(vecchio)});
        QVERIFY(s->RecordCount() > 0);
        int riscritte = 0;
        while (!s->Eof()) {
            s->Edit();
            s->SetField("CFS", nuovo);
            s->Update();
            QCOMPARE(s->Fields("CFS"), nuovo);
            ++riscritte;
            s->MoveNext();
        }
        s->Close();
        QCOMPARE(riscritte, 40);

        const auto dopo = a->righe("SELECT * FROM QUADROLDIP2 ORDER BY ID");
        QCOMPARE(dopo.size(), prima.size());
        for (int i = 0; i < prima.size(); ++i) {
            QVariantMap atteso = prima[i];
            if (atteso["CODAZI"] == "101" && atteso["CFD"] == "01234567897" && atteso["CFS"] == vecchio)
                atteso["CFS"] = nuovo;
            QCOMPARE(dopo[i], atteso); // amounts, names and other rows untouched
        }
    }

    void nulliOrdinatiComeSuSqlite()
    {
        // The list by name: Nulls first, then empty texts, then the texts in
        // byte order (blanks and capitals before small letters), the same on
        // both engines.
        db->Execute("DELETE FROM ANAGSOSTITUTI");
        const QList<QPair<QString, QVariantList>> righe = {
            {"001", {"ROSSI", "MARIO"}}, {"002", {QVariant(), QVariant()}}, {"003", {"", ""}},
            {"004", {"ROSSI", QVariant()}}, {"005", {"rossi", "ANNA"}}, {"006", {" BETA", ""}},
            {"007", {"ROSSI", ""}},      {"008", {QVariant(), "ZETA"}},   {"009", {"ROSSI", "ANNA"}},
        };
        for (const auto& [codazi, nomi] : righe)
            a->aggiungiSostituto(codazi, "CF" + codazi, nomi);
        auto codici = [&](const QString& sql) {
            QStringList c;
            auto s = db->OpenRecordset(sql);
            for (; !s->Eof(); s->MoveNext())
                c << s->Fields("CODAZI");
            return c;
        };
        QCOMPARE(codici("SELECT * FROM ANAGSOSTITUTI  order by ASOST_1,ASOST_2"),
                 (QStringList{"002", "008", "003", "006", "004", "007", "009", "001", "005"}));
        // Descending: Nulls last, as SQLite puts them.
        QCOMPARE(codici("SELECT * FROM ANAGSOSTITUTI ORDER BY ASOST_1 DESC, ASOST_2 DESC, CODAZI"),
                 (QStringList{"005", "001", "009", "007", "004", "006", "003", "008", "002"}));
        // Where the text says where Nulls go, that holds; a sub-select's
        // order and a LIMIT are read as such.
        QCOMPARE(codici("SELECT * FROM ANAGSOSTITUTI WHERE CODAZI IN (SELECT CODAZI FROM ANAGSOSTITUTI "
                        "ORDER BY ASOST_2 DESC, CODAZI LIMIT 3) ORDER BY ASOST_2 NULLS LAST, CODAZI"),
                 (QStringList{"005", "001", "008"}));
        // Words and quotes that only look like an ORDER BY are left alone.
        QCOMPARE(codici("SELECT * FROM ANAGSOSTITUTI WHERE ASOST_1 <> 'order by x' -- order by\n"
                        "ORDER BY \"asost_1\", ASOST_2 LIMIT 2"),
                 (QStringList{"003", "006"}));
    }

    void recordsetSqlNonAggiornabile()
    {
        auto s = db->OpenRecordset("SELECT CODAZI, COUNT(*) AS N FROM ANAGSOSTITUTI GROUP BY CODAZI");
        ATTESO_ERRORE(s->Edit(), TipoErrore::Altro);
        auto j = db->OpenRecordset("SELECT * FROM ANAGSOSTITUTI, FRONTESPIZIO");
        ATTESO_ERRORE(j->Edit(), TipoErrore::Altro);
    }

    // ---- values with an apostrophe ----

    void apostrofiNeiCodici()
    {
        // A codice fiscale holding an apostrophe, shaped so that pasted into a
        // statement it would widen the condition to every row.
        const QString cattivo = "X' OR 'A'='A";
        a->aggiungiSostituto("300", cattivo, {"APOSTROFO"});
        a->aggiungiRigaQuadro("QUADROST", "300", "01234567897", cattivo, {{"RITENUTE", 1}});
        a->aggiungiRigaQuadro("QUADROST", "300", "01234567897", "VICINO", {{"RITENUTE", 2}});
        a->aggiungiRigaQuadro("QUADROST", "301", "01234567897", cattivo, {{"RITENUTE", 3}});

        auto t = db->OpenTable("ANAGSOSTITUTI");
        t->Seek("=", "300", CHIAVECF(cattivo));
        QVERIFY(!t->NoMatch());
        QCOMPARE(t->Fields("ASOST_1"), QString("APOSTROFO"));

        auto s = db->OpenRecordset("SELECT * FROM QUADROST WHERE CODAZI = ? and CFD = ? and CFS = ?",
                                   {"300", "01234567897", CHIAVECF(cattivo)});
        QCOMPARE(s->Fields("RITENUTE").toInt(), 1);
        s->Edit();
        s->SetField("CFS", "NUOVO'CF");
        s->Update();
        s->MoveNext();
        QVERIFY(s->Eof());
        s->Close();
        QCOMPARE(a->conta("SELECT COUNT(*) FROM QUADROST WHERE CFS = ?", {"NUOVO'CF"}), 1);
        QCOMPARE(a->conta("SELECT COUNT(*) FROM QUADROST WHERE CFS = 'VICINO'"), 1);

        // The older dialect's delete, values bound: only the row it names.
        QCOMPARE(db->Execute("delete * from QUADROST where  CODAZI = ? AND CFS = ?", {"301", CHIAVECF(cattivo)}), 1);
        QCOMPARE(db->Execute("delete * from QUADROST where  CODAZI = ? AND CFS = ?", {"300", CHIAVECF(cattivo)}), 0);
        QCOMPARE(a->conta("SELECT COUNT(*) FROM QUADROST"), 2);

        t->Delete();
        QCOMPARE(a->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI"), SOSTITUTI.size());
    }

    // ---- transactions ----

    void transazioni()
    {
        a->aggiungiPercettore("101", "PRC1", "UNO");
        a->aggiungiPercettore("102", "PRC2", "DUE");
        const QString prima = a->istantanea();

        db->BeginTrans();
        QVERIFY(db->inTransazione());
        ATTESO_ERRORE(db->BeginTrans(), TipoErrore::Altro);
        QCOMPARE(db->Execute("DELETE FROM PERCETTORI WHERE CODAZI = ?", {"101"}), 1);
        auto t = db->OpenTable("ANAGSOSTITUTI");
        t->Delete();
        db->Rollback();
        QVERIFY(!db->inTransazione());
        QCOMPARE(a->istantanea(), prima);
        ATTESO_ERRORE(db->Rollback(), TipoErrore::Altro);
        ATTESO_ERRORE(db->CommitTrans(), TipoErrore::Altro);

        // The guard rolls back when an exception leaves its scope.
        try {
            Transazione tr(*db);
            db->Execute("DELETE FROM PERCETTORI");
            throw std::runtime_error("interrotta");
        } catch (const std::runtime_error&) {
        }
        QVERIFY(!db->inTransazione());
        QCOMPARE(a->istantanea(), prima);

        {
            Transazione tr(*db);
            db->Execute("DELETE FROM PERCETTORI WHERE CODAZI = ?", {"102"});
            tr.commit();
        }
        QCOMPARE(a->conta("SELECT COUNT(*) FROM PERCETTORI"), 1);

        // Closing the database undoes an unfinished transaction.
        const QString dopo = a->istantanea();
        db->BeginTrans();
        db->Execute("DELETE FROM ANAGSOSTITUTI");
        db->Close();
        QCOMPARE(a->istantanea(), dopo);
    }

    void confermaImpeditaDaUnLettore()
    {
        SOLO_FILE("on the server a reader keeps its own view and never holds up a commit");
        // Another program is half-way through reading: the changes cannot be
        // made final; they stay pending until rolled back, nothing is lost.
        const QString prima = a->istantanea();
        auto altro = Database::OpenDatabase(a->luogoAnno(), breve);
        auto lettura = altro->OpenRecordset("SELECT * FROM ANAGSOSTITUTI");
        QVERIFY(!lettura->Eof());
        {
            Transazione tr(*db);
            QCOMPARE(db->Execute("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = ?", {"101"}), 2);
            const auto e = errore([&] { tr.commit(); });
            QVERIFY(e && e->tipo() == TipoErrore::Occupato);
            QVERIFY(db->inTransazione());
        }
        QVERIFY(!db->inTransazione());
        lettura->Close();
        QCOMPARE(a->istantanea(), prima);
    }

    void transazioneContesaDaUnAltroProgramma()
    {
        // Another program is writing: the transaction cannot start.
        auto altro = Database::OpenDatabase(a->luogoAnno(), breve);
        altro->BeginTrans();
        altro->Execute("DELETE FROM PERCETTORI");
        const auto e = errore([&] { db->BeginTrans(); });
        QVERIFY(e && e->tipo() == TipoErrore::Occupato);
        QVERIFY(!db->inTransazione());
        QVERIFY(e->messaggio().startsWith("Attenzione !!! L'archivio è in uso da un altro programma della procedura.\r"));
        QVERIFY(e->messaggio().contains("Riprovare fra qualche istante."));
        // Reading goes on meanwhile.
        auto t = db->OpenTable("ANAGSOSTITUTI");
        QVERIFY(!t->Eof());
        altro->Rollback();
        db->BeginTrans();
        db->CommitTrans();
    }

    void transazioneProsegueDopoUnaIstruzioneFallita()
    {
        // A statement that fails inside a transaction is undone alone: what
        // came before stays pending, what follows runs, and the commit
        // stores both (on the server too, where a failure would otherwise
        // spoil the whole transaction).
        a->aggiungiPercettore("101", "PRC1", "UNO");
        {
            Transazione tr(*db);
            QCOMPARE(db->Execute("DELETE FROM PERCETTORI WHERE CODAZI = ?", {"101"}), 1);
            auto t = db->OpenTable("ANAGSOSTITUTI");
            t->AddNew();
            t->SetField("CODAZI", "007");
            t->SetField("CFS", "12345678901");
            ATTESO_ERRORE(t->Update(), TipoErrore::Altro);
            t->CancelUpdate();
            ATTESO_ERRORE(db->Execute("DELETE FROM NONTABELLA"), TipoErrore::OggettoMancante);
            ATTESO_ERRORE(db->OpenRecordset("SELECT NONCAMPO FROM ANAGSOSTITUTI"), TipoErrore::OggettoMancante);
            t->Seek("=", "103", CHIAVECF("ZZZZZZ99Z99Z999Z"));
            t->Delete();
            tr.commit();
        }
        QVERIFY(!db->inTransazione());
        QCOMPARE(a->conta("SELECT COUNT(*) FROM PERCETTORI"), 0);
        QCOMPARE(a->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI WHERE CODAZI = '103'"), 0);
        QCOMPARE(a->conta("SELECT COUNT(*) FROM ANAGSOSTITUTI"), SOSTITUTI.size() - 1);
    }

    // ---- closing ----

    void chiusure()
    {
        auto t = db->OpenTable("ANAGSOSTITUTI");
        auto s = db->OpenRecordset("SELECT * FROM ANAGSOSTITUTI");
        auto s2 = db->OpenRecordset("SELECT * FROM ANAGSOSTITUTI");
        s2->Close();
        s2->Close();
        QVERIFY(!s2->isOpen());
        db->Close();
        db->Close();
        QVERIFY(!db->isOpen());
        // Record sets closed with their database: no crash, a clear error.
        QVERIFY(!t->isOpen() && !s->isOpen());
        QVERIFY(t->Eof() && s->Eof());
        ATTESO_ERRORE(t->Fields("CFS"), TipoErrore::Altro);
        ATTESO_ERRORE(s->MoveNext(), TipoErrore::Altro);
        ATTESO_ERRORE(db->Execute("DELETE FROM PERCETTORI"), TipoErrore::Altro);
        ATTESO_ERRORE(db->OpenTable("ANAGSOSTITUTI"), TipoErrore::Altro);
        t->Close();
        // The database object goes first, the record sets after it.
        db = Database::OpenDatabase(a->luogoAnno(), breve);
        auto t2 = db->OpenTable("ANAGSOSTITUTI");
        auto s3 = db->OpenRecordset("SELECT * FROM ANAGSOSTITUTI");
        db.reset();
        ATTESO_ERRORE(t2->MoveNext(), TipoErrore::Altro);
        t2.reset();
        s3.reset();
        // The file is free: another program may lock it at once.
        { auto blocco = a->blocca(true); }
    }

    void recordsetApertiNonBloccanoGliAltri()
    {
        // Table record sets left on a row, and an SQL one read to its end,
        // hold no lock between operations.
        auto t = db->OpenTable("ANAGSOSTITUTI");
        t->Seek("=", "101", CHIAVECF("VRDGPP70B02F205X"));
        auto f = db->OpenTable("FRONTESPIZIO");
        f->MoveLast();
        QCOMPARE(f->RecordCount(), 2L);
        auto s = db->OpenRecordset("SELECT * FROM PERCETTORI");
        QVERIFY(s->Eof());
        auto blocco = a->blocca(true);
        QVERIFY(blocco);
    }

    // ---- failures ----

    void archivioBloccato()
    {
        auto t = db->OpenTable("ANAGSOSTITUTI");
        auto blocco = a->blocca(true);
        ATTESO_ERRORE(t->Seek("=", "101", CHIAVECF("VRDGPP70B02F205X")), TipoErrore::Occupato);
        ATTESO_ERRORE(t->MoveFirst(), TipoErrore::Occupato);
        ATTESO_ERRORE(db->OpenRecordset("SELECT * FROM ANAGSOSTITUTI"), TipoErrore::Occupato);
        ATTESO_ERRORE(db->Execute("DELETE FROM PERCETTORI"), TipoErrore::Occupato);
        ATTESO_ERRORE(db->BeginTrans(), TipoErrore::Occupato);
        QVERIFY(!db->inTransazione());
        if (a->suServer()) {
            // The server lets a database be opened whatever its tables'
            // locks: the first read waits and gives up.
            auto altro = Database::OpenDatabase(a->luogoAnno(), breve);
            ATTESO_ERRORE(altro->OpenTable("FRONTESPIZIO"), TipoErrore::Occupato);
        } else {
            ATTESO_ERRORE(Database::OpenDatabase(a->luogoAnno(), breve), TipoErrore::Occupato);
        }
        blocco.reset();
        t->Seek("=", "101", CHIAVECF("VRDGPP70B02F205X"));
        QVERIFY(!t->NoMatch());

        // Another program writing: reads go on, writes wait for it and give
        // up with Occupato, nothing changed.
        const QString prima = a->istantanea();
        blocco = a->blocca(false);
        t->Seek("=", "102", CHIAVECF("BNCLCU75C43L219Y"));
        QVERIFY(!t->NoMatch());
        QCOMPARE(db->OpenRecordset("SELECT * FROM ANAGSOSTITUTI")->RecordCount() > 0, true);
        t->Edit();
        t->SetField("ASOST_1", "NUOVO");
        ATTESO_ERRORE(t->Update(), TipoErrore::Occupato);
        t->CancelUpdate();
        ATTESO_ERRORE(db->Execute("DELETE FROM PERCETTORI"), TipoErrore::Occupato);
        ATTESO_ERRORE(db->BeginTrans(), TipoErrore::Occupato);
        blocco.reset();
        QCOMPARE(a->istantanea(), prima);
        db->Execute("DELETE FROM PERCETTORI");
    }

    void fileMancanteONonArchivio()
    {
        SOLO_FILE("about files");
        db.reset();
        const QString mancante = a->cartella() + "/NONCE.MDB";
        const auto e = errore([&] { Database::OpenDatabase(mancante, breve); });
        QVERIFY(e && e->tipo() == TipoErrore::NonApribile);
        QVERIFY(e->messaggio().contains(mancante));
        QVERIFY(!QFileInfo::exists(mancante)); // never created

        const QString spazzatura = a->cartella() + "/SPAZZATURA.MDB";
        {
            QFile f(spazzatura);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(8192, 'x'));
        }
        ATTESO_ERRORE(Database::OpenDatabase(spazzatura, breve), TipoErrore::Danneggiato);

        const QString vuoto = a->cartella() + "/VUOTO.MDB";
        {
            QFile f(vuoto);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        ATTESO_ERRORE(Database::OpenDatabase(vuoto, breve), TipoErrore::Danneggiato);
        QCOMPARE(QFileInfo(vuoto).size(), 0); // left as it was

        // The template cut short: its catalogue page survives, its tables do not.
        const QString tronco = a->cartella() + "/TRONCO.MDB";
        QVERIFY(QFile::copy(a->percorsoAnno(), tronco));
        {
            QFile f(tronco);
            QVERIFY(f.resize(f.size() / 3));
        }
        const auto e2 = errore([&] {
            auto d = Database::OpenDatabase(tronco, breve);
            for (const QString& tabella : QStringList{"FRONTESPIZIO", "ANAGSOSTITUTI", "TABMIN_PROV"}) {
                auto t = d->OpenTable(tabella);
                t->MoveLast();
                t->RecordCount();
            }
        });
        QVERIFY(e2.has_value());
        QVERIFY2(e2->tipo() == TipoErrore::Danneggiato, e2->what());
    }

    void databaseMancanteONonArchivio()
    {
        SOLO_SERVER();
        db.reset();
        const Luogo mancante = Luogo::server(a->server(), a->prefisso() + "nonce");
        const auto e = errore([&] { Database::OpenDatabase(mancante, breve); });
        QVERIFY(e && e->tipo() == TipoErrore::NonApribile);
        QVERIFY2(e->messaggio().contains(mancante.descrizione()), qPrintable(e->messaggio()));
        QCOMPARE(presenza(mancante), Presenza::Assente); // never created

        // A database of the server that holds no tables is no archive.
        const Luogo vuoto = Luogo::server(a->server(), a->prefisso() + "vuoto");
        a->setArchivio(Luogo::server(a->server(), QString()));
        a->esegui("CREATE DATABASE " + vuoto.nome());
        QCOMPARE(presenza(vuoto), Presenza::Presente);
        ATTESO_ERRORE(Database::OpenDatabase(vuoto, breve), TipoErrore::Danneggiato);

        // One that the user may not connect to is there, but not accessible.
        a->esegui("ALTER DATABASE " + vuoto.nome() + " ALLOW_CONNECTIONS false");
        QCOMPARE(presenza(vuoto), Presenza::Inaccessibile);
        a->setArchivio(a->luogoAnno());
    }

    void serverIrraggiungibileOAccessoNegato()
    {
        SOLO_SERVER();
        // Nobody listens on port 1: not reachable, said at once.
        const Luogo spento = Luogo::server("host=127.0.0.1 port=1 user=anagsost", "s7702004");
        auto e = errore([&] { Database::OpenDatabase(spento, breve); });
        QVERIFY(e && e->tipo() == TipoErrore::NonApribile);
        QVERIFY2(e->messaggio().contains("Impossibile accedere all'archivio"), qPrintable(e->messaggio()));
        QVERIFY(e->messaggio().contains(spento.descrizione()));
        e = errore([&] { presenza(spento); });
        QVERIFY(e && e->tipo() == TipoErrore::NonApribile);

        // A user the password file knows nothing about: refused.
        QString estraneo = a->server();
        estraneo.replace(QRegularExpression("user=\\S+"), "user=estraneo");
        QVERIFY(estraneo.contains("user=estraneo"));
        e = errore([&] { Database::OpenDatabase(Luogo::server(estraneo, a->nomeAnno()), breve); });
        QVERIFY(e && e->tipo() == TipoErrore::AccessoNegato);
        QVERIFY2(e->messaggio().contains("non consente l'accesso"), qPrintable(e->messaggio()));
        e = errore([&] { presenza(Luogo::server(estraneo, a->nomeAnno())); });
        QVERIFY(e && e->tipo() == TipoErrore::AccessoNegato);
    }

    void stringaDelServer_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("motivo"); // a word of the reason; empty: accepted
        QTest::newRow("plain") << "host=127.0.0.1 port=55432 user=anagsost" << "";
        QTest::newRow("blanks around =") << "host = db.studio.local  user = mario" << "";
        QTest::newRow("quoted value") << "host=server user='mario rossi' sslmode=require" << "";
        QTest::newRow("escaped quote") << "host=server user='d\\'amico'" << "";
        QTest::newRow("password") << "host=server user=mario password=segreta" << "password";
        QTest::newRow("password quoted") << "host=server PASSWORD='x y'" << "password";
        QTest::newRow("database name") << "host=server dbname=altro" << "database";
        QTest::newRow("uri") << "postgresql://mario@server/s7702004" << "chiave=valore";
        QTest::newRow("semicolon") << "host=server;user=mario" << ";";
        QTest::newRow("no value sign") << "host server" << "chiave=valore";
        QTest::newRow("open quote") << "host='server" << "apice";
        QTest::newRow("empty") << "   " << "server";
    }
    void stringaDelServer()
    {
        QFETCH(QString, server);
        QFETCH(QString, motivo);
        const QString esito = controllaServer(server);
        if (motivo.isEmpty())
            QVERIFY2(esito.isEmpty(), qPrintable(esito));
        else
            QVERIFY2(esito.contains(motivo), qPrintable(esito));
    }

    void erroriDelServer_data()
    {
        // The server's failures that a test cannot provoke at will (a full
        // disk, a lost connection), and messages in the server's own language.
        QTest::addColumn<QString>("codice");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("oggetto");
        auto riga = [](const char* nome, const char* codice, const char* testo, TipoErrore tipo, const char* oggetto = "") {
            QTest::newRow(nome) << QString(codice) << QString::fromUtf8(testo) << int(tipo) << QString::fromUtf8(oggetto);
        };
        riga("disk full", "53100", "ERROR:  could not extend file \"base/16384/16385\": No space left on device",
             TipoErrore::DiscoPieno);
        riga("serialization", "40001", "ERROR:  could not serialize access due to concurrent update", TipoErrore::Occupato);
        riga("deadlock", "40P01", "ERROR:  deadlock detected", TipoErrore::Occupato);
        riga("lock timeout", "55P03", "ERROR:  canceling statement due to lock timeout", TipoErrore::Occupato);
        riga("in use", "55006", "ERROR:  source database \"sq47xxxx\" is being accessed by other users",
             TipoErrore::Occupato);
        riga("read-only", "25006", "ERROR:  cannot execute UPDATE in a read-only transaction", TipoErrore::SolaLettura);
        riga("password", "28P01", "FATAL:  password authentication failed for user \"mario\"",
             TipoErrore::AccessoNegato);
        riga("no rights", "42501", "ERROR:  permission denied for table anagsostituti", TipoErrore::AccessoNegato);
        riga("connection lost", "08006", "FATAL:  terminating connection", TipoErrore::NonApribile);
        riga("shut down", "57P01", "FATAL:  terminating connection due to administrator command",
             TipoErrore::NonApribile);
        riga("corrupted", "XX001", "ERROR:  invalid page in block 3 of relation base/1/2", TipoErrore::Danneggiato);
        riga("missing table, in Italian", "42P01", "ERRORE:  la relazione \"nontabella\" non esiste",
             TipoErrore::OggettoMancante, "la tabella NONTABELLA");
        riga("missing column", "42703", "ERROR:  column \"asost_11\" does not exist", TipoErrore::OggettoMancante,
             "il campo ASOST_11");
        riga("duplicate key", "23505",
             "ERROR:  duplicate key value violates unique constraint \"tabmin_prov_chiave\"\n"
             "DETAIL:  Key (codprov)=(RM) already exists.",
             TipoErrore::Altro, "Esiste già un record con la stessa chiave (TABMIN_PROV.CODPROV).");
        riga("missing value", "23502",
             "ERROR:  null value in column \"cfs\" of relation \"anagsostituti\" violates not-null constraint",
             TipoErrore::Altro, "Manca un dato obbligatorio (ANAGSOSTITUTI.CFS).");
        riga("too long", "22001", "ERROR:  value too long for type character(16)", TipoErrore::Altro, "più lungo");
    }
    void erroriDelServer()
    {
        QFETCH(QString, codice);
        QFETCH(QString, testo);
        QFETCH(int, tipo);
        QFETCH(QString, oggetto);
        const interno::MotorePostgreSql motore;
        const ErroreArchivio e =
            motore.classifica(QSqlError("QPSQL: Unable to create query", testo, QSqlError::StatementError, codice), {});
        QCOMPARE(int(e.tipo()), tipo);
        if (!oggetto.isEmpty())
            QVERIFY2(e.oggetto().contains(oggetto), qPrintable(e.oggetto()));
        QVERIFY(e.dettaglio().contains(testo.section('\n', 0, 0)));
    }

    void connessioneRifiutataONonRiuscita_data()
    {
        // libpq's own words when a connection fails (no SQLSTATE).
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("tipo");
        const QString inizio = "connection to server at \"db\" (10.0.0.1), port 5432 failed: ";
        QTest::newRow("wrong password") << inizio + "FATAL:  password authentication failed for user \"mario\""
                                        << int(TipoErrore::AccessoNegato);
        QTest::newRow("no password") << inizio + "fe_sendauth: no password supplied" << int(TipoErrore::AccessoNegato);
        QTest::newRow("not allowed") << inizio + "FATAL:  no pg_hba.conf entry for host \"10.0.0.2\", user \"mario\""
                                     << int(TipoErrore::AccessoNegato);
        QTest::newRow("no database") << inizio + "FATAL:  database \"s7702004\" does not exist"
                                     << int(TipoErrore::NonApribile);
        QTest::newRow("refused") << inizio + "Connection refused\n\tIs the server running on that host?"
                                 << int(TipoErrore::NonApribile);
        QTest::newRow("unknown host") << "could not translate host name \"db\" to address: Name or service not known"
                                      << int(TipoErrore::NonApribile);
    }
    void connessioneRifiutataONonRiuscita()
    {
        QFETCH(QString, testo);
        QFETCH(int, tipo);
        const interno::MotorePostgreSql motore;
        const Luogo luogo = Luogo::server("host=db user=mario", "s7702004");
        const ErroreArchivio e = motore.classificaApertura(
            QSqlError("QPSQL: Unable to connect", testo, QSqlError::ConnectionError), luogo);
        QCOMPARE(int(e.tipo()), tipo);
        QCOMPARE(e.oggetto(), luogo.descrizione());
    }

    void ordineDeiNulliNelTesto_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("atteso");
        QTest::newRow("list by name") << "SELECT * FROM ANAGSOSTITUTI  order by ASOST_1,ASOST_2"
                                      << "SELECT * FROM ANAGSOSTITUTI  order by ASOST_1 NULLS FIRST,ASOST_2 NULLS FIRST";
        QTest::newRow("descending, limit") << "SELECT * FROM T ORDER BY A DESC, B ASC LIMIT 1"
                                           << "SELECT * FROM T ORDER BY A DESC NULLS LAST, B ASC NULLS FIRST LIMIT 1";
        QTest::newRow("said already") << "SELECT * FROM T ORDER BY A NULLS LAST, B DESC NULLS FIRST"
                                      << "SELECT * FROM T ORDER BY A NULLS LAST, B DESC NULLS FIRST";
        QTest::newRow("window") << "SELECT row_number() OVER (ORDER BY A DESC) FROM T"
                                << "SELECT row_number() OVER (ORDER BY A DESC NULLS LAST) FROM T";
        QTest::newRow("aggregate and outer")
            << "SELECT string_agg(A, ',' ORDER BY B) FROM T ORDER BY 1"
            << "SELECT string_agg(A, ',' ORDER BY B NULLS FIRST) FROM T ORDER BY 1 NULLS FIRST";
        QTest::newRow("texts and comments") << "SELECT 'ORDER BY A' FROM T /* ORDER BY B */ -- ORDER BY C\n"
                                            << "SELECT 'ORDER BY A' FROM T /* ORDER BY B */ -- ORDER BY C\n";
        QTest::newRow("expression, semicolon")
            << "SELECT \"order by\" FROM T ORDER BY CASE WHEN A IS NULL THEN 1 END DESC;"
            << "SELECT \"order by\" FROM T ORDER BY CASE WHEN A IS NULL THEN 1 END DESC NULLS LAST;";
        QTest::newRow("comment after") << "SELECT * FROM T ORDER BY A -- the list\n"
                                       << "SELECT * FROM T ORDER BY A NULLS FIRST -- the list\n";
        QTest::newRow("function, lock") << "SELECT * FROM T WHERE X = 'it''s' ORDER BY f(A, B) FOR UPDATE"
                                        << "SELECT * FROM T WHERE X = 'it''s' ORDER BY f(A, B) NULLS FIRST FOR UPDATE";
        QTest::newRow("union") << "(SELECT A FROM T ORDER BY A) UNION (SELECT B FROM U)"
                               << "(SELECT A FROM T ORDER BY A NULLS FIRST) UNION (SELECT B FROM U)";
        QTest::newRow("none") << "SELECT * FROM T WHERE ORDERED = 1" << "SELECT * FROM T WHERE ORDERED = 1";
    }
    void ordineDeiNulliNelTesto()
    {
        QFETCH(QString, sql);
        QFETCH(QString, atteso);
        QCOMPARE(interno::nulliComeSqlite(sql), atteso);
    }

    void nomiSulServer()
    {
        QCOMPARE(nomeSuServer("S7702004.MDB"), QString("s7702004"));
        QCOMPARE(nomeSuServer("SQ47XXXX.MDB", "studio_rossi_"), QString("studio_rossi_sq47xxxx"));
        QCOMPARE(controllaPrefisso(""), QString());
        QCOMPARE(controllaPrefisso("prova_1_"), QString());
        for (const char* sbagliato : {"Studio", "1studio", "studio-rossi", "studio rossi", "\"x\"",
                                      "abcdefghijklmnopqrstuvwxyzabcdefghijklmno"})
            QVERIFY2(!controllaPrefisso(sbagliato).isEmpty(), sbagliato);
        QCOMPARE(Luogo::file("/a/S7702004.MDB").descrizione(), QString("/a/S7702004.MDB"));
        QVERIFY(!Luogo::file("/a/S7702004.MDB").suServer());
        const Luogo l = Luogo::server(" host=x ", "s7702004");
        QVERIFY(l.suServer());
        QCOMPARE(l.descrizione(), QString("s7702004 (server host=x)"));
        QCOMPARE(l.percorso(), QString());
    }

    void oggettiMancanti()
    {
        const auto e = errore([&] { db->OpenTable("NONTABELLA"); });
        QVERIFY(e && e->tipo() == TipoErrore::OggettoMancante);
        QVERIFY(e->messaggio().contains("NONTABELLA"));
        QVERIFY(e->messaggio().contains("non è stata eseguita"));
        ATTESO_ERRORE(db->OpenRecordset("SELECT * FROM NONTABELLA"), TipoErrore::OggettoMancante);
        ATTESO_ERRORE(db->OpenRecordset("SELECT NONCAMPO FROM ANAGSOSTITUTI"), TipoErrore::OggettoMancante);
        ATTESO_ERRORE(db->Execute("DELETE FROM NONTABELLA"), TipoErrore::OggettoMancante);
        // Section tables have no "CHIAVE": not table-type record sets.
        ATTESO_ERRORE(db->OpenTable("QUADROLDIP1"), TipoErrore::OggettoMancante);
        QVERIFY(db->esisteTabella("quadroldip1"));
        QVERIFY(!db->esisteTabella("NONTABELLA"));

        db.reset();
        a->esegui("DROP INDEX ANAGSOSTITUTI_CHIAVE");
        db = Database::OpenDatabase(a->luogoAnno(), breve);
        const auto e2 = errore([&] { db->OpenTable("ANAGSOSTITUTI"); });
        QVERIFY(e2 && e2->tipo() == TipoErrore::OggettoMancante);
        QVERIFY(e2->messaggio().contains("CHIAVE"));
    }

    void solaLettura()
    {
        // A connection that may not write: the engine's refusal is read-only.
        db->Execute(a->suServer() ? "SET default_transaction_read_only = on" : "PRAGMA query_only = 1");
        const QString prima = a->istantanea();
        const auto e = errore([&] { db->Execute("DELETE FROM PERCETTORI"); });
        QVERIFY(e && e->tipo() == TipoErrore::SolaLettura);
        QVERIFY(e->messaggio().contains("Nessun dato è stato registrato."));
        auto t = db->OpenTable("ANAGSOSTITUTI");
        t->Edit();
        t->SetField("ASOST_1", "X");
        ATTESO_ERRORE(t->Update(), TipoErrore::SolaLettura);
        QCOMPARE(a->istantanea(), prima);
        db.reset();

        SOLO_FILE("file permissions");
#ifdef Q_OS_UNIX
        if (geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
#else
        QSKIP("file permissions are checked on Unix only");
#endif
        QFile file(a->percorsoAnno());
        const auto permessi = file.permissions();
        QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        const auto e2 = errore([&] { Database::OpenDatabase(a->luogoAnno(), breve); });
        QVERIFY(file.setPermissions(permessi));
        QVERIFY(e2 && e2->tipo() == TipoErrore::SolaLettura);
        QVERIFY(e2->messaggio().contains(a->percorsoAnno()));

        QFile cartella(a->cartella());
        const auto permessiCartella = QFileInfo(a->cartella()).permissions();
        QVERIFY(cartella.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const auto e3 = errore([&] { Database::OpenDatabase(a->luogoAnno(), breve); });
        QVERIFY(cartella.setPermissions(permessiCartella));
        QVERIFY(e3 && e3->tipo() == TipoErrore::SolaLettura);
    }

    void messaggiPerOgniErrore()
    {
        // Every kind has its own text, in lines, saying what became of the
        // operation.
        const QList<TipoErrore> tipi = {TipoErrore::Occupato,      TipoErrore::SolaLettura,    TipoErrore::DiscoPieno,
                                        TipoErrore::Danneggiato,   TipoErrore::NonApribile,    TipoErrore::AccessoNegato,
                                        TipoErrore::OggettoMancante, TipoErrore::NessunRecord, TipoErrore::Conflitto,
                                        TipoErrore::Altro};
        QSet<QString> testi;
        for (TipoErrore t : tipi) {
            const QString m = ErroreArchivio(t, "dettaglio tecnico", {}).messaggio();
            QVERIFY(m.startsWith("Attenzione !!! "));
            QVERIFY(m.contains('\r'));
            QVERIFY(!m.contains('\n'));
            QVERIFY2(m.contains("non è stata eseguita") || m.contains("Nessun dato è stato registrato"), qPrintable(m));
            testi.insert(m.section('\r', 0, 0));
        }
        QCOMPARE(testi.size(), tipi.size());
        QCOMPARE(ErroreArchivio(TipoErrore::Occupato, {}).messaggio().section('\r', 0, 0),
                 QString("Attenzione !!! L'archivio è in uso da un altro programma della procedura."));
    }

    // An archive named like a file of the folder, on the test's engine.
    Luogo altroArchivio(const QString& nome) const
    {
        return a->suServer() ? Luogo::server(a->server(), nomeSuServer(nome + ".MDB", a->prefisso()))
                             : Luogo::file(a->cartella() + "/" + nome + ".MDB");
    }

    void creazioneArchivio()
    {
        ATTESO_ERRORE(creaArchivioVuoto(a->luogoAnno()), TipoErrore::Altro);
        const Luogo nuovo = altroArchivio("NUOVO");
        creaArchivioVuoto(nuovo);
        auto d = Database::OpenDatabase(nuovo, breve);
        for (const QString& t : QStringList{"FRONTESPIZIO", "ANAGSOSTITUTI", "TABMIN_PROV", "QUADROLDIP1", "QUADROLDIP2",
                                 "QUADROLDIP3", "QUADROLDIP4", "QUADROLAUT", "QUADROST", "PERCETTORI"}) {
            QVERIFY2(d->esisteTabella(t), qPrintable(t));
            QCOMPARE(d->OpenRecordset("SELECT * FROM " + t)->RecordCount(), 0L);
        }
        QVERIFY(testoSchema().contains("COLLATE RTRIM"));
        QVERIFY(testoSchemaServer().contains("CFS      CHAR(16) NOT NULL"));
        QCOMPARE(istruzioniSchemaServer().size(), istruzioniSchema().size());
        // A filler that fails leaves nothing behind.
        const Luogo fallito = altroArchivio("FALLITO");
        ATTESO_ERRORE(creaArchivio(fallito, [](Database& x) { x.Execute("INSERT INTO NONTABELLA VALUES (1)"); }),
                      TipoErrore::OggettoMancante);
        QCOMPARE(presenza(fallito), Presenza::Assente);
        QCOMPARE(QDir(a->cartella()).entryList({"*.tmp*"}, QDir::Files), QStringList());
        if (a->suServer()) {
            // Nor a half-built database under its temporary name.
            a->setArchivio(Luogo::server(a->server(), QString()));
            QCOMPARE(a->conta("SELECT COUNT(*) FROM pg_database WHERE datname LIKE 'anagsost\\_nuovo\\_%' "
                              "AND NOT EXISTS (SELECT 1 FROM pg_stat_activity WHERE datname LIKE 'anagsost\\_nuovo\\_%')"),
                     0);
            a->setArchivio(a->luogoAnno());
        }
    }

    void creazioneDalModello()
    {
        // The year's archive made from the template holds exactly what the
        // template holds; it is never made twice, nor from a missing template.
        QCOMPARE(presenza(a->luogoTemplate()), Presenza::Presente);
        const Luogo copia = altroArchivio("COPIA");
        QCOMPARE(presenza(copia), Presenza::Assente);
        creaDaModello(a->luogoTemplate(), copia);
        QCOMPARE(presenza(copia), Presenza::Presente);
        a->setArchivio(a->luogoTemplate());
        const QString modello = a->istantanea();
        a->setArchivio(copia);
        QCOMPARE(a->istantanea(), modello);
        QVERIFY(modello.contains("'STATO ESTERO'"));
        a->esegui("DELETE FROM TABMIN_PROV WHERE codprov = 'EE'");
        const auto e = errore([&] { creaDaModello(a->luogoTemplate(), copia); });
        QVERIFY(e && e->tipo() == TipoErrore::Altro);
        QVERIFY2(e->messaggio().contains("esiste già"), qPrintable(e->messaggio()));
        QCOMPARE(a->conta("SELECT COUNT(*) FROM TABMIN_PROV WHERE codprov = 'EE'"), 0);
        const Luogo altra = altroArchivio("ALTRA");
        ATTESO_ERRORE(creaDaModello(altroArchivio("NONCE"), altra), TipoErrore::OggettoMancante);
        QCOMPARE(presenza(altra), Presenza::Assente);
        ATTESO_ERRORE(creaDaModello(Luogo::file(a->percorsoTemplate()), Luogo::server("host=x", "y")),
                      TipoErrore::Altro);
        a->setArchivio(a->luogoAnno());

        if (a->suServer()) {
            // Somebody connected to the template: the server refuses to copy
            // it (after a wait of its own), and says it is in use.
            auto sulModello = Database::OpenDatabase(a->luogoTemplate(), breve);
            ATTESO_ERRORE(creaDaModello(a->luogoTemplate(), altra), TipoErrore::Occupato);
            QCOMPARE(presenza(altra), Presenza::Assente);
        }
    }
};

QTEST_GUILESS_MAIN(TestArchivio)
#include "tst_store.moc"
