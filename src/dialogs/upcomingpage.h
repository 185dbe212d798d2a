#pragma once

#include "dialogs/jumplist.h"
#include "store/birthdaylist.h"

#include <QDate>

namespace natalis::dialogs {

// The tab after the categories: the birthdays of the next 30 days from every list, nearest
// first. It is a view; their rows are changed in their own lists, where Enter leads.
class UpcomingPage : public JumpList
{
    Q_OBJECT

public:
    static QString tabCaption();
    static QString tabToolTip();

    explicit UpcomingPage(QWidget *parent);

    // Fills the page from birthdays as they stand on today.
    void refresh(const store::BirthdayList &birthdays, const QDate &today);
};

} // namespace natalis::dialogs
