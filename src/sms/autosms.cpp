#include "sms/autosms.h"

#include "reminder/birthdayoccurrences.h"
#include "sms/greetingledger.h"
#include "store/birthdays.h"
#include "store/categories.h"
#include "store/settingsrecord.h"

#include <QTime>

using namespace Qt::StringLiterals;

namespace natalis::sms {

namespace {

using store::BirthdayList;
using store::BirthdayRecord;

bool categoryReady(const store::SettingsRecord &settings, int k)
{
    return settings.DxTxFlags[k].trimmed() == u"1"_s && !settings.DxTxUser[k].trimmed().isEmpty()
        && !settings.DxTxContent[k].trimmed().isEmpty();
}

// The schedule text of a send day `offset` days from now, empty for "at once".
QString scheduleFor(int offset, const QDateTime &now, const QString &sendTime)
{
    const QDate today = now.date();
    if (offset >= 1)
        return scheduleText(today.addDays(offset), sendTime);
    const QTime time = QTime::fromString(sendTime, u"HH:mm"_s);
    if (time.isValid()
        && now.secsTo(QDateTime(today, time)) >= qint64(ShortestScheduleMinutes) * 60)
        return scheduleText(today, sendTime);
    return {};
}

// The batch of category k's greetings cut for the send day `offset` days from now.
AutoSmsBatch autoBatch(const BirthdayList &birthdays, const store::SettingsRecord &settings, int k,
    int offset, const QDateTime &now, const SmsBatchCut<const BirthdaySmsWorkItem *> &cut)
{
    AutoSmsBatch batch;
    batch.category = k;
    batch.mobile = cut.mobile;
    batch.offset = offset;
    batch.scheduleText = scheduleFor(offset, now, settings.DxSendTime.trimmed());
    batch.account = accountOfItem(settings.DxTxUser[k].trimmed());
    batch.text = settings.DxTxContent[k].trimmed();
    for (const BirthdaySmsWorkItem *item : cut.items) {
        batch.ids.append(birthdays[item->index].Id);
        batch.years.append(item->year);
        batch.names.append(item->name);
        batch.numbers.append(item->number);
    }
    return batch;
}

} // namespace

QList<BirthdaySmsWorkItem> birthdaySmsWorkList(
    const BirthdayList &birthdays, const store::SettingsRecord &settings, QDate today)
{
    QList<BirthdaySmsWorkItem> items;
    // The dates exactly as the reminder text reckons them, only for the rows still to greet.
    reminder::TodaysReckoner reckoner(birthdays, today);
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        // A 忌日 is no day to be greeted on, whatever its SMS flag says.
        if (birthdays.text(i, store::BirthdayText::Duanxin).trimmed() != u"是"
            || birthdays.text(i, store::BirthdayText::DxSend).trimmed() != u"0"
            || birthdays.kind(i) == store::EntryKind::Memorial)
            continue;
        const BirthdayRecord birthday = birthdays[i];
        for (const std::optional<QDate> &occurrence : reckoner.at(i).dates) {
            if (!occurrence)
                continue;
            const QDate date = *occurrence;
            const qint64 days = today.daysTo(date);
            if (days < 0 || days > birthday.intNums)
                continue;
            BirthdaySmsWorkItem item { i, birthday.About.trimmed(), birthday.Type.trimmed(),
                birthday.Tel.trimmed(), int(days), date.year(), -1 };
            const int k = store::categoryIndex(item.category);
            if (k >= 0)
                item.offset = std::max(0, int(days) - settings.DxTxTqDays[k]);
            items.append(item);
        }
    }
    return items;
}

QString nightNotice(const QStringList &greetings)
{
    return u'[' + BirthdaySmsType.toString() + u']' + NightStopText.toString() + u' '
        + greetings.join(u',');
}

QStringList keptBackBy(const AutoSmsBatch &batch)
{
    QStringList greetings;
    if (!batch.askOnly || batch.outcome.status != NotSentStatus
        || (batch.retryRow && batch.retryRow->strStatus == NotSentStatus))
        return greetings;
    for (qsizetype i = 0; i < batch.names.size(); ++i)
        greetings.append(batch.names[i] + u'(' + batch.numbers.value(i) + u')');
    return greetings;
}

QStringList AutoSmsRun::panelTexts() const
{
    QStringList texts;
    if (!notSentTonight.isEmpty())
        texts.append(nightNotice(notSentTonight));
    for (const AutoSmsBatch &batch : batches) {
        texts.append(batch.outcome.panelText);
        if (!batch.outcome.historySaved || !batch.markSaved)
            texts.append(HistorySaveFailedText.toString());
    }
    return texts;
}

AutoSmsRun planAutoBirthdaySms(const BirthdayList &birthdays, bool hasBirthdays,
    const store::SettingsRecord &settings, const QDateTime &now)
{
    AutoSmsRun run;
    if (!hasBirthdays)
        return run;
    const QList<BirthdaySmsWorkItem> work = birthdaySmsWorkList(birthdays, settings, now.date());

    for (int d = LongestSmsLead; d >= 0; --d) {
        const bool night = d == 0 && now.time().hour() >= NightHour;
        run.stoppedForTheNight = night;
        QList<AutoSmsBatch> &batches = night ? run.heldForTheNight : run.batches;
        for (int k = 0; k < int(store::CategoryNames.size()); ++k) {
            if (!categoryReady(settings, k))
                continue;
            QList<const BirthdaySmsWorkItem *> due;
            for (const BirthdaySmsWorkItem &item : work) {
                if (item.offset == d && item.category == store::CategoryNames[k])
                    due.append(&item);
            }
            const auto numberOf = [](const BirthdaySmsWorkItem *item) { return item->number; };
            for (const auto &cut : cutSmsBatches(due, numberOf))
                batches.append(autoBatch(birthdays, settings, k, d, now, cut));
        }
    }
    return run;
}

void markAcceptedBatch(BirthdayList &birthdays, store::Connection &connection, AutoSmsBatch &batch)
{
    if (batch.outcome.accepted)
        batch.markSaved = markSmsSent(birthdays, connection, batch.ids) && batch.markSaved;
}

SmsBatchRequest prepareAutoSmsBatch(const SmsSendContext &context, AutoSmsBatch &batch)
{
    if (batch.retryRow)
        return retrySmsBatch(context, *batch.retryRow, batch.retryRequestId, batch.askOnly);
    SmsBatchRequest request = prepareSmsBatch(context, batch.mobile, BirthdaySmsType.toString(),
        joinBatchList(batch.names), joinBatchList(batch.numbers), int(batch.numbers.size()),
        batch.text, batch.account, batch.scheduleText);
    // Recorded before the gateway is asked, so that a crash or a lost answer leaves the
    // greetings pending under this id rather than free to go into another batch.
    batch.markSaved = recordGreetings(context, batch, request.entry, store::GreetingState::Pending);
    return request;
}

void finishAutoSmsBatch(const SmsSendContext &context, BirthdayList &birthdays, AutoSmsBatch &batch,
    const SmsBatchRequest &request, const SmsGatewayAnswer &answer)
{
    batch.outcome = finishSmsBatch(context, request, answer);
    const store::GreetingState state = greetingStateAfter(batch);
    const bool recorded = batch.retryRow ? recordUnitState(context, batch.retryRequestId, state)
                                         : recordGreetings(context, batch, request.entry, state);
    batch.markSaved = batch.markSaved && recorded;
    markAcceptedBatch(birthdays, context.connection, batch);
}

AutoSmsRun AutoBirthdaySms(
    BirthdayList &birthdays, bool hasBirthdays, const SmsSendContext &context)
{
    AutoSmsRun run = planAutoBirthdaySms(birthdays, hasBirthdays, context.settings, context.now);
    applyGreetingLedger(run, birthdays, context);
    for (AutoSmsBatch &batch : run.batches) {
        const SmsBatchRequest request = prepareAutoSmsBatch(context, batch);
        finishAutoSmsBatch(
            context, birthdays, batch, request, askGateway(context.gateway, request));
    }
    return run;
}

int ResetSmsSentFlags(
    BirthdayList &birthdays, bool hasBirthdays, store::Connection &connection, QDate today)
{
    if (!hasBirthdays)
        return 0;
    reminder::TodaysReckoner reckoner(birthdays, today);
    const auto within = [&](const std::optional<QDate> &date) {
        if (!date)
            return false;
        const qint64 days = today.daysTo(*date);
        return days >= 0 && days <= LongestSmsLead;
    };
    QList<qsizetype> staleRows;
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        // Only a marked row is reckoned: a start on a long list pays for the few greeted lately.
        if (birthdays.text(i, store::BirthdayText::DxSend).trimmed() != u"1")
            continue;
        const reminder::Reckoned reckoned = reckoner.at(i);
        if (!within(reckoned.dates[0]) && !within(reckoned.dates[1]))
            staleRows.append(i);
    }
    // Written once the reckoning is done: it names dates by where the list holds their texts.
    QList<qint32> stale;
    for (qsizetype i : staleRows) {
        birthdays.setText(i, store::BirthdayText::DxSend, u"0");
        stale.append(birthdays.id(i));
    }
    store::clearSmsSent(connection, stale);
    return int(stale.size());
}

} // namespace natalis::sms
