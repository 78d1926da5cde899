#pragma once
// Subcommands of tomeric-pack. Each takes the arguments after its name and
// returns the process exit code: 0 done, 1 bad input, 2 usage error.

#include <QStringList>

namespace tomeric::pack {

int RunBuildCommand(const QStringList& args);
int RunListCommand(const QStringList& args);
int RunExtractCommand(const QStringList& args);

} // namespace tomeric::pack

namespace tomeric {

// `info CONTAINER`: what the publication inside a container holds.
int RunInfoCommand(const QStringList& args);

} // namespace tomeric
