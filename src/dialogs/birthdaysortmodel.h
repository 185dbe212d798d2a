#pragma once

#include <QCollator>
#include <QSortFilterProxyModel>

namespace natalis::dialogs {

// A birthday list in the order its reader expects: names and other texts in Chinese (pinyin)
// order, numbers by value, dates by date, as the source model's SortKeyRole gives them. Unsorted
// (the stored order) until sortByHeader is first called.
class BirthdaySortModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit BirthdaySortModel(QObject *parent = nullptr);

    // A header click: a new column sorts ascending, the same column again turns the order.
    void sortByHeader(int column);

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    QCollator m_collator;
};

} // namespace natalis::dialogs
