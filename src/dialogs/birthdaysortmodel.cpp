#include "dialogs/birthdaysortmodel.h"

#include "dialogs/birthdaylistmodel.h"

namespace natalis::dialogs {

BirthdaySortModel::BirthdaySortModel(QObject *parent)
    : QSortFilterProxyModel(parent), m_collator(QLocale(QLocale::Chinese, QLocale::China))
{
    m_collator.setNumericMode(true);
    setSortRole(BirthdayListModel::SortKeyRole);
}

void BirthdaySortModel::sortByHeader(int column)
{
    const bool turn = column == sortColumn() && sortOrder() == Qt::AscendingOrder;
    sort(column, turn ? Qt::DescendingOrder : Qt::AscendingOrder);
}

bool BirthdaySortModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const QVariant a = left.data(sortRole());
    const QVariant b = right.data(sortRole());
    if (a.typeId() == QMetaType::QString && b.typeId() == QMetaType::QString)
        return m_collator.compare(a.toString(), b.toString()) < 0;
    return a.toLongLong() < b.toLongLong();
}

} // namespace natalis::dialogs
