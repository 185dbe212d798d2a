#include "calendar/datetext.h"
#include "gatewaysimulator.h"
#include "sms/gatewayaddress.h"
#include "sms/smsaccounts.h"
#include "store/birthdays.h"
#include "store/settings.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/clirun.h"
#include "support/tempdatabase.h"

#include <QSysInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using natalis::test::CliResult;

// A database with a registered customer account, the greeting of 朋友 on (one day ahead, at
// 08:00), the simulator's address stored, and a clock fixed on 4 May 2024.
class SmsAutoCommand : public testing::Test
{
protected:
    SmsAutoCommand()
    {
        EXPECT_GT(simulator.start(), 0);
        // The command sends under the key of the computer it runs on.
        simulator.setAccount(u"customer"_s,
            { u"0123456789"_s, 10, true,
                natalis::sms::RegistrationKey(QSysInfo::machineHostName()) });
        natalis::store::Connection db = database.create();
        natalis::store::SettingsRecord settings;
        settings.DxTxFlags[6] = u"1"_s;
        settings.DxTxUser[6] = u"customer[客户]"_s;
        settings.DxTxContent[6] = u"生日快乐"_s;
        settings.DxTxTqDays[6] = 1;
        settings.DxSendTime = u"08:00"_s;
        EXPECT_TRUE(natalis::store::WriteSettings(db, settings));
        EXPECT_TRUE(natalis::sms::SaveSmsAccount(db, 1, u"1"_s, u"customer"_s));
        EXPECT_TRUE(natalis::sms::saveGatewayAddress(db, simulator.baseAddress()));
    }

    void addFriend(const QString &name, QDate birthday, const QString &tel = u"13800000001"_s)
    {
        auto db = open();
        natalis::store::BirthdayRecord record =
            natalis::test::gregorianBirthday(name, natalis::calendar::gregorianText(birthday), 7);
        record.Duanxin = u"是"_s;
        record.Tel = tel;
        EXPECT_GT(natalis::store::AddBirthToMdb(*db, record, natalis::test::EnteredAt), 0);
    }

    std::optional<natalis::store::Connection> open() const
    {
        return natalis::store::Connection::open(
            database.path(), natalis::store::Connection::OpenMode::ExistingOnly);
    }

    CliResult smsAuto(const QString &now, const QStringList &extra = {}) const
    {
        return natalis::test::runCli(QStringLiteral(NATALIS_CLI_PATH),
            QStringList { u"sms-auto"_s, u"--db"_s, database.path() } + extra,
            { u"NATALIS_NOW="_s + now });
    }

    natalis::test::TempDatabase database;
    natalis::smssim::GatewaySimulator simulator;
};

enum class Trouble {
    None,
    NothingDue,
    Refusal,
    NoGateway,
    LostAnswer,
    NightStop,
    UnwritableRecord,
    MissingDatabase,
    MalformedDate
};

struct ExitCase
{
    const char *situation;
    Trouble trouble;
    int exitCode;
    QString lastLine {}; // of standard output
};

const ExitCase ExitCases[] = {
    { "due greeting scheduled for the sending time", Trouble::None, 0,
        u"已预约 2024年05月05日08时00分 [朋友,手机,customer] 张三(13800000001)"_s },
    { "nothing due", Trouble::NothingDue, 0, u"没有要发送的生日短信"_s },
    { "gateway refuses the send", Trouble::Refusal, 1,
        u"失败 [朋友,手机,customer] 张三(13800000001): [生日短信]发送失败:短信账号未注册或余额不足"_s },
    { "no gateway address", Trouble::NoGateway, 3,
        u"失败 [朋友,手机,customer] 张三(13800000001): [生日短信]网络故障:帐号余额获取时"_s },
    { "answer lost", Trouble::LostAnswer, 3,
        u"结果未知 [朋友,手机,customer] 张三(13800000001): [生日短信]结果未知"_s },
    { "birthday's greeting kept back by the night stop", Trouble::NightStop, 3,
        u"22:00以后不再发送当天的生日短信"_s },
    { "log row not written", Trouble::UnwritableRecord, 4, u"短信发送记录保存失败"_s },
    { "database missing", Trouble::MissingDatabase, 4 },
    { "malformed date", Trouble::MalformedDate, 2 },
};

class SmsAutoExitCode : public SmsAutoCommand, public testing::WithParamInterface<ExitCase>
{
};

TEST_P(SmsAutoExitCode, SaysWhatItDidOrWhatWentWrong)
{
    addFriend(u"张三"_s, QDate(1990, 5, 6));
    QStringList extra;
    switch (GetParam().trouble) {
    case Trouble::None:
        break;
    case Trouble::NothingDue:
        extra = { u"--date"_s, u"2024-05-20T10:00"_s };
        break;
    case Trouble::Refusal:
        simulator.force(u"SendScheSMS"_s, 17, 1);
        break;
    case Trouble::NoGateway:
        extra = { u"--gateway"_s, u""_s };
        break;
    case Trouble::LostAnswer:
        simulator.loseAnswers(u"*"_s, 3, 1); // the part, its resend, the question
        break;
    case Trouble::NightStop:
        extra = { u"--date"_s, u"2024-05-06T22:10"_s }; // the last one given counts
        break;
    case Trouble::UnwritableRecord:
        open()->exec("create trigger refuse before insert on dxhistory begin "
                     "select raise(abort, 'refused'); end");
        break;
    case Trouble::MissingDatabase:
        extra = { u"--db"_s, database.path() + u".missing"_s };
        break;
    case Trouble::MalformedDate:
        extra = { u"--date"_s, u"May 4"_s };
        break;
    }
    const CliResult result = smsAuto(u"2024-05-04T10:00"_s, extra);
    EXPECT_EQ(result.exitCode, GetParam().exitCode)
        << result.out.toStdString() << result.err.toStdString();
    const QStringList lines = result.out.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.value(lines.size() - 1), GetParam().lastLine);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SmsAutoExitCode, testing::ValuesIn(ExitCases), natalis::test::BySituation());

} // namespace
