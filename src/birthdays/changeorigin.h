#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QUuid>

namespace natalis::birthdays {

// Who wrote a change of the birthday table. A change that came from a sync is not sent back to
// the servers it came from.
enum class ChangeOrigin {
    Here, // this program: an add, an edit, a delete, a batch change, an undo or a redo
    OtherProgram, // another program wrote to the file
    Sync, // the address-book sync's worker
    Import, // an import of a file or of a phone's contacts
    Restore, // a backup was put in place of the file
};

// What BirthdayService::changed announces once the birthdays are read again.
struct BirthdayChanges
{
    ChangeOrigin origin = ChangeOrigin::Here;
    // The rows written, by Uid (gone ones included); empty when any row may have changed.
    QList<QUuid> uids;
    // After an undo or a redo: the status text ("已撤销 删除生日"); empty otherwise.
    QString undoText;
};

} // namespace natalis::birthdays

Q_DECLARE_METATYPE(natalis::birthdays::BirthdayChanges)
