#include "sms/smssetup.h"

#include "sms/smsdispatch.h"
#include "store/ansicodec.h"
#include "store/settingsrecord.h"

using namespace Qt::StringLiterals;

namespace natalis::sms {

namespace {

constexpr qsizetype LongestGreetingBytes = 1000;

int messagesOf(int characters, int length)
{
    return (characters + length - 1) / length;
}

} // namespace

QStringList smsSendTimeItems()
{
    QStringList items;
    for (int hour = 6; hour <= 22; ++hour)
        items.append(u"%1:00"_s.arg(hour, 2, 10, QChar(u'0')));
    return items;
}

QStringList smsRetentionItems()
{
    return { u"长期有效"_s, u"保留1年"_s, u"保留半年"_s, u"保留3月"_s, u"保留1月"_s };
}

SmsContentCounters contentCounters(const QString &text)
{
    const int characters = int(text.toUcs4().size());
    return { characters, messagesOf(characters, MobileMessageLength),
        messagesOf(characters, PhsMessageLength) };
}

SmsSetupInput smsSetupFromSettings(const store::SettingsRecord &settings)
{
    SmsSetupInput input;
    for (std::size_t k = 0; k < input.categories.size(); ++k) {
        SmsCategoryInput &category = input.categories[k];
        category.flag = settings.DxTxFlags[k].trimmed() == u"1"_s;
        const QString account = settings.DxTxUser[k].trimmed();
        category.account = account.isEmpty() ? u" "_s : account;
        category.tqDays = settings.DxTxTqDays[k];
        category.content = settings.DxTxContent[k].trimmed();
    }
    input.sendTime = settings.DxSendTime;
    input.signature = settings.DxYyTail.trimmed();
    input.retention = settings.DxTxRetryNums;
    return input;
}

std::optional<SmsSetupRefusal> checkSmsSetup(const SmsSetupInput &input)
{
    for (int k = 0; k < int(input.categories.size()); ++k) {
        if (store::ansiByteLength(input.categories[k].content) > LongestGreetingBytes)
            return SmsSetupRefusal { k,
                u"短信提醒内容最多不能超过500个汉字,移动/联动短信推荐不超过70汉字,"
                "小灵通不超过56汉字,否则短信平台会自动分割为多条短信!"_s };
    }
    for (int k = 0; k < int(input.categories.size()); ++k) {
        const SmsCategoryInput &category = input.categories[k];
        if (!category.account.trimmed().isEmpty() && category.flag
            && category.content.trimmed().isEmpty())
            return SmsSetupRefusal { k, u"需要提醒生日短信的提醒内容不能为空!"_s };
    }
    return std::nullopt;
}

void applySmsSetup(const SmsSetupInput &input, store::SettingsRecord &settings)
{
    for (std::size_t k = 0; k < input.categories.size(); ++k) {
        const SmsCategoryInput &category = input.categories[k];
        settings.DxTxUser[k] = category.account.isEmpty() ? u" "_s : category.account;
        settings.DxTxFlags[k] = category.flag ? u"1"_s : u"0"_s;
        settings.DxTxTqDays[k] = category.tqDays;
        settings.DxTxContent[k] = QString(category.content).remove(u'\r').remove(u'\n');
    }
    settings.DxTxRetryNums = quint8(input.retention);
    settings.DxSendTime = input.sendTime;
    settings.DxYyTail = input.signature;
}

} // namespace natalis::sms
