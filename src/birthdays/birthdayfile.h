#pragma once

#include "store/birthdaylist.h"
#include "store/connection.h"
#include "store/dberror.h"

#include <QString>
#include <optional>

namespace natalis::platform {
class MessageSink;
} // namespace natalis::platform

namespace natalis::birthdays {

// The database file and the birthdays as the program last read them from it. The program's
// context is one; the command line makes its own over its connection.
struct BirthdayFile
{
    QString DbPath;
    std::optional<store::Connection> DbConnection;
    // The start met a damaged page and the user kept the file: the connection is read-only
    // until a restore from a backup, so that nothing writes to the damaged file.
    bool DbDamaged = false;
    // Valid only while HasBirthdays; otherwise one blank record no reader may use.
    store::BirthdayList Birthdays;
    bool HasBirthdays = false;
    // The birthdays of the moment: Birthdays, or an empty list while there are none.
    const store::BirthdayList &loadedBirthdays() const
    {
        static const store::BirthdayList none;
        return HasBirthdays ? Birthdays : none;
    }
    // The connection's data_version when Birthdays was read: another program has written since
    // when it differs.
    qint64 LoadedDataVersion = -1;
};

// Reads the birthdays of file's connection again, reusing the old list's memory; a failed read
// is shown through messages and returned (the rows read before it are kept).
std::optional<store::DbError> reloadBirthdays(BirthdayFile &file, platform::MessageSink &messages);

} // namespace natalis::birthdays
