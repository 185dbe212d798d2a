#pragma once

#include <QString>

namespace natalis::app {

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
};

// Writes "title: text" to stderr and answers with the first button.
class StderrMessageSink : public MessageSink
{
public:
    MessageButton show(const QString &text, const QString &title, MessageIcon icon,
        MessageButtons buttons) override;
};

} // namespace natalis::app
