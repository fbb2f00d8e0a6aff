#include "store/attesa.h"

namespace store {

namespace {

// Each thread its own handler: the window's runs the events of the thread
// that owns it, and a connection of another thread waits as it always did.
thread_local Attesa* gestore = nullptr;

} // namespace

Attesa* impostaAttesa(Attesa* attesa)
{
    Attesa* prima = gestore;
    gestore = attesa;
    return prima;
}

namespace interno {

InAttesa::InAttesa() : m_gestore(gestore) {}

InAttesa::~InAttesa()
{
    if (m_chiamato)
        m_gestore->attesaFinita();
}

void InAttesa::ancora()
{
    if (!m_gestore)
        return;
    m_chiamato = true;
    m_gestore->inAttesa();
}

} // namespace interno
} // namespace store
