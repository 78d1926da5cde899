#include "app/not_carried_out.h"

#include "actions/headless_services.h"
#include "app/system_modes.h"

namespace tomeric {

ServiceReply TNotCarriedOut::Perform(const ServiceCall& call)
{
    LogNoticeOnce(call.Command + QStringLiteral(" is not carried out by this player yet"));
    if (driveSink_)
        driveSink_(EventLine(QStringLiteral("CALL"), call.Command, call.Params));
    return {};
}

} // namespace tomeric
