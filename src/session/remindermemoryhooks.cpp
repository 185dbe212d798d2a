#include "session/remindermemoryhooks.h"

#include "reminder/reminderloop.h"
#include "session/appcontext.h"
#include "store/reminderitems.h"
#include "store/remindermemory.h"

namespace natalis::session {

namespace {

constexpr std::array<QStringView, reminder::ReminderLoop::MethodCount> FiredKeys = {
    store::BalloonFiredKey,
    store::FloatingFiredKey,
    store::MusicFiredKey,
};

} // namespace

void connectReminderMemory(reminder::ReminderLoop &loop, AppContext &context)
{
    if (!context.DbConnection)
        return;
    store::Connection &connection = *context.DbConnection;
    std::array<QDate, reminder::ReminderLoop::MethodCount> fired;
    for (int method = 0; method < reminder::ReminderLoop::MethodCount; ++method)
        fired[method] = store::readReminderDate(connection, FiredKeys[method]);
    loop.restore(fired, store::readReminderDate(connection, store::LastRunKey));
    loop.rememberFired = [&context](reminder::ReminderLoop::Method method, const QDate &day) {
        if (context.DbConnection)
            store::writeReminderDate(*context.DbConnection, FiredKeys[method], day);
    };
    loop.rememberRun = [&context](const QDate &day) {
        if (context.DbConnection)
            store::writeReminderDate(*context.DbConnection, store::LastRunKey, day);
    };
    loop.recallItems = [&context](const QDate &day) {
        return context.DbConnection ? store::readReminderItems(*context.DbConnection, day)
                                    : QList<store::ReminderItemMark>();
    };
    loop.rememberItem = [&context](const QDate &day, const store::ReminderItemMark &mark) {
        if (context.DbConnection)
            store::writeReminderItem(*context.DbConnection, day, mark);
    };
}

} // namespace natalis::session
