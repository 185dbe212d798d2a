#include "calendar_ui/cellcolour.h"

#include "widgets/skincolors.h"

#include <QGuiApplication>
#include <QPalette>

namespace natalis::calendar_ui {

namespace {

// The plain texts stand on plain cells (the palette's base) and on the one under the mouse.
QColor readableInCell(QStringView hex, int skin)
{
    const QPalette palette = QGuiApplication::palette();
    const QColor base = palette.color(QPalette::Base);
    QColor colour = widgets::ParseHexColor(hex);
    // A near-black day number lightened on a dark palette would pass for a marked day's red.
    if (base.lightness() < 128 && colour.lightness() < 64)
        colour = palette.color(QPalette::Text);
    return widgets::readableOn(widgets::readableOn(colour, base), widgets::skinColor(skin, 9));
}

} // namespace

QColor cellColor(CellColour role, int skin)
{
    switch (role) {
    case CellColour::Day:
        return readableInCell(u"330000", skin);
    case CellColour::Today:
        return widgets::skinColor(skin, 7);
    case CellColour::Marked:
        return widgets::skinColor(skin, 6);
    case CellColour::Term:
        return widgets::skinColor(skin, 5);
    case CellColour::Quiet:
        return readableInCell(u"666666", skin);
    case CellColour::OutsideMonth:
        return widgets::skinColor(skin, 3);
    }
    return {};
}

} // namespace natalis::calendar_ui
