#pragma once
// While the archive keeps an operation waiting (another program's lock, a
// slow server), the window stays painted and says so: the busy pointer, and
// the notice of the operation under way where it has one (the change of
// codice fiscale's), else the wait line of the status bar. Meanwhile the
// operator's clicks and keys, and closing the window, are refused, so that
// nothing starts until the wait is over; then the operation goes on as if it
// had never waited.
//
// The window's events are run inside the store's wait, between its slices,
// rather than the operation being run on another thread: Qt's connections to
// the archive belong to the thread that opened them, and an operation mixes
// its reads with the operator's questions (the form check of a code asks
// half-way), so another thread would have to take the connection and every
// operation with it; the waits, instead, are few and all in the store (a
// file's busy lock, a server's answer).
#include "store/attesa.h"

#include <QObject>

class QLabel;

class AttesaFinestra final : public QObject, public store::Attesa {
public:
    // Installed for the thread that makes it (the window's); `riga`: the
    // wait line, hidden until a wait.
    explicit AttesaFinestra(QLabel* riga);
    ~AttesaFinestra() override;
    AttesaFinestra(const AttesaFinestra&) = delete;
    AttesaFinestra& operator=(const AttesaFinestra&) = delete;

    void inAttesa() override;
    void attesaFinita() override;
    // True while a wait is under way.
    bool inCorso() const { return m_inCorso; }

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    QLabel* m_riga;
    store::Attesa* m_precedente;
    bool m_inCorso = false;
};
