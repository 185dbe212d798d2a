#include "reminder/birthdaysearch.h"

#include <QStringList>
#include <algorithm>
#include <memory>
#include <unicode/translit.h>
#include <unicode/unistr.h>

namespace natalis::reminder {

namespace {

// Characters common in names whose name reading differs from the one ICU gives for the word
// (曾 zēng, not céng; 单 shàn, not dān …), after the usual lists of polyphonic surnames. Their
// other letters are added to ICU's.
const QHash<char32_t, QString> &otherReadings()
{
    static const QHash<char32_t, QString> readings = {
        { U'曾', QStringLiteral("z") },
        { U'单', QStringLiteral("s") },
        { U'解', QStringLiteral("x") },
        { U'仇', QStringLiteral("q") },
        { U'区', QStringLiteral("o") },
        { U'查', QStringLiteral("z") },
        { U'乐', QStringLiteral("y") },
        { U'长', QStringLiteral("c") },
        { U'重', QStringLiteral("cz") },
        { U'行', QStringLiteral("hx") },
        { U'覃', QStringLiteral("qt") },
        { U'尉', QStringLiteral("wy") },
        { U'翟', QStringLiteral("dz") },
        { U'召', QStringLiteral("sz") },
        { U'朝', QStringLiteral("cz") },
        { U'藏', QStringLiteral("cz") },
        { U'参', QStringLiteral("cs") },
        { U'宿', QStringLiteral("sx") },
        { U'盖', QStringLiteral("g") },
        { U'秘', QStringLiteral("bm") },
        { U'万', QStringLiteral("m") },
        { U'员', QStringLiteral("y") },
        { U'缪', QStringLiteral("m") },
        { U'卜', QStringLiteral("b") },
    };
    return readings;
}

bool isHan(char32_t c)
{
    return QChar::script(c) == QChar::Script_Han;
}

// The letters of one character, unsorted and without repeats.
QString lettersOf(char32_t c)
{
    if (!isHan(c))
        return QString::fromUcs4(&c, 1).toLower();
    // Building the transliterator costs far more than using it; each thread keeps its own, as
    // ICU's transliterators are not to be shared between threads.
    thread_local const std::unique_ptr<icu::Transliterator> latin = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> made(icu::Transliterator::createInstance(
            "Han-Latin; Latin-ASCII; Lower", UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    QString letters;
    if (latin) {
        icu::UnicodeString text = icu::UnicodeString(UChar32(c));
        latin->transliterate(text);
        if (text.length() > 0 && text.charAt(0) < 0x80 && text.charAt(0) != UChar(c))
            letters = QChar(text.charAt(0));
    }
    for (QChar other : otherReadings().value(c)) {
        if (!letters.contains(other))
            letters += other;
    }
    return letters;
}

bool onlyLatinLetters(QStringView text)
{
    return std::all_of(text.begin(), text.end(),
        [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); });
}

// The characters of text, a surrogate pair as one and a lone surrogate as U+FFFD.
void forEachCharacter(QStringView text, const auto &take)
{
    for (qsizetype k = 0; k < text.size(); ++k) {
        const char16_t unit = text[k].unicode();
        if (!QChar::isSurrogate(unit)) {
            take(char32_t(unit));
        } else if (QChar::isHighSurrogate(unit) && k + 1 < text.size()
            && QChar::isLowSurrogate(text[k + 1].unicode())) {
            take(QChar::surrogateToUcs4(unit, text[k + 1].unicode()));
            ++k;
        } else {
            take(char32_t(QChar::ReplacementCharacter));
        }
    }
}

// True when the letters of wanted (lower case) lie, one each, in adjacent characters' initials.
bool runsAlong(qsizetype characters, const auto &initialsAt, const QString &wanted)
{
    for (qsizetype start = 0; start + wanted.size() <= characters; ++start) {
        qsizetype i = 0;
        while (i < wanted.size() && initialsAt(start + i).contains(wanted[i]))
            ++i;
        if (i == wanted.size())
            return true;
    }
    return false;
}

} // namespace

Initials pinyinInitials(QStringView name)
{
    Initials initials;
    forEachCharacter(name, [&](char32_t c) { initials.append(lettersOf(c)); });
    return initials;
}

bool matchesSearch(const SearchFields &fields, QStringView typed)
{
    typed = typed.trimmed();
    if (typed.isEmpty())
        return false;
    for (const QString *text : { &fields.name, &fields.phone, &fields.note }) {
        if (text->contains(typed, Qt::CaseInsensitive))
            return true;
    }
    if (!onlyLatinLetters(typed))
        return false;
    const QString wanted = typed.toString().toLower();
    return runsAlong(
        fields.initials.size(), [&](qsizetype i) -> const QString & { return fields.initials[i]; },
        wanted);
}

void BirthdaySearch::setBirthdays(const store::BirthdayList &birthdays)
{
    m_birthdays = birthdays;
    m_namesRead = false;
}

void BirthdaySearch::readNames() const
{
    m_namesRead = true;
    for (qsizetype i = 0; i < m_birthdays.size(); ++i) {
        forEachCharacter(
            m_birthdays.text(i, store::BirthdayText::About).trimmed(), [&](char32_t c) {
                if (!m_letters.contains(c))
                    m_letters.insert(c, lettersOf(c));
            });
    }
}

QList<qsizetype> BirthdaySearch::find(QStringView typed) const
{
    using store::BirthdayText;
    QList<qsizetype> found;
    typed = typed.trimmed();
    if (typed.isEmpty())
        return found;
    const bool byInitials = onlyLatinLetters(typed);
    if (byInitials && !m_namesRead)
        readNames();
    const QString wanted = typed.toString().toLower();
    // The initials of one name at a time, read from the letters worked out when the list was
    // set: a list of them per birthday would cost more memory than the rest of its search.
    QList<const QString *> initials;
    for (qsizetype i = 0; i < m_birthdays.size(); ++i) {
        const QStringView name = m_birthdays.text(i, BirthdayText::About).trimmed();
        if (name.contains(typed, Qt::CaseInsensitive)
            || m_birthdays.text(i, BirthdayText::Tel).trimmed().contains(typed, Qt::CaseInsensitive)
            || m_birthdays.text(i, BirthdayText::Beizhu)
                   .trimmed()
                   .contains(typed, Qt::CaseInsensitive)) {
            found.append(i);
            continue;
        }
        if (!byInitials || typed.size() > name.size())
            continue;
        initials.clear();
        forEachCharacter(name, [&](char32_t c) {
            static const QString none;
            const auto letters = m_letters.constFind(c);
            initials.append(letters == m_letters.constEnd() ? &none : &*letters);
        });
        if (runsAlong(
                initials.size(), [&](qsizetype k) -> const QString & { return *initials[k]; },
                wanted))
            found.append(i);
    }
    return found;
}

} // namespace natalis::reminder
