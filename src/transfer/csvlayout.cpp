#include "csvlayout.h"

#include "store/entrykind.h"
#include "transfer/birthline.h"
#include "transfer/exportfile.h"

#include <QHash>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

using namespace birthfield;

// Column kinds beside the BirthField positions of the tab layout: the two dates of the main
// list, the two parts of a name as Outlook writes them, phone numbers other than the mobile one,
// and the kind and leap-month rule. The numbers are remembered with a user's column choice, so
// a new kind takes the next free number and none moves.
constexpr int TabFields = StaffNo + 1;
constexpr int GregorianColumn = TabFields;
constexpr int LunarColumn = TabFields + 1;
constexpr int FamilyNameColumn = TabFields + 2;
constexpr int GivenNameColumn = TabFields + 3;
constexpr int OtherPhoneColumn = TabFields + 4;
constexpr int UidColumn = TabFields + 5;
constexpr int KindColumn = TabFields + 6;
constexpr int LeapRuleColumn = TabFields + 7;

// The titles of our own export, then those people give their own sheets, and those of Outlook's
// contact export in Chinese and in English (matched without regard to case).
const QHash<QString, int> &columnOfTitle()
{
    static const QHash<QString, int> columns = {
        { u"生日名称"_s, Name },
        { u"类别"_s, Category },
        { u"生日类别"_s, Category },
        { u"联系方式"_s, Contact },
        { u"生日备注"_s, Remark },
        { u"公历生日"_s, GregorianColumn },
        { u"农历生日"_s, LunarColumn },
        { u"公历/农历生日"_s, Date },
        { u"提醒方式"_s, Rule },
        { u"提醒天数"_s, Days },
        { u"短信提醒"_s, Sms },
        { u"性别"_s, Sex },
        { u"部门/类型"_s, Department },
        { u"qq/msn"_s, Messenger },
        { u"公司名称"_s, Company },
        { u"地址"_s, Address },
        { u"工号/卡号"_s, StaffNo },
        { u"uid"_s, UidColumn },
        { u"类型"_s, KindColumn },
        { u"闰月规则"_s, LeapRuleColumn },
        // A person's own sheet.
        { u"姓名"_s, Name },
        { u"名字"_s, Name },
        { u"name"_s, Name },
        { u"full name"_s, Name },
        { u"生日"_s, GregorianColumn },
        { u"出生日期"_s, GregorianColumn },
        { u"出生年月日"_s, GregorianColumn },
        { u"birthday"_s, GregorianColumn },
        { u"农历"_s, LunarColumn },
        { u"手机"_s, Contact },
        { u"手机号"_s, Contact },
        { u"手机号码"_s, Contact },
        { u"电话"_s, OtherPhoneColumn },
        { u"联系电话"_s, OtherPhoneColumn },
        { u"分组"_s, Category },
        { u"备注"_s, Remark },
        { u"附注"_s, Remark },
        { u"部门"_s, Department },
        { u"公司"_s, Company },
        { u"单位"_s, Company },
        { u"工号"_s, StaffNo },
        { u"qq"_s, Messenger },
        // Outlook.
        { u"名"_s, GivenNameColumn },
        { u"姓"_s, FamilyNameColumn },
        { u"first name"_s, GivenNameColumn },
        { u"last name"_s, FamilyNameColumn },
        { u"移动电话"_s, Contact },
        { u"mobile phone"_s, Contact },
        { u"住宅电话"_s, OtherPhoneColumn },
        { u"商务电话"_s, OtherPhoneColumn },
        { u"home phone"_s, OtherPhoneColumn },
        { u"business phone"_s, OtherPhoneColumn },
        { u"categories"_s, Category },
        { u"notes"_s, Remark },
        { u"gender"_s, Sex },
        { u"company"_s, Company },
        { u"department"_s, Department },
    };
    return columns;
}

bool holdsHan(QStringView text)
{
    return std::any_of(
        text.begin(), text.end(), [](QChar c) { return c.script() == QChar::Script_Han; });
}

// Outlook keeps a name in two columns: 张 + 三 is 张三, John + Smith is "John Smith".
QString wholeName(QStringView family, QStringView given)
{
    if (family.isEmpty() || given.isEmpty())
        return family.isEmpty() ? given.toString() : family.toString();
    if (holdsHan(family) || holdsHan(given))
        return family.toString() + given.toString();
    return given.toString() + u' ' + family.toString();
}

// Outlook and phones write numbers for reading: "+86 138 1234 5678", "010-6234-5678". Only the
// digits are dialled, and they fit the contact's width; any other text stays as it is.
QString dialledNumber(QStringView value)
{
    const bool phoneLike = std::all_of(value.begin(), value.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || c == u' ' || c == u'-' || c == u'+' || c == u'('
            || c == u')';
    });
    if (!phoneLike)
        return value.toString();
    QString digits;
    for (QChar c : value) {
        if (c >= u'0' && c <= u'9')
            digits += c;
    }
    if (value.startsWith(u"+86"))
        digits.remove(0, 2);
    else if (value.startsWith(u"0086"))
        digits.remove(0, 4);
    return digits;
}

// The sexes as other programs write them.
QStringView sexOf(QStringView value)
{
    static const QHash<QString, QString> sexes = { { u"m"_s, u"男"_s }, { u"male"_s, u"男"_s },
        { u"男性"_s, u"男"_s }, { u"f"_s, u"女"_s }, { u"female"_s, u"女"_s },
        { u"女性"_s, u"女"_s } };
    const auto found = sexes.constFind(value.toString().toLower());
    return found == sexes.constEnd() ? value : QStringView(*found);
}

} // namespace

QStringList csvColumnTitles()
{
    return { u"生日名称"_s, u"类别"_s, u"联系方式"_s, u"生日备注"_s, u"公历生日"_s, u"农历生日"_s,
        u"提醒方式"_s, u"提醒天数"_s, u"短信提醒"_s, u"性别"_s, u"部门/类型"_s, u"QQ/MSN"_s,
        u"公司名称"_s, u"地址"_s, u"工号/卡号"_s, u"UID"_s, u"类型"_s, u"闰月规则"_s };
}

QStringList csvExportFields(const store::BirthdayRecord &r)
{
    const auto t = [](const QString &text) { return text.trimmed(); };
    return { t(r.About), t(r.Type), t(r.Tel), t(r.Beizhu), exportGregorianField(r.strGL),
        exportLunarField(r.strNL), t(r.blnIsGL),
        r.Days.trimmed().isEmpty() ? QString::number(r.intNums) : t(r.Days), t(r.Duanxin), t(r.Sex),
        t(r.Class), t(r.QQ_MSN), t(r.Company), t(r.Address), t(r.No),
        r.Uid.isNull() ? QString() : r.Uid.toString(QUuid::WithoutBraces),
        store::entryKindText(store::entryKindOf(r.Kind)),
        store::leapMonthRuleText(store::leapMonthRuleOf(r.LeapRule)) };
}

QList<SheetFieldChoice> sheetFieldChoices()
{
    return { { NotImported, u"不导入"_s }, { Name, u"生日名称"_s }, { FamilyNameColumn, u"姓"_s },
        { GivenNameColumn, u"名"_s }, { Category, u"生日类别"_s }, { Contact, u"联系方式"_s },
        { OtherPhoneColumn, u"其他电话"_s }, { Remark, u"生日备注"_s },
        { GregorianColumn, u"公历生日"_s }, { LunarColumn, u"农历生日"_s },
        { Date, u"公历/农历生日"_s }, { Rule, u"提醒方式"_s }, { Days, u"提醒天数"_s },
        { Sms, u"短信提醒"_s }, { Sex, u"性别"_s }, { Department, u"部门/类型"_s },
        { Messenger, u"QQ/MSN"_s }, { Company, u"公司名称"_s }, { Address, u"地址"_s },
        { StaffNo, u"工号/卡号"_s }, { UidColumn, u"UID"_s }, { KindColumn, u"类型"_s },
        { LeapRuleColumn, u"闰月规则"_s } };
}

int sheetFieldNamed(QStringView name)
{
    for (const SheetFieldChoice &choice : sheetFieldChoices()) {
        if (choice.name == name)
            return choice.field;
    }
    return NotImported;
}

ColumnMapping ColumnMapping::ofTitles(const QStringList &titles)
{
    ColumnMapping mapping { titles, {} };
    for (const QString &title : titles)
        mapping.fields.append(columnOfTitle().value(title.trimmed().toLower(), NotImported));
    return mapping;
}

QString ColumnMapping::key() const
{
    return titles.join(u'\t');
}

QString ColumnMapping::fieldsText() const
{
    QStringList numbers;
    for (int field : fields)
        numbers << QString::number(field);
    return numbers.join(u',');
}

bool ColumnMapping::setFieldsText(QStringView text)
{
    const QList<QStringView> numbers = text.split(u',');
    if (numbers.size() != titles.size())
        return false;
    QList<int> chosen;
    const QList<SheetFieldChoice> choices = sheetFieldChoices();
    for (QStringView number : numbers) {
        bool ok = false;
        const int field = number.toInt(&ok);
        if (!ok || std::none_of(choices.begin(), choices.end(), [field](const SheetFieldChoice &c) {
                return c.field == field;
            }))
            return false;
        chosen << field;
    }
    fields = chosen;
    return true;
}

std::optional<CsvColumns> CsvColumns::fromHeader(const QStringList &titles, QStringList *notes)
{
    const ColumnMapping mapping = ColumnMapping::ofTitles(titles);
    for (qsizetype i = 0; i < titles.size(); ++i) {
        if (mapping.fields[i] == NotImported && notes && !titles[i].trimmed().isEmpty())
            notes->append(u"列'%1'无法识别,已忽略"_s.arg(titles[i].trimmed()));
    }
    return fromMapping(mapping);
}

std::optional<CsvColumns> CsvColumns::fromMapping(const ColumnMapping &mapping)
{
    CsvColumns columns;
    columns.m_fieldOfColumn = mapping.fields;
    columns.m_ownLayout = mapping.fields.contains(Rule)
        || std::any_of(mapping.titles.begin(), mapping.titles.end(),
            [](const QString &title) { return title.trimmed() == u"生日名称"; });
    const bool named = std::any_of(mapping.fields.begin(), mapping.fields.end(), [](int field) {
        return field == Name || field == FamilyNameColumn || field == GivenNameColumn;
    });
    if (!named)
        return std::nullopt;
    return columns;
}

ImportRecord CsvColumns::record(const QStringList &row, QStringList *notes) const
{
    BirthFields fields {};
    QStringView gregorian;
    QStringView lunar;
    QStringView family;
    QStringView given;
    QStringView otherPhone;
    QStringView uid;
    for (qsizetype i = 0; i < row.size() && i < m_fieldOfColumn.size(); ++i) {
        const QStringView value = QStringView(row[i]).trimmed();
        const int field = m_fieldOfColumn[i];
        if (field == GregorianColumn)
            gregorian = value;
        else if (field == LunarColumn)
            lunar = value;
        else if (field == FamilyNameColumn)
            family = value;
        else if (field == GivenNameColumn)
            given = value;
        else if (field == OtherPhoneColumn && otherPhone.isEmpty())
            otherPhone = value;
        else if (field == UidColumn)
            uid = value;
        else if (field == KindColumn)
            fields[Kind] = value;
        else if (field == LeapRuleColumn)
            fields[LeapRule] = value;
        else if (field >= 0 && field < TabFields && fields[std::size_t(field)].isEmpty())
            fields[std::size_t(field)] = value;
    }
    const QString name = wholeName(family, given);
    if (fields[Name].isEmpty())
        fields[Name] = name;
    // The mobile number where there is one: a greeting goes by SMS.
    if (fields[Contact].isEmpty())
        fields[Contact] = otherPhone;
    const QString contact = dialledNumber(fields[Contact]);
    fields[Contact] = contact;
    fields[Sex] = sexOf(fields[Sex]);
    ImportRecord read = [&] {
        if (!fields[Date].isEmpty())
            return parseBirthFields(fields, DateRule::FollowsRule, notes);
        // A person's sheet that gives only the lunar date, and no rule, means a lunar birthday.
        if (fields[Rule].isEmpty() && gregorian.isEmpty() && !lunar.isEmpty())
            fields[Rule] = u"按农历提醒";
        const bool lunarRule = fields[Rule] == u"按农历提醒";
        if (lunarRule && !lunar.isEmpty()) {
            fields[Date] = lunar;
            return parseBirthFields(fields, DateRule::FollowsRule, notes);
        }
        fields[Date] = gregorian;
        return parseBirthFields(fields, DateRule::Gregorian, notes);
    }();
    // Only a Uid as we write it: another program's id column is no name of ours.
    if (const QUuid id = QUuid::fromString(uid); !id.isNull())
        read.setUid(id);
    else if (!uid.isEmpty() && notes)
        notes->append(u"UID'%1'无效,已忽略"_s.arg(uid));
    return read;
}

bool CsvColumns::holdsRecordsWithoutDate() const
{
    return m_ownLayout;
}

bool CsvColumns::givesNoBirthday(const QStringList &row) const
{
    for (qsizetype i = 0; i < row.size() && i < m_fieldOfColumn.size(); ++i) {
        const int field = m_fieldOfColumn[i];
        const bool dateColumn = field == Date || field == GregorianColumn || field == LunarColumn;
        if (dateColumn && !givesNoDate(row[i]))
            return false;
    }
    return true;
}

} // namespace natalis::transfer
