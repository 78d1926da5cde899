#pragma once
// Handlers of the file-name, file and folder commands: data files resolved
// against the publication's folder, line files read and written with the read
// cache (data_files.h, data_file_cache.h), folders listed. Failures only set
// [LastError]. The command table in builtin_commands.cpp points at these
// declarations.

#include "actions/command_context.h"

namespace tomeric {

void CmdExtractFilePath(CommandContext& ctx);
void CmdExtractFileName(CommandContext& ctx);
void CmdExtractFileExt(CommandContext& ctx);
void CmdExtractFileDrive(CommandContext& ctx);
void CmdChangeFileExt(CommandContext& ctx);
void CmdFileCopy(CommandContext& ctx);
void CmdFileErase(CommandContext& ctx);
void CmdFileSize(CommandContext& ctx);
void CmdFileExists(CommandContext& ctx);
void CmdFolderExists(CommandContext& ctx);
void CmdCreateFolder(CommandContext& ctx);
void CmdRemoveFolder(CommandContext& ctx);
void CmdExtractFile(CommandContext& ctx);
void CmdFileList(CommandContext& ctx);
void CmdFileRead(CommandContext& ctx);
void CmdFileWrite(CommandContext& ctx);
void CmdFileInsLine(CommandContext& ctx);
void CmdFileDelLine(CommandContext& ctx);
void CmdFileLen(CommandContext& ctx);
void CmdFileToVar(CommandContext& ctx);

} // namespace tomeric
