// The main window as a Chinese reader with a keyboard expects it: Qt's own texts in Chinese,
// lists in pinyin, number and date order, Enter and double-click, counters after an edit, skins
// over the SMS panel, remembered geometry, tool tips, help, and pictures made once.

#include "session/appcontext.h"
#include "app/birthdaylistmodel.h"
#include "platform/clock.h"
#include "app/frmget.h"
#include "desktop/musicplayer.h"
#include "session/qttranslations.h"
#include "widgets/screenfit.h"
#include "session/startup.h"
#include "store/birthdays.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QDialog>
#include <QSet>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTranslator>
#include <gtest/gtest.h>
#include <memory>

using namespace natalis::app;
using natalis::store::BirthdayEdit;
using natalis::store::BirthdayRecord;

namespace {

TEST(QtTranslations, StandardButtonsAndMenusAreChinese)
{
    std::unique_ptr<QTranslator> translator(installQtTranslations(*qApp));
    ASSERT_NE(translator, nullptr) << "qtbase_zh_CN.qm is installed by scripts/deps.sh";
    QMessageBox box(QMessageBox::Question, QStringLiteral("标题"), QStringLiteral("问题"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
    for (const auto button : { QMessageBox::Yes, QMessageBox::No, QMessageBox::Ok,
             QMessageBox::Cancel }) {
        const QString text = box.button(button)->text();
        EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}"))))
            << text.toStdString();
    }
    EXPECT_EQ(box.button(QMessageBox::Yes)->text().left(1), QStringLiteral("是"));
    QLineEdit edit(QStringLiteral("文字"));
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    for (QAction *action : menu->actions()) {
        if (action->isSeparator())
            continue;
        // The shortcut after the tab stays "Ctrl+Z"; the words before it must be Chinese.
        EXPECT_FALSE(action->text().section(u'\t', 0, 0).contains(
            QRegularExpression(QStringLiteral("[a-z]{3,}"))))
            << action->text().toStdString();
    }
}

BirthdayRecord person(const QString &name, const QString &tel = QStringLiteral("13900000000"))
{
    BirthdayRecord record =
        natalis::test::gregorianBirthday(name, QStringLiteral("公历1980年 05月03日"), 7);
    record.Type = QStringLiteral("同事");
    record.Tel = tel;
    return record;
}

// The main window over a real database, as the program assembles it.
class MainWindowUse : public testing::Test
{
protected:
    MainWindowUse() { context.DbConnection = database.create(); }

    void add(const BirthdayRecord &record)
    {
        natalis::store::AddBirthToMdb(*context.DbConnection, record);
    }

    frmGet &open()
    {
        reloadBirthdays(context, messages);
        context.Settings.intFudong = 0;
        window = std::make_unique<frmGet>(context, messages, clock, nullptr);
        window->load();
        return *window;
    }

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

    template<typename T>
    T *find(const char *name)
    {
        T *widget = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void selectRow(int row)
    {
        QTableView *view = window->listView(0);
        view->setCurrentIndex(view->model()->index(row, 0));
        view->selectRow(row);
    }

    natalis::test::TempDatabase database;
    AppContext context;
    natalis::test::RecordingMessageSink messages;
    FixedClock clock { QDateTime(QDate(2025, 5, 1), QTime(8, 0)) };
    std::unique_ptr<frmGet> window;
};

struct OrderRow
{
    const char *situation;
    int column;
    QList<BirthdayRecord> records;
    QStringList ascending; // the column's texts after one header click
};

class ListOrder : public MainWindowUse, public testing::WithParamInterface<OrderRow>
{
};

BirthdayRecord withField(const QString &name, int column, const QString &text)
{
    BirthdayRecord record = person(name);
    switch (column) {
    case 4:
        record.strGL = text;
        break;
    case 5:
        record.strNL = text;
        break;
    case 7:
        record.intNums = qint16(text.toInt());
        break;
    default:
        break;
    }
    return record;
}

TEST_P(ListOrder, HeaderClickSortsAscendingThenDescending)
{
    const OrderRow &row = GetParam();
    for (const BirthdayRecord &record : row.records)
        add(record);
    open();
    clickHeader(row.column);
    EXPECT_EQ(column(row.column), row.ascending);
    clickHeader(row.column);
    QStringList descending = row.ascending;
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(column(row.column), descending);
    EXPECT_EQ(window->listView(0)->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    clickHeader(row.column);
    EXPECT_EQ(column(row.column), row.ascending) << "a third click turns the order back";
}

QList<BirthdayRecord> named(const QStringList &names)
{
    QList<BirthdayRecord> records;
    for (const QString &name : names)
        records << person(name);
    return records;
}

QList<BirthdayRecord> withColumn(int column, const QStringList &texts)
{
    QList<BirthdayRecord> records;
    for (int i = 0; i < texts.size(); ++i)
        records << withField(QStringLiteral("人%1").arg(i), column, texts[i]);
    return records;
}

INSTANTIATE_TEST_SUITE_P(Columns, ListOrder,
    testing::Values(
        OrderRow { "names in pinyin", 0,
            named({ u"严"_qs, u"于"_qs, u"冯"_qs, u"刘"_qs, u"史"_qs, u"阿"_qs, u"张"_qs }),
            { u"阿"_qs, u"冯"_qs, u"刘"_qs, u"史"_qs, u"严"_qs, u"于"_qs, u"张"_qs } },
        OrderRow { "days by value", 7, withColumn(7, { u"3"_qs, u"10"_qs, u"0"_qs, u"11"_qs, u"1"_qs }),
            { u"0"_qs, u"1"_qs, u"3"_qs, u"10"_qs, u"11"_qs } },
        OrderRow { "gregorian by date, empty first", 4,
            withColumn(4, { u"公历1990年 01月02日"_qs, QString(), u"公历1989年 12月31日"_qs }),
            { QString(), u"公历1989年 12月31日"_qs, u"公历1990年 01月02日"_qs } },
        OrderRow { "lunar leap month after its namesake", 5,
            withColumn(5, { u"农历2006年 08月01日"_qs, u"农历2006年闰07月15日"_qs,
                              u"农历2006年 07月20日"_qs, u"农历2005年 12月30日"_qs }),
            { u"农历2005年 12月30日"_qs, u"农历2006年 07月20日"_qs, u"农历2006年闰07月15日"_qs,
                u"农历2006年 08月01日"_qs } }),
    natalis::test::BySituation());

TEST_F(MainWindowUse, NextBirthdayAndAgeColumnsSortByDateAndAge)
{
    BirthdayRecord soon = person(QStringLiteral("甲"));
    soon.strGL = QStringLiteral("公历2000年 05月02日");
    BirthdayRecord later = person(QStringLiteral("乙"));
    later.strGL = QStringLiteral("公历1950年 04月30日");
    BirthdayRecord lunar = natalis::test::lunarBirthday(
        QStringLiteral("丙"), QStringLiteral("农历2006年闰07月15日"), 7);
    lunar.Type = QStringLiteral("同事");
    for (const BirthdayRecord &r : { soon, later, lunar })
        add(r);
    open();
    EXPECT_EQ(BirthdayListModel::columnTitles().mid(15),
        QStringList({ QStringLiteral("下次生日"), QStringLiteral("年龄") }));
    clickHeader(BirthdayListModel::NextColumn);
    EXPECT_EQ(column(BirthdayListModel::NextColumn),
        QStringList({ u"2025-05-02"_qs, u"2025-09-06"_qs, u"2026-04-30"_qs }));
    EXPECT_EQ(column(BirthdayListModel::AgeColumn), QStringList({ u"25"_qs, u"19"_qs, u"76"_qs }));
    const QAbstractItemModel *model = window->listView(0)->model();
    EXPECT_EQ(model->index(1, BirthdayListModel::AgeColumn).data(Qt::ToolTipRole).toString(),
        QStringLiteral("周岁19,虚岁20"));
    EXPECT_EQ(model->index(0, BirthdayListModel::AgeColumn).data(Qt::ToolTipRole).toString(),
        QStringLiteral("周岁25"));
    clickHeader(BirthdayListModel::AgeColumn);
    EXPECT_EQ(column(0), QStringList({ u"丙"_qs, u"甲"_qs, u"乙"_qs }));
}

TEST_F(MainWindowUse, EachCellShowsItsWholeTextAsToolTip)
{
    BirthdayRecord record = person(QStringLiteral("甲"));
    record.Beizhu = QStringLiteral("很长的备注").repeated(8);
    add(record);
    open();
    const QAbstractItemModel *model = window->listView(0)->model();
    EXPECT_EQ(model->index(0, 3).data(Qt::ToolTipRole).toString(), record.Beizhu);
    EXPECT_EQ(model->index(0, 0).data(Qt::ToolTipRole).toString(), QStringLiteral("甲"));
    EXPECT_FALSE(model->index(0, 12).data(Qt::ToolTipRole).isValid()) << "an empty cell has none";
    EXPECT_TRUE(window->listView(0)->toolTip().isEmpty()) << "no list-wide tip over the rows";
    EXPECT_EQ(model->headerData(3, Qt::Horizontal, Qt::ToolTipRole).toString(),
        QStringLiteral("点击标题栏按相应标题排序"));
    EXPECT_TRUE(window->listView(0)->horizontalHeader()->stretchLastSection());
}

TEST_F(MainWindowUse, EditThatSpoilsTheNumberRecountsTheSmsPanel)
{
    add(person(QStringLiteral("甲"), QStringLiteral("13912345678")));
    open();
    window->cmdDuanxin_Click();
    BirthdayListModel *model = window->listModel(0);
    model->setData(model->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    EXPECT_EQ(find<QLabel>("lblSelNums")->text(), QStringLiteral("1"));
    selectRow(0);
    window->openEditor = [](BirthdayEdit &buffer, bool) {
        buffer.Tel = QStringLiteral("12345");
        return true;
    };
    window->cmdEdit_Click();
    EXPECT_EQ(window->statusText(1), QStringLiteral("生日修改成功!"));
    EXPECT_EQ(model->tickedCount(), 0);
    EXPECT_EQ(find<QLabel>("lblSelNums")->text(), QStringLiteral("0"));
    EXPECT_EQ(find<QLabel>("lblTelNums")->text(), QStringLiteral("0"));
}

TEST_F(MainWindowUse, SkinsPaintTheSmsPanelBoxes)
{
    open();
    find<QAction>("mnuHf3")->trigger();
    const QColor skin(0xCC, 0xFF, 0xFF);
    for (const char *name : { "cboDxTxUser", "cboYyHour", "cboYyMin", "lstTmp", "txtTmp",
             "txtContent", "txtYyGL", "txtYyNl", "txtFound", "ListView1_4" })
        EXPECT_EQ(find<QWidget>(name)->palette().color(QPalette::Base), skin) << name;
    EXPECT_EQ(find<QWidget>("txtYyGL")->palette().color(QPalette::Text), QColor(Qt::black));
}

TEST_F(MainWindowUse, DoubleClickBelowTheRowsSaysNothingIsSelected)
{
    add(person(QStringLiteral("甲")));
    open();
    int edits = 0;
    window->openEditor = [&edits](BirthdayEdit &, bool) {
        ++edits;
        return false;
    };
    window->show();
    QTableView *view = window->listView(0);
    view->selectRow(0);
    const QPoint empty(20, view->visualRect(view->model()->index(0, 0)).bottom() + 20);
    ASSERT_LT(empty.y(), view->viewport()->height());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, empty);
    EXPECT_EQ(window->statusText(1), QStringLiteral("没有选取生日！"));
    EXPECT_EQ(edits, 0);
}

TEST_F(MainWindowUse, EnterOnARowAndDoubleClickOnItEdit)
{
    add(person(QStringLiteral("甲")));
    open();
    int edits = 0;
    window->openEditor = [&edits](BirthdayEdit &, bool) {
        ++edits;
        return false;
    };
    selectRow(0);
    QTableView *view = window->listView(0);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(edits, 1);
    window->show();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->currentIndex()).center());
    EXPECT_EQ(edits, 2);
}

TEST_F(MainWindowUse, TabLeavesTheList)
{
    add(person(QStringLiteral("甲")));
    open();
    window->show();
    QApplication::setActiveWindow(window.get());
    QTableView *view = window->listView(0);
    view->setFocus();
    selectRow(0);
    ASSERT_TRUE(view->hasFocus());
    QTest::keyClick(view, Qt::Key_Tab);
    EXPECT_FALSE(view->hasFocus()) << "Tab moves on to the next control, not the next cell";
}

TEST_F(MainWindowUse, GeometryAndColumnWidthsComeBackAtTheNextStart)
{
    add(person(QStringLiteral("甲")));
    open();
    window->show();
    window->resize(760, 470);
    window->listView(2)->horizontalHeader()->resizeSection(3, 233);
    window->hide(); // the close box hides the window: that is when its state is kept
    window.reset();

    open();
    EXPECT_EQ(window->size(), QSize(760, 470));
    EXPECT_EQ(window->listView(2)->horizontalHeader()->sectionSize(3), 233);
    EXPECT_FALSE(window->listView(2)->horizontalHeader()->isSortIndicatorShown());
}

TEST(ScreenFit, AWindowLargerThanTheScreenIsShrunkAndMovedOntoIt)
{
    QWidget window;
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    window.resize(available.width() * 2, available.height() * 2);
    window.move(available.right() - 10, available.bottom() - 10);
    fitToScreen(window);
    EXPECT_LE(window.width(), available.width());
    EXPECT_LE(window.height(), available.height());
    EXPECT_TRUE(available.contains(QRect(window.pos(), window.size())));
}

TEST(ScreenFit, ALayoutLargerThanTheScreenScrollsInsteadOfBeingClipped)
{
    QDialog dialog;
    auto *layout = new QVBoxLayout(&dialog);
    auto *big = new QLabel(QStringLiteral("很大的内容"));
    big->setObjectName(QStringLiteral("big"));
    big->setMinimumSize(3000, 3000);
    layout->addWidget(big);
    dialog.adjustSize();
    fitToScreen(dialog);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(dialog.width(), available.width());
    EXPECT_LE(dialog.height(), available.height());
    auto *scroll = dialog.findChild<QScrollArea *>();
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("big")), big) << "still in the dialog";
    EXPECT_TRUE(scroll->widget()->isAncestorOf(big));
}

struct FittedCase
{
    const char *situation;
    Qt::WindowFlags flags;
    bool fitted;
};

// Windows placed by whoever made them must stay where they were put: the tray's icon window
// moved "onto the screen" left its slot in the tray empty.
const FittedCase FittedCases[] = {
    { "main window or calendar", Qt::Window, true },
    { "dialog", Qt::Dialog, true },
    { "tray icon window", Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint,
        false },
    { "floating strip", Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint, false },
    { "balloon", Qt::ToolTip | Qt::FramelessWindowHint, false },
    { "popup menu", Qt::Popup, false },
};

class FittedWindowTest : public testing::TestWithParam<FittedCase>
{
};

TEST_P(FittedWindowTest, OnlyWindowsAPersonMoves)
{
    QWidget window(nullptr, GetParam().flags);
    EXPECT_EQ(isFittedWindow(window), GetParam().fitted);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, FittedWindowTest, testing::ValuesIn(FittedCases), natalis::test::BySituation());

TEST_F(MainWindowUse, TabSwitchesReuseTheTwoPictures)
{
    open();
    auto *tabs = find<QTabBar>("TabStrip1");
    QSet<qint64> pictures;
    for (int i = 0; i < 1000; ++i) {
        tabs->setCurrentIndex(i % 8);
        pictures.insert(tabs->tabIcon(i % 8).cacheKey());
        pictures.insert(tabs->tabIcon((i + 1) % 8).cacheKey());
    }
    EXPECT_EQ(pictures.size(), 2);
}

TEST_F(MainWindowUse, HelpOpensTheShippedDocumentUnlessHelp4DocIsThere)
{
    context.DbPath = database.path();
    open();
    QStringList opened;
    window->openDocument = [&opened](const QString &path) { opened << path; };
    find<QAction>("mnuHelp")->trigger();
    ASSERT_EQ(opened.size(), 1);
    QFile shipped(opened[0]);
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly)) << opened[0].toStdString();
    EXPECT_TRUE(QString::fromUtf8(shipped.readAll()).contains(u"青萍生日提醒软件v4.0 帮助"));

    database.write(QStringLiteral("help4.doc"), "doc");
    find<QAction>("mnuHelp")->trigger();
    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(opened[1], database.path(QStringLiteral("help4.doc")));
}

} // namespace
