// Benchmarks of the program: the selection list against a bare read of the
// same rows, the search as the operator types, deletion and change of codice
// fiscale against the size of the return, start-up and peak memory against a
// bare Qt window. Every figure is a median of several runs; every target is a
// ratio measured in the same run, but the search's, a time per keystroke.
//
//   bench_anagsost [--volte N] [--rapido] [--ricerca]
#include "generatore.h"
#include "misure.h"
#include "sessione.h"

#include "window/anagsost.h"
#include "window/msgbox.h"
#include "window/textbox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSysInfo>
#include <QTest>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QUuid>
#include <cstdio>

namespace {

QTextStream out(stdout);

const char* const ORDINI[3] = {"SELECT * FROM ANAGSOSTITUTI  order by codazi",
                               "SELECT * FROM ANAGSOSTITUTI  order by cfs",
                               "SELECT * FROM ANAGSOSTITUTI  order by ASOST_1,ASOST_2"};
const char* const NOMIORDINI[3] = {"codazi", "cfs", "nome"};

struct Riga {
    QString misura, dimensione;
    double valore = 0, riferimento = 0;
    QString unita;
    double obiettivo = 0; // highest acceptable ratio
    double limite = 0;    // or highest acceptable value
};
QList<Riga> tabella;

void annota(const Riga& riga)
{
    tabella.append(riga);
    out << QStringLiteral("  %1 %2: %3 %4 (riferimento %5)\n")
               .arg(riga.misura, riga.dimensione)
               .arg(riga.valore, 0, 'f', 2)
               .arg(riga.unita)
               .arg(riga.riferimento, 0, 'f', 2);
    out.flush();
}

// The same query's rows read with nothing but Qt SQL, every column as text.
double letturaNuda(const QString& percorso, const QString& sql, int volte)
{
    const QString nome = QUuid::createUuid().toString();
    double tempo = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome);
        db.setDatabaseName(percorso);
        db.open();
        tempo = misura(volte, [&db, &sql] {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            q.exec(sql);
            QStringList righe;
            const int colonne = q.record().count();
            while (q.next()) {
                QString riga;
                for (int c = 0; c < colonne; ++c)
                    riga += q.value(c).toString();
                righe.append(riga);
            }
        });
    }
    QSqlDatabase::removeDatabase(nome);
    return tempo;
}

// One keystroke into the search field as the keyboard sends it (shortcuts
// included), and every event it causes handled: the list refilled, laid out
// and painted.
double tasto(QLineEdit* campo, char carattere, Qt::Key chiave)
{
    QElapsedTimer cronometro;
    cronometro.start();
    if (carattere)
        QTest::keyClick(campo, carattere);
    else
        QTest::keyClick(campo, chiave);
    QApplication::processEvents();
    return double(cronometro.nsecsElapsed()) / 1e6;
}

// A clerk looking for people: a surname typed and taken back letter by
// letter, a piece of a codice fiscale, a company's kind, Esc. Every
// keystroke's median over the runs; the typical and the slowest of them.
void benchRicerca(Sessione& sessione, int volte, int n)
{
    struct Tasto {
        char carattere; // a character typed, or 0 for the key
        Qt::Key chiave;
    };
    QList<Tasto> tasti;
    const auto digita = [&tasti](const QString& parola) {
        for (const QChar c : parola)
            tasti.append({c.toLatin1(), Qt::Key_unknown});
    };
    const auto cancella = [&tasti](int quanti) {
        for (int i = 0; i < quanti; ++i)
            tasti.append({0, Qt::Key_Backspace});
    };
    digita(QStringLiteral("bianchi"));
    cancella(7);
    digita(QStringLiteral("80a0"));
    tasti.append({0, Qt::Key_Escape});
    digita(QStringLiteral("srl"));
    cancella(3);

    QLineEdit* campo = sessione.finestra.TextTrova;
    sessione.finestra.activateWindow();
    campo->setFocus();
    QApplication::processEvents();
    std::vector<std::vector<double>> tempi(std::size_t(tasti.size()));
    for (int v = 0; v < volte; ++v) {
        for (qsizetype t = 0; t < tasti.size(); ++t)
            tempi[std::size_t(t)].push_back(tasto(campo, tasti[t].carattere, tasti[t].chiave));
        if (!campo->text().isEmpty())
            qFatal("the search field holds \"%s\" after the keys", qPrintable(campo->text()));
    }
    std::vector<double> mediane;
    for (const auto& t : tempi)
        mediane.push_back(mediana(t));
    const QString dimensione = QStringLiteral("%1 sostituti").arg(n);
    annota({QStringLiteral("ricerca, tasto tipico"), dimensione, mediana(mediane), 0, QStringLiteral("ms"), 0,
            n >= 100000 ? 50.0 : 0});
    annota({QStringLiteral("ricerca, tasto piu lento"), dimensione, *std::max_element(mediane.begin(), mediane.end()),
            0, QStringLiteral("ms"), 0, n >= 100000 ? 50.0 : 0});
}

void benchLista(const QString& radice, int volte, const QList<int>& dimensioni, bool soloRicerca)
{
    out << "Lista di selezione (LISTASOSTITUTI nella lista reale contro lettura nuda delle stesse righe)\n";
    for (int n : dimensioni) {
        const QString cartella = QDir(radice).filePath(QStringLiteral("lista%1").arg(n));
        creaArchivioBench(cartella, n, 0);
        Sessione sessione(cartella);
        for (int o = 0; !soloRicerca && o < 3; ++o) {
            sessione.scegliOrdine(o);
            const double lista = misura(volte, [&sessione] { sessione.finestra.LISTASOSTITUTI(); });
            const double nuda = letturaNuda(sessione.modulo.NOMEARCHIVIOANNO(), QString::fromLatin1(ORDINI[o]), volte);
            annota({QStringLiteral("lista ordine %1").arg(QString::fromLatin1(NOMIORDINI[o])),
                    QStringLiteral("%1 sostituti").arg(n), lista, nuda, QStringLiteral("ms"), n >= 100000 ? 3.0 : 0});
        }
        sessione.scegliOrdine(2);
        sessione.finestra.LISTASOSTITUTI();
        benchRicerca(sessione, volte, n);
        sessione.finestra.Form_Unload();
    }
}

void benchCancellaCambia(const QString& radice, int volte, const QList<qint64>& righe)
{
    out << "Cancellazione e cambio codice fiscale di un sostituto (50 righe sue) al crescere del ritorno\n";
    QList<double> cancella, cambia;
    for (qint64 r : righe) {
        const QString cartella = QDir(radice).filePath(QStringLiteral("ritorno%1").arg(r));
        creaArchivioBench(cartella, 1000, r);
        Sessione sessione(cartella);
        MessageBox::setAutoAnswer(true);
        int n = 0;
        QString codazi, cfs;
        auto prepara = [&] {
            codazi = QString::number(950 + n % 49);
            cfs = aggiungiBersaglio(sessione.modulo.NOMEARCHIVIOANNO(), codazi, n, 50);
            ++n;
            sessione.finestra.LISTASOSTITUTI();
            sessione.seleziona(codazi, cfs);
        };
        cancella.append(misura(volte, [&sessione] { sessione.finestra.Cmdcancella_Click(); }, prepara));
        int m = 0;
        auto preparaCambio = [&] {
            prepara();
            sessione.finestra.CmdCambia_Click();
            sessione.finestra.Text2->setText(codiceNuovo(m++));
        };
        cambia.append(misura(volte, [&sessione] { sessione.finestra.CmdConfermaCF_Click(); }, preparaCambio));
        sessione.finestra.Form_Unload();
    }
    for (int i = 0; i < righe.size(); ++i) {
        annota({QStringLiteral("cancellazione"), QStringLiteral("%1 righe di quadri").arg(righe[i]), cancella[i],
                cancella[0], QStringLiteral("ms"), i == righe.size() - 1 ? 2.0 : 0});
        annota({QStringLiteral("cambio c.f."), QStringLiteral("%1 righe di quadri").arg(righe[i]), cambia[i], cambia[0],
                QStringLiteral("ms"), i == righe.size() - 1 ? 2.0 : 0});
    }
}

QProcessEnvironment ambienteFiglio(const QString& configurazione)
{
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("XDG_CONFIG_HOME"), configurazione);
    ambiente.insert(QStringLiteral("ANAGSOST_MISURA_AVVIO"), QStringLiteral("1"));
    if (!ambiente.contains(QStringLiteral("QT_QPA_PLATFORM")))
        ambiente.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return ambiente;
}

void scriviConfigurazioneFiglio(const QString& configurazione, const QString& cartella)
{
    QSettings registro(QDir(configurazione).filePath(QStringLiteral("TARVESSA/VELMORIA.conf")), QSettings::IniFormat);
    registro.setValue(QStringLiteral("PERCORSOARCHIVI"), cartella);
    registro.sync();
}

void benchAvvio(const QString& radice, int volte, int sostituti, int sostitutiMemoria)
{
    out << "Avvio (dal lancio del processo alla finestra mostrata con la lista piena) e memoria\n";
    const QString configurazione = QDir(radice).filePath(QStringLiteral("config"));
    const QString cartella = QDir(radice).filePath(QStringLiteral("avvio"));
    creaArchivioBench(cartella, sostituti, 0);
    scriviConfigurazioneFiglio(configurazione, cartella);
    const QProcessEnvironment ambiente = ambienteFiglio(configurazione);

    std::vector<double> programma, nuda;
    for (int i = 0; i < volte; ++i) {
        const EsitoProcesso p = eseguiProcesso(QStringLiteral(ANAGSOST_EXE), ambiente);
        if (p.codiceUscita != 0)
            qFatal("the program ended with %d", p.codiceUscita);
        programma.push_back(p.millisecondi);
        nuda.push_back(eseguiProcesso(QStringLiteral(FINESTRA_VUOTA_EXE), ambiente).millisecondi);
    }
    annota({QStringLiteral("avvio"), QStringLiteral("%1 sostituti").arg(sostituti), mediana(programma), mediana(nuda),
            QStringLiteral("ms"), 3.0});

    const QString grande = QDir(radice).filePath(QStringLiteral("memoria"));
    creaArchivioBench(grande, sostitutiMemoria, 0);
    scriviConfigurazioneFiglio(configurazione, grande);
    const EsitoProcesso p = eseguiProcesso(QStringLiteral(ANAGSOST_EXE), ambiente);
    const EsitoProcesso v = eseguiProcesso(QStringLiteral(FINESTRA_VUOTA_EXE), ambiente);
    Riga memoria{QStringLiteral("memoria di picco"), QStringLiteral("%1 sostituti").arg(sostitutiMemoria),
                 p.piccoMemoriaKb / 1024.0, v.piccoMemoriaKb / 1024.0, QStringLiteral("MB"), 0};
    annota(memoria);
    // The order by name holds the rows while it sorts them.
    const EsitoProcesso n = eseguiProcesso(QStringLiteral(LISTA_PER_NOME_EXE), ambiente);
    if (n.codiceUscita != 0)
        qFatal("the list by name ended with %d", n.codiceUscita);
    annota({QStringLiteral("memoria di picco, lista per nome"), memoria.dimensione, n.piccoMemoriaKb / 1024.0,
            memoria.riferimento, QStringLiteral("MB"), 0});
}

void stampaTabella()
{
    out << "\n| misura | dimensione | valore | riferimento | rapporto | obiettivo | esito |\n";
    out << "|---|---|---:|---:|---:|---|---|\n";
    for (const Riga& r : tabella) {
        const bool memoria = r.unita == QLatin1String("MB");
        const double rapporto = r.riferimento > 0 ? r.valore / r.riferimento : 0;
        QString obiettivo = QStringLiteral("-"), esito = QStringLiteral("-");
        if (memoria) {
            obiettivo = QStringLiteral("≤ riferimento + 60 MB");
            esito = r.valore <= r.riferimento + 60 ? QStringLiteral("ok") : QStringLiteral("NO");
        } else if (r.limite > 0) {
            obiettivo = QStringLiteral("≤ %1 %2").arg(r.limite).arg(r.unita);
            esito = r.valore <= r.limite ? QStringLiteral("ok") : QStringLiteral("NO");
        } else if (r.obiettivo > 0) {
            obiettivo = QStringLiteral("≤ %1×").arg(r.obiettivo);
            esito = rapporto <= r.obiettivo ? QStringLiteral("ok") : QStringLiteral("NO");
        }
        // A figure with no reference (the search's) has neither reference nor ratio.
        const bool senzaRiferimento = r.riferimento <= 0 && !memoria;
        out << QStringLiteral("| %1 | %2 | %3 %4 | %5 | %6 | %7 | %8 |\n")
                   .arg(r.misura, r.dimensione)
                   .arg(r.valore, 0, 'f', 1)
                   .arg(r.unita)
                   .arg(senzaRiferimento ? QStringLiteral("-")
                                         : QStringLiteral("%1 %2").arg(r.riferimento, 0, 'f', 1).arg(r.unita))
                   .arg(memoria            ? QStringLiteral("+%1 MB").arg(r.valore - r.riferimento, 0, 'f', 1)
                        : senzaRiferimento ? QStringLiteral("-")
                                           : QStringLiteral("%1×").arg(rapporto, 0, 'f', 2))
                   .arg(obiettivo, esito);
    }
    out << "\nMacchina: " << QSysInfo::prettyProductName() << ", " << QSysInfo::currentCpuArchitecture() << ", "
        << QThread::idealThreadCount() << " core, Qt " << qVersion() << "\n";
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList argomenti = app.arguments();
    int volte = 5;
    const int pos = argomenti.indexOf(QStringLiteral("--volte"));
    if (pos > 0 && pos + 1 < argomenti.size())
        volte = qMax(1, argomenti[pos + 1].toInt());
    const bool rapido = argomenti.contains(QStringLiteral("--rapido"));

    QTemporaryDir radice;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, radice.filePath(QStringLiteral("config-bench")));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, radice.filePath(QStringLiteral("config-bench")));
    MessageBox::setAutoAnswer(true);

    const bool soloRicerca = argomenti.contains(QStringLiteral("--ricerca"));
    benchLista(radice.path(), volte, rapido ? QList<int>{1000, 10000} : QList<int>{1000, 10000, 100000}, soloRicerca);
    if (soloRicerca) {
        stampaTabella();
        return 0;
    }
    benchCancellaCambia(radice.path(), volte, rapido ? QList<qint64>{1000, 100000} : QList<qint64>{1000, 1000000});
    benchAvvio(radice.path(), volte, 10000, rapido ? 10000 : 100000);
    stampaTabella();
    return 0;
}
