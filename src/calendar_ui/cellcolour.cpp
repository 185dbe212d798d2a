#include "calendar_ui/cellcolour.h"

#include "widgets/skincolors.h"

namespace natalis::calendar_ui {

QColor cellColor(CellColour role, int skin)
{
    switch (role) {
    case CellColour::Day:
        return app::ParseHexColor(u"330000");
    case CellColour::Today:
        return app::skinColor(skin, 7);
    case CellColour::Marked:
        return app::skinColor(skin, 6);
    case CellColour::Term:
        return app::skinColor(skin, 5);
    case CellColour::Quiet:
        return app::ParseHexColor(u"666666");
    case CellColour::OutsideMonth:
        return app::skinColor(skin, 3);
    }
    return {};
}

} // namespace natalis::calendar_ui
