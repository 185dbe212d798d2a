#include "importrecord.h"

#include <QStringEncoder>
#include <algorithm>

namespace natalis::transfer {

namespace {

// Ends every packed text; lines with control characters never reach a record, and one that
// comes from elsewhere is written as a blank.
constexpr char Separator = '\x1F';

enum Part {
    About,
    Type,
    Tel,
    Beizhu,
    StrGL,
    StrNL,
    BlnIsGL,
    Duanxin,
    Sex,
    Class,
    QQ_MSN,
    Company,
    Address,
    No,
    Kind,
    Days,
    LeapRule,
    Date,
};

// The fields that nearly always hold one of a few texts, kept as the text's number.
struct KnownValues
{
    int part;
    std::array<QStringView, 8> texts;
};

constexpr std::array<KnownValues, 6> Known = { {
    { Type, { u"同事", u"客户", u"代理商", u"供应商", u"家人", u"同学", u"朋友", u"其他" } },
    { BlnIsGL, { u"按公历提醒", u"按农历提醒" } },
    { Duanxin, { u"是", u"否" } },
    { Sex, { u"男", u"女" } },
    { Kind, { u"生日", u"纪念日", u"忌日" } },
    { LeapRule, { u"平月", u"跳过" } },
} };

// The number of text among the known values of field k, or 0 when it is none of them.
quint8 knownNumber(std::size_t k, const QString &text)
{
    for (std::size_t i = 0; i < Known[k].texts.size(); ++i) {
        if (!Known[k].texts[i].isEmpty() && Known[k].texts[i] == text)
            return quint8(i + 1);
    }
    return 0;
}

const QByteArray &knownUtf8(std::size_t k, quint8 number)
{
    static const auto utf8 = [] {
        std::array<std::array<QByteArray, 8>, Known.size()> texts;
        for (std::size_t k = 0; k < Known.size(); ++k) {
            for (std::size_t i = 0; i < Known[k].texts.size(); ++i)
                texts[k][i] = Known[k].texts[i].toUtf8();
        }
        return texts;
    }();
    return utf8[k][number - 1];
}

qsizetype utf8Length(QStringView text)
{
    qsizetype length = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80)
            length += 1;
        else if (c < 0x800)
            length += 2;
        else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            length += 4, ++i;
        else
            length += 3;
    }
    return length;
}

// One allocation of the exact size per record, and no other that outlives the call: a million
// records built by appending would leave the heap full of the holes of their growing buffers.
QByteArray packed(const std::array<QStringView, Date + 1> &parts)
{
    qsizetype size = 0;
    for (QStringView part : parts)
        size += utf8Length(part) + 1;
    QByteArray utf8(size, Qt::Uninitialized);
    QStringEncoder encoder(QStringConverter::Utf8);
    char *out = utf8.data();
    for (QStringView part : parts) {
        char *const start = out;
        out = encoder.appendToBuffer(out, part);
        std::replace(start, out, Separator, ' ');
        *out++ = Separator;
    }
    utf8.truncate(out - utf8.data());
    return utf8;
}

QString unpacked(QByteArrayView part)
{
    return QString::fromUtf8(part);
}

} // namespace

ImportRecord::ImportRecord(const store::BirthdayRecord &r, const QString &date, bool dateIsLunar)
    : m_uid(r.Uid), m_days(r.intNums), m_dateIsLunar(dateIsLunar)
{
    const QString *texts[] = { &r.About, &r.Type, &r.Tel, &r.Beizhu, &r.strGL, &r.strNL, &r.blnIsGL,
        &r.Duanxin, &r.Sex, &r.Class, &r.QQ_MSN, &r.Company, &r.Address, &r.No, &r.Kind, &r.Days,
        &r.LeapRule, &date };
    for (std::size_t k = 0; k < Known.size(); ++k)
        m_known[k] = knownNumber(k, *texts[Known[k].part]);
    std::array<QStringView, Date + 1> parts;
    for (int part = About; part <= Date; ++part)
        parts[std::size_t(part)] = *texts[part];
    for (std::size_t k = 0; k < Known.size(); ++k) {
        if (m_known[k])
            parts[std::size_t(Known[k].part)] = QStringView();
    }
    m_texts = packed(parts);
}

QByteArrayView ImportRecord::part(int index) const
{
    qsizetype start = 0;
    for (int i = 0; i < index; ++i) {
        start = m_texts.indexOf(Separator, start);
        if (start < 0)
            return {};
        ++start;
    }
    const qsizetype end = m_texts.indexOf(Separator, start);
    return end < 0 ? QByteArrayView() : QByteArrayView(m_texts).sliced(start, end - start);
}

store::BirthdayRecord ImportRecord::fields() const
{
    store::BirthdayRecord r;
    QString *targets[] = { &r.About, &r.Type, &r.Tel, &r.Beizhu, &r.strGL, &r.strNL, &r.blnIsGL,
        &r.Duanxin, &r.Sex, &r.Class, &r.QQ_MSN, &r.Company, &r.Address, &r.No, &r.Kind, &r.Days,
        &r.LeapRule };
    qsizetype start = 0;
    for (QString *target : targets) {
        const qsizetype end = m_texts.indexOf(Separator, start);
        if (end < 0)
            break;
        *target = unpacked(QByteArrayView(m_texts).sliced(start, end - start));
        start = end + 1;
    }
    for (std::size_t k = 0; k < Known.size(); ++k) {
        if (m_known[k])
            *targets[Known[k].part] = Known[k].texts[m_known[k] - 1].toString();
    }
    r.intNums = m_days;
    r.Uid = m_uid;
    return r;
}

QString ImportRecord::date() const
{
    return unpacked(part(Date));
}

QByteArrayView ImportRecord::name() const
{
    return part(About);
}

QByteArrayView ImportRecord::category() const
{
    return m_known[0] ? QByteArrayView(knownUtf8(0, m_known[0])) : part(Type);
}

} // namespace natalis::transfer
