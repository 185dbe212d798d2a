#include "app/birthdaylistview.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace natalis::app {

BirthdayListView::BirthdayListView(QWidget *parent) : QTableView(parent)
{
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setShowGrid(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsMovable(false);
}

void BirthdayListView::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && currentIndex().isValid()) {
        Q_EMIT editRequested();
        return;
    }
    QTableView::keyPressEvent(event);
}

void BirthdayListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    Q_EMIT doubleClickedAnywhere();
}

} // namespace natalis::app
