#include "store/smshistorytable.h"

#include "store/connection.h"
#include "store/statement.h"

namespace natalis::store {

namespace {

constexpr std::string_view HistoryColumns =
    "select Id,strSdDate,strComputer,strType,strTitle,strTel,intTelNum,strContent,intDxNum,"
    "strDxUser,strYyDate,strStatus,strFor";

// An empty filter text is bound like any other value and switches its condition off, so one
// statement serves every combination of filters.
constexpr std::string_view HistoryFilter = " from dxhistory"
                                           " where strSdDate between ?1 and ?2"
                                           " and (?3 = '' or strDxUser = ?3)"
                                           " and (?4 = '' or strType = ?4)"
                                           " and (?5 = '' or strStatus = ?5)"
                                           " order by strSdDate, Id";

SmsHistoryRow rowOf(const Statement &select)
{
    SmsHistoryRow row;
    row.Id = select.integer(0);
    row.strSdDate = select.text(1);
    row.strComputer = select.text(2);
    row.strType = select.text(3);
    row.strTitle = select.text(4);
    row.strTel = select.text(5);
    row.intTelNum = select.integer(6);
    row.strContent = select.text(7);
    row.intDxNum = select.integer(8);
    row.strDxUser = select.text(9);
    row.strYyDate = select.text(10);
    row.strStatus = select.text(11);
    row.strFor = select.text(12);
    return row;
}

void ensureRequestIdColumn(Connection &connection)
{
    if (!connection.hasColumn("dxhistory", u"strRequestId"))
        connection.exec("alter table dxhistory add column strRequestId text default ''");
}

} // namespace

std::optional<QList<SmsHistoryRow>> selectSmsHistory(
    Connection &connection, const SmsHistoryFilter &filter)
{
    try {
        Statement select =
            connection.prepare(std::string(HistoryColumns) + std::string(HistoryFilter));
        select.bindAll(filter.from, filter.to, filter.strDxUser, filter.strType, filter.strStatus);
        QList<SmsHistoryRow> rows;
        while (select.step())
            rows.append(rowOf(select));
        return rows;
    } catch (const DbException &) {
        return std::nullopt;
    }
}

qint64 findSmsHistoryRow(
    Connection &connection, const SmsHistoryRow &like, const QString &exceptStatus)
{
    try {
        Statement select = connection.prepare(
            "select Id from [dxhistory] where [strComputer]=? and strType=? and strTitle=?"
            " and strTel=? and intTelNum=? and strContent=? and intDxNum=? and strDxUser=?"
            " and strYyDate=? and strStatus<>? order by Id limit 1");
        select.bindAll(like.strComputer, like.strType, like.strTitle, like.strTel, like.intTelNum,
            like.strContent, like.intDxNum, like.strDxUser, like.strYyDate, exceptStatus);
        return select.step() ? select.integer(0) : -1;
    } catch (const DbException &) {
        return -1;
    }
}

std::optional<SmsRequestRow> findSmsRequestRow(
    Connection &connection, const SmsHistoryRow &like, QDate day, const QString &exceptStatus)
{
    try {
        ensureRequestIdColumn(connection);
        Statement select = connection.prepare(
            "select Id,strRequestId,strStatus,strFor from [dxhistory] where [strComputer]=? and "
            "strType=?"
            " and strTitle=? and strTel=? and intTelNum=? and strContent=? and intDxNum=0"
            " and strDxUser=? and (substr(strYyDate,1,10)=? or (ifnull(strYyDate,'')=''"
            " and substr(strSdDate,1,10)=?)) and strStatus<>? order by Id limit 1");
        select.bindAll(like.strComputer, like.strType, like.strTitle, like.strTel, like.intTelNum,
            like.strContent, like.strDxUser, day.toString(u"yyyy/MM/dd"),
            day.toString(u"yyyy-MM-dd"), exceptStatus);
        if (!select.step())
            return SmsRequestRow {};
        return SmsRequestRow { select.integer(0), select.text(1), select.text(2), select.text(3) };
    } catch (const DbException &) {
        return std::nullopt;
    }
}

SmsHistoryRow smsHistoryRowOfRequest(Connection &connection, const QString &requestId)
{
    SmsHistoryRow none;
    none.Id = -1;
    try {
        if (requestId.isEmpty() || !connection.hasColumn("dxhistory", u"strRequestId"))
            return none;
        Statement select = connection.prepare(std::string(HistoryColumns)
            + " from dxhistory where strRequestId=? order by Id limit 1");
        select.bind(1, requestId);
        return select.step() ? rowOf(select) : none;
    } catch (const DbException &) {
        return none;
    }
}

bool setSmsRequestId(Connection &connection, qint64 id, const QString &requestId)
{
    try {
        connection.prepare("update [dxhistory] set strRequestId=? where [Id]=?")
            .bindAll(requestId, id)
            .run();
        return true;
    } catch (const DbException &) {
        return false;
    }
}

qint64 insertSmsHistoryRow(
    Connection &connection, const SmsHistoryRow &row, const QString &requestId)
{
    try {
        const bool withRequestId = !requestId.isEmpty();
        if (withRequestId)
            ensureRequestIdColumn(connection);
        Statement insert = connection.prepare(withRequestId
                ? "insert into [dxhistory](strSdDate,strComputer,strType,strTitle,strTel,"
                  "intTelNum,strContent,intDxNum,strDxUser,strYyDate,strStatus,strFor,"
                  "strRequestId) values(?,?,?,?,?,?,?,?,?,?,?,?,?)"
                : "insert into [dxhistory](strSdDate,strComputer,strType,strTitle,strTel,"
                  "intTelNum,strContent,intDxNum,strDxUser,strYyDate,strStatus,strFor)"
                  " values(?,?,?,?,?,?,?,?,?,?,?,?)");
        insert.bindAll(row.strSdDate, row.strComputer, row.strType, row.strTitle, row.strTel,
            row.intTelNum, row.strContent, row.intDxNum, row.strDxUser, row.strYyDate,
            row.strStatus, row.strFor);
        if (withRequestId)
            insert.bind(13, requestId);
        insert.run();
        return connection.lastInsertRowId();
    } catch (const DbException &) {
        return -1;
    }
}

int updateSmsHistoryOutcome(Connection &connection, const SmsHistoryRow &row)
{
    try {
        connection
            .prepare("update [dxhistory] set [strSdDate]=?,intDxNum=?,strStatus=?,strFor=?"
                     " where [Id]=?")
            .bindAll(row.strSdDate, row.intDxNum, row.strStatus, row.strFor, row.Id)
            .run();
        return connection.changes();
    } catch (const DbException &) {
        return -1;
    }
}

bool deleteSmsHistoryUpTo(Connection &connection, const QString &sentAt)
{
    try {
        connection.prepare("delete from [dxhistory] where strSdDate <= ?").bind(1, sentAt).run();
        return true;
    } catch (const DbException &) {
        return false;
    }
}

} // namespace natalis::store
