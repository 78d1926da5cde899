#include "media/cartoon_player.h"

#include <QFile>
#include <QPainter>
#include <QtEndian>

namespace tomeric {

namespace {

constexpr quint16 kCartoonMagic = 0x4E53; // "SN"
constexpr int kHeaderSize = 12;

QImage WithTransparentColour(QImage image)
{
    if (image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb clear = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] == clear)
                line[x] = 0;
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

std::optional<TCartoonFile> ParseCartoonFile(const QByteArray& bytes)
{
    if (bytes.size() < kHeaderSize)
        return std::nullopt;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    if (qFromLittleEndian<quint16>(data) != kCartoonMagic)
        return std::nullopt;
    const quint32 offset = qFromLittleEndian<quint32>(data + 2);
    const int frames = qFromLittleEndian<quint16>(data + 10);
    if (frames < 1 || offset < kHeaderSize || offset >= quint32(bytes.size()))
        return std::nullopt;
    QImage image = QImage::fromData(bytes.mid(qsizetype(offset)));
    if (image.isNull() || image.width() < frames)
        return std::nullopt;
    return TCartoonFile{WithTransparentColour(image), frames};
}

std::optional<TCartoonFile> ReadCartoonFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ParseCartoonFile(file.readAll());
}

// ---- the overlay ----------------------------------------------------------------

TCartoonOverlay::TCartoonOverlay(QWidget* area, const TCartoonFile& file, const TCartoonPath& path)
    : QWidget(area), image_(file.image), frameSize_(file.FrameSize()), frames_(file.frames)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    // The path box, grown by half a frame and a pixel on each side.
    const QRect box = SpannedBox(path.start, path.end);
    setGeometry(box.left() - frameSize_.width() / 2 - 1, box.top() - frameSize_.height() / 2 - 1,
                box.width() + frameSize_.width() + 2, box.height() + frameSize_.height() + 2);
    raise();
    show();
}

void TCartoonOverlay::ShowStep(const TCartoonStep& step)
{
    step_ = step;
    update();
}

void TCartoonOverlay::Erase()
{
    step_.visible = false;
    update();
}

void TCartoonOverlay::paintEvent(QPaintEvent*)
{
    if (!step_.visible)
        return;
    QPainter painter(this);
    const QPoint centre = step_.centre - pos();
    const QRect source(step_.frame * frameSize_.width(), 0, frameSize_.width(), frameSize_.height());
    painter.drawImage(centre - QPoint(frameSize_.width() / 2, frameSize_.height() / 2), image_, source);
}

// ---- the thread -----------------------------------------------------------------

TCartoonPlayer::TCartoonPlayer(QWidget* area, std::optional<TCartoonFile> file, const TCartoonPath& path,
                               int delayMs)
    : file_(std::move(file)), path_(path), delayMs_(delayMs)
{
    if (file_) {
        path_.frames = file_->frames;
        overlay_ = new TCartoonOverlay(area, *file_, path_);
    }
    connect(this, &QThread::finished, this, &TCartoonPlayer::Ended, Qt::QueuedConnection);
}

TCartoonPlayer::~TCartoonPlayer()
{
    StopByCommand();
    delete overlay_;
}

void TCartoonPlayer::StopByCommand()
{
    disconnect(this, &QThread::finished, this, &TCartoonPlayer::Ended);
    stop_ = true;
    wake_.release();
    drawn_.release();
    wait();
    if (overlay_)
        overlay_->Erase();
}

void TCartoonPlayer::run()
{
    if (!file_) {
        errorCode_ = kCartoonReadError;
        return;
    }
    TCartoonStepper stepper(path_);
    while (!stop_ && stepper.Running()) {
        const TCartoonStep step = stepper.Current();
        if (step.visible && !DrawOnMainThread(step))
            return;
        Sleep(delayMs_);
        stepper.Advance();
    }
    if (!stop_)
        QMetaObject::invokeMethod(this, [this] { if (overlay_) overlay_->Erase(); }, Qt::QueuedConnection);
}

bool TCartoonPlayer::DrawOnMainThread(const TCartoonStep& step)
{
    // Queued to this object, which lives on the main thread; the overlay is
    // looked at only there.
    QMetaObject::invokeMethod(this, [step, this] {
        if (overlay_)
            overlay_->ShowStep(step);
        drawn_.release();
    }, Qt::QueuedConnection);
    while (!drawn_.tryAcquire(1, 50))
        if (stop_)
            return false;
    return !stop_;
}

void TCartoonPlayer::Sleep(int ms)
{
    if (wake_.tryAcquire(1, std::max(0, ms)))
        wake_.release(); // a stop keeps waking every later sleep at once
}

} // namespace tomeric
