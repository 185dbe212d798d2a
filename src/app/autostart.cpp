#include "app/autostart.h"

#include "app/desktopentry.h"
#include "app/installlayout.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace natalis::app {

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
        const QString exec = desktopExecLine({ program, dbPath });
        return writeWholeFile(m_path, desktopEntry(EntryName, exec, desktopAppId()));
    }

    bool disable() override { return QFile::remove(m_path) || !QFile::exists(m_path); }

private:
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
        // Quoted, so that folders with blanks survive the shell's splitting.
        m_run.setValue(EntryName,
            QStringLiteral("\"%1\" \"%2\"")
                .arg(QDir::toNativeSeparators(program), QDir::toNativeSeparators(dbPath)));
        m_run.sync();
        return m_run.status() == QSettings::NoError && IsAutoStartSet();
    }

    bool disable() override
    {
        m_run.remove(EntryName);
        m_run.sync();
        return m_run.status() == QSettings::NoError && !IsAutoStartSet();
    }

private:
    QSettings m_run;
};
#endif

} // namespace

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

} // namespace natalis::app
