#include "app/smssetupaction.h"

#include "dialogs/frmdxsetup.h"
#include "session/smsgatewayprocess.h"

namespace natalis::app {

bool runSmsSetup(
    QWidget *owner, AppContext &context, MessageSink &messages, const ModalRunner &runner)
{
    if (!context.DbConnection)
        return false;
    frmDxSetup dialog({ *context.DbConnection, messages, context.Settings, context.SmsAccounts,
                          context.ComputerName, processSmsGateway(context), context.CurrentSkin },
        owner);
    runModal(runner, dialog);
    return dialog.isSaved();
}

} // namespace natalis::app
