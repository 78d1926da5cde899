// Where the Windows system folders of the built-in variables lie on this
// system. Folders that only exist on Windows ([WindowsDir], [SystemDir],
// [ProgramFiles]) are folders of the emulated drive C:, so a script that
// writes "[WindowsDir]MYPUB.INI" and one that writes "C:\WINDOWS\MYPUB.INI"
// reach the same file. The user's documents and the temporary folder are the
// real ones of this system.

#include "vars/builtin_vars.h"

#include "platform/paths.h"

#include <QDir>
#include <QStandardPaths>

#if defined(Q_OS_UNIX)
#include <sys/statvfs.h>
#endif

namespace tomeric {
namespace {

// A folder of the emulated drive C:, created on first use so that files can
// be written into it at once.
QString EmulatedFolder(const char* windowsPath) {
    const QString folder = platform::WithTrailingSeparator(platform::NativePath(QString::fromLatin1(windowsPath)));
    QDir().mkpath(folder);
    return folder;
}

} // namespace

QString WindowsFolder() { return EmulatedFolder("C:\\Windows\\"); }

QString SystemFolder() { return EmulatedFolder("C:\\Windows\\System32\\"); }

QString ProgramFilesFolder() { return EmulatedFolder("C:\\Program Files\\"); }

QString DocumentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        return EmulatedFolder("C:\\My Documents\\");
    QDir().mkpath(documents); // a fresh account may not have one yet
    return platform::WithTrailingSeparator(documents);
}

QString TempFolder() { return platform::WithTrailingSeparator(QDir::tempPath()); }

// The file-system id of the volume behind drive C: stands in for the volume
// serial number: stable for that volume, different between volumes.
quint32 SystemVolumeSerialNumber() {
#if defined(Q_OS_UNIX)
    struct statvfs info {};
    const QByteArray root = QFile::encodeName(platform::DriveRoot(u'C'));
    if (statvfs(root.constData(), &info) == 0)
        return static_cast<quint32>(info.f_fsid);
#endif
    return 0;
}

} // namespace tomeric
