#include "session/backuprestore.h"

#include "platform/messagesink.h"
#include "session/appcontext.h"
#include "session/startup.h"
#include "store/birthdays.h"
#include "store/settings.h"

using namespace Qt::StringLiterals;

namespace natalis::app {

namespace {

QString describeBackup(const store::BackupEntry &backup)
{
    return u"%1, %2条生日"_s.arg(backup.taken.toString(u"yyyy-MM-dd HH:mm"_s))
        .arg(backup.birthdays);
}

// Opens the file again as the connection; false (the old connection kept) when it does not open.
bool reopen(AppContext &context, store::Connection::OpenMode mode)
{
    auto connection = store::Connection::open(context.DbPath, mode);
    if (!connection)
        return false;
    context.DbConnection = std::move(*connection);
    context.LoadedDataVersion = context.DbConnection->dataVersion();
    return true;
}

// Leaves the damaged file as it is: a read-only connection cannot write a page, not even the
// reminder memory's.
void keepDamagedFileReadOnly(AppContext &context)
{
    context.DbDamaged = true;
    if (reopen(context, store::Connection::OpenMode::ReadOnly))
        return;
    try {
        context.DbConnection->exec("PRAGMA query_only = 1");
    } catch (const store::DbException &) {
        // The engine refuses only on a closed connection, which writes nothing either.
    }
}

void rereadSettings(AppContext &context)
{
    auto settings = store::ReadSettings(*context.DbConnection);
    if (auto *record = std::get_if<store::SettingsRecord>(&settings))
        context.Settings = std::move(*record);
}

} // namespace

bool restoreFromBackup(
    AppContext &context, MessageSink &messages, const QString &backupPath, const QDateTime &now)
{
    if (!context.DbConnection)
        return false;
    const QString title = u"从备份恢复"_s;
    // The kept damaged file is open read-only; the restore needs to write it.
    if (context.DbDamaged && !reopen(context, store::Connection::OpenMode::ExistingOnly)) {
        messages.show(u"从备份恢复失败,生日数据库未被改动。"_s, title);
        return false;
    }
    const auto outcome = store::restoreBackup(*context.DbConnection, backupPath, now);
    if (outcome != store::RestoreOutcome::Restored && context.DbDamaged)
        keepDamagedFileReadOnly(context);
    switch (outcome) {
    case store::RestoreOutcome::Restored:
        break;
    case store::RestoreOutcome::BackupUnusable:
        messages.show(u"备份文件已损坏或无法打开,生日数据库未被改动。"_s, title);
        return false;
    case store::RestoreOutcome::CurrentNotSaved:
        messages.show(
            u"当前生日数据库无法另存为备份(被其他程序使用中或磁盘已满),未进行恢复。"_s, title);
        return false;
    case store::RestoreOutcome::Failed:
        messages.show(u"从备份恢复失败,生日数据库未被改动。"_s, title);
        return false;
    }
    context.DbDamaged = false;
    rereadSettings(context);
    reloadBirthdays(context, messages);
    messages.show(u"已从备份恢复生日数据库,恢复前的数据库已另存为备份。"_s, title);
    return true;
}

bool offerBackupAfterDamage(AppContext &context, MessageSink &messages, const QDateTime &now)
{
    const std::optional<store::BackupEntry> backup = store::newestSoundBackup(context.DbPath);
    if (!backup) {
        messages.show(u"生日数据库文件已损坏,没有找到可以使用的备份。"_s, AppTitle.toString(),
            MessageIcon::Warning);
        return false;
    }
    const QString question =
        u"生日数据库文件已损坏。\r\n最新的完好备份: %1。\r\n"
        "是否用它恢复?恢复前当前文件会另存为备份。"_s.arg(describeBackup(*backup));
    if (messages.show(question, AppTitle.toString(), MessageIcon::Question, MessageButtons::YesNo)
        != MessageButton::Yes)
        return false;
    return restoreFromBackup(context, messages, backup->path, now);
}

void loadBirthdaysAtStart(AppContext &context, MessageSink &messages, const QDateTime &now)
{
    const auto error = reloadBirthdays(context, messages);
    if (error) {
        if (store::isDamage(*error) && !offerBackupAfterDamage(context, messages, now))
            keepDamagedFileReadOnly(context);
        return;
    }
    // A file from before birthdays had Uids gets them once it has been read cleanly.
    if (context.DbConnection && context.HasBirthdays
        && store::lacksBirthdayUids(*context.DbConnection, context.Birthdays)
        && store::assignMissingBirthdayUids(*context.DbConnection) > 0)
        reloadBirthdays(context, messages);
}

} // namespace natalis::app
