#pragma once
// A substitute of the registry as the program works on it, and the one place
// where it meets its stored forms (ANAGSOSTITUTI: CODAZI, CFS, ASOST_1 to
// ASOST_10) and the texts of the data sheet.
#include <QDate>
#include <QString>
#include <QVariantList>
#include <array>
#include <optional>

namespace store {
class Recordset;
}

namespace registro {

// Date of birth: a day, no date (stored as eight zeros, shown as
// "00/00/0000"), or a value that is neither (an empty or malformed ASOST_4,
// a date typed wrong), kept as it came so that it is written back unchanged.
class DataNascita {
public:
    DataNascita() = default; // no date
    explicit DataNascita(const QDate& giorno);
    // From ASOST_4 (AAAAMMGG); Null reads as "".
    static DataNascita daArchivio(const QVariant& valore);
    // From the data sheet's text (GG/MM/AAAA).
    static DataNascita daTesto(const QString& testo);

    bool nessuna() const { return m_tipo == Tipo::Nessuna; }
    bool valida() const { return m_tipo == Tipo::Giorno; }
    bool nonValida() const { return m_tipo == Tipo::NonValida; }
    QDate giorno() const { return m_giorno; }

    QString perArchivio() const; // AAAAMMGG, "00000000", or the value as it came
    QString perScheda() const;   // GG/MM/AAAA, "00/00/0000", or the value as it came

    friend bool operator==(const DataNascita& a, const DataNascita& b)
    {
        return a.m_tipo == b.m_tipo && a.m_giorno == b.m_giorno && a.m_archivio == b.m_archivio &&
               a.m_scheda == b.m_scheda;
    }

private:
    enum class Tipo { Nessuna, Giorno, NonValida };
    Tipo m_tipo = Tipo::Nessuna;
    QDate m_giorno;
    QString m_archivio; // NonValida: the stored form and the sheet's, each as
    QString m_scheda;   // it came or as the other one maps to it
};

// One substitute. Texts are kept as stored or typed (not trimmed); the key
// (codazi, cfs) as the caller holds it: lookups put it in key form.
struct Sostituto {
    QString codazi;           // CODAZI, company code
    QString cfs;              // CFS, codice fiscale or partita IVA
    QString cognome;          // ASOST_1, surname or company name
    QString nome;             // ASOST_2, first name; empty for a company
    QString sesso;            // ASOST_3
    DataNascita nascita;      // ASOST_4
    QString comuneNascita;    // ASOST_5, town (or foreign state) of birth
    QString provinciaNascita; // ASOST_6
    QString comune;           // ASOST_7, town of residence or fiscal domicile
    QString provincia;        // ASOST_8
    QString indirizzo;        // ASOST_9, street and number
    QString collegata;        // ASOST_10, linked company code

    // A natural person has a first name; a company has none.
    bool personaFisica() const { return !nome.trimmed().isEmpty(); }
};

// The row as another workstation may have left it: CODAZI, CFS, ASOST_1 to
// ASOST_10 exactly as read, Null apart from "". A save compares it with what
// the archive holds when it writes.
struct Istantanea {
    QVariantList valori;
    friend bool operator==(const Istantanea& a, const Istantanea& b) { return a.valori == b.valori; }
    friend bool operator!=(const Istantanea& a, const Istantanea& b) { return !(a == b); }
};

// A substitute as loaded: its data and the row they came from.
struct Caricato {
    Sostituto sostituto;
    Istantanea istantanea;
};

// "ASOST_" followed by n, 1 to 10.
QString campoAsost(int n);

// The current row of a record set on ANAGSOSTITUTI.
Istantanea leggiIstantanea(const store::Recordset& riga);
// The same for the rows of a record set read one after the other: the
// fields' places looked up once.
class LetturaIstantanee {
public:
    explicit LetturaIstantanee(const store::Recordset& righe);
    Istantanea leggi() const; // the current row
private:
    const store::Recordset& m_righe;
    std::array<int, 12> m_indici{};
};
Sostituto daIstantanea(const Istantanea& istantanea);
// Writes ASOST_1 to ASOST_10 in their stored forms into the row being edited
// or added: the date as AAAAMMGG, the linked company in key form, every
// other text unchanged (an empty one as an empty text, never Null).
void scriviCampi(store::Recordset& riga, const Sostituto& sostituto);

// The ten texts of the data sheet, Text1(1) to Text1(10), and back.
using TestiScheda = std::array<QString, 10>;
TestiScheda testiScheda(const Sostituto& sostituto);
Sostituto daTestiScheda(const QString& codazi, const QString& cfs, const TestiScheda& testi);

} // namespace registro
