#include "store/remindermemory.h"

#include "store/connection.h"
#include "store/statement.h"

namespace natalis::store {

namespace {

constexpr const char *CreateSql =
    "create table if not exists reminderstate([Key] text primary key,[Value] text not null)";

QString dayText(QDate day)
{
    return day.toString(Qt::ISODate);
}

} // namespace

void createReminderMemory(Connection &connection)
{
    connection.exec(CreateSql);
}

QDate readReminderDate(Connection &connection, QStringView key)
{
    try {
        createReminderMemory(connection);
        Statement &select = connection.cached("select [Value] from reminderstate where [Key]=?");
        select.bind(1, key.toString());
        QDate day;
        if (select.step())
            day = QDate::fromString(select.text(0), Qt::ISODate);
        select.reset();
        return day;
    } catch (const DbException &) {
        return {};
    }
}

bool writeReminderDate(Connection &connection, QStringView key, QDate day)
{
    try {
        createReminderMemory(connection);
        connection.cached("insert or replace into reminderstate([Key],[Value]) values(?,?)")
            .bindAll(key.toString(), dayText(day))
            .run();
        return true;
    } catch (const DbException &) {
        return false;
    }
}

} // namespace natalis::store
