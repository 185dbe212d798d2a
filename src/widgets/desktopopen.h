#pragma once

#include <QString>
#include <functional>

class QObject;

namespace natalis::widgets {

// Opens the file at path with the program the desktop chose for its kind. `failed` runs on the
// calling thread when nothing shows it: at once when no opener can start, or later when the
// opener reports that it found no program or that the program failed within a minute (a program
// that ran longer showed the file). `owner` ends the wait with it.
//
// QDesktopServices::openUrl alone cannot tell: it answers true as soon as xdg-open has started,
// also when xdg-open then finds nothing for HTML.
void openWithDesktop(const QString &path, QObject *owner, std::function<void()> failed);

} // namespace natalis::widgets
