// The check of the whole archive: each kind found where it lives, and the
// neighbours that must not be reported (a company without first name or
// birth data, a foreign birth place, codes padded with blanks, a surname the
// code does not spell, rows of another company under the same code, Null
// fields beside empty ones); the verifica tool's lines and exit codes.
#include "registroprova.h"

#include "lib/archiviodemo.h"
#include "registry/verifica.h"

#include <QProcess>

namespace {

using strumenti::codiceFiscale;
using strumenti::partitaIva;

// The codes are made on first use: the checks' tables are not there yet while globals are built.
struct Codici {
    QString ROSSI = codiceFiscale("ROSSI", "MARIO", QDate(1980, 1, 1), 'M', "H501");
    QString BIANCHI = codiceFiscale("BIANCHI", "LAURA", QDate(1975, 8, 15), 'F', "F205");
    QString SMITH = codiceFiscale("SMITH", "JOHN", QDate(1970, 3, 10), 'M', "Z401"); // CANADA (EE)
    QString VERDI = codiceFiscale("VERDI", "GIUSEPPE", QDate(1970, 1, 1), 'M', "F205");
    QString VERDISBAGLIATO = VERDI.left(15) + (VERDI.endsWith('A') ? 'B' : 'A');
    QString NERI = codiceFiscale("NERI", "PAOLO", QDate(1960, 3, 10), 'M', "L219");
    QString GIALLI = codiceFiscale("GIALLI", "ANNA", QDate(1980, 12, 1), 'F', "H501");
    QString GRIGI = codiceFiscale("GRIGI", "LUCA", QDate(1985, 5, 5), 'M', "H501");
    QString PIVA1 = partitaIva("0123456789"), PIVA2 = partitaIva("0987654321"), PIVA3 = partitaIva("0555555555"),
            PIVA4 = partitaIva("0666666666");
};
const QVariant N; // Null

QVariantList persona(const QString& cognome, const QString& nome, const QString& sesso, const QString& data,
                     const QString& comune, const QVariant& provincia, const QString& collegata = "001")
{
    return {cognome, nome, sesso, data, comune, provincia, "ROMA", "RM", "VIA ROMA 1", collegata};
}
QVariantList societa(const QString& nome, const QString& collegata = "002")
{
    return {nome, "", "", "00000000", "", "", "MILANO", "MI", "VIA MILANO 2", collegata};
}

// One substitute of the archive and what the check must say of it, in the
// order the findings come (company code, codice fiscale, kind).
struct Caso {
    const char* nome;
    QString codazi, cfs;
    QVariantList asost;
    QStringList attese; // "KIND\tmessage"
};
const QList<Caso>& casi()
{
    static const Codici c;
    const auto& [ROSSI, BIANCHI, SMITH, VERDI, VERDISBAGLIATO, NERI, GIALLI, GRIGI, PIVA1, PIVA2, PIVA3, PIVA4] = c;
    static const QList<Caso> CASI = {
        {"person in order, rows of another company under its code",
         "101",
         ROSSI,
         persona("ROSSI", "MARIO", "M", "19800101", "ROMA", "RM", "1"),
         {}},
        {"company, empty first name and birth data, a birth province left over",
         "102",
         PIVA1,
         {"ALFA SRL", "", "", "00000000", "", "XX", "MILANO", "MI", "VIA MILANO 2", "002"},
         {}},
        {"foreign birth place", "103", SMITH, persona("SMITH", "JOHN", "M", "19700310", "CANADA", "EE"), {}},
        {"partita IVA padded with blanks, its rows without", "104", PIVA2 + "     ", societa("BETA SNC"), {}},
        {"check character",
         "105",
         VERDISBAGLIATO,
         persona("VERDI", "GIUSEPPE", "M", "19700101", "MILANO", "MI"),
         {"CF_ERRATO\tCodice fiscale formalmente errato"}},
        {"codice fiscale length",
         "106",
         ROSSI.left(15),
         persona("ROSSI", "MARIO", "M", "19800101", "ROMA", "RM"),
         {"CF_ERRATO\tLunghezza codice fiscale errata"}},
        {"partita IVA check digit",
         "107",
         "12345678900",
         societa("GAMMA SRL"),
         {"PIVA_ERRATA\tPartita IVA formalmente errata"}},
        {"partita IVA length",
         "108",
         "1234567890",
         societa("DELTA SRL"),
         {"PIVA_ERRATA\tLunghezza partita IVA errata"}},
        {"person without birth data, Null beside empty",
         "109",
         NERI,
         persona("NERI", "PAOLO", "", "00000000", "", N),
         {"DATI_MANCANTI\tDati mancanti: sesso, data di nascita, comune di nascita, provincia di nascita"}},
        {"a date that is no date, no residence",
         "110",
         GIALLI,
         {"GIALLI", "ANNA", "F", "19801332", "ROMA", "RM", N, "", N, "001"},
         {"DATI_MANCANTI\tDati mancanti o errati: data di nascita errata, comune di residenza, provincia di residenza, "
          "indirizzo"}},
        {"birth data the code does not carry, a surname it does not spell, a province in lower case",
         "111",
         BIANCHI,
         persona("ROSSI", "LAURA", "M", "19750816", "MILANO", "mi"),
         {"NASCITA_DIVERSA\tNon corrispondono al codice fiscale: sesso, data di nascita",
          "PROVINCIA_SCONOSCIUTA\tNon presenti nella tabella delle province: provincia di nascita mi"}},
        {"company, every field Null but the residence",
         "112",
         PIVA3,
         {N, N, N, N, N, N, "TORINO", "TO", "VIA PO 1", N},
         {"DATI_MANCANTI\tDati mancanti: cognome o denominazione",
          "AZIENDA_SENZA_FRONTESPIZIO\tCodice azienda collegata non indicato"}},
        {"provinces not in the table",
         "113",
         GRIGI,
         {"GRIGI", "LUCA", "M", "19850505", "ROMA", "XX", "ROMA", "Z\tZ", "VIA ROMA 1", "001"},
         {"NASCITA_DIVERSA\tNon corrispondono al codice fiscale: provincia di nascita",
          "PROVINCIA_SCONOSCIUTA\tNon presenti nella tabella delle province: provincia di nascita XX, "
          "provincia di residenza Z\tZ"}},
        {"linked company without front page",
         "114",
         PIVA4,
         societa("EPSILON SPA", "9"),
         {"AZIENDA_SENZA_FRONTESPIZIO\tIl codice azienda collegata 9 non è presente nel frontespizio"}},
        {"one code under two rows, the first",
         "116",
         VERDI,
         persona("VERDI", "GIUSEPPE", "M", "19700101", "MILANO", "MI"),
         {"CODICE_DOPPIO\tCodice fiscale presente anche in: 117 " + VERDI.toLower()}},
        {"one code under two rows, the second in lower case",
         "117",
         VERDI.toLower(),
         persona("VERDI", "GIUSEPPE", "M", "19700101", "MILANO", "MI"),
         {"CF_ERRATO\tCodice fiscale formalmente errato",
          "CODICE_DOPPIO\tCodice fiscale presente anche in: 116 " + VERDI}},
    };
    return CASI;
}

// Section rows: (table, company, code, rows), and the findings of the keys
// no registry row has, in their order among the cases'.
struct Righe {
    QString tabella, codazi, cfs;
    int quante;
};
const QList<Righe>& righeQuadri()
{
    static const QString ROSSI = Codici().ROSSI, PIVA1 = Codici().PIVA1, PIVA2 = Codici().PIVA2;
    static const QList<Righe> RIGHE = {
        {"QUADROLDIP1", "101", ROSSI, 2},
        {"QUADROLAUT", "102", PIVA1 + "     ", 1},
        {"QUADROST", "104", PIVA2, 3},
        {"QUADROLDIP2", "104", PIVA2 + "     ", 1},
        {"QUADROLDIP1", "120", ROSSI, 1},
        {"QUADROST", "120", ROSSI, 2},
        {"QUADROLAUT", "101", ROSSI.toLower(), 1},
        {"QUADROLDIP1", "121", "X1", 1},
        {"QUADROLDIP2", "121", "X1", 1},
        {"QUADROLDIP3", "121", "X1", 1},
        {"QUADROLDIP4", "121", "X1", 1},
        {"QUADROLAUT", "121", "X1", 1},
        {"QUADROST", "121", "X1", 1},
    };
    return RIGHE;
}
const QList<Caso>& orfane()
{
    static const QString ROSSI = Codici().ROSSI;
    static const QList<Caso> ORFANE = {
        {"rows under a code in lower case",
         "101",
         ROSSI.toLower(),
         {},
         {"RIGHE_ORFANE\tRighe dei quadri senza anagrafica sostituto: 1 in QUADROLAUT"}},
        {"rows of another company under a registered code",
         "120",
         ROSSI,
         {},
         {"RIGHE_ORFANE\tRighe dei quadri senza anagrafica sostituto: 1 in QUADROLDIP1, 2 in QUADROST"}},
        {"rows in every section",
         "121",
         "X1",
         {},
         {"RIGHE_ORFANE\tRighe dei quadri senza anagrafica sostituto: 1 in QUADROLDIP1, 1 in QUADROLDIP2, "
          "1 in QUADROLDIP3, 1 in QUADROLDIP4, 1 in QUADROLAUT, 1 in QUADROST"}},
    };
    return ORFANE;
}

// Every finding expected, in order, as the tool writes it: company code,
// code, kind, message (a tab inside a stored text written as a blank).
QStringList righeAttese()
{
    QList<Caso> tutti = casi();
    tutti.insert(1, orfane().at(0)); // 101: the registered code, then the same in lower case
    tutti << orfane().at(1) << orfane().at(2);
    QStringList righe;
    for (const Caso& c : tutti)
        for (const QString& attesa : c.attese)
            righe << c.codazi + '\t' + c.cfs.trimmed() + '\t' + attesa.section('\t', 0, 0) + '\t' +
                         attesa.section('\t', 1).replace('\t', ' ');
    return righe;
}

void popola(ArchivioProva& a)
{
    a.aggiungiFrontespizio("001", quartiere::DICHIARANTE, {}, {}, "ALFA SRL");
    a.aggiungiFrontespizio("002", quartiere::ALTRODICHIARANTE, {}, {}, "DELTA SPA");
    for (const Caso& c : casi())
        a.aggiungiSostituto(c.codazi, c.cfs, c.asost);
    for (const Righe& r : righeQuadri())
        for (int i = 0; i < r.quante; ++i)
            a.aggiungiRigaQuadro(r.tabella, r.codazi, quartiere::DICHIARANTE, r.cfs);
}

// Runs the tool; its exit code (-1 for a crash), standard output and error.
int verifica(const QStringList& argomenti, QString& uscita, QString& errori)
{
    QProcess p;
    p.start(QDir(qEnvironmentVariable("ANAGSOST_TOOLS_DIR")).filePath("verifica"), argomenti);
    p.waitForFinished(120000);
    uscita = QString::fromUtf8(p.readAllStandardOutput());
    errori = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QStringList argomentiTool(const ArchivioProva& a)
{
    return a.suServer() ? QStringList{"--server", a.server(), a.nomeAnno()} : QStringList{a.cartella()};
}

} // namespace

class TestRegistroVerifica : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;
    std::vector<registro::Segnalazione> trovate;

private slots:
    void initTestCase()
    {
        RICHIEDI_MOTORE_PROVA();
        a = annoVuoto();
        popola(*a);
        const auto db = store::Database::OpenDatabase(a->luogoAnno());
        trovate = registro::verificaArchivio(*db);
    }
    void cleanupTestCase() { a.reset(); }

    void segnalazioni_data()
    {
        QTest::addColumn<QString>("codazi");
        QTest::addColumn<QString>("cfs");
        QTest::addColumn<QStringList>("attese");
        for (const Caso& c : casi() + orfane())
            QTest::newRow(c.nome) << c.codazi << c.cfs << c.attese;
    }
    void segnalazioni()
    {
        // What is said of each substitute, and of each key of section rows, under its key as stored.
        QFETCH(QString, codazi);
        QFETCH(QString, cfs);
        QFETCH(QStringList, attese);
        QStringList dette;
        for (const registro::Segnalazione& s : trovate)
            if (s.codazi.trimmed() == codazi && s.cfs.trimmed() == cfs.trimmed())
                dette << registro::codiceSegnalazione(s.tipo) + '\t' + s.messaggio;
        QCOMPARE(dette, attese);
    }

    void ordineENomi()
    {
        // Nothing beyond the cases, in the order of company code, code and kind; each with the name its sheet shows.
        QStringList ordine, nomi;
        for (const registro::Segnalazione& s : trovate) {
            ordine << s.codazi + '\t' + s.cfs.trimmed() + '\t' + registro::codiceSegnalazione(s.tipo) + '\t' +
                          QString(s.messaggio).replace('\t', ' ');
            nomi << s.nominativo;
        }
        QCOMPARE(ordine, righeAttese());
        QCOMPARE(nomi.mid(0, 3), (QStringList{"", "VERDI GIUSEPPE", "ROSSI MARIO"}));
        QCOMPARE(registro::riepilogoSegnalazioni(trovate),
                 "19 segnalazioni: codice fiscale errato 3, partita IVA errata 2, dati mancanti 3, "
                 "nascita diversa dal codice fiscale 2, provincia sconosciuta 2, "
                 "azienda collegata senza frontespizio 2, codice fiscale ripetuto 2, "
                 "righe dei quadri senza anagrafica 3");
    }

    void treGiriSulServer()
    {
        // The tables, the registry, the section rows: three statements whatever the archive holds.
        SOLO_SERVER("round trips to a server");
        const auto db = store::Database::OpenDatabase(a->luogoAnno());
        const quint64 prima = db->scambi();
        registro::verificaArchivio(*db);
        QCOMPARE(db->scambi() - prima, quint64(3));
    }

    void archivioInOrdine()
    {
        // An archive holding only what the sheet would accept: nothing to report.
        const auto b = annoVuoto();
        b->aggiungiFrontespizio("001", quartiere::DICHIARANTE);
        b->aggiungiFrontespizio("002", quartiere::ALTRODICHIARANTE);
        for (const Caso& c : casi().mid(0, 4))
            b->aggiungiSostituto(c.codazi, c.cfs, c.asost);
        b->aggiungiRigaQuadro("QUADROST", "101", quartiere::DICHIARANTE, casi().at(0).cfs);
        const auto db = store::Database::OpenDatabase(b->luogoAnno());
        QCOMPARE(registro::verificaArchivio(*db).size(), std::size_t(0));
        QCOMPARE(registro::riepilogoSegnalazioni({}), "0 segnalazioni");
    }

    void tabellaMancante()
    {
        // A year's database without a section table: named, nothing half-read.
        const auto b = annoVuoto();
        b->esegui("DROP TABLE QUADROLDIP3");
        const auto db = store::Database::OpenDatabase(b->luogoAnno());
        const store::ErroreArchivio e = errore([&] { registro::verificaArchivio(*db); });
        QCOMPARE(int(e.tipo()), int(store::TipoErrore::OggettoMancante));
        QVERIFY2(e.messaggio().contains("QUADROLDIP3"), qPrintable(e.messaggio()));
    }

    void strumento()
    {
        // The tool: one line per finding, exit 1; nothing found, exit 0; no archive there, exit 2 and why.
        QString uscita, errori;
        QCOMPARE(verifica(argomentiTool(*a), uscita, errori), 1);
        QCOMPARE(uscita.split('\n', Qt::SkipEmptyParts), righeAttese());

        const auto b = annoVuoto();
        b->aggiungiFrontespizio("001", quartiere::DICHIARANTE);
        b->aggiungiSostituto(casi().at(0).codazi, casi().at(0).cfs, casi().at(0).asost);
        QCOMPARE(verifica(argomentiTool(*b), uscita, errori), 0);
        QCOMPARE(uscita, QString());

        const ArchivioProva senzaAnno; // the template only: no year's database
        QCOMPARE(verifica(argomentiTool(senzaAnno), uscita, errori), 2);
        QCOMPARE(uscita, QString());
        QVERIFY2(errori.contains("non esiste"), qPrintable(errori));
        QCOMPARE(verifica({"--help"}, uscita, errori), 0);
        QVERIFY(uscita.startsWith("Uso: "));
    }

    void strumentoArchivioDanneggiato()
    {
        SOLO_FILE("damage to a file");
        const ArchivioProva b;
        QFile file(b.percorsoAnno());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x'));
        file.close();
        QString uscita, errori;
        QCOMPARE(verifica(argomentiTool(b), uscita, errori), 2);
        QVERIFY2(errori.startsWith("L'archivio " + QDir::toNativeSeparators(b.percorsoAnno()) + " non si può leggere"),
                 qPrintable(errori));
    }
};

QTEST_GUILESS_MAIN(TestRegistroVerifica)
#include "tst_registro_verifica.moc"
