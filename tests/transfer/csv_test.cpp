#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/importreport.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"
#include "transfer/csvfile.h"
#include "transfer/csvlayout.h"
#include "transfer/exportfile.h"
#include "transfer/importinsert.h"
#include "transfer/importreader.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

struct CsvRow
{
    const char *situation;
    QString text;
    QList<QStringList> records;
    QList<qsizetype> lines {};
};

using CsvRecords = testing::TestWithParam<CsvRow>;

TEST_P(CsvRecords, SplitsAsRfc4180)
{
    const CsvRow &row = GetParam();
    QList<QStringList> records;
    QList<qsizetype> lines;
    ForEachCsvRecord(row.text, [&](const CsvRecord &record) {
        records << record.fields;
        lines << record.line;
        return true;
    });
    EXPECT_EQ(records, row.records);
    if (!row.lines.isEmpty()) {
        EXPECT_EQ(lines, row.lines);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, CsvRecords,
    testing::Values(CsvRow { "plain fields, CR LF", u"a,b,c\r\nd,,f\r\n"_s,
                        { { u"a"_s, u"b"_s, u"c"_s }, { u"d"_s, QString(), u"f"_s } } },
        CsvRow { "quoted comma, doubled quote and line break",
            u"\"x,y\",\"say \"\"hi\"\"\",\"1\r\n2\"\n3"_s,
            { { u"x,y"_s, u"say \"hi\""_s, u"1\n2"_s }, { u"3"_s } }, { 1, 3 } },
        CsvRow {
            "blank lines give no record", u"a\r\n\r\n\nb"_s, { { u"a"_s }, { u"b"_s } }, { 1, 4 } },
        CsvRow { "a quote never closed is a character and swallows no line",
            u"a,b\n\"open,x\nstill,y\n"_s,
            { { u"a"_s, u"b"_s }, { u"\"open"_s, u"x"_s }, { u"still"_s, u"y"_s } }, { 1, 2, 3 } },
        CsvRow { "empty last field", u"a,\n"_s, { { u"a"_s, QString() } } }),
    test::BySituation());

TEST(CsvField, QuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(csvRecord({ u"张三"_s, u"a,b"_s, u"say \"hi\""_s, u"1\n2"_s, u" x"_s, QString() }),
        u"张三,\"a,b\",\"say \"\"hi\"\"\",\"1\n2\",\" x\","_s);
}

struct CsvImportRow
{
    const char *situation;
    QString text;
    QStringList records; // name/category/strGL/strNL/days
    QStringList report {};
};

using CsvImport = testing::TestWithParam<CsvImportRow>;

TEST_P(CsvImport, MapsColumnsByTitle)
{
    const CsvImportRow &row = GetParam();
    const ImportReading reading =
        ReadImportBytes("\xEF\xBB\xBF" + row.text.toUtf8(), ImportLayout::Csv, u"x.csv"_s);
    QStringList records;
    for (const ImportRecord &record : reading.records) {
        const store::BirthdayRecord r = StoredBirthday(record);
        records << QStringList { r.About, r.Type, r.strGL, r.strNL, QString::number(r.intNums) }
                       .join(u'/');
    }
    EXPECT_EQ(records, row.records);
    EXPECT_EQ(test::reportOf(reading), row.report);
}

INSTANTIATE_TEST_SUITE_P(Files, CsvImport,
    testing::Values(CsvImportRow { "columns in another order, extra column ignored",
                        u"提醒天数,备用,类别,生日名称,公历生日\r\n5,x,朋友,王五,1976/2/25\r\n"_s,
                        { u"王五/朋友/公历1976年 02月25日/农历1976年 01月26日/5"_s },
                        { u"第1行: 列'备用'无法识别,已忽略"_s } },
        CsvImportRow { "dates written 1976年2月25日 and lunar 2006-闰7-15",
            u"生日名称,公历生日,农历生日,提醒方式\n甲,1976年2月25日,,按公历提醒\n乙,,2006-闰7-15,按农历提醒\n"_s,
            { u"甲/客户/公历1976年 02月25日/农历1976年 01月26日/7"_s,
                u"乙/客户/公历2006年 09月07日/农历2006年闰07月15日/7"_s } },
        CsvImportRow { "the preview's title for the date column follows the rule",
            u"生日名称,公历/农历生日,提醒方式\n丙,2006-闰7-15,按农历提醒\n"_s,
            { u"丙/客户/公历2006年 09月07日/农历2006年闰07月15日/7"_s } },
        CsvImportRow { "an invalid date is reported on the record's first line",
            u"生日名称,生日备注,公历生日\n丁,\"两\n行\",2023-2-30\n"_s, { u"丁/客户///7"_s },
            { u"第2行: 引号内有换行,这条记录占第2至3行"_s,
                u"第2行: 生日备注中的换行符或制表符已改为空格"_s,
                u"第2行: 日期'2023-2-30'无效,按无日期导入"_s } },
        CsvImportRow { "a tab in a cell becomes a blank, so the export carries the record",
            u"生日名称,生日备注\n戊,\"a\tb\"\n"_s, { u"戊/客户///7"_s },
            { u"第2行: 生日备注中的换行符或制表符已改为空格"_s } },
        CsvImportRow { "an escape or a direction override refuses the record",
            u"生日名称,生日备注\n己,\"a\u001Bb\"\n\u202E庚,x\n辛,ok\n"_s, { u"辛/客户///7"_s },
            { u"第2行: 生日备注含有控制字符,已跳过"_s, u"第3行: 生日名称含有控制字符,已跳过"_s } },
        CsvImportRow { "a person's own sheet",
            u"姓名,性别,生日,手机,分组,备注\n王芳,女,1985-3-12,13912345678,家人,爱吃甜食\n"_s,
            { u"王芳/家人/公历1985年 03月12日/农历1985年 01月21日/7"_s } },
        CsvImportRow { "Outlook in Chinese: family and given name, 0/0/00 for no birthday",
            u"名,姓,生日,移动电话,类别\n芳,王,1985/3/12,13912345678,家人\n伟,李,0/0/00,,\n"_s,
            { u"王芳/家人/公历1985年 03月12日/农历1985年 01月21日/7"_s, u"李伟/客户///7"_s } },
        CsvImportRow { "Outlook in English: US dates, a home phone when there is no mobile",
            u"First Name,Last Name,Birthday,Home Phone,Categories,Gender\n"
            u"Fang,Wang,3/12/1985,01088886666,家人,Female\n"_s,
            { u"FangWang/家人/公历1985年 03月12日/农历1985年 01月21日/7"_s } },
        CsvImportRow { "a phone number Excel turned into 1.39123E+10 is not stored",
            u"姓名,手机,生日\n王芳,1.39123E+10,1985-3-12\n"_s,
            { u"王芳/客户/公历1985年 03月12日/农历1985年 01月21日/7"_s },
            { u"第2行: 联系方式'1.39123E+10'已被Excel改成科学计数法,号码已无法还原,没有导入"_s } }),
    test::BySituation());

TEST(CsvImport, FileWithoutHeaderIsRefused)
{
    const ImportReading reading =
        ReadImportBytes(u"张三,同事\n"_s.toUtf8(), ImportLayout::Csv, u"x.csv"_s);
    ASSERT_TRUE(reading.failure);
    EXPECT_EQ(reading.failure->boxText,
        u"x.csv的第一行不是标题行(没有\"生日名称\"或\"姓名\"一列),无法识别各列!"_s);
    EXPECT_TRUE(reading.records.isEmpty());
}

} // namespace
} // namespace natalis::transfer

namespace natalis::transfer {
namespace {

// A quote typed at the start of one cell of a hundred-person sheet: every person still comes in,
// and the stray quote is reported on its line.
TEST(CsvImport, AStrayQuoteSwallowsNoLine)
{
    QString text = u"生日名称,公历生日\n"_s;
    for (int person = 1; person <= 100; ++person)
        text += (person == 3 ? u"\""_s : QString())
            + u"人%1,1980-1-%2\n"_s.arg(person).arg(1 + person % 28);
    const ImportReading reading = ReadImportBytes(text.toUtf8(), ImportLayout::Csv, u"x.csv"_s);
    EXPECT_EQ(reading.records.size(), 100);
    ASSERT_EQ(reading.notes.size(), 1);
    EXPECT_EQ(lineNoteText(reading.notes[0]), u"第4行: 引号没有配对,已按普通字符读取"_s);
}

TEST(ImportFile, NotTextIsRefusedBeforeReading)
{
    QByteArray picture("\x89PNG\r\n\x1a\n", 8);
    for (int i = 0; i < 4000; ++i)
        picture.append(char(i * 37 % 256));
    for (ImportLayout layout : { ImportLayout::Tab, ImportLayout::Csv }) {
        const ImportReading reading = ReadImportBytes(picture, layout, u"photo.txt"_s);
        EXPECT_TRUE(reading.records.isEmpty());
        ASSERT_TRUE(reading.failure);
        EXPECT_EQ(reading.failure->boxText, u"photo.txt不是文本文件,无法导入!"_s);
    }
}

} // namespace
} // namespace natalis::transfer
