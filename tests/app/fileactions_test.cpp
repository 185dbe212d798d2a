// The file and settings menus' actions as the user goes through their windows: the chooser, the
// version choice, the import preview, the overwrite question and the messages. What the files
// hold is tested in tests/transfer, the dialogs' rules in tests/dialogs and tests/sms.

#include "app/phoneactions.h"
#include "app/smssetupaction.h"
#include "app/transferactions.h"
#include "dialogs/filechooser.h"
#include "dialogs/frmdxsetup.h"
#include "dialogs/frmfilein.h"
#include "dialogs/frmsetup.h"
#include "dialogs/frmverselect.h"
#include "store/settings.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/filedialoganswer.h"
#include "support/programfixture.h"
#include "transfer/csvlayout.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace natalis;
using namespace natalis::app;
using namespace Qt::StringLiterals;

namespace {

// Three lines of this version's export in GBK, written byte for byte: 张三 (同事), 李四 (客户),
// and 张三 (同事) again.
QByteArray gbkTabFile()
{
    const QByteArray zhangSan = "\xD5\xC5\xC8\xFD\t\xCD\xAC\xCA\xC2\t13812345678\t\t1976-2-25\t"
                                "\xB0\xB4\xB9\xAB\xC0\xFA\xCC\xE1\xD0\xD1\t3\t\xB7\xF1\r\n";
    const QByteArray liSi = "\xC0\xEE\xCB\xC4\t\xBF\xCD\xBB\xA7\t\t\t1980-1-1\t"
                            "\xB0\xB4\xB9\xAB\xC0\xFA\xCC\xE1\xD0\xD1\t7\t\xB7\xF1\r\n";
    return zhangSan + liSi + zhangSan;
}

// Two cards with a birthday (one naming its category) and one without.
const QByteArray Contacts = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:张三\r\nTEL;TYPE=CELL:+86 138 0013 "
                            "8000\r\nBDAY:1980-05-12\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:李四\r\nBDAY:19900131\r\n"
                            "CATEGORIES:同事\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:王五\r\nEND:VCARD\r\n";

// Plays the user: picks fileName in the test folder, chooses the version option, chooses the
// category and the encoding asked for, and confirms or cancels the preview; records what each
// window showed.
class FileActions : public test::ProgramTest
{
protected:
    widgets::ModalRunner runner()
    {
        return [this](QDialog &dialog) {
            if (qobject_cast<QFileDialog *>(&dialog)) {
                chooserTitles << dialog.windowTitle();
                test::answerFileDialog(dialog, database.path(fileName));
            } else if (auto *version = qobject_cast<dialogs::frmVerSelect *>(&dialog)) {
                version->selectVersion(versionOption);
                version->cmdOK_Click();
            } else if (auto *preview = qobject_cast<dialogs::frmFileIn *>(&dialog)) {
                // The user acts once the worker the window started has ended.
                const auto settled = [preview] {
                    ASSERT_TRUE(QTest::qWaitFor([preview] { return !preview->isWorking(); }));
                };
                settled();
                if (preview->firstReading())
                    return;
                previewStatus = preview->statusText();
                columns = preview->columnChoices();
                for (const auto &[column, field] : columnFields) {
                    preview->chooseColumnField(column, transfer::sheetFieldNamed(field));
                    settled();
                }
                if (!category.isEmpty())
                    preview->selectCategory(category);
                ticks.clear();
                for (int row = 0; row < preview->rowCount(); ++row)
                    ticks << preview->isRowTicked(row);
                counts = preview->findChild<QLabel *>(u"lblInAllNums"_s)->text() + u'/'
                    + preview->findChild<QLabel *>(u"lblInValidNums"_s)->text();
                confirmable = preview->canConfirm();
                report = preview->reportLines();
                if (chooseEncoding >= 0) {
                    preview->chooseEncoding(chooseEncoding);
                    settled();
                }
                encoding = preview->encodingText();
                firstName = preview->findChild<QTreeView *>(u"ListView2"_s)
                                ->model()
                                ->index(0, 0)
                                .data()
                                .toString();
                if (confirmPreview && confirmable) {
                    preview->cmdOK_Click();
                    settled();
                } else
                    preview->cmdNo_Click();
            }
        };
    }

    StatusSink statusSink()
    {
        return [this](const QString &text) { status = text; };
    }

    bool import(ImportMenu menu = ImportMenu::TabFile)
    {
        const bool added =
            runImport(nullptr, context, messages, clock, menu, statusSink(), runner());
        if (added)
            reloadBirthdays(context, messages);
        return added;
    }

    QStringList storedNames()
    {
        QStringList names;
        const store::BirthdayLoad load = store::LoadBirthdays(*context.DbConnection);
        for (const store::BirthdayRecord &b : load.Birthdays) {
            if (load.HasBirthdays)
                names << b.About.trimmed() + u'/' + b.Type.trimmed() + u'/' + b.Tel.trimmed();
        }
        names.sort();
        return names;
    }

    QString fileName = u"list.txt"_s;
    int versionOption = 0;
    QList<std::pair<int, QString>> columnFields; // chosen in a sheet's column boxes
    QStringList columns; // the column boxes as the preview opened
    QString category; // chosen in the preview of contacts
    int chooseEncoding = -1; // cboEncoding's item to choose in the preview
    bool confirmPreview = true;
    QStringList chooserTitles;
    QString previewStatus, counts, encoding, firstName, status;
    QList<bool> ticks;
    QStringList report;
    bool confirmable = false;
};

TEST_F(FileActions, ImportPreviewAddsTickedRowsOnce)
{
    database.write(u"list.txt"_s, gbkTabFile());
    ASSERT_TRUE(import());
    EXPECT_EQ(chooserTitles, QStringList { u"从外部制表符分割的文本文件导入生日"_s });
    EXPECT_EQ(ticks, (QList<bool> { true, true, false }));
    EXPECT_EQ(counts, u"3/2"_s);
    EXPECT_EQ(encoding, u"(按GBK读取)"_s);
    EXPECT_EQ(status, u"从外部制表符分割的文本文件导入生日,成功导入2条生日提醒!"_s);
    EXPECT_EQ(storedNames(), (QStringList { u"张三/同事/13812345678"_s, u"李四/客户/"_s }));

    EXPECT_FALSE(import());
    EXPECT_EQ(ticks, (QList<bool> { false, false, false }));
    EXPECT_FALSE(confirmable);
}

TEST_F(FileActions, PreviewReadsTheFileAgainInTheChosenEncoding)
{
    // 郑伟 in GBK is also valid UTF-8; the second line's date does not exist.
    const QByteArray zhengWei = "\xD6\xA3\xCE\xB0";
    database.write(
        u"list.txt"_s, zhengWei + "\t\t13912345678\t\t1976-2-25\r\nAl\t\t\t\t2023-2-30\r\n");
    confirmPreview = false;
    chooseEncoding = 2; // UTF-8
    EXPECT_FALSE(import());
    EXPECT_EQ(report, QStringList { u"第2行: 日期'2023-2-30'无效,按无日期导入"_s });
    EXPECT_EQ(encoding, u"(按UTF-8读取)"_s);
    EXPECT_EQ(firstName, QString::fromUtf8(zhengWei));
}

// A sheet whose titles natalis does not know opens without rows; the user maps its columns, and
// the same sheet opens mapped the next time.
TEST_F(FileActions, SheetColumnsMappedByTheUserAreRemembered)
{
    database.write(u"sheet.csv"_s,
        u"Wer,Wann,Handy\r\n张三,1980-5-12,13800000000\r\n李四,1990-1-31,\r\n"_s.toUtf8());
    fileName = u"sheet.csv"_s;
    columnFields = { { 0, u"生日名称"_s }, { 1, u"公历生日"_s }, { 2, u"联系方式"_s } };
    ASSERT_TRUE(import(ImportMenu::CsvFile));
    EXPECT_EQ(columns, (QStringList { u"不导入"_s, u"不导入"_s, u"不导入"_s }));
    EXPECT_EQ(previewStatus.left(6), u"标题行中没有"_s);
    EXPECT_EQ(storedNames(), (QStringList { u"张三/客户/13800000000"_s, u"李四/客户/"_s }));

    columnFields.clear();
    EXPECT_FALSE(import(ImportMenu::CsvFile));
    EXPECT_EQ(columns, (QStringList { u"生日名称"_s, u"公历生日"_s, u"联系方式"_s }));
    EXPECT_EQ(counts, u"2/0"_s);
}

struct FailureRow
{
    const char *situation;
    int versionOption;
    QString fileName;
    QByteArray content;
    QString title;
    QString textAfterPath; // the message box text after the file's path
    friend void PrintTo(const FailureRow &row, std::ostream *os) { *os << row.situation; }
};

class ImportFailures : public FileActions, public testing::WithParamInterface<FailureRow>
{
};

TEST_P(ImportFailures, MessageAndNothingAdded)
{
    const FailureRow &row = GetParam();
    versionOption = row.versionOption;
    fileName = row.fileName;
    if (!row.content.isNull())
        database.write(row.fileName, row.content);
    EXPECT_FALSE(import(ImportMenu::OldVersions));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, row.title);
    EXPECT_EQ(messages.shown[0].text, database.path(row.fileName) + row.textAfterPath);
    EXPECT_TRUE(ticks.isEmpty()) << "no preview";
    EXPECT_TRUE(storedNames().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Rows, ImportFailures,
    testing::Values(FailureRow { "empty v3.1 file", 0, u"old.txt"_s, QByteArray(""),
                        u"从v3.1导出的生日文件导入生日"_s, u"为空!"_s },
        FailureRow { "empty v2.0 file", 2, u"old.txt"_s, QByteArray("\r\n"),
            u"从v2.0导出的生日文件导入生日"_s, u"文件为空!"_s },
        FailureRow { "missing v1.0 birth.txt", 3, u"birth.txt"_s, QByteArray(), u"生日导入"_s,
            u"不存在"_s }),
    test::BySituation());

struct ReplaceRow
{
    const char *situation;
    QString fileName;
    bool contacts; // the phone's contacts file, else the tab-separated text
    QString chooserTitle;
    QByteArray written; // what the new file begins with
    friend void PrintTo(const ReplaceRow &row, std::ostream *os) { *os << row.situation; }
};

class ExportReplacing : public FileActions, public testing::WithParamInterface<ReplaceRow>
{
};

TEST_P(ExportReplacing, AsksBeforeReplacingAFile)
{
    const ReplaceRow &row = GetParam();
    fileName = row.fileName;
    database.write(fileName, "old content");
    context.Birthdays = { test::gregorianBirthday(u"张三"_s, u"公历1976年 02月25日"_s) };
    context.HasBirthdays = true;
    const auto run = [&] {
        if (row.contacts)
            runVcfExport(nullptr, context, messages, statusSink(), runner());
        else
            runExport(nullptr, context, messages, statusSink(), runner());
    };
    messages.answer = platform::MessageButton::Cancel;
    run();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, database.path(fileName) + u"已经存在,确定覆盖吗?"_s);
    EXPECT_EQ(database.bytes(fileName), QByteArray("old content"));

    messages.answer = platform::MessageButton::Ok;
    run();
    EXPECT_TRUE(database.bytes(fileName).startsWith(row.written));
    EXPECT_EQ(chooserTitles.last(), row.chooserTitle);
    EXPECT_TRUE(status.contains(database.path(fileName))) << status.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Files, ExportReplacing,
    testing::Values(ReplaceRow { "tab-separated text", u"out.txt"_s, false,
                        u"生日导出到外部制表符分割的文本文件"_s, "\xD5\xC5\xC8\xFD\t" },
        ReplaceRow { "phone contacts", u"contacts.vcf"_s, true, u"导出到手机通讯录(*.vcf)"_s,
            "BEGIN:VCARD" }),
    test::BySituation());

TEST_F(FileActions, MainWindowMenuImportsContactsIntoTheChosenCategory)
{
    fileName = u"contacts.vcf"_s;
    database.write(fileName, Contacts);
    category = u"家人"_s;
    frmGet &w = openWindow();
    w.runDialog = runner();
    w.findChild<QAction *>(u"mnuVcfAddIn"_s)->trigger();
    EXPECT_EQ(previewStatus, u"1张名片没有生日,未导入:王五"_s);
    EXPECT_EQ(counts, u"2/2"_s);
    EXPECT_EQ(storedNames(), (QStringList { u"张三/家人/13800138000"_s, u"李四/同事/"_s }));
    int shown = 0;
    for (int list = 0; list <= 6; ++list)
        shown += w.listModel(list)->rowCount();
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(w.statusText(1), u"从手机通讯录导入(*.vcf),成功导入2条生日提醒!"_s);
    // Written by the window's worker on a connection of its own, taken back as one step.
    ASSERT_EQ(service->undoStack().count(), 1);
    service->undoStack().undo();
    EXPECT_TRUE(storedNames().isEmpty());
}

TEST_F(FileActions, CalendarOfTheClocksYearWithFestivalsWhenAsked)
{
    store::BirthdayRecord lunar = test::lunarBirthday(u"张三"_s, u"农历1960年 08月15日"_s);
    lunar.Id = 7;
    context.Birthdays = { lunar };
    context.HasBirthdays = true;
    fileName = u"phone"_s; // the chooser completes the extension
    messages.answer = platform::MessageButton::Yes;
    runIcsExport(nullptr, context, messages, statusSink(),
        QDateTime(QDate(2025, 6, 1), QTime(8, 0)), runner());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].buttons, platform::MessageButtons::YesNo);
    const QByteArray ics = database.bytes(u"phone.ics"_s);
    EXPECT_TRUE(ics.contains("UID:7-2025@natalis.invalid\r\n"));
    EXPECT_TRUE(ics.contains(u"SUMMARY:中秋节\r\n"_s.toUtf8()));
}

TEST_F(FileActions, SettingsDialogsSaveIntoTheProgramOnlyOverADatabase)
{
    context.Settings.intNums = 5;
    EXPECT_TRUE(runSetup(nullptr, context, messages, nullptr, [](QDialog &dialog) {
        dialog.findChild<QComboBox *>(u"cboNums"_s)->setCurrentIndex(3);
        static_cast<dialogs::frmSetup &>(dialog).cmdOK_Click();
    }));
    EXPECT_EQ(context.Settings.intNums, 3);

    EXPECT_TRUE(runSmsSetup(nullptr, context, messages, [](QDialog &d) {
        d.findChild<QLineEdit *>(u"txtDxYyTail"_s)->setText(u"青萍"_s);
        static_cast<dialogs::frmDxSetup &>(d).cmdOK_Click();
    }));
    EXPECT_EQ(context.Settings.DxYyTail, u"青萍"_s);
    EXPECT_EQ(std::get<store::SettingsRecord>(store::ReadSettings(*context.DbConnection)).DxYyTail,
        u"青萍"_s);

    context.DbConnection.reset();
    bool ran = false;
    EXPECT_FALSE(runSmsSetup(nullptr, context, messages, [&](QDialog &) { ran = true; }));
    EXPECT_FALSE(ran);
}

// A repeated row's tick is the duplicate rule's, not the user's; a header click sorts, days as
// numbers.
TEST(ImportPreview, TheUserCannotTickARepeatedRowAndHeaderClicksSort)
{
    QList<transfer::ImportRecord> records;
    for (const auto &[name, days] :
        { std::pair { u"赵"_s, 10 }, { u"Bob"_s, 9 }, { u"赵"_s, 14 } }) {
        store::BirthdayRecord fields;
        fields.About = name;
        fields.Type = u"朋友"_s;
        fields.intNums = qint16(days);
        records.append(transfer::ImportRecord(fields, {}, false));
    }
    test::TempDatabase database;
    store::Connection connection = database.create();
    const platform::FixedClock clock { test::EnteredAt };
    dialogs::frmFileIn preview(transfer::buildImportPreview(records, {}),
        transfer::ImportLayout::Tab, connection, clock, 1);
    preview.clickRowTick(0);
    preview.clickRowTick(2);
    EXPECT_TRUE(preview.isRowTicked(0));
    EXPECT_FALSE(preview.isRowTicked(2));
    const QAbstractItemModel *rows = preview.findChild<QTreeView *>(u"ListView2"_s)->model();
    Q_EMIT preview.findChild<QTreeView *>(u"ListView2"_s)->header()->sectionClicked(6);
    QStringList days;
    for (int i = 0; i < rows->rowCount(); ++i)
        days << rows->index(i, 6).data().toString();
    EXPECT_EQ(days, (QStringList { u"9"_s, u"10"_s, u"14"_s }));
}

// 停止 while the rows are written rolls back what the worker wrote; the window stays open.
TEST(ImportPreview, StopWhileAddingLeavesTheFileAsItWas)
{
    QList<transfer::ImportRecord> records;
    for (int person = 0; person < 500; ++person)
        records.append(
            transfer::ImportRecord(test::gregorianBirthday(u"人%1"_s.arg(person), {}), {}, false));
    test::TempDatabase database;
    store::Connection connection = database.create();
    const QByteArray before = database.bytes();
    const platform::FixedClock clock { test::EnteredAt };
    dialogs::frmFileIn preview(transfer::buildImportPreview(records, {}),
        transfer::ImportLayout::Tab, connection, clock, 1);
    preview.cmdOK_Click();
    preview.findChild<QPushButton *>(u"cmdStopRead"_s)->click();
    ASSERT_TRUE(QTest::qWaitFor([&preview] { return !preview.isWorking(); }));
    EXPECT_FALSE(preview.outcome());
    EXPECT_EQ(
        preview.statusText(), u"从外部制表符分割的文本文件导入生日已停止,没有添加任何生日提醒"_s);
    EXPECT_TRUE(preview.canConfirm());
    EXPECT_TRUE(database.bytes() == before) << "rows written before 停止 stayed";
}

// The file holds what is stored; the list's computed columns (next birthday, ages) stay out, and
// the Uid and then the kind and leap rule come last, where a reader that does not know them loses
// nothing else.
TEST(CsvLayout, HeaderRowIsTheMainListsStoredColumnTitles)
{
    EXPECT_EQ(transfer::csvColumnTitles(),
        dialogs::BirthdayListModel::columnTitles().first(dialogs::BirthdayListModel::NextColumn)
            + QStringList({ u"UID"_s, u"类型"_s, u"闰月规则"_s }));
}

} // namespace
