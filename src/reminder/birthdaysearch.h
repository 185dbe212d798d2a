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
// worked out at the first search typed in letters, once per character of the names, never per
// keystroke: until then neither they nor the transliteration (about 3 MB) are held.
class BirthdaySearch
{
public:
    void setBirthdays(const store::BirthdayList &birthdays);
    // Positions in the array last set of the birthdays that match typed, in array order.
    QList<qsizetype> find(QStringView typed) const;

private:
    void readNames() const;

    store::BirthdayList m_birthdays;
    // Every character of the names ever read, with its letters (lettersOf); the names of the
    // birthdays last set are read at the first search in letters after.
    mutable QHash<char32_t, QString> m_letters;
    mutable bool m_namesRead = false;
};

} // namespace natalis::reminder
