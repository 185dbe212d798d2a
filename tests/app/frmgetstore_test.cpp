// The main window and the database file: other programs' changes, the read-only file, the
// restore from a backup.

#include "session/appcontext.h"
#include "session/backuprestore.h"
#include "app/birthdaylistmodel.h"
#include "platform/clock.h"
#include "dialogs/frmaddedit.h"
#include "dialogs/frmbackup.h"
#include "app/frmget.h"
#include "desktop/musicplayer.h"
#include "session/startup.h"
#include "store/birthdays.h"
#include "store/compaction.h"
#include "support/birthdaybuilder.h"
#include "support/qtprinters.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

using namespace natalis::app;
using namespace Qt::StringLiterals;
using natalis::store::BirthdayRecord;
using natalis::store::Connection;

namespace {

BirthdayRecord colleague(const QString &name)
{
    BirthdayRecord record = natalis::test::gregorianBirthday(name, u"公历1980年 01月15日"_s, 7);
    record.Type = u"同事"_s;
    return record;
}

class StoreWindow : public testing::Test
{
protected:
    void open()
    {
        context.DbPath = database.path();
        context.DbConnection = natalis::store::OpenBirthDb(database.path());
        ASSERT_TRUE(context.DbConnection);
        reloadBirthdays(context, messages);
        context.Settings.intFudong = 0;
        window = std::make_unique<frmGet>(context, messages, clock, nullptr);
        window->load();
    }

    void add(const QString &name)
    {
        Connection db = database.create();
        natalis::store::AddBirthToMdb(db, colleague(name));
    }

    // Another program's connection to the same file.
    Connection other()
    {
        auto db = Connection::open(database.path(), Connection::OpenMode::ExistingOnly);
        EXPECT_TRUE(db);
        return std::move(*db);
    }

    QStringList shownNames()
    {
        QStringList names;
        for (const auto &row : window->listModel(0)->rows())
            names << row.columns[0];
        names.sort();
        return names;
    }

    natalis::test::TempDatabase database;
    AppContext context;
    natalis::test::RecordingMessageSink messages;
    FixedClock clock { QDateTime(QDate(2025, 1, 10), QTime(8, 0)) };
    std::unique_ptr<frmGet> window;
};

TEST_F(StoreWindow, AnotherProgramsRowShowsAtTheNextTick)
{
    add(u"甲"_s);
    open();
    Connection cli = other();
    natalis::store::AddBirthToMdb(cli, colleague(u"乙"_s));
    EXPECT_EQ(shownNames(), QStringList { u"甲"_s });

    window->onTimer1();

    EXPECT_EQ(shownNames(), (QStringList { u"乙"_s, u"甲"_s }));
    EXPECT_EQ(context.Birthdays.size(), 2);
}

TEST_F(StoreWindow, OwnChangesDoNotCountAsAnotherWriters)
{
    add(u"甲"_s);
    open();
    const qint64 seen = context.LoadedDataVersion;
    natalis::store::AddBirthToMdb(*context.DbConnection, colleague(u"乙"_s));
    EXPECT_EQ(context.DbConnection->dataVersion(), seen);
}

// The editor the window opens asks the table, so a name another program has just added in the
// same category is refused even though the list does not show it yet.
TEST_F(StoreWindow, EditorRefusesANameAnotherProgramJustAdded)
{
    add(u"甲"_s);
    open();
    Connection cli = other();
    natalis::store::AddBirthToMdb(cli, colleague(u"乙"_s));
    QString refusal;
    QTimer::singleShot(0, [&] {
        auto *editor = qobject_cast<frmAddEdit *>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        editor->findChild<QLineEdit *>(u"txtAbout"_s)->setText(u"乙"_s);
        editor->cmdOK_Click();
        refusal = editor->statusText();
        editor->cmdNo_Click();
    });
    window->cmdAdd_Click();
    EXPECT_EQ(refusal, u"生日名称重复，请重新输入！"_s);
}

TEST_F(StoreWindow, ReadOnlyFileSaysSoInTheStatusBar)
{
    add(u"甲"_s);
    QFile::setPermissions(database.path(), QFile::ReadOwner);
    open();
    EXPECT_TRUE(context.DbConnection->isReadOnly());
    EXPECT_EQ(window->statusText(1), u"生日数据库文件只读,所做的修改无法保存!"_s);
    EXPECT_EQ(shownNames(), QStringList { u"甲"_s });
}

TEST_F(StoreWindow, RestoreFromTheFileMenuPutsTheChosenBackupBack)
{
    add(u"甲"_s);
    ASSERT_EQ(natalis::store::CompactBirthDb(database.path(), QDate(2025, 1, 9)),
        natalis::store::CompactOutcome::Compacted);
    add(u"乙"_s);
    open();
    ASSERT_EQ(shownNames().size(), 2);

    QAction *restore = window->findChild<QAction *>(u"mnuRestore"_s);
    ASSERT_NE(restore, nullptr);
    EXPECT_EQ(restore->text(), u"从备份恢复…"_s);
    QStringList listed;
    window->runDialog = [&](QDialog &dialog) {
        auto *list = dialog.findChild<QTableWidget *>(u"lstBackup"_s);
        for (int column = 0; column < 3; ++column)
            listed << list->item(0, column)->text();
        dialog.findChild<QPushButton *>(u"cmdRestore"_s)->click();
    };
    restore->trigger();

    EXPECT_EQ(listed.value(0), u"2025-01-09"_s);
    EXPECT_EQ(listed.value(2), u"1"_s);
    EXPECT_EQ(shownNames(), QStringList { u"甲"_s });
    EXPECT_EQ(messages.texts().last(), u"已从备份恢复生日数据库,恢复前的数据库已另存为备份。"_s);
    EXPECT_EQ(natalis::store::ListBackups(database.path()).size(), 2);
}

// The user keeps the damaged file for now: nothing may write to it (the reminder memory
// included), its read error is told once, and the file menu can still restore later.
TEST_F(StoreWindow, DeclinedRestoreLeavesTheDamagedFileByteForByte)
{
    {
        Connection db = database.create();
        for (int i = 0; i < 300; ++i) {
            BirthdayRecord record = colleague(u"同事"_s + QString::number(i));
            record.Beizhu = QString(50, u'备');
            natalis::store::AddBirthToMdb(db, record);
        }
    }
    ASSERT_EQ(natalis::store::CompactBirthDb(database.path(), QDate(2025, 1, 9)),
        natalis::store::CompactOutcome::Compacted);
    QByteArray bytes = database.bytes();
    for (qsizetype i = bytes.size() - 600; i < bytes.size() - 500; ++i)
        bytes[i] = char(~bytes[i]);
    database.write(u"natalis.mdb"_s, bytes);
    messages.answer = MessageButton::No;

    context.DbPath = database.path();
    context.DbConnection = natalis::store::OpenBirthDb(database.path());
    ASSERT_TRUE(context.DbConnection);
    LoadBirthdaysAtStart(context, messages, clock.now());
    context.Settings.intFudong = 0;
    window = std::make_unique<frmGet>(context, messages, clock, nullptr);
    window->load();
    window->onTimer1();
    QApplication::setActiveWindow(window.get());
    window->onTimer1();

    EXPECT_EQ(database.bytes(), bytes);
    EXPECT_EQ(messages.texts().filter(u"读取生日数据库:"_s).size(), 1)
        << messages.texts().join(u'\n').toStdString();
    EXPECT_EQ(window->statusText(1),
        u"生日数据库文件已损坏,已只读打开,所做的修改无法保存。可用\"从备份恢复…\"恢复。"_s);

    messages.answer = MessageButton::Ok;
    window->runDialog = [](QDialog &dialog) {
        dialog.findChild<QPushButton *>(u"cmdRestore"_s)->click();
    };
    window->findChild<QAction *>(u"mnuRestore"_s)->trigger();
    EXPECT_EQ(messages.texts().last(), u"已从备份恢复生日数据库,恢复前的数据库已另存为备份。"_s);
    EXPECT_EQ(context.Birthdays.size(), 300);
    EXPECT_FALSE(context.DbConnection->isReadOnly());
}

} // namespace
