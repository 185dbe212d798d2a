#include "store/birthdayedit.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::store {
namespace {

using Change = std::pair<QString BirthdayEdit::*, QString>;

struct CheckRow
{
    const char *situation;
    std::vector<Change> changes; // to an edit that passes every check
    std::optional<EditField> refusedAt; // nullopt: accepted
    QString message {};
};

const QString TelRule = u"联系方式必须是数字,不能超过12个字符(1个汉字算2个字符)！"_s;
const QString Forbidden = u"不能含有制表符、换行符等控制字符！"_s;
constexpr auto About = &BirthdayEdit::About, Tel = &BirthdayEdit::Tel,
               Beizhu = &BirthdayEdit::Beizhu, Sms = &BirthdayEdit::Duanxin;

const QString DaysRule = u"提醒天数必须是0到14之间的数字,用逗号分开,不能重复！"_s;
constexpr auto Days = &BirthdayEdit::Days;

const CheckRow CheckRows[] = {
    { "several reminder days", { { Days, u"7,1,0"_s } }, std::nullopt },
    { "full-width commas and blanks", { { Days, u" 7， 1 "_s } }, std::nullopt },
    { "reminder day beyond 14", { { Days, u"15,1"_s } }, EditField::Days, DaysRule },
    { "reminder day twice", { { Days, u"1,7,1"_s } }, EditField::Days, DaysRule },
    { "empty place between commas", { { Days, u"7,,1"_s } }, EditField::Days, DaysRule },
    { "signed reminder day", { { Days, u"-1"_s } }, EditField::Days, DaysRule },
    { "valid", {}, std::nullopt },
    { "8 Chinese characters", { { About, u"一二三四五六七八"_s } }, std::nullopt },
    { "9 Chinese characters", { { About, u"一二三四五六七八九"_s } }, EditField::About,
        u"生日名称不能超过16个字符(1个汉字算2个字符)！"_s },
    { "blanks inside the name do not count", { { About, u"一 二 三 四 五 六 七 八"_s } },
        std::nullopt },
    { "letters in the number", { { Tel, u"139abc"_s } }, EditField::Tel, TelRule },
    { "13-digit number", { { Tel, u"1391234567890"_s } }, EditField::Tel, TelRule },
    { "empty number without SMS", { { Tel, QString() } }, std::nullopt },
    { "101-byte remark", { { Beizhu, QString(101, u'x') } }, EditField::Beizhu,
        u"生日备注不能超过100个字符(1个汉字算2个字符)！"_s },
    { "50 Chinese characters of remark", { { Beizhu, QString(50, u'字') } }, std::nullopt },
    { "class of 11 Chinese characters", { { &BirthdayEdit::Class, QString(11, u'部') } },
        EditField::Class, u"部门/类别不能超过20个字符(1个汉字算2个字符)！"_s },
    { "messenger account too long", { { &BirthdayEdit::QQ_MSN, QString(21, u'1') } },
        EditField::QQ_MSN, u"QQ/MSN不能超过20个字符(1个汉字算2个字符)！"_s },
    { "company too long", { { &BirthdayEdit::Company, QString(31, u'公') } }, EditField::Company,
        u"公司名称不能超过60个字符(1个汉字算2个字符)！"_s },
    { "address too long", { { &BirthdayEdit::Address, QString(81, u'a') } }, EditField::Address,
        u"地址不能超过80个字符(1个汉字算2个字符)！"_s },
    { "line breaks removed from the address",
        { { &BirthdayEdit::Address, QString(80, u'a') + u"\r\n"_s } }, std::nullopt },
    { "empty name", { { About, u"   "_s } }, EditField::About, u"生日名称必须输入！"_s },
    { "number checked before emptiness of the name", { { About, {} }, { Tel, u"x"_s } },
        EditField::Tel, TelRule },
    { "SMS with a fixed-line number", { { Sms, u"是"_s }, { Tel, u"057188886666"_s } },
        std::nullopt },
    { "SMS without a number", { { Sms, u"是"_s }, { Tel, {} } }, EditField::Tel,
        u"要进行生日短信提醒,必须输入正确的手机号码！"_s },
    // Characters the export could not carry are refused, before any other check.
    { "tab in the name", { { About, u"王\t五"_s } }, EditField::About, u"生日名称"_s + Forbidden },
    { "escape in an overlong remark", { { Beizhu, QString(200, u'x') + u"\x1B"_s } },
        EditField::Beizhu, u"生日备注"_s + Forbidden },
    { "delete character in the company", { { &BirthdayEdit::Company, u"a\x7F"_s } },
        EditField::Company, u"公司名称"_s + Forbidden },
    { "last C1 control in the class", { { &BirthdayEdit::Class, u"a\u009F"_s } }, EditField::Class,
        u"部门/类别"_s + Forbidden },
    { "no-break space in the remark", { { Beizhu, u"a\u00A0b"_s } }, std::nullopt },
    { "left-to-right mark in the number", { { Tel, u"139\u200E"_s } }, EditField::Tel,
        u"联系方式"_s + Forbidden },
    { "line feed in the staff number, which is not cleaned", { { &BirthdayEdit::No, u"A\n1"_s } },
        EditField::No, u"工号/卡号"_s + Forbidden },
};

using EditChecks = testing::TestWithParam<CheckRow>;

BirthdayEdit valid()
{
    BirthdayEdit edit;
    edit.About = u"张三"_s;
    edit.Type = u"朋友"_s;
    edit.Tel = u"13912345678"_s;
    edit.strGL = u"公历1980年 05月06日"_s;
    edit.strNL = u"农历1980年 03月22日"_s;
    return edit;
}

const QList<BirthdayRecord> Existing { test::gregorianBirthday(
    u"李四"_s, u"公历1980年 01月01日"_s) };

TEST_P(EditChecks, FirstFailedCheckWins)
{
    BirthdayEdit edit = valid();
    for (const auto &[field, value] : GetParam().changes)
        edit.*field = value;
    cleanBirthdayEdit(edit);
    const std::optional<EditRefusal> refusal = checkBirthdayEdit(edit, u"", Existing);
    ASSERT_EQ(refusal.has_value(), GetParam().refusedAt.has_value())
        << (refusal ? refusal->message.toStdString() : "accepted");
    if (refusal) {
        EXPECT_EQ(refusal->field, *GetParam().refusedAt);
        EXPECT_EQ(refusal->message, GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(Editor, EditChecks, testing::ValuesIn(CheckRows), test::BySituation());

TEST(EditChecks, KeepingTheOriginalNameIsNoDuplicate)
{
    BirthdayEdit edit = valid();
    edit.About = u"李四"_s;
    EXPECT_FALSE(checkBirthdayEdit(edit, u"李四", Existing));
    EXPECT_TRUE(checkBirthdayEdit(edit, u"王五", Existing));
}

// An import stores names of 16 characters, twice what the editor takes in bytes: changing only
// the phone must not make the user cut the name, but a new name of that length is refused.
TEST(EditChecks, StoredTextsOverTheLimitsAreNotMeasuredAgain)
{
    BirthdayEdit stored = valid();
    stored.About = u"欧阳诸葛司马上官皇甫东方慕容长孙"_s;
    stored.Tel = u"+447700900123"_s;
    BirthdayEdit edit = stored;
    edit.Beizhu = u"换了备注"_s;
    EXPECT_FALSE(checkBirthdayEdit(edit, stored.About, Existing, &stored));
    EXPECT_TRUE(checkBirthdayEdit(edit, stored.About, Existing));
}

TEST(MyAboutHave, UnknownCategoryLooksInTheFirstList)
{
    QList<BirthdayRecord> list { test::gregorianBirthday(u"甲"_s, {}),
        test::gregorianBirthday(u"乙"_s, {}) };
    list[0].Type = u"同事"_s;
    EXPECT_TRUE(MyAboutHave(list, u"同事", u" 甲 "));
    EXPECT_TRUE(MyAboutHave(list, u"无此类别", u"甲"));
    EXPECT_FALSE(MyAboutHave(list, u"同事", u"乙"));
    EXPECT_TRUE(MyAboutHave(list, u"朋友", u"乙"));
}

TEST(recordFromEdit, StoresTrimmedTextsAndTheRuleText)
{
    BirthdayEdit edit = valid();
    edit.IsGL = false;
    edit.Tel = u" 13912345678 "_s;
    edit.Sex = u" "_s;
    edit.Days = u"3,0"_s;
    edit.Kind = u"忌日"_s;
    const BirthdayRecord record = recordFromEdit(edit);
    EXPECT_EQ(record.intNums, 3);
    EXPECT_EQ(record.Days, u"3,0"_s);
    EXPECT_EQ(record.Kind, u"忌日"_s);
    edit.Days = u"5"_s;
    EXPECT_EQ(recordFromEdit(edit).Days, QString()) << "one day is intNums alone";
    EXPECT_EQ(record.Tel, u"13912345678"_s);
    EXPECT_EQ(record.Sex, QString());
    EXPECT_EQ(record.blnIsGL, u"按农历提醒"_s);
    EXPECT_EQ(record.DxSend, u"0"_s);
}

} // namespace
} // namespace natalis::store
