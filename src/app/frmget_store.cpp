// The main window and the database file itself: the restore from a backup.

#include "app/frmget.h"
#include "birthdays/birthdayservice.h"
#include "dialogs/frmbackup.h"
#include "platform/clock.h"
#include "platform/messagesink.h"
#include "session/appcontext.h"
#include "session/backuprestore.h"
#include "widgets/workerrun.h"

#include <QAction>
#include <QPointer>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace natalis::app {

namespace {

// The whole database is replaced: the user hears which copy and how much it holds first.
QString restoreQuestion(const store::BackupEntry &backup)
{
    // A daily copy is named by its day alone; the copies taken before a restore carry the time.
    const QString when = backup.taken.time() == QTime(0, 0)
        ? backup.taken.toString(u"yyyy年M月d日"_s)
        : backup.taken.toString(u"yyyy年M月d日 HH:mm"_s);
    const QString count =
        backup.birthdays < 0 ? u"生日数不明"_s : u"共%1个生日提醒"_s.arg(backup.birthdays);
    return u"确认用%1的备份(%2)替换当前的生日数据库吗?\n替换前的数据库会先另存为备份。"_s.arg(
        when, count);
}

} // namespace

void frmGet::mnuRestore_Click()
{
    QAction *entry = findChild<QAction *>(u"mnuRestore"_s);
    if (!m_context.DbConnection || (entry && !entry->isEnabled()))
        return;
    if (entry)
        entry->setEnabled(false);
    // Held as a dialog would hold it: the file must not be read again or left by the tray's
    // exit while the backups are listed for a restore.
    setModal(true);
    // Each count reads a whole copy: seconds for a large file, several copies kept.
    widgets::startInWindow(
        this, u"正在读取备份…"_s,
        [dbPath = m_context.DbPath, read = readBackups](widgets::WorkerProgress &progress) {
            QList<store::BackupEntry> backups = read(dbPath,
                [&progress](qint64 done, qint64 total) { return progress.report(done, total); });
            return std::pair { backups, progress.isCancelled() };
        },
        [this, entry = QPointer<QAction>(entry)](std::pair<QList<store::BackupEntry>, bool> read) {
            setModal(false);
            if (entry)
                entry->setEnabled(true);
            if (!read.second)
                offerBackups(read.first);
        });
}

void frmGet::offerBackups(const QList<store::BackupEntry> &backups)
{
    if (!m_context.DbConnection)
        return;
    if (backups.isEmpty()) {
        ask(u"没有找到生日数据库的备份。程序每天启动时会在数据库所在目录的backup文件夹中自动备份。"_s,
            u"从备份恢复"_s, platform::MessageIcon::Information, platform::MessageButtons::Ok);
        return;
    }
    {
        const ModalBracket modal(*this);
        dialogs::frmBackup dialog(backups, m_context.CurrentSkin, this);
        widgets::runModal(runDialog, dialog);
        const QString chosen = dialog.chosenPath();
        if (chosen.isEmpty())
            return;
        const auto entry = std::find_if(backups.begin(), backups.end(),
            [&chosen](const store::BackupEntry &backup) { return backup.path == chosen; });
        if (entry == backups.end()
            || m_messages.show(restoreQuestion(*entry), u"从备份恢复"_s,
                   platform::MessageIcon::Question, platform::MessageButtons::YesNo)
                != platform::MessageButton::Yes)
            return;
        if (!m_service.restore(
                [&] { return restoreFromBackup(m_context, m_messages, chosen, m_clock.now()); }))
            return;
    }
    setStatus(1, u"已从备份恢复生日数据库,恢复前的数据库已另存为备份。"_s);
}

} // namespace natalis::app
