#pragma once
// A recording ObjectHost for object tests: every script run is kept in
// order with what the object passed; the player's state flags are settable;
// pictures load from disk paths (null image otherwise).

#include "objects/object_host.h"

#include <QFileInfo>

#include <cstdint>
#include <functional>
#include <vector>

namespace tomeric::testing {

struct TRecordedRun {
    QString text;
    int kind = 0;
    std::uint8_t flags = 0;
    int objType = 0;
    QString name;
};

class TTestObjectHost : public ObjectHost {
public:
    void RunObjectScript(const QString& text, int kind, std::uint8_t flags, int objType,
                         const QString& objectName) override
    {
        runs.push_back({text, kind, flags, objType, objectName});
        if (onRun) onRun(runs.back());
    }
    bool EnterExitSuppressed() const override { return suppressed; }
    bool Running() const override { return running; }
    bool ShowMarquee() const override { return marquee; }
    QCursor Cursor(TCursorSlot slot) const override
    {
        switch (slot) {
        case csHotSpot: return QCursor(Qt::PointingHandCursor);
        case csDrag: return QCursor(Qt::ClosedHandCursor);
        default: return QCursor(Qt::ArrowCursor);
        }
    }
    QImage Picture(const QString& name) override
    {
        return QFileInfo(name).isFile() ? QImage(name) : QImage();
    }
    QString ResolveFile(const QString& name) override { return name; }
    void AdvanceLoadingProgress() override { ++loadingSteps; }
    std::int32_t LinkColor() const override { return linkColor; }

    std::vector<TRecordedRun> runs;
    // Called after each run is recorded (a test may act as the script).
    std::function<void(const TRecordedRun&)> onRun;
    bool suppressed = false;
    bool running = true;
    bool marquee = false;
    int loadingSteps = 0;
    std::int32_t linkColor = 0x00FF0000; // blue, as publications default
};

} // namespace tomeric::testing
