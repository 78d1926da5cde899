#include "imaging/picture_cache.h"

#include "package/package.h"
#include "platform/paths.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <new>

namespace tomeric {
namespace {

constexpr std::uint16_t kCartoonMagic = 0x4E53; // the bytes "S", "N"

std::uint32_t LE(QByteArrayView bytes, qsizetype at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | std::uint8_t(bytes[at + i]);
    return value;
}

QByteArray ReadFileFrom(const QString& fileName, qint64 offset, qint64 maxBytes) {
    QFile file(platform::NativePath(fileName));
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return {};
    // Only what the file holds: asking for the whole limit reserves it.
    return file.read(std::min(maxBytes, std::max<qint64>(0, file.size() - offset)));
}

TPictureDecode DecodeFrom(const QByteArray& bytes, qsizetype offset) {
    if (offset >= bytes.size()) {
        TPictureDecode failure;
        failure.error = TPictureError::peCorrupt;
        return failure;
    }
    return DecodePictureBytes(bytes.sliced(offset));
}

} // namespace

std::optional<TCartoonHeader> ReadCartoonHeader(QByteArrayView bytes) {
    if (bytes.size() < kCartoonHeaderSize || LE(bytes, 0, 2) != kCartoonMagic)
        return std::nullopt;
    TCartoonHeader header;
    header.imageOffset = LE(bytes, 2, 4);
    header.frameCount = int(LE(bytes, 10, 2));
    return header;
}

std::int64_t PictureFileAge(const QString& fileName) {
    const QFileInfo info(platform::NativePath(fileName));
    if (!info.exists())
        return 0;
    const std::int64_t age = info.lastModified().toMSecsSinceEpoch();
    return age != 0 ? age : 1; // 0 means "not from a file"
}

TPictureCache::TPictureCache(TPackage* package) : package_(package) {}

TPackage& TPictureCache::Package() const { return package_ ? *package_ : CurrentPackage(); }

void TPictureCache::SetCapacity(int n) {
    if (n == capacity_)
        return;
    Clear();
    capacity_ = std::clamp(n, kMinCapacity, kMaxCapacity);
}

void TPictureCache::Clear() { entries_.clear(); }

QStringList TPictureCache::Names() const {
    QStringList names;
    for (const CacheRec& entry : entries_)
        names.append(entry.name);
    return names;
}

bool TPictureCache::IsBorrowed(const QString& name) const {
    return std::any_of(entries_.begin(), entries_.end(), [&](const CacheRec& entry) {
        return entry.borrowed && entry.name.compare(name, Qt::CaseInsensitive) == 0;
    });
}

TPictureCache::Entries::iterator TPictureCache::Find(const QString& name) {
    auto it = entries_.begin();
    while (it != entries_.end()) {
        if (it->name.compare(name, Qt::CaseInsensitive) != 0) {
            ++it;
            continue;
        }
        // A file that changed on disk since it was decoded is read again.
        if (it->fileAge != 0 && PictureFileAge(it->name) != it->fileAge) {
            it = entries_.erase(it);
            continue;
        }
        return it;
    }
    return entries_.end();
}

bool TPictureCache::EvictOne() {
    for (auto it = entries_.rbegin(); it != entries_.rend(); ++it) {
        if (!it->borrowed) {
            entries_.erase(std::next(it).base());
            return true;
        }
    }
    return false;
}

TPictureCache::Decoder TPictureCache::DefaultDecoder(const QString& name) {
    return [this, name](std::int64_t& fileAge) {
        if (Package().FindEmbedded(name)) {
            TPictureDecode decode;
            if (LoadEmbeddedPicture(Package(), name, decode.picture) != 0)
                decode.error = TPictureError::peCorrupt;
            return decode;
        }
        fileAge = PictureFileAge(name);
        return DecodePictureFile(name);
    };
}

TPictureCache::Entries::iterator TPictureCache::Insert(const QString& name,
                                                       const Decoder& decoder) {
    if (Count() >= capacity_)
        EvictOne(); // when everything is borrowed the cache grows past its capacity
    for (;;) {
        try {
            std::int64_t fileAge = 0;
            TPictureDecode decode = decoder(fileAge);
            if (!decode.Ok())
                return entries_.end();
            CacheRec entry;
            entry.name = name;
            entry.fileAge = fileAge;
            entry.hasAlpha = decode.picture.hasAlpha;
            entry.width = decode.picture.Width();
            entry.height = decode.picture.Height();
            entry.view = std::make_shared<const TPicture>(std::move(decode.picture));
            entries_.push_front(std::move(entry));
            return entries_.begin();
        } catch (const std::bad_alloc&) {
            if (!EvictOne())
                return entries_.end();
        }
    }
}

TPictureView TPictureCache::ViewAtSize(CacheRec& entry, int width, int height) {
    const TPicture& own = *entry.view;
    const QSize size(width, height);
    if (!own.IsVector() || size == own.image.size() || size.isEmpty())
        return entry.view;
    if (!entry.sized || entry.sized->image.size() != size) {
        TPicture drawn = own;
        drawn.image = DrawnAtSize(own, size);
        if (drawn.image.isNull())
            return entry.view;
        entry.sized = std::make_shared<const TPicture>(std::move(drawn));
    }
    return entry.sized;
}

std::optional<QRegion> TPictureCache::DrawnRegionFor(CacheRec& entry, std::uint32_t colour, int width,
                                                     int height) {
    const TPictureView view = ViewAtSize(entry, width, height);
    if (colour == kBottomLeftColour) {
        // An undrawn corner asks for nothing beyond what was drawn.
        const QImage& image = view->image;
        const bool drawn = !image.isNull() && qAlpha(image.pixel(0, image.height() - 1)) != 0;
        colour = drawn ? BottomLeftColour(image) : kNoRegionColour;
    }
    const bool sameRequest = entry.region && entry.regionColour == colour && entry.width == width
        && entry.height == height;
    if (!sameRequest) {
        entry.region = BuildDrawnRegion(view->image, colour);
        entry.regionColour = colour;
        entry.width = width;
        entry.height = height;
    }
    return entry.region;
}

std::optional<QRegion> TPictureCache::RegionFor(CacheRec& entry, std::uint32_t colour, int width,
                                                int height) {
    const TPicture& picture = *entry.view;
    if (picture.IsVector())
        return colour == kNoRegionColour ? std::nullopt : DrawnRegionFor(entry, colour, width, height);
    if (colour == kBottomLeftColour)
        colour = BottomLeftColour(picture.image);
    const bool sameRequest = entry.regionColour == colour && entry.width == width
        && entry.height == height;
    if ((entry.borrowed && entry.region) || colour == kNoRegionColour || entry.hasAlpha
        || picture.bad)
        return entry.region && sameRequest ? entry.region : std::nullopt;

    const bool otherSize = entry.width != width || entry.height != height;
    if (entry.region && (otherSize || entry.regionColour != colour))
        entry.region.reset();
    if (!entry.region) {
        const bool ownSize = width == picture.Width() && height == picture.Height();
        if (ownSize && !picture.IsMonochrome()) {
            entry.region = BuildOpaqueRegion(picture.image, colour);
        } else {
            // Nearest-neighbour scaling keeps colours exact, so the
            // transparent colour still matches after resizing.
            const QImage resized = picture.image.convertToFormat(QImage::Format_RGB32)
                                       .scaled(width, height, Qt::IgnoreAspectRatio,
                                               Qt::FastTransformation);
            entry.region = BuildOpaqueRegion(resized, colour);
        }
        entry.width = width;
        entry.height = height;
        entry.regionColour = colour;
    }
    return entry.region;
}

TCachedPicture TPictureCache::GetWith(const QString& name, const Decoder& decoder,
                                      std::uint32_t transparentColour, int width, int height,
                                      bool borrow) {
    if (name.isEmpty())
        return {};
    auto it = Find(name);
    if (it == entries_.end()) {
        it = Insert(name, decoder);
        if (it == entries_.end())
            return {};
    } else if (it != entries_.begin()) {
        entries_.splice(entries_.begin(), entries_, it);
    }
    CacheRec& entry = *it;
    if (width < 0)
        width = entry.view->Width();
    if (height < 0)
        height = entry.view->Height();
    TCachedPicture result;
    result.region = RegionFor(entry, transparentColour, width, height);
    if (!entry.borrowed && borrow)
        entry.borrowed = true;
    result.view = ViewAtSize(entry, width, height);
    return result;
}

TCachedPicture TPictureCache::GetPicture(const QString& name, std::uint32_t transparentColour,
                                         int width, int height, bool borrow) {
    return GetWith(name, DefaultDecoder(name), transparentColour, width, height, borrow);
}

TCachedPicture TPictureCache::GetPictureFromStream(const QString& name, QIODevice& stream,
                                                   std::uint32_t transparentColour, int width,
                                                   int height, bool borrow) {
    const Decoder fromStream = [&stream](std::int64_t&) { return DecodePictureStream(stream); };
    return GetWith(name, fromStream, transparentColour, width, height, borrow);
}

void TPictureCache::Release(const TPictureView& view) {
    if (!view)
        return;
    for (CacheRec& entry : entries_) {
        // A metafile's drawings at other sizes all share its records.
        const bool same = entry.view == view || entry.sized == view
            || (view->metafile && view->metafile == entry.view->metafile);
        if (same) {
            entry.borrowed = false;
            return;
        }
    }
}

std::optional<TPictureInfo> TPictureCache::PictureInfo(const QString& name) {
    if (name.isEmpty())
        return std::nullopt;
    if (const TEmbeddedEntry* entry = Package().FindEmbedded(name)) {
        if (entry->kind == ekPicture && entry->width > 0 && entry->height > 0)
            return TPictureInfo{entry->width, entry->height, entry->hasAlpha};
        // Other entries carry no size: read the picture's own header.
        const TEmbeddedLoad load = Package().LoadEmbeddedToMemory(name);
        return load.code == 0 ? QueryPictureBytes(load.data) : std::nullopt;
    }
    return QueryPictureFile(name);
}

TIndexedPicture TPictureCache::LoadIndexedPicture(const QString& name) {
    TIndexedPicture result;
    if (name.isEmpty())
        return result;
    Decoder decoder;
    std::optional<TCartoonHeader> header;
    if (Package().FindEmbedded(name)) {
        // Compressed entries are inflated first, so the image offset counts
        // in the file's own bytes either way.
        const TEmbeddedLoad load = Package().LoadEmbeddedToMemory(name);
        if (load.code != 0)
            return result;
        header = ReadCartoonHeader(load.data);
        if (!header)
            return result;
        const QByteArray bytes = load.data;
        const qsizetype offset = qsizetype(header->imageOffset);
        decoder = [bytes, offset](std::int64_t&) { return DecodeFrom(bytes, offset); };
    } else {
        header = ReadCartoonHeader(ReadFileFrom(name, 0, kCartoonHeaderSize));
        if (!header)
            return result;
        const qint64 offset = header->imageOffset;
        decoder = [name, offset](std::int64_t& fileAge) {
            fileAge = PictureFileAge(name);
            return DecodePictureBytes(ReadFileFrom(name, offset, kMaxPictureBytes + 1));
        };
    }
    // A strip of no frames would divide by zero downstream: it is one frame.
    result.frameCount = std::max(1, header->frameCount);
    result.picture = GetWith(name, decoder, kBottomLeftColour, -1, -1, true);
    return result;
}

} // namespace tomeric
