#pragma once

#include "dialogs/daylistdialog.h"

class QTreeWidget;

namespace natalis::dialogs {

// The birthdays and festivals of one calendar day, one row per line of the cell's detail text
// (lines separated by CR LF, fields by tabs: the row's text, then the columns in order).
class frmContent : public DayListDialog
{
    Q_OBJECT

public:
    frmContent(
        const QString &dateText, const QString &detailText, int skin, QWidget *parent = nullptr);

    static QStringList columnTitles();

private:
    QTreeWidget *m_list;
};

} // namespace natalis::dialogs
