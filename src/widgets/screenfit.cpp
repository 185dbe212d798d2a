#include "widgets/screenfit.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>

namespace natalis::widgets {

namespace {

constexpr const char *ScrollableProperty = "natalisScrollable";

// Puts the window's content into a scroll area, so that the window can be smaller than its
// layout allows: on a small screen or at a large scale factor every control stays reachable.
void makeScrollable(QWidget &window)
{
    if (window.property(ScrollableProperty).toBool())
        return;
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    if (auto *main = qobject_cast<QMainWindow *>(&window)) {
        QWidget *central = main->takeCentralWidget();
        if (!central) {
            delete scroll;
            return;
        }
        scroll->setWidget(central);
        main->setCentralWidget(scroll);
    } else {
        QLayout *layout = window.layout();
        if (!layout) {
            delete scroll;
            return;
        }
        auto *content = new QWidget;
        content->setLayout(layout); // takes the layout and its widgets over from the window
        scroll->setWidget(content);
        auto *outer = new QVBoxLayout(&window);
        outer->setContentsMargins(0, 0, 0, 0);
        outer->addWidget(scroll);
    }
    window.setProperty(ScrollableProperty, true);
    window.setMinimumSize(0, 0);
}

} // namespace

void fitToScreen(QWidget &window)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen)
        fitToScreen(window, screen->availableGeometry());
}

void fitToScreen(QWidget &window, const QRect &available)
{
    if (window.isMaximized() || window.isFullScreen())
        return;
    const QRect frame = window.frameGeometry();
    const QSize frameSize(
        qMax(frame.width() - window.width(), 0), qMax(frame.height() - window.height(), 0));
    const QSize room = available.size() - frameSize;
    const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
    if (least.width() > room.width() || least.height() > room.height())
        makeScrollable(window);
    if (window.width() > room.width() || window.height() > room.height())
        window.resize(window.size().boundedTo(room));
    const QSize outer = window.size() + frameSize;
    const QPoint corner = window.frameGeometry().topLeft();
    const int x = qBound(available.left(), corner.x(), available.right() + 1 - outer.width());
    const int y = qBound(available.top(), corner.y(), available.bottom() + 1 - outer.height());
    if (QPoint(x, y) != corner)
        window.move(x, y);
}

bool isFittedWindow(const QWidget &widget)
{
    if (!widget.isWindow())
        return false;
    const Qt::WindowType type = widget.windowType();
    if (type != Qt::Window && type != Qt::Dialog)
        return false;
    // A frameless or unmanaged window is placed by whoever made it: the tray's icon window
    // lives at coordinates inside the tray's slot, a balloon or the floating strip beside the
    // icon or in a corner. Moving one of them "back onto the screen" hides it.
    const Qt::WindowFlags flags = widget.windowFlags();
    return !(flags & (Qt::FramelessWindowHint | Qt::BypassWindowManagerHint));
}

namespace {

class ScreenFitter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool shown = event->type() == QEvent::Show;
        // A window that grows later (a panel folded out) is brought back once the growth is done.
        const bool resized = event->type() == QEvent::Resize;
        if ((shown || resized) && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (isFittedWindow(*widget)) {
                if (shown)
                    fitToScreen(*widget);
                else if (widget->isVisible())
                    QMetaObject::invokeMethod(
                        widget, [widget] { fitToScreen(*widget); }, Qt::QueuedConnection);
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void keepWindowsOnScreen(QApplication &application)
{
    application.installEventFilter(new ScreenFitter(&application));
}

} // namespace natalis::widgets
