#include "widgets/skincolors.h"

namespace natalis::app {

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

} // namespace

QColor ParseHexColor(QStringView text)
{
    return QColor(hexPair(text.mid(0, 2)), hexPair(text.mid(2, 2)), hexPair(text.mid(4, 2)));
}

QColor skinColor(int skin, int item)
{
    if (skin < 1 || skin > SkinCount || item < 0 || item >= SkinColorCount)
        return QColor();
    return ParseHexColor(SkinColors[skin - 1][item]);
}

} // namespace natalis::app
