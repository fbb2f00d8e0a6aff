#include "registry/sostituto.h"

#include "checks/tasti.h"
#include "store/chiavi.h"
#include "store/recordset.h"

#include <algorithm>

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
    // Eight digits, the form the program stores: read at once, without the
    // texts (the check of a whole archive reads every row's date).
    if (archivio.size() == 8 && std::all_of(archivio.cbegin(), archivio.cend(),
                                            [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); })) {
        const QStringView t(archivio);
        const int anno = t.mid(0, 4).toInt(), mese = t.mid(4, 2).toInt(), giorno = t.mid(6, 2).toInt();
        if (anno == 0 && mese == 0 && giorno == 0)
            return DataNascita();
        const QDate data(anno, mese, giorno);
        if (anno > 0 && data.isValid())
            return DataNascita(data);
    }
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
    if (DATAVALIDA(ridotto)) {
        // GG/MM/AAAA, digits checked: read without a date parser.
        const QStringView t(ridotto);
        return DataNascita(QDate(t.mid(6, 4).toInt(), t.mid(3, 2).toInt(), t.mid(0, 2).toInt()));
    }
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

namespace {

// CODAZI, CFS, ASOST_1 to ASOST_10: the row's fields in the snapshot's order.
const std::array<QString, 12>& campiIstantanea()
{
    static const std::array<QString, 12> campi = [] {
        std::array<QString, 12> c{QStringLiteral("CODAZI"), QStringLiteral("CFS")};
        for (int n = 1; n <= 10; ++n)
            c[std::size_t(n + 1)] = campoAsost(n);
        return c;
    }();
    return campi;
}

} // namespace

Istantanea leggiIstantanea(const store::Recordset& riga)
{
    Istantanea istantanea;
    istantanea.valori.reserve(12);
    for (const QString& campo : campiIstantanea())
        istantanea.valori << riga.Value(campo);
    return istantanea;
}

LetturaIstantanee::LetturaIstantanee(const store::Recordset& righe) : m_righe(righe)
{
    for (std::size_t i = 0; i < m_indici.size(); ++i)
        m_indici[i] = righe.Indice(campiIstantanea()[i]);
}

Istantanea LetturaIstantanee::leggi() const
{
    Istantanea istantanea;
    istantanea.valori.reserve(12);
    for (const int i : m_indici)
        istantanea.valori << m_righe.ValueAt(i);
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
