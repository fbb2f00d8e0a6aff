// The server stops and starts again under the open window, as in a restart
// for maintenance: the save is refused saying the connection was lost, then
// that the server does not answer while it is down, the sheet keeping what
// was typed; once the server is back the same save writes it, once, and the
// list is read again. Runs on the throw-away server of scripts/pg.sh alone
// (no other test at the same time), which it stops and starts.
#include "schedaprova.h"

#include <QProcess>
#include <QScopeGuard>

using namespace scheda;

namespace {

// scripts/pg.sh pausa|riprendi on the server the tests run on.
bool server(const QString& comando)
{
    QProcess pg;
    pg.setProcessChannelMode(QProcess::ForwardedChannels);
    pg.start(qEnvironmentVariable("ANAGSOST_PG_SCRIPT"), {comando});
    return pg.waitForFinished(120000) && pg.exitStatus() == QProcess::NormalExit && pg.exitCode() == 0;
}

} // namespace

class TestRiavvio : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
        if (!suServerProva() || qEnvironmentVariableIsEmpty("ANAGSOST_PG_SCRIPT"))
            QSKIP("the test server and the script that starts it");
    }

    void riavvioDelServer()
    {
        auto archivio = nuovoArchivio();
        FinestraProva prova;
        QVERIFY(apri(prova, ROSSI));
        QStringList elenco = prova.righeLista();
        elenco.sort(); // lines of one company code come in the order the server keeps the rows
        riscrivi(prova, 9, "via nuova 2");
        const QString digitati = testiScheda(prova);
        const QString prima = archivio->istantanea();
        const QString dopo = archivio->istantaneaDopo("UPDATE ANAGSOSTITUTI SET ASOST_9 = 'VIA NUOVA 2' "
                                                      "WHERE CODAZI = ? AND CFS = ?",
                                                      {ROSSI.codazi, ROSSI.cfs});
        const QString luogo = "Archivio: " + archivio->luogoAnno().descrizione();
        const QString persa = "Attenzione !!! La connessione al server dell'archivio si è interrotta.\r" + luogo +
                              "\rNessun dato è stato registrato.\rRipetere l'operazione quando il server sarà di "
                              "nuovo raggiungibile: la connessione viene riaperta alla prossima operazione.";
        const QString irraggiungibile = "Attenzione !!! Il server PostgreSQL dell'archivio non risponde.\r" + luogo +
                                        "\rL'operazione non è stata eseguita.\rControllare che il server sia avviato "
                                        "e raggiungibile, poi ripetere l'operazione.";

        QVERIFY(server("pausa"));
        auto riprendi = qScopeGuard([] { server("riprendi"); }); // whatever happens, for the tests that follow
        prova.click("cmdmemorizza");
        QCOMPARE(testiMostrati(), QStringList{persa});
        azzeraMessaggi();
        prova.click("cmdmemorizza");
        QCOMPARE(testiMostrati(), QStringList{irraggiungibile});
        QVERIFY(mostra(prova, ROSSI));
        QCOMPARE(testiScheda(prova), digitati);
        QCOMPARE(prova.modulo.VARIAZIONI, 1);

        riprendi.dismiss();
        QVERIFY(server("riprendi"));
        QCOMPARE(archivio->istantanea(), prima);
        azzeraMessaggi();
        prova.click("cmdmemorizza");
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(archivio->istantanea(), dopo);
        prova.click("cmdselprec");
        QCOMPARE(testiMostrati(), QStringList());
        QVERIFY(prova.controllo<QWidget>("FrmSelezione")->isVisible());
        QStringList righe = prova.righeLista();
        righe.sort();
        QCOMPARE(righe, elenco);
    }
};

QTEST_MAIN(TestRiavvio)
#include "tst_riavvio.moc"
