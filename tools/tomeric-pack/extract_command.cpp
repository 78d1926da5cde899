#include "commands.h"
#include "tool_output.h"

#include "package/package.h"
#include "package/package_unpacker.h"

namespace tomeric::pack {
namespace {

const QString kExtractHelp = QStringLiteral(
    "Usage: tomeric-pack extract CONTAINER DIR\n"
    "\n"
    "Writes every embedded file of CONTAINER into DIR (created when missing).\n"
    "\"\\\" in entry names makes subfolders; embedded:\\\\\\NAME goes to DIR/embedded/NAME.\n"
    "Entries whose names would lead outside DIR (\"..\", absolute paths, drive\n"
    "letters) are reported and skipped. Exit code 1 when any entry was skipped\n"
    "or could not be written.");

} // namespace

int RunExtractCommand(const QStringList& args) {
    if (WantsHelp(args)) {
        Out(kExtractHelp);
        return 0;
    }
    if (args.size() != 2) {
        Err(QStringLiteral("tomeric-pack extract: expects CONTAINER and DIR (try --help)"));
        return 2;
    }
    TPackage package;
    if (!OpenContainer(package, args[0], QStringLiteral("extract")))
        return 1;
    const TUnpackReport report = ExtractAllEntries(package, args[1]);
    for (const QString& problem : report.problems)
        Err(QStringLiteral("tomeric-pack extract: %1").arg(problem));
    Out(QStringLiteral("%1 files written to %2").arg(report.written).arg(args[1]));
    return report.problems.isEmpty() ? 0 : 1;
}

} // namespace tomeric::pack
