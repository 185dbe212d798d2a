#include "desktop/desktopnotifier.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QImage>

using namespace Qt::StringLiterals;

namespace natalis::desktop {

namespace {

const QString Service = u"org.freedesktop.Notifications"_s;
const QString Path = u"/org/freedesktop/Notifications"_s;
const QString Interface = u"org.freedesktop.Notifications"_s;
const QString AppName = u"生日提醒"_s;
constexpr int IconPixels = 48;
// A reminder stays until the user has seen it, as the balloon's blinking icon does.
constexpr int NeverExpires = 0;
constexpr int CallMilliseconds = 1000;
// NotificationClosed's reason when the person closed the notification.
constexpr uint DismissedByUser = 2;

// The picture as the notification's "image-data" hint: width, height, row stride, alpha, bits
// per sample, channels, RGBA bytes.
struct NotificationImage
{
    QImage image;
};

QDBusArgument &operator<<(QDBusArgument &argument, const NotificationImage &picture)
{
    const QImage image = picture.image.convertToFormat(QImage::Format_RGBA8888);
    argument.beginStructure();
    argument << image.width() << image.height() << int(image.bytesPerLine()) << true << 8 << 4
             << QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, NotificationImage &)
{
    return argument;
}

} // namespace

} // namespace natalis::desktop

Q_DECLARE_METATYPE(natalis::desktop::NotificationImage)

namespace natalis::desktop {

DesktopNotifier::DesktopNotifier(QObject *parent) : QObject(parent)
{
    qDBusRegisterMetaType<NotificationImage>();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(
        Service, Path, Interface, u"ActionInvoked"_s, this, SLOT(onActionInvoked(uint, QString)));
    bus.connect(
        Service, Path, Interface, u"NotificationClosed"_s, this, SLOT(onClosed(uint, uint)));
}

DesktopNotifier::~DesktopNotifier()
{
    // A reminder of a program that has ended can neither be acknowledged nor opened.
    withdraw();
}

bool DesktopNotifier::serviceAvailable() const
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage ask = QDBusMessage::createMethodCall(u"org.freedesktop.DBus"_s,
        u"/org/freedesktop/DBus"_s, u"org.freedesktop.DBus"_s, u"NameHasOwner"_s);
    ask << Service;
    const QDBusMessage owned = bus.call(ask, QDBus::Block, CallMilliseconds);
    if (owned.type() == QDBusMessage::ReplyMessage && owned.arguments().value(0).toBool())
        return true;
    ask = QDBusMessage::createMethodCall(u"org.freedesktop.DBus"_s, u"/org/freedesktop/DBus"_s,
        u"org.freedesktop.DBus"_s, u"ListActivatableNames"_s);
    const QDBusMessage startable = bus.call(ask, QDBus::Block, CallMilliseconds);
    return startable.type() == QDBusMessage::ReplyMessage
        && startable.arguments().value(0).toStringList().contains(Service);
}

void DesktopNotifier::show(const QString &summary, const QString &body, const QIcon &icon)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QVariantMap hints;
    hints.insert(u"desktop-entry"_s, QGuiApplication::desktopFileName());
    hints.insert(u"urgency"_s, QVariant::fromValue(uchar(1)));
    hints.insert(u"image-data"_s,
        QVariant::fromValue(NotificationImage { icon.pixmap(IconPixels, IconPixels).toImage() }));
    const QStringList actions = { QString::fromLatin1(AcknowledgeAction), u"知道了"_s,
        QString::fromLatin1(SnoozeAction), u"稍后提醒"_s, QString::fromLatin1(OpenAction),
        u"打开"_s };
    QDBusMessage notify = QDBusMessage::createMethodCall(Service, Path, Interface, u"Notify"_s);
    notify << AppName << m_shown << QGuiApplication::desktopFileName() << summary << body << actions
           << hints << NeverExpires;
    m_withdrawPending = false;
    m_answerPending = true;
    const quint64 request = ++m_request;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, request](QDBusPendingCallWatcher *call) {
            call->deleteLater();
            const QDBusPendingReply<uint> reply = *call;
            if (request != m_request)
                return;
            m_answerPending = false;
            if (reply.isError())
                return;
            m_shown = reply.value();
            if (m_withdrawPending)
                withdraw();
        });
}

void DesktopNotifier::withdraw()
{
    if (m_shown == 0) {
        // Asked to show but not yet answered: closed as soon as the id is known.
        m_withdrawPending = m_request > 0;
        return;
    }
    close(m_shown);
    m_shown = 0;
    m_withdrawPending = false;
}

void DesktopNotifier::close(uint id)
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(Service, Path, Interface, u"CloseNotification"_s);
    message << id;
    QDBusConnection::sessionBus().asyncCall(message, CallMilliseconds);
}

void DesktopNotifier::onActionInvoked(uint id, const QString &action)
{
    if (id == 0 || id != m_shown)
        return;
    // The service closes a notification whose action was chosen: nothing left to withdraw.
    m_shown = 0;
    if (action == QLatin1StringView(OpenAction))
        Q_EMIT openRequested();
    else if (action == QLatin1StringView(SnoozeAction))
        Q_EMIT snoozed();
    else
        Q_EMIT acknowledged();
}

void DesktopNotifier::onClosed(uint id, uint reason)
{
    if (id == 0 || id != m_shown)
        return;
    m_shown = 0;
    // A chosen action came first and already took the reminder; this is the person closing it.
    if (reason == DismissedByUser)
        Q_EMIT acknowledged();
}

} // namespace natalis::desktop
