#include "support/casename.h"
#include "support/gbkbytes.h"
#include "support/qtprinters.h"
#include "transfer/importreader.h"
#include "transfer/textencoding.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

using test::gbk;

// A line of this version's export whose only non-ASCII text is name and category, so that the
// whole file is valid UTF-8 whenever their GBK bytes are.
QByteArray asciiLine(const QByteArray &name, const QByteArray &category = {})
{
    return name + '\t' + category + "\t13912345678\t\t1976-2-25";
}

// Common surnames and given-name characters; every pairing whose GBK bytes also read as UTF-8
// (郑伟, 谢强, 叶萍, 姚平 …) is a short file that a validity check alone reads as UTF-8.
QStringList namesValidAsUtf8()
{
    const QString surnames =
        u"王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋"
        u"蔡余杜叶程苏魏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷"
        u"侯龙史陶黎贺顾毛郝龚邵万钱严覃武戴莫孔向汤"_s;
    const QString given =
        u"伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华玉兰萍红建文辉力鹏飞斌宇浩凯健俊"
        u"帆帅旭宁龙林欣佳琳雪梅莉婷晶妍茜秋珊莎锋波海峰志"_s;
    QStringList names;
    for (QChar s : surnames) {
        for (QChar g : given) {
            const QString name = QString(s) + g;
            if (gbk(name).isValidUtf8())
                names << name;
        }
    }
    return names;
}

TEST(EncodingDetection, ShortGbkFilesThatAreValidUtf8ReadAsGbk)
{
    const QStringList names = namesValidAsUtf8();
    ASSERT_GT(names.size(), 50); // about one common name in five
    ASSERT_TRUE(names.contains(u"郑伟"_s));
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = asciiLine(gbk(name)) + "\r\n";
        ASSERT_TRUE(bytes.isValidUtf8());
        const ImportReading reading = readImportBytes(bytes, ImportLayout::Tab, u"x.txt"_s);
        EXPECT_EQ(reading.encoding, TextEncoding::Gbk);
        ASSERT_EQ(reading.records.size(), 1);
        EXPECT_EQ(reading.records[0].fields().About, name);
    }
}

struct DetectionRow
{
    const char *situation;
    QByteArray bytes;
    TextEncoding encoding;
    QString firstName {}; // the first record's name when the tab layout reads the bytes
};

using Detection = testing::TestWithParam<DetectionRow>;

TEST_P(Detection, ChoosesTheIntendedEncoding)
{
    const DetectionRow &row = GetParam();
    EXPECT_EQ(detectEncoding(row.bytes), row.encoding);
    if (row.firstName.isEmpty())
        return;
    const ImportReading reading = readImportBytes(row.bytes, ImportLayout::Tab, u"x.txt"_s);
    ASSERT_FALSE(reading.records.isEmpty());
    EXPECT_EQ(reading.records[0].fields().About, row.firstName);
    EXPECT_EQ(reading.encoding, row.encoding);
}

QByteArray utf16(const QString &text, bool littleEndian)
{
    return QStringEncoder(littleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
        QStringConverter::Flag::WriteBom)
        .encode(text);
}

INSTANTIATE_TEST_SUITE_P(Files, Detection,
    testing::Values(DetectionRow { "pure ASCII", asciiLine("Bob"), TextEncoding::Gbk, u"Bob"_s },
        DetectionRow { "GBK that is no UTF-8", asciiLine(gbk(u"张三"_s), gbk(u"同事"_s)),
            TextEncoding::Gbk, u"张三"_s },
        DetectionRow { "the word 同学, valid UTF-8 in GBK",
            asciiLine(gbk(u"郑伟"_s), gbk(u"同学"_s)), TextEncoding::Gbk, u"郑伟"_s },
        DetectionRow { "UTF-8 without mark, one short name", asciiLine(u"张三"_s.toUtf8()),
            TextEncoding::Utf8, u"张三"_s },
        DetectionRow { "UTF-8 without mark, a rare character beside common ones",
            asciiLine(u"王喆"_s.toUtf8(), u"朋友"_s.toUtf8()), TextEncoding::Utf8, u"王喆"_s },
        DetectionRow {
            "UTF-8 with mark", "\xEF\xBB\xBF" + asciiLine(gbk(u"郑伟"_s)), TextEncoding::Utf8 },
        DetectionRow { "UTF-16 LE with mark, Excel's Unicode text",
            utf16(u"张三\t同事\t\t\t1976-2-25\r\n李四\t朋友"_s, true), TextEncoding::Utf16Le,
            u"张三"_s },
        DetectionRow { "UTF-16 BE with mark", utf16(u"张三\t同事\r\n"_s, false),
            TextEncoding::Utf16Be, u"张三"_s },
        DetectionRow {
            "CP936 euro sign", asciiLine(gbk(u"张三"_s) + '\x80'), TextEncoding::Gbk, u"张三€"_s }),
    test::BySituation());

TEST(EncodingChoice, ForcedEncodingReadsTheFileAgain)
{
    const QByteArray bytes = asciiLine(gbk(u"郑伟"_s));
    ImportReadOptions options;
    options.encoding = EncodingChoice::Utf8;
    const ImportReading utf8 = readImportBytes(bytes, ImportLayout::Tab, u"x.txt"_s, options);
    EXPECT_EQ(utf8.encoding, TextEncoding::Utf8);
    ASSERT_EQ(utf8.records.size(), 1);
    EXPECT_EQ(utf8.records[0].fields().About, QString::fromUtf8(gbk(u"郑伟"_s)));
    options.encoding = EncodingChoice::Utf16;
    EXPECT_EQ(readImportBytes(bytes, ImportLayout::Tab, u"x.txt"_s, options).encoding,
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
