#pragma once
// TPlayerObjectHost: what the main window gives its page objects. Scripts
// run like the window's own (RunActionText with the object's name as the
// source); enter and exit actions are held back until the first page shows
// and again once closing starts; cursors come from the publication's cursor
// set, pictures from the window's picture store, files through the
// publication access.

#include "objects/object_host.h"

#include <QObject>

#include <functional>

namespace tomeric {

class TWorkForm;
struct Services;

class TPlayerObjectHost final : public ObjectHost {
public:
    TPlayerObjectHost(TWorkForm& form, Services& services) : form_(form), services_(services) {}

    void RunObjectScript(const QString& text, int kind, std::uint8_t flags, int objType,
                         const QString& objectName) override;
    bool EnterExitSuppressed() const override;
    bool Running() const override;
    bool ShowMarquee() const override;
    QCursor Cursor(TCursorSlot slot) const override;
    QImage Picture(const QString& name) override;
    QString ResolveFile(const QString& name) override;
    std::int32_t LinkColor() const override;
    void AdvanceLoadingProgress() override;
    bool HasSubroutine(const QString& name) const override;

private:
    TWorkForm& form_;
    Services& services_;
};

// Calls `changed` after every resize of the watched widget (the page area:
// objects recompute their tab stops).
class TResizeWatcher final : public QObject {
public:
    TResizeWatcher(QObject* watched, std::function<void()> changed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> changed_;
};

} // namespace tomeric
