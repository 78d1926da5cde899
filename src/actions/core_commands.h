#pragma once
// Handlers of the commands the core carries out itself: control flow and
// subroutines, delays and suspension, variables and arithmetic, the modal
// dialogs and page changes (through their services), and the forwarders that
// hand a whole command to a subsystem's service.

#include "actions/command_context.h"

namespace tomeric {

// Control flow (control_commands.cpp)
void CmdIf(CommandContext& ctx);
void CmdIfEx(CommandContext& ctx);
void CmdWhile(CommandContext& ctx);
void CmdWhileEx(CommandContext& ctx);
void CmdExitWhile(CommandContext& ctx);
void CmdLoop(CommandContext& ctx);
void CmdExitLoop(CommandContext& ctx);
void CmdGotoLine(CommandContext& ctx);
void CmdGoSub(CommandContext& ctx);
void CmdReturn(CommandContext& ctx);
void CmdDelay(CommandContext& ctx);
void CmdSuspend(CommandContext& ctx);
void CmdShowErrors(CommandContext& ctx);
void CmdDebugBreakPoint(CommandContext& ctx);

// Variables and arithmetic (variable_commands.cpp)
void CmdSetVar(CommandContext& ctx);
void CmdDefineVar(CommandContext& ctx);
void CmdSaveVariables(CommandContext& ctx);
void CmdLoadVariables(CommandContext& ctx);
void CmdClearVariables(CommandContext& ctx);
void CmdDeleteArray(CommandContext& ctx);
void CmdGetArrayInfo(CommandContext& ctx);
void CmdMath(CommandContext& ctx);
void CmdRandom(CommandContext& ctx);
void CmdDateToNum(CommandContext& ctx);
void CmdNumToDate(CommandContext& ctx);

// Dialogs and pop-up menu (dialog_commands.cpp)
void CmdAlertBox(CommandContext& ctx);
void CmdMessageBox(CommandContext& ctx);
void CmdInputBox(CommandContext& ctx);
void CmdFileOpenBox(CommandContext& ctx);
void CmdFileSaveBox(CommandContext& ctx);
void CmdFolderBox(CommandContext& ctx);
void CmdMenu(CommandContext& ctx);

// Page changes (navigation_commands.cpp)
void CmdGotoPage(CommandContext& ctx);
void CmdGotoPageNum(CommandContext& ctx);
void CmdGotoPrevPage(CommandContext& ctx);
void CmdGotoNextPage(CommandContext& ctx);
void CmdGotoFirstPage(CommandContext& ctx);
void CmdGotoLastPage(CommandContext& ctx);
void CmdReturnToPage(CommandContext& ctx);
void CmdStartSlideShow(CommandContext& ctx);
void CmdPauseSlideShow(CommandContext& ctx);
void CmdStopSlideShow(CommandContext& ctx);

// User functions, through the function service (control_commands.cpp).
void CmdCall(CommandContext& ctx);

// Whole commands handed to a subsystem service (service_commands.cpp).
void ForwardObjects(CommandContext& ctx);
void ForwardMedia(CommandContext& ctx);
void ForwardWindows(CommandContext& ctx);
void ForwardPrograms(CommandContext& ctx);
void ForwardInternet(CommandContext& ctx);
void ForwardPrinting(CommandContext& ctx);
void ForwardSystem(CommandContext& ctx);

} // namespace tomeric
