#include "widgets/skincolors.h"

#include <gtest/gtest.h>

namespace natalis::app {
namespace {

TEST(ParseHexColor, ReadsRedGreenBluePairs)
{
    const struct
    {
        const char *situation;
        const char16_t *text;
        int red, green, blue;
    } rows[] = {
        { "red comes first", u"FF0000", 255, 0, 0 },
        { "mixed case letters", u"Dbd187", 0xdb, 0xd1, 0x87 },
        { "pair without hex digit", u"GG8000", 0, 0x80, 0 },
        { "pair with trailing junk", u"1Z0000", 1, 0, 0 },
        { "short text", u"FF", 255, 0, 0 },
        { "empty", u"", 0, 0, 0 },
    };
    for (const auto &row : rows) {
        const QColor color = ParseHexColor(QStringView(row.text));
        EXPECT_EQ(color.red() << 16 | color.green() << 8 | color.blue(),
            row.red << 16 | row.green << 8 | row.blue)
            << row.situation;
    }
}

} // namespace
} // namespace natalis::app
