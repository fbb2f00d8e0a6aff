// Benchmark of the check of the whole archive: the check (registro::
// verificaArchivio, through the store) against a bare Qt SQL read of the same
// tables in the same run (the registry's rows whole, the provinces, the front
// pages' company codes and the company and code of every section row, each
// value read as text). Archives of 1,000 and 100,000 substitutes with three
// section rows each, built here: the persons' birth data as their codes say,
// and one substitute in a hundred given each kind of fault; every figure the
// median of several runs.
//
//   bench_verifica [--volte N] [--rapido]
#include "generatore.h"
#include "misure.h"

#include "checks/coerenzacf.h"
#include "registry/archivio.h"
#include "registry/verifica.h"
#include "store/database.h"
#include "tools/lib/archiviodemo.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QUuid>

#include <ctime>
#include <functional>

namespace {

QTextStream out(stdout);

constexpr int RIGHEPERSOSTITUTO = 3;

// Time taken and processor time used by `azione`, each the median of `volte`
// runs, in milliseconds. The processor time tells the work done apart from
// the waits of a machine shared with other work.
struct Tempi {
    double parete = 0, processore = 0;
};
double processore()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}
Tempi misuraTempi(int volte, const std::function<void()>& azione)
{
    std::vector<double> cpu;
    const double parete = misura(volte, [&] {
        const double inizio = processore();
        azione();
        cpu.push_back(processore() - inizio);
    });
    return {parete, mediana(cpu)};
}

// The tables the check reads, read with nothing but Qt SQL.
Tempi letturaNuda(const QString& percorso, int volte)
{
    QStringList istruzioni{QStringLiteral("SELECT * FROM ANAGSOSTITUTI"),
                           QStringLiteral("SELECT codprov FROM TABMIN_PROV"),
                           QStringLiteral("SELECT CODAZI FROM FRONTESPIZIO")};
    for (const QString& quadro : registro::QUADRI)
        istruzioni << QStringLiteral("SELECT CODAZI, CFS FROM ") + quadro;
    const QString nome = QUuid::createUuid().toString();
    Tempi tempo;
    qint64 letti = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome);
        db.setDatabaseName(percorso);
        db.open();
        tempo = misuraTempi(volte, [&] {
            for (const QString& sql : istruzioni) {
                QSqlQuery q(db);
                q.setForwardOnly(true);
                q.exec(sql);
                const int colonne = q.record().count();
                while (q.next()) {
                    for (int c = 0; c < colonne; ++c)
                        letti += q.value(c).toString().size();
                }
            }
        });
    }
    QSqlDatabase::removeDatabase(nome);
    if (letti == 0)
        qFatal("the bare read read nothing");
    return tempo;
}

// The persons' sex and date, town and province of birth made to agree with
// their codes, as a clerk's sheets do; then, one substitute in a hundred for
// each, the faults the check finds: a wrong check character, no sex, an
// unknown province, a linked company with no front page, a code registered
// again under another company, section rows left without their substitute.
void rendiRealistico(const QString& percorso)
{
    const QString nome = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome);
        db.setDatabaseName(percorso);
        db.open();
        db.transaction();
        QSqlQuery righe(db);
        righe.exec(QStringLiteral("SELECT CODAZI, CFS, ASOST_2 FROM ANAGSOSTITUTI"));
        struct Riga {
            QString codazi, cfs;
            bool persona;
        };
        std::vector<Riga> tutte;
        while (righe.next())
            tutte.push_back(
                {righe.value(0).toString(), righe.value(1).toString(), !righe.value(2).toString().isEmpty()});
        righe.finish();
        QSqlQuery nascita(db), esegui(db);
        nascita.prepare(QStringLiteral("UPDATE ANAGSOSTITUTI SET ASOST_3 = ?, ASOST_4 = ?, ASOST_5 = ?, ASOST_6 = ? "
                                       "WHERE CODAZI = ? AND CFS = ?"));
        const auto rifai = [&esegui](const QString& sql, const QVariantList& valori) {
            esegui.prepare(sql);
            for (int i = 0; i < valori.size(); ++i)
                esegui.bindValue(i, valori[i]);
            if (!esegui.exec())
                qFatal("cannot prepare the archive: %s", qPrintable(sql));
        };
        for (std::size_t i = 0; i < tutte.size(); ++i) {
            const Riga& r = tutte[i];
            if (r.persona) {
                const auto dati = checks::datiNascitaDalCodice(r.cfs);
                nascita.bindValue(0, QString(checks::siglaSesso(dati->sesso)));
                nascita.bindValue(1, dati->nascita.toString(QStringLiteral("yyyyMMdd")));
                nascita.bindValue(2, dati->comune.isEmpty() ? QStringLiteral("ROMA") : dati->comune.left(40));
                nascita.bindValue(3, dati->provincia.isEmpty() ? QStringLiteral("RM") : dati->provincia);
                nascita.bindValue(4, r.codazi);
                nascita.bindValue(5, r.cfs);
                if (!nascita.exec())
                    qFatal("cannot prepare the archive");
            }
            const QVariantList chiave{r.codazi, r.cfs};
            switch (i % 100) {
            case 10:
                if (r.persona)
                    rifai(QStringLiteral("UPDATE ANAGSOSTITUTI SET CFS = ? WHERE CODAZI = ? AND CFS = ?"),
                          {r.cfs.left(15) + (r.cfs.endsWith(QLatin1Char('A')) ? 'B' : 'A'), r.codazi, r.cfs});
                break;
            case 20:
                if (r.persona)
                    rifai(QStringLiteral("UPDATE ANAGSOSTITUTI SET ASOST_3 = '' WHERE CODAZI = ? AND CFS = ?"), chiave);
                break;
            case 30:
                rifai(QStringLiteral("UPDATE ANAGSOSTITUTI SET ASOST_8 = 'XX' WHERE CODAZI = ? AND CFS = ?"), chiave);
                break;
            case 40:
                rifai(QStringLiteral("UPDATE ANAGSOSTITUTI SET ASOST_10 = '999' WHERE CODAZI = ? AND CFS = ?"), chiave);
                break;
            case 50:
                rifai(QStringLiteral("INSERT INTO ANAGSOSTITUTI SELECT '999', CFS, ASOST_1, ASOST_2, ASOST_3, ASOST_4, "
                                     "ASOST_5, ASOST_6, ASOST_7, ASOST_8, ASOST_9, ASOST_10 FROM ANAGSOSTITUTI "
                                     "WHERE CODAZI = ? AND CFS = ?"),
                      chiave);
                break;
            case 60:
                rifai(QStringLiteral("DELETE FROM ANAGSOSTITUTI WHERE CODAZI = ? AND CFS = ?"), chiave);
                break;
            }
        }
        db.commit();
    }
    QSqlDatabase::removeDatabase(nome);
}

struct Figura {
    int sostituti = 0;
    Tempi verifica, nuda;
    std::size_t segnalazioni = 0;
};

Figura misuraArchivio(const QString& radice, int sostituti, int volte)
{
    const QString cartella = QDir(radice).filePath(QStringLiteral("verifica%1").arg(sostituti));
    creaArchivioBench(cartella, sostituti, qint64(sostituti) * RIGHEPERSOSTITUTO);
    const QString anno = QDir(cartella).filePath(strumenti::nomeFileAnno());
    rendiRealistico(anno);
    Figura f;
    f.sostituti = sostituti;
    const auto db = store::Database::OpenDatabase(anno);
    f.verifica = misuraTempi(volte, [&] { f.segnalazioni = registro::verificaArchivio(*db).size(); });
    f.nuda = letturaNuda(anno, volte);
    out << QStringLiteral("  %1 sostituti: verifica %2 ms (processore %3), lettura nuda %4 ms (processore %5), "
                          "%6 segnalazioni\n")
               .arg(sostituti)
               .arg(f.verifica.parete, 0, 'f', 1)
               .arg(f.verifica.processore, 0, 'f', 1)
               .arg(f.nuda.parete, 0, 'f', 1)
               .arg(f.nuda.processore, 0, 'f', 1)
               .arg(f.segnalazioni);
    out.flush();
    return f;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList argomenti = app.arguments();
    int volte = 5;
    const int pos = argomenti.indexOf(QStringLiteral("--volte"));
    if (pos > 0 && pos + 1 < argomenti.size())
        volte = qMax(1, argomenti[pos + 1].toInt());
    const QList<int> dimensioni =
        argomenti.contains(QStringLiteral("--rapido")) ? QList<int>{1000, 10000} : QList<int>{1000, 100000};

    QTemporaryDir radice;
    out << "Verifica dell'archivio contro la lettura nuda delle stesse tabelle (" << RIGHEPERSOSTITUTO
        << " righe di quadri per sostituto)\n";
    QList<Figura> figure;
    for (int n : dimensioni)
        figure << misuraArchivio(radice.path(), n, volte);

    out << "\n| misura | dimensione | verifica | lettura nuda | rapporto | processore: verifica / lettura "
           "nuda | obiettivo | esito |\n";
    out << "|---|---|---:|---:|---:|---:|---|---|\n";
    for (const Figura& f : figure) {
        const double rapporto = f.verifica.parete / f.nuda.parete;
        const bool grande = f.sostituti >= 100000;
        const bool ok = rapporto <= 3.0 && (!grande || f.verifica.parete < 1000.0);
        out << QStringLiteral("| verifica (%1 segnalazioni) | %2 sostituti, %3 righe di quadri | %4 ms | %5 ms | "
                              "%6× | %7 / %8 ms = %9× | ≤ 3×%10 | %11 |\n")
                   .arg(f.segnalazioni)
                   .arg(f.sostituti)
                   .arg(qint64(f.sostituti) * RIGHEPERSOSTITUTO)
                   .arg(f.verifica.parete, 0, 'f', 1)
                   .arg(f.nuda.parete, 0, 'f', 1)
                   .arg(rapporto, 0, 'f', 2)
                   .arg(f.verifica.processore, 0, 'f', 1)
                   .arg(f.nuda.processore, 0, 'f', 1)
                   .arg(f.verifica.processore / f.nuda.processore, 0, 'f', 2)
                   .arg(grande ? QStringLiteral(", < 1 s") : QString())
                   .arg(ok ? QStringLiteral("ok") : QStringLiteral("NO"));
    }
    out << "\nMacchina: " << QSysInfo::prettyProductName() << ", " << QSysInfo::currentCpuArchitecture() << ", "
        << QThread::idealThreadCount() << " core, Qt " << qVersion() << ", mediana di " << volte << " misure\n";
    return 0;
}
