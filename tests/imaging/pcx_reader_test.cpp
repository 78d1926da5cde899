// PCX pictures: every layout the publications use, and damaged files.

#include "imaging/pcx_reader.h"

#include "imaging_test_support.h"

#include <random>

namespace tomeric {
namespace {

using namespace tomeric::testing;

// One 8-bit line per row: palette index = x + 4 * y.
QByteArray IndexLines(int width, int height, int bytesPerLine) {
    QByteArray lines;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < bytesPerLine; ++x)
            lines.append(char(x < width ? x + 4 * y : 0));
    }
    return lines;
}

std::vector<QRgb> RampPalette() {
    std::vector<QRgb> palette;
    for (int i = 0; i < 256; ++i)
        palette.push_back(qRgb(i, 255 - i, (i * 7) % 256));
    return palette;
}

TEST(PcxReading, EightBitPictureUsesThePaletteAtTheEnd) {
    const PcxShape shape{.width = 3, .height = 2};
    const QByteArray file = PcxFile(shape, IndexLines(3, 2, PcxBytesPerLine(shape)), RampPalette());
    const TPictureDecode decode = DecodePcx(file);
    ASSERT_TRUE(decode.Ok());
    EXPECT_FALSE(decode.picture.bad);
    EXPECT_FALSE(decode.picture.hasAlpha);
    EXPECT_EQ(decode.picture.format, "pcx");
    ASSERT_EQ(decode.picture.image.size(), QSize(3, 2));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(decode.picture.image.pixel(x, y), RampPalette()[std::size_t(x + 4 * y)]);
}

TEST(PcxReading, EightBitPictureWithoutPaletteIsGrey) {
    const PcxShape shape{.width = 2, .height = 1};
    const TPictureDecode decode = DecodePcx(PcxFile(shape, QByteArray("\x10\x80", 2)));
    ASSERT_TRUE(decode.Ok());
    EXPECT_EQ(decode.picture.image.pixel(0, 0), qRgb(0x10, 0x10, 0x10));
    EXPECT_EQ(decode.picture.image.pixel(1, 0), qRgb(0x80, 0x80, 0x80));
}

TEST(PcxReading, TwentyFourBitPictureHasRedGreenBluePlanes) {
    const PcxShape shape{.width = 3, .height = 2, .bitsPerPixel = 8, .planes = 3};
    const QImage source = PatternImage(3, 2);
    const int stride = PcxBytesPerLine(shape);
    QByteArray lines;
    for (int y = 0; y < 2; ++y) {
        for (int channel = 0; channel < 3; ++channel) {
            for (int x = 0; x < stride; ++x) {
                const QRgb p = x < 3 ? source.pixel(x, y) : 0;
                lines.append(char(channel == 0 ? qRed(p) : channel == 1 ? qGreen(p) : qBlue(p)));
            }
        }
    }
    const TPictureDecode decode = DecodePcx(PcxFile(shape, lines));
    ASSERT_TRUE(decode.Ok());
    EXPECT_EQ(decode.picture.image.convertToFormat(QImage::Format_RGB32), source);
}

TEST(PcxReading, OneBitPictureStaysMonochrome) {
    const PcxShape shape{.width = 10, .height = 2, .bitsPerPixel = 1};
    // Row 0: 1010101010, row 1: all set.
    const QByteArray lines = QByteArray::fromHex("aa80" "ffc0");
    const TPictureDecode decode = DecodePcx(PcxFile(shape, lines));
    ASSERT_TRUE(decode.Ok());
    EXPECT_TRUE(decode.picture.IsMonochrome());
    EXPECT_EQ(decode.picture.image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(decode.picture.image.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(decode.picture.image.pixel(9, 1), qRgb(255, 255, 255));
}

TEST(PcxReading, SixteenColourPlanarPictureUsesTheHeaderPalette) {
    std::vector<QRgb> palette;
    for (int i = 0; i < 16; ++i)
        palette.push_back(qRgb(i * 16, 0, 255 - i * 16));
    const PcxShape shape{.width = 8, .height = 1, .bitsPerPixel = 1, .planes = 4,
                       .headerPalette = palette};
    // Pixel x has index x: plane p holds bit p of each index.
    QByteArray lines;
    for (int plane = 0; plane < 4; ++plane) {
        int byte = 0;
        for (int x = 0; x < 8; ++x)
            byte |= ((x >> plane) & 1) << (7 - x);
        lines.append(char(byte));
        lines.append(char(0)); // padding to an even line
    }
    const TPictureDecode decode = DecodePcx(PcxFile(shape, lines));
    ASSERT_TRUE(decode.Ok());
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(decode.picture.image.pixel(x, 0), palette[std::size_t(x)]) << x;
}

TEST(PcxReading, FourBitPackedPictureReadsNibbles) {
    std::vector<QRgb> palette;
    for (int i = 0; i < 16; ++i)
        palette.push_back(qRgb(0, i * 17, 0));
    const PcxShape shape{.width = 3, .height = 1, .bitsPerPixel = 4, .headerPalette = palette};
    const TPictureDecode decode = DecodePcx(PcxFile(shape, QByteArray::fromHex("1f20")));
    ASSERT_TRUE(decode.Ok());
    EXPECT_EQ(decode.picture.image.pixel(0, 0), palette[1]);
    EXPECT_EQ(decode.picture.image.pixel(1, 0), palette[15]);
    EXPECT_EQ(decode.picture.image.pixel(2, 0), palette[2]);
}

TEST(PcxReading, UncompressedDataIsReadAsItIs) {
    PcxShape shape{.width = 3, .height = 2, .rle = false};
    const QByteArray file = PcxFile(shape, IndexLines(3, 2, PcxBytesPerLine(shape)), RampPalette());
    const TPictureDecode decode = DecodePcx(file);
    ASSERT_TRUE(decode.Ok());
    EXPECT_EQ(decode.picture.image.pixel(2, 1), RampPalette()[6]);
}

TEST(PcxReading, RunsMayCrossTheEndOfALine) {
    const PcxShape shape{.width = 2, .height = 2};
    // One run of four bytes covers both lines.
    QByteArray file = PcxHeader(shape) + QByteArray::fromHex("c407");
    const TPictureDecode decode = DecodePcx(file);
    ASSERT_TRUE(decode.Ok());
    EXPECT_FALSE(decode.picture.bad);
    EXPECT_EQ(decode.picture.image.pixel(1, 1), qRgb(7, 7, 7));
}

TEST(PcxReading, HeaderAloneGivesSizeWithoutAlpha) {
    const PcxShape shape{.width = 300, .height = 200};
    const auto info = ReadPcxInfo(PcxHeader(shape));
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->width, 300);
    EXPECT_EQ(info->height, 200);
    EXPECT_FALSE(info->hasAlpha);
}

// ---- damaged and hostile files ----------------------------------------------

TEST(PcxHostileInput, HeaderWithoutDataIsRefused) {
    const PcxShape shape{.width = 4, .height = 4};
    const TPictureDecode decode = DecodePcx(PcxHeader(shape));
    EXPECT_FALSE(decode.Ok());
    EXPECT_EQ(decode.error, TPictureError::peCorrupt);
}

TEST(PcxHostileInput, TruncatedDataGivesAPartialPictureMarkedBad) {
    const PcxShape shape{.width = 4, .height = 4, .rle = false};
    const QByteArray full = PcxFile(shape, IndexLines(4, 4, 4));
    const TPictureDecode decode = DecodePcx(full.left(128 + 4 * 2 + 1));
    ASSERT_TRUE(decode.Ok());
    EXPECT_TRUE(decode.picture.bad);
    EXPECT_EQ(decode.picture.image.size(), QSize(4, 4));
}

TEST(PcxHostileInput, RunMarkerAtTheEndOfTheDataStops) {
    const PcxShape shape{.width = 2, .height = 2};
    const TPictureDecode decode = DecodePcx(PcxHeader(shape) + QByteArray::fromHex("0102c5"));
    ASSERT_TRUE(decode.Ok());
    EXPECT_TRUE(decode.picture.bad);
}

struct RejectedHeader {
    const char* what;
    PcxShape shape;
    TPictureError error;
};

class PcxRejectedHeaders : public ::testing::TestWithParam<RejectedHeader> {};

TEST_P(PcxRejectedHeaders, AreRefusedWithoutReadingData) {
    const RejectedHeader& c = GetParam();
    const QByteArray file = PcxHeader(c.shape) + QByteArray(64, '\x01');
    const TPictureDecode decode = DecodePcx(file);
    EXPECT_FALSE(decode.Ok());
    EXPECT_EQ(decode.error, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PcxRejectedHeaders,
    ::testing::Values(
        RejectedHeader{"lines shorter than the width", {.width = 100, .height = 2, .bytesPerLine = 10},
                       TPictureError::peUnknownFormat},
        RejectedHeader{"unknown depth", {.width = 4, .height = 2, .bitsPerPixel = 3},
                       TPictureError::peUnknownFormat},
        RejectedHeader{"five planes", {.width = 4, .height = 2, .bitsPerPixel = 1, .planes = 5},
                       TPictureError::peUnknownFormat},
        RejectedHeader{"bad version", {.width = 4, .height = 2, .version = 9},
                       TPictureError::peUnknownFormat},
        RejectedHeader{"more pixels than allowed", {.width = 60000, .height = 60000},
                       TPictureError::peTooLarge}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(PcxHostileInput, ShortOrForeignDataIsNotPcx) {
    EXPECT_FALSE(LooksLikePcx(QByteArray()));
    EXPECT_FALSE(LooksLikePcx(QByteArray(127, '\x0A')));
    EXPECT_FALSE(LooksLikePcx(Encode(PatternImage(2, 2), "png")));
    EXPECT_FALSE(ReadPcxInfo(QByteArray("\x0A\x05\x01", 3)).has_value());
}

TEST(PcxHostileInput, RandomDamageNeverCrashes) {
    const PcxShape shape{.width = 9, .height = 7};
    const QByteArray good = PcxFile(shape, IndexLines(9, 7, PcxBytesPerLine(shape)), RampPalette());
    std::mt19937 random(1234);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = good;
        const int damage = 1 + int(random() % 8);
        for (int i = 0; i < damage; ++i)
            bytes[qsizetype(random() % std::uint32_t(bytes.size()))] = char(random());
        if (round % 3 == 0)
            bytes.truncate(qsizetype(random() % std::uint32_t(bytes.size())));
        const TPictureDecode decode = DecodePcx(bytes);
        if (decode.Ok())
            EXPECT_LE(std::int64_t(decode.picture.Width()) * decode.picture.Height(),
                      kMaxPicturePixels);
    }
}

} // namespace
} // namespace tomeric
