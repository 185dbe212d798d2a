#include "app/smssetupaction.h"

#include "dialogs/frmdxsetup.h"
#include "session/smsgatewayprocess.h"

namespace natalis::app {

bool runSmsSetup(QWidget *owner, session::AppContext &context, platform::MessageSink &messages,
    const widgets::ModalRunner &runner)
{
    if (!context.DbConnection)
        return false;
    dialogs::frmDxSetup dialog(
        { *context.DbConnection, messages, context.Settings, context.SmsAccounts,
            context.ComputerName, processSmsGateway(context), context.CurrentSkin },
        owner);
    widgets::runModal(runner, dialog);
    return dialog.isSaved();
}

} // namespace natalis::app
