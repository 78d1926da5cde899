#pragma once
// Where a floating window goes and how large it may be, as plain arithmetic
// on rectangles, so the rules hold the same on every platform and can be
// checked without a window:
//
//   - the x, y a script gives are relative to the page area (-1 centres);
//     a FIXEDPOS window is a child of the main window, so its position is
//     taken into the main window's client area instead;
//   - a top-level window is cut to the desktop, centred in the work area
//     of the main window's monitor when asked, then pulled back inside the
//     desktop;
//   - the <page>_MinWidth ... size variables give the tracking limits;
//   - a text window without a width or height takes its text's.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

namespace tomeric {

// The option words of CustomWindow and TextWindow, as flags.
enum TFloatingOption : int {
    foWordWrap = 1,
    foExclusive = 2,
    foNoCloseButton = 4,
    foFixedPosition = 8,
    foProtected = 16,
};

// The frame of a custom window: the first of NoBorder, ToolWindow and
// Sizeable found in the options, else a fixed dialog frame.
enum class TFloatingFrame { ffNoBorder, ffToolWindow, ffSizeable, ffDialog };

struct TCustomWindowOptions {
    int flags = 0; // TFloatingOption bits
    TFloatingFrame frame = TFloatingFrame::ffDialog;
};

// CustomWindow's options text: words are case-insensitive substrings. With
// FIXEDPOS the frame words, Exclusive, NoCloseBtn and "@" are ignored and
// the window has no border.
TCustomWindowOptions ParseCustomWindowOptions(const QString& options);
// TextWindow's options text: only WORDWRAP counts.
int ParseTextWindowOptions(const QString& options);

// What the main window tells about itself for placing.
struct TMainWindowGeometry {
    QPoint pageAreaOnScreen;   // the page area's top-left corner on the screen
    QPoint pageAreaInClient;   // the same in the main window's client area
    QPoint scroll;             // the client area's scroll positions
    QSize clientSize;          // the client area
    QSize pageAreaSize;        // the publication area
    bool fullScreenLayout = false; // WINDOWSTYLE 1 or 3
};

// The script's x, y for a top-level window, on the screen; -1 stays -1.
QPoint ScreenPosition(QPoint scriptPosition, const TMainWindowGeometry& main);
// The script's x, y for a FIXEDPOS window, in the main window's client
// area; -1 stays -1.
QPoint FixedPosition(QPoint scriptPosition, const TMainWindowGeometry& main);

// A FIXEDPOS window of `size` at `position` (from FixedPosition): -1
// centres it in the client area (full-screen layouts) or in the page area
// less the scroll positions.
QPoint PlaceFixedWindow(QPoint position, QSize size, const TMainWindowGeometry& main);

// A top-level window whose outer rectangle is `window` (its x, y from
// ScreenPosition, -1 for centring): cut to the desktop, centred in the work
// area (in the desktop when wider than the work area), then moved left and
// up as far as needed to end inside the desktop.
QRect PlaceTopLevelWindow(QRect window, const QRect& desktop, const QRect& workArea);

// One pair of size variables (<page>_MinWidth and _MinHeight, or the Max
// pair) as a tracking size of the window: a pair whose sum is above 0 is a
// client size, converted to a window size by `frame` (window size minus
// client size); it limits the window when both converted values are above
// 0. Nothing otherwise (no limit).
std::optional<QSize> TrackingSize(int width, int height, QSize frame);

// A size variable's value: missing or not a number counts as 0.
int SizeVariableValue(const QString& text);

// The client size of a text window whose text measures `text` unwrapped:
// a width of 0 or less takes the text's width plus a vertical scroll-bar
// arrow and 8, a height of 0 or less the text's height. Nothing for a side
// given (a positive width or height sets the outer size instead).
QSize TextWindowClientSize(QSize text, int width, int height, int scrollArrow);

} // namespace tomeric
