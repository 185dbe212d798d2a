#include "platform/clock.h"
#include "dialogs/frmdxhist.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/smshistoryrows.h"
#include "support/tempdatabase.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <tuple>

using namespace natalis;
using namespace natalis::app;

namespace {

const sms::SmsAccountTable Accounts = {
    sms::SmsAccount { QStringLiteral("alice"), QStringLiteral("1") },
    sms::SmsAccount { QStringLiteral("bob"), QStringLiteral("1") },
};

class DxHist : public testing::Test
{
protected:
    DxHist() : connection(database.create()) { }

    // Rows named by strTitle: yesterday and this morning (alice), this evening (bob, failed),
    // tomorrow; 2 + 3 + 0 + 1 messages charged.
    void logFourDays()
    {
        const std::tuple<const char *, const char *, const char *, int> rows[] = {
            { "yesterday", "2024-05-03 08:00:00", "alice", 2 },
            { "evening", "2024-05-04 20:00:00", "bob", 0 },
            { "morning", "2024-05-04 08:00:00", "alice", 3 },
            { "tomorrow", "2024-05-05 08:00:00", "alice", 1 },
        };
        for (const auto &[title, sentAt, account, charged] : rows) {
            sms::SmsHistoryRow row = test::historyRow(QString::fromLatin1(sentAt));
            row.strTitle = QString::fromLatin1(title);
            row.strDxUser = QString::fromLatin1(account);
            row.intDxNum = charged;
            test::insertHistoryRow(connection, row);
        }
    }

    void open()
    {
        dialog = std::make_unique<frmDxHist>(
            frmDxHist::Services { connection, Accounts, clock, QStringLiteral("PC-1"), 1 });
        dialog->pickDate = [this](QWidget *, QString &gl, QString &) {
            gl = picked;
            return true;
        };
    }

    template<typename T>
    T *control(const char *name)
    {
        T *widget = dialog->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    QTreeWidget *list() { return control<QTreeWidget>("ListView1"); }

    QStringList listed(int column = 3)
    {
        QStringList texts;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            texts.append(list()->topLevelItem(i)->text(column));
        return texts;
    }

    test::TempDatabase database;
    store::Connection connection;
    FixedClock clock { QDateTime(QDate(2024, 5, 4), QTime(12, 0)) };
    QString picked; // the picker's answer
    std::unique_ptr<frmDxHist> dialog;
};

TEST_F(DxHist, OpeningOffersEveryFilterAndListsUpToTheEndOfToday)
{
    logFourDays();
    open();
    const QComboBox *user = control<QComboBox>("cboDxUser");
    ASSERT_EQ(user->count(), 3);
    EXPECT_EQ(user->itemText(2), QStringLiteral("bob[应用]"));
    const std::pair<const char *, int> filters[] = { { "cboDxUser", 3 }, { "cboDxType", 4 },
        { "cboDxStatus", 5 } };
    for (const auto &[name, items] : filters) {
        EXPECT_EQ(control<QComboBox>(name)->currentText(), QStringLiteral("所有")) << name;
        EXPECT_EQ(control<QComboBox>(name)->count(), items) << name;
    }
    EXPECT_EQ(control<QComboBox>("cboComputers")->currentText(), QStringLiteral("PC-1"));
    EXPECT_EQ(listed(),
        (QStringList {
            QStringLiteral("yesterday"), QStringLiteral("morning"), QStringLiteral("evening") }));
    EXPECT_TRUE(list()->topLevelItem(0)->data(0, HistoryKeyRole).toString().startsWith(u'R'));
    EXPECT_EQ(control<QLabel>("lblDxNums")->text(), QStringLiteral("5"));
    EXPECT_EQ(dialog->statusText(), QStringLiteral("查询短信发送历史记录成功!"));
    EXPECT_TRUE(control<QLineEdit>("txtStart")->isHidden());
    EXPECT_TRUE(control<QLineEdit>("txtEnd")->isHidden());
}

TEST_F(DxHist, CopyTakesTheSelectedTextAsListed)
{
    const QString text = QString(120, QChar(0x798F)) + QString(80, u'a');
    test::insertHistoryRow(
        connection, test::historyRow(QStringLiteral("2024-05-04 09:00:00"), text));
    open();
    const QString shown = text.left(130) + QStringLiteral("...");
    EXPECT_EQ(listed(6), QStringList { shown });

    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    control<QAction>("mnuCopy")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));

    list()->topLevelItem(0)->setSelected(true);
    control<QAction>("mnuCopy")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), shown);
}

TEST_F(DxHist, NumberColumnsSortAsNumbers)
{
    for (const int count : { 10, 9, 100 }) {
        sms::SmsHistoryRow row = test::historyRow(QStringLiteral("2024-05-04 09:00:00"));
        row.intTelNum = count;
        test::insertHistoryRow(connection, row);
    }
    open();
    Q_EMIT list()->header()->sectionClicked(5);
    EXPECT_EQ(listed(5),
        (QStringList { QStringLiteral("9"), QStringLiteral("10"), QStringLiteral("100") }));
    Q_EMIT list()->header()->sectionClicked(5);
    EXPECT_EQ(listed(5).front(), QStringLiteral("100"));
}

TEST_F(DxHist, AccountItemFiltersByTheAccountName)
{
    logFourDays();
    open();
    control<QComboBox>("cboDxUser")->setCurrentIndex(2);
    control<QPushButton>("cmdQuery")->click();
    EXPECT_EQ(listed(), QStringList { QStringLiteral("evening") });
    EXPECT_EQ(control<QLabel>("lblDxNums")->text(), QStringLiteral("0"));
}

struct RangeRow
{
    const char *situation;
    const char *option; // clicked after the pick
    QStringList titles;

    friend void PrintTo(const RangeRow &row, std::ostream *os) { *os << row.situation; }
};

class DxHistRange : public DxHist, public testing::WithParamInterface<RangeRow>
{
};

// Today is picked into the box of "指定", then GetParam().option is clicked.
TEST_P(DxHistRange, PickedDayBoundsTheList)
{
    logFourDays();
    open();
    const bool start = QByteArrayView(GetParam().option).startsWith("optStart");
    control<QRadioButton>(start ? "optStart_1" : "optEnd_1")->click();
    picked = QStringLiteral("公历2024年 05月04日");
    if (start)
        dialog->txtStart_Click();
    else
        dialog->txtEnd_Click();
    QLineEdit *box = control<QLineEdit>(start ? "txtStart" : "txtEnd");
    EXPECT_EQ(box->text(), picked);
    control<QRadioButton>(GetParam().option)->click();
    EXPECT_EQ(box->isHidden(), QByteArrayView(GetParam().option).endsWith("_0"));
    dialog->cmdQuery_Click();
    EXPECT_EQ(listed(), GetParam().titles);
}

INSTANTIATE_TEST_SUITE_P(Rows, DxHistRange,
    testing::Values(
        RangeRow { "end today stops at its midnight", "optEnd_1", { QStringLiteral("yesterday") } },
        RangeRow { "start today counts from its midnight", "optStart_1",
            { QStringLiteral("morning"), QStringLiteral("evening") } },
        RangeRow { "earliest forgets the picked start", "optStart_0",
            { QStringLiteral("yesterday"), QStringLiteral("morning"),
                QStringLiteral("evening") } }),
    test::BySituation());

TEST_F(DxHist, UnreadableLogIsReported)
{
    logFourDays();
    open();
    connection.exec("drop table dxhistory");
    EXPECT_EQ(dialog->RunHistoryQuery({}), std::nullopt);
    EXPECT_EQ(dialog->statusText(), QStringLiteral("查询短信发送历史记录失败!"));
    EXPECT_EQ(list()->topLevelItemCount(), 0);
    EXPECT_EQ(control<QLabel>("lblDxNums")->text(), QStringLiteral("0"));
}

} // namespace
