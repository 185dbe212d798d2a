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

Initials initialsOf(QStringView name, QHash<char32_t, QString> *cache)
{
    Initials initials;
    for (char32_t c : name.toUcs4()) {
        if (!cache) {
            initials.append(lettersOf(c));
            continue;
        }
        auto known = cache->constFind(c);
        if (known == cache->constEnd())
            known = cache->insert(c, lettersOf(c));
        initials.append(*known);
    }
    return initials;
}

} // namespace

Initials pinyinInitials(QStringView name)
{
    return initialsOf(name, nullptr);
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
    if (!onlyLatinLetters(typed) || typed.size() > fields.initials.size())
        return false;
    const QString wanted = typed.toString().toLower();
    for (qsizetype start = 0; start + wanted.size() <= fields.initials.size(); ++start) {
        qsizetype i = 0;
        while (i < wanted.size() && fields.initials[start + i].contains(wanted[i]))
            ++i;
        if (i == wanted.size())
            return true;
    }
    return false;
}

void BirthdaySearch::setBirthdays(const store::BirthdayList &birthdays)
{
    m_fields.clear();
    m_fields.reserve(birthdays.size());
    for (const store::BirthdayRecord &record : birthdays) {
        const QString name = record.About.trimmed();
        m_fields.append(
            { name, record.Tel.trimmed(), record.Beizhu.trimmed(), initialsOf(name, &m_letters) });
    }
}

QList<qsizetype> BirthdaySearch::find(QStringView typed) const
{
    QList<qsizetype> found;
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        if (matchesSearch(m_fields[i], typed))
            found.append(i);
    }
    return found;
}

} // namespace natalis::reminder
