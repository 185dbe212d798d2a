#pragma once

#include "store/birthdayrecord.h"
#include "transfer/importlayout.h"
#include "transfer/importpreview.h"

#include <QDateTime>
#include <QString>
#include <functional>

namespace natalis::store {
class Connection;
}

namespace natalis::transfer {

// The record as it is stored: strGL and strNL built from the date field (a lunar date gives
// its lunar text and the Gregorian text of the same day; a Gregorian date its text and the
// lunar text of that day), both empty without a date; DxSend "0". A date without a year gives
// only its own calendar's text (year 0000) and the rule of that calendar.
store::BirthdayRecord storedBirthday(const ImportRecord &record);

struct ImportOutcome
{
    bool ok = false;
    bool stopped = false; // the user stopped it: nothing added, the file as it was
    int added = 0; // 0 unless ok: a failure adds nothing
    // For the main window's status bar. A failure names its cause first: "磁盘空间不足",
    // "生日数据库文件只读", else "生日数据库访问冲突".
    QString statusText;
};

// The preview window's status text when adding starts; the count added so far follows it.
QString addingText(ImportLayout layout);

// Hears the rows added so far of those ticked after each insert; false stops the import.
using ImportProgress = std::function<bool(int added, int ticked)>;

// Adds the ticked rows in list order in one transaction: all of them, or none when any insert
// fails or progress says stop; now is the moment of the import.
ImportOutcome addImportedBirthdays(store::Connection &connection, const ImportPreview &preview,
    ImportLayout layout, const QDateTime &now, const ImportProgress &progress = {});

// The same on a connection of its own to the database file at dbPath, for a worker thread (a
// connection is never shared between threads), read-only when the program holds the file so
// (a damaged file kept as it is). A file that does not open is a failure like a refused insert.
ImportOutcome addImportedBirthdays(const QString &dbPath, bool readOnly,
    const ImportPreview &preview, ImportLayout layout, const QDateTime &now,
    const ImportProgress &progress = {});

} // namespace natalis::transfer
