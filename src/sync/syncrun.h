#pragma once

#include "sync/calendarpush.h"
#include "sync/cardsync.h"

#include <QString>
#include <QStringView>
#include <atomic>
#include <functional>
#include <optional>

namespace natalis::sync {

// The two parts of a sync run, as the status bar and natalis-cli name them.
inline constexpr QStringView AddressBookPart = u"通讯录";
inline constexpr QStringView CalendarPart = u"日历";

// One sync run, the same for the program's SyncService and for natalis-cli: the address book
// first, so that what it brings in reaches the calendar in the same run, then the calendar.
struct SyncSteps
{
    std::function<CardSyncResult()> addressBook; // none: no address book to sync
    std::function<SyncResult()> calendar; // none: no calendar to push
    // The program pushes the calendar after a failed address book too, since the birthdays here
    // are whole either way; natalis-cli ends the run there and exits with the address book's
    // reason, so a cron log names one failure.
    bool calendarAfterFailedAddressBook = true;
};

// What a run did; a part not run is nullopt.
struct SyncRun
{
    std::optional<CardSyncResult> addressBook;
    std::optional<SyncResult> calendar;
};

// Runs the steps in their order. The calendar is not run once stop is set (the user stopped the
// run during the address book), nor after a failed address book when the steps say so.
SyncRun runSyncSteps(const SyncSteps &steps, const std::atomic_bool *stop = nullptr);

// A failed part's text, in the status bar and on natalis-cli's stderr alike:
// "通讯录同步失败: " or "日历同步失败: " and the reason.
QString syncFailedText(QStringView part, const QString &reason);

} // namespace natalis::sync
