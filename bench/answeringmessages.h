#pragma once

#include "platform/messagesink.h"

namespace natalis::bench {

// A benchmark shows no message box: each question gets the one answer it was made with.
class AnsweringMessages : public app::MessageSink
{
public:
    explicit AnsweringMessages(app::MessageButton answer = app::MessageButton::Ok)
        : m_answer(answer)
    {
    }

    app::MessageButton show(
        const QString &, const QString &, app::MessageIcon, app::MessageButtons) override
    {
        return m_answer;
    }

private:
    app::MessageButton m_answer;
};

} // namespace natalis::bench
