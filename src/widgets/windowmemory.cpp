#include "widgets/windowmemory.h"

#include "store/windowstate.h"
#include "widgets/screenfit.h"

#include <QEvent>
#include <QHeaderView>
#include <QWidget>

namespace natalis::widgets {

namespace {

// Bumped when the lists' columns change, so that widths saved for other columns are not applied.
constexpr int ColumnsVersion = 4;

} // namespace

WindowMemory::WindowMemory(
    QWidget &window, QList<QHeaderView *> headers, std::function<store::Connection *()> connection)
    : QObject(&window), m_window(window), m_connection(std::move(connection))
{
    for (QHeaderView *header : headers)
        m_headers.append(header);
    window.installEventFilter(this);
}

QString WindowMemory::key(const QString &part) const
{
    return m_window.objectName() + u'.' + part;
}

void WindowMemory::restore()
{
    store::Connection *connection = m_connection ? m_connection() : nullptr;
    if (connection) {
        if (const auto geometry = readWindowState(*connection, key(QStringLiteral("geometry"))))
            m_window.restoreGeometry(*geometry);
        for (int i = 0; i < m_headers.size(); ++i) {
            const auto state = readWindowState(
                *connection, key(QStringLiteral("columns%1.v%2").arg(i).arg(ColumnsVersion)));
            if (state && m_headers[i]) {
                m_headers[i]->restoreState(*state);
                // Lists start in their stored order; an old sort mark would tell otherwise.
                m_headers[i]->setSortIndicatorShown(false);
            }
        }
    }
    fitToScreen(m_window);
}

void WindowMemory::save()
{
    store::Connection *connection = m_connection ? m_connection() : nullptr;
    if (!connection)
        return;
    store::writeWindowState(*connection, key(QStringLiteral("geometry")), m_window.saveGeometry());
    for (int i = 0; i < m_headers.size(); ++i) {
        if (m_headers[i])
            store::writeWindowState(*connection,
                key(QStringLiteral("columns%1.v%2").arg(i).arg(ColumnsVersion)),
                m_headers[i]->saveState());
    }
}

bool WindowMemory::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window && event->type() == QEvent::Hide && !event->spontaneous())
        save();
    return QObject::eventFilter(watched, event);
}

} // namespace natalis::widgets
