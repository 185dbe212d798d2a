#include "desktop/desktopshortcut.h"

#include "desktop/desktopentry.h"
#include "platform/dblocation.h"
#include "platform/installlayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace natalis::desktop {

namespace {

const QString ShortcutName = QStringLiteral("青萍生日提醒软件v4.0");

#ifdef Q_OS_WIN
class WindowsShortcut : public DesktopShortcut
{
public:
    explicit WindowsShortcut(const QString &folder)
        : m_path(QDir(folder).filePath(ShortcutName + QStringLiteral(".lnk")))
    {
    }

    Result create(const QString &program, const QString &) override
    {
        if (QFileInfo::exists(m_path))
            return Result::AlreadyThere;
        return QFile::link(program, m_path) ? Result::Created : Result::Failed;
    }

private:
    QString m_path;
};
using PlatformShortcut = WindowsShortcut;
#else
class XdgShortcut : public DesktopShortcut
{
public:
    explicit XdgShortcut(const QString &folder)
        : m_path(QDir(folder).filePath(ShortcutName + QStringLiteral(".desktop")))
    {
    }

    Result create(const QString &program, const QString &dbPath) override
    {
        if (QFileInfo::exists(m_path))
            return Result::AlreadyThere;
        const QByteArray entry = desktopEntry(ShortcutName, program,
            desktopExecLine({ program, platform::absoluteDbPath(dbPath) }),
            platform::desktopAppId());
        if (!writeWholeFile(m_path, entry))
            return Result::Failed;
        // Desktops start only launchers their owner may execute.
        QFile::setPermissions(m_path, QFile::permissions(m_path) | QFile::ExeOwner);
        return Result::Created;
    }

private:
    QString m_path;
};
using PlatformShortcut = XdgShortcut;
#endif

} // namespace

std::unique_ptr<DesktopShortcut> createDesktopShortcut(const QString &desktopFolder)
{
    return std::make_unique<PlatformShortcut>(desktopFolder);
}

QString userDesktopFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

QString shortcutResultText(DesktopShortcut::Result result)
{
    switch (result) {
    case DesktopShortcut::Result::Created:
        return ShortcutName + QStringLiteral("的快捷方式创建成功!");
    case DesktopShortcut::Result::AlreadyThere:
        return ShortcutName + QStringLiteral("的快捷方式已经存在!");
    case DesktopShortcut::Result::Failed:
        break;
    }
    return ShortcutName + QStringLiteral("的快捷方式创建失败!");
}

} // namespace natalis::desktop
