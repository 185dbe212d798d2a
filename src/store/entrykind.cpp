#include "store/entrykind.h"

namespace natalis::store {

namespace {

constexpr QStringView KindTexts[] = { u"生日", u"纪念日", u"忌日" };
constexpr QStringView LeapRuleTexts[] = { u"平月", u"跳过" };

template<typename Code, qsizetype N>
std::optional<Code> codeOf(const QStringView (&texts)[N], QStringView text)
{
    text = text.trimmed();
    for (qsizetype i = 0; i < N; ++i) {
        if (texts[i] == text)
            return Code(i);
    }
    return std::nullopt;
}

} // namespace

// Literals, so that the records made for every row share them instead of allocating.
QString entryKindText(EntryKind kind)
{
    switch (kind) {
    case EntryKind::Anniversary:
        return QStringLiteral("纪念日");
    case EntryKind::Memorial:
        return QStringLiteral("忌日");
    case EntryKind::Birthday:
        break;
    }
    return QStringLiteral("生日");
}

std::optional<EntryKind> entryKindFromText(QStringView text)
{
    return codeOf<EntryKind>(KindTexts, text);
}

EntryKind entryKindOf(QStringView text)
{
    return entryKindFromText(text).value_or(EntryKind::Birthday);
}

QString leapMonthRuleText(LeapMonthRule rule)
{
    return rule == LeapMonthRule::Skip ? QStringLiteral("跳过") : QStringLiteral("平月");
}

std::optional<LeapMonthRule> leapMonthRuleFromText(QStringView text)
{
    return codeOf<LeapMonthRule>(LeapRuleTexts, text);
}

LeapMonthRule leapMonthRuleOf(QStringView text)
{
    return leapMonthRuleFromText(text).value_or(LeapMonthRule::RegularMonth);
}

} // namespace natalis::store
