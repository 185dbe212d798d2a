#pragma once

#include "store/birthdaylist.h"
#include "store/birthdayrecord.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

namespace natalis::reminder {

// The first letters a name's characters may be read with, one entry per character: "张三" gives
// {"z", "s"}. A Chinese character read in several ways (the surname 曾 as zēng, the word as céng)
// holds each reading's letter ("cz"); any other character stands for itself, lower-cased.
using Initials = QList<QString>;

// Reads each Chinese character of name through ICU's Han-Latin transliteration.
Initials pinyinInitials(QStringView name);

// What a typed search looks through in one birthday.
struct SearchFields
{
    QString name;
    QString phone;
    QString note;
    Initials initials; // of name
};

// True when typed (trimmed; letters in any case) is part of the name, the phone number or the
// note, or, when typed holds only Latin letters, runs along the initials of adjacent characters
// ("zs" and "s" in 张三). An empty search matches nothing.
bool matchesSearch(const SearchFields &fields, QStringView typed);

// The find-as-you-type of the main window over the whole birthday array. The readings are
// worked out when the birthdays are set, once per character ever seen, never per keystroke.
class BirthdaySearch
{
public:
    void setBirthdays(const store::BirthdayList &birthdays);
    // Positions in the array last set of the birthdays that match typed, in array order.
    QList<qsizetype> find(QStringView typed) const;

private:
    store::BirthdayList m_birthdays;
    // Every character of the names, with its letters (lettersOf).
    QHash<char32_t, QString> m_letters;
};

} // namespace natalis::reminder
