#include "store/awaysettings.h"

#include "store/connection.h"
#include "store/dberror.h"
#include "store/statement.h"

namespace natalis::store {

namespace {

constexpr const char *CreateSql =
    "create table if not exists awaysetting(Id integer primary key,[MailOn] integer not null,"
    "[SmtpUrl] text not null,[User] text not null,[MailTo] text not null,"
    "[SmsOn] integer not null,[SmsTo] text not null,[Hour] integer not null,"
    "[Weekly] integer not null)";

} // namespace

std::optional<AwaySettings> readAwaySettings(Connection &connection)
{
    try {
        connection.exec(CreateSql);
        Statement &select =
            connection.cached("select [MailOn],[SmtpUrl],[User],[MailTo],[SmsOn],"
                              "[SmsTo],[Hour],[Weekly] from awaysetting where Id=1");
        AwaySettings settings;
        if (select.step())
            settings = { select.integer(0) != 0, select.text(1), select.text(2), select.text(3),
                select.integer(4) != 0, select.text(5), int(select.integer(6)),
                select.integer(7) != 0 };
        select.reset();
        return settings;
    } catch (const DbException &) {
        return std::nullopt;
    }
}

bool writeAwaySettings(Connection &connection, const AwaySettings &settings)
{
    try {
        connection.exec(CreateSql);
        connection
            .cached("insert or replace into awaysetting(Id,[MailOn],[SmtpUrl],[User],[MailTo],"
                    "[SmsOn],[SmsTo],[Hour],[Weekly]) values(1,?,?,?,?,?,?,?,?)")
            .bindAll(int(settings.mailOn), settings.smtpUrl.trimmed(), settings.user.trimmed(),
                settings.mailTo.trimmed(), int(settings.smsOn), settings.smsTo.trimmed(),
                settings.hour, int(settings.weekly))
            .run();
        return true;
    } catch (const DbException &) {
        return false;
    }
}

} // namespace natalis::store
