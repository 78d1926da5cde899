#pragma once
// Helpers for the picture tests: pictures made in memory, encoded with Qt's
// writers or with a small PCX writer, and written to temporary folders.

#include "imaging/picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace tomeric::testing {

// Image plug-ins (JPEG, GIF, TIFF, ICO) are found through the application's
// library paths, and metafile text needs fonts: make sure a GUI application
// object exists (off-screen when no platform was chosen).
inline void EnsureApplication() {
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "test_imaging";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

// A picture whose pixels all differ (seeded, so two pictures differ too).
inline QImage PatternImage(int width, int height, int seed = 0,
                           QImage::Format format = QImage::Format_RGB32) {
    QImage image(width, height, format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 37 + seed * 11) % 256, (y * 59 + seed * 3) % 256,
                                      (x * y + seed * 7 + 13) % 256));
    return image;
}

inline QImage FilledImage(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

inline QByteArray Encode(const QImage& image, const char* format) {
    EnsureApplication();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    EXPECT_TRUE(writer.write(image)) << format << ": " << writer.errorString().toStdString();
    return bytes;
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Moves a file's modification time, so a rewrite is seen even on file
// systems with coarse time stamps.
inline void SetModified(const QString& path, const QDateTime& when) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
}

// The smallest GIF: one transparent pixel.
inline QByteArray OnePixelGif() {
    return QByteArray::fromHex("474946383961" "01000100" "800000" "000000" "ffffff"
                               "21f9040100000000" "2c00000000" "01000100" "00"
                               "0202440100" "3b");
}

// ---- a PCX writer -------------------------------------------------------------

struct PcxShape {
    int width = 0, height = 0;
    int bitsPerPixel = 8, planes = 1;
    int bytesPerLine = 0; // 0: the smallest even count
    bool rle = true;
    std::uint8_t version = 5;
    std::vector<QRgb> headerPalette; // up to 16 colours
};

inline void AppendLE16(QByteArray& bytes, int value) {
    bytes.append(char(value & 0xFF));
    bytes.append(char(value >> 8 & 0xFF));
}

inline int PcxBytesPerLine(const PcxShape& shape) {
    if (shape.bytesPerLine > 0)
        return shape.bytesPerLine;
    const int needed = (shape.width * shape.bitsPerPixel + 7) / 8;
    return needed + needed % 2;
}

inline QByteArray PcxHeader(const PcxShape& shape) {
    QByteArray header;
    header.append(char(0x0A));
    header.append(char(shape.version));
    header.append(char(shape.rle ? 1 : 0));
    header.append(char(shape.bitsPerPixel));
    AppendLE16(header, 0);
    AppendLE16(header, 0);
    AppendLE16(header, shape.width - 1);
    AppendLE16(header, shape.height - 1);
    AppendLE16(header, 72);
    AppendLE16(header, 72);
    for (int i = 0; i < 16; ++i) {
        const QRgb c = i < int(shape.headerPalette.size()) ? shape.headerPalette[std::size_t(i)] : 0;
        header.append(char(qRed(c)));
        header.append(char(qGreen(c)));
        header.append(char(qBlue(c)));
    }
    header.append(char(0));
    header.append(char(shape.planes));
    AppendLE16(header, PcxBytesPerLine(shape));
    AppendLE16(header, 1);
    header.append(QByteArray(128 - header.size(), '\0'));
    return header;
}

// Run-length encodes `data` the way PCX writers do (runs of up to 63; bytes
// 0xC0 and above always as a run).
inline QByteArray PcxRle(const QByteArray& data) {
    QByteArray out;
    qsizetype i = 0;
    while (i < data.size()) {
        qsizetype run = 1;
        while (i + run < data.size() && run < 63 && data[i + run] == data[i])
            ++run;
        const auto value = std::uint8_t(data[i]);
        if (run > 1 || value >= 0xC0)
            out.append(char(0xC0 | run));
        out.append(char(value));
        i += run;
    }
    return out;
}

// A complete file from the raw scan lines (planes × bytes per line each).
inline QByteArray PcxFile(const PcxShape& shape, const QByteArray& lines,
                          const std::vector<QRgb>& vgaPalette = {}) {
    QByteArray file = PcxHeader(shape) + (shape.rle ? PcxRle(lines) : lines);
    if (!vgaPalette.empty()) {
        file.append(char(0x0C));
        for (int i = 0; i < 256; ++i) {
            const QRgb c = i < int(vgaPalette.size()) ? vgaPalette[std::size_t(i)] : 0;
            file.append(char(qRed(c)));
            file.append(char(qGreen(c)));
            file.append(char(qBlue(c)));
        }
    }
    return file;
}

} // namespace tomeric::testing
