#pragma once

#include "sms/smsgateway.h"
#include "store/smsaccounttable.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace natalis::store {
class Connection;
struct SettingsRecord;
} // namespace natalis::store

namespace natalis::sms {

// SmsAccounts: entry 1 (the customer account) at index 0, entry 2 (the application account,
// whose messages carry the signature) at index 1; the rows of table dxuser with those Ids.
using store::SmsAccount;
using store::SmsAccountTable;

inline constexpr int CustomerAccountEntry = 1;
inline constexpr int ApplicationAccountEntry = 2;

// The tags of the account items of the settings dialog and the main window: name + tag.
inline constexpr QStringView CustomerAccountTag = u"[客户]";
inline constexpr QStringView ApplicationAccountTag = u"[应用]";

// Title of every message of the account and proxy actions.
inline constexpr QStringView SmsSetupTitle = u"短信设置";

// The accounts are kept in table dxuser; store/smsaccounttable.h reads and writes them.
using store::LoadSmsAccounts;
using store::SaveSmsAccount;

// The items an account choice offers: " ", then name + "[客户]" when entry 1 is registered,
// then name + "[应用]" when entry 2 is (names trimmed).
QStringList smsAccountItems(const SmsAccountTable &accounts);

// The account name of an account item: the item without its tag "[客户]" or "[应用]"; a text
// without a tag is taken as the name.
QString accountOfItem(const QString &accountItem);

// The 6-character registration key of this computer: the first six hexadecimal digits (lower
// case) of the SHA-1 of the computer name in UTF-8. Stable per computer name.
QString RegistrationKey(const QString &computerName);

// What an account or proxy action of the settings dialog leads to.
struct SmsSetupOutcome
{
    bool gatewayCalled = false; // false: refused by a check before any gateway call
    GatewayResult result = 0; // the gateway's answer when it was called
    bool accountsChanged = false; // SmsAccounts changed: the account lists must be refilled
    QString message; // shown in a message box titled SmsSetupTitle, when not empty
    QString statusText; // shown in the dialog's status bar instead, when not empty
};

// The steps of the actions below for a caller that makes the gateway call elsewhere (the
// settings dialog, on the gateway's thread): the refusal told without a call (nullopt: call),
// the call, and the outcome of its result, stored as the action stores it.
std::optional<SmsSetupOutcome> registrationRefusal(
    int entry, const QString &name, const QString &password);
GatewayCall registration(const QString &name, const QString &password, const QString &computerName);
SmsSetupOutcome registrationOutcome(int entry, const QString &name, GatewayResult result,
    store::Connection &connection, store::SettingsRecord &settings, SmsAccountTable &accounts);
// entry: 1..2.
GatewayCall unregistration(int entry, const SmsAccountTable &accounts);
SmsSetupOutcome unregistrationOutcome(int entry, GatewayResult result,
    store::Connection &connection, store::SettingsRecord &settings, SmsAccountTable &accounts);
std::optional<SmsSetupOutcome> proxyRefusal(
    const QString &address, const QString &port, const QString &user, const QString &password);
SmsSetupOutcome proxyOutcome(GatewayResult result);

// cmdZhuCe(entry): checks name and password (at least 10 characters, trimmed), registers with
// RegistrationKey(computerName) and on success stores the account (SaveSmsAccount, then
// WriteSettings) and updates accounts. The message names the account kind ("客户短信账号" or
// "应用短信账号") and the result.
SmsSetupOutcome registerSmsAccount(int entry, const QString &name, const QString &password,
    const QString &computerName, SmsGateway &gateway, store::Connection &connection,
    store::SettingsRecord &settings, SmsAccountTable &accounts);

// The question the dialog asks (Yes/No) before unregisterSmsAccount.
QString unregisterQuestion(int entry);

// cmdZhuXiao(entry) after a Yes: unregisters the entry's trimmed name and on success empties the
// entry (SaveSmsAccount with flag "0" and the empty name, then WriteSettings).
SmsSetupOutcome unregisterSmsAccount(int entry, SmsGateway &gateway, store::Connection &connection,
    store::SettingsRecord &settings, SmsAccountTable &accounts);

// cmdDL: each of the four texts must be non-empty (else a status text and no call), then
// SetProxy with the texts as typed. The proxy is not stored.
SmsSetupOutcome setSmsProxy(const QString &address, const QString &port, const QString &user,
    const QString &password, SmsGateway &gateway);

} // namespace natalis::sms
