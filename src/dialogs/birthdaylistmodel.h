#pragma once

#include "reminder/nextbirthday.h"
#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>
#include <optional>

namespace natalis::dialogs {

// One category's birthday list as the main window shows it: the 15 record columns "生日名称" …
// "工号/卡号", trimmed, then "下次生日" and "年龄" (周岁 at that day) computed for the day set by
// setToday, the entry's "类型", and its "周岁", "虚岁" and "生肖" as of that day (虚岁 and 生肖 for
// a 生日 only; no age for an entry without a year), and, while the SMS panel is open, a tick per
// row. A row's identity is its key "R" + Id. The texts are read from the program's birthday list
// through a position per row, not copied.
class BirthdayListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int FieldCount = 15; // the record's columns
    static constexpr int TelColumn = 2;
    static constexpr int GregorianColumn = 4;
    static constexpr int LunarColumn = 5;
    static constexpr int RuleColumn = 6;
    static constexpr int DaysColumn = 7;
    static constexpr int NextColumn = 15;
    static constexpr int AgeColumn = 16;
    static constexpr int KindColumn = 17;
    static constexpr int FullAgeColumn = 18;
    static constexpr int NominalAgeColumn = 19;
    static constexpr int ZodiacColumn = 20;
    static constexpr int ColumnCount = 21;
    // The role under which a row gives its key ("R25").
    static constexpr int KeyRole = Qt::UserRole + 1;
    // What a column sorts by: a QString (compared in the reader's collation) or a qint64.
    static constexpr int SortKeyRole = Qt::UserRole + 2;

    explicit BirthdayListModel(QObject *parent = nullptr);

    static QStringList columnTitles();

    // The day "下次生日" and "年龄" count from; recomputes every row when it changes.
    void setToday(QDate today);
    QDate today() const { return m_today; }

    // Shows the birthdays at these positions of list, in this order. A tick stays on a row whose
    // Id, name and number are those it was given on, so that the birthdays read again after a
    // change elsewhere keep the user's recipients and never lend a tick to someone else.
    void setRows(const store::BirthdayList &list, const QList<qsizetype> &positions);
    // In-place changes after an add, edit or delete; rows are found by Id.
    int appendRow(const store::BirthdayRecord &record); // returns the new row's index
    void replaceRow(const store::BirthdayRecord &record);
    // One column of many rows at once (days of notice or the SMS flag), announced as one change.
    void setCells(int column, const QHash<qint32, QString> &textOfId);
    // In one pass over the rows, however many are removed.
    void removeIds(const QList<qint32> &ids);
    // Reads the same birthdays from a list loaded again, where positionOfId finds them; rows
    // whose Id it lacks keep their texts. Nothing visible changes, so nothing is announced.
    void rebind(const store::BirthdayList &list, const QHash<qint32, qsizetype> &positionOfId);
    int rowOfId(qint32 id) const; // -1 when absent
    qint32 idAt(int row) const { return m_list.id(m_rows[row].position); }
    // The trimmed text of one of the record columns (0 .. FieldCount - 1).
    QString cell(int row, int column) const;
    // The whole entry of a row, as the program's list holds it.
    store::BirthdayRecord record(int row) const { return m_list.at(m_rows[row].position); }
    bool isTicked(int row) const { return m_rows[row].ticked; }
    static QString keyOf(qint32 id) { return u'R' + QString::number(id); }

    // Ticks can be set only while the SMS panel shows the check boxes, and only on rows whose
    // number is a phone number.
    void setCheckable(bool checkable);
    bool isCheckable() const { return m_checkable; }
    void setAllTicks(bool ticked);
    int tickedCount() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    void ticksChanged();

private:
    // 20 bytes: a window may show a million of them.
    struct Row
    {
        quint32 position = 0; // in m_list
        qint32 nextDay = 0; // the next occurrence as a Julian day; 0 when there is none
        qint16 age = 0;
        // The lunar year the entry began in (0: none known) and its 周岁 on today (-1: none).
        qint16 startLunarYear = 0;
        qint16 fullAge = -1;
        bool lunar = false;
        bool hasYear = false;
        bool ticked = false;

        reminder::NextBirthday next() const
        {
            return { nextDay == 0 ? QDate() : QDate::fromJulianDay(nextDay), age, lunar, hasYear };
        }
        void setNext(const reminder::NextBirthday &next);
    };

    bool canTick(const Row &row) const;
    // Who a tick on the row sends to: its name and its number.
    QString recipientOf(const Row &row) const;
    QHash<qint32, QString> tickedRecipients() const; // by Id
    void keepTicks(const QHash<qint32, QString> &ticked);
    void computeNext(qsizetype first, qsizetype last);
    void computeAges(Row &row) const;
    bool isBirthday(const Row &row) const;
    QVariant ageText(const Row &row, int column) const;
    std::optional<int> nominalAge(const Row &row) const;
    void indexRows();
    QString text(const Row &row, int column) const;
    QVariant cellText(const Row &row, int column) const;
    QVariant toolTip(const Row &row, int column) const;
    QVariant sortKey(const Row &row, int column) const;

    // Shared with the program's list until a change here; an add or edit writes to it, and the
    // next rebind lets go of the copy that made.
    store::BirthdayList m_list;
    QList<Row> m_rows;
    // Rows are found by a binary search while their Ids ascend, as a category's rows do when
    // loaded and added to; otherwise through this index, made when first asked.
    bool m_idsAscend = true;
    mutable QHash<qint32, int> m_rowOfId;
    QDate m_today;
    int m_todayLunarYear = 0; // 0 outside the lunar calendar's range
    bool m_checkable = false;
};

} // namespace natalis::dialogs
