#pragma once

#include <QString>

namespace natalis::reminder {

// Everything the reminder loop makes the user notice. The application implements it over the
// tray icon, the floating window, the music player and the main window's status bar; tests record
// the calls.
class ReminderOutputs
{
public:
    virtual ~ReminderOutputs() = default;

    virtual void TrayIconSetTip(const QString &text) = 0;
    virtual void TrayIconBalloon(const QString &text) = 0;
    // The user has seen the reminder: a balloon or desktop notification still up goes away.
    virtual void withdrawBalloon() = 0;
    // Picture 0 is the normal icon, 1 the alternate one of the blinking.
    virtual void MyTrayIcon(int picture) = 0;
    // Starts or stops the one-second blink timer.
    virtual void setTrayBlinking(bool on) = 0;

    virtual bool isFloatingWindowVisible() const = 0;
    virtual void showFloatingWindow(const QString &text) = 0;
    virtual void closeFloatingWindow() = 0;
    // The text the floating window scrolls; it follows every change.
    virtual void setFloatingText(const QString &text) = 0;

    virtual void playMusic(const QString &file) = 0;
    virtual void stopMusic(const QString &file) = 0;

    // Status bar panel 2: the row of ">" after an SMS went out.
    virtual void setActivityText(const QString &text) = 0;
};

} // namespace natalis::reminder
