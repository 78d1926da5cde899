#pragma once
// The drawing objects of a page: rectangle (5), rounded rectangle (17),
// ellipse (6) and line (7). They draw with the line and fill properties of
// TTomericObj, anti-aliased.
//
// Ellipses, rounded rectangles and lines are always transparent, and they
// answer the mouse only where they draw: each keeps a widget mask of its
// shape, so a click beside the curve or the stroke goes to the object or the
// page beneath, as on the author's page. Rectangles answer over their whole
// area, even when they draw nothing.

#include "objects/tomeric_obj.h"

#include <QColor>
#include <QPainterPath>
#include <QPointer>
#include <QRegion>

#include <vector>

class QWindow;

namespace tomeric {

// Geometry shared by the shape, polygon and picture families.
namespace shapes {

// The pen of a smooth shape outline: LineColor at LineWidth, dashed for
// the dash styles, solid for the 3-D styles; Qt::NoPen at width 0 or for
// qxpsClear. `width` overrides LineWidth (scaled printing).
QPen OutlinePen(const TTomericObj& object, int width);
// The pixels that drawing `area` filled (and stroked with `pen`) touches in
// a widget of `size`, anti-aliased edges included. Empty when nothing is
// touched.
QRegion PaintedRegion(const QSize& size, const QPainterPath& area, const QPen& pen = Qt::NoPen);
// A transparent colour of pictures and polygons: an RGB value (0..0xFFFFFF)
// means that colour; anything else (0x1FFFFFFF, 0x20000000, system colours)
// means none.
bool IsTransparentColour(std::int32_t colour);
// `image` as ARGB with every pixel of `colour` made fully transparent.
QImage WithTransparentColour(const QImage& image, std::int32_t colour);

} // namespace shapes

// ---- rectangle ---------------------------------------------------------------------

class TTomericRect : public TTomericObj {
    Q_OBJECT
public:
    TTomericRect(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    // A window of another program placed into the rectangle (RunProgram
    // with a host object). The rectangle wraps it in a container widget
    // that always fills the rectangle, hides and shows it with the page,
    // passes the enabled state on, and gives it the keyboard focus
    // (FocusObject). Returns the container; the rectangle owns it. Null
    // for a null window.
    QWidget* EmbedWindow(QWindow* window);
    // The same for a widget (the container case above, or a test double).
    void EmbedWidget(QWidget* widget);
    // The hosted windows still alive, in the order they were placed.
    std::vector<QWidget*> HostedWidgets() const;

    void SetEnabledState(bool value) override;
    void OnPageHide() override;
    void OnPageShow() override;
    QWidget* FocusTarget() override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::vector<QPointer<QWidget>> hosted_;
};

// ---- shapes that answer the mouse only inside their outline ----------------------------

// Base of the always-transparent shapes: keeps the widget mask in step with
// the shape. Subclasses say what their shape covers.
class TTomericMaskedShape : public TTomericObj {
    Q_OBJECT
public:
    TTomericMaskedShape(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    // Recomputes the mask (after a change of geometry the widget does not
    // see itself, such as new end points of the same size).
    void UpdateHitMask();

protected:
    // The region the shape answers the mouse in, in widget coordinates.
    virtual QRegion HitRegion() const = 0;
    void LineChanged() override { UpdateHitMask(); }
    // Anti-aliased curves are slow to draw: the look is drawn once.
    bool KeepsLook() const override { return true; }
    void resizeEvent(QResizeEvent* event) override;
};

class TTomericRoundRect : public TTomericMaskedShape {
    Q_OBJECT
public:
    TTomericRoundRect(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    // The width and height of the ellipse that rounds each corner of a
    // shape of `width` x `height` pixels: min(15, width / 4, height / 4).
    static int CornerSize(int width, int height);

protected:
    void DrawShape(QPainter& painter) override;
    QRegion HitRegion() const override;

private:
    QPainterPath Outline() const;
};

class TTomericCircle : public TTomericMaskedShape {
    Q_OBJECT
public:
    TTomericCircle(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    // The rectangle the ellipse is drawn in: the client area less one pixel
    // at the right and bottom, shrunk by half the line width when a border
    // wider than one pixel is drawn.
    QRectF EllipseRect() const;

protected:
    void DrawShape(QPainter& painter) override;
    QRegion HitRegion() const override;
};

// ---- line -------------------------------------------------------------------------------

// An arrow head: a triangle with its tip on the line's end and its base,
// as wide as the head is long, across the line.
struct TArrowHead {
    QPointF tip, left, right;
    QPointF baseMiddle; // where the stroke ends
};

class TTomericLine : public TTomericMaskedShape {
    Q_OBJECT
public:
    TTomericLine(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    // End points in the parent's coordinates. The window lies Margin()
    // pixels around their bounding box.
    QPoint StartPoint() const;
    QPoint EndPoint() const;
    bool HasStartArrow() const { return startArrow_; }
    bool HasEndArrow() const { return endArrow_; }
    void SetArrows(bool atStart, bool atEnd);
    // The window's margin around the stroke: LineWidth, or more when arrow
    // heads need it (half a head's base and its outline), so that heads are
    // never cut off. Object commands move, size and measure lines through
    // MoveStrokeTo, SizeStrokeTo and FamilyInfo, which account for it.
    int Margin() const;

    // Places the line between two points of the parent; the window becomes
    // their bounding box grown by Margin() on every side.
    void SetEndPoints(QPoint start, QPoint end);
    // MoveObject: the stroke's bounding box gets its top-left corner at
    // `topLeft` (the window goes Margin() pixels up and left of it).
    void MoveStrokeTo(QPoint topLeft);
    // SizeObject: the line is refitted to a bounding box of `width` x
    // `height` whose top-left corner stays where the stroke's is. The line
    // keeps its diagonal: the start point goes to the corner of the new box
    // nearest to where it lay relative to the old centre, the end point to
    // the opposite corner.
    void SizeStrokeTo(int width, int height);

    // Length of an arrow head along the line: (max(1, LineWidth) + 1) x 4
    // pixels, times `scale` when printing.
    static double ArrowLength(int lineWidth, double scale = 1.0);
    // The head at `tip` of a line coming from `from`. A vertical line points
    // straight up or down by the order of its points.
    static TArrowHead ArrowHead(QPointF tip, QPointF from, double length);

    // GetObjectInfo: Left and Top of the stroke (the window position plus
    // the margin), Width and Height of the stroke (the window less twice the
    // margin).
    std::optional<QString> FamilyInfo(const QString& upperInfo) const override;

    // Printing: the line drawn into `target` (the object's rectangle on the
    // page being printed); when `scaled`, coordinates are multiplied by the
    // factors and the arrow heads and pen by their mean, rounded.
    void PaintScaled(QPainter& painter, const QRect& target, bool scaled, int pixelsPerInch,
                     double factorX, double factorY);

protected:
    void DrawShape(QPainter& painter) override;
    QRegion HitRegion() const override;
    void LineChanged() override;

private:
    // Draws the stroke and arrow heads between two points in the painter's
    // coordinates.
    void DrawLine(QPainter& painter, QPointF start, QPointF end, const QPen& pen,
                  double arrowScale) const;
    QPainterPath LinePath(QPointF start, QPointF end, double arrowScale, double minWidth) const;

    QPoint start_, end_; // widget coordinates
    bool startArrow_ = false;
    bool endArrow_ = false;
    int placedMargin_ = 0; // the margin the window was laid out with
};

TTomericObj* CreateRect(QWidget* parent, const TObjectRecord& record, ObjectHost& host);
TTomericObj* CreateRoundRect(QWidget* parent, const TObjectRecord& record, ObjectHost& host);
TTomericObj* CreateCircle(QWidget* parent, const TObjectRecord& record, ObjectHost& host);
TTomericObj* CreateLine(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
