#include "calendar_ui/cellcolour.h"

#include "widgets/skincolors.h"

#include <QGuiApplication>
#include <QPalette>

namespace natalis::calendar_ui {

namespace {

// The plain texts stand on plain cells (the palette's base) and on the one under the mouse.
QColor readableInCell(QStringView hex, int skin)
{
    const QColor base = QGuiApplication::palette().color(QPalette::Base);
    return app::readableOn(app::readableOn(app::ParseHexColor(hex), base), app::skinColor(skin, 9));
}

} // namespace

QColor cellColor(CellColour role, int skin)
{
    switch (role) {
    case CellColour::Day:
        return readableInCell(u"330000", skin);
    case CellColour::Today:
        return app::skinColor(skin, 7);
    case CellColour::Marked:
        return app::skinColor(skin, 6);
    case CellColour::Term:
        return app::skinColor(skin, 5);
    case CellColour::Quiet:
        return readableInCell(u"666666", skin);
    case CellColour::OutsideMonth:
        return app::skinColor(skin, 3);
    }
    return {};
}

} // namespace natalis::calendar_ui
