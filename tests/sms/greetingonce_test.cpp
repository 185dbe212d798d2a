// A greeting reaches its recipient once, whatever changes around it between passes: answers lost
// at any point, batches that change, the night stop.

#include "calendar/datetext.h"
#include "calendar/lunaryeartable.h"
#include "simulatorfixture.h"
#include "sms/autosms.h"
#include "sms/groupsend.h"
#include "store/birthdays.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/lossyproxy.h"

#include <random>

using namespace Qt::StringLiterals;

namespace natalis::sms {
namespace {

constexpr int Friends = 6; // 朋友

class GreetingOnceTest : public test::DispatchFixture
{
protected:
    GreetingOnceTest()
    {
        calendar::LoadLunarYearTable();
        settings.DxTxFlags[Friends] = u"1"_s;
        settings.DxTxUser[Friends] = u"customer[客户]"_s;
        settings.DxTxContent[Friends] = u"生日快乐"_s;
        settings.DxSendTime = u"08:00"_s;
    }

    // A friend whose birthday is today, greeted at once.
    qint32 addFriend(const QString &name, const QString &number, const QString &asks = u"是"_s)
    {
        store::BirthdayRecord record = natalis::test::gregorianBirthday(
            name, calendar::gregorianText(now.date().addYears(-30)), 7);
        record.Duanxin = asks;
        record.Tel = number;
        return store::AddBirthToMdb(connection, record, natalis::test::EnteredAt);
    }

    AutoSmsRun pass(QTime at)
    {
        now = QDateTime(now.date(), at);
        store::BirthdayLoad load = store::LoadBirthdays(connection);
        return AutoBirthdaySms(load.Birthdays, load.HasBirthdays, context());
    }

    // How often each number was delivered to, in order of first delivery: "number×times"; the
    // records from the `from`th on.
    QStringList deliveriesPerNumber(qsizetype from = 0) const
    {
        QStringList numbers;
        QMap<QString, int> times;
        for (const QJsonObject &record : simulator.records().mid(from)) {
            for (const QJsonValue number : record.value(u"numbers"_s).toArray()) {
                if (times[number.toString()]++ == 0)
                    numbers.append(number.toString());
            }
        }
        for (QString &number : numbers)
            number += u'×' + QString::number(times[number]);
        return numbers;
    }

    // Sends never reach the gateway, and it cannot be asked about them.
    void breakSends(bool broken)
    {
        for (const QString &operation : { u"SendSMS"_s, u"QueryUnit"_s })
            simulator.force(operation, broken ? std::optional(101) : std::nullopt);
    }

    // The gateway from here on behind the lossy stand-in, which loses what the cases choose.
    void throughLossyProxy()
    {
        lossy.emplace(simulator.baseAddress().section(u':', -1).toInt());
        gateway = std::make_unique<HttpSmsGateway>(lossy->address());
        gateway->setRegistrationKey(Key);
    }

    QStringList marks()
    {
        return natalis::test::queryRows(connection, "select DxSend from birthday order by Id");
    }

    void runTrial(int seed);

    std::optional<natalis::test::LossyProxy> lossy;
};

struct LostPartCase
{
    const char *situation;
    int answeredFirst; // calls answered before the first lost one, the balance included
    int lost; // answers lost in a row from there
};

const LostPartCase LostPartCases[] = {
    { "first part", 1, 1 },
    { "middle part", 2, 1 },
    { "last part", 3, 1 },
    { "middle part and its resend", 2, 2 },
    { "last part, its resend and the question", 3, 3 },
};

class LostPartTest : public GreetingOnceTest, public testing::WithParamInterface<LostPartCase>
{
};

TEST_P(LostPartTest, TheUnitIsDeliveredOnceLoggedOnceAndMarked)
{
    settings.DxTxContent[Friends] = QString(150, u'福'); // three parts of 70
    addFriend(u"王小明"_s, u"13900000001"_s);
    throughLossyProxy();
    ASSERT_TRUE(lossy->loseAnswers(GetParam().lost, GetParam().answeredFirst));
    pass(QTime(10, 0));
    pass(QTime(10, 10));
    EXPECT_FALSE(pass(QTime(10, 20)).activity());

    EXPECT_EQ(delivered({ "parts", "numbers" }), QStringList { u"3|1"_s });
    EXPECT_NEAR(balanceOf(u"customer"_s), 100 - 0.3, 1e-9);
    EXPECT_EQ(logged("strStatus,intDxNum"), QStringList { u"发送成功|3"_s });
    EXPECT_EQ(marks(), QStringList { u"1"_s });
}

INSTANTIATE_TEST_SUITE_P(
    Parts, LostPartTest, testing::ValuesIn(LostPartCases), natalis::test::BySituation());

TEST_F(GreetingOnceTest, AMiddlePartThatNeverArrivedIsSentAgainUnderTheUnitsId)
{
    settings.DxTxContent[Friends] = QString(150, u'福');
    addFriend(u"王小明"_s, u"13900000001"_s);
    SmsSendContext sendContext = context();
    AutoSmsRun run =
        planAutoBirthdaySms(store::LoadBirthdays(connection).Birthdays, true, settings, now);
    ASSERT_EQ(run.batches.size(), 1);
    SmsBatchRequest request = prepareAutoSmsBatch(sendContext, run.batches[0]);
    // Parts 1 and 3 arrive and 3 is refused as incomplete, as an older version sent them.
    for (const int part : { 1, 3 })
        gateway->SendSMS(u"customer"_s, u"13900000001"_s, request.messages[part - 1], u"5"_s,
            { request.entry.requestId, part, 3 });
    store::BirthdayList birthdays = store::LoadBirthdays(connection).Birthdays;
    finishAutoSmsBatch(
        sendContext, birthdays, run.batches[0], request, askGateway(*gateway, request));

    EXPECT_TRUE(run.batches[0].outcome.accepted);
    EXPECT_EQ(delivered({ "parts" }), QStringList { u"3"_s });
    EXPECT_EQ(logged("strStatus,intDxNum"), QStringList { u"发送成功|3"_s });
}

TEST_F(GreetingOnceTest, AGreetingKeptBackByTheNightIsToldAndLoggedOnce)
{
    addFriend(u"王小明"_s, u"13900000001"_s);
    addFriend(u"李小红"_s, u"13900000002"_s);
    // 王小明's attempt at 21:50 never reaches the gateway; 李小红 is not tried before 22:00.
    throughLossyProxy();
    breakSends(true);
    now = QDateTime(now.date(), QTime(21, 50));
    const store::BirthdayList all = store::LoadBirthdays(connection).Birthdays;
    AutoSmsRun first = planAutoBirthdaySms(all, true, settings, now);
    first.batches[0].ids.removeLast();
    first.batches[0].years.removeLast();
    first.batches[0].names.removeLast();
    first.batches[0].numbers.removeLast();
    store::BirthdayList birthdays = all;
    const SmsBatchRequest request = prepareAutoSmsBatch(context(), first.batches[0]);
    finishAutoSmsBatch(
        context(), birthdays, first.batches[0], request, askGateway(*gateway, request));
    breakSends(false);

    // Both are told once: 李小红 as held back, 王小明 when the gateway says his never arrived.
    QStringList told;
    for (const QTime at : { QTime(22, 0), QTime(22, 10) }) {
        const AutoSmsRun night = pass(at);
        told += night.keptBackNow + keptBackBy(night.batches.value(0));
        EXPECT_EQ(night.notSentTonight, QStringList { u"李小红(13900000002)"_s });
        EXPECT_EQ(night.panelTexts(),
            (QStringList { u"[生日短信]未发送: 22:00以后不再发送 李小红(13900000002)"_s,
                u"[生日短信]未发送: 22:00以后不再发送"_s }));
    }
    EXPECT_EQ(told, (QStringList { u"李小红(13900000002)"_s, u"王小明(13900000001)"_s }));
    EXPECT_TRUE(simulator.records().isEmpty());
    EXPECT_EQ(logged("strTitle,strStatus,strFor"),
        (QStringList {
            u"王小明|未发送|22:00以后不再发送"_s, u"李小红|未发送|22:00以后不再发送"_s }));
}

TEST_F(GreetingOnceTest, AGroupResendWithMoreRecipientsSkipsTheNumberDelivered)
{
    const GroupRecipients first { { { u"王小明"_s, u"13900000001"_s } }, {} };
    GroupSend send = planGroupSend(first, u"聚会通知"_s, u"customer"_s, {});
    simulator.loseAnswers(u"*"_s, 3, 1);
    EXPECT_EQ(sendGroup(context(), send).unknown, 1);

    const GroupRecipients more { { { u"王小明"_s, u"13900000001"_s } }, { u"13900000002"_s } };
    GroupSend again =
        continueGroupSend(send, planGroupSend(more, u"聚会通知"_s, u"customer"_s, {}));
    EXPECT_TRUE(sendGroup(context(), again).allSent());
    EXPECT_EQ(deliveriesPerNumber(), (QStringList { u"13900000001×1"_s, u"13900000002×1"_s }));
}

// One trial: four friends, passes at random moments of loss while the batch changes under them,
// then a pass with nothing lost. Each greeting asked for must then have gone out once, been
// logged once as sent and marked.
void GreetingOnceTest::runTrial(int seed)
{
    std::mt19937 random(seed);
    const auto pick = [&](int below) { return int(random() % unsigned(below)); };
    connection.exec("delete from birthday");
    connection.exec("delete from dxhistory"); // the ledger's keys differ by their numbers
    addAccount(u"customer"_s, 100);
    settings.DxTxContent[Friends] = pick(2) ? u"生日快乐"_s : QString(150, u'福');
    const qsizetype before = simulator.records().size();
    const QString prefix = u"139"_s + QString::number(seed % 1000000).rightJustified(6, u'0');
    int people = 0;
    const auto add = [&](bool withNumber, const QString &asks = u"是"_s) {
        ++people;
        return addFriend(u"友%1"_s.arg(people),
            withNumber ? prefix + QString::number(people).rightJustified(2, u'0') : QString(),
            asks);
    };
    add(true);
    add(true);
    const qint32 silent = add(true, u"否"_s);
    const qint32 numberless = add(false);
    for (int p = 0; p < 4; ++p) {
        switch (pick(5)) {
        case 0:
            add(true);
            break;
        case 1:
            connection.prepare("update birthday set Duanxin='是' where Id=?").bindAll(silent).run();
            break;
        case 2:
            connection.prepare("update birthday set Tel=? where Id=?")
                .bindAll(prefix + u"99"_s, numberless)
                .run();
            break;
        case 3:
            settings.DxTxContent[Friends] += u'!';
            break;
        default:
            break;
        }
        if (pick(4) == 0)
            simulator.force(u"SendSMS"_s, 101, 1); // a part that never reaches the gateway
        else
            simulator.loseAnswers(u"*"_s, 1 + pick(3), pick(8));
        pass(QTime(10, 10 * p));
    }
    simulator.loseAnswers(u"*"_s, 0);
    simulator.force(u"SendSMS"_s, std::nullopt);
    pass(QTime(10, 40));
    EXPECT_FALSE(pass(QTime(10, 50)).activity());

    // Each greeting asked for: its number delivered once; its birthday marked and in one row
    // logged as sent.
    const std::string asked = " from birthday where Duanxin='是' and Tel<>'' order by Tel";
    QStringList delivered = deliveriesPerNumber(before);
    delivered.sort();
    EXPECT_EQ(delivered, natalis::test::queryRows(connection, "select Tel||'×1'" + asked));
    EXPECT_EQ(natalis::test::queryRows(connection,
                  "select About||DxSend||(select count(*) from dxhistory where strStatus="
                  "'发送成功' and ','||strTitle||',' like '%,'||About||',%')"
                      + asked),
        natalis::test::queryRows(connection, "select About||'11'" + asked));
}

// Answers lost at random points of passes between which the batch changes (a birthday more, a
// flag turned on, a number entered, the text edited). Seeded by the trial's number:
// NATALIS_GREETING_TRIAL names the first, NATALIS_GREETING_TRIALS how many (1000 by default).
TEST_F(GreetingOnceTest, LostAnswersAtRandomPointsNeverSendAGreetingTwice)
{
    const int first = qEnvironmentVariableIntValue("NATALIS_GREETING_TRIAL");
    // What is checked is which rows are written, not that they reach the disk.
    connection.exec("PRAGMA synchronous=OFF");
    const int trials = qEnvironmentVariableIsSet("NATALIS_GREETING_TRIALS")
        ? qEnvironmentVariableIntValue("NATALIS_GREETING_TRIALS")
        : 1000;
    for (int trial = first; trial < first + trials && !HasFailure(); ++trial) {
        SCOPED_TRACE(trial);
        runTrial(trial);
    }
}

} // namespace
} // namespace natalis::sms
