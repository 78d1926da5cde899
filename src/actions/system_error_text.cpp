#include "actions/system_error_text.h"

#include "platform/string_table.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace tomeric {

QString FileNotFoundText() { return Message(msgSysFileNotFound); }
QString PathNotFoundText() { return Message(msgSysPathNotFound); }
QString AccessDeniedText() { return Message(msgSysAccessDenied); }

QString SystemErrorText(int errnoValue, bool forFolder) {
    switch (errnoValue) {
    case ENOENT:
        return forFolder ? PathNotFoundText() : FileNotFoundText();
    case ENOTDIR:
        return PathNotFoundText();
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return AccessDeniedText();
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK:
        return Message(msgSysSharingViolation);
    case EEXIST:
        return Message(msgSysFileExists);
    case ENOSPC:
    case EDQUOT:
        return Message(msgSysDiskFull);
    case ENOTEMPTY:
        return Message(msgSysFolderNotEmpty);
    case ENAMETOOLONG:
        return Message(msgSysNameTooLong);
    case EINVAL:
        return Message(msgSysBadName);
    default:
        return QString::fromLocal8Bit(std::strerror(errnoValue));
    }
}

QString FileErrorText(int errnoValue, const QString& nativePath) {
    const bool folderMissing =
        errnoValue == ENOENT && !QFileInfo(QFileInfo(nativePath).absolutePath()).isDir();
    return SystemErrorText(errnoValue, folderMissing);
}

} // namespace tomeric
