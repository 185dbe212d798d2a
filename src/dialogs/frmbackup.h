#pragma once

#include "store/backups.h"

#include <QDialog>

class QTableWidget;
class QPushButton;

namespace natalis::dialogs {

// "从备份恢复…": lists the backups the store found, newest first, with when each was taken, its
// size and how many birthdays it holds, and lets the user pick one. The restore itself is the
// caller's.
class frmBackup : public QDialog
{
    Q_OBJECT

public:
    frmBackup(const QList<store::BackupEntry> &backups, int skin, QWidget *parent = nullptr);

    // The chosen backup once the dialog was accepted, else empty.
    QString chosenPath() const { return m_chosen; }

    void cmdRestore_Click();

private:
    void updateButtons();

    QList<store::BackupEntry> m_backups;
    QTableWidget *m_list = nullptr;
    QPushButton *m_restore = nullptr;
    QString m_chosen;
};

} // namespace natalis::dialogs
