#include "media/media_playback.h"

#include "media/mixer.h"
#include "media/video_surface.h"

#include <QAudioOutput>
#include <QEventLoop>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

namespace tomeric {

TMediaPlayback::TMediaPlayback(QObject* parent)
    : QObject(parent), player_(new QMediaPlayer(this)), audio_(new QAudioOutput(this))
{
    player_->setAudioOutput(audio_);
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, &TMediaPlayback::StatusChanged);
    connect(player_, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error, const QString&) {
        if (error != QMediaPlayer::NoError && player_->playbackState() != QMediaPlayer::StoppedState)
            emit Failed(ErrorText());
    });
    connect(player_, &QMediaPlayer::playbackStateChanged, this, &TMediaPlayback::StateChanged);
    connect(&TMixer::Instance(), &TMixer::LevelsChanged, this, &TMediaPlayback::ApplyGain);
}

TMediaPlayback::~TMediaPlayback()
{
    player_->disconnect(this);
    player_->stop();
}

std::optional<QString> TMediaPlayback::Open(const QString& path, int timeoutMs)
{
    path_ = path;
    ApplyGain();
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto settled = [this] {
        const QMediaPlayer::MediaStatus status = player_->mediaStatus();
        return status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::InvalidMedia ||
               player_->error() != QMediaPlayer::NoError;
    };
    const QMetaObject::Connection statusLink =
        connect(player_, &QMediaPlayer::mediaStatusChanged, &loop, [&] { if (settled()) loop.quit(); });
    const QMetaObject::Connection errorLink =
        connect(player_, &QMediaPlayer::errorOccurred, &loop, [&loop] { loop.quit(); });
    player_->setSource(QUrl::fromLocalFile(path));
    if (!settled()) {
        timeout.start(timeoutMs);
        loop.exec();
    }
    disconnect(statusLink);
    disconnect(errorLink);
    if (player_->mediaStatus() == QMediaPlayer::LoadedMedia && player_->error() == QMediaPlayer::NoError)
        return std::nullopt;
    return ErrorText();
}

QString TMediaPlayback::ErrorText() const
{
    if (!player_->errorString().isEmpty())
        return player_->errorString();
    return QStringLiteral("The media engine cannot play %1.").arg(path_);
}

void TMediaPlayback::StatusChanged()
{
    if (player_->mediaStatus() == QMediaPlayer::EndOfMedia)
        emit Ended();
}

void TMediaPlayback::Play() { player_->play(); }
void TMediaPlayback::Pause() { player_->pause(); }

void TMediaPlayback::Stop()
{
    player_->stop();
    player_->setPosition(0);
}

void TMediaPlayback::Seek(qint64 ms) { player_->setPosition(std::max<qint64>(0, ms)); }

void TMediaPlayback::SetLoopsForever(bool endless)
{
    player_->setLoops(endless ? QMediaPlayer::Infinite : QMediaPlayer::Once);
}

qint64 TMediaPlayback::Duration() const { return player_->duration(); }
qint64 TMediaPlayback::Position() const { return player_->position(); }
bool TMediaPlayback::Playing() const { return player_->playbackState() == QMediaPlayer::PlayingState; }
bool TMediaPlayback::Paused() const { return player_->playbackState() == QMediaPlayer::PausedState; }
bool TMediaPlayback::HasVideo() const { return player_->hasVideo(); }
bool TMediaPlayback::HasAudio() const { return player_->hasAudio(); }

QSize TMediaPlayback::SourceSize() const
{
    const QSize stated = player_->metaData().value(QMediaMetaData::Resolution).toSize();
    if (stated.isValid() && !stated.isEmpty())
        return stated;
    return surface_ ? surface_->FrameSize() : QSize();
}

TVideoSurface* TMediaPlayback::VideoSurface() const { return surface_; }

void TMediaPlayback::SetVideoSurface(TVideoSurface* surface)
{
    surface_ = surface;
    player_->setVideoSink(surface ? surface->Sink() : nullptr);
}

void TMediaPlayback::SetVolume(double volume)
{
    ownVolume_ = std::clamp(volume, 0.0, 1.0);
    ApplyGain();
}

void TMediaPlayback::ApplyGain()
{
    audio_->setVolume(float(ownVolume_ * TMixer::Instance().Gain(LineOfFile(path_))));
}
void TMediaPlayback::SetMuted(bool muted) { audio_->setMuted(muted); }

} // namespace tomeric
