#pragma once
// How large the publication shows on the screen. Qt's own high-DPI scaling
// does the work: widgets keep the publication's coordinates (objects, scripts,
// [MouseX], the driver all stay in them), Qt draws them at the screen's
// device pixels and maps the mouse back. Text and shapes are drawn at the
// scaled size, so whole factors stay sharp; pictures are doubled, not
// smoothed.
//
//   --scale N    multiplies the desktop's own factor, before the application
//                object exists (the QT_SCALE_FACTOR Qt reads at start-up)
//   full screen  the screen's factor becomes whatever makes the publication
//                area fill the screen, and goes back when the window leaves
//                full screen (F11)

#include <QPointer>
#include <QScreen>
#include <QSize>

namespace tomeric {

// Before QApplication: the user's --scale on top of the desktop's scale
// (and of a QT_SCALE_FACTOR already set).
void ApplyUserScale(double scale);
// Once the application object exists: QT_SCALE_FACTOR as the user had it,
// for the programs the publication starts.
void RestoreScaleEnvironment();

// Device pixels per publication pixel on the main screen (1 unscaled):
// other programs' windows, placed and measured by the window system in
// device pixels, are given to scripts in the publication's pixels.
double DevicePixelsPerPoint();

class TScreenFit {
public:
    // Scales `screen` so that `publication` (in publication pixels) fits
    // it whole; the factor it had is kept for Restore. Returns the factor
    // now in effect on the screen (device pixels per publication pixel).
    double FitTo(QScreen& screen, QSize publication);
    // The screen shows at its earlier factor again.
    void Restore();
    bool Fitted() const { return screen_ != nullptr; }

private:
    QPointer<QScreen> screen_;  // the screen scaled to fit, while it is
    double totalBefore_ = 1;    // its device pixel ratio before
};

} // namespace tomeric
