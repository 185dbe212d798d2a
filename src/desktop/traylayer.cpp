#include "desktop/traylayer.h"

#include "desktop/desktopnotifier.h"
#include "desktop/remindermenu.h"
#include "desktop/trayballoon.h"
#include "desktop/x11desktop.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace natalis::desktop {

namespace {

// The shell cut its tip at 127 bytes; a long tip is still cut so that it stays one glance.
constexpr int TipCharacters = 127;
constexpr int BusMilliseconds = 1000;
const QString WatcherService = u"org.kde.StatusNotifierWatcher"_s;

// Qt's own rule, asked once as Qt asks it once: when a StatusNotifierItem host is registered as
// the icon is made, the icon is such an item for the rest of the run; otherwise it is an XEmbed
// icon where there is an X server.
bool statusNotifierHostRegistered()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage ask = QDBusMessage::createMethodCall(WatcherService, u"/StatusNotifierWatcher"_s,
        u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
    ask << WatcherService << u"IsStatusNotifierHostRegistered"_s;
    const QDBusMessage answer = bus.call(ask, QDBus::Block, BusMilliseconds);
    return answer.type() == QDBusMessage::ReplyMessage
        && answer.arguments().value(0).value<QDBusVariant>().variant().toBool();
}

// The window Qt embeds into an XEmbed tray: a top-level widget of Qt's own tray class.
QWidget *embeddedIconWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QSystemTrayIconSys"))
            return widget;
    }
    return nullptr;
}

} // namespace

TrayLayer::TrayLayer(std::array<QIcon, 2> pictures, QObject *parent)
    : QObject(parent), m_pictures(std::move(pictures)), m_notifier(new DesktopNotifier(this)),
      m_watch(new QTimer(this))
{
    m_watch->setInterval(WatchMilliseconds);
    connect(m_watch, &QTimer::timeout, this, &TrayLayer::watchTick);
    connect(m_notifier, &DesktopNotifier::acknowledged, this, &TrayLayer::userActed);
    connect(m_notifier, &DesktopNotifier::snoozed, this,
        [this] { Q_EMIT snoozeRequested(reminder::Snooze::TenMinutes); });
    connect(m_notifier, &DesktopNotifier::openRequested, this, [this] {
        Q_EMIT userActed();
        Q_EMIT openRequested();
    });
    watchStatusNotifierHost();
}

TrayLayer::~TrayLayer()
{
    TrayIconDelete();
}

void TrayLayer::watchStatusNotifierHost()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    // One watch on the one session connection: the bus tells us when the watcher comes or goes.
    auto *watcher = new QDBusServiceWatcher(
        WatcherService, bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString &, const QString &, const QString &owner) {
            m_watcherRegistered = !owner.isEmpty();
            watchTick();
        });
    m_watcherRegistered = bus.interface()->isServiceRegistered(WatcherService);
}

bool TrayLayer::trayThere() const
{
    switch (m_host) {
    case Host::StatusNotifier:
        return m_watcherRegistered;
    case Host::XEmbed:
        return x11::trayManagerPresent();
    case Host::Unknown:
        break;
    }
    // No icon yet: it waits for a StatusNotifierItem host.
    return false;
}

bool TrayLayer::available() const
{
    return availabilityProbe();
}

bool TrayLayer::notificationsAvailable() const
{
    return m_notifier->serviceAvailable();
}

void TrayLayer::TrayIconAdd(QMenu *menu)
{
    if (m_icon)
        return;
    m_menu = menu;
    const ReminderAnswers answers { [this] { Q_EMIT userActed(); },
        [this](reminder::Snooze choice) { Q_EMIT snoozeRequested(choice); } };
    m_iconMenu.reset(reminderAnswerMenu(nullptr, answers));
    m_iconMenu->setObjectName(QStringLiteral("mnuTray"));
    if (menu) {
        m_iconMenu->addSeparator();
        m_iconMenu->addActions(menu->actions());
    }
    if (statusNotifierHostRegistered())
        m_host = Host::StatusNotifier;
    else if (x11::isX11())
        m_host = Host::XEmbed;
    // Without X11 and without a StatusNotifierItem host Qt would make an X11 tray icon, which
    // warns and never shows: the icon waits for a host (watchTick).
    if (m_host != Host::Unknown)
        makeIcon();
    m_available = available();
    m_watch->start();
}

void TrayLayer::makeIcon()
{
    m_icon = std::make_unique<QSystemTrayIcon>(m_pictures[m_picture]);
    m_icon->setContextMenu(m_iconMenu.get());
    m_icon->setToolTip(m_tip);
    connect(m_icon.get(), &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason reason) {
            // The right click opens the menu, whose first entry acknowledges: an XEmbed tray
            // reports it and a StatusNotifierItem host does not, and both must act alike.
            if (reason == QSystemTrayIcon::Context)
                return;
            Q_EMIT userActed();
            if (reason == QSystemTrayIcon::Trigger)
                Q_EMIT leftClicked();
        });
    connect(m_icon.get(), &QSystemTrayIcon::messageClicked, this, &TrayLayer::userActed);
    // Shown even without a tray: the icon then appears by itself when one starts.
    m_icon->show();
}

void TrayLayer::watchTick()
{
    // A host registers a moment after its watcher has taken the name; asked only while the
    // icon waits for one.
    if (m_menu && !m_icon && m_watcherRegistered && statusNotifierHostRegistered()) {
        m_host = Host::StatusNotifier;
        makeIcon();
    }
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
    m_menu = nullptr;
    withdrawBalloon();
    if (!m_icon)
        return;
    m_icon->hide();
    m_icon.reset();
    m_iconMenu.reset();
}

void TrayLayer::TrayIconSetTip(const QString &text)
{
    m_tip = text.left(TipCharacters);
    if (m_icon)
        m_icon->setToolTip(m_tip);
}

void TrayLayer::TrayIconBalloon(const QString &text)
{
    m_balloonText = text;
    const QString body = balloonText(text);
    const QString title = QString::fromUtf8(BalloonTitle);
    if (m_icon && available() && m_host != Host::StatusNotifier) {
        if (!showBalloonAtIcon(body))
            m_icon->showMessage(title, body, QSystemTrayIcon::Information, BalloonMilliseconds);
        return;
    }
    // No tray, or one that would hand the balloon to the notification service without our
    // actions.
    m_notifier->show(title, body, m_pictures[0]);
}

void TrayLayer::notifyBesideFloating(const QString &text)
{
    if (m_notifier->showing())
        return;
    m_notifier->show(QString::fromUtf8(BalloonTitle), balloonText(text), m_pictures[0]);
}

bool TrayLayer::showBalloonAtIcon(const QString &text)
{
    QWidget *iconWindow = embeddedIconWindow();
    if (!iconWindow)
        return false;
    const std::optional<QRect> device = x11::rootGeometry(iconWindow->winId());
    if (!device)
        return false;
    // The X server counts device pixels; the balloon is placed in Qt's scaled coordinates.
    const qreal ratio = iconWindow->devicePixelRatioF();
    const QRect icon((QPointF(device->topLeft()) / ratio).toPoint(), device->size() / ratio);
    if (!QGuiApplication::screenAt(icon.center()))
        return false;
    if (!m_balloon) {
        m_balloon = std::make_unique<TrayBalloon>();
        connect(m_balloon.get(), &TrayBalloon::clicked, this, &TrayLayer::userActed);
        m_balloonMenu.reset(reminderAnswerMenu(nullptr,
            { [this] { Q_EMIT userActed(); },
                [this](reminder::Snooze choice) { Q_EMIT snoozeRequested(choice); } }));
        connect(m_balloon.get(), &TrayBalloon::answersAsked, this,
            [this](const QPoint &at) { m_balloonMenu->popup(at); });
    }
    m_balloon->keepClearOf(m_strip);
    m_balloon->showAt(
        icon, QString::fromUtf8(BalloonTitle), text, m_pictures[0], BalloonMilliseconds);
    return true;
}

void TrayLayer::keepBalloonClearOf(const QRect &strip)
{
    m_strip = strip;
    if (m_balloon)
        m_balloon->keepClearOf(strip);
}

void TrayLayer::withdrawBalloon()
{
    if (m_balloon)
        m_balloon->hide();
    m_notifier->withdraw();
}

void TrayLayer::MyTrayIcon(int n)
{
    m_picture = n == 0 ? 0 : 1;
    if (m_icon)
        m_icon->setIcon(m_pictures[m_picture]);
}

QString balloonText(const QString &reminderText)
{
    QString text = reminderText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

} // namespace natalis::desktop
