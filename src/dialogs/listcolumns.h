#pragma once

#include <QList>
#include <QObject>
#include <functional>

class QHeaderView;
class QMenu;
class QPoint;
class QTableView;
class QWidget;

namespace natalis::dialogs {

// The columns of the main window's birthday lists, which share their order and which of them
// show: a column moved or hidden in one list is moved or hidden in all, and a header's own menu
// chooses the columns or brings back the default ones.
class ListColumns : public QObject
{
    Q_OBJECT

public:
    using MenuRunner = std::function<void(QMenu &menu, const QPoint &at)>;

    // runMenu: the window's runner of pop-up menus, which must outlive this object; it is read
    // each time a menu opens, so that it may be replaced later. The menus are window's.
    ListColumns(const MenuRunner &runMenu, QWidget *window);

    // Gives a BirthdayListModel list its starting widths and the default columns and keeps it
    // in step with the lists added before.
    void add(QTableView *view);

private:
    // What a reader looks for first stands beside the name: when, and how old.
    static void setDefault(QHeaderView *header);
    void moved(QHeaderView *header, int logical, int to);
    void showMenu(QHeaderView *header, const QPoint &at);

    const MenuRunner &m_runMenu;
    QWidget *m_window;
    QList<QHeaderView *> m_headers;
    // True while one move is carried to the other lists, whose own moves are not carried on.
    bool m_moving = false;
};

} // namespace natalis::dialogs
