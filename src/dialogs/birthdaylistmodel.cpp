#include "dialogs/birthdaylistmodel.h"

#include "calendar/calendarnames.h"
#include "calendar/datetext.h"
#include "calendar/lunarconversion.h"
#include "reminder/birthdayoccurrences.h"
#include "reminder/entryages.h"
#include "store/phonenumber.h"

#include <algorithm>
#include <array>

namespace natalis::dialogs {

namespace {

// The days of notice as text, one shared text per value: a long list repeats a few values, and a
// number of its own per row would cost an allocation each.
QString daysText(qint16 days)
{
    static const std::array<QString, 400> texts = [] {
        std::array<QString, 400> made;
        for (int d = 0; d < int(made.size()); ++d)
            made[d] = QString::number(d);
        return made;
    }();
    return days >= 0 && days < qint16(texts.size()) ? texts[days] : QString::number(days);
}

// The record field a column shows; every column below FieldCount but DaysColumn has one.
store::BirthdayText fieldOf(int column)
{
    using store::BirthdayText;
    static constexpr std::array<BirthdayText, BirthdayListModel::FieldCount> fields = {
        BirthdayText::About, BirthdayText::Type, BirthdayText::Tel, BirthdayText::Beizhu,
        BirthdayText::strGL, BirthdayText::strNL, BirthdayText::blnIsGL, BirthdayText::About,
        BirthdayText::Duanxin, BirthdayText::Sex, BirthdayText::Class, BirthdayText::QQ_MSN,
        BirthdayText::Company, BirthdayText::Address, BirthdayText::No
    };
    Q_ASSERT(column != BirthdayListModel::DaysColumn);
    return fields[column];
}

} // namespace

BirthdayListModel::BirthdayListModel(QObject *parent) : QAbstractTableModel(parent) { }

QStringList BirthdayListModel::columnTitles()
{
    static const QStringList titles = { QStringLiteral("生日名称"), QStringLiteral("类别"),
        QStringLiteral("联系方式"), QStringLiteral("生日备注"), QStringLiteral("公历生日"),
        QStringLiteral("农历生日"), QStringLiteral("提醒方式"), QStringLiteral("提醒天数"),
        QStringLiteral("短信提醒"), QStringLiteral("性别"), QStringLiteral("部门/类型"),
        QStringLiteral("QQ/MSN"), QStringLiteral("公司名称"), QStringLiteral("地址"),
        QStringLiteral("工号/卡号"), QStringLiteral("下次生日"), QStringLiteral("年龄"),
        QStringLiteral("类型"), QStringLiteral("周岁"), QStringLiteral("虚岁"),
        QStringLiteral("生肖") };
    return titles;
}

void BirthdayListModel::setToday(QDate today)
{
    if (today == m_today)
        return;
    m_today = today;
    const auto lunarToday = calendar::solarToLunar(today);
    m_todayLunarYear = lunarToday ? lunarToday->year : 0;
    computeNext(0, m_rows.size());
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, NextColumn), index(int(m_rows.size()) - 1, ColumnCount - 1),
            { Qt::DisplayRole });
}

void BirthdayListModel::computeNext(qsizetype first, qsizetype last)
{
    if (!m_today.isValid() || first >= last)
        return;
    QList<qsizetype> positions;
    positions.reserve(last - first);
    for (qsizetype i = first; i < last; ++i)
        positions.append(m_rows[i].position);
    const QList<reminder::NextBirthday> next = reminder::nextBirthdays(m_list, m_today, positions);
    for (qsizetype i = first; i < last; ++i) {
        m_rows[i].setNext(next[i - first]);
        computeAges(m_rows[i]);
    }
}

void BirthdayListModel::computeAges(Row &row) const
{
    row.startLunarYear = 0;
    row.fullAge = -1;
    const auto rule = reminder::birthRuleAt(m_list, row.position);
    if (!rule || rule->year == 0)
        return;
    row.startLunarYear = qint16(
        reminder::startLunarYear(*rule, m_list.text(row.position, store::BirthdayText::strNL))
            .value_or(0));
    // Whole years count whether or not this year has the leap month a 跳过 entry waits for.
    reminder::BirthRule everyYear = *rule;
    everyYear.leapRule = store::LeapMonthRule::RegularMonth;
    const int year = rule->lunar ? m_todayLunarYear : m_today.year();
    const auto thisYear = reminder::occurrenceIn(everyYear, year);
    if (year == 0 || year < rule->year || !thisYear)
        return;
    row.fullAge = qint16(year - rule->year - (m_today < *thisYear ? 1 : 0));
}

bool BirthdayListModel::isBirthday(const Row &row) const
{
    return m_list.kind(row.position) == store::EntryKind::Birthday;
}

std::optional<int> BirthdayListModel::nominalAge(const Row &row) const
{
    if (!isBirthday(row) || row.startLunarYear == 0 || m_todayLunarYear < row.startLunarYear)
        return std::nullopt;
    return m_todayLunarYear - row.startLunarYear + 1;
}

void BirthdayListModel::indexRows()
{
    m_rowOfId.clear();
    m_idsAscend = true;
    for (int i = 1; i < m_rows.size() && m_idsAscend; ++i)
        m_idsAscend = idAt(i - 1) < idAt(i);
}

void BirthdayListModel::Row::setNext(const reminder::NextBirthday &next)
{
    nextDay = next.date.isValid() ? qint32(next.date.toJulianDay()) : 0;
    age = qint16(next.age);
    lunar = next.lunar;
    hasYear = next.hasYear;
}

void BirthdayListModel::setRows(const store::BirthdayList &list, const QList<qsizetype> &positions)
{
    const QHash<qint32, QString> ticked = tickedRecipients();
    beginResetModel();
    m_list = list;
    m_rows.clear();
    m_rows.reserve(positions.size());
    for (qsizetype position : positions)
        m_rows.append(Row { quint32(position) });
    computeNext(0, m_rows.size());
    indexRows();
    keepTicks(ticked);
    endResetModel();
    if (!ticked.isEmpty())
        Q_EMIT ticksChanged();
}

QString BirthdayListModel::recipientOf(const Row &row) const
{
    return text(row, 0) + u'\n' + text(row, TelColumn);
}

QHash<qint32, QString> BirthdayListModel::tickedRecipients() const
{
    QHash<qint32, QString> ticked;
    for (const Row &row : m_rows) {
        if (row.ticked)
            ticked.insert(m_list.id(row.position), recipientOf(row));
    }
    return ticked;
}

void BirthdayListModel::keepTicks(const QHash<qint32, QString> &ticked)
{
    if (ticked.isEmpty())
        return;
    for (Row &row : m_rows) {
        const auto found = ticked.find(m_list.id(row.position));
        row.ticked = found != ticked.end() && *found == recipientOf(row) && canTick(row);
    }
}

int BirthdayListModel::appendRow(const store::BirthdayRecord &record)
{
    const int index = int(m_rows.size());
    beginInsertRows({}, index, index);
    m_list.append(record);
    m_idsAscend = m_idsAscend && (m_rows.isEmpty() || idAt(index - 1) < record.Id);
    m_rows.append(Row { quint32(m_list.size() - 1) });
    computeNext(index, index + 1);
    if (!m_rowOfId.isEmpty())
        m_rowOfId.insert(record.Id, index);
    endInsertRows();
    return index;
}

void BirthdayListModel::replaceRow(const store::BirthdayRecord &record)
{
    const int index = rowOfId(record.Id);
    if (index < 0)
        return;
    Row &row = m_rows[index];
    m_list.replace(row.position, record);
    // A number that can no longer take an SMS loses its tick.
    const bool wasTicked = row.ticked;
    row.ticked = row.ticked && canTick(row);
    computeNext(index, index + 1);
    Q_EMIT dataChanged(this->index(index, 0), this->index(index, ColumnCount - 1));
    if (wasTicked != row.ticked)
        Q_EMIT ticksChanged();
}

void BirthdayListModel::setCells(int column, const QHash<qint32, QString> &textOfId)
{
    int first = int(m_rows.size());
    int last = -1;
    for (auto it = textOfId.begin(); it != textOfId.end(); ++it) {
        const int index = rowOfId(it.key());
        if (index < 0)
            continue;
        const qsizetype position = m_rows[index].position;
        if (column == DaysColumn) {
            // One day replaces any list of days, as the batch write stores it.
            m_list.setDays(position, qint16(it.value().toInt()));
            m_list.setText(position, store::BirthdayText::Days, {});
        } else
            m_list.setText(position, fieldOf(column), it.value());
        first = qMin(first, index);
        last = qMax(last, index);
    }
    if (last >= 0)
        Q_EMIT dataChanged(index(first, column), index(last, column));
}

void BirthdayListModel::removeIds(const QList<qint32> &ids)
{
    const QSet<qint32> gone(ids.begin(), ids.end());
    // A few rows go one by one, so the view keeps its place; many go in one reset, since each
    // removal announced on its own costs the sorting proxy a pass over the whole list.
    constexpr qsizetype FewRows = 16;
    if (gone.size() <= FewRows) {
        for (qint32 id : gone) {
            const int index = rowOfId(id);
            if (index < 0)
                continue;
            beginRemoveRows({}, index, index);
            m_rows.removeAt(index);
            indexRows();
            endRemoveRows();
        }
        return;
    }
    beginResetModel();
    m_rows.removeIf([&](const Row &row) { return gone.contains(m_list.id(row.position)); });
    indexRows();
    endResetModel();
}

void BirthdayListModel::rebind(
    const store::BirthdayList &list, const QHash<qint32, qsizetype> &positionOfId)
{
    QList<qsizetype> positions;
    positions.reserve(m_rows.size());
    for (const Row &row : std::as_const(m_rows)) {
        const auto found = positionOfId.find(m_list.id(row.position));
        if (found == positionOfId.end())
            return;
        positions.append(*found);
    }
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        m_rows[i].position = quint32(positions[i]);
    m_list = list;
}

QString BirthdayListModel::cell(int row, int column) const
{
    return text(m_rows[row], column);
}

QString BirthdayListModel::text(const Row &row, int column) const
{
    if (column == DaysColumn) {
        const QStringView days = m_list.text(row.position, store::BirthdayText::Days).trimmed();
        return days.isEmpty() ? daysText(m_list.days(row.position)) : days.toString();
    }
    return m_list.text(row.position, fieldOf(column)).trimmed().toString();
}

int BirthdayListModel::rowOfId(qint32 id) const
{
    if (m_idsAscend) {
        const auto found = std::lower_bound(m_rows.begin(), m_rows.end(), id,
            [this](const Row &row, qint32 wanted) { return m_list.id(row.position) < wanted; });
        return found != m_rows.end() && m_list.id(found->position) == id
            ? int(found - m_rows.begin())
            : -1;
    }
    if (m_rowOfId.isEmpty()) {
        m_rowOfId.reserve(m_rows.size());
        for (int i = 0; i < m_rows.size(); ++i)
            m_rowOfId.insert(idAt(i), i);
    }
    return m_rowOfId.value(id, -1);
}

void BirthdayListModel::setCheckable(bool checkable)
{
    if (m_checkable == checkable)
        return;
    beginResetModel();
    m_checkable = checkable;
    endResetModel();
}

void BirthdayListModel::setAllTicks(bool ticked)
{
    for (Row &row : m_rows)
        row.ticked = ticked && canTick(row);
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_rows.size()) - 1, 0), { Qt::CheckStateRole });
    Q_EMIT ticksChanged();
}

int BirthdayListModel::tickedCount() const
{
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const Row &r) { return r.ticked; }));
}

bool BirthdayListModel::canTick(const Row &row) const
{
    return store::IsPhoneNumber(m_list.text(row.position, store::BirthdayText::Tel).trimmed());
}

int BirthdayListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int BirthdayListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BirthdayListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row &row = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return cellText(row, index.column());
    case Qt::ToolTipRole:
        return toolTip(row, index.column());
    case SortKeyRole:
        return sortKey(row, index.column());
    case Qt::CheckStateRole:
        if (m_checkable && index.column() == 0)
            return row.ticked ? Qt::Checked : Qt::Unchecked;
        return {};
    case KeyRole:
        return keyOf(m_list.id(row.position));
    default:
        return {};
    }
}

QVariant BirthdayListModel::cellText(const Row &row, int column) const
{
    if (column < FieldCount)
        return text(row, column);
    if (column > AgeColumn)
        return ageText(row, column);
    if (!row.next().date.isValid() || (column == AgeColumn && !row.next().hasYear))
        return QString();
    if (column == NextColumn)
        return calendar::comingDayText(row.next().date);
    return QString::number(row.next().age);
}

QVariant BirthdayListModel::ageText(const Row &row, int column) const
{
    switch (column) {
    case KindColumn:
        return store::entryKindText(m_list.kind(row.position));
    case FullAgeColumn:
        return row.fullAge >= 0 ? QString::number(row.fullAge) : QString();
    case NominalAgeColumn: {
        const auto age = nominalAge(row);
        return age ? QString::number(*age) : QString();
    }
    case ZodiacColumn:
        return isBirthday(row) && row.startLunarYear != 0
            ? calendar::zodiacOfLunarYear(row.startLunarYear)
            : QString();
    }
    return {};
}

// The full text of a cell too narrow to show it; the age also in 虚岁 for the lunar rule.
QVariant BirthdayListModel::toolTip(const Row &row, int column) const
{
    if (column == AgeColumn && row.next().date.isValid() && row.next().hasYear) {
        QString tip = QStringLiteral("周岁%1").arg(row.next().age);
        if (row.next().lunar)
            tip += QStringLiteral(",虚岁%1").arg(row.next().age + 1);
        return tip;
    }
    const QString text = cellText(row, column).toString();
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant BirthdayListModel::sortKey(const Row &row, int column) const
{
    // Empty and unreadable dates sort before every date.
    constexpr qint64 NoDate = -1;
    switch (column) {
    case DaysColumn:
        return qint64(m_list.days(row.position));
    case GregorianColumn: {
        const auto date = calendar::parseGregorianText(text(row, column));
        return date ? date->toJulianDay() : NoDate;
    }
    case LunarColumn: {
        // Year, month, the leap month after its namesake, day.
        const auto date = calendar::parseLunarText(text(row, column));
        return date ? ((qint64(date->year) * 12 + date->month) * 2 + (date->isLeap ? 1 : 0)) * 31
                + date->day
                    : NoDate;
    }
    case NextColumn:
        return row.next().date.isValid() ? row.next().date.toJulianDay() : NoDate;
    case AgeColumn:
        return row.next().date.isValid() && row.next().hasYear ? qint64(row.next().age) : NoDate;
    case FullAgeColumn:
        return row.fullAge >= 0 ? qint64(row.fullAge) : NoDate;
    case NominalAgeColumn:
        return qint64(nominalAge(row).value_or(NoDate));
    case ZodiacColumn:
        // 鼠 first, as the years turn; 1900 was a year of the rat.
        return isBirthday(row) && row.startLunarYear != 0
            ? qint64((row.startLunarYear - 1900 + 1200) % 12)
            : NoDate;
    default:
        return text(row, column);
    }
}

bool BirthdayListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::CheckStateRole || !m_checkable || index.column() != 0)
        return false;
    Row &row = m_rows[index.row()];
    // A number that cannot take an SMS loses its tick at once.
    const bool ticked = value.value<Qt::CheckState>() == Qt::Checked && canTick(row);
    row.ticked = ticked;
    Q_EMIT dataChanged(index, index, { Qt::CheckStateRole });
    Q_EMIT ticksChanged();
    return true;
}

QVariant BirthdayListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return columnTitles().at(section);
    if (role == Qt::ToolTipRole)
        return QStringLiteral("点击标题栏按相应标题排序");
    return {};
}

Qt::ItemFlags BirthdayListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (m_checkable && index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

} // namespace natalis::dialogs
