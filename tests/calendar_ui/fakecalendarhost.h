#pragma once

#include "calendar_ui/calendarhost.h"

#include <QStringList>

namespace natalis::test {

// Records what the calendar window asks of the program; the clock stands at a fixed moment.
class FakeCalendarHost : public calendar_ui::CalendarHost
{
public:
    QList<store::BirthdayRecord> records;
    QDateTime clock { QDate(2006, 5, 1), QTime(10, 0) };
    QString notifyText;
    QStringList calls; // in order: "stopMusic", "DisableOther", "dayList:<date>" …
    QString lastListText;

    const QList<store::BirthdayRecord> &birthdays() const override { return records; }
    int currentSkin() const override { return 2; }
    QDateTime now() const override { return clock; }
    QString todayNotifyText() const override { return notifyText; }
    void stopMusic() override { calls.append(QStringLiteral("stopMusic")); }
    void DisableOther() override { calls.append(QStringLiteral("DisableOther")); }
    void EnableOther() override { calls.append(QStringLiteral("EnableOther")); }
    void showMainWindow() override { calls.append(QStringLiteral("showMainWindow")); }
    void showDayList(const QString &dateText, const QString &listText) override
    {
        calls.append(QStringLiteral("dayList:") + dateText);
        lastListText = listText;
    }
    void showTodayList(const QString &todayLabelText) override
    {
        calls.append(QStringLiteral("todayList:") + todayLabelText);
    }
};

} // namespace natalis::test
