#include "pages/plugin_transitions.h"

#include "extensions/plugins.h"

#include <tomeric/plugin.h>

#include <QThread>

namespace tomeric {
namespace {

// The interface's pixels are 32-bit 0xAARRGGBB words: Qt's RGB32 layout.
QImage AsPixels(const QImage& picture) {
    return picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
}

QXBitmap BitmapOf(QImage& picture) {
    return QXBitmap{picture.width(), picture.height(), int(picture.bytesPerLine()), picture.bits()};
}

struct CanvasHost {
    TTransitionSurface* surface = nullptr;
    TTransitionSleeper sleeper;
};

void PresentStep(QXCanvas* canvas, int left, int top, int right, int bottom) {
    auto* host = static_cast<CanvasHost*>(canvas->host);
    host->surface->Present(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

void SleepStep(QXCanvas* canvas, int milliseconds) {
    auto* host = static_cast<CanvasHost*>(canvas->host);
    if (milliseconds <= 0)
        return;
    if (host->sleeper)
        host->sleeper(milliseconds);
    else
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

bool DrawWithPlugIn(const TPlugInTransitionRequest& request, const TTransitionSleeper& sleeper) {
    if (request.surface == nullptr || !HasPlugInEffect(request.name))
        return false;
    QImage& screen = request.surface->Canvas();
    const QImage::Format format = screen.format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32 &&
        format != QImage::Format_ARGB32_Premultiplied)
        screen.convertTo(QImage::Format_ARGB32_Premultiplied);
    QImage to = AsPixels(request.toPicture);
    QImage from = request.fromPicture.isNull() ? QImage() : AsPixels(request.fromPicture);
    const QXBitmap toBitmap = BitmapOf(to);
    const QXBitmap fromBitmap = from.isNull() ? QXBitmap{} : BitmapOf(from);
    CanvasHost host{request.surface, sleeper};
    QXCanvas canvas{BitmapOf(screen), PresentStep, SleepStep, &host};
    const QRect& area = request.area;
    return RenderPlugInEffect(request.name, from.isNull() ? nullptr : &fromBitmap, &toBitmap, request.options,
                              request.direction, area.left(), area.top(), area.right() + 1, area.bottom() + 1,
                              &canvas);
}

} // namespace

TPlugInTransitionHook PlugInTransitions(TTransitionSleeper sleeper) {
    return [sleeper = std::move(sleeper)](const TPlugInTransitionRequest& request) {
        return DrawWithPlugIn(request, sleeper);
    };
}

} // namespace tomeric
