#pragma once

#include "away/smtpmail.h"
#include "store/birthdaylist.h"

#include <QDateTime>
#include <QStringList>
#include <atomic>
#include <optional>

namespace natalis::store {
class Connection;
}
namespace natalis::sms {
class SmsGateway;
}

namespace natalis::away {

// Where the day's reminder goes away from the desk.
struct AwayTargets
{
    std::optional<MailServer> mail; // to mailTo
    QString mailTo;
    QString smsTo; // empty: no SMS
    QString smsAccount; // the gateway account the SMS goes out under
    bool weekly = false; // the digest of the next 7 days on Mondays, by mail
    const std::atomic_bool *stop = nullptr; // once set, no send starts and a mail under way ends
};

// How a pass ended, as natalis-cli remind's exit code: the worst of its sends.
enum AwayExit { AwayDone = 0, AwayRefused = 1, AwayUnreachable = 3 };

struct AwayReport
{
    QStringList lines; // one per send tried or held back, for the status bar or stdout
    int exit = AwayDone;
};

// Sends what is due at now by each channel of targets, each once: the day's reminder, the day
// before's when it was missed (once the channel has sent before), the weekly digest on Mondays.
// Each send is recorded as pending before it goes out and as sent after; a mail whose answer was
// lost stays pending and is not sent again, since a mailbox cannot be asked whether it arrived
// and a doubled reminder is worse than a note saying so. An SMS whose answer was lost goes again
// under its first request id, which the gateway answers without sending twice. gateway may be
// null when there is no SMS target. Blocks on the servers: never on the window thread.
AwayReport sendAwayReminders(const AwayTargets &targets, store::Connection &connection,
    const store::BirthdayList &birthdays, const QDateTime &now, sms::SmsGateway *gateway);

// Whether the program sends at now: at start-up, else from the chosen hour (0..23) on.
bool awayDueAt(const QDateTime &now, int hour, bool startUp);

} // namespace natalis::away
