// natalis-cli day, solar and normalize: the calendar engine from the command line.

#include "calendar/describeday.h"
#include "calendar/lunarconversion.h"
#include "calendar/lunarimporttext.h"
#include "clicommand.h"

namespace natalis::cli {

namespace {

using namespace natalis::calendar;

std::optional<QDate> parseIsoDay(const QString &text)
{
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid() || text.size() != 10)
        return std::nullopt;
    return date;
}

QString dayLine(QDate date, const DayDescription &day)
{
    return QStringList {
        date.toString(Qt::ISODate),
        day.lunarText,
        day.longText,
        day.dayName,
        day.termName,
        day.monthNote,
        day.festivals.join(u','),
    }
        .join(u'\t');
}

int runDay(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Help::tr(
        "Describes every Gregorian day from FROM to TO (inclusive), one tab-separated line a day:\n"
        "date, lunar text, long text, lunar day name, solar term, month note, festivals."));
    parser.addPositionalArgument(QStringLiteral("FROM"), Help::tr("first day, YYYY-MM-DD"));
    parser.addPositionalArgument(QStringLiteral("TO"),
        Help::tr("last day, YYYY-MM-DD (default FROM)"), QStringLiteral("[TO]"));
    if (const std::optional<int> exit = parseCommandLine(parser, QStringLiteral("day"), arguments))
        return *exit;

    const QStringList days = parser.positionalArguments();
    if (days.isEmpty() || days.size() > 2)
        return fail(QStringLiteral("day takes FROM and an optional TO"));
    const std::optional<QDate> from = parseIsoDay(days.first());
    const std::optional<QDate> to = parseIsoDay(days.last());
    if (!from || !to)
        return fail(QStringLiteral("dates are written YYYY-MM-DD"));
    if (*to < *from)
        return fail(QStringLiteral("TO lies before FROM"));
    const QString range = QStringLiteral("the calendar covers %1 to %2")
                              .arg(firstDescribedDay().toString(Qt::ISODate),
                                  lastDescribedDay().toString(Qt::ISODate));
    if (*from < firstDescribedDay() || *to > lastDescribedDay())
        return fail(range);

    for (QDate date = *from; date <= *to; date = date.addDays(1))
        printLine(dayLine(date, *DescribeDay(date)));
    return Success;
}

int runSolar(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        Help::tr("Prints the Gregorian text of a lunar text in the stored layout,\n"
                 "e.g. \"农历2006年闰07月15日\" or \"农历1976年 01月26日\"."));
    parser.addPositionalArgument(QStringLiteral("LUNAR_TEXT"), Help::tr("the lunar text"));
    if (const std::optional<int> exit =
            parseCommandLine(parser, QStringLiteral("solar"), arguments))
        return *exit;
    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("solar takes one lunar text"));

    const std::optional<QString> solar = LunarToSolarText(parser.positionalArguments().first());
    if (!solar)
        return fail(QStringLiteral("not a lunar text of the years 1901 to 2100: %1")
                        .arg(parser.positionalArguments().first()));
    printLine(*solar);
    return Success;
}

int runNormalize(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        Help::tr("Prints the normal form of a lunar date as import files write it\n"
                 "(e.g. \"2006-闰7-15\" gives 2006-闰07-15); exits 1 when the date is refused."));
    parser.addPositionalArgument(QStringLiteral("TEXT"), Help::tr("the import lunar date"));
    if (const std::optional<int> exit =
            parseCommandLine(parser, QStringLiteral("normalize"), arguments))
        return *exit;
    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("normalize takes one text"));

    QString normalized;
    if (!NormalizeLunarImportText(parser.positionalArguments().first(), normalized))
        return fail(
            QStringLiteral("not a lunar date: %1").arg(parser.positionalArguments().first()),
            Refused);
    printLine(normalized);
    return Success;
}

} // namespace

QList<Command> calendarCommands()
{
    return {
        { QStringLiteral("day"), Help::tr("describe Gregorian days"), runDay },
        { QStringLiteral("solar"), Help::tr("Gregorian text of a lunar text"), runSolar },
        { QStringLiteral("normalize"), Help::tr("normal form of an import lunar date"),
            runNormalize },
    };
}

} // namespace natalis::cli
