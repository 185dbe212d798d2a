#include "dialogs/birthdaylistview.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace natalis::dialogs {

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
    horizontalHeader()->setSectionsMovable(true);
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

bool BirthdayListView::event(QEvent *event)
{
    const bool handled = QTableView::event(event);
    // The frame is the view's own paint; the viewport covers the rest.
    if (event->type() == QEvent::Paint && hasFocus()) {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
    return handled;
}

void BirthdayListView::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    update();
}

void BirthdayListView::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    update();
}

void BirthdayListView::mousePressEvent(QMouseEvent *event)
{
    // A click below the rows lets go of the selection, as the platform's lists do.
    if (!indexAt(event->position().toPoint()).isValid() && event->modifiers() == Qt::NoModifier)
        clearSelection();
    QTableView::mousePressEvent(event);
}

void BirthdayListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    Q_EMIT doubleClickedAnywhere();
}

} // namespace natalis::dialogs
