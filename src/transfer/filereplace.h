#pragma once

#include <QByteArrayView>
#include <QString>

namespace natalis::transfer {

// Puts bytes in place of the file at path (a link: of the file it points to) so that a reader
// finds either the whole old content or the whole new one. The new content goes to a fresh file
// beside it, which is written, synced to the disk and closed, every step checked, before it is
// renamed over path; an existing file keeps its mode. Returns 0 on success, else the errno of
// the step that failed, after which path is as it was and the fresh file is gone.
int replaceFileContent(const QString &path, QByteArrayView bytes);

} // namespace natalis::transfer
