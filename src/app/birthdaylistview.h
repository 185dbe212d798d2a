#pragma once

#include <QTableView>

namespace natalis::app {

// One category's list as the keyboard and the mouse expect it: Tab moves on to the next control
// instead of the next cell, Enter on a row asks to edit it, a double-click anywhere (on a row or
// below the last one) is reported, the last column takes the spare width and each cell's tool
// tip shows its whole text.
class BirthdayListView : public QTableView
{
    Q_OBJECT

public:
    explicit BirthdayListView(QWidget *parent = nullptr);

Q_SIGNALS:
    void editRequested();
    void doubleClickedAnywhere();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

} // namespace natalis::app
