#pragma once
// Small guards used by the window's operations.
#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <functional>

// Busy pointer for as long as the guard lives.
class CursoreOccupato {
public:
    CursoreOccupato() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursoreOccupato() { QApplication::restoreOverrideCursor(); }
    CursoreOccupato(const CursoreOccupato&) = delete;
    CursoreOccupato& operator=(const CursoreOccupato&) = delete;
};

// An operation that keeps the window busy for a while (a deletion, a change
// of codice fiscale on a large return): busy pointer, the notice shown if
// there is one, and the whole window painted at once before the operation
// starts. The event loop does not run until the operation ends, so a box
// just answered would otherwise leave its picture on the window meanwhile.
class OperazioneLunga {
public:
    explicit OperazioneLunga(QWidget* finestra, QWidget* avviso = nullptr) : m_avviso(avviso)
    {
        if (m_avviso) {
            m_avviso->show();
            avvisoInCorso() = m_avviso;
        }
        finestra->repaint();
        if (const auto& osserva = osservatore())
            osserva();
    }
    ~OperazioneLunga()
    {
        if (m_avviso) {
            m_avviso->hide();
            avvisoInCorso() = nullptr;
        }
    }
    OperazioneLunga(const OperazioneLunga&) = delete;
    OperazioneLunga& operator=(const OperazioneLunga&) = delete;

    // Called once the window is painted, just before the operation starts:
    // what the operator sees while waiting, for the tests.
    static std::function<void()>& osservatore()
    {
        static std::function<void()> funzione;
        return funzione;
    }

    // The notice of the operation under way, if it has one: a wait for the
    // archive meanwhile is told by it (window/attesa.h).
    static QWidget*& avvisoInCorso()
    {
        static QWidget* avviso = nullptr;
        return avviso;
    }

private:
    CursoreOccupato m_occupato;
    QWidget* m_avviso;
};

// A control that follows another's enabled state: while the selection list is
// locked (a change of codice fiscale under way), the lines it shows must not
// change, nor the window leave it.
class StessoStato : public QObject {
public:
    StessoStato(QWidget* guida, QWidget* seguace) : QObject(seguace), m_seguace(seguace)
    {
        guida->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override
    {
        if (evento->type() == QEvent::EnabledChange)
            m_seguace->setEnabled(static_cast<QWidget*>(oggetto)->isEnabled());
        return false;
    }

private:
    QWidget* m_seguace;
};
