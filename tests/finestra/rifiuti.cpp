// The store refuses an action while the window is open: another program's
// lock, a full disk, the archive file replaced, the session ended by the
// server, a clerk's role that may only read, the server stopped. One row
// each: the action refused with one critical box saying what happened (its
// words are the store's, tst_guasti), nothing written, what the operator was
// doing kept (the sheet as typed and still to be saved, the line picked, the
// code typed, the list); once the fault is gone the same action goes
// through, and writes once.
#include "support/finestraprova.h"
#include "support/programma.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>

namespace {

const Chiave ROSSI{"101", "RSSMRA80A01H501U"};
const QString NUOVOCF = "AAAAAA00A00A000I";
constexpr int ATTESA = 1000; // the window's wait for a lock, in the row of another process

enum Guasto { BLOCCO, PROCESSO, DISCO, SOSTITUITO, SESSIONE, RUOLO, SERVER };
enum Azione { SALVA, CANCELLA, CAMBIA, ORDINA };

// Another program of the suite holding the file for `perMs`, so that nobody may even read it.
std::unique_ptr<QProcess> altroProgramma(const QString& percorso, int perMs)
{
    auto processo = std::make_unique<QProcess>();
    processo->start(ANAGSOST_FIGLIO, {"blocca", percorso, QString::number(perMs)});
    QByteArray uscita;
    while (!uscita.contains("BLOCCATO\n") && processo->waitForReadyRead(30000))
        uscita += processo->readAllStandardOutput();
    return uscita.contains("BLOCCATO\n") ? std::move(processo) : nullptr;
}

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
    std::unique_ptr<QProcess> altro;
    std::unique_ptr<RuoloProva> impiegato;

    // What the operator sees of the action's state.
    QString stato(Azione a)
    {
        switch (a) {
        case SALVA:
            return p->scheda() + " variazioni " + QString::number(p->modulo.VARIAZIONI);
        case CANCELLA:
            return p->scelta();
        case CAMBIA:
            return QString::number(p->visibile("FrameCambiaCf")) + ' ' + p->campo("Text2")->text();
        case ORDINA:
            return p->righeLista().join('|');
        }
        return {};
    }
    void esegui(Azione a, int volta)
    {
        azzeraMessaggi();
        switch (a) {
        case SALVA:
            return p->click("cmdmemorizza");
        case CANCELLA:
            MessageBox::setNextAnswer(vbYes);
            MessageBox::setNextAnswer(vbYes);
            return p->click("Cmdcancella");
        case CAMBIA:
            MessageBox::setNextAnswer(vbYes);
            return p->click("CmdConfermaCF");
        case ORDINA:
            return QTest::mouseClick(p->controllo<QWidget>(QString("Option1(%1)").arg(1 + volta % 2)), Qt::LeftButton);
        }
    }
    // The critical boxes under the window's title that ask nothing.
    QStringList critici()
    {
        QStringList testi;
        for (const auto& b : MessageBox::shown())
            if (b.stile == vbCritical && b.titolo == p->finestra.windowTitle())
                testi << b.testo;
        return testi;
    }
    // The fault, in place; removed (false) where it can be.
    void applica(Guasto g, Azione azione, bool presente)
    {
        ArchivioProva& a = p->archivio;
        switch (g) {
        case BLOCCO: // others may read, not write; for a list, not even read
            blocco = presente ? a.blocca(azione == ORDINA) : nullptr;
            return;
        case PROCESSO:
            // Held past the window's wait; then taken again and let go while the window waits.
            if (!presente)
                QVERIFY(altro->waitForFinished(30000));
            altro = altroProgramma(a.percorsoAnno(), presente ? ATTESA + 1500 : 300);
            QVERIFY(altro);
            return;
        case DISCO:
            if (presente) { // the file may not grow, its substitutes' page filled: the longer row needs one more
                p->modulo.DBANNO->Execute(QString("PRAGMA max_page_count = %1").arg(a.conta("PRAGMA page_count")));
                for (int passo = 1024; passo > 0; passo /= 2)
                    try {
                        p->modulo.DBANNO->Execute("INSERT INTO ANAGSOSTITUTI (CODAZI, CFS, ASOST_1) VALUES ('9', ?, ?)",
                                                  {QString::number(passo), QString(passo, 'X')});
                    } catch (const store::ErroreArchivio&) {
                    }
            } else {
                p->modulo.DBANNO->Execute("PRAGMA max_page_count = 1000000");
            }
            return;
        case SOSTITUITO:
            // A backup restored under the window: nothing to remove.
            QVERIFY(QFile::rename(a.percorsoAnno(), a.cartella() + "/S7702004.BAK"));
            QVERIFY(QFile::copy(a.cartella() + "/S7702004.BAK", a.percorsoAnno()));
            return;
        case SESSIONE:
            if (presente)
                QCOMPARE(a.interrompiSessioni(), 1);
            return;
        case RUOLO:
            if (!presente)
                a.esegui("GRANT INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO " + impiegato->nome());
            return;
        case SERVER:
            QVERIFY(server(presente ? "pausa" : "riprendi"));
            return;
        }
    }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }
    void cleanup()
    {
        blocco.reset();
        if (altro)
            altro->waitForFinished(30000);
        altro.reset();
        impiegato.reset(); // the role dropped from the archive, which goes with the window
        p.reset();
    }

    void rifiuto_data()
    {
        QTest::addColumn<int>("guasto");
        QTest::addColumn<int>("azione");
        QTest::addColumn<QStringList>("frammenti"); // of the critical box, one per try while the fault lasts
        QTest::addColumn<bool>("riprova");          // the fault removed, the action tried again
        const QString uso = "L'archivio è in uso da un altro programma della procedura.";
        QTest::newRow("lock, save") << int(BLOCCO) << int(SALVA) << QStringList{uso} << true;
        QTest::newRow("lock, deletion") << int(BLOCCO) << int(CANCELLA)
                                        << QStringList{uso + "\r.*\r\rIl sostituto selezionato non è stato cancellato"}
                                        << true;
        QTest::newRow("lock, change of codice fiscale")
            << int(BLOCCO) << int(CAMBIA) << QStringList{uso + "\r.*\r\rIl codice fiscale non è stato cambiato"}
            << true;
        QTest::newRow("lock, list order") << int(BLOCCO) << int(ORDINA) << QStringList{uso} << true;
        QTest::newRow("another process's lock, save") << int(PROCESSO) << int(SALVA) << QStringList{uso} << true;
        QTest::newRow("disk full, save") << int(DISCO) << int(SALVA) << QStringList{"Il disco dell'archivio è pieno"}
                                         << true;
        QTest::newRow("file replaced, save")
            << int(SOSTITUITO) << int(SALVA) << QStringList{"L'archivio è stato spostato o sostituito"} << false;
        QTest::newRow("session ended, save")
            << int(SESSIONE) << int(SALVA) << QStringList{"La connessione al server dell'archivio si è interrotta"}
            << true;
        QTest::newRow("session ended, list order")
            << int(SESSIONE) << int(ORDINA) << QStringList{"La connessione al server dell'archivio si è interrotta"}
            << true;
        QTest::newRow("role that may only read, save")
            << int(RUOLO) << int(SALVA) << QStringList{"non concede all'utente .* il diritto di scrittura"} << true;
        QTest::newRow("server stopped, save") << int(SERVER) << int(SALVA)
                                              << QStringList{"La connessione al server dell'archivio si è interrotta",
                                                             "Il server PostgreSQL dell'archivio non risponde"}
                                              << true;
    }
    void rifiuto()
    {
        QFETCH(int, guasto);
        QFETCH(int, azione);
        QFETCH(QStringList, frammenti);
        QFETCH(bool, riprova);
        const Guasto g = Guasto(guasto);
        const Azione a = Azione(azione);
        if (g == PROCESSO || g == DISCO || g == SOSTITUITO)
            SOLO_FILE("the SQLite file itself");
        if (g == SESSIONE || g == RUOLO || g == SERVER)
            SOLO_SERVER("a server's session or role");
        // The server is stopped only by the run of this row alone (tst_riavvio_pg), no other test running.
        if ((g == SERVER) != qEnvironmentVariableIsSet("ANAGSOST_PG_SCRIPT"))
            QSKIP("the server stopped: tst_riavvio_pg alone");
        p = std::make_unique<BancoProva>(g == PROCESSO ? ATTESA : 300);
        p->sostituto(ROSSI);
        p->archivio.aggiungiRigaQuadro("QUADROLAUT", ROSSI.codazi, "01234567897", ROSSI.cfs);
        if (g == RUOLO) {
            impiegato = std::make_unique<RuoloProva>(p->archivio);
            if (!impiegato->motivoSalto().isEmpty())
                QSKIP(qPrintable(impiegato->motivoSalto()));
            p->archivio.esegui("GRANT SELECT ON ALL TABLES IN SCHEMA public TO " + impiegato->nome());
            configuraServer(impiegato->server(), p->archivio.prefisso());
        }
        QVERIFY(p->avvia());
        if (a == SALVA) {
            QVERIFY(p->apri(ROSSI));
            p->scrivi(9, "strada provinciale 12"); // a longer row
        } else if (a != ORDINA) {
            p->clickLista(p->rigaDi(ROSSI));
        }
        if (a == CAMBIA) {
            p->click("CmdCambia");
            QTest::keyClicks(p->campo("Text2"), NUOVOCF);
        }
        // The archive before and after the action. A full disk is made by filling the file: its rows too.
        if (g == DISCO)
            applica(g, a, true);
        const QString prima = p->archivio.istantanea();
        const QString dopo =
            a == SALVA ? p->archivio.istantaneaDopo(
                             "UPDATE ANAGSOSTITUTI SET ASOST_9 = 'STRADA PROVINCIALE 12' WHERE CODAZI = '101'")
            : a == CANCELLA
                ? p->archivio.istantaneaDopo({{"DELETE FROM ANAGSOSTITUTI", {}}, {"DELETE FROM QUADROLAUT", {}}})
            : a == CAMBIA ? p->archivio.istantaneaDopo({{"UPDATE ANAGSOSTITUTI SET CFS = ?", {NUOVOCF}},
                                                        {"UPDATE QUADROLAUT SET CFS = ?", {NUOVOCF}}})
                          : prima;
        const QString visto = stato(a);
        const auto ripristina = qScopeGuard([g] {
            if (g == SERVER)
                server("riprendi"); // whatever happens, for the tests that follow
        });

        if (g != DISCO)
            applica(g, a, true);
        for (int volta = 0; volta < frammenti.size(); ++volta) {
            QElapsedTimer tempo;
            tempo.start();
            esegui(a, volta);
            const QStringList detti = critici();
            QCOMPARE(detti.size(), 1);
            QVERIFY2(detti.first().contains(
                         QRegularExpression(frammenti[volta], QRegularExpression::DotMatchesEverythingOption)),
                     qPrintable(detti.first()));
            QVERIFY(g != PROCESSO || tempo.elapsed() >= ATTESA - 20);
            QCOMPARE(stato(a), visto);
        }
        // Nothing written (read once the lock, if any, is gone).
        if (riprova)
            applica(g, a, false);
        QCOMPARE(p->archivio.istantanea(), prima);
        if (!riprova)
            return;
        esegui(a, int(frammenti.size()));
        QCOMPARE(critici(), QStringList());
        QCOMPARE(p->archivio.istantanea(), dopo);
    }
};

PROVA(TestRifiuti);
#include "rifiuti.moc"
