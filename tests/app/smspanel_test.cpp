// The SMS panel of the main window: folding, counters, temporary numbers, and what a group send
// leaves on screen. The batching and balance rules themselves are tested in tests/sms.

#include "app/smspanel.h"
#include "store/transaction.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/programfixture.h"
#include "support/smshistoryrows.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace natalis;
using namespace natalis::app;
using namespace Qt::StringLiterals;

namespace {

constexpr int Colleagues = 0;
constexpr int Customers = 1;

// The main window over colleagues with mobile numbers and customers with the given numbers.
class Panel : public test::GatewayProgramTest
{
protected:
    void addBirthdays(int colleagues, const QStringList &customerNumbers = {})
    {
        store::Transaction transaction(*context.DbConnection);
        for (int i = 0; i < colleagues; ++i)
            addBirthday(u"同事%1"_s.arg(i, 3, 10, QChar(u'0')), u"同事"_s,
                u"138%1"_s.arg(i, 8, 10, QChar(u'0')));
        for (int i = 0; i < customerNumbers.size(); ++i)
            addBirthday(u"客户%1"_s.arg(i), u"客户"_s, customerNumbers[i]);
        transaction.commit();
    }

    void addBirthday(const QString &name, const QString &type, const QString &tel)
    {
        store::BirthdayRecord record = test::gregorianBirthday(name, u"公历1980年 03月15日"_s, 3);
        record.Type = type;
        record.Tel = tel;
        add(record);
    }

    // The panel open, every entry ticked and the text typed.
    SmsPanel &readyToSend(int colleagues, const QString &text)
    {
        addBirthdays(colleagues);
        openWindow().cmdDuanxin_Click();
        window->listModel(Colleagues)->setAllTicks(true);
        type(text);
        return window->smsPanel();
    }

    // A send at once and its outcome: the question and the summary told.
    void sendAtOnce(SmsPanel &panel)
    {
        const qsizetype told = messages.shown.size() + 2;
        panel.cmdSend_Click(0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return messages.shown.size() >= told; }, 20000));
    }
    QPushButton *send(int index) { return find<QPushButton>(u"cmdSend_%1"_s.arg(index)); }
    void type(const QString &text) { find<QPlainTextEdit>(u"txtContent"_s)->setPlainText(text); }
    void addTemporary(const QString &number)
    {
        find<QLineEdit>(u"txtTmp"_s)->setText(number);
        window->smsPanel().cmdTmpAdd_Click();
    }
    QStringList temporaryNumbers()
    {
        QStringList numbers;
        const QListWidget *list = find<QListWidget>(u"lstTmp"_s);
        for (int row = 0; row < list->count(); ++row)
            numbers << list->item(row)->text();
        return numbers;
    }
};

TEST_F(Panel, OpeningShowsTheTicksAndClosingFoldsEverythingAway)
{
    addBirthdays(2);
    frmGet &w = openWindow();
    w.show();
    auto *duanxin = find<QPushButton>(u"cmdDuanxin"_s);
    const int closedHeight = w.height();

    w.cmdDuanxin_Click();
    EXPECT_EQ(duanxin->text(), u"短信窗口(▲)"_s);
    EXPECT_TRUE(find<QCheckBox>(u"chkTypeSel"_s)->isVisible());
    EXPECT_GT(w.height(), closedHeight);
    w.listModel(Colleagues)->setAllTicks(true);
    EXPECT_EQ(label(u"lblSelNums"_s), u"2"_s);

    find<QToolButton>(u"Image2"_s)->click();
    EXPECT_FALSE(w.smsPanel().isOpen());
    EXPECT_EQ(duanxin->text(), u"短信窗口(▼)"_s);
    EXPECT_FALSE(w.listModel(Colleagues)->isCheckable());
    EXPECT_EQ(w.height(), closedHeight);
    EXPECT_EQ(label(u"lblSelNums"_s), u"0"_s) << "ticks count only while the panel is open";

    w.cmdDuanxin_Click();
    EXPECT_EQ(w.listModel(Colleagues)->tickedCount(), 0) << "opening starts without ticks";
}

TEST_F(Panel, CountersAndSendButtonsFollowTicksNumbersTextAndAccount)
{
    addBirthdays(2, { u"02112345678"_s, u"12345"_s });
    frmGet &w = openWindow();
    w.cmdDuanxin_Click();
    w.chkTypeSel_Click(true);
    find<QTabBar>(u"TabStrip1"_s)->setCurrentIndex(Customers);
    w.chkTypeSel_Click(true);
    addTemporary(u"13912345678"_s);
    EXPECT_EQ(label(u"lblSelNums"_s), u"3"_s) << "every phone number of both lists";
    EXPECT_EQ(label(u"lblTmpNums"_s), u"1"_s);
    EXPECT_EQ(label(u"lblTelNums"_s), u"4"_s);
    EXPECT_FALSE(send(0)->isEnabled()) << "no text yet";

    type(u"节日\r\n快乐"_s);
    EXPECT_EQ(find<QPlainTextEdit>(u"txtContent"_s)->toPlainText(), u"节日快乐"_s);
    EXPECT_EQ(label(u"lblZfNums"_s), u"4"_s);
    EXPECT_TRUE(send(0)->isEnabled());
    EXPECT_FALSE(send(1)->isEnabled()) << "no schedule yet";
    find<QLineEdit>(u"txtYyGL"_s)->setText(u"公历2024年 05月05日"_s);
    find<QComboBox>(u"cboYyHour"_s)->setCurrentIndex(8);
    find<QComboBox>(u"cboYyMin"_s)->setCurrentIndex(30);
    w.smsPanel().ProcTelSelect();
    EXPECT_TRUE(send(1)->isEnabled());

    find<QComboBox>(u"cboDxTxUser"_s)->setCurrentIndex(0);
    w.smsPanel().ProcTelSelect();
    EXPECT_FALSE(send(0)->isEnabled());
    EXPECT_FALSE(send(1)->isEnabled());
}

TEST_F(Panel, GroupSendAsksThenClearsOnSuccess)
{
    SmsPanel &panel = readyToSend(3, u"新年快乐"_s);
    QSignalSpy sent(&panel, &SmsPanel::smsSent);
    sendAtOnce(panel);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].text, u"您确认现在立即发送短信给3个手机号码吗?"_s);
    EXPECT_EQ(messages.shown[1].text, u"短信发送成功!"_s);
    EXPECT_EQ(window->statusText(3), u"[即时短信]发送成功"_s);
    EXPECT_EQ(sent.count(), 1);
    EXPECT_TRUE(find<QPlainTextEdit>(u"txtContent"_s)->toPlainText().isEmpty());
    EXPECT_EQ(window->listModel(Colleagues)->tickedCount(), 0);
    EXPECT_EQ(window->ModalBusy, 0);
}

// Sending again only reaches everyone if a failed send keeps the text and the ticks.
TEST_F(Panel, SendingAgainAfterFailedAndLostAnswersReachesEveryNumberOnce)
{
    SmsPanel &panel = readyToSend(500, u"周末聚会"_s);
    simulator.force(u"SendSMS"_s, 17, 1);
    // The other two batches go out, and neither their resends nor the question after them are
    // answered.
    simulator.loseAnswers(u"SendSMS"_s, 4);
    simulator.loseAnswers(u"QueryUnit"_s, 2);
    sendAtOnce(panel);
    EXPECT_TRUE(messages.texts().last().contains(u"2组结果未知"_s));
    sendAtOnce(panel);
    EXPECT_EQ(messages.texts().last(), u"短信发送成功!"_s);

    QMap<QString, int> received;
    for (const QJsonObject &record : simulator.records()) {
        for (const QJsonValue number : record.value(u"numbers"_s).toArray())
            ++received[number.toString()];
    }
    EXPECT_EQ(received.size(), 500);
    EXPECT_EQ(std::count(received.cbegin(), received.cend(), 1), 500);
}

TEST_F(Panel, TemporaryNumbersRefuseBadAndRepeatedNumbers)
{
    frmGet &w = openWindow();
    addTemporary(u"13912345678"_s);
    addTemporary(u" 13912345678 "_s);
    EXPECT_EQ(w.statusText(1), u"临时手机号码重复,请重新输入!"_s);
    addTemporary(u"1391234"_s);
    EXPECT_EQ(temporaryNumbers(), QStringList { u"13912345678"_s });
    EXPECT_EQ(find<QLineEdit>(u"txtTmp"_s)->text(), u"1391234"_s) << "kept for correcting";

    w.smsPanel().cmdTmpCls_Click();
    EXPECT_TRUE(temporaryNumbers().isEmpty());
    EXPECT_FALSE(find<QPushButton>(u"cmdTmpCls"_s)->isEnabled());
}

TEST_F(Panel, DeleteKeyInTheNumberListRemovesTheNumberNotABirthday)
{
    addBirthdays(1);
    frmGet &w = openWindow();
    w.show();
    w.cmdDuanxin_Click();
    addTemporary(u"13912345678"_s);
    auto *list = find<QListWidget>(u"lstTmp"_s);
    list->setCurrentRow(0);
    list->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(list, &press);
    EXPECT_TRUE(temporaryNumbers().isEmpty());
    EXPECT_EQ(w.listModel(Colleagues)->rowCount(), 1);
    EXPECT_TRUE(messages.shown.isEmpty()) << "no delete question for the birthdays";
}

} // namespace
