#include "sms/smssetup.h"
#include "store/settingsrecord.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::sms {
namespace {

struct CounterCase
{
    const char *situation;
    int characters;
    int mobile;
    int phs;
};

const CounterCase CounterCases[] = {
    { "empty", 0, 0, 0 },
    { "exactly one PHS message", 58, 1, 1 },
    { "one more than a PHS message", 59, 1, 2 },
    { "exactly one mobile message", 70, 1, 2 },
};

using CounterTest = testing::TestWithParam<CounterCase>;

TEST_P(CounterTest, CountsCharactersAndMessages)
{
    const SmsContentCounters counters = contentCounters(QString(GetParam().characters, u'寿'));
    EXPECT_EQ(counters.characters, GetParam().characters);
    EXPECT_EQ(counters.mobileMessages, GetParam().mobile);
    EXPECT_EQ(counters.phsMessages, GetParam().phs);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, CounterTest, testing::ValuesIn(CounterCases), natalis::test::BySituation());

struct CheckCase
{
    const char *situation;
    bool flag;
    const char16_t *account;
    QString content;
    int refusedCategory; // -1: saved
};

const CheckCase CheckCases[] = {
    { "ticked with account, empty text", true, u"alice[客户]", u"  "_s, 3 },
    { "ticked without account saves with empty text", true, u" ", QString(), -1 },
    { "500 Chinese characters", true, u"alice[客户]", QString(500, u'福'), -1 },
    { "501 Chinese characters", true, u"alice[客户]", QString(501, u'福'), 3 },
    { "1001 ASCII characters", false, u" ", QString(1001, u'a'), 3 },
};

using CheckTest = testing::TestWithParam<CheckCase>;

TEST_P(CheckTest, RefusesOrSaves)
{
    SmsSetupInput input;
    input.categories[3] = { GetParam().flag, QString::fromUtf16(GetParam().account), 2,
        GetParam().content };
    const std::optional<SmsSetupRefusal> refusal = checkSmsSetup(input);
    EXPECT_EQ(refusal ? refusal->category : -1, GetParam().refusedCategory);
}

INSTANTIATE_TEST_SUITE_P(
    Greetings, CheckTest, testing::ValuesIn(CheckCases), natalis::test::BySituation());

TEST(SmsSetupTest, TheLengthCheckComesFirst)
{
    SmsSetupInput input;
    input.categories[1] = { true, u"alice[客户]"_s, 0, QString() };
    input.categories[5].content = QString(600, u'福');
    const std::optional<SmsSetupRefusal> refusal = checkSmsSetup(input);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->category, 5);
    EXPECT_TRUE(refusal->statusText.startsWith(u"短信提醒内容最多不能超过500个汉字"_s));
}

TEST(SmsSetupTest, SavingRoundTripsThroughTheSettings)
{
    store::SettingsRecord settings;
    SmsSetupInput input = smsSetupFromSettings(settings);
    EXPECT_EQ(input.categories[0].account, u" "_s);
    input.categories[6] = { true, u"alice[应用]"_s, 3, u"生日\r\n快乐"_s };
    input.sendTime = u"09:00"_s;
    input.signature = u"青萍"_s;
    input.retention = 4;
    applySmsSetup(input, settings);
    EXPECT_EQ(settings.DxTxFlags[6], u"1"_s);
    EXPECT_EQ(settings.DxTxUser[6], u"alice[应用]"_s);
    EXPECT_EQ(settings.DxTxContent[6], u"生日快乐"_s);
    EXPECT_EQ(settings.DxTxTqDays[6], 3);
    EXPECT_EQ(settings.DxTxFlags[0], u"0"_s);
    EXPECT_EQ(settings.DxTxRetryNums, 4);
    EXPECT_EQ(settings.DxSendTime, u"09:00"_s);
    EXPECT_EQ(settings.DxYyTail, u"青萍"_s);
    const SmsSetupInput reopened = smsSetupFromSettings(settings);
    EXPECT_EQ(reopened.categories[6].content, u"生日快乐"_s);
    EXPECT_EQ(reopened.retention, 4);
}

} // namespace
} // namespace natalis::sms
