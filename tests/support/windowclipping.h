#pragma once

#include "widgets/screenfit.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QRect>
#include <QStringList>
#include <QWidget>

namespace natalis::test {

// The visible widgets of `window` that reach past its rectangle, by object name (else class):
// what a person can neither see whole nor reliably click. What a scroll area holds may stand
// outside it, since its scroll bars bring it into view.
inline QStringList widgetsOutside(const QWidget &window)
{
    QStringList outside;
    for (const QWidget *child : window.findChildren<QWidget *>()) {
        if (child->isWindow() || !child->isVisibleTo(&window))
            continue;
        bool scrolled = false;
        for (const QWidget *up = child->parentWidget(); up && up != &window;
             up = up->parentWidget())
            scrolled = scrolled || qobject_cast<const QAbstractScrollArea *>(up);
        const QRect place(child->mapTo(&window, QPoint(0, 0)), child->size());
        if (!scrolled && !window.rect().contains(place))
            outside << (child->objectName().isEmpty()
                    ? QString::fromLatin1(child->metaObject()->className())
                    : child->objectName());
    }
    return outside;
}

// The free area of the screens a window must fit: 1024x768 and 1366x768 less a 40-pixel panel,
// and 1920x1080 at scale factor 2.
struct ScreenRoom
{
    const char *situation;
    QSize room;
};
inline constexpr ScreenRoom SmallScreens[] = {
    { "1024x768", { 1024, 728 } },
    { "1366x768", { 1366, 728 } },
    { "1920x1080 at scale 2", { 960, 520 } },
};

// Fits the shown window to a screen with that much room, as the program does, and lays it out.
inline void showWithin(QWidget &window, QSize room)
{
    window.show();
    app::fitToScreen(window, QRect(QPoint(0, 0), room));
    for (int turn = 0; turn < 3; ++turn)
        QApplication::processEvents();
}

} // namespace natalis::test
