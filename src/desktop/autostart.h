#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace natalis::desktop {

// Whether the program starts with the user's session, and switching it. Windows keeps the value
// "natalis" under the current user's Run key; other systems an XDG autostart entry.
class AutoStart
{
public:
    virtual ~AutoStart() = default;
    virtual bool IsAutoStartSet() const = 0;
    // Starts program in the tray with the database file dbPath, recorded absolute, at every
    // log-in.
    virtual bool enable(const QString &program, const QString &dbPath) = 0;
    virtual bool disable() = 0;
    // An entry that is set but says something else than enable would write now (an older one
    // with a relative database path, say) is written again. False when that rewrite failed.
    virtual bool refresh(const QString &program, const QString &dbPath) = 0;
};

// The XDG one: the entry natalis.desktop in autostartFolder.
std::unique_ptr<AutoStart> createXdgAutoStart(const QString &autostartFolder);

// This system's: the Run key on Windows, else natalis.desktop in the autostart folder of the
// user's configuration folder (XDG_CONFIG_HOME, by default ~/.config).
std::unique_ptr<AutoStart> createAutoStart();

// The command an autostart entry runs: program, "--tray" and the absolute database path.
QStringList autoStartCommand(const QString &program, const QString &dbPath);

} // namespace natalis::desktop
