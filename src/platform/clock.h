#pragma once

#include <QDateTime>
#include <memory>

namespace natalis::platform {

// The one source of "now" for the whole program; engines take the time as an argument.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class FixedClock : public Clock
{
public:
    explicit FixedClock(QDateTime now) : m_now(std::move(now)) { }
    QDateTime now() const override { return m_now; }
    void set(QDateTime now) { m_now = std::move(now); }

private:
    QDateTime m_now;
};

// Starts at a chosen moment and then runs on with the real clock, so that a manual or automated
// try can cross a full hour.
class AdvancingClock : public Clock
{
public:
    explicit AdvancingClock(const QDateTime &start);
    QDateTime now() const override;

private:
    qint64 m_offset; // milliseconds from the real clock to the pretended one
};

// Milliseconds from now to just after the next full minute (50..60,050): a minute timer set to
// this at every tick fires in the first moments of each minute, never before it.
int millisecondsToNextMinute(const QDateTime &now);

// Local time "YYYY-MM-DDTHH:MM", or an invalid QDateTime when text is not of that form.
QDateTime parseNow(const QString &text);

// "YYYY-MM-DDTHH:MM" gives a fixed clock, the same followed by "+" an advancing one, empty text
// the system clock; any other text is reported on stderr and gives the system clock.
std::unique_ptr<Clock> clockFromText(const QString &value);

// clockFromText of NATALIS_NOW.
std::unique_ptr<Clock> clockFromEnvironment();

} // namespace natalis::platform
