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
