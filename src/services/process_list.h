#pragma once
// The processes running on this system, as the program commands look them
// up by executable file name (IsAppRunning "calc.exe", CloseApp "xterm").
// Read afresh from /proc at each query.

#include <QList>
#include <QString>
#include <QStringList>

namespace tomeric {

struct TVexProcessEntry {
    qint64 ProcessId = 0;
    // The names the process answers to, lower case, without folder: its
    // executable, and for programs run by an interpreter (sh, python, Wine)
    // the script or Windows program it runs.
    QStringList FileNames;
};

class TVexProcessList {
public:
    // Every process of this system readable by us.
    static QList<TVexProcessEntry> Snapshot();
    // The first process that answers to `fileName` (any case); 0 when none.
    static qint64 FindByFileName(const QString& fileName);
    // True while the process exists and has not ended (a zombie has ended).
    static bool IsAlive(qint64 processId);
};

} // namespace tomeric
