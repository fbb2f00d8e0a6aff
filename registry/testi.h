#pragma once
// The texts the registry's operations answer with, each in one place. The
// window shows them as they are.
#include <QString>

namespace registro::testi {

// Data sheet checks.
inline const QString INSERIRESESSO = QStringLiteral("Inserire Sesso");
inline const QString DATAERRATA = QStringLiteral("Data di nascita errata");
inline const QString INSERIREDATA = QStringLiteral("Inserire data di nascita");
inline const QString INSERIRECOMUNENASCITA = QStringLiteral("Inserire comune di nascita");
inline const QString PROVINCIANASCITA = QStringLiteral("Inserire una provincia di nascita valida");
inline const QString INSERIRECOMUNE = QStringLiteral("Inserire comune di residenza o domicilio fiscale");
inline const QString PROVINCIA = QStringLiteral("Inserire una provincia di residenza o domicilio fiscale valida");
inline const QString INSERIREINDIRIZZO = QStringLiteral("Inserire indirizzo di residenza o domicilio fiscale");
// Data sheet and insertion: the linked company has no front page.
inline const QString COLLEGATASENZAFRONTESPIZIO =
    QStringLiteral("Attenzione !!! Il codice azienda collegata inserito non è presente nel frontespizio");

// Insertion (and change of codice fiscale: the two codice fiscale texts).
inline const QString COPPIAFRONTESPIZIO =
    QStringLiteral("Attenzione !!! Il codice azienda e il codice fiscale sono gia 'presenti come frontespizio.");
inline const QString AZIENDAFRONTESPIZIO =
    QStringLiteral("Attenzione !!! Il codice azienda inserito per il sostituto e' gia presente nel frontespizio");
inline const QString CFFRONTESPIZIO =
    QStringLiteral("Attenzione !!! Il codice fiscale inserito per il sostituto e' gia presente nel frontespizio");
inline const QString SOSTITUTOPRESENTE = QStringLiteral("Attenzione !!! Anagrafica sostituto gia' presente.");
inline const QString AZIENDASOSTITUTO =
    QStringLiteral("Attenzione !!! Il codice azienda inserito per il sostituto e' gia presente ");
inline const QString CFSOSTITUTO =
    QStringLiteral("Attenzione !!! Il codice fiscale inserito per il sostituto e' gia presente ");
inline const QString COLLEGATASOSTITUTO =
    QStringLiteral("Attenzione !!! Il codice azienda collegata inserito  è gia presente nelle anagrafiche sostituti");

// Deletion and change of codice fiscale: another workstation removed the
// picked substitute (or gave it another code) after the list was read.
inline const QString SOSTITUTONONPRESENTE =
    QStringLiteral("Attenzione !!! Anagrafica sostituto non più presente in archivio.");

// Change of codice fiscale.
inline const QString NESSUNDICHIARANTE = QStringLiteral("Attenzione !!! Non esiste il frontespizio del dichiarante ");
inline const QString SOSTITUTOSPARITO = SOSTITUTONONPRESENTE + QStringLiteral("\rIl codice fiscale non è stato cambiato.");

} // namespace registro::testi

// Export of the list to a workbook or a CSV file.
namespace registro::testi {
inline const QString ESPORTAZIONEEFFETTUATA = QStringLiteral("Esportazione effettuata");
inline const QString ANAGRAFICHENELFILE = QStringLiteral(" anagrafiche sostituti scritte nel file");
inline const QString NONPIUINARCHIVIO =
    QStringLiteral(" anagrafiche dell'elenco non sono più in archivio e non sono state scritte.");
inline const QString FILENONSCRITTO = QStringLiteral("Impossibile scrivere il file");
inline const QString CARTELLANONSCRIVIBILE =
    QStringLiteral("La cartella non esiste o non si hanno i permessi per scrivervi.");
inline const QString SCRITTURAFALLITA =
    QStringLiteral("La scrittura si è interrotta: il disco potrebbe essere pieno o non più raggiungibile.");
inline const QString CARTELLAOMONIMA = QStringLiteral("Il nome scelto è quello di una cartella.");
inline const QString FILEPROTETTO = QStringLiteral("Il file scelto è protetto da scrittura.");
inline const QString SOSTITUZIONEFALLITA =
    QStringLiteral("Il file scritto non ha potuto prendere il posto di quello scelto: potrebbe essere in uso.");
inline const QString TESTOTROPPOLUNGO = QStringLiteral(
    "Un testo è più lungo di quanto una cella del foglio di calcolo possa contenere: esportare in formato CSV.");
inline const QString ESPORTAZIONENONESEGUITA =
    QStringLiteral("L'esportazione non è stata eseguita: nessun file è stato scritto o modificato.");
} // namespace registro::testi
