#include "commands.h"

#include <cstdio>

namespace tomeric {

int RunInfoCommand(const QStringList& args) {
    std::fputs("info: not available yet\n", stderr);
    return 1;
}

} // namespace tomeric
