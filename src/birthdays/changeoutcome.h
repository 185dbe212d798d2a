#pragma once

#include "store/birthdayedit.h"

#include <QString>
#include <optional>

namespace natalis::birthdays {

// How one of BirthdayService's changes went, in the words the user reads.
struct ChangeOutcome
{
    bool written = false;
    qint32 id = 0; // the added row's Id; 0 for other changes
    // The status bar's text: the success ("生日修改成功!"), the refusal of the editor's checks,
    // or the failed write with its cause ("磁盘已满,生日删除失败!"). Empty when there is no
    // connection to write to.
    QString message;
    // A failed write's message box title ("生日添加"); empty unless the write failed.
    QString failureTitle;
    // The field a refused edit goes back to; nullopt unless the checks refused it.
    std::optional<store::EditField> refusedField;
    // A batch change asked an SMS for rows without a mobile number: they are named here, for a
    // box of its own; empty otherwise.
    QString notice;

    static ChangeOutcome done(const QString &message, qint32 id = 0, const QString &notice = {})
    {
        ChangeOutcome outcome;
        outcome.written = true;
        outcome.id = id;
        outcome.message = message;
        outcome.notice = notice;
        return outcome;
    }
    static ChangeOutcome refused(const store::EditRefusal &refusal)
    {
        ChangeOutcome outcome;
        outcome.message = refusal.message;
        outcome.refusedField = refusal.field;
        return outcome;
    }
    static ChangeOutcome failed(const QString &message, const QString &title)
    {
        ChangeOutcome outcome;
        outcome.message = message;
        outcome.failureTitle = title;
        return outcome;
    }
};

} // namespace natalis::birthdays
