// What only the main window does: its lists and their order, the birthday actions written through
// the birthday service and then shown in place, the restore from a backup, and the window as a
// reader with a keyboard uses it.

#include "app/smspanel.h"
#include "birthdays/birthdayservice.h"
#include "session/backuprestore.h"
#include "store/compaction.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/programfixture.h"
#include "support/windowclipping.h"
#include "widgets/elidedlabel.h"
#include "widgets/skincolors.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <QToolTip>
#include <gtest/gtest.h>

using namespace natalis;
using namespace natalis::app;
using namespace Qt::StringLiterals;
using store::BirthdayEdit;
using store::BirthdayRecord;

namespace {

BirthdayRecord colleague(const QString &name, const QString &tel = u"13900000000"_s)
{
    BirthdayRecord record = test::gregorianBirthday(name, u"公历1980年 05月03日"_s, 7);
    record.Type = u"同事"_s;
    record.Tel = tel;
    return record;
}

class MainWindow : public test::ProgramTest
{
protected:
    // The texts of a column of the first list, as the user sees them.
    QStringList column(int column)
    {
        QStringList texts;
        const QAbstractItemModel *model = window->listView(0)->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, column).data().toString();
        return texts;
    }
    void clickHeader(int column)
    {
        Q_EMIT window->listView(0)->horizontalHeader()->sectionClicked(column);
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
    // The editor as a user fills it: change edits the buffer and OK is pressed.
    void editorAnswers(std::function<void(BirthdayEdit &)> change)
    {
        window->openEditor = [change](BirthdayEdit &buffer, bool) {
            change(buffer);
            return true;
        };
    }
    QStringList storedNames()
    {
        const store::BirthdayLoad load = store::LoadBirthdays(*context.DbConnection);
        QStringList names;
        for (const BirthdayRecord &record : load.Birthdays) {
            if (load.HasBirthdays)
                names << record.About.trimmed();
        }
        names.sort();
        return names;
    }
    // The first list's cell of the named row.
    QString cell(const QString &name, int column)
    {
        const dialogs::BirthdayListModel &model = *window->listModel(0);
        for (int row = 0; row < model.rowCount(); ++row) {
            if (model.cell(row, 0) == name)
                return model.cell(row, column);
        }
        return u"(absent)"_s;
    }
};

TEST_F(MainWindow, CountsAndButtonsFollowTheCurrentList)
{
    for (const QString &name : { u"甲"_s, u"乙"_s }) {
        BirthdayRecord supplier = colleague(name);
        supplier.Type = u"供应商"_s;
        add(supplier);
    }
    BirthdayRecord stray = colleague(u"无类别"_s);
    stray.Type = u"邻居"_s;
    add(stray);
    context.Settings.intInitType = 3;
    openWindow();
    EXPECT_EQ(window->currentCategory(), 3);
    EXPECT_EQ(label(u"lblTabNums1"_s), u"供应商"_s);
    EXPECT_EQ(label(u"lblTabNums"_s), u"2"_s);
    EXPECT_EQ(label(u"lblAllNums"_s), u"3"_s);
    EXPECT_EQ(window->listModel(0)->rowCount(), 1) << "an unknown category lands in the first";
    EXPECT_TRUE(find<QPushButton>(u"cmdEdit"_s)->isEnabled());

    find<QTabBar>(u"TabStrip1"_s)->setCurrentIndex(5);
    EXPECT_EQ(label(u"lblTabNums"_s), u"0"_s);
    for (const QString &name : { u"cmdEdit"_s, u"cmdDel"_s, u"cmdFind"_s })
        EXPECT_FALSE(find<QPushButton>(name)->isEnabled()) << name.toStdString();
}

TEST_F(MainWindow, FindMatchesTheBeginningOfTheSortKeyColumn)
{
    add(colleague(u"王小明"_s, u"13912345678"_s));
    add(colleague(u"小明"_s, u"13812345678"_s));
    openWindow();
    QTableView *list = window->listView(0);
    auto *found = find<QLineEdit>(u"txtFound"_s);
    found->setText(u"明"_s);
    find<QPushButton>(u"cmdFind"_s)->click();
    EXPECT_EQ(window->statusText(1), u"没找到相应的生日提醒！"_s);

    found->setText(u"小"_s);
    find<QPushButton>(u"cmdFind"_s)->click();
    EXPECT_EQ(list->currentIndex().data().toString(), u"小明"_s);

    // Sorted by the number column, the search looks at numbers.
    clickHeader(2);
    found->setText(u"139"_s);
    find<QPushButton>(u"cmdFind"_s)->click();
    EXPECT_EQ(list->model()->index(list->currentIndex().row(), 0).data().toString(), u"王小明"_s);
}

TEST_F(MainWindow, SearchShowsHitsOfEveryListAndTakesTheUserToOne)
{
    add(colleague(u"张三"_s));
    BirthdayRecord supplier = colleague(u"李四"_s, u"13800000000"_s);
    supplier.Type = u"供应商"_s;
    supplier.Beizhu = u"张家口"_s;
    add(supplier);
    add(colleague(u"王五"_s));
    openWindow().show();
    auto *search = find<QLineEdit>(u"txtSearch"_s);
    auto *hits = find<QTableView>(u"lstSearch"_s);
    search->setText(u"张"_s); // as an input method hands it over
    ASSERT_TRUE(hits->isVisible());
    ASSERT_EQ(hits->model()->rowCount(), 2);
    EXPECT_EQ(hits->model()->index(0, 0).data().toString(), u"李四"_s) << "found by the note";
    EXPECT_EQ(hits->model()->index(0, 1).data().toString(), u"供应商"_s);
    EXPECT_EQ(hits->model()->index(0, 4).data().toString(), u"5月3日 星期六"_s)
        << "the next birthday as 近期生日 writes it";

    search->clear();
    QTest::keyClicks(search, u"ls"_s);
    ASSERT_EQ(hits->model()->rowCount(), 1);
    Q_EMIT hits->activated(hits->model()->index(0, 0));
    EXPECT_TRUE(search->text().isEmpty());
    EXPECT_EQ(window->currentCategory(), 3);
    EXPECT_EQ(window->listView(3)->currentIndex().data().toString(), u"李四"_s);
}

// Birthdays around the tests' 1 May 2025: tomorrow, in autumn, and the day before yesterday.
const QStringList TodayAndAround = { u"公历2000年 05月02日"_s, u"公历1950年 04月30日"_s,
    u"公历1990年 09月06日"_s };

struct OrderRow
{
    const char *situation;
    int column;
    QStringList texts; // in the order added
    QStringList ascending; // after one header click
    friend void PrintTo(const OrderRow &row, std::ostream *os) { *os << row.situation; }
};

class ListOrder : public MainWindow, public testing::WithParamInterface<OrderRow>
{
};

TEST_P(ListOrder, HeaderClickSortsAscendingThenDescending)
{
    const OrderRow &row = GetParam();
    for (int i = 0; i < row.texts.size(); ++i) {
        BirthdayRecord record = colleague(row.column == 0 ? row.texts[i] : u"人%1"_s.arg(i));
        if (row.column == 4 || row.column >= dialogs::BirthdayListModel::NextColumn)
            record.strGL = row.texts[i];
        else if (row.column == 5)
            record.strNL = row.texts[i];
        else if (row.column == 7)
            record.intNums = qint16(row.texts[i].toInt());
        add(record);
    }
    openWindow();
    clickHeader(row.column);
    EXPECT_EQ(column(row.column), row.ascending);
    clickHeader(row.column);
    QStringList descending = row.ascending;
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(column(row.column), descending);
}

INSTANTIATE_TEST_SUITE_P(Columns, ListOrder,
    testing::Values(OrderRow { "names in pinyin", 0,
                        { u"严"_s, u"于"_s, u"冯"_s, u"刘"_s, u"史"_s, u"阿"_s, u"张"_s },
                        { u"阿"_s, u"冯"_s, u"刘"_s, u"史"_s, u"严"_s, u"于"_s, u"张"_s } },
        OrderRow { "days by value", 7, { u"3"_s, u"10"_s, u"0"_s, u"11"_s, u"1"_s },
            { u"0"_s, u"1"_s, u"3"_s, u"10"_s, u"11"_s } },
        OrderRow { "gregorian by date, empty first", 4,
            { u"公历1990年 01月02日"_s, QString(), u"公历1989年 12月31日"_s },
            { QString(), u"公历1989年 12月31日"_s, u"公历1990年 01月02日"_s } },
        OrderRow { "lunar leap month after its namesake", 5,
            { u"农历2006年 08月01日"_s, u"农历2006年闰07月15日"_s, u"农历2006年 07月20日"_s,
                u"农历2005年 12月30日"_s },
            { u"农历2005年 12月30日"_s, u"农历2006年 07月20日"_s, u"农历2006年闰07月15日"_s,
                u"农历2006年 08月01日"_s } },
        OrderRow { "next birthday by date", dialogs::BirthdayListModel::NextColumn, TodayAndAround,
            { u"5月2日 星期五"_s, u"9月6日 星期六"_s, u"4月30日 星期四"_s } },
        OrderRow { "age by the coming birthday", dialogs::BirthdayListModel::AgeColumn,
            TodayAndAround, { u"25"_s, u"35"_s, u"76"_s } },
        OrderRow { "周岁 as of today, a day without a year first",
            dialogs::BirthdayListModel::FullAgeColumn,
            { u"公历1990年 09月06日"_s, u"公历0000年 04月01日"_s, u"公历2000年 05月02日"_s },
            { QString(), u"24"_s, u"34"_s } }),
    test::BySituation());

TEST_F(MainWindow, AddStoresTheNameAsTypedShowsItSelectedAndUndoTakesItAway)
{
    add(colleague(u"甲"_s));
    openWindow();
    QSignalSpy changes(service.get(), &birthdays::BirthdayService::changed);
    editorAnswers([](BirthdayEdit &b) {
        b.About = u"王'小明"_s;
        b.strGL = u"公历1990年 01月12日"_s;
    });
    window->cmdAdd_Click();
    EXPECT_EQ(window->statusText(1), u"王'小明添加成功!"_s);
    EXPECT_EQ(cell(u"王'小明"_s, 1), u"同事"_s);
    EXPECT_EQ(window->listView(0)->currentIndex().data().toString(), u"王'小明"_s);
    EXPECT_EQ(storedNames(), (QStringList { u"王'小明"_s, u"甲"_s }));
    EXPECT_EQ(context.Birthdays.size(), 2) << "the array is read again from the table";
    EXPECT_EQ(changes.count(), 1);

    auto *undo = find<QAction>(u"mnuUndo"_s);
    EXPECT_EQ(undo->text(), u"撤销 添加生日"_s);
    undo->trigger();
    EXPECT_EQ(window->statusText(1), u"已撤销 添加生日"_s);
    EXPECT_EQ(cell(u"王'小明"_s, 1), u"(absent)"_s);
    find<QAction>(u"mnuRedo"_s)->trigger();
    EXPECT_EQ(window->listView(0)->selectionModel()->selectedRows().value(0).data().toString(),
        u"王'小明"_s);
}

TEST_F(MainWindow, DeleteAsksFirstAndAFailedOneLeavesListArrayAndTableInStep)
{
    add(colleague(u"甲"_s));
    add(colleague(u"乙"_s));
    openWindow();
    select({ u"乙"_s });
    messages.answer = platform::MessageButton::No;
    window->cmdDel_Click();
    EXPECT_EQ(messages.texts(), QStringList { u"确认删除\"乙\"生日提醒吗?"_s });
    EXPECT_EQ(storedNames().size(), 2);

    select({ u"甲"_s, u"乙"_s });
    messages.answer = platform::MessageButton::Yes;
    // Another program holds the file: every write fails.
    auto other =
        store::Connection::open(database.path(), store::Connection::OpenMode::ExistingOnly);
    ASSERT_TRUE(other);
    other->exec("BEGIN EXCLUSIVE");
    window->cmdDel_Click();
    other->exec("ROLLBACK");
    EXPECT_EQ(messages.texts().value(1), u"确认删除所选择的2个生日提醒吗?"_s);
    EXPECT_EQ(window->statusText(1), u"生日数据库共享访问冲突,生日删除失败!"_s);
    EXPECT_EQ(messages.shown.last().title, u"生日删除"_s);
    EXPECT_EQ(window->listModel(0)->rowCount(), 2);
    EXPECT_EQ(context.Birthdays.size(), 2);
    EXPECT_EQ(storedNames().size(), 2);

    window->cmdDel_Click();
    EXPECT_EQ(window->statusText(1), u"生日删除成功!"_s);
    EXPECT_TRUE(storedNames().isEmpty());
    EXPECT_EQ(window->listModel(0)->rowCount(), 0);
}

TEST_F(MainWindow, EditThatSpoilsTheNumberRecountsTheSmsPanel)
{
    add(colleague(u"甲"_s, u"13912345678"_s));
    openWindow().cmdDuanxin_Click();
    window->listModel(0)->setAllTicks(true);
    EXPECT_EQ(label(u"lblSelNums"_s), u"1"_s);
    select({ u"甲"_s });
    editorAnswers([](BirthdayEdit &b) { b.Tel = u"12345"_s; });
    window->cmdEdit_Click();
    EXPECT_EQ(window->statusText(1), u"生日修改成功!"_s);
    EXPECT_EQ(
        store::LoadBirthdays(*context.DbConnection).Birthdays.value(0).Tel.trimmed(), u"12345"_s);
    EXPECT_EQ(window->listModel(0)->tickedCount(), 0);
    EXPECT_EQ(label(u"lblSelNums"_s), u"0"_s);
}

TEST_F(MainWindow, AnEditKeepsTheKindAndTheDaysTheEditorDoesNotChange)
{
    BirthdayRecord memorial = colleague(u"甲"_s);
    memorial.Kind = u"忌日"_s;
    memorial.Days = u"7,1,0"_s;
    add(memorial);
    openWindow();
    select({ u"甲"_s });
    editorAnswers([](BirthdayEdit &b) { b.Beizhu = u"改过"_s; });
    window->cmdEdit_Click();
    const BirthdayRecord stored = store::LoadBirthdays(*context.DbConnection).Birthdays.value(0);
    EXPECT_EQ(stored.Beizhu.trimmed() + stored.Kind + stored.Days, u"改过忌日7,1,0"_s);
}

TEST_F(MainWindow, SearchBoxLeavesUndoToTheWindowAndEscapeEmptiesIt)
{
    add(colleague(u"甲"_s));
    add(colleague(u"乙"_s));
    openWindow().show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    select({ u"甲"_s });
    messages.answer = platform::MessageButton::Yes;
    window->cmdDel_Click();
    auto *search = find<QLineEdit>(u"txtSearch"_s);
    search->setFocus();
    QTest::keyClicks(search, u"y"_s); // 乙's initial

    QTest::keyClick(search, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(storedNames(), (QStringList { u"乙"_s, u"甲"_s }));
    QTableView *view = window->listView(0);
    const QModelIndexList selected = view->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].data().toString(), u"甲"_s);
    EXPECT_EQ(QApplication::focusWidget(), view) << "Delete reaches the row at once";

    view->clearSelection();
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(window->statusText(1), u"没有选中生日提醒,不能删除!"_s);

    // Escape empties the box first, then goes back to the list.
    search->setFocus();
    QTest::keyClicks(search, u"zs"_s);
    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_EQ(search->text(), QString());
    QTest::keyClick(search, Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), view);
}

TEST_F(MainWindow, StatusBarKeepsItsHintReadable)
{
    openWindow().show();
    const QString hint = window->statusText(1);
    ASSERT_TRUE(hint.startsWith(u"友情提示"_s));
    auto *panel = find<widgets::ElidedLabel>(u"StatusBar1_1"_s);
    window->resize(1024, 700);
    QApplication::processEvents();
    EXPECT_EQ(panel->shownText(), hint) << "whole at 1024 pixels";
    window->resize(512, 500); // a 1024-pixel screen at scale 2
    QApplication::processEvents();
    EXPECT_TRUE(panel->shownText().endsWith(u'…')) << panel->shownText().toStdString();
    QHelpEvent tip(QEvent::ToolTip, QPoint(2, 2), panel->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(panel, &tip);
    EXPECT_EQ(QToolTip::text(), hint);
}

// The user keeps the damaged file for now: nothing may write to it (the reminder memory
// included), its read error is told once, and the file menu can still restore later.
TEST_F(MainWindow, DeclinedRestoreLeavesTheDamagedFileByteForByte)
{
    for (int i = 0; i < 300; ++i) {
        BirthdayRecord record = colleague(u"同事"_s + QString::number(i));
        record.Beizhu = QString(50, u'备');
        add(record);
    }
    context.DbConnection.reset();
    {
        store::Compaction start = store::CompactBirthDb(database.path(), QDate(2025, 1, 9));
        ASSERT_TRUE(start.backup && start.backup->check());
    }
    const QByteArray bytes = database.damageLastPage();
    messages.answer = platform::MessageButton::No;

    context.DbConnection = store::OpenBirthDb(database.path());
    ASSERT_TRUE(context.DbConnection);
    loadBirthdaysAtStart(context, messages, clock.now());
    program = std::make_unique<Application>(context, messages, clock, nullptr);
    program->onTimer1();
    QApplication::setActiveWindow(&program->window());
    program->onTimer1();

    EXPECT_EQ(database.bytes(), bytes);
    EXPECT_EQ(messages.texts().filter(u"读取生日数据库:"_s).size(), 1)
        << messages.texts().join(u'\n').toStdString();
    EXPECT_EQ(program->window().statusText(1),
        u"生日数据库文件已损坏,已只读打开,所做的修改无法保存。可用\"从备份恢复…\"恢复。"_s);

    program->window().runDialog = [](QDialog &dialog) {
        dialog.findChild<QPushButton *>(u"cmdRestore"_s)->click();
    };
    // The backups are read on a worker; the entry is back once the reading has ended.
    const auto restore = [this] {
        program->window().mnuRestore_Click();
        QAction *entry = program->window().findChild<QAction *>(u"mnuRestore"_s);
        ASSERT_TRUE(QTest::qWaitFor([entry] { return entry->isEnabled(); }));
    };
    messages.answer = platform::MessageButton::No;
    restore();
    EXPECT_EQ(messages.texts().last(),
        u"确认用2025年1月9日的备份(共300个生日提醒)替换当前的生日数据库吗?\n"
        "替换前的数据库会先另存为备份。"_s);
    EXPECT_EQ(database.bytes(), bytes) << "asked first, nothing replaced";

    messages.answer = platform::MessageButton::Yes;
    QSignalSpy changes(&program->birthdayService(), &birthdays::BirthdayService::changed);
    restore();
    EXPECT_EQ(messages.texts().last(), u"已从备份恢复生日数据库,恢复前的数据库已另存为备份。"_s);
    EXPECT_EQ(context.Birthdays.size(), 300);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(
        changes[0][0].value<birthdays::BirthdayChanges>().origin, birthdays::ChangeOrigin::Restore);
    EXPECT_FALSE(context.DbConnection->isReadOnly());
}

TEST_F(MainWindow, CancelledBackupReadingOffersNothing)
{
    openWindow();
    window->readBackups = [](const QString &, const store::BackupListingProgress &progress) {
        while (progress(0, 7)) { }
        return QList<store::BackupEntry> { {} };
    };
    window->runDialog = [](QDialog &) { ADD_FAILURE() << "a backup offered after 取消"; };
    QAction *entry = find<QAction>(u"mnuRestore"_s);
    window->mnuRestore_Click();
    EXPECT_FALSE(entry->isEnabled()) << "no second restore while the backups are read";
    find<QDialog>(u"frmReading"_s)->findChild<QPushButton *>(u"cmdCancel"_s)->click();
    ASSERT_TRUE(QTest::qWaitFor([entry] { return entry->isEnabled(); }));
}

TEST_F(MainWindow, SkinsPaintTheSmsPanelBoxes)
{
    openWindow();
    find<QAction>(u"mnuHf3"_s)->trigger();
    const QColor skin(0xCC, 0xFF, 0xFF);
    for (const QString &name : { u"cboDxTxUser"_s, u"lstTmp"_s, u"txtYyGL"_s, u"ListView1_4"_s })
        EXPECT_EQ(find<QWidget>(name)->palette().color(QPalette::Base), skin) << name.toStdString();
    EXPECT_EQ(find<QWidget>(u"txtYyGL"_s)->palette().color(QPalette::Text), QColor(Qt::black));
}

TEST_F(MainWindow, ListsFollowTheDesktopAndStayReadableWhenItTurnsDark)
{
    openWindow().show();
    EXPECT_TRUE(find<QAction>(u"mnuHf0"_s)->isChecked()) << "跟随系统 is where a user starts";
    find<QAction>(u"mnuHf3"_s)->trigger();
    const QPalette light = QApplication::palette();
    QApplication::setPalette(
        widgets::darkPalette()); // the desktop switches to dark while the program runs
    QApplication::processEvents(); // widgets take a new application palette from the event loop
    const QPalette list = window->listView(0)->palette();
    const QLabel *link = find<QLabel>(u"Label7"_s);
    const double linkContrast =
        widgets::contrastRatio(link->palette().color(link->foregroundRole()),
            link->parentWidget()->palette().color(QPalette::Window));
    QApplication::setPalette(light);
    EXPECT_GE(linkContrast, widgets::ReadableContrast) << "违规关键字";
    EXPECT_LT(list.color(QPalette::Base).lightness(), 128);
    EXPECT_GE(widgets::contrastRatio(list.color(QPalette::Text), list.color(QPalette::Base)),
        widgets::ReadableContrast);
}

TEST_F(MainWindow, EnterAndDoubleClickOnARowEditBelowTheRowsNothingIsSelected)
{
    add(colleague(u"甲"_s));
    openWindow().show();
    int edits = 0;
    window->openEditor = [&edits](BirthdayEdit &, bool) {
        ++edits;
        return false;
    };
    QTableView *view = window->listView(0);
    view->setCurrentIndex(view->model()->index(0, 0));
    view->selectRow(0);
    QTest::keyClick(view, Qt::Key_Return);
    const QRect row = view->visualRect(view->currentIndex());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(edits, 2);

    const QPoint empty(20, row.bottom() + 20);
    ASSERT_LT(empty.y(), view->viewport()->height());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, empty);
    EXPECT_EQ(window->statusText(1), u"没有选取生日！"_s);
    EXPECT_EQ(edits, 2);
}

TEST_F(MainWindow, StandardKeysReachTheirActions)
{
    add(colleague(u"甲"_s));
    openWindow().show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    int adds = 0;
    window->openEditor = [&adds](BirthdayEdit &, bool batch) {
        adds += batch ? 0 : 1;
        return false;
    };
    QStringList opened;
    window->openDocument = [&opened](const QString &path, const std::function<void()> &) {
        opened << path;
    };
    QTableView *view = window->listView(0);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(adds, 1);
    QTest::keyClick(view, Qt::Key_F1);
    EXPECT_EQ(opened.size(), 1);

    select({ u"甲"_s });
    view->setFocus();
    messages.answer = platform::MessageButton::No;
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(messages.texts(), QStringList { u"确认删除\"甲\"生日提醒吗?"_s });

    auto *tabs = find<QTabBar>(u"TabStrip1"_s);
    QTest::keyClick(view, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), 1);
    QTest::keyClick(window.get(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(window.get(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(tabs->currentIndex(), tabs->count() - 1) << "from the first tab round to the last";

    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), u"txtSearch"_s);
}

TEST_F(MainWindow, GeometryAndColumnWidthsComeBackAtTheNextStart)
{
    openWindow().show();
    window->resize(760, 470);
    window->listView(2)->horizontalHeader()->resizeSection(3, 233);
    window->hide(); // the close box hides the window: that is when its state is kept
    window.reset();

    openWindow();
    EXPECT_EQ(window->size(), QSize(760, 470));
    EXPECT_EQ(window->listView(2)->horizontalHeader()->sectionSize(3), 233);
}

TEST_F(MainWindow, HeaderMenuHidesAColumnInEveryListAndTheNextStartKeepsIt)
{
    openWindow().show();
    QHeaderView *header = window->listView(0)->horizontalHeader();
    EXPECT_EQ(header->visualIndex(dialogs::BirthdayListModel::NextColumn), 1);
    EXPECT_EQ(header->visualIndex(dialogs::BirthdayListModel::AgeColumn), 2);
    window->runMenu = [](QMenu &menu, const QPoint &) {
        for (QAction *entry : menu.actions()) {
            if (entry->text() == u"联系方式")
                entry->trigger();
        }
    };
    Q_EMIT header->customContextMenuRequested(QPoint(10, 5));
    header->moveSection(header->visualIndex(3), 0);
    for (int index : { 0, 5 }) {
        EXPECT_TRUE(window->listView(index)->isColumnHidden(2)) << index;
        EXPECT_EQ(window->listView(index)->horizontalHeader()->logicalIndex(0), 3) << index;
    }
    window->hide();
    window.reset();

    openWindow();
    EXPECT_TRUE(window->listView(7)->isColumnHidden(2));
    EXPECT_EQ(window->listView(7)->horizontalHeader()->logicalIndex(0), 3);
}

TEST_F(MainWindow, UpcomingTabListsTheNextThirtyDaysOfEveryCategory)
{
    add(colleague(u"远"_s)); // 3 May, two days on
    BirthdayRecord supplier = test::gregorianBirthday(u"近"_s, u"公历1990年 05月01日"_s);
    supplier.Type = u"供应商"_s;
    add(supplier);
    add(test::gregorianBirthday(u"秋"_s, u"公历1990年 09月06日"_s));
    openWindow().show();
    find<QTabBar>(u"TabStrip1"_s)->setCurrentIndex(frmGet::UpcomingTab);
    auto *upcoming = find<QTableView>(u"lstUpcoming"_s);
    ASSERT_TRUE(upcoming->isVisible());
    ASSERT_EQ(upcoming->model()->rowCount(), 2);
    const auto text = [upcoming](int row, int column) {
        return upcoming->model()->index(row, column).data().toString();
    };
    EXPECT_EQ(QStringList({ text(0, 0), text(0, 1), text(0, 3), text(0, 4) }),
        QStringList({ u"近"_s, u"供应商"_s, u"今天"_s, u"35"_s }));
    EXPECT_EQ(text(1, 0), u"远"_s);
    EXPECT_EQ(text(1, 5), u"按公历提醒"_s);
    EXPECT_EQ(label(u"lblTabNums"_s), u"2"_s);
    EXPECT_FALSE(find<QPushButton>(u"cmdDel"_s)->isEnabled());
}

TEST_F(MainWindow, ListMenuCopiesNumbersAndTicksTheChosenRowsForAnSms)
{
    add(colleague(u"甲"_s, u"13912345678"_s));
    add(colleague(u"乙"_s, u"12345"_s));
    add(colleague(u"丙"_s, u"13812345678"_s));
    openWindow().show();
    QString chosen;
    window->runMenu = [&chosen](QMenu &menu, const QPoint &) {
        for (QAction *entry : menu.actions()) {
            if (entry->text() == chosen)
                entry->trigger();
        }
    };
    QTableView *view = window->listView(0);
    select({ u"甲"_s, u"乙"_s });
    chosen = u"复制电话(&C)"_s;
    Q_EMIT view->customContextMenuRequested(QPoint(5, 5));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"13912345678\n12345"_s);

    chosen = u"发送短信(&S)"_s;
    Q_EMIT view->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(window->smsPanel().isOpen());
    EXPECT_EQ(window->listModel(0)->tickedCount(), 1) << "only the mobile number takes a tick";
    EXPECT_EQ(label(u"lblSelNums"_s), u"1"_s);
}

TEST_F(MainWindow, HelpShowsInItsOwnWindowWhenTheDesktopCannotOpenIt)
{
    openWindow().show();
    window->openDocument = [](const QString &, const std::function<void()> &failed) { failed(); };
    find<QAction>(u"mnuHelp"_s)->trigger();
    auto *help = window->findChild<QTextBrowser *>(u"txtHelp"_s);
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_FALSE(help->toPlainText().isEmpty());
}

TEST_F(MainWindow, HelpOpensTheShippedDocumentUnlessHelp4DocIsThere)
{
    openWindow();
    QStringList opened;
    window->openDocument = [&opened](const QString &path, const std::function<void()> &) {
        opened << path;
    };
    find<QAction>(u"mnuHelp"_s)->trigger();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(QFile::exists(opened[0])) << opened[0].toStdString();
    EXPECT_EQ(window->findChild<QDialog *>(u"frmHelp"_s), nullptr);

    database.write(u"help4.doc"_s, "doc");
    find<QAction>(u"mnuHelp"_s)->trigger();
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[1], database.path(u"help4.doc"_s));
}

TEST_F(MainWindow, NothingIsCutOffOnSmallScreens)
{
    openWindow();
    for (const bool smsPanel : { false, true }) {
        for (const auto &screen : test::SmallScreens) {
            EXPECT_EQ(test::widgetsOutsideWhenFitted(*window, screen.room), QStringList())
                << screen.situation << (smsPanel ? ", SMS panel open" : "");
            EXPECT_FALSE(test::widerThan(*window, screen.room))
                << screen.situation << (smsPanel ? ", SMS panel open" : "");
        }
        window->cmdDuanxin_Click(); // folds the SMS panel out
    }
}

} // namespace
