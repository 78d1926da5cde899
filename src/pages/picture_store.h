#pragma once
// The window's picture cache behind a small face: wallpapers and the splash
// picture as plain images. The cache's header and the publication model
// cannot share a translation unit (both name a transparent-colour constant,
// with different meanings), so window code reaches the cache only here.

#include <QImage>
#include <QRegion>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace tomeric {

class TPictureCache;

class TPictureStore {
public:
    TPictureStore();
    ~TPictureStore();
    TPictureStore(const TPictureStore&) = delete;
    TPictureStore& operator=(const TPictureStore&) = delete;

    // CACHESIZE, clamped to 1..100 by the cache.
    void SetCapacity(int pictures);
    int Capacity() const;
    void Clear();

    // A wallpaper as the publication names it (an included file, a short
    // name of one, or a file on disk), without transparency; null when it
    // cannot be loaded.
    QImage Wallpaper(const QString& name);

    // A picture for a page object, as the publication names it, with its
    // alpha channel when it has one; null when it cannot be loaded.
    QImage ObjectPicture(const QString& name);

    // A window shape: the picture's size and the region of its opaque
    // pixels (from its alpha channel when it has one, else every pixel not
    // of `transparentColour`, 0x20000000 meaning the bottom-left pixel's).
    // Nothing when the picture cannot be loaded.
    struct TShape {
        QSize size;
        QRegion region;
    };
    std::optional<TShape> WindowShape(const QString& name, std::uint32_t transparentColour);

    // An included picture of the current package (the splash picture).
    static QImage IncludedPicture(const QString& name);

private:
    std::unique_ptr<TPictureCache> cache_;
};

} // namespace tomeric
