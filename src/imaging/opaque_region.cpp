#include "imaging/opaque_region.h"

#include <vector>

namespace tomeric {
namespace {

// Turning a few thousand rectangles into a region at a time keeps each union
// cheap; one region per row would make a tall picture slow.
constexpr std::size_t kRectsPerBatch = 2000;

// The batches are joined like the digits of a binary counter: a part is
// united only with a part of the same size, so each rectangle takes part in
// a few unions. Uniting each batch into one growing region would copy that
// region once per batch: time growing with the square of the height.
class RegionBatcher {
public:
    void Add(const QRect& rect) {
        batch_.push_back(rect);
        if (batch_.size() == kRectsPerBatch)
            Flush();
    }
    void Flush() {
        if (batch_.empty())
            return;
        TPart part{QRegion(), 1};
        // Rows arrive top to bottom and runs left to right: the banded order
        // setRects requires.
        part.region.setRects(batch_.data(), int(batch_.size()));
        batch_.clear();
        while (!parts_.empty() && parts_.back().batches == part.batches) {
            part.region = parts_.back().region.united(part.region);
            part.batches *= 2;
            parts_.pop_back();
        }
        parts_.push_back(std::move(part));
    }
    QRegion Result() const {
        QRegion result;
        for (const TPart& part : parts_)
            result = result.united(part.region);
        return result;
    }

private:
    struct TPart {
        QRegion region;
        std::size_t batches; // how many batches it holds
    };
    std::vector<QRect> batch_;
    std::vector<TPart> parts_; // larger parts first
};

} // namespace

std::uint32_t ColourOfPixel(QRgb pixel) {
    return std::uint32_t(qRed(pixel)) | std::uint32_t(qGreen(pixel)) << 8
        | std::uint32_t(qBlue(pixel)) << 16;
}

QRgb PixelOfColour(std::uint32_t colour) {
    return qRgb(int(colour & 0xFF), int(colour >> 8 & 0xFF), int(colour >> 16 & 0xFF));
}

std::uint32_t BottomLeftColour(const QImage& image) {
    if (image.isNull())
        return 0;
    return ColourOfPixel(image.pixel(0, image.height() - 1));
}

namespace {

// Runs of the pixels `counts` accepts, row by row.
template <typename Counts>
std::optional<QRegion> RegionOfPixels(const QImage& buffer, Counts counts) {
    if (buffer.isNull())
        return std::nullopt;
    RegionBatcher batcher;
    const int width = buffer.width();
    for (int y = 0; y < buffer.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(buffer.constScanLine(y));
        int x = 0;
        while (x < width) {
            while (x < width && !counts(row[x]))
                ++x;
            const int start = x;
            while (x < width && counts(row[x]))
                ++x;
            if (x > start)
                batcher.Add(QRect(start, y, x - start, 1));
        }
    }
    batcher.Flush();
    QRegion region = batcher.Result();
    if (region.isEmpty())
        return std::nullopt;
    return region;
}

} // namespace

std::optional<QRegion> BuildOpaqueRegion(const QImage& image, std::uint32_t transparentColour) {
    if (image.isNull())
        return std::nullopt;
    return RegionOfPixels(image.convertToFormat(QImage::Format_RGB32), [transparentColour](QRgb pixel) {
        return ColourOfPixel(pixel) != transparentColour;
    });
}

std::optional<QRegion> BuildDrawnRegion(const QImage& image, std::uint32_t transparentColour) {
    if (image.isNull())
        return std::nullopt;
    // Straight (not premultiplied) colours compare with the colour asked for.
    return RegionOfPixels(image.convertToFormat(QImage::Format_ARGB32), [transparentColour](QRgb pixel) {
        return qAlpha(pixel) != 0 && ColourOfPixel(pixel) != transparentColour;
    });
}

} // namespace tomeric
