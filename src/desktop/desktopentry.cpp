#include "desktop/desktopentry.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace natalis::desktop {

namespace {

// Characters that make a launcher argument need quotes.
bool needsQuotes(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (argument.isEmpty())
        return true;
    for (QChar c : argument) {
        if (reserved.contains(c))
            return true;
    }
    return false;
}

QString quoteArgument(const QString &argument)
{
    if (!needsQuotes(argument))
        return argument;
    QString quoted = QStringLiteral("\"");
    for (QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

// The string escapes of the key file: a backslash doubles, field codes double their percent.
QString escapeValue(const QString &value)
{
    QString escaped = value;
    escaped.replace(u'\\', QStringLiteral("\\\\"));
    escaped.replace(u'%', QStringLiteral("%%"));
    escaped.replace(u'\n', QStringLiteral("\\n"));
    return escaped;
}

} // namespace

QString desktopExecLine(const QStringList &programAndArguments)
{
    QStringList quoted;
    for (const QString &argument : programAndArguments)
        quoted.append(quoteArgument(argument));
    return escapeValue(quoted.join(u' '));
}

QByteArray desktopEntry(
    const QString &name, const QString &program, const QString &execLine, const QString &icon)
{
    QString text = QStringLiteral("[Desktop Entry]\nType=Application\nVersion=1.0\n");
    text += QStringLiteral("Name=") + escapeValue(name) + u'\n';
    text += QStringLiteral("TryExec=") + escapeValue(program) + u'\n';
    text += QStringLiteral("Exec=") + execLine + u'\n';
    if (!icon.isEmpty())
        text += QStringLiteral("Icon=") + escapeValue(icon) + u'\n';
    text += QStringLiteral("Terminal=false\n");
    return text.toUtf8();
}

bool writeWholeFile(const QString &path, const QByteArray &content)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(content) == content.size() && file.commit();
}

} // namespace natalis::desktop
