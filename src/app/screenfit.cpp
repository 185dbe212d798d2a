#include "app/screenfit.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>

namespace natalis::app {

void fitToScreen(QWidget &window)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen || window.isMaximized() || window.isFullScreen())
        return;
    const QRect available = screen->availableGeometry();
    // The frame of a window not yet shown is not known; leave room for a usual title bar.
    const QRect frame = window.frameGeometry();
    const int frameWidth = qMax(frame.width() - window.width(), 0);
    const int frameHeight = qMax(frame.height() - window.height(), window.isVisible() ? 0 : 32);
    const QSize room(available.width() - frameWidth, available.height() - frameHeight);
    if (window.width() > room.width() || window.height() > room.height())
        window.resize(window.size().boundedTo(room).expandedTo(window.minimumSizeHint().boundedTo(room)));
    QRect placed = window.frameGeometry();
    placed.setSize(window.size() + QSize(frameWidth, frameHeight));
    if (!available.contains(placed)) {
        const int x = qBound(available.left(), placed.left(), available.right() - placed.width() + 1);
        const int y = qBound(available.top(), placed.top(), available.bottom() - placed.height() + 1);
        window.move(qMax(x, available.left()), qMax(y, available.top()));
    }
}

namespace {

class ScreenFitter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->isWindow() && !(widget->windowFlags() & Qt::Popup)
                && widget->windowType() != Qt::ToolTip)
                fitToScreen(*widget);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void keepWindowsOnScreen(QApplication &application)
{
    application.installEventFilter(new ScreenFitter(&application));
}

} // namespace natalis::app
