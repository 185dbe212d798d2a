// Which rows a query finds, and how a long text is cut, are the history engine's
// (sms/smshistory_test); here what the window asks for and shows.

#include "dialogs/frmdxhist.h"
#include "platform/clock.h"
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
using namespace Qt::StringLiterals;

namespace {

class DxHist : public testing::Test
{
protected:
    DxHist() : connection(database.create()) { }

    // Rows named by strTitle: yesterday and this morning (alice), this evening (bob, nothing
    // charged), tomorrow; 2 + 3 + 0 + 1 messages charged.
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
        dialog = std::make_unique<dialogs::frmDxHist>(
            dialogs::frmDxHist::Services { connection, accounts, clock, u"PC-1"_s, 1 });
        dialog->pickDate = [](QWidget *, QString &gl, QString &) {
            gl = u"公历2024年 05月04日"_s;
            return true;
        };
    }

    template<typename T>
    T *control(const char *name)
    {
        return dialog->findChild<T *>(QLatin1String(name));
    }

    QTreeWidget *list() { return control<QTreeWidget>("ListView1"); }

    // The texts of a column, top to bottom, separated by blanks.
    QString listed(int column = 3)
    {
        QStringList texts;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            texts.append(list()->topLevelItem(i)->text(column));
        return texts.join(u' ');
    }

    QString charged() { return control<QLabel>("lblDxNums")->text(); }

    test::TempDatabase database;
    store::Connection connection;
    const sms::SmsAccountTable accounts { { { u"alice"_s, u"1"_s }, { u"bob"_s, u"1"_s } } };
    platform::FixedClock clock { QDateTime(QDate(2024, 5, 4), QTime(12, 0)) };
    std::unique_ptr<dialogs::frmDxHist> dialog;
};

TEST_F(DxHist, OpensOnThisComputersRowsUpToTheEndOfTodayFiltersAndTellsAFailure)
{
    logFourDays();
    open();
    EXPECT_EQ(control<QComboBox>("cboComputers")->currentText(), u"PC-1"_s);
    EXPECT_EQ(listed(), u"yesterday morning evening"_s);
    EXPECT_EQ(charged(), u"5"_s);
    EXPECT_EQ(dialog->statusText(), u"查询短信发送历史记录成功!"_s);
    control<QComboBox>("cboDxUser")->setCurrentText(u"bob[应用]"_s);
    control<QPushButton>("cmdQuery")->click();
    EXPECT_EQ(listed(), u"evening"_s);
    EXPECT_EQ(charged(), u"0"_s);
    connection.exec("drop table dxhistory");
    EXPECT_EQ(dialog->RunHistoryQuery({}), std::nullopt);
    EXPECT_EQ(dialog->statusText(), u"查询短信发送历史记录失败!"_s);
    EXPECT_EQ(listed(), QString());
    EXPECT_EQ(charged(), u"0"_s);
}

TEST_F(DxHist, PickedDaysBoundTheListUntilEarliestIsChosenAgain)
{
    logFourDays();
    open();
    control<QRadioButton>("optStart_1")->click();
    dialog->txtStart_Click();
    EXPECT_EQ(control<QLineEdit>("txtStart")->text(), u"公历2024年 05月04日"_s);
    dialog->cmdQuery_Click();
    EXPECT_EQ(listed(), u"morning evening"_s);
    control<QRadioButton>("optStart_0")->click();
    EXPECT_TRUE(control<QLineEdit>("txtStart")->isHidden());
    control<QRadioButton>("optEnd_1")->click();
    dialog->txtEnd_Click();
    dialog->cmdQuery_Click();
    EXPECT_EQ(listed(), u"yesterday"_s);
}

TEST_F(DxHist, NumbersSortAsNumbersAndCopyTakesTheSelectedTextAsListed)
{
    for (const int count : { 10, 9, 100 }) {
        sms::SmsHistoryRow row = test::historyRow(u"2024-05-04 09:00:00"_s,
            QString(120, QChar(0x798F)) + QString(80, u'a') + QString::number(count));
        row.intTelNum = count;
        test::insertHistoryRow(connection, row);
    }
    open();
    Q_EMIT list()->header()->sectionClicked(5);
    EXPECT_EQ(listed(5), u"9 10 100"_s);
    Q_EMIT list()->header()->sectionClicked(5);
    EXPECT_EQ(listed(5), u"100 10 9"_s);

    list()->topLevelItem(1)->setSelected(true);
    control<QAction>("mnuCopy")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), list()->topLevelItem(1)->text(6));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().endsWith(u"..."_s));
}

} // namespace
