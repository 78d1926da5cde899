#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStandardPaths>

namespace tomeric::platform {
namespace {

bool IsSeparator(QChar c) { return c == u'\\' || c == u'/'; }

bool HasDriveLetter(const QString& path) {
    return path.size() >= 2 && path[1] == u':' && path[0].isLetter();
}

QHash<QChar, QString>& DriveOverrides() {
    static QHash<QChar, QString> table;
    return table;
}

// The entry of `folder` whose name equals `component` ignoring case, or the
// component itself when the folder holds none.
QString MatchComponent(const QString& folder, const QString& component) {
    const QString exact = folder + component;
    if (QFileInfo::exists(exact))
        return component;
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (entry.compare(component, Qt::CaseInsensitive) == 0)
            return entry;
    return component;
}

} // namespace

QString DriveRoot(QChar letter) {
    const QChar upper = letter.toUpper();
    const auto it = DriveOverrides().constFind(upper);
    if (it != DriveOverrides().constEnd())
        return *it;
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString root = base + QStringLiteral("/tomeric/drives/") + upper.toLower() + u'/';
    QDir().mkpath(root);
    return root;
}

void SetDriveRoot(QChar letter, const QString& nativeFolder) {
    DriveOverrides().insert(letter.toUpper(), WithTrailingSeparator(nativeFolder));
}

QString NativePath(const QString& path) {
    if (path.isEmpty())
        return path;
    QString rest = path;
    QString built;
    if (HasDriveLetter(rest)) {
        built = DriveRoot(rest[0]);
        rest = rest.mid(2);
    } else if (IsSeparator(rest[0])) {
        built = QStringLiteral("/");
    }
    const QStringList components = rest.split(QRegularExpression(QStringLiteral("[\\\\/]")),
                                              Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < components.size(); ++i) {
        const QString& component = components[i];
        if (component == u'.' || component == QLatin1String(".."))
            built += component;
        else
            built += MatchComponent(built, component);
        if (i + 1 < components.size())
            built += u'/';
    }
    if (IsSeparator(path.back()) && !built.endsWith(u'/'))
        built += u'/';
    return built;
}

bool FileExists(const QString& path) {
    const QFileInfo info(NativePath(path));
    return info.exists() && !info.isDir();
}

bool DirectoryExists(const QString& path) {
    return QFileInfo(NativePath(path)).isDir();
}

QString WithTrailingSeparator(const QString& folder) {
    if (folder.isEmpty())
        return folder;
    QString result = folder;
    while (result.size() > 1 && IsSeparator(result.back()))
        result.chop(1);
    if (!IsSeparator(result.back()))
        result += u'/';
    return result;
}

QString FolderPart(const QString& name) {
    for (qsizetype i = name.size() - 1; i >= 0; --i)
        if (IsSeparator(name[i]) || (i == 1 && name[i] == u':'))
            return name.left(i + 1);
    return {};
}

QString FilePart(const QString& name) { return name.mid(FolderPart(name).size()); }

QString ExtensionPart(const QString& name) {
    const QString file = FilePart(name);
    const qsizetype dot = file.lastIndexOf(u'.');
    return dot < 0 ? QString() : file.mid(dot);
}

bool IsAbsolute(const QString& name) {
    return HasDriveLetter(name) || (!name.isEmpty() && IsSeparator(name[0]));
}

} // namespace tomeric::platform
