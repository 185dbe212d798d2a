#pragma once

#include "store/settingsrecord.h"

#include <QStringView>
#include <array>

namespace natalis::reminder {

// A festival the user can be reminded of, with the settings flag that switches it on.
struct RemindedFestival
{
    QStringView name;
    quint8 store::SettingsRecord::*flag;
};

// In reminder order, which is also the order the settings dialog lists them. 春节, 元宵节,
// 劳动节, 国庆节, 除夕 and 清明节 are shown by the calendar but never reminded.
inline constexpr std::array<RemindedFestival, 11> RemindedFestivals = { {
    { u"端午节", &store::SettingsRecord::intDw },
    { u"中秋节", &store::SettingsRecord::intZq },
    { u"重阳节", &store::SettingsRecord::intCy },
    { u"教师节", &store::SettingsRecord::intJs },
    { u"母亲节", &store::SettingsRecord::intMq },
    { u"父亲节", &store::SettingsRecord::intFq },
    { u"妇女节", &store::SettingsRecord::intFl },
    { u"儿童节", &store::SettingsRecord::intEt },
    { u"七夕节", &store::SettingsRecord::intQx },
    { u"情人节", &store::SettingsRecord::intQr },
    { u"圣诞节", &store::SettingsRecord::intSd },
} };

} // namespace natalis::reminder
