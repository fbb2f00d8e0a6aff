// The export of the list as shown and the rows of its print: every field of
// each substitute named, in the list's order, read back from the file field
// by field; a file that cannot be written, an archive that cannot be read.
#include "registroprova.h"

#include "registry/esporta.h"
#include "registry/stampa.h"
#include "support/csvprova.h"

#include <QFile>
#include <csignal>
#include <sys/resource.h>
#include <QTemporaryDir>

using namespace registro;

namespace {

// Substitutes whose texts need quoting or keep what a spreadsheet must show:
// a semicolon, quotes, a line break, accents, Null and empty fields, a stored
// date that is no date, a company code stored without its zeros.
struct Riga {
    QString codazi, cfs;
    QVariantList asost;
};
const QVariant NULLO;
const QList<Riga> RIGHE = {
    {"101", "RSSMRA75M15H501X",
     {"ROSSI", "MARIO", "M", "19750815", "ROMA", "RM", "MILANO", "MI", "VIA ROMA 1; SCALA B", "001"}},
    {"102", "12345678903", {"\"LA TORRE\" SRL", "", "", "00000000", "", "", "FORL\u00cc", "FC", "VIA \"NUOVA\" 3", "001"}},
    {"103", "DLLMRC66P30D612S",
     {"DELL'ACQUA", NULLO, "M", NULLO, "CITT\u00c0 DI CASTELLO", "PG", NULLO, "", "VIA PO 1\r\nINTERNO 4", NULLO}},
    {"7", "BNCLRA80A41F205Y", {"  BIANCHI ", "LAURA ", "F", "19800231", "MILANO", "MI", "", "", "", "2"}},
};

// Every field of a row as the file must hold it, in the heading's order.
const QList<QStringList> ATTESI = {
    {"101", "RSSMRA75M15H501X", "ROSSI", "MARIO", "M", "15/08/1975", "ROMA", "RM", "MILANO", "MI",
     "VIA ROMA 1; SCALA B", "001"},
    {"102", "12345678903", "\"LA TORRE\" SRL", "", "", "", "", "", "FORL\u00cc", "FC", "VIA \"NUOVA\" 3", "001"},
    {"103", "DLLMRC66P30D612S", "DELL'ACQUA", "", "M", "", "CITT\u00c0 DI CASTELLO", "PG", "", "", "VIA PO 1\r\nINTERNO 4",
     ""},
    {"7", "BNCLRA80A41F205Y", "BIANCHI", "LAURA", "F", "19800231", "MILANO", "MI", "", "", "", "2"},
};

std::vector<ChiaveSostituto> chiaviDi(const QList<int>& indici)
{
    std::vector<ChiaveSostituto> chiavi;
    for (const int i : indici)
        chiavi.push_back({RIGHE.at(i).codazi, RIGHE.at(i).cfs});
    return chiavi;
}

QStringList fileDi(const QString& cartella)
{
    return QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestRegistroEsporta : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;
    QTemporaryDir cartella;

private slots:
    void initTestCase() { RICHIEDI_MOTORE_PROVA(); }
    void init()
    {
        a = annoVuoto();
        for (const Riga& r : RIGHE)
            a->aggiungiSostituto(r.codazi, r.cfs, r.asost);
        a->aggiungiSostituto("120", "VRDGPP70A01F205X", {"VERDI"}); // in the archive, not in the list
    }
    void cleanup() { a.reset(); }

    void fileLettoCampoPerCampo()
    {
        // Out of the archive's order, one substitute of the list gone meanwhile, the rest left out.
        RegistroProva r(*a);
        std::vector<ChiaveSostituto> chiavi = chiaviDi({3, 1, 0, 2});
        chiavi.insert(chiavi.begin() + 2, {"999", "SPRTTO80A01H501X"});
        const QString percorso = cartella.filePath("elenco.csv");
        const EsitoEsportazione esito = esporta(*r.db, chiavi, percorso);
        QCOMPARE(int(esito.tipo), int(EsitoEsportazione::Tipo::Scritto));
        QCOMPARE(esito.scritti, 4);
        QCOMPARE(esito.mancanti, 1);
        QCOMPARE(esito.messaggio, "Esportazione effettuata\r\r4 anagrafiche sostituti scritte nel file\r"
                                      + QDir::toNativeSeparators(percorso)
                                      + "\r\r1 anagrafiche dell'elenco non sono più in archivio e non sono state "
                                        "scritte.");

        QFile file(percorso);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray contenuto = file.readAll();
        QVERIFY(contenuto.startsWith("\xEF\xBB\xBF" "Codice azienda;Codice fiscale;"));
        const QList<QStringList> righe = leggiCsv(contenuto);
        QCOMPARE(righe.size(), 5);
        QCOMPARE(righe.at(0), intestazioneCsv());
        QCOMPARE(righe.at(0).size(), 12);
        const QList<int> ordine = {3, 1, 0, 2};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(righe.at(i + 1), ATTESI.at(ordine.at(i)));
        // Quoted only where a field needs it; rows end with CR LF.
        QVERIFY(contenuto.contains("\r\n102;12345678903;\"\"\"LA TORRE\"\" SRL\";;;;;;FORL\xC3\x8C;FC;"));
        QVERIFY(contenuto.contains("\r\n101;RSSMRA75M15H501X;ROSSI;MARIO;M;15/08/1975;ROMA;RM;MILANO;MI;"
                                   "\"VIA ROMA 1; SCALA B\";001\r\n"));
        QVERIFY(contenuto.endsWith(";\"VIA PO 1\r\nINTERNO 4\";\r\n"));
    }

    // The file cannot be written: told why; nothing left behind, and a file already there (a read-only folder, a
    // disk that fills up) keeps what it holds.
    void fileNonScrivibile_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<QString>("causa");
        QTest::newRow("folder missing") << "manca/elenco.csv"
                                        << "La cartella non esiste o non si hanno i permessi per scrivervi.";
        QTest::newRow("a folder with the file's name") << "cartella" << "Il nome scelto è quello di una cartella.";
        QTest::newRow("folder read only") << "sola lettura"
                                          << "La cartella non esiste o non si hanno i permessi per scrivervi.";
        QTest::newRow("disk full while writing")
            << "disco pieno" << "La scrittura si è interrotta: il disco potrebbe essere pieno o non più raggiungibile.";
    }
    void fileNonScrivibile()
    {
        SOLO_FILE("the files written are the same on either engine");
        QFETCH(QString, caso);
        QFETCH(QString, causa);
        QTemporaryDir dove;
        const QString percorso = dove.filePath(caso == "manca/elenco.csv" ? caso : "elenco.csv");
        if (caso == "cartella") {
            QVERIFY(QDir(dove.path()).mkdir("elenco.csv"));
        } else if (caso != "manca/elenco.csv") {
            QFile vecchio(percorso);
            QVERIFY(vecchio.open(QIODevice::WriteOnly));
            vecchio.write("vecchio");
        }
        if (caso == "sola lettura") {
            QVERIFY(QFile::setPermissions(dove.path(), QFile::ReadOwner | QFile::ExeOwner));
            if (QFile(dove.filePath("prova")).open(QIODevice::WriteOnly)) {
                QFile::setPermissions(dove.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                QSKIP("this user writes into read-only folders (root)");
            }
        }
        const QStringList prima = fileDi(dove.path());
        RegistroProva r(*a);
        // A disk that fills up: no file of this process may grow past 300 bytes.
        rlimit limite{};
        getrlimit(RLIMIT_FSIZE, &limite);
        const rlimit senzaLimite = limite;
        if (caso == "disco pieno") {
            signal(SIGXFSZ, SIG_IGN);
            limite.rlim_cur = 300;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limite), 0);
        }
        const EsitoEsportazione esito = esporta(*r.db, chiaviDi({0, 1, 2, 3}), percorso);
        setrlimit(RLIMIT_FSIZE, &senzaLimite);
        QFile::setPermissions(dove.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(int(esito.tipo), int(EsitoEsportazione::Tipo::NonScritto));
        QCOMPARE(esito.messaggio, "Impossibile scrivere il file\r" + QDir::toNativeSeparators(percorso) + "\r\r" + causa
                                      + "\r\rL'esportazione non è stata eseguita: nessun file è stato scritto o "
                                        "modificato.");
        QCOMPARE(fileDi(dove.path()), prima);
        QFile vecchio(percorso);
        if (vecchio.open(QIODevice::ReadOnly))
            QCOMPARE(vecchio.readAll(), QByteArray("vecchio"));
    }

    void archivioNonLeggibile()
    {
        // The archive locked by another program: refused, and no file at all.
        RegistroProva r(*a);
        const auto blocco = a->blocca(true);
        const QString percorso = cartella.filePath("bloccato.csv");
        const EsitoEsportazione esito = esporta(*r.db, chiaviDi({0}), percorso);
        QCOMPARE(int(esito.tipo), int(EsitoEsportazione::Tipo::Rifiutato));
        QVERIFY(esito.errore.has_value());
        QVERIFY(!QFile::exists(percorso));
    }

    void righeDellaStampa()
    {
        // The printed columns: the name whole, birth and domicile with what there is.
        RegistroProva r(*a);
        std::vector<ChiaveSostituto> chiavi = chiaviDi({2, 0, 3, 1});
        chiavi.insert(chiavi.begin() + 1, {"999", "SPRTTO80A01H501X"});
        QList<QStringList> righe;
        for (const RigaStampa& riga : righeStampa(*r.db, chiavi))
            righe << riga.colonne();
        const QList<QStringList> attese = {
            {"103", "DLLMRC66P30D612S", "DELL'ACQUA", "CITT\u00c0 DI CASTELLO (PG)", "VIA PO 1\nINTERNO 4"},
            {"101", "RSSMRA75M15H501X", "ROSSI MARIO", "15/08/1975 ROMA (RM)", "VIA ROMA 1; SCALA B - MILANO (MI)"},
            {"7", "BNCLRA80A41F205Y", "BIANCHI LAURA", "19800231 MILANO (MI)", ""},
            {"102", "12345678903", "\"LA TORRE\" SRL", "", "VIA \"NUOVA\" 3 - FORL\u00cc (FC)"}};
        QCOMPARE(righe, attese);
        QCOMPARE(intestazioneStampa().size(), attese.first().size());
        // The residence with what there is of it: town, province and street, blanks left out.
        const QList<std::pair<QStringList, QString>> luoghi = {{{"", "MI", ""}, "(MI)"},
                                                              {{" MILANO ", " ", ""}, "MILANO"},
                                                              {{"", "", " VIA PO 1 "}, "VIA PO 1"},
                                                              {{"", "", ""}, ""}};
        for (const auto& [campi, domicilio] : luoghi) {
            Sostituto s;
            s.comune = campi.at(0);
            s.provincia = campi.at(1);
            s.indirizzo = campi.at(2);
            QCOMPARE(rigaStampa(s).domicilio, domicilio);
        }
    }
};

QTEST_GUILESS_MAIN(TestRegistroEsporta)
#include "tst_registro_esporta.moc"
