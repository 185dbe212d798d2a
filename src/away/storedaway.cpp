#include "away/storedaway.h"

#include "sms/gatewayaddress.h"
#include "sms/httpsmsgateway.h"
#include "sms/smsaccounts.h"
#include "store/awaysettings.h"
#include "store/birthdays.h"
#include "store/connection.h"
#include "sync/credentials.h"

#include <memory>

using namespace Qt::StringLiterals;

namespace natalis::away {

std::optional<AwayTargets> targetsOf(
    const store::AwaySettings &settings, sync::PasswordStore &passwords, QString *why)
{
    AwayTargets targets;
    targets.weekly = settings.weekly;
    if (settings.mailOn) {
        const QUrl url(settings.smtpUrl, QUrl::StrictMode);
        const std::optional<QString> password =
            passwords.read(sync::passwordAccount(settings.user, url.host()), why);
        if (!password)
            return std::nullopt;
        targets.mail = MailServer { url, settings.user, *password, {} };
        targets.mailTo = settings.mailTo;
    }
    if (settings.smsOn)
        targets.smsTo = settings.smsTo;
    return targets;
}

QString smsSenderAccount(store::Connection &connection)
{
    const sms::SmsAccountTable accounts = sms::LoadSmsAccounts(connection);
    for (const sms::SmsAccount &account : accounts) {
        if (account.flag == u"1" && !account.name.trimmed().isEmpty())
            return account.name.trimmed();
    }
    return {};
}

namespace {

AwayReport failed(const QString &why)
{
    return { { u"外出提醒未发送: "_s + why }, AwayRefused };
}

} // namespace

AwayReport runStoredAwayPass(const QString &dbPath, const QString &computerName,
    sync::PasswordStore &passwords, const QDateTime &now, const std::atomic_bool *stop)
{
    std::optional<store::Connection> connection =
        store::Connection::open(dbPath, store::Connection::OpenMode::ExistingOnly, nullptr);
    if (!connection)
        return {};
    const std::optional<store::AwaySettings> settings = store::readAwaySettings(*connection);
    if (!settings)
        return failed(u"无法读取设置"_s);
    if (!settings->mailOn && !settings->smsOn)
        return {};
    QString why;
    std::optional<AwayTargets> targets = targetsOf(*settings, passwords, &why);
    if (!targets)
        return failed(why);
    targets->stop = stop;
    const store::BirthdayLoad load = store::LoadBirthdays(*connection);
    if (load.error)
        return failed(u"无法读取生日: "_s + load.error->description);
    std::unique_ptr<sms::HttpSmsGateway> gateway;
    if (!targets->smsTo.trimmed().isEmpty()) {
        targets->smsAccount = smsSenderAccount(*connection);
        if (targets->smsAccount.isEmpty())
            return failed(u"没有已注册的短信账号"_s);
        gateway = sms::openSmsGateway(*connection, computerName);
    }
    return sendAwayReminders(*targets, *connection,
        load.HasBirthdays ? load.Birthdays : store::BirthdayList(), now, gateway.get());
}

} // namespace natalis::away
