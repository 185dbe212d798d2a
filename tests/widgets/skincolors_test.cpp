#include "widgets/skincolors.h"

#include <QPalette>
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
        const QColor color = widgets::ParseHexColor(QStringView(row.text));
        EXPECT_EQ(color.red() << 16 | color.green() << 8 | color.blue(),
            row.red << 16 | row.green << 8 | row.blue)
            << row.situation;
    }
}

QPalette paletteOn(QColor window, QColor base, QColor text)
{
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, base.lighter(115));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::ToolTipText, text);
    return palette;
}

TEST(SkinColor, EveryTextReadsOnItsBackgroundOnLightAndDarkPalettes)
{
    const QPalette light = paletteOn(QColor(0xef, 0xef, 0xef), Qt::white, Qt::black);
    const QPalette dark = paletteOn(QColor(0x35, 0x35, 0x35), QColor(0x2a, 0x2a, 0x2a), Qt::white);
    // Text item, then the backgrounds it is drawn on: its skin item, or the palette's base.
    const struct
    {
        const char *situation;
        int text, background;
    } pairs[] = {
        { "list text on list background", 1, 0 },
        { "weekday header text", 3, 8 },
        { "solar term in the cell under the mouse", 5, 9 },
        { "festival in the cell under the mouse", 6, 9 },
        { "today in the cell under the mouse", 7, 9 },
        { "solar term on a plain cell", 5, -1 },
        { "festival on a plain cell", 6, -1 },
        { "today on a plain cell", 7, -1 },
        { "floating day notice", 11, 10 },
    };
    for (const auto &[mode, palette] : { std::pair { "light", light }, std::pair { "dark", dark } })
        for (int skin = widgets::FollowSystemSkin; skin <= widgets::SkinCount; ++skin)
            for (const auto &pair : pairs) {
                const QColor back = pair.background < 0
                    ? palette.color(QPalette::Base)
                    : widgets::skinColor(skin, pair.background, palette);
                EXPECT_GE(
                    widgets::contrastRatio(widgets::skinColor(skin, pair.text, palette), back),
                    widgets::ReadableContrast)
                    << pair.situation << ", skin " << skin << ", " << mode;
            }
}

} // namespace
} // namespace natalis::app
