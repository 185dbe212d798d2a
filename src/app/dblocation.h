#pragma once

#include <QString>
#include <QStringList>

namespace natalis::app {

// Where the database file is when no argument names one: "natalis.mdb" in the executable's
// folder, or in the per-user data folder when the executable's folder cannot be written (an
// installation under /usr). Never doubles the separator of a root folder.
QString defaultDbPath(const QString &appFolder, bool appFolderWritable, const QString &dataFolder);

// The database path the command line names: its positional arguments joined by one blank, so an
// unquoted path with blanks still arrives whole; empty when there are none.
QString dbPathFromArguments(const QStringList &positional);

// The database path as a launcher must record it: absolute and canonical (links resolved) where
// the file exists, absolute and cleaned where it does not yet. A relative path is taken from the
// current folder, which a login does not keep.
QString absoluteDbPath(const QString &path);

} // namespace natalis::app
