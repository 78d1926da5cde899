#include "media/open_media_list.h"

#include "media/cartoon_player.h"
#include "media/media_playback.h"
#include "media/video_surface.h"
#include "platform/paths.h"

#include <QStringList>

#include <algorithm>

namespace tomeric {

TOpenMediaList::TOpenMediaList() = default;

TOpenMediaList::~TOpenMediaList() { StopAll(); }

TOpenMedia& TOpenMediaList::Add(const TOpenMediaFacts& facts, TPlayMode mode)
{
    auto item = std::make_unique<TOpenMedia>();
    item->serial = nextSerial_++;
    item->facts = facts;
    item->mode = mode;
    items_.push_front(std::move(item));
    ++changes_;
    return *items_.front();
}

TOpenMedia* TOpenMediaList::Find(const QString& fileName)
{
    for (const auto& item : items_)
        if (SameMediaFile(item->facts.fileName, fileName))
            return item.get();
    return nullptr;
}

bool TOpenMediaList::Contains(int serial) const
{
    return std::any_of(items_.begin(), items_.end(), [serial](const auto& item) { return item->serial == serial; });
}

std::vector<TOpenMediaFacts> TOpenMediaList::Facts() const
{
    std::vector<TOpenMediaFacts> facts;
    for (const auto& item : items_)
        facts.push_back(item->facts);
    return facts;
}

QStringList TOpenMediaList::Describe() const
{
    QStringList lines;
    for (const auto& item : items_) {
        QString state = QStringLiteral("running");
        if (item->playback)
            state = item->playback->Playing() ? QStringLiteral("playing")
                  : item->playback->Paused()  ? QStringLiteral("paused")
                                              : QStringLiteral("stopped");
        lines.append(QStringLiteral("%1 kind=%2 mode=%3 video=%4 restarts=%5 state=%6")
                         .arg(platform::FilePart(item->facts.fileName))
                         .arg(item->facts.kind)
                         .arg(item->mode)
                         .arg(item->facts.hasVideo ? 1 : 0)
                         .arg(item->restarts)
                         .arg(state));
    }
    return lines;
}

void TOpenMediaList::Watch(TOpenMedia& item)
{
    const int serial = item.serial;
    if (item.playback) {
        connect(item.playback, &TMediaPlayback::Ended, this, [this, serial] { EngineEnded(serial); });
        connect(item.playback, &TMediaPlayback::Failed, this, [this, serial](const QString& text) {
            Stop(serial);
            emit PlaybackFailed(text);
        });
    }
    if (item.cartoon)
        connect(item.cartoon, &TCartoonPlayer::Ended, this, [this, serial] { Stop(serial); });
}

void TOpenMediaList::EngineEnded(int serial)
{
    const auto found = std::find_if(items_.begin(), items_.end(),
                                    [serial](const auto& item) { return item->serial == serial; });
    if (found == items_.end())
        return;
    TOpenMedia& item = **found;
    if (item.mode == pmLoop && item.playback) {
        item.playback->Seek(0);
        item.playback->Play();
        ++item.restarts;
        emit Restarted(serial);
        return;
    }
    Stop(serial);
}

void TOpenMediaList::Stop(int serial)
{
    const auto found = std::find_if(items_.begin(), items_.end(),
                                    [serial](const auto& item) { return item->serial == serial; });
    if (found == items_.end())
        return;
    std::unique_ptr<TOpenMedia> item = std::move(*found);
    items_.erase(found);
    ++changes_;
    Release(*item);
}

void TOpenMediaList::StopWhere(const std::function<bool(const TOpenMediaFacts&)>& selects)
{
    std::vector<int> serials;
    for (const auto& item : items_)
        if (selects(item->facts))
            serials.push_back(item->serial);
    for (int serial : serials)
        Stop(serial);
}

void TOpenMediaList::Release(TOpenMedia& item)
{
    if (item.video)
        item.video->hide();
    if (item.playback) {
        // The engine may be inside one of its own signals: it goes once
        // control is back in the event loop.
        item.playback->disconnect(this);
        item.playback->Stop();
        item.playback->SetVideoSurface(nullptr);
        item.playback->deleteLater();
    }
    if (item.video)
        item.video->deleteLater();
    if (item.cartoon) {
        item.cartoon->disconnect(this);
        item.cartoon->StopByCommand();
        item.cartoon->deleteLater();
    }
}

} // namespace tomeric
