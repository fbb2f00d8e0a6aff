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

const QVariant N; // Null

QVariantList persona(const QString& cognome, const QString& nome, const QString& sesso, const QString& data,
                     const QString& comune, const QVariant& provincia, const QString& collegata = "001")
{
    return {cognome, nome, sesso, data, comune, provincia, "ROMA", "RM", "VIA ROMA 1", collegata};
}
QVariantList societa(const QString& nome, const QString& collegata = "002")
{
    return {nome, "", "", "00000000", "", "XX", "MILANO", "MI", "VIA MILANO 2", collegata};
}

// Writes the archive, and returns every finding the check must make of it,
// in its order (company code, codice fiscale, kind), as the tool writes
// them: company code, code, kind, message (a tab inside a stored text
// written as a blank). A row's expectations are written beside it.
QStringList popola(ArchivioProva& a)
{
    using strumenti::codiceFiscale, strumenti::partitaIva;
    const QString rossi = codiceFiscale("ROSSI", "MARIO", QDate(1980, 1, 1), 'M', "H501");
    const QString verdi = codiceFiscale("VERDI", "GIUSEPPE", QDate(1970, 1, 1), 'M', "F205");
    const QString piva1 = partitaIva("0123456789"), piva2 = partitaIva("0987654321");
    const QString orfane = "RIGHE_ORFANE\tRighe dei quadri senza anagrafica sostituto: ";
    QStringList attese;
    const auto sostituto = [&](const QString& codazi, const QString& cfs, const QVariantList& asost,
                               const QStringList& segnalazioni) {
        if (!asost.isEmpty())
            a.aggiungiSostituto(codazi, cfs, asost);
        for (const QString& s : segnalazioni)
            attese << codazi + '\t' + cfs.trimmed() + '\t' + s.section('\t', 0, 0) + '\t' +
                          s.section('\t', 1).replace('\t', ' ');
    };
    a.aggiungiFrontespizio("001", quartiere::DICHIARANTE, {}, {}, "ALFA SRL");
    a.aggiungiFrontespizio("002", quartiere::ALTRODICHIARANTE, {}, {}, "DELTA SPA");
    // clang-format off
    // A person in order, its linked company "1" (001); rows of another company (120) under its code; rows under
    // its code in lower case.
    sostituto("101", rossi, persona("ROSSI", "MARIO", "M", "19800101", "ROMA", "RM", "1"), {});
    sostituto("101", rossi.toLower(), {}, {orfane + "1 in QUADROLAUT"});
    // A company without first name nor birth data, a birth province left over; its rows padded with blanks.
    sostituto("102", piva1, societa("ALFA SRL"), {});
    // A foreign birth place; a partita IVA padded with blanks, its rows without.
    sostituto("103", codiceFiscale("SMITH", "JOHN", QDate(1970, 3, 10), 'M', "Z401"),
              persona("SMITH", "JOHN", "M", "19700310", "CANADA", "EE"), {});
    sostituto("104", piva2 + "     ", societa("BETA SNC"), {});
    sostituto("107", "12345678900", societa("GAMMA SRL"), {"PIVA_ERRATA\tPartita IVA formalmente errata"});
    sostituto("109", codiceFiscale("NERI", "PAOLO", QDate(1960, 3, 10), 'M', "L219"),
              persona("NERI", "PAOLO", "", "00000000", "", N),
              {"DATI_MANCANTI\tDati mancanti: sesso, data di nascita, comune di nascita, provincia di nascita"});
    sostituto("110", codiceFiscale("GIALLI", "ANNA", QDate(1980, 12, 1), 'F', "H501"),
              {"GIALLI", "ANNA", "F", "19801332", "ROMA", "RM", N, "", N, "001"},
              {"DATI_MANCANTI\tDati mancanti o errati: data di nascita errata, comune di residenza, provincia di "
               "residenza, indirizzo"});
    // Birth data the code does not carry, a surname it does not spell, a province in lower case.
    sostituto("111", codiceFiscale("BIANCHI", "LAURA", QDate(1975, 8, 15), 'F', "F205"),
              persona("ROSSI", "LAURA", "M", "19750816", "MILANO", "mi"),
              {"NASCITA_DIVERSA\tNon corrispondono al codice fiscale: sesso, data di nascita",
               "PROVINCIA_SCONOSCIUTA\tNon presenti nella tabella delle province: provincia di nascita mi"});
    sostituto("112", partitaIva("0555555555"), {N, N, N, N, N, N, "TORINO", "TO", "VIA PO 1", N},
              {"DATI_MANCANTI\tDati mancanti: cognome o denominazione",
               "AZIENDA_SENZA_FRONTESPIZIO\tCodice azienda collegata non indicato"});
    sostituto("113", codiceFiscale("GRIGI", "LUCA", QDate(1985, 5, 5), 'M', "H501"),
              {"GRIGI", "LUCA", "M", "19850505", "ROMA", "XX", "ROMA", "Z\tZ", "VIA ROMA 1", "001"},
              {"NASCITA_DIVERSA\tNon corrispondono al codice fiscale: provincia di nascita",
               "PROVINCIA_SCONOSCIUTA\tNon presenti nella tabella delle province: provincia di nascita XX, "
               "provincia di residenza Z\tZ"});
    sostituto("114", partitaIva("0666666666"), societa("EPSILON SPA", "9"),
              {"AZIENDA_SENZA_FRONTESPIZIO\tIl codice azienda collegata 9 non è presente nel frontespizio"});
    // No birth date at all, a birth province padded with a blank.
    sostituto("115", codiceFiscale("BLU", "ADA", QDate(1990, 2, 2), 'F', "H501"), persona("BLU", "ADA", "F", "", "ROMA", "RM "),
              {"DATI_MANCANTI\tDati mancanti: data di nascita"});
    sostituto("116", verdi, persona("VERDI", "GIUSEPPE", "M", "19700101", "MILANO", "MI"),
              {"CODICE_DOPPIO\tCodice fiscale presente anche in: 117 " + verdi.toLower()});
    sostituto("117", verdi.toLower(), persona("VERDI", "GIUSEPPE", "M", "19700101", "MILANO", "MI"),
              {"CF_ERRATO\tCodice fiscale formalmente errato", "CODICE_DOPPIO\tCodice fiscale presente anche in: 116 " + verdi});
    sostituto("120", rossi, {}, {orfane + "1 in QUADROLDIP1, 2 in QUADROST"});
    sostituto("121", "X1", {}, {orfane + "1 in QUADROLDIP1, 1 in QUADROLDIP2, 1 in QUADROLDIP3, 1 in QUADROLDIP4, "
                                         "1 in QUADROLAUT, 1 in QUADROST"});
    const QList<std::tuple<QString, QString, QString, int>> righe = {
        {"QUADROLDIP1", "101", rossi, 2}, {"QUADROLAUT", "101", rossi.toLower(), 1}, {"QUADROLAUT", "102", piva1 + "     ", 1},
        {"QUADROST", "104", piva2, 3}, {"QUADROLDIP2", "104", piva2 + "     ", 1}, {"QUADROLDIP1", "120", rossi, 1},
        {"QUADROST", "120", rossi, 2}};
    // clang-format on
    for (const auto& [tabella, codazi, cfs, quante] : righe)
        for (int i = 0; i < quante; ++i)
            a.aggiungiRigaQuadro(tabella, codazi, quartiere::DICHIARANTE, cfs);
    for (const QString& tabella : SEZIONI)
        a.aggiungiRigaQuadro(tabella, "121", quartiere::DICHIARANTE, "X1");
    return attese;
}

// Runs the tool; its exit code (-1 for a crash), standard output and error.
int verifica(const ArchivioProva& a, QString& uscita, QString& errori)
{
    const QStringList argomenti =
        a.suServer() ? QStringList{"--server", a.server(), a.nomeAnno()} : QStringList{a.cartella()};
    QProcess p;
    p.start(QDir(qEnvironmentVariable("ANAGSOST_TOOLS_DIR")).filePath("verifica"), argomenti);
    p.waitForFinished(120000);
    uscita = QString::fromUtf8(p.readAllStandardOutput());
    errori = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class TestRegistroVerifica : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> a;
    QStringList attese;

private slots:
    void initTestCase()
    {
        a = annoVuoto();
        attese = popola(*a);
    }
    void cleanupTestCase() { a.reset(); }

    void segnalazioni()
    {
        // Every finding expected and nothing else, in order, under its key as stored; with the name its sheet shows.
        const auto db = store::Database::OpenDatabase(a->luogoAnno());
        const quint64 prima = db->scambi();
        const std::vector<registro::Segnalazione> trovate = registro::verificaArchivio(*db);
        // The catalogue (a new connection reads it at its first use), the tables, the registry, the section rows:
        // four round trips whatever the archive holds.
        if (a->suServer())
            QCOMPARE(db->scambi() - prima, quint64(4));
        QStringList dette, nomi;
        for (const registro::Segnalazione& s : trovate) {
            dette << s.codazi + '\t' + s.cfs.trimmed() + '\t' + registro::codiceSegnalazione(s.tipo) + '\t' +
                         QString(s.messaggio).replace('\t', ' ');
            nomi << s.nominativo;
        }
        QCOMPARE(dette, attese);
        QCOMPARE(nomi.mid(0, 3), (QStringList{"", "GAMMA SRL", "NERI PAOLO"}));
        QCOMPARE(registro::riepilogoSegnalazioni(trovate),
                 "17 segnalazioni: codice fiscale errato 1, partita IVA errata 1, dati mancanti 4, "
                 "nascita diversa dal codice fiscale 2, provincia sconosciuta 2, "
                 "azienda collegata senza frontespizio 2, codice fiscale ripetuto 2, "
                 "righe dei quadri senza anagrafica 3");
    }

    void strumento()
    {
        // One line per finding, exit 1; nothing found, exit 0; no archive there, or one lacking a table, exit 2 and
        // why (the table named).
        QString uscita, errori;
        QCOMPARE(verifica(*a, uscita, errori), 1);
        QCOMPARE(uscita.split('\n', Qt::SkipEmptyParts), attese);
        const auto b = annoVuoto();
        b->aggiungiFrontespizio("001", quartiere::DICHIARANTE);
        b->aggiungiSostituto("101", "12345678903", societa("ALFA SRL", "001"));
        QCOMPARE(verifica(*b, uscita, errori), 0);
        QCOMPARE(uscita, QString());
        const ArchivioProva senzaAnno; // the template only
        QCOMPARE(verifica(senzaAnno, uscita, errori), 2);
        QVERIFY2(uscita.isEmpty() && errori.contains("non esiste"), qPrintable(errori));
        b->esegui("DROP TABLE QUADROST");
        QCOMPARE(verifica(*b, uscita, errori), 2);
        QVERIFY2(errori.contains(" non si può leggere") && errori.contains("QUADROST"), qPrintable(errori));
    }
};

PROVA(TestRegistroVerifica);
#include "verifica.moc"
