#include "dialogs/listcolumns.h"

#include "calendar/datetext.h"
#include "dialogs/birthdaylistmodel.h"

#include <QHeaderView>
#include <QMenu>
#include <QTableView>

namespace natalis::dialogs {

ListColumns::ListColumns(const MenuRunner &runMenu, QWidget *window)
    : QObject(window), m_runMenu(runMenu), m_window(window)
{
}

void ListColumns::add(QTableView *view)
{
    QHeaderView *header = view->horizontalHeader();
    header->setDefaultSectionSize(96);
    header->resizeSection(0, 110);
    header->resizeSection(2, 112);
    header->resizeSection(3, 140);
    header->resizeSection(4, 150);
    header->resizeSection(5, 150);
    header->resizeSection(BirthdayListModel::AgeColumn, 56);
    for (int column = BirthdayListModel::KindColumn; column < BirthdayListModel::ColumnCount;
         ++column)
        header->resizeSection(column, 56);
    // Room for the longest coming day, two-digit month and day.
    header->resizeSection(BirthdayListModel::NextColumn,
        view->fontMetrics().horizontalAdvance(calendar::comingDayText(QDate(2026, 12, 30))) + 24);
    setDefault(header);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QHeaderView::customContextMenuRequested, this,
        [this, header](const QPoint &at) { showMenu(header, at); });
    connect(header, &QHeaderView::sectionMoved, this,
        [this, header](int logical, int, int to) { moved(header, logical, to); });
    m_headers.append(header);
}

void ListColumns::setDefault(QHeaderView *header)
{
    for (int logical = 0; logical < BirthdayListModel::ColumnCount; ++logical) {
        header->setSectionHidden(logical, false);
        header->moveSection(header->visualIndex(logical), logical);
    }
    header->moveSection(header->visualIndex(BirthdayListModel::NextColumn), 1);
    header->moveSection(header->visualIndex(BirthdayListModel::AgeColumn), 2);
    header->moveSection(header->visualIndex(BirthdayListModel::KindColumn), 3);
}

void ListColumns::moved(QHeaderView *header, int logical, int to)
{
    if (m_moving)
        return;
    m_moving = true;
    for (QHeaderView *other : m_headers) {
        if (other != header)
            other->moveSection(other->visualIndex(logical), to);
    }
    m_moving = false;
}

void ListColumns::showMenu(QHeaderView *header, const QPoint &at)
{
    QMenu menu(m_window);
    menu.setObjectName(QStringLiteral("mnuColumns"));
    const QStringList titles = BirthdayListModel::columnTitles();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        QAction *entry = menu.addAction(titles[logical]);
        entry->setCheckable(true);
        entry->setChecked(!header->isSectionHidden(logical));
        // The name tells the rows apart: it always shows.
        entry->setEnabled(logical != 0);
        connect(entry, &QAction::toggled, this, [this, logical](bool shown) {
            for (QHeaderView *each : m_headers)
                each->setSectionHidden(logical, !shown);
        });
    }
    menu.addSeparator();
    connect(menu.addAction(QStringLiteral("恢复默认列")), &QAction::triggered, this, [this] {
        m_moving = true;
        for (QHeaderView *each : m_headers)
            setDefault(each);
        m_moving = false;
    });
    m_runMenu(menu, header->viewport()->mapToGlobal(at));
}

} // namespace natalis::dialogs
