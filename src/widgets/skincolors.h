#pragma once

#include <QColor>
#include <QPalette>
#include <QStringView>
#include <array>

namespace natalis::widgets {

// Colour skins 1..4 (menu entries "缺省", "皮肤1", "皮肤2", "皮肤3"), 14 colour texts each,
// indexed [skin - 1][item]. Items: 0 background and 1 text of lists, text and combo boxes;
// 3 calendar weekday header text and lunar labels outside the month; 5 solar-term texts;
// 6 festival and birthday texts; 7 today's day number; 8 weekday header background; 9 day cell
// under the mouse; 10 background and 11 text of the floating day notice; 12 grid lines;
// 13 frame border of the day-list windows. Items 2 and 4 are read by no window.
inline constexpr std::array<std::array<QStringView, 14>, 4> SkinColors = { {
    { u"FFFFFF", u"000000", u"ECE9D8", u"000000", u"000000", u"00cc66", u"FF0000", u"0000FF",
        u"E0E0E0", u"E0E0E0", u"FFC0C0", u"000000", u"CCCCCC", u"7B97E0" },
    { u"CCCCCC", u"000000", u"ECE9D8", u"000000", u"000000", u"330000", u"FF0000", u"0000FF",
        u"CCCCCC", u"CCCCCC", u"FFC0C0", u"000000", u"999999", u"7B97E0" },
    { u"CCFFFF", u"000000", u"ECE9D8", u"000000", u"000000", u"00FF00", u"FF0000", u"0000FF",
        u"CCFFFF", u"CCFFFF", u"FFC0C0", u"000000", u"666666", u"7B97E0" },
    { u"Dbd187", u"000000", u"ECE9D8", u"000000", u"000000", u"00cc66", u"FF0000", u"0000FF",
        u"Dbd187", u"Dbd187", u"FFC0C0", u"000000", u"BBBBBB", u"7B97E0" },
} };

inline constexpr int SkinCount = 4;
// The "跟随系统" entry: the desktop's own palette, with skin 1's accents.
inline constexpr int FollowSystemSkin = 0;
inline constexpr int SkinColorCount = 14;

// The main window's Shape3, whatever the skin.
inline constexpr QStringView Shape3Color = u"7E9BE5";

// "RRGGBB" in hexadecimal, letters in either case. Each pair is read from its leading hex
// digits, so a pair without one (or a missing pair of a short text) gives 0.
QColor ParseHexColor(QStringView text);

// The WCAG 2 contrast ratio of two opaque colours: 1 for equal ones up to 21 for black on white.
double contrastRatio(const QColor &a, const QColor &b);
inline constexpr double ReadableContrast = 4.5;

// `text` itself where it reads on `background`, else the nearest lightness of its hue that does:
// a skin's accent keeps its hue on any palette.
QColor readableOn(const QColor &text, const QColor &background);

// The colour of item 0..13 in skin 0..4 drawn with `palette`. A skin gives accents, the palette
// the lightness: on a dark palette the skin's backgrounds become the palette's background tinted
// with the skin's colour, and every text is made readable on the background it is drawn on.
// Out-of-range arguments give an invalid QColor.
QColor skinColor(int skin, int item, const QPalette &palette);
// The same with the application's palette.
QColor skinColor(int skin, int item);

// A dark palette for a desktop that prefers dark but whose theme gives no dark colours.
QPalette darkPalette();

} // namespace natalis::widgets
