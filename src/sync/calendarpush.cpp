#include "sync/calendarpush.h"

#include "store/connection.h"
#include "store/dberror.h"
#include "store/syncstate.h"
#include "store/transaction.h"
#include "sync/discovery.h"
#include "sync/multistatus.h"
#include "transfer/icalendarexport.h"

#include <QCryptographicHash>
#include <QSet>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace natalis::sync {

namespace {

using store::SyncCollectionState;
using store::SyncedEvent;

// A record's hash is the day its event starts on and a digest of what was sent, so that an
// event of a past year can tell a moved birthday from a changed title. Instead of a digest it
// may hold a mark:
// - the server may not hold the event: sent without an answer, or gone from the listing. It is
//   created when still wanted, and a conflict then means the server has our event after all;
//   deleted (when there) if no longer wanted.
constexpr QByteArrayView Unconfirmed = "unconfirmed";
// - the server holds an event at this UID whose content names another writer (another copy of
//   the file syncing into the same calendar) or another UID: it is never written nor deleted
//   from here.
constexpr QByteArrayView Foreign = "foreign-writer";
// - what earlier versions wrote when a create merely met a 412: the event is looked at again.
constexpr QByteArrayView GuessedForeign = "foreign";
// - an empty digest: someone changed our event on the server; it is written again.

// The record, among a collection's events, that holds the writer this file is in that
// collection: made with the collection's first records and forgotten with them, so a copy of the
// file without them is another writer. Its hash is the writer's id, which every event this file
// puts there carries as WriterProperty.
constexpr QStringView WriterRecord = u"*writer";
constexpr QByteArrayView WriterProperty = "X-NATALIS-WRITER";

bool holdsEvents(const SyncCollectionState &state)
{
    return state.events.size() > (state.events.contains(WriterRecord.toString()) ? 1 : 0);
}

// The value of the first content line name of an event, unfolded lines aside; empty when absent.
QByteArray propertyValue(const QByteArray &data, QByteArrayView name)
{
    for (const QByteArray &line : data.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith(name) && trimmed.size() > name.size()
            && (trimmed[name.size()] == ':' || trimmed[name.size()] == ';'))
            return trimmed.mid(trimmed.indexOf(':') + 1);
    }
    return {};
}

struct Mark
{
    QDate day;
    QByteArray digest;
};

Mark markOf(const SyncedEvent &event)
{
    const qsizetype colon = event.hash.indexOf(':');
    if (colon < 0)
        return { {}, event.hash };
    return { QDate::fromString(QString::fromLatin1(event.hash.left(colon)), u"yyyyMMdd"_s),
        event.hash.mid(colon + 1) };
}

QByteArray markText(QDate day, QByteArrayView digest)
{
    return day.toString(u"yyyyMMdd"_s).toLatin1() + ':' + digest.toByteArray();
}

// Requests sent at once before the outcome is written down and the stop flag is looked at.
constexpr int BatchSize = 60;

struct Wanted
{
    QByteArray data;
    QByteArray digest;
    QDate start;
    bool past = false; // one year's event that ended before the first day of now's year
};

enum class Op { Create, Update, Delete };

struct Task
{
    Op op;
    QString uid;
    QString href;
    QString etag;
    bool retried = false;
    // This database had a record of the event before the request; without one the request
    // records it as unconfirmed first.
    bool known = true;
};

using BuildObjects = std::function<QList<transfer::IcsObject>(const transfer::IcsOptions &)>;

class CollectionPush
{
public:
    // A clearing push wants nothing: it deletes what the records hold and then forgets the
    // collection, which it never makes.
    CollectionPush(store::Connection &connection, DavClient &client, QUrl url, QString name,
        SyncResult &result, bool clearing = false)
        : m_connection(connection), m_client(client), m_url(std::move(url)),
          m_key(m_url.toString()), m_name(std::move(name)), m_result(result), m_clearing(clearing)
    {
    }

    // Reads the collection, made when missing; false when it could not be reached or made.
    bool reach();
    // The server says the collection is as the last complete sync left it.
    bool unchanged() const
    {
        return !m_serverVersion.isEmpty() && m_serverVersion == m_storedVersion;
    }
    // Plans the work for the events build gives for ics, on a reached collection.
    void prepare(const BuildObjects &build, transfer::IcsOptions ics, const QByteArray &stampLine);
    qint64 work() const { return m_tasks.size(); }
    qint64 compared() const { return m_wanted.size(); }
    // Runs the planned work; progress counts on from done. A clearing push then forgets the
    // collection; any other has what remember() writes.
    bool run(const SyncProgress &progress, qint64 &done, qint64 total);
    // Writes down the collection's version after a complete run, so that the next sync with
    // nothing changed asks only that.
    void remember();

private:
    bool fail(const DavReply &reply)
    {
        m_result.error = replyFailure(reply);
        m_result.stopped = m_client.stopped();
        return false;
    }
    DavReply readCollection();
    void adoptListing();
    QString hrefOf(const QString &uid) const
    {
        return m_url
            .resolved(QUrl(QString::fromLatin1(QUrl::toPercentEncoding(uid, "@")) + u".ics"_s))
            .toString();
    }
    DavRequest request(const Task &task) const;
    void plan();
    // Records the creates of batch before they are sent, so that an answer lost with the
    // connection still leaves the event ours.
    void recordUnconfirmed(const QList<Task> &batch);
    // Writes down one answered task; false when the task must be re-read and retried.
    bool settle(const Task &task, const DavReply &reply, std::optional<DavReply> &failure);
    // Reads again what the server holds at a refused task's address: the task to send once
    // more, or none when the event there is another writer's (then recorded as such) or the
    // server did not answer (failure then says why).
    std::optional<Task> reread(Task task, std::optional<DavReply> &failure);

    store::Connection &m_connection;
    DavClient &m_client;
    QUrl m_url;
    QString m_key;
    QString m_name;
    SyncResult &m_result;
    bool m_clearing;
    bool m_gone = false; // a clearing push found no collection
    bool m_made = false; // the collection was missing and made by this push
    QByteArray m_writer;
    QString m_storedVersion;
    QString m_finalVersion;
    SyncCollectionState m_state;
    QHash<QString, Wanted> m_wanted;
    QList<Task> m_tasks;
    QString m_serverVersion;
    QString m_serverToken; // the collection's sync-token, empty when it keeps none
};

QByteArray collectionBody()
{
    return propfindBody({ "d:resourcetype", "cs:getctag", "d:sync-token" });
}

DavReply CollectionPush::readCollection()
{
    return readOrMakeCollection(m_client, m_url, collectionBody(), NewCollection {});
}

QString versionOf(const DavReply &reply)
{
    const QList<DavResource> found = parseMultistatus(reply.body);
    return found.isEmpty() ? QString() : collectionVersion(found.first());
}

// The server's collection changed since our last sync (someone else's event, an edit on a
// phone, or our own sync that broke off): its listing says which of our events are still there
// with which ETag. Only events this database recorded are looked at: an event in our UID form
// that we have no record of belongs to another database syncing into the same calendar.
void CollectionPush::adoptListing()
{
    // Where the server keeps sync-tokens, only what changed since ours is listed; a token it no
    // longer knows (or a ctag of ours) costs the whole listing.
    DavReply listing;
    bool complete = true;
    if (!m_state.version.isEmpty() && m_serverVersion == m_serverToken) {
        listing = m_client.send({ "REPORT", m_url, syncCollectionBody(m_state.version), {} });
        complete = listing.status != 207;
    }
    if (complete)
        listing = m_client.send(
            { "PROPFIND", m_url, propfindBody({ "d:getetag" }), { { "Depth", "1" } } });
    if (!listing.ok())
        return; // the plan below then trusts the records, and a conflict is settled per event
    QHash<QString, QString> present, removed; // uid -> etag
    for (const DavResource &resource : parseMultistatus(listing.body)) {
        const QString name = QUrl::fromPercentEncoding(resource.href.section(u'/', -1).toUtf8());
        if (name.endsWith(u".ics"))
            (resource.gone ? removed : present)
                .insert(name.chopped(4), resource.text.value(u"getetag"_s));
    }
    for (auto it = m_state.events.begin(); it != m_state.events.end();) {
        const auto found = present.constFind(it.key());
        if (found == present.cend() && !complete && !removed.contains(it.key())) {
            ++it; // unchanged since the token
            continue;
        }
        const Mark mark = markOf(*it);
        if (mark.digest == Foreign && found == present.cend()) {
            // The other database's event is gone: ours may take its place.
            store::forgetSyncedEvent(m_connection, m_key, it.key());
            it = m_state.events.erase(it);
            continue;
        }
        if (found == present.cend()) {
            it->etag.clear();
            it->hash = markText(mark.day, Unconfirmed);
        } else if (*found != it->etag && mark.digest != Foreign) {
            it->etag = *found;
            it->hash = markText(mark.day, {});
        }
        ++it;
    }
}

bool CollectionPush::reach()
{
    m_storedVersion = store::readSyncVersion(m_connection, m_key);
    DavReply collection = readCollection();
    if (collection.status == 404 && m_clearing)
        return m_gone = true; // gone with everything of ours in it
    if (collection.status == 404) {
        // Deleted on the server with our events in it: made again and filled anew.
        collection = readOrMakeCollection(
            m_client, m_url, collectionBody(), NewCollection { CollectionType::Calendar, m_name });
        m_made = collection.status == 207;
    }
    if (collection.status != 207)
        return fail(collection);
    const QList<DavResource> found = parseMultistatus(collection.body);
    if (found.isEmpty() || !found.first().calendar) {
        m_result.error = u"该地址不是日历: "_s + m_url.toString();
        return false;
    }
    m_serverVersion = versionOf(collection);
    m_serverToken = found.first().text.value(u"sync-token"_s);
    return true;
}

void CollectionPush::prepare(
    const BuildObjects &build, transfer::IcsOptions ics, const QByteArray &stampLine)
{
    if (m_gone)
        return;
    if (m_made)
        store::forgetSyncCollection(m_connection, m_key);
    m_state = store::readSyncState(m_connection, m_key);
    const bool hadWriter = m_state.events.contains(WriterRecord.toString());
    m_writer = hadWriter ? m_state.events.take(WriterRecord.toString()).hash
                         : QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    if (!hadWriter && !m_clearing)
        store::writeSyncedEvent(m_connection, m_key, { WriterRecord.toString(), {}, {}, m_writer });
    // Events of past years that we put there stay, so that a new year does not wipe last
    // year's birthdays off the phone: they are computed again to see whether they still stand.
    const QDate firstDay(ics.fromYear, 1, 1);
    int fromYear = ics.fromYear;
    for (const SyncedEvent &event : std::as_const(m_state.events)) {
        if (const QDate day = markOf(event).day; day.isValid())
            fromYear = qMin(fromYear, day.year());
    }
    ics.years += ics.fromYear - fromYear;
    ics.fromYear = fromYear;
    for (const transfer::IcsObject &object : build(ics)) {
        QByteArray stable = object.data;
        stable.replace(stampLine, QByteArray());
        const bool past = !object.yearly && object.start < firstDay;
        if (!past || m_state.events.contains(object.uid))
            m_wanted.insert(object.uid,
                { object.data, QCryptographicHash::hash(stable, QCryptographicHash::Sha1).toHex(),
                    object.start, past });
    }
    if (m_serverVersion.isEmpty() || m_serverVersion != m_state.version)
        adoptListing();
    plan();
}

void CollectionPush::plan()
{
    store::Transaction transaction(m_connection);
    for (auto it = m_wanted.cbegin(); it != m_wanted.cend(); ++it) {
        const auto had = m_state.events.constFind(it.key());
        if (had == m_state.events.cend()) {
            m_tasks.append({ Op::Create, it.key(), hrefOf(it.key()), {}, false, false });
            continue;
        }
        const Mark mark = markOf(*had);
        if (mark.digest == Foreign)
            continue;
        if (mark.digest == GuessedForeign) {
            m_tasks.append({ Op::Create, it.key(), had->href, {} });
            continue;
        }
        if (it->past && mark.day.isValid() && mark.day != it->start)
            m_tasks.append({ Op::Delete, it.key(), had->href, had->etag }); // never moved back
        else if (mark.digest == Unconfirmed)
            m_tasks.append({ Op::Create, it.key(), had->href, {} });
        else if (mark.digest != it->digest)
            m_tasks.append({ Op::Update, it.key(), had->href, had->etag });
        else if (!mark.day.isValid()) // written before records knew their day
            store::writeSyncedEvent(m_connection, m_key,
                { had->uid, had->href, had->etag, markText(it->start, it->digest) });
    }
    for (auto it = m_state.events.cbegin(); it != m_state.events.cend(); ++it) {
        if (m_wanted.contains(it.key()))
            continue;
        if (const QByteArray digest = markOf(*it).digest;
            digest == Foreign || digest == GuessedForeign)
            store::forgetSyncedEvent(m_connection, m_key, it.key());
        else
            m_tasks.append({ Op::Delete, it.key(), it->href, it->etag });
    }
    transaction.commit();
}

void CollectionPush::recordUnconfirmed(const QList<Task> &batch)
{
    store::Transaction transaction(m_connection);
    for (const Task &task : batch) {
        if (task.op == Op::Create && !task.known)
            store::writeSyncedEvent(m_connection, m_key,
                { task.uid, task.href, {}, markText(m_wanted.value(task.uid).start, Unconfirmed) });
    }
    transaction.commit();
}

DavRequest CollectionPush::request(const Task &task) const
{
    DavRequest request { task.op == Op::Delete ? "DELETE" : "PUT", QUrl(task.href), {}, {} };
    if (task.op != Op::Delete) {
        request.body = m_wanted.value(task.uid).data;
        request.body.replace(
            "END:VEVENT\r\n", WriterProperty.toByteArray() + ':' + m_writer + "\r\nEND:VEVENT\r\n");
    }
    const QByteArray etag = task.etag.isEmpty() ? "*"_ba : task.etag.toLatin1();
    if (task.op == Op::Create)
        request.headers.append({ "If-None-Match"_ba, "*"_ba });
    else
        request.headers.append({ "If-Match"_ba, etag });
    return request;
}

bool CollectionPush::settle(
    const Task &task, const DavReply &reply, std::optional<DavReply> &failure)
{
    const bool gone = reply.status == 404 || reply.status == 410;
    if (task.op == Op::Delete && (reply.ok() || gone)) {
        store::forgetSyncedEvent(m_connection, m_key, task.uid);
        ++m_result.deleted;
        return true;
    }
    const Wanted wanted = m_wanted.value(task.uid);
    if (task.op != Op::Delete && reply.ok()) {
        store::writeSyncedEvent(m_connection, m_key,
            { task.uid, task.href, reply.etag, markText(wanted.start, wanted.digest) });
        ++(task.op == Op::Create ? m_result.created : m_result.updated);
        return true;
    }
    const bool refused = reply.status == 412 || (task.op == Op::Update && gone);
    if (refused && !task.retried)
        return false;
    if (refused) {
        // Refused again after a fresh look: left for the next sync, which plans it afresh.
        if (task.op == Op::Create)
            store::writeSyncedEvent(m_connection, m_key,
                { task.uid, task.href, {}, markText(wanted.start, Unconfirmed) });
        else if (task.op == Op::Update)
            store::writeSyncedEvent(m_connection, m_key,
                { task.uid, task.href, task.etag, markText(wanted.start, {}) });
        ++m_result.unwritten;
        return true;
    }
    failure = reply;
    return true;
}

std::optional<Task> CollectionPush::reread(Task task, std::optional<DavReply> &failure)
{
    task.retried = true;
    if (task.op == Op::Create) {
        // Whose the event at our address is, its content says: our UID and no other writer's
        // mark (an event of an earlier version carries none) make it ours to update.
        const DavReply now = m_client.send({ "GET", QUrl(task.href), {}, {} });
        if (now.status == 404 || now.status == 410)
            return task;
        if (!now.ok()) {
            failure = now;
            return std::nullopt;
        }
        const QByteArray writer = propertyValue(now.body, WriterProperty);
        if (propertyValue(now.body, "UID") != task.uid.toUtf8()
            || (!writer.isEmpty() && writer != m_writer)) {
            store::writeSyncedEvent(m_connection, m_key,
                { task.uid, task.href, {}, markText(m_wanted.value(task.uid).start, Foreign) });
            return std::nullopt;
        }
        task.op = Op::Update;
        task.etag = now.etag;
        return task;
    }
    const DavReply now = m_client.send(
        { "PROPFIND", QUrl(task.href), propfindBody({ "d:getetag" }), { { "Depth", "0" } } });
    if (now.status == 0) {
        failure = now;
        return std::nullopt;
    }
    const QList<DavResource> found = parseMultistatus(now.body);
    const bool exists = now.status == 207 && !found.isEmpty();
    if (task.op != Op::Delete)
        task.op = exists ? Op::Update : Op::Create;
    task.etag = exists ? found.first().text.value(u"getetag"_s) : QString();
    return task;
}

bool CollectionPush::run(const SyncProgress &progress, qint64 &done, qint64 total)
{
    QList<Task> pending = m_tasks;
    while (!pending.isEmpty()) {
        const QList<Task> batch = pending.mid(0, BatchSize);
        pending.remove(0, batch.size());
        recordUnconfirmed(batch);
        QList<DavRequest> requests;
        for (const Task &task : batch)
            requests << request(task);
        const QList<DavReply> replies = m_client.sendAll(requests);
        std::optional<DavReply> failure;
        QList<Task> conflicts;
        {
            store::Transaction transaction(m_connection);
            for (qsizetype i = 0; i < batch.size(); ++i) {
                if (!settle(batch[i], replies[i], failure))
                    conflicts << batch[i];
            }
            transaction.commit();
        }
        if (failure)
            return fail(*failure);
        // Someone changed or removed the event since we read it, or an event stood where we
        // meant to create one: look again and try once more.
        {
            store::Transaction transaction(m_connection);
            for (const Task &task : conflicts) {
                if (const std::optional<Task> again = reread(task, failure))
                    pending.prepend(*again);
                else if (failure)
                    break;
            }
            transaction.commit();
        }
        if (failure)
            return fail(*failure);
        done += batch.size();
        if (progress)
            progress(done, total);
        if (m_client.stopped()) {
            m_result.stopped = true;
            m_result.error = u"已停止"_s;
            return false;
        }
    }
    if (m_clearing) {
        store::forgetSyncCollection(m_connection, m_key);
        return true;
    }
    // The collection as it stands after our writes, for the next sync to compare with.
    m_finalVersion = m_tasks.isEmpty() ? m_serverVersion : versionOf(readCollection());
    return true;
}

void CollectionPush::remember()
{
    if (m_finalVersion != m_storedVersion)
        store::writeSyncVersion(m_connection, m_key, m_finalVersion);
}

QString festivalName()
{
    return u" 节日节气"_s;
}

// What the events of a sync are made of: the birthdays' texts that the events read and the
// options that shape them (the stamp aside). Compared as texts, never by change times, since
// another program may have changed the file without leaving one.
QByteArray inputsDigest(const store::BirthdayList &birthdays, const SyncOptions &options,
    const transfer::IcsOptions &ics)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QStringLiteral("%1|%2|%3|%4|")
                     .arg(options.calendar.toString())
                     .arg(ics.fromYear)
                     .arg(ics.years)
                     .arg(options.festivals)
                     .toUtf8());
    transfer::hashIcsInputs(hash, birthdays);
    return hash.result().toHex();
}

transfer::IcsOptions icsOptionsFor(const SyncOptions &options)
{
    transfer::IcsOptions ics;
    ics.fromYear = options.now.date().year();
    ics.years = options.years;
    ics.stamp = options.now;
    return ics;
}

// The DTSTAMP line every event of one sync carries, in UTC.
QByteArray stampLineFor(const QDateTime &now)
{
    return "DTSTAMP:" + now.toUTC().toString(u"yyyyMMdd'T'HHmmss'Z'"_s).toLatin1() + "\r\n";
}

// Builds the events of both collections (festivals: none when turned off) and sends what the
// server lacks. Sets result.ok when everything was written; returns whether the birthdays'
// collection was, whose state may then be kept even when the festivals' failed.
bool sendEvents(CollectionPush &birthdayPush, std::optional<CollectionPush> &festivalPush,
    const store::BirthdayList &birthdays, const SyncOptions &options, const SyncProgress &progress,
    SyncResult &result)
{
    const transfer::IcsOptions ics = icsOptionsFor(options);
    const QByteArray stampLine = stampLineFor(options.now);
    birthdayPush.prepare(
        [&](const transfer::IcsOptions &range) {
            return transfer::buildIcsObjects(birthdays, range, transfer::IcsPart::Birthdays);
        },
        ics, stampLine);
    if (festivalPush)
        festivalPush->prepare(
            [&](const transfer::IcsOptions &range) {
                return options.festivals
                    ? transfer::buildIcsObjects({}, range, transfer::IcsPart::Festivals)
                    : QList<transfer::IcsObject>();
            },
            ics, stampLine);
    result.compared = int(birthdayPush.compared() + (festivalPush ? festivalPush->compared() : 0));
    const qint64 total = birthdayPush.work() + (festivalPush ? festivalPush->work() : 0);
    qint64 done = 0;
    const bool birthdaysDone = birthdayPush.run(progress, done, total);
    result.ok = birthdaysDone && (!festivalPush || festivalPush->run(progress, done, total));
    if (result.ok && result.unwritten > 0) {
        // Complete but for what the server refused: the next sync plans those again.
        result.ok = false;
        result.error = u"%1个未能写入服务器, 下次同步时重试"_s.arg(result.unwritten);
    }
    return birthdaysDone;
}

} // namespace

QUrl festivalCalendarUrl(const QUrl &calendar)
{
    QUrl url = calendar;
    QString path = url.path();
    if (path.endsWith(u'/'))
        path.chop(1);
    url.setPath(path + u"-festivals/"_s);
    return url;
}

SyncResult pushBirthdays(store::Connection &connection, const store::BirthdayList &birthdays,
    DavClient &client, const SyncOptions &options, const SyncProgress &progress)
{
    SyncResult result;
    const TransportCheck transport = checkTransport(options.calendar);
    result.warning = transport.warning;
    if (!transport.allowed) {
        result.error = transport.refusal;
        return result;
    }
    const QString key = options.calendar.toString();
    const QByteArray inputs = inputsDigest(birthdays, options, icsOptionsFor(options));

    try {
        CollectionPush birthdayPush(
            connection, client, options.calendar, options.calendarName, result);
        std::optional<CollectionPush> festivalPush;
        // Festivals turned off take their events with them; after that the collection costs
        // nothing more.
        const QUrl festivalUrl = festivalCalendarUrl(options.calendar);
        if (options.festivals
            || holdsEvents(store::readSyncState(connection, festivalUrl.toString())))
            festivalPush.emplace(
                connection, client, festivalUrl, options.calendarName + festivalName(), result);
        const auto finish = [&] { return result.requests = client.requestCount(), result; };
        if (!birthdayPush.reach() || (festivalPush && !festivalPush->reach()))
            return finish();
        // The same inputs as the last complete sync and collections nobody wrote to since: the
        // events would come out as the server holds them.
        if (store::readSyncInputs(connection, key) == inputs && birthdayPush.unchanged()
            && (!festivalPush || festivalPush->unchanged())) {
            result.ok = true;
            return finish();
        }
        // Until this sync completes, its inputs are not the server's.
        store::writeSyncInputs(connection, key, {});

        const bool birthdaysDone =
            sendEvents(birthdayPush, festivalPush, birthdays, options, progress, result);
        store::Transaction transaction(connection);
        if (birthdaysDone)
            birthdayPush.remember();
        if (result.ok) {
            if (festivalPush)
                festivalPush->remember();
            store::writeSyncInputs(connection, key, inputs);
        }
        transaction.commit();
    } catch (const store::DbException &exception) {
        result.ok = false;
        result.error = u"数据库错误: "_s + store::failureCauseOrDescription(exception.error());
    }
    result.requests = client.requestCount();
    return result;
}

SyncResult clearCalendar(store::Connection &connection, DavClient &client, const QUrl &calendar)
{
    SyncResult result;
    const TransportCheck transport = checkTransport(calendar);
    if (!transport.allowed) {
        result.error = transport.refusal;
        return result;
    }
    const BuildObjects nothing = [](const transfer::IcsOptions &) {
        return QList<transfer::IcsObject>();
    };
    try {
        result.ok = true;
        store::writeSyncInputs(connection, calendar.toString(), {});
        for (const QUrl &url : { calendar, festivalCalendarUrl(calendar) }) {
            if (!holdsEvents(store::readSyncState(connection, url.toString()))) {
                store::forgetSyncCollection(connection, url.toString());
                continue;
            }
            CollectionPush push(connection, client, url, {}, result, true);
            qint64 done = 0;
            if (!push.reach()) {
                result.ok = false;
                break;
            }
            push.prepare(nothing, {}, {});
            if (!push.run({}, done, push.work())) {
                result.ok = false;
                break;
            }
        }
    } catch (const store::DbException &exception) {
        result.ok = false;
        result.error = u"数据库错误: "_s + store::failureCauseOrDescription(exception.error());
    }
    result.requests = client.requestCount();
    return result;
}

} // namespace natalis::sync
