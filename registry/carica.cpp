#include "registry/carica.h"

#include "store/chiavi.h"

namespace registro {

std::optional<Caricato> carica(store::TableRecordset& sostituti, const QString& codazi, const QString& cfs)
{
    sostituti.Seek(QStringLiteral("="), store::CHIAVEAZI(codazi), store::CHIAVECF(cfs));
    if (sostituti.NoMatch())
        return std::nullopt;
    Caricato c;
    c.istantanea = leggiIstantanea(sostituti);
    c.sostituto = daIstantanea(c.istantanea);
    return c;
}

Spostamento sposta(store::TableRecordset& t, bool avanti, const QString& codazi, const QString& cfs)
{
    const auto allEstremo = [&t, avanti] { return avanti ? t.Eof() : t.Bof(); };
    if (!allEstremo()) {
        if (avanti)
            t.MoveNext();
        else
            t.MovePrevious();
    }
    Spostamento s;
    s.estremo = allEstremo();
    if (!s.estremo)
        s.caricato = carica(t, t.Fields(QStringLiteral("CODAZI")), t.Fields(QStringLiteral("CFS")));
    else
        s.caricato = carica(t, codazi, cfs);
    return s;
}

} // namespace registro
