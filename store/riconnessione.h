#pragma once
// Internal to store/: what a failure met on an open connection to the server
// means. A connection that broke off (the server restarted, the network
// dropped, an administrator ended the session) is told apart by asking libpq,
// without a round trip; the connection is then marked for opening again at
// its next use, and the operator reads that it was lost and nothing written.
// A right the server refuses names the user and the role the tables belong
// to; every failure of the server names the archive and its server.
#include "store/errore.h"
#include "store/luogo.h"

#include <QSqlDatabase>

namespace store::interno {

// The connection to the server broke off.
ErroreArchivio connessionePersa(const Luogo& luogo);

// The failure `classificato` met on the session `db` on `luogo`, as the
// operator is to read it. `inConferma`: it was the COMMIT that failed, whose
// outcome is then unknown. Sets `interrotta` when the connection broke off.
ErroreArchivio guastoSuServer(const QSqlDatabase& db, const Luogo& luogo, const ErroreArchivio& classificato,
                              bool inConferma, bool& interrotta);

} // namespace store::interno
