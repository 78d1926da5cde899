#include "commands.h"
#include "tool_output.h"

#include "package/package.h"

namespace tomeric::pack {
namespace {

const QString kListHelp = QStringLiteral(
    "Usage: tomeric-pack list CONTAINER\n"
    "\n"
    "Shows the package directory of CONTAINER: preview mode, start page,\n"
    "application kind, flags, and every entry (kind, unpacked size, stored size,\n"
    "offset, name; pictures also width x height and alpha), in directory order.");

QString KindName(TApplicationKind kind) {
    switch (kind) {
    case TApplicationKind::akWindow: return QStringLiteral("window");
    case TApplicationKind::akScreenSaver: return QStringLiteral("screen saver");
    case TApplicationKind::akTray: return QStringLiteral("tray");
    case TApplicationKind::akPackage: return QStringLiteral("package");
    }
    return {};
}

QString EntryKindName(std::uint8_t kind) {
    switch (kind) {
    case ekPicture: return QStringLiteral("picture");
    case ekFont: return QStringLiteral("font");
    case ekPlugIn: return QStringLiteral("plug-in");
    case ekPlugInSupport: return QStringLiteral("support");
    case ekPlugInTagged: return QStringLiteral("plug-in*");
    default: return QStringLiteral("file");
    }
}

void PrintHeader(const TPackage& package) {
    Out(QStringLiteral("container:        %1").arg(package.ContainerPath()));
    Out(QStringLiteral("preview mode:     %1").arg(package.PreviewMode()));
    Out(QStringLiteral("start page:       %1").arg(package.StartPage()));
    if (package.IsPreview()) {
        Out(QStringLiteral("debugger folder:  %1").arg(package.DebuggerFolder()));
        Out(QStringLiteral("functions folder: %1").arg(package.UserFunctionFolder()));
        Out(QStringLiteral("button library:   %1").arg(package.ButtonLibraryFolder()));
        Out(QStringLiteral("icon:             %1").arg(package.IconPath()));
    }
    Out(QStringLiteral("application kind: %1 (%2)")
            .arg(int(package.ApplicationKind()))
            .arg(KindName(package.ApplicationKind())));
    Out(QStringLiteral("single instance:  %1").arg(package.SingleInstance() ? "yes" : "no"));
    const TDisplayModeRequest& mode = package.DisplayMode();
    Out(QStringLiteral("display mode:     %1")
            .arg(mode.change ? QStringLiteral("%1x%2, %3 bits")
                                   .arg(mode.width).arg(mode.height).arg(mode.bitsPerPixel)
                             : QStringLiteral("unchanged")));
    Out(QStringLiteral("splash image:     %1").arg(package.SplashImage()));
    if (package.ApplicationKind() == TApplicationKind::akScreenSaver)
        Out(QStringLiteral("preview image:    %1").arg(package.PreviewImage()));
}

} // namespace

int RunListCommand(const QStringList& args) {
    if (WantsHelp(args)) {
        Out(kListHelp);
        return 0;
    }
    if (args.size() != 1) {
        Err(QStringLiteral("tomeric-pack list: expects one CONTAINER (try --help)"));
        return 2;
    }
    TPackage package;
    if (!OpenContainer(package, args[0], QStringLiteral("list")))
        return 1;
    PrintHeader(package);
    const auto& entries = package.Entries();
    Out(QStringLiteral("entries:          %1").arg(entries.size()));
    Out(QStringLiteral("  %1 %2 %3 %4  name")
            .arg(QStringLiteral("kind"), -12)
            .arg(QStringLiteral("unpacked"), 10)
            .arg(QStringLiteral("stored"), 10)
            .arg(QStringLiteral("offset"), 10));
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        QString line = QStringLiteral("  %1 %2 %3 %4  %5")
                           .arg(QStringLiteral("%1 %2").arg(it->kind, 2).arg(EntryKindName(it->kind)), -12)
                           .arg(it->unpackedSize, 10)
                           .arg(it->storedSize, 10)
                           .arg(it->offset, 10)
                           .arg(it->name);
        if (it->kind == ekPicture)
            line += QStringLiteral("  [%1x%2%3]")
                        .arg(it->width)
                        .arg(it->height)
                        .arg(it->hasAlpha ? QStringLiteral(", alpha") : QString());
        Out(line);
    }
    return 0;
}

} // namespace tomeric::pack
