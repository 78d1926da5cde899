// Embedded files on disk: extraction, the extraction folder, name
// resolution against the publication's folder, and cleaning up at close.

#include "package/package.h"

#include "platform/paths.h"
#include "platform/string_table.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStorageInfo>
#include <QTemporaryFile>

namespace tomeric {
namespace {

// Folders deeper than this are not searched (a guard against link cycles
// and pathological trees).
constexpr int kMaxSearchDepth = 32;

// A folder the player may extract into: it exists, is writable and is not
// on a read-only medium (the CD-ROM case).
bool UsableExtractionFolder(const QString& folder) {
    if (folder.isEmpty() || folder.compare(QLatin1String("Error"), Qt::CaseInsensitive) == 0)
        return false;
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isWritable())
        return false;
    const QStorageInfo storage(folder);
    return storage.isValid() && !storage.isReadOnly();
}

// The file of `bareName` (ignoring case) in `folder`, searching each
// folder's own files first and then its subfolders in name order; names
// beginning with "." are skipped.
QString SearchFolder(const QString& folder, const QString& bareName, int depth,
                     QSet<QString>& visited) {
    if (depth > kMaxSearchDepth)
        return {};
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return {};
    visited.insert(canonical);
    const QDir dir(folder);
    const QFileInfoList files =
        dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& file : files)
        if (!file.fileName().startsWith(u'.') &&
            file.fileName().compare(bareName, Qt::CaseInsensitive) == 0)
            return file.filePath();
    const QFileInfoList folders =
        dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QFileInfo& sub : folders) {
        if (sub.fileName().startsWith(u'.'))
            continue;
        const QString found = SearchFolder(sub.filePath(), bareName, depth + 1, visited);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

bool LiesInside(const QString& path, const QString& folder) {
    if (folder.isEmpty())
        return false;
    const QString cleanFolder = platform::WithTrailingSeparator(QDir::cleanPath(folder));
    return QDir::cleanPath(path).startsWith(cleanFolder);
}

} // namespace

// ---- extraction -------------------------------------------------------------

int TPackage::ExtractEmbedded(TEmbeddedEntry& entry, bool unique) {
    const QString folder = platform::WithTrailingSeparator(
        extractionFolder_.isEmpty() ? temporaryFolder_ : extractionFolder_);
    const QString fileName = platform::FilePart(entry.name);
    if (fileName.isEmpty() || fileName == QLatin1String(".") || fileName == QLatin1String(".."))
        return 0;

    if (!unique) {
        const QString destination = platform::NativePath(folder + fileName);
        if (QFileInfo(destination).isFile()) {
            // Used as it is; a file the player did not write is never deleted.
            if (!(entry.extracted && entry.extractedPath == destination))
                entry.extractedByUs = false;
            entry.extracted = true;
            entry.extractedPath = destination;
            return 2;
        }
        QSaveFile file(destination); // written beside, renamed when complete
        if (!file.open(QIODevice::WriteOnly))
            return 100;
        const CopyResult copied = CopyData(entry, file);
        if (copied != CopyResult::crOk) {
            file.cancelWriting();
            return copied == CopyResult::crReadError ? 0 : 100;
        }
        if (!file.commit())
            return 100;
        entry.extracted = true;
        entry.extractedPath = destination;
        entry.extractedByUs = true;
        return 1;
    }

    QTemporaryFile file(folder + QStringLiteral("tm_XXXXXX") + platform::ExtensionPart(fileName));
    if (!file.open())
        return 100;
    const CopyResult copied = CopyData(entry, file);
    if (copied != CopyResult::crOk || !file.flush()) {
        file.remove(); // never leave a partial file behind
        return copied == CopyResult::crReadError ? 0 : 100;
    }
    file.setAutoRemove(false);
    entry.extracted = true;
    entry.extractedPath = file.fileName();
    entry.extractedByUs = true;
    return 1;
}

void TPackage::ForgetExtracted(const QString& name) {
    TEmbeddedEntry* entry = FindEmbedded(name);
    if (!entry || !entry->extracted)
        return;
    if (entry->extractedByUs)
        QFile::remove(entry->extractedPath);
    entry->extracted = false;
    entry->extractedByUs = false;
    entry->extractedPath.clear();
}

bool TPackage::CopyEmbeddedToFile(const QString& name, const QString& destinationPath,
                                  QString* error) {
    const TEmbeddedEntry* entry = FindEmbedded(name);
    if (!entry) {
        if (error)
            *error = Message(msgFileMissing);
        return false;
    }
    QSaveFile file(platform::NativePath(destinationPath));
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (CopyData(*entry, file) != CopyResult::crOk) {
        file.cancelWriting();
        if (error)
            *error = Message(msgDiskReadError);
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

// ---- resolution -------------------------------------------------------------

TResolvedFile TPackage::ResolveFile(const QString& name) {
    TResolvedFile result;
    if (name.isEmpty()) {
        result.error = 2;
        return result;
    }
    const QString mapped = MapPreviewName(name);
    if (TEmbeddedEntry* entry = FindEmbedded(mapped)) {
        if (entry->extracted && QFileInfo(entry->extractedPath).isFile()) {
            result.path = entry->extractedPath;
            result.ok = true;
            return result;
        }
        const int code = ExtractEmbedded(*entry, false);
        result.ok = code == 1 || code == 2;
        result.path = result.ok ? entry->extractedPath : QString();
        result.error = result.ok ? 0 : (code == 100 ? 100 : 2);
        return result;
    }

    // Names without a folder of their own are taken relative to the
    // publication's folder.
    const QString written = platform::IsAbsolute(mapped) || publicationFolder_.isEmpty()
        ? mapped : publicationFolder_ + mapped;
    const QString native = platform::NativePath(written);
    if (LiesInside(QFileInfo(native).absolutePath(), publicationFolder_) &&
        QFileInfo(native).isFile()) {
        result.path = native;
        result.ok = true;
        return result;
    }
    const QString bareName = platform::FilePart(mapped);
    if (!publicationFolder_.isEmpty() && !bareName.isEmpty()) {
        QSet<QString> visited;
        const QString found = SearchFolder(publicationFolder_, bareName, 0, visited);
        if (!found.isEmpty()) {
            result.path = found;
            result.ok = true;
            return result;
        }
    }
    for (const QString& candidate : {native, platform::NativePath(mapped)}) {
        if (QFileInfo(candidate).isFile()) {
            result.path = candidate;
            result.ok = true;
            return result;
        }
    }
    result.error = 2;
    return result;
}

// ---- settings ---------------------------------------------------------------

void TPackage::SetPublicationFolder(const QString& folder) {
    publicationFolder_ = platform::WithTrailingSeparator(folder);
}

void TPackage::SetTemporaryFolder(const QString& folder) {
    temporaryFolder_ = platform::WithTrailingSeparator(folder);
}

void TPackage::SetExtractionFolder(const QString& folder) {
    extractionFolder_ = platform::WithTrailingSeparator(folder);
}

void TPackage::ApplyExtractionSettings(TExtractionFlags flags, const QString& extractDir) {
    extractionFlags_ = flags;
    QString chosen;
    if (flags.Has(TExtractionFlags::efWindowsFolder)) {
        chosen = windowsFolder_;
    } else if (flags.Has(TExtractionFlags::efTemporaryFolder)) {
        chosen = temporaryFolder_;
    } else if (flags.Has(TExtractionFlags::efPublicationFolder)) {
        chosen = containerPath_.isEmpty()
            ? QString() : platform::FolderPart(QFileInfo(containerPath_).absoluteFilePath());
    } else if (flags.Has(TExtractionFlags::efExtractDir) && !extractDir.isEmpty() &&
               extractDir.compare(QLatin1String("Error"), Qt::CaseInsensitive) != 0) {
        const QString written = platform::IsAbsolute(extractDir) || publicationFolder_.isEmpty()
            ? extractDir : publicationFolder_ + extractDir;
        const QString full = QFileInfo(platform::NativePath(written)).absoluteFilePath();
        chosen = QDir().mkpath(full) ? full : QString();
    }
    if (!UsableExtractionFolder(chosen))
        chosen = temporaryFolder_;
    SetExtractionFolder(chosen);
}

// ---- preview mode -----------------------------------------------------------

void TPackage::SetPreviewFiles(const QString& embeddedFilesValue) {
    ClearPreviewFiles();
    const QStringList pairs = embeddedFilesValue.split(QChar(0x00B6), Qt::SkipEmptyParts);
    for (const QString& pair : pairs) {
        const qsizetype equals = pair.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = pair.left(equals).trimmed().toCaseFolded();
        if (previewFiles_.contains(key))
            continue; // the first pairing of a name is kept
        previewFiles_.insert(key, pair.mid(equals + 1).trimmed());
        previewFileOrder_.append(key);
    }
}

QString TPackage::MapPreviewName(const QString& name) const {
    if (previewFiles_.isEmpty() ||
        platform::FolderPart(name).compare(kEmbeddedPrefix, Qt::CaseInsensitive) != 0)
        return name;
    const auto it = previewFiles_.constFind(platform::FilePart(name).toCaseFolded());
    return it == previewFiles_.constEnd() ? name : *it;
}

// ---- closing ----------------------------------------------------------------

int TPackage::Close(bool deleteExtracted) {
    int fontsRemoved = 0;
    if (deleteExtracted) {
        const bool deleteAll = extractionFlags_.Has(TExtractionFlags::efDeleteAtShutdown);
        for (TEmbeddedEntry& entry : entries_) {
            if (!entry.extracted || !entry.extractedByUs)
                continue;
            if ((entry.kind == ekFont || deleteAll) && QFile::remove(entry.extractedPath) &&
                entry.kind == ekFont)
                ++fontsRemoved;
        }
    }
    {
        QMutexLocker lock(&streamLock_);
        container_.reset();
    }
    containerSize_ = 0;
    containerPath_.clear();
    ResetDirectoryState();
    ClearPreviewFiles();
    return fontsRemoved;
}

// ---- the current package ------------------------------------------------------

TPackage& CurrentPackage() {
    static TPackage package;
    return package;
}

int OpenPackage(const QString& containerPath, const TPackageOpenOptions& options) {
    return CurrentPackage().Open(containerPath, options);
}
int ClosePackage(bool deleteExtracted) { return CurrentPackage().Close(deleteExtracted); }
TEmbeddedEntry* FindEmbedded(const QString& name) { return CurrentPackage().FindEmbedded(name); }
QString FindIncludedName(const QString& shortName) {
    return CurrentPackage().FindIncludedName(shortName);
}
std::int64_t ReadEmbeddedBytes(const QString& name, std::int64_t position, char* buffer,
                               std::int64_t count) {
    return CurrentPackage().ReadEmbeddedBytes(name, position, buffer, count);
}
bool CopyEmbeddedTo(const TEmbeddedEntry& entry, QIODevice& destination) {
    return CurrentPackage().CopyEmbeddedTo(entry, destination);
}
TEmbeddedLoad LoadEmbeddedToMemory(const QString& name) {
    return CurrentPackage().LoadEmbeddedToMemory(name);
}
int ExtractEmbedded(TEmbeddedEntry& entry, bool unique) {
    return CurrentPackage().ExtractEmbedded(entry, unique);
}
TResolvedFile ResolveFile(const QString& name) { return CurrentPackage().ResolveFile(name); }
void ForgetExtracted(const QString& name) { CurrentPackage().ForgetExtracted(name); }
bool CopyEmbeddedToFile(const QString& name, const QString& destinationPath, QString* error) {
    return CurrentPackage().CopyEmbeddedToFile(name, destinationPath, error);
}

} // namespace tomeric
