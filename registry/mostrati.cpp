#include "registry/mostrati.h"

#include <QHash>

namespace registro {

namespace {

// Keys compare as the list line shows them: the code as stored, the
// codice fiscale without its blanks.
QString chiave(const QString& codazi, const QString& cfs)
{
    return codazi + QLatin1Char('\x1f') + cfs.trimmed();
}

} // namespace

ElencoFiltrato leggiElencoFiltrato(store::Database& db, Ordine ordine)
{
    ElencoFiltrato elenco;
    leggiElenco(db, ordine, [&elenco](const RigaElenco& r) { elenco.aggiungi(r, lineaElenco(r)); });
    return elenco;
}

std::vector<ChiaveSostituto> chiaviMostrate(store::Database& db, Ordine ordine, QStringView testo)
{
    ElencoFiltrato elenco = leggiElencoFiltrato(db, ordine);
    return elenco.chiavi(elenco.trova(testo));
}

qsizetype leggiMostrati(store::Database& db, const std::vector<ChiaveSostituto>& chiavi,
                        const std::function<void(std::size_t posizione, const Sostituto&)>& sostituto)
{
    QHash<QString, std::size_t> posizioni;
    posizioni.reserve(qsizetype(chiavi.size()));
    for (std::size_t i = 0; i < chiavi.size(); ++i)
        posizioni.insert(chiave(chiavi[i].codazi, chiavi[i].cfs), i);

    qsizetype trovati = 0;
    const auto tabella = db.OpenRecordset(QStringLiteral("SELECT * FROM ANAGSOSTITUTI"));
    if (tabella->RecordCount() == 0)
        return 0;
    for (tabella->MoveFirst(); !tabella->Eof(); tabella->MoveNext()) {
        const auto dove = posizioni.constFind(
            chiave(tabella->Fields(QStringLiteral("CODAZI")), tabella->Fields(QStringLiteral("CFS"))));
        if (dove == posizioni.cend())
            continue;
        sostituto(dove.value(), daIstantanea(leggiIstantanea(*tabella)));
        ++trovati;
    }
    return trovati;
}

QString testoData(const DataNascita& data)
{
    if (data.valida())
        return data.giorno().toString(QStringLiteral("dd/MM/yyyy"));
    if (data.nessuna())
        return QString();
    return data.perArchivio();
}

} // namespace registro
