#include "widgets/skincolors.h"

#include <QGuiApplication>
#include <QPalette>
#include <cmath>

namespace natalis::widgets {

namespace {

int hexPair(QStringView pair)
{
    int value = 0;
    for (QChar c : pair) {
        const int digit = QStringView(u"0123456789abcdef").indexOf(c.toLower());
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return value;
}

double channel(double value)
{
    return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &c)
{
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

QColor mix(const QColor &base, const QColor &tint, double share)
{
    const auto blend = [share](double a, double b) { return a + (b - a) * share; };
    return QColor::fromRgbF(float(blend(base.redF(), tint.redF())),
        float(blend(base.greenF(), tint.greenF())), float(blend(base.blueF(), tint.blueF())));
}

// Which background each text item is drawn on; -1 for the items that are no text.
int backgroundOf(int item)
{
    switch (item) {
    case 1:
    case 4:
        return 0;
    case 3:
        return 8;
    case 5:
    case 6:
    case 7:
        return 9; // a day cell under the mouse; the plain cell has the palette's base
    case 11:
        return 10;
    default:
        return -1;
    }
}

QColor systemColor(int item, const QPalette &palette)
{
    switch (item) {
    case 0:
        return palette.color(QPalette::Base);
    case 1:
    case 3:
    case 4:
        return palette.color(QPalette::Text);
    case 2:
        return palette.color(QPalette::Window);
    case 8:
    case 9:
        return palette.color(QPalette::AlternateBase);
    case 10:
        return palette.color(QPalette::ToolTipBase);
    case 11:
        return palette.color(QPalette::ToolTipText);
    case 12:
        return palette.color(QPalette::Mid);
    case 13:
        return palette.color(QPalette::Highlight);
    default: // the accents 5..7
        return ParseHexColor(SkinColors[0][item]);
    }
}

QColor rawColor(int skin, int item, const QPalette &palette)
{
    if (skin == FollowSystemSkin)
        return systemColor(item, palette);
    const QColor colour = ParseHexColor(SkinColors[skin - 1][item]);
    const QColor base = palette.color(QPalette::Base);
    // On a dark palette a light skin background would leave the palette's light texts unreadable.
    if (base.lightness() >= 128)
        return colour;
    if (backgroundOf(item) < 0)
        return item == 13 ? colour : mix(base, colour, item == 12 ? 0.35 : 0.2);
    // A skin's black or grey text is no accent: the palette's own text reads best.
    return colour.hslSaturation() == 0 ? palette.color(QPalette::Text) : colour;
}

} // namespace

QColor ParseHexColor(QStringView text)
{
    return QColor(hexPair(text.mid(0, 2)), hexPair(text.mid(2, 2)), hexPair(text.mid(4, 2)));
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor &text, const QColor &background)
{
    if (contrastRatio(text, background) >= ReadableContrast)
        return text;
    const bool darker = contrastRatio(Qt::black, background) > contrastRatio(Qt::white, background);
    QColor colour = text.toHsl();
    for (int lightness = colour.lightness(); lightness >= 0 && lightness <= 255;
         lightness += darker ? -5 : 5) {
        colour.setHsl(colour.hslHue(), colour.hslSaturation(), lightness);
        if (contrastRatio(colour, background) >= ReadableContrast)
            return colour.toRgb();
    }
    return darker ? QColor(Qt::black) : QColor(Qt::white);
}

QColor skinColor(int skin, int item, const QPalette &palette)
{
    if (skin < FollowSystemSkin || skin > SkinCount || item < 0 || item >= SkinColorCount)
        return QColor();
    const QColor colour = rawColor(skin, item, palette);
    const int under = backgroundOf(item);
    if (under < 0)
        return colour;
    // The accents also stand on the plain cells, which have the palette's base.
    const QColor onBase = item == 1 || item == 4 || item == 11
        ? colour
        : readableOn(colour, palette.color(QPalette::Base));
    return readableOn(onBase, rawColor(skin, under, palette));
}

QPalette darkPalette()
{
    const QColor window(0x35, 0x35, 0x35);
    const QColor base(0x2a, 0x2a, 0x2a);
    const QColor text(0xee, 0xee, 0xee);
    QPalette palette(
        text, window, window.lighter(150), window.darker(200), window.darker(150), text, base);
    palette.setColor(QPalette::AlternateBase, QColor(0x42, 0x42, 0x42));
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0x9a, 0x9a, 0x9a));
    palette.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x6c, 0xb4, 0xff));
    palette.setColor(QPalette::LinkVisited, QColor(0xc0, 0x9c, 0xff));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    return palette;
}

QColor skinColor(int skin, int item)
{
    return skinColor(skin, item, QGuiApplication::palette());
}

} // namespace natalis::widgets
