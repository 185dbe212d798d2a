#include "store/reminderitems.h"

#include "store/connection.h"
#include "store/dberror.h"
#include "store/statement.h"

namespace natalis::store {

namespace {

constexpr const char *CreateSql =
    "create table if not exists reminderitem([Day] text not null,[Item] text not null,"
    "[State] integer not null,[Until] text not null default '',[Own] integer not null default 0,"
    "primary key([Day],[Item]))";
// A snooze reaches at most into the next day; a week keeps the missed days' marks well clear.
constexpr int KeptDays = 7;

ItemState stateOf(qint64 number)
{
    switch (number) {
    case 1:
        return ItemState::Shown;
    case 2:
        return ItemState::Acknowledged;
    case 3:
        return ItemState::Snoozed;
    default:
        return ItemState::Waiting;
    }
}

} // namespace

void createReminderItems(Connection &connection)
{
    connection.exec(CreateSql);
}

QList<ReminderItemMark> readReminderItems(Connection &connection, QDate day)
{
    QList<ReminderItemMark> marks;
    try {
        createReminderItems(connection);
        Statement &select = connection.cached(
            "select [Item],[State],[Until],[Own] from reminderitem where [Day]=? order by rowid");
        select.bind(1, day.toString(Qt::ISODate));
        while (select.step())
            marks.append({ select.text(0), stateOf(select.integer(1)),
                QDateTime::fromString(select.text(2), Qt::ISODate), select.integer(3) != 0 });
        select.reset();
    } catch (const DbException &) {
        return {};
    }
    return marks;
}

bool writeReminderItem(Connection &connection, QDate day, const ReminderItemMark &mark)
{
    try {
        createReminderItems(connection);
        connection
            .cached("insert or replace into reminderitem([Day],[Item],[State],[Until],[Own]) "
                    "values(?,?,?,?,?)")
            .bindAll(day.toString(Qt::ISODate), mark.item, int(mark.state),
                mark.until.isValid() ? mark.until.toString(Qt::ISODate) : QString(),
                int(mark.ownItem))
            .run();
        connection.cached("delete from reminderitem where [Day]<?")
            .bindAll(day.addDays(-KeptDays).toString(Qt::ISODate))
            .run();
        return true;
    } catch (const DbException &) {
        return false;
    }
}

} // namespace natalis::store
