// placeholder, replaced by the start-up procedures
#include "startup/mod770bas.h"
#include <QLockFile>
MOD770BAS::MOD770BAS(MSGBOXFN msgbox) : m_msgbox(std::move(msgbox)) {}
MOD770BAS::~MOD770BAS() = default;
int MOD770BAS::MsgBox(const QString& t, int s, const QString& ti) const { return m_msgbox ? m_msgbox(t, s, ti) : vbOK; }
