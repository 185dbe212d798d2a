#include "vcardimport.h"

#include "birthline.h"
#include "calendar/lunarimporttext.h"
#include "contentline.h"
#include "importlayout.h"
#include "store/birthdayrecord.h"
#include "store/categories.h"
#include "store/phonenumber.h"
#include "store/reminddays.h"
#include "vcarddates.h"
#include "vcardexport.h"
#include "vcardparser.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

namespace Widths = store::BirthdayWidths;

QString oneLine(QString text)
{
    text.replace(u"\r\n"_s, u" "_s).replace(u'\n', u' ').replace(u'\r', u' ').replace(u'\t', u' ');
    return text.trimmed();
}

QString cardName(const Vcard &card)
{
    if (const VcardProperty *fn = card.first(u"FN"); fn && !importName(fn->text()).isEmpty())
        return importName(fn->text());
    if (const VcardProperty *n = card.first(u"N")) {
        const QStringList parts = n->components();
        return importName(parts.value(0) + parts.value(1) + parts.value(2));
    }
    return QString();
}

// The date field an import record keeps ("1990-4-15", "1990-闰03-05"; "4-15", "闰03-05"
// without a year); empty when the date does not exist or lies outside the calendar's range.
QString importDateText(const calendar::LunarDate &date, bool lunar)
{
    if (date.year == 0) {
        const QString text = (date.isLeap ? u"闰"_s : QString()) + QString::number(date.month)
            + u'-' + QString::number(date.day);
        if (!yearlessImportDate(text, lunar))
            return QString();
        return lunar ? u"%1%2-%3"_s.arg(date.isLeap ? u"闰"_s : QString())
                           .arg(date.month, 2, 10, QLatin1Char('0'))
                           .arg(date.day, 2, 10, QLatin1Char('0'))
                     : text;
    }
    const QString text = u"%1-%2%3-%4"_s.arg(date.year)
                             .arg(date.isLeap ? u"闰"_s : QString())
                             .arg(date.month)
                             .arg(date.day);
    if (lunar) {
        QString normalized;
        return calendar::NormalizeLunarImportText(text, normalized) ? normalized : QString();
    }
    return parseImportGregorian(text) ? text : QString();
}

enum class Birthday { Taken, Missing };

// The kinds a card's dates are looked for as, in order: the one our own property names, else a
// birthday before an anniversary before a death date, as a card carries one entry of ours.
QList<store::EntryKind> kindsToTry(const Vcard &card)
{
    if (const auto own = vcardKindOf(card))
        return { *own };
    return { store::EntryKind::Birthday, store::EntryKind::Anniversary,
        store::EntryKind::Memorial };
}

// Fills the date, rule and kind when the card has a date that can be stored.
Birthday takeBirthday(const Vcard &card, store::BirthdayRecord &fields, QString &date, bool &lunar)
{
    for (const store::EntryKind kind : kindsToTry(card)) {
        fields.Kind = store::entryKindText(kind);
        if (const qsizetype at = lunarDateProperty(card, kind); at >= 0) {
            date = importDateText(*lunarCardDate(card.properties[at]), true);
            lunar = true;
            fields.blnIsGL = u"按农历提醒"_s;
            return Birthday::Taken;
        }
        const qsizetype at = gregorianDateProperty(card, kind);
        const auto day = at < 0 ? std::nullopt : gregorianCardDate(card.properties[at]);
        if (day && !(date = importDateText(*day, false)).isEmpty()) {
            fields.blnIsGL = u"按公历提醒"_s;
            return Birthday::Taken;
        }
    }
    fields.Kind = store::entryKindText(kindsToTry(card).first());
    return Birthday::Missing;
}

bool isMobile(const QString &digits)
{
    return digits.size() == 11 && digits.startsWith(u'1') && store::IsPhoneNumber(digits);
}

} // namespace

QString vcardPhoneNumber(QStringView value)
{
    value = value.trimmed();
    if (value.startsWith(u"tel:", Qt::CaseInsensitive))
        value = value.mid(4);
    if (const qsizetype extension = value.indexOf(u';'); extension >= 0)
        value.truncate(extension);
    QString digits;
    for (const QChar c : value) {
        if ((c >= u'0' && c <= u'9') || (c == u'+' && digits.isEmpty()))
            digits += c;
    }
    // China's own code is what a number here goes without; another country's stays, or the
    // number would read as a Chinese one.
    if (digits.startsWith(u"+86"))
        digits = digits.mid(3);
    else if (digits.startsWith(u"0086"))
        digits = digits.mid(4);
    return digits == u"+" ? QString() : digits;
}

qsizetype contactProperty(const Vcard &card)
{
    QList<qsizetype> numbered;
    for (qsizetype i = 0; i < card.properties.size(); ++i) {
        const VcardProperty &property = card.properties[i];
        if (property.name != u"TEL" || vcardPhoneNumber(property.text()).isEmpty())
            continue;
        if (property.hasType(u"CELL"))
            return i;
        numbered.append(i);
    }
    for (const qsizetype i : std::as_const(numbered)) {
        if (isMobile(vcardPhoneNumber(card.properties[i].text())))
            return i;
    }
    return numbered.value(0, -1);
}

qsizetype lunarBirthdayProperty(const Vcard &card)
{
    return lunarDateProperty(card, store::EntryKind::Birthday);
}

namespace {

QString contactNumber(const Vcard &card)
{
    const qsizetype at = contactProperty(card);
    return at < 0 ? QString() : vcardPhoneNumber(card.properties[at].text());
}

QString cardAddress(const Vcard &card)
{
    const VcardProperty *adr = card.first(u"ADR");
    if (!adr)
        return QString();
    // post office box; extended; street; locality; region; postal code; country
    const QStringList parts = adr->components();
    QStringList ordered;
    for (int index : { 4, 3, 2, 1, 0 }) {
        if (const QString part = oneLine(parts.value(index)); !part.isEmpty())
            ordered.append(part);
    }
    return ordered.join(u' ');
}

std::optional<QString> cardCategory(const Vcard &card)
{
    if (const VcardProperty *categories = card.first(u"CATEGORIES")) {
        for (const QString &name : categories->value.split(u',')) {
            const QString category = unescapeText(name).trimmed();
            if (store::categoryIndex(category) >= 0)
                return category;
        }
    }
    return std::nullopt;
}

QString cardSex(const Vcard &card)
{
    const VcardProperty *gender = card.first(u"GENDER");
    const QString sex = gender ? gender->components().value(0).trimmed().toUpper() : QString();
    return sex == u"M" ? u"男"_s : sex == u"F" ? u"女"_s : QString();
}

// Names the Uids made from other programs' card ids, so that the same id always gives the
// same Uid and a second import of a phone's file finds its contacts present.
const QUuid ForeignUidSpace = QUuid::fromString(u"6f1d3c52-8a44-4b0e-9c7e-2d5a4f1b7e90");

QUuid cardUid(const Vcard &card)
{
    const VcardProperty *uid = card.first(u"UID");
    if (!uid)
        return {};
    QString value = uid->text().trimmed();
    if (value.startsWith(u"urn:uuid:", Qt::CaseInsensitive))
        value = value.mid(9);
    if (value.isEmpty())
        return {};
    const QUuid parsed = QUuid::fromString(value);
    return parsed.isNull() ? QUuid::createUuidV5(ForeignUidSpace, value) : parsed;
}

QString ownText(const Vcard &card, QStringView name, int width)
{
    const VcardProperty *property = card.first(name);
    return property ? cutToWidth(oneLine(property->text()), width) : QString();
}

// A card of our own export: it carries the fields no standard property holds.
bool isOwnCard(const Vcard &card)
{
    return card.first(VcardRuleProperty) != nullptr;
}

void takeOwnFields(const Vcard &card, store::BirthdayRecord &f)
{
    if (const VcardProperty *days = card.first(VcardDaysProperty)) {
        if (const auto list = store::parseRemindDays(days->text())) {
            f.intNums = list->first();
            f.Days = store::remindDaysText(*list);
        }
    }
    if (const VcardProperty *leap = card.first(VcardLeapProperty))
        f.LeapRule = leap->text().trimmed().compare(u"SKIP", Qt::CaseInsensitive) == 0
            ? store::leapMonthRuleText(store::LeapMonthRule::Skip)
            : store::leapMonthRuleText(store::leapMonthRuleOf(leap->text()));
    if (const VcardProperty *sms = card.first(VcardSmsProperty))
        f.Duanxin =
            sms->text().trimmed().compare(u"TRUE", Qt::CaseInsensitive) == 0 ? u"是"_s : u"否"_s;
    f.QQ_MSN = ownText(card, VcardMessengerProperty, Widths::QQ_MSN);
    f.No = ownText(card, VcardStaffNoProperty, Widths::No);
}

store::BirthdayRecord fieldsOf(const Vcard &card, const QString &name)
{
    store::BirthdayRecord f;
    f.About = name;
    f.Tel = cutToWidth(contactNumber(card), Widths::Tel);
    if (const VcardProperty *note = card.first(u"NOTE"))
        f.Beizhu = cutToWidth(oneLine(note->text()), Widths::Beizhu);
    if (const VcardProperty *org = card.first(u"ORG")) {
        const QStringList parts = org->components();
        f.Company = cutToWidth(oneLine(parts.value(0)), Widths::Company);
        f.Class = cutToWidth(oneLine(parts.value(1)), Widths::Class);
    }
    f.Address = cutToWidth(cardAddress(card), Widths::Address);
    f.Sex = cardSex(card);
    f.intNums = 7;
    f.Duanxin = u"否"_s;
    f.Uid = cardUid(card);
    takeOwnFields(card, f);
    return f;
}

ImportFailure failureOf(QString text)
{
    const QString title = chooserTitle(ImportLayout::Vcf);
    return { title, std::move(text), title + u"失败!"_s };
}

} // namespace

VcardImportReading readVcardImportBytes(
    QByteArrayView bytes, const QString &path, const QString &category, const StatusSink &status)
{
    const QString reading = readingText(ImportLayout::Vcf);
    if (status)
        status(reading);
    VcardImportReading cards;
    // Values without a CHARSET are read as UTF-8 when the whole file is valid UTF-8.
    QStringDecoder utf8(QStringConverter::Utf8);
    (void)utf8.decode(bytes);
    cards.reading.encoding = utf8.hasError() ? TextEncoding::Gbk : TextEncoding::Utf8;
    const QList<Vcard> parsed = parseVcards(bytes);
    for (const Vcard &card : parsed) {
        const QString name = cardName(card);
        store::BirthdayRecord fields = fieldsOf(card, name);
        QString date;
        bool lunar = false;
        Birthday birthday =
            name.isEmpty() ? Birthday::Missing : takeBirthday(card, fields, date, lunar);
        // Our own birthday without a date travels as a card without BDAY; it is still ours.
        if (birthday == Birthday::Missing && !name.isEmpty() && isOwnCard(card))
            birthday = Birthday::Taken;
        if (birthday == Birthday::Taken && isOwnCard(card)) {
            const bool lunarRule = card.first(VcardRuleProperty)->text().trimmed() == u"LUNAR";
            fields.blnIsGL = lunarRule ? u"按农历提醒"_s : u"按公历提醒"_s;
        }
        // A greeting needs a number to go to and a day to go on.
        if (fields.Tel.isEmpty() || date.isEmpty())
            fields.Duanxin = u"否"_s;
        if (birthday != Birthday::Taken) {
            cards.withoutBirthday.append(name.isEmpty() ? u"(无姓名)"_s : name);
            continue;
        }
        const std::optional<QString> named = cardCategory(card);
        fields.Type = named.value_or(category);
        cards.reading.records.append(ImportRecord(fields, date, lunar));
        cards.namedCategory.append(named.has_value());
        if (status)
            status(reading + QString::number(cards.reading.records.size()));
    }
    if (parsed.isEmpty())
        cards.reading.failure = failureOf(emptyFileText(ImportLayout::Vcf, path));
    else if (cards.reading.records.isEmpty() && cards.withoutBirthday.isEmpty())
        cards.reading.failure = failureOf(path + u"中的名片都没有出生年份!"_s);
    else if (cards.reading.records.isEmpty())
        cards.reading.failure = failureOf(path + u"中的名片都没有生日!"_s);
    return cards;
}

VcardImportReading readVcardImportFile(
    const QString &path, const QString &category, const StatusSink &status)
{
    VcardImportReading cards;
    const QFileInfo info(path);
    if (!info.exists()) {
        cards.reading.failure = ImportFailure { u"生日导入"_s, path + u"不存在"_s, QString() };
        return cards;
    }
    QFile file(path);
    if (!info.isFile() || info.size() > MaxImportFileBytes || !file.open(QIODevice::ReadOnly)) {
        cards.reading.failure = failureOf(path + u"无法读取,没有导入任何生日!"_s);
        return cards;
    }
    return readVcardImportBytes(file.readAll(), path, category, status);
}

void setVcardCategory(VcardImportReading &cards, const QString &category)
{
    for (qsizetype i = 0; i < cards.reading.records.size(); ++i) {
        if (cards.namedCategory.value(i))
            continue;
        ImportRecord &record = cards.reading.records[i];
        store::BirthdayRecord fields = record.fields();
        fields.Type = category;
        record = ImportRecord(fields, record.date(), record.dateIsLunar());
    }
}

QString withoutBirthdayText(const QStringList &names)
{
    if (names.isEmpty())
        return QString();
    return QString::number(names.size()) + u"张名片没有生日,未导入:"_s + names.join(u"、"_s);
}

QString withoutYearText(const QStringList &names)
{
    if (names.isEmpty())
        return QString();
    return QString::number(names.size()) + u"张名片没有出生年份,未导入:"_s + names.join(u"、"_s);
}

} // namespace natalis::transfer
