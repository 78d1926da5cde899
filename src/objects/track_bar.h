#pragma once
// TTomericTrackBar (type 16): a slider that draws itself, bound to a
// variable. Always transparent; the pointing-hand cursor.
//
// Geometry (r = Maximum - Minimum, 1 when they are equal):
//   horizontal: the track spans the width, TrackHeight high, centred; the
//     thumb is ThumbWidth wide and as high as the object, its left edge at
//     round((Value - Minimum) / r * (width - ThumbWidth));
//   vertical: the track spans the height, TrackWidth wide, centred; the
//     thumb is as wide as the object and ThumbHeight high, its bottom edge at
//     height - round((Value - Minimum) / r * (height - ThumbHeight)), so the
//     top is the maximum.
// Dragging the thumb follows the pointer with the inverse formula; a press
// on the track beside the thumb moves the value by 1 towards the press.
// During a drag every new value is written to the variable and the
// changing action runs at once (kind 22, page changes refused); on release
// a value that differs from the one at the press is "changed": the variable
// is written and the change action posted (kind 17).

#include "objects/first_values.h"
#include "objects/tomeric_obj.h"

#include <functional>

namespace tomeric {

// Rounds as the original's arithmetic does (ties to the even neighbour).
// Left (horizontal) or bottom-up (vertical) offset of the thumb.
int TrackThumbOffset(int value, int minimum, int maximum, int length, int thumbLength);
// The value for a thumb whose leading edge (left, or top when vertical) is
// at `edge`, clamped to the range.
int TrackDragValue(int edge, int minimum, int maximum, int length, int thumbLength, bool vertical);

class TTomericTrackBar : public TTomericObj {
    Q_OBJECT
public:
    TTomericTrackBar(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    int Orientation() const { return orientation_; }
    bool Vertical() const { return orientation_ == slVertical; }
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    int Value() const { return value_; }
    int InitialValue() const { return initialValue_; }
    int TrackWidth() const { return trackWidth_; }
    int TrackHeight() const { return trackHeight_; }
    int ThumbWidth() const { return thumbWidth_; }
    int ThumbHeight() const { return thumbHeight_; }
    const QString& VarName() const { return varName_; }
    bool Dragging() const { return dragging_; }

    // The value clamped to the range; a change outside a drag repaints and
    // is "changed" (variable written, change action posted).
    void SetValue(int value);
    // A minimum above the maximum pushes the maximum to minimum + 1; a
    // maximum below the minimum pulls the minimum to maximum - 1. The value
    // is clamped again through SetValue.
    void SetMinimum(int value);
    void SetMaximum(int value);
    // TrackBarSetMin / TrackBarSetMax.
    void SetMin(int value) { SetMinimum(value); }
    void SetMax(int value) { SetMaximum(value); }

    // The media player drives its own position bar through this handler;
    // with one, "changed" calls it instead of writing a variable or running
    // actions.
    void SetChangeHandler(std::function<void(int)> handler) { changeHandler_ = std::move(handler); }

    QRect TrackRect() const;
    QRect ThumbRect() const;

    void OnInit() override;
    void OnLateInit() override;
    // What OM_INIT writes into the variable of a track bar with `props`.
    static TFirstWrite FirstWrite(const TTrackBarProps& props);
    void OnVarChanged(const QString& upperName, const QString& value) override;
    bool HearsVariable(const QString& upperName) const override;

protected:
    virtual void Changing();
    virtual void Changed();

    void PaintContent(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void LoadImages(const TTrackBarProps& props);
    QImage LoadImage(const QString& name, std::int32_t transColour);
    void DrawPart(QPainter& painter, const QRect& area, const QImage& image, bool sunken);
    void StepTowards(QPoint point);

    int orientation_ = slHoriz;
    int minimum_ = 0, maximum_ = 100;
    int value_ = 0;
    int initialValue_ = 0;
    int trackWidth_ = 3, trackHeight_ = 3;
    int thumbWidth_ = 10, thumbHeight_ = 10;
    QImage thumbImage_, trackImage_;
    QString varName_, changeAction_, changingAction_;
    std::function<void(int)> changeHandler_;
    bool dragging_ = false;
    int grab_ = 0;          // pointer offset inside the thumb at the press
    int valueAtPress_ = 0;
    bool inChangingAction_ = false;
    bool writingVariable_ = false;
};

TTomericObj* CreateTrackBar(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
