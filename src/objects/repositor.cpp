#include "objects/repositor.h"

#include <QResizeEvent>

#include <algorithm>

namespace tomeric {

// ---- repositor --------------------------------------------------------------------

TTomericRepositor::TTomericRepositor(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericObj(parent, record, host)
{
}

std::vector<TTomericObj*> TTomericRepositor::Members() const
{
    std::vector<TTomericObj*> members;
    for (QObject* child : children())
        if (auto* object = qobject_cast<TTomericObj*>(child)) members.push_back(object);
    return members;
}

void TTomericRepositor::MembersCreated() { RebuildTabOrder(this); }

void TTomericRepositor::SetEnabledState(bool value)
{
    if (EnabledState() == value) return;
    TTomericObj::SetEnabledState(value);
    ForMembers([value](TTomericObj& m) { m.SetEnabledState(value); });
}

void TTomericRepositor::OnInit() { ForMembers([](TTomericObj& m) { m.OnInit(); }); }
void TTomericRepositor::OnTimers(bool resume) { ForMembers([resume](TTomericObj& m) { m.OnTimers(resume); }); }
void TTomericRepositor::OnPageHide() { ForMembers([](TTomericObj& m) { m.OnPageHide(); }); }
void TTomericRepositor::OnPageShow() { ForMembers([](TTomericObj& m) { m.OnPageShow(); }); }
void TTomericRepositor::OnTabStops() { ForMembers([](TTomericObj& m) { m.OnTabStops(); }); }
void TTomericRepositor::OnRealign() { ForMembers([](TTomericObj& m) { m.OnRealign(); }); }

bool TTomericRepositor::HearsVariable(const QString& upperName) const
{
    bool heard = TTomericObj::HearsVariable(upperName);
    ForMembers([&](const TTomericObj& m) { heard = heard || m.HearsVariable(upperName); });
    return heard;
}

void TTomericRepositor::OnVarChanged(const QString& upperName, const QString& value)
{
    TTomericObj::OnVarChanged(upperName, value);
    ForMembers([&](TTomericObj& m) { m.OnVarChanged(upperName, value); });
}

void TTomericRepositor::OnPagePaint(bool shown, const QRect& area)
{
    ForMembers([&](TTomericObj& m) { m.OnPagePaint(shown, area); });
}

// ---- group ---------------------------------------------------------------------------

TTomericGroup::TTomericGroup(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericRepositor(parent, record, host)
{
    FixTransparency(true);
}

void TTomericGroup::MembersCreated()
{
    TTomericRepositor::MembersCreated();
    for (TTomericObj* member : Members())
        member->installEventFilter(this);
    UpdateMouseRegion();
}

QRegion TTomericGroup::MembersRegion() const
{
    QRegion region;
    for (TTomericObj* member : Members()) {
        if (member->isHidden())
            continue;
        QRegion own;
        if (auto* group = qobject_cast<TTomericGroup*>(member))
            own = group->MembersRegion();
        else
            own = member->mask().isEmpty() ? QRegion(member->rect()) : member->mask();
        region += own.translated(member->pos());
    }
    return region;
}

void TTomericGroup::UpdateMouseRegion()
{
    updatePosted_ = false;
    const QRegion region = MembersRegion();
    // An empty mask would mean "no mask" to Qt: with nothing shown the
    // group lets every click through instead.
    setAttribute(Qt::WA_TransparentForMouseEvents, region.isEmpty());
    if (region.isEmpty())
        clearMask();
    else
        setMask(region);
    if (auto* outer = qobject_cast<TTomericGroup*>(parentWidget()))
        outer->RequestMouseRegionUpdate();
}

void TTomericGroup::RequestMouseRegionUpdate()
{
    if (updatePosted_)
        return;
    updatePosted_ = true;
    // Posted: a member recomputes its own mask in its resize handler, after
    // this filter has seen the event.
    QMetaObject::invokeMethod(this, [this] { UpdateMouseRegion(); }, Qt::QueuedConnection);
}

bool TTomericGroup::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide: RequestMouseRegionUpdate(); break;
    default: break;
    }
    return TTomericRepositor::eventFilter(watched, event);
}

// ---- container ------------------------------------------------------------------------

TTomericContainer::TTomericContainer(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericRepositor(parent, record, host)
{
    if (const auto* props = record.As<TContainerProps>()) {
        hMargin_ = std::max(props->hMargin, 0);
        vMargin_ = std::max(props->vMargin, 0);
        resizeAction_ = props->resizeAction;
    }
    lastSize_ = size();
}

QRect TTomericContainer::ClientArea() const
{
    const int h = LineWidth() + hMargin_, v = LineWidth() + vMargin_;
    return rect().adjusted(h, v, -h, -v);
}

void TTomericContainer::Realign() { DockObjects(Members(), ClientArea()); }

void TTomericContainer::MembersCreated()
{
    TTomericRepositor::MembersCreated();
    Realign();
}

void TTomericContainer::OnInit()
{
    lastSize_ = size();
    TTomericRepositor::OnInit();
}

void TTomericContainer::OnRealign()
{
    Realign();
    TTomericRepositor::OnRealign();
}

void TTomericContainer::resizeEvent(QResizeEvent* event)
{
    TTomericRepositor::resizeEvent(event);
    if (!Host().Running() || !EnabledState()) return;
    Realign();
    TTomericRepositor::OnRealign();
    if (size() == lastSize_) return;
    lastSize_ = size();
    RunObjectAction(resizeAction_, ekContainerResized, 0);
}

// ---- docking and tab order --------------------------------------------------------------

void DockObjects(const std::vector<TTomericObj*>& objects, QRect free)
{
    auto each = [&objects](int anchor, auto&& place) {
        for (TTomericObj* m : objects)
            if (m->Anchor() == anchor) place(*m);
    };
    each(anTop, [&free](TTomericObj& m) {
        m.setGeometry(free.left(), free.top(), free.width(), m.height());
        free.setTop(free.top() + m.height());
    });
    each(anBottom, [&free](TTomericObj& m) {
        m.setGeometry(free.left(), free.bottom() + 1 - m.height(), free.width(), m.height());
        free.setBottom(free.bottom() - m.height());
    });
    each(anLeft, [&free](TTomericObj& m) {
        m.setGeometry(free.left(), free.top(), m.width(), std::max(free.height(), 0));
        free.setLeft(free.left() + m.width());
    });
    each(anRight, [&free](TTomericObj& m) {
        m.setGeometry(free.right() + 1 - m.width(), free.top(), m.width(), std::max(free.height(), 0));
        free.setRight(free.right() - m.width());
    });
    each(anFill, [&free](TTomericObj& m) {
        m.setGeometry(free.left(), free.top(), std::max(free.width(), 0), std::max(free.height(), 0));
    });
}

void RebuildTabOrder(QWidget* parent)
{
    std::vector<TTomericObj*> objects;
    for (QObject* child : parent->children())
        if (auto* object = qobject_cast<TTomericObj*>(child)) objects.push_back(object);
    // Explicit positions first, ascending; the rest keep creation order.
    std::stable_sort(objects.begin(), objects.end(), [](TTomericObj* a, TTomericObj* b) {
        const int ka = a->TabOrderIndex(), kb = b->TabOrderIndex();
        if ((ka < 0) != (kb < 0)) return ka >= 0;
        return ka >= 0 && ka < kb;
    });
    for (std::size_t i = 1; i < objects.size(); ++i) QWidget::setTabOrder(objects[i - 1], objects[i]);
}

TTomericObj* CreateGroup(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericGroup(parent, record, host);
}

TTomericObj* CreateContainer(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericContainer(parent, record, host);
}

} // namespace tomeric
