// TTomericButton: the press state machine, hot and focus handling, the
// click, the caption and what all three button kinds share.

#include "objects/buttons.h"

#include "pages/background_painter.h"
#include "vars/variables.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPaintEngine>
#include <QMouseEvent>
#include <QPainter>

namespace tomeric {
namespace {

constexpr int kEmbossShadow = 0x808080;

bool ValidAlignment(int value) { return value == baLeft || value == baCentre || value == baRight; }

// The family properties a button record carries.
struct TButtonRecord {
    QString clickAction;
    int alignment = baCentre;
    bool useXPTheme = false;
    QString varName;
    int initialState = qxbsUp;
    bool autoSize = false;
};

TButtonRecord ReadButtonRecord(const TObjectRecord& record)
{
    TButtonRecord out;
    if (const auto* push = record.As<TPushButtonProps>()) {
        out.clickAction = push->clickAction;
        out.alignment = push->alignment;
        out.useXPTheme = push->useXPTheme;
    } else if (const auto* check = record.As<TCheckBoxProps>()) {
        out.clickAction = check->clickAction;
        out.alignment = check->alignment;
        out.useXPTheme = check->useXPTheme;
        out.varName = check->varName.isEmpty() ? QString() : NormalizeVarName(check->varName);
        out.initialState = check->initialState;
        out.autoSize = check->autoSize;
    }
    return out;
}

} // namespace

TTomericButton::TTomericButton(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericObj(parent, record, host)
{
    const TButtonRecord props = ReadButtonRecord(record);
    clickAction_ = props.clickAction;
    if (ValidAlignment(props.alignment)) alignment_ = props.alignment;
    useXPTheme_ = props.useXPTheme;
    varName_ = props.varName;
    if (props.initialState >= qxbsUp && props.initialState <= qxbsGrayed) initialState_ = props.initialState;
    autoSize_ = props.autoSize;

    // Every button reacts to the mouse: the hot-spot cursor.
    UseCursorSlot(csHotSpot);
    setMouseTracking(false);
    releaseTimer_.setSingleShot(true);
    connect(&releaseTimer_, &QTimer::timeout, this, &TTomericButton::FinishSimulatedPress);
}

TTomericButton::~TTomericButton() = default;

// ---- properties ---------------------------------------------------------------

void TTomericButton::SetUseXPTheme(bool value)
{
    if (useXPTheme_ == value) return;
    useXPTheme_ = value;
    update();
}

void TTomericButton::SetAlignment(int value)
{
    if (!ValidAlignment(value) || alignment_ == value) return;
    alignment_ = value;
    CaptionChanged();
    update();
}

void TTomericButton::SetStandAlone(std::function<void()> handler)
{
    standAloneHandler_ = std::move(handler);
    update();
}

// ---- the press state machine -----------------------------------------------------

int TTomericButton::PressedLook() const
{
    const TTomericBtnStyles style = ButtonStyle();
    return style == bsStandard || style == bsStandardBknd ? bvDown : bvHot;
}

int TTomericButton::ReleasedState(bool inside) const
{
    switch (ButtonStyle()) {
    case bsToggle:
        if (!inside) return pressState_;
        return pressState_ == bvUp ? bvDown : bvUp;
    case bsRadio:
        return inside ? bvDown : pressState_;
    default:
        return inside ? pressState_ : bvUp;
    }
}

void TTomericButton::SetVisualState(int state)
{
    if (visualState_ == state) return;
    visualState_ = state;
    // Transparent buttons repaint over the page beneath: Qt recomposes the
    // parent under a widget that does not paint opaquely.
    update();
}

void TTomericButton::BeginPress()
{
    tracking_ = true;
    pressState_ = visualState_;
    SetVisualState(PressedLook());
}

void TTomericButton::MovePress(bool inside)
{
    if (!tracking_) return;
    SetVisualState(inside ? PressedLook() : pressState_);
}

void TTomericButton::EndPress(bool inside)
{
    if (!tracking_) return;
    tracking_ = false;
    pressSource_ = TPressSource::None;
    const bool wasDown = pressState_ == bvDown;
    SetVisualState(ReleasedState(inside));
    if (!inside) return;
    // A radio button that was already checked does not click again.
    if (ButtonStyle() == bsRadio && wasDown) return;
    DoClick();
}

void TTomericButton::DoClick()
{
    if (standAloneHandler_) {
        standAloneHandler_();
        return;
    }
    RunObjectAction(clickAction_, ekClick, 0);
}

void TTomericButton::SimulatePress(int milliseconds)
{
    if (!EnabledState() || !isEnabled() || tracking_) return;
    pressSource_ = TPressSource::Simulated;
    BeginPress();
    releaseTimer_.start(std::max(milliseconds, 0));
}

void TTomericButton::FinishSimulatedPress()
{
    if (pressSource_ != TPressSource::Simulated) return;
    EndPress(true);
}

void TTomericButton::HotKeyPressed()
{
    SimulatePress(150);
}

// ---- Qt events ------------------------------------------------------------------------

void TTomericButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !EnabledState() || tracking_) {
        event->ignore();
        return;
    }
    if (focusPolicy() != Qt::NoFocus) setFocus(Qt::MouseFocusReason);
    pressSource_ = TPressSource::Mouse;
    BeginPress();
    event->accept();
}

void TTomericButton::mouseMoveEvent(QMouseEvent* event)
{
    if (pressSource_ != TPressSource::Mouse) return;
    MovePress(rect().contains(event->position().toPoint()));
}

void TTomericButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || pressSource_ != TPressSource::Mouse) {
        event->ignore();
        return;
    }
    EndPress(rect().contains(event->position().toPoint()));
}

void TTomericButton::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool activates = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    if (!activates || !ShowsFocus()) {
        TTomericObj::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat()) SimulatePress(100);
    event->accept();
}

void TTomericButton::focusInEvent(QFocusEvent* event)
{
    TTomericObj::focusInEvent(event);
    update();
}

void TTomericButton::focusOutEvent(QFocusEvent* event)
{
    TTomericObj::focusOutEvent(event);
    update();
}

void TTomericButton::enterEvent(QEnterEvent* event)
{
    TTomericObj::enterEvent(event);
    if (EnabledState()) HoverChanged();
}

void TTomericButton::leaveEvent(QEvent* event)
{
    TTomericObj::leaveEvent(event);
    HoverChanged();
}

// ---- object messages and commands ---------------------------------------------------

void TTomericButton::OnInit()
{
    OnTabStops();
}

void TTomericButton::OnTabStops()
{
    // With the marquee on, buttons on screen take part in keyboard navigation.
    const bool tabStop = Host().ShowMarquee() && VisibleState();
    setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::NoFocus);
}

void TTomericButton::OnVarChanged(const QString& upperName, const QString& value)
{
    TTomericObj::OnVarChanged(upperName, value);
    if (MentionsVariable(Txt(), upperName)) {
        CaptionChanged();
        update();
    }
}

bool TTomericButton::SetObjectCaption(const QString& text)
{
    SetTxt(text);
    update();
    return true;
}

std::optional<QString> TTomericButton::FamilyInfo(const QString& upperInfo) const
{
    if (upperInfo == QLatin1String("CAPTION")) return Txt();
    return std::nullopt;
}

void TTomericButton::TextChanged()
{
    CaptionChanged();
}

QString TTomericButton::BoundVariable() const
{
    if (varName_.isEmpty()) return {};
    const QString key = VarKey(varName_);
    return key.isEmpty() ? QString() : QLatin1Char('[') + key.toUpper() + QLatin1Char(']');
}

// ---- painting helpers --------------------------------------------------------------------

void TTomericButton::PaintContent(QPainter& painter)
{
    TButtonScale scale;
    // A page printed through the widgets' own painting reaches here with
    // the printer's painter: the theme's pictures do not print.
    const QPaintEngine* engine = painter.paintEngine();
    scale.printing = engine && engine->type() == QPaintEngine::Pdf;
    PaintScaled(painter, rect(), scale);
}

void TTomericButton::PaintScaled(QPainter& painter, const QRect& target, const TButtonScale& scale)
{
    if (target.isEmpty()) return;
    painter.save();
    PaintButton(painter, target, scale);
    painter.restore();
}

QFont TTomericButton::ScaledFont(const TButtonScale& scale) const
{
    QFont scaled = font();
    if (!scale.Scaled()) return scaled;
    const int pixels = scaled.pixelSize() > 0 ? scaled.pixelSize()
                                                : qRound(scaled.pointSizeF() * 96.0 / 72.0);
    scaled.setPixelSize(std::max(1, scale.Y(pixels)));
    return scaled;
}

QColor TTomericButton::TextColour() const
{
    QColor colour = TomericColor(FontProps().textColor);
    colour.setAlpha(255);
    return colour;
}

QString TTomericButton::DisplayCaption() const
{
    QString caption = PrepareCaption(Txt());
    caption.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    caption.replace(u'\r', u'\n');
    return caption;
}

QSize TTomericButton::CaptionSize(const QFont& font, const QString& caption)
{
    if (caption.isEmpty()) return {0, 0};
    const QFontMetrics metrics(font);
    return metrics.boundingRect(QRect(0, 0, 32767, 32767), Qt::TextShowMnemonic, caption).size();
}

void TTomericButton::DrawCaption(QPainter& painter, const QRect& area, int alignFlags,
                                 const QString& caption, const QFont& font, bool embossed) const
{
    if (caption.isEmpty() || area.isEmpty()) return;
    painter.save();
    painter.setFont(font);
    const int flags = alignFlags | Qt::TextShowMnemonic;
    if (embossed) {
        // The engraved look of disabled captions: white, then grey one pixel
        // up and to the left.
        painter.setPen(Qt::white);
        painter.drawText(area.translated(1, 1), flags, caption);
        painter.setPen(QColor(QRgb(kEmbossShadow)));
    } else {
        painter.setPen(TextColour());
    }
    painter.drawText(area, flags, caption);
    painter.restore();
}

void TTomericButton::DrawFocusFrame(QPainter& painter, const QRect& area)
{
    if (area.width() < 2 || area.height() < 2) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Qt::black, 1, Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    painter.restore();
}

bool TTomericButton::ShowsFocus() const
{
    return hasFocus() && EnabledState() && Host().ShowMarquee();
}

} // namespace tomeric
