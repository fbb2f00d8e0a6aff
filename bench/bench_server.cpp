// The operator's actions on the server engine over a slow link: the program
// reaches the server through a relay (relay.h) that delays the traffic by
// 0, 5 and 20 ms each way, and each action is timed and its round trips
// counted, by the relay (bursts of the program's traffic) and, where the
// store counts them, by the store. Archives on the server, filled by the
// server itself (INSERT ... SELECT generate_series), once per run unless
// kept from an earlier one:
//
//   bench_server [--server CONN] [--prefisso P] [--volte N] [--latenze 0,5,20]
//                [--rapido] [--serie K] [--elimina]
//
// CONN: the server, libpq's key=value pairs (default: ANAGSOST_PG), its
// password in the password file (PGPASSFILE). The archives stay on the server
// for another run (of another build, say: bench/confronto_server.sh) unless
// --elimina drops them at the end; --serie makes the codes of the
// substitutes this run adds its own.
#include "generatore.h"
#include "misure.h"
#include "relay.h"
#include "sessione.h"

#include "store/luogo.h"
#include "store/province.h"
#ifdef ANAGSOST_SCAMBI
#include "store/database.h"
#endif
#include "window/textbox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTextStream>
#include <QThread>
#include <QUuid>
#include <stdexcept>

namespace {

QTextStream out(stdout);

QString valoreDi(const QString& server, const QString& chiave)
{
    for (const QString& coppia : server.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (coppia.startsWith(chiave + QLatin1Char('=')))
            return coppia.mid(chiave.size() + 1);
    }
    return {};
}

// A connection of the benchmark's own, straight to the server.
class Diretta {
public:
    Diretta(const QString& server, const QString& database) : m_nome(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_nome);
        db.setDatabaseName(database);
        db.setConnectOptions(server);
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
    }
    ~Diretta() { QSqlDatabase::removeDatabase(m_nome); }
    void esegui(const QString& sql, const QVariantList& valori = {})
    {
        QSqlQuery q(QSqlDatabase::database(m_nome, false));
        bool ok = valori.isEmpty() ? q.exec(sql) : q.prepare(sql);
        for (int i = 0; ok && i < valori.size(); ++i)
            q.bindValue(i, valori[i]);
        if (ok && !valori.isEmpty())
            ok = q.exec();
        if (!ok)
            throw std::runtime_error((q.lastError().text() + QStringLiteral(" — ") + sql).toStdString());
    }
    QStringList colonna(const QString& sql)
    {
        QSqlQuery q(QSqlDatabase::database(m_nome, false));
        if (!q.exec(sql))
            throw std::runtime_error(q.lastError().text().toStdString());
        QStringList valori;
        while (q.next())
            valori << q.value(0).toString();
        return valori;
    }

private:
    QString m_nome;
};

const char* const SEZIONI[] = {"QUADROLDIP1", "QUADROLDIP2", "QUADROLDIP3", "QUADROLDIP4", "QUADROLAUT", "QUADROST"};
const QString CFD900 = QStringLiteral("00000000900");

// The archive `prefisso` on the server: a template and a year's database with
// `sostituti` substitutes and `righe` section rows spread over them and over
// the six section tables, written by the server itself.
void creaArchivioServer(const QString& server, const QString& prefisso, int sostituti, qint64 righe)
{
    const store::Luogo modello = store::Luogo::server(server, prefisso + QStringLiteral("sq47xxxx"));
    const store::Luogo anno = store::Luogo::server(server, prefisso + QStringLiteral("s7702004"));
    if (store::presenza(anno) == store::Presenza::Presente)
        return; // kept from an earlier run
    if (store::presenza(modello) == store::Presenza::Assente)
        store::creaTemplate(modello);
    store::creaDaModello(modello, anno);
    Diretta d(server, anno.nome());
    d.esegui(QStringLiteral("INSERT INTO FRONTESPIZIO (CODAZI, CFD, FR_1, FR_2, FR_3, fr_14) "
                            "SELECT (900 + g)::text, lpad((900 + g)::text, 11, '0'), '', '', 'DICHIARANTE ' || g || ' SPA', '' "
                            "FROM generate_series(0, 9) g"));
    // Company codes 001-899 in turn; persons and companies alternating.
    d.esegui(QStringLiteral(
                 "INSERT INTO ANAGSOSTITUTI (CODAZI, CFS, ASOST_1, ASOST_2, ASOST_3, ASOST_4, ASOST_5, ASOST_6, ASOST_7, "
                 "ASOST_8, ASOST_9, ASOST_10) "
                 "SELECT lpad((g % 899 + 1)::text, 3, '0'), 'X' || lpad(g::text, 15, '0'), "
                 "CASE WHEN g % 2 = 0 THEN 'COGNOME' || g ELSE 'DITTA ' || g || ' SRL' END, "
                 "CASE WHEN g % 2 = 0 THEN 'NOME' || (g % 14) ELSE '' END, CASE WHEN g % 2 = 0 THEN 'M' ELSE '' END, "
                 "CASE WHEN g % 2 = 0 THEN '19700101' ELSE '00000000' END, CASE WHEN g % 2 = 0 THEN 'ROMA' ELSE '' END, "
                 "CASE WHEN g % 2 = 0 THEN 'RM' ELSE '' END, 'MILANO', 'MI', 'VIA DEI MILLE ' || (g % 300), "
                 "(900 + g % 10)::text FROM generate_series(0, %1) g")
                 .arg(sostituti - 1));
    for (int s = 0; s < 6 && righe > 0; ++s) {
        d.esegui(QStringLiteral("INSERT INTO %1 (CODAZI, CFD, CFS, RIGO) "
                                "SELECT lpad(((g / 6) % %2 % 899 + 1)::text, 3, '0'), "
                                "lpad((900 + (g / 6) % %2 % 10)::text, 11, '0'), "
                                "'X' || lpad(((g / 6) % %2)::text, 15, '0'), g "
                                "FROM generate_series(%3, %4, 6) g")
                     .arg(QString::fromLatin1(SEZIONI[s]))
                     .arg(sostituti)
                     .arg(s)
                     .arg(righe - 1));
    }
    d.esegui(QStringLiteral("INSERT INTO PERCETTORI (CODAZI, CFPERC, COGNOME) "
                            "SELECT lpad(g::text, 3, '0'), 'P' || lpad(g::text, 15, '0'), 'PERCETTORE' "
                            "FROM generate_series(1, 899) g"));
    d.esegui(QStringLiteral("ANALYZE FRONTESPIZIO, ANAGSOSTITUTI, PERCETTORI, ") +
             QStringList({"QUADROLDIP1", "QUADROLDIP2", "QUADROLDIP3", "QUADROLDIP4", "QUADROLAUT", "QUADROST"})
                 .join(QStringLiteral(", ")));
}

// A substitute linked to the declarant 900 with `righe` section rows of its own
// and five recipients of its company; returns its codice fiscale.
QString aggiungiBersaglioServer(const QString& server, const QString& prefisso, const QString& codazi, int n,
                                int righe)
{
    const QString cfs = codiceBersaglio(n);
    Diretta d(server, prefisso + QStringLiteral("s7702004"));
    d.esegui(QStringLiteral("INSERT INTO ANAGSOSTITUTI (CODAZI, CFS, ASOST_1, ASOST_2, ASOST_3, ASOST_4, ASOST_5, "
                            "ASOST_6, ASOST_7, ASOST_8, ASOST_9, ASOST_10) VALUES (?, ?, 'BERSAGLIO', 'PROVA', 'M', "
                            "'19700101', 'ROMA', 'RM', 'ROMA', 'RM', 'VIA ROMA 1', '900')"),
             {codazi, cfs});
    for (int s = 0; s < 6; ++s)
        d.esegui(QStringLiteral("INSERT INTO %1 (CODAZI, CFD, CFS, RIGO) SELECT ?, ?, ?, g FROM generate_series(%2, %3, 6) g")
                     .arg(QString::fromLatin1(SEZIONI[s]))
                     .arg(s)
                     .arg(righe - 1),
                 {codazi, CFD900, cfs});
    d.esegui(QStringLiteral("INSERT INTO PERCETTORI (CODAZI, CFPERC, COGNOME) "
                            "SELECT ?, 'Q' || lpad(g::text, 15, '0'), 'PERCETTORE' FROM generate_series(1, 5) g"),
             {codazi});
    return cfs;
}

void eliminaArchivi(const QString& server, const QString& prefisso)
{
    Diretta d(server, QStringLiteral("postgres"));
    for (const QString& nome :
         d.colonna(QStringLiteral("SELECT datname FROM pg_database WHERE datname LIKE '%1%%'").arg(prefisso))) {
        d.esegui(QStringLiteral("ALTER DATABASE \"%1\" IS_TEMPLATE false").arg(nome));
        d.esegui(QStringLiteral("DROP DATABASE \"%1\"").arg(nome));
    }
}

// Round trips so far, as the relay sees them and as the store counts them
// (-1 where this build's store does not count).
struct Conto {
    quint64 raffiche = 0;
    qint64 scambi = -1;
};
Conto conto(const Relay& relay)
{
    Conto c;
    c.raffiche = relay.raffiche();
#ifdef ANAGSOST_SCAMBI
    c.scambi = qint64(store::scambiServer());
#endif
    return c;
}

struct Riga {
    QString azione, dimensione;
    int latenza = 0;
    double ms = 0;
    Conto giri;
};
QList<Riga> tabella;

// Median time of `volte` runs of `azione` (`prima` untimed before each), and
// the round trips of the last run.
void misuraAzione(Relay& relay, int latenza, int volte, const QString& azione, const QString& dimensione,
                  const std::function<void()>& fai, const std::function<void()>& prima = {})
{
    std::vector<double> tempi;
    Conto giri;
    for (int v = 0; v < volte; ++v) {
        if (prima)
            prima();
        const Conto inizio = conto(relay);
        QElapsedTimer cronometro;
        cronometro.start();
        fai();
        tempi.push_back(double(cronometro.nsecsElapsed()) / 1e6);
        const Conto fine = conto(relay);
        giri.raffiche = fine.raffiche - inizio.raffiche;
        giri.scambi = fine.scambi < 0 ? -1 : fine.scambi - inizio.scambi;
    }
    const Riga r{azione, dimensione, latenza, mediana(tempi), giri};
    tabella.append(r);
    out << QStringLiteral("  %1 %2, %3 ms: %4 ms, %5 raffiche, %6 scambi\n")
               .arg(r.azione, r.dimensione)
               .arg(latenza)
               .arg(r.ms, 0, 'f', 1)
               .arg(giri.raffiche)
               .arg(giri.scambi);
    out.flush();
}

struct Banco {
    QString server, prefisso, cartella, serverRelay;
    Relay* relay = nullptr;
    int volte = 5;
    int serie = 0;
    int n = 0; // substitutes added so far

    QString prefissoDi(const QString& nome) const { return prefisso + nome + QLatin1Char('_'); }
    void configuraSu(const QString& nome) const { configura(cartella, serverRelay, prefissoDi(nome)); }
    int prossimo() { return serie * 100000 + n++; }
};

void sessioneEOperazioni(Banco& b, int latenza, int sostitutiLista)
{
    const QString dimensione = QStringLiteral("%1 sostituti").arg(sostitutiLista);
    b.configuraSu(QStringLiteral("l%1").arg(sostitutiLista));
    std::unique_ptr<Sessione> sessione;
    misuraAzione(
        *b.relay, latenza, b.volte, QStringLiteral("avvio fino alla lista"), dimensione,
        [&] { sessione = std::make_unique<Sessione>(); }, [&] { sessione.reset(); });
    ANAGSOST& f = sessione->finestra;
    int riga = 0;
    const auto allaLista = [&] {
        if (!f.FrmSelezione->isVisible())
            f.cmdselprec_Click();
        f.List1->setCurrentIndex(f.List1->model()->index(1 + (riga++ % 50) * 7, 0));
    };
    misuraAzione(*b.relay, latenza, b.volte, QStringLiteral("apertura scheda"), dimensione,
                 [&] { f.List1_DblClick(); }, allaLista);
    int k = 0;
    misuraAzione(
        *b.relay, latenza, b.volte, QStringLiteral("salvataggio di un campo"), dimensione,
        [&] { f.cmdmemorizza_Click(); },
        [&] {
            allaLista();
            f.List1_DblClick();
            f.Text1[9]->setText(QStringLiteral("VIA DEI MILLE %1").arg(1000 + b.serie * 1000 + k++));
            f.M.VARIAZIONI = 1;
        });
    allaLista();
    misuraAzione(*b.relay, latenza, b.volte, QStringLiteral("lista"), dimensione, [&] { f.LISTASOSTITUTI(); });
}

void cancellaECambia(Banco& b, int latenza, qint64 righe)
{
    const QString dimensione = QStringLiteral("%1 righe di quadri").arg(righe);
    b.configuraSu(QStringLiteral("r%1").arg(righe));
    Sessione sessione;
    ANAGSOST& f = sessione.finestra;
    MessageBox::setAutoAnswer(true);
    const auto prepara = [&] {
        const int n = b.prossimo();
        const QString codazi = QString::number(950 + n % 49);
        const QString cfs = aggiungiBersaglioServer(b.server, b.prefissoDi(QStringLiteral("r%1").arg(righe)), codazi,
                                                    n, 50);
        f.LISTASOSTITUTI();
        sessione.seleziona(codazi, cfs);
    };
    misuraAzione(*b.relay, latenza, b.volte, QStringLiteral("cancellazione"), dimensione,
                 [&] { f.Cmdcancella_Click(); }, prepara);
    misuraAzione(
        *b.relay, latenza, b.volte, QStringLiteral("cambio c.f."), dimensione, [&] { f.CmdConfermaCF_Click(); },
        [&] {
            prepara();
            f.CmdCambia_Click();
            f.Text2->setText(codiceNuovo(b.prossimo()));
        });
}

void stampaTabella()
{
    out << "\n| azione | dimensione | latenza (ms, ogni verso) | raffiche (relay) | scambi (store) | tempo |\n";
    out << "|---|---|---:|---:|---:|---:|\n";
    for (const Riga& r : tabella)
        out << QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 ms |\n")
                   .arg(r.azione, r.dimensione)
                   .arg(r.latenza)
                   .arg(r.giri.raffiche)
                   .arg(r.giri.scambi < 0 ? QStringLiteral("-") : QString::number(r.giri.scambi))
                   .arg(r.ms, 0, 'f', 1);
    out << "\nMacchina: " << QSysInfo::prettyProductName() << ", " << QSysInfo::currentCpuArchitecture() << ", "
        << QThread::idealThreadCount() << " core, Qt " << qVersion() << "\n";
}

// The relay's own check: a statement through it takes at least the latency
// there and back.
void verificaRelay(const QString& serverRelay, int latenza)
{
    Diretta d(serverRelay, QStringLiteral("postgres"));
    QElapsedTimer cronometro;
    cronometro.start();
    d.esegui(QStringLiteral("SELECT 1"));
    if (cronometro.nsecsElapsed() < qint64(2 * latenza) * 1000000)
        qFatal("the relay delays the traffic by less than %d ms each way", latenza);
}

// The password file with the relay's port allowed wherever the server's was.
QString passwordPerRelay(const QString& cartella)
{
    const QString originale = qEnvironmentVariable("PGPASSFILE");
    QFile in(originale);
    QFile uscita(QDir(cartella).filePath(QStringLiteral("pgpass")));
    if (!in.open(QIODevice::ReadOnly) || !uscita.open(QIODevice::WriteOnly))
        throw std::runtime_error("password file (PGPASSFILE) not readable");
    for (const QByteArray& riga : in.readAll().split('\n')) {
        QList<QByteArray> campi = riga.split(':');
        if (campi.size() >= 5)
            campi[1] = "*";
        uscita.write(campi.join(':') + '\n');
    }
    uscita.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return uscita.fileName();
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList a = app.arguments();
    const auto opzione = [&a](const QString& nome, const QString& predefinito) {
        const int i = a.indexOf(nome);
        return i > 0 && i + 1 < a.size() ? a[i + 1] : predefinito;
    };
    Banco b;
    b.server = opzione(QStringLiteral("--server"), qEnvironmentVariable("ANAGSOST_PG"));
    b.prefisso = opzione(QStringLiteral("--prefisso"), QStringLiteral("bench_"));
    b.volte = qMax(1, opzione(QStringLiteral("--volte"), QStringLiteral("5")).toInt());
    b.serie = opzione(QStringLiteral("--serie"), QStringLiteral("0")).toInt();
    const bool rapido = a.contains(QStringLiteral("--rapido"));
    QList<int> latenze;
    for (const QString& l : opzione(QStringLiteral("--latenze"), QStringLiteral("0,5,20")).split(QLatin1Char(',')))
        latenze << l.toInt();
    if (b.server.isEmpty())
        qFatal("no server: --server or ANAGSOST_PG");

    QTemporaryDir radice;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, radice.filePath(QStringLiteral("config")));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, radice.filePath(QStringLiteral("config")));
    MessageBox::setAutoAnswer(true);
    b.cartella = radice.path();

    const QList<int> liste = rapido ? QList<int>{1000, 10000} : QList<int>{1000, 100000};
    const QList<qint64> ritorni = rapido ? QList<qint64>{1000, 100000} : QList<qint64>{1000, 1000000};
    out << "Archivi sul server (generati dal server stesso, una volta)\n";
    out.flush();
    QElapsedTimer generazione;
    generazione.start();
    for (int n : liste)
        creaArchivioServer(b.server, b.prefissoDi(QStringLiteral("l%1").arg(n)), n, 0);
    for (qint64 r : ritorni)
        creaArchivioServer(b.server, b.prefissoDi(QStringLiteral("r%1").arg(r)), 1000, r);
    out << QStringLiteral("  %1 s\n").arg(generazione.elapsed() / 1000.0, 0, 'f', 1);

    Relay relay(quint16(valoreDi(b.server, QStringLiteral("port")).toUInt()));
    b.relay = &relay;
    qputenv("PGPASSFILE", passwordPerRelay(radice.path()).toLocal8Bit());
    b.serverRelay = QStringLiteral("host=127.0.0.1 port=%1 user=%2")
                        .arg(relay.porta())
                        .arg(valoreDi(b.server, QStringLiteral("user")));
    for (int latenza : latenze) {
        relay.setLatenzaMs(latenza);
        verificaRelay(b.serverRelay, latenza);
        out << QStringLiteral("Latenza %1 ms per verso\n").arg(latenza);
        for (int n : liste)
            sessioneEOperazioni(b, latenza, n);
        for (qint64 r : ritorni)
            cancellaECambia(b, latenza, r);
    }
    stampaTabella();
    if (a.contains(QStringLiteral("--elimina")))
        eliminaArchivi(b.server, b.prefisso);
    return 0;
}
