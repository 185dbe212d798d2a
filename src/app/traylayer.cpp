#include "app/traylayer.h"

#include "app/pictures.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace natalis::app {

namespace {

// The shell cut its tip at 127 bytes; a long tip is still cut so that it stays one glance.
constexpr int TipCharacters = 127;

} // namespace

TrayLayer::TrayLayer(QObject *parent) : QObject(parent) { }

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
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayLayer::TrayIconAdd(QMenu *menu)
{
    if (m_icon)
        return;
    m_icon = std::make_unique<QSystemTrayIcon>(picture(0));
    m_icon->setContextMenu(menu);
    connect(m_icon.get(), &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger)
                Q_EMIT leftClicked();
        });
    if (available())
        m_icon->show();
}

void TrayLayer::TrayIconDelete()
{
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
        m_icon->showMessage(QStringLiteral("请关注亲人朋友的生日"), text,
            QSystemTrayIcon::Information, BalloonMilliseconds);
}

void TrayLayer::MyTrayIcon(int n)
{
    m_picture = n;
    if (m_icon)
        m_icon->setIcon(picture(n));
}

} // namespace natalis::app
