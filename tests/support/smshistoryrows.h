#pragma once

// Log rows of table dxhistory written as they stand, for the tests that read the send history.

#include "sms/smshistory.h"
#include "store/connection.h"
#include "store/statement.h"

#include <QDateTime>
#include <QStringList>

namespace natalis::test {

// A charged immediate send from "PC-1" through account "alice" at `sentAt` ("yyyy-MM-dd
// HH:mm:ss", the stored form).
inline sms::SmsHistoryRow historyRow(const QString &sentAt, const QString &content = {})
{
    sms::SmsHistoryRow row;
    row.strSdDate = sentAt;
    row.strComputer = QStringLiteral("PC-1");
    row.strType = QStringLiteral("即时短信");
    row.strTitle = QStringLiteral("张三");
    row.strTel = QStringLiteral("13800000000");
    row.intTelNum = 1;
    row.strContent = content.isEmpty() ? QStringLiteral("生日快乐") : content;
    row.intDxNum = 1;
    row.strDxUser = QStringLiteral("alice");
    row.strStatus = QStringLiteral("发送成功");
    return row;
}

// Inserts row (its Id is assigned by the database) and returns the new Id.
inline qint64 insertHistoryRow(store::Connection &connection, const sms::SmsHistoryRow &row)
{
    connection
        .prepare("insert into dxhistory(strSdDate,strComputer,strType,strTitle,strTel,intTelNum,"
                 "strContent,intDxNum,strDxUser,strYyDate,strStatus,strFor)"
                 " values(?,?,?,?,?,?,?,?,?,?,?,?)")
        .bindAll(row.strSdDate, row.strComputer, row.strType, row.strTitle, row.strTel,
            row.intTelNum, row.strContent, row.intDxNum, row.strDxUser, row.strYyDate,
            row.strStatus, row.strFor)
        .run();
    return connection.lastInsertRowId();
}

// The strStatus of every log row, in the order they were written.
inline QStringList loggedStatuses(store::Connection &connection)
{
    QStringList statuses;
    store::Statement select = connection.prepare("select strStatus from dxhistory order by Id");
    while (select.step())
        statuses << select.text(0);
    return statuses;
}

} // namespace natalis::test
