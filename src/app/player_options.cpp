#include "app/player_options.h"

#include "package/command_line.h"

namespace tomeric {

namespace {

// Where an option that takes a value keeps it; null for any other argument.
QString* ValueOption(TPlayerOptions& options, const QString& arg)
{
    if (arg == QLatin1String("--drive"))
        return &options.driveScript;
    if (arg == QLatin1String("--render-pages"))
        return &options.renderPagesFolder;
    if (arg == QLatin1String("--print-to"))
        return &options.printToFolder;
    if (arg == QLatin1String("--scale"))
        return &options.scaleText;
    return nullptr;
}

} // namespace

TPlayerOptions ParsePlayerOptions(const QStringList& arguments)
{
    TPlayerOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (i > 0 && (arg == QLatin1String("--help") || arg == QLatin1String("-h"))) {
            options.help = true;
        } else if (i > 0 && arg == QLatin1String("--fast")) {
            options.fast = true;
        } else if (i > 0 && arg == QLatin1String("--fullscreen")) {
            options.presentation = TPresentation::prFullScreen;
        } else if (i > 0 && arg == QLatin1String("--windowed")) {
            options.presentation = TPresentation::prWindowed;
        } else if (QString* value = i > 0 ? ValueOption(options, arg) : nullptr) {
            if (!hasValue) {
                options.error = arg + QStringLiteral(" needs a value");
                return options;
            }
            *value = arguments[++i];
        } else if (i > 0 && arg.startsWith(QLatin1String("--"))) {
            options.error = QStringLiteral("unknown option ") + arg;
            return options;
        } else {
            options.publicationArguments.append(arg);
        }
    }
    if (!options.driveScript.isEmpty() && !options.renderPagesFolder.isEmpty())
        options.error = QStringLiteral("--drive and --render-pages cannot be combined");
    if (arguments.contains(QStringLiteral("--scale"))) {
        bool ok = false;
        options.scale = options.scaleText.toDouble(&ok);
        if (!ok || options.scale < kMinimumScale || options.scale > kMaximumScale)
            options.error = QStringLiteral("--scale needs a number from 0.25 to 8: ") + options.scaleText;
    }
    return options;
}

TStartRequest ReadStartRequest(const QStringList& publicationArguments)
{
    TStartRequest request;
    const TContainerChoice choice = DiscoverContainer(publicationArguments);
    request.found = choice.found;
    request.containerPath = choice.containerPath;
    request.containerFromArguments = choice.fromArguments;
    request.commandLineText = CommandLineText(publicationArguments, choice.firstTextArgument);
    request.commandLineVariable =
        CommandLineVariable(publicationArguments.value(0), request.commandLineText);
    request.bypassPrintDialog = BypassPrintDialogSwitch(publicationArguments, choice.firstTextArgument);
    request.startPageName = StartPageSwitch(publicationArguments, choice.firstTextArgument);
    request.screenSaver = ParseScreenSaverArguments(publicationArguments);
    return request;
}

} // namespace tomeric
