#pragma once
// Internal to store/: writing one row of a table, shared by the table-type
// and the SQL record sets. A row is identified by the table's primary key,
// or by its unique "CHIAVE" index, with the values it had when it was read.
#include "store/connessione.h"

#include <QVariant>
#include <QVector>

namespace store::interno {

// The copy of a row being edited (Edit) or composed (AddNew).
struct BufferModifica {
    enum class Modo { Nessuna, Modifica, Nuova };
    Modo modo = Modo::Nessuna;
    QVector<QVariant> originale; // the row as read (Modifica)
    QVector<QVariant> valori;    // the row as it will be stored
    QVector<bool> cambiato;

    bool attivo() const { return modo != Modo::Nessuna; }
    void modifica(const QVector<QVariant>& riga);
    void nuova(int colonne);
    void imposta(int colonna, const QVariant& valore);
    void chiudi();
};

// SELECT of every column of the table, in table order.
QString selezioneTabella(const Motore& motore, const InfoTabella& tabella);

// Raises Altro when the table has no column set that identifies a row.
QStringList identitaRichiesta(const InfoTabella& tabella);

// Stores the buffer: UPDATE of the changed columns of the row identified by
// its original values, or INSERT. Raises Conflitto when the row to update is
// no longer there. True when `riletta` got the updated row as stored, in the
// same round trip, on engines that can hand it back.
bool scrivi(Connessione& connessione, const InfoTabella& tabella, const BufferModifica& buffer,
            QVector<QVariant>& riletta);
// Deletes the row identified by these values; Conflitto when it is gone.
void cancella(Connessione& connessione, const InfoTabella& tabella, const QVector<QVariant>& riga);
// Reads again the row identified by these values; false when it is gone.
bool rileggi(Connessione& connessione, const InfoTabella& tabella, const QVector<QVariant>& identificata,
             QVector<QVariant>& riga);

} // namespace store::interno
