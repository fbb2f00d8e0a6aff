#include "registry/elenchi.h"

#include "registry/nominativi.h"

#include <algorithm>
#include <deque>

namespace registro {

namespace {

// The selection list's rows: "SELECT * FROM ANAGSOSTITUTI" with the keys of
// each order; the engine writes the ORDER BY (" order by codazi", " order
// by cfs"). The names are ordered here (see ordinaPerNome).
const QString SELEZIONE = QStringLiteral("SELECT * FROM ANAGSOSTITUTI ");

// Every row of a record set in its order, as `leggi` reads it.
template <class Riga, class Leggi>
std::vector<Riga> righe(store::Recordset& tabella, Leggi leggi)
{
    std::vector<Riga> elenco;
    if (tabella.RecordCount() != 0) {
        for (tabella.MoveFirst(); !tabella.Eof(); tabella.MoveNext())
            elenco.push_back(leggi(tabella));
    }
    return elenco;
}

// One row held for the order by name, its four texts in one string.
struct Nominativo {
    QString testi; // codazi, cfs, surname, first name
    int fine[3];   // where the first three end
    bool cognomeNullo;
    bool nomeNullo;

    QStringView codazi() const { return QStringView(testi).left(fine[0]); }
    QStringView cfs() const { return QStringView(testi).mid(fine[0], fine[1] - fine[0]); }
    QStringView cognome() const { return QStringView(testi).mid(fine[1], fine[2] - fine[1]); }
    QStringView nome() const { return QStringView(testi).mid(fine[2]); }
};

// A surname never written (Null) first, as the engine's ORDER BY ASOST_1
// puts it; then names as an Italian reader orders them, surname then first
// name; among names that read alike, accents and case, then a Null first
// name before a text, blanks, then the key: one order, whatever the engine.
bool primaPerNome(const Nominativo& x, const Nominativo& y)
{
    auto destra = [](QStringView s) {
        while (!s.isEmpty() && s.back() == QLatin1Char(' '))
            s.chop(1);
        return s;
    };
    if (x.cognomeNullo != y.cognomeNullo)
        return x.cognomeNullo;
    int c = confrontaNomi(x.cognome(), y.cognome());
    if (c == 0)
        c = confrontaNomi(x.nome(), y.nome());
    if (c == 0)
        c = x.cognome().trimmed().compare(y.cognome().trimmed());
    if (c == 0)
        c = x.nome().trimmed().compare(y.nome().trimmed());
    if (c == 0)
        c = x.cognome().compare(y.cognome());
    if (c == 0)
        c = int(y.nomeNullo) - int(x.nomeNullo);
    if (c == 0)
        c = x.nome().compare(y.nome());
    if (c == 0)
        c = destra(x.codazi()).compare(destra(y.codazi()));
    if (c == 0)
        c = destra(x.cfs()).compare(destra(y.cfs()));
    return c < 0;
}

// The order by name is the program's own, so that it is one on both
// engines and puts È with E: the rows are read, sorted here and handed on.
// Held compactly (one string a row, in blocks that are never moved while
// they grow), and each row released once handed on, so that the rows and
// what the caller builds from them are not held whole twice.
void ordinaPerNome(store::Recordset& tabella, const std::function<void(const RigaElenco&)>& riga)
{
    std::deque<Nominativo> nominativi;
    for (tabella.MoveFirst(); !tabella.Eof(); tabella.MoveNext()) {
        Nominativo n;
        n.testi = tabella.Fields(QStringLiteral("CODAZI"));
        n.fine[0] = int(n.testi.size());
        n.testi += tabella.Fields(QStringLiteral("CFS"));
        n.fine[1] = int(n.testi.size());
        const QVariant cognome = tabella.Value(QStringLiteral("ASOST_1"));
        const QVariant nome = tabella.Value(QStringLiteral("ASOST_2"));
        n.testi += cognome.toString();
        n.fine[2] = int(n.testi.size());
        n.testi += nome.toString();
        n.testi.squeeze();
        n.cognomeNullo = cognome.isNull();
        n.nomeNullo = nome.isNull();
        nominativi.push_back(std::move(n));
    }
    std::sort(nominativi.begin(), nominativi.end(), primaPerNome);
    RigaElenco r;
    for (; !nominativi.empty(); nominativi.pop_front()) {
        const Nominativo& n = nominativi.front();
        r.codazi = n.codazi().toString();
        r.cfs = n.cfs().toString();
        r.cognome = n.cognome().toString();
        r.nome = n.nome().toString();
        riga(r);
    }
}

// Appends `testo` padded with blanks and cut to exactly `larghezza` characters.
void accoda(QString& riga, QStringView testo, int larghezza)
{
    const qsizetype inizio = riga.size();
    riga.append(testo.left(larghezza));
    riga.resize(inizio + larghezza, QLatin1Char(' '));
}

} // namespace

bool datiDaIntegrare(QStringView cognome, QStringView nome)
{
    return cognome.trimmed().isEmpty() && nome.trimmed().isEmpty();
}

QString lineaElenco(const RigaElenco& r)
{
    QString riga;
    riga.reserve(r.codazi.size() + 63);
    riga.append(r.codazi);
    riga.append(QLatin1Char(' '));
    accoda(riga, QStringView(r.cfs).trimmed(), 16);
    riga.append(QLatin1Char(' '));
    if (datiDaIntegrare(r.cognome, r.nome)) {
        accoda(riga, DATIDAINTEGRARE, 45);
    } else {
        QString nominativo = r.cognome.trimmed();
        nominativo.append(QLatin1Char(' ')).append(QStringView(r.nome).trimmed());
        accoda(riga, nominativo, 45);
    }
    return riga;
}

ChiaveSostituto chiaveDiLinea(const QString& linea)
{
    // The line is the code as stored, then exactly 1 + 16 + 1 + 45 characters.
    const qsizetype codice = linea.size() - 63;
    return {linea.left(codice), linea.mid(codice + 1, 16).trimmed()};
}

void leggiElenco(store::Database& db, Ordine ordine, const std::function<void(const RigaElenco&)>& riga)
{
    QList<store::Chiave> chiavi;
    if (ordine == Ordine::CodiceAzienda)
        chiavi = {{QStringLiteral("codazi")}};
    else if (ordine == Ordine::CodiceFiscale)
        chiavi = {{QStringLiteral("cfs")}};
    const auto tabella = db.OpenRecordset(SELEZIONE, {}, chiavi);
    if (tabella->RecordCount() == 0)
        return;
    if (ordine == Ordine::Nominativo)
        return ordinaPerNome(*tabella, riga);
    RigaElenco r;
    for (tabella->MoveFirst(); !tabella->Eof(); tabella->MoveNext()) {
        r.codazi = tabella->Fields(QStringLiteral("CODAZI"));
        r.cfs = tabella->Fields(QStringLiteral("CFS"));
        r.cognome = tabella->Fields(QStringLiteral("ASOST_1"));
        r.nome = tabella->Fields(QStringLiteral("ASOST_2"));
        riga(r);
    }
}

std::vector<RigaElenco> elenco(store::Database& db, Ordine ordine)
{
    std::vector<RigaElenco> righe;
    leggiElenco(db, ordine, [&righe](const RigaElenco& r) { righe.push_back(r); });
    return righe;
}

std::vector<RigaProvincia> elencoProvince(store::TableRecordset& province)
{
    return righe<RigaProvincia>(province, [](const store::Recordset& t) {
        return RigaProvincia{t.Fields(QStringLiteral("codprov")), t.Fields(QStringLiteral("descprov"))};
    });
}

std::vector<RigaFrontespizio> elencoFrontespizi(store::TableRecordset& frontespizi)
{
    return righe<RigaFrontespizio>(frontespizi, [](const store::Recordset& t) {
        return RigaFrontespizio{t.Fields(QStringLiteral("CODAZI")), t.Fields(QStringLiteral("CFD")),
                                t.Fields(QStringLiteral("FR_1")),   t.Fields(QStringLiteral("FR_2")),
                                t.Fields(QStringLiteral("FR_3")),   t.Fields(QStringLiteral("fr_14"))};
    });
}

QString RigaFrontespizio::nominativo() const
{
    if (fr14.trimmed().isEmpty())
        return denominazione.trimmed();
    return cognome.trimmed() + QLatin1Char(' ') + nome.trimmed();
}

} // namespace registro
