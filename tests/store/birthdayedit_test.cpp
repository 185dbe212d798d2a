#include "store/ansicodec.h"
#include "store/birthdayedit.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace natalis::store;

namespace {

TEST(AnsiCodec, ChineseCountsTwoBytes)
{
    EXPECT_EQ(AnsiByteLength(u""), 0);
    EXPECT_EQ(AnsiByteLength(u"O'Brien"), 7);
    EXPECT_EQ(AnsiByteLength(u"王小明"), 6);
    EXPECT_EQ(AnsiByteLength(u"王'小明abc"), 10);
    EXPECT_EQ(FromAnsi(ToAnsi(u"农历2006年闰07月15日")), QStringLiteral("农历2006年闰07月15日"));
}

BirthdayEdit valid()
{
    BirthdayEdit edit;
    edit.About = QStringLiteral("张三");
    edit.Type = QStringLiteral("朋友");
    edit.Tel = QStringLiteral("13912345678");
    edit.strGL = QStringLiteral("公历1980年 05月06日");
    edit.strNL = QStringLiteral("农历1980年 03月22日");
    return edit;
}

struct CheckRow
{
    const char *situation;
    BirthdayEdit edit;
    std::optional<EditField> refusedAt; // nullopt: accepted
    QString message;
    friend void PrintTo(const CheckRow &row, std::ostream *os) { *os << row.situation; }
};

class EditChecks : public testing::TestWithParam<CheckRow>
{
};

TEST_P(EditChecks, FirstFailedCheckWins)
{
    const QList<BirthdayRecord> existing {
        natalis::test::gregorianBirthday(
            QStringLiteral("李四"), QStringLiteral("公历1980年 01月01日")),
    };
    BirthdayEdit edit = GetParam().edit;
    CleanBirthdayEdit(edit);
    const std::optional<EditRefusal> refusal = CheckBirthdayEdit(edit, u"", existing);
    ASSERT_EQ(refusal.has_value(), GetParam().refusedAt.has_value())
        << refusal->message.toStdString();
    if (refusal) {
        EXPECT_EQ(refusal->field, *GetParam().refusedAt);
        EXPECT_EQ(refusal->message, GetParam().message);
    }
}

template<typename Change>
BirthdayEdit with(Change change)
{
    BirthdayEdit edit = valid();
    change(edit);
    return edit;
}

INSTANTIATE_TEST_SUITE_P(Editor, EditChecks,
    testing::Values(CheckRow { "valid", valid(), std::nullopt, {} },
        CheckRow { "8 Chinese characters",
            with([](BirthdayEdit &e) { e.About = QStringLiteral("一二三四五六七八"); }),
            std::nullopt, {} },
        CheckRow { "9 Chinese characters",
            with([](BirthdayEdit &e) { e.About = QStringLiteral("一二三四五六七八九"); }),
            EditField::About, QStringLiteral("生日名称不能超过16个字符(1个汉字算2个字符)！") },
        CheckRow { "16 Latin letters",
            with([](BirthdayEdit &e) { e.About = QStringLiteral("abcdefghijklmnop"); }),
            std::nullopt, {} },
        CheckRow { "blanks inside the name do not count",
            with([](BirthdayEdit &e) { e.About = QStringLiteral("一 二 三 四 五 六 七 八"); }),
            std::nullopt, {} },
        CheckRow { "quote in the name",
            with([](BirthdayEdit &e) { e.About = QStringLiteral("王'小明"); }), std::nullopt, {} },
        CheckRow { "letters in the number",
            with([](BirthdayEdit &e) { e.Tel = QStringLiteral("139abc"); }), EditField::Tel,
            QStringLiteral("联系方式必须是数字,不能超过12个字符(1个汉字算2个字符)！") },
        CheckRow { "13-digit number",
            with([](BirthdayEdit &e) { e.Tel = QStringLiteral("1391234567890"); }), EditField::Tel,
            QStringLiteral("联系方式必须是数字,不能超过12个字符(1个汉字算2个字符)！") },
        CheckRow { "empty number without SMS", with([](BirthdayEdit &e) { e.Tel.clear(); }),
            std::nullopt, {} },
        CheckRow { "101-byte remark", with([](BirthdayEdit &e) { e.Beizhu = QString(101, u'x'); }),
            EditField::Beizhu, QStringLiteral("生日备注不能超过100个字符(1个汉字算2个字符)！") },
        CheckRow { "50 Chinese characters of remark",
            with([](BirthdayEdit &e) { e.Beizhu = QString(50, u'字'); }), std::nullopt, {} },
        CheckRow { "class of 11 Chinese characters",
            with([](BirthdayEdit &e) { e.Class = QString(11, u'部'); }), EditField::Class,
            QStringLiteral("部门/类别不能超过20个字符(1个汉字算2个字符)！") },
        CheckRow { "messenger account too long",
            with([](BirthdayEdit &e) { e.QQ_MSN = QString(21, u'1'); }), EditField::QQ_MSN,
            QStringLiteral("QQ/MSN不能超过20个字符(1个汉字算2个字符)！") },
        CheckRow { "company too long",
            with([](BirthdayEdit &e) { e.Company = QString(31, u'公'); }), EditField::Company,
            QStringLiteral("公司名称不能超过60个字符(1个汉字算2个字符)！") },
        CheckRow { "address too long", with([](BirthdayEdit &e) { e.Address = QString(81, u'a'); }),
            EditField::Address, QStringLiteral("地址不能超过80个字符(1个汉字算2个字符)！") },
        CheckRow { "line breaks removed from the address",
            with([](BirthdayEdit &e) { e.Address = QString(80, u'a') + QStringLiteral("\r\n"); }),
            std::nullopt, {} },
        CheckRow { "empty name", with([](BirthdayEdit &e) { e.About = QStringLiteral("   "); }),
            EditField::About, QStringLiteral("生日名称必须输入！") },
        CheckRow { "name checked before emptiness of the name", with([](BirthdayEdit &e) {
                      e.About.clear();
                      e.Tel = QStringLiteral("x");
                  }),
            EditField::Tel,
            QStringLiteral("联系方式必须是数字,不能超过12个字符(1个汉字算2个字符)！") },
        CheckRow { "duplicate in the category",
            with([](BirthdayEdit &e) { e.About = QStringLiteral("李四"); }), EditField::About,
            QStringLiteral("生日名称重复，请重新输入！") },
        CheckRow { "same name in another category", with([](BirthdayEdit &e) {
                      e.About = QStringLiteral("李四");
                      e.Type = QStringLiteral("家人");
                  }),
            std::nullopt, {} },
        CheckRow { "SMS with a fixed-line number", with([](BirthdayEdit &e) {
                      e.Duanxin = QStringLiteral("是");
                      e.Tel = QStringLiteral("057188886666");
                  }),
            std::nullopt, {} },
        CheckRow { "SMS without a number", with([](BirthdayEdit &e) {
                      e.Duanxin = QStringLiteral("是");
                      e.Tel.clear();
                  }),
            EditField::Tel, QStringLiteral("要进行生日短信提醒,必须输入正确的手机号码！") },
        CheckRow { "SMS without a Gregorian date", with([](BirthdayEdit &e) {
                      e.Duanxin = QStringLiteral("是");
                      e.strGL.clear();
                  }),
            EditField::GLDate, QStringLiteral("要进行生日短信提醒,公历日期必须输入！") }),
    natalis::test::BySituation());

TEST(EditChecks, KeepingTheOriginalNameIsNoDuplicate)
{
    const QList<BirthdayRecord> existing {
        natalis::test::gregorianBirthday(
            QStringLiteral("李四"), QStringLiteral("公历1980年 01月01日")),
    };
    BirthdayEdit edit = valid();
    edit.About = QStringLiteral("李四");
    EXPECT_FALSE(CheckBirthdayEdit(edit, u"李四", existing));
    EXPECT_TRUE(CheckBirthdayEdit(edit, u"王五", existing));
}

TEST(MyAboutHave, UnknownCategoryLooksInTheFirstList)
{
    QList<BirthdayRecord> list {
        natalis::test::gregorianBirthday(
            QStringLiteral("甲"), QStringLiteral("公历1980年 01月01日")),
        natalis::test::gregorianBirthday(
            QStringLiteral("乙"), QStringLiteral("公历1980年 01月01日")),
    };
    list[0].Type = QStringLiteral("同事");
    EXPECT_TRUE(MyAboutHave(list, u"同事", u" 甲 "));
    EXPECT_TRUE(MyAboutHave(list, u"无此类别", u"甲"));
    EXPECT_FALSE(MyAboutHave(list, u"同事", u"乙"));
    EXPECT_TRUE(MyAboutHave(list, u"朋友", u"乙"));
}

TEST(RecordFromEdit, StoresTrimmedTextsAndTheRuleText)
{
    BirthdayEdit edit = valid();
    edit.IsGL = false;
    edit.Tel = QStringLiteral(" 13912345678 ");
    edit.Sex = QStringLiteral(" ");
    const BirthdayRecord record = RecordFromEdit(edit);
    EXPECT_EQ(record.Tel, QStringLiteral("13912345678"));
    EXPECT_EQ(record.Sex, QString());
    EXPECT_EQ(record.blnIsGL, QStringLiteral("按农历提醒"));
    EXPECT_EQ(record.DxSend, QStringLiteral("0"));
}

} // namespace
