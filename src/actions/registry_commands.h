#pragma once
// Handlers of the registry commands: the per-user registry store with the
// Windows root keys. Failures only set [LastError]. Owned by the
// string/file/registry engineer; the command table in builtin_commands.cpp
// points at these declarations.

#include "actions/command_context.h"

namespace tomeric {

void CmdRegistryRead(CommandContext& ctx);
void CmdRegistryWrite(CommandContext& ctx);

} // namespace tomeric
