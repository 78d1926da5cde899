#pragma once
// The picture cache: pictures the publication names (wallpapers, the window
// shape, button faces, pictures, polygons, pop-up and dialog pictures) are
// decoded once and kept, most recently used first, with the clip region that
// makes their transparent colour see-through.
//
// A metafile is kept as vectors: asked for at another size than its own, it
// is drawn again at that size (so zooming and stretching stay sharp), and
// its region is made of what was drawn, less the transparent colour.
//
// A caller that paints with a picture over several calls borrows it
// (`borrow` = true) and gives it back with Release(); borrowed entries are
// never evicted. Views are shared: a view a caller still holds stays valid
// even after its entry has left the cache.
//
//   TCachedPicture p = cache.GetPicture(name, kBottomLeftColour, -1, -1, true);
//   if (p.Ok()) { paint p.view->image clipped to p.region ...; cache.Release(p.view); }

#include "imaging/opaque_region.h"
#include "imaging/picture.h"

#include <QIODevice>
#include <QRegion>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>

namespace tomeric {

class TPackage;

using TPictureView = std::shared_ptr<const TPicture>;

// One cached picture.
struct CacheRec {
    QString name;                 // as requested; compared ignoring case
    TPictureView view;
    TPictureView sized;           // a metafile drawn at the last other size asked
    int width = 0, height = 0;    // the size the region was built for
    std::int64_t fileAge = 0;     // file modification time (ms); 0: package or stream
    std::optional<QRegion> region;
    std::uint32_t regionColour = 0; // the transparent colour the region was built with
    bool hasAlpha = false;
    bool borrowed = false;
};

struct TCachedPicture {
    TPictureView view;
    std::optional<QRegion> region; // opaque pixels; none: paint the whole picture
    bool Ok() const { return view != nullptr; }
};

// A cartoon's picture strip: the frames side by side.
struct TIndexedPicture {
    TCachedPicture picture;
    int frameCount = 0;
    bool Ok() const { return picture.Ok(); }
};

// The header of a cartoon file: magic "SN", image offset, reserved length,
// frame count (little-endian).
struct TCartoonHeader {
    std::uint32_t imageOffset = 0;
    int frameCount = 0;
};
inline constexpr qsizetype kCartoonHeaderSize = 12;
std::optional<TCartoonHeader> ReadCartoonHeader(QByteArrayView bytes);

class TPictureCache {
public:
    static constexpr int kDefaultCapacity = 30;
    static constexpr int kMinCapacity = 1;
    static constexpr int kMaxCapacity = 100;

    // Included files are looked up in `package`; none: the current package.
    explicit TPictureCache(TPackage* package = nullptr);

    // A different capacity empties the cache; n is clamped to 1..100.
    void SetCapacity(int n);
    int Capacity() const { return capacity_; }
    int Count() const { return int(entries_.size()); }

    // Width or height -1: the picture's own size. kNoRegionColour asks
    // for no region, kBottomLeftColour for the bottom-left pixel's colour.
    // A metafile comes back drawn at width x height; other pictures at
    // their own size (the region is built for the size asked).
    TCachedPicture GetPicture(const QString& name, std::uint32_t transparentColour, int width,
                              int height, bool borrow);
    // The same; on a miss the picture is decoded from the rest of `stream`.
    TCachedPicture GetPictureFromStream(const QString& name, QIODevice& stream,
                                        std::uint32_t transparentColour, int width, int height,
                                        bool borrow);
    // Clears the borrowed mark of the entry holding that view.
    void Release(const TPictureView& view);

    // Size and alpha without decoding when possible: an included picture's
    // directory entry, otherwise the file's header.
    std::optional<TPictureInfo> PictureInfo(const QString& name);

    // The picture strip of a cartoon file (from disk or the package), cached
    // with its own transparent colour and borrowed; nothing for files that
    // are not cartoons.
    TIndexedPicture LoadIndexedPicture(const QString& name);

    void Clear();

    // Names, most recently used first (for tests and diagnostics).
    QStringList Names() const;
    bool IsBorrowed(const QString& name) const;

private:
    using Entries = std::list<CacheRec>;
    // Decodes a missing picture and tells the file age to remember.
    using Decoder = std::function<TPictureDecode(std::int64_t& fileAge)>;

    TPackage& Package() const;
    TCachedPicture GetWith(const QString& name, const Decoder& decoder,
                           std::uint32_t transparentColour, int width, int height, bool borrow);
    Entries::iterator Find(const QString& name);
    Entries::iterator Insert(const QString& name, const Decoder& decoder);
    bool EvictOne();
    std::optional<QRegion> RegionFor(CacheRec& entry, std::uint32_t colour, int width, int height);
    std::optional<QRegion> DrawnRegionFor(CacheRec& entry, std::uint32_t colour, int width, int height);
    // The view to hand out for a request: a metafile's drawing at that size.
    TPictureView ViewAtSize(CacheRec& entry, int width, int height);
    Decoder DefaultDecoder(const QString& name);

    TPackage* package_;
    int capacity_ = kDefaultCapacity;
    Entries entries_; // most recently used first
};

// Modification time of a file in milliseconds; 0 when it does not exist.
std::int64_t PictureFileAge(const QString& fileName);

} // namespace tomeric
