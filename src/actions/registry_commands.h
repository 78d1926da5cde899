#pragma once
// Handlers of the registry commands over the per-user registry store
// (platform/registry_store.h) with the Windows root keys. Failures only set
// [LastError]. The command table in builtin_commands.cpp points at these
// declarations.

#include "actions/command_context.h"

namespace tomeric {

void CmdRegistryRead(CommandContext& ctx);
void CmdRegistryWrite(CommandContext& ctx);

} // namespace tomeric
