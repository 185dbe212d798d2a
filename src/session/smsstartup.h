#pragma once

// Start-up's SMS steps: purging the send log by the retention setting and loading the two
// gateway accounts. Both live in the SMS library; the application uses them under these names.

#include "sms/smsaccounts.h"
#include "sms/smsdispatch.h"

namespace natalis::session {

using sms::LoadSmsAccounts;
using sms::PurgeSmsHistory;
using sms::SmsAccount;
using sms::SmsAccountTable;
using sms::smsHistoryCutoff;

} // namespace natalis::session
