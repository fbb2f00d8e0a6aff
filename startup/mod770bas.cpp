#include "startup/mod770bas.h"

#include "startup/configurazione.h"
#include "startup/istanza.h"
#include "store/province.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

QString fileAnno()
{
    return QStringLiteral("S770") + ANNO + QStringLiteral(".MDB");
}

const QString ASSISTENZA = QStringLiteral("Contattare la Tarvessa servizi");
// Every start-up refusal of the program's own says that it ends.
const QString CHIUSURA = QStringLiteral("Il programma viene chiuso.");

// The engine's own words about a failure, first line only, for support.
QString parole(const store::ErroreArchivio& errore)
{
    const QString riga = errore.dettaglio().section(QStringLiteral(" / "), 0, 0).trimmed();
    return riga.isEmpty() ? QString() : QStringLiteral("(") + riga + QStringLiteral(")");
}

// Lines of a message, the empty ones left out.
QString righe(const QStringList& elenco)
{
    QStringList piene;
    for (const QString& r : elenco) {
        if (!r.isEmpty())
            piene << r;
    }
    return piene.join(CR);
}

// A path as start-up messages name it: between quotes, so that a blank or
// another stray character at either end shows.
QString citato(const QString& percorso)
{
    return QLatin1Char('"') + percorso + QLatin1Char('"');
}

// Folder and file names are joined with the platform's separator; the folder
// is used exactly as stored.
QString unisci(const QString& cartella, const QString& nome)
{
    return cartella + QDir::separator() + nome;
}

QString fileBloccoPredefinito()
{
    QString utente = qEnvironmentVariable("USER");
    if (utente.isEmpty())
        utente = qEnvironmentVariable("USERNAME");
    return QDir(QDir::tempPath()).filePath(QStringLiteral("anagsost-%1.lock").arg(utente));
}

} // namespace

MOD770BAS::MOD770BAS(MSGBOXFN msgbox) : fileBloccoIstanza(fileBloccoPredefinito()), m_msgbox(std::move(msgbox))
{
}

MOD770BAS::~MOD770BAS()
{
    CHIUDIDATABASE();
}

int MOD770BAS::MsgBox(const QString& testo, int stile, const QString& titolo) const
{
    return m_msgbox ? m_msgbox(testo, stile, titolo) : vbOK;
}

QString MOD770BAS::NOMEARCHIVIOANNO() const
{
    if (SUSERVER())
        return LUOGOANNO().descrizione();
    return unisci(PERCORSOARCHIVI, fileAnno());
}

QString MOD770BAS::NOMETEMPLATE() const
{
    return unisci(PERCORSOARCHIVI, store::nomeFileTemplate());
}

QString MOD770BAS::NOMEANNOSERVER() const
{
    return store::nomeSuServer(fileAnno(), PREFISSOPOSTGRESQL);
}

QString MOD770BAS::NOMETEMPLATESERVER() const
{
    return store::nomeSuServer(store::nomeFileTemplate(), PREFISSOPOSTGRESQL);
}

store::Luogo MOD770BAS::LUOGOANNO() const
{
    if (SUSERVER())
        return store::Luogo::server(SERVERPOSTGRESQL, NOMEANNOSERVER());
    return store::Luogo::file(NOMEARCHIVIOANNO());
}

store::Luogo MOD770BAS::LUOGOTEMPLATE() const
{
    if (SUSERVER())
        return store::Luogo::server(SERVERPOSTGRESQL, NOMETEMPLATESERVER());
    return store::Luogo::file(NOMETEMPLATE());
}

QString MOD770BAS::NOMEPROGRAMMAPRINCIPALE() const
{
    return unisci(PERCORSOPROGRAMMI, QStringLiteral("770") + ANNO + QStringLiteral(".EXE"));
}

bool MOD770BAS::LEGGIPERCORSI()
{
    // One copy per user: the lock is held until the program ends, and a lock
    // left by a copy that crashed is taken over.
    m_istanza = std::make_unique<Istanza>(fileBloccoIstanza);
    if (!m_istanza->acquisisci()) {
        m_istanza.reset();
        return false;
    }
    return true;
}

QString MOD770BAS::LEGGIREGISTRO(const QString& nomeValore)
{
    return LEGGICONFIGURAZIONE().valori.value(nomeValore.toUpper());
}

bool MOD770BAS::ESISTEFILE(const QString& nomeFile)
{
    ++NUMFILE;
    QFile file(nomeFile);
    const bool aperto = file.open(QIODevice::ReadOnly);
    file.close();
    return aperto;
}

MOD770BAS::ESITO MOD770BAS::INIZIALIZZA()
{
    PERCORSOARCHIVI.clear();
    PERCORSOPROGRAMMI.clear();
    SERVERPOSTGRESQL.clear();
    PREFISSOPOSTGRESQL.clear();

    if (!LEGGIPERCORSI())
        return ESITO::Termina; // another copy is running, asked to come to the front: end
    const QString titolo = QStringLiteral(" Gestione Modello ") + MODELLO + QStringLiteral(" (Semplificato) - ");
    // A configuration that cannot be read as written is refused: taking its
    // values as missing could open another archive than the one meant.
    const QString difetto = LEGGICONFIGURAZIONE().difetto;
    if (!difetto.isEmpty()) {
        MsgBox(righe({QStringLiteral("Attenzione !!!!"), difetto, CHIUSURA}), vbCritical, titolo);
        return ESITO::Termina;
    }
    const QString archivi = LEGGIREGISTRO(QStringLiteral("PERCORSOARCHIVI"));
    const QString programmi = LEGGIREGISTRO(QStringLiteral("PERCORSOPROGRAMMI"));

    if (archivi.isEmpty()) {
        MsgBox(QStringLiteral("Non trovata procedura ") + QStringLiteral("velMoria") + CR + CR +
                   QStringLiteral("Contattare Tarvessa Servizi"),
               vbCritical, QStringLiteral("Controllo procedura ") + MODELLO + QStringLiteral(" Semplificato"));
        return ESITO::Termina;
    }
    PERCORSOARCHIVI = archivi;
    PERCORSOPROGRAMMI = programmi;

    SERVERPOSTGRESQL = LEGGIREGISTRO(QStringLiteral("SERVERPOSTGRESQL")).trimmed();
    PREFISSOPOSTGRESQL = LEGGIREGISTRO(QStringLiteral("PREFISSOPOSTGRESQL"));
    if (SUSERVER())
        return INIZIALIZZASERVER(titolo);
    if (!ESISTEFILE(NOMETEMPLATE())) {
        MsgBox(QStringLiteral("Attenzione !!!!") + CR + QStringLiteral("Non esiste file ") + citato(NOMETEMPLATE())
                   + CR + ASSISTENZA,
               vbCritical, titolo);
        return ESITO::Termina;
    }

    const QString anno = NOMEARCHIVIOANNO();
    if (!ESISTEFILE(anno)) {
        // A year's database that exists but cannot be read (locked, no rights)
        // holds a client's return: it is never replaced by the empty template.
        if (QFileInfo::exists(anno)) {
            MsgBox(QStringLiteral("Attenzione !!!!") + CR + QStringLiteral("Impossibile leggere l'archivio ")
                       + citato(anno) + CR
                       + QStringLiteral("Il file esiste ma non è accessibile (in uso o senza permessi).") + CR
                       + QStringLiteral("Il programma viene chiuso senza modificarlo."),
                   vbCritical, titolo);
            return ESITO::Termina;
        }
        // Copied under a temporary name of its own and renamed when complete,
        // so that a copy cut short never looks like a year's database.
        try {
            store::creaDaModello(LUOGOTEMPLATE(), LUOGOANNO());
        } catch (const store::ErroreArchivio&) {
            MsgBox(QStringLiteral("Attenzione !!!!") + CR + QStringLiteral("Impossibile creare l'archivio ")
                       + citato(anno) + QStringLiteral(" dal file ") + citato(NOMETEMPLATE()) + CR
                       + QStringLiteral("Controllare lo spazio su disco e i permessi della cartella.") + CR
                       + CHIUSURA + CR + ASSISTENZA,
                   vbCritical, titolo);
            return ESITO::Termina;
        }
    }
    return ESITO::Prosegui;
}

MOD770BAS::ESITO MOD770BAS::INIZIALIZZASERVER(const QString& titolo)
{
    const QString server = SERVERPOSTGRESQL;
    auto ferma = [&](const QStringList& testo, const QString& chiusura = CHIUSURA) {
        MsgBox(righe(QStringList{QStringLiteral("Attenzione !!!!")} + testo + QStringList{chiusura, ASSISTENZA}),
               vbCritical, titolo);
        return ESITO::Termina;
    };
    // The server's counterpart of the missing template file, in its words.
    auto senzaModello = [&] {
        return ferma(
            {QStringLiteral("Non esiste l'archivio ") + NOMETEMPLATESERVER() + QStringLiteral(" sul server ") + server},
            QString());
    };
    // A failure of the server itself: unreachable, or refusing the user.
    auto guastoServer = [&](const store::ErroreArchivio& e) {
        switch (e.tipo()) {
        case store::TipoErrore::AccessoNegato:
            return ferma({QStringLiteral("Il server PostgreSQL ") + server + QStringLiteral(" non consente l'accesso."),
                          parole(e),
                          QStringLiteral("Controllare l'utente e la sua password nel file delle password di "
                                         "PostgreSQL (.pgpass).")});
        case store::TipoErrore::NonApribile:
        case store::TipoErrore::ServerIrraggiungibile:
            return ferma({QStringLiteral("Impossibile collegarsi al server PostgreSQL ") + server, parole(e),
                          QStringLiteral("Controllare che il server sia avviato e raggiungibile.")});
        case store::TipoErrore::FilePasswordIgnorato:
        case store::TipoErrore::PermessoNegato:
        case store::TipoErrore::ArchivioMancante:
            // Their own message says what to mend.
            MsgBox(e.messaggioAvvio(), vbCritical, titolo);
            return ESITO::Termina;
        default:
            return ferma({QStringLiteral("Errore del server PostgreSQL ") + server, parole(e)});
        }
    };

    const QString motivo = store::controllaServer(server);
    if (!motivo.isEmpty())
        return ferma({QStringLiteral("Valore SERVERPOSTGRESQL della configurazione non valido:"), motivo});
    const QString motivoPrefisso = store::controllaPrefisso(PREFISSOPOSTGRESQL);
    if (!motivoPrefisso.isEmpty())
        return ferma({QStringLiteral("Valore PREFISSOPOSTGRESQL della configurazione non valido:"), motivoPrefisso});

    try {
        // Nearly always the year's database is there: opened at once, and
        // kept, the template asked about on its connection (every database
        // of the server sees the server's list of databases). Over a slow
        // link every connection opened costs its handshake.
        std::unique_ptr<store::Database> aperto;
        try {
            aperto = store::Database::OpenDatabase(LUOGOANNO(), opzioniArchivio);
        } catch (const store::ErroreArchivio& e) {
            // The year's database missing, or closed to the user: asked
            // about below, as the server as a whole; any other refusal is
            // the server's, told as such.
            if (e.tipo() != store::TipoErrore::ArchivioMancante && e.tipo() != store::TipoErrore::NonApribile)
                return guastoServer(store::ErroreArchivio(e.tipo(), e.dettaglio(), QStringLiteral("server ") + server,
                                                          e.precisazioni()));
        }
        if (aperto) {
            if (store::presenza(LUOGOTEMPLATE(), *aperto) == store::Presenza::Assente)
                return senzaModello();
            DBANNO = std::move(aperto);
            return ESITO::Prosegui;
        }

        // Both asked about on one connection to the server.
        const QList<store::Presenza> presenti = store::presenza(QList<store::Luogo>{LUOGOTEMPLATE(), LUOGOANNO()});
        if (presenti.at(0) == store::Presenza::Assente)
            return senzaModello();

        const store::Presenza anno = presenti.at(1);
        if (anno == store::Presenza::Inaccessibile) {
            // It holds a client's return: never replaced, never touched.
            return ferma({QStringLiteral("Impossibile leggere l'archivio ") + NOMEARCHIVIOANNO(),
                          QStringLiteral("L'archivio esiste ma non è accessibile (in uso o senza permessi).")},
                         QStringLiteral("Il programma viene chiuso senza modificarlo."));
        }
        if (anno == store::Presenza::Assente) {
            try {
                store::creaDaModello(LUOGOTEMPLATE(), LUOGOANNO());
            } catch (const store::ErroreArchivio& e) {
                // Another workstation may have created it meanwhile.
                if (store::presenza(LUOGOANNO()) == store::Presenza::Presente)
                    return ESITO::Prosegui;
                if (e.tipo() == store::TipoErrore::NonApribile ||
                    e.tipo() == store::TipoErrore::ServerIrraggiungibile ||
                    e.tipo() == store::TipoErrore::AccessoNegato || e.tipo() == store::TipoErrore::FilePasswordIgnorato)
                    return guastoServer(e);
                const QString perche =
                    e.tipo() == store::TipoErrore::Occupato
                        ? QStringLiteral("L'archivio ") + NOMETEMPLATESERVER() +
                              QStringLiteral(" è in uso: chiudere i programmi collegati ad esso e riprovare.")
                    : e.tipo() == store::TipoErrore::PermessoNegato
                        ? QStringLiteral("L'utente non ha il permesso di creare archivi sul server.")
                        : parole(e);
                return ferma({QStringLiteral("Impossibile creare l'archivio ") + NOMEANNOSERVER() +
                                  QStringLiteral(" dall'archivio ") + NOMETEMPLATESERVER() +
                                  QStringLiteral(" sul server ") + server,
                              perche});
            }
        }
    } catch (const store::ErroreArchivio& e) {
        return guastoServer(e);
    }
    return ESITO::Prosegui;
}

void MOD770BAS::APRIDATABASE()
{
    // On a server the configuration step has opened it already.
    if (!DBANNO)
        DBANNO = store::Database::OpenDatabase(LUOGOANNO(), opzioniArchivio);
}

int MOD770BAS::CONTROLLOFRONTESPIZIO(QString& messaggio)
{
    MANCAFRONTESPIZIO = 0;
    const bool vuoto = DBANNO->OpenRecordset(QStringLiteral("SELECT * FROM frontespizio"))->RecordCount() == 0;
    if (vuoto) {
        MANCAFRONTESPIZIO = 1;
        MsgBox(QStringLiteral("Inserire prima il frontespizio per accedere al programma") + CR + CR + messaggio,
               vbInformation, QStringLiteral("Controlli ") + MODELLO + QStringLiteral(" semplificato"));
    }
    return MANCAFRONTESPIZIO;
}

void MOD770BAS::CHIUDIRECORDSET()
{
    // Each close on its own: a record set already closed or never opened is skipped.
    auto chiudi = [](auto& recordset) {
        if (!recordset)
            return;
        try {
            recordset->Close();
        } catch (const store::ErroreArchivio&) {
        }
        recordset.reset();
    };
    chiudi(TABFRONTESPIZIO);
    chiudi(TABANAGSOST);
    chiudi(TABPROV);
}

void MOD770BAS::CHIUDIDATABASE()
{
    CHIUDIRECORDSET();
    if (DBANNO) {
        try {
            DBANNO->Close();
        } catch (const store::ErroreArchivio&) {
        }
        DBANNO.reset();
    }
}

void CONSEGNA(const FINESTRAPRINCIPALE& finestra)
{
    if (finestra.esiste()) {
        // Whether it came forward or not, the main program is running.
        finestra.attiva();
        return;
    }
    finestra.avvia();
}

void MOD770BAS::ATTIVAPROGRAMMAPRINCIPALE()
{
    FINESTRAPRINCIPALE finestra;
#ifdef Q_OS_WIN
    const std::wstring titolo = TITOLOPROGRAMMAPRINCIPALE().toStdWString();
    HWND trovata = FindWindowW(nullptr, titolo.c_str());
    finestra.esiste = [trovata] { return trovata != nullptr; };
    finestra.attiva = [trovata] {
        if (IsIconic(trovata))
            ShowWindow(trovata, SW_RESTORE);
        return SetForegroundWindow(trovata) != 0;
    };
#else
    // No window of another program to look for on this platform.
    finestra.esiste = [] { return false; };
    finestra.attiva = [] { return false; };
#endif
    // A failure to start it is of no consequence here.
    finestra.avvia = [this] { QProcess::startDetached(NOMEPROGRAMMAPRINCIPALE(), {}, PERCORSOPROGRAMMI); };
    CONSEGNA(finestra);
}
