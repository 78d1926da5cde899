#pragma once
// TMediaService: the media commands of the action language in the player.
//
//   PlaySoundFile, PlayVideoFile, PlayCartoonFile, StopMedia   the open-media list
//   MCICommand                                                 TMciInterpreter
//   PlayTone, SoundBuzzer, SystemSound                         TSystemSounds
//   GetVolume, SetVolume                                       TMixer
//
// Everything runs on the main thread; waiting plays keep the windows alive
// through the message pump. StopEverything ends all of it at player end.

#include "actions/services.h"
#include "media/mci_interpreter.h"
#include "media/open_media_list.h"
#include "media/system_sounds.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>
#include <optional>

namespace tomeric {

class TMediaService final : public CommandService {
public:
    struct THost {
        // The publication area: videos and cartoons are its children and
        // their coordinates are relative to it. Null before the pages exist.
        std::function<QWidget*()> pageArea;
        MessagePump* pump = nullptr;
        PublicationAccess* publication = nullptr;
    };

    explicit TMediaService(THost host);
    ~TMediaService() override;

    ServiceReply Perform(const ServiceCall& call) override;
    void StopEverything();

    TOpenMediaList& OpenMedia() { return list_; }

private:
    using THandler = void (TMediaService::*)(const ServiceCall&, ServiceReply&);
    struct TCommandRow {
        const char* name;
        THandler handler;
    };
    static const TCommandRow kCommands[];

    void PlaySoundFile(const ServiceCall& call, ServiceReply& reply);
    void PlayVideoFile(const ServiceCall& call, ServiceReply& reply);
    void PlayCartoonFile(const ServiceCall& call, ServiceReply& reply);
    void StopMedia(const ServiceCall& call, ServiceReply& reply);
    void MciCommand(const ServiceCall& call, ServiceReply& reply);
    void PlayTone(const ServiceCall& call, ServiceReply& reply);
    void SoundBuzzer(const ServiceCall& call, ServiceReply& reply);
    void SystemSound(const ServiceCall& call, ServiceReply& reply);
    void GetVolume(const ServiceCall& call, ServiceReply& reply);
    void SetVolume(const ServiceCall& call, ServiceReply& reply);

    // Where a video goes: x, y, width, height as the script gave them.
    struct TVideoPlacement {
        int x, y, width, height;
    };
    void PlayFile(const QString& file, bool exact, const QString& options,
                  const std::optional<TVideoPlacement>& placement, ServiceReply& reply);
    bool StartLoopingWave(TOpenMedia& item, const QString& path);
    void ShowVideo(TOpenMedia& item, const TVideoPlacement& placement);
    // The file as a path on disk, or nothing when it cannot be found.
    std::optional<QString> LocateFile(const QString& file, bool exact) const;
    QString MissingFileText(const QString& file) const;
    // Runs the message loop until the item has left the list.
    void WaitUntilGone(int serial);
    void WaitMs(int ms);

    THost host_;
    TOpenMediaList list_;
    TMciInterpreter mci_;
    TSystemSounds sounds_;
};

} // namespace tomeric
