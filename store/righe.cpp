#include "store/righe.h"

namespace store::interno {

namespace {

// "c1", "c2", ... in table order.
QString elencoColonne(const Motore& motore, const InfoTabella& tabella)
{
    QStringList nomi;
    for (const QString& c : tabella.colonne)
        nomi << motore.nome(c);
    return nomi.join(QStringLiteral(", "));
}

} // namespace

void BufferModifica::modifica(const QVector<QVariant>& riga)
{
    modo = Modo::Modifica;
    originale = riga;
    valori = riga;
    cambiato = QVector<bool>(riga.size(), false);
}

void BufferModifica::nuova(int colonne)
{
    modo = Modo::Nuova;
    originale.clear();
    valori = QVector<QVariant>(colonne);
    cambiato = QVector<bool>(colonne, false);
}

void BufferModifica::imposta(int colonna, const QVariant& valore)
{
    valori[colonna] = valore;
    cambiato[colonna] = true;
}

void BufferModifica::chiudi()
{
    modo = Modo::Nessuna;
    originale.clear();
    valori.clear();
    cambiato.clear();
}

QString selezioneTabella(const Motore& motore, const InfoTabella& tabella)
{
    return QStringLiteral("SELECT ") + elencoColonne(motore, tabella) + QStringLiteral(" FROM ") +
           motore.nome(tabella.nome);
}

QStringList identitaRichiesta(const InfoTabella& tabella)
{
    const QStringList identita = tabella.identita();
    if (identita.isEmpty())
        throw ErroreArchivio(TipoErrore::Altro, QStringLiteral("tabella senza chiave univoca"),
                             QStringLiteral("La tabella %1 non ha una chiave che identifichi i record.")
                                 .arg(tabella.nome));
    return identita;
}

namespace {

// WHERE condition on the identifying columns, values appended to parametri.
QString condizione(const Motore& motore, const InfoTabella& tabella, const QVector<QVariant>& riga,
                   QVariantList& parametri)
{
    QStringList parti;
    for (const QString& c : identitaRichiesta(tabella)) {
        const QVariant& v = riga.at(tabella.colonna(c));
        if (v.isNull()) {
            parti << motore.nome(c) + QStringLiteral(" IS NULL");
        } else {
            parti << motore.nome(c) + QStringLiteral(" = ?");
            parametri << v;
        }
    }
    return QStringLiteral(" WHERE ") + parti.join(QStringLiteral(" AND "));
}

ErroreArchivio conflitto(const InfoTabella& tabella)
{
    return ErroreArchivio(TipoErrore::Conflitto, QStringLiteral("record non più presente in %1").arg(tabella.nome));
}

} // namespace

bool scrivi(Connessione& connessione, const InfoTabella& tabella, const BufferModifica& buffer,
            QVector<QVariant>& riletta)
{
    const Motore& motore = connessione.motore();
    QStringList colonne;
    QVariantList parametri;
    for (int i = 0; i < buffer.valori.size(); ++i) {
        if (buffer.cambiato.at(i)) {
            colonne << motore.nome(tabella.colonne.at(i));
            parametri << buffer.valori.at(i);
        }
    }
    if (buffer.modo == BufferModifica::Modo::Nuova) {
        QString sql = QStringLiteral("INSERT INTO ") + motore.nome(tabella.nome);
        if (colonne.isEmpty()) {
            sql += QStringLiteral(" DEFAULT VALUES");
        } else {
            sql += QStringLiteral(" (") + colonne.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                   QStringList(QVector<QString>(colonne.size(), QStringLiteral("?"))).join(QStringLiteral(", ")) +
                   QLatin1Char(')');
        }
        connessione.modifica(sql, parametri);
        return false;
    }
    if (buffer.modo != BufferModifica::Modo::Modifica)
        return false;
    if (colonne.isEmpty()) {
        // Nothing changed: still make sure the row is there, as a write would.
        if (!rileggi(connessione, tabella, buffer.originale, riletta))
            throw conflitto(tabella);
        return true;
    }
    for (QString& c : colonne)
        c += QStringLiteral(" = ?");
    const QString sql = QStringLiteral("UPDATE ") + motore.nome(tabella.nome) + QStringLiteral(" SET ") +
                        colonne.join(QStringLiteral(", ")) + condizione(motore, tabella, buffer.originale, parametri);
    if (motore.restituisceRighe()) {
        // The row identifies one row at most: handed back, it was there.
        if (!connessione.leggiRiga(sql + QStringLiteral(" RETURNING ") + elencoColonne(motore, tabella), parametri,
                                   riletta))
            throw conflitto(tabella);
        return true;
    }
    if (connessione.modifica(sql, parametri) == 0)
        throw conflitto(tabella);
    return false;
}

void cancella(Connessione& connessione, const InfoTabella& tabella, const QVector<QVariant>& riga)
{
    const Motore& motore = connessione.motore();
    QVariantList parametri;
    const QString sql =
        QStringLiteral("DELETE FROM ") + motore.nome(tabella.nome) + condizione(motore, tabella, riga, parametri);
    if (connessione.modifica(sql, parametri) == 0)
        throw conflitto(tabella);
}

bool rileggi(Connessione& connessione, const InfoTabella& tabella, const QVector<QVariant>& identificata,
             QVector<QVariant>& riga)
{
    const Motore& motore = connessione.motore();
    QVariantList parametri;
    const QString sql = selezioneTabella(motore, tabella) + condizione(motore, tabella, identificata, parametri);
    return connessione.leggiRiga(sql, parametri, riga);
}

} // namespace store::interno
