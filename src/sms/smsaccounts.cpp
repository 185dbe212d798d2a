#include "sms/smsaccounts.h"

#include "store/settings.h"

#include <QCryptographicHash>

using namespace Qt::StringLiterals;

namespace natalis::sms {

namespace {

QString accountKind(int entry)
{
    return entry == CustomerAccountEntry ? u"客户短信账号"_s : u"应用短信账号"_s;
}

bool validEntry(int entry)
{
    return entry == CustomerAccountEntry || entry == ApplicationAccountEntry;
}

} // namespace

QString accountOfItem(const QString &accountItem)
{
    const QString text = accountItem.trimmed();
    for (const QStringView tag : { CustomerAccountTag, ApplicationAccountTag }) {
        if (text.endsWith(tag))
            return text.chopped(tag.size()).trimmed();
    }
    return text;
}

QStringList smsAccountItems(const SmsAccountTable &accounts)
{
    QStringList items { u" "_s };
    if (accounts[0].flag.trimmed() == u"1"_s)
        items.append(accounts[0].name.trimmed() + CustomerAccountTag.toString());
    if (accounts[1].flag.trimmed() == u"1"_s)
        items.append(accounts[1].name.trimmed() + ApplicationAccountTag.toString());
    return items;
}

QString RegistrationKey(const QString &computerName)
{
    const QByteArray digest =
        QCryptographicHash::hash(computerName.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QString::fromLatin1(digest.left(6));
}

std::optional<SmsSetupOutcome> registrationRefusal(
    int entry, const QString &name, const QString &password)
{
    SmsSetupOutcome outcome;
    if (!validEntry(entry))
        return outcome;
    if (name.trimmed().isEmpty()) {
        outcome.message = u"短信账号不能为空"_s;
        return outcome;
    }
    if (password.trimmed().size() < 10) {
        outcome.message = u"密码长度不对,应该是10位"_s;
        return outcome;
    }
    return std::nullopt;
}

GatewayCall registration(const QString &name, const QString &password, const QString &computerName)
{
    return [account = name.trimmed(), key = RegistrationKey(computerName),
               password = password.trimmed()](
               SmsGateway &gateway) { return gateway.Register(account, key, password); };
}

SmsSetupOutcome registrationOutcome(int entry, const QString &name, GatewayResult result,
    store::Connection &connection, store::SettingsRecord &settings, SmsAccountTable &accounts)
{
    SmsSetupOutcome outcome;
    outcome.gatewayCalled = true;
    outcome.result = result;
    switch (outcome.result) {
    case GatewayResults::Ok:
        outcome.message = accountKind(entry) + u"注册成功!"_s;
        break;
    case GatewayResults::NetworkFailure:
        outcome.message = accountKind(entry) + u"注册失败：[故障代码:101]网络故障!"_s;
        break;
    case GatewayResults::WrongAccountOrPassword:
        outcome.message =
            accountKind(entry) + u"注册失败：[故障代码:10]短信账号或密码不对,或账号已被注册!"_s;
        break;
    default:
        outcome.message = accountKind(entry) + u"注册失败：[故障代码:"_s
            + QString::number(outcome.result) + u"]其它错误!"_s;
        break;
    }
    if (outcome.result == GatewayResults::Ok) {
        const QString account = name.trimmed();
        accounts[std::size_t(entry - 1)] = SmsAccount { account, u"1"_s };
        outcome.accountsChanged = true;
        SaveSmsAccount(connection, entry, u"1"_s, account);
        store::WriteSettings(connection, settings);
    }
    return outcome;
}

SmsSetupOutcome registerSmsAccount(int entry, const QString &name, const QString &password,
    const QString &computerName, SmsGateway &gateway, store::Connection &connection,
    store::SettingsRecord &settings, SmsAccountTable &accounts)
{
    if (std::optional<SmsSetupOutcome> refusal = registrationRefusal(entry, name, password))
        return *refusal;
    const GatewayResult result = registration(name, password, computerName)(gateway);
    return registrationOutcome(entry, name, result, connection, settings, accounts);
}

QString unregisterQuestion(int entry)
{
    return u"您确认注销"_s + accountKind(entry) + u'?';
}

GatewayCall unregistration(int entry, const SmsAccountTable &accounts)
{
    return [account = accounts[std::size_t(entry - 1)].name.trimmed()](
               SmsGateway &gateway) { return gateway.UnRegister(account); };
}

SmsSetupOutcome unregistrationOutcome(int entry, GatewayResult result,
    store::Connection &connection, store::SettingsRecord &settings, SmsAccountTable &accounts)
{
    SmsSetupOutcome outcome;
    outcome.gatewayCalled = true;
    outcome.result = result;
    switch (outcome.result) {
    case GatewayResults::Ok:
        outcome.message = accountKind(entry) + u"注销成功!"_s;
        break;
    case GatewayResults::NetworkFailure:
        outcome.message = accountKind(entry) + u"注销失败：[故障代码:101]网络故障!"_s;
        break;
    case GatewayResults::UnregisterRefused:
        outcome.message = accountKind(entry) + u"注销失败：[故障代码:22]注销失败!"_s;
        break;
    default:
        outcome.message = accountKind(entry) + u"注销失败：[故障代码:"_s
            + QString::number(outcome.result) + u"]其他原因!"_s;
        break;
    }
    if (outcome.result == GatewayResults::Ok) {
        accounts[std::size_t(entry - 1)] = SmsAccount { QString(), u"0"_s };
        outcome.accountsChanged = true;
        SaveSmsAccount(connection, entry, u"0"_s, QString());
        store::WriteSettings(connection, settings);
    }
    return outcome;
}

SmsSetupOutcome unregisterSmsAccount(int entry, SmsGateway &gateway, store::Connection &connection,
    store::SettingsRecord &settings, SmsAccountTable &accounts)
{
    if (!validEntry(entry))
        return {};
    const GatewayResult result = unregistration(entry, accounts)(gateway);
    return unregistrationOutcome(entry, result, connection, settings, accounts);
}

std::optional<SmsSetupOutcome> proxyRefusal(
    const QString &address, const QString &port, const QString &user, const QString &password)
{
    SmsSetupOutcome outcome;
    if (address.isEmpty())
        outcome.statusText = u"必须指定代理服务器的IP地址"_s;
    else if (port.isEmpty())
        outcome.statusText = u"必须指定代理服务器的端口号"_s;
    else if (user.isEmpty())
        outcome.statusText = u"必须指定代理服务器的用户名"_s;
    else if (password.isEmpty())
        outcome.statusText = u"必须指定代理服务器的密码"_s;
    else
        return std::nullopt;
    return outcome;
}

SmsSetupOutcome proxyOutcome(GatewayResult result)
{
    SmsSetupOutcome outcome;
    outcome.gatewayCalled = true;
    outcome.result = result;
    switch (outcome.result) {
    case GatewayResults::Ok:
        outcome.message = u"设代理成功"_s;
        break;
    case GatewayResults::ProxyFailed:
        outcome.message = u"设代理失败"_s;
        break;
    case GatewayResults::NetworkFailure:
        outcome.message = u"网络故障"_s;
        break;
    default:
        outcome.message = u"其他错误值："_s + QString::number(outcome.result);
        break;
    }
    return outcome;
}

SmsSetupOutcome setSmsProxy(const QString &address, const QString &port, const QString &user,
    const QString &password, SmsGateway &gateway)
{
    if (std::optional<SmsSetupOutcome> refusal = proxyRefusal(address, port, user, password))
        return *refusal;
    return proxyOutcome(gateway.SetProxy(address, port, user, password));
}

} // namespace natalis::sms
