#include "app/birthdaylistmodel.h"

#include "store/phonenumber.h"

namespace natalis::app {

BirthdayListModel::BirthdayListModel(QObject *parent) : QAbstractTableModel(parent) { }

QStringList BirthdayListModel::columnTitles()
{
    static const QStringList titles = { QStringLiteral("生日名称"), QStringLiteral("类别"),
        QStringLiteral("联系方式"), QStringLiteral("生日备注"), QStringLiteral("公历生日"),
        QStringLiteral("农历生日"), QStringLiteral("提醒方式"), QStringLiteral("提醒天数"),
        QStringLiteral("短信提醒"), QStringLiteral("性别"), QStringLiteral("部门/类型"),
        QStringLiteral("QQ/MSN"), QStringLiteral("公司名称"), QStringLiteral("地址"),
        QStringLiteral("工号/卡号") };
    return titles;
}

BirthdayListModel::Row BirthdayListModel::rowFromRecord(const store::BirthdayRecord &record)
{
    Row row;
    row.id = record.Id;
    row.columns = { record.About.trimmed(), record.Type.trimmed(), record.Tel.trimmed(),
        record.Beizhu.trimmed(), record.strGL.trimmed(), record.strNL.trimmed(),
        record.blnIsGL.trimmed(), QString::number(record.intNums), record.Duanxin.trimmed(),
        record.Sex.trimmed(), record.Class.trimmed(), record.QQ_MSN.trimmed(),
        record.Company.trimmed(), record.Address.trimmed(), record.No.trimmed() };
    return row;
}

void BirthdayListModel::setRows(QList<Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int BirthdayListModel::appendRow(Row row)
{
    const int index = int(m_rows.size());
    beginInsertRows({}, index, index);
    m_rows.append(std::move(row));
    endInsertRows();
    return index;
}

void BirthdayListModel::replaceRow(Row row)
{
    const int index = rowOfId(row.id);
    if (index < 0)
        return;
    // A number that can no longer take an SMS loses its tick.
    row.ticked = m_rows[index].ticked && canTick(row);
    m_rows[index] = std::move(row);
    Q_EMIT dataChanged(this->index(index, 0), this->index(index, ColumnCount - 1));
}

void BirthdayListModel::setCell(qint32 id, int column, const QString &text)
{
    const int index = rowOfId(id);
    if (index < 0)
        return;
    m_rows[index].columns[column] = text;
    Q_EMIT dataChanged(this->index(index, column), this->index(index, column));
}

void BirthdayListModel::removeIds(const QList<qint32> &ids)
{
    for (qint32 id : ids) {
        const int index = rowOfId(id);
        if (index < 0)
            continue;
        beginRemoveRows({}, index, index);
        m_rows.removeAt(index);
        endRemoveRows();
    }
}

int BirthdayListModel::rowOfId(qint32 id) const
{
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].id == id)
            return i;
    }
    return -1;
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
    return store::IsPhoneNumber(row.columns[TelColumn]);
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
        return row.columns[index.column()];
    case Qt::CheckStateRole:
        if (m_checkable && index.column() == 0)
            return row.ticked ? Qt::Checked : Qt::Unchecked;
        return {};
    case KeyRole:
        return keyOf(row.id);
    default:
        return {};
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

} // namespace natalis::app
