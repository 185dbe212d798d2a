#include "birthline.h"

#include "calendar/lunarimporttext.h"
#include "store/asciidigits.h"
#include "store/categories.h"
#include "store/phonenumber.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

// Field positions of both tab-separated layouts; the older one ends before StaffNo.
enum Field {
    Name,
    Category,
    Contact,
    Remark,
    Date,
    Rule,
    Days,
    Sms,
    Sex,
    Department,
    Messenger,
    Company,
    Address,
    StaffNo,
    FieldCount
};

enum class Dialect { Current, Old };

// The fields of a line, trimmed; a field the line does not reach stays empty.
using Fields = std::array<QStringView, FieldCount>;

Fields splitFields(QStringView line, int count)
{
    Fields fields {};
    qsizetype start = 0;
    for (int i = 0; i < count && start <= line.size(); ++i) {
        qsizetype end = line.indexOf(u'\t', start);
        if (end < 0)
            end = line.size();
        fields[i] = line.mid(start, end - start).trimmed();
        start = end + 1;
    }
    return fields;
}

bool isAsciiNumber(QStringView text, qsizetype minLength, qsizetype maxLength)
{
    return text.size() >= minLength && text.size() <= maxLength && store::IsAsciiDigits(text);
}

// The value of a few ASCII digits (checked by isAsciiNumber), without the locale-aware parser.
int valueOfDigits(QStringView digits)
{
    int value = 0;
    for (QChar c : digits)
        value = value * 10 + (c.unicode() - u'0');
    return value;
}

// The known text value equals, else other. The texts are literals, so no copy is made per line.
QString oneOf(QStringView value, std::initializer_list<QString> known, const QString &other)
{
    for (const QString &text : known) {
        if (value == text)
            return text;
    }
    return other;
}

const QString &currentCategory(QStringView name)
{
    static const QString names[] = { u"同事"_s, u"客户"_s, u"代理商"_s, u"供应商"_s, u"家人"_s,
        u"同学"_s, u"朋友"_s, u"其他"_s };
    const int index = store::categoryIndex(name);
    return names[index < 0 ? 1 : index];
}

// "Numeric and from 0 to 14": decimal fractions and exponents count as numbers, the integer
// part is kept.
std::optional<qint16> parseDays(QStringView text)
{
    // Whole numbers, as nearly every file writes them, without the floating-point parser.
    if (isAsciiNumber(text, 1, 2)) {
        const int value = valueOfDigits(text);
        return value <= 14 ? std::optional<qint16>(qint16(value)) : std::nullopt;
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > 14)
        return std::nullopt;
    return qint16(value);
}

QString acceptedDate(QStringView field, bool lunar)
{
    QString text = field.toString();
    text.replace(u'/', u'-').replace(u'.', u'-');
    if (lunar) {
        QString normalized;
        return calendar::NormalizeLunarImportText(text, normalized) ? normalized : QString();
    }
    return parseImportGregorian(text) ? text : QString();
}

ImportRecord parseBirthLine(QStringView line, Dialect dialect)
{
    ImportRecord record;
    store::BirthdayRecord &r = record.fields;
    const Fields f = splitFields(line, dialect == Dialect::Current ? FieldCount : StaffNo);
    r.About = importName(f[Name]);
    if (r.About.isEmpty())
        return {};

    r.Type = dialect == Dialect::Current
        ? currentCategory(f[Category])
        : oneOf(f[Category], { u"家人"_s, u"客户"_s, u"朋友"_s, u"同事"_s, u"同学"_s, u"其他"_s },
            u"客户"_s);
    r.Tel = cutToWidth(f[Contact], store::BirthdayWidths::Tel);
    r.Beizhu = cutToWidth(f[Remark], store::BirthdayWidths::Beizhu);
    r.blnIsGL = oneOf(f[Rule], { u"按公历提醒"_s, u"按农历提醒"_s }, u"按公历提醒"_s);
    record.dateIsLunar = dialect == Dialect::Current && r.blnIsGL == u"按农历提醒";
    if (!f[Date].isEmpty())
        record.date = acceptedDate(f[Date], record.dateIsLunar);
    r.intNums = parseDays(f[Days]).value_or(7);
    r.Duanxin = f[Sms] == u"是" ? u"是"_s : u"否"_s;
    r.Sex = oneOf(f[Sex], { u"男"_s, u"女"_s }, QString());
    r.Class = cutToWidth(f[Department], store::BirthdayWidths::Class);
    r.QQ_MSN = cutToWidth(f[Messenger], store::BirthdayWidths::QQ_MSN);
    r.Company = cutToWidth(f[Company], store::BirthdayWidths::Company);
    r.Address = cutToWidth(f[Address], store::BirthdayWidths::Address);
    r.No = cutToWidth(f[StaffNo], store::BirthdayWidths::No);

    if (!store::IsPhoneNumber(r.Tel) || record.date.isEmpty())
        r.Duanxin = u"否"_s;
    return record;
}

} // namespace

ImportRecord ParseTabBirthLine(QStringView line)
{
    return parseBirthLine(line, Dialect::Current);
}

ImportRecord ParseOldBirthLine(QStringView line)
{
    return parseBirthLine(line, Dialect::Old);
}

std::optional<QDate> parseImportGregorian(QStringView text)
{
    const qsizetype first = text.indexOf(u'-');
    const qsizetype second = first < 0 ? -1 : text.indexOf(u'-', first + 1);
    if (second < 0)
        return std::nullopt;
    const QStringView year = text.left(first);
    const QStringView month = text.mid(first + 1, second - first - 1);
    const QStringView day = text.mid(second + 1);
    if (!isAsciiNumber(year, 4, 4) || !isAsciiNumber(month, 1, 2) || !isAsciiNumber(day, 1, 2))
        return std::nullopt;
    const QDate date(valueOfDigits(year), valueOfDigits(month), valueOfDigits(day));
    if (!date.isValid() || date < QDate(1901, 3, 1) || date > QDate(2100, 12, 31))
        return std::nullopt;
    return date;
}

QString importName(QStringView field)
{
    const auto isBlank = [](QChar c) { return c.isSpace(); };
    // Most names hold no blank and are taken as they stand.
    if (std::none_of(field.begin(), field.end(), isBlank))
        return cutToWidth(field, store::BirthdayWidths::About);
    QString name;
    name.reserve(field.size());
    std::remove_copy_if(field.begin(), field.end(), std::back_inserter(name), isBlank);
    return cutToWidth(name, store::BirthdayWidths::About);
}

QString cutToWidth(QStringView text, int width)
{
    if (width <= 0)
        return {};
    if (text.size() <= width)
        return text.toString();
    if (text[width - 1].isHighSurrogate())
        --width;
    return text.left(width).toString();
}

} // namespace natalis::transfer
