#include "registry/csv.h"

namespace registro {

namespace {

void accodaCampo(QString& riga, const QString& campo)
{
    const bool virgolette = campo.contains(QLatin1Char(';')) || campo.contains(QLatin1Char('"')) ||
                            campo.contains(QLatin1Char('\n')) || campo.contains(QLatin1Char('\r'));
    if (!virgolette) {
        riga.append(campo);
        return;
    }
    riga.append(QLatin1Char('"'));
    riga.append(QString(campo).replace(QLatin1Char('"'), QLatin1String("\"\"")));
    riga.append(QLatin1Char('"'));
}

template <class Campi, class Testo>
void accodaRiga(QByteArray& file, const Campi& campi, Testo testo)
{
    QString riga;
    for (auto campo = campi.begin(); campo != campi.end(); ++campo) {
        if (campo != campi.begin())
            riga.append(QLatin1Char(';'));
        accodaCampo(riga, testo(*campo));
    }
    riga.append(QLatin1String("\r\n"));
    file.append(riga.toUtf8());
}

} // namespace

QByteArray csv(const Tabella& tabella)
{
    QByteArray file("\xEF\xBB\xBF");
    accodaRiga(file, tabella.intestazione, [](const QString& titolo) { return titolo; });
    for (const RigaTabella& riga : tabella.righe)
        accodaRiga(file, riga, [](const Cella& cella) { return cella.testo(); });
    return file;
}

} // namespace registro
