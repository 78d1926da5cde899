#include "objects/media_player_object.h"

#include "media/media_playback.h"
#include "media/video_surface.h"
#include "vars/variables.h"

#include <QHBoxLayout>
#include <QIcon>

#include <climits>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace tomeric {

namespace {

constexpr int kPositionTickMs = 100;
constexpr int kBuiltinBarHeight = 26;

} // namespace

// ---- the seek bar -----------------------------------------------------------------------

TMediaSeekBar::TMediaSeekBar(QWidget* parent, QImage track, QImage thumb)
    : QSlider(Qt::Horizontal, parent), track_(std::move(track)), thumb_(std::move(thumb))
{
    setFocusPolicy(Qt::NoFocus);
    if (!thumb_.isNull())
        setMinimumHeight(std::max(thumb_.height(), track_.height()));
}

void TMediaSeekBar::paintEvent(QPaintEvent* event)
{
    if (track_.isNull() || thumb_.isNull()) {
        QSlider::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const int trackTop = (height() - track_.height()) / 2;
    painter.drawImage(QRect(0, trackTop, width(), track_.height()), track_);
    const int span = std::max(0, width() - thumb_.width());
    const int range = std::max(1, maximum() - minimum());
    const int left = int(qint64(value() - minimum()) * span / range);
    painter.drawImage(QPoint(left, (height() - thumb_.height()) / 2), thumb_);
}

TTomericMediaPlayer::TTomericMediaPlayer(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericObj(parent, record, host), paintMode_(pStretch)
{
    if (const auto* props = record.As<TMediaPlayerProps>()) {
        fileName_ = props->fileName;
        varName_ = props->varName;
        clickAction_ = props->clickAction;
        playAction_ = props->playAction;
        doneAction_ = props->doneAction;
        cancelAction_ = props->cancelAction;
        paintMode_ = props->paintMode;
        showControls_ = props->showControls;
        loop_ = props->loop;
    }
    display_ = new TVideoSurface(this, paintMode_);
    positionTimer_.setInterval(kPositionTickMs);
    connect(&positionTimer_, &QTimer::timeout, this, &TTomericMediaPlayer::PositionTick);
    UseCursorSlot(clickAction_.isEmpty() ? csApplication : csHotSpot);
    LayOut();
}

TTomericMediaPlayer::~TTomericMediaPlayer() = default;

// ---- opening ---------------------------------------------------------------------------

void TTomericMediaPlayer::Open()
{
    positionTimer_.stop();
    playback_.reset();
    display_->Clear();
    isOpen_ = false;
    if (fileName_.isEmpty())
        return;
    auto playback = std::make_unique<TMediaPlayback>();
    playback->SetVideoSurface(display_);
    if (const std::optional<QString> failure = playback->Open(Host().ResolveFile(fileName_))) {
        SetLastError(*failure);
        return;
    }
    playback_ = std::move(playback);
    connect(playback_.get(), &TMediaPlayback::Ended, this, &TTomericMediaPlayer::Ended);
    connect(playback_.get(), &TMediaPlayback::StateChanged, this, &TTomericMediaPlayer::UpdateButtons);
    connect(playback_.get(), &TMediaPlayback::Failed, this, [this](const QString& text) {
        positionTimer_.stop();
        SetLastError(text);
        UpdateButtons();
    });
    isOpen_ = true;
    if (showControls_) {
        BuildToolBar();
        trackBar_->setRange(0, int(std::min<qint64>(playback_->Duration(), INT_MAX)));
    }
    ShowPosition(0);
    UpdateButtons();
}

bool TTomericMediaPlayer::SetObjectFileName(const QString& file)
{
    fileName_ = file;
    Open();
    return true;
}

qint64 TTomericMediaPlayer::MediaLength() const { return playback_ ? playback_->Duration() : 0; }

std::optional<QString> TTomericMediaPlayer::FamilyInfo(const QString& upperInfo) const
{
    if (upperInfo == QLatin1String("FILENAME"))
        return fileName_;
    if (upperInfo == QLatin1String("MEDIALENGTH"))
        return QString::number(MediaLength());
    return std::nullopt;
}

// ---- the tool bar -----------------------------------------------------------------------

QIcon TTomericMediaPlayer::ButtonIcon(const char* imageName, QStyle::StandardPixmap fallback) const
{
    const QImage image = Host().Picture(QString::fromUtf8(imageName));
    if (!image.isNull())
        return QIcon(QPixmap::fromImage(image));
    return style()->standardIcon(fallback);
}

void TTomericMediaPlayer::BuildToolBar()
{
    if (toolBar_)
        return;
    toolBar_ = new QWidget(this);
    auto* row = new QHBoxLayout(toolBar_);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    const auto addButton = [this, row](const char* image, QStyle::StandardPixmap fallback,
                                       void (TTomericMediaPlayer::*action)()) {
        auto* button = new QPushButton(toolBar_);
        const QIcon icon = ButtonIcon(image, fallback);
        button->setIcon(icon);
        const QSize size = icon.availableSizes().value(0, QSize(16, 16));
        button->setIconSize(size);
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, action);
        row->addWidget(button);
        return button;
    };
    playBtn_ = addButton("Lecteur_multimédia_Bouton_Lire.png", QStyle::SP_MediaPlay, &TTomericMediaPlayer::Play);
    pauseBtn_ = addButton("Lecteur_multimédia_Bouton_Pause.png", QStyle::SP_MediaPause, &TTomericMediaPlayer::Pause);
    stopBtn_ = addButton("Lecteur_multimédia_Bouton_Stopper.png", QStyle::SP_MediaStop, &TTomericMediaPlayer::Stop);
    trackBar_ = new TMediaSeekBar(toolBar_, Host().Picture(QStringLiteral("Potentiomètre_Guide.png")),
                                  Host().Picture(QStringLiteral("Potentiomètre_Bouton.png")));
    connect(trackBar_, &QSlider::sliderMoved, this, [this](int ms) {
        if (playback_)
            playback_->Seek(ms);
    });
    row->addWidget(trackBar_, 1);
    toolBar_->show();
    LayOut();
}

void TTomericMediaPlayer::LayOut()
{
    const int lw = LineWidth();
    QRect inner = rect().adjusted(lw, lw, -lw, -lw);
    if (toolBar_) {
        const int barHeight = std::max(kBuiltinBarHeight, toolBar_->sizeHint().height());
        toolBar_->setGeometry(inner.left(), inner.bottom() + 1 - barHeight, inner.width(), barHeight);
        inner.setBottom(inner.bottom() - barHeight);
    }
    display_->setGeometry(inner);
}

void TTomericMediaPlayer::resizeEvent(QResizeEvent* event)
{
    TTomericObj::resizeEvent(event);
    LayOut();
}

void TTomericMediaPlayer::UpdateButtons()
{
    if (!toolBar_)
        return;
    const bool playing = playback_ && playback_->Playing();
    playBtn_->setEnabled(isOpen_ && !playing);
    pauseBtn_->setEnabled(isOpen_ && (playing || (playback_ && playback_->Paused())));
    stopBtn_->setEnabled(isOpen_ && (playing || (playback_ && playback_->Paused())));
}

// ---- playing -----------------------------------------------------------------------------

void TTomericMediaPlayer::ShowPosition(qint64 ms)
{
    if (toolBar_) {
        if (!trackBar_->isSliderDown())
            trackBar_->setValue(int(std::min<qint64>(ms, INT_MAX)));
    } else if (!varName_.isEmpty()) {
        SetVariable(varName_, QString::number(ms));
    }
}

void TTomericMediaPlayer::PositionTick()
{
    if (playback_)
        ShowPosition(playback_->Position());
}

void TTomericMediaPlayer::Play()
{
    if (!isOpen_ && !fileName_.isEmpty())
        Open();
    if (!isOpen_)
        return;
    playback_->Play();
    positionTimer_.start();
    UpdateButtons();
    RunObjectAction(playAction_, ekMediaStarted, 0);
}

void TTomericMediaPlayer::Pause()
{
    if (!isOpen_)
        return;
    if (playback_->Playing()) {
        playback_->Pause();
        positionTimer_.stop();
    } else if (playback_->Paused()) {
        playback_->Play();
        positionTimer_.start();
    }
    UpdateButtons();
}

void TTomericMediaPlayer::Rewind()
{
    positionTimer_.stop();
    if (playback_)
        playback_->Stop();
    ShowPosition(0);
    UpdateButtons();
}

void TTomericMediaPlayer::Stop()
{
    Rewind();
    RunObjectAction(cancelAction_, ekMediaCancelled, 0);
}

void TTomericMediaPlayer::Ended()
{
    if (loop_) {
        playback_->Seek(0);
        playback_->Play();
        return;
    }
    Rewind();
    RunObjectAction(doneAction_, ekMediaDone, 0);
}

// ---- page -----------------------------------------------------------------------------------

void TTomericMediaPlayer::OnPageShow()
{
    if (!isOpen_)
        Open();
}

void TTomericMediaPlayer::OnPageHide()
{
    Rewind();
    if (!varName_.isEmpty())
        SetVariable(varName_, QStringLiteral("0"));
}

void TTomericMediaPlayer::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && EnabledState())
        RunObjectAction(clickAction_, ekClick, 0);
}

TTomericObj* CreateMediaPlayer(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericMediaPlayer(parent, record, host);
}

} // namespace tomeric
