#include "reminder/birthdaysearch.h"

#include <gtest/gtest.h>

using namespace natalis::reminder;
using namespace Qt::StringLiterals;

namespace {

TEST(matchesSearch, AnyPartOfNamePhoneNoteOrInitials)
{
    const struct
    {
        const char *situation;
        QString name, phone, note, typed;
        bool found;
    } rows[] = {
        { "part of the name", u"王小明"_s, {}, {}, u"小明"_s, true },
        { "part of the phone", u"甲"_s, u"13912345678"_s, {}, u"2345"_s, true },
        { "part of the note, any case", u"甲"_s, {}, u"Tennis club"_s, u"tennis"_s, true },
        { "initials of the whole name", u"张三"_s, {}, {}, u"zs"_s, true },
        { "initials in capitals", u"张三"_s, {}, {}, u"ZS"_s, true },
        { "initials of the given name only", u"欧阳娜娜"_s, {}, {}, u"nn"_s, true },
        { "initials out of order", u"张三"_s, {}, {}, u"sz"_s, false },
        { "initials of characters apart", u"张小三"_s, {}, {}, u"zs"_s, false },
        { "longer than the name", u"张三"_s, {}, {}, u"zsf"_s, false },
        { "surname read as a surname", u"曾志伟"_s, {}, {}, u"zzw"_s, true },
        { "surname read as the word", u"曾志伟"_s, {}, {}, u"czw"_s, true },
        { "shan as a surname", u"单田芳"_s, {}, {}, u"stf"_s, true },
        { "Latin letters stand for themselves", u"Tom李"_s, {}, {}, u"ml"_s, true },
        { "blanks around the typed text", u"张三"_s, {}, {}, u" zs "_s, true },
        { "nothing typed", u"张三"_s, u"139"_s, u"note"_s, u""_s, false },
        { "no field holds it", u"张三"_s, u"139"_s, u"note"_s, u"李"_s, false },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.situation);
        const SearchFields fields { row.name, row.phone, row.note, pinyinInitials(row.name) };
        EXPECT_EQ(matchesSearch(fields, row.typed), row.found);
    }
}

} // namespace
