#pragma once

#include <QString>
#include <memory>

namespace natalis::desktop {

// The launcher of the program on the user's desktop: a .lnk on Windows, a .desktop entry
// elsewhere, named "青萍生日提醒软件v4.0".
class DesktopShortcut
{
public:
    enum class Result { Created, AlreadyThere, Failed };

    virtual ~DesktopShortcut() = default;
    // Starts program on the database file dbPath, recorded absolute. Never replaces an
    // existing shortcut.
    virtual Result create(const QString &program, const QString &dbPath) = 0;
};

// The one kind this system uses, in desktopFolder.
std::unique_ptr<DesktopShortcut> createDesktopShortcut(const QString &desktopFolder);

// The user's desktop folder.
QString userDesktopFolder();

// Panel 1's text after create.
QString shortcutResultText(DesktopShortcut::Result result);

} // namespace natalis::desktop
