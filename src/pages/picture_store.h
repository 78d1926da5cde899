#pragma once
// The window's picture cache behind a small face: wallpapers and the splash
// picture as plain images. The cache's header and the publication model
// cannot share a translation unit (both name a transparent-colour constant,
// with different meanings), so window code reaches the cache only here.

#include <QImage>
#include <QString>

#include <memory>

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

    // An included picture of the current package (the splash picture).
    static QImage IncludedPicture(const QString& name);

private:
    std::unique_ptr<TPictureCache> cache_;
};

} // namespace tomeric
