#pragma once

// One birthday of every kind an export must carry, the date texts as the date pickers write
// them: a lunar one in a leap month, a plain lunar one, one with every field set (quotes, commas
// and semicolons in its texts, a fixed-line number, SMS on, no advance notice), one without a
// date, and one name in each category that has a class table.

#include "support/birthdaybuilder.h"

#include <QList>

namespace natalis::test {

inline QList<store::BirthdayRecord> everyKindOfBirthday()
{
    const auto typed = [](store::BirthdayRecord r, const QString &type) {
        r.Type = type;
        if (r.Duanxin.isEmpty())
            r.Duanxin = QStringLiteral("否");
        return r;
    };
    store::BirthdayRecord leap =
        typed(lunarBirthday(QStringLiteral("闰月"), QStringLiteral("农历2006年闰07月15日")),
            QStringLiteral("家人"));
    leap.strGL = QStringLiteral("公历2006年 09月07日");
    store::BirthdayRecord lunar =
        typed(lunarBirthday(QStringLiteral("正月"), QStringLiteral("农历1976年 01月26日")),
            QStringLiteral("同学"));
    lunar.strGL = QStringLiteral("公历1976年 02月25日");
    store::BirthdayRecord full = gregorianBirthday(
        QStringLiteral("O'Neil\"引号\""), QStringLiteral("公历1976年 02月25日"), 0);
    full.strNL = QStringLiteral("农历1976年 01月26日");
    full.Tel = QStringLiteral("01062345678");
    full.Beizhu = QStringLiteral("他说\"你好\"'再见'") + QString(40, u'长');
    full.Duanxin = QStringLiteral("是");
    full.Sex = QStringLiteral("女");
    full.Class = QStringLiteral("销售部");
    full.QQ_MSN = QStringLiteral("12345");
    full.Company = QStringLiteral("某公司,分公司");
    full.Address = QStringLiteral("北京市海淀区;中关村");
    full.No = QStringLiteral("A-01");
    QList<store::BirthdayRecord> list { leap, lunar, typed(full, QStringLiteral("其他")),
        typed(gregorianBirthday(QStringLiteral("无日期"), {}), QStringLiteral("同事")) };
    for (const char16_t *type : { u"朋友", u"供应商", u"客户", u"代理商" }) {
        store::BirthdayRecord plain =
            gregorianBirthday(QStringLiteral("张三"), QStringLiteral("公历1980年 05月12日"));
        plain.strNL = QStringLiteral("农历1980年 03月28日");
        list << typed(plain, QString::fromUtf16(type));
    }
    return list;
}

} // namespace natalis::test
