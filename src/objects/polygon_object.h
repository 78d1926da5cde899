#pragma once
// TTomericPolygon (type 23): a shape given by a point list (POINTS=) or by
// the opaque outline of a picture (PICTSTYLE=1). It is filled and outlined
// like the other shapes, shows its picture clipped to the shape with an
// opacity, and answers the mouse only inside the shape: a click beside it,
// still inside its rectangle, reaches the object or page beneath. Entering
// and leaving the shape run the enter and exit actions. Clicks, right
// clicks and dragging come from TTomericDragObj.

#include "objects/drag_object.h"

#include <QImage>
#include <QPainterPath>
#include <QPolygon>
#include <QRegion>

namespace tomeric {

class TTomericPolygon : public TTomericDragObj {
    Q_OBJECT
public:
    TTomericPolygon(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

    // POINTS=: the number of points, then x and y of each, separated by
    // commas. Missing or unreadable numbers end the list; a count larger
    // than the values given keeps the points there are.
    static QPolygon ParsePoints(const QString& text);

    const QPolygon& Points() const { return points_; }
    const QString& ImageFile() const { return imageFile_; }
    bool UseImageRgn() const { return useImageRgn_; }
    std::int32_t TransColor() const { return transColor_; }
    int Opacity() const { return opacity_; }
    // The picture could be read (read-only state).
    bool FileExists() const { return !image_.isNull(); }
    // The shape comes from the picture's opaque area.
    bool ImageRgnOK() const { return imageRgnOk_; }

    // The area the polygon occupies, in its own coordinates; empty when it
    // has no shape (then the whole rectangle counts).
    QPainterPath Shape() const;
    // Whether a point of the object answers the mouse.
    bool Contains(QPoint point) const;

    // SetObjectFileName: the picture file (variables substituted when read).
    void SetImageFile(const QString& name);
    bool SetObjectFileName(const QString& file) override;
    // RefreshObject: the picture is read again.
    void RefreshObject() override;
    // GetObjectInfo "FileName".
    std::optional<QString> FamilyInfo(const QString& upperInfo) const override;

    // Printing: the polygon drawn into `target` scaled by the factors.
    void PaintScaled(QPainter& painter, const QRect& target, bool scaled, int pixelsPerInch,
                     double factorX, double factorY);

protected:
    void DrawShape(QPainter& painter) override;
    void LineChanged() override { UpdateHitMask(); }
    void resizeEvent(QResizeEvent* event) override;

private:
    void LoadImage();
    void UpdateHitMask();

    QPolygon points_;
    QString imageFile_;
    QImage image_; // ARGB, transparent colour cleared
    QRegion imageRegion_;
    bool useImageRgn_ = false;
    bool imageRgnOk_ = false;
    std::int32_t transColor_ = kNoTransparentColour;
    int opacity_ = 255;
};

TTomericObj* CreatePolygon(QWidget* parent, const TObjectRecord& record, ObjectHost& host);

} // namespace tomeric
