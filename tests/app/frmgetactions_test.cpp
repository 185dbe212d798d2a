#include "session/appcontext.h"
#include "app/birthdaylistmodel.h"
#include "platform/clock.h"
#include "app/frmget.h"
#include "desktop/musicplayer.h"
#include "session/startup.h"
#include "store/birthdays.h"
#include "support/birthdaybuilder.h"
#include "support/qtprinters.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"

#include <QItemSelectionModel>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <gtest/gtest.h>

using namespace natalis::app;
using natalis::store::BirthdayEdit;
using natalis::store::BirthdayRecord;

namespace {

// The birthday actions of the main window against a real database file.
class BirthdayActions : public testing::Test
{
protected:
    BirthdayActions()
    {
        context.DbConnection = database.create();
        for (const auto &[name, tel] :
            { std::pair { u"甲", u"13912345678" }, std::pair { u"乙", u"12345" } }) {
            BirthdayRecord record = natalis::test::gregorianBirthday(
                QString::fromUtf16(name), QStringLiteral("公历1980年 01月15日"), 7);
            record.Type = QStringLiteral("同事");
            record.Tel = QString::fromUtf16(tel);
            natalis::store::AddBirthToMdb(*context.DbConnection, record);
        }
        reloadBirthdays(context, messages);
        context.Settings.intFudong = 0;
        window = std::make_unique<frmGet>(context, messages, clock, nullptr);
        window->load();
    }

    // The editor as a user would fill it; `change` edits the buffer and OK is pressed.
    void editorAnswers(std::function<void(BirthdayEdit &)> change)
    {
        window->openEditor = [change](BirthdayEdit &buffer, bool) {
            change(buffer);
            return true;
        };
    }

    void select(const QStringList &names)
    {
        QTableView *view = window->listView(0);
        view->clearSelection();
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            if (names.contains(view->model()->index(row, 0).data().toString()))
                view->selectionModel()->select(view->model()->index(row, 0),
                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    QList<BirthdayRecord> stored()
    {
        natalis::store::BirthdayLoad load = natalis::store::LoadBirthdays(*context.DbConnection);
        return load.HasBirthdays ? load.Birthdays : QList<BirthdayRecord>();
    }

    QString column(const QString &name, int column)
    {
        const BirthdayListModel *model = window->listModel(0);
        for (const auto &row : model->rows()) {
            if (row.columns[0] == name)
                return row.columns[column];
        }
        return QStringLiteral("(absent)");
    }

    natalis::test::TempDatabase database;
    AppContext context;
    natalis::test::RecordingMessageSink messages;
    FixedClock clock { QDateTime(QDate(2025, 1, 10), QTime(8, 0)) };
    std::unique_ptr<frmGet> window;
};

TEST_F(BirthdayActions, AddStoresTheNameAsTypedAndShowsIt)
{
    editorAnswers([](BirthdayEdit &b) {
        b.About = QStringLiteral("王'小明");
        b.Tel = QStringLiteral("13812345678");
        b.strGL = QStringLiteral("公历1990年 01月12日");
        b.intnums = 3;
    });
    window->cmdAdd_Click();
    EXPECT_EQ(window->statusText(1), QStringLiteral("王'小明添加成功!"));
    EXPECT_EQ(window->listModel(0)->rowCount(), 3);
    EXPECT_EQ(column(QStringLiteral("王'小明"), 1), QStringLiteral("同事"));
    ASSERT_EQ(stored().size(), 3);
    EXPECT_EQ(context.Birthdays.size(), 3) << "the array is rebuilt from the table";
    EXPECT_TRUE(window->loop().TodayNotifyText().contains(u"王'小明生日还有2天"))
        << window->loop().TodayNotifyText().toStdString();
    const QModelIndex current = window->listView(0)->currentIndex();
    EXPECT_EQ(current.data().toString(), QStringLiteral("王'小明"));
}

TEST_F(BirthdayActions, CancelledAddChangesNothing)
{
    window->openEditor = [](BirthdayEdit &, bool) { return false; };
    window->cmdAdd_Click();
    EXPECT_EQ(stored().size(), 2);
    EXPECT_EQ(window->listModel(0)->rowCount(), 2);
}

TEST_F(BirthdayActions, EditOneUpdatesTheRowInPlace)
{
    select({ QStringLiteral("甲") });
    editorAnswers([](BirthdayEdit &b) {
        EXPECT_EQ(b.About, QStringLiteral("甲"));
        EXPECT_EQ(b.Tel, QStringLiteral("13912345678"));
        b.About = QStringLiteral("甲一");
        b.Beizhu = QStringLiteral("他说\"生日快乐\"");
    });
    window->cmdEdit_Click();
    EXPECT_EQ(window->statusText(1), QStringLiteral("生日修改成功!"));
    EXPECT_EQ(column(QStringLiteral("甲一"), 3), QStringLiteral("他说\"生日快乐\""));
    EXPECT_EQ(window->listModel(0)->rowCount(), 2);
}

TEST_F(BirthdayActions, EditWithNothingSelectedSaysSo)
{
    window->cmdEdit_Click();
    EXPECT_EQ(window->statusText(1), QStringLiteral("没有选中生日提醒,不能修改!"));
}

TEST_F(BirthdayActions, BatchEditGivesSmsOnlyToPhoneNumbers)
{
    select({ QStringLiteral("甲"), QStringLiteral("乙") });
    window->openEditor = [](BirthdayEdit &b, bool batch) {
        EXPECT_TRUE(batch);
        b.intnums = 5;
        b.Duanxin = QStringLiteral("是");
        return true;
    };
    window->cmdEdit_Click();
    EXPECT_EQ(window->statusText(1), QStringLiteral("生日批量修改成功!"));
    EXPECT_EQ(column(QStringLiteral("甲"), 8), QStringLiteral("是"));
    EXPECT_EQ(column(QStringLiteral("乙"), 8), QStringLiteral("否"));
    EXPECT_EQ(column(QStringLiteral("乙"), 7), QStringLiteral("5"));
    for (const BirthdayRecord &record : stored())
        EXPECT_EQ(record.intNums, 5);
}

TEST_F(BirthdayActions, DeleteAsksFirst)
{
    select({ QStringLiteral("乙") });
    messages.answer = MessageButton::No;
    window->cmdDel_Click();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("确认删除\"乙\"生日提醒吗?"));
    EXPECT_EQ(stored().size(), 2);

    select({ QStringLiteral("甲"), QStringLiteral("乙") });
    messages.answer = MessageButton::Yes;
    window->cmdDel_Click();
    EXPECT_EQ(messages.shown.last().text, QStringLiteral("确认删除所选择的2个生日提醒吗?"));
    EXPECT_EQ(window->statusText(1), QStringLiteral("生日删除成功!"));
    EXPECT_EQ(stored().size(), 0);
    EXPECT_EQ(window->listModel(0)->rowCount(), 0);
    EXPECT_EQ(window->ModalBusy, 0);
}

TEST_F(BirthdayActions, FailedDeleteLeavesListArrayAndTable)
{
    select({ QStringLiteral("甲") });
    messages.answer = MessageButton::Yes;
    // Another program holds the file: every write fails.
    auto other = natalis::store::Connection::open(
        database.path(), natalis::store::Connection::OpenMode::ExistingOnly);
    ASSERT_TRUE(other);
    other->exec("BEGIN EXCLUSIVE");
    window->cmdDel_Click();
    other->exec("ROLLBACK");
    EXPECT_EQ(window->statusText(1), QStringLiteral("生日数据库共享访问冲突,生日删除失败!"));
    EXPECT_EQ(messages.shown.last().title, QStringLiteral("生日删除"));
    EXPECT_EQ(window->listModel(0)->rowCount(), 2);
    EXPECT_EQ(context.Birthdays.size(), 2);
    EXPECT_EQ(stored().size(), 2);
}

TEST(MainWindowLoad, ClearsSentMarksOfBirthdaysNoLongerDue)
{
    natalis::test::TempDatabase database;
    AppContext context;
    context.DbConnection = database.create();
    // Sent for 1 January; on 10 March nothing is due any more, so the mark goes.
    BirthdayRecord sent = natalis::test::gregorianBirthday(
        QStringLiteral("甲"), QStringLiteral("公历1980年 01月01日"), 7);
    sent.Duanxin = QStringLiteral("是");
    sent.DxSend = QStringLiteral("1");
    natalis::store::AddBirthToMdb(*context.DbConnection, sent);
    natalis::store::BirthdayRecord stillDue = sent;
    stillDue.About = QStringLiteral("乙");
    stillDue.strGL = QStringLiteral("公历1980年 03月12日");
    natalis::store::AddBirthToMdb(*context.DbConnection, stillDue);
    natalis::test::RecordingMessageSink messages;
    reloadBirthdays(context, messages);
    FixedClock clock { QDateTime(QDate(2025, 3, 10), QTime(8, 0)) };
    frmGet window(context, messages, clock, nullptr);
    window.load();
    const auto rows = natalis::store::LoadBirthdays(*context.DbConnection).Birthdays;
    ASSERT_EQ(rows.size(), 2);
    for (const BirthdayRecord &row : rows)
        EXPECT_EQ(row.DxSend, row.About == u"乙" ? QStringLiteral("1") : QStringLiteral("0"))
            << row.About.toStdString();
}

} // namespace
