#include "commands.h"
#include "tool_output.h"

#include "package/folder_packer.h"

#include <QFileInfo>

#include <array>

namespace tomeric::pack {
namespace {

const QString kBuildHelp = QStringLiteral(
    "Usage: tomeric-pack build SRC_DIR -o OUT [options]\n"
    "\n"
    "Packs the folder SRC_DIR (RUNTIME.PUB and every file below it) into OUT.\n"
    "Files are stored under their path relative to SRC_DIR with \"\\\" separators;\n"
    "names the publication writes as embedded:\\\\\\NAME get an entry of that name too.\n"
    "RUNTIME.PUB may be UTF-8 or Windows-1252; it is stored as Windows-1252.\n"
    "\n"
    "Options:\n"
    "  -o, --output OUT          the container to write\n"
    "  --stub EXECUTABLE         append the package to a copy of EXECUTABLE (a player)\n"
    "  --kind KIND               window (default), screensaver or tray\n"
    "  --single-instance         only one copy of the publication may run\n"
    "  --splash FILE             embedded picture shown while the publication loads\n"
    "  --preview-image FILE      embedded picture of the screen-saver preview\n"
    "  --start-page N            start at page N (stored as a preview package)\n"
    "  --plugin-support FILE     store FILE as a plug-in support file (repeatable)\n"
    "  --preview DEBUGGER_DIR    a preview package that runs under the debugger library\n"
    "                            of DEBUGGER_DIR (QXDebug.so; the build's debugger/\n"
    "                            folder holds the tracing debugger); plug-ins stay\n"
    "                            in SRC_DIR and are named by their paths\n"
    "  -h, --help                show this help");

struct KindName {
    const char* name;
    TApplicationKind kind;
};
constexpr std::array<KindName, 3> kKindNames = {{
    {"window", TApplicationKind::akWindow},
    {"screensaver", TApplicationKind::akScreenSaver},
    {"tray", TApplicationKind::akTray},
}};

int UsageError(const QString& message) {
    Err(QStringLiteral("tomeric-pack build: %1 (try --help)").arg(message));
    return 2;
}

} // namespace

int RunBuildCommand(const QStringList& args) {
    if (WantsHelp(args)) {
        Out(kBuildHelp);
        return 0;
    }
    TFolderPackOptions options;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool takesValue = arg == QLatin1String("-o") || arg == QLatin1String("--output") ||
                                arg == QLatin1String("--stub") || arg == QLatin1String("--kind") ||
                                arg == QLatin1String("--splash") ||
                                arg == QLatin1String("--preview-image") ||
                                arg == QLatin1String("--start-page") ||
                                arg == QLatin1String("--plugin-support") ||
                                arg == QLatin1String("--preview");
        if (takesValue && i + 1 >= args.size())
            return UsageError(QStringLiteral("%1 needs a value").arg(arg));
        if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            options.outputPath = args[++i];
        } else if (arg == QLatin1String("--stub")) {
            options.stubPath = args[++i];
        } else if (arg == QLatin1String("--kind")) {
            const QString value = args[++i].toLower();
            const auto found = std::find_if(kKindNames.begin(), kKindNames.end(),
                [&](const KindName& k) { return value == QLatin1String(k.name); });
            if (found == kKindNames.end())
                return UsageError(QStringLiteral("unknown kind '%1'").arg(args[i]));
            options.applicationKind = found->kind;
        } else if (arg == QLatin1String("--single-instance")) {
            options.singleInstance = true;
        } else if (arg == QLatin1String("--splash")) {
            options.splashImage = args[++i];
        } else if (arg == QLatin1String("--preview-image")) {
            options.previewImage = args[++i];
        } else if (arg == QLatin1String("--start-page")) {
            bool ok = false;
            const int page = args[++i].toInt(&ok);
            if (!ok || page < 0)
                return UsageError(QStringLiteral("--start-page needs a page number"));
            options.startPage = page;
        } else if (arg == QLatin1String("--preview")) {
            options.debuggerFolder = args[++i];
            if (!QFileInfo(*options.debuggerFolder).isDir())
                return UsageError(QStringLiteral("--preview needs the debugger's folder"));
        } else if (arg == QLatin1String("--plugin-support")) {
            options.pluginSupportFiles.append(args[++i]);
        } else if (arg.startsWith(u'-')) {
            return UsageError(QStringLiteral("unknown option '%1'").arg(arg));
        } else if (options.sourceFolder.isEmpty()) {
            options.sourceFolder = arg;
        } else {
            return UsageError(QStringLiteral("unexpected argument '%1'").arg(arg));
        }
    }
    if (options.sourceFolder.isEmpty())
        return UsageError(QStringLiteral("no source folder"));
    if (options.outputPath.isEmpty())
        return UsageError(QStringLiteral("no output file (-o OUT)"));
    if (!options.stubPath.isEmpty() && !QFileInfo(options.stubPath).isFile()) {
        Err(QStringLiteral("tomeric-pack build: %1 is not a file").arg(options.stubPath));
        return 1;
    }

    const TFolderPackReport report = PackFolder(options);
    for (const QString& warning : report.warnings)
        Err(QStringLiteral("tomeric-pack build: warning: %1").arg(warning));
    if (!report.ok) {
        Err(QStringLiteral("tomeric-pack build: %1").arg(report.error));
        return 1;
    }
    Out(QStringLiteral("%1: %2 entries").arg(options.outputPath).arg(report.entryCount));
    return 0;
}

} // namespace tomeric::pack
