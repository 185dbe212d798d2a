#include "sync/syncrun.h"

using namespace Qt::StringLiterals;

namespace natalis::sync {

SyncRun runSyncSteps(const SyncSteps &steps, const std::atomic_bool *stop)
{
    SyncRun run;
    if (steps.addressBook)
        run.addressBook = steps.addressBook();
    const bool addressBookFailed = run.addressBook && !run.addressBook->ok;
    if (!steps.calendar || (stop && *stop)
        || (addressBookFailed && !steps.calendarAfterFailedAddressBook))
        return run;
    run.calendar = steps.calendar();
    return run;
}

QString syncFailedText(QStringView part, const QString &reason)
{
    return part.toString() + u"同步失败: "_s + reason;
}

} // namespace natalis::sync
