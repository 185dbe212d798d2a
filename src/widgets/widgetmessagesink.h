#pragma once

#include "platform/messagesink.h"

class QWidget;

namespace natalis::app {

// Message boxes on screen, owned by a window when one is given.
class WidgetMessageSink : public MessageSink
{
public:
    explicit WidgetMessageSink(QWidget *owner = nullptr) : m_owner(owner) { }
    void setOwner(QWidget *owner) { m_owner = owner; }

    MessageButton show(const QString &text, const QString &title, MessageIcon icon,
        MessageButtons buttons) override;
    // The first button is the default one; Escape answers with the last.
    int choose(const QString &text, const QString &title, MessageIcon icon,
        const QStringList &buttons) override;

private:
    QWidget *m_owner;
};

} // namespace natalis::app
