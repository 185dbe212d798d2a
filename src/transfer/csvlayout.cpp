#include "csvlayout.h"

#include "transfer/birthline.h"
#include "transfer/exportfile.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

using namespace birthfield;

// Column kinds beside the BirthField positions: the two dates of the main list.
constexpr int GregorianColumn = FieldCount;
constexpr int LunarColumn = FieldCount + 1;

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
        { u"QQ/MSN"_s, Messenger },
        { u"公司名称"_s, Company },
        { u"地址"_s, Address },
        { u"工号/卡号"_s, StaffNo },
    };
    return columns;
}

} // namespace

QStringList csvColumnTitles()
{
    return { u"生日名称"_s, u"类别"_s, u"联系方式"_s, u"生日备注"_s, u"公历生日"_s, u"农历生日"_s,
        u"提醒方式"_s, u"提醒天数"_s, u"短信提醒"_s, u"性别"_s, u"部门/类型"_s, u"QQ/MSN"_s,
        u"公司名称"_s, u"地址"_s, u"工号/卡号"_s };
}

QStringList csvExportFields(const store::BirthdayRecord &r)
{
    const auto t = [](const QString &text) { return text.trimmed(); };
    return { t(r.About), t(r.Type), t(r.Tel), t(r.Beizhu), exportGregorianField(r.strGL),
        exportLunarField(r.strNL), t(r.blnIsGL), QString::number(r.intNums), t(r.Duanxin), t(r.Sex),
        t(r.Class), t(r.QQ_MSN), t(r.Company), t(r.Address), t(r.No) };
}

std::optional<CsvColumns> CsvColumns::fromHeader(const QStringList &titles, QStringList *notes)
{
    CsvColumns columns;
    bool named = false;
    for (const QString &title : titles) {
        const int field = columnOfTitle().value(title.trimmed(), -1);
        named = named || field == Name;
        if (field < 0 && notes && !title.trimmed().isEmpty())
            notes->append(u"列'%1'无法识别,已忽略"_s.arg(title.trimmed()));
        columns.m_fieldOfColumn.append(field);
    }
    if (!named)
        return std::nullopt;
    return columns;
}

ImportRecord CsvColumns::record(const QStringList &row, QStringList *notes) const
{
    BirthFields fields {};
    QStringView gregorian;
    QStringView lunar;
    for (qsizetype i = 0; i < row.size() && i < m_fieldOfColumn.size(); ++i) {
        const QStringView value = QStringView(row[i]).trimmed();
        const int field = m_fieldOfColumn[i];
        if (field == GregorianColumn)
            gregorian = value;
        else if (field == LunarColumn)
            lunar = value;
        else if (field >= 0)
            fields[std::size_t(field)] = value;
    }
    if (!fields[Date].isEmpty())
        return ParseBirthFields(fields, DateRule::FollowsRule, notes);
    const bool lunarRule = fields[Rule] == u"按农历提醒";
    if (lunarRule && !lunar.isEmpty()) {
        fields[Date] = lunar;
        return ParseBirthFields(fields, DateRule::FollowsRule, notes);
    }
    fields[Date] = gregorian;
    return ParseBirthFields(fields, DateRule::Gregorian, notes);
}

} // namespace natalis::transfer
