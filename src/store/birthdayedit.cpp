#include "birthdayedit.h"

#include "ansicodec.h"
#include "asciidigits.h"
#include "categories.h"
#include "entrykind.h"
#include "fieldtext.h"
#include "phonenumber.h"
#include "reminddays.h"

namespace natalis::store {

namespace {

QString withoutLineBreaks(QString text)
{
    return text.remove(u'\r').remove(u'\n');
}

struct ByteLimit
{
    QString BirthdayEdit::*field;
    qsizetype bytes;
    EditField focus;
    QStringView message;
};

} // namespace

void cleanBirthdayEdit(BirthdayEdit &edit)
{
    for (QString BirthdayEdit::*field :
        { &BirthdayEdit::About, &BirthdayEdit::Beizhu, &BirthdayEdit::Class, &BirthdayEdit::QQ_MSN,
            &BirthdayEdit::Company, &BirthdayEdit::Address })
        edit.*field = withoutLineBreaks(edit.*field);
    edit.About.remove(u' ');
}

std::optional<EditRefusal> refuseForbiddenCharacters(const BirthdayEdit &edit)
{
    struct Field
    {
        QString BirthdayEdit::*text;
        EditField focus;
        QStringView label;
    };
    const Field fields[] = {
        { &BirthdayEdit::About, EditField::About, u"生日名称" },
        { &BirthdayEdit::Tel, EditField::Tel, u"联系方式" },
        { &BirthdayEdit::Beizhu, EditField::Beizhu, u"生日备注" },
        { &BirthdayEdit::Class, EditField::Class, u"部门/类别" },
        { &BirthdayEdit::QQ_MSN, EditField::QQ_MSN, u"QQ/MSN" },
        { &BirthdayEdit::Company, EditField::Company, u"公司名称" },
        { &BirthdayEdit::Address, EditField::Address, u"地址" },
        { &BirthdayEdit::No, EditField::No, u"工号/卡号" },
    };
    for (const Field &field : fields) {
        if (holdsForbiddenCharacter(edit.*field.text))
            return EditRefusal { field.focus,
                field.label.toString() + QStringLiteral("不能含有制表符、换行符等控制字符！") };
    }
    return std::nullopt;
}

bool MyAboutHave(const BirthdayList &birthdays, QStringView category, QStringView name)
{
    const auto listOf = [](QStringView type) { return qMax(categoryIndex(type), 0); };
    const int list = listOf(category.trimmed());
    const QStringView wanted = name.trimmed();
    for (qsizetype i = 0; i < birthdays.size(); ++i) {
        if (listOf(birthdays.text(i, BirthdayText::Type).trimmed()) == list
            && birthdays.text(i, BirthdayText::About).trimmed() == wanted)
            return true;
    }
    return false;
}

std::optional<EditRefusal> checkBirthdayEdit(const BirthdayEdit &edit, QStringView originalName,
    const BirthdayList &birthdays, const BirthdayEdit *stored)
{
    if (auto refusal = refuseForbiddenCharacters(edit))
        return refusal;
    const auto kept = [&](QString BirthdayEdit::*field) {
        return stored
            && QStringView(edit.*field).trimmed() == QStringView(stored->*field).trimmed();
    };
    const auto tooLong = [&](QString BirthdayEdit::*field, qsizetype bytes) {
        return !kept(field) && ansiByteLength(edit.*field) > bytes;
    };
    if (tooLong(&BirthdayEdit::About, 16))
        return EditRefusal { EditField::About,
            QStringLiteral("生日名称不能超过16个字符(1个汉字算2个字符)！") };

    // A contact is a plain number: the phone rule needs nothing else, and signs, decimal points
    // or exponents in a number to call are typing mistakes.
    const QStringView tel = QStringView(edit.Tel).trimmed();
    if (!kept(&BirthdayEdit::Tel)
        && ((!tel.isEmpty() && !isAsciiDigits(tel)) || ansiByteLength(tel) > 12))
        return EditRefusal { EditField::Tel,
            QStringLiteral("联系方式必须是数字,不能超过12个字符(1个汉字算2个字符)！") };

    const ByteLimit limits[] = {
        { &BirthdayEdit::Beizhu, 100, EditField::Beizhu,
            u"生日备注不能超过100个字符(1个汉字算2个字符)！" },
        { &BirthdayEdit::Class, 20, EditField::Class,
            u"部门/类别不能超过20个字符(1个汉字算2个字符)！" },
        { &BirthdayEdit::QQ_MSN, 20, EditField::QQ_MSN,
            u"QQ/MSN不能超过20个字符(1个汉字算2个字符)！" },
        { &BirthdayEdit::Company, 60, EditField::Company,
            u"公司名称不能超过60个字符(1个汉字算2个字符)！" },
        { &BirthdayEdit::Address, 80, EditField::Address,
            u"地址不能超过80个字符(1个汉字算2个字符)！" },
    };
    for (const ByteLimit &limit : limits) {
        if (tooLong(limit.field, limit.bytes))
            return EditRefusal { limit.focus, limit.message.toString() };
    }

    if (!QStringView(edit.Days).trimmed().isEmpty() && !parseRemindDays(edit.Days))
        return EditRefusal { EditField::Days,
            QStringLiteral("提醒天数必须是0到14之间的数字,用逗号分开,不能重复！") };

    const QStringView name = QStringView(edit.About).trimmed();
    if (name.isEmpty())
        return EditRefusal { EditField::About, QStringLiteral("生日名称必须输入！") };
    if (name != originalName.trimmed() && MyAboutHave(birthdays, edit.Type, name))
        return EditRefusal { EditField::About, QStringLiteral("生日名称重复，请重新输入！") };

    if (edit.Duanxin == u"是") {
        if (!IsPhoneNumber(tel))
            return EditRefusal { EditField::Tel,
                QStringLiteral("要进行生日短信提醒,必须输入正确的手机号码！") };
        if (edit.strGL.isEmpty())
            return EditRefusal { EditField::GLDate,
                QStringLiteral("要进行生日短信提醒,公历日期必须输入！") };
    }
    return std::nullopt;
}

BirthdayRecord recordFromEdit(const BirthdayEdit &edit)
{
    BirthdayRecord record;
    record.About = edit.About.trimmed();
    record.Type = edit.Type.trimmed();
    record.Tel = edit.Tel.trimmed();
    record.Beizhu = edit.Beizhu.trimmed();
    record.strGL = edit.strGL;
    record.strNL = edit.strNL;
    record.blnIsGL = edit.IsGL ? QStringLiteral("按公历提醒") : QStringLiteral("按农历提醒");
    record.intNums = edit.intnums;
    record.Duanxin = edit.Duanxin;
    record.Sex = edit.Sex.trimmed();
    record.Class = edit.Class.trimmed();
    record.QQ_MSN = edit.QQ_MSN.trimmed();
    record.Company = edit.Company.trimmed();
    record.Address = edit.Address.trimmed();
    record.No = edit.No.trimmed();
    record.DxSend = QStringLiteral("0");
    record.Kind = entryKindText(entryKindOf(edit.Kind));
    record.LeapRule = leapMonthRuleText(leapMonthRuleOf(edit.LeapRule));
    if (const auto days = parseRemindDays(edit.Days)) {
        record.intNums = days->first();
        record.Days = days->size() > 1 ? edit.Days.trimmed() : QString();
    }
    return record;
}

} // namespace natalis::store
