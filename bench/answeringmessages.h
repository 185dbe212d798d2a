#pragma once

#include "platform/messagesink.h"

namespace natalis::bench {

// A benchmark shows no message box: each question gets the one answer it was made with.
class AnsweringMessages : public platform::MessageSink
{
public:
    explicit AnsweringMessages(platform::MessageButton answer = platform::MessageButton::Ok)
        : m_answer(answer)
    {
    }

    platform::MessageButton show(
        const QString &, const QString &, platform::MessageIcon, platform::MessageButtons) override
    {
        return m_answer;
    }

private:
    platform::MessageButton m_answer;
};

} // namespace natalis::bench
