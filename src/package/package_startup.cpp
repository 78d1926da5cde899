// What start-up does with the special entries: fonts and plug-ins become
// files on disk before the publication uses them.

#include "package/package.h"

#include "platform/paths.h"

#include <QFileInfo>

namespace tomeric {
namespace {

bool IsPlugInLibrary(const TEmbeddedEntry& entry) {
    return entry.kind == ekPlugIn || entry.kind == ekPlugInTagged;
}

} // namespace

QStringList TPackage::ExtractFonts() {
    QStringList paths;
    for (TEmbeddedEntry& entry : entries_)
        if (entry.kind == ekFont && ExtractEmbedded(entry, true) == 1)
            paths.append(entry.extractedPath);
    return paths;
}

QStringList TPackage::PreparePlugInFiles() {
    for (TEmbeddedEntry& entry : entries_)
        if (entry.kind == ekPlugInSupport && entry.storedSize > 0 && !entry.extracted)
            ExtractEmbedded(entry, false);

    QStringList libraries;
    for (TEmbeddedEntry& entry : entries_) {
        if (!IsPlugInLibrary(entry))
            continue;
        if (IsPreview()) {
            libraries.append(platform::NativePath(entry.name));
            continue;
        }
        if (entry.storedSize == 0) {
            const QString beside = platform::NativePath(
                platform::FolderPart(containerPath_) + platform::FilePart(entry.name));
            if (QFileInfo(beside).isFile())
                libraries.append(beside);
            continue;
        }
        if (!entry.extracted && ExtractEmbedded(entry, true) != 1)
            continue;
        RenameEntry(entry, entry.extractedPath);
        libraries.append(entry.extractedPath);
    }
    return libraries;
}

} // namespace tomeric
