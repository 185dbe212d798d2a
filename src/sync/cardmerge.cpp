#include "store/birthdays.h"
#include "store/connection.h"
#include "sync/cardsyncrun.h"
#include "transfer/importinsert.h"
#include "transfer/vcardimport.h"

using namespace Qt::StringLiterals;

namespace natalis::sync::cards {

std::optional<CardSync::Incoming> CardSync::readIncoming(const ServerCard &card,
    const store::CardBookState &state, const QHash<QString, QDateTime> &changes)
{
    const transfer::VcardImportReading reading =
        transfer::readVcardImportBytes(card.data, QString(), m_options.category);
    // An ordinary contact: not a birthday of ours, and it stays the server's alone.
    if (reading.reading.records.isEmpty())
        return std::nullopt;
    const transfer::ImportRecord &read = reading.reading.records.first();
    Incoming in;
    in.server = transfer::storedBirthday(read);
    in.server.Uid = !read.uid().isNull() ? read.uid()
        : !in.server.Uid.isNull()        ? in.server.Uid
                                         : hrefUid(card.href);
    // A card linked to a birthday of another Uid stays linked to it, whatever UID it carries.
    if (const auto linked = m_hrefUid.constFind(card.href); linked != m_hrefUid.cend())
        in.server.Uid = QUuid::fromString(*linked);
    in.uid = uidOf(in.server);
    in.cardKey = in.uid;
    in.namesCategory = reading.namedCategory.value(0);
    if (const auto base = state.cards.constFind(in.uid); base != state.cards.cend())
        in.base = &*base;
    if (in.base && lacksOwnFields(card.data))
        keepDroppedFields(in.server, in.base->fields);
    in.synced = in.base ? &in.base->fields : nullptr;
    in.ourTime = changes.value(in.uid);
    return in;
}

void CardSync::pairWithRow(Incoming &in, const ServerCard &card, const store::CardBookState &state,
    QHash<QString, BirthdayRecord> &locals, const QHash<QString, QDateTime> &changes)
{
    // The same birthday entered on two computers (or on a phone) before either synced: a second
    // row of the name would break the list's one-name rule and go to every other computer at the
    // next sync. (A card whose row was deleted here is not one: it comes back as its own.)
    const auto same = m_named.constFind(nameKey(in.server));
    if (const auto moved = m_moved.constFind(in.uid); moved != m_moved.cend()) {
        // The old card of a row that went over to another in this pull, changed there too: it
        // gives way as well.
        in.ourTime = changes.value(in.uid, in.base->changed);
        in.synced = nullptr;
        in.uid = *moved;
        in.replaced = true;
        return;
    }
    if (locals.contains(in.uid) || (in.base && changes.contains(in.uid)) || same == m_named.cend()
        || !locals.contains(*same))
        return;
    const auto mine = state.cards.constFind(*same);
    if (mine == state.cards.cend()) {
        // The row has no card yet: the card is linked to it, both versions merged as any
        // change made on both sides, and the link kept under the card's own address and
        // UID, so that neither side makes a second card or a second row of it.
        if (!in.base) {
            in.uid = *same;
            in.server.Uid = QUuid::fromString(in.uid);
            in.ourTime = changes.value(in.uid);
            m_named.erase(same);
        }
    } else if (mine->href != card.href) {
        settleTwoCards(in, card, *mine, locals, changes);
    }
}

void CardSync::settleTwoCards(Incoming &in, const ServerCard &card, const store::SyncedCard &mine,
    QHash<QString, BirthdayRecord> &locals, const QHash<QString, QDateTime> &changes)
{
    // Both computers put a card of it before either saw the other's. Each decides alone, and
    // alike: the card whose UID sorts first stays, the other is merged into it by the rule of a
    // change made on both sides and deleted from the server, and the row goes by the staying
    // card's Uid. When the row's own card is gone already, the other computer has done so and
    // the card is the merge it made.
    const bool mineGone = m_gone.contains(mine.href);
    in.theirsFirst = mineGone || cardIdentity(card.data, card.href) < cardIdentity(mine);
    in.ourTime = changes.value(mine.uid, mine.changed);
    in.synced = mineGone ? &mine.fields : nullptr;
    if (!in.theirsFirst) {
        in.uid = mine.uid;
        in.replaced = true;
        return;
    }
    BirthdayRecord moved = locals.take(mine.uid);
    check(store::changeBirthdayUid(m_connection, moved.Id, in.server.Uid) == 1);
    m_result.birthdaysWritten = true;
    if (changes.contains(mine.uid))
        store::queueCardChange(m_connection, in.uid, changes.value(mine.uid));
    store::clearCardChange(m_connection, mine.uid);
    moved.Uid = in.server.Uid;
    locals.insert(in.uid, moved);
    m_named.insert(nameKey(moved), in.uid);
    m_moved.insert(mine.uid, in.uid);
    // The row's old card, when still there, goes at the push: no birthday is its.
}

void CardSync::mergeIntoRow(
    const Incoming &in, BirthdayRecord &local, const Fields &theirs, const QDateTime &theirTime)
{
    const Fields ours = fieldsOf(local);
    const FieldMerge merge = mergeFields(
        ours, theirs, { in.synced, in.ourTime, theirTime, in.theirsFirst, m_options.now, in.uid });
    for (const store::CardConflict &conflict : merge.conflicts)
        store::addCardConflict(m_connection, conflict);
    m_result.conflicts << merge.conflicts;
    if (merge.merged != ours) {
        BirthdayRecord updated = local;
        setFields(updated, merge.merged);
        check(store::UpdateBirthInMdb(m_connection, updated, m_options.now) == 1);
        local = updated;
        ++m_result.pulled;
    }
    if (merge.merged == theirs && !in.replaced)
        store::clearCardChange(m_connection, in.uid);
}

void CardSync::take(const ServerCard &card, const store::CardBookState &state,
    QHash<QString, BirthdayRecord> &locals, const QHash<QString, QDateTime> &changes)
{
    std::optional<Incoming> in = readIncoming(card, state, changes);
    if (!in)
        return;
    pairWithRow(*in, card, state, locals, changes);
    const auto local = locals.find(in->uid);
    // A card that names none of our categories keeps the one it has here.
    if (!in->namesCategory) {
        if (in->base)
            in->server.Type = in->base->fields.value(u"生日类别"_s);
        else if (local != locals.end())
            in->server.Type = local->Type;
    }
    const Fields theirs = fieldsOf(in->server);
    QDateTime theirTime = revTime(card.data);
    if (!theirTime.isValid())
        theirTime = m_options.now.toUTC();
    if (local != locals.end()) {
        mergeIntoRow(*in, *local, theirs, theirTime);
    } else {
        // New to this file, or deleted here while it changed there: the change is the newer
        // news, and deleting it again is one click, losing it is not.
        const qint32 id = store::AddBirthToMdb(m_connection, in->server, m_options.now);
        check(id > 0);
        in->server.Id = id;
        locals.insert(in->uid, in->server);
        store::clearCardChange(m_connection, in->uid);
        ++m_result.pulled;
    }
    // A card that gives way is recorded under its own Uid, which no birthday here has: the push
    // deletes it, unless it changes there meanwhile, when the next pull merges it again.
    const QString recorded = in->replaced ? in->cardKey : in->uid;
    store::writeSyncedCard(m_connection, m_key,
        { recorded, card.href, card.etag, theirs, foreignCardUid(card.data, recorded), theirTime },
        card.data);
}

} // namespace natalis::sync::cards
