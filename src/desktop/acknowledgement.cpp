#include "desktop/acknowledgement.h"

#include <QApplication>
#include <QEvent>

namespace natalis::desktop {

AcknowledgementGate::AcknowledgementGate(QWidget *window, std::function<void()> acknowledge)
    : QObject(window), m_window(window), m_acknowledge(std::move(acknowledge))
{
    // Presses land on the window's children; the application sees them all first.
    qApp->installEventFilter(this);
}

AcknowledgementGate::~AcknowledgementGate()
{
    qApp->removeEventFilter(this);
}

bool AcknowledgementGate::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_window)
        return false;
    switch (event->type()) {
    case QEvent::ActivationChange:
        if (watched != m_window)
            break;
        if (!m_window->isActiveWindow())
            m_rule.deactivated();
        else if (m_rule.activated())
            m_acknowledge();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::KeyPress: {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == m_window && m_rule.userInput())
            m_acknowledge();
        break;
    }
    default:
        break;
    }
    return false;
}

} // namespace natalis::desktop
