#include "app/transferactions.h"

namespace natalis::app {

void RunExport(QWidget *, AppContext &, MessageSink &, const StatusSink &, const ModalRunner &) { }

bool RunImport(
    QWidget *, AppContext &, MessageSink &, bool, const StatusSink &, const ModalRunner &)
{
    return false;
}

bool RunSetup(QWidget *, AppContext &, MessageSink &, MusicPlayer *, const ModalRunner &)
{
    return false;
}

} // namespace natalis::app
