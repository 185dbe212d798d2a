#include "desktop/autostart.h"

#include "desktop/desktopentry.h"
#include "platform/dblocation.h"
#include "platform/installlayout.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace natalis::desktop {

namespace {

const QString EntryName = QStringLiteral("natalis");

class XdgAutoStart : public AutoStart
{
public:
    explicit XdgAutoStart(const QString &folder)
        : m_path(QDir(folder).filePath(EntryName + QStringLiteral(".desktop")))
    {
    }

    bool IsAutoStartSet() const override { return QFile::exists(m_path); }

    bool enable(const QString &program, const QString &dbPath) override
    {
        return writeWholeFile(m_path, entry(program, dbPath));
    }

    bool refresh(const QString &program, const QString &dbPath) override
    {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly))
            return true;
        const QByteArray wanted = entry(program, dbPath);
        if (file.readAll() == wanted)
            return true;
        file.close();
        return writeWholeFile(m_path, wanted);
    }

    bool disable() override { return QFile::remove(m_path) || !QFile::exists(m_path); }

private:
    static QByteArray entry(const QString &program, const QString &dbPath)
    {
        return desktopEntry(EntryName, program, desktopExecLine(autoStartCommand(program, dbPath)),
            platform::desktopAppId());
    }

    QString m_path;
};

#ifdef Q_OS_WIN
class RegistryAutoStart : public AutoStart
{
public:
    RegistryAutoStart()
        : m_run(
            QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"),
            QSettings::NativeFormat)
    {
    }

    bool IsAutoStartSet() const override { return m_run.contains(EntryName); }

    bool enable(const QString &program, const QString &dbPath) override
    {
        m_run.setValue(EntryName, value(program, dbPath));
        m_run.sync();
        return m_run.status() == QSettings::NoError && IsAutoStartSet();
    }

    bool refresh(const QString &program, const QString &dbPath) override
    {
        if (!IsAutoStartSet() || m_run.value(EntryName).toString() == value(program, dbPath))
            return true;
        return enable(program, dbPath);
    }

    bool disable() override
    {
        m_run.remove(EntryName);
        m_run.sync();
        return m_run.status() == QSettings::NoError && !IsAutoStartSet();
    }

private:
    // Quoted, so that folders with blanks survive the shell's splitting.
    static QString value(const QString &program, const QString &dbPath)
    {
        QStringList quoted;
        for (const QString &part : autoStartCommand(program, dbPath))
            quoted.append(
                part.startsWith(u'-') ? part : u'"' + QDir::toNativeSeparators(part) + u'"');
        return quoted.join(u' ');
    }

    QSettings m_run;
};
#endif

} // namespace

QStringList autoStartCommand(const QString &program, const QString &dbPath)
{
    return { program, QStringLiteral("--tray"), platform::absoluteDbPath(dbPath) };
}

std::unique_ptr<AutoStart> createXdgAutoStart(const QString &autostartFolder)
{
    return std::make_unique<XdgAutoStart>(autostartFolder);
}

std::unique_ptr<AutoStart> createAutoStart()
{
#ifdef Q_OS_WIN
    return std::make_unique<RegistryAutoStart>();
#else
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return createXdgAutoStart(QDir(config).filePath(QStringLiteral("autostart")));
#endif
}

} // namespace natalis::desktop
