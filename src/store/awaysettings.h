#pragma once

#include <QString>
#include <optional>

namespace natalis::store {

class Connection;

// The 外出提醒 settings: where the day's reminder goes when the user is away from the desk. One
// row of table awaysetting, made by the first write; a file without it reads as all off. The
// mailbox password is never here: it lives in the keyring.
struct AwaySettings
{
    bool mailOn = false;
    QString smtpUrl; // smtps://host[:port] or smtp://host[:port] (STARTTLS)
    QString user; // the SMTP login, usually the address itself
    QString mailTo; // the user's own address
    bool smsOn = false;
    QString smsTo; // the user's own mobile number
    int hour = 8; // 0..23: the day's reminder goes out at start-up or this hour, if earlier
    bool weekly = false; // a digest of the next 7 days on Mondays

    bool operator==(const AwaySettings &) const = default;
};

// nullopt on a database error; the defaults when nothing was stored.
std::optional<AwaySettings> readAwaySettings(Connection &connection);

// False on a database error.
bool writeAwaySettings(Connection &connection, const AwaySettings &settings);

} // namespace natalis::store
