#pragma once

#include "platform/messagesink.h"

class QWidget;

namespace natalis::widgets {

// Message boxes on screen, owned by a window when one is given.
class WidgetMessageSink : public platform::MessageSink
{
public:
    explicit WidgetMessageSink(QWidget *owner = nullptr) : m_owner(owner) { }
    void setOwner(QWidget *owner) { m_owner = owner; }

    platform::MessageButton show(const QString &text, const QString &title,
        platform::MessageIcon icon, platform::MessageButtons buttons) override;
    // The first button is the default one; Escape answers with the last.
    int choose(const QString &text, const QString &title, platform::MessageIcon icon,
        const QStringList &buttons) override;

private:
    QWidget *m_owner;
};

} // namespace natalis::widgets
