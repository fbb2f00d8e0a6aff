#pragma once
// What the program does while the archive keeps a statement waiting: for a
// lock another program holds (up to OpzioniArchivio::attesaBloccoMs), or for
// a server's answer. The store knows no widgets: a window installs a handler
// that keeps itself painted meanwhile and says that it is waiting; without
// one a wait just blocks.
namespace store {

class Attesa {
public:
    virtual ~Attesa() = default;
    // A statement has been waiting for about INTERVALLO_ATTESA_MS: called
    // then, and again every INTERVALLO_ATTESA_MS or so until the wait ends,
    // on the thread that waits. It must not use the archive.
    virtual void inAttesa() = 0;
    // The wait that called inAttesa() is over, answered or given up.
    virtual void attesaFinita() = 0;
};

constexpr int INTERVALLO_ATTESA_MS = 50;

// Installs the handler of the calling thread's waits (each thread its own: a
// handler may run that thread's events); nullptr for none. Returns the one
// it replaces.
Attesa* impostaAttesa(Attesa* attesa);

namespace interno {

// One statement's wait, as the engines see it: the handler of the thread,
// called at each slice of the wait, and told once when the wait is over.
class InAttesa {
public:
    InAttesa();
    ~InAttesa();
    InAttesa(const InAttesa&) = delete;
    InAttesa& operator=(const InAttesa&) = delete;

    // False when the thread has no handler: the wait may simply block.
    bool conGestore() const { return m_gestore != nullptr; }
    // One more slice of the wait has gone by.
    void ancora();

private:
    Attesa* m_gestore;
    bool m_chiamato = false;
};

} // namespace interno
} // namespace store
