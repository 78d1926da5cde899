// Damaged and hostile metafiles: a file cut at any record boundary (or
// inside a record), or whose record sizes were damaged, is refused ("cannot
// be loaded") before anything is drawn; damaged counts and offsets inside
// records are skipped; object tables, saved states, bitmaps, sizes and the
// drawing itself are bounded; random mutations never crash or hang.

#include "imaging/metafile_player.h"

#include "imaging_test_support.h"
#include "metafile_writer.h"

#include <QElapsedTimer>

#include <random>

namespace tomeric {
namespace {

using namespace tomeric::testing;

constexpr QRgb kRed = qRgb(255, 0, 0), kBlue = qRgb(0, 0, 255), kBlack = qRgb(0, 0, 0);

// A WMF that uses most of the records the player knows.
WmfWriter RichWmf() {
    WmfWriter wmf = WmfWriter::Placeable(QRect(0, 0, 400, 200), 96);
    wmf.SetMapMode(8).SetWindowOrg(0, 0).SetWindowExt(400, 200).SaveDc();
    wmf.CreatePen(0, 2, kBlack).SelectObject(0).CreateBrush(2, kBlue, 5).SelectObject(1);
    wmf.SetBkColor(kRed).Rectangle(5, 5, 60, 60).Ellipse(70, 5, 130, 60);
    wmf.Record(0x061C, {10, 10, 60, 190, 5, 140});                 // META_ROUNDRECT
    wmf.Record(0x0817, {5, 260, 5, 200, 60, 260, 5, 200});         // META_ARC
    wmf.Record(0x0830, {60, 330, 5, 270, 60, 330, 5, 270});        // META_CHORD
    wmf.Record(0x081A, {60, 390, 5, 340, 60, 395, 5, 340});        // META_PIE
    wmf.Record(0x0538, {2, 3, 3, 10, 70, 50, 70, 30, 100, 60, 70, 90, 70, 80, 100});  // META_POLYPOLYGON
    wmf.Polyline({{100, 70}, {150, 100}, {200, 70}});
    wmf.CreateFont(-20, 400, "Times New Roman").SelectObject(2).SetTextColor(kRed);
    wmf.Record(0x0A32, {120, 210, 3, 0x0006, 205, 115, 300, 140}, QByteArray("abc") + QByteArray::fromHex("000a000a000a00"));
    wmf.TextOut(300, 120, "Hello");
    wmf.Record(0x0416, {190, 390, 150, 10});                        // META_INTERSECTCLIPRECT
    wmf.Record(0x06FF, {0, 6, 0, 0, 38, 1, 4, 10, 150, 390, 190},
               QByteArray::fromHex("0200" "9600" "be00" "0a00" "8601" "0200"));  // META_CREATEREGION
    wmf.Record(0x0228, {3, 1});                                     // META_FILLREGION
    wmf.StretchDib(QImage(3, 2, QImage::Format_RGB32), QRect(300, 150, 60, 40), 0x008800C6);
    wmf.Record(0x061D, {0x0021, 0x00F0, 10, 10, 180, 10});          // META_PATBLT
    wmf.RestoreDc(-1).DeleteObject(1).DeleteObject(0);
    return wmf;
}

// An EMF that uses most of the records the player knows.
EmfWriter RichEmf() {
    EmfWriter emf = EmfWriter::AtScreenResolution(QSize(400, 200));
    emf.SaveDc().CreatePen(1, 0, 2, kBlack).SelectObject(1).CreateBrush(2, 2, kBlue, 4).SelectObject(2);
    emf.Rectangle(5, 5, 60, 60).Ellipse(70, 5, 130, 60);
    emf.Record(44, {140, 5, 190, 60, 10, 10});                       // EMR_ROUNDRECT
    emf.Record(45, {200, 5, 260, 60, 200, 5, 260, 60});               // EMR_ARC
    emf.Record(47, {340, 5, 395, 60, 395, 60, 340, 5});               // EMR_PIE
    emf.Record(59, {}).MoveTo(10, 70).LineTo(50, 100).LineTo(10, 100).Record(61, {}).Record(60, {});
    emf.Record(63, {0, 0, 0, 0});                                     // EMR_STROKEANDFILLPATH
    emf.Record(91, {0, 0, 0, 0, 2, 6, 3, 3}, QByteArray::fromHex(
        "46004600" "64004600" "64005a00" "78004600" "96004600" "96005a00"));   // EMR_POLYPOLYGON16
    emf.Polyline16({{100, 110}, {150, 130}, {200, 110}});
    emf.CreateFont(3, -20, 700, "Arial").SelectObject(3).SetTextColor(kRed).TextOut(210, 115, "Hello");
    emf.SetWorldTransform(1, 0.2f, -0.2f, 1, 10, 0).Rectangle(250, 150, 280, 180).SetWorldTransform(1, 0, 0, 1, 0, 0);
    emf.IntersectClipRect(10, 150, 390, 190);
    emf.Record(75, {48, 1}, QByteArray::fromHex(
        "20000000" "01000000" "01000000" "10000000" "0a000000" "96000000" "86010000" "be000000"
        "0a000000" "96000000" "86010000" "be000000"));                // EMR_EXTSELECTCLIPRGN
    emf.StretchDib(QImage(3, 2, QImage::Format_RGB32), QRect(300, 150, 60, 40), 0x00EE0086);
    emf.RestoreDc(-1).DeleteObject(2).DeleteObject(1).DeleteObject(3);
    return emf;
}

struct Sample {
    const char* name;
    QByteArray bytes;
    std::vector<qsizetype> starts; // record starts, the end-of-file record last
};

std::vector<Sample> Samples() {
    const WmfWriter wmf = RichWmf();
    const EmfWriter emf = RichEmf();
    WmfWriter plain = WmfWriter::Plain();
    plain.SetWindowExt(100, 50).CreateBrush(0, kRed).SelectObject(0).Rectangle(10, 10, 90, 40);
    return {{"wmf", wmf.Bytes(), wmf.RecordStarts()},
            {"emf", emf.Bytes(), emf.RecordStarts()},
            {"plain", plain.Bytes(), plain.RecordStarts()}};
}

// Plays a metafile at a few sizes, as the cache and rich text would.
void PlayEverywhere(const QByteArray& bytes) {
    (void)QueryPictureBytes(bytes);
    const auto metafile = LoadMetafile(bytes);
    if (!metafile)
        return;
    for (const QSize size : {QSize(37, 23), QSize(1, 1), QSize(64, 200)})
        (void)RenderMetafile(*metafile, size);
}

class MetafileDamage : public ::testing::TestWithParam<Sample> {
protected:
    void SetUp() override { EnsureApplication(); }
};

TEST_P(MetafileDamage, TheWholeFileLoadsAndPlaysCleanly) {
    const auto metafile = LoadMetafile(GetParam().bytes);
    ASSERT_NE(metafile, nullptr);
    EXPECT_EQ(metafile->recordCount, qsizetype(GetParam().starts.size()) - 1);
    TMetaPlayStats stats;
    const QImage image = RenderMetafile(*metafile, MetafileSize(*metafile), &stats);
    EXPECT_FALSE(image.isNull());
    EXPECT_EQ(stats.played, metafile->recordCount);
    EXPECT_EQ(stats.malformed, 0);
}

TEST_P(MetafileDamage, CutAtEveryRecordBoundaryIsRefused) {
    const QByteArray& bytes = GetParam().bytes;
    for (const qsizetype start : GetParam().starts) {
        // At the boundary, and a few bytes into the record that follows.
        for (qsizetype cut = start; cut < std::min(start + 7, bytes.size()); ++cut) {
            SCOPED_TRACE(cut);
            const QByteArray truncated = bytes.left(cut);
            EXPECT_EQ(LoadMetafile(truncated), nullptr);
            const TPictureDecode decode = DecodePictureBytes(truncated);
            EXPECT_FALSE(decode.Ok());
            EXPECT_TRUE(decode.picture.IsEmpty());
        }
    }
    // And within the headers.
    for (qsizetype cut = 0; cut < GetParam().starts.front(); ++cut)
        EXPECT_EQ(LoadMetafile(bytes.left(cut)), nullptr) << cut;
}

TEST_P(MetafileDamage, DamagedRecordSizeAtEveryBoundaryIsRefused) {
    const QByteArray& bytes = GetParam().bytes;
    const bool emf = QByteArrayView(GetParam().name) == "emf";
    // EMF sizes count bytes (at offset 4, multiples of 4, at least 8); WMF
    // sizes count 16-bit words (at offset 0, at least 3).
    const qsizetype field = emf ? 4 : 0;
    const std::vector<std::uint32_t> sizes = emf
        ? std::vector<std::uint32_t>{0, 4, 6, 13, 0x7FFFFFFC, 0xFFFFFFFF}
        : std::vector<std::uint32_t>{0, 1, 2, 0x7FFFFFFF, 0xFFFFFFFF};
    for (const qsizetype start : GetParam().starts) {
        for (const std::uint32_t size : sizes) {
            SCOPED_TRACE(::testing::Message() << start << ": " << size);
            QByteArray damaged = bytes;
            for (int i = 0; i < 4; ++i)
                damaged[start + field + i] = char(size >> (8 * i) & 0xFF);
            EXPECT_EQ(LoadMetafile(damaged), nullptr);
            EXPECT_FALSE(DecodePictureBytes(damaged).Ok());
        }
        // One that reaches just past the end of the data.
        QByteArray damaged = bytes;
        const std::uint32_t past = std::uint32_t(emf ? bytes.size() - start + 4 : (bytes.size() - start) / 2 + 1);
        for (int i = 0; i < 4; ++i)
            damaged[start + field + i] = char(past >> (8 * i) & 0xFF);
        EXPECT_EQ(LoadMetafile(damaged), nullptr) << start;
    }
}

TEST_P(MetafileDamage, DamagedFieldsInsideRecordsAreSkipped) {
    // Every parameter of every record set to extreme values: the structure
    // still holds, so the file loads, and plays without reading outside a
    // record.
    const QByteArray& bytes = GetParam().bytes;
    const bool emf = QByteArrayView(GetParam().name) == "emf";
    const auto& starts = GetParam().starts;
    qsizetype malformed = 0;
    for (std::size_t r = 0; r + 1 < starts.size(); ++r) {
        const qsizetype first = starts[r] + (emf ? 8 : 6);
        const qsizetype end = std::min(starts[r + 1], first + 40);
        for (qsizetype at = first; at + 1 < end; at += 2) {
            for (const int value : {0x7FFF, 0x8000, 0xFFFF, 0x0000}) {
                QByteArray damaged = bytes;
                damaged[at] = char(value & 0xFF);
                damaged[at + 1] = char(value >> 8);
                const auto metafile = LoadMetafile(damaged);
                ASSERT_NE(metafile, nullptr) << at;
                TMetaPlayStats stats;
                (void)RenderMetafile(*metafile, QSize(40, 20), &stats);
                malformed += stats.malformed;
            }
        }
    }
    // The damage was seen, and skipped (the plain sample has no counts).
    if (QByteArrayView(GetParam().name) != "plain") {
        EXPECT_GT(malformed, 0);
    }
}

// ---- random mutations (fixed seeds, so a failure repeats) -------------------------

class Mutator {
public:
    explicit Mutator(unsigned seed) : random_(seed) {}

    QByteArray Mutate(QByteArray bytes, const std::vector<qsizetype>& starts) {
        const int steps = 1 + Below(6);
        for (int i = 0; i < steps; ++i)
            Step(bytes, starts);
        return bytes;
    }

private:
    int Below(qsizetype bound) { return bound <= 0 ? 0 : int(random_() % quint64(bound)); }

    void Step(QByteArray& bytes, const std::vector<qsizetype>& starts) {
        if (bytes.isEmpty())
            return;
        const qsizetype at = Below(bytes.size());
        switch (Below(5)) {
        case 0: bytes[at] = char(Below(256)); break;
        case 1: { // an extreme 16- or 32-bit value inside a record
            static const std::uint32_t kValues[] = {0, 1, 0x7FFF, 0x8000, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
            const std::uint32_t value = kValues[Below(std::size(kValues))];
            for (int i = 0; i < 4 && at + i < bytes.size(); ++i)
                bytes[at + i] = char(value >> (8 * i) & 0xFF);
            break;
        }
        case 2: { // a record repeated
            const std::size_t r = std::size_t(Below(qsizetype(starts.size()) - 1));
            if (starts[r + 1] <= bytes.size())
                bytes.insert(starts[r + 1], bytes.mid(starts[r], starts[r + 1] - starts[r]));
            break;
        }
        case 3: bytes.remove(at, 1 + Below(16)); break;
        default: bytes.truncate(at); break;
        }
    }

    std::mt19937_64 random_;
};

TEST_P(MetafileDamage, RandomMutationsNeverCrashOrHang) {
    for (const unsigned seed : {1u, 2u, 3u}) {
        Mutator mutator(seed);
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 400 && timer.elapsed() < 8000; ++i)
            PlayEverywhere(mutator.Mutate(GetParam().bytes, GetParam().starts));
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, MetafileDamage, ::testing::ValuesIn(Samples()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- bounds -------------------------------------------------------------------------

TEST(MetafileBounds, ObjectTableStaysBoundedWhateverTheFileCreates) {
    EnsureApplication();
    WmfWriter wmf = WmfWriter::Placeable(QRect(0, 0, 100, 100), 96);
    for (int i = 0; i < 70000; ++i)
        wmf.CreateBrush(0, kRed);
    wmf.SelectObject(65535).SelectObject(65534).Rectangle(10, 10, 90, 90).SelectObject(70000 & 0xFFFF);
    const auto metafile = LoadMetafile(wmf.Bytes());
    ASSERT_NE(metafile, nullptr);
    const QImage image = RenderMetafile(*metafile, QSize(100, 100));
    EXPECT_EQ(image.pixel(50, 50), kRed);
}

TEST(MetafileBounds, DeeplyNestedSavedStatesAreBounded) {
    EnsureApplication();
    EmfWriter emf = EmfWriter::AtScreenResolution(QSize(100, 100));
    for (int i = 0; i < 100000; ++i)
        emf.SaveDc();
    emf.RestoreDc(-99999).RestoreDc(1).RestoreDc(0).RestoreDc(-2147483647).RestoreDc(2147483647);
    emf.CreateBrush(1, 0, kRed).SelectObject(1).Rectangle(10, 10, 90, 90);
    const auto metafile = LoadMetafile(emf.Bytes());
    ASSERT_NE(metafile, nullptr);
    EXPECT_EQ(RenderMetafile(*metafile, QSize(100, 100)).pixel(50, 50), kRed);
}

TEST(MetafileBounds, BitmapsLargerThanTheirDataAreNotMade) {
    EnsureApplication();
    // A DIB header claiming 30000 x 30000 pixels with a few bytes of bits.
    QByteArray info = DibInfo24(QSize(30000, 30000));
    WmfWriter wmf = WmfWriter::Placeable(QRect(0, 0, 100, 100), 96);
    wmf.Record(0x0F43, {0x0020, 0x00CC, 0, 30000, 30000, 0, 0, 100, 100, 0, 0}, info + QByteArray(12, 'x'));
    QElapsedTimer timer;
    timer.start();
    const TPictureDecode decode = DecodePictureBytes(wmf.Bytes());
    ASSERT_TRUE(decode.Ok());
    EXPECT_EQ(qAlpha(decode.picture.image.pixel(50, 50)), 0);
    EXPECT_LT(timer.elapsed(), 2000);
}

TEST(MetafileBounds, HugeFramesAreShownAtABoundedSize) {
    EnsureApplication();
    WmfWriter plain = WmfWriter::Plain();
    plain.SetWindowExt(32767, 16000);
    const auto info = QueryPictureBytes(plain.Bytes());
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->width, kMaxMetafileSide);
    EXPECT_EQ(info->height, 2000);

    EmfWriter emf(QRect(0, 0, 2000000000, 1000000000), QSize(1000, 1000), QSize(1, 1));
    const auto emfInfo = QueryPictureBytes(emf.Bytes());
    ASSERT_TRUE(emfInfo.has_value());
    EXPECT_EQ(emfInfo->width, kMaxMetafileSide);
    EXPECT_EQ(emfInfo->height, kMaxMetafileSide / 2);
}

TEST(MetafileBounds, EndlessOverdrawingStopsWhenItsBudgetIsSpent) {
    EnsureApplication();
    EmfWriter emf = EmfWriter::AtScreenResolution(QSize(200, 200));
    emf.CreateBrush(1, 0, kRed).SelectObject(1);
    for (int i = 0; i < 100000; ++i)
        emf.Record(42, {-100000, -100000, 100000, 100000}); // an ellipse far larger than the picture
    const auto metafile = LoadMetafile(emf.Bytes());
    ASSERT_NE(metafile, nullptr);
    QElapsedTimer timer;
    timer.start();
    TMetaPlayStats stats;
    (void)RenderMetafile(*metafile, QSize(200, 200), &stats);
    EXPECT_TRUE(stats.exhausted);
    EXPECT_LT(stats.played, 100000);
    EXPECT_LT(timer.elapsed(), 10000);
}

TEST(MetafileBounds, RotatedClipReachingFarOutsideThePictureIsCutToIt) {
    // Found by fuzzing: Qt's polygon regions leak when their coordinates are
    // huge, so a clip under a rotation is cut to the picture's surroundings
    // before it becomes a region.
    EnsureApplication();
    EmfWriter emf = EmfWriter::AtScreenResolution(QSize(60, 40));
    emf.SetWorldTransform(1, 0.2f, -0.2f, 1, 10, 0).IntersectClipRect(1, 15, 1056964647, 19);
    emf.CreateBrush(1, 0, kRed).SelectObject(1).Rectangle(-100, -100, 100, 100);
    const auto metafile = LoadMetafile(emf.Bytes());
    ASSERT_NE(metafile, nullptr);
    const QImage image = RenderMetafile(*metafile, QSize(60, 40));
    EXPECT_EQ(image.pixel(40, 25), kRed);  // inside the rotated band
    EXPECT_EQ(qAlpha(image.pixel(40, 5)), 0); // above it
}

TEST(MetafileBounds, TallRotatedClipIsQuick) {
    // Found by fuzzing: a picture 4096 pixels tall and a rotated clip band
    // across all of it (Qt's polygon regions take time in the square of
    // their height; the player scans its own).
    EnsureApplication();
    EmfWriter emf = EmfWriter::AtScreenResolution(QSize(1, 4096));
    emf.SetWorldTransform(1, 0.2f, -0.2f, 1, 10, 0);
    for (int i = 0; i < 20; ++i)
        emf.SaveDc().IntersectClipRect(-1000, 15, 39, 4000).RestoreDc(-1);
    const auto metafile = LoadMetafile(emf.Bytes());
    ASSERT_NE(metafile, nullptr);
    QElapsedTimer timer;
    timer.start();
    (void)RenderMetafile(*metafile, QSize(1, 4096));
    (void)RenderMetafile(*metafile, QSize(4096, 4096));
    EXPECT_LT(timer.elapsed(), 3000);
}

TEST(MetafileBounds, CurvedPathFarLargerThanThePictureIsCutToIt) {
    // Found by fuzzing: a viewport of millions of pixels makes a filled
    // Bezier path huge; Qt's own path clipping crashed on it.
    EnsureApplication();
    EmfWriter emf = EmfWriter::AtScreenResolution(QSize(60, 40));
    emf.SetMapMode(8).SetWindowOrg(0, 0).SetViewportOrg(0, 0);
    emf.SetWindowExt(2262, 1761).SetViewportExt(754, 4915202);
    emf.Record(59, {}).MoveTo(920, -2126);
    emf.Record(88, {}, QByteArray::fromHex(
        "4a00000038fdffff46010000fdfdffff21000000e8fe4d08e7fe4d081801b2f7fc00b2f7e600c8f7e600e4f7e600"
        "bef8e600bef8e600bef8e600daf8fc00f0f81801f0f83102f0f83302f0f83302f0f85802eff95802eff95802eff9"
        "7d02f0f87d02f0f87d02f0f89803f0f89803f0f89303f0f8b303f0f8ca03daf8ca03bef8ca03e4f7ca03e4f7ca03"
        "e4f7ca03c8f7b303b2f79803b2f7"));                       // EMR_POLYBEZIERTO16
    emf.Record(61, {}).Record(60, {}).Record(63, {0, 0, 0, 0});  // close, end, stroke and fill
    const auto metafile = LoadMetafile(emf.Bytes());
    ASSERT_NE(metafile, nullptr);
    TMetaPlayStats stats;
    (void)RenderMetafile(*metafile, QSize(60, 40), &stats);
    EXPECT_EQ(stats.played, metafile->recordCount);
}

TEST(MetafileBounds, RegionRectanglesAtTheLimitsOfTheirNumbersStillClip) {
    // Found by fuzzing: a region rectangle from -2^31 overflowed integer
    // rectangle arithmetic; rectangles are now mapped as real numbers.
    EnsureApplication();
    QByteArray region;
    for (const std::int64_t value : {32, 1, 1, 16, -2147483647, 0, 30, 2147483647, -2147483647, 0, 30, 2147483647})
        Put32(region, value);
    EmfWriter emf = EmfWriter::AtScreenResolution(QSize(60, 40));
    emf.Record(75, {region.size(), 5}, region); // EMR_EXTSELECTCLIPRGN, RGN_COPY
    emf.CreateBrush(1, 0, kRed).SelectObject(1).Rectangle(0, 0, 60, 40);
    const auto metafile = LoadMetafile(emf.Bytes());
    ASSERT_NE(metafile, nullptr);
    const QImage image = RenderMetafile(*metafile, QSize(60, 40));
    EXPECT_EQ(image.pixel(10, 20), kRed);
    EXPECT_EQ(qAlpha(image.pixel(45, 20)), 0);
}

TEST(MetafileBounds, CountsBeyondTheirRecordAreMalformed) {
    EnsureApplication();
    WmfWriter wmf = WmfWriter::Placeable(QRect(0, 0, 100, 100), 96);
    wmf.Record(0x0324, {32767, 10, 10, 20, 20});               // a polygon of 32767 points, 2 given
    wmf.Record(0x0538, {65535, 3});                            // 65535 polygons
    wmf.Record(0x0521, {32767}, "ab");                         // text longer than its record
    wmf.Record(0x0A32, {10, 10, 30000, 6}, QByteArray(4, 'x')); // text and rectangle missing
    const auto metafile = LoadMetafile(wmf.Bytes());
    ASSERT_NE(metafile, nullptr);
    TMetaPlayStats stats;
    (void)RenderMetafile(*metafile, QSize(100, 100), &stats);
    EXPECT_EQ(stats.malformed, 4);
}

} // namespace
} // namespace tomeric
