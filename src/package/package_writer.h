#pragma once
// Builds a package: the start-up settings and the embedded files, written
// after a copy of a player executable (a compiled publication) or alone.
//
//   PackageWriter w;
//   w.SetApplicationKind(TApplicationKind::akWindow);
//   w.AddFile("RUNTIME.PUB", text);
//   w.AddPicture("embedded:\\\\\\logo.png", png, 64, 32, true);
//   QString error;
//   if (!w.WriteTo(out, stubPath, &error)) ...
//
// Entries are written in the order they are added (the reader keeps them
// head-first, so a later entry of the same name wins a lookup).

#include "package/package.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace tomeric {

enum class TCompression {
    cmAuto,   // zlib unless that does not make the data smaller
    cmNever,  // stored as it is (unpacked size 0)
    cmAlways, // zlib even when it grows
};

class PackageWriter {
public:
    // Preview mode 0..3; mode 3 also writes the start page.
    void SetPreviewMode(std::uint8_t mode, std::int32_t startPage = 1);
    void SetPreviewTexts(const QString& debuggerFolder, const QString& userFunctionFolder,
                         const QString& buttonLibraryFolder, const QString& iconPath);
    void SetApplicationKind(TApplicationKind kind) { applicationKind_ = kind; }
    void SetSingleInstance(bool single) { singleInstance_ = single; }
    void SetDisplayMode(const TDisplayModeRequest& mode) { displayMode_ = mode; }
    void SetSplashImage(const QString& name) { splashImage_ = name; }
    void SetPreviewImage(const QString& name) { previewImage_ = name; }
    // A ".pkg" package for chaining: items application kind .. preview image
    // are left out of the directory.
    void SetChainedPackage(bool chained) { chained_ = chained; }
    // The first int32 of the directory (the reader ignores it).
    void SetLeadingValue(std::int32_t value) { leadingValue_ = value; }
    void SetCompression(TCompression compression) { compression_ = compression; }

    // Adds an entry; its data follows the last added entry's.
    void AddFile(const QString& name, const QByteArray& bytes,
                 std::uint8_t kind = ekOrdinary);
    void AddPicture(const QString& name, const QByteArray& bytes, std::int32_t width,
                    std::int32_t height, bool hasAlpha);
    // A kind 16 plug-in: `trailer` is the str16 stored after its data.
    void AddTaggedPlugIn(const QString& name, const QByteArray& bytes,
                         const QByteArray& trailer = {});
    // A kind 10 entry with stored size 0: names a file next to the container.
    void AddExternalPlugIn(const QString& fileName);
    // A second directory entry sharing the data of the entry named `target`
    // (added before). False when there is no such entry.
    bool AddAlias(const QString& aliasName, const QString& target);
    std::size_t EntryCount() const { return entries_.size(); }

    // The package bytes for a package that starts at `baseOffset` in its
    // container (the stub's size), ending with the four bytes of P.
    QByteArray Build(std::int64_t baseOffset) const;
    // Writes stub + package to `path` (through a temporary, then renamed).
    // Without a stub the package is written alone. With a stub the result
    // keeps the stub's permissions (an executable stays executable).
    bool WriteTo(const QString& path, const QString& stubPath = {},
                 QString* error = nullptr) const;

    // The zlib stream for `bytes` (RFC 1950), as stored in packages.
    static QByteArray Compress(const QByteArray& bytes);

private:
    struct PendingEntry {
        TEmbeddedEntry entry;
        QByteArray stored;   // the bytes as written (maybe compressed)
        QByteArray trailer;  // kind 16 only
        int aliasOf = -1;    // index of the entry whose data this one shares
    };
    QByteArray EncodeDirectory(const std::vector<TEmbeddedEntry>& placed) const;

    std::uint8_t previewMode_ = 0;
    std::int32_t startPage_ = 1;
    QString debuggerFolder_, userFunctionFolder_, buttonLibraryFolder_, iconPath_;
    TApplicationKind applicationKind_ = TApplicationKind::akWindow;
    bool singleInstance_ = false;
    TDisplayModeRequest displayMode_;
    QString splashImage_, previewImage_;
    bool chained_ = false;
    std::int32_t leadingValue_ = 0;
    TCompression compression_ = TCompression::cmAuto;
    std::vector<PendingEntry> entries_;
};

} // namespace tomeric
