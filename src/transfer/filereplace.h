#pragma once

#include <QByteArrayView>
#include <QString>
#include <functional>

namespace natalis::transfer {

// Puts bytes in place of the file at path (a link: of the file it points to) so that a reader
// finds either the whole old content or the whole new one. The new content goes to a fresh file
// beside it, which is written, synced to the disk and closed, every step checked, before it is
// renamed over path; an existing file keeps its mode. Returns 0 on success, else the errno of
// the step that failed, after which path is as it was and the fresh file is gone.
// The fresh file is named "." + path's name + "." + seven of [0-9a-z] + ".part" and locked
// (flock) while it is written. One that a killed write left beside any file of the folder is
// removed first: a file of that naming, of this user, unlocked and written at least ten
// seconds before the new fresh file was made. Nothing else in the folder is touched.
int replaceFileContent(const QString &path, QByteArrayView bytes);

// Takes the next piece of the new content; returns 0, or the errno of a failed write, which the
// producer then returns at once.
using WriteChunk = std::function<int(QByteArrayView chunk)>;
// The same with the content made piece by piece: produce hands every piece to the writer it is
// given and returns 0, or the first errno the writer returned. However large the file, only a
// piece of it is ever held in memory.
int replaceFileContent(const QString &path, const std::function<int(const WriteChunk &)> &produce);

} // namespace natalis::transfer
