#include "platform/messagesink.h"

#include <cstdio>

namespace natalis::app {

MessageButton StderrMessageSink::show(
    const QString &text, const QString &title, MessageIcon, MessageButtons buttons)
{
    std::fprintf(stderr, "%s: %s\n", title.toUtf8().constData(), text.toUtf8().constData());
    return buttons == MessageButtons::YesNo ? MessageButton::Yes : MessageButton::Ok;
}

} // namespace natalis::app
