// The export tool run as a backup script runs it, on the archive folder or
// (the _pg variant) on the server: its order and search, the format by the
// file's extension, exit status 0 when written and 2 with the reason on
// standard error when not. What the file holds is the core's
// (tst_registro_esporta, tst_registro_xlsx).
#include "support/archivioprova.h"
#include "support/csvprova.h"
#include "support/programma.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

class TestEsporta : public QObject {
    Q_OBJECT

private slots:

    void esporta()
    {
        // By name 103, 102, 101; by codice fiscale 102, 103, 101; "ro" in 101's and 103's names.
        ArchivioProva a;
        a.creaAnno();
        a.aggiungiSostituto("101", "ZZZRSS70A01H501X", {"ROSSI", "MARIO"});
        a.aggiungiSostituto("102", "BNCLRA80A41F205Y", {"BIANCHI", "ZENO"});
        a.aggiungiSostituto("103", "MRNRSS70A01H501X", {"BARONI", "ANNA"});
        QTemporaryDir dove;
        // Options, file (in `dove`), exit status, how its output begins, the company codes written or none.
        const QString nonScritto = "Impossibile scrivere il file\n" + dove.filePath("manca/x.xlsx") +
                                   "\n\nLa cartella non esiste o non si hanno i permessi";
        // clang-format off
        const QList<std::tuple<QStringList, QString, int, QString, QString>> casi = {
            {{}, "tutte.csv", 0, "Esportazione effettuata\n\n3 anagrafiche", "101 102 103"},
            {{"--ordine", "nome"}, "nome.csv", 0, "Esportazione effettuata\n\n3", "103 102 101"},
            {{"--ordine", "cfs", "--trova", "RO"}, "ro.csv", 0, "Esportazione effettuata\n\n2", "103 101"},
            {{}, "elenco.XLSX", 0, "Esportazione effettuata", "workbook"},
            {{"--ordine", "denominazione"}, "x.csv", 2, "esporta: ordine sconosciuto 'denominazione'", "none"},
            {{}, "x.ods", 2, "esporta: il file deve finire con .xlsx o .csv", "none"},
            {{}, "manca/x.xlsx", 2, nonScritto, "none"}, {{"--manca"}, "x.csv", 2, "L'archivio ", "none"},
            {{"--spento"}, "x.csv", 2, "Attenzione !!! Il server PostgreSQL dell'archivio non risponde.", "none"}};
        // clang-format on
        for (const auto& [opzioni, nome, esito, uscita, righe] : casi) {
            // The archive: its folder, or its server and prefix; a folder or prefix of none for --manca; a
            // server that does not answer for --spento.
            const QString manca = opzioni.contains("--manca") ? "manca" : "";
            QStringList argomenti = opzioni.filter(QRegularExpression("^(?!--manca|--spento)"));
            if (opzioni.contains("--spento"))
                argomenti << QStringList{"--server", "host=127.0.0.1 port=1"};
            else if (a.suServer())
                argomenti << "--server" << a.server() << "--prefisso" << a.prefisso() + manca;
            else
                argomenti << a.cartella() + '/' + manca;
            const QString file = QDir(dove.path()).filePath(nome);
            QProcess p;
            p.start(QDir(qEnvironmentVariable("ANAGSOST_TOOLS_DIR")).filePath("esporta"), argomenti << file);
            QVERIFY(p.waitForFinished(120000));
            const QString caso = nome + ": ";
            QCOMPARE(caso + QString::number(p.exitCode()), caso + QString::number(esito));
            const QString detto = QString::fromUtf8(esito == 0 ? p.readAllStandardOutput() : p.readAllStandardError());
            QVERIFY2(detto.startsWith(uscita), qPrintable(caso + detto));
            QFile scritto(file);
            QStringList codici{scritto.open(QIODevice::ReadOnly) ? "" : "none"};
            if (scritto.isOpen() && scritto.peek(4) == "PK\x03\x04")
                codici = QStringList{"workbook"};
            else if (scritto.isOpen())
                for (const QStringList& riga : leggiCsv(scritto.readAll()).mid(1))
                    codici << riga.first();
            QCOMPARE(caso + codici.join(' ').trimmed(), caso + righe);
        }
    }
};

PROVA(TestEsporta);
#include "esporta.moc"
