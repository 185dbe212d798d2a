// natalis-cli dates: the days an entry falls on, as its rule places them.

#include "calendar/calendarnames.h"
#include "calendar/datetext.h"
#include "calendar/lunarconversion.h"
#include "clicommand.h"
#include "dboption.h"
#include "platform/clock.h"
#include "reminder/nextoccurrences.h"
#include "store/birthdayedit.h"
#include "store/birthdays.h"

namespace natalis::cli {

namespace {

constexpr int DefaultCount = 10;
constexpr int MostCount = 1000;

QString ageText(const std::optional<int> &age)
{
    return age ? QString::number(*age) : QString();
}

// Date, weekday, the day's lunar text, 周岁 and 虚岁 (empty without a year), tab-separated.
QString occurrenceLine(const reminder::Occurrence &occurrence)
{
    const std::optional<calendar::LunarDate> lunar = calendar::solarToLunar(occurrence.date);
    return QStringList {
        occurrence.date.toString(Qt::ISODate),
        calendar::weekdayName(occurrence.date.dayOfWeek() % 7 + 1),
        lunar ? calendar::lunarText(*lunar) : QString(),
        ageText(occurrence.fullAge),
        ageText(occurrence.nominalAge),
    }
        .join(u'\t');
}

int runDates(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Help::tr(
        "Prints the next days the entry --name of category --type falls on, as its rule places\n"
        "them, one tab-separated line a day: date, weekday, lunar date, 周岁, 虚岁 (the ages are\n"
        "empty for an entry without a year)."));
    parser.addOption(dbOption());
    parser.addOption(QCommandLineOption(
        QStringLiteral("name"), QStringLiteral("生日名称"), QStringLiteral("VALUE")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("type"), QStringLiteral("生日类别"), QStringLiteral("VALUE")));
    parser.addOption(QCommandLineOption(QStringLiteral("from"),
        Help::tr("first day (default: today)"), QStringLiteral("YYYY-MM-DD")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("count"), Help::tr("how many days (default 10)"), QStringLiteral("N")));
    if (const std::optional<int> exit =
            parseCommandLine(parser, QStringLiteral("dates"), arguments))
        return *exit;
    if (!parser.isSet(QStringLiteral("name")) || !parser.isSet(QStringLiteral("type")))
        return fail(QStringLiteral("dates needs --name and --type"));
    QDate from = platform::clockFromEnvironment()->now().date();
    if (parser.isSet(QStringLiteral("from"))) {
        const QString text = parser.value(QStringLiteral("from"));
        from = QDate::fromString(text, Qt::ISODate);
        if (!from.isValid() || text.size() != 10)
            return fail(QStringLiteral("--from is written YYYY-MM-DD"));
    }
    int count = DefaultCount;
    if (parser.isSet(QStringLiteral("count"))) {
        bool isNumber = false;
        count = parser.value(QStringLiteral("count")).toInt(&isNumber);
        if (!isNumber || count < 1 || count > MostCount)
            return fail(QStringLiteral("--count is 1 to %1").arg(MostCount));
    }

    const auto read = readBirthdays(parser);
    if (const int *exit = std::get_if<int>(&read))
        return *exit;
    const store::BirthdayLoad &load = std::get<store::BirthdayLoad>(read);
    const QString type = parser.value(QStringLiteral("type"));
    const QString name = parser.value(QStringLiteral("name"));
    for (qsizetype i = 0; load.HasBirthdays && i < load.Birthdays.size(); ++i) {
        const store::BirthdayRecord entry = load.Birthdays.at(i);
        if (!store::MyAboutHave({ entry }, type, name))
            continue;
        for (const reminder::Occurrence &occurrence : reminder::nextOccurrences(entry, from, count))
            printLine(occurrenceLine(occurrence));
        return Success;
    }
    return fail(QStringLiteral("没有这个生日: %1").arg(name));
}

} // namespace

QList<Command> datesCommands()
{
    return {
        { QStringLiteral("dates"), Help::tr("the next days an entry falls on"), runDates },
    };
}

} // namespace natalis::cli
