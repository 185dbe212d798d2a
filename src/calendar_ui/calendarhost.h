#pragma once

#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace natalis::calendar_ui {

// What the calendar window needs from the program; the application implements it.
class CalendarHost
{
public:
    virtual ~CalendarHost() = default;
    virtual const store::BirthdayList &birthdays() const = 0; // empty when none
    virtual int currentSkin() const = 0; // 0..4
    virtual QDateTime now() const = 0; // the program's clock
    virtual QString
    todayNotifyText() const = 0; // one-line reminder text, items separated by blanks
    virtual void stopMusic() = 0; // on activation of the calendar
    virtual void DisableOther() = 0;
    virtual void EnableOther() = 0;
    virtual void showMainWindow() = 0; // cmdSetup
    // Modal list windows the host owns: frmContent for a day cell, frmHappen for today.
    virtual void showDayList(const QString &dateText, const QString &listText) = 0;
    virtual void showTodayList(const QString &todayLabelText) = 0;
};

} // namespace natalis::calendar_ui
