#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

namespace natalis::sms {

// What a gateway operation answers. Only the codes below are acted on; any other
// value is reported as a plain decimal number.
using GatewayResult = qint32;

namespace GatewayResults {
inline constexpr GatewayResult Ok = 1;
inline constexpr GatewayResult ProxyFailed = 0; // SetProxy only
inline constexpr GatewayResult WrongAccountOrPassword = 10; // Register: or already registered
inline constexpr GatewayResult BalanceQueryFailed = 12; // GetBalance
// SendSMS, SendScheSMS: a last part whose unit lacks an earlier part, or malformed arguments.
inline constexpr GatewayResult UnitIncomplete = 14;
inline constexpr GatewayResult UnitNotDelivered = 15; // QueryUnit
inline constexpr GatewayResult NotRegisteredOrNoBalance = 17; // SendSMS, SendScheSMS
inline constexpr GatewayResult SendTimeRefused = 18; // SendScheSMS
inline constexpr GatewayResult UnregisterRefused = 22; // UnRegister
inline constexpr GatewayResult NetworkFailure = 101; // any operation
} // namespace GatewayResults

// The priority argument every send passes.
inline constexpr QStringView SendPriority = u"5";

// Width of the buffers GetBalance and GetPrice fill; they start as that many blanks.
inline constexpr int GatewayBufferWidth = 10;

// Which send a message belongs to. The gateway takes the parts of one request id as one unit
// (delivered and charged once, when the last part is in) and answers a repeated part of an id
// with its first answer without sending again, so a batch retried with its id goes out once.
// An empty id: the message is a send of its own.
struct SendUnit
{
    QString requestId;
    int part = 1; // 1..parts
    int parts = 1;
};

// The SMS-gateway client: exactly the seven operations the program calls. Calls
// block until the gateway answers or gives up; implementations bound every call by a deadline.
// Account texts are the trimmed account names. One thread at a time.
class SmsGateway
{
public:
    virtual ~SmsGateway() = default;

    // 1: buffer holds the balance in yuan as text (possibly blank-padded); 12 query failed;
    // 101 network failure.
    virtual GatewayResult GetBalance(const QString &account, QString &buffer) = 0;
    // Any result but 101: buffer holds the price per message in yuan.
    virtual GatewayResult GetPrice(const QString &account, QString &buffer) = 0;
    // numbers: up to 200 numbers joined by "," without blanks; text: one message.
    // 1 sent; 17 account not registered or balance too low; 101 network failure.
    virtual GatewayResult SendSMS(const QString &account, const QString &numbers,
        const QString &text, const QString &priority, const SendUnit &unit) = 0;
    // sendTime: 14 digits YYYYMMDDHHNNSS. As SendSMS, plus 18 send time not acceptable.
    virtual GatewayResult SendScheSMS(const QString &account, const QString &numbers,
        const QString &text, const QString &sendTime, const QString &priority,
        const SendUnit &unit) = 0;
    // registrationKey: 6 characters (RegistrationKey). The password typed in the settings
    // dialog travels with it, where the original library passed eight "x" fillers.
    // 1 registered; 10 wrong account or password, or already registered; 101 network failure.
    virtual GatewayResult Register(
        const QString &account, const QString &registrationKey, const QString &password) = 0;
    // 1 unregistered; 22 refused; 101 network failure.
    virtual GatewayResult UnRegister(const QString &account) = 0;
    // The four texts as typed. 1 ok; 0 failed; 101 network failure.
    virtual GatewayResult SetProxy(const QString &address, const QString &port, const QString &user,
        const QString &password) = 0;
    // Whether the unit of requestId was delivered, without sending anything: 1 delivered; 15 not
    // (some part never came in, or the id is unknown); 101 network failure. Any other answer,
    // like that of a gateway that cannot be asked, tells nothing.
    virtual GatewayResult QueryUnit(const QString &account, const QString &requestId)
    {
        Q_UNUSED(account);
        Q_UNUSED(requestId);
        return GatewayResults::NetworkFailure;
    }
};

// One gateway call, to run wherever the caller makes its calls (the gateway's own thread).
using GatewayCall = std::function<GatewayResult(SmsGateway &)>;

} // namespace natalis::sms
