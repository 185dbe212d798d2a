// The running program and the gateway: the main window sends the automatic greetings by itself,
// every gateway call runs off the window thread within its deadline, the proxy of the settings
// dialog holds for the whole program, and quitting waits for a send under way.

#include "session/appcontext.h"
#include "session/autosmsrunner.h"
#include "platform/clock.h"
#include "dialogs/frmdxsetup.h"
#include "app/frmget.h"
#include "desktop/musicplayer.h"
#include "session/smsgatewayprocess.h"
#include "session/startup.h"
#include "gatewaysimulator.h"
#include "sms/gatewayaddress.h"
#include "store/birthdays.h"
#include "store/statement.h"
#include "support/birthdaybuilder.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <iostream>

using namespace natalis;
using namespace natalis::app;
using namespace Qt::StringLiterals;

namespace {

constexpr int Friends = 6;
constexpr std::chrono::milliseconds TestDeadline { 500 };

// A friend whose birthday is three days away and asks for a greeting, the greeting of 朋友 on
// with the registered customer account, the simulator's address stored, a fixed clock.
class GatewayProgram : public testing::Test
{
protected:
    GatewayProgram()
    {
        simulator.start();
        simulator.setAccount(
            u"shop"_s, { u"0123456789"_s, 100, true, sms::RegistrationKey(u"PC-1"_s) });
        context.DbConnection = database.create();
        sms::SaveGatewayAddress(*context.DbConnection, simulator.baseAddress());
        context.SmsAccounts[0] = { u"shop"_s, u"1"_s };
        context.ComputerName = u"PC-1"_s;
        context.DbPath = database.path();
        context.SmsCallDeadline = TestDeadline;
        store::BirthdayRecord friendOf =
            natalis::test::gregorianBirthday(u"张三"_s, u"公历1980年 05月07日"_s, 7);
        friendOf.Duanxin = u"是"_s;
        friendOf.DxSend = u"0"_s;
        friendId = store::AddBirthToMdb(*context.DbConnection, friendOf);
    }

    frmGet &open()
    {
        reloadBirthdays(context, messages);
        context.Settings.intFudong = 0;
        context.Settings.DxTxFlags[Friends] = u"1"_s;
        context.Settings.DxTxUser[Friends] = u"shop[客户]"_s;
        context.Settings.DxTxContent[Friends] = u"生日快乐"_s;
        context.Settings.DxTxTqDays[Friends] = 0;
        context.Settings.DxSendTime = u"08:00"_s;
        window = std::make_unique<frmGet>(context, messages, clock, nullptr);
        window->load();
        return *window;
    }

    // One minute passes: Timer1 fires, and the window thread runs until the gateway is idle.
    void minutePasses()
    {
        clock.set(clock.now().addSecs(60));
        window->onTimer1();
        settle();
    }

    void settle()
    {
        QElapsedTimer waited;
        waited.start();
        while ((window->autoSms().isRunning() || ProcessSmsGateway(context).isBusy())
            && waited.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    QString dxSend()
    {
        store::Statement select =
            context.DbConnection->prepare("select DxSend from birthday where Id=?");
        select.bind(1, qint64(friendId));
        return select.step() ? select.text(0) : QString();
    }

    QStringList loggedStatuses()
    {
        QStringList statuses;
        store::Statement select =
            context.DbConnection->prepare("select strStatus from dxhistory order by Id");
        while (select.step())
            statuses << select.text(0);
        return statuses;
    }

    smssim::GatewaySimulator simulator;
    natalis::test::TempDatabase database;
    AppContext context;
    natalis::test::RecordingMessageSink messages;
    FixedClock clock { QDateTime(QDate(2024, 5, 4), QTime(10, 0)) };
    qint64 friendId = -1;
    std::unique_ptr<frmGet> window;
};

// The longest pause between the ticks of a 10 ms timer on the window thread while it lives.
class StallMeter
{
public:
    StallMeter()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_sinceLast.restart());
            ++m_ticks;
            if (onTick)
                onTick();
        });
        m_sinceLast.start();
        m_timer.start();
    }
    qint64 longestMs() const { return std::max(m_longest, m_sinceLast.elapsed()); }
    int ticks() const { return m_ticks; }
    std::function<void()> onTick;

private:
    QTimer m_timer;
    QElapsedTimer m_sinceLast;
    qint64 m_longest = 0;
    int m_ticks = 0;
};

TEST_F(GatewayProgram, TheProgramConnectsTheSmsJobsOfTheLoop)
{
    open();
    EXPECT_TRUE(window->loop().autoBirthdaySms);
    EXPECT_TRUE(window->loop().resetSmsSentFlags);
}

TEST_F(GatewayProgram, ADueGreetingGoesOutByItselfOnceOverManyTicks)
{
    open();
    // Tick 1 and every 10th run the greetings; 25 minutes make three runs.
    for (int minute = 0; minute < 25; ++minute)
        minutePasses();
    const QList<QJsonObject> records = simulator.records();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].value(u"text"_s).toString(), u"生日快乐"_s);
    EXPECT_EQ(records[0].value(u"sendTime"_s).toString(), u"20240507080000"_s);
    EXPECT_EQ(dxSend(), u"1"_s);
    EXPECT_EQ(loggedStatuses(), QStringList { u"发送成功"_s });
    EXPECT_EQ(window->statusText(3), u"[生日短信]发送成功"_s);
}

TEST_F(GatewayProgram, AHangingGatewayLeavesTheWindowAnsweringAndEndsAtTheDeadline)
{
    open();
    simulator.setLatencyMs(600000);
    StallMeter meter;
    QElapsedTimer took;
    took.start();
    clock.set(clock.now().addSecs(60));
    window->onTimer1();
    const qint64 tickMs = took.elapsed();
    settle();
    const qint64 sendMs = took.elapsed();
    std::cout << "[ measured ] automatic send, hanging gateway: tick " << tickMs
              << " ms, window stall at most " << meter.longestMs() << " ms, ended after " << sendMs
              << " ms (deadline " << TestDeadline.count() << " ms)\n";
    EXPECT_LT(tickMs, 100);
    EXPECT_LT(meter.longestMs(), 200);
    EXPECT_GE(sendMs, TestDeadline.count() - 10);
    EXPECT_LT(sendMs, TestDeadline.count() + 1000);
    EXPECT_EQ(loggedStatuses(), QStringList { u"网络故障"_s });
    EXPECT_EQ(window->statusText(3), u"[生日短信]网络故障:帐号余额获取时"_s);
    EXPECT_EQ(dxSend(), u"0"_s);
}

TEST_F(GatewayProgram, AGroupSendToAHangingGatewayKeepsTheWindowAnswering)
{
    open().cmdDuanxin_Click();
    window->listModel(Friends)->setAllTicks(true);
    window->findChild<QPlainTextEdit *>(u"txtContent"_s)->setPlainText(u"周末聚会"_s);
    QPushButton *send = window->findChild<QPushButton *>(u"cmdSend_0"_s);
    ASSERT_TRUE(send->isEnabled());
    simulator.setLatencyMs(600000);
    StallMeter meter;
    bool busyShown = false;
    meter.onTick = [&] { busyShown = busyShown || !send->isEnabled(); };
    QElapsedTimer took;
    took.start();
    window->cmdSend_Click(0);
    std::cout << "[ measured ] group send, hanging gateway: window stall at most "
              << meter.longestMs() << " ms, ended after " << took.elapsed() << " ms\n";
    EXPECT_LT(meter.longestMs(), 200);
    EXPECT_GT(meter.ticks(), 10);
    EXPECT_TRUE(busyShown);
    EXPECT_LT(took.elapsed(), TestDeadline.count() + 1000);
    EXPECT_EQ(messages.shown.last().text, u"网络故障,短信发送失败"_s);
    EXPECT_TRUE(send->isEnabled());
}

TEST_F(GatewayProgram, TheProxySetInTheDialogHoldsAfterItClosed)
{
    open();
    {
        frmDxSetup dialog({ *context.DbConnection, messages, context.Settings, context.SmsAccounts,
            context.ComputerName, 1, &ProcessSmsGateway(context) });
        // The simulator takes the absolute request form a proxy receives: it is its own proxy.
        const QStringList proxy { u"127.0.0.1"_s, simulator.baseAddress().section(u':', -1),
            u"user"_s, u"secret"_s };
        for (int i = 0; i < 4; ++i)
            dialog.findChild<QLineEdit *>(u"txtDL%1"_s.arg(i + 1))->setText(proxy[i]);
        dialog.cmdDL_Click();
        EXPECT_EQ(messages.shown.last().text, u"设代理成功"_s);
    }
    window->cmdBalance_Click();
    EXPECT_EQ(messages.shown.last().text, u"shop[客户]当前余额:100.00 元"_s);
    const QJsonObject last = simulator.requests().last();
    EXPECT_EQ(last.value(u"operation"_s).toString(), u"GetBalance"_s);
    EXPECT_TRUE(last.value(u"proxied"_s).toBool());
}

TEST_F(GatewayProgram, QuittingDuringASendWaitsForItAndKeepsItsLog)
{
    open();
    simulator.setLatencyMs(600000);
    clock.set(clock.now().addSecs(60));
    window->onTimer1();
    ASSERT_TRUE(window->autoSms().isRunning());
    QElapsedTimer took;
    took.start();
    const QString path = database.path();
    window->mnuExit_Click();
    EXPECT_LT(took.elapsed(), TestDeadline.count() + 2500);
    EXPECT_FALSE(context.DbConnection);
    store::DbError error;
    auto reopened = store::OpenBirthDb(path, &error);
    ASSERT_TRUE(reopened);
    store::Statement select = reopened->prepare("select strStatus from dxhistory");
    ASSERT_TRUE(select.step());
    EXPECT_EQ(select.text(0), u"网络故障"_s);
}

TEST_F(GatewayProgram, QuittingDuringAGroupSendEndsAfterTheCallUnderWay)
{
    open().cmdDuanxin_Click();
    window->listModel(Friends)->setAllTicks(true);
    window->findChild<QPlainTextEdit *>(u"txtContent"_s)->setPlainText(u"周末聚会"_s);
    simulator.setLatencyMs(600000);
    StallMeter meter;
    bool asked = false;
    // The tray menu's exit, chosen while the balance query hangs.
    meter.onTick = [&] {
        if (!asked && meter.ticks() > 5) {
            asked = true;
            window->mnuExit_Click();
        }
    };
    QElapsedTimer took;
    took.start();
    window->cmdSend_Click(0);
    EXPECT_TRUE(asked);
    // The send has unwound without a message; the program ends on the next turn of the loop.
    EXPECT_TRUE(context.DbConnection);
    EXPECT_TRUE(messages.shown.last().text.startsWith(u"您确认现在立即发送短信给"_s));
    QElapsedTimer ending;
    ending.start();
    while (context.DbConnection && ending.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_FALSE(context.DbConnection);
    EXPECT_LT(took.elapsed(), TestDeadline.count() + 2500);
}

TEST_F(GatewayProgram, TheDialogRefusesAnAddressOfAnotherScheme)
{
    open();
    frmDxSetup dialog({ *context.DbConnection, messages, context.Settings, context.SmsAccounts,
        context.ComputerName, 1, &ProcessSmsGateway(context) });
    dialog.findChild<QLineEdit *>(u"txtDxGateway"_s)->setText(u"ftp://gateway.example"_s);
    dialog.cmdOK_Click();
    EXPECT_FALSE(dialog.isSaved());
    EXPECT_TRUE(dialog.statusText().contains(u"http://或https://"_s));
    EXPECT_EQ(sms::LoadGatewayAddress(*context.DbConnection), simulator.baseAddress());
}

} // namespace
