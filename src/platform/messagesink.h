#pragma once

#include <QString>
#include <QStringList>

namespace natalis::platform {

enum class MessageIcon { None, Information, Question, Warning, Critical };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageButton { Ok, Cancel, Yes, No };

// Where the program's message boxes go: a window later, stderr before the first window exists,
// a recorder in the tests. show() returns the button that answered.
class MessageSink
{
public:
    virtual ~MessageSink() = default;
    virtual MessageButton show(const QString &text, const QString &title,
        MessageIcon icon = MessageIcon::None, MessageButtons buttons = MessageButtons::Ok) = 0;
    // The same with buttons named by the caller, in the order given: the index of the one that
    // answered, -1 when the box was closed without one (which the caller takes as the way out).
    virtual int choose(
        const QString &text, const QString &title, MessageIcon icon, const QStringList &buttons);
};

// Writes "title: text" to stderr and answers with the first button (choose: closed, -1).
class StderrMessageSink : public MessageSink
{
public:
    MessageButton show(const QString &text, const QString &title, MessageIcon icon,
        MessageButtons buttons) override;
};

} // namespace natalis::platform
