#include "desktop/trayballoon.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>

namespace natalis::desktop {

namespace {

constexpr int Margin = 10;
constexpr int PictureSize = 32;
constexpr int PointerHeight = 10;
constexpr int PointerHalfWidth = 8;
constexpr int Corner = 7;
constexpr int Gap = 2; // between the icon and the pointer's tip
constexpr int MaxTextWidth = 420;

QFont titleFont(const QFont &base)
{
    QFont font = base;
    font.setBold(true);
    return font;
}

} // namespace

TrayBalloon::TrayBalloon()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_timeout(new QTimer(this))
{
    setObjectName(QStringLiteral("trayBalloon"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_timeout->setSingleShot(true);
    connect(m_timeout, &QTimer::timeout, this, &QWidget::hide);
}

TrayBalloon::Placement TrayBalloon::place(
    const QRect &icon, const QSize &balloon, const QRect &screen)
{
    Placement placement;
    const QPoint middle = icon.center();
    placement.pointerBelow = middle.y() >= screen.center().y();
    const int y =
        placement.pointerBelow ? icon.top() - Gap - balloon.height() : icon.bottom() + 1 + Gap;
    // The pointer sits near the balloon's right end for an icon on the right, as trays mostly
    // are, so that the balloon stands over the screen rather than past its edge.
    const int preferredX = middle.x() >= screen.center().x()
        ? middle.x() - balloon.width() + 3 * PointerHalfWidth
        : middle.x() - 3 * PointerHalfWidth;
    const int x = qBound(screen.left(), preferredX, screen.right() + 1 - balloon.width());
    placement.topLeft = QPoint(x, qBound(screen.top(), y, screen.bottom() + 1 - balloon.height()));
    placement.pointerX = qBound(
        Corner + PointerHalfWidth, middle.x() - x, balloon.width() - Corner - PointerHalfWidth);
    return placement;
}

TrayBalloon::Placement TrayBalloon::place(
    const QRect &icon, const QSize &balloon, const QRect &screen, const QRect &avoided)
{
    Placement placement = place(icon, balloon, screen);
    if (avoided.isEmpty() || !QRect(placement.topLeft, balloon).intersects(avoided))
        return placement;
    // The strip shows the same names and cannot be moved: the balloon gives way, as close to
    // the icon as it can stay.
    const int x = placement.topLeft.x();
    const QPoint above(x, avoided.top() - Gap - balloon.height());
    const QPoint below(x, avoided.bottom() + 1 + Gap);
    const QPoint left(avoided.left() - Gap - balloon.width(), placement.topLeft.y());
    for (const QPoint &at : { above, below, left }) {
        if (screen.contains(QRect(at, balloon))) {
            placement.topLeft = at;
            break;
        }
    }
    placement.pointerX = qBound(Corner + PointerHalfWidth,
        icon.center().x() - placement.topLeft.x(), balloon.width() - Corner - PointerHalfWidth);
    return placement;
}

void TrayBalloon::keepClearOf(const QRect &avoided)
{
    m_avoided = avoided;
    if (isVisible())
        placeOnScreen();
}

void TrayBalloon::placeOnScreen()
{
    const QScreen *screen = QGuiApplication::screenAt(m_icon.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(QPoint(0, 0), size() * 4);
    m_placement = place(m_icon, size(), area, m_avoided);
    // Shaped rather than translucent: without a compositing manager translucent corners are
    // drawn black.
    setMask(QRegion(outline().toFillPolygon().toPolygon()));
    move(m_placement.topLeft);
    update();
}

void TrayBalloon::showAt(const QRect &icon, const QString &title, const QString &text,
    const QIcon &picture, int milliseconds)
{
    m_title = title;
    m_text = text;
    m_picture = picture;
    const QFontMetrics bold(titleFont(font()));
    const QRect textBox =
        fontMetrics().boundingRect(QRect(0, 0, MaxTextWidth, 10000), Qt::TextWordWrap, m_text);
    const int contentWidth = qMax(bold.horizontalAdvance(m_title), textBox.width());
    const int contentHeight = qMax(PictureSize, bold.height() + Margin / 2 + textBox.height());
    const QSize size(
        Margin * 3 + PictureSize + contentWidth, Margin * 2 + contentHeight + PointerHeight);
    m_icon = icon;
    setFixedSize(size);
    placeOnScreen();
    show();
    raise();
    m_timeout->start(milliseconds);
}

QPainterPath TrayBalloon::outline() const
{
    const int top = m_placement.pointerBelow ? 0 : PointerHeight;
    const QRectF body(0.5, top + 0.5, width() - 1.0, height() - PointerHeight - 1.0);
    QPainterPath path;
    path.addRoundedRect(body, Corner, Corner);
    QPainterPath pointer;
    const qreal x = m_placement.pointerX;
    if (m_placement.pointerBelow) {
        pointer.moveTo(x - PointerHalfWidth, body.bottom() - 1);
        pointer.lineTo(x, height() - 0.5);
        pointer.lineTo(x + PointerHalfWidth, body.bottom() - 1);
    } else {
        pointer.moveTo(x - PointerHalfWidth, body.top() + 1);
        pointer.lineTo(x, 0.5);
        pointer.lineTo(x + PointerHalfWidth, body.top() + 1);
    }
    pointer.closeSubpath();
    return path.united(pointer);
}

void TrayBalloon::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x76, 0x76, 0x76), 1));
    painter.setBrush(QColor(0xFF, 0xFF, 0xE1));
    painter.drawPath(outline());

    const int contentTop = (m_placement.pointerBelow ? 0 : PointerHeight) + Margin;
    m_picture.paint(&painter, QRect(Margin, contentTop, PictureSize, PictureSize));
    const int textLeft = Margin + PictureSize + Margin;
    painter.setPen(Qt::black);
    painter.setFont(titleFont(font()));
    const QFontMetrics bold(painter.font());
    painter.drawText(QRect(textLeft, contentTop, width() - textLeft - Margin, bold.height()),
        Qt::AlignLeft | Qt::AlignVCenter, m_title);
    painter.setFont(font());
    painter.drawText(QRect(textLeft, contentTop + bold.height() + Margin / 2,
                         width() - textLeft - Margin, height()),
        Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_text);
}

void TrayBalloon::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        Q_EMIT answersAsked(event->globalPosition().toPoint());
        return;
    }
    hide();
    Q_EMIT clicked();
    QWidget::mouseReleaseEvent(event);
}

} // namespace natalis::desktop
