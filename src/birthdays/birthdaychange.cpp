#include "birthdays/birthdaychange.h"

namespace natalis::birthdays {

BirthdayChange::BirthdayChange(const QString &name, QList<store::BirthdayState> before,
    QList<store::BirthdayState> after, Apply apply)
    : QUndoCommand(name), m_before(std::move(before)), m_after(std::move(after)),
      m_apply(std::move(apply))
{
}

void BirthdayChange::undo()
{
    if (!m_apply(m_before, true))
        setObsolete(true);
}

void BirthdayChange::redo()
{
    // The stack redoes a command as it is pushed: this one is written already.
    if (m_written) {
        m_written = false;
        return;
    }
    if (!m_apply(m_after, false))
        setObsolete(true);
}

QList<store::BirthdayState> BirthdayChange::present(const QList<store::BirthdayRecord> &records)
{
    QList<store::BirthdayState> states;
    for (const store::BirthdayRecord &record : records)
        states.append({ record.Uid, record });
    return states;
}

QList<store::BirthdayState> BirthdayChange::absent(const QList<store::BirthdayRecord> &records)
{
    QList<store::BirthdayState> states;
    for (const store::BirthdayRecord &record : records)
        states.append({ record.Uid, std::nullopt });
    return states;
}

} // namespace natalis::birthdays
