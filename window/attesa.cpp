#include "window/attesa.h"

#include "window/guardie.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>

AttesaFinestra::AttesaFinestra(QLabel* riga) : m_riga(riga), m_precedente(store::impostaAttesa(this)) {}

AttesaFinestra::~AttesaFinestra()
{
    attesaFinita();
    store::impostaAttesa(m_precedente);
}

void AttesaFinestra::inAttesa()
{
    if (!m_inCorso) {
        m_inCorso = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        if (!OperazioneLunga::avvisoInCorso())
            m_riga->show();
        qApp->installEventFilter(this);
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void AttesaFinestra::attesaFinita()
{
    if (!m_inCorso)
        return;
    m_inCorso = false;
    qApp->removeEventFilter(this);
    m_riga->hide();
    QApplication::restoreOverrideCursor();
}

bool AttesaFinestra::eventFilter(QObject* oggetto, QEvent* evento)
{
    switch (evento->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    case QEvent::Close:
        // The window stays: the operation under way ends first.
        evento->ignore();
        return true;
    default:
        return QObject::eventFilter(oggetto, evento);
    }
}
