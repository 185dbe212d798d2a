#include "session/startup.h"

#include "calendar/lunaryeartable.h"
#include "platform/clock.h"
#include "platform/dblocation.h"
#include "platform/messagesink.h"
#include "session/appcontext.h"
#include "store/birthdays.h"
#include "store/compaction.h"
#include "store/database.h"
#include "store/settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

using namespace Qt::StringLiterals;

namespace natalis::session {

namespace {

// The database engine opens no file whose full path is this long or longer (bytes, UTF-8).
constexpr int MaxDbPathBytes = 512;

// The start of panel 1's text when the day has no backup; the cause follows.
constexpr QStringView NoBackupToday = u"今天的备份没有做成: ";

// Returns the copy still to be read back before it becomes today's backup, or null; a start
// that made no copy where one was due tells why in context.DbNotice.
std::unique_ptr<store::PendingBackup> compact(
    const QString &dbPath, QDate today, platform::MessageSink &messages, AppContext &context)
{
    store::Compaction compaction = store::CompactBirthDb(dbPath, today);
    // Start-up goes on whatever happens; the connection attempt decides.
    QString cause;
    switch (compaction.outcome) {
    case store::CompactOutcome::Unavailable:
        messages.show(
            dbPath + u"生日数据库不存在或被其他程序使用中,数据库压缩失败!"_s, AppTitle.toString());
        cause = u"生日数据库被其他程序使用中"_s;
        break;
    case store::CompactOutcome::DiskFull:
        messages.show(dbPath + u"磁盘空间不足,数据库压缩失败!"_s, AppTitle.toString());
        cause = u"磁盘空间不足"_s;
        break;
    case store::CompactOutcome::ReadOnly:
        messages.show(dbPath + u"生日数据库文件只读,数据库压缩失败!"_s, AppTitle.toString());
        cause = u"生日数据库文件只读"_s;
        break;
    case store::CompactOutcome::Failed:
        messages.show(dbPath + compaction.cause + u",数据库压缩失败!"_s, AppTitle.toString());
        cause = compaction.cause;
        break;
    case store::CompactOutcome::Compacted:
    case store::CompactOutcome::NotDue:
    case store::CompactOutcome::Skipped:
        break;
    }
    if (!compaction.backup && !cause.isEmpty())
        context.DbNotice = NoBackupToday.toString() + cause;
    return std::move(compaction.backup);
}

// True when the file is there but is no database of ours: damaged, empty, keyed otherwise or
// not a file at all; not when it is only held by another program or may not be read.
bool isUnopenable(const QString &dbPath, const store::DbError &error)
{
    const QFileInfo file(dbPath);
    return file.exists() && (!file.isFile() || store::isDamage(error) || file.size() == 0);
}

} // namespace

StartupResult runStartup(const QString &dbArgument, const StartupPlaces &places,
    platform::MessageSink &messages, const platform::Clock &clock, AppContext &context)
{
    calendar::LoadLunarYearTable();
    context.CurrentSkin = 1;

    context.instance = std::make_unique<SingleInstance>(places.lockFolder);
    if (!context.instance->acquire()) {
        // The running instance shows itself; the message only when it does not answer.
        const bool answered = context.instance->askRunningToShow(
            dbArgument.isEmpty() ? QString() : QFileInfo(dbArgument).absoluteFilePath());
        context.instance.reset();
        if (!answered)
            messages.show(AppTitle.toString() + u"已经处于运行状态"_s, AppTitle.toString(),
                platform::MessageIcon::Information);
        return StartupResult::AlreadyRunning;
    }

    context.ComputerName = QSysInfo::machineHostName();

    bool newInDataFolder = false;
    if (dbArgument.isEmpty()) {
        context.AppFolder = places.appFolder;
        if (!places.appFolderWritable)
            QDir().mkpath(places.dataFolder);
        context.DbPath =
            platform::defaultDbPath(places.appFolder, places.appFolderWritable, places.dataFolder);
        newInDataFolder = !places.appFolderWritable && !QFileInfo::exists(context.DbPath);
    } else {
        context.DbPath = dbArgument;
    }

    if (QFile::encodeName(QFileInfo(context.DbPath).absoluteFilePath()).size() >= MaxDbPathBytes) {
        messages.show(u"本地生日数据库:"_s + context.DbPath + u"连接建立失败 \n路径超过"_s
                + QString::number(MaxDbPathBytes)
                + u"字节,请把数据库文件放到路径较短的文件夹中。"_s,
            AppTitle.toString());
        return StartupResult::NoConnection;
    }

    const StartupResult opened = openDatabaseAtStart(messages, clock, context);
    if (opened == StartupResult::Ready && newInDataFolder)
        context.DbNotice = platform::newDatabaseNotice(context.DbPath);
    return opened;
}

StartupResult openDatabaseAtStart(
    platform::MessageSink &messages, const platform::Clock &clock, AppContext &context)
{
    context.todaysBackup = compact(context.DbPath, clock.now().date(), messages, context);

    context.DbConnection = store::OpenBirthDb(context.DbPath, &context.OpenError);
    if (!context.DbConnection) {
        context.todaysBackup.reset();
        if (isUnopenable(context.DbPath, context.OpenError))
            return StartupResult::Unopened;
        messages.show(u"本地生日数据库:"_s + context.DbPath + u"连接建立失败 "_s
                + context.OpenError.description,
            AppTitle.toString());
        return StartupResult::NoConnection;
    }

    auto settings = store::ReadSettings(*context.DbConnection);
    if (const auto *error = std::get_if<store::DbError>(&settings)) {
        messages.show(
            u"读取本地数据库设置信息失败 "_s + error->describe(), u"青萍多用户短信群发平台v6.0"_s);
        return StartupResult::NoSettings;
    }
    context.Settings = std::get<store::SettingsRecord>(std::move(settings));

    PurgeSmsHistory(*context.DbConnection, context.Settings.DxTxRetryNums, clock.now().date());
    context.SmsAccounts = LoadSmsAccounts(*context.DbConnection);
    return StartupResult::Ready;
}

void shutdown(AppContext &context)
{
    // A send under way may finish and be logged; nothing new starts.
    if (context.SmsGateway)
        context.SmsGateway->finish();
    context.todaysBackup.reset();
    context.DbConnection.reset();
    context.instance.reset();
}

} // namespace natalis::session
