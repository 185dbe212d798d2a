#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace natalis::store {

class Connection;

// Table dxhistory: the log of SMS batches, one row per batch. Texts are stored as they are given,
// every value bound. Its column strRequestId (the gateway request a batch went out under) is
// added to an older file by the first operation that needs it.

// One row of table dxhistory as stored.
struct SmsHistoryRow
{
    qint64 Id = 0;
    QString strSdDate; // "yyyy-MM-dd HH:mm:ss"
    QString strComputer;
    QString strType;
    QString strTitle;
    QString strTel;
    qint64 intTelNum = 0;
    QString strContent;
    qint64 intDxNum = 0;
    QString strDxUser;
    QString strYyDate; // "yyyy/MM/dd HH:mm:00", empty for a send at once
    QString strStatus;
    QString strFor;
};

// Which rows selectSmsHistory lists: strSdDate between from and to (both inclusive, compared as
// texts, which order as time does), and strDxUser, strType and strStatus equal to the filter's
// texts; an empty text matches every row.
struct SmsHistoryFilter
{
    QString from;
    QString to;
    QString strDxUser;
    QString strType;
    QString strStatus;
};

// The matching rows by strSdDate, then Id. nullopt on a database error.
std::optional<QList<SmsHistoryRow>> selectSmsHistory(
    Connection &connection, const SmsHistoryFilter &filter);

// The Id of the first row (lowest Id) whose strComputer, strType, strTitle, strTel, intTelNum,
// strContent, intDxNum, strDxUser and strYyDate equal like's and whose strStatus is not
// exceptStatus; -1 when there is none or on a database error.
qint64 findSmsHistoryRow(
    Connection &connection, const SmsHistoryRow &like, const QString &exceptStatus);

// A row and the request id it holds (empty for rows written before request ids).
struct SmsRequestRow
{
    qint64 Id = -1; // -1: no such row
    QString strRequestId;
    QString strStatus;
    QString strFor;
};

// The first row (lowest Id) that has nothing charged (intDxNum 0), whose strComputer, strType,
// strTitle, strTel, intTelNum, strContent and strDxUser equal like's, whose strStatus is not
// exceptStatus, and that goes out on `day`: its strYyDate begins with the day as "yyyy/MM/dd",
// or it has none and its strSdDate begins with the day as "yyyy-MM-dd". Id -1 when there is
// none; nullopt on a database error.
std::optional<SmsRequestRow> findSmsRequestRow(
    Connection &connection, const SmsHistoryRow &like, QDate day, const QString &exceptStatus);

// The row holding requestId (the lowest Id when several do). Id -1 when there is none or on a
// database error.
SmsHistoryRow smsHistoryRowOfRequest(Connection &connection, const QString &requestId);

// Stores requestId in row id. False on a database error.
bool setSmsRequestId(Connection &connection, qint64 id, const QString &requestId);

// Inserts row (its Id is ignored) and returns the new row's Id, or -1 on a database error. A
// non-empty requestId is stored in strRequestId; an empty one leaves the column alone, so that
// an older file without it is written as it is.
qint64 insertSmsHistoryRow(
    Connection &connection, const SmsHistoryRow &row, const QString &requestId = {});

// Writes row's strSdDate, intDxNum, strStatus and strFor into the row with row.Id. Returns how
// many rows changed (0 when there is no such row), or -1 on a database error.
int updateSmsHistoryOutcome(Connection &connection, const SmsHistoryRow &row);

// Deletes the rows whose strSdDate is sentAt or earlier. False on a database error (the table
// unchanged).
bool deleteSmsHistoryUpTo(Connection &connection, const QString &sentAt);

} // namespace natalis::store
