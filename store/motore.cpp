// What every engine shares: the description of a table, the defaults of the
// engine's interface, the values read without their padding.
#include "store/motore.h"

#include <QRegularExpression>

namespace store::interno {

const InfoIndice* InfoTabella::indice(const QString& nomeLogico) const
{
    const QString cercato = nome + QLatin1Char('_') + nomeLogico;
    for (const InfoIndice& i : indici) {
        if (i.nome.compare(cercato, Qt::CaseInsensitive) == 0)
            return &i;
    }
    return nullptr;
}

QStringList InfoTabella::identita() const
{
    if (!chiavePrimaria.isEmpty())
        return chiavePrimaria;
    const InfoIndice* chiave = indice(QStringLiteral("CHIAVE"));
    if (chiave && chiave->univoco)
        return chiave->colonne;
    return {};
}

QString nomeQuotato(const QString& identificatore)
{
    QString s = identificatore;
    s.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QString Motore::nome(const QString& identificatore) const
{
    return nomeQuotato(identificatore);
}

QString Motore::ordinaPer(const QList<Chiave>& chiavi) const
{
    // Plain names only, as the program's own SQL texts write them: a key
    // never comes from what the operator types.
    static const QRegularExpression semplice(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    QStringList voci;
    for (const Chiave& c : chiavi) {
        if (!semplice.match(c.colonna).hasMatch())
            throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("chiave d'ordine non valida: %1").arg(c.colonna));
        voci << voceOrdine(c.colonna, c.discendente);
    }
    return voci.isEmpty() ? QString() : QStringLiteral(" order by ") + voci.join(QLatin1Char(','));
}

QString Motore::voceOrdine(const QString& colonna, bool discendente) const
{
    return discendente ? colonna + QStringLiteral(" DESC") : colonna;
}

QVariant rifilato(const QVariant& valore)
{
    if (valore.isNull() || valore.typeId() != QMetaType::QString)
        return valore;
    QString testo = valore.toString();
    qsizetype fine = testo.size();
    while (fine > 0 && testo.at(fine - 1) == QLatin1Char(' '))
        --fine;
    if (fine == testo.size())
        return valore;
    testo.truncate(fine);
    return testo;
}

void rifila(QVector<QVariant>& riga, const QList<int>& colonne)
{
    for (int i : colonne)
        riga[i] = rifilato(riga[i]);
}

std::unique_ptr<Motore> creaMotore(const Luogo& luogo)
{
    return luogo.suServer() ? creaMotorePostgreSql() : creaMotoreSqlite();
}

QString Motore::confrontoRiga(const QStringList& colonne, const QString& operatore) const
{
    QStringList nomi, segnaposto;
    for (const QString& c : colonne) {
        nomi << nome(c);
        segnaposto << QStringLiteral("?");
    }
    return QLatin1Char('(') + nomi.join(QStringLiteral(", ")) + QStringLiteral(") ") + operatore +
           QStringLiteral(" (") + segnaposto.join(QStringLiteral(", ")) + QLatin1Char(')');
}

} // namespace store::interno
