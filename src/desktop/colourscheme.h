#pragma once

#include <QVariant>

class QObject;

namespace natalis::desktop {

// The desktop's light or dark preference as its portal states it (org.freedesktop.appearance
// color-scheme): 0 no preference, 1 prefer dark, 2 prefer light.
enum class ColourScheme { NoPreference, PreferDark, PreferLight };

// The portal's answer to Settings.Read, which older portals wrap in one variant more than newer
// ones; anything else is no preference.
ColourScheme colourSchemeFromPortal(const QVariant &answer);

// Qt 6.4 reads the GTK theme but not the portal's preference: asks the portal once, without
// waiting on the calling thread, and gives the application a dark palette when the desktop
// prefers dark while the palette Qt found is light.
void followPortalColourScheme(QObject *context);

} // namespace natalis::desktop
