#pragma once

#include "birthdays/birthdayfile.h"
#include "birthdays/changeorigin.h"
#include "birthdays/changeoutcome.h"
#include "store/birthdays.h"

#include <QObject>
#include <QSet>
#include <QUndoStack>
#include <functional>

namespace natalis::platform {
class Clock;
class MessageSink;
} // namespace natalis::platform

namespace natalis::birthdays {

// Every change of the birthday table the program or the command line makes, through store's
// writers and the editor's checks (store/birthdayedit.h), each written first and then read back
// into file's list. Each change here is one step on the undo stack; after each, and after
// another program's or a sync's writes, changed names the rows and who wrote them.
class BirthdayService : public QObject
{
    Q_OBJECT

public:
    // file and clock outlive the service; messages shows a reload that fails.
    BirthdayService(BirthdayFile &file, platform::MessageSink &messages,
        const platform::Clock &clock, QObject *parent = nullptr);

    QUndoStack &undoStack() { return m_undo; }

    // A new birthday: checked as the editor checks it (a refusal writes nothing and says why),
    // its class added to the category's list, then stored under a new Uid.
    ChangeOutcome add(store::BirthdayEdit edit);
    // Rewrites the birthday with this Id (its Uid and SMS-sent mark kept), after the same checks:
    // its stored texts pass as they are, and keeping its name is no duplicate.
    ChangeOutcome edit(qint32 id, store::BirthdayEdit edit);
    // The batch editor's change: days of notice (0..14) for all, the SMS flag "是" only for rows
    // with a mobile number when sms, "否" for the others.
    ChangeOutcome changeSeveral(const QList<qint32> &ids, qint16 days, bool sms);
    ChangeOutcome remove(const QList<qint32> &ids);
    // Runs an import that writes the rows itself; true when write did. The rows it added are
    // one undo step.
    bool import(const std::function<bool()> &write);
    // Puts a backup in place through putBack (the file work, which says why it fails), then
    // reads the birthdays once and announces them as a Restore; true when putBack did. The undo
    // steps were taken on the rows before it and go.
    bool restore(const std::function<bool()> &putBack);

    // The one look for another program's writes: reads the birthdays again when the file's
    // data_version moved since the last read. Not while reloadHeld, nor on a kept damaged file,
    // whose every read would only repeat its error.
    void lookForOtherWrites();
    // A sync run is about to write: writes made before it are still another program's.
    void syncStarting();
    // A sync run has finished; birthdaysWritten when it changed rows.
    void syncFinished(bool birthdaysWritten);
    // The editor's fields of a stored birthday.
    static store::BirthdayEdit editOf(const store::BirthdayRecord &record);
    // True while the rows shown must not change under the user (a dialog works on them).
    std::function<bool()> reloadHeld = [] { return false; };

Q_SIGNALS:
    // The birthdays have been read again after a change.
    void changed(const natalis::birthdays::BirthdayChanges &changes);
    // An undo or a redo could not be written; the step is dropped.
    void undoFailed(const QString &message);

private:
    std::optional<store::EditRefusal> refusal(store::BirthdayEdit &edit, QStringView originalName,
        const store::BirthdayEdit *stored) const;
    void addClass(const store::BirthdayEdit &edit);
    ChangeOutcome writeFailure(const QString &rest, const QString &title) const;
    QString failureCause() const;
    QList<store::BirthdayRecord> loadedRecords(const QList<qint32> &ids) const;
    QSet<qint32> loadedIds() const;
    // Puts a change just written and read back on the stack and announces it.
    void written(const QString &name, QList<store::BirthdayState> before,
        QList<store::BirthdayState> after, ChangeOrigin origin = ChangeOrigin::Here);
    bool writeStates(const QList<store::BirthdayState> &states, bool undo, const QString &name);
    void reload();

    BirthdayFile &m_file;
    platform::MessageSink &m_messages;
    const platform::Clock &m_clock;
    QUndoStack m_undo;
    bool m_currentAtSync = false; // no other program had written when the sync run began
};

} // namespace natalis::birthdays
