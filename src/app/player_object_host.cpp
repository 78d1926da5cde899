#include "app/player_object_host.h"

#include "actions/action_eval.h"
#include "app/work_form.h"

#include <QEvent>

namespace tomeric {

void TPlayerObjectHost::RunObjectScript(const QString& text, int kind, std::uint8_t flags, int objType,
                                        const QString& objectName)
{
    (void)objType;
    if (text.isEmpty() || form_.ShuttingDown())
        return;
    RunActionText(services_, text, objectName, flags, std::uint8_t(kind));
}

bool TPlayerObjectHost::EnterExitSuppressed() const
{
    return !form_.Running();
}

bool TPlayerObjectHost::Running() const
{
    return form_.Running();
}

bool TPlayerObjectHost::ShowMarquee() const
{
    return form_.Publication().settings.showMarquee;
}

QCursor TPlayerObjectHost::Cursor(TCursorSlot slot) const
{
    const TCursorSet& cursors = form_.Cursors();
    switch (slot) {
    case csHotSpot: return cursors.hotSpot;
    case csDrag: return cursors.drag;
    case csApplication: break;
    }
    return cursors.application;
}

QImage TPlayerObjectHost::Picture(const QString& name)
{
    return form_.Pictures().ObjectPicture(name);
}

QString TPlayerObjectHost::ResolveFile(const QString& name)
{
    return services_.Publication ? services_.Publication->ResolveFile(name) : name;
}

std::int32_t TPlayerObjectHost::LinkColor() const
{
    return form_.Publication().settings.linkColor;
}

void TPlayerObjectHost::AdvanceLoadingProgress()
{
    form_.AdvanceSplashProgress();
}

bool TPlayerObjectHost::HasSubroutine(const QString& name) const
{
    return form_.Publication().HasSubroutine(name);
}

TResizeWatcher::TResizeWatcher(QObject* watched, std::function<void()> changed)
    : QObject(watched), changed_(std::move(changed))
{
    watched->installEventFilter(this);
}

bool TResizeWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && changed_)
        changed_();
    return QObject::eventFilter(watched, event);
}

} // namespace tomeric
