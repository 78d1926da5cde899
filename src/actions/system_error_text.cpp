#include "actions/system_error_text.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace tomeric {

QString FileNotFoundText() { return QStringLiteral("Le fichier spécifié est introuvable."); }
QString PathNotFoundText() { return QStringLiteral("Le chemin d'accès spécifié est introuvable."); }
QString AccessDeniedText() { return QStringLiteral("Accès refusé."); }

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
        return QStringLiteral("Le processus ne peut pas accéder au fichier car ce fichier est "
                              "utilisé par un autre processus.");
    case EEXIST:
        return QStringLiteral("Le fichier existe.");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Espace insuffisant sur le disque.");
    case ENOTEMPTY:
        return QStringLiteral("Le répertoire n'est pas vide.");
    case ENAMETOOLONG:
        return QStringLiteral("Le nom de fichier ou l'extension est trop long.");
    case EINVAL:
        return QStringLiteral("La syntaxe du nom de fichier, de répertoire ou de volume est incorrecte.");
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
