#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>

namespace natalis::bench {

// A field of /proc/self/status (or a thread's), in its own unit; -1 when missing.
inline qint64 statusField(const QString &path, QByteArrayView name)
{
    QFile status(path);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(name) && line.size() > name.size() && line[name.size()] == ':')
            return line.mid(name.size() + 1).trimmed().split(' ').front().toLongLong();
    }
    return -1;
}

} // namespace natalis::bench
