// Opening a container: locating the package block, inflating the directory
// and reading the start-up settings and the entry list. Every length and
// offset read from the file is checked against the file, so a truncated or
// hostile container fails cleanly instead of reading out of bounds.

#include "package/package.h"

#include "package/package_format.h"
#include "platform/cp1252.h"
#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>

#include <zlib.h>

namespace tomeric {
namespace {

// Sequential, bounds-checked reading of the inflated directory. Any read
// past the end marks the reader failed and yields zero values.
class DirectoryCursor {
public:
    explicit DirectoryCursor(const QByteArray& bytes) : bytes_(bytes) {}

    bool Failed() const { return failed_; }
    bool AtEnd() const { return position_ >= bytes_.size(); }

    std::uint8_t U8() {
        const char* p = Take(1);
        return p ? std::uint8_t(*p) : 0;
    }
    std::int32_t I32() {
        const char* p = Take(4);
        return p ? package_format::ReadInt32(p) : 0;
    }
    QString Str16() {
        const char* p = Take(2);
        if (!p)
            return {};
        const std::uint16_t length = package_format::ReadUInt16(p);
        const char* text = Take(length);
        return text ? DecodeWindows1252(QByteArrayView(text, length)) : QString();
    }

private:
    const char* Take(qsizetype count) {
        if (failed_ || count > bytes_.size() - position_) {
            failed_ = true;
            return nullptr;
        }
        const char* p = bytes_.constData() + position_;
        position_ += count;
        return p;
    }

    const QByteArray& bytes_;
    qsizetype position_ = 0;
    bool failed_ = false;
};

// Inflates exactly `wanted` bytes from the zlib stream that starts at
// `start` in the file. Empty on any failure (short stream, corrupt data).
QByteArray InflateDirectory(QFile& file, std::int64_t start, std::int64_t end,
                            std::int64_t wanted) {
    if (!file.seek(start))
        return {};
    QByteArray output(qsizetype(wanted), Qt::Uninitialized);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return {};
    QByteArray input;
    std::int64_t remainingInput = end - start;
    stream.next_out = reinterpret_cast<Bytef*>(output.data());
    stream.avail_out = uInt(wanted);
    int status = Z_OK;
    while (stream.avail_out > 0 && status == Z_OK) {
        if (stream.avail_in == 0) {
            if (remainingInput <= 0)
                break;
            input = file.read(std::min<std::int64_t>(remainingInput, 64 * 1024));
            if (input.isEmpty())
                break;
            remainingInput -= input.size();
            stream.next_in = reinterpret_cast<Bytef*>(input.data());
            stream.avail_in = uInt(input.size());
        }
        status = inflate(&stream, Z_NO_FLUSH);
    }
    const bool complete = stream.avail_out == 0;
    inflateEnd(&stream);
    return complete ? output : QByteArray();
}

} // namespace

TPackage::TPackage() {
    temporaryFolder_ = platform::WithTrailingSeparator(QDir::tempPath());
    extractionFolder_ = temporaryFolder_;
}

TPackage::~TPackage() { Close(false); }

void TPackage::ResetDirectoryState() {
    previewMode_ = 0;
    startPage_ = 1;
    debuggerFolder_.clear();
    userFunctionFolder_.clear();
    buttonLibraryFolder_.clear();
    iconPath_.clear();
    applicationKind_ = TApplicationKind::akWindow;
    singleInstance_ = false;
    displayMode_ = {};
    splashImage_.clear();
    previewImage_.clear();
    entries_.clear();
    byName_.clear();
    byFilePart_.clear();
    publicationRead_ = false;
}

int TPackage::Open(const QString& containerPath, const TPackageOpenOptions& options) {
    Close(false);
    const QString nativePath = platform::NativePath(containerPath);
    auto file = std::make_unique<QFile>(nativePath);
    if (!file->open(QIODevice::ReadOnly) || QFileInfo(nativePath).isDir())
        return kPackageFailure;
    const std::int64_t size = file->size();
    if (size < 4 || !file->seek(size - 4))
        return kPackageFailure;
    char tail[4];
    if (file->read(tail, 4) != 4)
        return kPackageFailure;
    const std::int64_t packageStart = package_format::ReadInt32(tail);
    const std::int64_t directoryStart = packageStart + package_format::kDirectoryOffset;
    if (packageStart < 0 || directoryStart > size)
        return kPackageFailure;

    char sizeField[4];
    if (!file->seek(packageStart + package_format::kReservedSize) || file->read(sizeField, 4) != 4)
        return kPackageFailure;
    const std::int64_t directorySize = package_format::ReadInt32(sizeField);
    if (directorySize <= 0 ||
        directorySize > package_format::MaxInflatedSize(size - directoryStart))
        return kPackageFailure;

    const QByteArray directory = InflateDirectory(*file, directoryStart, size, directorySize);
    if (directory.isEmpty())
        return kPackageFailure;

    ResetDirectoryState();
    containerSize_ = size;
    if (!ReadDirectory(directory, options)) {
        ResetDirectoryState();
        return kPackageFailure;
    }
    container_ = std::move(file);
    containerPath_ = nativePath;
    publicationFolder_ = platform::FolderPart(QFileInfo(nativePath).absoluteFilePath());
    return kPackageOk;
}

bool TPackage::ReadDirectory(const QByteArray& directory, const TPackageOpenOptions& options) {
    DirectoryCursor in(directory);
    in.I32(); // not interpreted
    const std::uint8_t preview = in.U8();
    previewMode_ = preview;
    if (preview == 3) {
        startPage_ = in.I32();
        previewMode_ = 2;
    }
    if (preview != 0) {
        debuggerFolder_ = in.Str16();
        userFunctionFolder_ = in.Str16();
        buttonLibraryFolder_ = in.Str16();
        iconPath_ = in.Str16();
    }
    if (options.chainedPackage) {
        applicationKind_ = TApplicationKind::akPackage;
    } else {
        const std::uint8_t kind = in.U8();
        applicationKind_ = kind <= 3 ? TApplicationKind(kind) : TApplicationKind::akWindow;
        singleInstance_ = in.U8() == 1;
        if (kind == 0) {
            displayMode_.change = in.U8() == 1;
            if (displayMode_.change) {
                displayMode_.width = in.I32();
                displayMode_.height = in.I32();
                displayMode_.bitsPerPixel = in.U8();
            }
        }
        splashImage_ = in.Str16();
        if (kind == 1)
            previewImage_ = in.Str16();
    }
    if (in.Failed())
        return false;

    // Entries until the directory is used up; each new one goes to the head.
    std::vector<TEmbeddedEntry> inOrder;
    while (!in.AtEnd()) {
        TEmbeddedEntry entry;
        entry.name = in.Str16();
        entry.kind = in.U8();
        entry.unpackedSize = in.I32();
        entry.offset = in.I32();
        entry.storedSize = in.I32();
        if (entry.kind == ekPicture) {
            entry.width = in.I32();
            entry.height = in.I32();
            entry.hasAlpha = in.U8() == 1;
        }
        if (in.Failed())
            return false;
        inOrder.push_back(std::move(entry));
    }
    entries_.assign(std::make_move_iterator(inOrder.rbegin()),
                    std::make_move_iterator(inOrder.rend()));
    RebuildIndex();
    return true;
}

QString TPackage::ApplicationKindLetter() const {
    switch (applicationKind_) {
    case TApplicationKind::akWindow: return QStringLiteral("A");
    case TApplicationKind::akScreenSaver: return QStringLiteral("S");
    case TApplicationKind::akTray: return QStringLiteral("T");
    case TApplicationKind::akPackage: return QStringLiteral("W");
    }
    return QStringLiteral("A");
}

// ---- lookup ----------------------------------------------------------------

bool TPackage::HiddenEntry(const TEmbeddedEntry& entry) const {
    return publicationRead_ &&
           entry.name.compare(kPublicationEntryName, Qt::CaseInsensitive) == 0;
}

void TPackage::RebuildIndex() {
    byName_.clear();
    byFilePart_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        byName_[entries_[i].name.toCaseFolded()].push_back(i);
        byFilePart_[platform::FilePart(entries_[i].name).toCaseFolded()].push_back(i);
    }
}

void TPackage::RenameEntry(TEmbeddedEntry& entry, const QString& newName) {
    entry.name = newName;
    RebuildIndex();
}

const TEmbeddedEntry* TPackage::FindExact(const QString& name) const {
    const auto it = byName_.constFind(name.toCaseFolded());
    if (it == byName_.constEnd())
        return nullptr;
    const TEmbeddedEntry& entry = entries_[it->front()];
    return HiddenEntry(entry) ? nullptr : &entry;
}

const TEmbeddedEntry* TPackage::FindEmbedded(const QString& name) const {
    if (name.isEmpty())
        return nullptr;
    if (const TEmbeddedEntry* entry = FindExact(name))
        return entry;
    if (name.contains(u'/')) {
        QString backslashed = name;
        backslashed.replace(u'/', u'\\');
        return FindExact(backslashed);
    }
    return nullptr;
}

TEmbeddedEntry* TPackage::FindEmbedded(const QString& name) {
    return const_cast<TEmbeddedEntry*>(std::as_const(*this).FindEmbedded(name));
}

QString TPackage::FindIncludedName(const QString& shortName) const {
    // The first entry from the head named ":" + shortName or whose file-name
    // part is shortName.
    std::size_t best = entries_.size();
    auto consider = [&](const QHash<QString, std::vector<std::size_t>>& index,
                        const QString& key) {
        const auto it = index.constFind(key);
        if (it == index.constEnd())
            return;
        for (std::size_t i : *it)
            if (!HiddenEntry(entries_[i])) {
                best = std::min(best, i);
                return;
            }
    };
    consider(byName_, (u':' + shortName).toCaseFolded());
    consider(byFilePart_, shortName.toCaseFolded());
    return best < entries_.size() ? entries_[best].name : shortName;
}

} // namespace tomeric
