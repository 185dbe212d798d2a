#include "support/casename.h"
#include "support/qtprinters.h"
#include "transfer/birthline.h"
#include "transfer/v10record.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

// The fields of a parsed line a test looks at.
struct Parsed
{
    QString About {}, Type {}, Tel {}, date {}, blnIsGL {};
    qint16 intNums = 0;
    QString Duanxin {}, Sex {};
    bool dateIsLunar = false;

    static Parsed of(const ImportRecord &r)
    {
        const store::BirthdayRecord f = r.fields();
        return { f.About, f.Type, f.Tel, r.date(), f.blnIsGL, f.intNums, f.Duanxin, f.Sex,
            r.dateIsLunar() };
    }
    friend bool operator==(const Parsed &, const Parsed &) = default;
    friend void PrintTo(const Parsed &p, std::ostream *os)
    {
        *os << (QStringList { p.About, p.Type, p.Tel, p.date, p.blnIsGL, QString::number(p.intNums),
                    p.Duanxin, p.Sex }
                    .join(u'|'))
                   .toStdString()
            << (p.dateIsLunar ? " lunar" : "");
    }
};

enum class Parser { Tab, Old };

struct LineRow
{
    const char *situation;
    Parser parser;
    QString line;
    Parsed expected;
};

using BirthLine = testing::TestWithParam<LineRow>;

TEST_P(BirthLine, ReadsTheFields)
{
    const LineRow &row = GetParam();
    const ImportRecord record =
        row.parser == Parser::Tab ? ParseTabBirthLine(row.line) : ParseOldBirthLine(row.line);
    EXPECT_EQ(Parsed::of(record), row.expected);
}

const QString Gl = u"按公历提醒"_s, Nl = u"按农历提醒"_s, Yes = u"是"_s, No = u"否"_s;

INSTANTIATE_TEST_SUITE_P(Import, BirthLine,
    testing::Values(
        LineRow { "full tab line", Parser::Tab,
            u"张三\t同事\t13912345678\t备注\t1976-2-25\t按公历提醒\t3\t是\t男\t"_s,
            { u"张三"_s, u"同事"_s, u"13912345678"_s, u"1976-2-25"_s, Gl, 3, Yes, u"男"_s } },
        LineRow { "unknown category becomes 客户, 20 days become 7", Parser::Tab,
            u"李四\t邻居\t\t\t1980-5-12\t按公历提醒\t20"_s,
            { u"李四"_s, u"客户"_s, {}, u"1980-5-12"_s, Gl, 7, No, {} } },
        LineRow { "SMS 是 with a five-digit contact becomes 否", Parser::Tab,
            u"王五\t朋友\t12345\t\t1980-5-12\t按公历提醒\t7\t是"_s,
            { u"王五"_s, u"朋友"_s, u"12345"_s, u"1980-5-12"_s, Gl, 7, No, {} } },
        LineRow { "SMS 是 without a date becomes 否", Parser::Tab,
            u"王五\t朋友\t13912345678\t\t\t按公历提醒\t7\t是"_s,
            { u"王五"_s, u"朋友"_s, u"13912345678"_s, {}, Gl, 7, No, {} } },
        LineRow { "lunar leap month written with one digit", Parser::Tab,
            u"赵六\t家人\t\t\t2006-闰7-15\t按农历提醒"_s,
            { u"赵六"_s, u"家人"_s, {}, u"2006-闰07-15"_s, Nl, 7, No, {}, true } },
        LineRow { "lunar date with slashes", Parser::Tab,
            u"赵六\t家人\t\t\t2006/7/15\t按农历提醒"_s,
            { u"赵六"_s, u"家人"_s, {}, u"2006-07-15"_s, Nl, 7, No, {}, true } },
        LineRow { "lunar leap month the year does not have", Parser::Tab,
            u"赵六\t家人\t\t\t2006-闰8-15\t按农历提醒"_s,
            { u"赵六"_s, u"家人"_s, {}, {}, Nl, 7, No, {}, true } },
        LineRow { "20 February 1901 is before the first day", Parser::Tab,
            u"钱七\t同学\t13912345678\t\t1901-2-20\t按公历提醒\t7\t是"_s,
            { u"钱七"_s, u"同学"_s, u"13912345678"_s, {}, Gl, 7, No, {} } },
        LineRow { "1 March 1901 and dots as separators", Parser::Tab, u"钱七\t同学\t\t\t1901.3.1"_s,
            { u"钱七"_s, u"同学"_s, {}, u"1901-3-1"_s, Gl, 7, No, {} } },
        LineRow { "31 December 2100 is the last day", Parser::Tab, u"钱七\t同学\t\t\t2100-12-31"_s,
            { u"钱七"_s, u"同学"_s, {}, u"2100-12-31"_s, Gl, 7, No, {} } },
        LineRow { "30 February is no date", Parser::Tab, u"钱七\t同学\t\t\t2000-2-30"_s,
            { u"钱七"_s, u"同学"_s, {}, {}, Gl, 7, No, {} } },
        LineRow { "blanks inside the name are removed, fields trimmed", Parser::Tab,
            u"  张 三 \t 同事 \t 13912345678 "_s,
            { u"张三"_s, u"同事"_s, u"13912345678"_s, {}, Gl, 7, No, {} } },
        LineRow { "a name alone is a record", Parser::Tab, u"孙八"_s,
            { u"孙八"_s, u"客户"_s, {}, {}, Gl, 7, No, {} } },
        LineRow {
            "empty line holds no record", Parser::Tab, {}, { {}, {}, {}, {}, {}, 7, {}, {} } },
        LineRow { "blank name holds no record", Parser::Tab, u"  \t同事"_s,
            { {}, {}, {}, {}, {}, 7, {}, {} } },
        LineRow { "fractional days keep the integer part", Parser::Tab,
            u"周九\t其他\t\t\t\t\t13.9"_s, { u"周九"_s, u"其他"_s, {}, {}, Gl, 13, No, {} } },
        LineRow { "negative and non-numeric days become 7", Parser::Tab,
            u"周九\t其他\t\t\t\tbogus\t-1"_s, { u"周九"_s, u"其他"_s, {}, {}, Gl, 7, No, {} } },
        LineRow { "sex other than 男 or 女 is dropped", Parser::Tab,
            u"周九\t其他\t\t\t\t\t7\t否\t未知"_s, { u"周九"_s, u"其他"_s, {}, {}, Gl, 7, No, {} } },
        LineRow { "long name and contact are cut", Parser::Tab,
            u"一二三四五六七八九十一二三四五六七\t同事\t123456789012345678"_s,
            { u"一二三四五六七八九十一二三四五六"_s, u"同事"_s, u"12345678901234"_s, {}, Gl, 7, No,
                {} } },
        LineRow { "old layout: 代理商 becomes 客户", Parser::Old,
            u"吴十\t代理商\t\t\t1980-5-12\t按公历提醒"_s,
            { u"吴十"_s, u"客户"_s, {}, u"1980-5-12"_s, Gl, 7, No, {} } },
        LineRow { "old layout: lunar rule still reads a Gregorian date", Parser::Old,
            u"吴十\t家人\t\t\t1980-5-12\t按农历提醒"_s,
            { u"吴十"_s, u"家人"_s, {}, u"1980-5-12"_s, Nl, 7, No, {} } }),
    test::BySituation());

TEST(BirthLine, OldLayoutHasNoStaffNumber)
{
    const QString line = u"甲\t同事\t\t\t\t\t7\t否\t男\t部\tqq\t公司\t地址\tNO1"_s;
    EXPECT_EQ(ParseTabBirthLine(line).fields().No, u"NO1"_s);
    EXPECT_EQ(ParseOldBirthLine(line).fields().No, QString());
    EXPECT_EQ(ParseOldBirthLine(line).fields().Address, u"地址"_s);
}

TEST(BirthLine, CutNeverSplitsASurrogatePair)
{
    // 15 characters, then a character outside the BMP (two UTF-16 units) at the cut.
    const QString name = QString(15, u'甲') + QString::fromUcs4(U"\U00020000");
    EXPECT_EQ(ParseTabBirthLine(name).fields().About, QString(15, u'甲'));
}

struct CutRow
{
    const char *situation;
    QString text;
    int width;
    QString cut;
};

using CutToWidth = testing::TestWithParam<CutRow>;

TEST_P(CutToWidth, KeepsAtMostTheWidth)
{
    EXPECT_EQ(cutToWidth(GetParam().text, GetParam().width), GetParam().cut);
}

INSTANTIATE_TEST_SUITE_P(Widths, CutToWidth,
    testing::Values(CutRow { "shorter than the width", u"甲乙"_s, 3, u"甲乙"_s },
        CutRow { "exactly the width", u"甲乙丙"_s, 3, u"甲乙丙"_s },
        CutRow { "longer than the width", u"甲乙丙丁"_s, 3, u"甲乙丙"_s },
        CutRow { "width zero", u"甲乙"_s, 0, QString() },
        CutRow { "negative width", u"甲乙"_s, -1, QString() },
        CutRow { "empty text, width zero", QString(), 0, QString() },
        CutRow { "pair at the first unit", QString::fromUcs4(U"\U00020000"), 1, QString() }),
    test::BySituation());

struct V10Row
{
    const char *situation;
    QString line;
    bool valid = false;
    QString name {}, type {}, date {}, rule {};
    qint16 days = 0;
};

using V10Record = testing::TestWithParam<V10Row>;

TEST_P(V10Record, ReadsOrRefuses)
{
    const V10Row &row = GetParam();
    const std::optional<ImportRecord> record = ParseV10Record(row.line);
    ASSERT_EQ(record.has_value(), row.valid);
    if (!record)
        return;
    EXPECT_EQ(record->fields().About, row.name);
    EXPECT_EQ(record->fields().Type, row.type);
    EXPECT_EQ(record->date(), row.date);
    EXPECT_EQ(record->fields().blnIsGL, row.rule);
    EXPECT_EQ(record->fields().intNums, row.days);
    EXPECT_EQ(record->fields().Duanxin, No);
    EXPECT_FALSE(record->dateIsLunar());
}

INSTANTIATE_TEST_SUITE_P(Import, V10Record,
    testing::Values(
        V10Row { "record as written",
            u"\"张 三\",\"家人\",\"备注\",\"公历1976年 02月25日\",\"农历\",\"按农历提醒\",3"_s,
            true, u"张三"_s, u"家人"_s, u"1976-2-25"_s, Nl, 3 },
        V10Row { "comma inside quotes",
            u"\"李四\",\"朋友\",\"a,b\",\"公历1980年 05月12日\",\"\",\"按公历提醒\",7"_s, true,
            u"李四"_s, u"朋友"_s, u"1980-5-12"_s, Gl, 7 },
        V10Row { "unknown category, rule and days fall back",
            u"\"李四\",\"邻居\",\"\",\"公历1980年 05月12日\",\"\",\"?\",99"_s, true, u"李四"_s,
            u"客户"_s, u"1980-5-12"_s, Gl, 7 },
        V10Row { "date before 1 March 1901 is dropped",
            u"\"李四\",\"朋友\",\"\",\"公历1900年 05月12日\",\"\",\"按公历提醒\",7"_s, true,
            u"李四"_s, u"朋友"_s, {}, Gl, 7 },
        V10Row { "empty name",
            u"\"\",\"朋友\",\"\",\"公历1980年 05月12日\",\"\",\"按公历提醒\",7"_s, false },
        V10Row { "no date", u"\"李四\",\"朋友\",\"\",\"\",\"\",\"按公历提醒\",7"_s, false },
        V10Row { "date is no day",
            u"\"李四\",\"朋友\",\"\",\"公历1980年 02月30日\",\"\",\"按公历提醒\",7"_s, false },
        V10Row { "line cut after the name", u"\"李四\",\"朋"_s, false }),
    test::BySituation());

} // namespace
} // namespace natalis::transfer
