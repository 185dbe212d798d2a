#include "sync/cardmerge.h"

using namespace Qt::StringLiterals;

namespace natalis::sync {

CardMerge mergeCard(const CardFields &ours, const CardFields &theirs, const CardFields *synced,
    const QDateTime &ourTime, const QDateTime &theirTime, bool theirsFirst)
{
    CardMerge result { ours, {} };
    for (auto it = theirs.cbegin(); it != theirs.cend(); ++it) {
        const QString mine = ours.value(it.key());
        if (mine == *it)
            continue;
        const bool oursChanged = !synced || synced->value(it.key()) != mine;
        const bool theirsChanged = !synced || synced->value(it.key()) != *it;
        if (!oursChanged) {
            result.merged[it.key()] = *it;
            continue;
        }
        if (!theirsChanged)
            continue;
        const bool theirsLater =
            !ourTime.isValid() || theirTime > ourTime || (theirTime == ourTime && theirsFirst);
        if (theirsLater)
            result.merged[it.key()] = *it;
        result.overruled.append({ it.key(), result.merged.value(u"生日名称"_s),
            theirsLater ? *it : mine, theirsLater ? mine : *it, !theirsLater });
    }
    return result;
}

} // namespace natalis::sync
