// tomeric-pack info CONTAINER: a readable summary of the publication inside
// a container — what differs from the defaults, the language texts, every
// page with its objects counted by class, and the menus.

#include "commands.h"
#include "tool_output.h"

#include "package/package.h"
#include "publication/publication_reader.h"
#include "publication/publication_settings.h"

#include <QFileInfo>
#include <QMap>

namespace tomeric {
namespace {

using pack::Err;
using pack::Out;

const QString kInfoHelp = QStringLiteral(
    "Usage: tomeric-pack info CONTAINER\n"
    "\n"
    "Reads the publication text (RUNTIME.PUB) inside CONTAINER and shows:\n"
    "  - the settings that differ from the player's defaults,\n"
    "  - the language texts the publication replaces,\n"
    "  - every page (0 is the master page) with its objects counted by class,\n"
    "    members of groups and containers included,\n"
    "  - the main menu and the tray menu, and the global subroutines.\n"
    "Exit status: 0 done, 1 the container or its text cannot be read, 2 usage error.");

constexpr int kShownTextLength = 70;

// Multi-line texts (actions) shown on one line: the first line, then how
// many lines there are.
QString OneLine(const QString& text) {
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    QString shown = lines.first();
    if (shown.size() > kShownTextLength) shown = shown.left(kShownTextLength) + QStringLiteral("…");
    if (lines.size() > 1) shown += QStringLiteral("  (%1 lines)").arg(lines.size());
    return shown;
}

void CountObjects(const std::vector<TObjectRecord>& objects, QMap<QString, int>& counts, int& total) {
    for (const TObjectRecord& object : objects) {
        ++counts[QString::fromLatin1(object.ClassName())];
        ++total;
        CountObjects(object.members, counts, total);
    }
}

void PrintSettings(const TPublicationSettings& settings) {
    const auto differences = SettingsDifferingFromDefaults(settings);
    Out(differences.isEmpty() ? QStringLiteral("Settings: all defaults")
                              : QStringLiteral("Settings that differ from the defaults:"));
    for (const auto& [key, value] : differences) Out(QStringLiteral("  %1%2").arg(key, OneLine(value)));
    if (settings.hasOwnPalette) Out(QStringLiteral("  (pages with a palette of their own)"));
}

void PrintLanguageTexts(const TPublicationSettings& settings) {
    static const char* const kNames[kLanguageTextCount] = {
        "L_OK", "L_CANCEL", "L_YES", "L_NO", "L_CLOSE", "L_ERRORTITLE", "L_FINDTITLE",
        "L_FINDPROMPT", "L_FINDFIRST", "L_FINDNEXT", "L_FINDERROR", "L_PWORDTITLE", "L_PWORDMSG",
        "L_PWORDPROMPT", "L_PWORDERROR", "L_MEDIAERROR", "L_INTERNETERROR", "L_ABORTFUNCTION",
        "L_EXTRACTERROR", "L_INSTDIRPROMPT", "L_INSTFOLDERPROMPT", "L_INSTRUNPROMPT",
        "L_INSTDISKPROMPT", "L_INSTDISKERROR", "L_INSTGENERROR", "L_INSTEXITPROMPT",
        "L_INSTWINTITLE", "L_INSTPROGTITLE", "L_INSTSUBTITLE", "L_SENDEMAIL", "L_MAILSERVER",
        "L_COPY", "L_SELECTALL", "L_DONWLOADFILE", "L_PLEASEWAIT"};
    QStringList lines;
    for (int i = 0; i < kLanguageTextCount; ++i) {
        if (!settings.languageTexts[i].isEmpty())
            lines.append(QStringLiteral("  %1=%2").arg(QLatin1String(kNames[i]), OneLine(settings.languageTexts[i])));
    }
    Out(lines.isEmpty() ? QStringLiteral("Language texts: built-in") : QStringLiteral("Language texts:"));
    for (const QString& line : lines) Out(line);
}

void PrintPages(const TPublication& publication) {
    Out(QStringLiteral("Pages: %1 (and the master page)").arg(publication.pages.size() - 1));
    for (std::size_t i = 0; i < publication.pages.size(); ++i) {
        const TPageRecord& page = publication.pages[i];
        QMap<QString, int> counts;
        int total = 0;
        CountObjects(page.objects, counts, total);
        QStringList parts;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            parts.append(QStringLiteral("%1 %2").arg(it.value()).arg(it.key()));
        const QString name = i == 0 ? QStringLiteral("(master page)") : QStringLiteral("\"%1\"").arg(page.name);
        Out(QStringLiteral("  %1 %2: %3 object%4%5")
                .arg(i)
                .arg(name)
                .arg(total)
                .arg(total == 1 ? "" : "s")
                .arg(parts.isEmpty() ? QString() : QStringLiteral(" — ") + parts.join(QStringLiteral(", "))));
    }
}

void PrintMenuItems(const std::vector<TMenuItem>& items, int depth) {
    const QString indent(2 * depth + 2, u' ');
    for (const TMenuItem& item : items) {
        if (item.IsSeparator()) {
            Out(indent + QStringLiteral("----"));
        } else {
            QString line = indent + item.caption;
            if (!item.action.isEmpty()) line += QStringLiteral("  → ") + OneLine(item.action);
            if (!item.IsEnabled()) line += QStringLiteral("  [disabled]");
            if (!item.IsVisible()) line += QStringLiteral("  [hidden]");
            if (item.IsChecked()) line += QStringLiteral("  [checked]");
            Out(line);
        }
        PrintMenuItems(item.items, depth + 1);
    }
}

void PrintMenu(const QString& title, const std::optional<std::vector<TMenuItem>>& menu) {
    if (!menu) {
        Out(title + QStringLiteral(": none"));
        return;
    }
    Out(title + u':');
    PrintMenuItems(*menu, 0);
}

} // namespace

int RunInfoCommand(const QStringList& args) {
    if (pack::WantsHelp(args)) {
        Out(kInfoHelp);
        return 0;
    }
    if (args.size() != 1) {
        Err(QStringLiteral("tomeric-pack info: expected one container (try --help)"));
        return 2;
    }
    const QString path = args.first();
    if (!QFileInfo(path).isFile()) {
        Err(QStringLiteral("tomeric-pack info: %1: no such file").arg(path));
        return 1;
    }
    TPackage package;
    if (package.Open(path) != kPackageOk) {
        Err(QStringLiteral("tomeric-pack info: %1: not a Tomeric container").arg(path));
        return 1;
    }
    TPublication publication;
    const TReadResult result = ReadPublication(package, publication);
    if (!result.ok) {
        Err(QStringLiteral("tomeric-pack info: %1: %2").arg(path, result.errorText));
        return 1;
    }
    const TPublicationSettings& settings = publication.settings;
    Out(QStringLiteral("Publication: %1").arg(settings.title.isEmpty() ? QStringLiteral("(no title)") : settings.title));
    Out(QStringLiteral("Size: %1 x %2").arg(settings.screenWidth).arg(settings.screenHeight));
    PrintSettings(settings);
    PrintLanguageTexts(settings);
    PrintPages(publication);
    PrintMenu(QStringLiteral("Main menu"), publication.mainMenu);
    PrintMenu(QStringLiteral("Tray menu"), publication.trayMenu);
    Out(QStringLiteral("Linked articles: %1").arg(publication.linkedArticleCount));
    Out(QStringLiteral("Subroutines: %1")
            .arg(publication.subroutineNames.isEmpty() ? QStringLiteral("none")
                                                       : publication.subroutineNames.join(QStringLiteral(", "))));
    return 0;
}

} // namespace tomeric
