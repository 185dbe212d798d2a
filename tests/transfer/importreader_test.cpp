#include "support/casename.h"
#include "support/gbkbytes.h"
#include "support/importreport.h"
#include "support/qtprinters.h"
#include "transfer/csvfile.h"
#include "transfer/importpreview.h"
#include "transfer/importreader.h"
#include "transfer/importtext.h"
#include "transfer/textencoding.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

using test::gbk;

// A line of this version's export.
QByteArray tabLine(const QString &name, const QString &type)
{
    return gbk(name + u'\t' + type + u"\t13912345678\t\t1976-2-25\t按公历提醒\t3\t是\t男"_s);
}

QByteArray v10Line(const QString &name)
{
    return gbk(u'"' + name + u"\",\"朋友\",\"\",\"公历1976年 02月25日\",\"\",\"按公历提醒\",5"_s);
}

// A line whose only non-ASCII text is name and category, so that the whole file is valid UTF-8
// whenever their bytes are.
QByteArray asciiLine(const QByteArray &name, const QByteArray &category = {})
{
    return name + '\t' + category + "\t13912345678\t\t1976-2-25";
}

// Excel's "Unicode 文本": UTF-16, little-endian unless asked, with a byte order mark.
QByteArray excelUnicode(const QString &text, bool littleEndian = true)
{
    return QStringEncoder(littleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
        QStringConverter::Flag::WriteBom)
        .encode(text);
}

QByteArray utf8WithMark(const QString &text)
{
    return "\xEF\xBB\xBF" + text.toUtf8();
}

struct ReadRow
{
    const char *situation;
    ImportLayout layout;
    QByteArray bytes;
    // Each record read, "name/category/date/days[/remark]" (a lunar date marked 农), and the
    // report: its line notes, or the failure's text ("%1" stands for the file's name).
    QString records;
    QString report {};
};

const QString Both = u"张三/同事/1976-2-25/3; 李四/朋友/1976-2-25/3"_s;

const ReadRow ReadRows[] = {
    // The layouts of every version.
    { "tab layout in GBK with CR LF", ImportLayout::Tab,
        tabLine(u"张三"_s, u"同事"_s) + "\r\n" + tabLine(u"李四"_s, u"朋友"_s) + "\r\n", Both },
    { "v3.0 layout: 代理商 becomes 客户", ImportLayout::V30, tabLine(u"李四"_s, u"代理商"_s),
        u"李四/客户/1976-2-25/3"_s, u"第1行: 类别'代理商'无效,按客户导入"_s },
    { "v2.0 layout", ImportLayout::V20, tabLine(u"王五"_s, u"朋友"_s), u"王五/朋友/1976-2-25/3"_s },
    { "v1.0 records with a blank line", ImportLayout::V10,
        v10Line(u"张三"_s) + "\r\n\r\n" + v10Line(u"李四"_s) + "\r\n",
        u"张三/朋友/1976-2-25/5; 李四/朋友/1976-2-25/5"_s },
    { "v1.0 stops at the third record", ImportLayout::V10,
        v10Line(u"张三"_s) + "\r\n" + v10Line(u"李四"_s) + "\r\n" + v10Line({}) + "\r\n"
            + v10Line(u"王五"_s),
        {}, u"v1.0生日数据库文件格式致命错,第3记录的生日名称为空或者公历生日日期格式不对!"_s },
    { "empty v1.0 file", ImportLayout::V10, {}, {}, u"v1.0生日文件(birth.txt)为空!"_s },
    { "a picture is no text file", ImportLayout::Tab,
        QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(4000, '\0'), {},
        u"%1不是文本文件,无法导入!"_s },
    // Lines that cannot be read are skipped and reported; the rest are read.
    { "file cut inside a character", ImportLayout::Tab,
        tabLine(u"张三"_s, u"同事"_s) + "\r\n" + gbk(u"李四"_s) + "\t\xCD",
        u"张三/同事/1976-2-25/3"_s, u"第2行: 含有无法识别的字符,已跳过"_s },
    { "every invalid line is caught, not only the first", ImportLayout::Tab,
        "\xFF\xFF\r\n" + tabLine(u"张三"_s, u"同事"_s) + "\r\n\x81\r\n"
            + tabLine(u"李四"_s, u"朋友"_s) + "\r\n" + QByteArray("\x00\x01\xFF\xFE junk", 10),
        Both,
        u"第1行: 含有无法识别的字符,已跳过; 第3行: 含有无法识别的字符,已跳过; 第5行: 含有控制字符,已跳过"_s },
    { "an overlong line is skipped", ImportLayout::Tab,
        QByteArray(MaxImportLineBytes + 1, 'x') + "\r\n" + tabLine(u"张三"_s, u"同事"_s),
        u"张三/同事/1976-2-25/3"_s, u"第1行: 过长,已跳过"_s },
    { "nameless lines", ImportLayout::Tab, gbk(u"张三\t同事\r\n\t同事\r\n"_s), u"张三/同事//7"_s,
        u"第2行: 没有生日名称,已跳过"_s },
    { "CR LF, LF and CR mixed", ImportLayout::Tab, "A\t\r\nB\t\nC\t\rD\t",
        u"A/客户//7; B/客户//7; C/客户//7; D/客户//7"_s },
    { "a header line is skipped and reported", ImportLayout::Tab,
        gbk(u"生日名称\t生日类别\t联系方式\r\n张三\t同事\r\n"_s), u"张三/同事//7"_s,
        u"第1行: 是标题行,已跳过"_s },
    { "refused values are imported with their fallback and reported", ImportLayout::Tab,
        gbk(u"张三\t邻居\t139\t\t2023-2-30\t按公历提醒\t20\t是\t男\r\n\r\n李四\t同事\r\n"_s),
        u"张三/客户//7; 李四/同事//7"_s,
        u"第1行: 类别'邻居'无效,按客户导入; 第1行: 日期'2023-2-30'无效,按无日期导入; "
        u"第1行: 提醒天数'20'无效,按7天导入; 第1行: 联系方式'139'不是手机号码,短信提醒按否导入"_s },
    { "CP936's euro sign", ImportLayout::Tab, gbk(u"张三"_s) + "\x80", u"张三€/客户//7"_s },
    // Excel's Unicode text puts a cell holding a line break, a tab or a quote in double quotes.
    { "doubled quotes and two line breaks", ImportLayout::Tab,
        excelUnicode(u"王芳\t家人\t\t\"说\"\"好\"\"\r\n再\n见\"\t1985-3-12\r\n李四\t朋友\r\n"_s),
        u"王芳/家人/1985-3-12/7/说\"好\" 再 见; 李四/朋友//7"_s,
        u"第1行: 引号内有换行,这条记录占第1至3行; 第1行: 生日备注中的换行符或制表符已改为空格"_s },
    { "quotes around a plain word are the remark's own", ImportLayout::Tab,
        excelUnicode(u"王芳\t家人\t\t\"老友\"\t1985-3-12\r\n"_s),
        u"王芳/家人/1985-3-12/7/\"老友\""_s },
    { "a quote never closed is a character", ImportLayout::Tab,
        excelUnicode(u"王芳\t家人\t\t\"老友\t1985-3-12\r\n李四\t朋友\r\n"_s),
        u"王芳/家人/1985-3-12/7/\"老友; 李四/朋友//7"_s },
    // Spreadsheets: columns found by their titles.
    { "columns in another order, extra column ignored", ImportLayout::Csv,
        utf8WithMark(u"提醒天数,备用,类别,生日名称,公历生日\r\n5,x,朋友,王五,1976/2/25\r\n"_s),
        u"王五/朋友/1976-2-25/5"_s, u"第1行: 列'备用'无法识别,已忽略"_s },
    { "dates written 1976年2月25日 and lunar 2006-闰7-15", ImportLayout::Csv,
        utf8WithMark(u"生日名称,公历生日,农历生日,提醒方式\n甲,1976年2月25日,,按公历提醒\n"
                     u"乙,,2006-闰7-15,按农历提醒\n"_s),
        u"甲/客户/1976-2-25/7; 乙/客户/农2006-闰07-15/7"_s },
    { "the preview's title for the date column follows the rule", ImportLayout::Csv,
        utf8WithMark(u"生日名称,公历/农历生日,提醒方式\n丙,2006-闰7-15,按农历提醒\n"_s),
        u"丙/客户/农2006-闰07-15/7"_s },
    { "an invalid date is reported on the record's first line", ImportLayout::Csv,
        utf8WithMark(u"生日名称,生日备注,公历生日\n丁,\"两\n行\",2023-2-30\n"_s),
        u"丁/客户//7/两 行"_s,
        u"第2行: 引号内有换行,这条记录占第2至3行; 第2行: 生日备注中的换行符或制表符已改为空格; "
        u"第2行: 日期'2023-2-30'无效,按无日期导入"_s },
    { "an escape or a direction override refuses the record", ImportLayout::Csv,
        utf8WithMark(u"生日名称,生日备注\n己,\"a\u001Bb\"\n\u202E庚,x\n辛,ok\n"_s),
        u"辛/客户//7/ok"_s,
        u"第2行: 生日备注含有控制字符,已跳过; 第3行: 生日名称含有控制字符,已跳过"_s },
    { "a stray quote swallows no line", ImportLayout::Csv, u"生日名称\n甲\n\"乙\n丙\n"_s.toUtf8(),
        u"甲/客户//7; \"乙/客户//7; 丙/客户//7"_s, u"第3行: 引号没有配对,已按普通字符读取"_s },
    { "a sheet without its header row", ImportLayout::Csv, utf8WithMark(u"张三,同事\n"_s), {},
        u"%1的第一行不是标题行(没有\"生日名称\"或\"姓名\"一列),无法识别各列!"_s },
};

using ImportReadingTest = testing::TestWithParam<ReadRow>;

TEST_P(ImportReadingTest, ReadsTheRecordsAndReportsTheLines)
{
    const ReadRow &row = GetParam();
    const ImportReading reading = readImportBytes(row.bytes, row.layout, u"x.txt"_s);
    QStringList records;
    for (const ImportRecord &record : reading.records) {
        const store::BirthdayRecord f = record.fields();
        QStringList fields { f.About, f.Type,
            (record.dateIsLunar() ? u"农"_s : QString()) + record.date(),
            QString::number(f.intNums) };
        if (!f.Beizhu.isEmpty())
            fields << f.Beizhu;
        records << fields.join(u'/');
    }
    EXPECT_EQ(records.join(u"; "_s), row.records);
    EXPECT_EQ(reading.failure ? reading.failure->boxText : test::reportOf(reading).join(u"; "_s),
        QString(row.report).replace(u"%1"_s, u"x.txt"_s));
}

INSTANTIATE_TEST_SUITE_P(
    Import, ImportReadingTest, testing::ValuesIn(ReadRows), test::BySituation());

struct DetectRow
{
    const char *situation;
    QString path;
    QByteArray bytes;
    std::optional<ImportLayout> layout;
};

const DetectRow DetectRows[] = {
    { "spreadsheet by its extension", u"a.CSV"_s, "x", ImportLayout::Csv },
    { "phone contacts by their extension", u"b.vcf"_s, "", ImportLayout::Vcf },
    { "this version's export", u"c.txt"_s,
        "\r\n" + tabLine(u"张三"_s, u"同事"_s) + "\t\t\t\t\tA001\r\n", ImportLayout::Tab },
    { "a short tab line", u"c.txt"_s, gbk(u"张三\t\t\t\t2023-2-30\r\n"_s), ImportLayout::Tab },
    { "v2.0 or v3.0 export: 13 fields", u"d.txt"_s, tabLine(u"张三"_s, u"同事"_s) + "\t\t\t\t\r\n",
        ImportLayout::V30 },
    { "v1.0 birth.txt", u"birth.txt"_s, v10Line(u"张三"_s) + "\r\n", ImportLayout::V10 },
    { "contacts without their extension", u"e.txt"_s, "BEGIN:VCARD\r\nFN:A\r\n",
        ImportLayout::Vcf },
    { "header row with commas", u"f.txt"_s, gbk(u"姓名,生日\r\n"_s), ImportLayout::Csv },
    { "prose", u"g.txt"_s, "hello world\r\n", std::nullopt },
};

using LayoutDetection = testing::TestWithParam<DetectRow>;

TEST_P(LayoutDetection, TellsTheLayoutOfAFile)
{
    EXPECT_EQ(detectImportLayout(GetParam().path, GetParam().bytes), GetParam().layout);
}

INSTANTIATE_TEST_SUITE_P(
    Import, LayoutDetection, testing::ValuesIn(DetectRows), test::BySituation());

// The promise behind the summary: a typed quote costs no one, and the preview counts the lines.
TEST(ImportFile, AStrayQuoteInAHundredPeopleLeavesEveryLineCounted)
{
    QString text = u"生日名称,公历生日\n"_s;
    for (int i = 1; i <= 100; ++i)
        text += (i == 3 ? u"\"甲%1,1980-1-1\n"_s : u"甲%1,1980-1-1\n"_s).arg(i);
    const ImportPreview preview =
        buildImportPreview(readImportBytes(text.toUtf8(), ImportLayout::Csv, u"x.csv"_s), {});
    EXPECT_EQ(preview.rows.size(), 100);
    EXPECT_EQ(reportSummaryText(preview), u"文件共101行,其中100行读成100条记录,导入说明共1条"_s);
}

TEST(ImportFile, ReportsProgressAfterEachRecord)
{
    QStringList texts;
    ImportReadOptions options;
    options.status = [&](const QString &text) { texts << text; };
    readImportBytes(tabLine(u"张三"_s, u"同事"_s) + "\r\n\r\n" + tabLine(u"李四"_s, u"朋友"_s),
        ImportLayout::V31, u"x.txt"_s, options);
    const QString reading = u"对v3.1导出的生日文件数据分析提取中,请稍候..."_s;
    EXPECT_EQ(texts, (QStringList { reading, reading + u'1', reading + u'2' }));
}

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
    forEachCsvRecord(row.text, [&](const CsvRecord &record) {
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
    testing::Values(
        CsvRow { "plain and empty fields, CR LF, blank lines give no record",
            u"a,b,c\r\n\r\n\nd,,\r\n"_s,
            { { u"a"_s, u"b"_s, u"c"_s }, { u"d"_s, QString(), QString() } }, { 1, 4 } },
        CsvRow { "quoted comma, doubled quote and line break",
            u"\"x,y\",\"say \"\"hi\"\"\",\"1\r\n2\"\n3"_s,
            { { u"x,y"_s, u"say \"hi\""_s, u"1\n2"_s }, { u"3"_s } }, { 1, 3 } },
        CsvRow { "a quote never closed is a character and swallows no line",
            u"a,b\n\"open,x\nstill,y\n"_s,
            { { u"a"_s, u"b"_s }, { u"\"open"_s, u"x"_s }, { u"still"_s, u"y"_s } }, { 1, 2, 3 } }),
    test::BySituation());

TEST(CsvField, QuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(csvRecord({ u"张三"_s, u"a,b"_s, u"say \"hi\""_s, u"1\n2"_s, u" x"_s, QString() }),
        u"张三,\"a,b\",\"say \"\"hi\"\"\",\"1\n2\",\" x\","_s);
}

TEST(EncodingDetection, ShortGbkFilesThatAreValidUtf8ReadAsGbk)
{
    // Common surnames and given-name characters; every pairing whose GBK bytes also read as UTF-8
    // (郑伟, 谢强, 叶萍, 姚平 …) is a short file that a validity check alone reads as UTF-8.
    const QString surnames =
        u"王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋"
        u"蔡余杜叶程苏魏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷"
        u"侯龙史陶黎贺顾毛郝龚邵万钱严覃武戴莫孔向汤"_s;
    const QString given =
        u"伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华玉兰萍红建文辉力鹏飞斌宇浩凯健俊"
        u"帆帅旭宁龙林欣佳琳雪梅莉婷晶妍茜秋珊莎锋波海峰志"_s;
    int validUtf8 = 0;
    for (QChar s : surnames) {
        for (QChar g : given) {
            const QByteArray bytes = asciiLine(gbk(QString(s) + g)) + "\r\n";
            if (!bytes.isValidUtf8())
                continue;
            ++validUtf8;
            EXPECT_EQ(detectEncoding(bytes), TextEncoding::Gbk) << (QString(s) + g).toStdString();
        }
    }
    EXPECT_GT(validUtf8, 50); // about one common name in five
}

struct DetectionRow
{
    const char *situation;
    QByteArray bytes;
    TextEncoding encoding;
};

using Detection = testing::TestWithParam<DetectionRow>;

TEST_P(Detection, ChoosesTheIntendedEncoding)
{
    EXPECT_EQ(detectEncoding(GetParam().bytes), GetParam().encoding);
}

INSTANTIATE_TEST_SUITE_P(Files, Detection,
    testing::Values(DetectionRow { "pure ASCII", asciiLine("Bob"), TextEncoding::Gbk },
        DetectionRow { "the word 同学, valid UTF-8 in GBK",
            asciiLine(gbk(u"郑伟"_s), gbk(u"同学"_s)), TextEncoding::Gbk },
        DetectionRow { "UTF-8 without mark, one short name", asciiLine(u"张三"_s.toUtf8()),
            TextEncoding::Utf8 },
        DetectionRow { "UTF-8 without mark, a rare character beside common ones",
            asciiLine(u"王喆"_s.toUtf8(), u"朋友"_s.toUtf8()), TextEncoding::Utf8 },
        DetectionRow { "UTF-8 mark before GBK", "\xEF\xBB\xBF" + asciiLine(gbk(u"郑伟"_s)),
            TextEncoding::Utf8 },
        DetectionRow { "UTF-16 BE with mark", excelUnicode(u"张三\t同事\r\n"_s, false),
            TextEncoding::Utf16Be }),
    test::BySituation());

// Without a byte order mark, UTF-16 chosen by hand is the little-endian Windows writes.
TEST(EncodingChoice, ChosenUtf16WithoutMarkIsLittleEndian)
{
    ImportReadOptions options;
    options.encoding = EncodingChoice::Utf16;
    EXPECT_EQ(readImportBytes(asciiLine("Bob"), ImportLayout::Tab, u"x.txt"_s, options).encoding,
        TextEncoding::Utf16Le);
}

TEST(EncodingChoice, CancelledReadingGivesNothing)
{
    QByteArray bytes;
    for (int i = 0; i < 10'000; ++i)
        bytes += "A" + QByteArray::number(i) + "\t\r\n";
    ImportReadOptions options;
    options.progress = [](qint64, qint64) { return false; };
    const ImportReading reading = readImportBytes(bytes, ImportLayout::Tab, u"x.txt"_s, options);
    EXPECT_TRUE(reading.cancelled);
    EXPECT_FALSE(reading.failure);
}

} // namespace
} // namespace natalis::transfer
