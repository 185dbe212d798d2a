#include "datetext.h"

#include "calendarnames.h"

namespace natalis::calendar {

namespace {

constexpr int TextLength = 14;

// Writes the fixed layouts character by character; the texts are built for every day the
// calendar shows, so they avoid the temporaries of string concatenation.
class TextWriter
{
public:
    explicit TextWriter(int length) : m_text(length, Qt::Uninitialized), m_next(m_text.data()) { }

    TextWriter &put(QStringView part)
    {
        for (QChar c : part)
            *m_next++ = c;
        return *this;
    }

    TextWriter &putNumber(int value, int width)
    {
        for (int i = width - 1; i >= 0; --i) {
            m_next[i] = QChar(u'0' + value % 10);
            value /= 10;
        }
        m_next += width;
        return *this;
    }

    QString take() { return std::move(m_text); }

private:
    QString m_text;
    QChar *m_next;
};

QStringView leapMark(const LunarDate &date)
{
    return date.isLeap ? QStringView(u"闰") : QStringView(u" ");
}

// Reads `width` ASCII digits at a 1-based position; -1 when any of them is not a digit.
int numberAt(QStringView text, int position, int width)
{
    int value = 0;
    for (int i = 0; i < width; ++i) {
        const char16_t c = text[position - 1 + i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// Days in a month of the proleptic Gregorian calendar, year 1 to 9999. Reckoned here rather than
// by building a QDate: a start reads every birthday's date several times.
int gregorianMonthLength(int year, int month)
{
    static constexpr int Lengths[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month == 2 && leap ? 29 : Lengths[month - 1];
}

bool hasLayout(QStringView text, QStringView prefix)
{
    return text.size() == TextLength && text.startsWith(prefix) && text[6] == u'年'
        && text[10] == u'月' && text[13] == u'日';
}

} // namespace

QString gregorianText(QDate date)
{
    return TextWriter(TextLength)
        .put(u"公历")
        .putNumber(date.year(), 4)
        .put(u"年 ")
        .putNumber(date.month(), 2)
        .put(u"月")
        .putNumber(date.day(), 2)
        .put(u"日")
        .take();
}

QString lunarText(const LunarDate &date)
{
    return TextWriter(TextLength)
        .put(u"农历")
        .putNumber(date.year, 4)
        .put(u"年")
        .put(leapMark(date))
        .putNumber(date.month, 2)
        .put(u"月")
        .putNumber(date.day, 2)
        .put(u"日")
        .take();
}

QString lunarLongText(const LunarDate &date)
{
    return TextWriter(TextLength + 3)
        .put(u"农历")
        .putNumber(date.year, 4)
        .put(u"年(")
        .put(zodiacOfLunarYear(date.year))
        .put(u")")
        .put(leapMark(date))
        .putNumber(date.month, 2)
        .put(u"月")
        .putNumber(date.day, 2)
        .put(u"日")
        .take();
}

QString comingDayText(QDate date)
{
    if (!date.isValid())
        return QString();
    // Qt counts Monday 1 … Sunday 7; the names go Sunday first.
    return QStringLiteral("%1月%2日 %3")
        .arg(date.month())
        .arg(date.day())
        .arg(weekdayName(date.dayOfWeek() % 7 + 1));
}

std::optional<QDate> parseGregorianText(QStringView text)
{
    text = text.trimmed();
    if (!hasLayout(text, u"公历") || text[7] != u' ')
        return std::nullopt;
    const int year = numberAt(text, 3, 4);
    // QDate takes negative years (BC) as valid, so a broken year must be refused here.
    if (year < 1)
        return std::nullopt;
    const QDate date(year, numberAt(text, 9, 2), numberAt(text, 12, 2));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<LunarDate> parseLunarText(QStringView text)
{
    text = text.trimmed();
    if (!hasLayout(text, u"农历") || (text[7] != u' ' && text[7] != u'闰'))
        return std::nullopt;
    LunarDate date;
    date.year = numberAt(text, 3, 4);
    date.month = numberAt(text, 9, 2);
    date.day = numberAt(text, 12, 2);
    date.isLeap = text[7] == u'闰';
    if (date.year < 0 || date.month < 1 || date.month > 12 || date.day < 1 || date.day > 30)
        return std::nullopt;
    return date;
}

std::optional<GregorianMonthDay> parseGregorianMonthDay(QStringView text)
{
    text = text.trimmed();
    if (!hasLayout(text, u"公历") || text[7] != u' ')
        return std::nullopt;
    const GregorianMonthDay date { numberAt(text, 3, 4), numberAt(text, 9, 2),
        numberAt(text, 12, 2) };
    // A year-less date may be 29 February, which some year has.
    if (date.year < 0 || date.month < 1 || date.month > 12 || date.day < 1
        || date.day > gregorianMonthLength(date.year == 0 ? 2000 : date.year, date.month))
        return std::nullopt;
    return date;
}

bool dateTextHasYear(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(u"公历")) {
        const auto date = parseGregorianMonthDay(text);
        return date && date->year != 0;
    }
    const auto date = parseLunarText(text);
    return date && date->year != 0;
}

QString gregorianMonthDayText(int month, int day)
{
    return TextWriter(TextLength)
        .put(u"公历0000年 ")
        .putNumber(month, 2)
        .put(u"月")
        .putNumber(day, 2)
        .put(u"日")
        .take();
}

QString lunarMonthDayText(int month, int day, bool isLeap)
{
    return lunarText(LunarDate { 0, month, day, isLeap });
}

} // namespace natalis::calendar
