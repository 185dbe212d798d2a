#include "calendar/datetext.h"
#include "calendar/describeday.h"
#include "store/birthdays.h"
#include "store/connection.h"
#include "store/database.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/everykind.h"
#include "support/fullfilesystem.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"
#include "transfer/csvfile.h"
#include "transfer/csvlayout.h"
#include "transfer/exportfile.h"
#include "transfer/importinsert.h"
#include "transfer/importpreview.h"
#include "transfer/importreader.h"
#include "transfer/vcardexport.h"

#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

struct FormatCase
{
    const char *situation;
    std::function<bool(const QList<store::BirthdayRecord> &, const QString &path)> write;
    ImportLayout layout;
    QByteArray begins; // the file's first bytes
    bool keepsUid; // false: the file has no room for it, the import gives new ones
    const char16_t *status; // after adding the records
};

bool exportAs(ExportFormat format, const QList<store::BirthdayRecord> &list, const QString &path)
{
    ExportOptions options;
    options.format = format;
    return exportBirthdays(list, path, options).ok;
}

const FormatCase Formats[] = {
    { "tab-separated text", std::bind_front(exportAs, ExportFormat::Tab), ImportLayout::Tab, {},
        false, u"从外部制表符分割的文本文件导入生日,成功导入8条生日提醒!" },
    { "spreadsheet file", std::bind_front(exportAs, ExportFormat::Csv), ImportLayout::Csv,
        "\xEF\xBB\xBF" + csvRecord(csvColumnTitles()).toUtf8() + "\r\n", true,
        u"从CSV文件(Excel/WPS)导入生日,成功导入8条生日提醒!" },
    { "phone contacts",
        [](const auto &list, const QString &path) { return exportVcards(list, path, {}).ok; },
        ImportLayout::Vcf, "BEGIN:VCARD\r\nVERSION:3.0\r\n", true,
        u"从手机通讯录导入(*.vcf),成功导入8条生日提醒!" },
};

// What the file carried of the birthdays: every stored field but the database's row number,
// and the Uid where the file has room for it.
QStringList carried(const QList<store::BirthdayRecord> &list, bool withUid)
{
    QStringList result;
    for (const store::BirthdayRecord &r : list) {
        result << QStringList { r.Type, r.About, r.Tel, r.strGL, r.strNL, r.blnIsGL, r.Company,
            r.Address, r.Beizhu, QString::number(r.intNums), r.Duanxin, r.Sex, r.Class, r.QQ_MSN,
            r.No, r.DxSend, withUid ? r.Uid.toString() : QString() }
                      .join(u'|');
    }
    result.sort();
    return result;
}

using RoundTrip = testing::TestWithParam<FormatCase>;

// Exported from one database and imported into another, every birthday comes back as it was,
// with its Uid where the file carries it and a new one of its own where not; a second import
// of the same file finds every one present.
TEST_P(RoundTrip, ExportedRecordsImportIdentically)
{
    const FormatCase &format = GetParam();
    test::TempDatabase folder;
    store::Connection source = folder.create(u"a.mdb"_s);
    for (const store::BirthdayRecord &r : test::everyKindOfBirthday())
        ASSERT_GT(store::AddBirthToMdb(source, r, test::EnteredAt), 0);
    const QList<store::BirthdayRecord> before = store::LoadBirthdays(source).Birthdays.toList();
    const QString file = folder.path(u"out"_s);
    ASSERT_TRUE(format.write(before, file));
    EXPECT_TRUE(folder.bytes(u"out"_s).startsWith(format.begins));

    store::Connection target = folder.create(u"b.mdb"_s);
    const ImportReading reading = readImportFile(file, format.layout);
    ASSERT_FALSE(reading.failure) << reading.failure->boxText.toStdString();
    EXPECT_TRUE(reading.notes.isEmpty());
    const ImportOutcome outcome = addImportedBirthdays(
        target, buildImportPreview(reading.records, {}), format.layout, test::EnteredAt);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.statusText, QString::fromUtf16(format.status));
    const QList<store::BirthdayRecord> after = store::LoadBirthdays(target).Birthdays.toList();
    EXPECT_EQ(carried(after, format.keepsUid), carried(before, format.keepsUid));
    for (const store::BirthdayRecord &r : after) {
        EXPECT_FALSE(r.Uid.isNull());
        EXPECT_EQ(std::any_of(before.begin(), before.end(),
                      [&](const store::BirthdayRecord &b) { return b.Uid == r.Uid; }),
            format.keepsUid);
    }

    const ImportPreview again = buildImportPreview(
        readImportFile(file, format.layout).records, store::LoadBirthdays(target).Birthdays);
    EXPECT_EQ(again.tickedCount, 0);
    EXPECT_EQ(again.rows.size(), after.size());
    EXPECT_EQ(again.presentCount, format.keepsUid ? after.size() : 0);
}

INSTANTIATE_TEST_SUITE_P(Files, RoundTrip, testing::ValuesIn(Formats), test::BySituation());

ImportPreview previewOf(const QByteArray &text)
{
    return buildImportPreview(readImportBytes(text, ImportLayout::Tab, u"x.txt"_s).records, {});
}

TEST(ImportPreviewTest, DuplicatesWithinTheFileAreUnticked)
{
    const ImportPreview preview =
        previewOf(u"甲\t同事\n甲\t同事\n甲\t朋友\n 甲 \t同事\n乙\n乙\t客户\n"_s.toUtf8());
    QList<bool> ticks;
    for (const PreviewRow &row : preview.rows)
        ticks << row.ticked;
    EXPECT_EQ(ticks, (QList<bool> { true, false, true, false, true, false }));
    EXPECT_EQ(preview.tickedCount, 3);
}

// Where a failed import runs (a roomy folder where the database refuses the last row, or a full
// disk), and the cause its message names.
struct FailedImportRow
{
    const char *situation;
    bool onFullDisk;
    QString cause;
};
using FailedImport = testing::TestWithParam<FailedImportRow>;

TEST_P(FailedImport, AddsNothingAndNamesTheCause)
{
    const auto &[situation, onFullDisk, cause] = GetParam();
    test::FullFileSystem disk;
    test::TempDatabase folder;
    if (onFullDisk && !disk.mounted())
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    std::optional<store::Connection> db =
        store::OpenBirthDb(onFullDisk ? disk.path(u"n.mdb"_s) : folder.path());
    ASSERT_TRUE(db);
    db->exec("create trigger refuse before insert on birthday when new.About = '坏' "
             "begin select raise(abort, 'refused'); end");
    if (onFullDisk)
        disk.fill();
    QByteArray lines;
    for (int person = 0; person < 2000; ++person)
        lines += u"人%1\t同事\t\t%2\n"_s.arg(person).arg(QString(60, u'备')).toUtf8();
    const ImportOutcome outcome = addImportedBirthdays(
        *db, previewOf(lines + u"坏\n"_s.toUtf8()), ImportLayout::V31, test::EnteredAt);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.statusText, cause + u",从v3.1导出的生日文件导入生日失败!"_s);
    EXPECT_FALSE(store::LoadBirthdays(*db).HasBirthdays);
}

const FailedImportRow FailedImports[] = {
    { "a row the database refuses", false, u"生日数据库访问冲突"_s },
    { "a full disk", true, u"磁盘空间不足"_s },
};
INSTANTIATE_TEST_SUITE_P(
    Import, FailedImport, testing::ValuesIn(FailedImports), test::BySituation());

// Every day the calendar describes, imported as a Gregorian and as a lunar date, is stored with
// the texts of its day description.
TEST(storedBirthday, EveryDayGetsTheTextsOfItsDescription)
{
    // The reader takes no Gregorian date before this day.
    const QDate firstGregorian(1901, 3, 1);
    for (QDate day = calendar::firstDescribedDay(); day <= calendar::lastDescribedDay();
         day = day.addDays(1)) {
        const std::optional<calendar::DayDescription> description = calendar::DescribeDay(day);
        ASSERT_TRUE(description) << day.toString(Qt::ISODate).toStdString();
        const QString gregorianText = calendar::gregorianText(day);

        const ImportRecord gregorian(
            {}, u"%1-%2-%3"_s.arg(day.year()).arg(day.month()).arg(day.day()), false);
        const store::BirthdayRecord byGregorian = storedBirthday(gregorian);
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
        const store::BirthdayRecord byLunar = storedBirthday(lunarRecord);
        ASSERT_EQ(byLunar.strNL, description->lunarText) << lunarRecord.date().toStdString();
        ASSERT_EQ(byLunar.strGL, gregorianText) << lunarRecord.date().toStdString();
    }
}

} // namespace
} // namespace natalis::transfer
