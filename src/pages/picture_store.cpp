#include "pages/picture_store.h"

#include "imaging/picture.h"
#include "imaging/picture_cache.h"
#include "package/package.h"

#include <vector>

namespace tomeric {

namespace {

// The name the cache can load: an included file as it is, a short name
// through the included-file list, anything else as a file on disk.
QString LoadableName(const QString& name)
{
    TPackage& package = CurrentPackage();
    if (package.FindEmbedded(name))
        return name;
    const QString included = package.FindIncludedName(name);
    if (package.FindEmbedded(included))
        return included;
    const TResolvedFile file = package.ResolveFile(name);
    return file.ok ? file.path : name;
}

// The pixels that are not fully transparent, as one-pixel-high runs.
QRegion AlphaRegion(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    std::vector<QRect> runs;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < image.width()) {
            while (x < image.width() && qAlpha(line[x]) == 0)
                ++x;
            const int start = x;
            while (x < image.width() && qAlpha(line[x]) != 0)
                ++x;
            if (x > start)
                runs.emplace_back(start, y, x - start, 1);
        }
    }
    QRegion region;
    region.setRects(runs.data(), int(runs.size()));
    return region;
}

} // namespace

TPictureStore::TPictureStore() : cache_(std::make_unique<TPictureCache>()) {}

TPictureStore::~TPictureStore() = default;

void TPictureStore::SetCapacity(int pictures)
{
    cache_->SetCapacity(pictures);
}

int TPictureStore::Capacity() const
{
    return cache_->Capacity();
}

void TPictureStore::Clear()
{
    cache_->Clear();
}

QImage TPictureStore::Wallpaper(const QString& name)
{
    const TCachedPicture picture = cache_->GetPicture(LoadableName(name), kNoRegionColour, -1, -1, false);
    return picture.Ok() ? picture.view->image : QImage();
}

QImage TPictureStore::ObjectPicture(const QString& name)
{
    if (name.isEmpty())
        return QImage();
    const TCachedPicture picture = cache_->GetPicture(LoadableName(name), kNoRegionColour, -1, -1, false);
    if (!picture.Ok() || picture.view->image.isNull())
        return QImage();
    const QImage& image = picture.view->image;
    return picture.view->hasAlpha ? image.convertToFormat(QImage::Format_ARGB32_Premultiplied) : image;
}

std::optional<TPictureStore::TShape> TPictureStore::WindowShape(const QString& name, std::uint32_t transparentColour)
{
    const TCachedPicture picture = cache_->GetPicture(LoadableName(name), transparentColour, -1, -1, false);
    if (!picture.Ok() || picture.view->image.isNull())
        return std::nullopt;
    const QImage& image = picture.view->image;
    TShape shape;
    shape.size = image.size();
    const QRegion whole(QRect(QPoint(0, 0), image.size()));
    if (picture.view->hasAlpha)
        shape.region = AlphaRegion(image);
    else
        shape.region = picture.region ? whole.intersected(*picture.region) : whole;
    return shape;
}

QImage TPictureStore::IncludedPicture(const QString& name)
{
    TPicture picture;
    if (LoadEmbeddedPicture(CurrentPackage(), name, picture) != 0)
        return QImage();
    return picture.image;
}

} // namespace tomeric
