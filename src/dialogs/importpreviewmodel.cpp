#include "dialogs/importpreviewmodel.h"

#include <algorithm>
#include <numeric>

namespace natalis::dialogs {

namespace {

constexpr int DaysColumn = 6;

} // namespace

ImportPreviewModel::ImportPreviewModel(
    const transfer::ImportPreview &preview, transfer::ImportLayout layout, QObject *parent)
    : QAbstractTableModel(parent), m_preview(preview), m_headers(transfer::previewHeaders(layout)),
      m_order(std::size_t(preview.rows.size()))
{
    std::iota(m_order.begin(), m_order.end(), 0);
}

int ImportPreviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_order.size());
}

int ImportPreviewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size());
}

QString ImportPreviewModel::cell(int previewRow, int column) const
{
    // Built on demand: fourteen texts per row kept for a million rows would outweigh the rows.
    return transfer::previewCell(m_preview.rows[previewRow].record, column);
}

QVariant ImportPreviewModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = previewRow(index.row());
    if (role == Qt::DisplayRole)
        return cell(row, index.column());
    if (role == Qt::CheckStateRole && index.column() == 0)
        return m_preview.rows[row].ticked ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::ToolTipRole && m_preview.rows[row].present)
        return transfer::presentText(m_preview.rows[row].record);
    return {};
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return m_headers.value(section);
    if (role == Qt::ToolTipRole)
        return QStringLiteral("点击标题栏按相应标题排序");
    return {};
}

Qt::ItemFlags ImportPreviewModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

bool ImportPreviewModel::setData(const QModelIndex &index, const QVariant &, int role)
{
    // A click re-applies the duplicate rule, which leaves every tick as it was.
    if (role == Qt::CheckStateRole && index.isValid())
        Q_EMIT dataChanged(index, index, { Qt::CheckStateRole });
    return false;
}

void ImportPreviewModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= columnCount())
        return;
    Q_EMIT layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<int> previewRows;
    for (const QModelIndex &index : before)
        previewRows.push_back(previewRow(index.row()));
    const auto &rows = m_preview.rows;
    if (column == DaysColumn) {
        std::stable_sort(m_order.begin(), m_order.end(),
            [&](int a, int b) { return rows[a].record.days() < rows[b].record.days(); });
    } else {
        std::vector<QString> keys(rows.size());
        for (qsizetype row = 0; row < rows.size(); ++row)
            keys[std::size_t(row)] = cell(int(row), column);
        std::stable_sort(m_order.begin(), m_order.end(),
            [&](int a, int b) { return keys[std::size_t(a)] < keys[std::size_t(b)]; });
    }
    if (order == Qt::DescendingOrder)
        std::reverse(m_order.begin(), m_order.end());
    QModelIndexList after;
    for (std::size_t i = 0; i < previewRows.size(); ++i)
        after << index(modelRow(previewRows[i]), before[qsizetype(i)].column());
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged();
}

int ImportPreviewModel::modelRow(int previewRow) const
{
    const auto found = std::find(m_order.begin(), m_order.end(), previewRow);
    return found == m_order.end() ? -1 : int(found - m_order.begin());
}

} // namespace natalis::dialogs
