#include "objects/tomeric_obj.h"

#include "actions/action_eval.h"
#include "imaging/windows_fonts.h"
#include "objects/fill_patterns.h"
#include "objects/hot_keys.h"
#include "pages/background_painter.h"
#include "pages/page_widgets.h"
#include "vars/variables.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QToolTip>

#include <cmath>
#include <type_traits>

namespace tomeric {
namespace {

// A script posted to an object: it travels in the object's own event queue,
// so Qt drops it when the object is destroyed before it arrives.
class TRunActionEvent : public QEvent {
public:
    static QEvent::Type Kind()
    {
        static const auto type = QEvent::Type(QEvent::registerEventType(int(QEvent::User) + int(OM_RUNACTION)));
        return type;
    }
    TRunActionEvent(QString text, int kind, std::uint8_t flags)
        : QEvent(Kind()), text(std::move(text)), kind(kind), flags(flags)
    {
    }
    const QString text;
    const int kind;
    const std::uint8_t flags;
};

// The family properties every object may carry, read from whichever props
// struct the record holds.
struct TCommonFamilyProps {
    QString text, hint, enterAction, exitAction;
    int hotKey = 0;
    std::optional<TFontProps> font;
};

TCommonFamilyProps ReadFamilyProps(const TObjectRecord& record)
{
    TCommonFamilyProps out;
    std::visit(
        [&out](const auto& props) {
            using P = std::decay_t<decltype(props)>;
            if constexpr (requires { props.text; }) out.text = props.text;
            if constexpr (requires { props.hint; }) out.hint = props.hint;
            if constexpr (requires { props.hotKey; }) out.hotKey = props.hotKey;
            if constexpr (std::is_base_of_v<THoverActions, P>) {
                out.enterAction = props.enterAction;
                out.exitAction = props.exitAction;
            }
            if constexpr (std::is_base_of_v<TFontProps, P>) out.font = static_cast<const TFontProps&>(props);
        },
        record.props);
    return out;
}

QColor Blend(const QColor& a, const QColor& b)
{
    return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

Qt::PenStyle DashStyle(int lineStyle)
{
    switch (lineStyle) {
    case qxpsDash: return Qt::DashLine;
    case qxpsDot: return Qt::DotLine;
    case qxpsDashDot: return Qt::DashDotLine;
    case qxpsDashDotDot: return Qt::DashDotDotLine;
    default: return Qt::SolidLine;
    }
}

bool Is3D(int lineStyle) { return lineStyle == qxpsRaised || lineStyle == qxpsSunken; }

} // namespace

bool MentionsVariable(const QString& text, const QString& upperName)
{
    if (upperName.isEmpty()) return false;
    // Every object hears every variable write, and most texts show no
    // variable: looking for a "[" first is far quicker than a search that
    // ignores case.
    if (upperName.front() == u'[' && !text.contains(u'[')) return false;
    return text.contains(upperName, Qt::CaseInsensitive);
}

namespace {
std::uint64_t interestGeneration = 0; // main thread only, like every object
} // namespace

std::uint64_t VariableInterestGeneration() { return interestGeneration; }

void NoteVariableInterestChanged() { ++interestGeneration; }

// ---- construction ---------------------------------------------------------------

TTomericObj::TTomericObj(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : QWidget(parent), host_(&host), objType_(record.objType), name_(record.name)
{
    NoteVariableInterestChanged();
    setObjectName(record.name);
    setGeometry(record.x, record.y, std::max(record.width, 0), std::max(record.height, 0));
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_Hover, false);
    // Showing a page shows its objects one by one. Qt would post a deferred
    // repaint for each (an event and a wake-up of the event loop per object);
    // with this attribute a child object marks its area dirty at once, and
    // the page is drawn in one pass. Hiding is repainted in hideEvent.
    setAttribute(Qt::WA_DontShowOnScreen);

    tabOrder_ = record.tabOrder;
    if (record.anchor >= anNone && record.anchor <= anFill) anchor_ = record.anchor;
    lineWidth_ = std::max(record.lineWidth, 0);
    lineColor_ = record.lineColor;
    if (record.lineStyle >= qxpsSolid && record.lineStyle <= qxpsClear) lineStyle_ = record.lineStyle;
    fillColor_ = record.fillColor;
    fillPattern_ = record.fillPattern;
    transparent_ = record.transparent;
    RecomputeTransparency();
    QPalette pal = palette();
    pal.setColor(QPalette::Window, OpaqueColor(fillColor_));
    setPalette(pal);

    const TCommonFamilyProps family = ReadFamilyProps(record);
    txt_ = family.text;
    hint_ = family.hint;
    NoteVariableInterestChanged();
    hotKey_ = HotKeyFromShortcut(family.hotKey);
    enterAction_ = family.enterAction;
    exitAction_ = family.exitAction;
    if (family.font) {
        fontProps_ = *family.font;
        setFont(WindowsFont(fontProps_.fontName, fontProps_.fontSize, fontProps_.fontStyle));
    }

    UseCursorSlot(csApplication);
    enabledState_ = record.enabled;
    setEnabled(record.enabled);
    visibleState_ = record.visible;
    // A child follows its parent's visibility unless hidden itself; a
    // parentless object (tests) never becomes a window of its own.
    if (!record.visible) hide();
    else if (parent) show();
}

TTomericObj::~TTomericObj()
{
    QPixmapCache::remove(keptLook_);
}

// ---- setters ----------------------------------------------------------------------

void TTomericObj::SetEnabledState(bool value)
{
    if (enabledState_ == value) return;
    enabledState_ = value;
    setEnabled(value);
    LookChanged();
}

void TTomericObj::SetLineWidth(int value)
{
    value = std::max(value, 0);
    if (lineWidth_ == value) return;
    lineWidth_ = value;
    LookChanged();
    LineChanged();
}

void TTomericObj::SetFillPattern(int value)
{
    if (fillPattern_ == value) return;
    fillPattern_ = value;
    RecomputeTransparency();
    LookChanged();
    FillChanged();
}

void TTomericObj::SetTransparent(bool value)
{
    if (transparent_ == value) return;
    transparent_ = value;
    RecomputeTransparency();
    LookChanged();
    FillChanged();
}

void TTomericObj::SetVisibleState(bool value)
{
    if (visibleState_ == value) return;
    visibleState_ = value;
    if (!value) hide();
    else if (parentWidget()) show();
}

void TTomericObj::SetLineColor(std::int32_t value)
{
    if (lineColor_ == value) return;
    lineColor_ = value;
    LookChanged();
    LineChanged();
}

void TTomericObj::SetLineStyle(int value)
{
    if (value < qxpsSolid || value > qxpsClear || lineStyle_ == value) return;
    lineStyle_ = value;
    LookChanged();
}

void TTomericObj::SetFillColor(std::int32_t value)
{
    if (fillColor_ == value) return;
    fillColor_ = value;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, OpaqueColor(value));
    setPalette(pal);
    LookChanged();
    FillChanged();
}

void TTomericObj::SetTxt(const QString& value)
{
    if (txt_ == value) return;
    txt_ = value;
    NoteVariableInterestChanged();
    LookChanged();
    TextChanged();
}

void TTomericObj::RecomputeTransparency()
{
    if (transparencyFixed_) return;
    isTransparent_ = fillPattern_ == 1 || (fillPattern_ >= 2 && transparent_);
}

void TTomericObj::FixTransparency(bool transparent)
{
    isTransparent_ = transparent;
    transparencyFixed_ = true;
}

void TTomericObj::UseCursorSlot(TCursorSlot slot)
{
    cursorSlot_ = slot;
    setCursor(host_->Cursor(slot));
}

bool TTomericObj::OnScreen() const
{
    QWidget* page = parentWidget();
    while (page && !qobject_cast<TTomericBackground*>(page)) page = page->parentWidget();
    if (!page || isHidden() || !isVisibleTo(page)) return false;
    const QRect onPage(mapTo(page, QPoint(0, 0)), size());
    return onPage.intersects(page->rect());
}

// ---- scripts ------------------------------------------------------------------------

void TTomericObj::RunObjectAction(const QString& text, int kind, std::uint8_t flags)
{
    if (text.isEmpty()) return;
    if (flags & afImmediate) {
        host_->RunObjectScript(text, kind, flags, objType_, name_);
        return;
    }
    QCoreApplication::postEvent(this, new TRunActionEvent(text, kind, flags));
}

bool TTomericObj::event(QEvent* event)
{
    if (event->type() == TRunActionEvent::Kind()) {
        const auto* run = static_cast<TRunActionEvent*>(event);
        host_->RunObjectScript(run->text, run->kind, run->flags, objType_, name_);
        return true;
    }
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (hint_.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        const QString shown = hint_.contains(u'[') ? SubstituteVars(hint_) : hint_;
        QToolTip::showText(help->globalPos(), shown, this);
        return true;
    }
    return QWidget::event(event);
}

void TTomericObj::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // An object hidden on its own leaves its area to be redrawn (Qt leaves
    // that to the window system for objects that are not shown on screen,
    // see the constructor). Hidden with its page, there is nothing to redraw.
    if (isHidden() && parentWidget() && parentWidget()->isVisible())
        parentWidget()->update(geometry());
}

void TTomericObj::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    if (!enabledState_ || mouseInside_) return;
    mouseInside_ = true;
    if (!host_->EnterExitSuppressed()) RunObjectAction(enterAction_, ekEnter, afImmediate);
}

void TTomericObj::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (!enabledState_ || !mouseInside_) return;
    mouseInside_ = false;
    if (!host_->EnterExitSuppressed()) RunObjectAction(exitAction_, ekExit, afImmediate);
}

// ---- object messages -------------------------------------------------------------------

void TTomericObj::OnVarChanged(const QString& upperName, const QString& value)
{
    (void)value;
    if (TTomericObj::HearsVariable(upperName)) LookChanged();
}

bool TTomericObj::HearsVariable(const QString& upperName) const
{
    return MentionsVariable(txt_, upperName) || MentionsVariable(hint_, upperName);
}

void TTomericObj::SetHint(const QString& hint)
{
    hint_ = hint;
    NoteVariableInterestChanged();
}

void TTomericObj::SetObjectFont(const TFontChange& change)
{
    if (change.color) fontProps_.textColor = *change.color;
    if (change.name) fontProps_.fontName = *change.name;
    if (change.size) fontProps_.fontSize = std::max(*change.size, 1);
    if (change.style) fontProps_.fontStyle = *change.style;
    if (change.charset) fontProps_.fontCharset = *change.charset;
    setFont(WindowsFont(fontProps_.fontName, fontProps_.fontSize, fontProps_.fontStyle));
    QPalette pal = palette();
    const QColor text = OpaqueColor(fontProps_.textColor);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(role, text);
    setPalette(pal);
    LookChanged();
    FontChanged();
}

QString TTomericObj::PrepareCaption(const QString& text)
{
    QString caption = text.contains(u'[') ? SubstituteVars(text) : text;
    caption.replace(QStringLiteral("&"), QStringLiteral("&&"));
    caption.replace(u'^', u'&');
    return caption;
}

// ---- drawing ---------------------------------------------------------------------------

QBrush TTomericObj::ShapeBrush() const
{
    if (fillPattern_ == 1) return Qt::NoBrush;
    if (!IsHatchPattern(fillPattern_)) return QBrush(OpaqueColor(fillColor_));
    std::optional<QColor> back;
    if (!transparent_) back = QColor(Qt::white);
    return QBrush(HatchTile(fillPattern_, OpaqueColor(fillColor_), back));
}

QPen TTomericObj::ShapePen() const
{
    if (lineWidth_ <= 0 || lineStyle_ == qxpsClear || Is3D(lineStyle_)) return Qt::NoPen;
    QPen pen(OpaqueColor(lineColor_), lineWidth_);
    pen.setStyle(lineWidth_ == 1 ? DashStyle(lineStyle_) : Qt::SolidLine);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

QRectF TTomericObj::InsetPenRect() const
{
    const qreal half = lineWidth_ / 2.0;
    return QRectF(rect()).adjusted(half, half, -half, -half);
}

void TTomericObj::DrawFrame3D(QPainter& painter, const QRect& area) const
{
    const QColor white(Qt::white);
    const QColor line = OpaqueColor(lineColor_);
    const bool raised = lineStyle_ == qxpsRaised;
    const QColor topLeft = raised ? white : line;
    const QColor bottomRight = raised ? line : white;
    const QColor joint = Blend(white, line);
    const int w = area.width(), h = area.height();
    const int width = std::min(lineWidth_, std::min(w, h) / 2 + 1);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < width; ++i) {
        const int left = area.left() + i, top = area.top() + i;
        const int right = area.left() + w - 1 - i, bottom = area.top() + h - 1 - i;
        painter.fillRect(QRect(QPoint(left, top), QPoint(right, top)), topLeft);
        painter.fillRect(QRect(QPoint(left, top), QPoint(left, bottom)), topLeft);
        painter.fillRect(QRect(QPoint(left, bottom), QPoint(right, bottom)), bottomRight);
        painter.fillRect(QRect(QPoint(right, top), QPoint(right, bottom)), bottomRight);
        // Where the two colours meet (top right, bottom left) the joint takes
        // their blend: one pixel per ring, a diagonal across the frame.
        painter.fillRect(QRect(right, top, 1, 1), joint);
        painter.fillRect(QRect(left, bottom, 1, 1), joint);
    }
    painter.restore();
}

void TTomericObj::PaintShape(QPainter& painter)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrushOrigin(0, 0);
    DrawShape(painter);
    painter.restore();
}

void TTomericObj::DrawShape(QPainter& painter)
{
    const QRect client = rect();
    const bool border = lineWidth_ > 0 && lineStyle_ != qxpsClear;
    // A clear line still takes its width from the fill.
    const int reserved = lineStyle_ == qxpsClear || Is3D(lineStyle_) ? lineWidth_ : 0;
    const QBrush brush = ShapeBrush();
    if (brush.style() != Qt::NoBrush)
        painter.fillRect(client.adjusted(reserved, reserved, -reserved, -reserved), brush);
    if (!border) return;
    if (Is3D(lineStyle_)) {
        DrawFrame3D(painter, client);
        return;
    }
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (lineWidth_ == 1 && DashStyle(lineStyle_) != Qt::SolidLine) {
        // The one-pixel pen runs along the outermost pixels: the right and
        // bottom edges sit one pixel in from the width and height. (A solid
        // line is the same ring of pixels, filled below: much faster.)
        painter.setPen(ShapePen());
        painter.drawRect(QRectF(client).adjusted(0.5, 0.5, -0.5, -0.5));
        return;
    }
    const QColor line = OpaqueColor(lineColor_);
    const int w = lineWidth_;
    painter.fillRect(QRect(0, 0, client.width(), w), line);
    painter.fillRect(QRect(0, client.height() - w, client.width(), w), line);
    painter.fillRect(QRect(0, 0, w, client.height()), line);
    painter.fillRect(QRect(client.width() - w, 0, w, client.height()), line);
}

void TTomericObj::paintEvent(QPaintEvent* event)
{
    (void)event;
    QPainter painter(this);
    if (KeepsLook() && PaintKeptLook(painter)) return;
    PaintContent(painter);
}

void TTomericObj::LookChanged()
{
    QPixmapCache::remove(keptLook_);
    keptLook_ = {};
    update();
}

bool TTomericObj::PaintKeptLook(QPainter& painter)
{
    // Kept looks are for objects of a usual size; a page-sized shape would
    // cost more memory than its drawing costs time.
    constexpr int kLargestKeptLook = 512 * 512;
    // Room for the shapes of a few busy pages (kilobytes); Qt's own default
    // keeps about ten megabytes.
    constexpr int kKeptLooksLimit = 64 * 1024;
    const QTransform shift = painter.deviceTransform();
    const bool pixelForPixel = painter.paintEngine()->type() == QPaintEngine::Raster &&
                               painter.device()->devicePixelRatio() == 1.0 &&
                               shift.type() <= QTransform::TxTranslate && shift.dx() == std::floor(shift.dx()) &&
                               shift.dy() == std::floor(shift.dy());
    if (!pixelForPixel || width() * height() > kLargestKeptLook || width() <= 0 || height() <= 0) return false;
    QPixmap look;
    if (!QPixmapCache::find(keptLook_, &look) || look.size() != size()) {
        if (QPixmapCache::cacheLimit() < kKeptLooksLimit) QPixmapCache::setCacheLimit(kKeptLooksLimit);
        look = QPixmap(size());
        look.fill(Qt::transparent);
        QPainter lookPainter(&look);
        // What a painter on the widget starts with.
        lookPainter.setFont(font());
        lookPainter.setPen(palette().color(foregroundRole()));
        lookPainter.setBrush(palette().brush(backgroundRole()));
        PaintContent(lookPainter);
        lookPainter.end();
        QPixmapCache::remove(keptLook_);
        keptLook_ = QPixmapCache::insert(look);
    }
    painter.drawPixmap(0, 0, look);
    return true;
}

void TTomericObj::PaintTo(QPainter& painter, QPoint offset)
{
    painter.save();
    // Qt renders a masked widget's region starting at its bounding corner:
    // shift the target so a shaped object lands where it stands.
    const QRegion source = mask().isEmpty() ? QRegion(rect()) : mask() & rect();
    render(&painter, offset + source.boundingRect().topLeft(), source, QWidget::DrawChildren);
    painter.restore();
}

} // namespace tomeric
