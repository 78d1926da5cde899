#pragma once
// The command interpreter's internal commands (DIR, COPY, DEL, TYPE, REN,
// MD, RD, CD, VER, DATE, TIME, VOL, TREE, CHCP and their long names), carried
// out in-process on mapped paths, the way "CMD.EXE /C <command>" would do
// them. Doing them here, instead of building a shell line, means no text of
// a publication ever reaches a shell. Output goes where the parameters
// redirect it (">" and ">>"), written in the Windows code page with CR LF,
// and is otherwise dropped, as the interpreter's closed window would.

#include <QString>

namespace tomeric {

// Runs `command` (upper case) with its parameters as written; relative
// names are relative to `folder` (empty: the current folder). Returns the
// exit code the interpreter would: 0 done, 1 failed.
int RunInternalCommand(const QString& command, const QString& parameters, const QString& folder);

} // namespace tomeric
