#include "sms/greetingledger.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace natalis::sms {

namespace {

using store::GreetingKey;
using store::GreetingRow;
using store::GreetingState;

GreetingKey keyOf(const AutoSmsBatch &batch, qsizetype i)
{
    return { batch.ids[i], batch.years[i], batch.numbers[i] };
}

// What the ledger found for the people of a planned run.
struct Sorting
{
    QList<qint32> delivered; // birthdays whose greeting went out already
    QStringList unsettled; // request ids of attempts of unknown outcome, first seen first
    QSet<QString> unsettledAtNight; // of those, the ones with a greeting due today past 22:00
};

// The batch without the people the ledger says must not go into a new batch; their
// delivered greetings and unsettled attempts noted in sorting.
AutoSmsBatch withoutSettled(
    const AutoSmsBatch &batch, Sorting &sorting, store::Connection &connection, bool night)
{
    AutoSmsBatch kept = batch;
    kept.ids.clear();
    kept.years.clear();
    kept.names.clear();
    kept.numbers.clear();
    for (qsizetype i = 0; i < batch.ids.size(); ++i) {
        const GreetingRow row = store::findGreeting(connection, keyOf(batch, i));
        switch (row.state) {
        case GreetingState::Sent:
            sorting.delivered.append(batch.ids[i]);
            continue;
        case GreetingState::Pending:
            if (!sorting.unsettled.contains(row.requestId))
                sorting.unsettled.append(row.requestId);
            if (night)
                sorting.unsettledAtNight.insert(row.requestId);
            continue;
        case GreetingState::Unreadable:
            continue; // not knowing whether it went out, it waits for the next pass
        case GreetingState::None:
        case GreetingState::NightStopped:
            break;
        }
        kept.ids.append(batch.ids[i]);
        kept.years.append(batch.years[i]);
        kept.names.append(batch.names[i]);
        kept.numbers.append(batch.numbers[i]);
    }
    return kept;
}

// The earlier attempt under requestId as a batch of its own; nullopt when its row is gone.
std::optional<AutoSmsBatch> retryBatch(
    store::Connection &connection, const QString &requestId, bool askOnly)
{
    store::SmsHistoryRow row = store::smsHistoryRowOfRequest(connection, requestId);
    if (row.Id < 0)
        return std::nullopt;
    AutoSmsBatch batch;
    batch.mobile = isMobileNumber(row.strTel);
    batch.account = row.strDxUser;
    batch.text = row.strContent;
    batch.scheduleText = row.strYyDate;
    batch.names = splitBatchList(row.strTitle);
    batch.numbers = splitBatchList(row.strTel);
    for (const GreetingRow &greeting : store::greetingsOfRequest(connection, requestId)) {
        batch.ids.append(greeting.key.birthdayId);
        batch.years.append(greeting.key.year);
    }
    batch.retryRow = row;
    batch.retryRequestId = requestId;
    batch.askOnly = askOnly;
    return batch;
}

// A greeting the night stop keeps back is logged once on its day: its log row and ledger state.
// True when it was logged now, the first time that day.
bool logNotSent(const SmsSendContext &context, const AutoSmsBatch &batch, qsizetype i)
{
    const GreetingRow earlier = store::findGreeting(context.connection, keyOf(batch, i));
    const QString today = storedSendTime(context.now).left(10);
    if (earlier.state == GreetingState::NightStopped && earlier.updated.startsWith(today))
        return false;
    const store::SmsHistoryRow row { -1, storedSendTime(context.now), context.computerName,
        BirthdaySmsType.toString(), batch.names[i], batch.numbers[i], 1, batch.text, 0,
        batch.account, {}, NotSentStatus.toString(), NightStopReason.toString() };
    const qint64 rowId = store::insertSmsHistoryRow(context.connection, row);
    store::writeGreetings(context.connection,
        { { keyOf(batch, i), GreetingState::NightStopped, {}, rowId,
            storedSendTime(context.now) } });
    return true;
}

} // namespace

void applyGreetingLedger(
    AutoSmsRun &run, store::BirthdayList &birthdays, const SmsSendContext &context)
{
    Sorting sorting;
    QList<AutoSmsBatch> fresh;
    for (const AutoSmsBatch &batch : std::as_const(run.batches)) {
        AutoSmsBatch kept = withoutSettled(batch, sorting, context.connection, false);
        if (!kept.ids.isEmpty())
            fresh.append(std::move(kept));
    }
    for (const AutoSmsBatch &batch : std::as_const(run.heldForTheNight)) {
        const AutoSmsBatch held = withoutSettled(batch, sorting, context.connection, true);
        for (qsizetype i = 0; i < held.ids.size(); ++i) {
            const QString greeting = held.names[i] + u'(' + held.numbers[i] + u')';
            run.notSentTonight.append(greeting);
            if (logNotSent(context, held, i))
                run.keptBackNow.append(greeting);
        }
    }
    run.batches.clear();
    for (const QString &requestId : std::as_const(sorting.unsettled)) {
        const bool askOnly = sorting.unsettledAtNight.contains(requestId);
        if (std::optional<AutoSmsBatch> retry = retryBatch(context.connection, requestId, askOnly))
            run.batches.append(std::move(*retry));
    }
    run.batches.append(fresh);
    markSmsSent(birthdays, context.connection, sorting.delivered);
}

GreetingState greetingStateAfter(const AutoSmsBatch &batch)
{
    const SmsBatchOutcome &outcome = batch.outcome;
    if (outcome.accepted)
        return GreetingState::Sent;
    // A unit the gateway refused went nowhere; anything else about a retry leaves its earlier
    // attempt as unknown as it was.
    const bool refused = outcome.partsSent && outcome.status == FailedStatus;
    if (batch.retryRow)
        return refused && !batch.askOnly ? GreetingState::None : GreetingState::Pending;
    return outcome.partsSent && outcome.status == UnknownStatus ? GreetingState::Pending
                                                                : GreetingState::None;
}

bool recordGreetings(const SmsSendContext &context, const AutoSmsBatch &batch,
    const SmsLogEntry &entry, GreetingState state)
{
    QList<GreetingRow> rows;
    for (qsizetype i = 0; i < batch.ids.size(); ++i)
        rows.append(
            { keyOf(batch, i), state, entry.requestId, entry.rowId, storedSendTime(context.now) });
    return store::writeGreetings(context.connection, rows);
}

bool recordUnitState(const SmsSendContext &context, const QString &requestId, GreetingState state)
{
    QList<GreetingRow> rows = store::greetingsOfRequest(context.connection, requestId);
    for (GreetingRow &row : rows) {
        row.state = state;
        row.updated = storedSendTime(context.now);
    }
    return store::writeGreetings(context.connection, rows);
}

bool markSmsSent(
    store::BirthdayList &birthdays, store::Connection &connection, const QList<qint32> &ids)
{
    if (ids.isEmpty())
        return true;
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        if (ids.contains(birthdays.id(i)))
            birthdays.setText(i, store::BirthdayText::DxSend, u"1");
    }
    return MarkSmsSent(connection, ids);
}

} // namespace natalis::sms
