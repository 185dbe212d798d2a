#include "session/remindermemoryhooks.h"

#include "session/appcontext.h"
#include "reminder/reminderloop.h"
#include "store/remindermemory.h"

namespace natalis::app {

namespace {

constexpr std::array<QStringView, ReminderLoop::MethodCount> FiredKeys = {
    store::BalloonFiredKey,
    store::FloatingFiredKey,
    store::MusicFiredKey,
};

} // namespace

void connectReminderMemory(ReminderLoop &loop, AppContext &context)
{
    if (!context.DbConnection)
        return;
    store::Connection &connection = *context.DbConnection;
    std::array<QDate, ReminderLoop::MethodCount> fired;
    for (int method = 0; method < ReminderLoop::MethodCount; ++method)
        fired[method] = store::ReadReminderDate(connection, FiredKeys[method]);
    loop.restore(fired, store::ReadReminderDate(connection, store::LastRunKey));
    loop.rememberFired = [&context](ReminderLoop::Method method, const QDate &day) {
        if (context.DbConnection)
            store::WriteReminderDate(*context.DbConnection, FiredKeys[method], day);
    };
    loop.rememberRun = [&context](const QDate &day) {
        if (context.DbConnection)
            store::WriteReminderDate(*context.DbConnection, store::LastRunKey, day);
    };
}

} // namespace natalis::app
