#pragma once

#include "reminder/reminderitems.h"

#include <QIcon>
#include <QObject>
#include <QRect>
#include <QString>
#include <array>
#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;
class QTimer;

namespace natalis::desktop {

class DesktopNotifier;
class TrayBalloon;

// The program's place in the notification area: one icon with a tool tip, a balloon, two
// pictures to blink between, left click for the birthday calendar and the "操作" menu on the
// right, after "知道了" and "稍后提醒" (right click opens it on every kind of tray, and only the
// left, middle or double click acknowledges). The tray may come late (a panel started after the
// program), go and come back (a panel restarted): the icon follows it. Where no tray shows a
// balloon (no tray at all, or a StatusNotifierItem host, which hands balloons on anyway) the
// reminder goes to the desktop's notification service, with "知道了", "稍后提醒" and "打开".
class TrayLayer : public QObject
{
    Q_OBJECT

public:
    // What the tray icon is to the desktop; Qt decides once, when the icon is made. Unknown
    // while no icon is made: no X11 and no StatusNotifierItem host yet.
    enum class Host { Unknown, XEmbed, StatusNotifier };

    // pictures: the normal icon and the alternate picture of the blinking.
    explicit TrayLayer(std::array<QIcon, 2> pictures, QObject *parent = nullptr);
    ~TrayLayer() override;

    static constexpr int BalloonMilliseconds = 15000;
    static constexpr int WatchMilliseconds = 2000;
    static constexpr const char *BalloonTitle = "请关注亲人朋友的生日";

    bool available() const;
    // What available() asks: the desktop's tray, unless a test stands in for it. The real one
    // asks the X server or the bus name watch, never a new bus connection.
    std::function<bool()> availabilityProbe = [this] { return trayThere(); };
    // Looks whether the tray came or went; the watch timer calls it, tests may too.
    void watchTick();
    // True when a reminder without a tray still reaches the desktop's notification service.
    bool notificationsAvailable() const;

    void TrayIconAdd(QMenu *menu);
    void TrayIconDelete();
    void TrayIconSetTip(const QString &text);
    void TrayIconBalloon(const QString &text);
    void MyTrayIcon(int n);
    // The floating strip's reminder as a desktop notification too, where the strip's place is
    // the compositor's to choose; nothing when a reminder is on show there already.
    void notifyBesideFloating(const QString &text);
    // The reminder was seen: the balloon or notification still on show goes.
    void withdrawBalloon();
    // The floating strip's place on the screen (empty while it is closed): the balloon beside
    // the icon stays off it, so that the strip's text is never covered.
    void keepBalloonClearOf(const QRect &strip);

    // What the icon shows now, for tests and screenshots.
    QString tip() const { return m_tip; }
    int pictureShown() const { return m_picture; }
    // The text of the latest balloon or notification, as given.
    QString balloonShown() const { return m_balloonText; }
    Host host() const { return m_host; }

Q_SIGNALS:
    void leftClicked();
    // A click on the icon or its balloon, "知道了" in the icon's menu or a notification, or a
    // notification dismissed by the user.
    void userActed();
    // "稍后提醒" in the icon's menu, on the balloon or in a notification.
    void snoozeRequested(natalis::reminder::Snooze choice);
    // "打开" in a notification.
    void openRequested();
    void availabilityChanged(bool available);

private:
    bool trayThere() const;
    void watchStatusNotifierHost();
    bool showBalloonAtIcon(const QString &text);
    void makeIcon();

    std::array<QIcon, 2> m_pictures;
    QMenu *m_menu = nullptr; // the "操作" menu; set from TrayIconAdd() to TrayIconDelete()
    std::unique_ptr<QMenu> m_iconMenu; // the answers, then the "操作" menu's entries
    std::unique_ptr<QMenu> m_balloonMenu; // the answers alone
    std::unique_ptr<QSystemTrayIcon> m_icon;
    std::unique_ptr<TrayBalloon> m_balloon;
    DesktopNotifier *m_notifier;
    QTimer *m_watch = nullptr;
    Host m_host = Host::Unknown;
    bool m_watcherRegistered = false; // a StatusNotifierWatcher holds its bus name
    bool m_available = false;
    QString m_tip;
    QString m_balloonText;
    QRect m_strip;
    int m_picture = 0;
};

// The balloon shows a line per reminder item: the reminder's carriage returns become the
// platform's line breaks.
QString balloonText(const QString &reminderText);

} // namespace natalis::desktop
