#include "widgets/skincolors.h"
#include "support/casename.h"

#include <gtest/gtest.h>

namespace natalis::app {
namespace {

struct ColorCase
{
    const char *situation;
    const char16_t *text;
    int red, green, blue;
};

const ColorCase ColorCases[] = {
    { "white", u"FFFFFF", 255, 255, 255 },
    { "black", u"000000", 0, 0, 0 },
    { "red comes first", u"FF0000", 255, 0, 0 },
    { "mixed case letters", u"Dbd187", 0xdb, 0xd1, 0x87 },
    { "lower case", u"00cc66", 0, 0xcc, 0x66 },
    { "frame border", u"7B97E0", 0x7b, 0x97, 0xe0 },
    { "pair without hex digit", u"GG8000", 0, 0x80, 0 },
    { "pair with trailing junk", u"1Z0000", 1, 0, 0 },
    { "short text", u"FF", 255, 0, 0 },
    { "empty", u"", 0, 0, 0 },
};

class ParseHexColorTest : public testing::TestWithParam<ColorCase>
{
};

TEST_P(ParseHexColorTest, ReadsRedGreenBluePairs)
{
    const QColor color = ParseHexColor(QStringView(GetParam().text));
    EXPECT_EQ(color.red(), GetParam().red);
    EXPECT_EQ(color.green(), GetParam().green);
    EXPECT_EQ(color.blue(), GetParam().blue);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseHexColorTest, testing::ValuesIn(ColorCases), test::BySituation());

} // namespace
} // namespace natalis::app
