// Round trips to the server of each of the operator's actions in the real
// window, as the store counts them: exactly what each action costs today,
// whatever the size of the return and of the substitute. Run on a server
// only. The actions are written as in the window's wiring table.
#include "finestra/cablaggio.h"

#include "store/database.h"

class TestGiri : public QObject {
    Q_OBJECT

    std::unique_ptr<BancoProva> p;

private slots:
    // Substitutes of company 101 and 102 with 10 and 200 section rows of their own, and their recipients.
    void init()
    {
        SOLO_SERVER("round trips to a server");
        p = std::make_unique<BancoProva>();
        for (const auto& [k, righe] : {std::pair{SOSTITUTI["101"], 10}, std::pair{SOSTITUTI["102"], 200}}) {
            p->sostituto(k);
            for (int s = 0; s < 6; ++s)
                p->archivio.esegui("INSERT INTO " + SEZIONI[s] +
                                       " (CODAZI, CFD, CFS, RIGO) SELECT ?, ?, ?, n "
                                       "FROM generate_series(0, ?) n WHERE n % 6 = ?",
                                   {k.codazi, "01234567897", k.cfs, righe - 1, s});
            p->archivio.esegui("INSERT INTO PERCETTORI (CODAZI, CFPERC) VALUES (?, 'PRCPRC80A01H501X')", {k.codazi});
        }
    }
    void cleanup() { p.reset(); }

    void azioni_data()
    {
        QTest::addColumn<QString>("prima");
        QTest::addColumn<QString>("azione");
        QTest::addColumn<int>("giri");
        QTest::addColumn<QString>("dopo"); // what the window and the archive hold, as the wiring table reads it
        const auto riga = [](const char* nome, const QString& prima, const QString& azione, int giri,
                             const QString& dopo) { QTest::newRow(nome) << prima << azione << giri << dopo; };
        const QString altri = "sql INSERT INTO ANAGSOSTITUTI (CODAZI, CFS, ASOST_1) SELECT lpad((g % 800 + 200)::text, "
                              "3, '0'), 'X' || lpad(g::text, 15, '0'), 'DITTA ' || g FROM generate_series(1, 2500) g; ";
        const QString cambio = "premi CmdCambia; tasti Text2 AAAAAA00A00A000I";
        // Start-up to the list shown: the year's database opened (the handshake alone), the template looked for
        // on its connection with the catalogue's read in the same round trip, the front page checked, the list read,
        // LISTEN for the other workstations' changes.
        riga("start-up", "", "avvia", 5, "visibili=FrmSelezione");
        // A sheet is one read, the list too ("Altra anagrafica"), however many lines.
        riga("opening a sheet", "avvia", "apri 101", 1, "testo LabAZI= 101");
        riga("back to the list", "apri 101", "premi cmdselprec", 1, "visibili=FrmSelezione");
        riga("list, 2502 substitutes", altri + "avvia", "premi Option1(1)", 1, "visibili=FrmSelezione");
        // A save checks the two provinces and the linked company, then under the registry's lock finds the row
        // (with BEGIN and LOCK), writes it and reads it back in one, commits, and the sheet is read again.
        riga("save", "apri 101; tasti 9  B", "premi cmdmemorizza", 7,
             "registrato 101=ROSSI|MARIO|M|19750815|ROMA|RM|MILANO|MI|VIA ROMA 1 B|001");
        // Deletion: the row sought (with BEGIN and LOCK), the seven tables' statements together, the registry
        // row, COMMIT, the list.
        riga("deletion, 200 rows, 2500 substitutes", altri + "clic 102", "premi Cmdcancella", 5,
             "registrato 102=assente");
        // Change of codice fiscale: four checks, the six tables' statements together (with BEGIN and LOCK), the
        // registry row sought and written, COMMIT, the list.
        riga("change of codice fiscale, 200 rows", "clic 102; " + cambio, "premi CmdConfermaCF", 9,
             "registrato 102=ROSSI|MARIO|M|19750815|ROMA|RM|MILANO|MI|VIA ROMA 1|001");
    }
    void azioni()
    {
        QFETCH(QString, prima);
        QFETCH(QString, azione);
        QFETCH(int, giri);
        QFETCH(QString, dopo);
        Cablaggio c{*p};
        c.esegui(prima);
        const quint64 inizio = store::scambiServer();
        c.esegui(azione);
        QCOMPARE(store::scambiServer() - inizio, quint64(giri));
        QCOMPARE(dopo.section('=', 0, 0) + '=' + c.stato(dopo.section('=', 0, 0)), dopo);
        // The section rows of the substitute deleted or re-keyed, all of them.
        const QString cfs = QStringList{"101", "102"}.contains(dopo.mid(11, 3)) ? SOSTITUTI[dopo.mid(11, 3)].cfs : "-";
        for (const QString& s : azione.contains("Cmd") ? SEZIONI : QStringList())
            QCOMPARE(p->archivio.conta("SELECT COUNT(*) FROM " + s + " WHERE CFS = ?", {cfs}), 0);
    }
};

PROVA(TestGiri);
#include "giri.moc"
