#pragma once

#include <QString>
#include <QStringList>

namespace natalis::platform {

// Where the database file is when no argument names one: "natalis.mdb" in the executable's
// folder, or in the per-user data folder when the executable's folder cannot be written (an
// installation under /usr). Never doubles the separator of a root folder.
QString defaultDbPath(const QString &appFolder, bool appFolderWritable, const QString &dataFolder);

// Whether the default database lies beside the program: only for a copy that was not installed
// (a build folder, an unpacked copy) in a folder it may write. An installed program keeps it in
// the user's data folder, also when run by root, who may write /usr/bin.
bool keepsDatabaseBesideProgram(const QString &appFolder);

// The user's data folder of natalis (QStandardPaths::AppDataLocation; ~/.local/share/natalis).
QString userDataFolder();

// Panel 1's note on the first start with a database in the user's data folder, where nobody
// would look for it.
QString newDatabaseNotice(const QString &dbPath);

// The database path the command line names: its positional arguments joined by one blank, so an
// unquoted path with blanks still arrives whole; empty when there are none.
QString dbPathFromArguments(const QStringList &positional);

// The database path as a launcher must record it: absolute and canonical (links resolved) where
// the file exists, absolute and cleaned where it does not yet. A relative path is taken from the
// current folder, which a login does not keep.
QString absoluteDbPath(const QString &path);

} // namespace natalis::platform
