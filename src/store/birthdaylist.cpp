#include "store/birthdaylist.h"

#include <cstring>

namespace natalis::store {

namespace {

constexpr std::array<QString BirthdayRecord::*, BirthdayTextCount> Members = {
    &BirthdayRecord::About, &BirthdayRecord::Type, &BirthdayRecord::Tel, &BirthdayRecord::Beizhu,
    &BirthdayRecord::strGL, &BirthdayRecord::strNL, &BirthdayRecord::blnIsGL,
    &BirthdayRecord::Duanxin, &BirthdayRecord::Sex, &BirthdayRecord::Class, &BirthdayRecord::QQ_MSN,
    &BirthdayRecord::Company, &BirthdayRecord::Address, &BirthdayRecord::DxSend,
    &BirthdayRecord::No, &BirthdayRecord::Days
};

using Pool = QTypedArrayData<char16_t>;

// Where the first text of a buffer goes: offset 0 stands for the empty text.
constexpr qsizetype FirstOffset = 1;

} // namespace

BirthdayList::BirthdayList(const QList<BirthdayRecord> &records)
{
    m_rows.reserve(records.size());
    for (const BirthdayRecord &record : records)
        append(record);
}

BirthdayList::BirthdayList(std::initializer_list<BirthdayRecord> records)
{
    m_rows.reserve(qsizetype(records.size()));
    for (const BirthdayRecord &record : records)
        append(record);
}

QString BirthdayList::copied(TextRef ref) const
{
    // A text of its own, not a window on the buffer: Qt gives a string that grows after sharing
    // a window as much room before its text as the window had, which here is the whole buffer.
    if (ref.length == 0)
        return QString();
    return QString(reinterpret_cast<const QChar *>(m_pool.ptr + ref.offset + 1), ref.length);
}

BirthdayRecord BirthdayList::at(qsizetype i) const
{
    const Row &row = m_rows[i];
    BirthdayRecord record;
    record.Id = row.id;
    record.intNums = row.days;
    record.Uid = row.uid;
    record.Kind = entryKindText(row.kind);
    record.LeapRule = leapMonthRuleText(row.leapRule);
    for (int field = 0; field < BirthdayTextCount; ++field)
        record.*Members[field] = copied(textRef(i, BirthdayText(field)));
    return record;
}

QList<BirthdayRecord> BirthdayList::toList() const
{
    QList<BirthdayRecord> records;
    records.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        records.append(at(i));
    return records;
}

BirthdayList BirthdayList::mid(qsizetype pos, qsizetype length) const
{
    BirthdayList part;
    part.m_rows = m_rows.mid(pos, length);
    part.m_pool = m_pool;
    part.m_claimed = m_claimed;
    return part;
}

void BirthdayList::clear()
{
    m_rows.clear();
    // A buffer that nothing else reads is written over by the next texts.
    if (m_pool.d && !m_pool.isShared() && m_claimed.use_count() == 1) {
        m_pool.size = FirstOffset;
        *m_claimed = FirstOffset;
    } else {
        m_pool = {};
        m_claimed.reset();
    }
}

void BirthdayList::reserveText(qsizetype characters)
{
    const qsizetype used = m_pool.size;
    const bool ours = m_pool.d && m_claimed && *m_claimed == used;
    if (ours && m_pool.freeSpaceAtEnd() >= characters)
        return;
    const qsizetype capacity = qMax(used + characters, qMax<qsizetype>(256, used + used / 2));
    if (ours && !m_pool.isShared() && m_claimed.use_count() == 1) {
        // Nothing else reads this buffer: it grows where it lies when the allocator can.
        auto grown = Pool::reallocateUnaligned(m_pool.d, m_pool.ptr, capacity, QArrayData::Grow);
        m_pool.d = grown.first;
        m_pool.ptr = grown.second;
        return;
    }
    // Records made before and other copies keep the old buffer; the texts move to a new one at
    // the same offsets. A new buffer starts past offset 0, which stands for the empty text.
    QString::DataPointer moved(Pool::allocate(capacity + FirstOffset), qMax(used, FirstOffset));
    if (used > 0)
        std::memcpy(moved.ptr, m_pool.ptr, size_t(used) * sizeof(char16_t));
    else
        moved.ptr[0] = 0;
    m_pool = std::move(moved);
    m_claimed = std::make_shared<qsizetype>(m_pool.size);
}

char16_t *BirthdayList::textTail(qsizetype characters)
{
    // The text's length goes before it.
    reserveText(characters + 1);
    return m_pool.ptr + m_pool.size + 1;
}

BirthdayList::TextRef BirthdayList::commitText(qsizetype length)
{
    Q_ASSERT(length <= 0xffff && m_pool.freeSpaceAtEnd() > length);
    if (length == 0)
        return {};
    const TextRef ref { quint32(m_pool.size), quint16(length) };
    m_pool.ptr[m_pool.size] = char16_t(length);
    m_pool.size += length + 1;
    *m_claimed = m_pool.size;
    return ref;
}

BirthdayList::TextRef BirthdayList::addText(QStringView text)
{
    if (text.isEmpty())
        return {};
    const qsizetype length = qMin<qsizetype>(text.size(), 0xffff);
    std::memcpy(textTail(length), text.utf16(), size_t(length) * sizeof(char16_t));
    return commitText(length);
}

void BirthdayList::appendRow(qint32 id, qint16 days, const QUuid &uid,
    const std::array<TextRef, BirthdayTextCount> &texts, EntryKind kind, LeapMonthRule leapRule)
{
    Row &row = m_rows.emplaceBack();
    row.id = id;
    row.days = days;
    row.uid = uid;
    row.kind = kind;
    row.leapRule = leapRule;
    for (int field = 0; field < BirthdayTextCount; ++field)
        row.offsets[field] = texts[field].length == 0 ? 0 : texts[field].offset;
}

void BirthdayList::append(const BirthdayRecord &record)
{
    std::array<TextRef, BirthdayTextCount> texts;
    const bool hasPrevious = !m_rows.isEmpty();
    for (int field = 0; field < BirthdayTextCount; ++field) {
        const QString &text = record.*Members[field];
        // A list made record by record repeats its categories, rules and flags row after row.
        if (hasPrevious && text == this->text(size() - 1, BirthdayText(field)))
            texts[field] = textRef(size() - 1, BirthdayText(field));
        else
            texts[field] = addText(text);
    }
    appendRow(record.Id, record.intNums, record.Uid, texts, entryKindOf(record.Kind),
        leapMonthRuleOf(record.LeapRule));
}

void BirthdayList::setText(qsizetype i, BirthdayText field, QStringView text)
{
    if (text == this->text(i, field))
        return;
    // A column set row after row (the SMS marks cleared each year) shares its neighbour's text.
    for (qsizetype near : { i - 1, i + 1 }) {
        if (near >= 0 && near < size() && text == this->text(near, field)) {
            setTextRef(i, field, textRef(near, field));
            return;
        }
    }
    setTextRef(i, field, addText(text));
}

void BirthdayList::replace(qsizetype i, const BirthdayRecord &record)
{
    for (int field = 0; field < BirthdayTextCount; ++field)
        setText(i, BirthdayText(field), record.*Members[field]);
    Row &row = m_rows[i];
    row.id = record.Id;
    row.days = record.intNums;
    row.uid = record.Uid;
    row.kind = entryKindOf(record.Kind);
    row.leapRule = leapMonthRuleOf(record.LeapRule);
}

void BirthdayList::reorder(const QList<qsizetype> &order)
{
    QList<qsizetype> source = order;
    // Each row is moved once: the cycle's first row waits aside while the ones whose place it
    // frees follow each other in, so no second array of rows is needed.
    Row *rows = m_rows.data();
    for (qsizetype i = 0; i < source.size(); ++i) {
        if (source[i] == i)
            continue;
        const Row waiting = rows[i];
        qsizetype hole = i;
        for (;;) {
            const qsizetype from = source[hole];
            source[hole] = hole;
            if (from == i)
                break;
            rows[hole] = rows[from];
            hole = from;
        }
        rows[hole] = waiting;
    }
}

void BirthdayList::squeeze()
{
    const qsizetype used = m_pool.size;
    if (!m_pool.d || m_pool.isShared() || m_claimed.use_count() != 1
        || m_pool.freeSpaceAtEnd() < 1024 + used / 16)
        return;
    auto fitted = Pool::reallocateUnaligned(m_pool.d, m_pool.ptr, used, QArrayData::KeepSize);
    m_pool.d = fitted.first;
    m_pool.ptr = fitted.second;
}

bool operator==(const BirthdayList &a, const BirthdayList &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!(a.at(i) == b.at(i)))
            return false;
    }
    return true;
}

} // namespace natalis::store
