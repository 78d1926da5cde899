#include "objects/animator_object.h"

#include <QMouseEvent>
#include <QPainter>

#include <cstdlib>

namespace tomeric {

TTomericAnimator::TTomericAnimator(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericObj(parent, record, host)
{
    if (const auto* props = record.As<TAnimatorProps>()) {
        imageFile_ = props->fileName;
        clickAction_ = props->clickAction;
        doneAction_ = props->doneAction;
        autoStart_ = props->autoStart;
        autoRewind_ = props->autoRewind;
        autoSizing_ = props->autoSize;
        loopCount_ = std::abs(props->loopCount);
        SetHint(props->hint);
    }
    counting_ = loopCount_ > 0;
    UseCursorSlot(clickAction_.isEmpty() ? csApplication : csHotSpot);
    Reload();
}

TTomericAnimator::~TTomericAnimator() = default;

void TTomericAnimator::Reload()
{
    const bool wasPlaying = Playing();
    movie_ = std::make_unique<QMovie>();
    if (!imageFile_.isEmpty())
        movie_->setFileName(Host().ResolveFile(imageFile_));
    connect(movie_.get(), &QMovie::frameChanged, this, &TTomericAnimator::FrameChanged);
    connect(movie_.get(), &QMovie::finished, this, &TTomericAnimator::MovieFinished);
    lastFrame_ = -1;
    frozenImage_ = QImage();
    movie_->jumpToFrame(0);
    shownImage_ = movie_->currentImage();
    FitToImage();
    update();
    if (wasPlaying)
        Start();
}

void TTomericAnimator::FitToImage()
{
    if (!autoSizing_ || !movie_ || !movie_->isValid())
        return;
    const QSize image = movie_->currentImage().size();
    if (!image.isEmpty())
        resize(image + QSize(2 * LineWidth(), 2 * LineWidth()));
}

void TTomericAnimator::Play(int loops)
{
    movie_->stop();
    loopCount_ = std::abs(loops);
    counting_ = loops > 0;
    Start();
}

void TTomericAnimator::Start()
{
    if (!movie_->isValid())
        return;
    loopsPlayed_ = 0;
    wanted_ = true;
    frozenImage_ = QImage();
    if (movie_->state() == QMovie::Paused)
        movie_->setPaused(false);
    else if (movie_->state() == QMovie::NotRunning)
        movie_->start();
}

void TTomericAnimator::Stop()
{
    wanted_ = false;
    if (autoRewind_) {
        frozenImage_ = QImage();
        movie_->stop();
        movie_->jumpToFrame(0);
    } else if (movie_->state() == QMovie::Running) {
        movie_->setPaused(true);
    }
    lastFrame_ = movie_->currentFrameNumber();
    update();
}

bool TTomericAnimator::Playing() const { return movie_ && movie_->state() == QMovie::Running; }

int TTomericAnimator::CurrentFrame() const { return movie_ ? movie_->currentFrameNumber() : -1; }

void TTomericAnimator::FrameChanged(int frame)
{
    // A loop has ended when the frames wrap round to the first one.
    const bool wrapped = frame == 0 && lastFrame_ > 0;
    lastFrame_ = frame;
    const QImage previous = shownImage_;
    shownImage_ = movie_->currentImage();
    update();
    if (wrapped && Playing()) {
        LoopEnded();
        if (!wanted_ && !autoRewind_)
            frozenImage_ = previous;
    }
}

void TTomericAnimator::MovieFinished()
{
    // The file's own loop count ran out; ours decides whether it goes on.
    if (!wanted_)
        return;
    lastFrame_ = -1;
    LoopEnded();
    if (wanted_)
        movie_->start();
}

void TTomericAnimator::LoopEnded()
{
    if (!counting_)
        return;
    if (++loopsPlayed_ < loopCount_)
        return;
    wanted_ = false;
    movie_->stop();
    if (autoRewind_)
        movie_->jumpToFrame(0);
    else
        frozenImage_ = shownImage_; // the last frame stays
    update();
    RunObjectAction(doneAction_, ekMediaDone, 0);
}

// ---- page and visibility -----------------------------------------------------------

void TTomericAnimator::OnPageShow() { Reload(); }

void TTomericAnimator::OnPagePaint(bool shown, const QRect&)
{
    if (shown && VisibleState() && (wanted_ || autoStart_))
        Start();
}

void TTomericAnimator::OnPageHide()
{
    const bool keep = wanted_;
    Stop();
    wanted_ = keep; // it plays again when its page comes back
}

void TTomericAnimator::hideEvent(QHideEvent* event)
{
    TTomericObj::hideEvent(event);
    if (!VisibleState()) {
        hiddenByState_ = true;
        Stop();
    }
}

void TTomericAnimator::showEvent(QShowEvent* event)
{
    TTomericObj::showEvent(event);
    if (hiddenByState_) {
        hiddenByState_ = false;
        Reload();
        if (autoStart_)
            Start();
    }
}

// ---- commands and drawing ------------------------------------------------------------

std::optional<QString> TTomericAnimator::FamilyInfo(const QString& upperInfo) const
{
    if (upperInfo == QLatin1String("FILENAME"))
        return imageFile_;
    return std::nullopt;
}

bool TTomericAnimator::SetObjectFileName(const QString& file)
{
    imageFile_ = file;
    Reload();
    return true;
}

void TTomericAnimator::PaintContent(QPainter& painter)
{
    PaintShape(painter);
    const QImage& image = frozenImage_.isNull() ? shownImage_ : frozenImage_;
    painter.drawImage(QPoint(LineWidth(), LineWidth()), image);
}

void TTomericAnimator::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && EnabledState())
        RunObjectAction(clickAction_, ekClick, 0);
}

TTomericObj* CreateAnimator(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericAnimator(parent, record, host);
}

} // namespace tomeric
