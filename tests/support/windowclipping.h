#pragma once

#include "widgets/screenfit.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QStringList>
#include <QWidget>

namespace natalis::test {

// The free area of 1024x768 and 1366x768 less a panel, and of 1920x1080 at scale factor 2.
inline constexpr struct
{
    const char *situation;
    QSize room;
} SmallScreens[] = { { "1024x768", { 1024, 728 } }, { "1366x768", { 1366, 728 } },
    { "1920x1080 at scale 2", { 960, 520 } } };

// Fits the window to such a screen as the program does; then the visible widgets that reach past
// its rectangle, which a person cannot see whole. A scroll area's content may: its bars reach it.
inline QStringList widgetsOutsideWhenFitted(QWidget &window, QSize room)
{
    window.show();
    app::fitToScreen(window, QRect(QPoint(0, 0), room));
    for (int turn = 0; turn < 3; ++turn)
        QApplication::processEvents();
    QStringList outside;
    if (!QRect(QPoint(0, 0), room).contains(window.frameGeometry()))
        outside << QStringLiteral("the window itself");
    for (const QWidget *child : window.findChildren<QWidget *>()) {
        bool scrolled = false;
        for (const QWidget *up = child->parentWidget(); up != &window; up = up->parentWidget())
            scrolled = scrolled || qobject_cast<const QAbstractScrollArea *>(up);
        const QRect place(child->mapTo(&window, QPoint(0, 0)), child->size());
        if (!scrolled && child->isVisibleTo(&window) && !window.rect().contains(place))
            outside << child->objectName() + QLatin1Char(':')
                    + QLatin1String(child->metaObject()->className());
    }
    return outside;
}

} // namespace natalis::test
