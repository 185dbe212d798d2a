#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QHeaderView;
class QWidget;

namespace natalis::store {
class Connection;
}

namespace natalis::widgets {

// Remembers a window's size and place and the column widths of its lists across runs, in the
// database (saved whenever the window hides, restored by restore()).
class WindowMemory : public QObject
{
    Q_OBJECT

public:
    // `connection` answers the open database, or null when there is none (then nothing is kept).
    WindowMemory(QWidget &window, QList<QHeaderView *> headers,
        std::function<store::Connection *()> connection);

    void restore();
    void save();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString key(const QString &part) const;

    QWidget &m_window;
    QList<QPointer<QHeaderView>> m_headers;
    std::function<store::Connection *()> m_connection;
};

} // namespace natalis::widgets
