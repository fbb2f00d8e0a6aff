// Faults that arrive while the window is open: the server ends the session
// (as when it restarts), the archive file is replaced by another program, a
// clerk's role lacks the rights. The action they stop is refused with a
// message that says what happened; the sheet keeps what was typed; once the
// fault is gone the same action goes through, and writes once.
#include "schedaprova.h"

#include <QRadioButton>
#include <QRegularExpression>

using namespace scheda;

namespace {

const QString VIA = "via nuova 2", VIAMAIUSCOLA = "VIA NUOVA 2";

} // namespace

class TestImprevisti : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

    // The box of a connection lost, and of an archive replaced.
    QString persa() const
    {
        return "Attenzione !!! La connessione al server dell'archivio si è interrotta.\rArchivio: " +
               archivio->luogoAnno().descrizione() +
               "\rNessun dato è stato registrato.\rRipetere l'operazione quando il server sarà di nuovo "
               "raggiungibile: la connessione viene riaperta alla prossima operazione.";
    }
    QString spostato() const
    {
        return "Attenzione !!! L'archivio è stato spostato o sostituito da un altro programma: chiudere e riaprire "
               "il programma.\rArchivio: " +
               archivio->percorsoAnno() + "\rNessun dato è stato registrato.";
    }
    // The archive as it reads once ROSSI's street is VIA NUOVA 2.
    QString conLaViaNuova()
    {
        return archivio->istantaneaDopo("UPDATE ANAGSOSTITUTI SET ASOST_9 = ? WHERE CODAZI = ? AND CFS = ?",
                                        {VIAMAIUSCOLA, ROSSI.codazi, ROSSI.cfs});
    }

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }
    void init() { archivio = nuovoArchivio(); }
    void cleanup() { archivio.reset(); }

    // The server ends the session while the clerk types: the save is
    // refused, nothing written, the sheet as typed and still to be saved;
    // the next save opens the connection again and writes the sheet once.
    void salvataggioDopoLaPerdita()
    {
        SOLO_SERVER("a connection to a server");
        FinestraProva prova;
        QVERIFY(apri(prova, ROSSI));
        riscrivi(prova, 9, VIA);
        const QString digitati = testiScheda(prova);
        const QString prima = archivio->istantanea();
        const QString dopo = conLaViaNuova();
        QCOMPARE(archivio->interrompiSessioni(), 1);
        prova.click("cmdmemorizza");
        QCOMPARE(testiMostrati(), QStringList{persa()});
        QCOMPARE(MessageBox::shown().last().stile, int(vbCritical));
        QVERIFY(mostra(prova, ROSSI));
        QCOMPARE(testiScheda(prova), digitati);
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        QCOMPARE(archivio->istantanea(), prima);
        azzeraMessaggi();
        prova.click("cmdmemorizza");
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QCOMPARE(archivio->istantanea(), dopo);
    }

    // "Altra anagrafica" and another order of the list after the session
    // was ended: refused once, the sheet or the list as they were; then
    // they work on the connection opened again.
    void elencoDopoLaPerdita()
    {
        SOLO_SERVER("a connection to a server");
        FinestraProva prova;
        QVERIFY(apri(prova, ROSSI));
        const QStringList elenco = prova.righeLista();
        archivio->interrompiSessioni();
        prova.click("cmdselprec");
        QCOMPARE(testiMostrati(), QStringList{persa()});
        QVERIFY(mostra(prova, ROSSI));
        azzeraMessaggi();
        prova.click("cmdselprec");
        QCOMPARE(testiMostrati(), QStringList());
        QVERIFY(prova.controllo<QWidget>("FrmSelezione")->isVisible());
        QCOMPARE(prova.righeLista(), elenco);

        archivio->interrompiSessioni();
        QTest::mouseClick(prova.controllo<QRadioButton>("Option1(1)"), Qt::LeftButton);
        QCOMPARE(testiMostrati(), QStringList{persa()});
        QCOMPARE(prova.righeLista(), elenco);
        azzeraMessaggi();
        QTest::mouseClick(prova.controllo<QRadioButton>("Option1(2)"), Qt::LeftButton);
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(prova.rigaDi(BIANCHI.codazi, BIANCHI.cfs), 2); // name order: ALFA, BIANCHI, ...
    }

    // The archive file replaced under the window (a backup restored): the
    // save is refused saying so, not as a matter of permissions; the sheet
    // keeps its values; neither file is written; the list is not rebuilt
    // from the file no longer in the folder.
    void archivioSostituito()
    {
        SOLO_FILE("the archive file itself");
        FinestraProva prova;
        QVERIFY(apri(prova, ROSSI));
        riscrivi(prova, 9, VIA);
        const QString digitati = testiScheda(prova);
        const QString altrove = archivio->cartella() + "/S7702004.BAK";
        QVERIFY(QFile::rename(archivio->percorsoAnno(), altrove));
        QVERIFY(QFile::copy(altrove, archivio->percorsoAnno()));
        const QString nuovo = archivio->istantanea();
        archivio->setArchivio(altrove);
        const QString vecchio = archivio->istantanea();
        prova.click("cmdmemorizza");
        QCOMPARE(testiMostrati(), QStringList{spostato()});
        QVERIFY(mostra(prova, ROSSI));
        QCOMPARE(testiScheda(prova), digitati);
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        azzeraMessaggi();
        MessageBox::setNextAnswer(vbNo); // leave the sheet without saving it
        prova.click("cmdselprec");
        QCOMPARE(testiMostrati(), (QStringList{DOMANDA, spostato()}));
        QVERIFY(mostra(prova, ROSSI));
        QCOMPARE(archivio->istantanea(), vecchio);
        archivio->setArchivio(archivio->percorsoAnno());
        QCOMPARE(archivio->istantanea(), nuovo);
    }

    // A clerk's role that is not a member of the role owning the tables: at
    // start-up it is told the right and the grant, not to check its
    // password; allowed to read only, its save is refused naming the right
    // to write, the sheet kept as typed.
    void ruoloSenzaDiritti()
    {
        SOLO_SERVER("a server's roles");
        RuoloProva impiegato(*archivio);
        if (!impiegato.motivoSalto().isEmpty())
            QSKIP(qPrintable(impiegato.motivoSalto()));
        const QString proprietario = QRegularExpression("\\buser=(\\S+)").match(archivio->server()).captured(1);
        const QString concede = "Attenzione !!! Il server PostgreSQL non concede all'utente " + impiegato.nome();
        const QString grant = "L'amministratore del server deve rendere l'utente membro del ruolo proprietario "
                              "delle tabelle: GRANT " +
                              proprietario + " TO " + impiegato.nome();
        configuraServer(impiegato.server(), archivio->prefisso());
        {
            FinestraProva prova;
            QVERIFY(!prova.avvia());
            const QStringList righe = testiMostrati().value(0).split('\r');
            QCOMPARE(righe.value(0), concede + " il diritto SELECT sulla tabella FRONTESPIZIO.");
            QCOMPARE(righe.value(2), "Il programma viene chiuso.");
            QCOMPARE(righe.value(3), grant);
        }
        archivio->esegui("GRANT SELECT ON ALL TABLES IN SCHEMA public TO " + impiegato.nome());
        azzeraMessaggi();
        FinestraProva prova;
        QVERIFY(apri(prova, ROSSI));
        riscrivi(prova, 9, VIA);
        const QString digitati = testiScheda(prova);
        const QString prima = archivio->istantanea();
        prova.click("cmdmemorizza");
        const QStringList righe = testiMostrati().value(0).split('\r');
        QVERIFY2(
            righe.value(0).startsWith(concede + " il diritto di scrittura (INSERT, UPDATE, DELETE) sulla tabella "),
            qPrintable(righe.value(0)));
        QCOMPARE(righe.value(3), grant);
        QCOMPARE(testiScheda(prova), digitati);
        QCOMPARE(archivio->istantanea(), prima);
    }
};

QTEST_MAIN(TestImprevisti)
#include "tst_imprevisti.moc"
