#include "package/package_writer.h"

#include "package/package_format.h"
#include "platform/cp1252.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <limits>

#include <zlib.h>

namespace tomeric {
namespace {

using namespace package_format;

void AppendStr16(QByteArray& out, const QString& text) {
    AppendStr16Bytes(out, EncodeWindows1252(text));
}

// What the packer writes into the reserved bytes: a readable mark, then zeros.
QByteArray ReservedBlock() {
    QByteArray block("Tomeric package\n");
    block.resize(kReservedSize, '\0');
    return block;
}

} // namespace

QByteArray PackageWriter::Compress(const QByteArray& bytes) {
    uLongf bound = compressBound(uLong(bytes.size()));
    QByteArray out(qsizetype(bound), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &bound,
                  reinterpret_cast<const Bytef*>(bytes.constData()), uLong(bytes.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return {};
    out.resize(qsizetype(bound));
    return out;
}

void PackageWriter::SetPreviewMode(std::uint8_t mode, std::int32_t startPage) {
    previewMode_ = mode;
    startPage_ = startPage;
}

void PackageWriter::SetPreviewTexts(const QString& debuggerFolder,
                                    const QString& userFunctionFolder,
                                    const QString& buttonLibraryFolder,
                                    const QString& iconPath) {
    debuggerFolder_ = debuggerFolder;
    userFunctionFolder_ = userFunctionFolder;
    buttonLibraryFolder_ = buttonLibraryFolder;
    iconPath_ = iconPath;
}

void PackageWriter::AddFile(const QString& name, const QByteArray& bytes, std::uint8_t kind) {
    PendingEntry pending;
    pending.entry.name = name;
    pending.entry.kind = kind;
    const bool tryCompression = compression_ != TCompression::cmNever && !bytes.isEmpty();
    const QByteArray packed = tryCompression ? Compress(bytes) : QByteArray();
    const bool usePacked = !packed.isEmpty() &&
        (compression_ == TCompression::cmAlways || packed.size() < bytes.size());
    pending.stored = usePacked ? packed : bytes;
    pending.entry.unpackedSize = usePacked ? std::int32_t(bytes.size()) : 0;
    pending.entry.storedSize = std::int32_t(pending.stored.size());
    entries_.push_back(std::move(pending));
}

void PackageWriter::AddPicture(const QString& name, const QByteArray& bytes, std::int32_t width,
                               std::int32_t height, bool hasAlpha) {
    AddFile(name, bytes, ekPicture);
    TEmbeddedEntry& entry = entries_.back().entry;
    entry.width = width;
    entry.height = height;
    entry.hasAlpha = hasAlpha;
}

void PackageWriter::AddTaggedPlugIn(const QString& name, const QByteArray& bytes,
                                    const QByteArray& trailer) {
    AddFile(name, bytes, ekPlugInTagged);
    entries_.back().trailer = trailer;
}

void PackageWriter::AddExternalPlugIn(const QString& fileName) {
    PendingEntry pending;
    pending.entry.name = fileName;
    pending.entry.kind = ekPlugIn;
    entries_.push_back(std::move(pending));
}

bool PackageWriter::AddAlias(const QString& aliasName, const QString& target) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].aliasOf >= 0 ||
            entries_[i].entry.name.compare(target, Qt::CaseInsensitive) != 0)
            continue;
        PendingEntry alias;
        alias.entry = entries_[i].entry;
        alias.entry.name = aliasName;
        alias.aliasOf = int(i);
        entries_.push_back(std::move(alias));
        return true;
    }
    return false;
}

QByteArray PackageWriter::EncodeDirectory(const std::vector<TEmbeddedEntry>& placed) const {
    QByteArray out;
    AppendInt32(out, leadingValue_);
    AppendUInt8(out, previewMode_);
    if (previewMode_ == 3)
        AppendInt32(out, startPage_);
    if (previewMode_ != 0) {
        AppendStr16(out, debuggerFolder_);
        AppendStr16(out, userFunctionFolder_);
        AppendStr16(out, buttonLibraryFolder_);
        AppendStr16(out, iconPath_);
    }
    if (!chained_) {
        const auto kind = std::uint8_t(applicationKind_);
        AppendUInt8(out, kind);
        AppendUInt8(out, singleInstance_ ? 1 : 0);
        if (kind == 0) {
            AppendUInt8(out, displayMode_.change ? 1 : 0);
            if (displayMode_.change) {
                AppendInt32(out, displayMode_.width);
                AppendInt32(out, displayMode_.height);
                AppendUInt8(out, displayMode_.bitsPerPixel);
            }
        }
        AppendStr16(out, splashImage_);
        if (kind == 1)
            AppendStr16(out, previewImage_);
    }
    for (const TEmbeddedEntry& entry : placed) {
        AppendStr16(out, entry.name);
        AppendUInt8(out, entry.kind);
        AppendInt32(out, entry.unpackedSize);
        AppendInt32(out, std::int32_t(entry.offset));
        AppendInt32(out, entry.storedSize);
        if (entry.kind == ekPicture) {
            AppendInt32(out, entry.width);
            AppendInt32(out, entry.height);
            AppendUInt8(out, entry.hasAlpha ? 1 : 0);
        }
    }
    return out;
}

QByteArray PackageWriter::Build(std::int64_t baseOffset) const {
    QByteArray out;
    std::vector<TEmbeddedEntry> placed;
    placed.reserve(entries_.size());
    for (const PendingEntry& pending : entries_) {
        TEmbeddedEntry entry = pending.entry;
        if (pending.aliasOf >= 0) {
            entry.offset = placed[std::size_t(pending.aliasOf)].offset;
        } else if (!pending.stored.isEmpty() || entry.kind != ekPlugIn) {
            entry.offset = baseOffset + out.size();
            out.append(pending.stored);
            if (entry.kind == ekPlugInTagged)
                AppendStr16Bytes(out, pending.trailer);
        }
        placed.push_back(entry);
    }
    const std::int64_t packageStart = baseOffset + out.size();
    const QByteArray directory = EncodeDirectory(placed);
    out.append(ReservedBlock());
    AppendInt32(out, std::int32_t(directory.size()));
    out.append(Compress(directory));
    AppendInt32(out, std::int32_t(packageStart));
    return out;
}

bool PackageWriter::WriteTo(const QString& path, const QString& stubPath, QString* error) const {
    auto fail = [error](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    QByteArray stub;
    if (!stubPath.isEmpty()) {
        QFile stubFile(stubPath);
        if (!stubFile.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1: %2").arg(stubPath, stubFile.errorString()));
        stub = stubFile.readAll();
    }
    const QByteArray package = Build(stub.size());
    if (std::int64_t(stub.size()) + package.size() > std::numeric_limits<std::int32_t>::max())
        return fail(QStringLiteral("the container would exceed 2 GiB, which packages cannot address"));

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("cannot write %1: %2").arg(path, out.errorString()));
    out.write(stub);
    out.write(package);
    if (!out.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(path, out.errorString()));
    if (!stubPath.isEmpty())
        QFile::setPermissions(path, QFileInfo(stubPath).permissions());
    return true;
}

} // namespace tomeric
