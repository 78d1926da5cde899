// Check boxes and radio buttons: the 13×13 box beside or above the caption,
// auto-size, and the binding to a variable (VARNAME=).

#include "objects/buttons.h"

#include "pages/background_painter.h"
#include "vars/typed_values.h"
#include "vars/variables.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionButton>

namespace tomeric {
namespace {

constexpr int kBox = 13;          // the check box and radio glyph
constexpr int kCaptionGap = 4;    // between box and caption
constexpr int kAutoSizeMargin = 3;
constexpr int kAutoSizeBox = 17;  // box and gap, added to the caption's size

const QColor kWhite(255, 255, 255);

// Whether a change notice's name is the button's own variable (both
// bracketed; the notice's is upper case).
bool IsVariable(const QString& upperName, const QString& bound)
{
    return !upperName.isEmpty() && upperName.compare(bound, Qt::CaseInsensitive) == 0;
}

QColor SystemShade(int index)
{
    QColor colour = TomericColor(SystemColour(index));
    colour.setAlpha(255);
    return colour;
}

QColor Face() { return SystemShade(15); }
// The classic frame colours: button shadow and the darker 3-D shadow.
QColor Shadow() { return SystemShade(16); }
QColor DarkShadow() { return QGuiApplication::palette().color(QPalette::Shadow); }

const QString kChecked = QStringLiteral("Checked");

// A variable value checks a box when the part before the first "+" is one
// of the store's true words.
bool IsCheckedValue(const QString& value)
{
    const QString head = value.section(u'+', 0, 0);
    const TypedValue typed = ConvertTypedValue(vtBoolean, QString(), head);
    return typed.ok && typed.value == QLatin1String("True");
}

// The classic check mark: seven columns, three pixels high each, in a
// 13×13 box.
void DrawCheckMark(QPainter& painter, const QColor& colour)
{
    static constexpr int kTops[7] = {5, 6, 7, 6, 5, 4, 3};
    for (int i = 0; i < 7; ++i) painter.fillRect(QRect(3 + i, kTops[i], 1, 3), colour);
}

void DrawClassicCheckBox(QPainter& painter, int state, bool checked, bool disabled)
{
    painter.fillRect(QRect(0, 0, 12, 1), Shadow());
    painter.fillRect(QRect(0, 0, 1, 12), Shadow());
    painter.fillRect(QRect(0, 12, 13, 1), kWhite);
    painter.fillRect(QRect(12, 0, 1, 13), kWhite);
    painter.fillRect(QRect(1, 1, 10, 1), DarkShadow());
    painter.fillRect(QRect(1, 1, 1, 10), DarkShadow());
    painter.fillRect(QRect(1, 11, 11, 1), Face());
    painter.fillRect(QRect(11, 1, 1, 11), Face());
    const bool pushed = state == bvHot;
    painter.fillRect(QRect(2, 2, 9, 9), pushed || disabled ? Face() : kWhite);
    if (checked) DrawCheckMark(painter, disabled ? Shadow() : QColor(Qt::black));
}

void DrawClassicRadio(QPainter& painter, int state, bool checked, bool disabled)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF outer(0.5, 0.5, 11, 11);
    const QRectF inner(1.5, 1.5, 9, 9);
    painter.setBrush(Qt::NoBrush);
    // Upper left halves in the shadow colours, lower right in the light ones.
    painter.setPen(QPen(Shadow(), 1));
    painter.drawArc(outer, 45 * 16, 180 * 16);
    painter.setPen(QPen(kWhite, 1));
    painter.drawArc(outer, 225 * 16, 180 * 16);
    painter.setPen(QPen(DarkShadow(), 1));
    painter.drawArc(inner, 45 * 16, 180 * 16);
    painter.setPen(QPen(Face(), 1));
    painter.drawArc(inner, 225 * 16, 180 * 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(state == bvHot || disabled ? Face() : kWhite);
    painter.drawEllipse(QRectF(2, 2, 8, 8));
    if (checked) {
        painter.setBrush(disabled ? Shadow() : QColor(Qt::black));
        painter.drawEllipse(QRectF(4, 4, 4, 4));
    }
}

} // namespace

// ---- shared by check boxes and radio buttons -----------------------------------------

void TTomericButton::DrawBoxGlyph(QPainter& painter, const QRect& box, const TButtonScale& scale)
{
    const bool radio = ButtonStyle() == bsRadio;
    const bool checked = VisualState() == bvDown;
    const bool disabled = !EnabledState();
    if (ThemedFor(scale)) {
        QStyleOptionButton option;
        option.initFrom(this);
        option.rect = box;
        option.state &= ~(QStyle::State_MouseOver | QStyle::State_Sunken | QStyle::State_On |
                          QStyle::State_Off | QStyle::State_HasFocus);
        if (disabled) option.state &= ~QStyle::State_Enabled;
        option.state |= checked ? QStyle::State_On : QStyle::State_Off;
        if (VisualState() == bvHot) option.state |= QStyle::State_Sunken;
        else if (MouseInside() && !disabled) option.state |= QStyle::State_MouseOver;
        style()->drawPrimitive(radio ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox,
                               &option, &painter, this);
        return;
    }
    painter.save();
    painter.translate(box.topLeft());
    painter.scale(box.width() / double(kBox), box.height() / double(kBox));
    if (radio) DrawClassicRadio(painter, VisualState(), checked, disabled);
    else DrawClassicCheckBox(painter, VisualState(), checked, disabled);
    painter.restore();
}

void TTomericButton::PaintBoxAndCaption(QPainter& painter, const QRect& target, const TButtonScale& scale)
{
    const QFont font = ScaledFont(scale);
    const QString caption = DisplayCaption();
    const QSize text = CaptionSize(font, caption);
    const QSize box(scale.X(kBox), scale.Y(kBox));
    QRect boxRect, captionRect;
    int flags = Qt::AlignLeft | Qt::AlignVCenter;
    if (Alignment() == baCentre) {
        const int gap = caption.isEmpty() ? 0 : scale.Y(kCaptionGap);
        const int top = target.top() + (target.height() - (box.height() + gap + text.height())) / 2;
        boxRect = QRect(QPoint(target.left() + (target.width() - box.width()) / 2, top), box);
        captionRect = QRect(target.left() + (target.width() - text.width()) / 2, boxRect.bottom() + 1 + gap,
                            text.width(), text.height());
        flags = Qt::AlignHCenter | Qt::AlignTop;
    } else {
        const int gap = caption.isEmpty() ? 0 : scale.X(kCaptionGap);
        const int boxTop = target.top() + (target.height() - box.height()) / 2;
        const int textTop = target.top() + (target.height() - text.height()) / 2;
        if (Alignment() == baRight) {
            boxRect = QRect(QPoint(target.right() + 1 - box.width(), boxTop), box);
            captionRect = QRect(boxRect.left() - gap - text.width(), textTop, text.width(), text.height());
            flags = Qt::AlignRight | Qt::AlignVCenter;
        } else {
            boxRect = QRect(QPoint(target.left(), boxTop), box);
            captionRect = QRect(boxRect.right() + 1 + gap, textTop, text.width(), text.height());
        }
    }
    DrawBoxGlyph(painter, boxRect, scale);
    painter.save();
    painter.setClipRect(target);
    DrawCaption(painter, captionRect, flags, caption, font, false);
    painter.restore();
    if (ShowsFocus())
        DrawFocusFrame(painter, (caption.isEmpty() ? boxRect : captionRect).adjusted(-1, -1, 1, 1));
}

void TTomericButton::ApplyAutoSize()
{
    if (!autoSize_) return;
    const QString caption = DisplayCaption();
    QSize content;
    if (caption.isEmpty()) {
        content = QSize(kBox, QFontMetrics(font()).height()); // one line of "X"

    } else {
        content = CaptionSize(font(), caption);
        if (Alignment() == baCentre) content.rheight() += kAutoSizeBox;
        else content.rwidth() += kAutoSizeBox;
    }
    const int w = std::max(content.width() + 2 * kAutoSizeMargin, kBox);
    const int h = std::max(content.height() + 2 * kAutoSizeMargin, kBox);
    if (size() != QSize(w, h)) resize(w, h);
}

// ---- TTomericCheckBox ---------------------------------------------------------------------

TTomericCheckBox::TTomericCheckBox(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericButton(parent, record, host)
{
    FixTransparency(true);
    ApplyAutoSize();
}

void TTomericCheckBox::OnInit()
{
    OnLateInit();
    if (!VarName().isEmpty() && InitialState() == qxbsDown) SetVariable(VarName(), kChecked);
}

void TTomericCheckBox::OnLateInit()
{
    TTomericButton::OnInit();
    SetVisualState(InitialState());
}

TFirstWrite TTomericCheckBox::FirstWrite(const TCheckBoxProps& props)
{
    if (props.varName.isEmpty() || props.initialState != qxbsDown) return {};
    return {NormalizeVarName(props.varName), kChecked};
}

bool TTomericCheckBox::HearsVariable(const QString& upperName) const
{
    return TTomericButton::HearsVariable(upperName) || IsVariable(upperName, BoundVariable());
}

void TTomericCheckBox::OnVarChanged(const QString& upperName, const QString& value)
{
    TTomericButton::OnVarChanged(upperName, value);
    if (upperName.isEmpty() || upperName.compare(BoundVariable(), Qt::CaseInsensitive) != 0) return;
    SetVisualState(IsCheckedValue(value) ? bvDown : bvUp);
}

void TTomericCheckBox::DoClick()
{
    if (!VarName().isEmpty()) SetVariable(VarName(), Checked() ? kChecked : QString());
    TTomericButton::DoClick();
}

void TTomericCheckBox::PaintButton(QPainter& painter, const QRect& target, const TButtonScale& scale)
{
    PaintBoxAndCaption(painter, target, scale);
}

void TTomericCheckBox::HoverChanged()
{
    if (Themed()) update();
}

// ---- TTomericRadioBtn -------------------------------------------------------------------------

TTomericRadioBtn::TTomericRadioBtn(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericButton(parent, record, host)
{
    FixTransparency(true);
    ApplyAutoSize();
}

QString TTomericRadioBtn::GroupValue() const { return GroupValueOf(Txt()); }

QString TTomericRadioBtn::GroupValueOf(const QString& text)
{
    QString value = text.contains(u'[') ? SubstituteVars(text) : text;
    value.remove(u'^');
    return value;
}

bool TTomericRadioBtn::MatchesValue(const QString& value) const
{
    return value.compare(GroupValue(), Qt::CaseInsensitive) == 0 ||
           value.compare(PrepareCaption(Txt()), Qt::CaseInsensitive) == 0;
}

void TTomericRadioBtn::OnInit()
{
    OnLateInit();
    if (!VarName().isEmpty() && InitialState() == qxbsDown) SetVariable(VarName(), GroupValue());
}

void TTomericRadioBtn::OnLateInit()
{
    TTomericButton::OnInit();
    SetVisualState(InitialState());
}

TFirstWrite TTomericRadioBtn::FirstWrite(const TCheckBoxProps& props)
{
    if (props.varName.isEmpty() || props.initialState != qxbsDown) return {};
    return {NormalizeVarName(props.varName), GroupValueOf(props.text)};
}

// The caption's variables are the base's: the caption is the object's text.
bool TTomericRadioBtn::HearsVariable(const QString& upperName) const
{
    return TTomericButton::HearsVariable(upperName) || IsVariable(upperName, BoundVariable());
}

void TTomericRadioBtn::OnVarChanged(const QString& upperName, const QString& value)
{
    TTomericButton::OnVarChanged(upperName, value);
    if (upperName.isEmpty()) return;
    const QString bound = BoundVariable();
    if (!bound.isEmpty() && upperName.compare(bound, Qt::CaseInsensitive) == 0) {
        SetVisualState(MatchesValue(value) ? bvDown : bvUp);
        return;
    }
    // The caption shows the variable that changed: a checked button keeps
    // its group's variable equal to what it now shows. The guard stops a
    // caption that shows its own group's variable from feeding itself.
    if (!MentionsVariable(Txt(), upperName) || !Checked() || bound.isEmpty() || writingValue_) return;
    const QString newValue = GroupValue();
    if (GetVariable(VarName()) == newValue) return;
    writingValue_ = true;
    SetVariable(VarName(), newValue);
    writingValue_ = false;
}

void TTomericRadioBtn::DoClick()
{
    if (Checked()) {
        if (!VarName().isEmpty()) SetVariable(VarName(), GroupValue());
        else ClearUnboundSiblings();
    }
    TTomericButton::DoClick();
}

void TTomericRadioBtn::ClearUnboundSiblings()
{
    QWidget* parent = parentWidget();
    if (!parent) return;
    for (auto* sibling : parent->findChildren<TTomericRadioBtn*>(Qt::FindDirectChildrenOnly))
        if (sibling != this && sibling->VarName().isEmpty()) sibling->SetVisualState(bvUp);
}

void TTomericRadioBtn::PaintButton(QPainter& painter, const QRect& target, const TButtonScale& scale)
{
    PaintBoxAndCaption(painter, target, scale);
}

void TTomericRadioBtn::HoverChanged()
{
    if (Themed()) update();
}

TTomericObj* CreateCheckBox(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericCheckBox(parent, record, host);
}

TTomericObj* CreateRadioButton(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericRadioBtn(parent, record, host);
}

} // namespace tomeric
