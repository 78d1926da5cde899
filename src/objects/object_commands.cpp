#include "objects/object_commands.h"

#include "pages/page_transition_overlay.h"

#include "objects/object_command_handlers.h"
#include "objects/object_tree.h"
#include "objects/shapes.h"
#include "pages/page_widgets.h"
#include "pages/transitions.h"
#include "platform/string_table.h"


#include <cmath>
#include <exception>

namespace tomeric {

namespace {

// The first object named `name` under `widget`, page objects before the
// objects of a master page laid inside it (nested backgrounds are separate
// roots).
TTomericObj* FindUnder(QWidget* widget, const QString& name)
{
    for (QObject* child : widget->children()) {
        auto* childWidget = qobject_cast<QWidget*>(child);
        if (!childWidget || qobject_cast<TTomericBackground*>(childWidget))
            continue;
        if (auto* object = qobject_cast<TTomericObj*>(childWidget))
            if (object->Name().compare(name, Qt::CaseInsensitive) == 0)
                return object;
        if (TTomericObj* inside = FindUnder(childWidget, name))
            return inside;
    }
    return nullptr;
}

std::optional<TFoundObject> SearchRoots(const std::vector<TObjectRoot>& roots, const QString& name)
{
    for (const TObjectRoot& root : roots)
        if (root.root)
            if (TTomericObj* object = FindUnder(root.root, name))
                return TFoundObject{object, root};
    return std::nullopt;
}

QImage RenderArea(QWidget& surface, const QRect& area)
{
    QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    surface.render(&image, QPoint(), QRegion(area), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return image;
}

} // namespace

TObjectEffectPlayer MakeOnScreenEffectPlayer()
{
    return [](QWidget& surface, const QRect& area, const QImage& before, const QImage& after,
              const QString& effect, const QString& speed) {
        TTransitionRequest request;
        request.area = QRect(QPoint(0, 0), area.size());
        request.name = effect;
        request.options = speed;
        request.fromPicture = before;
        request.toPicture = after;
        PlayTransitionOver(surface, area, request);
    };
}

// ---- run helpers ------------------------------------------------------------------

int TObjectCommandRun::IntParam(int n, int fallback) const
{
    return ParseCommandNumber(Param(n)).value_or(fallback);
}

void TObjectCommandRun::Fail(const QString& name, MessageId messageId) const
{
    reply.LastError = QLatin1Char('"') + name + QStringLiteral("\"||") + Message(messageId);
}

QString TrueFalseWord(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

std::optional<bool> ParseTruthWord(const QString& text)
{
    static const char* const kTrue[] = {"True", "T", "Yes", "Checked", "OK", "1"};
    static const char* const kFalse[] = {"False", "F", "No", "UnChecked", "Cancel", "0"};
    const QString word = text.trimmed();
    for (const char* candidate : kTrue)
        if (word.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0)
            return true;
    for (const char* candidate : kFalse)
        if (word.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0)
            return false;
    return std::nullopt;
}

std::optional<int> ParseCommandNumber(const QString& text)
{
    QString number = text.trimmed();
    number.replace(u',', u'.');
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > 2.0e9)
        return std::nullopt;
    return int(std::lround(value));
}

// ---- TObjectCommands -----------------------------------------------------------------

TObjectCommands::TObjectCommands(TObjectWorld world) : world_(std::move(world))
{
    if (!world_.effectPlayer)
        world_.effectPlayer = MakeOnScreenEffectPlayer();
}

TObjectCommands::~TObjectCommands() = default;

ServiceReply TObjectCommands::Perform(const ServiceCall& call)
{
    ServiceReply reply;
    const TObjectCommandRow* row = FindObjectCommand(call.Command);
    if (!row)
        return reply;
    const QString name = call.Params.value(0);
    TObjectCommandRun run{*this, call, {}, reply};
    if (row->findsObject) {
        std::optional<TFoundObject> found = FindObject(name);
        if (!found) {
            run.Fail(name, msgNoSuchObject);
            return reply;
        }
        run.found = *found;
    }
    // A failure inside a command ends it without further effect; the player
    // goes on.
    try {
        row->handler(run);
    } catch (const std::exception&) {
    }
    return reply;
}

std::optional<TFoundObject> TObjectCommands::FindObject(const QString& name) const
{
    if (name.isEmpty())
        return std::nullopt;
    if (world_.shownRoots)
        if (auto found = SearchRoots(world_.shownRoots(), name))
            return found;
    if (world_.otherRoots)
        if (auto found = SearchRoots(world_.otherRoots(name), name))
            return found;
    return std::nullopt;
}

QWidget* TObjectCommands::Surface(const TTomericObj& object)
{
    QWidget* surface = object.parentWidget();
    QWidget* outermost = nullptr;
    for (QWidget* widget = surface; widget; widget = widget->parentWidget())
        if (qobject_cast<TTomericBackground*>(widget))
            outermost = widget;
    return outermost ? outermost : surface;
}

QRect TObjectCommands::RectOnSurface(const TTomericObj& object, const QWidget& surface)
{
    const QPoint topLeft = object.parentWidget() ? object.parentWidget()->mapTo(&surface, object.pos()) : object.pos();
    return QRect(topLeft, object.size());
}

void TObjectCommands::RepaintAfterChange(const TFoundObject& found, const QRect& area)
{
    QWidget* surface = Surface(*found.object);
    if (surface && found.where.onScreen && !area.isEmpty())
        surface->repaint(area);
    if (surface)
        SendToObjects(surface, [&](TTomericObj& object) { object.OnPagePaint(false, area); });
}

void TObjectCommands::ShowHide(const TFoundObject& found, bool visible, const QString& effect,
                               const QString& speed)
{
    TTomericObj& object = *found.object;
    if (object.ObjType() == otTimer)
        return;
    if (!found.where.onScreen || object.VisibleState() == visible) {
        object.SetVisibleState(visible);
        return;
    }
    QWidget* surface = Surface(object);
    if (!surface) {
        object.SetVisibleState(visible);
        return;
    }
    const QRect area = RectOnSurface(object, *surface) & surface->rect();
    const bool withEffect = !effect.trimmed().isEmpty() && !world_.fastEffects && !area.isEmpty() &&
                            surface->isVisible();
    QImage before = withEffect ? RenderArea(*surface, area) : QImage();
    object.SetVisibleState(visible);
    QImage after = withEffect && !before.isNull() ? RenderArea(*surface, area) : QImage();
    if (!after.isNull())
        world_.effectPlayer(*surface, area, before, after, effect, speed);
    RepaintAfterChange(found, area);
    object.OnTabStops();
}

void TObjectCommands::PlaceObject(TTomericObj& object, QPoint topLeft)
{
    QWidget* surface = Surface(object);
    const QRect before = surface ? RectOnSurface(object, *surface) : QRect();
    if (object.pos() == topLeft)
        return;
    // Qt composes the old and the new place off screen; one repaint of the
    // union shows the move without flicker.
    object.move(topLeft);
    if (!surface)
        return;
    const QRect area = (before | RectOnSurface(object, *surface)) & surface->rect();
    if (surface->isVisible() && object.isVisibleTo(surface))
        surface->repaint(area);
    else if (surface->isVisible())
        surface->repaint(before & surface->rect());
    SendToObjects(surface, [&](TTomericObj& each) { each.OnPagePaint(false, area); });
    object.OnTabStops();
}

void TObjectCommands::MoveObject(const TFoundObject& found, int x, int y)
{
    TTomericObj& object = *found.object;
    if (object.ObjType() == otTimer)
        return;
    QPoint target(x, y);
    if (auto* page = qobject_cast<TTomericBackground*>(object.parentWidget()))
        target += page->PublicationArea().topLeft();
    QWidget* surface = Surface(object);
    if (auto* line = qobject_cast<TTomericLine*>(&object); line && surface) {
        // The line's window is larger than its stroke by the line width all
        // round; the given point is the stroke's corner.
        const QRect before = RectOnSurface(object, *surface);
        line->MoveStrokeTo(target);
        RepaintAfterChange(found, (before | RectOnSurface(object, *surface)) & surface->rect());
        object.OnTabStops();
        return;
    }
    PlaceObject(object, target);
}

void TObjectCommands::SizeObject(const TFoundObject& found, int width, int height)
{
    TTomericObj& object = *found.object;
    if (object.ObjType() == otTimer)
        return;
    width = std::max(0, width);
    height = std::max(0, height);
    QWidget* surface = Surface(object);
    const QRect before = surface ? RectOnSurface(object, *surface) : QRect();
    if (auto* line = qobject_cast<TTomericLine*>(&object)) {
        line->SizeStrokeTo(width, height);
    } else {
        object.resize(width, height);
    }
    if (surface)
        RepaintAfterChange(found, (before | RectOnSurface(object, *surface)) & surface->rect());
    object.OnTabStops();
}

void TObjectCommands::Reshow(const TFoundObject& found)
{
    TTomericObj& object = *found.object;
    if (!found.where.onScreen || !object.VisibleState())
        return;
    QWidget* surface = Surface(object);
    if (!surface)
        return;
    RepaintAfterChange(found, RectOnSurface(object, *surface) & surface->rect());
}

} // namespace tomeric
