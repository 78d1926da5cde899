#include "app/player_commands.h"

#include "actions/headless_services.h"
#include "app/work_form.h"

namespace tomeric {

ServiceReply TPlayerCommands::Perform(const ServiceCall& call)
{
    if (call.Command.compare(QLatin1String("Exit"), Qt::CaseInsensitive) == 0)
        return Exit(call);
    if (call.Command.compare(QLatin1String("RunTomeric"), Qt::CaseInsensitive) == 0)
        return form_.RunTomeric(call.Params.value(0), call.Params.value(1));
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
        if (form_.Dialogs().ShowQuery(title, question, yes + QLatin1Char('|') + no) != 1)
            return {};
    }
    form_.RequestClose(TCloseSource::csTomeric);
    return {};
}

} // namespace tomeric
