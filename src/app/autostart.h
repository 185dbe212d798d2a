#pragma once

#include <QString>
#include <memory>

namespace natalis::app {

// Whether the program starts with the user's session, and switching it. Windows keeps the value
// "natalis" under the current user's Run key; other systems an XDG autostart entry.
class AutoStart
{
public:
    virtual ~AutoStart() = default;
    virtual bool IsAutoStartSet() const = 0;
    // Starts program with the database file dbPath as its argument at every log-in.
    virtual bool enable(const QString &program, const QString &dbPath) = 0;
    virtual bool disable() = 0;
};

// The XDG one: the entry natalis.desktop in autostartFolder.
std::unique_ptr<AutoStart> createXdgAutoStart(const QString &autostartFolder);

// This system's: the Run key on Windows, else natalis.desktop in the autostart folder of the
// user's configuration folder (XDG_CONFIG_HOME, by default ~/.config).
std::unique_ptr<AutoStart> createAutoStart();

} // namespace natalis::app
