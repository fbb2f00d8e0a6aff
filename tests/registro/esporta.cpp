// The export of the list as shown and the rows of its print: every field of
// each substitute, in the list's order, as the file holds it; a file that
// cannot be written, an archive that cannot be read.
#include "registroprova.h"

#include "registry/esporta.h"
#include "registry/stampa.h"

#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

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
// clang-format off
const QList<Riga> RIGHE = {
    {"101", "RSSMRA75M15H501X", {"ROSSI", "MARIO", "M", "19750815", "ROMA", "RM", "MILANO", "MI", "VIA ROMA 1; SCALA B", "001"}},
    {"102", "12345678903", {"\"LA TORRE\" SRL", "", "", "00000000", "", "", "FORL\u00cc", "FC", "VIA \"NUOVA\" 3", "001"}},
    {"103", "DLLMRC66P30D612S",
     {"DELL'ACQUA", NULLO, "M", NULLO, "CITT\u00c0 DI CASTELLO", "PG", NULLO, "", "VIA PO 1\r\nINTERNO 4", NULLO}},
    {"7", "BNCLRA80A41F205Y", {"  BIANCHI ", "LAURA ", "F", "19800231", "MILANO", "MI", "", "", "", "2"}}};
// clang-format on

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

class TestEsporta : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;
    QTemporaryDir cartella;

private slots:
    void init()
    {
        a = annoVuoto();
        for (const Riga& r : RIGHE)
            a->aggiungiSostituto(r.codazi, r.cfs, r.asost);
        a->aggiungiSostituto("120", "VRDGPP70A01F205X", {"VERDI"}); // in the archive, not in the list
    }
    void cleanup() { a.reset(); }

    void fileScritto()
    {
        // Out of the archive's order, one substitute of the list gone meanwhile, the rest left out. The rows as
        // split at each CR LF (the line break inside the last one's street splits it too): texts trimmed, dates
        // as GG/MM/AAAA, quotes only where a field needs them.
        // clang-format off
        const QStringList attese = {
            "Codice azienda;Codice fiscale;Cognome o denominazione;Nome;Sesso;Data di nascita;Comune (o Stato " "estero) di nascita;Provincia di nascita;Comune di residenza o domicilio fiscale;Provincia di residenza o " "domicilio fiscale;Via e numero civico;Codice azienda collegata",
            "7;BNCLRA80A41F205Y;BIANCHI;LAURA;F;19800231;MILANO;MI;;;;2",
            "102;12345678903;\"\"\"LA TORRE\"\" SRL\";;;;;;FORL\u00cc;FC;\"VIA \"\"NUOVA\"\" 3\";001",
            "101;RSSMRA75M15H501X;ROSSI;MARIO;M;15/08/1975;ROMA;RM;MILANO;MI;\"VIA ROMA 1; SCALA B\";001",
            "103;DLLMRC66P30D612S;DELL'ACQUA;;M;;CITT\u00c0 DI CASTELLO;PG;;;\"VIA PO 1", "INTERNO 4\";", ""};
        // clang-format on
        RegistroProva r(*a);
        std::vector<ChiaveSostituto> chiavi = chiaviDi({3, 1, 0, 2});
        chiavi.insert(chiavi.begin() + 2, {"999", "SPRTTO80A01H501X"});
        const QString percorso = cartella.filePath("elenco.csv");
        const EsitoEsportazione esito = esporta(*r.db, chiavi, percorso, Formato::Csv);
        QCOMPARE(int(esito.tipo), int(EsitoEsportazione::Tipo::Scritto));
        QCOMPARE(esito.messaggio, "Esportazione effettuata\r\r4 anagrafiche sostituti scritte nel file\r" +
                                      QDir::toNativeSeparators(percorso) +
                                      "\r\r1 anagrafiche dell'elenco non sono più in archivio e non sono state "
                                      "scritte.");
        QFile file(percorso);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray contenuto = file.readAll();
        QCOMPARE(contenuto.left(3), QByteArray("\xEF\xBB\xBF")); // UTF-8's byte-order mark (which fromUtf8 drops)
        QCOMPARE(QString::fromUtf8(contenuto).split("\r\n"), attese);
    }

    void fileNonScrivibile()
    {
        // The file cannot be written (its folder missing, a folder of its name, a disk that fills up): told why;
        // nothing left behind, and a file already there keeps what it holds.
        SOLO_FILE("the files written are the same on either engine");
        // clang-format off
        const QList<std::pair<QString, QString>> casi = {
            {"manca/elenco.csv", "La cartella non esiste o non si hanno i permessi per scrivervi."},
            {"cartella", "Il nome scelto è quello di una cartella."},
            {"disco pieno", "La scrittura si è interrotta: il disco potrebbe essere pieno o non più raggiungibile."}};
        // clang-format on
        RegistroProva r(*a);
        rlimit senzaLimite{};
        getrlimit(RLIMIT_FSIZE, &senzaLimite);
        signal(SIGXFSZ, SIG_IGN);
        for (const auto& [caso, causa] : casi) {
            QTemporaryDir dove;
            const QString percorso = dove.filePath(caso == "manca/elenco.csv" ? caso : "elenco.csv");
            QFile vecchio(percorso);
            if (caso == "cartella")
                QVERIFY(QDir(dove.path()).mkdir("elenco.csv"));
            if (caso == "disco pieno") {
                QVERIFY(vecchio.open(QIODevice::WriteOnly));
                vecchio.write("vecchio");
                vecchio.close();
            }
            const QStringList prima = fileDi(dove.path());
            // A disk that fills up: no file of this process may grow past 300 bytes.
            rlimit limite = senzaLimite;
            limite.rlim_cur = caso == "disco pieno" ? 300 : senzaLimite.rlim_cur;
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &limite), 0);
            const EsitoEsportazione esito = esporta(*r.db, chiaviDi({0, 1, 2, 3}), percorso, Formato::Csv);
            setrlimit(RLIMIT_FSIZE, &senzaLimite);
            QCOMPARE(int(esito.tipo), int(EsitoEsportazione::Tipo::NonScritto));
            QCOMPARE(esito.messaggio, "Impossibile scrivere il file\r" + QDir::toNativeSeparators(percorso) + "\r\r" +
                                          causa +
                                          "\r\rL'esportazione non è stata eseguita: nessun file è stato "
                                          "scritto o modificato.");
            QCOMPARE(fileDi(dove.path()), prima);
            if (vecchio.open(QIODevice::ReadOnly))
                QCOMPARE(vecchio.readAll(), QByteArray("vecchio"));
        }
    }

    void archivioNonLeggibile()
    {
        // The archive locked by another program: refused, and no file at all.
        RegistroProva r(*a);
        const auto blocco = a->blocca(true);
        const QString percorso = cartella.filePath("bloccato.csv");
        const EsitoEsportazione esito = esporta(*r.db, chiaviDi({0}), percorso, Formato::Csv);
        QCOMPARE(int(esito.tipo), int(EsitoEsportazione::Tipo::Rifiutato));
        QVERIFY(!QFile::exists(percorso));
    }

    void righeDellaStampa()
    {
        // The printed columns: the name whole, birth and domicile with what there is, one gone meanwhile.
        RegistroProva r(*a);
        std::vector<ChiaveSostituto> chiavi = chiaviDi({2, 0, 3, 1});
        chiavi.insert(chiavi.begin() + 1, {"999", "SPRTTO80A01H501X"});
        QList<QStringList> righe;
        for (const RigaStampa& riga : righeStampa(*r.db, chiavi))
            righe << riga.colonne();
        // clang-format off
        const QList<QStringList> attese = {
            {"103", "DLLMRC66P30D612S", "DELL'ACQUA", "CITT\u00c0 DI CASTELLO (PG)", "VIA PO 1\nINTERNO 4"},
            {"101", "RSSMRA75M15H501X", "ROSSI MARIO", "15/08/1975 ROMA (RM)", "VIA ROMA 1; SCALA B - MILANO (MI)"},
            {"7", "BNCLRA80A41F205Y", "BIANCHI LAURA", "19800231 MILANO (MI)", ""},
            {"102", "12345678903", "\"LA TORRE\" SRL", "", "VIA \"NUOVA\" 3 - FORL\u00cc (FC)"}};
        // clang-format on
        QCOMPARE(righe, attese);
        // The residence with what there is of it: town, province and street, blanks left out.
        for (const auto& [campi, domicilio] : QList<std::pair<QStringList, QString>>{
                 {{"", "MI", ""}, "(MI)"}, {{" MILANO ", " ", ""}, "MILANO"}, {{"", "", " VIA PO 1 "}, "VIA PO 1"}}) {
            Sostituto s;
            s.comune = campi.at(0);
            s.provincia = campi.at(1);
            s.indirizzo = campi.at(2);
            QCOMPARE(rigaStampa(s).domicilio, domicilio);
        }
    }
};

PROVA(TestEsporta);
#include "esporta.moc"
