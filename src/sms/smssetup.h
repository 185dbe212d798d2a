#pragma once

#include "sms/smsaccounts.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace natalis::store {
struct SettingsRecord;
}

namespace natalis::sms {

// What the SMS settings dialog (frmDxSetup) shows and saves besides the accounts: per category
// the automatic greeting, then the sending time, the signature and the log retention. The dialog
// only draws these values and hands them back.

// The sending times offered: "06:00" to "22:00", full hours.
QStringList smsSendTimeItems();
// The retention choices, position = DxTxRetryNums.
QStringList smsRetentionItems();

// Counters beside a greeting: characters, and messages at 70 (mobile) and 58 (PHS) characters.
struct SmsContentCounters
{
    int characters = 0; // lblZfNums
    int mobileMessages = 0; // lblFgNums
    int phsMessages = 0; // lblFgNums1
};
SmsContentCounters contentCounters(const QString &text);

struct SmsCategoryInput
{
    bool flag = false; // chkDxTxFlags
    QString account = QStringLiteral(" "); // cboDxTxUser's text: " " or an account item
    qint16 tqDays = 0; // cboDxTxTqDays, 0..9
    QString content; // txtDxTxContent
};

struct SmsSetupInput
{
    std::array<SmsCategoryInput, 8> categories;
    QString sendTime; // cboDxSendTime
    QString signature; // txtDxYyTail
    int retention = 0; // cboDxTxRetryNums position
};

// The dialog's controls on opening, from the settings row (account texts trimmed; an account
// the lists no longer offer is still returned as stored, and the window then selects nothing).
SmsSetupInput smsSetupFromSettings(const store::SettingsRecord &settings);

// Why OK saved nothing: the status-bar text and the category whose greeting to select and focus.
struct SmsSetupRefusal
{
    int category;
    QString statusText;
};

// cmdOK's checks, in order: a greeting over 1000 bytes in the ANSI code page (500 Chinese
// characters), then a ticked category with an account and an empty (trimmed) greeting.
std::optional<SmsSetupRefusal> checkSmsSetup(const SmsSetupInput &input);

// Copies the input into the settings (greetings without CR and LF); the caller then runs
// WriteSettings and on failure shows SmsSetupSaveFailedText.
void applySmsSetup(const SmsSetupInput &input, store::SettingsRecord &settings);

inline constexpr QStringView SmsSetupSaveFailedText = u"短信设置数据保存失败!";

} // namespace natalis::sms
