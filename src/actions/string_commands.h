#pragma once
// Handlers of the string commands (StrIns ... StrParse): positions count from
// 1, results go to the variable through SetVariable, and nothing here can
// fail. The text operations themselves are in string_operations.h; the
// command table in builtin_commands.cpp points at these declarations.

#include "actions/command_context.h"

namespace tomeric {

void CmdStrIns(CommandContext& ctx);
void CmdStrDel(CommandContext& ctx);
void CmdStrLen(CommandContext& ctx);
void CmdSubStr(CommandContext& ctx);
void CmdSearchStr(CommandContext& ctx);
void CmdStrUpper(CommandContext& ctx);
void CmdStrLower(CommandContext& ctx);
void CmdStrReplace(CommandContext& ctx);
void CmdStrParse(CommandContext& ctx);

} // namespace tomeric
