#pragma once

#include "store/smshistorytable.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace natalis::sms {

// Which log rows the history viewer lists. An empty text matches every row.
struct SmsHistoryQuery
{
    std::optional<QDate> start {}; // from its 0:00; none: from 1 January 2011
    std::optional<QDate> end {}; // up to its 0:00; none: up to tomorrow's 0:00 (all of today)
    QString account {}; // strDxUser, the account name without its "[客户]"/"[应用]" tag
    QString type {}; // strType
    QString status {}; // strStatus
};

// One row of table dxhistory as stored.
using store::SmsHistoryRow;

// The first day a log row can be listed from when no start is given.
QDate earliestSmsHistoryDay();

// The rows sent between the query's start and end (both bounds inclusive) that match its
// filters, oldest first. `today` fixes the end when the query names none. nullopt on a
// database error.
std::optional<QList<SmsHistoryRow>> querySmsHistory(
    store::Connection &connection, const SmsHistoryQuery &query, QDate today);

// Longer log texts are listed cut to this many characters followed by "...".
inline constexpr int ListedContentLength = 130;

// strContent as the list shows it: unchanged up to 130 characters, else the first 130
// characters (code points, so no character is split) + "...".
QString listedSmsContent(const QString &content);

// The messages charged over the rows (sum of intDxNum).
qint64 chargedMessages(const QList<SmsHistoryRow> &rows);

} // namespace natalis::sms
