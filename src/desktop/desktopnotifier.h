#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

namespace natalis::desktop {

// The desktop's own notifications (org.freedesktop.Notifications on the session bus), for
// desktops where no tray shows our balloon: GNOME-like desktops, a desktop whose tray is off,
// and trays that hand balloons on to that service anyway. One reminder is on show at a time: a
// new one replaces it. Calls never wait for the service, so a hung one cannot stall the window.
class DesktopNotifier : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *AcknowledgeAction = "acknowledge";
    static constexpr const char *OpenAction = "open";
    static constexpr const char *SnoozeAction = "snooze";

    explicit DesktopNotifier(QObject *parent = nullptr);
    ~DesktopNotifier() override;

    // True when the session bus has a notification service, running or one the bus can start.
    bool serviceAvailable() const;

    // Shows the reminder with the actions "知道了", "稍后提醒" and "打开"; it stays until the user
    // or withdraw() closes it.
    void show(const QString &summary, const QString &body, const QIcon &icon);
    // Closes the reminder on show, if any.
    void withdraw();
    // True from show() until the reminder is closed or withdrawn.
    bool showing() const { return m_shown != 0 || (m_answerPending && !m_withdrawPending); }

Q_SIGNALS:
    // "知道了", or the reminder dismissed by the user (closed with reason 2 while no action was
    // chosen: dunst's left click).
    void acknowledged();
    // "稍后提醒"
    void snoozed();
    // "打开"
    void openRequested();

private Q_SLOTS:
    void onActionInvoked(uint id, const QString &action);
    void onClosed(uint id, uint reason);

private:
    void close(uint id);

    uint m_shown = 0; // the id the service gave the reminder on show; 0 for none
    bool m_withdrawPending = false; // withdrawn before the service told its id
    bool m_answerPending = false; // the service has not yet told the id of the latest show()
    quint64 m_request = 0; // counts show() calls, so that an older answer is not taken
};

} // namespace natalis::desktop
