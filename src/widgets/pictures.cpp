#include "widgets/pictures.h"

#include <array>

// The pictures live in a static library, whose resources the linker keeps only when asked.
static void initPictures()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(natalis);
        return true;
    }();
    Q_UNUSED(done);
}

namespace natalis::widgets {

namespace {

QIcon load(Picture which)
{
    initPictures();
    switch (which) {
    case Picture::Tray:
        return QIcon(QStringLiteral(":/natalis/tray.svg"));
    case Picture::TrayAlternate:
        return QIcon(QStringLiteral(":/natalis/tray-alt.svg"));
    case Picture::Close:
        return QIcon(QStringLiteral(":/natalis/close.svg"));
    }
    return {};
}

} // namespace

// Each picture is made once: an SVG icon renders and caches its pixmaps per icon, so a new
// icon at every tab switch or blink would grow the process for as long as it runs.
QIcon picture(Picture which)
{
    // Never destroyed: the icons must not outlive the application object in a static destructor.
    static const auto *const pictures = new std::array<QIcon, 3> { load(Picture::Tray),
        load(Picture::TrayAlternate), load(Picture::Close) };
    return (*pictures)[std::size_t(which)];
}

} // namespace natalis::widgets
