#include "actions/services.h"

#include "actions/action_eval.h"

#include "platform/paths.h"

namespace tomeric {

ServiceReply SucceededReply()
{
    ServiceReply reply;
    reply.LastError = QString();
    return reply;
}

ServiceReply CommandMessageReply(const QString& message)
{
    ServiceReply reply = SucceededReply();
    reply.ActionError = aeCommandMessage;
    reply.ErrorText = message;
    return reply;
}

std::optional<QString> PublicationAccess::FindIncludedFile(const QString& name) const
{
    const QString withColon = QLatin1Char(':') + name;
    for (const QString& entry : IncludedFiles()) {
        if (entry.startsWith(u':')) {
            if (entry.compare(withColon, Qt::CaseInsensitive) == 0)
                return entry;
        } else if (platform::FilePart(entry).compare(name, Qt::CaseInsensitive) == 0) {
            return entry;
        }
    }
    return std::nullopt;
}

} // namespace tomeric
