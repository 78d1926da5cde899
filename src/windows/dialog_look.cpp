#include "windows/dialog_look.h"

#include "imaging/picture.h"
#include "imaging/windows_fonts.h"
#include "package/package.h"
#include "platform/string_table.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace tomeric {

namespace {

// The key colour the built-in icons are drawn on (as Windows bitmaps are).
const QColor kIconKey(0, 128, 128);

void DrawAlert(QPainter& p, bool highColour)
{
    // A warning triangle with an exclamation mark.
    QPainterPath triangle;
    triangle.moveTo(16, 2);
    triangle.lineTo(30, 28);
    triangle.lineTo(2, 28);
    triangle.closeSubpath();
    if (highColour) {
        QLinearGradient shade(0, 2, 0, 28);
        shade.setColorAt(0, QColor(255, 236, 120));
        shade.setColorAt(1, QColor(240, 176, 0));
        p.setBrush(shade);
    } else {
        p.setBrush(QColor(255, 255, 0));
    }
    p.setPen(QPen(Qt::black, 1.5));
    p.drawPath(triangle);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRect(QRectF(14.5, 10, 3, 10));
    p.drawEllipse(QRectF(14.25, 22, 3.5, 3.5));
}

void DrawAsk(QPainter& p, bool highColour)
{
    // A speech bubble with a question mark.
    if (highColour) {
        QLinearGradient shade(0, 2, 0, 26);
        shade.setColorAt(0, QColor(150, 200, 255));
        shade.setColorAt(1, QColor(30, 100, 210));
        p.setBrush(shade);
    } else {
        p.setBrush(QColor(0, 0, 255));
    }
    p.setPen(QPen(QColor(0, 0, 128), 1.5));
    QPainterPath bubble;
    bubble.addEllipse(QRectF(2, 2, 28, 24));
    QPainterPath tail;
    tail.moveTo(8, 22);
    tail.lineTo(5, 31);
    tail.lineTo(15, 25);
    tail.closeSubpath();
    p.drawPath(bubble.united(tail));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(18);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(2, 2, 28, 24), Qt::AlignCenter, QStringLiteral("?"));
}

} // namespace

TDialogLook::TDialogLook() : font_(WindowsFont(QStringLiteral("MS Sans Serif"), 8, fsBold)) {}

TDialogLook::TDialogLook(const TPublicationSettings& settings)
    // CUSTOMCHARSET picks a Windows code page for the font; text is Unicode
    // here, so the font needs nothing of it.
    : font_(WindowsFont(settings.customFontName, settings.customFontSize, settings.customFontStyle & 0x0F)),
      words_(settings.languageTexts), alertImage_(settings.alertBoxImage),
      messageImage_(settings.msgBoxImage), exitImage_(settings.exitBoxImage)
{
}

QString TDialogLook::Word(TLanguageText which) const
{
    if (which >= 0 && which < kLanguageTextCount && !words_[which].isEmpty())
        return words_[which];
    return BuiltinWord(which);
}

QString DialogDisplayText(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1Char('|'), QLatin1Char('\n'));
    return shown;
}

int DialogButtonHeight(const QFontMetrics& metrics)
{
    return std::max(25, metrics.boundingRect(QLatin1Char('M')).height() + 4);
}

qint64 DisplayColourCount()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int bits = screen ? screen->depth() : 24;
    return bits < 9 ? (qint64(1) << bits) : 16777216;
}

QImage BuiltinIconImage(TBuiltinIcon icon, bool highColour)
{
    QImage image(32, 32, QImage::Format_RGB32);
    image.fill(kIconKey);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, highColour);
    if (icon == TBuiltinIcon::biAlert)
        DrawAlert(painter, highColour);
    else
        DrawAsk(painter, highColour);
    painter.end();
    // The key colour must survive in the lower-left pixel.
    image.setPixelColor(0, 31, kIconKey);
    return image;
}

QImage TransparentIcon(const QImage& keyed)
{
    if (keyed.isNull())
        return keyed;
    QImage result = keyed.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = result.pixel(0, result.height() - 1);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if ((line[x] & 0x00FFFFFF) == (key & 0x00FFFFFF))
                line[x] = 0;
    }
    return result;
}

QImage PadlockImage()
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Shackle.
    p.setPen(QPen(QColor(90, 90, 100), 3.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(8.5, 2.5, 15, 18), 0, 180 * 16);
    p.drawLine(QPointF(8.5, 11.5), QPointF(8.5, 15));
    p.drawLine(QPointF(23.5, 11.5), QPointF(23.5, 15));
    // Body.
    QLinearGradient shade(0, 14, 0, 30);
    shade.setColorAt(0, QColor(250, 210, 80));
    shade.setColorAt(1, QColor(190, 130, 10));
    p.setPen(QPen(QColor(110, 70, 0), 1.2));
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(4.5, 14.5, 23, 16), 2.5, 2.5);
    // Keyhole.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 40, 0));
    p.drawEllipse(QRectF(13.5, 18, 5, 5));
    p.drawRect(QRectF(15, 21, 2, 6));
    return image;
}

QImage LoadDialogImage(const QString& name)
{
    if (name.trimmed().isEmpty())
        return QImage();
    TPicture picture;
    if (LoadEmbeddedPicture(name, picture) == 0 && !picture.IsEmpty())
        return picture.image;
    const TResolvedFile resolved = ResolveFile(name);
    const TPictureDecode decoded = DecodePictureFile(resolved.ok ? resolved.path : name);
    return decoded.Ok() ? decoded.picture.image : QImage();
}

} // namespace tomeric
