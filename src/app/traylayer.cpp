#include "app/traylayer.h"

#include "app/pictures.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

namespace natalis::app {

namespace {

// The shell cut its tip at 127 bytes; a long tip is still cut so that it stays one glance.
constexpr int TipCharacters = 127;

} // namespace

TrayLayer::TrayLayer(QObject *parent)
    : QObject(parent), availabilityProbe(&QSystemTrayIcon::isSystemTrayAvailable),
      m_watch(new QTimer(this))
{
    m_watch->setInterval(WatchMilliseconds);
    connect(m_watch, &QTimer::timeout, this, &TrayLayer::watchTick);
}

TrayLayer::~TrayLayer()
{
    TrayIconDelete();
}

QIcon TrayLayer::picture(int n)
{
    return app::picture(n == 0 ? Picture::Tray : Picture::TrayAlternate);
}

bool TrayLayer::available() const
{
    return availabilityProbe();
}

void TrayLayer::TrayIconAdd(QMenu *menu)
{
    if (m_icon)
        return;
    m_icon = std::make_unique<QSystemTrayIcon>(picture(m_picture));
    m_icon->setContextMenu(menu);
    m_icon->setToolTip(m_tip);
    connect(m_icon.get(), &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason reason) {
            Q_EMIT userActed();
            if (reason == QSystemTrayIcon::Trigger)
                Q_EMIT leftClicked();
        });
    connect(m_icon.get(), &QSystemTrayIcon::messageClicked, this, &TrayLayer::userActed);
    m_available = available();
    // Shown even without a tray: the icon then appears by itself when one starts.
    m_icon->show();
    m_watch->start();
}

void TrayLayer::watchTick()
{
    const bool now = available();
    if (now == m_available)
        return;
    m_available = now;
    // Added again, so that a tray that came late or came back embeds the icon for sure.
    if (now && m_icon) {
        m_icon->hide();
        m_icon->show();
    }
    Q_EMIT availabilityChanged(now);
}

void TrayLayer::TrayIconDelete()
{
    m_watch->stop();
    if (!m_icon)
        return;
    m_icon->hide();
    m_icon.reset();
}

void TrayLayer::TrayIconSetTip(const QString &text)
{
    m_tip = text.left(TipCharacters);
    if (m_icon)
        m_icon->setToolTip(m_tip);
}

void TrayLayer::TrayIconBalloon(const QString &text)
{
    if (m_icon && available())
        m_icon->showMessage(QStringLiteral("请关注亲人朋友的生日"), balloonText(text),
            QSystemTrayIcon::Information, BalloonMilliseconds);
}

void TrayLayer::MyTrayIcon(int n)
{
    m_picture = n;
    if (m_icon)
        m_icon->setIcon(picture(n));
}

QString balloonText(const QString &reminderText)
{
    QString text = reminderText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

} // namespace natalis::app
