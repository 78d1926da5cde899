#include "app/player_commands.h"

#include "actions/headless_services.h"
#include "app/work_form.h"
#include "windows/find_commands.h"

namespace tomeric {

ServiceReply TPlayerCommands::Perform(const ServiceCall& call)
{
    if (call.Command.compare(QLatin1String("Exit"), Qt::CaseInsensitive) == 0)
        return Exit(call);
    if (call.Command.compare(QLatin1String("RunTomeric"), Qt::CaseInsensitive) == 0)
        return form_.RunTomeric(call.Params.value(0), call.Params.value(1));
    if (TSimpleDialogs::HandlesCommand(call.Command))
        return form_.Dialogs().PerformCommand(
            call, {[this] { return &form_.PageList(); }, [this] { return &form_.Stack(); },
                   [this] { return &form_.Publication(); }, &form_.AllServices()});
    if (call.Command.compare(QLatin1String("CloseWindow"), Qt::CaseInsensitive) == 0) {
        const QString name = call.Params.value(0).trimmed();
        if (name.isEmpty() || name.compare(QLatin1String("FIND"), Qt::CaseInsensitive) == 0)
            form_.Dialogs().CloseFindWindow();
    }
    if (sink_) {
        QString line = QStringLiteral("CALL ") + call.Command;
        for (const QString& param : call.Params)
            line += QLatin1Char(' ') + QuoteForLine(param);
        sink_(line);
    }
    return {};
}

ServiceReply TPlayerCommands::Exit(const ServiceCall& call)
{
    // Exit "title" "question": with a question, only Yes closes.
    const QString title = call.Params.value(0);
    const QString question = call.Params.value(1);
    if (!question.isEmpty()) {
        const TPublicationSettings& s = form_.Publication().settings;
        const QString yes = s.LanguageText(ltYes).isEmpty() ? QStringLiteral("Oui") : s.LanguageText(ltYes);
        const QString no = s.LanguageText(ltNo).isEmpty() ? QStringLiteral("Non") : s.LanguageText(ltNo);
        if (form_.Dialogs().ShowQuery(title, question, yes + QLatin1Char('|') + no, s.exitBoxImage) != 1)
            return {};
    }
    form_.RequestClose(TCloseSource::csTomeric);
    return {};
}

} // namespace tomeric
