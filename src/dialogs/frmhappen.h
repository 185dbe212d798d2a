#pragma once

#include "dialogs/daylistdialog.h"

class QListWidget;

namespace natalis::dialogs {

// Today's birthdays and festivals, one numbered line per item of the one-line reminder text.
class frmHappen : public DayListDialog
{
    Q_OBJECT

public:
    // dateText: the calendar's today label; todayNotifyText: items separated by blanks.
    frmHappen(const QString &dateText, const QString &todayNotifyText, int skin,
        QWidget *parent = nullptr);

private:
    QListWidget *m_list;
};

} // namespace natalis::dialogs
