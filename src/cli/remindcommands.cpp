// natalis-cli remind: the day's reminder to the user's own mailbox and phone, for a timer or
// cron; each sent once, whichever of the program or this command comes first.

#include "away/awaypass.h"
#include "away/storedaway.h"
#include "clicommand.h"
#include "dboption.h"
#include "platform/clock.h"
#include "sms/gatewayaddress.h"
#include "sms/httpsmsgateway.h"
#include "store/awaysettings.h"
#include "store/birthdays.h"
#include "store/connection.h"
#include "sync/credentials.h"

#include <QSysInfo>
#include <memory>
#include <variant>

using namespace Qt::StringLiterals;

namespace natalis::cli {

namespace {

void addRemindOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(Help::tr(
        "Sends the day's birthday reminder to your own mailbox and phone, each once: at the\n"
        "first run of the day (and the day before's, when it was missed), and on Mondays the\n"
        "digest of the week when the settings ask for it. Without --smtp and --sms-to the\n"
        "channels of the settings page 外出提醒 are used.\n\n"
        "Exit codes: 0 sent, or nothing (more) to send; 1 refused (password, address, TLS);\n"
        "2 bad arguments; 3 the server could not be reached or its answer was lost (a mail\n"
        "whose answer was lost is not sent again)."));
    parser.addOption(dbOption());
    parser.addOption(QCommandLineOption(
        u"date"_s, Help::tr("the moment (default: NATALIS_NOW, else now)"), u"YYYY-MM-DDTHH:MM"_s));
    parser.addOption(QCommandLineOption(u"smtp"_s,
        Help::tr("the mail server, smtps://host[:port] or smtp://host[:port] (STARTTLS)"),
        u"URL"_s));
    parser.addOption(
        QCommandLineOption(u"user"_s, Help::tr("the mail server's user name"), u"NAME"_s));
    parser.addOption(QCommandLineOption(
        u"password-file"_s, Help::tr("a file whose first line is the password"), u"FILE"_s));
    parser.addOption(QCommandLineOption(u"to"_s, Help::tr("your own mail address"), u"ADDRESS"_s));
    parser.addOption(QCommandLineOption(u"sms-to"_s,
        Help::tr("your own mobile number, sent to through the stored gateway account"),
        u"NUMBER"_s));
    parser.addOption(QCommandLineOption(
        u"ca-file"_s, Help::tr("trust only this CA file for the mail server"), u"FILE"_s));
}

// The channels the arguments name, else the stored settings'. The password comes from
// --password-file, else the keyring.
std::variant<away::AwayTargets, int> targetsOf(
    const QCommandLineParser &parser, store::Connection &connection)
{
    store::AwaySettings settings;
    if (parser.isSet(u"smtp"_s) || parser.isSet(u"sms-to"_s)) {
        settings.mailOn = parser.isSet(u"smtp"_s);
        settings.smtpUrl = parser.value(u"smtp"_s);
        settings.user = parser.value(u"user"_s);
        settings.mailTo = parser.value(u"to"_s);
        settings.smsOn = parser.isSet(u"sms-to"_s);
        settings.smsTo = parser.value(u"sms-to"_s);
        if (settings.mailOn
            && (settings.user.isEmpty() || settings.mailTo.isEmpty()
                || !parser.isSet(u"password-file"_s)))
            return fail(u"--smtp needs --user, --password-file and --to"_s);
    } else if (const std::optional<store::AwaySettings> stored =
                   store::readAwaySettings(connection)) {
        settings = *stored;
    } else {
        return fail(u"cannot read the settings"_s, Refused);
    }
    std::unique_ptr<sync::PasswordStore> passwords;
    if (parser.isSet(u"password-file"_s))
        passwords = std::make_unique<sync::FilePasswordStore>(parser.value(u"password-file"_s));
    else
        passwords = std::make_unique<sync::KeychainPasswordStore>();
    QString unread;
    std::optional<away::AwayTargets> targets = away::targetsOf(settings, *passwords, &unread);
    if (!targets)
        return fail(unread, Refused);
    if (targets->mail)
        targets->mail->caFile = parser.value(u"ca-file"_s);
    return *targets;
}

int runRemind(const QStringList &arguments)
{
    QCommandLineParser parser;
    addRemindOptions(parser);
    if (const std::optional<int> exit = parseCommandLine(parser, u"remind"_s, arguments))
        return *exit;
    if (!parser.positionalArguments().isEmpty())
        return fail(u"remind takes no arguments"_s);
    QDateTime now = platform::clockFromEnvironment()->now();
    if (parser.isSet(u"date"_s))
        now = platform::parseNow(parser.value(u"date"_s));
    if (!now.isValid())
        return fail(u"--date is written YYYY-MM-DDTHH:MM"_s);

    const QString path = dbPath(parser);
    store::DbError error;
    std::optional<store::Connection> connection = openDb(path, DbUse::Change, &error);
    if (!connection)
        return fail(u"cannot open %1: %2"_s.arg(path, error.description), Refused);
    auto chosen = targetsOf(parser, *connection);
    if (const int *exit = std::get_if<int>(&chosen))
        return *exit;
    away::AwayTargets targets = std::get<away::AwayTargets>(chosen);
    const store::BirthdayLoad load = store::LoadBirthdays(*connection);
    if (load.error)
        return fail(u"cannot read the birthdays: %1"_s.arg(load.error->description), Refused);
    std::unique_ptr<sms::HttpSmsGateway> gateway;
    if (!targets.smsTo.isEmpty()) {
        targets.smsAccount = away::smsSenderAccount(*connection);
        if (targets.smsAccount.isEmpty())
            return fail(u"没有已注册的短信账号"_s, Refused);
        gateway = sms::openSmsGateway(*connection, QSysInfo::machineHostName());
    }
    const away::AwayReport report = away::sendAwayReminders(targets, *connection,
        load.HasBirthdays ? load.Birthdays : store::BirthdayList(), now, gateway.get());
    for (const QString &line : report.lines)
        printLine(line);
    if (report.lines.isEmpty())
        printLine(u"没有要发送的提醒"_s);
    return report.exit;
}

} // namespace

QList<Command> remindCommands()
{
    return {
        { u"remind"_s, Help::tr("send the day's reminder to your own mailbox and phone, once"),
            runRemind },
    };
}

} // namespace natalis::cli
