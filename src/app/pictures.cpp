#include "app/pictures.h"

// The pictures live in a static library, whose resources the linker keeps only when asked.
static void initPictures()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(natalis);
        return true;
    }();
    Q_UNUSED(done);
}

namespace natalis::app {

QIcon picture(Picture which)
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

} // namespace natalis::app
