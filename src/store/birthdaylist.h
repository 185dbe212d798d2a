#pragma once

#include "store/birthdayrecord.h"
#include "store/entrykind.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QUuid>
#include <array>
#include <initializer_list>
#include <iterator>
#include <memory>

namespace natalis::store {

// The text fields of a birthday, in BirthdayRecord's order.
enum class BirthdayText : quint8 {
    About,
    Type,
    Tel,
    Beizhu,
    strGL,
    strNL,
    blnIsGL,
    Duanxin,
    Sex,
    Class,
    QQ_MSN,
    Company,
    Address,
    DxSend,
    No,
    Days,
};
inline constexpr int BirthdayTextCount = 16;

// The birthdays as the program holds them: one compact row each (Id, Uid, days of notice and
// where its texts lie) and every text in one shared buffer, a text that repeats from row to row
// held once. A large list then costs about a tenth of what a BirthdayRecord per row does.
//
// In the buffer each text is its length (one character, at most 0xffff) followed by its
// characters, so that a row keeps one offset per text; offset 0 stands for the empty text.
//
// Readers of many rows take a field straight from a row (text, id, days, uid); a caller that
// needs a whole BirthdayRecord has one made on demand (at, operator[], iteration), whose texts
// are its own copies, so that it may be kept and changed however the list changes later.
//
// Copies share rows and buffer until one of them changes. Not for concurrent writers.
class BirthdayList
{
public:
    // Where a text lies in the buffer: its length at offset, its characters after it.
    struct TextRef
    {
        quint32 offset = 0;
        quint16 length = 0;
    };

    BirthdayList() = default;
    // A list of these records, in this order (the lists that tests and tools make by hand).
    BirthdayList(const QList<BirthdayRecord> &records); // NOLINT: implicit on purpose
    BirthdayList(std::initializer_list<BirthdayRecord> records);

    qsizetype size() const { return m_rows.size(); }
    qsizetype count() const { return m_rows.size(); }
    bool isEmpty() const { return m_rows.isEmpty(); }

    qint32 id(qsizetype i) const { return m_rows[i].id; }
    qint16 days(qsizetype i) const { return m_rows[i].days; }
    QUuid uid(qsizetype i) const { return m_rows[i].uid; }
    EntryKind kind(qsizetype i) const { return m_rows[i].kind; }
    LeapMonthRule leapRule(qsizetype i) const { return m_rows[i].leapRule; }
    // The text as stored, untrimmed; valid until the list changes.
    QStringView text(qsizetype i, BirthdayText field) const
    {
        const quint32 offset = m_rows[i].offsets[int(field)];
        if (offset == 0)
            return {};
        const char16_t *at = m_pool.data() + offset;
        return QStringView(at + 1, *at);
    }
    // The same text as a QString of its own; null when empty.
    QString string(qsizetype i, BirthdayText field) const { return copied(textRef(i, field)); }

    BirthdayRecord at(qsizetype i) const;
    BirthdayRecord operator[](qsizetype i) const { return at(i); }
    BirthdayRecord first() const { return at(0); }
    BirthdayRecord value(qsizetype i) const
    {
        return i >= 0 && i < size() ? at(i) : BirthdayRecord();
    }
    QList<BirthdayRecord> toList() const;
    // Rows pos to pos + length (fewer at the end), sharing this list's texts.
    BirthdayList mid(qsizetype pos, qsizetype length) const;

    void reserve(qsizetype rows) { m_rows.reserve(rows); }
    void clear();
    void append(const BirthdayRecord &record);
    void replace(qsizetype i, const BirthdayRecord &record);
    void setText(qsizetype i, BirthdayText field, QStringView text);
    void setDays(qsizetype i, qint16 days) { m_rows[i].days = days; }
    void setKind(qsizetype i, EntryKind kind) { m_rows[i].kind = kind; }
    void setLeapRule(qsizetype i, LeapMonthRule rule) { m_rows[i].leapRule = rule; }
    void removeAt(qsizetype i) { m_rows.removeAt(i); }

    // Yields a record made on demand for each row: bind it by value or by const reference.
    class const_iterator
    {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = BirthdayRecord;
        using difference_type = qsizetype;
        using reference = BirthdayRecord;
        using pointer = void;

        const_iterator() = default;
        const_iterator(const BirthdayList *list, qsizetype i) : m_list(list), m_i(i) { }
        BirthdayRecord operator*() const { return m_list->at(m_i); }
        const_iterator &operator++()
        {
            ++m_i;
            return *this;
        }
        const_iterator operator++(int)
        {
            const_iterator was = *this;
            ++m_i;
            return was;
        }
        difference_type operator-(const const_iterator &other) const { return m_i - other.m_i; }
        bool operator==(const const_iterator &other) const { return m_i == other.m_i; }

    private:
        const BirthdayList *m_list = nullptr;
        qsizetype m_i = 0;
    };
    using iterator = const_iterator;
    const_iterator begin() const { return { this, 0 }; }
    const_iterator end() const { return { this, size() }; }

    friend bool operator==(const BirthdayList &a, const BirthdayList &b);

    // For the loader, which builds the rows straight from its statement.

    // Room at the end of the buffer for characters more characters; returns where they go.
    // Nothing is kept until commitText.
    char16_t *textTail(qsizetype characters);
    // Keeps length characters written at textTail as a text of their own.
    TextRef commitText(qsizetype length);
    TextRef addText(QStringView text);
    QStringView textAt(TextRef ref) const
    {
        return ref.length == 0 ? QStringView()
                               : QStringView(m_pool.data() + ref.offset + 1, ref.length);
    }
    void appendRow(qint32 id, qint16 days, const QUuid &uid,
        const std::array<TextRef, BirthdayTextCount> &texts, EntryKind kind = EntryKind::Birthday,
        LeapMonthRule leapRule = LeapMonthRule::RegularMonth);
    TextRef textRef(qsizetype i, BirthdayText field) const
    {
        const quint32 offset = m_rows[i].offsets[int(field)];
        return offset == 0 ? TextRef() : TextRef { offset, quint16(m_pool.data()[offset]) };
    }
    void setTextRef(qsizetype i, BirthdayText field, TextRef ref)
    {
        m_rows[i].offsets[int(field)] = ref.length == 0 ? 0 : ref.offset;
    }
    // Reorders the rows: row i of the result is row order[i] of the list.
    void reorder(const QList<qsizetype> &order);
    // Gives back the buffer's room beyond its texts, once the list is complete.
    void squeeze();

private:
    // 88 bytes, the lengths being in the buffer. Kind and leap rule are held as codes: a text
    // other than the known ones reads as the default.
    struct Row
    {
        qint32 id = 0;
        QUuid uid;
        std::array<quint32, BirthdayTextCount> offsets {}; // 0: the text is empty
        qint16 days = 7;
        EntryKind kind = EntryKind::Birthday;
        LeapMonthRule leapRule = LeapMonthRule::RegularMonth;
    };
    static_assert(sizeof(Row) == 88);

    QString copied(TextRef ref) const;
    // Makes room for characters more in a buffer of this list's own to write to.
    void reserveText(qsizetype characters);

    QList<Row> m_rows;
    QString::DataPointer m_pool;
    // The end of the buffer's used part, shared by every copy of this list that shares the
    // buffer: only the copy whose own end matches may write beyond it.
    std::shared_ptr<qsizetype> m_claimed;
};

} // namespace natalis::store
