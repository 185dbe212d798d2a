#include "app/birthdaylistmodel.h"
#include "dialogs/frmfilein.h"
#include "dialogs/frmmydlg1.h"
#include "dialogs/frmsetup.h"
#include "dialogs/frmverselect.h"
#include "app/transferactions.h"
#include "widgets/workerrun.h"
#include "store/birthdays.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"
#include "transfer/csvlayout.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

using namespace natalis;
using namespace natalis::app;

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

// Plays the user: picks fileName in the test folder, chooses version option, and confirms or
// cancels the preview; records what each window showed.
class Transfer : public testing::Test
{
protected:
    Transfer()
    {
        context.DbConnection.emplace(database.create());
        context.DbPath = database.path();
    }

    ModalRunner runner()
    {
        return [this](QDialog &dialog) {
            if (auto *chooser = qobject_cast<frmMyDlg1 *>(&dialog)) {
                chooserTitles << chooser->windowTitle();
                chooser->setFolder(database.folder());
                chooser->setFileName(fileName);
                chooser->cmdOK_Click();
            } else if (auto *version = qobject_cast<frmVerSelect *>(&dialog)) {
                version->selectVersion(versionOption);
                version->cmdOK_Click();
            } else if (auto *preview = qobject_cast<frmFileIn *>(&dialog)) {
                ticks.clear();
                for (int row = 0; row < preview->rowCount(); ++row)
                    ticks << preview->isRowTicked(row);
                counts = preview->findChild<QLabel *>(QStringLiteral("lblInAllNums"))->text() + u'/'
                    + preview->findChild<QLabel *>(QStringLiteral("lblInValidNums"))->text();
                confirmable = preview->canConfirm();
                encoding = preview->encodingText();
                report = preview->reportLines();
                if (chooseEncoding >= 0) {
                    preview->chooseEncoding(chooseEncoding);
                    encoding = preview->encodingText();
                    firstName = preview->findChild<QTreeView *>(QStringLiteral("ListView2"))
                                    ->model()
                                    ->index(0, 0)
                                    .data()
                                    .toString();
                }
                if (confirmPreview && confirmable)
                    preview->cmdOK_Click();
                else
                    preview->cmdNo_Click();
            }
        };
    }

    bool import(ImportMenu menu = ImportMenu::TabFile)
    {
        const bool added = RunImport(
            nullptr, context, messages, menu, [this](const QString &text) { status = text; },
            runner());
        if (added) {
            store::BirthdayLoad load = store::LoadBirthdays(*context.DbConnection);
            context.Birthdays = load.Birthdays;
            context.HasBirthdays = load.HasBirthdays;
        }
        return added;
    }

    void exportTo(const QString &name)
    {
        fileName = name;
        RunExport(
            nullptr, context, messages, [this](const QString &text) { status = text; }, runner());
    }

    test::TempDatabase database;
    AppContext context;
    test::RecordingMessageSink messages;
    QString fileName = QStringLiteral("list.txt");
    int versionOption = 0;
    bool confirmPreview = true;
    QStringList chooserTitles;
    QList<bool> ticks;
    QString counts;
    bool confirmable = false;
    QString encoding;
    QStringList report;
    int chooseEncoding = -1; // cboEncoding's item to choose in the preview
    QString firstName; // the first row's name after choosing

    QString status;
};

TEST_F(Transfer, ImportPreviewAddsTickedRowsOnce)
{
    database.write(QStringLiteral("list.txt"), gbkTabFile());
    ASSERT_TRUE(import());
    EXPECT_EQ(chooserTitles, QStringList { QStringLiteral("从外部制表符分割的文本文件导入生日") });
    EXPECT_EQ(ticks, (QList<bool> { true, true, false }));
    EXPECT_EQ(counts, QStringLiteral("3/2"));
    EXPECT_EQ(status, QStringLiteral("从外部制表符分割的文本文件导入生日,成功导入2条生日提醒!"));
    ASSERT_EQ(context.Birthdays.size(), 2);
    QStringList names;
    for (const store::BirthdayRecord &b : context.Birthdays)
        names << b.About.trimmed() + u'/' + b.Type.trimmed() + u'/' + b.strGL.trimmed();
    names.sort();
    EXPECT_EQ(names,
        (QStringList { QStringLiteral("张三/同事/公历1976年 02月25日"),
            QStringLiteral("李四/客户/公历1980年 01月01日") }));

    EXPECT_FALSE(import());
    EXPECT_EQ(ticks, (QList<bool> { false, false, false }));
    EXPECT_EQ(counts, QStringLiteral("3/0"));
    EXPECT_FALSE(confirmable);
    EXPECT_EQ(context.Birthdays.size(), 2);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(Transfer, CancelledPreviewAddsNothing)
{
    database.write(QStringLiteral("list.txt"), gbkTabFile());
    confirmPreview = false;
    EXPECT_FALSE(import());
    EXPECT_TRUE(confirmable);
    EXPECT_FALSE(store::LoadBirthdays(*context.DbConnection).HasBirthdays);
}

TEST_F(Transfer, TicksCannotBeChangedByClicking)
{
    store::BirthdayRecord fields;
    fields.About = QStringLiteral("王五");
    fields.Type = QStringLiteral("朋友");
    const transfer::ImportRecord first(fields, {}, false);
    const transfer::ImportRecord second = first;
    frmFileIn preview(transfer::BuildImportPreview({ first, second }, {}),
        transfer::ImportLayout::Tab, *context.DbConnection, 1);
    preview.clickRowTick(0);
    preview.clickRowTick(1);
    EXPECT_TRUE(preview.isRowTicked(0));
    EXPECT_FALSE(preview.isRowTicked(1));
}

TEST_F(Transfer, PreviewOpensInFileOrderAndSortsOnHeaderClick)
{
    QList<transfer::ImportRecord> records;
    for (const QString &name :
        { QStringLiteral("赵"), QStringLiteral("Bob"), QStringLiteral("Al") }) {
        store::BirthdayRecord fields;
        fields.About = name;
        fields.Type = QStringLiteral("朋友");
        records.append(transfer::ImportRecord(fields, {}, false));
    }
    frmFileIn preview(transfer::BuildImportPreview(records, {}), transfer::ImportLayout::Tab,
        *context.DbConnection, 1);
    auto *list = preview.findChild<QTreeView *>(QStringLiteral("ListView2"));
    const auto shownNames = [list] {
        QStringList names;
        for (int i = 0; i < list->model()->rowCount(); ++i)
            names << list->model()->index(i, 0).data().toString();
        return names;
    };
    EXPECT_EQ(shownNames(),
        (QStringList { QStringLiteral("赵"), QStringLiteral("Bob"), QStringLiteral("Al") }));
    Q_EMIT list->header()->sectionClicked(0);
    EXPECT_EQ(shownNames().first(), QStringLiteral("Al"));
    Q_EMIT list->header()->sectionClicked(0);
    EXPECT_EQ(shownNames().last(), QStringLiteral("Al"));
    EXPECT_TRUE(preview.isRowTicked(2));
}

TEST_F(Transfer, PreviewSortsDaysAsNumbers)
{
    QList<transfer::ImportRecord> records;
    for (qint16 days : { qint16(10), qint16(9), qint16(14) }) {
        store::BirthdayRecord fields;
        fields.About = QString::number(days);
        fields.Type = QStringLiteral("朋友");
        fields.intNums = days;
        records.append(transfer::ImportRecord(fields, {}, false));
    }
    frmFileIn preview(transfer::BuildImportPreview(records, {}), transfer::ImportLayout::Tab,
        *context.DbConnection, 1);
    auto *list = preview.findChild<QTreeView *>(QStringLiteral("ListView2"));
    Q_EMIT list->header()->sectionClicked(6);
    QStringList days;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        days << list->model()->index(i, 6).data().toString();
    EXPECT_EQ(
        days, (QStringList { QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("14") }));
}

// The file holds what is stored; the list's computed columns (next birthday, age) stay out.
TEST(CsvLayout, HeaderRowIsTheMainListsStoredColumnTitles)
{
    EXPECT_EQ(transfer::csvColumnTitles(),
        BirthdayListModel::columnTitles().first(BirthdayListModel::NextColumn));
}

TEST(Worker, WindowThreadAnswersAndCancelStopsTheJob)
{
    QProgressBar bar;
    QPushButton cancel;
    // Fires only if the window thread keeps running its events while the job works.
    QTimer::singleShot(50, &cancel, &QPushButton::click);
    std::atomic<int> rounds { 0 };
    RunOnWorker(&bar, &cancel, [&rounds](WorkerProgress &progress) {
        while (progress.report(rounds, 1'000'000) && rounds < 1'000'000) {
            ++rounds;
            QThread::usleep(100);
        }
    });
    EXPECT_LT(rounds, 1'000'000);
    EXPECT_EQ(bar.value(), 1000);
}

struct FailureRow
{
    const char *situation;
    int versionOption;
    QString fileName;
    QByteArray content;
    QString title;
    QString textAfterPath; // the message box text after the file's path
    QString status;

    friend void PrintTo(const FailureRow &row, std::ostream *os) { *os << row.situation; }
};

class ImportFailures : public Transfer, public testing::WithParamInterface<FailureRow>
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
    EXPECT_EQ(status, row.status);
    EXPECT_TRUE(ticks.isEmpty()); // no preview
    EXPECT_FALSE(store::LoadBirthdays(*context.DbConnection).HasBirthdays);
}

INSTANTIATE_TEST_SUITE_P(Rows, ImportFailures,
    testing::Values(FailureRow { "empty v3.1 file", 0, QStringLiteral("old.txt"), QByteArray(""),
                        QStringLiteral("从v3.1导出的生日文件导入生日"), QStringLiteral("为空!"),
                        QStringLiteral("从v3.1导出的生日文件导入生日失败!") },
        FailureRow { "empty v2.0 file", 2, QStringLiteral("old.txt"), QByteArray("\r\n"),
            QStringLiteral("从v2.0导出的生日文件导入生日"), QStringLiteral("文件为空!"),
            QStringLiteral("从v2.0导出的生日文件导入生日失败!") },
        FailureRow { "missing v1.0 birth.txt", 3, QStringLiteral("birth.txt"), QByteArray(),
            QStringLiteral("生日导入"), QStringLiteral("不存在"), QString() }),
    test::BySituation());

TEST_F(Transfer, ExportOverwriteCancelledKeepsFile)
{
    database.write(QStringLiteral("out.txt"), "old content");
    context.Birthdays = { test::gregorianBirthday(
        QStringLiteral("张三"), QStringLiteral("公历1976年 02月25日")) };
    context.HasBirthdays = true;
    messages.answer = MessageButton::Cancel;
    exportTo(QStringLiteral("out.txt"));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
        database.path(QStringLiteral("out.txt")) + QStringLiteral("已经存在,确定覆盖吗?"));
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("生日导出"));
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Question);
    EXPECT_EQ(database.bytes(QStringLiteral("out.txt")), QByteArray("old content"));

    messages.answer = MessageButton::Ok;
    exportTo(QStringLiteral("out.txt"));
    EXPECT_TRUE(database.bytes(QStringLiteral("out.txt")).startsWith("\xD5\xC5\xC8\xFD\t"));
    EXPECT_EQ(status, QStringLiteral("生日成功导出到") + database.path(QStringLiteral("out.txt")));
    EXPECT_EQ(chooserTitles.first(), QStringLiteral("生日导出到外部制表符分割的文本文件"));
}

TEST_F(Transfer, ExportOfEmptyListWritesEmptyFileWithoutQuestion)
{
    exportTo(QStringLiteral("new"));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(database.exists(QStringLiteral("new.txt")));
    EXPECT_TRUE(database.bytes(QStringLiteral("new.txt")).isEmpty());
}

TEST_F(Transfer, PreviewShowsEncodingAndReportAndReadsAgainInAnother)
{
    // 郑伟 in GBK is also valid UTF-8; the second line's date does not exist.
    const QByteArray zhengWei = "\xD6\xA3\xCE\xB0";
    database.write(QStringLiteral("list.txt"),
        zhengWei + "\t\t13912345678\t\t1976-2-25\r\nAl\t\t\t\t2023-2-30\r\n");
    confirmPreview = false;
    chooseEncoding = 2; // UTF-8
    EXPECT_FALSE(import());
    EXPECT_EQ(counts, QStringLiteral("2/2"));
    EXPECT_EQ(report, QStringList { QStringLiteral("第2行: 日期'2023-2-30'无效,按无日期导入") });
    EXPECT_EQ(encoding, QStringLiteral("(按UTF-8读取)"));
    EXPECT_EQ(firstName, QString::fromUtf8(zhengWei));
}

TEST_F(Transfer, PreviewOpensWithTheEncodingUsed)
{
    database.write(QStringLiteral("list.txt"), gbkTabFile());
    confirmPreview = false;
    import();
    EXPECT_EQ(encoding, QStringLiteral("(按GBK读取)"));
    EXPECT_TRUE(report.isEmpty());
}

TEST_F(Transfer, CsvExportAndImportThroughTheMenus)
{
    context.Birthdays = { test::gregorianBirthday(
        QStringLiteral("张三"), QStringLiteral("公历1976年 02月25日")) };
    context.HasBirthdays = true;
    fileName = QStringLiteral("list.csv");
    RunExport(
        nullptr, context, messages, [this](const QString &text) { status = text; }, runner(), true);
    EXPECT_EQ(chooserTitles.last(), QStringLiteral("生日导出到CSV文件(Excel/WPS)"));
    EXPECT_TRUE(database.bytes(QStringLiteral("list.csv")).startsWith("\xEF\xBB\xBF生日名称,"));

    context.Birthdays.clear();
    context.HasBirthdays = false;
    ASSERT_TRUE(import(ImportMenu::CsvFile));
    EXPECT_EQ(chooserTitles.last(), QStringLiteral("从CSV文件(Excel/WPS)导入生日"));
    EXPECT_EQ(encoding, QStringLiteral("(按UTF-8读取)"));
    ASSERT_EQ(context.Birthdays.size(), 1);
    EXPECT_EQ(context.Birthdays[0].strGL.trimmed(), QStringLiteral("公历1976年 02月25日"));
}

TEST_F(Transfer, ExportOntoTheOpenDatabaseIsRefusedWithoutQuestion)
{
    // A database whose name the text chooser accepts.
    context.DbConnection.reset();
    context.DbConnection.emplace(database.create(QStringLiteral("db.txt")));
    context.DbPath = database.path(QStringLiteral("db.txt"));
    const QByteArray before = database.bytes(QStringLiteral("db.txt"));
    exportTo(QStringLiteral("db.txt"));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
        QStringLiteral("生日导出到") + context.DbPath
            + QStringLiteral("失败,该文件是正在使用的生日数据库,原有文件没有改动!"));
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(database.bytes(QStringLiteral("db.txt")), before);
}

TEST_F(Transfer, SetupSavedIntoContext)
{
    context.Settings.intNums = 5;
    const bool saved = RunSetup(nullptr, context, messages, nullptr, [](QDialog &dialog) {
        dialog.findChild<QComboBox *>(QStringLiteral("cboNums"))->setCurrentIndex(3);
        static_cast<frmSetup &>(dialog).cmdOK_Click();
    });
    EXPECT_TRUE(saved);
    EXPECT_EQ(context.Settings.intNums, 3);
}

} // namespace
