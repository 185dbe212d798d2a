#include "platform/clock.h"

#include <QRegularExpression>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace natalis::platform {

QDateTime parseNow(const QString &text)
{
    // Seconds are optional: a desktop check that waits for the turn of a minute starts just
    // before it instead of waiting a whole minute.
    static const QRegularExpression form(u"^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}(:\\d{2})?$"_s);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return {};
    return QDateTime::fromString(
        text, match.hasCaptured(1) ? u"yyyy-MM-ddTHH:mm:ss"_s : u"yyyy-MM-ddTHH:mm"_s);
}

AdvancingClock::AdvancingClock(const QDateTime &start)
    : m_offset(QDateTime::currentDateTime().msecsTo(start))
{
}

QDateTime AdvancingClock::now() const
{
    // Wall-clock based, so a suspended computer wakes up later in the pretended day as well.
    return QDateTime::currentDateTime().addMSecs(m_offset);
}

std::unique_ptr<Clock> clockFromText(const QString &value)
{
    if (value.isEmpty())
        return std::make_unique<SystemClock>();
    const bool advancing = value.endsWith(u'+');
    const QDateTime start = parseNow(advancing ? value.chopped(1) : value);
    if (!start.isValid()) {
        std::fprintf(stderr, "natalis: NATALIS_NOW=%s is not YYYY-MM-DDTHH:MM[:SS][+], ignored\n",
            qPrintable(value));
        return std::make_unique<SystemClock>();
    }
    if (advancing)
        return std::make_unique<AdvancingClock>(start);
    return std::make_unique<FixedClock>(start);
}

std::unique_ptr<Clock> clockFromEnvironment()
{
    return clockFromText(qEnvironmentVariable("NATALIS_NOW"));
}

int millisecondsToNextMinute(const QDateTime &now)
{
    // Past the turn of the minute by a little, so that a tick never reads the minute before.
    constexpr int AfterTheMinute = 50;
    const QTime time = now.time();
    return 60000 - (time.second() * 1000 + time.msec()) + AfterTheMinute;
}

} // namespace natalis::platform
