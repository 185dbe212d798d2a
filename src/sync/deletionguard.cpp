#include "sync/deletionguard.h"

using namespace Qt::StringLiterals;

namespace natalis::sync {

DeletionHold holdDeletions(const DeletionCount &count)
{
    if (count.wouldDelete <= 0)
        return DeletionHold::None;
    if (count.collectionGone)
        return DeletionHold::CollectionGone;
    if (count.synced > 0 && count.goneThere >= count.synced && count.wouldDelete > 1)
        return DeletionHold::Emptied;
    if (count.wouldDelete > MassDeletionFloor && 2 * count.wouldDelete > count.here)
        return DeletionHold::MassDeletion;
    return DeletionHold::None;
}

QString deletionHeldText(DeletionHold hold, const DeletionCount &count)
{
    const QString what = hold == DeletionHold::MassDeletion
        ? u"服务器上的通讯录中有%1个生日被删除"_s.arg(count.goneThere)
        : u"服务器上的通讯录已被删除或清空"_s;
    return what
        + u", 本机的%1个生日未删除。请选择: 把本机的生日放回服务器, 或在本机也删除。"_s.arg(
            count.wouldDelete);
}

} // namespace natalis::sync
