#include "store/province.h"

#include "store/database.h"
#include "store/server_postgresql.h"
#include "store/schema.h"


namespace store {

QList<Provincia> provinceAnno()
{
    // Provinces in force for the tax year 2004: those instituted later
    // (MB, FM, BT and the four new Sardinian ones) are not yet here, and
    // Pesaro e Urbino still has its old code PS.
    static const char* const elenco[][2] = {
        {"AG", "AGRIGENTO"},     {"AL", "ALESSANDRIA"},   {"AN", "ANCONA"},
        {"AO", "AOSTA"},         {"AP", "ASCOLI PICENO"}, {"AQ", "L'AQUILA"},
        {"AR", "AREZZO"},        {"AT", "ASTI"},          {"AV", "AVELLINO"},
        {"BA", "BARI"},          {"BG", "BERGAMO"},       {"BI", "BIELLA"},
        {"BL", "BELLUNO"},       {"BN", "BENEVENTO"},     {"BO", "BOLOGNA"},
        {"BR", "BRINDISI"},      {"BS", "BRESCIA"},       {"BZ", "BOLZANO"},
        {"CA", "CAGLIARI"},      {"CB", "CAMPOBASSO"},    {"CE", "CASERTA"},
        {"CH", "CHIETI"},        {"CL", "CALTANISSETTA"}, {"CN", "CUNEO"},
        {"CO", "COMO"},          {"CR", "CREMONA"},       {"CS", "COSENZA"},
        {"CT", "CATANIA"},       {"CZ", "CATANZARO"},     {"EN", "ENNA"},
        {"FC", "FORLI'-CESENA"}, {"FE", "FERRARA"},       {"FG", "FOGGIA"},
        {"FI", "FIRENZE"},       {"FR", "FROSINONE"},     {"GE", "GENOVA"},
        {"GO", "GORIZIA"},       {"GR", "GROSSETO"},      {"IM", "IMPERIA"},
        {"IS", "ISERNIA"},       {"KR", "CROTONE"},       {"LC", "LECCO"},
        {"LE", "LECCE"},         {"LI", "LIVORNO"},       {"LO", "LODI"},
        {"LT", "LATINA"},        {"LU", "LUCCA"},         {"MC", "MACERATA"},
        {"ME", "MESSINA"},       {"MI", "MILANO"},        {"MN", "MANTOVA"},
        {"MO", "MODENA"},        {"MS", "MASSA-CARRARA"}, {"MT", "MATERA"},
        {"NA", "NAPOLI"},        {"NO", "NOVARA"},        {"NU", "NUORO"},
        {"OR", "ORISTANO"},      {"PA", "PALERMO"},       {"PC", "PIACENZA"},
        {"PD", "PADOVA"},        {"PE", "PESCARA"},       {"PG", "PERUGIA"},
        {"PI", "PISA"},          {"PN", "PORDENONE"},     {"PO", "PRATO"},
        {"PR", "PARMA"},         {"PS", "PESARO E URBINO"}, {"PT", "PISTOIA"},
        {"PV", "PAVIA"},         {"PZ", "POTENZA"},       {"RA", "RAVENNA"},
        {"RC", "REGGIO CALABRIA"}, {"RE", "REGGIO EMILIA"}, {"RG", "RAGUSA"},
        {"RI", "RIETI"},         {"RM", "ROMA"},          {"RN", "RIMINI"},
        {"RO", "ROVIGO"},        {"SA", "SALERNO"},       {"SI", "SIENA"},
        {"SO", "SONDRIO"},       {"SP", "LA SPEZIA"},     {"SR", "SIRACUSA"},
        {"SS", "SASSARI"},       {"SV", "SAVONA"},        {"TA", "TARANTO"},
        {"TE", "TERAMO"},        {"TN", "TRENTO"},        {"TO", "TORINO"},
        {"TP", "TRAPANI"},       {"TR", "TERNI"},         {"TS", "TRIESTE"},
        {"TV", "TREVISO"},       {"UD", "UDINE"},         {"VA", "VARESE"},
        {"VB", "VERBANO-CUSIO-OSSOLA"}, {"VC", "VERCELLI"}, {"VE", "VENEZIA"},
        {"VI", "VICENZA"},       {"VR", "VERONA"},        {"VT", "VITERBO"},
        {"VV", "VIBO VALENTIA"},
    };
    QList<Provincia> province;
    for (const auto& p : elenco)
        province.append({QString::fromLatin1(p[0]), QString::fromLatin1(p[1])});
    province.append({QStringLiteral("EE"), QStringLiteral("STATO ESTERO")});
    return province;
}

void inserisciProvince(Database& db)
{
    for (const Provincia& p : provinceAnno())
        db.Execute(QStringLiteral("INSERT INTO TABMIN_PROV (codprov, descprov) VALUES (?, ?)"), {p.sigla, p.nome});
}

void creaTemplate(const QString& percorso)
{
    creaArchivio(percorso, inserisciProvince);
}

void creaTemplate(const Luogo& luogo)
{
    if (luogo.suServer())
        interno::creaDatabaseSuServer(luogo, istruzioniSchemaServer(), inserisciProvince, true);
    else
        creaTemplate(luogo.percorso());
}

} // namespace store
