#pragma once
// TTomericProgressBar: the progress bar of the splash screen. Qt's progress
// bar takes 32-bit ranges, so the range is passed on as given; a maximum
// below the minimum becomes minimum + 1.

#include <QProgressBar>

namespace tomeric {

enum TProgressBarOrientation : int { pbHorizontal, pbVertical };

class TTomericProgressBar : public QProgressBar {
    Q_OBJECT
public:
    explicit TTomericProgressBar(QWidget* parent = nullptr);

    int Min() const { return minimum(); }
    int Max() const { return maximum(); }
    int Position() const { return value(); }
    int Step() const { return step_; }
    bool Smooth() const { return smooth_; }
    int Orientation() const { return orientation() == Qt::Vertical ? pbVertical : pbHorizontal; }

    void SetMin(int value);
    void SetMax(int value);
    // Clamped to the range.
    void SetPosition(int value);
    void SetStep(int value) { step_ = value; }
    // Advances the position by Step, clamped.
    void StepIt();
    void SetSmooth(bool smooth) { smooth_ = smooth; }
    void SetOrientation(int orientation);

private:
    int step_ = 10;
    bool smooth_ = false;
};

} // namespace tomeric
