#include "store/birthdays.h"

#include "store/cardsync.h"
#include "store/categories.h"
#include "store/connection.h"
#include "store/entrykind.h"
#include "store/phonenumber.h"
#include "store/statement.h"
#include "store/transaction.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <numeric>
#include <optional>
#include <sqlcipher/sqlite3.h>
#include <string>

using namespace Qt::StringLiterals;

namespace natalis::store {

namespace {

using TextRef = BirthdayList::TextRef;

// Converts a stored text into the list's buffer, cut to its in-memory width without splitting a
// surrogate pair, and returns its length there; nothing is kept until the caller commits it.
// Bytes that are not UTF-8 become U+FFFD, as QString::fromUtf8 makes them.
qsizetype decodeAtTail(BirthdayList &list, QByteArrayView utf8, int width)
{
    // A UTF-8 text never has more UTF-16 units than bytes.
    char16_t *out = list.textTail(utf8.size());
    qsizetype length = 0;
    const auto *bytes = reinterpret_cast<const uchar *>(utf8.data());
    while (length < utf8.size() && bytes[length] < 0x80) {
        out[length] = bytes[length];
        ++length;
    }
    if (length < utf8.size()) {
        // Each text on its own: an unfinished sequence at one text's end is not carried over.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
        length = decoder.appendToBuffer(reinterpret_cast<QChar *>(out), utf8)
            - reinterpret_cast<QChar *>(out);
    }
    if (length > width) {
        if (QChar::isHighSurrogate(out[width - 1]))
            --width;
        length = width;
    }
    return length;
}

TextRef ownText(BirthdayList &list, QByteArrayView utf8, int width)
{
    return utf8.isEmpty() ? TextRef() : list.commitText(decodeAtTail(list, utf8, width));
}

// Most columns repeat from row to row: the category, rule and flags always, and in a long list
// the dates, classes, companies and addresses too. A text already held is shared rather than
// stored again, which saves its conversion and keeps a large list small. Texts are kept cut to
// the column's width, so a shared text is never cut again.
class SharedTexts
{
public:
    SharedTexts(BirthdayList &list, int width) : m_list(list), m_width(width) { }

    TextRef get(QByteArrayView utf8)
    {
        if (utf8.isEmpty())
            return {};
        if (m_used > TrialTexts && m_used > m_shared)
            return ownText(m_list, utf8, m_width); // a column of texts of their own
        bool room = 2 * (m_used + 1) <= qsizetype(m_slots.size());
        if (!room && qsizetype(m_slots.size()) < MaxSlots) {
            grow();
            room = true;
        }
        const size_t hash = qHash(utf8, 0);
        const size_t mask = m_slots.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot &slot = m_slots[i];
            if (slot.text.length == 0) {
                const TextRef text = ownText(m_list, utf8, m_width);
                if (room && text.length > 0) {
                    slot = { hash, m_bytes.size(), utf8.size(), text };
                    m_bytes.append(utf8);
                    ++m_used;
                }
                return text;
            }
            // Equal bytes make equal texts; texts that differ only in bytes that are not
            // UTF-8 are held apart, which costs room, never a wrong text.
            if (slot.hash == hash && QByteArrayView(m_bytes).sliced(slot.at, slot.bytes) == utf8) {
                ++m_shared;
                return slot.text;
            }
        }
    }

private:
    // The table's cap: once it is half full, texts already held are still shared and new ones
    // are stored afresh, so that a list of millions does not grow the table without end.
    static constexpr qsizetype MaxSlots = 1 << 18;
    // A column that shares fewer texts than it has seen after this many stops looking: names,
    // numbers and remarks are mostly their own, and the lookups would cost more than they save.
    static constexpr qsizetype TrialTexts = 2048;

    struct Slot
    {
        size_t hash = 0;
        qsizetype at = 0; // where the stored bytes lie in m_bytes
        qsizetype bytes = 0;
        TextRef text; // empty: the slot is free
    };

    void grow()
    {
        std::vector<Slot> old(qMax<size_t>(64, 2 * m_slots.size()));
        old.swap(m_slots);
        const size_t mask = m_slots.size() - 1;
        for (Slot &slot : old) {
            if (slot.text.length == 0)
                continue;
            size_t i = slot.hash & mask;
            while (m_slots[i].text.length != 0)
                i = (i + 1) & mask;
            m_slots[i] = slot;
        }
    }

    BirthdayList &m_list;
    int m_width;
    std::vector<Slot> m_slots;
    // The stored bytes of the texts in the table, compared as they come rather than converted.
    QByteArray m_bytes;
    qsizetype m_used = 0;
    qsizetype m_shared = 0; // lookups that found their text
};

// Beyond this the array grows as it goes rather than claim address space for rows that a
// sparse range of Ids may not hold.
constexpr qint64 MaxReservedRows = 200'000;

// Stable grouping by category name in the byte order of its UTF-8 text, the engine's own text
// order: rows read in Id order come out ordered by category, then Id.
void groupByCategory(BirthdayList &list)
{
    QList<TextRef> types;
    QList<int> typeOf(list.size());
    for (qsizetype i = 0; i < list.size(); ++i) {
        const TextRef type = list.textRef(i, BirthdayText::Type);
        qsizetype t = 0;
        while (t < types.size() && types[t].offset != type.offset
            && list.textAt(types[t]) != list.textAt(type))
            ++t;
        if (t == types.size())
            types.append(type);
        typeOf[i] = int(t);
    }
    if (types.size() < 2)
        return;
    QList<int> byText(types.size());
    std::iota(byText.begin(), byText.end(), 0);
    std::sort(byText.begin(), byText.end(), [&](int a, int b) {
        return list.textAt(types[a]).toUtf8() < list.textAt(types[b]).toUtf8();
    });
    QList<qsizetype> start(types.size());
    QList<qsizetype> count(types.size(), 0);
    for (int t : typeOf)
        ++count[t];
    qsizetype next = 0;
    for (int t : byText) {
        start[t] = next;
        next += count[t];
    }
    // Where each place's row comes from.
    QList<qsizetype> source(list.size());
    for (qsizetype i = 0; i < list.size(); ++i)
        source[start[typeOf[i]]++] = i;
    list.reorder(source);
}

int runGuarded(auto &&work)
{
    try {
        work();
        return 1;
    } catch (const DbException &) {
        return -1;
    }
}

// Files made before birthdays had Uids lack the column: they are read as having none.
bool hasUidColumn(Connection &connection)
{
    return connection.hasColumn("birthday", u"strUid");
}

void ensureUidColumn(Connection &connection)
{
    if (!hasUidColumn(connection))
        connection.exec("alter table birthday add column [strUid] text default ''");
}

// Files made before kinds, several days and the leap rule lack their columns: they read as a
// birthday reminding intNums days ahead on the regular month, as such files always did.
bool hasKindColumns(Connection &connection)
{
    return connection.hasColumn("birthday", u"LeapRule");
}

// A write to a file from before a column existed adds it then and tries again, rather than look
// for the columns at every one of an import's thousands of writes.
void writeAddingColumns(Connection &connection, auto &&write)
{
    try {
        write();
    } catch (const DbException &) {
        if (hasUidColumn(connection) && hasKindColumns(connection))
            throw;
        ensureBirthdayColumns(connection);
        write();
    }
}

// The stored kind as its code, without a text made for each row.
EntryKind storedKind(QByteArrayView utf8)
{
    const QUtf8StringView text(utf8.data(), utf8.size());
    for (EntryKind kind : { EntryKind::Anniversary, EntryKind::Memorial }) {
        if (QAnyStringView::equal(text, entryKindText(kind)))
            return kind;
    }
    return EntryKind::Birthday;
}

LeapMonthRule storedLeapRule(QByteArrayView utf8)
{
    const QUtf8StringView text(utf8.data(), utf8.size());
    return QAnyStringView::equal(text, leapMonthRuleText(LeapMonthRule::Skip))
        ? LeapMonthRule::Skip
        : LeapMonthRule::RegularMonth;
}

QString uidText(const QUuid &uid)
{
    return (uid.isNull() ? QUuid::createUuid() : uid).toString(QUuid::WithoutBraces);
}

// Queues the row for the address-book sync, inside the write's own transaction, so that a
// change is never stored without being queued nor queued without being stored.
void queueRowChange(Connection &connection, qint32 id, const QDateTime &now)
{
    if (!queuesCardChanges(connection) || !hasUidColumn(connection))
        return;
    Statement &select = connection.cached("select strUid from birthday where Id=?");
    select.bind(1, id);
    const QString uid = select.step() ? select.text(0) : QString();
    select.reset();
    queueCardChange(connection, uid, now);
}

void requireChangedRow(Connection &connection, qint32 id)
{
    if (connection.changes() == 0)
        connection.fail(
            { u"natalis"_s, SQLITE_NOTFOUND, u"no birthday with Id "_s + QString::number(id) });
}

} // namespace

void ensureBirthdayColumns(Connection &connection)
{
    ensureUidColumn(connection);
    const std::pair<QStringView, const char *> columns[] = {
        { u"Kind", "alter table birthday add column [Kind] text not null default '生日'" },
        { u"RemindDays", "alter table birthday add column [RemindDays] text not null default ''" },
        { u"LeapRule", "alter table birthday add column [LeapRule] text not null default '平月'" },
    };
    for (const auto &[name, sql] : columns) {
        if (!connection.hasColumn("birthday", name))
            connection.exec(sql);
    }
}

BirthdayLoad LoadBirthdays(Connection &connection, BirthdayList storage)
{
    BirthdayLoad load;
    storage.clear();
    load.Birthdays = std::move(storage);
    BirthdayList &list = load.Birthdays;
    try {
        // Id is the row key, so this is a plain table scan; the grouping by category is done
        // in memory, which costs far less than the engine's sort of whole rows.
        const std::string sql =
            std::string("select Id,About,Type,Sex,Tel,strGL,strNL,blnIsGL,intnums,Duanxin,Class,"
                        "Beizhu,QQ_MSN,Company,Address,[No],DxSend,")
            + (hasUidColumn(connection) ? "strUid" : "''")
            + (hasKindColumns(connection) ? ",Kind,RemindDays,LeapRule" : ",'','',''")
            + " from birthday order by Id";
        Statement select = connection.prepare(sql);
        // Room for every row up front: growing the array moves all rows each time. The
        // highest Id bounds the row count; room beyond the rows is never touched, so it costs
        // address space only.
        Statement highestId = connection.prepare("select max(Id) from birthday");
        if (highestId.step())
            list.reserve(qBound(qint64(0), highestId.integer(0), MaxReservedRows));
        SharedTexts types(list, BirthdayWidths::Type), sexes(list, BirthdayWidths::Sex),
            rules(list, BirthdayWidths::blnIsGL), sms(list, BirthdayWidths::Duanxin),
            classes(list, BirthdayWidths::Class), sent(list, BirthdayWidths::DxSend),
            gregorian(list, BirthdayWidths::strGL), lunar(list, BirthdayWidths::strNL),
            companies(list, BirthdayWidths::Company), addresses(list, BirthdayWidths::Address),
            remindDays(list, BirthdayWidths::Days);
        std::optional<TextRef> noSms;
        std::array<TextRef, BirthdayTextCount> texts;
        const auto at = [&texts](BirthdayText field) -> TextRef & { return texts[int(field)]; };
        while (select.step()) {
            for (int column : { 0, 8 }) {
                if (select.isNull(column))
                    connection.fail({ u"natalis"_s, SQLITE_MISMATCH,
                        column == 0 ? u"birthday.Id is NULL"_s : u"birthday.intnums is NULL"_s });
            }
            at(BirthdayText::About) = ownText(list, select.utf8(1), BirthdayWidths::About);
            at(BirthdayText::Type) = types.get(select.utf8(2));
            at(BirthdayText::Sex) = sexes.get(select.utf8(3));
            at(BirthdayText::Tel) = ownText(list, select.utf8(4), BirthdayWidths::Tel);
            at(BirthdayText::strGL) = gregorian.get(select.utf8(5));
            at(BirthdayText::strNL) = lunar.get(select.utf8(6));
            at(BirthdayText::blnIsGL) = rules.get(select.utf8(7));
            at(BirthdayText::Duanxin) = sms.get(select.utf8(9));
            at(BirthdayText::Class) = classes.get(select.utf8(10));
            at(BirthdayText::Beizhu) = ownText(list, select.utf8(11), BirthdayWidths::Beizhu);
            at(BirthdayText::QQ_MSN) = ownText(list, select.utf8(12), BirthdayWidths::QQ_MSN);
            at(BirthdayText::Company) = companies.get(select.utf8(13));
            at(BirthdayText::Address) = addresses.get(select.utf8(14));
            at(BirthdayText::No) = ownText(list, select.utf8(15), BirthdayWidths::No);
            at(BirthdayText::DxSend) = sent.get(select.utf8(16));
            at(BirthdayText::Days) = remindDays.get(select.utf8(19));
            QUuid uid;
            if (const QByteArrayView text = select.utf8(17); !text.isEmpty())
                uid = QUuid::fromString(QAnyStringView(text));
            if (!IsPhoneNumber(list.textAt(at(BirthdayText::Tel)))) {
                if (!noSms)
                    noSms = list.addText(u"否");
                at(BirthdayText::Duanxin) = *noSms;
            }
            list.appendRow(qint32(select.integer(0)), qint16(select.integer(8)), uid, texts,
                storedKind(select.utf8(18)), storedLeapRule(select.utf8(20)));
        }
    } catch (const DbException &e) {
        load.error = e.error();
    }
    groupByCategory(list);
    list.squeeze();
    load.HasBirthdays = !list.isEmpty();
    if (!load.HasBirthdays)
        list.append(BirthdayRecord {});
    return load;
}

bool birthdayNameInTable(Connection &connection, QStringView category, QStringView name)
{
    const auto listOf = [](QStringView type) { return qMax(categoryIndex(type.trimmed()), 0); };
    try {
        Statement select = connection.prepare("select Type from birthday where trim(About)=?");
        select.bind(1, name.trimmed().toString());
        while (select.step()) {
            if (listOf(select.text(0)) == listOf(category))
                return true;
        }
    } catch (const DbException &) {
    }
    return false;
}

qint32 AddBirthToMdb(Connection &connection, const BirthdayRecord &r, const QDateTime &now)
{
    qint32 id = -1;
    runGuarded([&] {
        // An import adds rows by the thousand: the bracket is paid only when there is a queue.
        const bool queued = queuesCardChanges(connection);
        std::optional<Transaction> transaction;
        if (queued)
            transaction.emplace(connection);
        const QString uid = uidText(r.Uid);
        const auto insert = [&] {
            connection
                .cached("insert into birthday([About],[Type],[Tel],[Beizhu],[strGL],[strNL],"
                        "[blnIsGL],[intnums],[Duanxin],[Sex],[Class],[QQ_MSN],[Company],"
                        "[Address],[No],[DxSend],[strUid],[Kind],[RemindDays],[LeapRule]) "
                        "values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
                .bindAll(r.About, r.Type, r.Tel, r.Beizhu, r.strGL, r.strNL, r.blnIsGL,
                    int(r.intNums), r.Duanxin, r.Sex, r.Class, r.QQ_MSN, r.Company, r.Address, r.No,
                    r.DxSend, uid, r.Kind, r.Days, r.LeapRule)
                .run();
        };
        writeAddingColumns(connection, insert);
        // The row just inserted, not a lookup by name: names repeat after imports.
        const qint32 added = qint32(connection.lastInsertRowId());
        if (queued) {
            queueCardChange(connection, uid, now);
            transaction->commit();
        }
        id = added;
    });
    return id;
}

int assignMissingBirthdayUids(Connection &connection)
{
    int assigned = 0;
    const int result = runGuarded([&] {
        Transaction transaction(connection);
        ensureUidColumn(connection);
        QList<qint32> ids;
        Statement missing =
            connection.prepare("select Id from birthday where strUid is null or strUid=''");
        while (missing.step())
            ids.append(qint32(missing.integer(0)));
        Statement &give = connection.cached("update birthday set strUid=? where Id=?");
        for (qint32 id : ids) {
            give.bindAll(uidText(QUuid()), id).run();
            give.reset();
        }
        transaction.commit();
        assigned = int(ids.size());
    });
    return result == 1 ? assigned : -1;
}

bool lacksBirthdayUids(Connection &connection, const BirthdayList &birthdays)
{
    if (connection.isReadOnly())
        return false;
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        if (birthdays.uid(i).isNull())
            return true;
    }
    return false;
}

int DeleteBirthsFromMdb(Connection &connection, std::span<const qint32> ids, const QDateTime &now)
{
    return runGuarded([&] {
        Transaction transaction(connection);
        Statement &remove = connection.cached("delete from [birthday] where Id=?");
        for (qint32 id : ids) {
            queueRowChange(connection, id, now);
            remove.bind(1, id).run();
            remove.reset();
        }
        transaction.commit();
    });
}

int UpdateBirthInMdb(Connection &connection, const BirthdayRecord &r, const QDateTime &now)
{
    return runGuarded([&] {
        Transaction transaction(connection);
        writeAddingColumns(connection, [&] {
            connection
                .cached("update birthday set [About]=?,[Type]=?,[Tel]=?,[Beizhu]=?,[strGL]=?,"
                        "[strNL]=?,[blnIsGL]=?,[intnums]=?,[Duanxin]=?,[Sex]=?,[Class]=?,"
                        "[QQ_MSN]=?,[Company]=?,[Address]=?,[No]=?,[Kind]=?,[RemindDays]=?,"
                        "[LeapRule]=? where Id=?")
                .bindAll(r.About, r.Type, r.Tel, r.Beizhu, r.strGL, r.strNL, r.blnIsGL,
                    int(r.intNums), r.Duanxin, r.Sex, r.Class, r.QQ_MSN, r.Company, r.Address, r.No,
                    r.Kind, r.Days, r.LeapRule, r.Id)
                .run();
        });
        requireChangedRow(connection, r.Id);
        queueRowChange(connection, r.Id, now);
        transaction.commit();
    });
}

int changeBirthdayUid(Connection &connection, qint32 id, const QUuid &uid)
{
    return runGuarded([&] {
        connection.cached("update birthday set strUid=? where Id=?")
            .bindAll(uidText(uid), id)
            .run();
        requireChangedRow(connection, id);
    });
}

int putBirthdayStates(
    Connection &connection, std::span<const BirthdayState> states, const QDateTime &now)
{
    return runGuarded([&] {
        Transaction transaction(connection);
        for (const BirthdayState &state : states) {
            std::optional<qint32> id;
            Statement &find = connection.cached("select Id from birthday where strUid=?");
            find.bind(1, uidText(state.uid));
            if (find.step())
                id = qint32(find.integer(0));
            find.reset();
            if (!state.record) {
                // An undone add is a deletion like any other: the address book learns of it, and
                // an edit made meanwhile on another computer is weighed against its time.
                if (id && DeleteBirthsFromMdb(connection, std::span(&*id, 1), now) != 1)
                    connection.fail(connection.lastError());
                continue;
            }
            BirthdayRecord record = *state.record;
            record.Uid = state.uid;
            if (id) {
                record.Id = *id;
                if (UpdateBirthInMdb(connection, record, now) != 1)
                    connection.fail(connection.lastError());
            } else if (AddBirthToMdb(connection, record, now) < 1) {
                connection.fail(connection.lastError());
            }
        }
        transaction.commit();
    });
}

int BatchUpdateBirths(Connection &connection, qint16 days, std::span<const qint32> firstIds,
    bool useFirst, std::span<const qint32> secondIds, bool useSecond, const QDateTime &now)
{
    return runGuarded([&] {
        Transaction transaction(connection);
        // The one day given replaces any list of days: intnums alone then says when to remind.
        ensureBirthdayColumns(connection);
        Statement &update = connection.cached(
            "update birthday set [intnums]=?,[RemindDays]='',[Duanxin]=? where Id=?");
        auto apply = [&](std::span<const qint32> ids, const QString &duanxin) {
            for (qint32 id : ids) {
                update.bindAll(int(days), duanxin, id).run();
                update.reset();
                queueRowChange(connection, id, now);
            }
        };
        if (useFirst)
            apply(firstIds, u"是"_s);
        if (useSecond)
            apply(secondIds, u"否"_s);
        transaction.commit();
    });
}

bool MarkSmsSent(Connection &connection, std::span<const qint32> ids)
{
    if (ids.empty())
        return true;
    return runGuarded([&] {
        Transaction transaction(connection);
        Statement &mark = connection.cached("update birthday set DxSend='1' where Id=?");
        for (qint32 id : ids) {
            mark.bind(1, id).run();
            mark.reset();
        }
        transaction.commit();
    }) == 1;
}

void clearSmsSent(Connection &connection, std::span<const qint32> ids)
{
    if (ids.empty())
        return;
    try {
        Transaction transaction(connection);
        Statement &clear = connection.cached("update birthday set DxSend='0' where Id=?");
        for (qint32 id : ids) {
            try {
                clear.bind(1, id).run();
            } catch (const DbException &) {
            }
            clear.reset();
        }
        transaction.commit();
    } catch (const DbException &) {
    }
}

} // namespace natalis::store
