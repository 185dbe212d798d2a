#include "store/categories.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/fullfilesystem.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"
#include "transfer/exportfile.h"
#include "transfer/filereplace.h"
#include "transfer/icalendarexport.h"
#include "transfer/vcardexport.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

// The rule's date as the export writes it is the round trips'; a record whose date they cannot
// show gets none.
TEST(ExportFile, NoDateWithoutAReadableGregorianText)
{
    EXPECT_EQ(exportDateField(test::lunarBirthday(u"乙"_s, u"农历2006年 07月15日"_s)), QString());
    EXPECT_EQ(exportDateField(test::gregorianBirthday(u"甲"_s, u"1976-2-25"_s)), QString());
}

// GBK without GB18030's four-byte sequences: € is CP936's 0x80; what GBK cannot hold (an emoji, a
// Thai letter, a lone surrogate) becomes "?" and is counted.
TEST(ExportFile, LineInGbkWithCrLfUnencodableCharactersCounted)
{
    store::BirthdayRecord r = test::gregorianBirthday(u" 张三 "_s, u"公历1976年 02月25日"_s);
    r.Type = u"同事"_s;
    r.Duanxin = u"是"_s;
    r.Sex = u"男"_s;
    r.Beizhu = u"a\tb€😀x\u0E01"_s + QChar(0xD800);
    r.No = u"7"_s;
    test::TempDatabase folder;
    const ExportResult result = exportBirthdays({ r }, folder.path(u"out.txt"_s));
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.unencodable, 3);
    // 张三 同事 ... 按公历提醒 3 是 男, from the GB2312 code chart.
    const QByteArray expected = "\xD5\xC5\xC8\xFD\t\xCD\xAC\xCA\xC2\t13800000000\ta b\x80?x??\t"
                                "1976-2-25\t\xB0\xB4\xB9\xAB\xC0\xFA\xCC\xE1\xD0\xD1\t3\t\xCA\xC7\t"
                                "\xC4\xD0\t\t\t\t\t7\r\n";
    EXPECT_EQ(folder.bytes(u"out.txt"_s), expected);
    EXPECT_EQ(result.lossyNames, QStringList { u"张三"_s });
    EXPECT_EQ(result.statusText,
        u"生日导出到"_s + folder.path(u"out.txt"_s)
            + u",但其中3个字符无法用ANSI编码保存,已被替换为\"?\"(张三),这些生日请用CSV格式导出"_s);
}

TEST(ExportFile, CategoriesInFixedOrderListOrderWithin)
{
    QList<store::BirthdayRecord> list;
    const QStringList types = { u"其他"_s, u"同事"_s, u"朋友"_s, u"客户"_s, u"同学"_s, u"家人"_s,
        u"供应商"_s, u"代理商"_s, u"同事"_s, u"邻居"_s };
    for (qsizetype i = 0; i < types.size(); ++i) {
        list << test::gregorianBirthday(QString::number(i), u"公历1980年 05月12日"_s);
        list.last().Type = types[i];
    }
    test::TempDatabase folder;
    const ExportResult result = exportBirthdays(list, folder.path(u"out.txt"_s));
    EXPECT_EQ(result.written, 9);
    EXPECT_EQ(result.skipped, 1);
    QStringList written;
    for (const QByteArray &line : folder.bytes(u"out.txt"_s).split('\n')) {
        if (!line.isEmpty())
            written << QString::fromUtf8(line.left(line.indexOf('\t')));
    }
    EXPECT_EQ(written,
        (QStringList { u"1"_s, u"8"_s, u"3"_s, u"7"_s, u"6"_s, u"5"_s, u"4"_s, u"2"_s, u"0"_s }));
}

TEST(ExportFile, EmptyListGivesEmptyFileAndSuccess)
{
    test::TempDatabase folder;
    folder.write(u"out.txt"_s, "old content that must go");
    const ExportResult result = exportBirthdays({}, folder.path(u"out.txt"_s));
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(folder.bytes(u"out.txt"_s), QByteArray());
}

enum class Export { Tab, Csv, Ics, Vcf };

const std::pair<const char *, Export> Exports[] = { { "tab-separated text", Export::Tab },
    { "spreadsheet file", Export::Csv }, { "phone calendar", Export::Ics },
    { "phone contacts", Export::Vcf } };

// Exports one birthday to path; whether it did and the status bar's text.
std::pair<bool, QString> exportOne(Export kind, const QString &path, const QString &openDatabase)
{
    const QList<store::BirthdayRecord> one { test::gregorianBirthday(
        u"甲"_s, u"公历1980年 05月12日"_s) };
    if (kind == Export::Ics) {
        const IcsExportResult result = exportIcs(one, path,
            { .fromYear = 2025, .stamp = QDateTime(QDate(2025, 1, 1), QTime(8, 0)) }, openDatabase);
        return { result.ok, result.statusText };
    }
    if (kind == Export::Vcf) {
        const VcardExportResult result = exportVcards(one, path, openDatabase);
        return { result.ok, result.statusText };
    }
    ExportOptions options;
    options.format = kind == Export::Csv ? ExportFormat::Csv : ExportFormat::Tab;
    options.openDatabase = openDatabase;
    const ExportResult result = exportBirthdays(one, path, options);
    return { result.ok, result.statusText };
}

struct RefusedRow
{
    const char *situation;
    QString target; // a name in the test folder (natalis.mdb is in use), or an absolute path
    QString reason;
};

const RefusedRow RefusedRows[] = {
    { "the open database", u"natalis.mdb"_s, u"该文件是正在使用的生日数据库,原有文件没有改动!"_s },
    { "another database of ours", u"other.mdb"_s, u"该文件是生日数据库,原有文件没有改动!"_s },
    { "a folder", u"/tmp"_s, u"该文件不是普通文件,原有文件没有改动!"_s },
    { "a folder that does not exist", u"missing/out.txt"_s, u"文件夹不存在!"_s },
};

using RefusedTarget = testing::TestWithParam<RefusedRow>;

TEST_P(RefusedTarget, EveryExportLeavesTheFileAsItWas)
{
    const RefusedRow &row = GetParam();
    test::TempDatabase folder;
    const store::Connection open = folder.create();
    const store::Connection other = folder.create(u"other.mdb"_s);
    const QString path = row.target.startsWith(u'/') ? row.target : folder.path(row.target);
    const QByteArray before = folder.bytes(u"natalis.mdb"_s);
    for (const auto &[format, kind] : Exports) {
        SCOPED_TRACE(format);
        const auto [ok, status] = exportOne(kind, path, folder.path());
        EXPECT_FALSE(ok);
        EXPECT_EQ(status, u"生日导出到"_s + path + u"失败,"_s + row.reason);
        EXPECT_EQ(folder.bytes(u"natalis.mdb"_s), before);
        EXPECT_EQ(folder.files(), (QStringList { u"natalis.mdb"_s, u"other.mdb"_s }));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Export, RefusedTarget, testing::ValuesIn(RefusedRows), test::BySituation());

TEST(ExportFile, EveryExportOnAFullDiskKeepsTheOldFileAndSaysWhy)
{
    for (const auto &[format, kind] : Exports) {
        SCOPED_TRACE(format);
        test::FullFileSystem disk;
        if (!disk.mounted())
            GTEST_SKIP() << "mounting a small tmpfs needs root";
        const QByteArray old = "an export the user keeps\r\n";
        {
            QFile file(disk.path(u"old.txt"_s));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_EQ(file.write(old), old.size());
        }
        disk.fill();

        const QString path = disk.path(u"old.txt"_s);
        const auto [ok, status] = exportOne(kind, path, QString());
        EXPECT_FALSE(ok);
        EXPECT_EQ(status, u"生日导出到"_s + path + u"失败,磁盘空间不足,原有文件没有改动!"_s);
        EXPECT_EQ(disk.bytes(u"old.txt"_s), old);
        EXPECT_EQ(disk.files(), (QStringList { u"filler"_s, u"old.txt"_s }));
    }
}

void makeOlder(const QString &path, int seconds)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(
        QDateTime::currentDateTime().addSecs(-seconds), QFileDevice::FileModificationTime);
}

// Files beside a write's target: only a killed write's fresh file goes. A second write into the
// folder at the same time keeps the first's fresh file, however old, while it is written.
TEST(ReplaceFile, RemovesOnlyTheLeftoversOfKilledWrites)
{
    test::TempDatabase folder;
    makeOlder(folder.path(u".生日.txt.0a1b2c3.part"_s), 3600); // a killed write's
    const QStringList kept { u".other.txt.2g3h4i5.part"_s /* just made, not yet locked */,
        u".video.mp4.part"_s /* another program's */, u"other.txt"_s, u"out.txt"_s };
    makeOlder(folder.path(kept[0]), 0);
    makeOlder(folder.path(kept[1]), 3600);
    const auto produce = [&](const WriteChunk &write) {
        for (const QString &own :
            QDir(folder.folder()).entryList({ u".out.txt.*"_s }, QDir::Files | QDir::Hidden))
            makeOlder(folder.path(own), 3600);
        EXPECT_EQ(replaceFileContent(folder.path(u"other.txt"_s), "other"), 0);
        return write("new");
    };
    ASSERT_EQ(replaceFileContent(folder.path(u"out.txt"_s), produce), 0);
    EXPECT_EQ(folder.bytes(u"out.txt"_s), "new");
    EXPECT_EQ(QDir(folder.folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name), kept);
}

} // namespace
} // namespace natalis::transfer
