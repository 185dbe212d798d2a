#pragma once

#include <QString>
#include <QUuid>

namespace natalis::store {

// One row of table birthday as the program keeps it in memory. Text fields hold at most the
// width listed in BirthdayWidths (in characters); a longer stored value is cut on loading.
// Readers trim every text field before use.
struct BirthdayRecord
{
    qint32 Id = 0; // assigned by the database; ignored when adding
    QString About; // the birthday's name, unique within its category
    QString Type; // category name, one of CategoryNames
    QString Tel;
    QString Beizhu; // remark
    QString strGL; // Gregorian date text, empty when unknown
    QString strNL; // lunar date text, empty when unknown
    QString blnIsGL; // "按公历提醒" or "按农历提醒"
    qint16 intNums = 7; // days of advance notice
    QString Duanxin; // "是" or "否": birthday SMS wanted
    QString Sex; // "男", "女" or empty
    QString Class; // department or class within the category
    QString QQ_MSN;
    QString Company;
    QString Address;
    QString DxSend = QStringLiteral("0"); // "1" once this year's birthday SMS went out
    QString No; // staff or card number
    // Names this birthday wherever it travels (calendar events, contacts, other computers),
    // unlike Id, which another database gives to someone else. Null until the file has one.
    QUuid Uid;
    // What the date is: "生日", "纪念日" or "忌日" (entrykind.h). Another text reads as "生日".
    QString Kind = QStringLiteral("生日");
    // The reminder days as the user wrote them, e.g. "7,1,0" (reminddays.h); empty when intNums
    // alone reminds. When not empty, intNums holds its first number, which is what a reader that
    // knows one number sees.
    QString Days;
    // For a lunar leap-month date in a year without that leap month: "平月" reminds on the
    // regular month, "跳过" not at all. Meaningless for any other date.
    QString LeapRule = QStringLiteral("平月");

    friend bool operator==(const BirthdayRecord &, const BirthdayRecord &) = default;
};

// Widths of the in-memory text fields, in characters.
namespace BirthdayWidths {
inline constexpr int About = 16, Type = 6, Tel = 14, Beizhu = 100, strGL = 20, strNL = 20,
                     blnIsGL = 10, Duanxin = 2, Sex = 2, Class = 20, QQ_MSN = 20, Company = 60,
                     Address = 80, DxSend = 1, No = 12, Kind = 3, Days = 20, LeapRule = 2;
} // namespace BirthdayWidths

} // namespace natalis::store
