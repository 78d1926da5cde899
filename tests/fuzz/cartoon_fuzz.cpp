// libFuzzer entry point for cartoon files: the input is one cartoon file on
// disk, read the two ways the player reads it (the picture cache's strip for
// cartoon objects, the cartoon player's file for MoveCartoon), and every
// frame of it drawn by the cartoon's overlay as a page would show it.
// Strips larger than kMaxStripPixels are passed over: a header that claims
// millions of rows runs the same code over more rows, for seconds each,
// and would hold a campaign to a few inputs a second.
// Build and run it with `scripts/fuzz cartoon`.

#include "fuzz_support.h"

#include "imaging/picture.h"
#include "imaging/picture_cache.h"
#include "media/cartoon_player.h"
#include "package/package.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>

namespace {

// The frames drawn per input: enough to reach past the first frame's
// arithmetic without spending the run on long strips.
constexpr int kFramesDrawn = 4;
constexpr std::int64_t kMaxStripPixels = 1 << 18;

// Whether the strip the header points at is small enough to be worth the
// time; pictures whose size the header does not tell are tried.
bool SmallEnough(const QByteArray& bytes)
{
    const auto header = tomeric::ReadCartoonHeader(bytes);
    if (!header || header->imageOffset >= quint32(bytes.size()))
        return true;
    const auto info = tomeric::QueryPictureBytes(bytes.mid(qsizetype(header->imageOffset)));
    return !info || std::int64_t(info->width) * info->height <= kMaxStripPixels;
}

const QString& CartoonPath()
{
    static QTemporaryDir folder;
    static const QString path = folder.filePath(QStringLiteral("fuzz.cnt"));
    return path;
}

void DrawFrames(const tomeric::TCartoonFile& file)
{
    using namespace tomeric;
    QWidget area;
    area.resize(64, 48);
    const TCartoonPath path{QPoint(8, 24), QPoint(56, 24), file.frames, 8, false};
    TCartoonOverlay overlay(&area, file, path);
    QImage page(area.size(), QImage::Format_ARGB32_Premultiplied);
    for (int frame = 0; frame < std::min(file.frames, kFramesDrawn); ++frame) {
        overlay.ShowStep(TCartoonStep{true, frame, QPoint(8 + 8 * frame, 24)});
        area.render(&page);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tomeric;
    fuzz::EnsureApplication<QApplication>();
    const QByteArray bytes = fuzz::Bytes(data, size);
    if (!SmallEnough(bytes))
        return -1; // and not kept in the corpus
    QFile out(CartoonPath());
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
        std::abort();
    out.close();

    TPackage noPackage;
    TPictureCache cache(&noPackage);
    const TIndexedPicture strip = cache.LoadIndexedPicture(CartoonPath());
    if (strip.Ok())
        cache.Release(strip.picture.view);

    if (const auto file = ReadCartoonFile(CartoonPath()))
        DrawFrames(*file);
    return 0;
}
