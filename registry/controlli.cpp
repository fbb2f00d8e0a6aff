#include "registry/controlli.h"

#include "registry/testi.h"
#include "store/chiavi.h"

namespace registro {

namespace {

bool vuoto(const QString& testo)
{
    return testo.trimmed().isEmpty();
}

bool provinciaValida(store::TableRecordset& province, const QString& codice)
{
    province.Seek(QStringLiteral("="), codice);
    return !province.NoMatch();
}

} // namespace

Rifiuto controllaScheda(const Archivio& a, Sostituto& s)
{
    if (!s.personaFisica()) {
        // Not a natural person: no birth data required nor kept.
        s.sesso.clear();
        s.nascita = DataNascita();
        s.comuneNascita.clear();
        s.provinciaNascita.clear();
    } else {
        if (vuoto(s.sesso))
            return {3, testi::INSERIRESESSO};
        if (s.nascita.nonValida())
            return {4, testi::DATAERRATA};
        if (s.nascita.nessuna())
            return {4, testi::INSERIREDATA};
        if (vuoto(s.comuneNascita))
            return {5, testi::INSERIRECOMUNENASCITA};
        if (!provinciaValida(a.province, s.provinciaNascita))
            return {6, testi::PROVINCIANASCITA};
    }

    if (vuoto(s.comune))
        return {7, testi::INSERIRECOMUNE};
    if (!provinciaValida(a.province, s.provincia))
        return {8, testi::PROVINCIA};

    {
        const IndicePrincipale ripristino(a.frontespizi);
        a.frontespizi.setIndex(QStringLiteral("CHIAVECODAZI"));
        a.frontespizi.Seek(QStringLiteral("="), store::CHIAVEAZI(s.collegata));
        if (a.frontespizi.NoMatch()) {
            s.collegata.clear();
            return {10, testi::COLLEGATASENZAFRONTESPIZIO, vbCritical};
        }
    }

    if (vuoto(s.indirizzo))
        return {9, testi::INSERIREINDIRIZZO};
    return {};
}

} // namespace registro
