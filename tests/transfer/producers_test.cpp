#include "support/casename.h"
#include "support/qtprinters.h"
#include "transfer/importreader.h"
#include "transfer/vcardimport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

// One file per producer in producers/, byte for byte as that program wrote it: Excel's GBK CSV
// and UTF-16 text, WPS's UTF-8 CSV with a lunar column, Outlook's Chinese and English exports,
// the phones' vCards (Android's quoted-printable with soft breaks), and natalis's own CSV and
// vCard.
struct ProducerRow
{
    const char *situation;
    const char *file;
    const char16_t *encoding; // as the preview labels it
    // name|category|contact|date (lunar marked 农)|rule|days|sms|sex|company|department|remark|uid
    QStringList records;
    QStringList notes; // the report's lines, then the cards left out
};

const ProducerRow Producers[] = {
    { "Excel CSV", "excel.csv", u"GBK",
        { u"张三|同事|13812345678|1985-3-12|按公历提醒|7|否|男|||爱喝\"龙井\"|"_s,
            u"李四|朋友||1990-1-31|按公历提醒|7|否|女|||北京,海淀|"_s },
        { u"第3行: 联系方式'1.39123E+10'已被Excel改成科学计数法,号码已无法还原,没有导入"_s,
            u"第4行: '王五'没有生日,未导入"_s, u"1条记录没有生日,未导入:王五"_s } },
    { "Excel Unicode text", "excel-unicode.txt", u"UTF-16 LE",
        { u"王芳|客户|13800001111|1985-3-12|按公历提醒|7|否||||说\"好\" 再见|"_s,
            u"赵六|客户||1979-8-1|按公历提醒|7|否|||||"_s },
        { u"第2行: 引号内有换行,这条记录占第2至3行"_s,
            u"第2行: 生日备注中的换行符或制表符已改为空格"_s } },
    { "WPS CSV", "wps.csv", u"UTF-8",
        { u"孙七|客户|075512345678|1960-10-05|按公历提醒|7|否|||||"_s,
            u"周八|客户|13800003333|农2006-闰07-15|按农历提醒|7|否||||闰月生|"_s },
        {} },
    { "Outlook in Chinese", "outlook-zh.csv", u"GBK",
        { u"张三|同事|13812345678|1985-3-12|按公历提醒|7|否||某公司|||"_s },
        { u"第1行: 列'中间名'无法识别,已忽略"_s, u"第3行: '李四'没有生日,未导入"_s,
            u"1条记录没有生日,未导入:李四"_s } },
    { "Outlook in English (ASCII reads as GBK)", "outlook-en.csv", u"GBK",
        { u"JohnSmith|客户|13812345678|1985-3-12|按公历提醒|7|否||||Met in \"Shanghai\"|"_s,
            u"MaryJones|客户|01088886666|1990-12-1|按公历提醒|7|否|||||"_s },
        { u"第1行: 列'Middle Name'无法识别,已忽略"_s } },
    { "iPhone contacts", "iphone.vcf", u"UTF-8",
        { u"张三|朋友|13800138000|1980-5-12|按公历提醒|7|否|||||"_s,
            u"吴九|朋友||6-18|按公历提醒|7|否|||||"_s,
            u"郑十|朋友||1990-1-31|按公历提醒|7|否|||||7d0e6c4a-3f0b-4e0a-9b3a-5a4c2e1f0a11"_s },
        {} },
    { "Android contacts", "android.vcf", u"UTF-8",
        { u"李四|朋友|13912345678|1990-1-31|按公历提醒|7|否||||高中同学,每年聚会都来,喜欢吃辣,送礼物之前先问问她最近想要什么东西|"_s },
        { u"1张名片没有生日,未导入:无生日"_s } },
    { "our own CSV", "natalis.csv", u"UTF-8",
        { u"妈妈|家人|13800000000|农1950-10-28|按农历提醒|3|是|女||||a1b2c3d4-0000-4000-8000-000000000001"_s,
            u"老王|同事|||按公历提醒|7|否|男|某公司|销售部||a1b2c3d4-0000-4000-8000-000000000002"_s },
        {} },
    { "our own contacts", "natalis.vcf", u"UTF-8",
        { u"妈妈|家人|13800000000|农1950-10-28|按农历提醒|3|是|女||||a1b2c3d4-0000-4000-8000-000000000001"_s,
            u"老王|同事|||按公历提醒|7|否|男|某公司|销售部||a1b2c3d4-0000-4000-8000-000000000002"_s },
        {} },
};

using ProducerFile = testing::TestWithParam<ProducerRow>;

TEST_P(ProducerFile, GivesTheRecordsAndNotesOfItsPeople)
{
    const ProducerRow &row = GetParam();
    const QString path = QStringLiteral(NATALIS_PRODUCER_DIR "/") + QString::fromLatin1(row.file);
    const std::optional<ImportLayout> layout =
        detectImportLayout(path, readWholeImportFile(path).bytes);
    ASSERT_TRUE(layout);
    ImportReading reading;
    QStringList notes;
    if (*layout == ImportLayout::Vcf) {
        const VcardImportReading cards = readVcardImportFile(path);
        reading = cards.reading;
        notes << withoutBirthdayText(cards.withoutBirthday) << withoutYearText(cards.withoutYear);
        notes.removeAll(QString());
    } else {
        reading = readImportFile(path, *layout);
        for (const LineNote &note : reading.notes)
            notes << lineNoteText(note);
        notes << rowsWithoutBirthdayText(reading.withoutBirthday);
        notes.removeAll(QString());
    }
    ASSERT_FALSE(reading.failure) << reading.failure->boxText.toStdString();
    QStringList records;
    for (const ImportRecord &record : reading.records) {
        const store::BirthdayRecord f = record.fields();
        records << QStringList { f.About, f.Type, f.Tel,
            (record.dateIsLunar() ? u"农"_s : QString()) + record.date(), f.blnIsGL,
            QString::number(f.intNums), f.Duanxin, f.Sex, f.Company, f.Class, f.Beizhu,
            f.Uid.isNull() ? QString() : f.Uid.toString(QUuid::WithoutBraces) }
                       .join(u'|');
    }
    EXPECT_EQ(encodingName(reading.encoding), QString::fromUtf16(row.encoding));
    EXPECT_EQ(records, row.records);
    EXPECT_EQ(notes, row.notes);
}

INSTANTIATE_TEST_SUITE_P(
    Producers, ProducerFile, testing::ValuesIn(Producers), test::BySituation());

} // namespace
} // namespace natalis::transfer
