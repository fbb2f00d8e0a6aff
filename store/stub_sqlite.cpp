// Placeholder until the SQLite engine lands.
#include "store/database.h"
#include "store/schema.h"

namespace store {

Recordset::~Recordset() = default;
QString Recordset::Fields(const QString& campo) const
{
    const QVariant v = Value(campo);
    return v.isNull() ? QString() : v.toString();
}
Database::~Database() = default;
std::unique_ptr<Database> Database::OpenDatabase(const QString& percorso, const OpzioniArchivio&)
{
    throw ErroreArchivio(TipoErrore::NonApribile, percorso);
}
QString testoSchema() { return {}; }
void creaArchivioVuoto(const QString& percorso) { throw ErroreArchivio(TipoErrore::Altro, percorso); }

} // namespace store
