#include "birthline.h"

#include "calendar/lunarimporttext.h"
#include "store/asciidigits.h"
#include "store/categories.h"
#include "store/entrykind.h"
#include "store/fieldtext.h"
#include "store/phonenumber.h"
#include "store/reminddays.h"

#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

using namespace birthfield;

// How a layout differs from this version's: the six categories of the old versions, and a date
// that is always Gregorian.
struct Dialect
{
    bool oldCategories = false;
    bool dateFollowsRule = true;
};

constexpr Dialect CurrentDialect {};
constexpr Dialect OldDialect { true, false };

// A cell of line that begins with a quote at start, read as Excel writes it.
struct QuotedCell
{
    QString text; // without the quotes, doubled quotes made one
    qsizetype end = -1; // the tab or line end after the closing quote; -1 when never closed
    bool needsQuotes = false; // holds a line break, a tab or a quote: Excel quoted it
    bool closedBeforeText = false; // the closing quote is followed by more text, not a tab
};

QuotedCell readQuotedCell(QStringView line, qsizetype start)
{
    QuotedCell cell;
    for (qsizetype i = start + 1; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
            cell.text += c;
            cell.needsQuotes = true;
            ++i;
        } else if (c == u'"') {
            cell.end = i + 1;
            cell.closedBeforeText = cell.end < line.size() && line[cell.end] != u'\t';
            return cell;
        } else {
            cell.needsQuotes = cell.needsQuotes || c == u'\t' || c == u'\n' || c == u'\r';
            cell.text += c;
        }
    }
    return cell;
}

// The cell starting at start as Excel quoted it, when it did.
std::optional<QuotedCell> excelQuotedCell(QStringView line, qsizetype start)
{
    if (start >= line.size() || line[start] != u'"')
        return std::nullopt;
    QuotedCell cell = readQuotedCell(line, start);
    if (cell.end < 0 || cell.closedBeforeText || !cell.needsQuotes)
        return std::nullopt;
    return cell;
}

// The fields of a line, trimmed; a field the line does not reach stays empty. Cells unquoted
// for CellQuotes::Excel are kept in unquoted, which the fields then point into.
BirthFields splitFields(
    QStringView line, int count, CellQuotes quotes, std::array<QString, FieldCount> &unquoted)
{
    BirthFields fields {};
    qsizetype start = 0;
    for (int i = 0; i < count && start <= line.size(); ++i) {
        if (quotes == CellQuotes::Excel) {
            if (std::optional<QuotedCell> cell = excelQuotedCell(line, start)) {
                unquoted[i] = std::move(cell->text);
                fields[i] = QStringView(unquoted[i]).trimmed();
                start = cell->end + 1;
                continue;
            }
        }
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
    return text.size() >= minLength && text.size() <= maxLength && store::isAsciiDigits(text);
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

// "1976/2/25", "1976.2.25" and "1976年2月25日" all become "1976-2-25"; so does the US form
// "2/25/1976" that Outlook and English spreadsheets write (month first when the year is last),
// and a spreadsheet's date-and-time "1976/2/25 0:00:00" loses its time.
QString dashedDate(QStringView field)
{
    QString text = field.toString();
    const qsizetype blank = text.indexOf(u' ');
    if (blank > 0 && text.indexOf(u':', blank) > blank)
        text.truncate(blank);
    text.replace(u'/', u'-').replace(u'.', u'-').replace(u'年', u'-').replace(u'月', u'-');
    if (text.endsWith(u'日'))
        text.chop(1);
    const QStringList parts = text.split(u'-');
    if (parts.size() == 3 && parts[2].size() == 4 && parts[0].size() <= 2)
        return parts[2] + u'-' + parts[0] + u'-' + parts[1];
    return text;
}

// "1.39123E+10": a phone number after Excel has shown it in exponent form.
bool isExponentNumber(QStringView text)
{
    const qsizetype e = text.indexOf(u'E', 0, Qt::CaseInsensitive);
    if (e <= 0 || e + 1 >= text.size())
        return false;
    QStringView mantissa = text.first(e);
    QStringView exponent = text.sliced(e + 1);
    if (exponent.startsWith(u'+'))
        exponent = exponent.sliced(1);
    const qsizetype point = mantissa.indexOf(u'.');
    const bool mantissaOk = point < 0 ? store::isAsciiDigits(mantissa)
                                      : store::isAsciiDigits(mantissa.first(point)) && point > 0
            && store::isAsciiDigits(mantissa.sliced(point + 1));
    return mantissaOk && !exponent.isEmpty() && store::isAsciiDigits(exponent);
}

// Outlook's "0/0/00" (and the like) for a contact without a birthday: no date, nothing wrong.
bool isNoDate(QStringView field)
{
    return !field.isEmpty()
        && std::all_of(field.begin(), field.end(), [](QChar c) { return c == u'0' || c == u'/'; });
}

QString acceptedDate(QStringView field, bool lunar)
{
    const QString text = dashedDate(field);
    if (const auto yearless = yearlessImportDate(text, lunar)) {
        if (!lunar)
            return text;
        return u"%1%2-%3"_s.arg(yearless->isLeap ? u"闰"_s : QString())
            .arg(yearless->month, 2, 10, QLatin1Char('0'))
            .arg(yearless->day, 2, 10, QLatin1Char('0'));
    }
    if (lunar) {
        QString normalized;
        return calendar::NormalizeLunarImportText(text, normalized) ? normalized : QString();
    }
    return parseImportGregorian(text) ? text : QString();
}

// "7,1,0" as the reminddays list, its first day as intNums; nullopt when the field reads as
// neither a list nor one number.
std::optional<QList<qint16>> remindDaysField(QStringView field)
{
    if (field.contains(u',') || field.contains(u'，'))
        return store::parseRemindDays(field);
    if (const std::optional<qint16> day = parseDays(field))
        return QList<qint16> { *day };
    return std::nullopt;
}

// Collects what the reader changed of a line, for the import report; does nothing without a
// list to fill.
class Notes
{
public:
    explicit Notes(QStringList *notes) : m_notes(notes) { }

    // value was given but refused; fallback says what is taken instead.
    void refused(const char16_t *what, QStringView value, const char16_t *fallback)
    {
        if (m_notes && !value.isEmpty())
            m_notes->append(u"%1'%2'无效,%3"_s.arg(what, value, fallback));
    }

    void text(const QString &note)
    {
        if (m_notes)
            m_notes->append(note);
    }

    QString cut(const char16_t *what, QStringView value, int width)
    {
        if (m_notes && value.size() > width)
            m_notes->append(u"%1过长,只导入前%2个字符"_s.arg(what).arg(width));
        return cutToWidth(value, width);
    }

private:
    QStringList *m_notes;
};

QString category(QStringView field, const Dialect &dialect, Notes &notes)
{
    const QString type = !dialect.oldCategories
        ? currentCategory(field)
        : oneOf(
            field, { u"家人"_s, u"客户"_s, u"朋友"_s, u"同事"_s, u"同学"_s, u"其他"_s }, u"客户"_s);
    if (type != field)
        notes.refused(u"类别", field, u"按客户导入");
    return type;
}

// The field titles as the import report and the export's header name them.
constexpr std::array<const char16_t *, FieldCount> FieldTitles = { u"生日名称", u"类别",
    u"联系方式", u"生日备注", u"生日", u"提醒方式", u"提醒天数", u"短信提醒", u"性别", u"部门/类型",
    u"QQ/MSN", u"公司名称", u"地址", u"工号/卡号", u"类型", u"闰月规则" };

bool isBreakOrTab(QChar c)
{
    return c == u'\r' || c == u'\n' || c == u'\t';
}

// A spreadsheet cell may hold line breaks and tabs (a note typed over two lines); stored, they
// would come back from the next export changed. They become blanks, with a note.
QString withBlanksForBreaks(QStringView field)
{
    QString text = field.toString();
    for (QChar &c : text) {
        if (isBreakOrTab(c))
            c = u' ';
    }
    return text.simplified();
}

ImportRecord parseBirthFields(const BirthFields &f, const Dialect &dialect, QStringList *noteList);

// The record with line breaks and tabs made blanks; refused, with a note naming the field, when
// a field holds any other character no stored text may hold (an escape, a direction override).
ImportRecord parseFieldsWithForbiddenCharacters(
    const BirthFields &f, const Dialect &dialect, QStringList *noteList)
{
    Notes notes(noteList);
    std::array<QString, FieldCount> cleaned;
    BirthFields views;
    for (int field = 0; field < FieldCount; ++field) {
        if (!store::holdsForbiddenCharacter(f[field])) {
            views[field] = f[field];
            continue;
        }
        cleaned[field] = withBlanksForBreaks(f[field]);
        if (store::holdsForbiddenCharacter(cleaned[field])) {
            notes.text(u"%1含有控制字符,已跳过"_s.arg(FieldTitles[field]));
            return {};
        }
        notes.text(u"%1中的换行符或制表符已改为空格"_s.arg(FieldTitles[field]));
        views[field] = cleaned[field];
    }
    return parseBirthFields(views, dialect, noteList);
}

ImportRecord parseBirthFields(const BirthFields &f, const Dialect &dialect, QStringList *noteList)
{
    if (std::any_of(f.begin(), f.end(), store::holdsForbiddenCharacter))
        return parseFieldsWithForbiddenCharacters(f, dialect, noteList);
    store::BirthdayRecord r;
    QString date;
    Notes notes(noteList);
    r.About = importName(f[Name]);
    if (r.About.isEmpty())
        return {};
    const auto nameLength =
        std::count_if(f[Name].begin(), f[Name].end(), [](QChar c) { return !isNameBlank(c); });
    if (nameLength > store::BirthdayWidths::About)
        notes.text(u"生日名称过长,只导入前%1个字符"_s.arg(store::BirthdayWidths::About));

    r.Type = category(f[Category], dialect, notes);
    QStringView contact = f[Contact];
    if (isExponentNumber(contact)) {
        // Excel shows a long number as 1.39123E+10 and saves it so: the digits are gone.
        notes.text(u"联系方式'%1'已被Excel改成科学计数法,号码已无法还原,没有导入"_s.arg(contact));
        contact = {};
    }
    r.Tel = notes.cut(u"联系方式", contact, store::BirthdayWidths::Tel);
    r.Beizhu = notes.cut(u"生日备注", f[Remark], store::BirthdayWidths::Beizhu);
    r.blnIsGL = oneOf(f[Rule], { u"按公历提醒"_s, u"按农历提醒"_s }, u"按公历提醒"_s);
    if (r.blnIsGL != f[Rule])
        notes.refused(u"提醒方式", f[Rule], u"按公历提醒导入");
    const bool dateIsLunar = dialect.dateFollowsRule && r.blnIsGL == u"按农历提醒";
    if (!f[Date].isEmpty() && !isNoDate(f[Date])) {
        date = acceptedDate(f[Date], dateIsLunar);
        if (date.isEmpty())
            notes.refused(u"日期", f[Date], u"按无日期导入");
    }
    const std::optional<QList<qint16>> days = remindDaysField(f[Days]);
    r.intNums = days ? days->first() : qint16(7);
    if (days)
        r.Days = store::remindDaysText(*days);
    else
        notes.refused(u"提醒天数", f[Days], u"按7天导入");
    if (!f[Kind].isEmpty()) {
        const auto kind = store::entryKindFromText(f[Kind]);
        r.Kind = store::entryKindText(kind.value_or(store::EntryKind::Birthday));
        if (!kind)
            notes.refused(u"类型", f[Kind], u"按生日导入");
    }
    if (!f[LeapRule].isEmpty()) {
        const auto rule = store::leapMonthRuleFromText(f[LeapRule]);
        r.LeapRule = store::leapMonthRuleText(rule.value_or(store::LeapMonthRule::RegularMonth));
        if (!rule)
            notes.refused(u"闰月规则", f[LeapRule], u"按平月导入");
    }
    r.Duanxin = f[Sms] == u"是" ? u"是"_s : u"否"_s;
    if (f[Sms] != u"是" && f[Sms] != u"否")
        notes.refused(u"短信提醒", f[Sms], u"按否导入");
    r.Sex = oneOf(f[Sex], { u"男"_s, u"女"_s }, QString());
    if (r.Sex.isEmpty())
        notes.refused(u"性别", f[Sex], u"按空导入");
    r.Class = notes.cut(u"部门/类型", f[Department], store::BirthdayWidths::Class);
    r.QQ_MSN = notes.cut(u"QQ/MSN", f[Messenger], store::BirthdayWidths::QQ_MSN);
    r.Company = notes.cut(u"公司名称", f[Company], store::BirthdayWidths::Company);
    r.Address = notes.cut(u"地址", f[Address], store::BirthdayWidths::Address);
    r.No = notes.cut(u"工号/卡号", f[StaffNo], store::BirthdayWidths::No);

    if (r.Duanxin == u"是" && !store::IsPhoneNumber(r.Tel))
        notes.text(u"联系方式'%1'不是手机号码,短信提醒按否导入"_s.arg(r.Tel));
    else if (r.Duanxin == u"是" && date.isEmpty())
        notes.text(u"没有有效的生日日期,短信提醒按否导入"_s);
    if (!store::IsPhoneNumber(r.Tel) || date.isEmpty())
        r.Duanxin = u"否"_s;
    return ImportRecord(r, date, dateIsLunar);
}

} // namespace

bool endsInsideQuotedCell(QStringView record)
{
    for (qsizetype start = 0; start <= record.size();) {
        if (start < record.size() && record[start] == u'"') {
            const QuotedCell cell = readQuotedCell(record, start);
            if (cell.end < 0)
                return true;
            if (!cell.closedBeforeText) {
                start = cell.end + 1;
                continue;
            }
        }
        const qsizetype tab = record.indexOf(u'\t', start);
        if (tab < 0)
            return false;
        start = tab + 1;
    }
    return false;
}

ImportRecord ParseTabBirthLine(QStringView line, QStringList *notes, CellQuotes quotes)
{
    std::array<QString, FieldCount> unquoted;
    return parseBirthFields(
        splitFields(line, StaffNo + 1, quotes, unquoted), CurrentDialect, notes);
}

ImportRecord ParseOldBirthLine(QStringView line, QStringList *notes, CellQuotes quotes)
{
    std::array<QString, FieldCount> unquoted;
    return parseBirthFields(splitFields(line, StaffNo, quotes, unquoted), OldDialect, notes);
}

ImportRecord parseBirthFields(const BirthFields &fields, DateRule rule, QStringList *notes)
{
    return parseBirthFields(fields, { false, rule == DateRule::FollowsRule }, notes);
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

std::optional<calendar::LunarDate> yearlessImportDate(QStringView text, bool lunar)
{
    static const QRegularExpression yearless(u"^(闰?)(\\d{1,2})-(\\d{1,2})$"_s);
    const QRegularExpressionMatch match = yearless.match(text.trimmed().toString());
    if (!match.hasMatch() || (!lunar && match.capturedLength(1) > 0))
        return std::nullopt;
    const calendar::LunarDate date { 0, match.capturedView(2).toInt(),
        match.capturedView(3).toInt(), match.capturedLength(1) > 0 };
    // 2000 has every day a Gregorian year can have; a lunar month has 30 days at most.
    const bool exists = lunar
        ? date.month >= 1 && date.month <= 12 && date.day >= 1 && date.day <= 30
        : QDate(2000, date.month, date.day).isValid();
    return exists ? std::optional(date) : std::nullopt;
}

QString importName(QStringView field)
{
    // Most names hold no blank and are taken as they stand.
    if (std::none_of(field.begin(), field.end(), isNameBlank))
        return cutToWidth(field, store::BirthdayWidths::About);
    QString name;
    name.reserve(field.size());
    std::remove_copy_if(field.begin(), field.end(), std::back_inserter(name), isNameBlank);
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

bool givesNoDate(QStringView field)
{
    return field.trimmed().isEmpty() || isNoDate(field.trimmed());
}

} // namespace natalis::transfer
