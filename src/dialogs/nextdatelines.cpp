#include "dialogs/nextdatelines.h"

#include "calendar/calendarnames.h"
#include "reminder/nextoccurrences.h"
#include "store/entrykind.h"

namespace natalis::dialogs {

namespace {

QString agesText(store::EntryKind kind, const reminder::Occurrence &occurrence)
{
    if (!occurrence.fullAge)
        return {};
    const int years = *occurrence.fullAge;
    switch (kind) {
    case store::EntryKind::Birthday: {
        QString text = QStringLiteral("周岁%1").arg(years);
        if (occurrence.nominalAge)
            text += QStringLiteral(" 虚岁%1").arg(*occurrence.nominalAge);
        return text;
    }
    case store::EntryKind::Anniversary:
        return years > 0 ? QStringLiteral("%1周年").arg(years) : QString();
    case store::EntryKind::Memorial:
        return years > 0 ? QStringLiteral("逝世%1周年").arg(years) : QString();
    }
    return {};
}

} // namespace

QStringList nextDateLines(const store::BirthdayRecord &entry, QDate from, int count)
{
    const store::EntryKind kind = store::entryKindOf(entry.Kind);
    QStringList lines;
    for (const reminder::Occurrence &occurrence : reminder::nextOccurrences(entry, from, count)) {
        QString line = occurrence.date.toString(u"yyyy-MM-dd") + u' '
            + calendar::weekdayName(occurrence.date.dayOfWeek() % 7 + 1);
        if (const QString ages = agesText(kind, occurrence); !ages.isEmpty())
            line += u' ' + ages;
        lines.append(line);
    }
    return lines;
}

} // namespace natalis::dialogs
