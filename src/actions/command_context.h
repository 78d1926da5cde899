#pragma once
// What a command handler sees of the line it carries out: its parameters
// (already evaluated, unless the command evaluates its own), the running
// evaluator, the services, and the two ways to fail: an action error that
// stops the script, or a soft failure that only sets [LastError].

#include "actions/command_table.h"

#include <QString>

namespace tomeric {

class TActionEval;
struct Services;
struct ServiceCall;
struct ServiceReply;

class CommandContext {
public:
    CommandContext(TActionEval& eval, TCommandGroup& group, const TCommandRecord& command);

    TActionEval& Eval() const { return eval_; }
    Services& Svc() const;
    TCommandGroup& Group() const { return group_; }
    const TCommandRecord& Command() const { return command_; }
    // The command word as the script wrote it (error texts use it).
    QString Word() const;

    // Parameters are numbered 1..10; slots beyond Count() are empty.
    int Count() const;
    QString Param(int slot) const;
    bool Exact(int slot) const;
    void SetParam(int slot, const QString& text);
    // Evaluates one slot in place by `kind` (commands that evaluate their
    // own parameters call this slot by slot).
    void EvaluateParameter(int slot, int kind, bool computeExpressions);

    // Stops the script with an evaluator error code (-1 .. -19) and its text.
    void ReportActionError(int code, const QString& text = QString(), int number = 0);
    // Soft failure: [LastError] = text (empty text means success).
    void SetLastError(const QString& text);
    void ClearLastError() { SetLastError(QString()); }
    // True once an action error has been reported for this run.
    bool Failed() const;

    // Writes `value` to the variable named by parameter `slot` (a kind-6
    // parameter holds the variable's key) through the one write path.
    void SetResult(int slot, const QString& value);
    // Reads a variable as a script would write it ("[Name]" or "Name").
    QString Variable(const QString& name) const;

    // The call as it crosses the seam, and applying what came back.
    ServiceCall MakeServiceCall() const;
    void ApplyReply(const ServiceReply& reply);

private:
    TActionEval& eval_;
    TCommandGroup& group_;
    const TCommandRecord& command_;
};

// Sends the current command to a generic subsystem service and applies its
// reply; without that service the command goes to the program's
// not-carried-out service, and without that it does nothing.
void ForwardToService(CommandContext& ctx, class CommandService* service);

} // namespace tomeric
