#pragma once

#include "widgets/screenfit.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScrollArea>
#include <QScrollBar>
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
    widgets::fitToScreen(window, QRect(QPoint(0, 0), room));
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

// Whether the window's content needs more width than the room gives, beside a vertical scroll
// bar: fitted, it could be seen only by scrolling sideways, a row's end out of sight.
inline bool widerThan(const QWidget &window, QSize room)
{
    const QWidget *content = &window;
    int width = room.width() - (window.frameGeometry().width() - window.width());
    const QWidget *central = window.layout() && window.layout()->count() > 0
        ? window.layout()->itemAt(0)->widget()
        : nullptr;
    if (const auto *main = qobject_cast<const QMainWindow *>(&window))
        central = main->centralWidget();
    if (const auto *area = qobject_cast<const QScrollArea *>(central)) {
        content = area->widget();
        width -= area->verticalScrollBar()->sizeHint().width();
    }
    return content->minimumSizeHint().width() > width;
}

} // namespace natalis::test
