#pragma once

#include "platform/messagesink.h"

#include <QList>
#include <QString>

namespace natalis::test {

// Keeps every message box shown and answers each with a chosen button.
class RecordingMessageSink : public app::MessageSink
{
public:
    struct Shown
    {
        QString text;
        QString title;
        app::MessageIcon icon;
        app::MessageButtons buttons;
    };

    app::MessageButton show(const QString &text, const QString &title, app::MessageIcon icon,
        app::MessageButtons buttons) override
    {
        shown.append({ text, title, icon, buttons });
        return answer;
    }

    QStringList texts() const
    {
        QStringList result;
        for (const Shown &s : shown)
            result << s.text;
        return result;
    }

    QList<Shown> shown;
    app::MessageButton answer = app::MessageButton::Ok;
};

} // namespace natalis::test
