#include "session/smsgatewayprocess.h"

#include "session/appcontext.h"
#include "sms/gatewayaddress.h"

namespace natalis::session {

sms::GatewayWorker &processSmsGateway(AppContext &context)
{
    if (!context.SmsGateway) {
        std::unique_ptr<sms::HttpSmsGateway> client = context.DbConnection
            ? sms::openSmsGateway(
                *context.DbConnection, context.ComputerName, context.SmsCallDeadline)
            : std::make_unique<sms::HttpSmsGateway>(QString(), context.SmsCallDeadline);
        context.SmsGateway =
            std::make_unique<sms::GatewayWorker>(std::move(client), context.SmsCallDeadline);
    }
    return *context.SmsGateway;
}

} // namespace natalis::session
