#pragma once
// The package: the block appended to a container file that holds the
// publication's start-up settings and its embedded files, and the
// embedded-file service every other area uses to reach those files.
//
// Container layout (little-endian): the last four bytes give P, the offset of
// the package block; P+213 holds D, the size of the directory once inflated;
// the zlib-compressed directory follows at P+217. Entry data lies anywhere in
// the file at the absolute offset its entry names.
//
// A TPackage is an ordinary object (tests and tools open as many as they
// like); the player's one current package is CurrentPackage(), and the free
// functions at the end of this header work on it.

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QIODevice>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace tomeric {

// Result codes of OpenPackage / ExtractEmbedded / ResolveFile.
inline constexpr int kPackageOk = 0;
inline constexpr int kPackageFailure = 100;

// The literal prefix of files the author embedded explicitly.
inline const QString kEmbeddedPrefix = QStringLiteral("embedded:\\\\\\");
// The publication text's entry name.
inline const QString kPublicationEntryName = QStringLiteral("RUNTIME.PUB");

// Kinds of embedded entries (the kind byte of a directory entry).
enum TEmbeddedKind : std::uint8_t {
    ekOrdinary = 0,
    ekPicture = 3,       // width, height and alpha follow in the entry
    ekFont = 6,          // extracted under a unique name and registered at start-up
    ekPlugIn = 10,       // plug-in library
    ekPlugInSupport = 11,// file a plug-in needs next to it
    ekPlugInTagged = 16, // plug-in library followed in the container by an opaque str16
};

enum class TApplicationKind : std::uint8_t {
    akWindow = 0,
    akScreenSaver = 1,
    akTray = 2,
    akPackage = 3, // a ".pkg" container opened by running another publication
};

// One directory entry. Lookups go through an index of the names: change a
// name only through TPackage::RenameEntry.
struct TEmbeddedEntry {
    QString name;
    std::uint8_t kind = ekOrdinary;
    std::int32_t unpackedSize = 0; // 0 or negative: stored uncompressed
    std::int64_t offset = 0;       // absolute offset in the container
    std::int32_t storedSize = 0;
    std::int32_t width = 0, height = 0; // pictures only
    bool hasAlpha = false;              // pictures only
    bool extracted = false;             // written to extractedPath
    QString extractedPath;
    // True when the player wrote the extracted file itself; a file that was
    // already there is used but never deleted.
    bool extractedByUs = false;

    bool IsCompressed() const { return unpackedSize > 0; }
    // The size the data has once read: unpacked size or stored size.
    std::int64_t DataSize() const { return IsCompressed() ? unpackedSize : storedSize; }
};

// Extraction flags (EXTRACTOP, one byte). The first of 0x02, 0x04, 0x01,
// 0x08 that is set chooses the folder.
struct TExtractionFlags {
    static constexpr std::uint8_t efPublicationFolder = 0x01;
    static constexpr std::uint8_t efWindowsFolder = 0x02;
    static constexpr std::uint8_t efTemporaryFolder = 0x04;
    static constexpr std::uint8_t efExtractDir = 0x08;
    static constexpr std::uint8_t efHidden = 0x40;
    static constexpr std::uint8_t efDeleteAtShutdown = 0x80;
    static constexpr std::uint8_t kDefault = 0x84;

    std::uint8_t bits = kDefault;
    bool Has(std::uint8_t flag) const { return (bits & flag) != 0; }
};

struct TPackageOpenOptions {
    // A ".pkg" container opened by chaining: its directory has no
    // application kind, single-instance, display-mode, splash or preview
    // image items; the kind is akPackage.
    bool chainedPackage = false;
};

struct TEmbeddedLoad {
    int code = 1; // 0 loaded, 1 not embedded, 2 error
    QByteArray data;
};

struct TResolvedFile {
    QString path;
    bool ok = false;
    int error = 0; // 2 when the file was not found
};

struct TDisplayModeRequest {
    bool change = false;
    std::int32_t width = 0, height = 0;
    std::uint8_t bitsPerPixel = 0;
};

class TPackage {
public:
    TPackage();
    ~TPackage();
    TPackage(const TPackage&) = delete;
    TPackage& operator=(const TPackage&) = delete;

    // ---- opening and closing ----------------------------------------------
    // 0 on success, 100 on any failure (missing file, bad layout, corrupt
    // directory). Closes any package opened before. Sets the publication
    // folder to the container's folder.
    int Open(const QString& containerPath, const TPackageOpenOptions& options = {});
    // Closes the container stream; with deleteExtracted, deletes extracted
    // fonts always and other extracted files when flag 0x80 is set (only
    // files the player wrote itself). Forgets the entries. Returns the number
    // of font files removed (the system is then told that fonts changed).
    int Close(bool deleteExtracted);
    bool IsOpen() const { return container_ != nullptr; }

    // ---- start-up state from the directory --------------------------------
    const QString& ContainerPath() const { return containerPath_; }
    int PreviewMode() const { return previewMode_; } // 0, 1 or 2 (3 counts as 2)
    bool IsPreview() const { return previewMode_ != 0; }
    std::int32_t StartPage() const { return startPage_; }
    const QString& DebuggerFolder() const { return debuggerFolder_; }
    const QString& UserFunctionFolder() const { return userFunctionFolder_; }
    const QString& ButtonLibraryFolder() const { return buttonLibraryFolder_; }
    const QString& IconPath() const { return iconPath_; }
    TApplicationKind ApplicationKind() const { return applicationKind_; }
    // "A", "S", "T" or "W" for kinds 0, 1, 2, 3.
    QString ApplicationKindLetter() const;
    bool SingleInstance() const { return singleInstance_; }
    const TDisplayModeRequest& DisplayMode() const { return displayMode_; }
    const QString& SplashImage() const { return splashImage_; }
    const QString& PreviewImage() const { return previewImage_; }
    void ForgetImages() { splashImage_.clear(); previewImage_.clear(); }

    // ---- entries ----------------------------------------------------------
    // Head first: the reverse of the directory order. Flags and paths may be
    // changed through this; names only through RenameEntry.
    std::vector<TEmbeddedEntry>& Entries() { return entries_; }
    void RenameEntry(TEmbeddedEntry& entry, const QString& newName);
    const std::vector<TEmbeddedEntry>& Entries() const { return entries_; }

    // Exact name (ignoring case), then with every "/" turned into "\".
    // "RUNTIME.PUB" is not found once the publication has been read.
    TEmbeddedEntry* FindEmbedded(const QString& name);
    const TEmbeddedEntry* FindEmbedded(const QString& name) const;
    // Maps a short name to an entry name: the first entry (from the head)
    // named ":" + shortName or whose file-name part is shortName; otherwise
    // the short name itself.
    QString FindIncludedName(const QString& shortName) const;

    // Bytes of the *stored* data from `position`: count read, 0 past the end,
    // -2 when not embedded, -100 on a read error.
    std::int64_t ReadEmbeddedBytes(const QString& name, std::int64_t position, char* buffer,
                                   std::int64_t count);
    // True when exactly the expected number of bytes (stored size, or
    // unpacked size through zlib) was written to `destination`.
    bool CopyEmbeddedTo(const TEmbeddedEntry& entry, QIODevice& destination);
    TEmbeddedLoad LoadEmbeddedToMemory(const QString& name);

    // 0 failed (data unreadable), 1 written, 2 already present (an existing
    // file of that name is used unchanged), 100 write error (the partial file
    // is deleted). With `unique`, a fresh name with the entry's extension.
    int ExtractEmbedded(TEmbeddedEntry& entry, bool unique);
    // Name → path on disk (see package.cpp for the search order).
    TResolvedFile ResolveFile(const QString& name);
    // Deletes the extracted copy (when the player wrote it) and clears the flag.
    void ForgetExtracted(const QString& name);
    // True on success; otherwise *error gets the message to report.
    bool CopyEmbeddedToFile(const QString& name, const QString& destinationPath,
                            QString* error = nullptr);

    // ---- start-up preparation ---------------------------------------------
    // Extracts every font entry (kind 6) under a unique name and returns the
    // paths, for registration with the system.
    QStringList ExtractFonts();
    // Makes the plug-in entries available as files: support files (kind 11,
    // stored size > 0) are extracted under their own names first; then each
    // library (kinds 10 and 16) is the entry name itself in preview mode, a
    // file of that name beside the container when its stored size is 0, and
    // otherwise a copy extracted under a unique name, whose path becomes the
    // entry's name. Returns the library paths in entry-list order; libraries
    // that could not be made available are left out.
    QStringList PreparePlugInFiles();

    // ---- settings from the publication and the shell -----------------------
    // Once set, "RUNTIME.PUB" is hidden from every lookup.
    void SetPublicationRead(bool read) { publicationRead_ = read; }
    bool PublicationRead() const { return publicationRead_; }

    // The folder file names are searched in (default: the container's folder).
    void SetPublicationFolder(const QString& folder);
    const QString& PublicationFolder() const { return publicationFolder_; }
    // The system temporary folder, with trailing separator.
    void SetTemporaryFolder(const QString& folder);
    const QString& TemporaryFolder() const { return temporaryFolder_; }
    // The folder [WindowsDir] stands for (flag 0x02); empty: temporary folder.
    void SetWindowsFolder(const QString& folder) { windowsFolder_ = folder; }

    // EXTRACTOP / EXTRACTDIR: chooses the extraction folder, falling back to
    // the temporary folder when the choice is empty or unusable.
    void ApplyExtractionSettings(TExtractionFlags flags, const QString& extractDir);
    TExtractionFlags ExtractionFlags() const { return extractionFlags_; }
    const QString& ExtractionFolder() const { return extractionFolder_; }
    void SetExtractionFolder(const QString& folder);

    // Preview mode: EMBEDDEDFILES= value (decoded; pairs name=path separated
    // by U+00B6). A name whose folder part is exactly "embedded:\\\" maps to
    // the path paired with its file-name part.
    void SetPreviewFiles(const QString& embeddedFilesValue);
    void ClearPreviewFiles() { previewFiles_.clear(); previewFileOrder_.clear(); }
    // The mapped path, or the name unchanged when it has no pairing.
    QString MapPreviewName(const QString& name) const;

private:
    enum class CopyResult { crOk, crReadError, crWriteError };
    bool ReadDirectory(const QByteArray& directory, const TPackageOpenOptions& options);
    bool HiddenEntry(const TEmbeddedEntry& entry) const;
    const TEmbeddedEntry* FindExact(const QString& name) const;
    void RebuildIndex();
    bool StoredDataInBounds(const TEmbeddedEntry& entry) const;
    bool ReadStored(std::int64_t offset, char* buffer, std::int64_t count);
    CopyResult CopyData(const TEmbeddedEntry& entry, QIODevice& destination);
    void ResetDirectoryState();

    std::unique_ptr<QFile> container_;
    QMutex streamLock_; // the one container stream serves every reader
    std::int64_t containerSize_ = 0;
    QString containerPath_;

    int previewMode_ = 0;
    std::int32_t startPage_ = 1;
    QString debuggerFolder_, userFunctionFolder_, buttonLibraryFolder_, iconPath_;
    TApplicationKind applicationKind_ = TApplicationKind::akWindow;
    bool singleInstance_ = false;
    TDisplayModeRequest displayMode_;
    QString splashImage_, previewImage_;

    std::vector<TEmbeddedEntry> entries_;
    // Case-folded name, and case-folded file-name part, → indices, head first.
    QHash<QString, std::vector<std::size_t>> byName_;
    QHash<QString, std::vector<std::size_t>> byFilePart_;

    bool publicationRead_ = false;
    QString publicationFolder_;
    QString temporaryFolder_;
    QString windowsFolder_;
    TExtractionFlags extractionFlags_;
    QString extractionFolder_;
    QHash<QString, QString> previewFiles_; // case-folded file name → path
    QStringList previewFileOrder_;
};

// ---- the player's current package -----------------------------------------
TPackage& CurrentPackage();

int OpenPackage(const QString& containerPath, const TPackageOpenOptions& options = {});
int ClosePackage(bool deleteExtracted);
TEmbeddedEntry* FindEmbedded(const QString& name);
QString FindIncludedName(const QString& shortName);
std::int64_t ReadEmbeddedBytes(const QString& name, std::int64_t position, char* buffer,
                               std::int64_t count);
bool CopyEmbeddedTo(const TEmbeddedEntry& entry, QIODevice& destination);
TEmbeddedLoad LoadEmbeddedToMemory(const QString& name);
int ExtractEmbedded(TEmbeddedEntry& entry, bool unique);
TResolvedFile ResolveFile(const QString& name);
void ForgetExtracted(const QString& name);
bool CopyEmbeddedToFile(const QString& name, const QString& destinationPath,
                        QString* error = nullptr);

} // namespace tomeric
