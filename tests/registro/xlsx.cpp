// The export to a workbook read back by an independent reader (openpyxl,
// through tests/registro/leggi_xlsx.py), written as an Italian office's
// system would have it write numbers; the name of a substitute without one,
// as the lists and the print show it; a workbook that cannot be written.
#include "registroprova.h"

#include "registry/esporta.h"
#include "registry/stampa.h"

#include <QProcess>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>

using namespace registro;

namespace {

const QVariant NULLO;
const QString MARCATORE = "Anagrafica con dati da integrare";

// A substitute as stored; its row in the workbook ("@" before a date cell,
// "" an empty cell, every other field a text cell); its name in the list and
// the print. The street is longer than its field (35), on two lines.
struct Riga {
    QString codazi, cfs;
    QVariantList asost;
    QString foglio, nominativo;
};
// clang-format off
const QList<Riga> RIGHE = {
    {"007", "01234567897", {"COSTRUZIONI DELL'ACQUA SRL", "", "", "00000000", "", "", "FORL\u00cc", "FC",
      "VIA DEI MILLE CENTO DUECENTO TRECENTO\r\nQUATTROCENTO 1234 SCALA B", "001"},
     "007;01234567897;COSTRUZIONI DELL'ACQUA SRL;;;;;;FORL\u00cc;FC;VIA DEI MILLE CENTO DUECENTO TRECENTO\\n"
     "QUATTROCENTO 1234 SCALA B;001", "COSTRUZIONI DELL'ACQUA SRL"},
    {"101", "RSSMRA75M15H501X", {" ROSSI ", "MARIO", "M", "19750815", "ROMA", "RM", "MILANO", "MI", "VIA PO 1", "007"},
     "101;RSSMRA75M15H501X;ROSSI;MARIO;M;@1975-08-15;ROMA;RM;MILANO;MI;VIA PO 1;007", "ROSSI MARIO"},
    {"102", "BNCLRA80A41F205Y", {NULLO, "", "F", "18991231", "MILANO", "MI", "", "", "", "001"},
     "102;BNCLRA80A41F205Y;" + MARCATORE + ";;F;31/12/1899;MILANO;MI;;;;001", MARCATORE},
    {"103", "VRDGPP70A01F205X", {NULLO, NULLO, "M", "19800231", "ROMA", "RM"},
     "103;VRDGPP70A01F205X;" + MARCATORE + ";;M;19800231;ROMA;RM;;;;", MARCATORE},
    {"104", "NREPLA60C10L219K", {" ", NULLO}, "104;NREPLA60C10L219K;" + MARCATORE + ";;;;;;;;;", MARCATORE}};
// clang-format on
const QList<int> ORDINE = {1, 3, 0, 4, 2}; // the list's order, against the archive's

// A row as the reader prints it: text cells in the text format, date cells shown as GG/MM/AAAA.
QString comeLetta(const QString& riga)
{
    QStringList celle;
    for (const QString& c : riga.split(';'))
        celle << (c.startsWith('@') ? "d dd/mm/yyyy:" + c.mid(1) : (c.isEmpty() ? "n @:" : "s @:" + c));
    return celle.join('\t');
}

} // namespace

class TestRegistroXlsx : public QObject {
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
        a->aggiungiSostituto("120", "MRNLGU70A01F205X", {"MARINI"}); // in the archive, not in the list
    }
    void cleanup() { a.reset(); }

    void cartellaDiLavoro()
    {
        // The rows of the list in its order (one gone meanwhile), every cell's type, format and value, the
        // heading bold and frozen, each column as wide as its longest line; nothing else left in the folder.
        QTemporaryDir dove;
        RegistroProva r(*a);
        std::vector<ChiaveSostituto> chiavi = chiaviDi(RIGHE, ORDINE);
        chiavi.insert(chiavi.begin() + 1, {"999", "SPRTTO80A01H501X"});
        const EsitoEsportazione esito = esporta(*r.db, chiavi, dove.filePath("elenco.xlsx"), Formato::Xlsx);
        QCOMPARE(esito.scritti, ORDINE.size());
        QCOMPARE(fileDi(dove.path()), QStringList{"elenco.xlsx"});
        QProcess lettore;
        lettore.start("/usr/bin/python3", {ANAGSOST_LEGGI_XLSX, dove.filePath("elenco.xlsx")});
        QVERIFY(lettore.waitForFinished(60000));
        QStringList letto = QString::fromUtf8(lettore.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QVERIFY2(lettore.exitCode() == 0 && letto.size() > 2, lettore.readAllStandardError().constData());
        const QStringList larghezze = letto.takeAt(2).split(' ');
        QStringList attese = {"Anagrafiche sostituti", "A2"};
        attese << "s*:Codice azienda\ts*:Codice fiscale\ts*:Cognome o denominazione\ts*:Nome\ts*:Sesso\ts*:Data di "
                  "nascita\ts*:Comune (o Stato estero) di nascita\ts*:Provincia di nascita\ts*:Comune di residenza o "
                  "domicilio fiscale\ts*:Provincia di residenza o domicilio fiscale\ts*:Via e numero civico\ts*:"
                  "Codice azienda collegata";
        for (const int i : ORDINE)
            attese << comeLetta(RIGHE.at(i).foglio);
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

    void nominativi()
    {
        // The list's lines in each order and the printed rows: the name, or the marker for a substitute without
        // one, whether its names are empty or were never written.
        RegistroProva r(*a);
        QMap<QString, QString> attesi{{"120", "MARINI"}}, stampati;
        for (const Riga& riga : RIGHE)
            attesi.insert(riga.codazi, riga.nominativo);
        for (const Ordine ordine : {Ordine::CodiceAzienda, Ordine::CodiceFiscale, Ordine::Nominativo}) {
            QMap<QString, QString> nomi;
            const ElencoFiltrato elenco = leggiElencoFiltrato(*r.db, ordine);
            for (qsizetype i = 0; i < elenco.righe(); ++i)
                nomi.insert(elenco.voce(i).left(3), elenco.voce(i).mid(21).trimmed());
            QCOMPARE(nomi, attesi);
        }
        for (const RigaStampa& riga : righeStampa(*r.db, chiaviDi(RIGHE, ORDINE)))
            stampati.insert(riga.codazi, riga.nominativo);
        attesi.remove("120");
        QCOMPARE(stampati, attesi);
    }

    void nonScritta()
    {
        // A disk that fills up (no file of this process may grow past 2000 bytes), a text no cell can hold:
        // told why, nothing left behind, the file already there untouched.
        SOLO_FILE("the files written are the same on either engine");
        RegistroProva r(*a);
        const Tabella tabella = tabellaSostituti(*r.db, chiaviDi(RIGHE, ORDINE));
        Tabella lunga = tabella;
        lunga.righe[0][10] = Cella::diTesto(QString(32768, 'X'));
        rlimit senzaLimite{};
        getrlimit(RLIMIT_FSIZE, &senzaLimite);
        signal(SIGXFSZ, SIG_IGN);
        for (const auto& [limite, contenuto, causa] : QList<std::tuple<rlim_t, Tabella, QString>>{
                 {2000, tabella,
                  "La scrittura si è interrotta: il disco potrebbe essere pieno o non più raggiungibile."},
                 {senzaLimite.rlim_cur, lunga,
                  "Un testo è più lungo di quanto una cella del foglio di calcolo possa contenere: esportare in "
                  "formato CSV."}}) {
            QTemporaryDir dove;
            QFile vecchio(dove.filePath("elenco.xlsx"));
            QVERIFY(vecchio.open(QIODevice::WriteOnly) && vecchio.write("vecchio") == 7);
            vecchio.close();
            rlimit ridotto{limite, senzaLimite.rlim_max};
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &ridotto), 0);
            const QString esito = scriviTabella(contenuto, vecchio.fileName(), Formato::Xlsx);
            setrlimit(RLIMIT_FSIZE, &senzaLimite);
            QCOMPARE(esito, causa);
            QCOMPARE(fileDi(dove.path()), QStringList{"elenco.xlsx"});
            QVERIFY(vecchio.open(QIODevice::ReadOnly));
            QCOMPARE(vecchio.readAll(), QByteArray("vecchio"));
            vecchio.close();
        }
    }
};

PROVA(TestRegistroXlsx);
#include "xlsx.moc"
