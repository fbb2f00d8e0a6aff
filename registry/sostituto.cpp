#include "registry/sostituto.h"

#include "checks/tasti.h"
#include "store/chiavi.h"
#include "store/recordset.h"

namespace registro {

namespace {

const QString NESSUNADATA = QStringLiteral("00/00/0000");
const QString FORMASCHEDA = QStringLiteral("dd/MM/yyyy");
const QString FORMAARCHIVIO = QStringLiteral("yyyyMMdd");

QString testo(const QVariant& valore)
{
    return valore.isNull() ? QString() : valore.toString();
}

} // namespace

DataNascita::DataNascita(const QDate& giorno) : m_tipo(Tipo::Giorno), m_giorno(giorno) {}

DataNascita DataNascita::daArchivio(const QVariant& valore)
{
    // AAAAMMGG read as the sheet shows it, GG/MM/AAAA: what the sheet would
    // accept is a date, anything else is kept as it came.
    const QString archivio = testo(valore);
    const QString scheda = archivio.mid(6, 2) + QLatin1Char('/') + archivio.mid(4, 2) + QLatin1Char('/')
        + archivio.mid(0, 4);
    DataNascita data = daTesto(scheda);
    if (data.nonValida())
        data.m_archivio = archivio;
    return data;
}

DataNascita DataNascita::daTesto(const QString& testo)
{
    const QString ridotto = testo.trimmed();
    if (ridotto == NESSUNADATA)
        return DataNascita();
    if (DATAVALIDA(ridotto))
        return DataNascita(QDate::fromString(ridotto, FORMASCHEDA));
    DataNascita data;
    data.m_tipo = Tipo::NonValida;
    data.m_scheda = testo;
    data.m_archivio = testo.mid(6, 4) + testo.mid(3, 2) + testo.mid(0, 2);
    return data;
}

QString DataNascita::perArchivio() const
{
    switch (m_tipo) {
    case Tipo::Nessuna:
        return QStringLiteral("00000000");
    case Tipo::Giorno:
        return m_giorno.toString(FORMAARCHIVIO);
    case Tipo::NonValida:
        break;
    }
    return m_archivio;
}

QString DataNascita::perScheda() const
{
    switch (m_tipo) {
    case Tipo::Nessuna:
        return NESSUNADATA;
    case Tipo::Giorno:
        return m_giorno.toString(FORMASCHEDA);
    case Tipo::NonValida:
        break;
    }
    return m_scheda;
}

QString campoAsost(int n)
{
    return QStringLiteral("ASOST_") + QString::number(n);
}

Istantanea leggiIstantanea(const store::Recordset& riga)
{
    Istantanea istantanea;
    istantanea.valori.reserve(12);
    istantanea.valori << riga.Value(QStringLiteral("CODAZI")) << riga.Value(QStringLiteral("CFS"));
    for (int n = 1; n <= 10; ++n)
        istantanea.valori << riga.Value(campoAsost(n));
    return istantanea;
}

Sostituto daIstantanea(const Istantanea& istantanea)
{
    // Null reads as "".
    const auto campo = [&istantanea](int i) { return testo(istantanea.valori.value(i)); };
    Sostituto s;
    s.codazi = campo(0);
    s.cfs = campo(1);
    s.cognome = campo(2);
    s.nome = campo(3);
    s.sesso = campo(4);
    s.nascita = DataNascita::daArchivio(istantanea.valori.value(5));
    s.comuneNascita = campo(6);
    s.provinciaNascita = campo(7);
    s.comune = campo(8);
    s.provincia = campo(9);
    s.indirizzo = campo(10);
    s.collegata = campo(11);
    return s;
}

void scriviCampi(store::Recordset& riga, const Sostituto& s)
{
    const TestiScheda testi = testiScheda(s);
    for (int n = 1; n <= 10; ++n) {
        QString valore = testi[n - 1];
        if (n == 4)
            valore = s.nascita.perArchivio();
        else if (n == 10)
            valore = store::CHIAVEAZI(s.collegata);
        // A text, even an empty one: never Null.
        riga.SetField(campoAsost(n), valore);
    }
}

TestiScheda testiScheda(const Sostituto& s)
{
    return {s.cognome, s.nome, s.sesso, s.nascita.perScheda(), s.comuneNascita, s.provinciaNascita,
            s.comune, s.provincia, s.indirizzo, s.collegata};
}

Sostituto daTestiScheda(const QString& codazi, const QString& cfs, const TestiScheda& t)
{
    Sostituto s;
    s.codazi = codazi;
    s.cfs = cfs;
    s.cognome = t[0];
    s.nome = t[1];
    s.sesso = t[2];
    s.nascita = DataNascita::daTesto(t[3]);
    s.comuneNascita = t[4];
    s.provinciaNascita = t[5];
    s.comune = t[6];
    s.provincia = t[7];
    s.indirizzo = t[8];
    s.collegata = t[9];
    return s;
}

} // namespace registro
