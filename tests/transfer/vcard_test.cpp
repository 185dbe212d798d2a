#include "support/casename.h"
#include "support/everykind.h"
#include "support/qtprinters.h"
#include "transfer/importreader.h"
#include "transfer/vcardexport.h"
#include "transfer/vcardimport.h"
#include "transfer/vcardparser.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

QString samplePath(const char *name)
{
    return QStringLiteral(NATALIS_VCARD_DIR "/") + QString::fromLatin1(name);
}

struct SampleRow
{
    const char *situation;
    const char *file;
    QStringList cards; // name|category|contact|date (lunar marked 农)|company|address|remark|sex
    QStringList withoutBirthday;
};

const SampleRow SampleRows[] = {
    { "version 2.1 with quoted printable and charsets", "v21.vcf",
        { u"张三|朋友|13800138000|1980-5-12|某公司|北京市 中关村大街1号|老同学 喜欢茶|"_s,
            u"王五|朋友|075512345678|1975-11-3|||同事的朋友|"_s },
        { u"Nobody"_s } },
    { "version 3.0 after RFC 2426", "v30.vcf",
        { u"FrankDawson|朋友|+19196769515|1953-10-15|Lotus Development Corporation|NC Raleigh 6544 "
          u"Battleford Drive|This fax number is operational 0800 to 1715 EST, Mon-Fri.|"_s,
            u"李四|同事|13912345678|1990-1-31|某某科技有限公司||"_s + u"很长的备注"_s.repeated(8)
                + u'|' },
        { u"TimHowes"_s } },
    { "version 4.0 after RFC 6350", "v40.vcf",
        { u"SimonPerreault|朋友|+14182626501|2-3|Viagenie|QC Quebec 2875 Laurier Suite D2-630||男"_s,
            u"赵六|朋友|13700001111|1985-4-12||广东省 深圳市 南山区科技园|第一行 第二行, 含逗号|女"_s },
        {} },
    { "Apple lunar birthdays", "apple.vcf",
        { u"孙七|朋友|13800002222|农1960-08-15||||"_s,
            u"周八|朋友|13800003333|农2006-闰07-15||||"_s, u"吴九|朋友||3-8||||"_s },
        {} },
};

using VcardSample = testing::TestWithParam<SampleRow>;

TEST_P(VcardSample, ImportsTheRightFields)
{
    const SampleRow &row = GetParam();
    const VcardImportReading read = readVcardImportFile(samplePath(row.file));
    ASSERT_FALSE(read.reading.failure) << read.reading.failure->boxText.toStdString();
    EXPECT_EQ(read.withoutBirthday, row.withoutBirthday);
    QStringList cards;
    for (const ImportRecord &record : read.reading.records) {
        const store::BirthdayRecord f = record.fields();
        cards << QStringList { f.About, f.Type, f.Tel,
            (record.dateIsLunar() ? u"农"_s : QString()) + record.date(), f.Company, f.Address,
            f.Beizhu, f.Sex }
                     .join(u'|');
        EXPECT_EQ(f.blnIsGL, record.dateIsLunar() ? u"按农历提醒"_s : u"按公历提醒"_s);
        EXPECT_EQ(f.intNums, 7);
        EXPECT_EQ(f.Duanxin, u"否"_s);
    }
    EXPECT_EQ(cards, row.cards);
}

INSTANTIATE_TEST_SUITE_P(Vcard, VcardSample, testing::ValuesIn(SampleRows), test::BySituation());

TEST(Vcard, ParserReadsParametersOfEveryVersion)
{
    const QList<Vcard> cards = parseVcards("BEGIN:VCARD\r\nVERSION:4.0\r\n"
                                           "item2.TEL;VALUE=uri;TYPE=\"work,cell\":tel:+86-1\r\n"
                                           "TEL;HOME;CELL:2\r\nTEL;type=Cell,voice:3\r\n"
                                           "END:VCARD\r\ntrailing garbage\r\n");
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards[0].version, u"4.0"_s);
    ASSERT_EQ(cards[0].properties.size(), 3);
    for (const VcardProperty &tel : cards[0].properties) {
        EXPECT_EQ(tel.name, u"TEL"_s);
        EXPECT_TRUE(tel.hasType(u"cell"));
    }
    EXPECT_EQ(cards[0].properties[0].parameter(u"value"), u"uri"_s);
}

TEST(Vcard, ValueWithoutCharsetIsUtf8OrElseTheAnsiCodePage)
{
    // 张三 in GBK bytes, as older phones write 2.1 cards without saying so; 李四 in UTF-8.
    const QList<Vcard> cards = parseVcards("BEGIN:VCARD\r\nVERSION:2.1\r\nFN:\xD5\xC5\xC8\xFD\r\n"
                                           "NOTE:\xE6\x9D\x8E\xE5\x9B\x9B\r\nEND:VCARD\r\n");
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards[0].first(u"FN")->text(), u"张三"_s);
    EXPECT_EQ(cards[0].first(u"NOTE")->text(), u"李四"_s);
}

TEST(Vcard, FilesWithoutAnyImportableCardFail)
{
    const VcardImportReading none =
        readVcardImportBytes("BEGIN:VCARD\r\nFN:无生日\r\nEND:VCARD\r\n", u"b.vcf"_s);
    ASSERT_TRUE(none.reading.failure);
    EXPECT_EQ(none.reading.failure->boxText, u"b.vcf中的名片都没有生日!"_s);
    EXPECT_EQ(none.withoutBirthday, QStringList { u"无生日"_s });
    // The generic reader takes the same route for the layout.
    EXPECT_TRUE(readImportBytes("", ImportLayout::Vcf, u"a.vcf"_s).failure);
}

// Apple marks a birthday without a year by writing 1604; the mark beside another year is wrong,
// and the year written is kept.
TEST(Vcard, AppleOmitMarkNamingAnotherYearKeepsTheYear)
{
    const VcardImportReading read = readVcardImportBytes(
        "BEGIN:VCARD\r\nFN:王芳\r\nBDAY;X-APPLE-OMIT-YEAR=1604:1985-06-18\r\nEND:VCARD\r\n",
        u"c.vcf"_s);
    ASSERT_EQ(read.reading.records.size(), 1);
    EXPECT_EQ(read.reading.records[0].date(), u"1985-6-18"_s);
}

TEST(Vcard, AppleChineseDates)
{
    EXPECT_EQ(appleChineseDate(1984, 1, false, 1), u"007800010101"_s);
    EXPECT_EQ(appleChineseDate(1983, 1, false, 1), u"007700600101"_s);
    EXPECT_EQ(appleChineseDate(2044, 1, false, 1), u"007900010101"_s);
}

TEST(Vcard, ExportedCardsAreFoldedUtf8Version30)
{
    const QByteArray bytes = buildVcards(test::everyKindOfBirthday());
    for (const QByteArray &line : bytes.split('\n')) {
        EXPECT_LE(line.size(), 76);
        EXPECT_TRUE(line.isEmpty() || line.endsWith('\r'));
    }
    EXPECT_EQ(bytes.count("VERSION:3.0\r\n"), 8);
    EXPECT_TRUE(bytes.contains(u"ORG:某公司\\,分公司;销售部\r\n"_s.toUtf8()));
    EXPECT_TRUE(bytes.contains("TEL;TYPE=CELL:13800000000\r\n"));
    EXPECT_TRUE(bytes.contains("TEL;TYPE=VOICE:01062345678\r\n"));
}

} // namespace
} // namespace natalis::transfer
