#include "package/package_unpacker.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace tomeric {
namespace {

bool StartsWithDriveLetter(const QString& name) {
    return name.size() >= 2 && name[1] == u':' && name[0].isLetter();
}

// True when `path` (existing) lies inside `folder` once links are resolved.
bool StaysInside(const QString& path, const QString& folder) {
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    const QString canonicalPath = QFileInfo(path).canonicalFilePath();
    return !canonicalFolder.isEmpty() && !canonicalPath.isEmpty() &&
           (canonicalPath == canonicalFolder ||
            canonicalPath.startsWith(canonicalFolder + u'/'));
}

} // namespace

std::optional<QString> SafeExtractionPath(const QString& entryName) {
    QString rest = entryName;
    QString prefix;
    if (rest.startsWith(kEmbeddedPrefix, Qt::CaseInsensitive)) {
        rest = rest.mid(kEmbeddedPrefix.size());
        prefix = QStringLiteral("embedded/");
    }
    if (rest.isEmpty() || rest[0] == u'\\' || rest[0] == u'/' || StartsWithDriveLetter(rest) ||
        rest.contains(QChar(0)))
        return std::nullopt;
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    QStringList kept;
    for (const QString& component : rest.split(separators, Qt::SkipEmptyParts)) {
        if (component == QLatin1String(".."))
            return std::nullopt;
        if (component != QLatin1String("."))
            kept.append(component);
    }
    if (kept.isEmpty())
        return std::nullopt;
    return prefix + kept.join(u'/');
}

TUnpackReport ExtractAllEntries(TPackage& package, const QString& destinationFolder) {
    TUnpackReport report;
    const QString root = QDir(destinationFolder).absolutePath();
    if (!QDir().mkpath(root)) {
        report.problems.append(QStringLiteral("cannot create folder %1").arg(root));
        return report;
    }
    const auto& entries = package.Entries();
    // Directory order (the list is kept head-first), so that of two entries
    // with one name the later one, which lookups find, is the one on disk.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const TEmbeddedEntry& entry = *it;
        const std::optional<QString> relative = SafeExtractionPath(entry.name);
        if (!relative) {
            report.problems.append(
                QStringLiteral("skipped \"%1\": the name leads outside the folder").arg(entry.name));
            continue;
        }
        if (entry.kind == ekPlugIn && entry.storedSize == 0 && !entry.IsCompressed()) {
            report.problems.append(
                QStringLiteral("skipped \"%1\": names a plug-in beside the container, no data")
                    .arg(entry.name));
            continue;
        }
        const QString path = root + u'/' + *relative;
        const QString folder = QFileInfo(path).absolutePath();
        if (!QDir().mkpath(folder) || !StaysInside(folder, root)) {
            report.problems.append(QStringLiteral("skipped \"%1\": cannot create %2")
                                       .arg(entry.name, folder));
            continue;
        }
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            report.problems.append(
                QStringLiteral("failed \"%1\": %2").arg(entry.name, file.errorString()));
            continue;
        }
        if (!package.CopyEmbeddedTo(entry, file)) {
            file.cancelWriting();
            report.problems.append(
                QStringLiteral("failed \"%1\": its data is damaged or missing").arg(entry.name));
            continue;
        }
        if (!file.commit()) {
            report.problems.append(
                QStringLiteral("failed \"%1\": %2").arg(entry.name, file.errorString()));
            continue;
        }
        ++report.written;
    }
    return report;
}

} // namespace tomeric
