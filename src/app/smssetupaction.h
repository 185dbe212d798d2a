#pragma once

#include "platform/messagesink.h"
#include "session/appcontext.h"
#include "widgets/modalrunner.h"

class QWidget;

namespace natalis::app {

// "短信设置": returns true when the settings were saved. Accounts registered or unregistered on
// the way are already in context.SmsAccounts, saved or not, so the caller refills its account
// list after every run.
bool runSmsSetup(QWidget *owner, session::AppContext &context, platform::MessageSink &messages,
    const widgets::ModalRunner &runModal = {});

} // namespace natalis::app
