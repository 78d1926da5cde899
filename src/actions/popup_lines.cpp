#include "actions/popup_lines.h"

#include "actions/headless_services.h"

namespace tomeric {

namespace {

bool Is(const QString& command, const char* name)
{
    return command.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

} // namespace

bool IsPopUpCommand(const QString& command)
{
    return Is(command, "Balloon") || Is(command, "StickyNote") || Is(command, "PopUpImage") ||
           Is(command, "Menu") || Is(command, "MenuEx");
}

std::optional<QString> PopUpLine(const ServiceCall& call)
{
    if (!IsPopUpCommand(call.Command))
        return std::nullopt;
    const QString kind = QStringLiteral("POPUP");
    if (Is(call.Command, "Menu") || Is(call.Command, "MenuEx"))
        return EventLine(kind, QStringLiteral("Menu"), {call.Params.value(2)});
    if (Is(call.Command, "Balloon")) {
        // x, y and the display time may be left out: at the pointer, until dismissed.
        QStringList params = call.Params;
        const QStringList defaults{QString(), QStringLiteral("-1"), QStringLiteral("-1"), QStringLiteral("0")};
        while (params.size() < defaults.size())
            params.append(defaults[params.size()]);
        return EventLine(kind, QStringLiteral("Balloon"), params);
    }
    return EventLine(kind, Is(call.Command, "StickyNote") ? QStringLiteral("StickyNote") : QStringLiteral("PopUpImage"),
                     call.Params);
}

} // namespace tomeric
