#include "desktop/colourscheme.h"

#include "widgets/skincolors.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QPalette>

namespace natalis::desktop {

namespace {

// A desktop without a portal answers at once; a stuck one must not hold the theme back for long.
constexpr int PortalTimeoutMs = 500;

} // namespace

ColourScheme colourSchemeFromPortal(const QVariant &answer)
{
    QVariant value = answer;
    for (int depth = 0; depth < 2 && value.canConvert<QDBusVariant>(); ++depth)
        value = qvariant_cast<QDBusVariant>(value).variant();
    if (value.metaType().id() != QMetaType::UInt)
        return ColourScheme::NoPreference;
    switch (value.toUInt()) {
    case 1:
        return ColourScheme::PreferDark;
    case 2:
        return ColourScheme::PreferLight;
    default:
        return ColourScheme::NoPreference;
    }
}

void followPortalColourScheme(QObject *context)
{
    followPortalColourScheme(context, QDBusConnection::sessionBus());
}

QObject *followPortalColourScheme(QObject *context, const QDBusConnection &bus)
{
    QDBusMessage read =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"),
            QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("Read"));
    read << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme");
    // The bus's own thread carries the call; the answer comes back as an event.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(read, PortalTimeoutMs), context);
    QObject::connect(
        watcher, &QDBusPendingCallWatcher::finished, context, [](QDBusPendingCallWatcher *call) {
            call->deleteLater();
            const QDBusMessage reply = call->reply();
            if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
                return;
            if (colourSchemeFromPortal(reply.arguments().constFirst()) != ColourScheme::PreferDark)
                return;
            if (QGuiApplication::palette().color(QPalette::Base).lightness() < 128)
                return; // the theme is dark already, with colours of its own
            QApplication::setPalette(widgets::darkPalette());
        });
    return watcher;
}

} // namespace natalis::desktop
