#include "platform/messagesink.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace natalis::platform {

int MessageSink::choose(
    const QString &text, const QString &title, MessageIcon icon, const QStringList &buttons)
{
    // A sink without buttons of its own shows the question and takes it as closed.
    show(text + u"\n"_s + buttons.join(u" / "_s), title, icon);
    return -1;
}

MessageButton StderrMessageSink::show(
    const QString &text, const QString &title, MessageIcon, MessageButtons buttons)
{
    std::fprintf(stderr, "%s: %s\n", title.toUtf8().constData(), text.toUtf8().constData());
    return buttons == MessageButtons::YesNo ? MessageButton::Yes : MessageButton::Ok;
}

} // namespace natalis::platform
