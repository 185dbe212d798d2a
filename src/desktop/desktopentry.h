#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace natalis::desktop {

// The Exec value of a desktop entry that runs program with arguments: each one quoted when it
// holds a blank or a character the launcher would read itself, then escaped for the file.
QString desktopExecLine(const QStringList &programAndArguments);

// A launcher desktop entry named name, UTF-8, that runs execLine. program is its TryExec, so
// that a desktop hides the entry once the program it starts has been removed or moved.
QByteArray desktopEntry(
    const QString &name, const QString &program, const QString &execLine, const QString &icon);

// Writes content to path all at once (through a temporary file beside it), creating the folder.
bool writeWholeFile(const QString &path, const QByteArray &content);

} // namespace natalis::desktop
