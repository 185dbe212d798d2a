// natalis-cli sms-auto: one pass of the automatic birthday SMS, for a program run headless from
// a scheduler.

#include "clicommand.h"
#include "dboption.h"
#include "platform/clock.h"
#include "sms/autosms.h"
#include "sms/gatewayaddress.h"
#include "sms/httpsmsgateway.h"
#include "store/birthdays.h"
#include "store/categories.h"
#include "store/connection.h"
#include "store/settings.h"

#include <QSysInfo>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace natalis::cli {

namespace {

// sms-auto's exit codes besides Success and BadInput, so that a scheduler can tell what to fix.
// When batches end differently the highest code is returned: a record not written can send a
// greeting twice, a lost answer needs the gateway looked at, a refusal the account.
enum SmsAutoExit {
    GatewayRefused = Refused, // the gateway said no: account, balance or send time
    GatewayUnreachable = 3, // no gateway, no connection, or the answer was lost
    NotSentTonight = 3, // a greeting due today did not go out before the night stop
    DatabaseError = 4, // the database could not be opened or read, or a record not written
};

const char *const SmsAutoExitHelp = QT_TRANSLATE_NOOP("Help",
    "Exit codes: 0 every due greeting went out (or none was due); 1 the gateway refused a\n"
    "batch; 2 bad arguments; 3 the gateway could not be reached or its answer was lost (the\n"
    "next pass retries it without sending twice), or a greeting due today did not go out\n"
    "before 22:00; 4 database error: the database could not be opened or read, or a batch's\n"
    "record or sent mark could not be written. When several apply, the highest.");

// --date, else NATALIS_NOW, else the clock; as `due` reads it.
std::optional<QDateTime> resolveNow(const QCommandLineParser &parser)
{
    if (!parser.isSet(u"date"_s))
        return platform::clockFromEnvironment()->now();
    const QString text = parser.value(u"date"_s);
    QDateTime now = platform::parseNow(text);
    if (!now.isValid() && text.size() == 10)
        now = platform::parseNow(text + u"T00:00"_s);
    if (!now.isValid())
        return std::nullopt;
    return now;
}

// One line per batch: what happened, when, in which category and kind, to whom.
QString batchLine(const sms::AutoSmsBatch &batch)
{
    QString what;
    if (batch.outcome.status == sms::UnknownStatus || batch.outcome.status == sms::NotSentStatus)
        what = batch.outcome.status;
    else if (!batch.outcome.accepted)
        what = u"失败"_s;
    else if (batch.scheduleText.isEmpty())
        what = u"已发送"_s;
    else
        what = u"已预约 "_s + batch.scheduleText;
    QStringList recipients;
    for (qsizetype i = 0; i < batch.names.size(); ++i)
        recipients.append(batch.names[i] + u'(' + batch.numbers[i] + u')');
    QString line = what + u" ["_s + store::CategoryNames[batch.category].toString() + u','
        + (batch.mobile ? u"手机"_s : u"小灵通"_s) + u',' + batch.account + u"] "_s
        + recipients.join(u',');
    if (!batch.outcome.accepted)
        line += u": "_s + batch.outcome.panelText;
    return line;
}

// How a batch ended, as sms-auto's exit code.
int batchExit(const sms::AutoSmsBatch &batch)
{
    // An unsaved sent mark sends the greeting again on the next pass: a failure too.
    if (!batch.outcome.historySaved || !batch.markSaved)
        return DatabaseError;
    if (batch.outcome.accepted)
        return Success;
    if (batch.outcome.status == sms::FailedStatus)
        return GatewayRefused;
    if (batch.outcome.status == sms::NotSentStatus)
        return NotSentTonight;
    return GatewayUnreachable;
}

int runSmsAuto(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        Help::tr(
            "Clears the SMS-sent marks of birthdays that have passed and runs the automatic "
            "birthday\n"
            "SMS once, as the program does every ten minutes: greetings due are sent or scheduled\n"
            "through the gateway stored in the database. Prints one line per batch.\n\n")
        + Help::tr(SmsAutoExitHelp));
    parser.addOption(dbOption());
    parser.addOption(QCommandLineOption(u"date"_s,
        Help::tr("the moment (default: NATALIS_NOW, else now)"), u"YYYY-MM-DD[THH:MM]"_s));
    parser.addOption(QCommandLineOption(u"gateway"_s,
        Help::tr("gateway base address instead of the stored one, e.g. http://127.0.0.1:8787"),
        u"URL"_s));
    if (const std::optional<int> exit = parseCommandLine(parser, u"sms-auto"_s, arguments))
        return *exit;
    if (!parser.positionalArguments().isEmpty())
        return fail(u"sms-auto takes no arguments"_s);
    const std::optional<QDateTime> now = resolveNow(parser);
    if (!now)
        return fail(u"--date is written YYYY-MM-DD or YYYY-MM-DDTHH:MM"_s);

    const QString path = dbPath(parser);
    store::DbError error;
    std::optional<store::Connection> connection = openDb(path, DbUse::Change, &error);
    if (!connection)
        return fail(u"cannot open %1: %2"_s.arg(path, error.description), DatabaseError);
    auto settings = store::ReadSettings(*connection);
    if (const auto *failure = std::get_if<store::DbError>(&settings))
        return fail(u"cannot read the settings: %1"_s.arg(failure->description), DatabaseError);
    store::BirthdayLoad load = store::LoadBirthdays(*connection);
    if (load.error)
        return fail(u"cannot read the birthdays: %1"_s.arg(load.error->description), DatabaseError);
    const sms::SmsAccountTable accounts = sms::LoadSmsAccounts(*connection);
    const std::unique_ptr<sms::HttpSmsGateway> gateway =
        sms::openSmsGateway(*connection, QSysInfo::machineHostName());
    if (parser.isSet(u"gateway"_s))
        gateway->setBaseAddress(parser.value(u"gateway"_s));

    sms::ResetSmsSentFlags(load.Birthdays, load.HasBirthdays, *connection, now->date());
    const sms::SmsSendContext context { *connection, *gateway,
        std::get<store::SettingsRecord>(settings), accounts, QSysInfo::machineHostName(), *now };
    const sms::AutoSmsRun run = sms::AutoBirthdaySms(load.Birthdays, load.HasBirthdays, context);

    int exit = Success;
    for (const sms::AutoSmsBatch &batch : run.batches) {
        printLine(batchLine(batch));
        if (!batch.outcome.historySaved || !batch.markSaved)
            printLine(sms::HistorySaveFailedText.toString());
        exit = std::max(exit, batchExit(batch));
    }
    if (!run.notSentTonight.isEmpty()) {
        printLine(sms::NightStopText.toString() + u' ' + run.notSentTonight.join(u','));
        exit = std::max(exit, int(NotSentTonight));
    }
    if (run.batches.isEmpty() && run.notSentTonight.isEmpty())
        printLine(u"没有要发送的生日短信"_s);
    if (run.stoppedForTheNight)
        printLine(u"22:00以后不再发送当天的生日短信"_s);
    return exit;
}

} // namespace

QList<Command> smsCommands()
{
    return {
        { u"sms-auto"_s, Help::tr("send the automatic birthday SMS that are due"), runSmsAuto },
    };
}

} // namespace natalis::cli
