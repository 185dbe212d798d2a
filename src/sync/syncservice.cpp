#include "sync/syncservice.h"

#include "store/birthdays.h"
#include "store/connection.h"
#include "store/syncstate.h"
#include "sync/addressbookdiscovery.h"
#include "sync/cardservice.h"
#include "sync/discovery.h"
#include "sync/syncrun.h"

#include <QThread>
#include <utility>

using namespace Qt::StringLiterals;

namespace natalis::sync {

namespace {

// The key under which the calendar's address found by discovery is kept, until the settings
// page stores another calendar.
constexpr QStringView CalendarUrlKey = u"calendarUrl";
// The calendars this database's settings have pushed into, one "user<TAB>address" a line, the
// one in use first: the others still hold events of ours, which go once the chosen one is synced.
constexpr QStringView PushedCalendarsKey = u"pushedCalendars";
constexpr int DebounceMs = 3000;
constexpr int DayMs = 24 * 60 * 60 * 1000;
// An address book is shared with other computers and phones, whose changes should show here
// within minutes, not the next day; a sync with nothing changed costs one request per
// collection, so asking every few minutes costs the server next to nothing.
constexpr int SharedListMs = 5 * 60 * 1000;
constexpr int LongestRetryMinutes = 240;

SyncConfig readConfig(store::Connection &connection)
{
    SyncConfig config;
    config.server = store::readSyncSetting(connection, store::SyncServerKey);
    config.user = store::readSyncSetting(connection, store::SyncUserKey);
    config.calendar = store::readSyncSetting(connection, store::SyncCalendarKey);
    bool ok = false;
    const int years = store::readSyncSetting(connection, store::SyncYearsKey).toInt(&ok);
    config.years = ok && years > 0 ? years : DefaultSyncYears;
    config.festivals = store::readSyncSetting(connection, store::SyncFestivalsKey) == u"1";
    return config;
}

bool isAddress(const QString &text)
{
    return text.contains(u"://");
}

// Takes our events out of the calendars chosen before; keeps those it could not reach, for the
// next sync, and says why in the text it returns, empty when all went. The password of each is
// the one kept for its own user and server, so that no password travels to a server it was not
// given for.
QString clearEarlierCalendars(store::Connection &connection, const QStringList &earlier,
    const QString &current, PasswordStore &passwords, DavClient &client, const QString &user,
    const QString &host, const std::atomic_bool *stop, SyncResult &result)
{
    QStringList kept;
    QString failure;
    int ownRequests = 0;
    for (const QString &line : earlier) {
        const QString earlierUser = line.section(u'\t', 0, 0);
        const QUrl calendar(line.section(u'\t', 1));
        std::optional<DavClient> own;
        if (earlierUser != user || calendar.host() != host) {
            QString why;
            const std::optional<QString> password =
                passwords.read(passwordAccount(earlierUser, calendar.host()), &why);
            if (!password) {
                kept << line;
                failure = why;
                continue;
            }
            own.emplace(DavAccount { earlierUser, *password }, stop);
        }
        DavClient &clearing = own ? *own : client;
        clearing.trustOrigin(calendar); // the user chose it when it was the current calendar
        const SyncResult cleared = clearCalendar(connection, clearing, calendar);
        ownRequests += own ? own->requestCount() : 0;
        result.deleted += cleared.deleted;
        if (!cleared.ok) {
            kept << line;
            failure = cleared.error;
        }
    }
    store::writeSyncSetting(
        connection, PushedCalendarsKey, (QStringList { current } + kept).join(u'\n'));
    result.requests = client.requestCount() + ownRequests;
    return kept.isEmpty() ? QString()
                          : u"旧日历中的事件未能删除: %1, 下次同步时重试"_s.arg(failure);
}

// The calendar to push into: the one the user entered, the one discovery found before, or the
// one discovery finds now on the server (then kept); none when it could not be found, with
// error saying why.
std::optional<QUrl> calendarToSync(store::Connection &connection, const SyncConfig &config,
    DavClient &client, const QUrl &server, QString &error)
{
    if (isAddress(config.calendar))
        return QUrl(config.calendar);
    const QUrl stored(store::readSyncSetting(connection, CalendarUrlKey));
    if (!stored.isEmpty())
        return stored;
    const TransportCheck transport = checkTransport(server);
    if (!transport.allowed) {
        error = transport.refusal;
        return std::nullopt;
    }
    const CalendarHome home = discoverCalendars(client, server);
    if (!home.home.isValid()) {
        error = home.error;
        return std::nullopt;
    }
    const QUrl calendar = calendarUrlIn(
        home, config.calendar.isEmpty() ? SyncOptions().calendarName : config.calendar);
    store::writeSyncSetting(connection, CalendarUrlKey, calendar.toString());
    return calendar;
}

SyncOptions pushOptions(const SyncConfig &config, const QUrl &calendar, const QDateTime &now)
{
    SyncOptions options;
    options.calendar = calendar;
    if (!isAddress(config.calendar) && !config.calendar.isEmpty())
        options.calendarName = config.calendar;
    options.years = config.years;
    options.festivals = config.festivals;
    options.now = now;
    return options;
}

// Puts current ("user<TAB>address") first among the calendars pushed into and returns the
// others. Recorded before the push, so that a calendar half filled is cleared too when the
// user moves on before it completes.
QStringList recordCurrentCalendar(
    store::Connection &connection, const QString &current, const QUrl &calendar)
{
    QStringList earlier =
        store::readSyncSetting(connection, PushedCalendarsKey).split(u'\n', Qt::SkipEmptyParts);
    earlier.removeIf(
        [&](const QString &line) { return line.section(u'\t', 1) == calendar.toString(); });
    store::writeSyncSetting(
        connection, PushedCalendarsKey, (QStringList { current } + earlier).join(u'\n'));
    return earlier;
}

// "新增1, 更新2, 删除3", with what was left over from earlier calendars, or the error.
QString lastResultText(const SyncResult &result, const QString &leftOver)
{
    if (!result.ok)
        return result.error;
    return u"新增%1, 更新%2, 删除%3"_s.arg(result.created).arg(result.updated).arg(result.deleted)
        + (leftOver.isEmpty() ? QString() : u" ("_s + leftOver + u')');
}

} // namespace

SyncResult runStoredSync(const QString &dbPath, PasswordStore &passwords, const QDateTime &now,
    const std::atomic_bool *stop, const SyncProgress &progress,
    const std::function<void()> &waiting)
{
    SyncResult result;
    store::DbError dbError;
    std::optional<store::Connection> connection =
        store::Connection::open(dbPath, store::Connection::OpenMode::ExistingOnly, &dbError);
    // The program holds the file open itself; a file that will not open a second time has no
    // settings to act on, and a status about it would only puzzle.
    if (!connection)
        return result;
    const SyncConfig config = readConfig(*connection);
    if (!config.enabled())
        return result;
    const QUrl server(config.server.trimmed());
    QString why;
    const std::optional<QString> password =
        passwords.read(passwordAccount(config.user, server.host()), &why);
    if (!password) {
        result.error = why;
        return result;
    }
    DavClient client({ config.user, *password }, stop);
    if (waiting)
        client.waitingForServer = waiting;
    client.trustOrigin(server);
    const std::optional<QUrl> calendar =
        calendarToSync(*connection, config, client, server, result.error);
    if (!calendar)
        return result;
    // Entered by the user, or found by discovery on an origin the client already trusted.
    client.trustOrigin(*calendar);
    const store::BirthdayLoad load = store::LoadBirthdays(*connection);
    if (load.error) {
        result.error = u"无法读取生日数据"_s;
        return result;
    }
    const QString current = config.user + u'\t' + calendar->toString();
    const QStringList earlier = recordCurrentCalendar(*connection, current, *calendar);
    result = pushBirthdays(*connection,
        load.HasBirthdays ? load.Birthdays : QList<store::BirthdayRecord>(), client,
        pushOptions(config, *calendar, now), progress);
    QString leftOver;
    if (result.ok && !earlier.isEmpty()) {
        leftOver = clearEarlierCalendars(*connection, earlier, current, passwords, client,
            config.user, server.host(), stop, result);
        if (!leftOver.isEmpty())
            result.warning += (result.warning.isEmpty() ? u""_s : u"; "_s) + leftOver;
    }
    store::writeSyncSetting(*connection, store::SyncLastTimeKey, now.toString(Qt::ISODate));
    store::writeSyncSetting(
        *connection, store::SyncLastResultKey, lastResultText(result, leftOver));
    return result;
}

namespace {

ConnectionTest connectionText(const SyncConfig &config, const QString &password,
    CalendarHome (*discover)(DavClient &, const QUrl &), const QString &what,
    const std::function<void()> &waiting)
{
    const QUrl server(config.server.trimmed());
    const TransportCheck transport = checkTransport(server);
    if (!transport.allowed)
        return { transport.refusal, {} };
    DavClient client({ config.user, password });
    if (waiting)
        client.waitingForServer = waiting;
    client.trustOrigin(server);
    const CalendarHome home = discover(client, server);
    if (!home.home.isValid())
        return { u"连接失败: "_s + home.error, home.elsewhere };
    QStringList names;
    for (const CalendarInfo &calendar : home.calendars)
        names << (calendar.displayName.isEmpty() ? calendar.url.path() : calendar.displayName);
    QString text =
        u"连接成功, "_s + what + u": "_s + (names.isEmpty() ? u"(无)"_s : names.join(u", "_s));
    if (!transport.warning.isEmpty())
        text += u"\n"_s + transport.warning;
    return { text, {} };
}

} // namespace

ConnectionTest testConnection(
    const SyncConfig &config, const QString &password, const std::function<void()> &waiting)
{
    return connectionText(config, password, discoverCalendars, u"日历"_s, waiting);
}

ConnectionTest testAddressBookConnection(
    const SyncConfig &config, const QString &password, const std::function<void()> &waiting)
{
    return connectionText(config, password, discoverAddressBooks, u"通讯录"_s, waiting);
}

SyncService::SyncService(
    QString dbPath, std::function<QDateTime()> now, std::shared_ptr<PasswordStore> passwords)
    : m_dbPath(std::move(dbPath)), m_now(std::move(now)), m_passwords(std::move(passwords))
{
    m_debounce.setSingleShot(true);
    m_debounce.setInterval(DebounceMs);
    m_next.setSingleShot(true);
    connect(&m_debounce, &QTimer::timeout, this, &SyncService::syncNow);
    connect(&m_next, &QTimer::timeout, this, &SyncService::syncNow);
}

SyncService::~SyncService()
{
    if (m_thread) {
        m_stop = true;
        m_thread->wait();
        delete m_thread;
    }
}

void SyncService::begin()
{
    m_debounce.start();
}

void SyncService::birthdaysChanged()
{
    if (m_thread)
        m_again = true;
    else
        m_debounce.start();
}

void SyncService::stop()
{
    if (m_thread)
        m_stop = true;
}

int SyncService::retryMinutes(int failures)
{
    int minutes = 10;
    for (int i = 1; i < failures && minutes < LongestRetryMinutes; ++i)
        minutes *= 2;
    return qMin(minutes, LongestRetryMinutes);
}

void SyncService::syncNow()
{
    if (m_thread) {
        m_again = true;
        return;
    }
    m_debounce.stop();
    m_next.stop();
    m_stop = false;
    starting();
    const QDateTime now = m_now();
    const DeletionChoice deletions = std::exchange(m_deletions, DeletionChoice::Ask);
    m_thread = QThread::create([this, now, deletions] {
        SyncSteps steps;
        steps.addressBook = [&] {
            return runStoredCardSync(m_dbPath, *m_passwords, now, &m_stop,
                progressReporter(AddressBookPart), deletions, waitingReporter(AddressBookPart));
        };
        steps.calendar = [&] {
            return runStoredSync(m_dbPath, *m_passwords, now, &m_stop,
                progressReporter(CalendarPart), waitingReporter(CalendarPart));
        };
        const SyncRun run = runSyncSteps(steps, &m_stop);
        QMetaObject::invokeMethod(this,
            [this, cards = run.addressBook.value_or(CardSyncResult()),
                calendar = run.calendar.value_or(SyncResult())] { finished(cards, calendar); });
    });
    m_thread->start();
}

SyncProgress SyncService::progressReporter(QStringView part)
{
    return [this, part](qint64 done, qint64 total) {
        QMetaObject::invokeMethod(this, [this, part, done, total] {
            showStatus(u"%1同步中: %2/%3"_s.arg(part).arg(done).arg(total));
        });
    };
}

std::function<void()> SyncService::waitingReporter(QStringView part)
{
    // A server computing a large listing may keep the first byte back for minutes.
    return [this, part] {
        QMetaObject::invokeMethod(this,
            [this, part] { showStatus(part.toString() + u"同步中: "_s + waitingForServerText()); });
    };
}

void SyncService::resolveDeletions(DeletionChoice choice)
{
    m_deletions = choice;
    syncNow();
}

namespace {

// One part of the status text; empty for a sync that is not set up.
QString outcomeText(QStringView what, bool ok, bool stopped, const QString &error,
    const QString &counts, const QString &warning)
{
    if (ok)
        return what.toString() + u"同步完成: "_s + counts
            + (warning.isEmpty() ? QString() : u" ("_s + warning + u')');
    if (stopped)
        return what.toString() + u"同步已停止"_s;
    return error.isEmpty() ? QString() : syncFailedText(what, error);
}

} // namespace

void SyncService::finished(const CardSyncResult &cards, const SyncResult &calendar)
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    Q_EMIT databaseWritten(cards.birthdaysWritten);
    // A held deletion is answered on the settings page, which the status bar names.
    const QString cardText = outcomeText(AddressBookPart, cards.ok, cards.stopped,
        cards.held > 0 ? cards.error + u" (设置 → 通讯录同步)"_s : cards.error,
        cardSyncSummary(cards), cards.warning);
    const QString calendarText =
        outcomeText(CalendarPart, calendar.ok, calendar.stopped, calendar.error,
            u"新增%1, 更新%2, 删除%3"_s.arg(calendar.created)
                .arg(calendar.updated)
                .arg(calendar.deleted),
            calendar.warning);
    const bool stopped = cards.stopped || calendar.stopped || m_stop;
    const bool cardsFailed = !stopped && !cards.ok && !cards.error.isEmpty();
    const bool calendarFailed = !stopped && !calendar.ok && !calendar.error.isEmpty();
    // What went well first, the failures last, so that the retry closes the text they share.
    QStringList texts;
    if (!cardsFailed && !cardText.isEmpty())
        texts << cardText;
    if (!calendarFailed && !calendarText.isEmpty())
        texts << calendarText;
    if (cardsFailed)
        texts << cardText;
    if (calendarFailed)
        texts << calendarText;
    if (cardsFailed || calendarFailed) {
        const int minutes = retryMinutes(++m_failures);
        texts.last() += u", %1分钟后重试"_s.arg(minutes);
        m_next.start(minutes * 60 * 1000);
    } else if (!stopped && (cards.ok || calendar.ok)) {
        m_failures = 0;
        m_next.start(cards.ok ? SharedListMs : DayMs);
    }
    if (!texts.isEmpty())
        showStatus(texts.join(u"; "_s));
    if (m_again) {
        m_again = false;
        m_debounce.start();
    }
}

} // namespace natalis::sync
