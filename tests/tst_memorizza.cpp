// Saving the data sheet: the field checks in their fixed order, the stored
// forms read back from the file, the moves in key order, and saves that the
// database refuses (locked, read-only, full, a failing write).
#include "schedaprova.h"

#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>

using namespace scheda;

namespace {

const QString INSERIRESESSO = QStringLiteral("Inserire Sesso");
const QString INSERIREDATA = QStringLiteral("Inserire data di nascita");
const QString COMUNENASCITA = QStringLiteral("Inserire comune di nascita");
const QString PROVNASCITA = QStringLiteral("Inserire una provincia di nascita valida");
const QString COMUNERESIDENZA = QStringLiteral("Inserire comune di residenza o domicilio fiscale");
const QString PROVRESIDENZA = QStringLiteral("Inserire una provincia di residenza o domicilio fiscale valida");
const QString AZIENDACOLLEGATA =
    QStringLiteral("Attenzione !!! Il codice azienda collegata inserito non è presente nel frontespizio");
const QString INDIRIZZO = QStringLiteral("Inserire indirizzo di residenza o domicilio fiscale");

// A natural person whose sheet passes every check; the test rows change it.
const Sostituto PROVA{"003", "GLLNNA90A41H501W"};
QVariantList valoriProva()
{
    return {QStringLiteral("GIALLI"), QStringLiteral("ANNA"),   QStringLiteral("F"),
            QStringLiteral("19900101"), QStringLiteral("ROMA"), QStringLiteral("RM"),
            QStringLiteral("ROMA"),   QStringLiteral("RM"),     QStringLiteral("VIA APPIA 7"),
            QStringLiteral("001")};
}

void aggiungiProva(ArchivioProva& a, const QVariantMap& cambi = {})
{
    QVariantList valori = valoriProva();
    for (auto it = cambi.begin(); it != cambi.end(); ++it)
        valori[it.key().mid(6).toInt() - 1] = it.value();
    a.aggiungiSostituto(PROVA.codice(), PROVA.cf(), valori);
}

// The archive as it must read after a save of one substitute: as it is now,
// with only that row's ten fields set as given.
QString istantaneaAttesa(ArchivioProva& a, const Sostituto& s, const QStringList& asost)
{
    QVariantList parametri;
    for (const QString& v : asost)
        parametri << v;
    parametri << s.codice() << s.cf();
    return a.istantaneaDopo(QStringLiteral("UPDATE ANAGSOSTITUTI SET ASOST_1 = ?, ASOST_2 = ?, ASOST_3 = ?, "
                                           "ASOST_4 = ?, ASOST_5 = ?, ASOST_6 = ?, ASOST_7 = ?, ASOST_8 = ?, "
                                           "ASOST_9 = ?, ASOST_10 = ? WHERE CODAZI = ? AND CFS = ?"),
                            parametri);
}

// The ten stored fields of a row, checking on the way that none is Null.
QStringList campiMemorizzati(ArchivioProva& a, const Sostituto& s)
{
    const QVariantMap r = riga(a, s);
    QStringList campi;
    for (int n = 1; n <= 10; ++n) {
        const QVariant v = r.value(QStringLiteral("ASOST_%1").arg(n));
        campi << (v.isNull() ? QStringLiteral("<NULL>") : v.toString());
    }
    return campi;
}

// chattr +i: a file or folder that not even the superuser may write.
bool immutabile(const QString& percorso, bool attivo)
{
    QProcess chattr;
    chattr.start(QStringLiteral("chattr"), {attivo ? QStringLiteral("+i") : QStringLiteral("-i"), percorso});
    return chattr.waitForFinished(10000) && chattr.exitStatus() == QProcess::NormalExit && chattr.exitCode() == 0;
}

struct Immutabile {
    QString percorso;
    bool attivo = false;
    explicit Immutabile(const QString& p) : percorso(p), attivo(immutabile(p, true)) {}
    void togli()
    {
        if (attivo)
            immutabile(percorso, false);
        attivo = false;
    }
    ~Immutabile() { togli(); }
};

} // namespace

class TestMemorizza : public QObject {
    Q_OBJECT

    std::unique_ptr<ArchivioProva> archivio;

private slots:
    void initTestCase()
    {
        preparaAmbienteProva();
        RICHIEDI_MOTORE_PROVA();
    }

    void init()
    {
        azzeraMessaggi();
        archivio = std::make_unique<ArchivioProva>();
        archivio->creaAnno();
        popola(*archivio);
        configura(archivio->cartella());
    }
    void cleanup() { archivio.reset(); }

    // ---- the checks ----

    void controlliInOrdine_data()
    {
        QTest::addColumn<QVariantMap>("memorizzati"); // stored fields that differ from the valid sheet
        QTest::addColumn<QStringList>("digitati");    // "n=text": field n retyped
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<int>("stile");
        QTest::addColumn<int>("indice");
        const QVariantMap nessuno;
        auto m = [](const char* campo, const QVariant& valore) {
            return QVariantMap{{QString::fromLatin1(campo), valore}};
        };
        const int info = vbInformation;

        QTest::newRow("sex empty") << nessuno << QStringList{"3="} << INSERIRESESSO << info << 3;
        QTest::newRow("sex blank") << nessuno << QStringList{"3= "} << INSERIRESESSO << info << 3;
        QTest::newRow("sex stored blank") << m("ASOST_3", " ") << QStringList() << INSERIRESESSO << info << 3;
        QTest::newRow("date 31/02/1980") << m("ASOST_4", "19800231") << QStringList() << DATAERRATA << info << 4;
        QTest::newRow("date 29/02/1981") << m("ASOST_4", "19810229") << QStringList() << DATAERRATA << info << 4;
        QTest::newRow("date year 0000") << m("ASOST_4", "00000815") << QStringList() << DATAERRATA << info << 4;
        QTest::newRow("date stored empty") << m("ASOST_4", "") << QStringList() << DATAERRATA << info << 4;
        QTest::newRow("date stored Null") << m("ASOST_4", QVariant()) << QStringList() << DATAERRATA << info << 4;
        QTest::newRow("date 00/00/0000") << m("ASOST_4", "00000000") << QStringList() << INSERIREDATA << info << 4;
        QTest::newRow("date cleared") << nessuno << QStringList{"4="} << INSERIREDATA << info << 4;
        QTest::newRow("town of birth empty") << nessuno << QStringList{"5="} << COMUNENASCITA << info << 5;
        QTest::newRow("town of birth blanks") << nessuno << QStringList{"5=   "} << COMUNENASCITA << info << 5;
        QTest::newRow("province of birth unknown") << nessuno << QStringList{"6=xx"} << PROVNASCITA << info << 6;
        QTest::newRow("province of birth empty") << nessuno << QStringList{"6="} << PROVNASCITA << info << 6;
        QTest::newRow("province of birth one letter") << nessuno << QStringList{"6=r"} << PROVNASCITA << info << 6;
        QTest::newRow("town of residence empty") << nessuno << QStringList{"7="} << COMUNERESIDENZA << info << 7;
        QTest::newRow("province of residence unknown")
            << nessuno << QStringList{"8=zz"} << PROVRESIDENZA << info << 8;
        QTest::newRow("province of residence empty") << nessuno << QStringList{"8="} << PROVRESIDENZA << info << 8;
        QTest::newRow("linked company without front page")
            << m("ASOST_10", "099") << QStringList() << AZIENDACOLLEGATA << int(vbCritical) << 10;
        QTest::newRow("linked company empty")
            << m("ASOST_10", "") << QStringList() << AZIENDACOLLEGATA << int(vbCritical) << 10;
        QTest::newRow("street empty") << nessuno << QStringList{"9="} << INDIRIZZO << info << 9;
        QTest::newRow("street blanks") << nessuno << QStringList{"9=  "} << INDIRIZZO << info << 9;

        // The first failing check wins.
        QTest::newRow("town of birth empty and province unknown")
            << nessuno << QStringList{"5=", "6=xx"} << COMUNENASCITA << info << 5;
        QTest::newRow("sex empty and no date") << m("ASOST_4", "00000000") << QStringList{"3="} << INSERIRESESSO
                                               << info << 3;
        QTest::newRow("date wrong and town of birth empty")
            << m("ASOST_4", "19800231") << QStringList{"5="} << DATAERRATA << info << 4;
        QTest::newRow("province of birth unknown and residence empty")
            << nessuno << QStringList{"6=xx", "7="} << PROVNASCITA << info << 6;
        QTest::newRow("residence and its province")
            << nessuno << QStringList{"7=", "8=zz"} << COMUNERESIDENZA << info << 7;
        QTest::newRow("province of residence before the linked company")
            << m("ASOST_10", "099") << QStringList{"8=zz"} << PROVRESIDENZA << info << 8;
        QTest::newRow("linked company before the street")
            << m("ASOST_10", "099") << QStringList{"9="} << AZIENDACOLLEGATA << int(vbCritical) << 10;

        // A company: the birth data are not checked (and are cleared on the sheet).
        QTest::newRow("company, residence empty")
            << QVariantMap{{"ASOST_2", QVariant()}, {"ASOST_4", "19800231"}, {"ASOST_6", "xx"}}
            << QStringList{"7="} << COMUNERESIDENZA << info << 7;
        QTest::newRow("company, linked company without front page")
            << QVariantMap{{"ASOST_2", ""}, {"ASOST_3", ""}, {"ASOST_10", "099"}} << QStringList()
            << AZIENDACOLLEGATA << int(vbCritical) << 10;
    }
    void controlliInOrdine()
    {
        QFETCH(QVariantMap, memorizzati);
        QFETCH(QStringList, digitati);
        QFETCH(QString, messaggio);
        QFETCH(int, stile);
        QFETCH(int, indice);
        aggiungiProva(*archivio, memorizzati);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, PROVA));
        for (const QString& d : digitati)
            riscrivi(prova, d.section(QLatin1Char('='), 0, 0).toInt(), d.section(QLatin1Char('='), 1));
        const int variazioni = prova.modulo.VARIAZIONI;
        QCOMPARE(variazioni, digitati.isEmpty() ? 0 : 1);
        QStringList attesi = testiScheda(prova);
        const bool societa = attesi.at(1).trimmed().isEmpty();
        const QString prima = archivio->istantanea();

        prova.click(QStringLiteral("cmdmemorizza"));

        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().testo, messaggio);
        QCOMPARE(MessageBox::shown().first().stile, stile);
        QCOMPARE(MessageBox::shown().first().titolo, prova.finestra.Caption());
        QCOMPARE(evidenziati(prova), QList<int>{indice});
        QCOMPARE(prova.modulo.ERRORECAMPI, 1);
        QCOMPARE(prova.modulo.VARIAZIONI, variazioni);
        if (indice == 10) {
            // The disabled field cannot take the focus: it stays where it was.
            attesi[9] = QString();
            QCOMPARE(prova.finestra.focusWidget(), prova.bottone(QStringLiteral("cmdmemorizza")));
        } else {
            QCOMPARE(prova.finestra.focusWidget(), campo(prova, indice));
        }
        if (societa) {
            attesi[2] = QString();
            attesi[3] = QStringLiteral("00/00/0000");
            attesi[4] = QString();
            attesi[5] = QString();
        }
        QCOMPARE(testiScheda(prova), attesi);
        QVERIFY(mostra(prova, PROVA));
        QCOMPARE(archivio->istantanea(), prima);
        QCOMPARE(prova.modulo.TABFRONTESPIZIO->Index(), QStringLiteral("CHIAVE"));
        QCOMPARE(prova.modulo.TABANAGSOST->Index(), QStringLiteral("CHIAVE"));
    }

    void controlloSuperatoDopoLaCorrezione()
    {
        // The highlight goes with the change, the next save passes.
        aggiungiProva(*archivio);
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, PROVA));
        riscrivi(prova, 6, QStringLiteral("qq"));
        prova.click(QStringLiteral("cmdmemorizza"));
        QCOMPARE(evidenziati(prova), QList<int>{6});
        QTest::keyClick(campo(prova, 6), Qt::Key_Backspace);
        QCOMPARE(evidenziati(prova), QList<int>());
        QTest::keyClick(campo(prova, 6), Qt::Key_Backspace);
        QTest::keyClicks(campo(prova, 6), QStringLiteral("ts"));
        QCOMPARE(campo(prova, 6)->text(), QStringLiteral("TS"));
        MessageBox::clearShown();
        prova.click(QStringLiteral("cmdmemorizza"));
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(prova.modulo.ERRORECAMPI, 0);
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QCOMPARE(riga(*archivio, PROVA).value(QStringLiteral("ASOST_6")).toString(), QStringLiteral("TS"));
    }

    // ---- what is stored ----

    void personaFisicaMemorizzata()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, BIANCHI));
        riscrivi(prova, 1, QStringLiteral("de' santìs"));
        riscrivi(prova, 2, QStringLiteral("lucia"));
        riscrivi(prova, 3, QStringLiteral("f"));
        riscrivi(prova, 4, QStringLiteral("02031985"));
        riscrivi(prova, 5, QStringLiteral("forlì"));
        riscrivi(prova, 6, QStringLiteral("fc"));
        riscrivi(prova, 7, QStringLiteral("san marino"));
        riscrivi(prova, 8, QStringLiteral("ee"));
        riscrivi(prova, 9, QStringLiteral("via indipendenza 10"));
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        const QStringList memorizzati{"DE' SANTÌS", "LUCIA", "F", "19850302", "FORLÌ", "FC", "SAN MARINO", "EE",
                                      "VIA INDIPENDENZA 10", "007"};
        const QString attesa = istantaneaAttesa(*archivio, BIANCHI, memorizzati);

        prova.click(QStringLiteral("cmdmemorizza"));

        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(campiMemorizzati(*archivio, BIANCHI), memorizzati);
        QCOMPARE(archivio->istantanea(), attesa);
        // Reloaded from the record, header included.
        QCOMPARE(testiScheda(prova), (QStringList{"DE' SANTÌS", "LUCIA", "F", "02/03/1985", "FORLÌ", "FC",
                                                  "SAN MARINO", "EE", "VIA INDIPENDENZA 10", "007"}));
        QCOMPARE(testata(prova), (QStringList{" DE' SANTÌS LUCIA", " " + BIANCHI.cf(), " 005"}));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QCOMPARE(prova.modulo.ERRORECAMPI, 0);
        QCOMPARE(evidenziati(prova), QList<int>());
        QVERIFY(mostra(prova, BIANCHI));
        // Still on the record saved: the next move starts from it.
        prova.click(QStringLiteral("cmdparcsuc"));
        QVERIFY(mostra(prova, NERI));
    }

    void societaSenzaNome_data()
    {
        QTest::addColumn<QVariant>("nome");
        QTest::addColumn<QString>("nomeMemorizzato");
        QTest::newRow("first name Null") << QVariant() << QString();
        QTest::newRow("first name empty") << QVariant(QString()) << QString();
        QTest::newRow("first name of blanks") << QVariant(QStringLiteral("   ")) << QStringLiteral("   ");
    }
    void societaSenzaNome()
    {
        QFETCH(QVariant, nome);
        QFETCH(QString, nomeMemorizzato);
        const Sostituto beta{"002", "98765432109"};
        archivio->aggiungiSostituto(beta.codice(), beta.cf(),
                                    {QStringLiteral("BETA SPA"), nome, QStringLiteral("M"),
                                     QStringLiteral("19800101"), QStringLiteral("ROMA"), QStringLiteral("RM"),
                                     QStringLiteral("GENOVA"), QStringLiteral("GE"), QVariant(),
                                     QStringLiteral("002")});
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, beta));
        riscrivi(prova, 9, QStringLiteral("via garibaldi 5"));
        // Birth data typed into the sheet are not kept either.
        riscrivi(prova, 4, QStringLiteral("31121999"));
        riscrivi(prova, 5, QStringLiteral("bari"));
        const QStringList memorizzati{"BETA SPA", nomeMemorizzato, "", "00000000", "", "", "GENOVA", "GE",
                                      "VIA GARIBALDI 5", "002"};
        const QString attesa = istantaneaAttesa(*archivio, beta, memorizzati);

        prova.click(QStringLiteral("cmdmemorizza"));

        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(campiMemorizzati(*archivio, beta), memorizzati);
        QCOMPARE(archivio->istantanea(), attesa);
        QCOMPARE(testiScheda(prova), (QStringList{"BETA SPA", nomeMemorizzato, "", "00/00/0000", "", "", "GENOVA",
                                                  "GE", "VIA GARIBALDI 5", "002"}));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
    }

    void codiceAziendaCollegataCompletato_data()
    {
        QTest::addColumn<QString>("memorizzato");
        QTest::newRow("7") << QStringLiteral("7");
        QTest::newRow("07") << QStringLiteral("07");
        QTest::newRow(" 7") << QStringLiteral(" 7");
        QTest::newRow("007") << QStringLiteral("007");
    }
    void codiceAziendaCollegataCompletato()
    {
        QFETCH(QString, memorizzato);
        aggiungiProva(*archivio, {{QStringLiteral("ASOST_10"), memorizzato}});
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, PROVA));
        QCOMPARE(campo(prova, 10)->text(), memorizzato);
        QStringList memorizzati;
        for (const QVariant& v : valoriProva())
            memorizzati << v.toString();
        memorizzati[9] = QStringLiteral("007");
        const QString attesa = istantaneaAttesa(*archivio, PROVA, memorizzati);
        // Saved without a change typed: the stored forms are written all the same.
        prova.click(QStringLiteral("cmdmemorizza"));
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(archivio->istantanea(), attesa);
        QCOMPARE(campo(prova, 10)->text(), QStringLiteral("007"));
    }

    void recordScomparsoVieneRiscritto()
    {
        // Deleted by another program while shown: the save writes it again.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        archivio->esegui(QStringLiteral("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = ? AND CFS = ?"),
                         {ROSSI.codice(), ROSSI.cf()});
        riscrivi(prova, 9, QStringLiteral("via roma 3"));
        prova.click(QStringLiteral("cmdmemorizza"));
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(campiMemorizzati(*archivio, ROSSI),
                 (QStringList{"ROSSI", "MARIO", "M", "19750815", "ROMA", "RM", "MILANO", "MI", "VIA ROMA 3", "001"}));
        QVERIFY(mostra(prova, ROSSI));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
    }

    void nuovoSostitutoMemorizzato()
    {
        // The insertion frame hands over a substitute that has no record yet:
        // its key in the form variables, the names on a cleared sheet, the
        // move buttons disabled.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        const Sostituto nuovo{"004", "98765432109"};
        prova.finestra.CODAZISOST = nuovo.codice();
        prova.finestra.CFSSOST = nuovo.cf();
        prova.finestra.PULISCICAMPI();
        campo(prova, 1)->setText(QStringLiteral("DELTA SNC"));
        campo(prova, 10)->setText(QStringLiteral("007"));
        prova.modulo.NUOVOSOSTITUTO = 1;
        prova.bottone(QStringLiteral("cmdparcprec"))->setEnabled(false);
        prova.bottone(QStringLiteral("cmdparcsuc"))->setEnabled(false);
        riscrivi(prova, 7, QStringLiteral("lecce"));
        riscrivi(prova, 8, QStringLiteral("le"));
        riscrivi(prova, 9, QStringLiteral("via trinchese 1"));
        const int righe = int(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM ANAGSOSTITUTI")));

        prova.click(QStringLiteral("cmdmemorizza"));

        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(archivio->conta(QStringLiteral("SELECT COUNT(*) FROM ANAGSOSTITUTI")), righe + 1);
        QCOMPARE(campiMemorizzati(*archivio, nuovo), (QStringList{"DELTA SNC", "", "", "00000000", "", "", "LECCE",
                                                                 "LE", "VIA TRINCHESE 1", "007"}));
        QCOMPARE(prova.modulo.NUOVOSOSTITUTO, 0);
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QVERIFY(prova.bottone(QStringLiteral("cmdparcprec"))->isEnabled());
        QVERIFY(prova.bottone(QStringLiteral("cmdparcsuc"))->isEnabled());
        QVERIFY(mostra(prova, nuovo));
        QCOMPARE(testata(prova).at(0), QStringLiteral(" DELTA SNC "));
        // The new record takes its place in the key order.
        prova.click(QStringLiteral("cmdparcsuc"));
        QVERIFY(mostra(prova, BIANCHI));
        prova.click(QStringLiteral("cmdparcprec"));
        prova.click(QStringLiteral("cmdparcprec"));
        QVERIFY(mostra(prova, VERDI));
    }

    // ---- moves ----

    void spostamentiInOrdineDiChiave()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        // The list in name order: the moves do not follow it.
        QTest::mouseClick(prova.controllo<QRadioButton>(QStringLiteral("Option1(2)")), Qt::LeftButton);
        QVERIFY(apri(prova, ALFA));
        const QList<Sostituto> ordine{ALFA, ROSSI, VERDI, BIANCHI, NERI};
        const QStringList cognomi{"ALFA SRL", "ROSSI", "VERDI", "BIANCHI", "NERI"};
        for (int i = 1; i < ordine.size(); ++i) {
            prova.click(QStringLiteral("cmdparcsuc"));
            QVERIFY2(mostra(prova, ordine[i]), qPrintable(prova.finestra.CFSSOST));
            QCOMPARE(campo(prova, 1)->text(), cognomi[i]);
            QCOMPARE(testata(prova).at(2), QLatin1Char(' ') + ordine[i].codice());
            QCOMPARE(prova.modulo.VARIAZIONI, 0);
        }
        QCOMPARE(testiMostrati(), QStringList());
        for (int i = ordine.size() - 2; i >= 0; --i) {
            prova.click(QStringLiteral("cmdparcprec"));
            QVERIFY2(mostra(prova, ordine[i]), qPrintable(prova.finestra.CFSSOST));
            QCOMPARE(campo(prova, 1)->text(), cognomi[i]);
        }
        QCOMPARE(testiMostrati(), QStringList());
    }

    void spostamentiAgliEstremi_data()
    {
        QTest::addColumn<bool>("avanti");
        QTest::addColumn<int>("risposta"); // 0: nothing typed
        QTest::newRow("first, unchanged") << false << 0;
        QTest::newRow("last, unchanged") << true << 0;
        QTest::newRow("first, changes dropped") << false << int(vbNo);
        QTest::newRow("last, changes dropped") << true << int(vbNo);
        QTest::newRow("first, changes saved") << false << int(vbYes);
        QTest::newRow("last, changes saved") << true << int(vbYes);
    }
    void spostamentiAgliEstremi()
    {
        QFETCH(bool, avanti);
        QFETCH(int, risposta);
        const Sostituto estremo = avanti ? NERI : ALFA;
        const QString cognome = avanti ? QStringLiteral("NERI") : QStringLiteral("ALFA SRL");
        // NERI's date is missing: give it one so that it can be saved.
        archivio->esegui(QStringLiteral("UPDATE ANAGSOSTITUTI SET ASOST_4 = '19600310' WHERE CODAZI = '010'"));
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, estremo));
        const QString prima = archivio->istantanea();
        QStringList attesi;
        if (risposta) {
            riscrivi(prova, 9, QStringLiteral("piazza duomo 1"));
            // A field highlighted meanwhile is normal again after the reload.
            campo(prova, 5)->setBackColor(GIALLO);
            MessageBox::setNextAnswer(risposta);
            attesi << DOMANDA;
        }
        attesi << (avanti ? QStringLiteral("Ultima Anagrafica") : QStringLiteral("Prima Anagrafica"));
        prova.click(avanti ? QStringLiteral("cmdparcsuc") : QStringLiteral("cmdparcprec"));
        QCOMPARE(testiMostrati(), attesi);
        QCOMPARE(MessageBox::shown().last().stile, int(vbInformation));
        QVERIFY(mostra(prova, estremo));
        QCOMPARE(campo(prova, 1)->text(), cognome);
        QCOMPARE(campo(prova, 9)->text(), risposta == vbYes ? QStringLiteral("PIAZZA DUOMO 1")
                                                            : riga(*archivio, estremo).value("ASOST_9").toString());
        QCOMPARE(evidenziati(prova), QList<int>());
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        if (risposta == vbYes)
            QCOMPARE(riga(*archivio, estremo).value("ASOST_9").toString(), QStringLiteral("PIAZZA DUOMO 1"));
        else
            QCOMPARE(archivio->istantanea(), prima);
        // The window stays on that record: the other button moves away from it.
        prova.click(avanti ? QStringLiteral("cmdparcprec") : QStringLiteral("cmdparcsuc"));
        QVERIFY(mostra(prova, avanti ? BIANCHI : ROSSI));
    }

    void spostamentoConControlloFallito()
    {
        // Yes to the question, the check refuses the sheet: no move, nothing
        // lost, the error shown.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        riscrivi(prova, 2, QStringLiteral("luigi"));
        riscrivi(prova, 6, QStringLiteral("qq"));
        const QStringList digitati = testiScheda(prova);
        const QString prima = archivio->istantanea();
        for (const char* bottone : {"cmdparcsuc", "cmdparcprec"}) {
            MessageBox::clearShown();
            MessageBox::setNextAnswer(vbYes);
            prova.click(QString::fromLatin1(bottone));
            QCOMPARE(testiMostrati(), (QStringList{DOMANDA, PROVNASCITA}));
            QVERIFY(mostra(prova, ROSSI));
            QCOMPARE(testiScheda(prova), digitati);
            QCOMPARE(evidenziati(prova), QList<int>{6});
            QCOMPARE(prova.finestra.focusWidget(), campo(prova, 6));
            QCOMPARE(prova.modulo.VARIAZIONI, 1);
            QCOMPARE(archivio->istantanea(), prima);
        }
        // Corrected, the same move saves and goes on from the record saved.
        riscrivi(prova, 6, QStringLiteral("na"));
        MessageBox::clearShown();
        MessageBox::setNextAnswer(vbYes);
        prova.click(QStringLiteral("cmdparcsuc"));
        QCOMPARE(testiMostrati(), QStringList{DOMANDA});
        QVERIFY(mostra(prova, VERDI));
        QCOMPARE(campiMemorizzati(*archivio, ROSSI),
                 (QStringList{"ROSSI", "LUIGI", "M", "19750815", "ROMA", "NA", "MILANO", "MI", "VIA ROMA 1", "001"}));
    }

    void spostamentoConArchivioBloccato()
    {
        // Another program holds the file: the move is not made, the sheet
        // stays on its record, and the move works once the file is free.
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        for (const char* bottone : {"cmdparcsuc", "cmdparcprec", "cmdselprec"}) {
            MessageBox::clearShown();
            {
                const auto blocco = archivio->blocca();
                prova.click(QString::fromLatin1(bottone));
            }
            QCOMPARE(testiMostrati(), QStringList{OCCUPATO});
            QVERIFY(mostra(prova, ROSSI));
            QCOMPARE(campo(prova, 1)->text(), QStringLiteral("ROSSI"));
            QCOMPARE(prova.modulo.VARIAZIONI, 0);
        }
        MessageBox::clearShown();
        prova.click(QStringLiteral("cmdparcsuc"));
        QVERIFY(mostra(prova, VERDI));
        prova.click(QStringLiteral("cmdparcprec"));
        prova.click(QStringLiteral("cmdparcprec"));
        QVERIFY(mostra(prova, ALFA));
        prova.click(QStringLiteral("cmdselprec"));
        QVERIFY(inSelezione(prova));
        QCOMPARE(prova.lista()->count(), 6);
        QCOMPARE(testiMostrati(), QStringList());
    }

    // ---- saves the database refuses ----

    void archivioBloccato_data()
    {
        QTest::addColumn<bool>("esclusivo");
        QTest::newRow("no reading either") << true;
        QTest::newRow("reading allowed") << false;
    }
    void archivioBloccato()
    {
        QFETCH(bool, esclusivo);
        FinestraProva prova; // waits 300 ms for a lock
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        riscrivi(prova, 1, QStringLiteral("rossini"));
        riscrivi(prova, 9, QStringLiteral("via po 2"));
        const QStringList digitati = testiScheda(prova);
        const QString prima = archivio->istantanea();
        {
            const auto blocco = archivio->blocca(esclusivo);
            prova.click(QStringLiteral("cmdmemorizza"));
        }
        QCOMPARE(testiMostrati(), QStringList{OCCUPATO});
        QCOMPARE(MessageBox::shown().first().stile, int(vbCritical));
        QCOMPARE(MessageBox::shown().first().titolo, prova.finestra.Caption());
        QVERIFY(mostra(prova, ROSSI));
        QCOMPARE(testiScheda(prova), digitati);
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        QCOMPARE(archivio->istantanea(), prima);
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(prova.modulo.TABFRONTESPIZIO->Index(), QStringLiteral("CHIAVE"));

        // The other program is done: the same save goes through.
        MessageBox::clearShown();
        prova.click(QStringLiteral("cmdmemorizza"));
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(campiMemorizzati(*archivio, ROSSI), (QStringList{"ROSSINI", "MARIO", "M", "19750815", "ROMA",
                                                                 "RM", "MILANO", "MI", "VIA PO 2", "001"}));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
        QCOMPARE(testata(prova).at(0), QStringLiteral(" ROSSINI MARIO"));
    }

    void archivioInSolaLettura_data()
    {
        QTest::addColumn<bool>("cartella");
        QTest::newRow("file") << false;
        QTest::newRow("folder") << true;
    }
    void archivioInSolaLettura()
    {
        QFETCH(bool, cartella);
        SOLO_FILE("the permissions of the archive's file and folder");
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        riscrivi(prova, 7, QStringLiteral("pavia"));
        riscrivi(prova, 8, QStringLiteral("pv"));
        const QStringList digitati = testiScheda(prova);
        const QString prima = archivio->istantanea();
        // Permission bits do not bind the superuser; the immutable attribute does.
        Immutabile solaLettura(cartella ? archivio->cartella() : archivio->percorsoAnno());
        if (!solaLettura.attivo)
            QSKIP("chattr +i is not available here: a file that cannot be written cannot be made");

        prova.click(QStringLiteral("cmdmemorizza"));
        solaLettura.togli();

        QCOMPARE(MessageBox::shown().size(), 1);
        const auto box = MessageBox::shown().first();
        QCOMPARE(box.stile, int(vbCritical));
        // The operator is told that the save did not happen.
        QVERIFY2(box.testo.startsWith(QStringLiteral("Attenzione !!! ")), qPrintable(box.testo));
        QVERIFY2(box.testo.contains(QStringLiteral("L'operazione non è stata eseguita."))
                     || box.testo.contains(QStringLiteral("Nessun dato è stato registrato.")),
                 qPrintable(box.testo));
        QVERIFY(mostra(prova, ROSSI));
        QCOMPARE(testiScheda(prova), digitati);
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        QCOMPARE(archivio->istantanea(), prima);

        MessageBox::clearShown();
        prova.click(QStringLiteral("cmdmemorizza"));
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(riga(*archivio, ROSSI).value("ASOST_7").toString(), QStringLiteral("PAVIA"));
        QCOMPARE(prova.modulo.VARIAZIONI, 0);
    }

    void scritturaRifiutata()
    {
        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        riscrivi(prova, 1, QStringLiteral("rossetti"));
        // Another program of the suite refuses the change from now on.
        archivio->impedisci(QStringLiteral("UPDATE"), QStringLiteral("ANAGSOSTITUTI"),
                            QStringLiteral("modifica non consentita"));
        const QStringList digitati = testiScheda(prova);
        const QString prima = archivio->istantanea();
        prova.click(QStringLiteral("cmdmemorizza"));
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().stile, int(vbCritical));
        QVERIFY(MessageBox::shown().first().testo.startsWith(QStringLiteral("Attenzione !!! ")));
        QVERIFY(mostra(prova, ROSSI));
        QCOMPARE(testiScheda(prova), digitati);
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        QCOMPARE(archivio->istantanea(), prima);

        // Leaving asks; Yes tries the save again, it is refused, the window stays.
        MessageBox::clearShown();
        MessageBox::setNextAnswer(vbYes);
        prova.click(QStringLiteral("cmduscita(0)"));
        QCOMPARE(testiMostrati().size(), 2);
        QVERIFY(!prova.finestra.scaricata());
        QCOMPARE(testiScheda(prova), digitati);

        archivio->consenti(QStringLiteral("ANAGSOSTITUTI"));
        MessageBox::clearShown();
        prova.click(QStringLiteral("cmdmemorizza"));
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(riga(*archivio, ROSSI).value("ASOST_1").toString(), QStringLiteral("ROSSETTI"));
    }

    void discoPieno()
    {
        // The substitutes' table page is filled to the last byte, and the
        // file may not grow: a longer row finds no room, as on a full disk.
        SOLO_FILE("a full disk is simulated through the file's page limit");
        const qint64 pagine = archivio->conta(QStringLiteral("PRAGMA page_count"));
        if (archivio->conta(QStringLiteral("PRAGMA freelist_count")) != 0)
            QSKIP("the test archive has free pages: the file need not grow");
        const QString copia = archivio->cartella() + QStringLiteral("/riempimento.db");
        int entra = 0, esce = 4096;
        while (esce - entra > 1) {
            const int k = (entra + esce) / 2;
            QFile::remove(copia);
            QVERIFY(QFile::copy(archivio->percorsoAnno(), copia));
            archivio->setArchivio(copia);
            archivio->aggiungiSostituto(QStringLiteral("999"), QStringLiteral("RIEMPITIVO"),
                                        {QString(k, QLatin1Char('X'))});
            (archivio->conta(QStringLiteral("PRAGMA page_count")) == pagine ? entra : esce) = k;
            archivio->setArchivio(archivio->percorsoAnno());
        }
        QFile::remove(copia);
        archivio->aggiungiSostituto(QStringLiteral("999"), QStringLiteral("RIEMPITIVO"),
                                    {QString(entra, QLatin1Char('X'))});
        QCOMPARE(archivio->conta(QStringLiteral("PRAGMA page_count")), pagine);

        FinestraProva prova;
        QVERIFY(prova.avvia());
        QVERIFY(apri(prova, ROSSI));
        riscrivi(prova, 5, QStringLiteral("reggio nell'emilia e dintorni"));
        riscrivi(prova, 6, QStringLiteral("re"));
        riscrivi(prova, 9, QStringLiteral("strada provinciale per correggio 12"));
        const QStringList digitati = testiScheda(prova);
        const QString prima = archivio->istantanea();
        prova.modulo.DBANNO->Execute(QStringLiteral("PRAGMA max_page_count = %1").arg(pagine));

        prova.click(QStringLiteral("cmdmemorizza"));

        QCOMPARE(testiMostrati(), QStringList{QStringLiteral("Attenzione !!! Il disco dell'archivio è pieno.\r"
                                                             "Nessun dato è stato registrato.\rLiberare spazio sul "
                                                             "disco e ripetere l'operazione.")});
        QCOMPARE(MessageBox::shown().first().stile, int(vbCritical));
        QVERIFY(mostra(prova, ROSSI));
        QCOMPARE(testiScheda(prova), digitati);
        QCOMPARE(prova.modulo.VARIAZIONI, 1);
        QCOMPARE(archivio->istantanea(), prima);

        prova.modulo.DBANNO->Execute(QStringLiteral("PRAGMA max_page_count = 1000000"));
        MessageBox::clearShown();
        prova.click(QStringLiteral("cmdmemorizza"));
        QCOMPARE(testiMostrati(), QStringList());
        QCOMPARE(riga(*archivio, ROSSI).value("ASOST_9").toString(),
                 QStringLiteral("STRADA PROVINCIALE PER CORREGGIO 12"));
    }
};

QTEST_MAIN(TestMemorizza)
#include "tst_memorizza.moc"
