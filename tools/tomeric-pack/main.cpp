// tomeric-pack: builds, lists, extracts and inspects Tomeric containers.

#include "commands.h"
#include "tool_output.h"

#include <QCoreApplication>

#include <array>

namespace {

using Handler = int (*)(const QStringList&);

struct Subcommand {
    const char* name;
    Handler run;
    const char* summary;
};

constexpr std::array<Subcommand, 4> kSubcommands = {{
    {"build", tomeric::pack::RunBuildCommand, "pack a publication folder into a container"},
    {"list", tomeric::pack::RunListCommand, "show a container's package directory"},
    {"extract", tomeric::pack::RunExtractCommand, "write every embedded file into a folder"},
    {"info", tomeric::RunInfoCommand, "describe the publication inside a container"},
}};

void PrintUsage() {
    tomeric::pack::Out(QStringLiteral(
        "Usage: tomeric-pack COMMAND [ARGS...]\n"
        "       tomeric-pack COMMAND --help\n\nCommands:"));
    for (const Subcommand& command : kSubcommands)
        tomeric::pack::Out(QStringLiteral("  %1  %2")
                               .arg(QString::fromLatin1(command.name).leftJustified(8),
                                    QString::fromLatin1(command.summary)));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        PrintUsage();
        return 2;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        PrintUsage();
        return 0;
    }
    for (const Subcommand& command : kSubcommands)
        if (name == QLatin1String(command.name))
            return command.run(args);
    tomeric::pack::Err(QStringLiteral("tomeric-pack: unknown command '%1' (try --help)").arg(name));
    return 2;
}
