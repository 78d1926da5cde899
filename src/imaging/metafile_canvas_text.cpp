#include "imaging/metafile_canvas.h"

#include "imaging/windows_fonts.h"
#include "platform/cp1252.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <numbers>

// Text records drawn on the canvas: the font the device context selected
// (with the Windows font stand-ins), its height and width in logical units,
// escapement, alignment, background mode and colours, clipping and opaque
// rectangles, and character advances.

namespace tomeric {
namespace {

constexpr double kMaxFontPixels = 4096;
constexpr qsizetype kMaxTextLength = 4096;

const char* CodecOfCharset(int charset) {
    switch (charset) {
    case 77: return "macintosh";
    case 128: return "Shift_JIS";
    case 129: return "windows-949";
    case 134: return "GBK";
    case 136: return "Big5";
    case 161: return "windows-1253";
    case 162: return "windows-1254";
    case 163: return "windows-1258";
    case 177: return "windows-1255";
    case 178: return "windows-1256";
    case 186: return "windows-1257";
    case 204: return "windows-1251";
    case 222: return "windows-874";
    case 238: return "windows-1250";
    case 255: return "IBM437";
    default: return nullptr;
    }
}

} // namespace

QString DecodeCharset(QByteArrayView bytes, int charset) {
    if (charset == 2) // SYMBOL_CHARSET: the bytes are the font's own signs
        return QString::fromLatin1(bytes.data(), bytes.size());
    if (const char* codec = CodecOfCharset(charset)) {
        QStringDecoder decoder(codec);
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    return DecodeWindows1252(bytes);
}

QString TMetaCanvas::DecodeAnsi(QByteArrayView bytes) const {
    return DecodeCharset(bytes, dc_.State().font.charset);
}

QFont TMetaCanvas::Font(double& ascent, double& descent) const {
    const TMetaFont& f = dc_.State().font;
    QFont font = WindowsFont(f.face, 8, 0);
    font.setWeight(QFont::Weight(std::clamp(f.weight > 0 ? f.weight : 400, 1, 1000)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    // 0 asks for the font's default height: 12 logical units.
    const double logical = f.height != 0 ? std::abs(double(f.height)) : 12;
    double pixels = logical * dc_.ScaleY();
    if (f.height > 0) {
        // A cell height: ascent plus descent, of which the em is a part.
        font.setPixelSize(100);
        const QFontMetricsF metrics(font);
        const double cell = metrics.ascent() + metrics.descent();
        if (cell > 0)
            pixels = pixels * 100 / cell;
    }
    font.setPixelSize(int(std::clamp(std::round(pixels), 1.0, kMaxFontPixels)));
    if (f.width != 0) {
        const QFontMetricsF metrics(font);
        const double wanted = std::abs(double(f.width)) * dc_.ScaleX();
        if (metrics.averageCharWidth() > 0)
            font.setStretch(int(std::clamp(std::round(100 * wanted / metrics.averageCharWidth()), 1.0, 4000.0)));
    }
    const QFontMetricsF metrics(font);
    ascent = metrics.ascent();
    descent = metrics.descent();
    return font;
}

void TMetaCanvas::Text(const TText& text) {
    TMetaDcState& s = dc_.State();
    const QTransform& t = dc_.LogicalToTarget();
    if (inPath_)
        return; // glyph outlines in paths are not drawn
    ApplyClip();
    if (text.rectangle && (text.options & gdi::kEtoOpaque)) {
        QPainterPath box;
        box.addRect(text.rectangle->normalized());
        FillTarget(ToTarget(box), s.bkColour);
    }
    const QString string = text.text.left(kMaxTextLength);
    // Glyph indices name no characters; fonts need a GUI application.
    if (string.isEmpty() || (text.options & gdi::kEtoGlyphIndex)
        || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    const bool updatePosition = s.textAlign & gdi::kTaUpdateCp;
    const QPointF reference = updatePosition ? s.position : text.reference;
    const QPointF origin = KeptInRange(t.map(reference));
    if (s.font.height != 0 && std::abs(s.font.height) * dc_.ScaleY() < 0.5)
        return; // too small to see
    double ascent = 0, descent = 0;
    const QFont font = Font(ascent, descent);
    const QFontMetricsF metrics(font);

    // Where each character goes along the baseline, in target units.
    const double scaleX = dc_.ScaleX();
    std::vector<double> positions;
    double total = 0;
    if (!text.advances.empty()) {
        positions.reserve(std::size_t(string.size()));
        for (qsizetype i = 0; i < string.size(); ++i) {
            positions.push_back(total);
            if (std::size_t(i) < text.advances.size())
                total += KeptInRange(text.advances[std::size_t(i)] * scaleX);
        }
    } else {
        total = metrics.horizontalAdvance(string);
    }
    double x = 0;
    switch (s.textAlign & gdi::kTaHorizontalMask) {
    case gdi::kTaRight: x = -total; break;
    case gdi::kTaCenter: x = -total / 2; break;
    default: break;
    }
    double baseline = ascent;
    switch (s.textAlign & gdi::kTaVerticalMask) {
    case gdi::kTaBottom: baseline = -descent; break;
    case gdi::kTaBaseline: baseline = 0; break;
    default: break;
    }
    const QRectF cell(x, baseline - ascent, total, ascent + descent);
    const double angle = std::atan2(t.m12(), t.m11()) * 180 / std::numbers::pi - s.font.escapement / 10.0;
    QTransform placement;
    placement.translate(origin.x(), origin.y());
    placement.rotate(angle);
    if (Spend(placement.mapRect(cell))) {
        painter_.save();
        if (text.rectangle && (text.options & gdi::kEtoClipped))
            painter_.setClipRegion(dc_.TargetRegion(*text.rectangle), Qt::IntersectClip);
        painter_.setWorldTransform(placement * base_);
        if (s.bkMode == gdi::bkOpaque && !(text.options & gdi::kEtoOpaque))
            painter_.fillRect(cell, s.bkColour);
        painter_.setFont(font);
        painter_.setPen(s.textColour);
        if (positions.empty()) {
            painter_.drawText(QPointF(x, baseline), string);
        } else {
            for (qsizetype i = 0; i < string.size(); ++i) {
                const qsizetype length = string.at(i).isHighSurrogate() && i + 1 < string.size() ? 2 : 1;
                painter_.drawText(QPointF(x + positions[std::size_t(i)], baseline), string.mid(i, length));
                i += length - 1;
            }
        }
        painter_.restore();
    }
    if (updatePosition && scaleX > 0)
        s.position = reference + QPointF(total / scaleX, 0);
}

} // namespace tomeric
