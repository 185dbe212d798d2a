// Writes a calendar of every kind of birthday, with festivals and solar terms, to the file named
// by the first argument, for check_ics.py to read with a parser of its own.

#include "transfer/icalendarexport.h"

#include <QFile>
#include <cstdio>

using namespace Qt::StringLiterals;
using natalis::store::BirthdayRecord;

namespace {

BirthdayRecord birthday(qint32 id, const QString &name, const QString &rule, const QString &gl,
    const QString &nl, qint16 days)
{
    BirthdayRecord record;
    record.Id = id;
    record.About = name;
    record.Type = u"朋友"_s;
    record.Tel = u"13800138000"_s;
    record.Beizhu = u"备注,含逗号;分号\\反斜杠 "_s + QString(40, u'长') + u"🎂🎉"_s.repeated(20);
    record.blnIsGL = rule;
    record.strGL = gl;
    record.strNL = nl;
    record.intNums = days;
    return record;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: ics_sample FILE\n", stderr);
        return 2;
    }
    const QString lunar = u"按农历提醒"_s, gregorian = u"按公历提醒"_s;
    const QList<BirthdayRecord> birthdays = {
        birthday(1, u"张三"_s, lunar, {}, u"农历1960年 08月15日"_s, 14),
        birthday(2, u"闰月"_s, lunar, {}, u"农历2006年闰07月15日"_s, 0),
        birthday(3, u"三十"_s, lunar, {}, u"农历1990年 08月30日"_s, 1),
        birthday(4, u"闰日"_s, gregorian, u"公历1984年 02月29日"_s, {}, 7),
        birthday(5, u"王五"_s, gregorian, u"公历1990年 05月12日"_s, {}, 3),
        birthday(6, u"腊月"_s, lunar, {}, u"农历1950年 12月29日"_s, 2),
    };
    const natalis::transfer::IcsOptions options { 2085, 20, true,
        QDateTime(QDate(2025, 6, 1), QTime(8, 0), Qt::UTC) };
    const QByteArray bytes = natalis::transfer::buildIcs(birthdays, options);
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return 1;
    return 0;
}
