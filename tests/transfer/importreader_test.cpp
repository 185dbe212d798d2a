#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"
#include "transfer/importreader.h"
#include "transfer/importtext.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

// GBK bytes of the texts the files below use, from the GB2312 code chart.
const QByteArray Zhang3 = "\xD5\xC5\xC8\xFD"; // 张三
const QByteArray Li4 = "\xC0\xEE\xCB\xC4"; // 李四
const QByteArray Wang5 = "\xCD\xF5\xCE\xE5"; // 王五
const QByteArray Tongshi = "\xCD\xAC\xCA\xC2"; // 同事
const QByteArray Pengyou = "\xC5\xF3\xD3\xD1"; // 朋友
const QByteArray Dailishang = "\xB4\xFA\xC0\xED\xC9\xCC"; // 代理商
const QByteArray ByGregorian = "\xB0\xB4\xB9\xAB\xC0\xFA\xCC\xE1\xD0\xD1"; // 按公历提醒
const QByteArray Yes = "\xCA\xC7"; // 是
const QByteArray Male = "\xC4\xD0"; // 男
const QByteArray GlText = "\xB9\xAB\xC0\xFA"
                          "1976\xC4\xEA 02\xD4\xC2"
                          "25\xC8\xD5"; // 公历1976年 02月25日

QByteArray tabLine(const QByteArray &name, const QByteArray &type)
{
    return name + '\t' + type + "\t13912345678\t\t1976-2-25\t" + ByGregorian + "\t3\t" + Yes + '\t'
        + Male;
}

QByteArray v10Line(const QByteArray &name)
{
    return '"' + name + "\",\"" + Pengyou + "\",\"\",\"" + GlText + "\",\"\",\"" + ByGregorian
        + "\",5";
}

struct FileRow
{
    const char *situation;
    ImportLayout layout;
    QByteArray bytes;
    QStringList records {}; // "name/category/date" per record read
    int skipped = 0;
    QString failureText {}; // empty when the file gives records; "%1" stands for the path
};

using ImportFile = testing::TestWithParam<FileRow>;

TEST_P(ImportFile, ReadsRecordsOrFails)
{
    const FileRow &row = GetParam();
    test::TempDatabase folder;
    folder.write(u"in.txt"_s, row.bytes);
    const QString path = folder.path(u"in.txt"_s);
    const ImportReading reading = ReadImportFile(path, row.layout);

    QStringList records;
    for (const ImportRecord &r : reading.records)
        records << r.fields().About + u'/' + r.fields().Type + u'/' + r.date();
    EXPECT_EQ(records, row.records);
    EXPECT_EQ(reading.skippedLines, row.skipped);
    EXPECT_EQ(reading.failure ? reading.failure->boxText : QString(),
        QString(row.failureText).replace(u"%1"_s, path));
}

const QStringList TwoTabRecords = { u"张三/同事/1976-2-25"_s, u"李四/朋友/1976-2-25"_s };

INSTANTIATE_TEST_SUITE_P(Import, ImportFile,
    testing::Values(
        FileRow { "tab layout in GBK with CR LF", ImportLayout::Tab,
            tabLine(Zhang3, Tongshi) + "\r\n" + tabLine(Li4, Pengyou) + "\r\n", TwoTabRecords },
        FileRow { "v3.1 layout in GBK, LF and no final newline", ImportLayout::V31,
            tabLine(Zhang3, Tongshi) + "\n" + tabLine(Li4, Pengyou), TwoTabRecords },
        FileRow { "UTF-8 with byte order mark", ImportLayout::Tab,
            "\xEF\xBB\xBF"
                + u"张三\t同事\t\t\t1976-2-25\r\n李四\t朋友\t\t\t1976-2-25\r\n"_s.toUtf8(),
            TwoTabRecords },
        FileRow { "UTF-8 without byte order mark", ImportLayout::Tab,
            u"张三\t同事\t\t\t1976-2-25\n李四\t朋友\t\t\t1976-2-25"_s.toUtf8(), TwoTabRecords },
        FileRow { "v3.0 layout: 代理商 becomes 客户", ImportLayout::V30,
            tabLine(Li4, Dailishang) + "\r\n", { u"李四/客户/1976-2-25"_s } },
        FileRow { "v2.0 layout in GBK", ImportLayout::V20, tabLine(Wang5, Pengyou) + "\r\n",
            { u"王五/朋友/1976-2-25"_s } },
        FileRow { "v1.0 records in GBK with a blank line", ImportLayout::V10,
            v10Line(Zhang3) + "\r\n\r\n" + v10Line(Li4) + "\r\n",
            { u"张三/朋友/1976-2-25"_s, u"李四/朋友/1976-2-25"_s } },
        FileRow { "v1.0 stops at the third record", ImportLayout::V10,
            v10Line(Zhang3) + "\r\n" + v10Line(Li4) + "\r\n" + v10Line({}) + "\r\n" + v10Line(Wang5)
                + "\r\n",
            {}, 0,
            u"v1.0生日数据库文件格式致命错,第3记录的生日名称为空或者公历生日日期格式不对!"_s },
        FileRow { "empty tab file", ImportLayout::Tab, {}, {}, 0, u"%1为空!"_s },
        FileRow { "empty v2.0 file", ImportLayout::V20, "\r\n\r\n", {}, 0, u"%1文件为空!"_s },
        FileRow {
            "empty v1.0 file", ImportLayout::V10, {}, {}, 0, u"v1.0生日文件(birth.txt)为空!"_s },
        FileRow { "file cut inside a character", ImportLayout::Tab,
            tabLine(Zhang3, Tongshi) + "\r\n" + Li4 + "\t\xCD", { u"张三/同事/1976-2-25"_s }, 1 },
        FileRow { "binary junk between records", ImportLayout::Tab,
            tabLine(Zhang3, Tongshi) + "\r\n" + QByteArray("\x00\x01\xFF\xFE junk", 10) + "\r\n"
                + QByteArray("\x81\x30\x81") + "\r\n" + tabLine(Li4, Pengyou),
            TwoTabRecords, 2 },
        FileRow { "every invalid line is caught, not only the first", ImportLayout::Tab,
            "\xFF\xFF\r\n" + tabLine(Zhang3, Tongshi) + "\r\n\x81\r\n" + tabLine(Li4, Pengyou)
                + "\r\n\xFF",
            TwoTabRecords, 3 },
        FileRow { "an overlong line is skipped", ImportLayout::Tab,
            QByteArray(MaxImportLineBytes + 1, 'x') + "\r\n" + tabLine(Zhang3, Tongshi),
            { u"张三/同事/1976-2-25"_s }, 1 },
        FileRow { "nothing but junk is no text file", ImportLayout::V30,
            QByteArray("\x00\x00\x00\x00", 4), {}, 0, u"%1不是文本文件,无法导入!"_s }),
    test::BySituation());

struct DetectRow
{
    const char *situation;
    QString path;
    QByteArray bytes;
    std::optional<ImportLayout> layout;
};

using LayoutDetection = testing::TestWithParam<DetectRow>;

TEST_P(LayoutDetection, TellsTheLayoutOfAFile)
{
    const DetectRow &row = GetParam();
    EXPECT_EQ(DetectImportLayout(row.path, row.bytes), row.layout);
}

INSTANTIATE_TEST_SUITE_P(Import, LayoutDetection,
    testing::Values(
        DetectRow { "spreadsheet by its extension", u"a.CSV"_s, "x", ImportLayout::Csv },
        DetectRow { "phone contacts by their extension", u"b.vcf"_s, "", ImportLayout::Vcf },
        DetectRow { "this version's export", u"c.txt"_s,
            "\r\n" + tabLine(Zhang3, Tongshi) + "\t\t\t\t\tA001\r\n", ImportLayout::Tab },
        DetectRow {
            "a short tab line", u"c.txt"_s, Zhang3 + "\t\t\t\t2023-2-30\r\n", ImportLayout::Tab },
        DetectRow { "v2.0 or v3.0 export: 13 fields", u"d.txt"_s,
            tabLine(Zhang3, Tongshi) + "\t\t\t\t\r\n", ImportLayout::V30 },
        DetectRow { "v1.0 birth.txt", u"birth.txt"_s, v10Line(Zhang3) + "\r\n", ImportLayout::V10 },
        DetectRow { "contacts without their extension", u"e.txt"_s, "BEGIN:VCARD\r\nFN:A\r\n",
            ImportLayout::Vcf },
        DetectRow { "header row with commas", u"f.txt"_s, "\xD0\xD5\xC3\xFB,\xC9\xFA\xC8\xD5\r\n",
            ImportLayout::Csv },
        DetectRow { "prose", u"g.txt"_s, "hello world\r\n", std::nullopt }),
    test::BySituation());

TEST(ImportFile, MissingFileIsNamed)
{
    test::TempDatabase folder;
    const QString path = folder.path(u"absent.txt"_s);
    const ImportReading reading = ReadImportFile(path, ImportLayout::Tab);
    ASSERT_TRUE(reading.failure);
    EXPECT_EQ(reading.failure->boxTitle, u"生日导入"_s);
    EXPECT_EQ(reading.failure->boxText, path + u"不存在"_s);
}

TEST(ImportFile, UnreadableFileIsNamedAndGivesNothing)
{
    test::TempDatabase folder;
    const ImportReading reading = ReadImportFile(folder.folder(), ImportLayout::V20);
    ASSERT_TRUE(reading.failure);
    EXPECT_TRUE(reading.failure->boxText.startsWith(folder.folder()));
    EXPECT_EQ(reading.failure->statusText, u"从v2.0导出的生日文件导入生日失败!"_s);
    EXPECT_TRUE(reading.records.isEmpty());
}

TEST(ImportFile, ReportsProgressAfterEachRecord)
{
    QStringList texts;
    ImportReadOptions options;
    options.status = [&](const QString &text) { texts << text; };
    ReadImportBytes(tabLine(Zhang3, Tongshi) + "\r\n\r\n" + tabLine(Li4, Pengyou),
        ImportLayout::V31, u"x.txt"_s, options);
    const QString reading = u"对v3.1导出的生日文件数据分析提取中,请稍候..."_s;
    EXPECT_EQ(texts, (QStringList { reading, reading + u'1', reading + u'2' }));
}

} // namespace
} // namespace natalis::transfer
