#include "sync/cardsync.h"

#include "store/birthdays.h"
#include "store/categories.h"
#include "store/connection.h"
#include "store/dberror.h"
#include "store/transaction.h"
#include "sync/addressbookdiscovery.h"
#include "sync/cardsyncrun.h"
#include "sync/multistatus.h"
#include "transfer/contentline.h"
#include "transfer/importinsert.h"
#include "transfer/vcardexport.h"
#include "transfer/vcardimport.h"
#include "transfer/vcardparser.h"
#include "transfer/vcardpatch.h"

#include <QMap>
#include <QSet>
#include <QTimeZone>
#include <QXmlStreamReader>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace natalis::sync::cards {

namespace {

constexpr int BatchSize = 60;
constexpr int MultigetSize = 100;

// The sync-token a sync-collection answer closes with (RFC 6578 3.6); empty when it has none.
QString replyToken(const QByteArray &body)
{
    QXmlStreamReader xml(body);
    if (!xml.readNextStartElement())
        return {};
    while (xml.readNextStartElement()) {
        if (xml.name() == u"sync-token" && xml.namespaceUri() == u"DAV:")
            return xml.readElementText().trimmed();
        xml.skipCurrentElement();
    }
    return {};
}

QByteArray multigetBody(const QStringList &paths)
{
    QByteArray body = R"(<?xml version="1.0" encoding="utf-8"?><card:addressbook-multiget )"
                      R"(xmlns:d="DAV:" xmlns:card="urn:ietf:params:xml:ns:carddav">)"
                      "<d:prop><d:getetag/><card:address-data/></d:prop>";
    for (const QString &path : paths)
        body += "<d:href>" + path.toHtmlEscaped().toUtf8() + "</d:href>";
    return body + "</card:addressbook-multiget>";
}

} // namespace

bool CardSync::version(QString &version, bool first)
{
    const QByteArray body = cardPropfindBody({ "d:resourcetype", "cs:getctag", "d:sync-token" });
    DavReply book = readOrMakeCollection(m_client, m_url, body, NewCollection {});
    if (book.status == 404 && first) {
        if (!mayDelete(store::readCardBook(m_connection, m_key), {}, true))
            return false;
        book = readOrMakeCollection(m_client, m_url, body,
            NewCollection { CollectionType::AddressBook, m_options.addressBookName });
    }
    if (book.status != 207)
        return fail(book);
    const QList<DavResource> found = parseMultistatus(book.body);
    if (found.isEmpty() || !found.first().addressBook) {
        m_result.error = u"该地址不是通讯录: "_s + m_url.toString();
        return false;
    }
    version = collectionVersion(found.first());
    return true;
}

bool CardSync::mayDelete(
    const store::CardBookState &state, const QSet<QString> &gone, bool collectionGone)
{
    if (m_options.deletions != DeletionChoice::Ask || state.cards.isEmpty())
        return true;
    // Read only: a held sync leaves the file as it found it.
    const store::BirthdayLoad load = store::LoadBirthdays(m_connection);
    if (load.error)
        throw store::DbException(*load.error);
    QHash<QString, Fields> here;
    if (load.HasBirthdays) {
        for (const BirthdayRecord &record : load.Birthdays)
            here.insert(uidOf(record), fieldsOf(record));
    }
    DeletionCount count;
    count.synced = int(state.cards.size());
    count.here = load.HasBirthdays ? int(load.Birthdays.size()) : 0;
    count.collectionGone = collectionGone;
    for (const store::SyncedCard &card : state.cards) {
        if (!collectionGone && !gone.contains(card.href))
            continue;
        ++count.goneThere;
        const auto local = here.constFind(card.uid);
        if (local != here.cend() && *local == card.fields)
            ++count.wouldDelete;
    }
    const DeletionHold hold = holdDeletions(count);
    if (hold == DeletionHold::None)
        return true;
    m_result.held = count.wouldDelete;
    m_result.error = deletionHeldText(hold, count);
    return false;
}

// The user put the list back on the server: nothing of the last sync stands, so every birthday
// here is put again, and a card still there is merged as one this file never saw.
void CardSync::forgetBook()
{
    const store::CardBookState state = store::readCardBook(m_connection, m_key);
    store::Transaction transaction(m_connection);
    for (const store::SyncedCard &card : state.cards)
        store::forgetSyncedCard(m_connection, m_key, card.uid);
    store::writeCardBookVersion(m_connection, m_key, {});
    transaction.commit();
}

QHash<QString, BirthdayRecord> CardSync::locals()
{
    if (const store::BirthdayLoad first = store::LoadBirthdays(m_connection);
        store::lacksBirthdayUids(
            m_connection, first.HasBirthdays ? first.Birthdays : QList<BirthdayRecord>())) {
        check(store::assignMissingBirthdayUids(m_connection) >= 0);
        m_result.birthdaysWritten = true;
    }
    const store::BirthdayLoad load = store::LoadBirthdays(m_connection);
    if (load.error)
        throw store::DbException(*load.error);
    QHash<QString, BirthdayRecord> byUid;
    if (load.HasBirthdays) {
        for (const BirthdayRecord &record : load.Birthdays)
            byUid.insert(uidOf(record), record);
    }
    return byUid;
}

bool CardSync::fetch(const QStringList &hrefs, QList<ServerCard> &cards)
{
    QStringList unreadable;
    for (qsizetype start = 0; start < hrefs.size(); start += MultigetSize) {
        QStringList paths;
        for (const QString &href : hrefs.mid(start, MultigetSize))
            paths << QUrl(href).path(QUrl::FullyEncoded);
        if (!fetchPaths(paths, cards, unreadable))
            return false;
    }
    // Named once a sync: the pulls after the push ask for the same card again.
    unreadable.removeIf([&](const QString &path) { return m_unreadable.contains(path); });
    if (!unreadable.isEmpty()) {
        m_unreadable += unreadable;
        m_result.warning += (m_result.warning.isEmpty() ? u""_s : u"; "_s)
            + u"跳过服务器上无法读取的名片: "_s + unreadable.join(u", "_s);
    }
    return true;
}

bool CardSync::fetchPaths(
    const QStringList &paths, QList<ServerCard> &cards, QStringList &unreadable)
{
    const DavReply reply =
        m_client.send({ "REPORT", m_url, multigetBody(paths), { { "Depth", "1" } } });
    // A server that fails the whole answer for one card it cannot read (xandikos, Radicale), or
    // an answer over the client's cap, is asked for in halves, down to that card alone, so that
    // the others still arrive; a card over the cap by itself is skipped like an unreadable one.
    const bool cardInTheWay = reply.status == 500 || reply.failure == DavFailure::TooLarge;
    if (cardInTheWay && paths.size() > 1) {
        const qsizetype half = paths.size() / 2;
        return fetchPaths(paths.first(half), cards, unreadable)
            && fetchPaths(paths.sliced(half), cards, unreadable);
    }
    if (cardInTheWay) {
        unreadable << QUrl::fromPercentEncoding(paths.first().toUtf8());
        return true;
    }
    if (reply.status != 207)
        return fail(reply);
    QSet<QString> arrived;
    for (const DavResource &resource : parseMultistatus(reply.body)) {
        const QByteArray data = resource.text.value(u"address-data"_s).toUtf8();
        if (!isWholeCard(data))
            continue;
        const QString href = absolute(resource.href);
        arrived.insert(QUrl(href).path(QUrl::FullyEncoded));
        cards << ServerCard { href, resource.text.value(u"getetag"_s), withCrLf(data) };
    }
    // A card answered with an error (404, 500) or with what is no card is left as it was here:
    // not deleted, not merged, and asked for again when it changes there.
    for (const QString &path : paths) {
        if (!arrived.contains(path))
            unreadable << QUrl::fromPercentEncoding(path.toUtf8());
    }
    return true;
}

void CardListing::see(const QString &href, const QString &etag)
{
    if (!knownEtag.contains(href) || knownEtag.value(href) != etag || etag.isEmpty())
        changed << href;
}

bool CardSync::listSince(const QString &since, CardListing &listing, QString *token)
{
    const DavReply report = m_client.send({ "REPORT", m_url, syncCollectionBody(since), {} });
    if (report.status == 0)
        return fail(report);
    listing.sinceToken = report.status == 207;
    if (listing.sinceToken && token)
        *token = replyToken(report.body);
    const QByteArray body = listing.sinceToken ? report.body : QByteArray();
    for (const DavResource &resource : parseMultistatus(body)) {
        const QString href = absolute(resource.href);
        const QString etag = resource.text.value(u"getetag"_s);
        if (href == m_url.toString())
            continue;
        if (etag.isEmpty())
            listing.gone.insert(href); // reported without properties: removed
        else
            listing.see(href, etag);
    }
    return true;
}

// An ETag listing over the client's cap (32 MB, well over 100,000 cards) ends the sync as
// "服务器回复过大": no birthday list comes near it, so it is not asked for in pages.
bool CardSync::listAll(const store::CardBookState &state, CardListing &listing)
{
    const DavReply reply = m_client.send(
        { "PROPFIND", m_url, cardPropfindBody({ "d:getetag" }), { { "Depth", "1" } } });
    if (reply.status != 207)
        return fail(reply);
    QSet<QString> present;
    for (const DavResource &resource : parseMultistatus(reply.body)) {
        const QString href = absolute(resource.href);
        if (resource.collection || href == m_url.toString())
            continue;
        present.insert(href);
        listing.see(href, resource.text.value(u"getetag"_s));
    }
    for (const store::SyncedCard &card : state.cards) {
        if (!present.contains(card.href))
            listing.gone.insert(card.href);
    }
    return true;
}

bool CardSync::pull(const QString &since, QString *token)
{
    const store::CardBookState state = store::readCardBook(m_connection, m_key);
    CardListing listing;
    for (const store::SyncedCard &card : state.cards)
        listing.knownEtag.insert(card.href, card.etag);
    // What changed since the token of the last sync; a server that has forgotten the token (or
    // a ctag, which is none) refuses, and the whole listing says it instead.
    if (isSyncToken(since) && !listSince(since, listing, token))
        return false;
    if (!listing.sinceToken && !listAll(state, listing))
        return false;
    if (!mayDelete(state, listing.gone, false))
        return false;
    QList<ServerCard> cards;
    if (!fetch(listing.changed, cards))
        return false;
    mergePulled(cards, state, listing.gone);
    return true;
}

void CardSync::mergePulled(
    const QList<ServerCard> &cards, const store::CardBookState &state, const QSet<QString> &gone)
{
    // Counted as kept only once the transaction that writes them commits.
    const int pulledBefore = m_result.pulled;
    store::Transaction transaction(m_connection);
    QHash<QString, BirthdayRecord> here = locals();
    const QHash<QString, QDateTime> changes = store::readCardChanges(m_connection);
    m_hrefUid.clear();
    for (const store::SyncedCard &card : state.cards)
        m_hrefUid.insert(card.href, card.uid);
    m_named.clear();
    for (auto it = here.cbegin(); it != here.cend(); ++it)
        m_named.insert(nameKey(*it), it.key());
    m_gone = gone;
    m_moved.clear();
    for (const ServerCard &card : cards)
        take(card, state, here, changes);
    deleteGone(state, gone, here);
    const int written = m_result.pulled - pulledBefore;
    m_result.pulled = pulledBefore;
    transaction.commit();
    m_result.pulled += written;
}

// Deleted on the server: gone here too, unless it changed here since, when the change puts it
// back.
void CardSync::deleteGone(const store::CardBookState &state, const QSet<QString> &gone,
    const QHash<QString, BirthdayRecord> &here)
{
    for (const store::SyncedCard &card : state.cards) {
        if (!gone.contains(card.href))
            continue;
        const auto local = here.constFind(card.uid);
        if (local != here.cend() && fieldsOf(*local) == card.fields) {
            const qint32 id = local->Id;
            check(store::DeleteBirthsFromMdb(m_connection, std::span(&id, 1), m_options.now) == 1);
            store::clearCardChange(m_connection, card.uid);
            ++m_result.pulled;
        }
        store::forgetSyncedCard(m_connection, m_key, card.uid);
    }
}

QList<Task> CardSync::planPush(store::CardBookState &state, Unkept &unkept)
{
    QList<Task> tasks;
    store::Transaction transaction(m_connection);
    const QHash<QString, BirthdayRecord> here = locals();
    state = store::readCardBook(m_connection, m_key);
    const QHash<QString, QDateTime> changes = store::readCardChanges(m_connection);
    for (const BirthdayRecord &record : here) {
        const QString uid = uidOf(record);
        const Fields fields = fieldsOf(record);
        const auto base = state.cards.constFind(uid);
        if (base != state.cards.cend() && base->fields == fields) {
            if (changes.contains(uid))
                store::clearCardChange(m_connection, uid); // changed and changed back
            continue;
        }
        const QDateTime changed = changes.value(uid, m_options.now);
        if (base == state.cards.cend()) {
            tasks.append({ Op::Put, uid, absolute(uid + u".vcf"_s), {}, fields,
                cardBytes(record, changed, nullptr, {}), {}, changed });
            continue;
        }
        const QByteArray serverCard = store::readSyncedCardData(m_connection, m_key, uid);
        if (serverCard.isEmpty())
            unkept.insert(base->href, { tasks.size(), &*base });
        tasks.append({ Op::Put, uid, base->href, base->etag, fields,
            cardBytes(record, changed, &*base, serverCard), base->cardUid, changed });
    }
    for (const store::SyncedCard &card : state.cards) {
        if (!here.contains(card.uid))
            tasks.append({ Op::Delete, card.uid, card.href, card.etag, {}, {}, {}, {} });
    }
    transaction.commit();
    return tasks;
}

bool CardSync::push(const SyncProgress &progress, int &refused)
{
    Unkept unkept;
    store::CardBookState state; // what unkept points into
    QList<Task> tasks = planPush(state, unkept);
    if (!patchUnkept(tasks, unkept))
        return false;
    qint64 done = 0;
    for (qsizetype start = 0; start < tasks.size(); start += BatchSize) {
        const QList<Task> batch = tasks.mid(start, BatchSize);
        if (!sendBatch(batch, refused))
            return false;
        done += batch.size();
        if (progress)
            progress(done, tasks.size());
        if (m_client.stopped()) {
            m_result.stopped = true;
            m_result.error = u"已停止"_s;
            return false;
        }
    }
    return true;
}

namespace {

DavRequest cardRequest(const Task &task)
{
    DavRequest request { task.op == Op::Put ? "PUT" : "DELETE", QUrl(task.href), task.data, {} };
    if (task.op == Op::Put)
        request.headers.append({ "Content-Type"_ba, "text/vcard; charset=utf-8"_ba });
    if (task.etag.isEmpty() && task.op == Op::Put)
        request.headers.append({ "If-None-Match"_ba, "*"_ba });
    else if (!task.etag.isEmpty())
        request.headers.append({ "If-Match"_ba, task.etag.toLatin1() });
    return request;
}

} // namespace

bool CardSync::sendBatch(const QList<Task> &batch, int &refused)
{
    QList<DavRequest> requests;
    for (const Task &task : batch)
        requests << cardRequest(task);
    const QList<DavReply> replies = m_client.sendAll(requests);
    std::optional<DavReply> failure;
    store::Transaction transaction(m_connection);
    for (qsizetype i = 0; i < batch.size(); ++i) {
        const Task &task = batch[i];
        const DavReply &reply = replies[i];
        const bool gone = reply.status == 404 || reply.status == 410;
        if (task.op == Op::Delete && (reply.ok() || gone)) {
            store::forgetSyncedCard(m_connection, m_key, task.uid);
        } else if (task.op == Op::Put && reply.ok()) {
            store::writeSyncedCard(m_connection, m_key,
                { task.uid, task.href, reply.etag, task.fields, task.cardUid, task.changed },
                task.data);
        } else if (reply.status == 412 || gone) {
            // Changed or removed there since we listed it: the next pull merges it.
            ++refused;
            continue;
        } else {
            failure = reply;
            continue;
        }
        store::clearCardChange(m_connection, task.uid);
        ++m_result.pushed;
    }
    transaction.commit();
    return failure ? fail(*failure) : true;
}

// A card whose server version this file never kept is fetched first, so that the change is
// patched into it rather than replacing what a phone added. One the server no longer serves
// goes whole; its If-Match settles the rest.
bool CardSync::patchUnkept(QList<Task> &tasks, const Unkept &unkept)
{
    if (unkept.isEmpty())
        return true;
    QList<ServerCard> cards;
    if (!fetch(unkept.keys(), cards))
        return false;
    for (const ServerCard &card : std::as_const(cards)) {
        const auto found = unkept.constFind(card.href);
        if (found == unkept.cend())
            continue;
        Task &task = tasks[found->first];
        BirthdayRecord record;
        setFields(record, task.fields);
        record.Uid = QUuid::fromString(task.uid);
        task.data = cardBytes(record, task.changed, found->second, card.data);
    }
    return true;
}

bool CardSync::run(const SyncProgress &progress)
{
    if (m_options.deletions == DeletionChoice::RestoreServer)
        forgetBook();
    QString before;
    if (!version(before, true))
        return false;
    const QString synced = store::readCardBook(m_connection, m_key).version;
    bool listed = false;
    if (before.isEmpty() || before != synced) {
        if (!pull(synced))
            return false;
        listed = true;
    }
    int refused = 0;
    if (!push(progress, refused))
        return false;
    // A card changed there between our listing and our write: merge it and write once more.
    if (refused > 0) {
        refused = 0;
        if (!pull({}) || !push(progress, refused))
            return false;
        listed = true;
    }
    // A sync-token read after our writes would also cover cards other computers put meanwhile,
    // which this sync never fetched: they would be missed for good. So what changed since the
    // token from before is asked for instead, our own writes heard back with their ETags known,
    // and the token of that answer kept. A ctag tells nothing of what changed: there the one
    // after is kept.
    QString after = before;
    if (m_result.pushed > 0 && isSyncToken(before)) {
        QString token;
        if (!pull(before, &token))
            return false;
        after = token.isEmpty() ? before : token;
        listed = true;
    } else if (m_result.pushed > 0 && !version(after)) {
        return false;
    }
    // Still unsettled, or a card could not be read: the next sync lists the collection again
    // and asks for that card once more.
    if (refused > 0 || !m_unreadable.isEmpty())
        after.clear();
    if (after != synced || listed)
        store::writeCardBookVersion(m_connection, m_key, after);
    if (refused > 0) {
        m_result.unwritten = refused;
        m_result.error = u"%1个未能写入服务器, 下次同步时重试"_s.arg(refused);
        return false;
    }
    return true;
}

} // namespace natalis::sync::cards

namespace natalis::sync {

CardSyncResult syncAddressBook(store::Connection &connection, DavClient &client,
    const CardSyncOptions &options, const SyncProgress &progress)
{
    CardSyncResult result;
    const TransportCheck transport = checkTransport(options.addressBook);
    result.warning = transport.warning;
    if (!transport.allowed) {
        result.error = transport.refusal;
        return result;
    }
    try {
        store::createCardSync(connection);
        cards::CardSync sync(connection, client, options, result);
        result.ok = sync.run(progress);
    } catch (const store::DbException &exception) {
        result.ok = false;
        result.error = u"数据库错误: "_s + store::failureCauseOrDescription(exception.error());
    }
    result.birthdaysWritten = result.birthdaysWritten || result.pulled > 0;
    result.requests = client.requestCount();
    return result;
}

QString conflictText(const store::CardConflict &conflict)
{
    const auto shown = [](QString value) { return value.replace(u'|', u' ').trimmed(); };
    return u"%1 %2: 保留「%3」, 覆盖了%4的「%5」"_s.arg(conflict.name, conflict.field,
        shown(conflict.kept), conflict.serverLost ? u"服务器"_s : u"本机"_s, shown(conflict.lost));
}

} // namespace natalis::sync
