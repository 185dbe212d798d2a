#include "birthdays/birthdayfile.h"

#include "platform/messagesink.h"
#include "store/birthdays.h"

using namespace Qt::StringLiterals;

namespace natalis::birthdays {

std::optional<store::DbError> reloadBirthdays(BirthdayFile &file, platform::MessageSink &messages)
{
    file.LoadedDataVersion = file.DbConnection->dataVersion();
    store::BirthdayLoad load = store::LoadBirthdays(*file.DbConnection, std::move(file.Birthdays));
    file.Birthdays = std::move(load.Birthdays);
    file.HasBirthdays = load.HasBirthdays;
    if (load.error)
        messages.show(u"读取生日数据库:"_s + file.DbPath + u"失败 "_s + load.error->describe(),
            u"青萍生日提醒网络版v6.0"_s);
    return load.error;
}

} // namespace natalis::birthdays
