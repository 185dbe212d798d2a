#include "store/phonenumber.h"
#include "support/casename.h"

#include <gtest/gtest.h>

namespace natalis::store {
namespace {

struct PhoneCase
{
    const char *situation;
    const char16_t *text;
    bool accepted;
};

const PhoneCase PhoneCases[] = {
    { "mobile, 11 digits beginning with 1", u"13912345678", true },
    { "mobile with blanks around it", u"  13912345678 ", true },
    { "mobile, 10 digits", u"1391234567", false },
    { "mobile, 12 digits", u"139123456789", false },
    { "mobile dialled with 0, 11 characters", u"01391234567", true },
    { "mobile dialled with 0, 12 characters", u"013912345678", false },
    { "mobile dialled with 0, 10 characters", u"0139123456", false },
    { "fixed line, 10 characters", u"0212345678", true },
    { "fixed line, 12 characters", u"075512345678", true },
    { "fixed line, 9 characters", u"021234567", false },
    { "fixed line, 13 characters", u"0755123456789", false },
    { "0 then 0", u"0012345678", false },
    { "letter inside", u"1391234567a", false },
    { "full-width digits", u"１３９１２３４５６７８", false },
    { "begins with 2", u"23912345678", false },
    { "empty", u"", false },
};

using IsPhoneNumberTest = testing::TestWithParam<PhoneCase>;

TEST_P(IsPhoneNumberTest, FollowsTheRule)
{
    EXPECT_EQ(IsPhoneNumber(QStringView(GetParam().text)), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IsPhoneNumberTest, testing::ValuesIn(PhoneCases), test::BySituation());

} // namespace
} // namespace natalis::store
