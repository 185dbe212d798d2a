#pragma once

#include <QStringView>

namespace natalis::store {

// True when text holds a character no stored text may hold: the C0 and C1 controls (tab, line
// breaks, escape, bell …), DEL, and the invisible direction marks and overrides (U+200E,
// U+200F, U+202A..U+202E, U+2066..U+2069) that make a name read backwards on screen. The
// export's tab layout has no way to carry them, so a birthday holding one would be lost or
// changed on the next round trip.
bool holdsForbiddenCharacter(QStringView text);

} // namespace natalis::store
