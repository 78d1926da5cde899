// The modal dialogs and the pop-up menu: each asks its service and writes
// the answer to the command's variable.

#include "actions/action_eval.h"
#include "actions/core_commands.h"
#include "actions/services.h"

namespace tomeric {

namespace {

DialogService* Dialogs(CommandContext& ctx)
{
    return ctx.Svc().Dialogs;
}

// A folder as the folder browser starts in it: no trailing backslash.
QString WithoutTrailingSeparator(QString folder)
{
    while (folder.size() > 1 && (folder.endsWith(u'\\') || folder.endsWith(u'/')))
        folder.chop(1);
    return folder;
}

} // namespace

void CmdAlertBox(CommandContext& ctx)
{
    if (DialogService* dialogs = Dialogs(ctx))
        dialogs->AlertBox(ctx.Param(1), ctx.Param(2));
}

void CmdMessageBox(CommandContext& ctx)
{
    DialogService* dialogs = Dialogs(ctx);
    const int button = dialogs ? dialogs->MessageBox(ctx.Param(1), ctx.Param(2), ctx.Param(3)) : 0;
    ctx.SetResult(4, QString::number(button));
}

void CmdInputBox(CommandContext& ctx)
{
    DialogService* dialogs = Dialogs(ctx);
    const QString current = ctx.Variable(QLatin1Char('[') + ctx.Param(3) + QLatin1Char(']'));
    const auto entry = dialogs ? dialogs->InputBox(ctx.Param(1), ctx.Param(2), current) : std::nullopt;
    ctx.SetResult(3, entry.value_or(QString()));
}

void CmdFileOpenBox(CommandContext& ctx)
{
    DialogService* dialogs = Dialogs(ctx);
    const auto path = dialogs ? dialogs->FileOpenBox(ctx.Param(1), ctx.Param(2), ctx.Param(3), ctx.Param(5))
                              : std::nullopt;
    ctx.SetResult(4, path.value_or(QString()));
}

void CmdFileSaveBox(CommandContext& ctx)
{
    DialogService* dialogs = Dialogs(ctx);
    const auto path = dialogs ? dialogs->FileSaveBox(ctx.Param(1), ctx.Param(2), ctx.Param(3)) : std::nullopt;
    ctx.SetResult(4, path.value_or(QString()));
}

void CmdFolderBox(CommandContext& ctx)
{
    DialogService* dialogs = Dialogs(ctx);
    const QString start =
        WithoutTrailingSeparator(ctx.Variable(QLatin1Char('[') + ctx.Param(2) + QLatin1Char(']')));
    const auto folder = dialogs ? dialogs->FolderBox(ctx.Param(1), start) : std::nullopt;
    ctx.SetResult(2, folder.value_or(QString()));
}

// The menu's items are the lines after it: item k runs the k-th of them and
// the others are skipped. The windows service answers with the chosen item
// number in result slot 0 (0 or nothing: no choice).
void CmdMenu(CommandContext& ctx)
{
    const QString items = ctx.Param(3);
    if (items.isEmpty())
        return;
    const int count = static_cast<int>(items.split(u'|').size());
    int chosen = 0;
    if (CommandService* windows = ctx.Svc().Windows) {
        const ServiceReply reply = windows->Perform(ctx.MakeServiceCall());
        if (const auto it = reply.Results.find(0); it != reply.Results.end())
            chosen = it->second.toInt();
        ctx.ApplyReply(reply);
    }
    TActionEval& eval = ctx.Eval();
    if (chosen < 1 || chosen > count) {
        eval.LineNo += count;
        return;
    }
    eval.LineNo += chosen - 1;
    eval.SkipAfterNext = count - chosen;
}

} // namespace tomeric
