#include "actions/command_context.h"

#include "actions/action_eval.h"
#include "actions/services.h"
#include "vars/short_text.h"
#include "vars/variables.h"

namespace tomeric {

CommandContext::CommandContext(TActionEval& eval, TCommandGroup& group, const TCommandRecord& command)
    : eval_(eval), group_(group), command_(command)
{
}

Services& CommandContext::Svc() const
{
    return eval_.Svc();
}

QString CommandContext::Word() const
{
    return eval_.CurrentWordAsWritten();
}

int CommandContext::Count() const
{
    return eval_.Params.Count;
}

QString CommandContext::Param(int slot) const
{
    if (slot < 1 || slot > kMaxParams)
        return QString();
    return eval_.Params[slot];
}

bool CommandContext::Exact(int slot) const
{
    return slot >= 1 && slot <= kMaxParams && eval_.Params.Exact[slot - 1];
}

void CommandContext::SetParam(int slot, const QString& text)
{
    if (slot >= 1 && slot <= kMaxParams)
        eval_.Params[slot] = text;
}

void CommandContext::EvaluateParameter(int slot, int kind, bool computeExpressions)
{
    eval_.EvaluateParameter(slot, kind, computeExpressions);
}

void CommandContext::ReportActionError(int code, const QString& text, int number)
{
    eval_.ReportActionError(code, text, number);
}

void CommandContext::SetLastError(const QString& text)
{
    tomeric::SetLastError(text);
}

bool CommandContext::Failed() const
{
    return eval_.ErrorCode != 0;
}

void CommandContext::SetResult(int slot, const QString& value)
{
    const QString key = Param(slot);
    if (key.isEmpty())
        return;
    // A kind-6 parameter already is the key; one holding brackets is
    // bracketed once more so that the store does not substitute it again.
    if (HasBracket(key))
        SetVariable(QLatin1Char('[') + key + QLatin1Char(']'), value);
    else
        SetVariableKey(key, value);
}

QString CommandContext::Variable(const QString& name) const
{
    return GetVariable(name);
}

ServiceCall CommandContext::MakeServiceCall() const
{
    ServiceCall call;
    call.Command = command_.Name;
    call.Id = command_.Id;
    for (int i = 1; i <= Count(); ++i) {
        call.Params.append(Param(i));
        call.Exact[i - 1] = Exact(i);
    }
    call.Kinds = command_.Kinds;
    return call;
}

void CommandContext::ApplyReply(const ServiceReply& reply)
{
    for (const auto& [slot, value] : reply.Results)
        if (slot >= 1 && slot <= Count() && command_.Kind(slot) == pkVariable)
            SetResult(slot, value);
    if (reply.LastError)
        SetLastError(*reply.LastError);
    if (reply.ActionError != 0)
        ReportActionError(reply.ActionError, reply.ErrorText);
}

void ForwardToService(CommandContext& ctx, CommandService* service)
{
    if (!service)
        service = ctx.Svc().NotCarriedOut;
    if (!service)
        return;
    ctx.ApplyReply(service->Perform(ctx.MakeServiceCall()));
}

} // namespace tomeric
