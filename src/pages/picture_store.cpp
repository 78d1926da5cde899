#include "pages/picture_store.h"

#include "imaging/picture.h"
#include "imaging/picture_cache.h"
#include "package/package.h"

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
    const TCachedPicture picture = cache_->GetPicture(LoadableName(name), kNoTransparentColour, -1, -1, false);
    return picture.Ok() ? picture.view->image : QImage();
}

QImage TPictureStore::IncludedPicture(const QString& name)
{
    TPicture picture;
    if (LoadEmbeddedPicture(CurrentPackage(), name, picture) != 0)
        return QImage();
    return picture.image;
}

} // namespace tomeric
