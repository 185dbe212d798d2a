// The running program and the gateway: the automatic greetings go out by themselves, no gateway
// call holds up the window, the proxy of the settings dialog holds for the whole program, and
// quitting waits for a call under way.

#include "app/smspanel.h"
#include "away/awaysender.h"
#include "desktop/traylayer.h"
#include "dialogs/frmdxsetup.h"
#include "session/smsgatewayprocess.h"
#include "store/awaysettings.h"
#include "store/smsaccounttable.h"
#include "support/birthdaybuilder.h"
#include "support/programfixture.h"
#include "support/smshistoryrows.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace natalis;
using namespace natalis::app;
using namespace Qt::StringLiterals;

namespace {

constexpr int Friends = 6;
constexpr std::chrono::milliseconds TestDeadline { 500 };

// A friend whose birthday is three days away and asks for a greeting; the greeting of 朋友 is
// on with the registered customer account.
class GatewayProgram : public test::GatewayProgramTest
{
protected:
    GatewayProgram()
    {
        context.SmsCallDeadline = TestDeadline;
        store::BirthdayRecord friendOf =
            test::gregorianBirthday(u"张三"_s, u"公历1980年 05月07日"_s, 7);
        friendOf.Duanxin = u"是"_s;
        friendOf.DxSend = u"0"_s;
        add(friendOf);
        context.Settings.DxTxFlags[Friends] = u"1"_s;
        context.Settings.DxTxUser[Friends] = u"shop[客户]"_s;
        context.Settings.DxTxContent[Friends] = u"生日快乐"_s;
        context.Settings.DxTxTqDays[Friends] = 0;
        context.Settings.DxSendTime = u"08:00"_s;
    }

    // One minute passes: Timer1 fires, and the window thread runs until the gateway is idle.
    void minutePasses()
    {
        clock.set(clock.now().addSecs(60));
        program->onTimer1();
        QElapsedTimer waited;
        waited.start();
        while ((program->autoSms().isRunning() || processSmsGateway(context).isBusy())
            && waited.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    // The panel open, the friends ticked and a text typed.
    QPushButton *readyGroupSend()
    {
        openProgram().window().cmdDuanxin_Click();
        program->window().listModel(Friends)->setAllTicks(true);
        program->window().findChild<QPlainTextEdit *>(u"txtContent"_s)->setPlainText(u"周末聚会"_s);
        return program->window().findChild<QPushButton *>(u"cmdSend_0"_s);
    }
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

// That it goes out once however many passes follow is the engine's and the simulator's trial's.
TEST_F(GatewayProgram, ADueGreetingGoesOutByItself)
{
    openProgram();
    minutePasses();
    const QList<QJsonObject> records = simulator.records();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].value(u"sendTime"_s).toString(), u"20240507080000"_s);
    EXPECT_EQ(store::LoadBirthdays(*context.DbConnection).Birthdays.value(0).DxSend, u"1"_s);
    EXPECT_EQ(test::loggedStatuses(*context.DbConnection), QStringList { u"发送成功"_s });
    EXPECT_EQ(program->window().statusText(3), u"[生日短信]发送成功"_s);
    EXPECT_TRUE(program->loop().SmsActivity);
}

TEST_F(GatewayProgram, AGreetingTheNightKeptBackIsToldInTheTrayAndTheStatusBar)
{
    clock.set(QDateTime(QDate(2024, 5, 7), QTime(22, 5)));
    openProgram();
    minutePasses();
    const QString notice = u"[生日短信]未发送: 22:00以后不再发送 张三(13800000000)"_s;
    EXPECT_EQ(program->tray().balloonShown(), notice);
    EXPECT_EQ(program->window().statusText(3), notice);
    EXPECT_TRUE(simulator.records().isEmpty());
}

// Before the chosen hour: the start-up sends, and the second start of the day finds it sent.
TEST_F(GatewayProgram, TheDaysReminderReachesTheOwnNumberOnceOverTwoStartsOfTheDay)
{
    store::AwaySettings away;
    away.smsOn = true;
    away.smsTo = u"13900000000"_s;
    ASSERT_TRUE(store::writeAwaySettings(*context.DbConnection, away));
    ASSERT_TRUE(store::SaveSmsAccount(*context.DbConnection, 1, u"1"_s, u"shop"_s));
    clock.set(QDateTime(QDate(2024, 5, 4), QTime(7, 30)));
    QStringList statuses;
    for (int start = 0; start < 2; ++start) {
        openProgram();
        QElapsedTimer waited;
        waited.start();
        while (program->awaySender().isRunning() && waited.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        statuses.append(program->window().statusText(1));
        program.reset();
    }
    const QList<QJsonObject> records = simulator.records();
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(records[0].value(u"numbers"_s).toArray().first().toString(), u"13900000000"_s);
    EXPECT_TRUE(records[0].value(u"text"_s).toString().contains(u"张三"_s));
    EXPECT_TRUE(statuses[0].startsWith(u"已发送短信提醒: "_s)) << statuses[0].toStdString();
    EXPECT_FALSE(statuses[1].contains(u"短信提醒"_s));
}

// The window's answering is measured on the group send below; here quitting waits for the call.
TEST_F(GatewayProgram, AnAutomaticSendToAHangingGatewayEndsAtQuitWithinTheDeadline)
{
    openProgram();
    simulator.setLatencyMs(600000);
    clock.set(clock.now().addSecs(60));
    program->onTimer1();
    ASSERT_TRUE(program->autoSms().isRunning());
    QElapsedTimer took;
    took.start();
    program->quit();
    EXPECT_LT(took.elapsed(), TestDeadline.count() + 2500);
    EXPECT_FALSE(context.DbConnection);
    auto reopened = store::OpenBirthDb(database.path());
    ASSERT_TRUE(reopened);
    EXPECT_EQ(test::loggedStatuses(*reopened), QStringList { u"网络故障"_s });
}

TEST_F(GatewayProgram, AGroupSendToAHangingGatewayKeepsTheWindowAnsweringUntilQuitEndsIt)
{
    QPushButton *send = readyGroupSend();
    ASSERT_TRUE(send->isEnabled());
    simulator.setLatencyMs(600000);
    StallMeter meter;
    bool busyShown = false;
    bool asked = false;
    qint64 stall = 0;
    // The tray menu's exit, chosen while the balance query hangs.
    meter.onTick = [&] {
        busyShown = busyShown || !send->isEnabled();
        if (!asked && meter.ticks() > 5) {
            asked = true;
            stall = meter.longestMs();
            program->quit();
        }
    };
    QElapsedTimer took;
    took.start();
    program->window().smsPanel().cmdSend_Click(0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !context.DbConnection; }, 5000));
    EXPECT_TRUE(asked);
    EXPECT_TRUE(busyShown);
    EXPECT_LT(stall, 200);
    // The send has ended without a message.
    EXPECT_TRUE(messages.shown.last().text.startsWith(u"您确认现在立即发送短信给"_s));
    EXPECT_LT(took.elapsed(), TestDeadline.count() + 2500);
}

TEST_F(GatewayProgram, TheProxySetInTheSmsSettingsHoldsAfterTheyClosed)
{
    SmsPanel &panel = openProgram().window().smsPanel();
    panel.runDialog = [this](QDialog &dialog) {
        // The simulator takes the absolute request form a proxy receives: it is its own proxy.
        const QStringList proxy { u"127.0.0.1"_s, simulator.baseAddress().section(u':', -1),
            u"user"_s, u"secret"_s };
        for (int i = 0; i < 4; ++i)
            dialog.findChild<QLineEdit *>(u"txtDL%1"_s.arg(i + 1))->setText(proxy[i]);
        static_cast<dialogs::frmDxSetup &>(dialog).cmdDL_Click();
        EXPECT_TRUE(QTest::qWaitFor([&dialog] { return dialog.isEnabled(); }, 5000));
    };
    panel.cmdDxSet_Click();
    EXPECT_EQ(messages.shown.last().text, u"设代理成功"_s);
    panel.cmdBalance_Click();
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return messages.shown.last().text != u"设代理成功"_s; }, 5000));
    EXPECT_EQ(messages.shown.last().text, u"shop[客户]当前余额:100.00 元"_s);
    const QJsonObject last = simulator.requests().last();
    EXPECT_EQ(last.value(u"operation"_s).toString(), u"GetBalance"_s);
    EXPECT_TRUE(last.value(u"proxied"_s).toBool());
}

} // namespace
