#include "store/database.h"

#include "store/birthdays.h"
#include "store/compaction.h"
#include "store/reminderitems.h"
#include "store/remindermemory.h"
#include "store/settings.h"
#include "store/settingsrecord.h"
#include "store/statement.h"
#include "store/transaction.h"
#include "store/windowstate.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <sqlcipher/sqlite3.h>

namespace natalis::store {

namespace {

// Text columns may hold NULL in files written by other tools; the loader reads that as empty.
constexpr const char *FixedTables[] = {
    "create table birthday("
    "Id integer primary key autoincrement,"
    "[About] text default '',[Type] text default '',[Tel] text default '',"
    "[Beizhu] text default '',[strGL] text default '',[strNL] text default '',"
    "[blnIsGL] text default '',[intnums] integer not null default 7,"
    "[Duanxin] text default '',[Sex] text default '',[Class] text default '',"
    "[QQ_MSN] text default '',[Company] text default '',[Address] text default '',"
    "[No] text default '',[DxSend] text default '0',[strUid] text default '',"
    "[Kind] text not null default '生日',[RemindDays] text not null default '',"
    "[LeapRule] text not null default '平月')",
    "create table tsclass([Class] text not null unique)",
    "create table khclass([Class] text not null unique)",
    "create table dlsclass([Class] text not null unique)",
    "create table gysclass([Class] text not null unique)",
    // strSdDate holds "yyyy-MM-dd HH:mm:ss" and strYyDate "yyyy/MM/dd HH:mm:00": both compare in
    // time order.
    "create table dxhistory("
    "Id integer primary key autoincrement,"
    "strSdDate text not null default '',strComputer text default '',strType text default '',"
    "strTitle text default '',strTel text default '',intTelNum integer not null default 0,"
    "strContent text default '',intDxNum integer not null default 0,"
    "strDxUser text default '',strYyDate text default '',strStatus text default '',"
    "strFor text default '')",
    "create index dxhistory_sddate on dxhistory(strSdDate)",
    "create table dxuser(Id integer primary key,[user] text not null default '',"
    "flag text not null default '0')",
    "insert into dxuser(Id,[user],flag) values(1,'','0'),(2,'','0')",
    // The SMS gateway's base address, one row; files made before it existed get it on first use.
    "create table dxgateway(Id integer primary key,address text not null default '')",
    "insert into dxgateway(Id,address) values(1,'')",
    WindowStateTableSql,
};

// An older file gains the birthday columns on opening. When it cannot now (another program
// holds it, say), the first write adds them, and until then the rows read with the defaults.
void addMissingColumns(Connection &connection)
{
    try {
        Transaction transaction(connection);
        ensureBirthdayColumns(connection);
        transaction.commit();
    } catch (const DbException &) {
    }
}

} // namespace

void createSchema(Connection &connection)
{
    Transaction transaction(connection);
    for (const char *sql : FixedTables)
        connection.exec(sql);
    const QByteArray settingsTable =
        "create table tishidata(Id integer primary key" + settingsColumnDefinitions() + ')';
    connection.exec(std::string_view(settingsTable.constData(), settingsTable.size()));
    connection.exec("insert into tishidata(Id) values(1)");
    createReminderMemory(connection);
    createReminderItems(connection);
    transaction.commit();
}

std::optional<Connection> OpenBirthDb(const QString &path, DbError *error)
{
    if (QFileInfo::exists(path)) {
        const bool readOnly = isReadOnlyDatabase(path);
        auto connection = Connection::open(path,
            readOnly ? Connection::OpenMode::ReadOnly : Connection::OpenMode::ExistingOnly, error);
        if (connection && !readOnly)
            addMissingColumns(*connection);
        return connection;
    }

    // Readable by its owner only, whatever the process's umask.
    {
        QFile created(path);
        if (!created.open(
                QIODevice::WriteOnly | QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner)) {
            if (error)
                *error =
                    DbError { QStringLiteral("natalis"), SQLITE_CANTOPEN, created.errorString() };
            return std::nullopt;
        }
    }
    auto connection = Connection::open(path, Connection::OpenMode::CreateIfMissing, error);
    if (!connection)
        return std::nullopt;
    try {
        createSchema(*connection);
        return connection;
    } catch (const DbException &e) {
        if (error)
            *error = e.error();
    }
    // A half-made file would be taken for a damaged database at every later start.
    connection.reset();
    QFile::remove(path);
    return std::nullopt;
}

std::optional<DbError> findDamage(Connection &connection, DamageCheck check)
{
    QStringList findings;
    try {
        Statement answer = connection.prepare(
            check == DamageCheck::Quick ? "PRAGMA quick_check" : "PRAGMA integrity_check");
        while (answer.step())
            findings << answer.text(0);
    } catch (const DbException &exception) {
        DbError damage = exception.error();
        damage.description = QStringLiteral("文件已损坏: ") + damage.description;
        return damage;
    }
    if (findings == QStringList { QStringLiteral("ok") })
        return std::nullopt;
    return DbError { QStringLiteral("SQLCipher"), SQLITE_CORRUPT,
        QStringLiteral("文件已损坏: ") + findings.mid(0, 3).join(QStringLiteral("; ")) };
}

} // namespace natalis::store
