#include "sync/cardsync.h"

#include "store/birthdays.h"
#include "store/categories.h"
#include "store/connection.h"
#include "store/dberror.h"
#include "store/entrykind.h"
#include "store/reminddays.h"
#include "store/transaction.h"
#include "sync/addressbookdiscovery.h"
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

namespace natalis::sync {

namespace {

using store::BirthdayRecord;
using Fields = QMap<QString, QString>;

constexpr int BatchSize = 60;
constexpr int MultigetSize = 100;

// Names the Uid of a card that carries none, by its address, so that it is the same birthday
// at every sync.
const QUuid HrefUidSpace = QUuid::fromString(u"b3e0c0a4-5f0e-4d8e-9a55-0f6c2b8e4d17");

// The fields a card carries, by the editor's label. The dates and their rule are one field:
// each is derived from the others, and a merge must not pair one side's date with the other's.
struct FieldAccess
{
    QStringView label;
    QString (*get)(const BirthdayRecord &);
    void (*set)(BirthdayRecord &, const QString &);
};

#define NATALIS_TEXT_FIELD(label, member)                                                          \
    FieldAccess                                                                                    \
    {                                                                                              \
        label, [](const BirthdayRecord &r) { return r.member.trimmed(); },                         \
            [](BirthdayRecord &r, const QString &v) { r.member = v; }                              \
    }

const FieldAccess CardFields[] = {
    NATALIS_TEXT_FIELD(u"生日名称", About),
    NATALIS_TEXT_FIELD(u"生日类别", Type),
    NATALIS_TEXT_FIELD(u"联系方式", Tel),
    NATALIS_TEXT_FIELD(u"生日备注", Beizhu),
    // A kind or leap-month rule other than the default goes behind the dates, so that the
    // value a birthday was synced with before kinds stays what it is.
    { u"日期",
        [](const BirthdayRecord &r) {
            QString value =
                r.blnIsGL.trimmed() + u'|' + r.strGL.trimmed() + u'|' + r.strNL.trimmed();
            const store::EntryKind kind = store::entryKindOf(r.Kind);
            const store::LeapMonthRule leap = store::leapMonthRuleOf(r.LeapRule);
            if (kind != store::EntryKind::Birthday || leap != store::LeapMonthRule::RegularMonth)
                value += u'|' + store::entryKindText(kind) + u'|' + store::leapMonthRuleText(leap);
            return value;
        },
        [](BirthdayRecord &r, const QString &v) {
            const QStringList parts = v.split(u'|');
            r.blnIsGL = parts.value(0);
            r.strGL = parts.value(1);
            r.strNL = parts.value(2);
            r.Kind = store::entryKindText(store::entryKindOf(parts.value(3)));
            r.LeapRule = store::leapMonthRuleText(store::leapMonthRuleOf(parts.value(4)));
        } },
    { u"提醒天数",
        [](const BirthdayRecord &r) {
            return r.Days.trimmed().isEmpty() ? QString::number(r.intNums) : r.Days.trimmed();
        },
        [](BirthdayRecord &r, const QString &v) {
            const QList<qint16> days = store::remindDaysOf(v, qint16(v.toInt()));
            r.intNums = days.first();
            r.Days = store::remindDaysText(days);
        } },
    NATALIS_TEXT_FIELD(u"短信提醒", Duanxin),
    NATALIS_TEXT_FIELD(u"性别", Sex),
    NATALIS_TEXT_FIELD(u"部门/类别", Class),
    NATALIS_TEXT_FIELD(u"QQ/MSN", QQ_MSN),
    NATALIS_TEXT_FIELD(u"公司名称", Company),
    NATALIS_TEXT_FIELD(u"地址", Address),
    NATALIS_TEXT_FIELD(u"工号/卡号", No),
};

#undef NATALIS_TEXT_FIELD

Fields fieldsOf(const BirthdayRecord &record)
{
    Fields fields;
    for (const FieldAccess &field : CardFields)
        fields.insert(field.label.toString(), field.get(record));
    return fields;
}

void setFields(BirthdayRecord &record, const Fields &fields)
{
    for (const FieldAccess &field : CardFields)
        field.set(record, fields.value(field.label.toString()));
}

QString uidOf(const BirthdayRecord &record)
{
    return record.Uid.toString(QUuid::WithoutBraces);
}

// The fields only our own X- properties carry; the rule is the first part of the date field.
const QStringView OwnCardFields[] = { u"提醒天数", u"短信提醒", u"QQ/MSN", u"工号/卡号" };

// Every card we write carries the rule; one without it was written back by a program (a phone's
// contacts) that drops the properties it does not know.
bool lacksOwnFields(const QByteArray &card)
{
    const QList<transfer::Vcard> cards = transfer::parseVcards(card);
    return !cards.isEmpty() && !cards.first().first(transfer::VcardRuleProperty);
}

// What such a program dropped was not changed there: the card's record takes those fields from
// the last sync instead of the defaults a card without them reads as.
void keepDroppedFields(BirthdayRecord &record, const Fields &synced)
{
    for (const FieldAccess &field : CardFields) {
        if (std::find(std::begin(OwnCardFields), std::end(OwnCardFields), field.label)
            != std::end(OwnCardFields))
            field.set(record, synced.value(field.label.toString()));
    }
    // The rule, kind and leap-month rule travel in our own properties only.
    BirthdayRecord dated;
    for (const FieldAccess &field : CardFields) {
        if (field.label == u"日期")
            field.set(dated, synced.value(field.label.toString()));
    }
    record.blnIsGL = dated.blnIsGL;
    record.Kind = dated.Kind;
    record.LeapRule = dated.LeapRule;
}

// Names are unique within a list; a category outside the eight counts as the first, as the
// editor's check has it.
QString nameKey(const BirthdayRecord &record)
{
    return QString::number(qMax(store::categoryIndex(QStringView(record.Type).trimmed()), 0)) + u'|'
        + record.About.trimmed();
}

QString revText(const QDateTime &time)
{
    return time.toUTC().toString(u"yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"_s);
}

// REV as vCard writers send it: basic ("20261207T103000Z") or extended form, with or without
// fractions; invalid when absent or unreadable.
QDateTime revTime(const QByteArray &card)
{
    for (const QByteArray &line : card.split('\n')) {
        if (!line.toUpper().startsWith("REV"))
            continue;
        QString value = QString::fromUtf8(line.mid(line.indexOf(':') + 1)).trimmed();
        if (!value.contains(u'-') && value.size() >= 15)
            value = value.left(4) + u'-' + value.mid(4, 2) + u'-' + value.mid(6, 5) + u':'
                + value.mid(11, 2) + u':' + value.mid(13);
        QDateTime time = QDateTime::fromString(value, Qt::ISODateWithMs);
        if (!time.isValid())
            time = QDateTime::fromString(value, Qt::ISODate);
        return time.isValid() ? time.toUTC() : QDateTime();
    }
    return {};
}

// The UID a card carries when it is not the one we would write for uid; empty otherwise.
QString foreignCardUid(const QByteArray &data, const QString &uid)
{
    const QList<transfer::Vcard> cards = transfer::parseVcards(data);
    const transfer::VcardProperty *property =
        cards.isEmpty() ? nullptr : cards.first().first(u"UID");
    const QString value = property ? property->text().trimmed() : QString();
    return value.isEmpty() || value == u"urn:uuid:"_s + uid ? QString() : value;
}

// The UID a card goes by on every computer, for choosing between two cards of one birthday:
// the card's own UID, or its address when it has none.
QString cardIdentity(const QByteArray &data, const QString &href)
{
    const QList<transfer::Vcard> cards = transfer::parseVcards(data);
    const transfer::VcardProperty *property =
        cards.isEmpty() ? nullptr : cards.first().first(u"UID");
    const QString value = property ? property->text().trimmed() : QString();
    return value.isEmpty() ? QUrl(href).path() : value;
}

// The same for a card of the last sync, as this file wrote it.
QString cardIdentity(const store::SyncedCard &card)
{
    return card.cardUid.isEmpty() ? u"urn:uuid:"_s + card.uid : card.cardUid;
}

// A card the server holds is the user's: a change made here is patched into the version of the
// last sync (serverCard), against the fields that version read as. Only a card with no known
// server version is written whole.
QByteArray cardBytes(const BirthdayRecord &record, const QDateTime &changed,
    const store::SyncedCard *base, const QByteArray &serverCard)
{
    if (base && !serverCard.isEmpty()) {
        BirthdayRecord synced;
        setFields(synced, base->fields);
        return transfer::patchVcard(serverCard, synced, record, changed);
    }
    QByteArray card = transfer::buildVcards({ record });
    if (base && !base->cardUid.isEmpty())
        card.replace(transfer::foldContentLine(u"UID:urn:uuid:"_s + uidOf(record)),
            transfer::foldContentLine(u"UID:"_s + base->cardUid));
    // REV tells the other computers when this version was made, which a merge of a field changed
    // on both sides needs.
    card.insert(card.lastIndexOf("END:VCARD"), "REV:" + revText(changed).toLatin1() + "\r\n");
    return card;
}

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

// A whole vCard: one that begins and ends, not a truncated or foreign answer.
bool isWholeCard(const QByteArray &data)
{
    return data.trimmed().toUpper().endsWith("END:VCARD") && !transfer::parseVcards(data).isEmpty();
}

// address-data reaches us inside XML, whose parsers turn every CR LF into LF (XML 1.0 2.11);
// the card the server holds ends its lines in CR LF (RFC 6350 3.2), the last one included, which
// the reading of the answer trims; a patched card goes back so.
QByteArray withCrLf(const QByteArray &card)
{
    QByteArray lines;
    lines.reserve(card.size() + card.size() / 32);
    for (qsizetype i = 0; i < card.size(); ++i) {
        if (card[i] == '\n' && (i == 0 || card[i - 1] != '\r'))
            lines += '\r';
        lines += card[i];
    }
    if (!lines.endsWith('\n'))
        lines += "\r\n";
    return lines;
}

struct ServerCard
{
    QString href;
    QString etag;
    QByteArray data;
};

enum class Op { Put, Delete };

struct Task
{
    Op op;
    QString uid;
    QString href;
    QString etag; // empty for a card the server should not have yet
    Fields fields;
    QByteArray data;
    QString cardUid;
    QDateTime changed;
};

class CardSync
{
public:
    CardSync(store::Connection &connection, DavClient &client, const CardSyncOptions &options,
        CardSyncResult &result)
        : m_connection(connection), m_client(client), m_options(options),
          m_url(options.addressBook), m_key(m_url.toString()), m_result(result)
    {
        if (!m_url.path().endsWith(u'/'))
            m_url.setPath(m_url.path() + u'/');
    }

    bool run(const SyncProgress &progress);

private:
    bool fail(const DavReply &reply)
    {
        m_result.error = replyFailure(reply);
        m_result.stopped = m_client.stopped();
        return false;
    }
    QString absolute(const QString &href) const { return m_url.resolved(QUrl(href)).toString(); }
    // first: the sync's first look, which makes a collection the server has not (yet) had.
    bool version(QString &version, bool first = false);
    // False, with the result saying why, when the pull that found gone (hrefs of the last sync's
    // cards the server no longer has; every one when collectionGone) may not delete here.
    bool mayDelete(
        const store::CardBookState &state, const QSet<QString> &gone, bool collectionGone);
    void forgetBook();
    // token, when given, receives the sync-token the server's answer to since names, or nothing
    // when it listed the whole collection instead.
    bool pull(const QString &since, QString *token = nullptr);
    // The cards at hrefs by addressbook-multiget; a card the server cannot give, or gives as
    // something that is no vCard, is left out and named in the result's warning. False when the
    // server could not be asked.
    bool fetch(const QStringList &hrefs, QList<ServerCard> &cards);
    bool fetchPaths(const QStringList &paths, QList<ServerCard> &cards, QStringList &unreadable);
    QStringList m_unreadable; // the paths of the cards named so far in this sync
    void take(const ServerCard &card, const store::CardBookState &state,
        QHash<QString, BirthdayRecord> &locals, const QHash<QString, QDateTime> &changes);
    // Every birthday here by nameKey: a new card may be one of them.
    QHash<QString, QString> m_named;
    QHash<QString, QString> m_hrefUid; // the cards of the last sync: href -> uid
    QSet<QString> m_gone; // the hrefs of cards removed from the server since the last sync
    QHash<QString, QString> m_moved; // rows that took another card's Uid in this pull: old -> new
    // refused counts the cards the server refused as changed or removed there meanwhile.
    bool push(const SyncProgress &progress, int &refused);
    bool patchUnkept(QList<Task> &tasks,
        const QHash<QString, std::pair<qsizetype, const store::SyncedCard *>> &unkept);
    QHash<QString, BirthdayRecord> locals();
    void check(bool written)
    {
        if (!written)
            m_connection.fail(m_connection.lastError());
    }

    store::Connection &m_connection;
    DavClient &m_client;
    const CardSyncOptions &m_options;
    QUrl m_url;
    QString m_key;
    CardSyncResult &m_result;
};

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

void CardSync::take(const ServerCard &card, const store::CardBookState &state,
    QHash<QString, BirthdayRecord> &locals, const QHash<QString, QDateTime> &changes)
{
    const transfer::VcardImportReading reading =
        transfer::readVcardImportBytes(card.data, QString(), m_options.category);
    // An ordinary contact: not a birthday of ours, and it stays the server's alone.
    if (reading.reading.records.isEmpty())
        return;
    const transfer::ImportRecord &read = reading.reading.records.first();
    BirthdayRecord server = transfer::storedBirthday(read);
    server.Uid = !read.uid().isNull() ? read.uid()
        : !server.Uid.isNull()        ? server.Uid
                                      : QUuid::createUuidV5(HrefUidSpace, card.href);
    // A card linked to a birthday of another Uid stays linked to it, whatever UID it carries.
    if (const auto linked = m_hrefUid.constFind(card.href); linked != m_hrefUid.cend())
        server.Uid = QUuid::fromString(*linked);
    QString uid = uidOf(server);
    const QString cardKey = uid; // the card's own entry in the sync's record
    auto base = state.cards.constFind(uid);
    auto local = locals.find(uid);
    if (base != state.cards.cend() && lacksOwnFields(card.data))
        keepDroppedFields(server, base->fields);
    // What the merge weighs both sides against: the values of the last sync, or none.
    const Fields *synced = base != state.cards.cend() ? &base->fields : nullptr;
    QDateTime ourTime = changes.value(uid);
    bool theirsFirst = false; // on equal change times
    bool replaced = false; // the card gives way to the row's own and is deleted from the server
    // The same birthday entered on two computers (or on a phone) before either synced: a second
    // row of the name would break the list's one-name rule and go to every other computer at the
    // next sync. (A card whose row was deleted here is not one: it comes back as its own.)
    const auto same = m_named.constFind(nameKey(server));
    if (const auto moved = m_moved.constFind(uid); moved != m_moved.cend()) {
        // The old card of a row that went over to another in this pull, changed there too: it
        // gives way as well.
        ourTime = changes.value(uid, base->changed);
        synced = nullptr;
        uid = *moved;
        local = locals.find(uid);
        replaced = true;
    } else if (local == locals.end() && (base == state.cards.cend() || !changes.contains(uid))
        && same != m_named.cend() && locals.contains(*same)) {
        const auto mine = state.cards.constFind(*same);
        if (mine == state.cards.cend()) {
            // The row has no card yet: the card is linked to it, both versions merged as any
            // change made on both sides, and the link kept under the card's own address and
            // UID, so that neither side makes a second card or a second row of it.
            if (base == state.cards.cend()) {
                uid = *same;
                server.Uid = QUuid::fromString(uid);
                local = locals.find(uid);
                ourTime = changes.value(uid);
                m_named.erase(same);
            }
        } else if (mine->href != card.href) {
            // Both computers put a card of it before either saw the other's. Each decides alone,
            // and alike: the card whose UID sorts first stays, the other is merged into it by
            // the rule of a change made on both sides and deleted from the server, and the row
            // goes by the staying card's Uid. When the row's own card is gone already, the other
            // computer has done so and the card is the merge it made.
            const bool mineGone = m_gone.contains(mine->href);
            theirsFirst = mineGone || cardIdentity(card.data, card.href) < cardIdentity(*mine);
            ourTime = changes.value(*same, mine->changed);
            synced = mineGone ? &mine->fields : nullptr;
            if (theirsFirst) {
                BirthdayRecord moved = locals.take(*same);
                check(store::changeBirthdayUid(m_connection, moved.Id, server.Uid) == 1);
                m_result.birthdaysWritten = true;
                if (changes.contains(*same))
                    store::queueCardChange(m_connection, uid, changes.value(*same));
                store::clearCardChange(m_connection, *same);
                moved.Uid = server.Uid;
                local = locals.insert(uid, moved);
                m_named.insert(nameKey(moved), uid);
                m_moved.insert(mine->uid, uid);
                // The row's old card, when still there, goes at the push: no birthday is its.
            } else {
                uid = *same;
                local = locals.find(uid);
                replaced = true;
            }
        }
    }
    // A card that names none of our categories keeps the one it has here.
    if (!reading.namedCategory.value(0)) {
        if (base != state.cards.cend())
            server.Type = base->fields.value(u"生日类别"_s);
        else if (local != locals.end())
            server.Type = local->Type;
    }
    const Fields theirs = fieldsOf(server);
    QDateTime theirTime = revTime(card.data);
    if (!theirTime.isValid())
        theirTime = m_options.now.toUTC();

    if (local == locals.end()) {
        // New to this file, or deleted here while it changed there: the change is the newer
        // news, and deleting it again is one click, losing it is not.
        const qint32 id = store::AddBirthToMdb(m_connection, server, m_options.now);
        check(id > 0);
        server.Id = id;
        locals.insert(uid, server);
        store::clearCardChange(m_connection, uid);
        ++m_result.pulled;
    } else {
        const Fields ours = fieldsOf(*local);
        Fields merged = ours;
        for (auto it = theirs.cbegin(); it != theirs.cend(); ++it) {
            const QString mine = ours.value(it.key());
            if (mine == *it)
                continue;
            const bool oursChanged = !synced || synced->value(it.key()) != mine;
            const bool theirsChanged = !synced || synced->value(it.key()) != *it;
            if (!oursChanged) {
                merged[it.key()] = *it;
                continue;
            }
            if (!theirsChanged)
                continue;
            // A change here that was never queued is older than any the server reports.
            const bool theirsLater =
                !ourTime.isValid() || theirTime > ourTime || (theirTime == ourTime && theirsFirst);
            if (theirsLater)
                merged[it.key()] = *it;
            store::CardConflict conflict { m_options.now.toUTC(), uid, merged.value(u"生日名称"_s),
                it.key(), theirsLater ? *it : mine, theirsLater ? mine : *it, !theirsLater };
            store::addCardConflict(m_connection, conflict);
            m_result.conflicts << conflict;
        }
        if (merged != ours) {
            BirthdayRecord updated = *local;
            setFields(updated, merged);
            check(store::UpdateBirthInMdb(m_connection, updated, m_options.now) == 1);
            *local = updated;
            ++m_result.pulled;
        }
        if (merged == theirs && !replaced)
            store::clearCardChange(m_connection, uid);
    }
    // A card that gives way is recorded under its own Uid, which no birthday here has: the push
    // deletes it, unless it changes there meanwhile, when the next pull merges it again.
    store::writeSyncedCard(m_connection, m_key,
        { replaced ? cardKey : uid, card.href, card.etag, theirs,
            foreignCardUid(card.data, replaced ? cardKey : uid), theirTime },
        card.data);
}

bool CardSync::pull(const QString &since, QString *token)
{
    const store::CardBookState state = store::readCardBook(m_connection, m_key);
    QHash<QString, QString> knownEtag; // href -> etag
    for (const store::SyncedCard &card : state.cards)
        knownEtag.insert(card.href, card.etag);
    QStringList changed;
    QSet<QString> gone;
    const auto see = [&](const QString &href, const QString &etag) {
        if (!knownEtag.contains(href) || knownEtag.value(href) != etag || etag.isEmpty())
            changed << href;
    };
    // What changed since the token of the last sync; a server that has forgotten the token (or
    // a ctag, which is none) refuses, and the whole listing says it instead.
    bool delta = false;
    if (isSyncToken(since)) {
        const DavReply report = m_client.send({ "REPORT", m_url, syncCollectionBody(since), {} });
        if (report.status == 0)
            return fail(report);
        delta = report.status == 207;
        if (delta && token)
            *token = replyToken(report.body);
        for (const DavResource &resource : parseMultistatus(delta ? report.body : QByteArray())) {
            const QString href = absolute(resource.href);
            const QString etag = resource.text.value(u"getetag"_s);
            if (href == m_url.toString())
                continue;
            if (etag.isEmpty())
                gone.insert(href); // reported without properties: removed
            else
                see(href, etag);
        }
    }
    // An ETag listing over the client's cap (32 MB, well over 100,000 cards) ends the sync as
    // "服务器回复过大": no birthday list comes near it, so it is not asked for in pages.
    if (!delta) {
        const DavReply listing = m_client.send(
            { "PROPFIND", m_url, cardPropfindBody({ "d:getetag" }), { { "Depth", "1" } } });
        if (listing.status != 207)
            return fail(listing);
        QSet<QString> present;
        for (const DavResource &resource : parseMultistatus(listing.body)) {
            const QString href = absolute(resource.href);
            if (resource.collection || href == m_url.toString())
                continue;
            present.insert(href);
            see(href, resource.text.value(u"getetag"_s));
        }
        for (const store::SyncedCard &card : state.cards) {
            if (!present.contains(card.href))
                gone.insert(card.href);
        }
    }
    if (!mayDelete(state, gone, false))
        return false;
    QList<ServerCard> cards;
    if (!fetch(changed, cards))
        return false;

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
    for (const store::SyncedCard &card : state.cards) {
        if (!gone.contains(card.href))
            continue;
        // Deleted on the server: gone here too, unless it changed here since, when the change
        // puts it back.
        const auto local = here.constFind(card.uid);
        if (local != here.cend() && fieldsOf(*local) == card.fields) {
            const qint32 id = local->Id;
            check(store::DeleteBirthsFromMdb(m_connection, std::span(&id, 1), m_options.now) == 1);
            store::clearCardChange(m_connection, card.uid);
            ++m_result.pulled;
        }
        store::forgetSyncedCard(m_connection, m_key, card.uid);
    }
    const int written = m_result.pulled - pulledBefore;
    m_result.pulled = pulledBefore;
    transaction.commit();
    m_result.pulled += written;
    return true;
}

bool CardSync::push(const SyncProgress &progress, int &refused)
{
    QList<Task> tasks;
    // Cards synced before the server's versions were kept: by href, the task and its last sync.
    QHash<QString, std::pair<qsizetype, const store::SyncedCard *>> unkept;
    store::CardBookState state;
    {
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
    }
    if (!patchUnkept(tasks, unkept))
        return false;
    qint64 done = 0;
    for (qsizetype start = 0; start < tasks.size(); start += BatchSize) {
        const QList<Task> batch = tasks.mid(start, BatchSize);
        QList<DavRequest> requests;
        for (const Task &task : batch) {
            DavRequest request { task.op == Op::Put ? "PUT" : "DELETE", QUrl(task.href), task.data,
                {} };
            if (task.op == Op::Put)
                request.headers.append({ "Content-Type"_ba, "text/vcard; charset=utf-8"_ba });
            if (task.etag.isEmpty() && task.op == Op::Put)
                request.headers.append({ "If-None-Match"_ba, "*"_ba });
            else if (!task.etag.isEmpty())
                request.headers.append({ "If-Match"_ba, task.etag.toLatin1() });
            requests << request;
        }
        const QList<DavReply> replies = m_client.sendAll(requests);
        std::optional<DavReply> failure;
        {
            store::Transaction transaction(m_connection);
            for (qsizetype i = 0; i < batch.size(); ++i) {
                const Task &task = batch[i];
                const DavReply &reply = replies[i];
                const bool gone = reply.status == 404 || reply.status == 410;
                if (task.op == Op::Delete && (reply.ok() || gone)) {
                    store::forgetSyncedCard(m_connection, m_key, task.uid);
                } else if (task.op == Op::Put && reply.ok()) {
                    store::writeSyncedCard(m_connection, m_key,
                        { task.uid, task.href, reply.etag, task.fields, task.cardUid,
                            task.changed },
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
        }
        if (failure)
            return fail(*failure);
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

// A card whose server version this file never kept is fetched first, so that the change is
// patched into it rather than replacing what a phone added. One the server no longer serves
// goes whole; its If-Match settles the rest.
bool CardSync::patchUnkept(QList<Task> &tasks,
    const QHash<QString, std::pair<qsizetype, const store::SyncedCard *>> &unkept)
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

} // namespace

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
        CardSync sync(connection, client, options, result);
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
