#pragma once

#include "store/settingsrecord.h"

#include <QDate>
#include <QString>

namespace natalis::reminder {

// The festival reminder text for `today`: each festival switched on in the settings that falls
// within today .. today + intNums + 1 days, e.g. "今天是端午节" or "中秋节还有3天", ordered by
// days ahead and then by the settings' festival order (端午节 中秋节 重阳节 教师节 母亲节 父亲节
// 妇女节 儿童节 七夕节 情人节 圣诞节). Separator and ending as for the birthday text.
QString GetHolidayNotifyText(const store::SettingsRecord &settings, QDate today, bool multiLine);

} // namespace natalis::reminder
