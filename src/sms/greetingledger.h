#pragma once

#include "sms/autosms.h"
#include "store/smsgreetingtable.h"

namespace natalis::sms {

// The automatic greetings' ledger (store's dxgreeting) at work around a run. A greeting is one
// birthday's greeting of one year to one number; the ledger holds the request it last went out
// under and where it stands, so that no change of the batch around it can send it twice.

// Before a planned run goes out: a greeting already delivered is left out and its birthday
// marked sent; a greeting whose earlier attempt is of unknown outcome is left out and that
// attempt goes first, alone under its own id and row (past the night stop only asked about);
// a greeting the night stop keeps back is logged once a day as NotSentStatus with
// NightStopReason and listed in run.notSentTonight. Touches no gateway.
void applyGreetingLedger(
    AutoSmsRun &run, store::BirthdayList &birthdays, const SmsSendContext &context);

// Where the greetings of a batch stand after its outcome.
store::GreetingState greetingStateAfter(const AutoSmsBatch &batch);

// Records the batch's greetings as going out under entry in `state`. False on a database error.
bool recordGreetings(const SmsSendContext &context, const AutoSmsBatch &batch,
    const SmsLogEntry &entry, store::GreetingState state);

// Sets every greeting recorded under requestId to `state`. False on a database error.
bool recordUnitState(
    const SmsSendContext &context, const QString &requestId, store::GreetingState state);

// DxSend "1" for these birthdays, in the list and in the table. False on a database error.
bool markSmsSent(
    store::BirthdayList &birthdays, store::Connection &connection, const QList<qint32> &ids);

} // namespace natalis::sms
