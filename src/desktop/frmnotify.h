#pragma once

#include "reminder/reminderitems.h"

#include <QPoint>
#include <QPointer>
#include <QWidget>

class QLabel;
class QMenu;
class QTimer;

namespace natalis::desktop {

// Where a strip of `strip` size goes in the screen's free `area`: the bottom-right corner, or where
// it covers no part of `avoid` (the main window, so that its buttons stay in reach): another
// corner, or beside the window. When no such place exists, the bottom-right corner after all.
QPoint stripPosition(const QRect &area, QSize strip, const QRect &avoid);

// The floating reminder: a small translucent strip in the bottom-right corner of the screen,
// above every window, whose text scrolls from right to left; dragged by its body, closed by its
// close picture; the right button opens "知道了" and "稍后提醒".
class frmNotify : public QWidget
{
    Q_OBJECT

public:
    // 20 pixels a second, in steps of two every tenth of a second: Qt wakes coarse timers at the
    // same tenths of a second, so while the reminder music plays (whose player looks at its
    // position every 100 ms) the strip's ticks come with the player's and add no wake-ups of
    // their own; a 150 ms tick added four a second beside it.
    static constexpr int ScrollMilliseconds = 100;
    static constexpr int ScrollStep = 2; // pixels per tick
    static constexpr double Opacity = 200.0 / 255.0;

    explicit frmNotify(QWidget *parent = nullptr);

    // The text to scroll; taken on the next scroll tick, as the original took it.
    void setNotifyText(const QString &text);
    // One tick of the scroll timer; public so that tests can drive it.
    void scrollTick();
    // Bottom-right corner of the available screen area (which excludes the taskbar), unless it
    // would cover the avoided window there.
    void placeInCorner();
    // The window the strip keeps clear of while that window is shown.
    void setAvoidedWindow(QWidget *window) { m_avoided = window; }

Q_SIGNALS:
    void closedByUser();
    // A click on the body (a press and release that did not drag it), or "知道了".
    void clickedByUser();
    // "稍后提醒"
    void snoozeRequested(natalis::reminder::Snooze choice);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_text;
    QLabel *m_close;
    QTimer *m_timer;
    QMenu *m_answers;
    QString m_wanted;
    QPointer<QWidget> m_avoided;
    QPoint m_dragOffset;
    QPoint m_pressedAt; // global position of the last press
    bool m_dragged = false;
    bool m_movedByUser = false; // dragged since it was shown: it stays where the user put it
};

} // namespace natalis::desktop
