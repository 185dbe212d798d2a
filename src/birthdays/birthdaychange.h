#pragma once

#include "store/birthdays.h"

#include <QList>
#include <QUndoCommand>
#include <functional>

namespace natalis::birthdays {

// One undoable change of the birthday table (an add, an edit, a batch edit, a delete, an import):
// the rows it touched as they were before and after, named by their Uids so that a row deleted
// and added back is still found. The change itself is already written when the command is
// pushed; undo and redo write the states through `apply`, which says whether it succeeded. A
// change that cannot be written is dropped from the stack.
class BirthdayChange : public QUndoCommand
{
public:
    using Apply = std::function<bool(const QList<store::BirthdayState> &states, bool undo)>;

    BirthdayChange(const QString &name, QList<store::BirthdayState> before,
        QList<store::BirthdayState> after, Apply apply);

    void undo() override;
    void redo() override;

    // The states of records as they stand, and of the same rows gone.
    static QList<store::BirthdayState> present(const QList<store::BirthdayRecord> &records);
    static QList<store::BirthdayState> absent(const QList<store::BirthdayRecord> &records);

private:
    QList<store::BirthdayState> m_before;
    QList<store::BirthdayState> m_after;
    Apply m_apply;
    bool m_written = true;
};

} // namespace natalis::birthdays
