#pragma once

#include <QIcon>
#include <QPainterPath>
#include <QRect>
#include <QWidget>

class QTimer;

namespace natalis::desktop {

// The balloon beside a tray icon: a title, a line per reminder item and the program's picture,
// with a pointer at the icon. Qt places its own balloon where it believes the icon to be, and
// for an icon embedded in an XEmbed tray that belief is wrong (the top-left corner, or off the
// screen); this one is placed at the icon's real place, which the caller asks of the X server.
class TrayBalloon : public QWidget
{
    Q_OBJECT

public:
    TrayBalloon();

    // icon: the icon's rectangle in the program's (logical) screen coordinates.
    void showAt(const QRect &icon, const QString &title, const QString &text, const QIcon &picture,
        int milliseconds);

    // Where the balloon goes for an icon at icon on a screen whose free area is screen: above an
    // icon in the lower half, below one in the upper half, its pointer at the icon's middle,
    // never outside the screen. Also returns whether the pointer is on the bottom edge.
    struct Placement
    {
        QPoint topLeft;
        bool pointerBelow = true;
        int pointerX = 0; // from the balloon's left edge
    };
    static Placement place(const QRect &icon, const QSize &balloon, const QRect &screen);
    // The same, moved off `avoided` (the floating strip, in the same coordinates; empty for
    // none): above it, else below it, else to its left, still on the screen; the pointer
    // then aims at the icon as far as the balloon's edge allows.
    static Placement place(
        const QRect &icon, const QSize &balloon, const QRect &screen, const QRect &avoided);

    // The area the balloon keeps clear of from now on; a balloon on show moves off it at once.
    void keepClearOf(const QRect &avoided);

Q_SIGNALS:
    // The left button: the reminder was seen.
    void clicked();
    // The right button at at (global coordinates): the answers menu.
    void answersAsked(const QPoint &at);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPainterPath outline() const;
    void placeOnScreen();

    QString m_title;
    QString m_text;
    QIcon m_picture;
    Placement m_placement;
    QRect m_icon;
    QRect m_avoided;
    QTimer *m_timeout;
};

} // namespace natalis::desktop
