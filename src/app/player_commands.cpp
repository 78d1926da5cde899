#include "app/player_commands.h"

#include "app/work_form.h"
#include "windows/find_commands.h"

namespace tomeric {

ServiceReply TPlayerCommands::Perform(const ServiceCall& call)
{
    if (call.Command.compare(QLatin1String("Exit"), Qt::CaseInsensitive) == 0)
        return Exit(call);
    if (call.Command.compare(QLatin1String("RunTomeric"), Qt::CaseInsensitive) == 0)
        return RunTomeric(call);
    if (TSimpleDialogs::HandlesCommand(call.Command))
        return form_.Dialogs().PerformCommand(
            call, {[this] { return &form_.PageList(); }, [this] { return &form_.Stack(); },
                   [this] { return &form_.Publication(); }, &form_.AllServices()});
    if (call.Command.compare(QLatin1String("CloseWindow"), Qt::CaseInsensitive) == 0) {
        // "FIND" names the Find window; an empty name closes it with the
        // floating windows, which go on to their own service.
        const QString name = call.Params.value(0).trimmed();
        const bool find = name.compare(QLatin1String("FIND"), Qt::CaseInsensitive) == 0;
        if (find || name.isEmpty())
            form_.Dialogs().CloseFindWindow();
        if (find)
            return {};
    }
    return PassOn(call);
}

ServiceReply TPlayerCommands::RunTomeric(const ServiceCall& call)
{
    // With CLOSEWINDOWS the floating windows close before the switch, which
    // waits for every running script: an exclusive window's modal wait
    // ends with its window.
    const QString options = call.Params.value(1);
    ServiceReply reply = form_.RunTomeric(call.Params.value(0), options);
    if (reply.LastError.value_or(QString()).isEmpty() && ParseChainOptions(options, 0).closeWindows)
        form_.FloatingWindows().CloseAll();
    return reply;
}

ServiceReply TPlayerCommands::PassOn(const ServiceCall& call)
{
    return next_ ? next_->Perform(call) : ServiceReply{};
}

ServiceReply TPlayerCommands::Exit(const ServiceCall& call)
{
    // Exit "title" "question": with a question, only Yes closes.
    const QString title = call.Params.value(0);
    const QString question = call.Params.value(1);
    if (!question.isEmpty()) {
        TSimpleDialogs& dialogs = form_.Dialogs();
        const QString buttons = dialogs.Look().Word(ltYes) + QLatin1Char('|') + dialogs.Look().Word(ltNo);
        if (dialogs.ShowQuery(title, question, buttons, form_.Publication().settings.exitBoxImage) != 1)
            return {};
    }
    form_.RequestClose(TCloseSource::csTomeric);
    return {};
}

} // namespace tomeric
