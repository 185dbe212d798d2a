#include "calendar/datetext.h"
#include "calendar/describeday.h"
#include "store/birthdays.h"
#include "store/connection.h"
#include "support/birthdaybuilder.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"
#include "transfer/exportfile.h"
#include "transfer/importinsert.h"
#include "transfer/importreader.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

store::BirthdayRecord named(store::BirthdayRecord r, const QString &type)
{
    r.Type = type;
    return r;
}

// Every kind of record, the date texts as the date pickers write them.
QList<store::BirthdayRecord> everyKind()
{
    store::BirthdayRecord leap =
        named(test::lunarBirthday(u"闰月"_s, u"农历2006年闰07月15日"_s), u"家人"_s);
    leap.strGL = u"公历2006年 09月07日"_s;
    store::BirthdayRecord lunar =
        named(test::lunarBirthday(u"正月"_s, u"农历1976年 01月26日"_s), u"同学"_s);
    lunar.strGL = u"公历1976年 02月25日"_s;
    store::BirthdayRecord full =
        named(test::gregorianBirthday(u"O'Neil\"引号\""_s, u"公历1976年 02月25日"_s), u"其他"_s);
    full.strNL = u"农历1976年 01月26日"_s;
    full.Beizhu = u"他说\"你好\"'再见'"_s;
    full.intNums = 0;
    full.Duanxin = u"是"_s;
    full.Sex = u"女"_s;
    full.Class = u"销售部"_s;
    full.QQ_MSN = u"12345"_s;
    full.Company = u"某公司"_s;
    full.Address = u"北京市"_s;
    full.No = u"A-01"_s;
    store::BirthdayRecord undated = named(test::gregorianBirthday(u"无日期"_s, {}), u"同事"_s);
    undated.Duanxin = u"否"_s;
    QList<store::BirthdayRecord> list = { leap, lunar, full, undated };
    for (const QString &type : { u"朋友"_s, u"供应商"_s, u"客户"_s, u"代理商"_s })
        list << named(test::gregorianBirthday(u"张三"_s, u"公历1980年 05月12日"_s), type);
    for (store::BirthdayRecord &r : list) {
        if (r.strNL.isEmpty() && r.strGL == u"公历1980年 05月12日")
            r.strNL = u"农历1980年 03月28日"_s;
        if (r.Duanxin.isEmpty())
            r.Duanxin = u"否"_s;
    }
    return list;
}

QList<store::BirthdayRecord> loaded(store::Connection &db)
{
    QList<store::BirthdayRecord> list = store::LoadBirthdays(db).Birthdays;
    for (store::BirthdayRecord &r : list)
        r.Id = 0;
    std::sort(list.begin(), list.end(), [](const auto &a, const auto &b) {
        return std::pair(a.Type, a.About) < std::pair(b.Type, b.About);
    });
    return list;
}

class RoundTrip : public testing::Test
{
protected:
    ImportPreview readBack(const QList<store::BirthdayRecord> &present)
    {
        const ImportReading reading = ReadImportFile(folder.path(u"out.txt"_s), ImportLayout::Tab);
        EXPECT_FALSE(reading.failure);
        return BuildImportPreview(reading.records, present);
    }

    test::TempDatabase folder;
};

TEST_F(RoundTrip, ExportedRecordsImportIdentically)
{
    store::Connection source = folder.create(u"a.mdb"_s);
    for (const store::BirthdayRecord &r : everyKind())
        ASSERT_GT(store::AddBirthToMdb(source, r), 0);
    const QList<store::BirthdayRecord> before = loaded(source);
    ASSERT_TRUE(ExportBirthdays(before, folder.path(u"out.txt"_s)).ok);

    store::Connection target = folder.create(u"b.mdb"_s);
    const ImportPreview preview = readBack({});
    EXPECT_EQ(preview.tickedCount, before.size());
    const ImportOutcome outcome = AddImportedBirthdays(target, preview, ImportLayout::Tab);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.statusText,
        u"从外部制表符分割的文本文件导入生日,成功导入%1条生日提醒!"_s.arg(before.size()));
    const QList<store::BirthdayRecord> after = loaded(target);
    ASSERT_EQ(after.size(), before.size());
    for (qsizetype i = 0; i < after.size(); ++i) {
        // The tab layout has no place for the Uid: the imported birthday gets one of its own.
        store::BirthdayRecord imported = after[i];
        EXPECT_NE(imported.Uid, before[i].Uid);
        imported.Uid = before[i].Uid;
        EXPECT_EQ(imported, before[i]) << before[i].About.toStdString();
    }

    // The second import of the same file finds every record present.
    const ImportPreview again = readBack(store::LoadBirthdays(target).Birthdays);
    EXPECT_EQ(again.tickedCount, 0);
    EXPECT_EQ(again.rows.size(), before.size());
}

TEST_F(RoundTrip, DuplicatesWithinTheFileAreUnticked)
{
    folder.write(
        u"out.txt"_s, u"甲\t同事\n甲\t同事\n甲\t朋友\n 甲 \t同事\n乙\n乙\t客户\n"_s.toUtf8());
    const ImportPreview preview = readBack({});
    QList<bool> ticks;
    for (const PreviewRow &row : preview.rows)
        ticks << row.ticked;
    EXPECT_EQ(ticks, (QList<bool> { true, false, true, false, true, false }));
    EXPECT_EQ(preview.tickedCount, 3);
}

TEST_F(RoundTrip, FailedInsertAddsNothing)
{
    store::Connection db = folder.create();
    db.exec("create trigger refuse before insert on birthday when new.About = '坏' "
            "begin select raise(abort, 'refused'); end");
    folder.write(u"out.txt"_s, u"好\n坏\n另\n"_s.toUtf8());
    const ImportOutcome outcome = AddImportedBirthdays(db, readBack({}), ImportLayout::V31);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.statusText, u"生日数据库访问冲突,从v3.1导出的生日文件导入生日失败!"_s);
    EXPECT_FALSE(store::LoadBirthdays(db).HasBirthdays);
}

TEST(StoredBirthday, BuildsBothDateTexts)
{
    const ImportRecord lunar({}, u"2006-闰07-15"_s, true);
    EXPECT_EQ(StoredBirthday(lunar).strNL, u"农历2006年闰07月15日"_s);
    EXPECT_EQ(StoredBirthday(lunar).strGL, u"公历2006年 09月07日"_s);
    const ImportRecord gregorian({}, u"1976-2-25"_s, false);
    EXPECT_EQ(StoredBirthday(gregorian).strGL, u"公历1976年 02月25日"_s);
    EXPECT_EQ(StoredBirthday(gregorian).strNL, u"农历1976年 01月26日"_s);
    EXPECT_EQ(StoredBirthday(ImportRecord {}).strGL, QString());
}

// Every day the calendar describes, imported as a Gregorian and as a lunar date, is stored with
// the texts of its day description.
TEST(StoredBirthday, EveryDayGetsTheTextsOfItsDescription)
{
    // The reader takes no Gregorian date before this day.
    const QDate firstGregorian(1901, 3, 1);
    for (QDate day = calendar::FirstDescribedDay(); day <= calendar::LastDescribedDay();
         day = day.addDays(1)) {
        const std::optional<calendar::DayDescription> description = calendar::DescribeDay(day);
        ASSERT_TRUE(description) << day.toString(Qt::ISODate).toStdString();
        const QString gregorianText = calendar::GregorianText(day);

        const ImportRecord gregorian(
            {}, u"%1-%2-%3"_s.arg(day.year()).arg(day.month()).arg(day.day()), false);
        const store::BirthdayRecord byGregorian = StoredBirthday(gregorian);
        const bool read = day >= firstGregorian;
        ASSERT_EQ(byGregorian.strGL, read ? gregorianText : QString())
            << gregorian.date().toStdString();
        ASSERT_EQ(byGregorian.strNL, read ? description->lunarText : QString())
            << gregorian.date().toStdString();

        const calendar::LunarDate &lunar = description->lunar;
        const ImportRecord lunarRecord({},
            u"%1-%2%3-%4"_s.arg(lunar.year)
                .arg(lunar.isLeap ? u"闰"_s : QString())
                .arg(lunar.month, 2, 10, QChar(u'0'))
                .arg(lunar.day, 2, 10, QChar(u'0')),
            true);
        const store::BirthdayRecord byLunar = StoredBirthday(lunarRecord);
        ASSERT_EQ(byLunar.strNL, description->lunarText) << lunarRecord.date().toStdString();
        ASSERT_EQ(byLunar.strGL, gregorianText) << lunarRecord.date().toStdString();
    }
}

} // namespace
} // namespace natalis::transfer
