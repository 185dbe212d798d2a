// natalis-cli due, add, edit and delete: the reminder engine and the birthday service from the
// command line.

#include "birthdays/birthdayservice.h"
#include "calendar/datetext.h"
#include "calendar/describeday.h"
#include "calendar/lunarconversion.h"
#include "calendar/lunarimporttext.h"
#include "clicommand.h"
#include "dboption.h"
#include "platform/clock.h"
#include "platform/messagesink.h"
#include "reminder/remindertexts.h"
#include "store/birthdayedit.h"
#include "store/birthdays.h"
#include "store/categories.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/entrykind.h"
#include "store/reminddays.h"
#include "store/settings.h"

#include <QRegularExpression>
#include <span>
#include <variant>

namespace natalis::cli {

namespace {

using store::BirthdayEdit;

// --date, else NATALIS_NOW, else the clock.
std::optional<QDateTime> resolveNow(const QCommandLineParser &parser)
{
    if (!parser.isSet(QStringLiteral("date")))
        return platform::clockFromEnvironment()->now();
    const QString text = parser.value(QStringLiteral("date"));
    QDateTime now = platform::parseNow(text);
    if (!now.isValid() && text.size() == 10)
        now = platform::parseNow(text + QStringLiteral("T00:00"));
    if (!now.isValid())
        return std::nullopt;
    return now;
}

int runDue(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Help::tr(
        "Prints what natalis reminds of at a moment, in three blocks separated by an empty\n"
        "line: the heading of the day, the multi-line reminder text and the one-line text."));
    parser.addOption(dbOption());
    parser.addOption(QCommandLineOption(QStringLiteral("date"),
        Help::tr("the moment (default: NATALIS_NOW, "
                 "else now)"),
        QStringLiteral("YYYY-MM-DD[THH:MM]")));
    if (const std::optional<int> exit = parseCommandLine(parser, QStringLiteral("due"), arguments))
        return *exit;
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("due takes no arguments"));
    const std::optional<QDateTime> now = resolveNow(parser);
    if (!now)
        return fail(QStringLiteral("--date is written YYYY-MM-DD or YYYY-MM-DDTHH:MM"));

    const QString path = dbPath(parser);
    store::DbError error;
    std::optional<store::Connection> connection = openDb(path, DbUse::Read, &error);
    if (!connection)
        return fail(QStringLiteral("cannot open %1: %2").arg(path, error.description), Refused);
    const auto settings = store::ReadSettings(*connection);
    if (const auto *failure = std::get_if<store::DbError>(&settings))
        return fail(
            QStringLiteral("cannot read the settings: %1").arg(failure->description), Refused);
    const store::BirthdayLoad load = store::LoadBirthdays(*connection);
    if (load.error)
        return fail(
            QStringLiteral("cannot read the birthdays: %1").arg(load.error->description), Refused);

    const QDate today = now->date();
    const reminder::ReminderTexts texts =
        reminder::buildReminderTexts(load.HasBirthdays ? load.Birthdays : store::BirthdayList(),
            std::get<store::SettingsRecord>(settings), today);
    printLine(reminder::dayHeading(today));
    printLine(QString());
    printLine(QString(texts.multiLine).replace(u'\r', u'\n'));
    printLine(QString());
    printLine(texts.oneLine);
    return Success;
}

// The date pickers offer these Gregorian days; lunar dates they offer are exactly those the
// import check accepts.
bool pickerOffers(QDate date)
{
    return date >= QDate(1901, 3, 1) && date <= calendar::lastDescribedDay();
}

// The lunar date as the import check reads it: the stored layout ("农历2006年闰07月15日",
// "农历1990年 01月01日"), the same with or without the blank, zeros or 农历, "2006-闰7-15",
// and the words of the calendar ("1990年正月初一") all become "2006-闰07-15" or the like; the
// check ignores blanks.
QString lunarImportForm(QString text)
{
    if (const std::optional<QString> words = calendar::lunarWordsAsImportText(text))
        return *words;
    text = text.trimmed();
    if (text.startsWith(u"农历"))
        text.remove(0, 2);
    if (text.endsWith(u'日'))
        text.chop(1);
    return text.replace(u'年', u'-').replace(u'月', u'-');
}

// A date without a year: "04-15" for --gl, "3-5" or "闰3-5" for --nl; nullopt for any other text.
std::optional<calendar::LunarDate> yearlessDate(const QString &text, bool lunar)
{
    static const QRegularExpression gregorian(QStringLiteral("^(\\d{1,2})-(\\d{1,2})$"));
    static const QRegularExpression lunarDay(QStringLiteral("^(闰?)(\\d{1,2})-(\\d{1,2})$"));
    const QRegularExpressionMatch match = (lunar ? lunarDay : gregorian).match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int first = lunar ? 2 : 1;
    return calendar::LunarDate { 0, match.captured(first).toInt(),
        match.captured(first + 1).toInt(), lunar && !match.captured(1).isEmpty() };
}

// Fills the date text of a date without a year, which keeps no other calendar's date and is
// reminded by its own; an error text when refused.
QString fillYearlessDate(const calendar::LunarDate &date, bool lunar, BirthdayEdit &edit)
{
    if (lunar) {
        if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 30)
            return QStringLiteral("--nl without a year is [闰]M-D, month 1..12, day 1..30");
        edit.strNL = calendar::lunarMonthDayText(date.month, date.day, date.isLeap);
        edit.strGL.clear();
    } else {
        if (!QDate(2000, date.month, date.day).isValid())
            return QStringLiteral("--gl without a year is MM-DD, a day of some year");
        edit.strGL = calendar::gregorianMonthDayText(date.month, date.day);
        edit.strNL.clear();
    }
    edit.IsGL = !lunar;
    return {};
}

// Fills both date texts from --gl or --nl as the pickers would; an error text when refused.
QString fillDates(const QCommandLineParser &parser, BirthdayEdit &edit)
{
    const bool hasGl = parser.isSet(QStringLiteral("gl"));
    const bool hasNl = parser.isSet(QStringLiteral("nl"));
    if (hasGl && hasNl)
        return QStringLiteral("give --gl or --nl, not both");
    if (hasGl || hasNl) {
        const QString text = parser.value(hasGl ? QStringLiteral("gl") : QStringLiteral("nl"));
        if (const auto yearless = yearlessDate(text, hasNl)) {
            if (parser.isSet(QStringLiteral("rule")) && edit.IsGL != hasGl)
                return QStringLiteral("a date without a year is reminded by its own calendar");
            return fillYearlessDate(*yearless, hasNl, edit);
        }
    }
    if (hasGl) {
        const QString text = parser.value(QStringLiteral("gl"));
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (!date.isValid() || text.size() != 10 || !pickerOffers(date))
            return QStringLiteral("--gl takes a day from 1901-03-01 to 2100-12-31 as YYYY-MM-DD");
        edit.strGL = calendar::gregorianText(date);
        edit.strNL = calendar::DescribeDay(date)->lunarText;
    }
    if (hasNl) {
        QString normalized;
        if (!calendar::NormalizeLunarImportText(
                lunarImportForm(parser.value(QStringLiteral("nl"))), normalized))
            return QStringLiteral("--nl is not a lunar date the date picker offers");
        const QStringList parts = normalized.split(u'-');
        const bool leap = parts[1].startsWith(u'闰');
        const calendar::LunarDate lunar { parts[0].toInt(),
            (leap ? parts[1].mid(1) : parts[1]).toInt(), parts[2].toInt(), leap };
        edit.strNL = calendar::lunarText(lunar);
        edit.strGL = *calendar::LunarToSolarText(edit.strNL);
    }
    return {};
}

// Reads the fields given as options into edit, keeping the others as they are (a new entry's
// defaults for add, the stored values for edit); an error text when one is malformed.
QString fillEdit(const QCommandLineParser &parser, BirthdayEdit &edit)
{
    const auto value = [&](const char *name) { return parser.value(QString::fromLatin1(name)); };
    const auto given = [&](const char *name) { return parser.isSet(QString::fromLatin1(name)); };
    const std::pair<const char *, QString BirthdayEdit::*> texts[] = {
        { "name", &BirthdayEdit::About },
        { "type", &BirthdayEdit::Type },
        { "tel", &BirthdayEdit::Tel },
        { "remark", &BirthdayEdit::Beizhu },
        { "class", &BirthdayEdit::Class },
        { "qq", &BirthdayEdit::QQ_MSN },
        { "company", &BirthdayEdit::Company },
        { "address", &BirthdayEdit::Address },
        { "no", &BirthdayEdit::No },
        { "sex", &BirthdayEdit::Sex },
    };
    for (const auto &[name, field] : texts) {
        if (given(name))
            edit.*field = value(name);
    }
    if (store::categoryIndex(edit.Type) < 0)
        return QStringLiteral("--type is one of 同事 客户 代理商 供应商 家人 同学 朋友 其他");
    if (!edit.Sex.isEmpty() && edit.Sex != u"男" && edit.Sex != u"女")
        return QStringLiteral("--sex is 男 or 女");
    if (given("rule")) {
        if (value("rule") != u"gl" && value("rule") != u"nl")
            return QStringLiteral("--rule is gl or nl");
        edit.IsGL = value("rule") == u"gl";
    }
    if (given("days")) {
        const std::optional<QList<qint16>> days = store::parseRemindDays(value("days"));
        if (!days)
            return QStringLiteral("--days is 0 to 14, or several such as 7,1,0");
        edit.intnums = days->first();
        edit.Days = store::remindDaysText(*days);
    }
    if (given("kind")) {
        if (!store::entryKindFromText(value("kind")))
            return QStringLiteral("--kind is 生日, 纪念日 or 忌日");
        edit.Kind = value("kind").trimmed();
    }
    if (given("leap")) {
        if (!store::leapMonthRuleFromText(value("leap")))
            return QStringLiteral("--leap is 平月 or 跳过");
        edit.LeapRule = value("leap").trimmed();
    }
    if (given("sms"))
        edit.Duanxin = value("sms");
    if (edit.Duanxin != u"是" && edit.Duanxin != u"否")
        return QStringLiteral("--sms is 是 or 否");
    return fillDates(parser, edit);
}

void addBirthdayOptions(QCommandLineParser &parser)
{
    // Marked texts carry English words; the field names alone read the same in every language.
    const std::pair<const char *, const char *> options[] = {
        { "name", QT_TRANSLATE_NOOP("Help", "生日名称 (required)") },
        { "type",
            QT_TRANSLATE_NOOP(
                "Help", "生日类别: 同事 客户 代理商 供应商 家人 同学 朋友 其他 (required)") },
        { "tel", "联系方式" },
        { "remark", "生日备注" },
        { "gl", QT_TRANSLATE_NOOP("Help", "公历日期 YYYY-MM-DD, or MM-DD without a year") },
        { "nl",
            QT_TRANSLATE_NOOP("Help",
                "农历日期, e.g. 农历2006年闰07月15日, 2006-闰7-15, 1990年正月初一, or 闰7-15 "
                "without a year") },
        { "rule", QT_TRANSLATE_NOOP("Help", "提醒方式: gl (按公历, default) or nl (按农历)") },
        { "days", QT_TRANSLATE_NOOP("Help", "提醒天数 0..14 (default 7), or several: 7,1,0") },
        { "kind", QT_TRANSLATE_NOOP("Help", "类型: 生日 (default), 纪念日 or 忌日") },
        { "leap", QT_TRANSLATE_NOOP("Help", "闰月生日在无闰月之年: 平月 (default) or 跳过") },
        { "sms", QT_TRANSLATE_NOOP("Help", "短信提醒: 是 or 否 (default 否)") },
        { "sex", QT_TRANSLATE_NOOP("Help", "性别: 男 or 女") },
        { "class", "部门/类型" },
        { "qq", "QQ/MSN" },
        { "company", "公司名称" },
        { "address", "地址" },
        { "no", "工号/卡号" },
    };
    for (const auto &[name, description] : options)
        parser.addOption(QCommandLineOption(
            QString::fromLatin1(name), Help::tr(description), QStringLiteral("VALUE")));
}

// Opens the database the command names and reads its birthdays into file; an exit code when
// that fails, Success otherwise.
int openFile(const QCommandLineParser &parser, birthdays::BirthdayFile &file)
{
    file.DbPath = dbPath(parser);
    store::DbError error;
    file.DbConnection = openDb(file.DbPath, DbUse::ChangeOrCreate, &error);
    if (!file.DbConnection)
        return fail(
            QStringLiteral("本地生日数据库:%1连接建立失败 %2").arg(file.DbPath, error.description),
            Refused);
    store::BirthdayLoad load = store::LoadBirthdays(*file.DbConnection);
    if (load.error)
        return fail(
            QStringLiteral("cannot read the birthdays: %1").arg(load.error->description), Refused);
    file.Birthdays = std::move(load.Birthdays);
    file.HasBirthdays = load.HasBirthdays;
    file.LoadedDataVersion = file.DbConnection->dataVersion();
    return Success;
}

// A change through the birthday service, as the main window makes it: its message printed, a
// refusal of the editor's checks exiting 2 and a failed write 1.
int report(const birthdays::ChangeOutcome &outcome, const QString &added = {})
{
    if (outcome.refusedField)
        return fail(outcome.message);
    if (!outcome.written)
        return fail(outcome.message, Refused);
    printLine(outcome.message + added);
    return Success;
}

// The service over file, with the command line's clock and messages on stderr.
class CliBirthdays
{
public:
    explicit CliBirthdays(birthdays::BirthdayFile &file)
        : m_clock(platform::clockFromEnvironment()), m_service(file, m_messages, *m_clock)
    {
    }
    birthdays::BirthdayService *operator->() { return &m_service; }

private:
    platform::StderrMessageSink m_messages;
    std::unique_ptr<platform::Clock> m_clock;
    birthdays::BirthdayService m_service;
};

int runAdd(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Help::tr(
        "Adds a birthday with the checks of the birthday editor. The other calendar's date is\n"
        "computed as the date pickers compute it. A refusal prints the editor's message and\n"
        "exits 2."));
    parser.addOption(dbOption());
    addBirthdayOptions(parser);
    if (const std::optional<int> exit = parseCommandLine(parser, QStringLiteral("add"), arguments))
        return *exit;
    if (!parser.isSet(QStringLiteral("name")) || !parser.isSet(QStringLiteral("type")))
        return fail(QStringLiteral("add needs --name and --type"));

    BirthdayEdit edit;
    if (const QString problem = fillEdit(parser, edit); !problem.isEmpty())
        return fail(problem);
    birthdays::BirthdayFile file;
    if (const int exit = openFile(parser, file); exit != Success)
        return exit;
    const birthdays::ChangeOutcome outcome = CliBirthdays(file)->add(edit);
    return report(outcome, QStringLiteral(" Id %1").arg(outcome.id));
}

// The birthday a script names: the row of that category (a category outside the eight counts
// as the first, as in the list) whose trimmed name is name.
std::optional<store::BirthdayRecord> namedBirthday(
    const birthdays::BirthdayFile &file, const QString &type, const QString &name)
{
    for (const store::BirthdayRecord &record : file.loadedBirthdays()) {
        if (store::MyAboutHave({ record }, type, name))
            return record;
    }
    return std::nullopt;
}

// Opens the database and finds the birthday --name and --type name; an exit code when that fails.
std::variant<int, store::BirthdayRecord> openNamed(
    const QCommandLineParser &parser, const QString &command, birthdays::BirthdayFile &file)
{
    if (!parser.isSet(QStringLiteral("name")) || !parser.isSet(QStringLiteral("type")))
        return fail(QStringLiteral("%1 needs --name and --type").arg(command));
    if (const int exit = openFile(parser, file); exit != Success)
        return exit;
    const auto named = namedBirthday(
        file, parser.value(QStringLiteral("type")), parser.value(QStringLiteral("name")));
    if (!named)
        return fail(QStringLiteral("没有这个生日: %1").arg(parser.value(QStringLiteral("name"))));
    return *named;
}

int runEdit(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Help::tr(
        "Changes the birthday --name of category --type with the checks of the birthday\n"
        "editor: the fields given change, the others stay. --new-name and --new-type rename it\n"
        "or move it to another category. A refusal prints the editor's message and exits 2."));
    parser.addOption(dbOption());
    addBirthdayOptions(parser);
    parser.addOption(QCommandLineOption(
        QStringLiteral("new-name"), QStringLiteral("新的生日名称"), QStringLiteral("VALUE")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("new-type"), QStringLiteral("新的生日类别"), QStringLiteral("VALUE")));
    if (const std::optional<int> exit = parseCommandLine(parser, QStringLiteral("edit"), arguments))
        return *exit;
    birthdays::BirthdayFile file;
    const auto named = openNamed(parser, QStringLiteral("edit"), file);
    if (const int *exit = std::get_if<int>(&named))
        return *exit;
    const store::BirthdayRecord &original = std::get<store::BirthdayRecord>(named);

    BirthdayEdit edit = birthdays::BirthdayService::editOf(original);
    if (const QString problem = fillEdit(parser, edit); !problem.isEmpty())
        return fail(problem);
    edit.About = parser.isSet(QStringLiteral("new-name")) ? parser.value(QStringLiteral("new-name"))
                                                          : original.About;
    edit.Type = parser.isSet(QStringLiteral("new-type")) ? parser.value(QStringLiteral("new-type"))
                                                         : original.Type;
    if (store::categoryIndex(edit.Type) < 0)
        return fail(
            QStringLiteral("--new-type is one of 同事 客户 代理商 供应商 家人 同学 朋友 其他"));
    return report(CliBirthdays(file)->edit(original.Id, edit));
}

int runDelete(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Help::tr("Deletes the birthday --name of category --type."));
    parser.addOption(dbOption());
    parser.addOption(QCommandLineOption(
        QStringLiteral("name"), QStringLiteral("生日名称"), QStringLiteral("VALUE")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("type"), QStringLiteral("生日类别"), QStringLiteral("VALUE")));
    if (const std::optional<int> exit =
            parseCommandLine(parser, QStringLiteral("delete"), arguments))
        return *exit;
    birthdays::BirthdayFile file;
    const auto named = openNamed(parser, QStringLiteral("delete"), file);
    if (const int *exit = std::get_if<int>(&named))
        return *exit;
    return report(CliBirthdays(file)->remove({ std::get<store::BirthdayRecord>(named).Id }));
}

} // namespace

QList<Command> birthdayCommands()
{
    return {
        { QStringLiteral("due"), Help::tr("what natalis reminds of at a moment"), runDue },
        { QStringLiteral("add"), Help::tr("add a birthday as the editor would"), runAdd },
        { QStringLiteral("edit"), Help::tr("change a birthday as the editor would"), runEdit },
        { QStringLiteral("delete"), Help::tr("delete a birthday"), runDelete },
    };
}

} // namespace natalis::cli
