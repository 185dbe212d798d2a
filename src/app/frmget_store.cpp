// The main window and the database file itself: changes made by other programs, and the
// restore from a backup.

#include "app/frmget.h"
#include "dialogs/frmbackup.h"
#include "platform/clock.h"
#include "platform/messagesink.h"
#include "session/appcontext.h"
#include "session/backuprestore.h"

#include <QUndoStack>

using namespace Qt::StringLiterals;

namespace natalis::app {

void frmGet::reloadIfChangedElsewhere()
{
    // An open dialog works on the rows it was shown; the next activation or tick catches up. A
    // kept damaged file is not read again: each read would only repeat its error box.
    if (!m_context.DbConnection || ModalBusy != 0 || m_context.DbDamaged)
        return;
    // -1: the question itself failed; a reload would only repeat the failure's message.
    const qint64 version = m_context.DbConnection->dataVersion();
    if (version == -1 || version == m_context.LoadedDataVersion)
        return;
    refreshAllLists();
}

void frmGet::refreshAllLists()
{
    reloadAndRefresh();
    MyDisplayBirth();
    ProcCmd(currentCategory());
}

void frmGet::mnuRestore_Click()
{
    if (!m_context.DbConnection)
        return;
    const QList<store::BackupEntry> backups = store::listBackups(m_context.DbPath);
    if (backups.isEmpty()) {
        ask(u"没有找到生日数据库的备份。程序每天启动时会在数据库所在目录的backup文件夹中自动备份。"_s,
            u"从备份恢复"_s, MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    {
        const ModalBracket modal(*this);
        frmBackup dialog(backups, m_context.CurrentSkin, this);
        runModal(runDialog, dialog);
        const QString chosen = dialog.chosenPath();
        if (chosen.isEmpty())
            return;
        if (!restoreFromBackup(m_context, m_messages, chosen, m_clock.now()))
            return;
    }
    // The undo steps were taken on the rows before the restore.
    m_undo->clear();
    setStatus(1, u"已从备份恢复生日数据库,恢复前的数据库已另存为备份。"_s);
    MyDisplayBirth();
    ProcCmd(currentCategory());
    Q_EMIT remindersOutdated();
}

} // namespace natalis::app
