#pragma once

#include "sms/smsbatching.h"
#include "sms/smsdispatch.h"
#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"
#include "store/birthdays.h"
#include "store/smshistorytable.h"

#include <QDate>
#include <QList>
#include <optional>

namespace natalis::store {
class Connection;
struct SettingsRecord;
} // namespace natalis::store

namespace natalis::sms {

// Greetings go out at most this many days ahead; a DxSend mark lasts while an occurrence lies
// within this many days.
inline constexpr int LongestSmsLead = 14;

// From this hour on, no greeting with offset 0 goes out.
inline constexpr int NightHour = 22;

// One due occurrence of an entry that asks for a greeting and has not had it yet.
struct BirthdaySmsWorkItem
{
    qsizetype index; // into the birthday list
    QString name; // About, trimmed
    QString category; // Type, trimmed
    QString number; // Tel, trimmed
    int daysLeft; // 0..intNums
    int year; // the occurrence's year: with Id and number, the greeting's identity
    int offset; // days from today to the send day: daysLeft − DxTxTqDays, at least 0;
                // -1 when the category is none of the eight (never sent)
};

// Steps 1 to 3 of AutoBirthdaySms: entries with Duanxin "是" and DxSend "0" whose this-year or
// next-year occurrence lies 0..intNums days from today, in list order (this year's first). A
// 忌日 never gets a greeting.
QList<BirthdaySmsWorkItem> birthdaySmsWorkList(
    const store::BirthdayList &birthdays, const store::SettingsRecord &settings, QDate today);

// One SendSmsBatch of an automatic run.
struct AutoSmsBatch
{
    int category = 0; // index 0..7
    bool mobile = false; // numbers beginning with "1"; false: "0" (PHS)
    int offset = 0; // days from today to the send day
    QString scheduleText; // empty: sent at once
    QString account;
    QString text; // the category's greeting, trimmed
    QList<qint32> ids;
    QList<int> years; // of each occurrence, beside ids
    QStringList names;
    QStringList numbers;
    // An earlier attempt of unknown outcome, sent again alone under its own id and row (these
    // are its row and id); ids then are the birthdays its greetings belong to.
    std::optional<store::SmsHistoryRow> retryRow;
    QString retryRequestId;
    bool askOnly = false; // with retryRow, past the night stop: the gateway is only asked
    SmsBatchOutcome outcome;
    bool markSaved = true; // MarkSmsSent's result after an accepted batch
};

struct AutoSmsRun
{
    QList<AutoSmsBatch> batches; // in the order they were sent
    bool stoppedForTheNight = false; // reached offset 0 at 22:00 or later
    // The batches the night stop kept back, as they would have gone out.
    QList<AutoSmsBatch> heldForTheNight;
    // The greetings due today that nothing was sent for because of the night stop: "name(number)".
    QStringList notSentTonight;
    // Of those, the ones this run was the first to log today: what the user is told of.
    QStringList keptBackNow;

    // What panel 3 shows, in order: each batch's text, HistorySaveFailedText after a batch
    // whose log row or sent mark could not be written.
    QStringList panelTexts() const;
    // SendSmsBatch ran at least once: the caller sets SmsActivity.
    bool activity() const { return !batches.isEmpty(); }
};

// What the user is told of greetings ("name(number)") the night stop kept back:
// "[生日短信]未发送: 22:00以后不再发送 name(number),…".
QString nightNotice(const QStringList &greetings);

// The greetings of a batch that the night stop has just kept back: a retry past 22:00 whose unit
// the gateway had not delivered, found so for the first time. "name(number)" each; empty for
// any other batch.
QStringList keptBackBy(const AutoSmsBatch &batch);

// The batches an automatic run at `now` sends, in order, without their outcomes; and whether
// the run stops for the night after them. Nothing when hasBirthdays is false.
AutoSmsRun planAutoBirthdaySms(const store::BirthdayList &birthdays, bool hasBirthdays,
    const store::SettingsRecord &settings, const QDateTime &now);

// The request of a batch (its log row written, or the earlier attempt's row and id for a
// retry) with its greetings recorded as pending under the request id; batch.markSaved false when
// the record could not be written.
SmsBatchRequest prepareAutoSmsBatch(const SmsSendContext &context, AutoSmsBatch &batch);

// Reads the answer (finishSmsBatch), records where its greetings stand and marks an accepted
// batch's birthdays sent (markAcceptedBatch).
void finishAutoSmsBatch(const SmsSendContext &context, store::BirthdayList &birthdays,
    AutoSmsBatch &batch, const SmsBatchRequest &request, const SmsGatewayAnswer &answer);

// After a batch came back: when the gateway accepted it, its entries (found by Id, so a list
// reloaded meanwhile is fine) get DxSend "1" in birthdays and in the table, and batch.markSaved
// tells whether the table took it.
void markAcceptedBatch(
    store::BirthdayList &birthdays, store::Connection &connection, AutoSmsBatch &batch);

// The automatic birthday SMS at context.now: greetings due within the entries'
// windows are sent or scheduled per category (DxTxFlags, DxTxUser, DxTxContent, DxTxTqDays) at
// DxSendTime, cut into batches as every send is (cutSmsBatches) in list order.
// Entries of accepted batches get DxSend "1" in birthdays and in table birthday. Does nothing
// when hasBirthdays is false. Called by the reminder loop on tick 1 and every 10th tick, and
// once by natalis-cli sms-auto.
AutoSmsRun AutoBirthdaySms(
    store::BirthdayList &birthdays, bool hasBirthdays, const SmsSendContext &context);

// Clears DxSend (in birthdays and in the table) of every entry marked "1" that has no
// occurrence within 0..14 days of today. Statement errors are ignored. Returns how many
// entries were cleared; nothing happens when hasBirthdays is false. Called by the main window's
// load and by the reminder loop on tick 1 and every 1500th tick.
int ResetSmsSentFlags(
    store::BirthdayList &birthdays, bool hasBirthdays, store::Connection &connection, QDate today);

// Sets DxSend "1" in table birthday for the rows with these Ids. False on a database error.
using store::MarkSmsSent;

} // namespace natalis::sms
