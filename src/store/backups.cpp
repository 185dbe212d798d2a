#include "store/backups.h"

#include "store/compaction.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/livecopy.h"
#include "store/rawcopy.h"
#include "store/statement.h"
#include "store/workingfile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sqlcipher/sqlite3.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace natalis::store {

namespace {

constexpr QStringView DayFormat = u"yyyy-MM-dd";
constexpr QStringView MomentFormat = u"yyyy-MM-dd-HHmmss";
constexpr int MaxCopiesPerSecond = 9999;
// Behind the base name of a file kept aside because it did not open.
const QString AsideMark = u"damaged-"_s;

// What the user is told a file operation that failed with errno error ran into.
QString fileFailureCause(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return u"磁盘空间不足"_s;
    case EROFS:
    case EACCES:
    case EPERM:
        return u"没有写入权限"_s;
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

void tell(QString *cause, const QString &text)
{
    if (cause)
        *cause = text;
}

QString realPath(const QString &dbPath)
{
    const QString canonical = QFileInfo(dbPath).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(dbPath).absoluteFilePath() : canonical;
}

QString suffixOf(const QFileInfo &file)
{
    return file.suffix().isEmpty() ? QString() : u"."_s + file.suffix();
}

QString backupName(const QString &dbPath, const QString &stamp)
{
    const QFileInfo file(realPath(dbPath));
    return file.completeBaseName() + u'-' + stamp + suffixOf(file);
}

// The file name of the day's own backup, named by its day alone.
QString dailyBackupName(const QString &dbPath, QDate day)
{
    return backupName(dbPath, day.toString(DayFormat));
}

// Captures the stamp and, for a copy taken in the same second as another, its number (2, 3 …).
QRegularExpression backupPattern(const QString &dbPath)
{
    const QFileInfo file(realPath(dbPath));
    return QRegularExpression(u"^"_s + QRegularExpression::escape(file.completeBaseName())
        + u"-(\\d{4}-\\d{2}-\\d{2}(?:-\\d{6})?)(?:-(\\d{1,4}))?"_s
        + QRegularExpression::escape(suffixOf(file)) + u"$"_s);
}

bool makeFolder(const QString &folder)
{
    if (QFileInfo(folder).isDir())
        return true;
    return QDir().mkpath(folder)
        && QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

bool moveOver(const QString &from, const QString &to)
{
    std::error_code ec;
    std::filesystem::rename(from.toStdU16String(), to.toStdU16String(), ec);
    return !ec;
}

// Renames from to to unless to exists; false with errno EEXIST when it does.
bool moveBeside(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE)
        == 0)
        return true;
    // File systems without the flag (some network shares): the single-instance lock keeps a
    // second copy from being made in the same moment anyway.
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (QFileInfo::exists(to)) {
        errno = EEXIST;
        return false;
    }
    return ::rename(source.constData(), target.constData()) == 0;
}

// Moves from in as the copy taken at stamp under a name no other copy has: a second copy in the
// same second gets "-2", a third "-3" and so on behind the stamp.
// The path it went to; empty (errno set) when it could not be moved.
QString moveToFreeName(
    const QString &from, const QString &folder, const QString &dbPath, const QString &stamp)
{
    for (int number = 1; number <= MaxCopiesPerSecond; ++number) {
        const QString name = number == 1 ? stamp : stamp + u'-' + QString::number(number);
        const QString to = folder + u'/' + backupName(dbPath, name);
        if (moveBeside(from, to))
            return to;
        if (errno != EEXIST)
            return {};
    }
    return {};
}

bool moveToFreeName(const QString &from, const QString &dbPath, const QString &stamp)
{
    return !moveToFreeName(from, backupFolder(dbPath), dbPath, stamp).isEmpty();
}

// Every backup of the database at dbPath, newest first, without opening any: birthdays -1.
QList<BackupEntry> backupFiles(const QString &dbPath)
{
    const QRegularExpression pattern = backupPattern(dbPath);
    // Each entry with the number of its copy within its second.
    QList<std::pair<BackupEntry, int>> entries;
    const QFileInfoList files =
        QDir(backupFolder(dbPath)).entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::Hidden);
    for (const QFileInfo &file : files) {
        const QRegularExpressionMatch match = pattern.match(file.fileName());
        if (!match.hasMatch())
            continue;
        const QString stamp = match.captured(1);
        const QDateTime taken = stamp.size() == DayFormat.size()
            ? QDate::fromString(stamp, DayFormat).startOfDay()
            : QDateTime::fromString(stamp, MomentFormat);
        if (!taken.isValid())
            continue;
        entries.append({ { file.absoluteFilePath(), taken, file.size(), -1 },
            match.captured(2).isEmpty() ? 1 : match.captured(2).toInt() });
    }
    std::sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) {
        return std::tie(a.first.taken, a.second) > std::tie(b.first.taken, b.second);
    });
    QList<BackupEntry> newestFirst;
    for (const auto &[entry, number] : entries)
        newestFirst.append(entry);
    return newestFirst;
}

// Drops the oldest backups of one kind beyond KeptBackups.
void prune(const QString &dbPath, bool daily)
{
    QList<BackupEntry> kind;
    // By name alone: counting the rows of each copy would read every one of them.
    for (const BackupEntry &entry : backupFiles(dbPath)) {
        const bool isDaily = entry.taken.time() == QTime(0, 0)
            && QFileInfo(entry.path).fileName() == dailyBackupName(dbPath, entry.taken.date());
        if (isDaily == daily)
            kind.append(entry);
    }
    for (qsizetype i = KeptBackups; i < kind.size(); ++i)
        QFile::remove(kind[i].path);
}

std::optional<Connection> openCopy(const QString &path)
{
    return Connection::open(path, Connection::OpenMode::ReadOnly);
}

int birthdayCount(Connection &copy)
{
    try {
        Statement count = copy.prepare("select count(*) from birthday");
        return count.step() ? int(count.integer(0)) : -1;
    } catch (const DbException &) {
        return -1;
    }
}

bool isSound(Connection &copy, DamageCheck check = DamageCheck::Full)
{
    return !findDamage(copy, check);
}

// Keeps the current content of live as the backup taken at now, copied under a write lock.
bool saveCurrent(Connection &live, const QDateTime &now, QString *cause)
{
    const QString folder = backupFolder(live.path());
    QTemporaryFile copy(folder + u"/.natalis-XXXXXX.part"_s);
    errno = 0;
    if (!makeFolder(folder) || !copy.open()) {
        tell(cause, fileFailureCause(errno ? errno : EACCES));
        return false;
    }
    try {
        live.exec("begin exclusive");
    } catch (const DbException &e) {
        tell(cause, failureCause(e.error()));
        return false;
    }
    errno = 0;
    const bool copied = copyDatabaseBytes(live, copy.handle());
    const int copyError = errno;
    live.tryExec("commit");
    if (!copied || !moveToFreeName(copy.fileName(), live.path(), now.toString(MomentFormat))) {
        tell(cause, fileFailureCause(copied ? errno : copyError));
        return false;
    }
    copy.setAutoRemove(false);
    prune(live.path(), false);
    return true;
}

// The engine copies page by page inside one write transaction of live, journaled like any other,
// into the same file: links, owner and other programs' open handles stay valid.
bool copyInPlace(Connection &live, Connection &source)
{
    sqlite3_backup *copy = sqlite3_backup_init(live.handle(), "main", source.handle(), "main");
    if (!copy)
        return false;
    const int stepped = sqlite3_backup_step(copy, -1);
    const int finished = sqlite3_backup_finish(copy);
    return stepped == SQLITE_DONE && finished == SQLITE_OK;
}

// Puts a fresh copy of the backup in place of the file at real by a rename, with the file's mode
// and owner; a crash leaves the old file or the copy whole. False (errno set) when it could not.
bool putCopyInPlace(const QString &real, const QString &backupPath)
{
    struct stat old
    {
    };
    if (::stat(QFile::encodeName(real).constData(), &old) != 0)
        return false;
    // Declared first, so that a failed copy is gone before the hold on it ends.
    std::optional<WorkingFileHold> hold;
    QTemporaryFile fresh(QFileInfo(real).dir().filePath(u"natalis_tmp-XXXXXX.mdb"_s));
    QFile backup(backupPath);
    if (!fresh.open() || !backup.open(QIODevice::ReadOnly))
        return false;
    hold.emplace(fresh.fileName());
    while (!backup.atEnd()) {
        const QByteArray chunk = backup.read(64 * 1024);
        if (chunk.isEmpty() || fresh.write(chunk) != chunk.size())
            return false;
    }
    // Only root may give a file away; anyone else's copy is theirs already.
    const bool owned = ::geteuid() != 0 || ::fchown(fresh.handle(), old.st_uid, old.st_gid) == 0;
    if (!owned || !fresh.flush() || ::fsync(fresh.handle()) != 0
        || ::fchmod(fresh.handle(), old.st_mode & 07777) != 0)
        return false;
    if (!moveOver(fresh.fileName(), real))
        return false;
    fresh.setAutoRemove(false);
    return true;
}

// The copy in place of live's file; live is then opened again on the new file.
bool replaceByRename(Connection &live, const QString &backupPath)
{
    const QString real = live.path();
    if (!putCopyInPlace(real, backupPath))
        return false;
    auto reopened = Connection::open(real, Connection::OpenMode::ExistingOnly);
    if (!reopened)
        return false;
    live = std::move(*reopened);
    return true;
}

// A byte copy of the file at real, synced, under its aside name beside it; the path, or empty
// (errno set) when it could not be made.
QString copyAside(const QString &real, const QDateTime &now)
{
    QTemporaryFile copy(QFileInfo(real).dir().filePath(u".natalis-XXXXXX.part"_s));
    QFile source(real);
    if (!copy.open() || !source.open(QIODevice::ReadOnly))
        return {};
    while (!source.atEnd()) {
        const QByteArray chunk = source.read(64 * 1024);
        if (chunk.isEmpty() || copy.write(chunk) != chunk.size())
            return {};
    }
    if (!copy.flush() || ::fsync(copy.handle()) != 0)
        return {};
    const QString aside = moveToFreeName(copy.fileName(), QFileInfo(real).absolutePath(), real,
        AsideMark + now.toString(MomentFormat));
    if (!aside.isEmpty())
        copy.setAutoRemove(false);
    return aside;
}

// Moves the finished copy at copyPath (a file in the database's own folder or anywhere on the
// same file system) in as the daily backup of day, replacing one of the same day, and drops the
// oldest daily copies beyond KeptBackups. False when it could not be put there.
bool keepDailyBackup(const QString &dbPath, const QString &copyPath, QDate day)
{
    const QString folder = backupFolder(dbPath);
    if (!makeFolder(folder) || !moveOver(copyPath, folder + u'/' + dailyBackupName(dbPath, day)))
        return false;
    prune(dbPath, true);
    return true;
}

} // namespace

QString backupFolder(const QString &dbPath)
{
    return QFileInfo(realPath(dbPath)).dir().filePath(u"backup"_s);
}

QList<BackupEntry> listBackups(const QString &dbPath, const BackupListingProgress &progress)
{
    QList<BackupEntry> entries = backupFiles(dbPath);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (progress && !progress(i, entries.size()))
            return entries;
        if (auto copy = openCopy(entries[i].path))
            entries[i].birthdays = birthdayCount(*copy);
    }
    if (progress)
        progress(entries.size(), entries.size());
    return entries;
}

std::optional<BackupEntry> newestSoundBackup(const QString &dbPath)
{
    // Only the copy offered is counted: each count reads a whole file, as each check does.
    for (BackupEntry entry : backupFiles(dbPath)) {
        auto copy = openCopy(entry.path);
        if (copy && isSound(*copy)) {
            entry.birthdays = birthdayCount(*copy);
            return entry;
        }
    }
    return std::nullopt;
}

bool hasCurrentDailyBackup(const QString &dbPath, QDate day)
{
    struct stat file
    {
    }, backup {};
    const QString daily = backupFolder(dbPath) + u'/' + dailyBackupName(dbPath, day);
    return ::stat(QFile::encodeName(realPath(dbPath)).constData(), &file) == 0
        && ::stat(QFile::encodeName(daily).constData(), &backup) == 0
        && file.st_size == backup.st_size && file.st_mtim.tv_sec == backup.st_mtim.tv_sec
        && file.st_mtim.tv_nsec == backup.st_mtim.tv_nsec;
}

PendingBackup::PendingBackup(QString dbPath, QString copyPath, QDate day)
    : m_dbPath(std::move(dbPath)), m_copyPath(std::move(copyPath)), m_day(day)
{
    m_hold.emplace(m_copyPath);
}

PendingBackup::PendingBackup(QString dbPath, QDate day)
    : m_dbPath(std::move(dbPath)), m_day(day) { }

PendingBackup::~PendingBackup()
{
    if (!m_kept && !m_leftOnDisk && !m_copyPath.isEmpty())
        QFile::remove(m_copyPath);
}

bool PendingBackup::takeCopy()
{
    static const QString heldElsewhere = u"生日数据库被其他程序使用中"_s;
    const QString real = realPath(m_dbPath);
    auto db = Connection::open(real, Connection::OpenMode::ExistingOnly);
    if (!db) {
        m_cause = heldElsewhere;
        return false;
    }
    QTemporaryFile file(QFileInfo(real).dir().filePath(SafetyCopyTemplate.toString()));
    file.setAutoRemove(false);
    // Made and held under the write lock under which another start removes the working files
    // nobody holds, so that none is caught between.
    if (!db->tryExec("begin immediate")) {
        m_cause = heldElsewhere;
        return false;
    }
    errno = 0;
    const bool made = file.open();
    const int makeError = errno;
    if (made) {
        m_copyPath = file.fileName();
        m_hold.emplace(m_copyPath);
    }
    db->tryExec("commit");
    if (!made) {
        m_cause = fileFailureCause(makeError ? makeError : EACCES);
        return false;
    }
    errno = 0;
    switch (copyLiveDatabase(*db, file.handle(), m_stopCopying)) {
    case LiveCopyOutcome::Copied:
        return true;
    case LiveCopyOutcome::Stopped:
        return false;
    case LiveCopyOutcome::Changing:
        m_cause = heldElsewhere;
        return false;
    case LiveCopyOutcome::Failed:
        m_cause = fileFailureCause(errno ? errno : EIO);
        return false;
    }
    return false;
}

bool PendingBackup::check()
{
    if (m_copyPath.isEmpty() && !takeCopy())
        return false;
    auto copy = openCopy(m_copyPath);
    if (!copy) {
        m_cause = u"文件已损坏"_s;
        return false;
    }
    {
        const std::lock_guard lock(m_mutex);
        if (m_stopped)
            return false;
        m_reading = copy->handle();
    }
    const bool sound = isSound(*copy, DamageCheck::Quick);
    {
        const std::lock_guard lock(m_mutex);
        m_reading = nullptr;
        if (m_stopped)
            return false;
    }
    copy.reset();
    if (!sound) {
        m_cause = u"文件已损坏"_s;
        return false;
    }
    return keep();
}

void PendingBackup::stop()
{
    m_stopCopying = true;
    const std::lock_guard lock(m_mutex);
    m_stopped = true;
    // Safe from another thread while the connection is open, which the lock ensures.
    if (m_reading)
        sqlite3_interrupt(m_reading);
}

bool PendingBackup::keep()
{
    // On the disk before it replaces the day's earlier copy: a disk that turns out full only
    // when the data is written back must not leave a hollow copy in a good one's place.
    errno = 0;
    m_kept = m_kept || (m_hold && m_hold->sync() && keepDailyBackup(m_dbPath, m_copyPath, m_day));
    if (!m_kept)
        m_cause = fileFailureCause(errno ? errno : EIO);
    return m_kept;
}

RestoreOutcome restoreBackup(
    Connection &live, const QString &backupPath, const QDateTime &now, QString *cause)
{
    auto source = openCopy(backupPath);
    if (!source || !isSound(*source))
        return RestoreOutcome::BackupUnusable;
    if (!saveCurrent(live, now, cause))
        return RestoreOutcome::CurrentNotSaved;
    if (copyInPlace(live, *source))
        return RestoreOutcome::Restored;
    // The engine journals each page it replaces and cannot read the damaged ones: the copy then
    // takes the file's place by a rename instead, which is just as whole after a crash.
    source.reset();
    errno = 0;
    if (replaceByRename(live, backupPath))
        return RestoreOutcome::Restored;
    tell(cause, errno ? fileFailureCause(errno) : u"文件已损坏"_s);
    return RestoreOutcome::Failed;
}

RestoreOutcome restoreUnopened(const QString &dbPath, const QString &backupPath,
    const QDateTime &now, QString *aside, QString *cause)
{
    {
        auto source = openCopy(backupPath);
        if (!source || !isSound(*source))
            return RestoreOutcome::BackupUnusable;
    }
    const QString real = realPath(dbPath);
    errno = 0;
    const QString kept = copyAside(real, now);
    if (kept.isEmpty()) {
        tell(cause, fileFailureCause(errno ? errno : EIO));
        return RestoreOutcome::CurrentNotSaved;
    }
    if (aside)
        *aside = kept;
    errno = 0;
    if (!putCopyInPlace(real, backupPath)) {
        tell(cause, fileFailureCause(errno ? errno : EIO));
        return RestoreOutcome::Failed;
    }
    return RestoreOutcome::Restored;
}

QString setAsideUnopened(const QString &dbPath, const QDateTime &now, QString *cause)
{
    const QString real = realPath(dbPath);
    const QString aside = moveToFreeName(
        real, QFileInfo(real).absolutePath(), real, AsideMark + now.toString(MomentFormat));
    if (aside.isEmpty())
        tell(cause, fileFailureCause(errno));
    return aside;
}

} // namespace natalis::store
