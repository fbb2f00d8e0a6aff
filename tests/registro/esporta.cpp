// The export of the list as shown and the rows of its print: every field of
// each substitute, in the list's order, as a CSV file holds it; the workbook
// read back by an independent reader (openpyxl, through
// tests/registro/leggi_xlsx.py), written as an Italian office's system would
// have it write numbers; the name of a substitute without one, as the lists
// and the print show it; a file that cannot be written, an archive that
// cannot be read.
#include "registroprova.h"

#include "registry/esporta.h"
#include "registry/stampa.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>

using namespace registro;

namespace {

const QVariant NULLO;
const QString MARCATORE = "Anagrafica con dati da integrare";

// A substitute as stored, whose texts need quoting or keep what a
// spreadsheet must show (a semicolon, quotes, line breaks of either form,
// accents, blanks around, Null and empty fields, a date before the
// workbook's first day, a stored date that is no date, a company code
// stored without its zeros, no name); its row in the CSV file; its row in
// the workbook ("@" before a date cell, "" an empty cell, every other field
// a text cell); its printed columns.
struct Riga {
    QString codazi, cfs;
    QVariantList asost;
    QString csv, foglio;
    QStringList stampa;
};
// clang-format off
const QList<Riga> RIGHE = {
    {"101", "RSSMRA75M15H501X", {" ROSS\u00cc ", "MARIO ", "M", "19750815", "ROMA", "RM", "MILANO", "MI", " VIA ROMA 1; SCALA B", "001"},
     "101;RSSMRA75M15H501X;ROSS\u00cc;MARIO;M;15/08/1975;ROMA;RM;MILANO;MI;\"VIA ROMA 1; SCALA B\";001",
     "101|RSSMRA75M15H501X|ROSS\u00cc|MARIO|M|@1975-08-15|ROMA|RM|MILANO|MI|VIA ROMA 1; SCALA B|001",
     {"101", "RSSMRA75M15H501X", "ROSS\u00cc MARIO", "15/08/1975 ROMA (RM)", "VIA ROMA 1; SCALA B - MILANO (MI)"}},
    {"7", "12345678903", {"\"LA TORRE\" SRL", "", "", "00000000", "", "", "", "", "VIA DEI MILLE CENTO DUECENTO "
      "TRECENTO\r\nQUATTROCENTO \"NUOVA\" 1234", "001"},
     "7;12345678903;\"\"\"LA TORRE\"\" SRL\";;;;;;;;\"VIA DEI MILLE CENTO DUECENTO TRECENTO\r\nQUATTROCENTO "
     "\"\"NUOVA\"\" 1234\";001",
     "7|12345678903|\"LA TORRE\" SRL||||||||VIA DEI MILLE CENTO DUECENTO TRECENTO\\nQUATTROCENTO \"NUOVA\" 1234|001",
     {"7", "12345678903", "\"LA TORRE\" SRL", "", "VIA DEI MILLE CENTO DUECENTO TRECENTO\nQUATTROCENTO \"NUOVA\" 1234"}},
    {"103", "DLLMRC66P30D612S", {NULLO, "", "F", "18991231", "CITT\u00c0 DI CASTELLO", "PG", NULLO, " PG ", "VIA PO 1\nINTERNO 4", NULLO},
     "103;DLLMRC66P30D612S;" + MARCATORE + ";;F;31/12/1899;CITT\u00c0 DI CASTELLO;PG;;PG;\"VIA PO 1\nINTERNO 4\";",
     "103|DLLMRC66P30D612S|" + MARCATORE + "||F|31/12/1899|CITT\u00c0 DI CASTELLO|PG||PG|VIA PO 1\\nINTERNO 4|",
     {"103", "DLLMRC66P30D612S", MARCATORE, "31/12/1899 CITT\u00c0 DI CASTELLO (PG)", "VIA PO 1\nINTERNO 4 - (PG)"}},
    {"104", "BNCLRA80A41F205Y", {" ", NULLO, "F", "19800231", "MILANO", "MI", " MILANO ", " ", "", "2"},
     "104;BNCLRA80A41F205Y;" + MARCATORE + ";;F;19800231;MILANO;MI;MILANO;;;2",
     "104|BNCLRA80A41F205Y|" + MARCATORE + "||F|19800231|MILANO|MI|MILANO|||2",
     {"104", "BNCLRA80A41F205Y", MARCATORE, "19800231 MILANO (MI)", "MILANO"}}};
// clang-format on
const QList<int> ORDINE = {3, 1, 0, 2}; // the list's order, against the archive's
// clang-format off
const QStringList INTESTAZIONE = {
    "Codice azienda", "Codice fiscale", "Cognome o denominazione", "Nome", "Sesso", "Data di nascita",
    "Comune (o Stato estero) di nascita", "Provincia di nascita", "Comune di residenza o domicilio fiscale",
    "Provincia di residenza o domicilio fiscale", "Via e numero civico", "Codice azienda collegata"};
// clang-format on

// The list's keys in its order, one gone meanwhile second.
std::vector<ChiaveSostituto> chiaviMostrate()
{
    std::vector<ChiaveSostituto> chiavi;
    for (const int i : ORDINE)
        chiavi.push_back({RIGHE.at(i).codazi, RIGHE.at(i).cfs});
    chiavi.insert(chiavi.begin() + 1, {"999", "SPRTTO80A01H501X"});
    return chiavi;
}

// What a folder holds, hidden files too.
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
    void initTestCase()
    {
        // Numbers with a decimal comma: Italian, made from Debian's sources (package locales) in a folder of ours.
        QCOMPARE(QProcess::execute("localedef", {"-i", "it_IT", "-f", "UTF-8", cartella.filePath("it_IT.UTF-8")}), 0);
        qputenv("LOCPATH", QFile::encodeName(cartella.path()));
        QVERIFY(std::setlocale(LC_NUMERIC, "it_IT.UTF-8"));
        char numero[8];
        std::snprintf(numero, sizeof numero, "%.1f", 0.5);
        QCOMPARE(numero, "0,5");
    }
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
        // In the list's order, the one gone meanwhile told and left out, the rest of the archive too: texts
        // trimmed, dates as GG/MM/AAAA, quotes only where a field needs them, CR LF after each row.
        QString attese = QChar(0xFEFF) + INTESTAZIONE.join(';') + "\r\n"; // the byte-order mark first
        for (const int i : ORDINE)
            attese += RIGHE.at(i).csv + "\r\n";
        RegistroProva r(*a);
        const QString percorso = cartella.filePath("elenco.csv");
        const EsitoEsportazione esito = esporta(*r.db, chiaviMostrate(), percorso, Formato::Csv);
        QCOMPARE(int(esito.tipo), int(EsitoEsportazione::Tipo::Scritto));
        QCOMPARE(esito.messaggio, "Esportazione effettuata\r\r4 anagrafiche sostituti scritte nel file\r" +
                                      QDir::toNativeSeparators(percorso) +
                                      "\r\r1 anagrafiche dell'elenco non sono più in archivio e non sono state "
                                      "scritte.");
        QFile file(percorso);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), attese.toUtf8());
    }

    void cartellaDiLavoro()
    {
        // Every cell's type, format and value, the heading bold and frozen, each column as wide as its longest
        // line; nothing else left in the folder.
        QStringList attese = {"Anagrafiche sostituti", "A2", "s*:" + INTESTAZIONE.join("\ts*:")};
        for (const int i : ORDINE) {
            QStringList celle;
            for (const QString& c : RIGHE.at(i).foglio.split('|'))
                celle << (c.startsWith('@') ? "d dd/mm/yyyy:" + c.mid(1) : (c.isEmpty() ? "n @:" : "s @:" + c));
            attese << celle.join('\t');
        }
        QTemporaryDir dove;
        RegistroProva r(*a);
        const EsitoEsportazione esito = esporta(*r.db, chiaviMostrate(), dove.filePath("elenco.xlsx"), Formato::Xlsx);
        QCOMPARE(esito.scritti, ORDINE.size());
        QCOMPARE(fileDi(dove.path()), QStringList{"elenco.xlsx"});
        QProcess lettore;
        lettore.start("/usr/bin/python3", {ANAGSOST_LEGGI_XLSX, dove.filePath("elenco.xlsx")});
        QVERIFY(lettore.waitForFinished(60000));
        QStringList letto = QString::fromUtf8(lettore.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QVERIFY2(lettore.exitCode() == 0 && letto.size() > 2, lettore.readAllStandardError().constData());
        const QStringList larghezze = letto.takeAt(2).split(' ');
        QCOMPARE(letto, attese);
        QCOMPARE(larghezze.size(), 12);
        for (int c = 0; c < 12; ++c) {
            qsizetype lunga = 0;
            for (const QString& riga : letto.mid(2))
                for (const QString& linea : riga.split('\t').value(c).section(':', 1).split("\\n"))
                    lunga = std::max(lunga, linea.size());
            QVERIFY2(larghezze[c].toDouble() >= lunga && larghezze[c].toDouble() <= lunga * 1.1 + 4,
                     qPrintable(QString("column %1: %2 for %3").arg(c).arg(larghezze[c]).arg(lunga)));
        }
    }

    void nonScritto()
    {
        // The file cannot be written (its folder missing, a folder of its name, a disk that fills up, a text no
        // cell can hold): told why; nothing left behind, and a file already there keeps what it holds.
        SOLO_FILE("the files written are the same on either engine");
        a->aggiungiSostituto("130", "MRNLGU70A01F205X", {"MARINI", "", "", "", "", "", "", "", QString(32768, 'X')});
        // clang-format off
        const QList<std::tuple<QString, Formato, rlim_t, QString>> casi = {
            {"manca/elenco.csv", Formato::Csv, 0, "La cartella non esiste o non si hanno i permessi per scrivervi."},
            {"elenco.csv/", Formato::Csv, 0, "Il nome scelto è quello di una cartella."},
            {"elenco.csv", Formato::Csv, 300, "La scrittura si è interrotta: il disco potrebbe essere pieno o non più raggiungibile."},
            {"elenco.xlsx", Formato::Xlsx, 2000, "La scrittura si è interrotta: il disco potrebbe essere pieno o non più raggiungibile."},
            {"elenco.xlsx", Formato::Xlsx, 0, "Un testo è più lungo di quanto una cella del foglio di calcolo possa contenere: esportare in formato CSV."}};
        // clang-format on
        RegistroProva r(*a);
        rlimit senzaLimite{};
        getrlimit(RLIMIT_FSIZE, &senzaLimite);
        signal(SIGXFSZ, SIG_IGN);
        for (const auto& [nome, formato, limite, causa] : casi) {
            QTemporaryDir dove;
            const QString percorso = dove.filePath(nome.chopped(nome.endsWith('/')));
            QFile vecchio(percorso);
            if (nome.endsWith('/'))
                QVERIFY(QDir(dove.path()).mkdir(percorso));
            else if (!nome.startsWith("manca"))
                QVERIFY(vecchio.open(QIODevice::WriteOnly) && vecchio.write("vecchio") == 7);
            vecchio.close();
            const QStringList prima = fileDi(dove.path());
            std::vector<ChiaveSostituto> chiavi = chiaviMostrate();
            if (causa.startsWith("Un testo"))
                chiavi.push_back({"130", "MRNLGU70A01F205X"});
            const rlimit ridotto{limite ? limite : senzaLimite.rlim_cur, senzaLimite.rlim_max};
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &ridotto), 0);
            const EsitoEsportazione esito = esporta(*r.db, chiavi, percorso, formato);
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
        const EsitoEsportazione esito = esporta(*r.db, chiaviMostrate(), percorso, Formato::Csv);
        QCOMPARE(int(esito.tipo), int(EsitoEsportazione::Tipo::Rifiutato));
        QVERIFY(!QFile::exists(percorso));
    }

    void nominativiEStampa()
    {
        // The printed columns of the list, in its order, one gone meanwhile. The list's lines, in the order by
        // company code and in the one by name (read apart): the name, or the marker for a substitute without one.
        QList<QStringList> attese;
        QMap<QString, QString> nomi{{"120", "VERDI"}};
        for (const int i : ORDINE) {
            attese << RIGHE.at(i).stampa;
            nomi.insert(RIGHE.at(i).codazi, RIGHE.at(i).stampa.at(2));
        }
        RegistroProva r(*a);
        QList<QStringList> righe;
        for (const RigaStampa& riga : righeStampa(*r.db, chiaviMostrate()))
            righe << riga.colonne();
        QCOMPARE(righe, attese);
        for (const Ordine ordine : {Ordine::CodiceAzienda, Ordine::Nominativo}) {
            QMap<QString, QString> linee;
            const ElencoFiltrato elenco = leggiElencoFiltrato(*r.db, ordine);
            for (qsizetype i = 0; i < elenco.righe(); ++i)
                linee.insert(elenco.voce(i).section(' ', 0, 0), elenco.voce(i).right(45).trimmed());
            QCOMPARE(linee, nomi);
        }
    }
};

PROVA(TestEsporta);
#include "esporta.moc"
