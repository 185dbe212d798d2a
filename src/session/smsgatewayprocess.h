#pragma once

#include "sms/gatewayworker.h"

namespace natalis::session {

struct AppContext;

// The process's gateway client and its thread: made on first use from the stored gateway
// address, the computer's registration key and context.SmsCallDeadline, and kept until the
// program ends, so a proxy set in the SMS settings holds for every later call.
sms::GatewayWorker &processSmsGateway(AppContext &context);

} // namespace natalis::session
