#include "session/appcontext.h"
#include "app/birthdaylistmodel.h"
#include "platform/clock.h"
#include "dialogs/frmcontent.h"
#include "app/frmget.h"
#include "dialogs/frmhappen.h"
#include "desktop/frmnotify.h"
#include "platform/messagesink.h"
#include "desktop/musicplayer.h"
#include "desktop/traylayer.h"
#include "store/categories.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/recordingmessagesink.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace natalis::app;
using natalis::store::BirthdayRecord;

namespace {

BirthdayRecord birthday(const QString &name, int category, const QString &tel, const QString &gl)
{
    BirthdayRecord record = natalis::test::gregorianBirthday(name, gl, 7);
    record.Type = natalis::store::CategoryNames[category].toString();
    record.Tel = tel;
    return record;
}

class MainWindow : public testing::Test
{
protected:
    MainWindow()
    {
        context.Settings.intQipao = 0;
        context.Settings.intFudong = 1;
        context.Settings.intFdInit = 1;
    }

    frmGet &open()
    {
        window = std::make_unique<frmGet>(context, messages, clock, nullptr);
        window->load();
        return *window;
    }

    void fillAllCategories()
    {
        int id = 1;
        for (int category = 0; category < 8; ++category) {
            for (int n = 0; n <= category; ++n) {
                BirthdayRecord record = birthday(QStringLiteral("人%1_%2").arg(category).arg(n),
                    category, QStringLiteral("13900000000"), QStringLiteral("公历1980年 01月15日"));
                record.Id = id++;
                context.Birthdays.append(record);
            }
        }
        context.HasBirthdays = true;
    }

    template<typename T>
    T *find(const char *name)
    {
        T *widget = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QString text(const char *name) { return find<QLabel>(name)->text(); }

    AppContext context;
    natalis::test::RecordingMessageSink messages;
    FixedClock clock { QDateTime(QDate(2025, 5, 1), QTime(8, 0)) };
    std::unique_ptr<frmGet> window;
};

TEST_F(MainWindow, EmptyTableDisablesEditDeleteAndFindEverywhere)
{
    open();
    for (int tab = 0; tab < 8; ++tab) {
        window->findChild<QTabBar *>(QStringLiteral("TabStrip1"))->setCurrentIndex(tab);
        EXPECT_EQ(text("lblTabNums"), QStringLiteral("0"));
        EXPECT_EQ(text("lblAllNums"), QStringLiteral("0"));
        for (const char *name : { "cmdEdit", "cmdDel", "cmdFind" })
            EXPECT_FALSE(find<QPushButton>(name)->isEnabled()) << name << " on tab " << tab;
    }
    EXPECT_EQ(window->windowTitle(), QStringLiteral("青萍生日提醒软件v4.0[生日设置]"));
    EXPECT_EQ(window->statusText(1),
        QStringLiteral("友情提示:修改生日数据后,请用户导出数据做备份,以防电脑崩溃时造成数据损毁!"));
}

TEST_F(MainWindow, RowsOfEveryCategoryInTheirLists)
{
    fillAllCategories();
    context.Settings.intInitType = 3;
    open();
    EXPECT_EQ(window->currentCategory(), 3);
    EXPECT_EQ(text("lblTabNums1"), QStringLiteral("供应商"));
    EXPECT_EQ(text("lblTabNums"), QStringLiteral("4"));
    EXPECT_EQ(text("lblAllNums"), QStringLiteral("36"));
    EXPECT_FALSE(context.IsFormLoading);
    for (int category = 0; category < 8; ++category) {
        const BirthdayListModel *model = window->listModel(category);
        ASSERT_EQ(model->rowCount(), category + 1);
        EXPECT_EQ(model->index(0, 1).data().toString(), natalis::store::CategoryNames[category]);
        EXPECT_EQ(model->index(0, 0).data(BirthdayListModel::KeyRole).toString(),
            u'R' + QString::number(model->rows()[0].id));
        EXPECT_TRUE(window->findChild<QTableView *>(QStringLiteral("ListView1_%1").arg(category)));
    }
    window->findChild<QTabBar *>(QStringLiteral("TabStrip1"))->setCurrentIndex(7);
    EXPECT_EQ(text("lblTabNums"), QStringLiteral("8"));
    EXPECT_TRUE(find<QPushButton>("cmdEdit")->isEnabled());
}

TEST_F(MainWindow, UnknownCategoryLandsInTheFirstList)
{
    BirthdayRecord stray = birthday(QStringLiteral("无类别"), 0, {}, {});
    stray.Type = QStringLiteral("邻居");
    context.Birthdays = { stray };
    context.HasBirthdays = true;
    open();
    EXPECT_EQ(window->listModel(0)->rowCount(), 1);
}

TEST_F(MainWindow, FindMatchesTheBeginningOfTheSortKeyColumn)
{
    context.Birthdays = { birthday(QStringLiteral("王小明"), 0, QStringLiteral("13912345678"), {}),
        birthday(QStringLiteral("小明"), 0, QStringLiteral("13812345678"), {}) };
    context.HasBirthdays = true;
    open();
    QTableView *list = window->listView(0);
    auto *found = find<QLineEdit>("txtFound");

    found->setText(QStringLiteral("明"));
    find<QPushButton>("cmdFind")->click();
    EXPECT_EQ(window->statusText(1), QStringLiteral("没找到相应的生日提醒！"));

    found->setText(QStringLiteral("小"));
    find<QPushButton>("cmdFind")->click();
    ASSERT_TRUE(list->currentIndex().isValid());
    EXPECT_EQ(list->currentIndex().data().toString(), QStringLiteral("小明"));

    // Sorted by the number column, the search looks at numbers.
    Q_EMIT list->horizontalHeader()->sectionClicked(2);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), QStringLiteral("小明"));
    found->setText(QStringLiteral("139"));
    find<QPushButton>("cmdFind")->click();
    EXPECT_EQ(list->model()->index(list->currentIndex().row(), 0).data().toString(),
        QStringLiteral("王小明"));
}

TEST_F(MainWindow, SkinsKeepExactlyOneCheckMark)
{
    open();
    const char *names[] = { "mnuHf1", "mnuHf2", "mnuHf3", "mnuHf4" };
    for (int skin : { 3, 2, 4, 4, 1, 2 }) {
        find<QAction>(names[skin - 1])->trigger();
        int checked = 0;
        for (const char *name : names)
            checked += find<QAction>(name)->isChecked() ? 1 : 0;
        EXPECT_EQ(checked, 1);
        EXPECT_EQ(context.CurrentSkin, skin);
    }
    EXPECT_EQ(window->listView(0)->palette().color(QPalette::Base), QColor(0xCC, 0xCC, 0xCC));
}

TEST_F(MainWindow, OnlyPhoneNumbersCanBeTicked)
{
    context.Birthdays = { birthday(QStringLiteral("甲"), 0, QStringLiteral("13912345678"), {}),
        birthday(QStringLiteral("乙"), 0, QStringLiteral("12345"), {}) };
    context.HasBirthdays = true;
    open();
    BirthdayListModel *model = window->listModel(0);
    EXPECT_FALSE(model->setData(model->index(0, 0), Qt::Checked, Qt::CheckStateRole))
        << "no ticks while the SMS panel is closed";
    model->setCheckable(true);
    model->setData(model->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole);
    EXPECT_EQ(model->index(0, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    EXPECT_EQ(model->index(1, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
    model->setAllTicks(true);
    EXPECT_EQ(model->tickedCount(), 1);
}

TEST_F(MainWindow, StartupReminderOpensTheFloatingWindowAndTheTipNamesTheBirthday)
{
    context.Birthdays = { birthday(QStringLiteral("张三"), 6, QStringLiteral("13912345678"),
        QStringLiteral("公历1980年 05月03日")) };
    context.HasBirthdays = true;
    open();
    ASSERT_NE(window->floatingWindow(), nullptr);
    EXPECT_TRUE(window->floatingWindow()->isVisible());
    EXPECT_EQ(window->tray().tip(), QStringLiteral("张三生日还有2天[朋友,13912345678]"));
    EXPECT_TRUE(window->loop().isBlinking());

    window->loop().acknowledge();
    EXPECT_FALSE(window->floatingWindow()->isVisible());
    EXPECT_FALSE(window->loop().isBlinking());
    EXPECT_EQ(window->tray().pictureShown(), 0);
}

TEST_F(MainWindow, TipShowsTheHeadingWhenNothingIsDue)
{
    open();
    window->onTimer1();
    EXPECT_EQ(
        window->tray().tip(), QStringLiteral("公历2025年05月01日(星期四) 农历2025年(蛇)04月04日 "));
}

TEST_F(MainWindow, CloseBoxOnlyHides)
{
    open();
    window->tray().availabilityProbe = [] { return true; };
    window->show();
    window->close();
    EXPECT_TRUE(window->isHidden());
    find<QPushButton>("cmdExit")->click();
    EXPECT_TRUE(window->isHidden());
    EXPECT_TRUE(find<QAction>("mnuExit")->isEnabled()) << "the program is still there to end";
}

TEST_F(MainWindow, AnotherStartNamingAnotherFileIsToldWhichFileIsKept)
{
    context.DbPath = QStringLiteral("/home/user/natalis.mdb");
    open();
    window->anotherStartAsked(QString());
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(messages.shown.isEmpty()) << "the same file: nothing to tell";

    const QString other = QStringLiteral("/home/user/other.mdb");
    window->anotherStartAsked(other);
    QApplication::processEvents();
    EXPECT_TRUE(window->statusText(1).contains(context.DbPath));
    EXPECT_TRUE(window->statusText(1).contains(other));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.texts()[0].contains(u"已经处于运行状态"));
    EXPECT_TRUE(messages.texts()[0].contains(context.DbPath));
    EXPECT_TRUE(messages.texts()[0].contains(other));
}

TEST(FloatingWindow, ScrollsLeftAndComesBackFromTheRight)
{
    constexpr int ScrolledOutBy = 0; // the last position seen before the wrap: right edge at 0
    frmNotify notify;
    notify.setNotifyText(QStringLiteral("今天是张三生日[朋友,13912345678]"));
    notify.show();
    auto *label = notify.findChild<QLabel *>(QStringLiteral("lblNotify"));
    ASSERT_NE(label, nullptr);
    const int start = label->x();
    notify.scrollTick();
    EXPECT_EQ(label->x(), start - frmNotify::ScrollStep);
    int previous = label->x();
    int ticks = 0;
    for (; ticks < 5000 && label->x() <= previous; ++ticks) {
        previous = label->x();
        notify.scrollTick();
    }
    EXPECT_EQ(previous + label->width(), ScrolledOutBy) << "wraps only once fully out of sight";
    EXPECT_GT(label->x(), notify.width() / 2) << "back at the right edge";
    EXPECT_DOUBLE_EQ(notify.windowOpacity(), 200.0 / 255.0);
    EXPECT_TRUE(notify.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST(DayLists, HappenNumbersTheItemsOfTheDay)
{
    frmHappen happen(
        QStringLiteral("2025年5月1日"), QStringLiteral("今天是张三生日[朋友,139] 今天是劳动节"), 1);
    auto *list = happen.findChild<QListWidget *>(QStringLiteral("lstContent"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("1 今天是张三生日[朋友,139]"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("2 今天是劳动节"));
    EXPECT_EQ(happen.windowTitle(), QStringLiteral("节假日/生日列表"));
}

TEST(DayLists, ContentFillsOneRowPerLine)
{
    frmContent content(
        QStringLiteral("2025年5月1日"), QStringLiteral("张三\t朋友\t139\r\n劳动节\r\n"), 2);
    auto *list = content.findChild<QTreeWidget *>(QStringLiteral("lstvContent"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->columnCount(), 13);
    EXPECT_EQ(content.findChild<QLabel *>(QStringLiteral("lblDate"))->text(),
        QStringLiteral("2025年5月1日 节假日/生日如下:"));
}

} // namespace
