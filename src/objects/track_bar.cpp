#include "objects/track_bar.h"

#include "actions/action_eval.h"
#include "objects/input_common.h"
#include "pages/background_painter.h"
#include "vars/variables.h"

#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>

namespace tomeric {
namespace {

// A number from a variable: whole or decimal (either separator), rounded;
// nothing for any other text.
std::optional<int> NumberOf(const QString& text)
{
    bool ok = false;
    const double number = QLocale::c().toDouble(QString(text.trimmed()).replace(u',', u'.'), &ok);
    if (!ok || number < double(INT_MIN) || number > double(INT_MAX))
        return std::nullopt;
    return RoundHalfEven(number);
}

// The pixels of `transColour` become transparent, so the image shows its
// opaque shape only.
QImage WithoutColour(const QImage& image, std::int32_t transColour)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    if (transColour == kNoTransparentColour)
        return result;
    const QRgb clear = TomericColor(transColour).rgb() & 0x00FFFFFF;
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if ((line[x] & 0x00FFFFFF) == clear)
                line[x] = 0;
    }
    return result;
}

} // namespace

int TrackThumbOffset(int value, int minimum, int maximum, int length, int thumbLength)
{
    const double range = maximum == minimum ? 1.0 : double(maximum) - double(minimum);
    return RoundHalfEven((double(value) - minimum) / range * double(length - thumbLength));
}

int TrackDragValue(int edge, int minimum, int maximum, int length, int thumbLength, bool vertical)
{
    const double travel = std::max(1, length - thumbLength);
    const int steps = RoundHalfEven(double(edge) / travel * (double(maximum) - double(minimum)));
    const int value = vertical ? maximum - steps : steps + minimum;
    return std::clamp(value, minimum, std::max(minimum, maximum));
}

TTomericTrackBar::TTomericTrackBar(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
    : TTomericObj(parent, record, host)
{
    TTrackBarProps props;
    if (const auto* given = record.As<TTrackBarProps>())
        props = *given;
    FixTransparency(true);
    UseCursorSlot(csHotSpot);
    orientation_ = props.orientation == slVertical ? slVertical : slHoriz;
    // The keys apply in their order: MIN= then MAX=, each with its range rule.
    SetMinimum(props.minimum);
    SetMaximum(props.maximum);
    initialValue_ = props.initialValue;
    value_ = std::clamp(initialValue_, minimum_, maximum_);
    // TRACKSIZE= is the track's thickness and THUMBSIZE= the thumb's length
    // in either orientation.
    trackWidth_ = trackHeight_ = std::max(props.trackSize, 0);
    thumbWidth_ = thumbHeight_ = std::max(props.thumbSize, 1);
    varName_ = props.varName.isEmpty() ? QString() : NormalizeVarName(props.varName);
    changeAction_ = props.changeAction;
    changingAction_ = props.changingAction;
    LoadImages(props);
}

QImage TTomericTrackBar::LoadImage(const QString& name, std::int32_t transColour)
{
    if (name.isEmpty())
        return QImage();
    const QImage image = Host().Picture(name);
    return image.isNull() ? QImage() : WithoutColour(image, transColour);
}

void TTomericTrackBar::LoadImages(const TTrackBarProps& props)
{
    thumbImage_ = LoadImage(props.thumbImage, props.thumbTransColor);
    if (!thumbImage_.isNull()) {
        thumbWidth_ = thumbImage_.width();
        thumbHeight_ = thumbImage_.height();
    }
    trackImage_ = LoadImage(props.trackImage, props.trackTransColor);
    if (!trackImage_.isNull()) {
        trackWidth_ = trackImage_.width();
        trackHeight_ = trackImage_.height();
    }
}

// ---- value and range ---------------------------------------------------------------------

void TTomericTrackBar::SetValue(int value)
{
    value = std::clamp(value, minimum_, maximum_);
    if (value == value_)
        return;
    value_ = value;
    if (dragging_)
        return;
    update();
    Changed();
}

void TTomericTrackBar::SetMinimum(int value)
{
    minimum_ = value;
    if (minimum_ > maximum_)
        maximum_ = minimum_ == INT_MAX ? minimum_ : minimum_ + 1;
    SetValue(value_);
    update();
}

void TTomericTrackBar::SetMaximum(int value)
{
    maximum_ = value;
    if (maximum_ < minimum_)
        minimum_ = maximum_ == INT_MIN ? maximum_ : maximum_ - 1;
    SetValue(value_);
    update();
}

void TTomericTrackBar::Changing()
{
    WriteBoundVariable(varName_, QString::number(value_), writingVariable_);
    if (inChangingAction_ || changingAction_.isEmpty() || Host().EnterExitSuppressed())
        return;
    // Runs now, while the thumb moves, and may not change the page.
    inChangingAction_ = true;
    Host().RunObjectScript(changingAction_, ekTrackBarMoving, afNoPageChange, ObjType(), Name());
    inChangingAction_ = false;
}

void TTomericTrackBar::Changed()
{
    if (changeHandler_) {
        changeHandler_(value_);
        return;
    }
    WriteBoundVariable(varName_, QString::number(value_), writingVariable_);
    if (!Host().EnterExitSuppressed())
        RunObjectAction(changeAction_, ekTrackBarChanged, 0);
}

// ---- object messages -------------------------------------------------------------------------

void TTomericTrackBar::OnInit()
{
    OnLateInit();
    WriteBoundVariable(varName_, QString::number(value_), writingVariable_);
}

void TTomericTrackBar::OnLateInit()
{
    value_ = std::clamp(initialValue_, minimum_, maximum_);
    update();
}

TFirstWrite TTomericTrackBar::FirstWrite(const TTrackBarProps& props)
{
    if (props.varName.isEmpty())
        return {};
    // The range as the constructor's SetMinimum and SetMaximum leave it.
    int minimum = props.minimum, maximum = 100;
    if (minimum > maximum)
        maximum = minimum == INT_MAX ? minimum : minimum + 1;
    maximum = props.maximum;
    if (maximum < minimum)
        minimum = maximum == INT_MIN ? maximum : maximum - 1;
    return {NormalizeVarName(props.varName), QString::number(std::clamp(props.initialValue, minimum, maximum))};
}

bool TTomericTrackBar::HearsVariable(const QString& upperName) const
{
    return TTomericObj::HearsVariable(upperName) ||
           (!upperName.isEmpty() && upperName == BoundVariableUpper(varName_));
}

void TTomericTrackBar::OnVarChanged(const QString& upperName, const QString& value)
{
    TTomericObj::OnVarChanged(upperName, value);
    if (dragging_ || writingVariable_ || upperName.isEmpty() || upperName != BoundVariableUpper(varName_))
        return;
    const std::optional<int> number = NumberOf(value);
    if (!number)
        return;
    const int clamped = std::clamp(*number, minimum_, maximum_);
    if (clamped == value_)
        return;
    value_ = clamped;
    update();
}

// ---- geometry and drawing ------------------------------------------------------------------

QRect TTomericTrackBar::TrackRect() const
{
    if (Vertical())
        return QRect((width() - trackWidth_) / 2, 0, trackWidth_, height());
    return QRect(0, (height() - trackHeight_) / 2, width(), trackHeight_);
}

QRect TTomericTrackBar::ThumbRect() const
{
    if (Vertical()) {
        const int bottom = height() - TrackThumbOffset(value_, minimum_, maximum_, height(), thumbHeight_);
        return QRect(0, bottom - thumbHeight_, width(), thumbHeight_);
    }
    const int left = TrackThumbOffset(value_, minimum_, maximum_, width(), thumbWidth_);
    return QRect(left, 0, thumbWidth_, height());
}

void TTomericTrackBar::DrawPart(QPainter& painter, const QRect& area, const QImage& image, bool sunken)
{
    if (!image.isNull()) {
        painter.drawImage(area, image);
        return;
    }
    const QBrush fill(OpaqueColor(FillColor()));
    qDrawShadePanel(&painter, area, palette(), sunken, 1, &fill);
}

void TTomericTrackBar::PaintContent(QPainter& painter)
{
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QRect track = TrackRect();
    const QRect thumb = ThumbRect();
    DrawPart(painter, track, trackImage_, true);
    DrawPart(painter, thumb, thumbImage_, false);
    if (!isEnabled()) {
        // Disabled: track and thumb veiled in the button face.
        QColor veil = TomericColor(kColourButtonFace);
        veil.setAlpha(128);
        painter.fillRect(track, veil);
        painter.fillRect(thumb, veil);
    }
}

// ---- the mouse ---------------------------------------------------------------------------------

void TTomericTrackBar::StepTowards(QPoint point)
{
    const QRect thumb = ThumbRect();
    if (Vertical()) {
        if (point.y() < thumb.top())
            SetValue(value_ + 1);
        else if (point.y() > thumb.bottom())
            SetValue(value_ - 1);
    } else {
        if (point.x() < thumb.left())
            SetValue(value_ - 1);
        else if (point.x() > thumb.right())
            SetValue(value_ + 1);
    }
}

void TTomericTrackBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    const QRect thumb = ThumbRect();
    if (!thumb.contains(point)) {
        StepTowards(point);
        return;
    }
    dragging_ = true;
    grab_ = Vertical() ? point.y() - thumb.top() : point.x() - thumb.left();
    valueAtPress_ = value_;
}

void TTomericTrackBar::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_)
        return;
    const QPoint point = event->position().toPoint();
    const int edge = (Vertical() ? point.y() : point.x()) - grab_;
    const int value = Vertical() ? TrackDragValue(edge, minimum_, maximum_, height(), thumbHeight_, true)
                                 : TrackDragValue(edge, minimum_, maximum_, width(), thumbWidth_, false);
    if (value == value_)
        return;
    value_ = value;
    update();
    Changing();
}

void TTomericTrackBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !dragging_)
        return;
    dragging_ = false;
    if (value_ != valueAtPress_)
        Changed();
}

TTomericObj* CreateTrackBar(QWidget* parent, const TObjectRecord& record, ObjectHost& host)
{
    return new TTomericTrackBar(parent, record, host);
}

} // namespace tomeric
