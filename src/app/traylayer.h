#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace natalis::app {

// The program's place in the notification area: one icon with a tool tip, a balloon, two
// pictures to blink between, left click for the birthday calendar and the "操作" menu on the
// right. Where the desktop has no tray the calls do nothing and available() says so.
class TrayLayer : public QObject
{
    Q_OBJECT

public:
    explicit TrayLayer(QObject *parent = nullptr);
    ~TrayLayer() override;

    static constexpr int BalloonMilliseconds = 15000;
    static QIcon picture(int n); // 0 normal, 1 the alternate picture of the blinking

    bool available() const;

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

private:
    std::unique_ptr<QSystemTrayIcon> m_icon;
    QString m_tip;
    int m_picture = 0;
};

} // namespace natalis::app
