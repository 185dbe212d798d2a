#pragma once

#include <QString>

namespace natalis::store {

// Marks a working file of a compaction or restore as in use for as long as the object lives:
// an advisory lock (flock) on the file, which the system drops when the process ends, however
// it ends. A file whose maker was killed is therefore known at once, whatever its age.
class WorkingFileHold
{
public:
    explicit WorkingFileHold(const QString &path);
    ~WorkingFileHold();
    WorkingFileHold(const WorkingFileHold &) = delete;
    WorkingFileHold &operator=(const WorkingFileHold &) = delete;

    // Syncs the file to the disk. The hold's descriptor was opened before the file was written,
    // so a write-back that failed in the meantime (a disk that filled up late) is told here too.
    bool sync() const;

private:
    int m_fd = -1;
};

// Removes the working file at path unless a living process holds it. True when it was removed.
bool removeUnheldWorkingFile(const QString &path);

} // namespace natalis::store
