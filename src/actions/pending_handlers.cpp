// Stand-ins for command handlers whose code has not been written yet: each
// hands its command to the pending service (the headless runner prints it
// as a CALL line), so scripts using them run and can be tested meanwhile.
// Declare the handler in its subsystem's header, point its row in
// builtin_commands.cpp at it, and add `TOMERIC_PENDING(CmdName)` here; whoever
// writes the real handler deletes that line in the same commit (a handler
// defined twice fails to link).
//
// At present every row of the table has its handler: the string, file and
// registry commands have theirs, Call is installed by the user-function
// loader (InstallUserFunctions), and the commands of the player's subsystems
// go to their services through the Forward* handlers.

#include "actions/core_commands.h"

#define TOMERIC_PENDING(handler) \
    void handler(CommandContext& ctx) { ForwardPending(ctx); }

namespace tomeric {

} // namespace tomeric
