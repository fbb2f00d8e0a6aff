#include "registry/archivio.h"

namespace registro {

namespace {

// Every table the operations read or write, with the fields they use.
const char* const CAMPIRICHIESTI[][2] = {
    {"FRONTESPIZIO", "CODAZI, CFD, FR_1, FR_2, FR_3, fr_14"},
    {"ANAGSOSTITUTI", "CODAZI, CFS, ASOST_1, ASOST_2, ASOST_3, ASOST_4, ASOST_5, ASOST_6, ASOST_7, ASOST_8, ASOST_9, "
                      "ASOST_10"},
    {"TABMIN_PROV", "codprov, descprov"},
    {"QUADROLDIP1", "CODAZI, CFD, CFS"},
    {"QUADROLDIP2", "CODAZI, CFD, CFS"},
    {"QUADROLDIP3", "CODAZI, CFD, CFS"},
    {"QUADROLDIP4", "CODAZI, CFD, CFS"},
    {"QUADROLAUT", "CODAZI, CFD, CFS"},
    {"QUADROST", "CODAZI, CFD, CFS"},
    {"PERCETTORI", "CODAZI"},
};

// Makes each index current once (raising OggettoMancante for a missing one),
// then puts the record set back on its primary index.
void verificaIndici(store::TableRecordset& tabella, std::initializer_list<const char*> indici)
{
    for (const char* indice : indici)
        tabella.setIndex(QString::fromLatin1(indice));
    tabella.setIndex(QStringLiteral("CHIAVE"));
}

} // namespace

Tabelle apriTabelle(store::Database& db)
{
    Tabelle t;
    t.frontespizi = db.OpenTable(QStringLiteral("FRONTESPIZIO"));
    t.sostituti = db.OpenTable(QStringLiteral("ANAGSOSTITUTI"));
    t.province = db.OpenTable(QStringLiteral("TABMIN_PROV"));
    for (const auto& [tabella, campi] : CAMPIRICHIESTI)
        db.richiedi(QString::fromLatin1(tabella), QString::fromLatin1(campi).split(QStringLiteral(", ")));
    verificaIndici(*t.frontespizi, {"CHIAVECODAZI", "CHIAVECFD"});
    verificaIndici(*t.sostituti, {"CHIAVECODAZI", "CHIAVECFS"});
    return t;
}

QList<bool> presenti(store::Database& db, const QList<Ricerca>& ricerche)
{
    QStringList colonne;
    QVariantList valori;
    for (const Ricerca& r : ricerche) {
        colonne << QStringLiteral("EXISTS (SELECT 1 FROM %1 WHERE %2) AS P%3")
                       .arg(r.tabella, r.condizione)
                       .arg(colonne.size());
        valori << r.valori;
    }
    const auto riga = db.OpenRecordset(QStringLiteral("SELECT ") + colonne.join(QStringLiteral(", ")), valori);
    QList<bool> risposte;
    for (int i = 0; i < ricerche.size(); ++i)
        risposte << riga->Value(QStringLiteral("P%1").arg(i)).toBool();
    return risposte;
}

IndicePrincipale::~IndicePrincipale()
{
    try {
        m_tabella.setIndex(QStringLiteral("CHIAVE"));
    } catch (const store::ErroreArchivio&) {
    }
}

} // namespace registro
