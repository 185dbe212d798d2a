#pragma once

#include <QTableView>

namespace natalis::dialogs {

// One category's list as the keyboard and the mouse expect it: Tab moves on to the next control
// instead of the next cell, Enter on a row asks to edit it, a click below the rows clears the
// selection, a double-click anywhere (on a row or below the last one) is reported, and the last
// column takes the spare width. Each cell's tool tip (its whole text) comes from the model. While
// it has the keyboard a frame in the highlight colour says so, whatever the style draws.
class BirthdayListView : public QTableView
{
    Q_OBJECT

public:
    explicit BirthdayListView(QWidget *parent = nullptr);

Q_SIGNALS:
    void editRequested();
    void doubleClickedAnywhere();

protected:
    bool event(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

} // namespace natalis::dialogs
