#include "widgets/helpdocument.h"

#include "widgets/pictures.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace natalis::app {

QString helpDocumentPath(const QString &folder)
{
    picture(Picture::Tray); // the help lives in the same resources as the pictures
    QFile shipped(QStringLiteral(":/natalis/help.html"));
    if (!shipped.open(QIODevice::ReadOnly))
        return {};
    const QByteArray content = shipped.readAll();

    const QString dir =
        folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::CacheLocation) : folder;
    if (dir.isEmpty() || !QDir().mkpath(dir))
        return {};
    const QString path = QDir(dir).filePath(QStringLiteral("natalis-help.html"));
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return path;
    existing.close();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        return {};
    return path;
}

} // namespace natalis::app
