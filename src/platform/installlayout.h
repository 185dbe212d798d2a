#pragma once

#include <QString>

namespace natalis::platform {

// The launcher's reverse-DNS id: the name of its .desktop file, of its icon in the icon theme
// and of its AppStream metadata.
QString desktopAppId();

// True when appFolder is the program folder of an installation: the launcher lies in the
// applications folder of the same prefix (<prefix>/bin beside <prefix>/share/applications).
// A build folder or an unpacked copy has no launcher there.
bool isInstalledProgramFolder(const QString &appFolder);

} // namespace natalis::platform
