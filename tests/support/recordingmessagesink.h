#pragma once

#include "platform/messagesink.h"

#include <QList>
#include <QString>

namespace natalis::test {

// Keeps every message box shown and answers each with a chosen button.
class RecordingMessageSink : public platform::MessageSink
{
public:
    struct Shown
    {
        QString text;
        QString title;
        platform::MessageIcon icon;
        platform::MessageButtons buttons;
        QStringList choices; // the buttons of a choose()
    };

    platform::MessageButton show(const QString &text, const QString &title,
        platform::MessageIcon icon, platform::MessageButtons buttons) override
    {
        shown.append({ text, title, icon, buttons, {} });
        return answer;
    }

    int choose(const QString &text, const QString &title, platform::MessageIcon icon,
        const QStringList &buttons) override
    {
        shown.append({ text, title, icon, platform::MessageButtons::Ok, buttons });
        return int(buttons.indexOf(choice));
    }

    QStringList texts() const
    {
        QStringList result;
        for (const Shown &s : shown)
            result << s.text;
        return result;
    }

    QList<Shown> shown;
    platform::MessageButton answer = platform::MessageButton::Ok;
    QString choice; // the button a choose() answers with; none there: closed
};

} // namespace natalis::test
