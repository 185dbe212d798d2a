#include "desktop/frmnotify.h"

#include "desktop/remindermenu.h"
#include "desktop/sessionplatform.h"
#include "desktop/x11desktop.h"
#include "widgets/pictures.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace natalis::desktop {

namespace {

constexpr int Width = 300;
constexpr int Height = 34;
constexpr int CloseSize = 16;

} // namespace

QPoint stripPosition(const QRect &area, QSize strip, const QRect &avoid)
{
    const int left = area.left();
    const int right = area.right() - strip.width() + 1;
    const int top = area.top();
    const int bottom = area.bottom() - strip.height() + 1;
    const auto clampX = [&](int x) { return std::clamp(x, left, std::max(left, right)); };
    const auto clampY = [&](int y) { return std::clamp(y, top, std::max(top, bottom)); };
    const QPoint corner(right, bottom);
    const QPoint candidates[] = {
        corner, { left, bottom }, { right, top }, { left, top },
        { clampX(avoid.right() - strip.width() + 1), avoid.bottom() + 1 }, // below the window
        { clampX(avoid.right() - strip.width() + 1), avoid.top() - strip.height() }, // above it
        { avoid.right() + 1, clampY(avoid.bottom() - strip.height() + 1) }, // right of it
        { avoid.left() - strip.width(), clampY(avoid.bottom() - strip.height() + 1) }, // left
    };
    for (const QPoint &at : candidates) {
        const QRect place(at, strip);
        if (area.contains(place) && (!avoid.isValid() || !place.intersects(avoid)))
            return at;
    }
    return corner;
}

frmNotify::frmNotify(QWidget *parent)
    : QWidget(parent,
        Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
            | Qt::WindowDoesNotAcceptFocus),
      m_text(new QLabel(this)), m_close(new QLabel(this)), m_timer(new QTimer(this)),
      m_answers(desktop::reminderAnswerMenu(this,
          { [this] { Q_EMIT clickedByUser(); },
              [this](reminder::Snooze choice) { Q_EMIT snoozeRequested(choice); } }))
{
    setToolTip(QStringLiteral("单击:知道了  右击:稍后提醒"));
    setObjectName(QStringLiteral("frmNotify"));
    // What a window list or switcher shows, should one list it after all.
    setWindowTitle(QStringLiteral("生日提醒"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Under sway the window manager would centre the strip on the screen; one it does not
    // manage stands where it is put, still above the windows, and is still dragged by its body.
    if (desktop::managerIgnoresPositions(desktop::x11::windowManagerName()))
        setWindowFlag(Qt::X11BypassWindowManagerHint);
    setWindowOpacity(Opacity);
    setFixedSize(Width, Height);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xFF, 0xF4, 0xC8));
    palette.setColor(QPalette::WindowText, QColor(0xC0, 0x10, 0x20));
    setPalette(palette);

    m_text->setObjectName(QStringLiteral("lblNotify"));
    m_text->setText(QStringLiteral("张三生日还有5天"));
    QFont font = m_text->font();
    font.setPointSize(font.pointSize() + 2);
    font.setBold(true);
    m_text->setFont(font);
    m_text->adjustSize();
    m_text->move(Width - CloseSize - 8, (Height - m_text->height()) / 2);
    m_text->installEventFilter(this);

    m_close->setObjectName(QStringLiteral("Image1"));
    m_close->setPixmap(picture(widgets::Picture::Close).pixmap(CloseSize, CloseSize));
    // The picture sits on an opaque strip of its own, so the text scrolls in beneath it.
    m_close->setAutoFillBackground(true);
    m_close->setAlignment(Qt::AlignCenter);
    m_close->setGeometry(Width - CloseSize - 8, 0, CloseSize + 8, Height);
    m_close->setCursor(Qt::PointingHandCursor);
    m_close->setToolTip(QStringLiteral("关闭"));
    m_close->setAccessibleName(QStringLiteral("关闭生日提醒"));
    m_close->setAccessibleDescription(QStringLiteral("关闭浮动提示窗口"));
    m_close->installEventFilter(this);
    m_close->raise();

    // A panel that starts after the strip was shown (a login's race) reserves the bottom of the
    // screen: the strip moves up with the free area, unless the user has put it elsewhere.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        connect(screen, &QScreen::availableGeometryChanged, this, [this] {
            if (isVisible() && !m_movedByUser)
                placeInCorner();
        });

    // Runs only while the strip is up: a closed strip stays made for the next reminder and
    // must not wake the program in the tray.
    m_timer->setInterval(ScrollMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &frmNotify::scrollTick);
}

void frmNotify::setNotifyText(const QString &text)
{
    m_wanted = text;
}

void frmNotify::scrollTick()
{
    if (m_text->text() != m_wanted) {
        m_text->setText(m_wanted);
        m_text->adjustSize();
    }
    m_text->move(m_text->x() - ScrollStep, m_text->y());
    // Scrolled out on the left: come in again from the right, beside the close picture.
    if (m_text->x() + m_text->width() < 0)
        m_text->move(m_close->x(), m_text->y());
}

void frmNotify::placeInCorner()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect avoid = m_avoided && m_avoided->isVisible() && !m_avoided->isMinimized()
        ? m_avoided->frameGeometry()
        : QRect();
    move(stripPosition(screen->availableGeometry(), size(), avoid));
}

void frmNotify::showEvent(QShowEvent *event)
{
    m_movedByUser = false;
    // A reminder strip, not a window to switch to: no task bar button, before the window
    // manager takes it on.
    if (QWindow *window = windowHandle())
        desktop::x11::skipTaskbar(*window);
    placeInCorner();
    m_text->setText(m_wanted);
    m_text->adjustSize();
    m_timer->start();
    QWidget::showEvent(event);
}

void frmNotify::hideEvent(QHideEvent *event)
{
    m_timer->stop();
    QWidget::hideEvent(event);
}

void frmNotify::mousePressEvent(QMouseEvent *event)
{
    m_pressedAt = event->globalPosition().toPoint();
    m_dragged = false;
    m_dragOffset = m_pressedAt - frameGeometry().topLeft();
}

void frmNotify::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const QPoint at = event->globalPosition().toPoint();
    if ((at - m_pressedAt).manhattanLength() >= QApplication::startDragDistance())
        m_dragged = true;
    if (m_dragged) {
        move(at - m_dragOffset);
        m_movedByUser = true;
    }
}

void frmNotify::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        m_answers->popup(event->globalPosition().toPoint());
        return;
    }
    if (!m_dragged)
        Q_EMIT clickedByUser();
    QWidget::mouseReleaseEvent(event);
}

bool frmNotify::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_close && event->type() == QEvent::MouseButtonRelease) {
        m_wanted.clear();
        close();
        Q_EMIT closedByUser();
        return true;
    }
    // The label is part of the body: pressing on it drags the window too.
    if (watched == m_text
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove
            || event->type() == QEvent::MouseButtonRelease)) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (event->type() == QEvent::MouseButtonPress)
            mousePressEvent(mouse);
        else if (event->type() == QEvent::MouseMove)
            mouseMoveEvent(mouse);
        else
            mouseReleaseEvent(mouse);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace natalis::desktop
