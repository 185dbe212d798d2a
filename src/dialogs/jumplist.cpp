#include "dialogs/jumplist.h"

#include <QHeaderView>
#include <QStandardItemModel>

namespace natalis::dialogs {

JumpList::JumpList(int columnWidth, QWidget *parent)
    : QTableView(parent), m_rows(new QStandardItemModel(this))
{
    setModel(m_rows);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setShowGrid(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setDefaultSectionSize(columnWidth);
    connect(this, &QTableView::activated, this, [this](const QModelIndex &row) {
        const QModelIndex first = row.siblingAtColumn(0);
        Q_EMIT rowChosen(first.data(Qt::UserRole + 1).toInt(), first.data(Qt::UserRole).toInt());
    });
}

int JumpList::rowCount() const
{
    return m_rows->rowCount();
}

void JumpList::restart(const QStringList &titles)
{
    m_rows->clear();
    m_rows->setHorizontalHeaderLabels(titles);
}

void JumpList::append(const store::BirthdayRecord &record, const QStringList &cells)
{
    QList<QStandardItem *> items;
    for (const QString &text : cells)
        items.append(new QStandardItem(text));
    items[0]->setData(record.Id, Qt::UserRole);
    items[0]->setData(listOf(record), Qt::UserRole + 1);
    m_rows->appendRow(items);
}

} // namespace natalis::dialogs
