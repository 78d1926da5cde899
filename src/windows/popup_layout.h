#pragma once
// Where pop-ups go and how big they are: the rules of the balloon, the
// sticky note and the pick list, without any window, so that they can be
// reasoned about (and tested) on their own. Every rectangle here is in
// screen coordinates.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

namespace tomeric {

// ---- every pop-up -------------------------------------------------------------------

// The pop-up's top-left corner once it is moved inside the work area: never
// left of or above it; a window passing its right (bottom) edge moves back
// by the excess, but not past its left (top) edge.
QPoint FitIntoWorkArea(const QRect& window, const QRect& workArea);

// ---- balloon ------------------------------------------------------------------------

enum TStemPos { spLeft, spTop, spRight, spBottom };

// The balloon control's geometry settings (the pop-up's defaults).
struct TBalloonMetrics {
    int xOffset = 8;
    int yOffset = 8;
    int stemSize = 16;
    int stemWidth = 5;
    int cornerSize = 16;
};

struct TBalloonPlacement {
    QRect window;            // the balloon's client rectangle on the screen
    TStemPos stemPos = spBottom;
    int stemOffset = 0;      // how far the stem's tip lies right of the body's centre
};

// The client size for a text of `textSize`: at least 25 wide.
QSize BalloonClientSize(const QSize& textSize, const TBalloonMetrics& metrics = {});
// The balloon pointing at `target` on `screen`: above the point with the
// stem below, or below it with the stem on top when above would leave the
// screen; moved sideways to stay on the screen, the stem's tip still on the
// point.
TBalloonPlacement PlaceBalloon(const QSize& clientSize, const QPoint& target, const QRect& screen,
                               const TBalloonMetrics& metrics = {});

// The body (the client rectangle less the stem on its side) and the stem's
// three corners: the tip on the outer edge, the two ends of the base on the
// body's edge. Local coordinates of a `client`-sized control.
struct TBalloonShape {
    QRect body;
    QPoint tip, baseStart, baseEnd;
};
TBalloonShape BalloonShape(const QSize& client, TStemPos stemPos, int stemOffset,
                           const TBalloonMetrics& metrics = {});

// ---- sticky note --------------------------------------------------------------------

struct TStickyNoteMetrics {
    int xOffset = 8;
    int yOffset = 8;
    int shadowSize = 5;
};

// The text width the note wraps its text to, when its one-line width does
// not fit the screen; nothing (0) when the text fits on its lines as they are.
int StickyNoteWrapWidth(int textWidth, int screenWidth, const TStickyNoteMetrics& metrics = {});
// The client size for a text of `textSize` (already wrapped when it had to be).
QSize StickyNoteClientSize(const QSize& textSize, int screenWidth, const TStickyNoteMetrics& metrics = {});
// The note's rectangle: x or y -1 centres it in the page area, others count
// from the page area's top-left corner; the note then stays on `screen`.
QRect PlaceStickyNote(const QSize& clientSize, int x, int y, const QRect& pageArea, const QRect& screen);

// ---- picture pop-up -----------------------------------------------------------------

// The picture's rectangle: -1 centres it in the page area, other values count
// from the page area's top-left corner.
QRect PlacePicture(const QSize& pictureSize, int x, int y, const QRect& pageArea);

// ---- pick list ----------------------------------------------------------------------

inline constexpr int kMenuItemHeight = 18;
inline constexpr int kMenuSeparatorHeight = kMenuItemHeight / 2;
inline constexpr int kMenuMargin = 10;

struct TPopUpMenuItem {
    QString text;           // as written, "&" included
    bool separator = false; // the item was exactly "-"
    int Height() const { return separator ? kMenuSeparatorHeight : kMenuItemHeight; }
};

// The items of a "|"-separated text; an item that is exactly "-" is a separator.
std::vector<TPopUpMenuItem> ParseMenuItems(const QString& items);
// The character after the first "&" that is neither a space nor another "&",
// upper-cased; a null character when there is none.
QChar MenuAccelerator(const QString& text);
// The first item whose accelerator is `key` (ignoring case); -1 for none.
int MenuItemForKey(const std::vector<TPopUpMenuItem>& items, QChar key);

struct TMenuSize {
    QSize size;
    bool scrollBar = false;
};
// The list's outer size: the widest text plus margins, the items' heights
// plus the border; no taller than the work area, which then adds a scroll bar.
TMenuSize MenuSize(const std::vector<TPopUpMenuItem>& items, int widestText, int workAreaHeight,
                   int scrollBarWidth);
// The menu's rectangle: x or y -1 centres it in `centring` (the page area's
// origin with the main window's client size); other values count from the
// page area's top-left corner.
QRect PlaceMenu(const QSize& size, int x, int y, const QRect& centring);

// Selection moves. `from` -1 means nothing is selected. Each skips
// separators, turning back at either end, at most twice; -1 when every item
// is a separator.
int MenuStep(const std::vector<TPopUpMenuItem>& items, int from, int direction);
int MenuFirst(const std::vector<TPopUpMenuItem>& items);
int MenuLast(const std::vector<TPopUpMenuItem>& items);

} // namespace tomeric
