#include "session/backuprestore.h"

#include "platform/messagesink.h"
#include "session/appcontext.h"
#include "session/startup.h"
#include "session/unopenedcause.h"
#include "store/birthdays.h"
#include "store/settings.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace natalis::session {

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
enum class Way { Restore, OtherFile, NewFile, End };

// The box of takeWayBack: its text and its buttons, each with the way it stands for.
struct WayOffer
{
    QString text;
    QStringList buttons;
    QList<Way> ways;
};

WayOffer wayOffer(
    const QString &dbPath, const QString &cause, const std::optional<store::BackupEntry> &backup)
{
    const bool isFile = QFileInfo(dbPath).isFile();
    WayOffer offer { u"本地生日数据库:"_s + dbPath + u"无法打开: "_s + cause + u"。\n"_s, {}, {} };
    if (backup) {
        offer.text += u"最新的完好备份: %1。\n"_s.arg(describeBackup(*backup));
        offer.buttons << u"用这个备份恢复"_s;
        offer.ways << Way::Restore;
    } else if (isFile) {
        offer.text += u"没有找到可以使用的备份。\n"_s;
    }
    offer.buttons << u"打开其他文件…"_s;
    offer.ways << Way::OtherFile;
    if (isFile) {
        offer.text += u"恢复或新建时,无法打开的文件会另存在它旁边。"_s;
        offer.buttons << u"新建生日数据库"_s;
        offer.ways << Way::NewFile;
    }
    offer.buttons << u"退出"_s;
    offer.ways << Way::End;
    return offer;
}

bool restoreUnopenedFile(AppContext &context, platform::MessageSink &messages,
    const store::BackupEntry &backup, const QDateTime &now)
{
    QString aside;
    QString cause;
    switch (store::restoreUnopened(context.DbPath, backup.path, now, &aside, &cause)) {
    case store::RestoreOutcome::Restored:
        messages.show(u"已从备份(%1)恢复生日数据库,无法打开的文件已另存为:\n%2"_s.arg(
                          describeBackup(backup), aside),
            u"从备份恢复"_s, platform::MessageIcon::Information);
        return true;
    case store::RestoreOutcome::BackupUnusable:
        messages.show(u"备份文件已损坏或无法打开,生日数据库未被改动。"_s, u"从备份恢复"_s);
        return false;
    case store::RestoreOutcome::CurrentNotSaved:
        messages.show(u"无法打开的文件不能另存(%1),未进行恢复。"_s.arg(cause), u"从备份恢复"_s);
        return false;
    case store::RestoreOutcome::Failed:
        break;
    }
    messages.show(u"从备份恢复失败(%1),生日数据库未被改动。"_s.arg(cause), u"从备份恢复"_s);
    return false;
}

bool setUnopenedFileAside(
    AppContext &context, platform::MessageSink &messages, const QDateTime &now)
{
    QString cause;
    const QString aside = store::setAsideUnopened(context.DbPath, now, &cause);
    if (aside.isEmpty()) {
        messages.show(
            u"无法打开的文件不能另存(%1),没有新建生日数据库。"_s.arg(cause), AppTitle.toString());
        return false;
    }
    messages.show(u"将新建生日数据库,无法打开的文件已另存为:\n%1"_s.arg(aside), AppTitle.toString(),
        platform::MessageIcon::Information);
    return true;
}

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

bool restoreFromBackup(AppContext &context, platform::MessageSink &messages,
    const QString &backupPath, const QDateTime &now)
{
    if (!context.DbConnection)
        return false;
    const QString title = u"从备份恢复"_s;
    // The kept damaged file is open read-only; the restore needs to write it.
    if (context.DbDamaged && !reopen(context, store::Connection::OpenMode::ExistingOnly)) {
        messages.show(u"从备份恢复失败,生日数据库未被改动。"_s, title);
        return false;
    }
    QString cause;
    const auto outcome = store::restoreBackup(*context.DbConnection, backupPath, now, &cause);
    if (outcome != store::RestoreOutcome::Restored && context.DbDamaged)
        keepDamagedFileReadOnly(context);
    switch (outcome) {
    case store::RestoreOutcome::Restored:
        break;
    case store::RestoreOutcome::BackupUnusable:
        messages.show(u"备份文件已损坏或无法打开,生日数据库未被改动。"_s, title);
        return false;
    case store::RestoreOutcome::CurrentNotSaved:
        messages.show(u"当前生日数据库无法另存为备份(%1),未进行恢复。"_s.arg(cause), title);
        return false;
    case store::RestoreOutcome::Failed:
        messages.show(u"从备份恢复失败(%1),生日数据库未被改动。"_s.arg(cause), title);
        return false;
    }
    context.DbDamaged = false;
    rereadSettings(context);
    messages.show(u"已从备份恢复生日数据库,恢复前的数据库已另存为备份。"_s, title);
    return true;
}

bool offerBackupAfterDamage(AppContext &context, platform::MessageSink &messages,
    const QDateTime &now, const BackupFinder &findBackup)
{
    const std::optional<store::BackupEntry> backup = findBackup(context.DbPath);
    if (!backup) {
        messages.show(u"生日数据库文件已损坏,没有找到可以使用的备份。"_s, AppTitle.toString(),
            platform::MessageIcon::Warning);
        return false;
    }
    const QString question =
        u"生日数据库文件已损坏。\r\n最新的完好备份: %1。\r\n"
        "是否用它恢复?恢复前当前文件会另存为备份。"_s.arg(describeBackup(*backup));
    if (messages.show(question, AppTitle.toString(), platform::MessageIcon::Question,
            platform::MessageButtons::YesNo)
        != platform::MessageButton::Yes)
        return false;
    return restoreFromBackup(context, messages, backup->path, now);
}

void loadBirthdaysAtStart(AppContext &context, platform::MessageSink &messages,
    const QDateTime &now, const BackupFinder &findBackup)
{
    const auto error = reloadBirthdays(context, messages);
    if (error) {
        if (!store::isDamage(*error))
            return;
        // The program's service is not there yet: the start reads the backup's birthdays itself.
        if (offerBackupAfterDamage(context, messages, now, findBackup))
            reloadBirthdays(context, messages);
        else
            keepDamagedFileReadOnly(context);
        return;
    }
    // A file from before birthdays had Uids gets them once it has been read cleanly.
    if (context.DbConnection && context.HasBirthdays
        && store::lacksBirthdayUids(*context.DbConnection, context.Birthdays)
        && store::assignMissingBirthdayUids(*context.DbConnection) > 0)
        reloadBirthdays(context, messages);
}

bool takeWayBack(AppContext &context, platform::MessageSink &messages, const QDateTime &now,
    const WayBackHooks &hooks)
{
    const QString cause = unopenedCause(context.DbPath, context.OpenError);
    // A folder holds no backup of ours; the check reads whole files.
    const std::optional<store::BackupEntry> backup =
        QFileInfo(context.DbPath).isFile() && hooks.findBackup ? hooks.findBackup(context.DbPath)
                                                               : std::nullopt;
    const WayOffer offer = wayOffer(context.DbPath, cause, backup);
    // Until a way is taken: a file chooser closed, or a way that failed and said why, asks again.
    for (;;) {
        const int chosen = messages.choose(
            offer.text, AppTitle.toString(), platform::MessageIcon::Warning, offer.buttons);
        switch (chosen < 0 ? Way::End : offer.ways.value(chosen, Way::End)) {
        case Way::Restore:
            if (restoreUnopenedFile(context, messages, *backup, now))
                return true;
            break;
        case Way::OtherFile:
            if (const QString picked = hooks.pickFile ? hooks.pickFile() : QString();
                !picked.isEmpty()) {
                context.DbPath = picked;
                return true;
            }
            break;
        case Way::NewFile:
            if (setUnopenedFileAside(context, messages, now))
                return true;
            break;
        case Way::End:
            return false;
        }
    }
}

} // namespace natalis::session
