#include "registry/elenchi.h"

namespace registro {

namespace {

const char* const SQLORDINE[3] = {
    "SELECT * FROM ANAGSOSTITUTI  order by codazi",
    "SELECT * FROM ANAGSOSTITUTI  order by cfs",
    "SELECT * FROM ANAGSOSTITUTI  order by ASOST_1,ASOST_2",
};

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

} // namespace

void leggiElenco(store::Database& db, Ordine ordine, const std::function<void(const RigaElenco&)>& riga)
{
    const auto tabella = db.OpenRecordset(QString::fromLatin1(SQLORDINE[int(ordine)]));
    if (tabella->RecordCount() == 0)
        return;
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
