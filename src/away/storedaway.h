#pragma once

#include "away/awaypass.h"

#include <QDateTime>
#include <QString>
#include <atomic>
#include <optional>

namespace natalis::store {
class Connection;
struct AwaySettings;
} // namespace natalis::store
namespace natalis::sync {
class PasswordStore;
}

namespace natalis::away {

// The channels settings switch on, the mailbox password read from passwords under the user and
// the server's host. nullopt when mail is on and the password cannot be read; *why says why.
std::optional<AwayTargets> targetsOf(
    const store::AwaySettings &settings, sync::PasswordStore &passwords, QString *why);

// The account the user's own SMS goes out under: the registered customer account; empty when
// there is none.
QString smsSenderAccount(store::Connection &connection);

// The running program's pass over the database at dbPath, on a connection of its own: what the
// stored settings switch on and is due at now, each once (sendAwayReminders). An empty report
// when nothing is switched on or the file does not open a second time; a line saying why when
// the settings, the birthdays, the password or the SMS account cannot be read. Blocks on the
// servers: never on the window thread.
AwayReport runStoredAwayPass(const QString &dbPath, const QString &computerName,
    sync::PasswordStore &passwords, const QDateTime &now, const std::atomic_bool *stop);

} // namespace natalis::away
