// natalis-cli ics and vcf: the birthdays for a phone's calendar and contacts. Reading a phone's
// contacts back is import --layout vcf.

#include "clicommand.h"
#include "dboption.h"
#include "platform/clock.h"
#include "store/birthdays.h"
#include "store/connection.h"
#include "transfer/icalendarexport.h"
#include "transfer/vcardexport.h"

#include <variant>

using namespace Qt::StringLiterals;

namespace natalis::cli {

namespace {

// The loaded birthdays, or the message why there are none to write.
std::variant<store::BirthdayList, QString> loadBirthdays(const QCommandLineParser &parser)
{
    const QString path = dbPath(parser);
    store::DbError error;
    std::optional<store::Connection> connection = openDb(path, DbUse::Change, &error);
    if (!connection)
        return u"cannot open %1: %2"_s.arg(path, error.description);
    store::BirthdayLoad load = store::LoadBirthdays(*connection);
    // Events and cards carry the birthdays' Uids: a file from before them gets them first.
    if (!load.error && load.HasBirthdays && store::lacksBirthdayUids(*connection, load.Birthdays)
        && store::assignMissingBirthdayUids(*connection) > 0)
        load = store::LoadBirthdays(*connection, std::move(load.Birthdays));
    if (load.error)
        return u"cannot read the birthdays: %1"_s.arg(load.error->description);
    return load.HasBirthdays ? std::move(load.Birthdays) : store::BirthdayList();
}

std::optional<int> yearOption(const QCommandLineParser &parser, const QString &name, int fallback)
{
    if (!parser.isSet(name))
        return fallback;
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

int runIcs(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Help::tr(
        "Writes the birthdays to FILE as an iCalendar file (RFC 5545) a phone calendar\n"
        "imports: a Gregorian birthday repeats yearly, a lunar one is written for each year on\n"
        "the day the reminder computes, each with an alarm at 09:00 its advance days before."));
    parser.addOption(dbOption());
    parser.addOption(QCommandLineOption(u"from"_s,
        Help::tr("first year (default: this year; NATALIS_NOW sets the clock)"), u"YEAR"_s));
    parser.addOption(QCommandLineOption(
        u"years"_s, Help::tr("how many years (default 20, never past 2100)"), u"N"_s));
    parser.addOption(QCommandLineOption(
        u"festivals"_s, Help::tr("add the eleven reminded festivals and the 24 solar terms")));
    parser.addPositionalArgument(u"FILE"_s, Help::tr("the .ics file to write"));
    if (const std::optional<int> exit = parseCommandLine(parser, u"ics"_s, arguments))
        return *exit;
    if (parser.positionalArguments().size() != 1)
        return fail(u"ics takes one FILE"_s);
    const QDateTime now = platform::clockFromEnvironment()->now();
    const std::optional<int> from = yearOption(parser, u"from"_s, now.date().year());
    const std::optional<int> years = yearOption(parser, u"years"_s, transfer::DefaultIcsYears);
    if (!from || *from < 1901 || *from > 2100)
        return fail(u"--from is a year from 1901 to 2100"_s);
    if (!years || *years < 1)
        return fail(u"--years is a number of years, at least 1"_s);

    const auto birthdays = loadBirthdays(parser);
    if (const auto *message = std::get_if<QString>(&birthdays))
        return fail(*message, Refused);
    const transfer::IcsOptions options { *from, *years, parser.isSet(u"festivals"_s), now };
    const transfer::IcsExportResult result =
        transfer::exportIcs(std::get<store::BirthdayList>(birthdays),
            parser.positionalArguments().first(), options, dbPath(parser));
    if (!result.ok)
        return fail(result.statusText, Refused);
    printLine(result.statusText);
    return Success;
}

int runVcf(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Help::tr(
        "Writes every birthday to FILE as a vCard 3.0 contact a phone imports (name, number,\n"
        "birthday, company, address, remark, category); import --layout vcf reads it back."));
    parser.addOption(dbOption());
    parser.addPositionalArgument(u"FILE"_s, Help::tr("the .vcf file to write"));
    if (const std::optional<int> exit = parseCommandLine(parser, u"vcf"_s, arguments))
        return *exit;
    if (parser.positionalArguments().size() != 1)
        return fail(u"vcf takes one FILE"_s);
    const auto birthdays = loadBirthdays(parser);
    if (const auto *message = std::get_if<QString>(&birthdays))
        return fail(*message, Refused);
    const transfer::VcardExportResult result =
        transfer::exportVcards(std::get<store::BirthdayList>(birthdays),
            parser.positionalArguments().first(), dbPath(parser));
    if (!result.ok)
        return fail(result.statusText, Refused);
    printLine(result.statusText);
    return Success;
}

} // namespace

QList<Command> phoneCommands()
{
    return {
        { u"ics"_s, Help::tr("write the birthdays as a phone calendar file (.ics)"), runIcs },
        { u"vcf"_s, Help::tr("write the birthdays as phone contacts (.vcf)"), runVcf },
    };
}

} // namespace natalis::cli
