#pragma once

#include "birthdays/birthdayfile.h"
#include "session/singleinstance.h"
#include "session/smsstartup.h"
#include "sms/gatewayworker.h"
#include "store/backups.h"
#include "store/birthdaylist.h"
#include "store/connection.h"
#include "store/settingsrecord.h"

#include <QList>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>

namespace natalis::session {

// The state that lives as long as the process, owned here and handed to whoever needs it; the
// database file and its birthdays are the BirthdayFile the birthday service works on.
struct AppContext : birthdays::BirthdayFile
{
    QString AppFolder; // the executable's folder; recorded only when no argument named a file
    // What the last open of DbPath at start returned when it failed.
    store::DbError OpenError;
    QString DbNotice; // panel 1's text after loading instead of the usual hint; empty for none
    QString ComputerName; // written into every SMS log row; empty when unknown
    int CurrentSkin =
        0; // 0 follows the desktop, 1..4 index SkinColors + 1; every start begins with 0
    bool IsFormLoading = false;
    store::SettingsRecord Settings;
    SmsAccountTable SmsAccounts;
    // What one gateway call may take at most, resolving to the last byte of the answer.
    std::chrono::milliseconds SmsCallDeadline = sms::HttpSmsGateway::DefaultDeadline;
    // The gateway client and its thread (processSmsGateway); ended before the connection closes.
    std::unique_ptr<sms::GatewayWorker> SmsGateway;
    std::unique_ptr<SingleInstance> instance;
    // The copy start-up took of the file, to be read back on a worker once the program runs and
    // then kept as today's backup; null when there is none to check.
    std::unique_ptr<store::PendingBackup> todaysBackup;
};

} // namespace natalis::session
