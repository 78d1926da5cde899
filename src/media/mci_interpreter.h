#pragma once
// The MCI interpreter behind MCICommand: the command strings publications
// send, carried out on the media engine. Devices are opened by file and
// named by their alias (by default the file name as written); each verb is
// one row of a table.

#include "media/mci_command.h"

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>

namespace tomeric {

class MessagePump;
class TMediaPlayback;

struct TMciReply {
    int code = mciOk;
    QString response;
};

class TMciInterpreter : public QObject {
    Q_OBJECT
public:
    // `resolveFile` turns a file name into a path on disk (empty when there
    // is no such file); `pump` keeps the windows alive while "wait" waits.
    TMciInterpreter(std::function<QString(const QString&)> resolveFile, MessagePump* pump);
    ~TMciInterpreter() override;

    TMciReply Send(const QString& commandText);
    // Closes every device (player end).
    void CloseAll();
    int OpenDeviceCount() const { return int(devices_.size()); }

    struct TDevice;

private:
    using TVerb = TMciReply (TMciInterpreter::*)(const TMciCommand&);
    struct TVerbRow {
        const char* verb;
        TVerb run;
        bool needsDevice; // the second word names an open device
    };
    static const TVerbRow kVerbs[];

    TMciReply Open(const TMciCommand& command);
    TMciReply Play(const TMciCommand& command);
    TMciReply Pause(const TMciCommand& command);
    TMciReply Resume(const TMciCommand& command);
    TMciReply Stop(const TMciCommand& command);
    TMciReply Seek(const TMciCommand& command);
    TMciReply Close(const TMciCommand& command);
    TMciReply Status(const TMciCommand& command);
    TMciReply Set(const TMciCommand& command);
    TMciReply SetAudio(const TMciCommand& command);
    TMciReply Capability(const TMciCommand& command);

    TDevice* FindDevice(const QString& name);
    void WaitWhilePlaying(TDevice& device);
    void PlayEnded(TDevice& device);

    std::function<QString(const QString&)> resolveFile_;
    MessagePump* pump_;
    std::map<QString, std::unique_ptr<TDevice>> devices_; // by lower-case alias
    int nextDeviceId_ = 1;
};

} // namespace tomeric
