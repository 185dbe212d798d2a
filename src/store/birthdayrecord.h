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

    friend bool operator==(const BirthdayRecord &, const BirthdayRecord &) = default;
};

// Widths of the in-memory text fields, in characters.
namespace BirthdayWidths {
inline constexpr int About = 16, Type = 6, Tel = 14, Beizhu = 100, strGL = 20, strNL = 20,
                     blnIsGL = 10, Duanxin = 2, Sex = 2, Class = 20, QQ_MSN = 20, Company = 60,
                     Address = 80, DxSend = 1, No = 12;
} // namespace BirthdayWidths

} // namespace natalis::store
