// What the window adds to the export and the print: the file type chosen in
// the save dialog picks the writer (a name typed with the other type's
// extension picks that one), and both propose the folder written into last,
// else the documents folder (the home folder without one). What the files
// hold is the core's (tst_registro_esporta, tst_registro_xlsx).
#include "support/finestraprova.h"
#include "support/programma.h"

#include "window/dialoghi.h"

namespace {

// What a file is, by its first bytes: a workbook (a zip file), a CSV file (its byte-order mark), a PDF, or none.
QString tipoDi(const QString& percorso)
{
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly))
        return "none";
    const QByteArray inizio = file.read(4);
    return inizio == "PK\x03\x04" ? "xlsx" : inizio.startsWith("\xEF\xBB\xBF") ? "csv" : inizio == "%PDF" ? "pdf" : "?";
}

} // namespace

class TestEsportazione : public QObject {
    Q_OBJECT

    QTemporaryDir cartella;
    std::unique_ptr<BancoProva> prova;

    QString in(const QString& nome) { return cartella.filePath(nome); }
    // The environment of the other classes of the program, given back at the end.
    const QByteArray casa = qgetenv("HOME"), configurazione = qgetenv("XDG_CONFIG_HOME");

private slots:
    void initTestCase()
    {
        // The user's folders: a home of the test's own, with no documents folder yet.
        qputenv("HOME", QFile::encodeName(in("casa")));
        qunsetenv("XDG_CONFIG_HOME");
        for (const char* sotto : {"casa", "uno", "due"})
            QVERIFY(QDir(cartella.path()).mkpath(sotto));
        prova = std::make_unique<BancoProva>();
        prova->sostituto({"101", "RSSMRA75M15H501X"});
        QVERIFY(prova->avvia());
    }
    void cleanupTestCase()
    {
        Dialoghi::clearNext();
        prova.reset();
        qputenv("HOME", casa);
        qputenv("XDG_CONFIG_HOME", configurazione);
    }

    void cartellaETipo()
    {
        // One after the other: the button, the file chosen ("" cancels; "+" makes the folder) and the type chosen
        // with it (-1: the one proposed), the file the dialog proposed, what was written.
        const QList<std::tuple<QString, QString, int, QString, QString>> passi = {
            {"CmdEsporta", "", -1, "casa/anagrafiche-sostituti.xlsx", "none"},
            {"CmdStampa", "", -1, "casa/anagrafiche-sostituti.pdf", "none"},
            {"+", "casa/Documents", -1, "", ""},
            {"CmdEsporta", "uno/zero", -1, "casa/Documents/anagrafiche-sostituti.xlsx", "xlsx"},
            {"CmdEsporta", "uno/elenco", 1, "uno/zero", "csv"},
            {"CmdEsporta", "uno/due.csv", 0, "uno/elenco", "csv"},
            {"CmdEsporta", "uno/cinque", -1, "uno/due.csv", "csv"},
            {"CmdEsporta", "uno/tre.xlsx", 1, "uno/cinque", "xlsx"},
            {"CmdStampa", "due/lista.pdf", -1, "uno/anagrafiche-sostituti.pdf", "pdf"},
            {"CmdEsporta", "manca/elenco.csv", -1, "due/tre.xlsx", "none"},
            {"CmdStampa", "manca/lista.pdf", -1, "due/anagrafiche-sostituti.pdf", "none"},
            {"CmdStampa", "", -1, "due/anagrafiche-sostituti.pdf", "none"}};
        for (const auto& [bottone, file, tipo, proposto, scritto] : passi) {
            if (bottone == "+") {
                QVERIFY(QDir(cartella.path()).mkpath(file));
                continue;
            }
            if (bottone == "CmdStampa" && !file.isEmpty())
                Dialoghi::setNextPdf(in(file));
            else if (!file.isEmpty())
                Dialoghi::setNextFile(in(file), tipo < 0 ? std::nullopt : std::optional<int>(tipo));
            prova->click(bottone);
            Dialoghi::clearNext();
            const QString passo = bottone + ' ' + file + ": ";
            QCOMPARE(passo + Dialoghi::ultimoProposto(), passo + in(proposto));
            QCOMPARE(passo + tipoDi(in(file)), passo + scritto);
        }
    }
};

PROVA(TestEsportazione);
#include "esportazione.moc"
