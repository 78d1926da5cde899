#pragma once
// Media files the media tests make for themselves: a silent WAVE of a known
// length, a one-note MIDI file, an animated GIF, a cartoon file and (through
// GStreamer's test source) a short video.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QString>
#include <QtEndian>

#include <vector>

namespace tomeric::testing {

inline void AppendLE16(QByteArray& out, quint16 value)
{
    out.append(char(value & 0xFF));
    out.append(char(value >> 8));
}

inline void AppendLE32(QByteArray& out, quint32 value)
{
    AppendLE16(out, quint16(value & 0xFFFF));
    AppendLE16(out, quint16(value >> 16));
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A silent 8 kHz 16-bit mono WAVE file of `ms` milliseconds.
inline bool WriteWave(const QString& path, int ms)
{
    const quint32 samples = 8000u * quint32(ms) / 1000u;
    QByteArray out("RIFF");
    AppendLE32(out, 36 + samples * 2);
    out.append("WAVEfmt ");
    AppendLE32(out, 16);
    AppendLE16(out, 1);     // PCM
    AppendLE16(out, 1);     // mono
    AppendLE32(out, 8000);  // samples per second
    AppendLE32(out, 16000); // bytes per second
    AppendLE16(out, 2);     // block align
    AppendLE16(out, 16);    // bits per sample
    out.append("data");
    AppendLE32(out, samples * 2);
    out.append(QByteArray(int(samples * 2), '\0'));
    return WriteBytes(path, out);
}

// A format-0 MIDI file holding one half-second note.
inline bool WriteMidi(const QString& path)
{
    const QByteArray track = QByteArray::fromHex("00903C40" "60803C40" "00FF2F00");
    QByteArray out("MThd");
    out.append(QByteArray::fromHex("00000006" "0000" "0001" "0060")); // 96 ticks a quarter
    out.append("MTrk");
    out.append(char(0)).append(char(0)).append(char(0)).append(char(track.size()));
    out.append(track);
    return WriteBytes(path, out);
}

// An endlessly looping GIF whose frames are squares of one colour each,
// `delayCs` hundredths of a second apiece. Palette index 0 is white.
inline bool WriteAnimatedGif(const QString& path, int size, const std::vector<QColor>& frames, int delayCs)
{
    QByteArray out("GIF89a");
    AppendLE16(out, quint16(size));
    AppendLE16(out, quint16(size));
    out.append(char(0xF1)).append(char(0)).append(char(0)); // 4-entry global table
    out.append(char(255)).append(char(255)).append(char(255));
    for (int i = 0; i < 3; ++i) {
        const QColor c = frames.size() > size_t(i) ? frames[size_t(i)] : QColor(Qt::black);
        out.append(char(c.red())).append(char(c.green())).append(char(c.blue()));
    }
    out.append(QByteArray::fromHex("21FF0B") + "NETSCAPE2.0" + QByteArray::fromHex("03010000" "00"));
    for (size_t f = 0; f < frames.size() && f < 3; ++f) {
        out.append(QByteArray::fromHex("21F904" "00"));
        AppendLE16(out, quint16(delayCs));
        out.append(char(0)).append(char(0));
        out.append(char(0x2C));
        AppendLE16(out, 0);
        AppendLE16(out, 0);
        AppendLE16(out, quint16(size));
        AppendLE16(out, quint16(size));
        out.append(char(0));
        out.append(char(2)); // LZW minimum code size
        // 3-bit codes, a clear code before every pair of pixels, so the
        // code width never grows.
        QByteArray data;
        quint32 bits = 0;
        int bitCount = 0;
        const auto put = [&](int code) {
            bits |= quint32(code) << bitCount;
            bitCount += 3;
            while (bitCount >= 8) {
                data.append(char(bits & 0xFF));
                bits >>= 8;
                bitCount -= 8;
            }
        };
        const int index = int(f) + 1;
        for (int p = 0; p < size * size; ++p) {
            if (p % 2 == 0)
                put(4);
            put(index);
        }
        put(5);
        if (bitCount > 0)
            data.append(char(bits & 0xFF));
        for (int at = 0; at < data.size(); at += 255) {
            const QByteArray block = data.mid(at, 255);
            out.append(char(block.size()));
            out.append(block);
        }
        out.append(char(0));
    }
    out.append(char(0x3B));
    return WriteBytes(path, out);
}

// A cartoon file: `colours.size()` frames of `size` pixels, each a square of
// its colour inside a clear border of 2 pixels.
inline bool WriteCartoon(const QString& path, int size, const std::vector<QColor>& colours)
{
    QImage strip(size * int(colours.size()), size, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    for (size_t i = 0; i < colours.size(); ++i)
        painter.fillRect(int(i) * size + 2, 2, size - 4, size - 4, colours[i]);
    painter.end();
    QByteArray picture;
    QBuffer buffer(&picture);
    buffer.open(QIODevice::WriteOnly);
    strip.save(&buffer, "PNG");
    QByteArray out("SN");
    AppendLE32(out, 12);
    AppendLE32(out, quint32(picture.size()));
    AppendLE16(out, quint16(colours.size()));
    out.append(picture);
    return WriteBytes(path, out);
}

// One second of a red test picture, `width` x `height`, in Ogg Theora.
inline bool WriteRedVideo(const QString& path, int width, int height)
{
    const QString caps = QStringLiteral("video/x-raw,width=%1,height=%2,framerate=25/1").arg(width).arg(height);
    const int code = QProcess::execute(
        QStringLiteral("gst-launch-1.0"),
        {QStringLiteral("-q"), QStringLiteral("videotestsrc"), QStringLiteral("num-buffers=25"),
         QStringLiteral("pattern=red"), QStringLiteral("!"), caps, QStringLiteral("!"),
         QStringLiteral("videoconvert"), QStringLiteral("!"), QStringLiteral("theoraenc"), QStringLiteral("!"),
         QStringLiteral("oggmux"), QStringLiteral("!"), QStringLiteral("filesink"),
         QStringLiteral("location=") + path});
    return code == 0 && QFile::exists(path);
}

} // namespace tomeric::testing
