#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;
class QTimer;

namespace natalis::app {

// The program's place in the notification area: one icon with a tool tip, a balloon, two
// pictures to blink between, left click for the birthday calendar and the "操作" menu on the
// right. Where the desktop has no tray the calls do nothing and available() says so. The tray may
// come late (a panel started after the program), go and come back (a panel restarted): the
// icon follows it.
class TrayLayer : public QObject
{
    Q_OBJECT

public:
    explicit TrayLayer(QObject *parent = nullptr);
    ~TrayLayer() override;

    static constexpr int BalloonMilliseconds = 15000;
    static constexpr int WatchMilliseconds = 2000;
    static QIcon picture(int n); // 0 normal, 1 the alternate picture of the blinking

    bool available() const;
    // What available() asks: the desktop's tray, unless a test stands in for it.
    std::function<bool()> availabilityProbe;
    // Looks whether the tray came or went; the watch timer calls it, tests may too.
    void watchTick();

    void TrayIconAdd(QMenu *menu);
    void TrayIconDelete();
    void TrayIconSetTip(const QString &text);
    void TrayIconBalloon(const QString &text);
    void MyTrayIcon(int n);

    // What the icon shows now, for tests and screenshots.
    QString tip() const { return m_tip; }
    int pictureShown() const { return m_picture; }

Q_SIGNALS:
    void leftClicked();
    // A click of any button on the icon or on its balloon.
    void userActed();
    void availabilityChanged(bool available);

private:
    void showIcon();

    std::unique_ptr<QSystemTrayIcon> m_icon;
    QTimer *m_watch = nullptr;
    bool m_available = false;
    QString m_tip;
    int m_picture = 0;
};

// The balloon shows a line per reminder item: the reminder's carriage returns become the
// platform's line breaks.
QString balloonText(const QString &reminderText);

} // namespace natalis::app
