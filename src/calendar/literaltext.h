#pragma once

#include <QString>
#include <QStringView>

namespace natalis::calendar::detail {

// Wraps a string literal (static storage) in a QString without copying it; the day
// description hands out several names per day and should not allocate for them.
inline QString literalText(QStringView literal)
{
    return QString::fromRawData(literal.data(), literal.size());
}

} // namespace natalis::calendar::detail
