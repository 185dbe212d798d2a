#pragma once

#include <QVariant>

class QDBusConnection;
class QObject;

namespace natalis::desktop {

// The desktop's light or dark preference as its portal states it (org.freedesktop.appearance
// color-scheme): 0 no preference, 1 prefer dark, 2 prefer light.
enum class ColourScheme { NoPreference, PreferDark, PreferLight };

// The portal's answer to Settings.Read, which older portals wrap in one variant more than newer
// ones; anything else is no preference.
ColourScheme colourSchemeFromPortal(const QVariant &answer);

// Qt 6.4 reads the GTK theme but not the portal's preference: asks the portal on the session bus
// once, without waiting on the calling thread, and gives the application a dark palette when the
// desktop prefers dark while the palette Qt found is light.
void followPortalColourScheme(QObject *context);

// The same on bus. Returns the call in flight, a child of context that deletes itself once the
// answer, an error or the timeout of half a second has been dealt with.
QObject *followPortalColourScheme(QObject *context, const QDBusConnection &bus);

} // namespace natalis::desktop
