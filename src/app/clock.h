#pragma once

#include <QDateTime>
#include <memory>

namespace natalis::app {

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

// Local time "YYYY-MM-DDTHH:MM", or an invalid QDateTime when text is not of that form.
QDateTime parseNow(const QString &text);

// A fixed clock when NATALIS_NOW holds a valid time, the system clock otherwise (an invalid
// value is reported on stderr and ignored).
std::unique_ptr<Clock> clockFromEnvironment();

} // namespace natalis::app
