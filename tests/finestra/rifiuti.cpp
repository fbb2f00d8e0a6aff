// The store refuses an action while the window is open: another program's
// lock, a full disk, the archive file replaced, the session ended by the
// server, a clerk's role that may only read, the server stopped. One row
// each: the action refused with one critical box saying what happened (its
// words are the store's, tst_guasti), nothing written, what the operator was
// doing kept (the sheet as typed and still to be saved, the line picked, the
// code typed, the list); once the fault is gone the action goes through, and
// writes once. The actions and what is kept are written as in the wiring
// table (cablaggio.h).
#include "finestra/cablaggio.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>

namespace {

constexpr int ATTESA = 300; // the window's wait for a lock
enum Guasto { BLOCCO, ESCLUSIVO, DISCO, SOSTITUITO, SESSIONE, RUOLO, SERVER };

// scripts/pg.sh pausa|riprendi on the server the tests run on.
bool server(const QString& comando)
{
    QProcess pg;
    pg.setProcessChannelMode(QProcess::ForwardedChannels);
    pg.start(qEnvironmentVariable("ANAGSOST_PG_SCRIPT"), {comando});
    return pg.waitForFinished(120000) && pg.exitStatus() == QProcess::NormalExit && pg.exitCode() == 0;
}

} // namespace

class TestRifiuti : public QObject {
    Q_OBJECT

    std::unique_ptr<BancoProva> p;
    std::unique_ptr<ArchivioProva::Blocco> blocco;
    std::unique_ptr<RuoloProva> impiegato;

    // The fault, in place; removed (false) where it can be.
    void applica(Guasto g, bool presente)
    {
        ArchivioProva& a = p->archivio;
        if (g == BLOCCO || g == ESCLUSIVO) // others may read, not write; or not even read
            blocco = presente ? a.blocca(g == ESCLUSIVO) : nullptr;
        if (g == DISCO && presente) { // the file may not grow, its page filled: the longer row needs one more
            p->modulo.DBANNO->Execute(QString("PRAGMA max_page_count = %1").arg(a.conta("PRAGMA page_count")));
            for (int passo = 1024; passo > 0; passo /= 2)
                try {
                    p->modulo.DBANNO->Execute("INSERT INTO ANAGSOSTITUTI (CODAZI, CFS, ASOST_1) VALUES ('9', ?, ?)",
                                              {QString::number(passo), QString(passo, 'X')});
                } catch (const store::ErroreArchivio&) {
                }
        }
        if (g == DISCO && !presente)
            p->modulo.DBANNO->Execute("PRAGMA max_page_count = 1000000");
        if (g == SOSTITUITO) { // a backup restored under the window
            QVERIFY(QFile::rename(a.percorsoAnno(), a.cartella() + "/S7702004.BAK"));
            QVERIFY(QFile::copy(a.cartella() + "/S7702004.BAK", a.percorsoAnno()));
        }
        if (g == SESSIONE && presente)
            QCOMPARE(a.interrompiSessioni(), 1);
        if (g == RUOLO && !presente)
            a.esegui("GRANT INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO " + impiegato->nome());
        if (g == SERVER)
            QVERIFY(server(presente ? "pausa" : "riprendi"));
    }

private slots:
    void cleanup()
    {
        blocco.reset();
        impiegato.reset(); // the role dropped from the archive, which goes with the window
        p.reset();
    }

    void rifiuto_data()
    {
        QTest::addColumn<int>("guasto");
        QTest::addColumn<QString>("prima");         // the actions before the fault
        QTest::addColumn<QString>("azione");        // refused; then tried again once the fault is gone
        QTest::addColumn<QString>("stato");         // what stays as it was, as the wiring table reads it
        QTest::addColumn<QStringList>("frammenti"); // of the critical box, one per try while the fault lasts
        QTest::addColumn<QString>("dopo"); // what the action writes ("; " between statements); "-": not tried again
        const QString uso = "L'archivio è in uso da un altro programma della procedura.";
        const QString persa = "La connessione al server dell'archivio si è interrotta";
        const QString salva = "apri 101; scrivi 9 strada provinciale 12", scheda = "scheda\nvariazioni";
        const QString via = "UPDATE ANAGSOSTITUTI SET ASOST_9 = 'STRADA PROVINCIALE 12' WHERE CODAZI = '101'";
        const auto riga = [](const char* nome, Guasto g, const QString& prima, const QString& azione,
                             const QString& stato, const QStringList& frammenti, const QString& dopo) {
            QTest::newRow(nome) << int(g) << prima << azione << stato << frammenti << dopo;
        };
        // A save refused, here the one the question asks for on leaving the sheet: the sheet is not left.
        riga("lock, save on leaving the sheet", BLOCCO, salva, "si; premi cmduscita(0)", scheda + "\nvisibili", {uso},
             via);
        riga("lock, deletion", BLOCCO, "clic 101", "si; si; premi Cmdcancella", "scelta",
             {uso + "\r.*\r\rIl sostituto selezionato non è stato cancellato"},
             "DELETE FROM ANAGSOSTITUTI WHERE CODAZI = '101'; DELETE FROM QUADROLAUT WHERE CODAZI = '101'");
        riga("lock, change of codice fiscale", BLOCCO, "clic 101; premi CmdCambia; tasti Text2 AAAAAA00A00A000I",
             "si; premi CmdConfermaCF", "visibili\ntesto Text2",
             {uso + "\r.*\r\rIl codice fiscale non è stato cambiato"},
             "UPDATE ANAGSOSTITUTI SET CFS = 'AAAAAA00A00A000I' WHERE CODAZI = '101'; "
             "UPDATE QUADROLAUT SET CFS = 'AAAAAA00A00A000I' WHERE CODAZI = '101'");
        riga("lock, list order", ESCLUSIVO, "avvia", "premi Option1(1)", "righe", {uso}, "");
        riga("disk full, save", DISCO, salva, "premi cmdmemorizza", scheda, {"Il disco dell'archivio è pieno"}, via);
        riga("file replaced, save", SOSTITUITO, salva, "premi cmdmemorizza", scheda,
             {"L'archivio è stato spostato o sostituito"}, "-");
        riga("session ended, save", SESSIONE, salva, "premi cmdmemorizza", scheda, {persa}, via);
        riga("role that may only read, save", RUOLO, salva, "premi cmdmemorizza", scheda,
             {"non concede all'utente .* il diritto di scrittura"}, via);
        riga("server stopped, save", SERVER, salva, "premi cmdmemorizza", scheda,
             {persa, "Il server PostgreSQL dell'archivio non risponde"}, via);
    }
    void rifiuto()
    {
        QFETCH(int, guasto);
        QFETCH(QString, prima);
        QFETCH(QString, azione);
        QFETCH(QString, stato);
        QFETCH(QStringList, frammenti);
        QFETCH(QString, dopo);
        const Guasto g = Guasto(guasto);
        if (g == DISCO || g == SOSTITUITO)
            SOLO_FILE("the SQLite file itself");
        if (g == SESSIONE || g == RUOLO || g == SERVER)
            SOLO_SERVER("a server's session or role");
        // The server is stopped only by the run of this row alone (tst_riavvio_pg), no other test running.
        if ((g == SERVER) != qEnvironmentVariableIsSet("ANAGSOST_PG_SCRIPT"))
            QSKIP("the server stopped: tst_riavvio_pg alone");
        p = banco(ATTESA);
        if (g == RUOLO) {
            impiegato = std::make_unique<RuoloProva>(p->archivio);
            if (!impiegato->motivoSalto().isEmpty())
                QSKIP(qPrintable(impiegato->motivoSalto()));
            p->archivio.esegui("GRANT SELECT ON ALL TABLES IN SCHEMA public TO " + impiegato->nome());
            configuraServer(impiegato->server(), p->archivio.prefisso());
        }
        Cablaggio c{*p};
        c.esegui(prima);
        // The archive before and after the action (a full disk is made by filling the file: its rows too).
        if (g == DISCO)
            applica(g, true);
        const QString primaArchivio = p->archivio.istantanea();
        QList<std::pair<QString, QVariantList>> istruzioni;
        for (const QString& sql : dopo.split("; ", Qt::SkipEmptyParts))
            istruzioni.append({sql, {}});
        const QString dopoArchivio = dopo == "-" ? QString() : p->archivio.istantaneaDopo(istruzioni);
        QStringList visto;
        for (const QString& chiave : stato.split('\n'))
            visto << c.stato(chiave);
        const auto ripristina = qScopeGuard([g] {
            if (g == SERVER)
                server("riprendi"); // whatever happens, for the tests that follow
        });

        if (g != DISCO)
            applica(g, true);
        for (const QString& frammento : frammenti) {
            QElapsedTimer tempo;
            tempo.start();
            azzeraMessaggi();
            c.esegui(azione);
            const QStringList detti = c.critici();
            QCOMPARE(detti.size(), 1);
            QVERIFY2(
                detti.first().contains(QRegularExpression(frammento, QRegularExpression::DotMatchesEverythingOption)),
                qPrintable(detti.first()));
            QVERIFY((g != BLOCCO && g != ESCLUSIVO) || tempo.elapsed() >= ATTESA - 20); // refused once the wait is over
            QStringList ora;
            for (const QString& chiave : stato.split('\n'))
                ora << c.stato(chiave);
            QCOMPARE(ora, visto);
        }
        // Nothing written (read once the lock, if any, is gone); then tried again.
        if (dopo != "-")
            applica(g, false);
        QCOMPARE(p->archivio.istantanea(), primaArchivio);
        if (dopo == "-")
            return;
        azzeraMessaggi();
        c.esegui(g == ESCLUSIVO || dopo.isEmpty() ? "premi Option1(2)" : azione);
        QCOMPARE(c.critici(), QStringList());
        QCOMPARE(p->archivio.istantanea(), dopoArchivio);
    }
};

PROVA(TestRifiuti);
#include "rifiuti.moc"
