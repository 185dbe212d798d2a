#include "support/casename.h"
#include "support/qtprinters.h"
#include "transfer/birthline.h"
#include "transfer/v10record.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

// The fields of a record the tests look at: name, category, contact, date (a lunar one marked
// 农), rule, days, SMS and sex.
QString fieldsOf(const ImportRecord &r)
{
    const store::BirthdayRecord f = r.fields();
    return QStringList { f.About, f.Type, f.Tel, (r.dateIsLunar() ? u"农"_s : QString()) + r.date(),
        f.blnIsGL, QString::number(f.intNums), f.Duanxin, f.Sex }
        .join(u'|');
}

enum class Parser { Tab, Old, V10 };

struct LineRow
{
    const char *situation;
    Parser parser;
    QString line;
    QString fields {}; // empty: refused
};

const LineRow LineRows[] = {
    { "full tab line", Parser::Tab,
        u"张三\t同事\t13912345678\t备注\t1976-2-25\t按公历提醒\t3\t是\t男\t"_s,
        u"张三|同事|13912345678|1976-2-25|按公历提醒|3|是|男"_s },
    { "SMS 是 without a date becomes 否", Parser::Tab,
        u"王五\t朋友\t13912345678\t\t\t按公历提醒\t7\t是"_s,
        u"王五|朋友|13912345678||按公历提醒|7|否|"_s },
    { "lunar leap month written with one digit", Parser::Tab,
        u"赵六\t家人\t\t\t2006-闰7-15\t按农历提醒"_s,
        u"赵六|家人||农2006-闰07-15|按农历提醒|7|否|"_s },
    { "lunar leap month the year does not have", Parser::Tab,
        u"赵六\t家人\t\t\t2006-闰8-15\t按农历提醒"_s, u"赵六|家人||农|按农历提醒|7|否|"_s },
    { "20 February 1901 is before the first day", Parser::Tab,
        u"钱七\t同学\t13912345678\t\t1901-2-20\t按公历提醒\t7\t是"_s,
        u"钱七|同学|13912345678||按公历提醒|7|否|"_s },
    { "1 March 1901 and dots as separators", Parser::Tab, u"钱七\t同学\t\t\t1901.3.1"_s,
        u"钱七|同学||1901-3-1|按公历提醒|7|否|"_s },
    { "31 December 2100 is the last day", Parser::Tab, u"钱七\t同学\t\t\t2100-12-31"_s,
        u"钱七|同学||2100-12-31|按公历提醒|7|否|"_s },
    { "blanks inside the name are removed, fields trimmed", Parser::Tab,
        u"  张 三 \t 同事 \t 13912345678 "_s, u"张三|同事|13912345678||按公历提醒|7|否|"_s },
    { "a no-break space inside the name is the name's own", Parser::Tab, u"张\u00A0三\t同事"_s,
        u"张\u00A0三|同事|||按公历提醒|7|否|"_s },
    { "a name alone is a record", Parser::Tab, u"孙八"_s, u"孙八|客户|||按公历提醒|7|否|"_s },
    { "blank name holds no record", Parser::Tab, u"  \t同事"_s, u"|||||7||"_s },
    { "fractional days keep the integer part", Parser::Tab, u"周九\t其他\t\t\t\t\t13.9"_s,
        u"周九|其他|||按公历提醒|13|否|"_s },
    { "negative days become 7, sex other than 男 or 女 is dropped", Parser::Tab,
        u"周九\t其他\t\t\t\tbogus\t-1\t否\t未知"_s, u"周九|其他|||按公历提醒|7|否|"_s },
    { "long name and contact are cut", Parser::Tab,
        u"一二三四五六七八九十一二三四五六七\t同事\t123456789012345678"_s,
        u"一二三四五六七八九十一二三四五六|同事|12345678901234||按公历提醒|7|否|"_s },
    { "a cut never splits a character outside the basic plane", Parser::Tab,
        QString(15, u'甲') + QString::fromUcs4(U"\U00020000"),
        QString(15, u'甲') + u"|客户|||按公历提醒|7|否|"_s },
    { "old layout: lunar rule still reads a Gregorian date", Parser::Old,
        u"吴十\t家人\t\t\t1980-5-12\t按农历提醒"_s, u"吴十|家人||1980-5-12|按农历提醒|7|否|"_s },
    { "v1.0 record as written", Parser::V10,
        u"\"张 三\",\"家人\",\"备注\",\"公历1976年 02月25日\",\"农历\",\"按农历提醒\",3"_s,
        u"张三|家人||1976-2-25|按农历提醒|3|否|"_s },
    { "v1.0 comma inside quotes", Parser::V10,
        u"\"李四\",\"朋友\",\"a,b\",\"公历1980年 05月12日\",\"\",\"按公历提醒\",7"_s,
        u"李四|朋友||1980-5-12|按公历提醒|7|否|"_s },
    { "v1.0 unknown category, rule and days fall back", Parser::V10,
        u"\"李四\",\"邻居\",\"\",\"公历1980年 05月12日\",\"\",\"?\",99"_s,
        u"李四|客户||1980-5-12|按公历提醒|7|否|"_s },
    { "v1.0 date before 1 March 1901 is dropped", Parser::V10,
        u"\"李四\",\"朋友\",\"\",\"公历1900年 05月12日\",\"\",\"按公历提醒\",7"_s,
        u"李四|朋友|||按公历提醒|7|否|"_s },
    { "v1.0 no date", Parser::V10, u"\"李四\",\"朋友\",\"\",\"\",\"\",\"按公历提醒\",7"_s },
    { "v1.0 date is no day", Parser::V10,
        u"\"李四\",\"朋友\",\"\",\"公历1980年 02月30日\",\"\",\"按公历提醒\",7"_s },
    { "v1.0 line cut after the name", Parser::V10, u"\"李四\",\"朋"_s },
};

using BirthLine = testing::TestWithParam<LineRow>;

TEST_P(BirthLine, ReadsTheFields)
{
    const LineRow &row = GetParam();
    const std::optional<ImportRecord> record = row.parser == Parser::V10 ? parseV10Record(row.line)
        : row.parser == Parser::Tab ? ParseTabBirthLine(row.line)
                                    : ParseOldBirthLine(row.line);
    EXPECT_EQ(record ? fieldsOf(*record) : QString(), row.fields);
}

INSTANTIATE_TEST_SUITE_P(Import, BirthLine, testing::ValuesIn(LineRows), test::BySituation());

TEST(BirthLine, OldLayoutHasNoStaffNumber)
{
    const QString line = u"甲\t同事\t\t\t\t\t7\t否\t男\t部\tqq\t公司\t地址\tNO1"_s;
    EXPECT_EQ(ParseTabBirthLine(line).fields().No, u"NO1"_s);
    EXPECT_EQ(ParseOldBirthLine(line).fields().No, QString());
    EXPECT_EQ(ParseOldBirthLine(line).fields().Address, u"地址"_s);
}

} // namespace
} // namespace natalis::transfer
