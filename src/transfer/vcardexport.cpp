#include "vcardexport.h"

#include "calendar/datetext.h"
#include "contentline.h"
#include "exportfile.h"
#include "store/phonenumber.h"
#include "vcarddates.h"

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

QString trimmedField(const QString &field)
{
    return field.trimmed();
}

void appendLine(QByteArray &bytes, QStringView name, const QString &value)
{
    bytes += foldContentLine(name.toString() + u':' + value);
}

void appendText(QByteArray &bytes, QStringView name, const QString &field)
{
    const QString value = trimmedField(field);
    if (!value.isEmpty())
        appendLine(bytes, name, escapeText(value));
}

} // namespace

std::optional<calendar::LunarDate> gregorianDayOf(const QString &strGL)
{
    if (const auto birth = calendar::parseGregorianText(strGL))
        return calendar::LunarDate { birth->year(), birth->month(), birth->day(), false };
    const auto yearless = calendar::parseGregorianMonthDay(strGL);
    if (!yearless || yearless->year != 0)
        return std::nullopt;
    return calendar::LunarDate { 0, yearless->month, yearless->day, false };
}

namespace {

void appendCard(QByteArray &bytes, const store::BirthdayRecord &birthday)
{
    const QString name = escapeText(trimmedField(birthday.About));
    appendLine(bytes, u"BEGIN", u"VCARD"_s);
    appendLine(bytes, u"VERSION", u"3.0"_s);
    appendLine(bytes, u"FN", name);
    appendLine(bytes, u"N", name + u";;;;"_s);
    const QString tel = trimmedField(birthday.Tel);
    if (!tel.isEmpty()) {
        const bool mobile = tel.size() == 11 && tel.startsWith(u'1') && store::IsPhoneNumber(tel);
        appendLine(bytes, mobile ? u"TEL;TYPE=CELL" : u"TEL;TYPE=VOICE", escapeText(tel));
    }
    const store::EntryKind kind = store::entryKindOf(birthday.Kind);
    const CardDateNames dateNames = cardDateNames(kind, u"3.0");
    if (const auto day = gregorianDayOf(birthday.strGL))
        appendLine(bytes, dateNames.gregorian, gregorianCardValue(*day, false));
    if (QStringView(birthday.blnIsGL).trimmed() == u"按农历提醒") {
        if (const auto lunar = calendar::parseLunarText(birthday.strNL))
            appendLine(
                bytes, dateNames.lunar.toString() + u";CALSCALE=chinese"_s, lunarCardValue(*lunar));
    }
    // ORG's second component is the unit within the organisation: our department.
    const QString company = trimmedField(birthday.Company);
    const QString department = trimmedField(birthday.Class);
    if (!company.isEmpty() || !department.isEmpty())
        appendLine(bytes, u"ORG",
            escapeText(company)
                + (department.isEmpty() ? QString() : u';' + escapeText(department)));
    if (const QString address = trimmedField(birthday.Address); !address.isEmpty())
        appendLine(bytes, u"ADR;TYPE=HOME", u";;"_s + escapeText(address) + u";;;;"_s);
    appendText(bytes, u"NOTE", birthday.Beizhu);
    appendText(bytes, u"CATEGORIES", birthday.Type);
    const QString sex = trimmedField(birthday.Sex);
    if (sex == u"男" || sex == u"女")
        appendLine(bytes, u"GENDER", sex == u"男" ? u"M"_s : u"F"_s);
    // What no standard property holds; a phone keeps X- properties it does not know, and our
    // import reads them back, so the file carries the whole birthday.
    const bool lunarRule = QStringView(birthday.blnIsGL).trimmed() == u"按农历提醒";
    appendLine(bytes, VcardRuleProperty, lunarRule ? u"LUNAR"_s : u"GREGORIAN"_s);
    appendLine(bytes, VcardDaysProperty,
        birthday.Days.trimmed().isEmpty() ? QString::number(birthday.intNums)
                                          : birthday.Days.trimmed());
    appendLine(bytes, VcardSmsProperty,
        QStringView(birthday.Duanxin).trimmed() == u"是" ? u"TRUE"_s : u"FALSE"_s);
    appendText(bytes, VcardMessengerProperty, birthday.QQ_MSN);
    appendText(bytes, VcardStaffNoProperty, birthday.No);
    appendText(bytes, VcardKindProperty, vcardKindValue(kind));
    if (store::leapMonthRuleOf(birthday.LeapRule) == store::LeapMonthRule::Skip)
        appendLine(bytes, VcardLeapProperty, u"SKIP"_s);
    // A phone that imports the file again updates the contact instead of adding a second one.
    if (!birthday.Uid.isNull())
        appendLine(bytes, u"UID", u"urn:uuid:"_s + birthday.Uid.toString(QUuid::WithoutBraces));
    appendLine(bytes, u"END", u"VCARD"_s);
}

} // namespace

QString appleChineseDate(int year, int month, bool isLeap, int day)
{
    // 1984 is the first year of the 78th sixty-year cycle.
    const int offset = year - 1984;
    const int cycle = 78 + (offset >= 0 ? offset / 60 : -((59 - offset) / 60));
    const int ofCycle = offset - (cycle - 78) * 60 + 1;
    return u"%1%2%3%4"_s.arg(cycle, 4, 10, QChar(u'0'))
        .arg(ofCycle, 4, 10, QChar(u'0'))
        .arg(QString::number(month).rightJustified(2, u'0') + (isLeap ? u"L"_s : QString()))
        .arg(day, 2, 10, QChar(u'0'));
}

QByteArray buildVcards(const store::BirthdayList &birthdays)
{
    QByteArray bytes;
    for (const store::BirthdayRecord &birthday : birthdays)
        appendCard(bytes, birthday);
    return bytes;
}

QString vcardChooserTitle()
{
    return u"导出到手机通讯录(*.vcf)"_s;
}

VcardExportResult exportVcards(
    const store::BirthdayList &birthdays, const QString &path, const QString &openDatabase)
{
    if (const std::optional<QString> refused = exportTargetFailure(path, openDatabase))
        return { false, 0, *refused };
    // Card by card, a piece at a time: the file is never held whole.
    const auto produce = [&birthdays](const WriteChunk &write) {
        constexpr qsizetype PieceBytes = 64 * 1024;
        QByteArray piece;
        for (const store::BirthdayRecord &birthday : birthdays) {
            appendCard(piece, birthday);
            if (piece.size() >= PieceBytes) {
                if (const int error = write(piece))
                    return error;
                piece.clear();
            }
        }
        return write(piece);
    };
    if (const std::optional<QString> unwritten = writeExportFile(path, produce))
        return { false, 0, *unwritten };
    const int cards = int(birthdays.size());
    return { true, cards,
        u"生日成功导出到"_s + path + u",共"_s + QString::number(cards) + u"张名片"_s };
}

} // namespace natalis::transfer
