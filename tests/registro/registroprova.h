#pragma once
// Shared by the tests of the registry's operations: the archive opened as the
// program keeps it, and a return whose substitutes have the neighbours a
// widened condition would reach: the same company with another substitute,
// the same code in another company, rows under another declarant, a code
// with an apostrophe, a partita IVA stored with and without its blanks.
#include "support/archivioprova.h"
#include "support/programma.h"

#include "registry/archivio.h"
#include "registry/elenchi.h"
#include "registry/sostituto.h"
#include "store/chiavi.h"

#include <QDir>
#include <functional>

// The question of the form check on a partita IVA that fails it.
inline const QString PIVAERRATA = "Partita IVA formalmente errata\r\rVuoi proseguire ugualmente ?";

// A new archive with its year's database, nothing in it but the provinces.
inline std::unique_ptr<ArchivioProva> annoVuoto()
{
    auto a = std::make_unique<ArchivioProva>();
    a->creaAnno();
    return a;
}

// The year's database with its three table record sets, as the window keeps them.
struct RegistroProva {
    std::unique_ptr<store::Database> db;
    registro::Tabelle tabelle;
    explicit RegistroProva(ArchivioProva& a)
        : db(store::Database::OpenDatabase(a.luogoAnno(), store::OpzioniArchivio{300})),
          tabelle(registro::apriTabelle(*db))
    {
    }
    registro::Archivio archivio() const { return {*db, *tabelle.frontespizi, *tabelle.sostituti, *tabelle.province}; }
    // Every record set back on its primary index, no transaction left open.
    QString aRiposo() const
    {
        return tabelle.frontespizi->Index() + ' ' + tabelle.sostituti->Index() + ' ' + tabelle.province->Index() +
               (db->inTransazione() ? " in transazione" : "");
    }
};
inline const QString ARIPOSO = "CHIAVE CHIAVE CHIAVE";

namespace quartiere {

inline const QString DICHIARANTE = "01234567897", ALTRODICHIARANTE = "98765432103";
inline const QString ROSSI = "RSSMRA80A01H501U", VERDI = "VRDGPP70A01F205X", PIVA = "12345678903";
// Pasted between quotes, this code would turn a condition into
// "CFS = '' OR CFS > '    '" and reach every other substitute's rows.
inline const QString APOSTROFO = "' OR CFS > '";
inline const QString NUOVO = "AAAAAA00A00A000I"; // formally correct, nobody's yet

// A row the return holds: a section row, or a recipient (no cfd, cfs).
struct Riga {
    QString tabella;
    qint64 id;
    QString codazi, cfd, cfs;
};

struct Sostituto {
    QString codazi, cfs, collegata;
};
// The linked companies: 001 is DICHIARANTE's front page, stored as "1" for
// 101/ROSSI; 002 is ALTRODICHIARANTE's; 105's has none.
// clang-format off
inline const QList<Sostituto> SOSTITUTI = {
    {"101", ROSSI, "1"}, {"101", VERDI, "001"}, {"102", ROSSI, "001"}, {"103", PIVA, "002"},
    {"104", APOSTROFO, "001"}, {"104", VERDI, "001"}, {"105", VERDI, "009"}};
// clang-format on

// Front pages, substitutes, and for each substitute one row under each
// declarant in every section (103's partita IVA once more with its blanks,
// under each); two recipients for each company. Returns the rows added.
inline QList<Riga> popola(ArchivioProva& a)
{
    a.aggiungiFrontespizio("001", DICHIARANTE, {}, {}, "ALFA SRL");
    a.aggiungiFrontespizio("002", ALTRODICHIARANTE, {}, {}, "DELTA SPA");
    QList<Riga> righe;
    for (const Sostituto& s : SOSTITUTI) {
        QStringList forme{s.cfs};
        if (s.cfs == PIVA)
            forme << PIVA + "     ";
        for (const QString& tabella : SEZIONI)
            for (const QString& cfd : {DICHIARANTE, ALTRODICHIARANTE})
                for (const QString& cfs : forme)
                    righe.append({tabella, righe.size() + 1, s.codazi, cfd, cfs});
        a.aggiungiSostituto(s.codazi, s.cfs,
                            {"NOME " + s.codazi, "", "", "00000000", "", "", "ROMA", "RM", "VIA", s.collegata});
    }
    for (const QString codazi : {"101", "102", "103", "104", "105"})
        for (int i = 0; i < 2; ++i)
            righe.append({"PERCETTORI", righe.size() + 1, codazi, {}, {}});
    // One statement a table: on a server each statement is a connection of its own.
    for (const QString& tabella : SEZIONI + QStringList{"PERCETTORI"}) {
        const bool percettori = tabella == "PERCETTORI";
        QStringList valori;
        QVariantList parametri;
        for (const Riga& r : righe) {
            if (r.tabella == tabella) {
                valori << "(?, ?, ?, ?)";
                parametri << r.id << r.codazi << (percettori ? "PRC" + QString::number(r.id) : r.cfd) << r.cfs;
            }
        }
        a.esegui("INSERT INTO " + tabella +
                     (percettori ? " (ID, CODAZI, CFPERC, COGNOME)" : " (ID, CODAZI, CFD, CFS)") + " VALUES " +
                     valori.join(", "),
                 parametri);
    }
    return righe;
}

// The statements that take the archive from before to after an operation,
// run on the rows chosen from the fixture, and the rows per table the
// operation must report.
struct Attese {
    QList<std::pair<QString, QVariantList>> istruzioni;
    QList<registro::RigheTabella> righe;
};
inline Attese sulleRighe(const QList<Riga>& righe, const QStringList& tabelle, const QString& azione,
                         const std::function<bool(const Riga&)>& scelta)
{
    Attese a;
    for (const QString& tabella : tabelle) {
        QStringList id;
        for (const Riga& r : righe)
            if (r.tabella == tabella && scelta(r))
                id << QString::number(r.id);
        a.righe.append({tabella, int(id.size())});
        if (!id.isEmpty())
            a.istruzioni.append({azione.arg(tabella) + " WHERE ID IN (" + id.join(", ") + ")", {}});
    }
    return a;
}

} // namespace quartiere

// A data sheet's Text1(1) to Text1(10), '|'-joined.
inline QString testiDi(const registro::Sostituto& s)
{
    const registro::TestiScheda t = registro::testiScheda(s);
    return QStringList(t.begin(), t.end()).join('|');
}
