#pragma once
// Windows metafiles written record by record from the documented layouts
// ([MS-WMF], [MS-EMF]), for the metafile tests: the tests draw with GDI's
// records and check what the player makes of them. Also used by the rich-text
// and end-to-end tests (include it by its relative path).

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace tomeric::testing {

inline void Put16(QByteArray& bytes, int value) {
    bytes.append(char(value & 0xFF));
    bytes.append(char(value >> 8 & 0xFF));
}

inline void Put32(QByteArray& bytes, std::int64_t value) {
    for (int i = 0; i < 4; ++i)
        bytes.append(char(value >> (8 * i) & 0xFF));
}

inline void PutFloat(QByteArray& bytes, float value) {
    std::uint32_t bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    Put32(bytes, bits);
}

// 0x00BBGGRR.
inline std::uint32_t ColourRef(QRgb colour) {
    return std::uint32_t(qRed(colour)) | std::uint32_t(qGreen(colour)) << 8 | std::uint32_t(qBlue(colour)) << 16;
}

// A BITMAPINFOHEADER for a 24-bit bottom-up DIB, and its rows.
inline QByteArray DibInfo24(QSize size) {
    QByteArray info;
    Put32(info, 40);
    Put32(info, size.width());
    Put32(info, size.height());
    Put16(info, 1);
    Put16(info, 24);
    Put32(info, 0); // BI_RGB
    Put32(info, 0);
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, 0);
    Put32(info, 0);
    return info;
}

inline QByteArray DibBits24(const QImage& image) {
    QByteArray bits;
    for (int y = image.height() - 1; y >= 0; --y) {
        qsizetype row = 0;
        for (int x = 0; x < image.width(); ++x, row += 3) {
            const QRgb pixel = image.pixel(x, y);
            bits.append(char(qBlue(pixel)));
            bits.append(char(qGreen(pixel)));
            bits.append(char(qRed(pixel)));
        }
        while (row % 4) {
            bits.append('\0');
            ++row;
        }
    }
    return bits;
}

// ---- WMF ----------------------------------------------------------------------------

class WmfWriter {
public:
    // A placeable metafile with a bounding box in units of `unitsPerInch`,
    // or a plain one (no placeable header).
    static WmfWriter Placeable(QRect box, int unitsPerInch) { return WmfWriter(true, box, unitsPerInch); }
    static WmfWriter Plain() { return WmfWriter(false, {}, 0); }

    // One record: the function and its parameter words (signed or unsigned
    // 16-bit values), then raw bytes (padded to a whole word).
    WmfWriter& Record(int function, std::initializer_list<int> words, const QByteArray& tail = {}) {
        QByteArray params;
        for (const int word : words)
            Put16(params, word);
        params += tail;
        if (params.size() % 2)
            params.append('\0');
        starts_.push_back(records_.size());
        Put32(records_, 3 + params.size() / 2);
        Put16(records_, function);
        records_ += params;
        maxRecord_ = std::max<qsizetype>(maxRecord_, 3 + params.size() / 2);
        return *this;
    }

    WmfWriter& SetMapMode(int mode) { return Record(0x0103, {mode}); }
    WmfWriter& SetWindowOrg(int x, int y) { return Record(0x020B, {y, x}); }
    WmfWriter& SetWindowExt(int x, int y) { return Record(0x020C, {y, x}); }
    WmfWriter& SetViewportExt(int x, int y) { return Record(0x020E, {y, x}); }
    WmfWriter& SetBkMode(int mode) { return Record(0x0102, {mode}); }
    WmfWriter& SetTextAlign(int align) { return Record(0x012E, {align}); }
    WmfWriter& SetTextColor(QRgb colour) { return Colour(0x0209, colour); }
    WmfWriter& SetBkColor(QRgb colour) { return Colour(0x0201, colour); }
    WmfWriter& SetPolyFillMode(int mode) { return Record(0x0106, {mode}); }
    WmfWriter& SaveDc() { return Record(0x001E, {}); }
    WmfWriter& RestoreDc(int which) { return Record(0x0127, {which}); }
    // Objects take the lowest free index, as GDI gives them.
    WmfWriter& CreatePen(int style, int width, QRgb colour) {
        const std::uint32_t c = ColourRef(colour);
        ++objects_;
        return Record(0x02FA, {style, width, 0, int(c & 0xFFFF), int(c >> 16)});
    }
    WmfWriter& CreateBrush(int style, QRgb colour, int hatch = 0) {
        const std::uint32_t c = ColourRef(colour);
        ++objects_;
        return Record(0x02FC, {style, int(c & 0xFFFF), int(c >> 16), hatch});
    }
    WmfWriter& CreateFont(int height, int weight, const QByteArray& face, int charset = 0) {
        QByteArray tail;
        tail.append(char(0)); // italic
        tail.append(char(0)); // underline
        tail.append(char(0)); // strike-out
        tail.append(char(charset));
        tail.append(QByteArray(4, '\0')); // precisions, quality, pitch
        tail.append(face.left(31));
        tail.append('\0');
        ++objects_;
        return Record(0x02FB, {height, 0, 0, 0, weight}, tail);
    }
    WmfWriter& SelectObject(int index) { return Record(0x012D, {index}); }
    WmfWriter& DeleteObject(int index) { return Record(0x01F0, {index}); }
    WmfWriter& MoveTo(int x, int y) { return Record(0x0214, {y, x}); }
    WmfWriter& LineTo(int x, int y) { return Record(0x0213, {y, x}); }
    WmfWriter& Rectangle(int left, int top, int right, int bottom) {
        return Record(0x041B, {bottom, right, top, left});
    }
    WmfWriter& Ellipse(int left, int top, int right, int bottom) {
        return Record(0x0418, {bottom, right, top, left});
    }
    WmfWriter& Polygon(std::initializer_list<QPoint> points) { return Poly(0x0324, points); }
    WmfWriter& Polyline(std::initializer_list<QPoint> points) { return Poly(0x0325, points); }
    WmfWriter& TextOut(int x, int y, const QByteArray& text) {
        QByteArray tail = text;
        if (tail.size() % 2)
            tail.append('\0');
        Put16(tail, y);
        Put16(tail, x);
        return Record(0x0521, {int(text.size())}, tail);
    }
    WmfWriter& IntersectClipRect(int left, int top, int right, int bottom) {
        return Record(0x0416, {bottom, right, top, left});
    }
    WmfWriter& ExcludeClipRect(int left, int top, int right, int bottom) {
        return Record(0x0415, {bottom, right, top, left});
    }
    // META_STRETCHDIB of a whole 24-bit DIB onto a logical rectangle.
    WmfWriter& StretchDib(const QImage& image, QRect to, std::uint32_t rasterOperation = 0x00CC0020) {
        const int w = image.width(), h = image.height();
        return Record(0x0F43,
                      {int(rasterOperation & 0xFFFF), int(rasterOperation >> 16), 0, h, w, 0, 0, to.height(),
                       to.width(), to.y(), to.x()},
                      DibInfo24(image.size()) + DibBits24(image));
    }

    int Objects() const { return objects_; }

    // The file: headers, records and the end-of-file record.
    QByteArray Bytes() const {
        QByteArray body = records_;
        Put32(body, 3);
        Put16(body, 0);
        QByteArray header;
        Put16(header, 1);   // memory metafile
        Put16(header, 9);   // header words
        Put16(header, 0x300);
        Put32(header, (18 + body.size()) / 2);
        Put16(header, objects_);
        Put32(header, maxRecord_);
        Put16(header, 0);
        if (!placeable_)
            return header + body;
        QByteArray file;
        Put32(file, 0x9AC6CDD7);
        Put16(file, 0);
        Put16(file, box_.left());
        Put16(file, box_.top());
        Put16(file, box_.left() + box_.width());
        Put16(file, box_.top() + box_.height());
        Put16(file, unitsPerInch_);
        Put32(file, 0);
        int checksum = 0;
        for (qsizetype i = 0; i < 20; i += 2)
            checksum ^= std::uint8_t(file[i]) | std::uint8_t(file[i + 1]) << 8;
        Put16(file, checksum);
        return file + header + body;
    }

    // Where each record starts in Bytes(), the end-of-file record last.
    std::vector<qsizetype> RecordStarts() const {
        const qsizetype offset = (placeable_ ? 22 : 0) + 18;
        std::vector<qsizetype> starts;
        for (const qsizetype start : starts_)
            starts.push_back(offset + start);
        starts.push_back(offset + records_.size());
        return starts;
    }

private:
    WmfWriter(bool placeable, QRect box, int unitsPerInch)
        : placeable_(placeable), box_(box), unitsPerInch_(unitsPerInch) {}

    WmfWriter& Colour(int function, QRgb colour) {
        const std::uint32_t c = ColourRef(colour);
        return Record(function, {int(c & 0xFFFF), int(c >> 16)});
    }
    WmfWriter& Poly(int function, std::initializer_list<QPoint> points) {
        QByteArray tail;
        for (const QPoint& point : points) {
            Put16(tail, point.x());
            Put16(tail, point.y());
        }
        return Record(function, {int(points.size())}, tail);
    }

    bool placeable_;
    QRect box_;
    int unitsPerInch_;
    QByteArray records_;
    std::vector<qsizetype> starts_;
    qsizetype maxRecord_ = 3;
    int objects_ = 0;
};

// ---- EMF ----------------------------------------------------------------------------

class EmfWriter {
public:
    // `frame` in hundredths of a millimetre; the reference device of
    // `device` pixels over `millimetres`. Bounds are left at the frame's.
    EmfWriter(QRect frame, QSize device, QSize millimetres)
        : frame_(frame), device_(device), millimetres_(millimetres) {}
    // A reference device of 96 dots per inch and a frame of `pixels` there.
    static EmfWriter AtScreenResolution(QSize pixels) {
        const QSize device(960, 960), millimetres(254, 254);
        return EmfWriter(QRect(0, 0, pixels.width() * 2540 / 96, pixels.height() * 2540 / 96), device, millimetres);
    }

    EmfWriter& Record(std::uint32_t type, std::initializer_list<std::int64_t> values, const QByteArray& tail = {}) {
        QByteArray params;
        for (const std::int64_t value : values)
            Put32(params, value);
        params += tail;
        while (params.size() % 4)
            params.append('\0');
        starts_.push_back(records_.size());
        Put32(records_, type);
        Put32(records_, 8 + params.size());
        records_ += params;
        ++count_;
        return *this;
    }

    EmfWriter& SetMapMode(int mode) { return Record(17, {mode}); }
    EmfWriter& SetWindowExt(int x, int y) { return Record(9, {x, y}); }
    EmfWriter& SetWindowOrg(int x, int y) { return Record(10, {x, y}); }
    EmfWriter& SetViewportExt(int x, int y) { return Record(11, {x, y}); }
    EmfWriter& SetViewportOrg(int x, int y) { return Record(12, {x, y}); }
    EmfWriter& SetBkMode(int mode) { return Record(18, {mode}); }
    EmfWriter& SetTextAlign(int align) { return Record(22, {align}); }
    EmfWriter& SetTextColor(QRgb colour) { return Record(24, {ColourRef(colour)}); }
    EmfWriter& SaveDc() { return Record(33, {}); }
    EmfWriter& RestoreDc(int which) { return Record(34, {which}); }
    EmfWriter& SetWorldTransform(float m11, float m12, float m21, float m22, float dx, float dy) {
        QByteArray xform;
        for (const float value : {m11, m12, m21, m22, dx, dy})
            PutFloat(xform, value);
        return Record(35, {}, xform);
    }
    EmfWriter& SelectObject(std::uint32_t index) { return Record(37, {index}); }
    EmfWriter& DeleteObject(std::uint32_t index) { return Record(40, {index}); }
    EmfWriter& CreatePen(int index, int style, int width, QRgb colour) {
        Handle(index);
        return Record(38, {index, style, width, 0, ColourRef(colour)});
    }
    EmfWriter& CreateBrush(int index, int style, QRgb colour, int hatch = 0) {
        Handle(index);
        return Record(39, {index, style, ColourRef(colour), hatch});
    }
    EmfWriter& CreateFont(int index, int height, int weight, const QString& face) {
        Handle(index);
        QByteArray tail(8, '\0'); // italic ... pitch and family
        QByteArray name(64, '\0');
        for (qsizetype i = 0; i < std::min<qsizetype>(face.size(), 31); ++i) {
            name[2 * i] = char(face[i].unicode() & 0xFF);
            name[2 * i + 1] = char(face[i].unicode() >> 8);
        }
        return Record(82, {index, height, 0, 0, 0, weight}, tail + name);
    }
    EmfWriter& MoveTo(int x, int y) { return Record(27, {x, y}); }
    EmfWriter& LineTo(int x, int y) { return Record(54, {x, y}); }
    EmfWriter& Rectangle(int left, int top, int right, int bottom) { return Record(43, {left, top, right, bottom}); }
    EmfWriter& Ellipse(int left, int top, int right, int bottom) { return Record(42, {left, top, right, bottom}); }
    EmfWriter& IntersectClipRect(int left, int top, int right, int bottom) {
        return Record(30, {left, top, right, bottom});
    }
    EmfWriter& ExcludeClipRect(int left, int top, int right, int bottom) {
        return Record(29, {left, top, right, bottom});
    }
    // EMR_POLYGON16 / EMR_POLYLINE16.
    EmfWriter& Polygon16(std::initializer_list<QPoint> points) { return Poly16(86, points); }
    EmfWriter& Polyline16(std::initializer_list<QPoint> points) { return Poly16(87, points); }
    // EMR_EXTTEXTOUTW without a rectangle or advances.
    EmfWriter& TextOut(int x, int y, const QString& text) {
        const qsizetype stringAt = 76;
        QByteArray tail;
        for (const QChar c : text)
            Put16(tail, c.unicode());
        return Record(84, {0, 0, 0, 0, 1, 0, 0, x, y, text.size(), stringAt, 0, 0, 0, 0, 0, 0}, tail);
    }
    // EMR_STRETCHDIBITS of a whole 24-bit DIB onto a logical rectangle.
    EmfWriter& StretchDib(const QImage& image, QRect to, std::uint32_t rasterOperation = 0x00CC0020) {
        const QByteArray info = DibInfo24(image.size());
        const QByteArray bits = DibBits24(image);
        const qsizetype infoAt = 80, bitsAt = infoAt + info.size();
        return Record(81,
                      {0, 0, 0, 0, to.x(), to.y(), 0, 0, image.width(), image.height(), infoAt, info.size(), bitsAt,
                       bits.size(), 0, rasterOperation, to.width(), to.height()},
                      info + bits);
    }

    QByteArray Bytes() const {
        QByteArray end;
        Put32(end, 14);
        Put32(end, 20);
        Put32(end, 0);
        Put32(end, 16);
        Put32(end, 20);
        const double toPixelsX = double(device_.width()) / (millimetres_.width() * 100.0);
        const double toPixelsY = double(device_.height()) / (millimetres_.height() * 100.0);
        QByteArray header;
        const qsizetype headerSize = 108;
        Put32(header, 1);
        Put32(header, headerSize);
        const auto bound = [](double value) { return std::int64_t(std::clamp(value, -2e9, 2e9)); };
        Put32(header, bound(frame_.left() * toPixelsX)); // bounds, inclusive
        Put32(header, bound(frame_.top() * toPixelsY));
        Put32(header, bound((double(frame_.left()) + frame_.width()) * toPixelsX) - 1);
        Put32(header, bound((double(frame_.top()) + frame_.height()) * toPixelsY) - 1);
        Put32(header, frame_.left()); // frame, inclusive
        Put32(header, frame_.top());
        Put32(header, frame_.left() + frame_.width());
        Put32(header, frame_.top() + frame_.height());
        Put32(header, 0x464D4520);
        Put32(header, 0x10000);
        Put32(header, headerSize + records_.size() + end.size());
        Put32(header, count_ + 2);
        Put16(header, handles_ + 1);
        Put16(header, 0);
        Put32(header, 0); // description
        Put32(header, 0);
        Put32(header, 0); // palette entries
        Put32(header, device_.width());
        Put32(header, device_.height());
        Put32(header, millimetres_.width());
        Put32(header, millimetres_.height());
        Put32(header, 0); // pixel format
        Put32(header, 0);
        Put32(header, 0); // OpenGL
        Put32(header, millimetres_.width() * 1000);
        Put32(header, millimetres_.height() * 1000);
        return header + records_ + end;
    }

    // Where each record starts in Bytes(), the end-of-file record last.
    std::vector<qsizetype> RecordStarts() const {
        std::vector<qsizetype> starts;
        for (const qsizetype start : starts_)
            starts.push_back(108 + start);
        starts.push_back(108 + records_.size());
        return starts;
    }

private:
    void Handle(int index) { handles_ = std::max(handles_, index); }
    EmfWriter& Poly16(std::uint32_t type, std::initializer_list<QPoint> points) {
        QByteArray tail;
        for (const QPoint& point : points) {
            Put16(tail, point.x());
            Put16(tail, point.y());
        }
        return Record(type, {0, 0, 0, 0, std::int64_t(points.size())}, tail);
    }

    QRect frame_;
    QSize device_;
    QSize millimetres_;
    QByteArray records_;
    std::vector<qsizetype> starts_;
    int count_ = 0;
    int handles_ = 0;
};

} // namespace tomeric::testing
