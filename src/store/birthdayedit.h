#pragma once

#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

namespace natalis::store {

// What the birthday editor holds when OK is pressed in its single-birthday modes, and what the
// command line's add passes through the same checks.
struct BirthdayEdit
{
    QString About;
    QString Type;
    QString Sex;
    QString Tel;
    QString Beizhu;
    QString strGL;
    QString strNL;
    bool IsGL = true;
    qint16 intnums = 7;
    QString Duanxin = QStringLiteral("否");
    QString Class;
    QString QQ_MSN;
    QString Company;
    QString Address;
    QString No;
    QString Kind = QStringLiteral("生日"); // "生日", "纪念日" or "忌日"
    // "7,1,0" (reminddays.h) or empty for intnums alone; when given, it decides and intnums
    // becomes its first day.
    QString Days;
    QString LeapRule = QStringLiteral("平月"); // "平月" or "跳过"
};

// The field a refused edit sends the user back to.
enum class EditField { About, Tel, Beizhu, Class, QQ_MSN, Company, Address, No, GLDate, Days };

struct EditRefusal
{
    EditField field;
    QString message; // the editor's status-bar text
};

// Removes line breaks from the free texts and every blank from the name, as the editor does
// before it checks anything.
void cleanBirthdayEdit(BirthdayEdit &edit);

// True when the list shows a birthday of that category with that name (both trimmed, exact).
// A category that is none of the eight is looked up in the first list, where such rows show.
bool MyAboutHave(const BirthdayList &birthdays, QStringView category, QStringView name);

// The first text field that holds a character no stored text may hold (holdsForbiddenCharacter),
// named in the message; nullopt when there is none. Every way in asks this before it cleans or
// stores anything, so that nothing is dropped silently and the export can carry every record.
std::optional<EditRefusal> refuseForbiddenCharacters(const BirthdayEdit &edit);

// The editor's checks in their order, the forbidden characters first; the first that fails is
// returned, nullopt when all pass. Lengths are counted in ANSI bytes. originalName is the name the
// editor was opened with (empty when adding): keeping it is no duplicate. stored, when given, is
// the birthday as stored: a text kept as it is there is not measured or checked again, since an
// import or a sync may store texts longer than the editor's limits (16 characters of a name, say),
// and changing the phone must not make the user cut the name.
std::optional<EditRefusal> checkBirthdayEdit(const BirthdayEdit &edit, QStringView originalName,
    const BirthdayList &birthdays, const BirthdayEdit *stored = nullptr);

// The record an accepted edit stores: texts trimmed, the rule as its stored text, not yet sent.
// Days are stored as written unless they name one day, which intNums alone then holds.
BirthdayRecord recordFromEdit(const BirthdayEdit &edit);

} // namespace natalis::store
