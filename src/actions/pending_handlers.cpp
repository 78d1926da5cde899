// Stand-ins for command handlers whose code has not been written yet: each
// hands its command to the pending service (the headless runner prints it
// as a CALL line), so scripts using them run and can be tested meanwhile.
//
// Whoever implements a handler declared in string_commands.h,
// file_commands.h, registry_commands.h (or installs Call) deletes its line
// here in the same commit; a handler defined twice fails to link.

#include "actions/core_commands.h"
#include "actions/file_commands.h"
#include "actions/registry_commands.h"
#include "actions/string_commands.h"

#define TOMERIC_PENDING(handler) \
    void handler(CommandContext& ctx) { ForwardPending(ctx); }

namespace tomeric {

// ---- string_commands.h

// ---- file_commands.h

// ---- registry_commands.h


} // namespace tomeric
