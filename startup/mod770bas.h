#pragma once
// Application module: configuration, the year's database and its record sets,
// the flags the window shares, start-up and shutdown procedures.
#include "startup/msgbox_fn.h"
#include "store/database.h"

#include <QString>
#include <functional>
#include <memory>

class Istanza;

// The tax year is fixed in the program.
inline const QString ANNO = QStringLiteral("2004");
inline const QString MODELLO = QStringLiteral("770/2004");

// What the hand-back at shutdown asks of the window system, so that the
// decision can be tried without it.
struct FINESTRAPRINCIPALE {
    std::function<bool()> esiste; // a top-level window titled as the main program's exists
    std::function<bool()> attiva; // brings it to the front; false when refused
    std::function<void()> avvia;  // starts the main program without waiting for it
};
// Brings the main program's window to the front when there is one, and starts
// the program only when there is none: a window that refuses to come forward
// (a second copy's, say) still exists, and starting the program would add
// another copy.
void CONSEGNA(const FINESTRAPRINCIPALE& finestra);

class MOD770BAS {
public:
    explicit MOD770BAS(MSGBOXFN msgbox);
    ~MOD770BAS();
    MOD770BAS(const MOD770BAS&) = delete;
    MOD770BAS& operator=(const MOD770BAS&) = delete;

    enum class ESITO { Prosegui, Termina };

    // Configuration step: second instance, the two folder settings, template
    // and year's database. Termina: the program must end (the message, if
    // any, has been shown).
    ESITO INIZIALIZZA();
    // The same step for a year's database on the PostgreSQL server named by
    // SERVERPOSTGRESQL: the template database must be there, the year's one
    // is created from it when missing. The year's database is opened here,
    // into DBANNO, and the template asked about on its connection.
    ESITO INIZIALIZZASERVER(const QString& titolo);
    // false when another instance of the program is already running (it
    // has been asked to bring its window to the front).
    bool LEGGIPERCORSI();
    // This copy's lock, on which later copies ask for the window; nullptr
    // before LEGGIPERCORSI or when another copy runs.
    Istanza* ISTANZA() const { return m_istanza.get(); }
    // One string value of the configuration, as written (startup/configurazione.h);
    // "" when missing.
    static QString LEGGIREGISTRO(const QString& nomeValore);
    // True when the file can be opened for reading.
    bool ESISTEFILE(const QString& nomeFile);

    // Opens the year's database into DBANNO, unless the configuration step
    // did; raises store::ErroreArchivio.
    void APRIDATABASE();
    // Front-page precondition: sets MANCAFRONTESPIZIO, shows the message,
    // and returns MANCAFRONTESPIZIO.
    int CONTROLLOFRONTESPIZIO(QString& messaggio);
    void CHIUDIRECORDSET();
    void CHIUDIDATABASE();
    // Hand-back at shutdown: activate the suite's main program, else start it
    // (see CONSEGNA).
    void ATTIVAPROGRAMMAPRINCIPALE();

    // A/S7702004.MDB; on a server the year's database and its server, as
    // the operator reads them.
    QString NOMEARCHIVIOANNO() const;
    QString NOMETEMPLATE() const; // A/SQ47XXXX.MDB
    // Names of the databases on the server: PREFISSOPOSTGRESQL and the file
    // names in lower case without extension (s7702004, sq47xxxx).
    QString NOMEANNOSERVER() const;
    QString NOMETEMPLATESERVER() const;
    bool SUSERVER() const { return !SERVERPOSTGRESQL.isEmpty(); }
    // Where the year's database and the template are: the files of the
    // archive folder, or the databases on the server.
    store::Luogo LUOGOANNO() const;
    store::Luogo LUOGOTEMPLATE() const;
    QString NOMEPROGRAMMAPRINCIPALE() const; // P/7702004.EXE
    static QString TITOLOPROGRAMMAPRINCIPALE() { return QStringLiteral("770") + ANNO; }

    // Shows a message box through the function the window installed.
    int MsgBox(const QString& testo, int stile, const QString& titolo) const;

    // --- module state ---
    QString PERCORSOARCHIVI;
    QString PERCORSOPROGRAMMI;
    // Optional: a libpq connection string (host, port, user; the password
    // comes from PostgreSQL's password file). Empty: the year's database is
    // the file in the archive folder.
    QString SERVERPOSTGRESQL;
    // Optional prefix of the database names on the server, so that one
    // server can hold the archives of several offices (or of several tests).
    QString PREFISSOPOSTGRESQL;
    int NUMFILE = 0;

    std::unique_ptr<store::Database> DBANNO;
    std::unique_ptr<store::TableRecordset> TABFRONTESPIZIO;
    std::unique_ptr<store::TableRecordset> TABANAGSOST;
    std::unique_ptr<store::TableRecordset> TABPROV;

    int MANCAFRONTESPIZIO = 0;
    int VARIAZIONI = 0;
    int ERRORECAMPI = 0;
    int RISPOSTA = 0;
    int NUOVOSOSTITUTO = 0;

    // Options of the store (lock wait), and where the one-instance lock lives;
    // tests point both at their own values.
    store::OpzioniArchivio opzioniArchivio;
    QString fileBloccoIstanza;

private:
    MSGBOXFN m_msgbox;
    std::unique_ptr<Istanza> m_istanza;
};
