#include "registry/elenchi.h"

#include "registry/nominativi.h"

#include <algorithm>
#include <array>
#include <deque>
#include <numeric>

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

// The places of the four fields a line shows, looked up once for all the rows.
struct Campi {
    explicit Campi(const store::Recordset& tabella)
        : codazi(tabella.Indice(QStringLiteral("CODAZI"))),
          cfs(tabella.Indice(QStringLiteral("CFS"))),
          cognome(tabella.Indice(QStringLiteral("ASOST_1"))),
          nome(tabella.Indice(QStringLiteral("ASOST_2")))
    {
    }
    int codazi, cfs, cognome, nome;
};

// One row held for the order by name: where its four texts lie in the one
// string every row's texts are written into, one after the other.
struct Nominativo {
    QStringView testi; // codazi, cfs, surname, first name of every row
    qint32 inizio;
    std::array<qint32, 4> fine; // where each of the four ends
    bool cognomeNullo;
    bool nomeNullo;

    QStringView codazi() const { return testi.mid(inizio, fine[0] - inizio); }
    QStringView cfs() const { return testi.mid(fine[0], fine[1] - fine[0]); }
    QStringView cognome() const { return testi.mid(fine[1], fine[2] - fine[1]); }
    QStringView nome() const { return testi.mid(fine[2], fine[3] - fine[2]); }
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
// Held compactly, while the list being rebuilt is still held whole (a read
// that fails leaves it as it was): the texts of all the rows in one string,
// where each row's texts end in blocks that are never moved while they
// grow, and the rows' numbers sorted.
void ordinaPerNome(store::Recordset& tabella, const std::function<void(const RigaElenco&)>& riga)
{
    const Campi campi(tabella);
    QString testi;
    std::deque<std::array<qint32, 4>> fini;
    std::deque<quint8> nulli; // 1 surname, 2 first name
    for (tabella.MoveFirst(); !tabella.Eof(); tabella.MoveNext()) {
        std::array<qint32, 4> fine;
        testi += tabella.ValueAt(campi.codazi).toString();
        fine[0] = qint32(testi.size());
        testi += tabella.ValueAt(campi.cfs).toString();
        fine[1] = qint32(testi.size());
        const QVariant cognome = tabella.ValueAt(campi.cognome);
        const QVariant nome = tabella.ValueAt(campi.nome);
        testi += cognome.toString();
        fine[2] = qint32(testi.size());
        testi += nome.toString();
        fine[3] = qint32(testi.size());
        fini.push_back(fine);
        nulli.push_back(quint8((cognome.isNull() ? 1 : 0) | (nome.isNull() ? 2 : 0)));
    }
    const auto nominativo = [&](qint32 i) {
        const std::size_t r = std::size_t(i);
        return Nominativo{testi, r == 0 ? 0 : fini[r - 1][3], fini[r], (nulli[r] & 1) != 0, (nulli[r] & 2) != 0};
    };
    std::vector<qint32> ordine(fini.size());
    std::iota(ordine.begin(), ordine.end(), 0);
    std::sort(ordine.begin(), ordine.end(),
              [&](qint32 x, qint32 y) { return primaPerNome(nominativo(x), nominativo(y)); });
    RigaElenco r;
    for (const qint32 i : ordine) {
        const Nominativo n = nominativo(i);
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
    const Campi campi(*tabella);
    RigaElenco r;
    for (tabella->MoveFirst(); !tabella->Eof(); tabella->MoveNext()) {
        r.codazi = tabella->ValueAt(campi.codazi).toString();
        r.cfs = tabella->ValueAt(campi.cfs).toString();
        r.cognome = tabella->ValueAt(campi.cognome).toString();
        r.nome = tabella->ValueAt(campi.nome).toString();
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
